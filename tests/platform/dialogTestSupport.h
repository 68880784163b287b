// Helpers of the platform tests (and of the tests above them that script dialogs): temporary
// folders and files, environment overrides, stand-ins for the desktop's dialog programs, and a
// scripted dialog backend that records the commands it is given.
#pragma once

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/dialogBackend.h"
#include "support/childProcess.h"

namespace dialogtest {

class TempDir : public testing_support::TempDir {
 public:
  std::string file(const std::string& name) const { return path() + "/" + name; }
};

// Sets (or with unset = true removes) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value, bool unset = false) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    unset ? ::unsetenv(name) : ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_.c_str(), old_->c_str(), 1) : ::unsetenv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Writes the file, creating its folders.
inline void writeFile(const std::string& path, const std::string& content) {
  std::error_code ignored;  // a bare name has no folder to make
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An executable /bin/sh script.
inline void writeScript(const std::string& path, const std::string& body) {
  writeFile(path, "#!/bin/sh\n" + body);
  ::chmod(path.c_str(), 0755);
}

// Single-quoted for /bin/sh.
inline std::string shellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// A stand-in for zenity or kdialog: records its arguments NUL-separated in "<name>.args" beside
// itself, prints `answer` and exits with `status`. Asked for "--version" it notes the question
// as one line in "<name>.versions", prints `version` and exits 0. It uses shell built-ins only,
// so it works with a PATH that holds nothing but itself.
inline void writeFakeDialogTool(const TempDir& dir, const std::string& name, const std::string& answer,
                                int status, const std::string& version = "3.44.0") {
  writeScript(dir.file(name), "if [ \"$1\" = --version ]; then echo asked >> " +
                                  shellQuoted(dir.file(name + ".versions")) + "; echo " +
                                  shellQuoted(version) +
                                  "; exit 0; fi\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > " +
                                  shellQuoted(dir.file(name + ".args")) + "\nprintf '%s' " +
                                  shellQuoted(answer) + "\nexit " + std::to_string(status) + "\n");
}

// An X display for the dialog tools' sake: a socket listening where an X server of display
// ":n" would (in the abstract namespace, so no file is left behind), with DISPLAY naming it.
// Nothing answers on it; the dialog code only checks that a display is there.
class FakeDisplay {
 public:
  FakeDisplay() {
    for (int n = 640; n < 700 && fd_ < 0; ++n) {
      const std::string path = "/tmp/.X11-unix/X" + std::to_string(n);
      if (std::filesystem::exists(path)) continue;  // a real server's
      const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      std::memcpy(address.sun_path + 1, path.data(), path.size());
      const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
      // Nobody accepts: every check leaves a connection waiting, so leave room for many.
      if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd, SOMAXCONN) == 0) {
        fd_ = fd;
        name_ = ":" + std::to_string(n);
      } else {
        ::close(fd);
      }
    }
    if (!name_.empty()) ::setenv("DISPLAY", name_.c_str(), 1);
  }
  ~FakeDisplay() {
    if (fd_ >= 0) ::close(fd_);
  }
  FakeDisplay(const FakeDisplay&) = delete;
  FakeDisplay& operator=(const FakeDisplay&) = delete;
  const std::string& name() const { return name_; }  // "" when no display number was free

 private:
  ScopedEnv display_{"DISPLAY", "", true};  // restored afterwards; unset when no number was free
  int fd_ = -1;
  std::string name_;
};

inline std::vector<std::string> splitNul(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
    out.push_back(text.substr(start, end - start));
  return out;
}

inline platform::ProcessResult exitedWith(int code, const std::string& output = "") {
  platform::ProcessResult r;
  r.started = true;
  r.exited = true;
  r.exitCode = code;
  r.output = output;
  return r;
}

// Answers dialog commands from a script of results and records every command.
class ScriptedBackend : public platform::IDialogBackend {
 public:
  explicit ScriptedBackend(platform::DialogTool tool) : tool(tool) {}
  platform::DialogTool availableTool() override { return tool; }
  int toolMajorVersion(platform::DialogTool) override { return majorVersion; }
  platform::ProcessResult runDialog(const std::vector<std::string>& argv) override {
    calls.push_back(argv);
    if (answers.empty()) return exitedWith(1);  // an unscripted dialog is cancelled
    platform::ProcessResult r = answers.front();
    answers.pop_front();
    return r;
  }
  platform::DialogTool tool;
  int majorVersion = 3;
  std::deque<platform::ProcessResult> answers;
  std::vector<std::vector<std::string>> calls;
};

// Installs a backend for the life of the object.
class ScopedBackend {
 public:
  explicit ScopedBackend(platform::IDialogBackend* backend)
      : previous_(platform::setDialogBackend(backend)) {}
  ~ScopedBackend() { platform::setDialogBackend(previous_); }
  ScopedBackend(const ScopedBackend&) = delete;
  ScopedBackend& operator=(const ScopedBackend&) = delete;

 private:
  platform::IDialogBackend* previous_;
};

}  // namespace dialogtest
