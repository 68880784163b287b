// Linked into every test program: the desktop's own dialog tools and browser launcher never
// start from a test, whatever DISPLAY and PATH hold. A test that wants one writes a stand-in
// into a temporary folder, and only those are found.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/os/processRunner.h"

namespace {

bool isStandInOrHarmless(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  if (name != "zenity" && name != "kdialog" && name != "xdg-open") return true;
  std::error_code ec;
  const std::string temp = std::filesystem::temp_directory_path(ec).string();
  return !ec && !temp.empty() && path.compare(0, temp.size(), temp) == 0 && path.size() > temp.size() &&
         (path[temp.size()] == '/' || temp.back() == '/');
}

[[maybe_unused]] const bool installed = (platform::setProgramFilter(&isStandInOrHarmless), true);

}  // namespace
