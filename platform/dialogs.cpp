#include "dialogs.h"

#include "dialogBackend.h"

using platform::DialogOutcome;
using platform::DialogTool;

int messageBox(const std::string& text, int type) {
  const bool withCancel = type == 1;
  platform::IDialogBackend& backend = platform::dialogBackend();
  const DialogTool tool = backend.availableTool();
  if (tool == DialogTool::none) {
    platform::reportUnshown(text);
    return 2;
  }
  const DialogOutcome outcome = platform::outcomeOf(
      backend.runDialog(platform::messageCommand(tool, platform::kMessageBoxTitle, text, withCancel)));
  if (outcome == DialogOutcome::failed) {
    platform::reportUnshown(text);
    return 2;
  }
  if (!withCancel) return 1;
  return outcome == DialogOutcome::ok ? 1 : 2;
}

bool inputBox(const std::string& label, const std::string& title, std::string& text) {
  platform::IDialogBackend& backend = platform::dialogBackend();
  const DialogTool tool = backend.availableTool();
  if (tool == DialogTool::none) {
    platform::reportUnshown(title + ": " + label + " (no input box can be shown: install zenity or kdialog)");
    return false;
  }
  const platform::ProcessResult result = backend.runDialog(platform::inputCommand(tool, title, label, text));
  const DialogOutcome outcome = platform::outcomeOf(result);
  if (outcome == DialogOutcome::failed) {
    platform::reportUnshown(title + ": " + label + " (the input box could not be shown)");
    return false;
  }
  if (outcome != DialogOutcome::ok) return false;
  text = platform::answerText(result.output);
  return true;
}
