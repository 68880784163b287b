#include "editorTestUtil.h"

#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace editortest {

using testing_support::FrameTester;

void TestArt::write(const std::string& folder, const std::map<int, Size>& sizes) {
  for (const auto& [id, size] : sizes) {
    for (int m = 0; m < 3; ++m) {
      const float s = SCALE[static_cast<size_t>(m)];
      const int w = static_cast<int>(static_cast<float>(size.w) * s);
      const int h = static_cast<int>(static_cast<float>(size.h) * s);
      cairo_surface_t* surface =
          cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w < 1 ? 1 : w, h < 1 ? 1 : h);
      char name[32];
      std::snprintf(name, sizeof(name), "/bmp%05d.png", id + 1000 * m);
      cairo_surface_write_to_png(surface, (folder + name).c_str());
      cairo_surface_destroy(surface);
    }
  }
}

namespace {
std::string makeTempFolder(const std::string& under) {
  std::string pattern = under + "/grindle-art-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}
}  // namespace

TestArt::TestArt(const std::map<int, Size>& sizes) {
  folder = makeTempFolder(std::filesystem::temp_directory_path().string());
  write(folder, sizes);
  previous = VSTGUI::CBitmap::getResourceFolder();
  VSTGUI::CBitmap::setResourceFolder(folder);
  testing::internal::CaptureStderr();
  collecting = true;
}

std::vector<int> TestArt::missingReports() {
  std::vector<int> ids;
  if (!collecting) return ids;
  collecting = false;
  std::istringstream lines(testing::internal::GetCapturedStderr());
  for (std::string line; std::getline(lines, line);) {
    int id = 0, end = 0;
    if (std::sscanf(line.c_str(), "Grindle2: bitmap %d not found or unreadable (%*[^)])%n", &id, &end) == 1 &&
        end == static_cast<int>(line.size()))
      ids.push_back(id);
    else
      ADD_FAILURE() << "unexpected on standard error: " << line;
  }
  return ids;
}

void TestArt::useFullSet() {
  // The editor's artwork, drawn by the build before any test program runs.
  static const std::string built = GRINDLE_BINARY_DIR "/Grindle2/Resources";
  ASSERT_TRUE(std::filesystem::exists(built + "/bmp10000.png")) << built;
  VSTGUI::CBitmap::setResourceFolder(built);
}

TestArt::~TestArt() {
  missingReports();
  VSTGUI::CBitmap::setResourceFolder(previous);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

void EditorTest::SetUp() {
  APlugin::editorFactory.store(&makeEditor);
  std::filesystem::remove(prefsUserFilePath());
}

void OpenEditorTest::SetUp() {
  EditorTest::SetUp();
  TestArt::useFullSet();
  make();
  ASSERT_TRUE(openEditor());
}

void EditorTest::TearDown() {
  tester.reset();
  plugin.reset();
  editor = nullptr;
  std::filesystem::remove(prefsUserFilePath());
}

void EditorTest::make(const std::map<std::string, std::string>& prefs) {
  for (const auto& [key, value] : prefs) saveStringToPrefs(key, value);
  plugin = std::make_unique<APlugin>(nullptr);
  editor = dynamic_cast<uEditor*>(plugin->getEditor());
  ASSERT_NE(editor, nullptr);
}

bool EditorTest::openEditor() {
  if (!editor->open(nullptr)) return false;
  tester = std::make_unique<FrameTester>(editor->getFrame());
  return true;
}

void EditorTest::pass() {
  tester->advanceClock(IDLE_INTERVAL_MS);
  editor->idle();
}

}  // namespace editortest
