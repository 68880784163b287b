// Linked into every test program: the desktop's own dialog tools and browser launcher never
// start from a test, whatever DISPLAY and PATH hold. A test that wants one writes a stand-in
// into a temporary folder of its own, and only those are found.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/os/processRunner.h"

namespace {

bool isStandInOrHarmless(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  if (name != "zenity" && name != "kdialog" && name != "xdg-open") return true;
  // Stand-ins live in the folders the tests make (TempDir: "grindle-test-XXXXXX" in the
  // temporary folder); a checkout that itself lies in the temporary folder does not count.
  std::error_code ec;
  const std::string made = (std::filesystem::temp_directory_path(ec) / "grindle-test-").string();
  return !ec && path.compare(0, made.size(), made) == 0;
}

[[maybe_unused]] const bool installed = (platform::setProgramFilter(&isStandInOrHarmless), true);

}  // namespace
