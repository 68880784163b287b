#include "editorTestUtil.h"

#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace editortest {

using testing_support::FrameTester;

TestArt::TestArt(const std::map<int, Size>& sizes) {
  std::string pattern = (std::filesystem::temp_directory_path() / "grindle-art-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder = pattern;
  for (const auto& [id, size] : sizes) {
    for (int m = 0; m < 3; ++m) {
      const float s = SCALE[static_cast<size_t>(m)];
      const int w = static_cast<int>(static_cast<float>(size.w) * s);
      const int h = static_cast<int>(static_cast<float>(size.h) * s);
      cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w < 1 ? 1 : w, h < 1 ? 1 : h);
      char name[32];
      std::snprintf(name, sizeof(name), "/bmp%05d.png", id + 1000 * m);
      cairo_surface_write_to_png(surface, (folder + name).c_str());
      cairo_surface_destroy(surface);
    }
  }
  previous = VSTGUI::CBitmap::getResourceFolder();
  VSTGUI::CBitmap::setResourceFolder(folder);
}

void TestArt::useFullSet() {
  static TestArt shared(fullSet());
  VSTGUI::CBitmap::setResourceFolder(shared.folder);
}

TestArt::~TestArt() {
  VSTGUI::CBitmap::setResourceFolder(previous);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

std::map<int, TestArt::Size> TestArt::fullSet() {
  std::map<int, Size> sizes;
  for (const BitmapRow& row : BITMAP_TABLE) sizes[row.base] = {1, 1};
  sizes[10000] = sizes[10001] = {1100, 712};
  for (int id = 10010; id <= 10023; ++id) sizes[id] = {616, 320};
  sizes[10024] = {157, 320};
  sizes[10025] = {154, 320};
  sizes[10026] = sizes[10027] = {115, 320};
  for (int id = 10030; id <= 10034; ++id) sizes[id] = {1042, 209};
  sizes[10040] = {21, 24};
  for (int id = 10046; id <= 10049; ++id) sizes[id] = {120, 48};
  sizes[10057] = {60, 44};
  sizes[10080] = sizes[10081] = sizes[10082] = {40, 40 * 137};  // 137-frame strips
  sizes[10083] = sizes[10084] = sizes[10085] = {44, 44 * 137};
  return sizes;
}

void EditorTest::SetUp() {
  APlugin::editorFactory.store(&makeEditor);
  std::filesystem::remove(prefsUserFilePath());
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
