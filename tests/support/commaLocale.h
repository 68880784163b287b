// A C-library locale whose decimal point is a comma, as hosts set for German or French users:
// printf and atof then write and read "0,5". For tests that numbers in texts and files stay
// locale-free.
#pragma once

#include <string>

namespace testing_support {

// Switches LC_ALL to such a locale for the life of the object: an installed one, or one
// generated once per test process into a temporary folder (LOCPATH points there meanwhile).
// The destructor returns to the "C" locale and restores LOCPATH.
class ScopedCommaLocale {
 public:
  ScopedCommaLocale();
  ~ScopedCommaLocale();
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

  // False when no such locale is installed and none could be generated: skip the test.
  bool active() const { return !name_.empty(); }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::string oldLocpath_;
  bool hadLocpath_ = false;
};

}  // namespace testing_support
