// Runs a program with an argument vector (no shell) and collects its standard output (and its
// standard error too when asked).
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ChildResult {
  int exitCode = -1;  // -1 when it could not be started or did not exit normally
  std::string output;
};

ChildResult runChild(const std::vector<std::string>& argv, bool withStderr = false);

// A fresh temporary directory, removed with its contents when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace testing_support
