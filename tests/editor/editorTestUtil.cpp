#include "editorTestUtil.h"

#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

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
}

void TestArt::useFullSet() {
  static const std::string shared = [] {
    const std::string built = GRINDLE_BINARY_DIR "/Grindle2/Resources";
    if (std::filesystem::exists(built + "/bmp10000.png")) return built;
    // Made once per build folder: written aside, then moved in place in one step, so that test
    // programs running side by side never see half a set.
    // Named by the sizes, so that a changed table makes a new set.
    size_t hash = 0;
    for (const auto& [id, size] : fullSet())
      hash = hash * 1000003u + static_cast<size_t>(id * 31 + size.w * 7 + size.h);
    const std::string cache = GRINDLE_BINARY_DIR "/tests/editor-art-" + std::to_string(hash % 1000000007u);
    if (!std::filesystem::exists(cache)) {
      const std::string temp = makeTempFolder(GRINDLE_BINARY_DIR "/tests");
      write(temp, fullSet());
      std::error_code ec;
      std::filesystem::rename(temp, cache, ec);
      if (ec) std::filesystem::remove_all(temp, ec);
    }
    return cache;
  }();
  VSTGUI::CBitmap::setResourceFolder(shared);
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
  sizes[10055] = {70, 40};
  sizes[10077] = {54, 24 * 5};
  sizes[10080] = sizes[10081] = sizes[10082] = {40, 40 * 137};  // 137-frame strips
  sizes[10083] = sizes[10084] = sizes[10085] = {44, 44 * 137};
  return sizes;
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
