// The desktop side of the plug-in's dialogs. The plug-in shows no GTK or Qt window of its own
// (a second toolkit inside a host crashes it); every dialog is the desktop's `zenity`, or
// `kdialog` when zenity is missing, run as a child process. The program to run is chosen
// and started behind IDialogBackend, so tests script the answers; the command lines are
// built by plain functions.
#pragma once

#include <string>
#include <vector>

#include "processRunner.h"

namespace platform {

enum class DialogTool { none, zenity, kdialog };

class IDialogBackend {
 public:
  virtual ~IDialogBackend() = default;
  // The program that shows dialogs right now (a user may install one while the host runs).
  virtual DialogTool availableTool() = 0;
  // The major version of `tool` where its command lines depend on it (zenity), else 0; 0 also
  // when it cannot be told.
  virtual int toolMajorVersion(DialogTool tool) = 0;
  // Runs one dialog command and reports what the program said. A dialog that cannot be shown
  // (no X display to show it on) is not started.
  virtual ProcessResult runDialog(const std::vector<std::string>& argv) = 0;
};

// The backend in use: the system's own unless a test has installed another.
IDialogBackend& dialogBackend();
// Installs `backend` (nullptr restores the system's own) and returns the one it replaces
// (nullptr when that was the system's own). GUI thread only.
IDialogBackend* setDialogBackend(IDialogBackend* backend);

// zenity when it is in PATH, else kdialog when that is, else none.
DialogTool findDialogTool();

// Whether an X server answers at `display` (a DISPLAY value: ":0", ":1.0", "unix:0",
// "host:10.0", "tcp/host:0", or a socket path): a connection to its socket is tried and closed
// at once, without speaking X. A dialog tool started without one fails in ways that look like
// Cancel (zenity exits 1).
bool displayReachable(const char* display);

// Title of every message box.
inline constexpr const char* kMessageBoxTitle = "Grindle2";

// The width in pixels zenity's boxes are opened with: enough for the whole title in the window
// manager's title bar (bold, between its buttons) and for the text's longest line, which a
// message box wraps beyond a comfortable width; never wider than kDialogMaxWidth.
inline constexpr int kDialogMaxWidth = 800;
int dialogWidth(const std::string& title, const std::string& text);

// A message box: OK only, or OK and Cancel.
std::vector<std::string> messageCommand(DialogTool tool, const std::string& title, const std::string& text,
                                        bool withCancel);
// A one-line input box preset with `text`.
std::vector<std::string> inputCommand(DialogTool tool, const std::string& title, const std::string& label,
                                      const std::string& text);

struct FileDialogRequest {
  bool save = false;
  std::string title;                    // "" leaves the program's own title
  std::string initialDir;               // "" starts where the program likes
  std::string defaultName;              // save only: the name proposed
  std::vector<std::string> extensions;  // file types shown, without the dot, first one selected
};
// A single-file open or save dialog. Save dialogs confirm before replacing a file (zenity from
// version 4 on does so by itself and deprecates the option that asked for it).
std::vector<std::string> fileCommand(DialogTool tool, const FileDialogRequest& request, int toolMajorVersion);

enum class DialogOutcome { ok, cancelled, failed };
// OK is exit status 0, Cancel (or closing the window) 1 or 2; anything else means the program
// could not show its dialog (no display, unknown option, killed). A program that says on its
// standard error that it cannot open the display failed, whatever its status (zenity exits 1).
DialogOutcome outcomeOf(const ProcessResult& result);

// A dialog's answer: its output without the one line feed the programs add.
std::string answerText(const std::string& output);

// Runs a file dialog with the tool available; true and `chosenPath` set when the user chose
// a file. Otherwise `chosenPath` is untouched; without a tool, or when the tool fails, a
// note goes to standard error.
bool runFileDialog(const FileDialogRequest& request, std::string& chosenPath);

// Tells the user through standard error what a dialog could not show.
void reportUnshown(const std::string& text);

}  // namespace platform
