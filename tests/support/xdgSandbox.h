// Points HOME and the XDG folders of the whole test process at a private temporary folder
// before any test runs, so that plug-in instances made by any test (and the host tools those
// tests start, which inherit the environment) never read or write the user's own settings.
// Include it in one source of every test program that creates plug-in instances.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace testing_support {

class XdgSandbox {
 public:
  XdgSandbox() : owner_(::getpid()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "grindle-tests-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    std::filesystem::create_directories(root_ + "/home");
    ::setenv("HOME", (root_ + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root_ + "/etc").c_str(), 1);
  }
  ~XdgSandbox() {
    // Forked children run static destructors too; only the process that made it removes it.
    if (::getpid() != owner_) return;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  XdgSandbox(const XdgSandbox&) = delete;
  XdgSandbox& operator=(const XdgSandbox&) = delete;

  const std::string& root() const { return root_; }

 private:
  pid_t owner_;
  std::string root_;
};

inline XdgSandbox xdgSandbox;

}  // namespace testing_support
