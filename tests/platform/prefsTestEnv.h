// A private set of XDG folders for one test: HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and
// XDG_CONFIG_DIRS all point into a fresh temporary folder, removed (and the environment
// restored) afterwards, so no test ever reads or writes the user's own settings.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace prefstest {

inline const char* const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS"};

class TempXdg {
 public:
  TempXdg() {
    std::string pattern = (std::filesystem::temp_directory_path() / "grindle-prefs-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root = buffer.data();
    home = root + "/home";
    config = root + "/config";
    data = root + "/data";
    etc1 = root + "/etc1";
    etc2 = root + "/etc2";
    for (const auto& d : {home, etc1, etc2}) std::filesystem::create_directories(d);
    for (const char* v : kVariables) {
      const char* old = std::getenv(v);
      saved.push_back(old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    }
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (etc1 + ":" + etc2).c_str(), 1);
  }
  ~TempXdg() {
    for (std::size_t i = 0; i < saved.size(); ++i) {
      if (saved[i]) {
        ::setenv(kVariables[i], saved[i]->c_str(), 1);
      } else {
        ::unsetenv(kVariables[i]);
      }
    }
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  TempXdg(const TempXdg&) = delete;
  TempXdg& operator=(const TempXdg&) = delete;

  std::string userFile() const { return config + "/com.Qelm.Grindle2.json"; }
  std::string machineFile() const { return etc1 + "/com.Qelm.Grindle2.json"; }

  std::string root, home, config, data, etc1, etc2;

 private:
  std::vector<std::optional<std::string>> saved;
};

inline void writeFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file as JSON, parsed independently of the store.
inline nlohmann::json fileJson(const std::string& path) { return nlohmann::json::parse(readFile(path)); }

inline std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace prefstest
