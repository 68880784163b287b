// The plug-in's modal interactions with the user: message boxes, input boxes and the file
// dialogs for loading and saving. All of them run on the GUI thread and return once the user
// has answered; the editor stays drawn meanwhile (see setModalPumpHook).
#pragma once

#include <string>

// Shows `text` in a box titled "Grindle2". Type 1 has OK and Cancel and returns 1 for OK,
// 2 for Cancel; any other type has OK only and returns 1 once closed. A box that cannot be
// shown (no zenity or kdialog, no X display to show it on, or the program fails) writes the
// text to standard error and returns 2.
int messageBox(const std::string& text, int type);

// Asks for one line of text in a box titled `title` with the prompt `label`, preset with
// `text`. OK stores the answer in `text` and returns true; Cancel, closing the box or a box
// that cannot be shown returns false and leaves `text` as it was.
bool inputBox(const std::string& label, const std::string& title, std::string& text);

// Single-file open dialog starting in `initialDir`, showing the file types of `filter`
// ("*.ecs", "*.a;*.b"). When a file is chosen: `pathOut` is its path, `folderOut` its folder
// with the trailing '/', and the result is true. Otherwise both outputs are untouched.
bool fileSelectLoadDir(const std::string& title, const std::string& initialDir, const std::string& filter,
                       std::string& folderOut, std::string& pathOut);

// Single-file save dialog starting in `initialDir` and proposing `defaultName`. A 4-character
// extension of the default name (".wsr") is forced onto the chosen name; when that changes
// the name and the file so named exists, an OK/Cancel box asks before it may be replaced.
// When a file is chosen: `pathOut` is its path, `folderOut` its folder without the trailing
// '/', and the result is true. Otherwise both outputs are untouched.
bool fileSelectSaveDir(const std::string& title, const std::string& initialDir,
                       const std::string& defaultName, std::string& folderOut, std::string& pathOut);
