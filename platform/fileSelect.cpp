#include <sys/stat.h>

#include "dialogPaths.h"
#include "dialogs.h"
#include "vstgui/cfileselector.h"

using VSTGUI::CFileExtension;
using VSTGUI::CNewFileSelector;

namespace {

bool pathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The one chosen path of a selector that has run, or "" when there is not exactly one.
std::string singleSelection(const CNewFileSelector& selector) {
  if (selector.getNumSelectedFiles() != 1) return {};
  const char* path = selector.getSelectedFile(0);
  return path != nullptr ? std::string(path) : std::string();
}

}  // namespace

bool fileSelectLoadDir(const std::string& title, const std::string& initialDir, const std::string& filter,
                       std::string& folderOut, std::string& pathOut) {
  CNewFileSelector* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectFile);
  if (selector == nullptr) return false;
  if (!title.empty()) selector->setTitle(title);
  if (!initialDir.empty()) selector->setInitialDirectory(initialDir);
  for (const std::string& ext : platform::filterExtensions(filter)) {
    const CFileExtension type(ext, ext);
    selector->addFileExtension(type);
    selector->setDefaultExtension(type);
  }
  selector->setAllowMultiFileSelection(false);
  selector->runModal();
  selector->cancel();
  const std::string path = singleSelection(*selector);
  selector->forget();
  if (path.empty()) return false;
  pathOut = path;
  folderOut = platform::loadFolderOf(path);
  return true;
}

bool fileSelectSaveDir(const std::string& title, const std::string& initialDir, const std::string& defaultName,
                       std::string& folderOut, std::string& pathOut) {
  CNewFileSelector* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectSaveFile);
  if (selector == nullptr) return false;
  if (!title.empty()) selector->setTitle(title);
  if (!initialDir.empty()) selector->setInitialDirectory(initialDir);
  if (!defaultName.empty()) selector->setDefaultSaveName(defaultName);
  selector->setAllowMultiFileSelection(false);
  selector->runModal();
  selector->cancel();
  const std::string chosen = singleSelection(*selector);
  selector->forget();
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
