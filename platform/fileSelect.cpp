#include <sys/stat.h>

#include "dialogBackend.h"
#include "dialogPaths.h"
#include "dialogs.h"
#include "platform.h"

namespace {

bool pathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// Runs the desktop's dialog; the chosen path, or "" when none was chosen.
std::string chooseFile(const platform::FileDialogRequest& request) {
  std::string chosen;
  if (!platform::runFileDialog(request, chosen)) return {};
  return chosen;
}

}  // namespace

bool fileSelectLoadDir(const std::string& title, const std::string& initialDir, const std::string& filter,
                       std::string& folderOut, std::string& pathOut) {
  platform::FileDialogRequest request;
  request.title = title;
  // The plug-in's own folders are made on first use, so that the dialog starts in them.
  ensureDefaultFolder(initialDir);
  request.initialDir = initialDir;
  // The filter's last type is the one selected when the dialog opens, so it comes first.
  const std::vector<std::string> types = platform::filterExtensions(filter);
  if (!types.empty()) request.extensions.push_back(types.back());
  for (const std::string& ext : types) {
    if (ext != types.back()) request.extensions.push_back(ext);
  }
  const std::string path = chooseFile(request);
  if (path.empty()) return false;
  pathOut = path;
  folderOut = platform::loadFolderOf(path);
  return true;
}

bool fileSelectSaveDir(const std::string& title, const std::string& initialDir,
                       const std::string& defaultName, std::string& folderOut, std::string& pathOut) {
  platform::FileDialogRequest request;
  request.save = true;
  request.title = title;
  // The plug-in's own folders are made on first use, so that the dialog starts in them.
  ensureDefaultFolder(initialDir);
  request.initialDir = initialDir;
  request.defaultName = defaultName;
  const std::string chosen = chooseFile(request);
  if (chosen.empty()) return false;

  const std::string path = platform::forceExtension(chosen, defaultName);
  // The desktop's dialog asked about replacing the name the user chose, not this one.
  if (path != chosen && pathExists(path) &&
      messageBox("The file " + path + " already exists. Do you want to replace it?", 1) != 1) {
    return false;
  }
  pathOut = path;
  folderOut = platform::saveFolderOf(path);
  return true;
}
