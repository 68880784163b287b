// A private set of XDG folders for one test: HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and
// XDG_CONFIG_DIRS all point into a fresh temporary folder, removed (and the environment
// restored) afterwards, so no test ever reads or writes the user's own settings.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "dialogTestSupport.h"

namespace prefstest {

using dialogtest::readFile;
using dialogtest::writeFile;

class TempXdg {
 public:
  TempXdg() {
    for (const auto& d : {home, etc1, etc2}) std::filesystem::create_directories(d);
  }
  std::string userFile() const { return config + "/com.Qelm.Grindle2.json"; }
  std::string machineFile() const { return etc1 + "/com.Qelm.Grindle2.json"; }

 private:
  dialogtest::TempDir dir_;

 public:
  const std::string root = dir_.path(), home = root + "/home", config = root + "/config",
                    data = root + "/data", etc1 = root + "/etc1", etc2 = root + "/etc2";

 private:
  dialogtest::ScopedEnv vars_[4] = {{"HOME", home},
                                    {"XDG_CONFIG_HOME", config},
                                    {"XDG_DATA_HOME", data},
                                    {"XDG_CONFIG_DIRS", etc1 + ":" + etc2}};
};

// The file as JSON, parsed independently of the store.
inline nlohmann::json fileJson(const std::string& path) { return nlohmann::json::parse(readFile(path)); }

}  // namespace prefstest
