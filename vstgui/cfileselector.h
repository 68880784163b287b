// The toolkit's file selector: a single-file open or save dialog, and the file types it shows.
// On Linux the dialog is the desktop's own (zenity or kdialog), run as a child process while
// the editor's events keep being pumped; it needs no window of ours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace VSTGUI {

class CFrame;

// One file type of a file selector.
class CFileExtension {
 public:
  CFileExtension(const std::string& description, const std::string& extension,
                 const std::string& mimeType = "", int32_t macType = 0, const std::string& uti = "");

  const std::string& getDescription() const { return description; }
  const std::string& getExtension() const { return extension; }
  const std::string& getMimeType() const { return mimeType; }
  int32_t getMacType() const { return macType; }
  const std::string& getUTI() const { return uti; }

  // Two types are the same when they name the same files; the description does not count.
  bool operator==(const CFileExtension& other) const;

 private:
  std::string description;
  std::string extension;
  std::string mimeType;
  int32_t macType;
  std::string uti;
};

class CNewFileSelector {
 public:
  enum Style { kSelectFile, kSelectSaveFile };

  // A new selector owned by the caller (release it with forget()). `parent` may be null; the
  // desktop's dialogs are separate windows and do not attach to it.
  static CNewFileSelector* create(CFrame* parent = nullptr, Style style = kSelectFile);

  // Shows the dialog and returns once the user has closed it: true when a file was chosen.
  // The previous selection is dropped first.
  bool runModal();
  // Ends the dialog. runModal returns only once the dialog has closed, so this is needed
  // only to keep the toolkit's calling pattern; the selection stays readable.
  void cancel();

  void setTitle(const std::string& title) { this->title = title; }
  void setInitialDirectory(const std::string& path) { initialDirectory = path; }
  void setDefaultSaveName(const std::string& name) { defaultSaveName = name; }
  // The type selected when the dialog opens; it is shown even if it was never added.
  void setDefaultExtension(const CFileExtension& extension);
  // The desktop's dialogs choose one file; the setting is kept for callers that read it.
  void setAllowMultiFileSelection(bool state) { allowMultiple = state; }
  void addFileExtension(const CFileExtension& extension) { extensions.push_back(extension); }

  uint32_t getNumSelectedFiles() const { return static_cast<uint32_t>(selectedFiles.size()); }
  // The chosen path, or null for an index beyond the selection.
  const char* getSelectedFile(uint32_t index) const;

  CFrame* getFrame() const { return frame; }
  Style getStyle() const { return style; }
  const std::string& getTitle() const { return title; }
  const std::string& getInitialDirectory() const { return initialDirectory; }
  const std::string& getDefaultSaveName() const { return defaultSaveName; }
  const std::vector<CFileExtension>& getFileExtensions() const { return extensions; }
  const CFileExtension* getDefaultExtension() const {
    return hasDefaultExtension ? &defaultExtension : nullptr;
  }
  bool getAllowMultiFileSelection() const { return allowMultiple; }

  void remember() { ++referenceCount; }
  void forget();

  CNewFileSelector(const CNewFileSelector&) = delete;
  CNewFileSelector& operator=(const CNewFileSelector&) = delete;

 private:
  CNewFileSelector(CFrame* parent, Style style);
  ~CNewFileSelector() = default;

  CFrame* frame;
  Style style;
  std::string title;
  std::string initialDirectory;
  std::string defaultSaveName;
  std::vector<CFileExtension> extensions;
  CFileExtension defaultExtension{"", ""};
  bool hasDefaultExtension = false;
  bool allowMultiple = false;
  std::vector<std::string> selectedFiles;
  int32_t referenceCount = 1;
};

}  // namespace VSTGUI
