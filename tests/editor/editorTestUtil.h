// Shared pieces of the editor tests: a plug-in whose editor is a real uEditor (opened
// offscreen), preferences in a private folder, artwork of known sizes written on demand and a
// manual clock.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/pluginControls.h"
#include "editor/uEditor.h"
#include "guiTables.h"
#include "platform/dialogTestSupport.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
#include "support/vstguiTester.h"
#include "support/xdgSandbox.h"
#include "vstgui/vstgui.h"

namespace editortest {

inline CreatedEditor makeEditor(APlugin& plugin) {
  auto* editor = new uEditor(&plugin);
  return {editor, editor};
}

// Writes "bmpNNNNN.png" files of the given sizes (per 100 % id; scaled ids follow the 150 and
// 200 % rule of the artwork) into a private folder and points the toolkit at it.
class TestArt {
 public:
  struct Size {
    int w, h;
  };
  explicit TestArt(const std::map<int, Size>& sizes);
  // The same into folder, without putting it in place.
  static void write(const std::string& folder, const std::map<int, Size>& sizes);
  ~TestArt();
  TestArt(const TestArt&) = delete;
  TestArt& operator=(const TestArt&) = delete;
  // Puts the build's artwork in place.
  static void useFullSet();
  // While the folder is in place the toolkit's reports of the bitmaps it lacks are collected
  // instead of printed. This ends the collection and returns the ids reported, in order; any
  // other text on standard error meanwhile fails the test. The destructor ends it too.
  std::vector<int> missingReports();

 private:
  std::string folder;
  std::string previous;
  bool collecting = false;
};

// A plug-in with its editor; prefs are cleared first and may be set before construction.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Makes the plug-in (and its editor) with these preference strings stored first.
  void make(const std::map<std::string, std::string>& prefs = {});
  // Opens offscreen; the frame gets a tester with a manual clock.
  bool openEditor();
  // One idle pass that runs (the clock moves past the throttle first).
  void pass();

  std::unique_ptr<APlugin> plugin;
  uEditor* editor = nullptr;
  std::unique_ptr<testing_support::FrameTester> tester;
};

// An editor open offscreen on the full artwork set.
class OpenEditorTest : public EditorTest {
 protected:
  void SetUp() override;
};

// Message boxes are answered (OK) and recorded instead of shown.
struct RecordingDialogs : dialogtest::ScriptedBackend {
  RecordingDialogs() : ScriptedBackend(platform::DialogTool::zenity) {
    previous = platform::setDialogBackend(this);
    answers.assign(16, dialogtest::exitedWith(0));
  }
  ~RecordingDialogs() override { platform::setDialogBackend(previous); }
  platform::IDialogBackend* previous;
};

// A preference as stored ("" when missing).
inline std::string pref(const std::string& key) {
  std::string v;
  loadStringFromPrefs(key, v, PREF_STRING_LEN);
  return v;
}

// A control the tests register themselves.
inline VSTGUI::CControl* testControl(uEditor& e, int tag,
                                     const VSTGUI::CRect& r = VSTGUI::CRect(0, 0, 10, 10)) {
  auto* c = e.own(new VSTGUI::CControl(r, &e, tag));
  e.addControl(c, true, false, false);
  return c;
}

// Puts `now` in `old`'s place in every list of what the frame, the boxes and the tabs show.
inline void replaceListed(uEditor& e, VSTGUI::CView* old, VSTGUI::CView* now) {
  for (uEditor::ViewList* list : e.shownLists())
    for (uEditor::ListedView& v : *list)
      if (v.view == old) v.view = now;
}

// The i-th view of type T a bottom tab shows every time (whatever the settings): the editor
// keeps the WaveShaper tab's Apply buttons and the Mod/LFO tab's page buttons only in the tab's
// list.
template <typename T>
T* shownWithTab(uEditor& e, size_t tab, int i) {
  int n = 0;
  for (const uEditor::ListedView& t : e.bottomTabShown[tab])
    if (auto* v = dynamic_cast<T*>(t.view); v && !t.when && n++ == i) return v;
  return nullptr;
}
inline VSTGUI::CKickButton* applyButton(uEditor& e, int i) {
  return shownWithTab<VSTGUI::CKickButton>(e, uEditor::WAVESHAPER_TAB, i);
}
inline TRadioButton* lfoPageButton(uEditor& e, int l) {
  return shownWithTab<TRadioButton>(e, uEditor::MOD_TAB, l);
}

}  // namespace editortest
