#include "cfileselector.h"

#include "platform/os/dialogBackend.h"

namespace VSTGUI {

CFileExtension::CFileExtension(const std::string& description, const std::string& extension,
                               const std::string& mimeType, int32_t macType, const std::string& uti)
    : description(description), extension(extension), mimeType(mimeType), macType(macType), uti(uti) {}

bool CFileExtension::operator==(const CFileExtension& other) const {
  return extension == other.extension && mimeType == other.mimeType && macType == other.macType &&
         uti == other.uti;
}

CNewFileSelector::CNewFileSelector(CFrame* parent, Style style) : frame(parent), style(style) {}

CNewFileSelector* CNewFileSelector::create(CFrame* parent, Style style) {
  return new CNewFileSelector(parent, style);
}

void CNewFileSelector::forget() {
  if (--referenceCount == 0) delete this;
}

void CNewFileSelector::setDefaultExtension(const CFileExtension& extension) {
  defaultExtension = extension;
  hasDefaultExtension = true;
}

const char* CNewFileSelector::getSelectedFile(uint32_t index) const {
  return index < selectedFiles.size() ? selectedFiles[index].c_str() : nullptr;
}

bool CNewFileSelector::runModal() {
  selectedFiles.clear();
  platform::FileDialogRequest request;
  request.save = style == kSelectSaveFile;
  request.title = title;
  request.initialDir = initialDirectory;
  if (request.save) request.defaultName = defaultSaveName;
  if (hasDefaultExtension) request.extensions.push_back(defaultExtension.getExtension());
  for (const CFileExtension& ext : extensions) {
    if (hasDefaultExtension && ext == defaultExtension) continue;
    request.extensions.push_back(ext.getExtension());
  }
  std::string chosen;
  if (!platform::runFileDialog(request, chosen)) return false;
  selectedFiles.push_back(std::move(chosen));
  return true;
}

void CNewFileSelector::cancel() {}

}  // namespace VSTGUI
