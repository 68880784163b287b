#include "commaLocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "childProcess.h"

namespace testing_support {

namespace {

bool decimalPointIsComma() { return std::strcmp(std::localeconv()->decimal_point, ",") == 0; }

constexpr const char* GENERATED_NAME = "de_DE.UTF-8";

// The folder of a locale generated for this process ("" when generating failed). Made on
// first use only: generating takes about a second.
const std::string& generatedLocaleFolder() {
  static TempDir folder;
  static const std::string path = [] {
    if (folder.path().empty()) return std::string();
    const ChildResult r =
        runChild({"localedef", "-i", "de_DE", "-f", "UTF-8", folder.path() + "/" + GENERATED_NAME});
    // 1: written with warnings.
    return r.exitCode == 0 || r.exitCode == 1 ? folder.path() : std::string();
  }();
  return path;
}

}  // namespace

ScopedCommaLocale::ScopedCommaLocale() {
  const char* old = std::getenv("LOCPATH");
  hadLocpath_ = old != nullptr;
  if (hadLocpath_) oldLocpath_ = old;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR"}) {
    if (std::setlocale(LC_ALL, name) && decimalPointIsComma()) {
      name_ = name;
      return;
    }
  }
  const std::string& folder = generatedLocaleFolder();
  if (folder.empty()) return;
  ::setenv("LOCPATH", folder.c_str(), 1);
  if (std::setlocale(LC_ALL, GENERATED_NAME) && decimalPointIsComma()) name_ = GENERATED_NAME;
}

ScopedCommaLocale::~ScopedCommaLocale() {
  std::setlocale(LC_ALL, "C");
  if (hadLocpath_) {
    ::setenv("LOCPATH", oldLocpath_.c_str(), 1);
  } else {
    ::unsetenv("LOCPATH");
  }
}

}  // namespace testing_support
