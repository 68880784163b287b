// Helpers of the dialog tests: temporary folders, environment overrides, small scripts and a
// scripted dialog backend that records the commands it is given.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/dialogBackend.h"

namespace dialogtest {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "grindle-dialogs-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets (or with unset = true removes) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value, bool unset = false) : name_(name) {
    const char* old = std::getenv(name);
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    if (unset) {
      ::unsetenv(name);
    } else {
      ::setenv(name, value.c_str(), 1);
    }
  }
  ~ScopedEnv() {
    if (hadOld_) {
      ::setenv(name_.c_str(), old_.c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::string old_;
  bool hadOld_ = false;
};

inline void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
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
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

// A stand-in for zenity or kdialog: records its arguments NUL-separated in "<name>.args" beside
// itself, prints `answer` and exits with `status`. It uses shell built-ins only, so it works with
// a PATH that holds nothing but itself.
inline void writeFakeDialogTool(const TempDir& dir, const std::string& name, const std::string& answer, int status) {
  writeScript(dir.file(name),
              "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > " + shellQuoted(dir.file(name + ".args")) + "\n" +
              "printf '%s' " + shellQuoted(answer) + "\n" +
              "exit " + std::to_string(status) + "\n");
}

inline std::vector<std::string> splitNul(const std::string& text) {
  std::vector<std::string> out;
  std::string current;
  for (char c : text) {
    if (c == '\0') {
      out.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
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
  platform::ProcessResult runDialog(const std::vector<std::string>& argv) override {
    calls.push_back(argv);
    if (answers.empty()) return exitedWith(1);  // an unscripted dialog is cancelled
    platform::ProcessResult r = answers.front();
    answers.pop_front();
    return r;
  }
  platform::DialogTool tool;
  std::deque<platform::ProcessResult> answers;
  std::vector<std::vector<std::string>> calls;
};

// Installs a backend for the life of the object.
class ScopedBackend {
 public:
  explicit ScopedBackend(platform::IDialogBackend* backend) : previous_(platform::setDialogBackend(backend)) {}
  ~ScopedBackend() { platform::setDialogBackend(previous_); }
  ScopedBackend(const ScopedBackend&) = delete;
  ScopedBackend& operator=(const ScopedBackend&) = delete;

 private:
  platform::IDialogBackend* previous_;
};

}  // namespace dialogtest
