#include "dialogBackend.h"

#include <cstdio>

namespace platform {

namespace {

class SystemDialogBackend final : public IDialogBackend {
 public:
  DialogTool availableTool() override { return findDialogTool(); }
  ProcessResult runDialog(const std::vector<std::string>& argv) override { return runProcess(argv); }
};

SystemDialogBackend systemBackend;
IDialogBackend* installedBackend = nullptr;

std::string replaceAll(const std::string& text, char what, const char* with) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == what) {
      out += with;
    } else {
      out += c;
    }
  }
  return out;
}

// zenity reads escape sequences in an entry's label and underlines the letter after '_'.
std::string zenityLabel(const std::string& label) {
  return replaceAll(replaceAll(label, '\\', "\\\\"), '_', "__");
}

// kdialog reads "\n" and "\\" in message texts and file filters.
std::string kdialogText(const std::string& text) { return replaceAll(text, '\\', "\\\\"); }

// kdialog takes the start folder as the value of its dialog option; "." stands for "none",
// and a path that looks like an option is made explicitly relative.
std::string kdialogPath(const std::string& path) {
  if (path.empty()) return ".";
  if (path[0] == '-') return "./" + path;
  return path;
}

std::string withTrailingSlash(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + '/';
}

// An extension must not carry the separators of the programs' filter syntax.
bool usableExtension(const std::string& ext) {
  if (ext.empty()) return false;
  for (unsigned char c : ext) {
    if (c <= ' ' || c == 0x7F || c == '|' || c == '(' || c == ')' || c == '\\') return false;
  }
  return true;
}

std::string startPath(const FileDialogRequest& request) {
  if (!request.save) return withTrailingSlash(request.initialDir);
  if (request.defaultName.empty()) return withTrailingSlash(request.initialDir);
  return withTrailingSlash(request.initialDir) + request.defaultName;
}

}  // namespace

IDialogBackend& dialogBackend() { return installedBackend != nullptr ? *installedBackend : systemBackend; }

IDialogBackend* setDialogBackend(IDialogBackend* backend) {
  IDialogBackend* previous = installedBackend;
  installedBackend = backend;
  return previous;
}

DialogTool findDialogTool() {
  if (!findExecutable("zenity").empty()) return DialogTool::zenity;
  if (!findExecutable("kdialog").empty()) return DialogTool::kdialog;
  return DialogTool::none;
}

std::vector<std::string> messageCommand(DialogTool tool, const std::string& title, const std::string& text,
                                        bool withCancel) {
  switch (tool) {
    case DialogTool::zenity:
      if (withCancel) {
        return {"zenity", "--question", "--title=" + title, "--no-markup", "--ok-label=OK", "--cancel-label=Cancel",
                "--text=" + text};
      }
      return {"zenity", "--info", "--title=" + title, "--no-markup", "--text=" + text};
    case DialogTool::kdialog:
      if (withCancel) {
        return {"kdialog", "--title", title, "--yes-label", "OK", "--no-label", "Cancel", "--yesno", kdialogText(text)};
      }
      return {"kdialog", "--title", title, "--msgbox", kdialogText(text)};
    case DialogTool::none:
      break;
  }
  return {};
}

std::vector<std::string> inputCommand(DialogTool tool, const std::string& title, const std::string& label,
                                      const std::string& text) {
  switch (tool) {
    case DialogTool::zenity:
      return {"zenity", "--entry", "--title=" + title, "--text=" + zenityLabel(label), "--entry-text=" + text};
    case DialogTool::kdialog:
      // The preset text is a positional argument: after "--" a text such as "-5.0" is no option.
      return {"kdialog", "--title", title, "--inputbox", label, "--", text};
    case DialogTool::none:
      break;
  }
  return {};
}

std::vector<std::string> fileCommand(DialogTool tool, const FileDialogRequest& request) {
  std::vector<std::string> extensions;
  for (const std::string& ext : request.extensions) {
    if (usableExtension(ext)) extensions.push_back(ext);
  }
  const std::string start = startPath(request);
  std::vector<std::string> cmd;
  switch (tool) {
    case DialogTool::zenity:
      cmd = {"zenity", "--file-selection"};
      if (request.save) {
        cmd.emplace_back("--save");
        cmd.emplace_back("--confirm-overwrite");
      }
      if (!request.title.empty()) cmd.push_back("--title=" + request.title);
      if (!start.empty()) cmd.push_back("--filename=" + start);
      for (const std::string& ext : extensions) cmd.push_back("--file-filter=" + ext + " | *." + ext);
      break;
    case DialogTool::kdialog: {
      cmd = {"kdialog"};
      if (!request.title.empty()) {
        cmd.emplace_back("--title");
        cmd.push_back(request.title);
      }
      cmd.emplace_back(request.save ? "--getsavefilename" : "--getopenfilename");
      cmd.push_back(kdialogPath(start));
      if (!extensions.empty()) {
        std::string filter;
        for (const std::string& ext : extensions) {
          if (!filter.empty()) filter += '\n';
          filter += "*." + ext + "|" + ext;
        }
        cmd.emplace_back("--");
        cmd.push_back(kdialogText(filter));
      }
      break;
    }
    case DialogTool::none:
      break;
  }
  return cmd;
}

DialogOutcome outcomeOf(const ProcessResult& result) {
  if (!result.started || !result.exited || result.outputTruncated) return DialogOutcome::failed;
  if (result.exitCode == 0) return DialogOutcome::ok;
  if (result.exitCode == 1 || result.exitCode == 2) return DialogOutcome::cancelled;
  return DialogOutcome::failed;
}

std::string answerText(const std::string& output) {
  if (!output.empty() && output.back() == '\n') return output.substr(0, output.size() - 1);
  return output;
}

bool runFileDialog(const FileDialogRequest& request, std::string& chosenPath) {
  IDialogBackend& backend = dialogBackend();
  const DialogTool tool = backend.availableTool();
  const std::string what = request.title.empty() ? std::string("File dialog") : request.title;
  if (tool == DialogTool::none) {
    reportUnshown(what + ": no file dialog can be shown (install zenity or kdialog)");
    return false;
  }
  const ProcessResult result = backend.runDialog(fileCommand(tool, request));
  const DialogOutcome outcome = outcomeOf(result);
  if (outcome == DialogOutcome::failed) {
    reportUnshown(what + ": the file dialog could not be shown");
    return false;
  }
  if (outcome != DialogOutcome::ok) return false;
  std::string path = answerText(result.output);
  if (path.empty()) return false;
  chosenPath = std::move(path);
  return true;
}

void reportUnshown(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", kMessageBoxTitle, text.c_str());
  std::fflush(stderr);
}

}  // namespace platform
