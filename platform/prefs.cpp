#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform.h"

namespace {

const char* const kFileExtension = ".json";

std::string envAbsolute(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  std::string s(value);
  removeEndSlash(s);
  return s;
}

std::string homeFolder() {
  std::string home = envAbsolute("HOME");
  if (!home.empty()) return home;
  // No usable $HOME (some service managers start hosts without one): ask the user database.
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  if (size <= 0) size = 16384;
  std::vector<char> buffer(static_cast<std::size_t>(size));
  passwd pw{};
  passwd* result = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
      result->pw_dir != nullptr && result->pw_dir[0] == '/') {
    home = result->pw_dir;
    removeEndSlash(home);
  }
  return home;
}

std::string folderOr(const char* variable, const char* homeRelative) {
  std::string folder = envAbsolute(variable);
  if (!folder.empty()) return folder;
  const std::string home = homeFolder();
  if (home.empty()) return {};
  return (home == "/" ? std::string() : home) + homeRelative;
}

std::string join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return {};
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string prefsFileName() { return std::string(PREF_PATH_STRING) + kFileExtension; }

}  // namespace

const PrefKeyInfo* findPrefKey(const std::string& key) noexcept {
  for (const PrefKeyInfo& info : PREF_KEYS) {
    if (key == info.key) return &info;
  }
  return nullptr;
}

std::string prefsUserFilePath() { return join(folderOr("XDG_CONFIG_HOME", "/.config"), prefsFileName()); }

std::string prefsMachineFilePath() {
  const char* dirs = std::getenv("XDG_CONFIG_DIRS");
  std::string first;
  if (dirs != nullptr) {
    // The first absolute entry of the colon-separated list.
    const char* p = dirs;
    while (*p != '\0') {
      const char* end = std::strchr(p, ':');
      const std::size_t n = end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
      if (n > 0 && p[0] == '/') {
        first.assign(p, n);
        break;
      }
      if (end == nullptr) break;
      p = end + 1;
    }
  }
  if (first.empty()) first = "/etc/xdg";
  removeEndSlash(first);
  return join(first, prefsFileName());
}

std::string defaultDataFolder() {
  const std::string data = folderOr("XDG_DATA_HOME", "/.local/share");
  if (data.empty()) return {};
  return join(data, "Kestrune/Grindle2/");
}

std::string defaultFolderPref(const std::string& key) {
  const PrefKeyInfo* info = findPrefKey(key);
  if (info == nullptr || info->folderTail == nullptr) return {};
  const std::string base = info->inBundle ? moduleResourceFolder() : defaultDataFolder();
  return base.empty() ? std::string() : base + info->folderTail;
}

namespace {

std::string& resourceFolderOverride() {
  static std::string folder;
  return folder;
}

}  // namespace

void setModuleResourceFolder(const std::string& folder) { resourceFolderOverride() = folder; }

std::string moduleResourceFolder() {
  if (const std::string& f = resourceFolderOverride(); !f.empty()) return f.back() == '/' ? f : f + "/";
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&moduleResourceFolder), &info) == 0 || info.dli_fname == nullptr)
    return {};
  const std::string module(info.dli_fname);
  const auto slash = module.find_last_of('/');
  if (slash == std::string::npos) return {};
  // A host that loaded the module by a relative name: the folder as the process sees it.
  std::string folder = module.substr(0, slash);
  if (folder.empty()) folder = "/";
  if (folder[0] != '/') {
    char* real = ::realpath(folder.c_str(), nullptr);
    if (real == nullptr) return {};
    folder = real;
    std::free(real);
  }
  return join(folder, "Resources/");
}

bool isReadableFile(const std::string& path) {
  if (path.empty()) return false;
  // Non-blocking: a FIFO in the file's place must not hold the caller.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  return regular;
}

bool ensureDefaultFolder(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return true;
  bool isDefault = false;
  for (const char* key : {"ECSDir", "WaveShaperDir"})
    isDefault = isDefault || folder == defaultFolderPref(key);
  if (!isDefault) return false;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

TPrefsStore& defaultPrefsStore() noexcept {
  // Never destroyed: a plug-in instance that outlives the library's static objects (a host
  // closing instances late) must still find its store.
  static TPrefsStore& store = *new TPrefsStore(std::string(), std::string());
  try {
    std::string user = prefsUserFilePath();
    std::string machine = prefsMachineFilePath();
    // setFiles keeps the cache when nothing changed.
    store.setFiles(std::move(user), std::move(machine));
  } catch (...) {
  }
  return store;
}

void loadStringFromPrefs(std::string key, char* buffer, int len) {
  defaultPrefsStore().loadString(key, buffer, len);
}

void loadStringFromPrefs(std::string key, std::string& out, int len) {
  out = defaultPrefsStore().loadString(key, len);
}

void saveStringToPrefs(const std::string& key, const std::string& value) {
  defaultPrefsStore().saveString(key, value);
}

void saveStringToPrefs(const std::string& key, const char* value) {
  defaultPrefsStore().saveString(key, value != nullptr ? std::string_view(value) : std::string_view());
}

int loadIntFromPrefs(const std::string& key) { return defaultPrefsStore().loadInt(key); }

void saveIntToPrefs(const std::string& key, int value) { defaultPrefsStore().saveInt(key, value); }

bool getRegisterIsOn(const std::string& key, bool defaultOn) {
  return defaultPrefsStore().getRegisterIsOn(key, defaultOn);
}

void setRegisterIsOn(const std::string& key, bool on) { defaultPrefsStore().setRegisterIsOn(key, on); }

int getMidiCC(int cc) { return defaultPrefsStore().getMidiCC(cc); }

void setMidiCC(int cc, int tag) { defaultPrefsStore().setMidiCC(cc, tag); }

std::string loadFolderFromPrefs(const std::string& key) {
  return defaultPrefsStore().loadFolder(key, defaultFolderPref(key));
}
