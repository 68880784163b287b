// The six graph screens: what all of them share (no editor, wheel, host gestures), then the
// follower, wave-shaper, matrix and LFO screens.
#include <cmath>
#include <functional>
#include <string>

#include "plugin/uVocabulary.h"
#include "screenRig.h"

using namespace screens_test;
using testing_support::FakeControlEditor;
using testing_support::FrameTester;
using Kind = testing_support::RecordingDrawContext::Kind;

namespace {

struct ScreenCase {
  const char* name;
  std::function<TGraphScreen*()> make;
  CPoint dragFrom;  // a point that starts a drag (frame coordinates)
};

const std::vector<ScreenCase>& allScreens() {
  static const std::vector<ScreenCase> cases = {
      {"follower", [] { return new TFollowerScreen(CRect(20, 20, 427, 103), nullptr, 0); }, {200, 60}},
      {"waveShaper",
       [] { return new TWaveShaperScreen(CRect(20, 20, 206, 206), nullptr, 0, 0); },
       {100, 100}},
      {"matrix", [] { return new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false); }, {470, 60}},
      {"lfo", [] { return new TLFOScreen(CRect(20, 20, 97, 97), nullptr, 2, 0); }, {58, 58}},
      {"eq", [] { return new TEQScreen(CRect(20, 20, 525, 109), nullptr, 0); }, {200, 60}},
      {"distortion", [] { return new TDistortScreen(CRect(20, 20, 120, 121), nullptr, 0); }, {70, 70}},
  };
  return cases;
}

}  // namespace

TEST(Screens, WithoutEditorOrPluginDrawNothingAndTakeNoDrag) {
  FakeControlEditor noPlugin(nullptr);
  for (VSTGUI::VSTGUIEditorInterface* editor : {static_cast<VSTGUI::VSTGUIEditorInterface*>(nullptr),
                                                static_cast<VSTGUI::VSTGUIEditorInterface*>(&noPlugin)}) {
    FrameTester t(CRect(0, 0, 600, 300), editor);
    for (const ScreenCase& s : allScreens()) {
      TGraphScreen* screen = s.make();
      t.frame()->addView(screen);
      EXPECT_EQ(screen->getTag(), 9999) << s.name;
      EXPECT_TRUE(drawOps(screen).empty()) << s.name;
      CPoint p = s.dragFrom;
      EXPECT_EQ(screen->onMouseDown(p, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents) << s.name;
      EXPECT_FALSE(screen->isDragging()) << s.name;
      EXPECT_FALSE(screen->onWheel(p, 1.0f, 0)) << s.name;
      t.frame()->removeView(screen);
    }
  }
  EXPECT_TRUE(noPlugin.calls.empty());
}

TEST(Screens, WheelStepsTheirParameterBySign) {
  // observe: what the wheel changes; expected change for a distance of +1 (-1 gives the opposite).
  struct Case {
    int screen;
    std::function<void(Rig&)> prepare;
    std::function<double(Rig&)> observe;
    double plusOne;
  };
  const std::vector<Case> cases = {
      {0, [](Rig& r) { r.plugin->setSteppedValue(FOLLOWER_SOURCE_TAG, 3); },
       [](Rig& r) { return r.plugin->getSteppedValue(FOLLOWER_SOURCE_TAG); }, -1},
      {1, [](Rig& r) { r.plugin->setSteppedValue(240, 5); },
       [](Rig& r) { return r.plugin->getSteppedValue(240); }, -1},
      {2, [](Rig& r) { r.plugin->setParameter(120, 0.5f); },
       [](Rig& r) { return r.plugin->getParameter(120); }, 0.01},
      {3, [](Rig& r) { r.plugin->setSteppedValue(155, 2); },
       [](Rig& r) { return r.plugin->getSteppedValue(155); }, -1},
      {4, [](Rig& r) { r.plugin->setParameter(23, 0.5f); }, [](Rig& r) { return r.plugin->getParameter(23); },
       0.01},
      {5, [](Rig& r) { r.plugin->setSteppedValue(DISTORT_TYPE_TAG, 5); },
       [](Rig& r) { return r.editor.calls.empty() ? r.plugin->getDistortType() : r.editor.calls.back().arg; },
       -1},
  };
  for (const Case& c : cases) {
    const ScreenCase& s = allScreens()[static_cast<size_t>(c.screen)];
    for (float distance : {1.0f, -1.0f, 0.0f}) {
      Rig rig;
      rig.add(s.make());
      c.prepare(rig);
      rig.host.calls.clear();
      const double before = c.observe(rig);
      // The matrix takes the row under the pointer: row 2 here.
      EXPECT_TRUE(rig.tester.wheel(s.dragFrom.x, s.dragFrom.y, distance)) << s.name;
      EXPECT_NEAR(c.observe(rig) - before, c.plusOne * distance, 1e-5) << s.name << " " << distance;
      if (distance == 0.0f) {
        EXPECT_EQ(rig.hostCount(kHostAutomate), 0) << s.name;
      }
    }
  }
}

TEST(Screens, GesturesCloseAndHostValuesStayInRange) {
  for (const ScreenCase& s : allScreens()) {
    SCOPED_TRACE(s.name);
    Rig rig;
    TGraphScreen* screen = rig.add(s.make());
    const CPoint from = s.dragFrom;
    for (const CPoint far : {CPoint(5000, -5000), CPoint(-5000, 5000)}) {
      EXPECT_EQ(rig.tester.mouseDown(from.x, from.y), kMouseEventHandled);
      rig.tester.move(from.x + far.x / 2, from.y + far.y / 2, kLButton);
      rig.tester.move(from.x + far.x, from.y + far.y, kLButton | kShift);
      rig.tester.move(from.x, from.y, kLButton);
      rig.tester.mouseUp(from.x, from.y);
      EXPECT_FALSE(screen->isDragging());
    }
    // A middle press is a gesture too: its release takes the help texts away.
    rig.tester.mouseDown(from.x, from.y, kMButton);
    rig.tester.mouseUp(from.x, from.y, kMButton);
    EXPECT_FALSE(screen->isDragging());
    // The editor rebuilds the box in the middle of a drag.
    EXPECT_EQ(rig.tester.mouseDown(from.x, from.y), kMouseEventHandled);
    rig.tester.move(from.x + 3000, from.y - 3000, kLButton);
    screen->remember();
    rig.tester.frame()->removeView(screen);
    EXPECT_FALSE(screen->isDragging());
    EXPECT_EQ(screen->getGestureTag(), -1);
    rig.tester.move(from.x, from.y, kLButton);
    rig.tester.mouseUp(from.x, from.y);
    screen->forget();
    rig.expectCleanHost();
  }
}

TEST(Screens, DragsBracketTheParameterTheyWrite) {
  // The matrix brackets the row's tag, the LFO screen its shape tag; the follower drag is not
  // bracketed.
  const std::vector<std::pair<int, int>> cases = {{0, -1}, {2, 120}, {3, 116}};
  for (const auto& [index, tag] : cases) {
    const ScreenCase& s = allScreens()[static_cast<size_t>(index)];
    Rig rig;
    TGraphScreen* screen = rig.add(s.make());
    rig.tester.mouseDown(s.dragFrom.x, s.dragFrom.y);
    EXPECT_EQ(screen->getGestureTag(), tag) << s.name;
    if (index == 3) static_cast<TLFOScreen*>(screen)->setLFO(0);  // the page changes under the drag
    rig.tester.move(s.dragFrom.x + 30, s.dragFrom.y, kLButton);
    rig.tester.mouseUp(s.dragFrom.x + 30, s.dragFrom.y);
    if (tag < 0) {
      EXPECT_EQ(rig.hostCount(kHostBeginEdit), 0);
      continue;
    }
    ASSERT_EQ(rig.hostCount(kHostBeginEdit), 1) << s.name;
    EXPECT_EQ(rig.host.last(kHostBeginEdit)->index, tag);
    EXPECT_EQ(rig.host.last(kHostEndEdit)->index, tag);
    EXPECT_EQ(rig.host.last(kHostAutomate)->index, tag);
  }
}

// ---- Follower ----

TEST(FollowerScreen, RightClickStepsTheSourceRound) {
  for (const auto& [from, to] : std::vector<std::pair<int, int>>{{0, 1}, {5, 6}, {6, 0}}) {
    Rig rig;
    rig.add(allScreens()[0].make());
    rig.plugin->setSteppedValue(FOLLOWER_SOURCE_TAG, from);
    EXPECT_EQ(rig.tester.mouseDown(100, 50, kRButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(rig.plugin->getFollowerSource(), to);
  }
}

TEST(FollowerScreen, CommandClickResetsSourceAndKnobs) {
  for (int32_t buttons : {kLButton | kControl, kLButton | kShift | kDoubleClick}) {
    Rig rig;
    auto* screen = rig.add(allScreens()[0].make());
    const int tags[] = {143, 86, 87, 88, 89, 90, 91};
    for (int t : tags) rig.plugin->setParameter(t, rig.plugin->getDefault(t) > 0.5f ? 0.1f : 0.9f);
    EXPECT_EQ(rig.tester.mouseDown(100, 50, buttons), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    for (int t : tags) EXPECT_EQ(rig.plugin->getParameter(t), rig.plugin->getDefault(t)) << t;
    EXPECT_FALSE(screen->isDragging());
  }
}

TEST(FollowerScreen, DragSensitivity) {
  // Boost (87) follows up/down over 200 px, or 2000 with Shift; smooth (88) follows left/right.
  struct Case {
    int32_t buttons;
    double dx, dy;
    float boost, smooth;
  };
  const Case cases[] = {{kLButton, 0, -200, 1.0f, 0.0f},
                        {kLButton | kShift, 0, -1000, 0.5f, 0.0f},
                        {kLButton | kShift, 500, 0, 0.0f, 0.25f},
                        {kLButton, 40, 0, 0.0f, 0.2f}};
  for (const Case& c : cases) {
    Rig rig;
    rig.add(allScreens()[0].make());
    rig.plugin->setParameter(87, 0.0f);
    rig.plugin->setParameter(88, 0.0f);
    rig.tester.drag(CPoint(200, 60), CPoint(200 + c.dx, 60 + c.dy), 4, c.buttons);
    EXPECT_NEAR(rig.plugin->getParameter(87), c.boost, 1e-4);
    EXPECT_NEAR(rig.plugin->getParameter(88), c.smooth, 1e-4);
  }
}

// ---- Wave shaper ----

namespace {

struct ShaperRig : Rig {
  explicit ShaperRig(bool independent, int scale = 0) {
    plugin->setParameter(WAVESHAPER_POLAR_TAG, independent ? 1.0f : 0.0f);
    screen = add(new TWaveShaperScreen(CRect(20, 20, 206, 206), nullptr, 0, scale));
  }
  float point(int i) const { return plugin->getParameter(WAVESHAPER_START_TAG[0] + i); }
  void fill(float v) {
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) plugin->setParameter(WAVESHAPER_START_TAG[0] + i, v);
  }
  TWaveShaperScreen* screen;
};

}  // namespace

TEST(WaveShaperScreen, ClicksWriteThePointUnderThePointer) {
  // Symmetric: level 0.25 from the top gives v = 0.75, p = 0.875 at 128 and its mirror at 127.
  {
    ShaperRig rig(false);
    rig.tester.click(20, 20 + 0.25 * 186);
    EXPECT_FLOAT_EQ(rig.point(128), 0.875f);
    EXPECT_FLOAT_EQ(rig.point(127), 0.125f);
    EXPECT_EQ(rig.hostCount(kHostAutomate), 0);  // point writes are not automated
  }
  // Independent: x = W (the view's right edge) and beyond reach the last point, as a drag
  // past the edge does.
  for (double x : {206.0, 260.0}) {
    ShaperRig rig(true);
    for (float level : {0.5f, 0.0f, 0.75f}) {
      CPoint p(x, 20 + level * 186);
      EXPECT_EQ(rig.screen->onMouseDown(p, kLButton), kMouseEventHandled);
      rig.screen->onMouseUp(p, kLButton);
      EXPECT_FLOAT_EQ(rig.point(255), 1.0f - level) << x;
    }
  }
}

TEST(WaveShaperScreen, EraseFlattensCrossedPoints) {
  for (bool independent : {false, true}) {
    ShaperRig rig(independent);
    rig.fill(0.9f);
    rig.screen->setDrawMode(TWaveShaperScreen::kErase);
    rig.tester.drag(CPoint(40, 30), CPoint(150, 200), 7);
    const int scale = independent ? 255 : 128;
    const int lo = 20 * scale / 186 + 1, hi = 130 * scale / 186 - 1;
    for (int i = lo; i < hi; ++i) {
      const int point = independent ? i : 128 + i;
      EXPECT_FLOAT_EQ(rig.point(point), 0.5f) << point;
      if (!independent) {
        EXPECT_FLOAT_EQ(rig.point(127 - i), 0.5f) << 127 - i;
      }
    }
    EXPECT_FLOAT_EQ(rig.point(independent ? 2 : 130), 0.9f);
  }
}

TEST(WaveShaperScreen, SymmetricLineIsTheSameInBothDirections) {
  const CPoint a(40, 50), b(170, 160);
  std::vector<float> written[2];
  for (int direction = 0; direction < 2; ++direction) {
    ShaperRig rig(false);
    rig.fill(0.5f);
    rig.screen->setDrawMode(TWaveShaperScreen::kLine);
    rig.tester.drag(direction ? b : a, direction ? a : b, 3);
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) written[direction].push_back(rig.point(i));
  }
  EXPECT_EQ(written[0], written[1]);
  // The higher end is written: b's level (140 / 186 from the top) at its point.
  const int hiPoint = 128 + static_cast<int>(150.0f / 186 * 127.9999f);
  EXPECT_NEAR(written[0][static_cast<size_t>(hiPoint)], (1.0f - 140.0f / 186) * 0.5f + 0.5f, 1e-5);
}

TEST(WaveShaperScreen, CommandClickRestoresTheRampAfterTheUndoSnapshot) {
  ShaperRig rig(true);
  rig.fill(0.3f);
  EXPECT_EQ(rig.tester.mouseDown(100, 100, kLButton | kControl),
            kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(rig.editor.count("setWaveShaperUndo"), 1);
  EXPECT_FLOAT_EQ(rig.editor.valueAtUndo, 0.3f);
  for (int i = 0; i < WAVESHAPER_POINTS; ++i) EXPECT_NEAR(rig.point(i), i / 255.0f, 1e-6) << i;
}

TEST(WaveShaperScreen, BarsAndLabelsStayInsideTheView) {
  // Points below the centre in the symmetric view (written in the independent mode) draw no
  // bar; the labels fit the view at every zoom.
  for (int scale = 0; scale < 3; ++scale) {
    for (bool independent : {false, true}) {
      ShaperRig rig(independent, scale);
      rig.fill(0.2f);
      auto* dot = new CBitmap(1, 400);
      rig.editor.waveShaperDot = dot;
      int bars = 0;
      for (const auto& op : drawOps(rig.screen)) {
        if (op.kind != Kind::Bitmap && op.kind != Kind::String) continue;
        bars += op.kind == Kind::Bitmap;
        EXPECT_LT(op.rect.top, op.rect.bottom) << op.text;
        EXPECT_GE(op.rect.top, 20) << op.text;
        EXPECT_LE(op.rect.bottom, 206) << op.text << " scale " << scale;
      }
      EXPECT_EQ(bars, independent ? 186 : 0);
      rig.editor.waveShaperDot = nullptr;
      dot->forget();
    }
  }
}

// ---- Modulation matrix ----

TEST(ModScreen, CellTexts) {
  struct Case {
    int dest;
    float amount;
    const char* text;
  };
  const Case cases[] = {{1, 0.5f, "0 %"},    {1, 0.0f, "-100 %"},  {1, 1.0f, "100 %"},   {87, 0.0f, "6 %"},
                        {87, 0.5f, "100 %"}, {87, 1.0f, "1600 %"}, {67, 1.0f, "1600 %"}, {90, 1.0f, "100 %"}};
  Rig rig;
  auto* screen = rig.add(new TModScreen(CRect(0, 0, 500, 160), nullptr, 0, true));
  for (const Case& c : cases) {
    rig.plugin->setDestForModSlot(0, c.dest);
    rig.plugin->setParameter(118, c.amount);
    EXPECT_EQ(screen->cellText(*rig.plugin, 0, 4, 0), c.text) << c.dest << " " << c.amount;
  }
  rig.plugin->setParameter(220, 0.25f);
  EXPECT_EQ(screen->cellText(*rig.plugin, 0, 5, 0), "-50 %");
  rig.plugin->setSrcForModSlot(3, 5);
  EXPECT_EQ(screen->cellText(*rig.plugin, 3, 2, 0), "Note");
  EXPECT_EQ(screen->cellText(*rig.plugin, 9, 0, 0), "10");
}

TEST(ModScreen, RowsAndColumns) {
  const TModScreen basic(CRect(0, 0, 750, 240), nullptr, 1, false);
  const int edges[] = {0, 39, 84, 354, 624, 750};
  for (int j = 0; j <= 5; ++j) EXPECT_EQ(basic.getColumnEdge(j), edges[j]);
  EXPECT_EQ(basic.getSlot(10000), 9);
  EXPECT_EQ(basic.getSlot(-30), 0);
  EXPECT_EQ(basic.getSlot(24 * 3 + 1), 3);
  EXPECT_EQ(basic.columnAt(39), -1);
  EXPECT_EQ(basic.columnAt(39.5), -1);
  EXPECT_EQ(basic.columnAt(40), 1);
  const TModScreen advanced(CRect(0, 0, 500, 160), nullptr, 0, true);
  EXPECT_EQ(advanced.getColumnCount(), 8);
  EXPECT_EQ(advanced.columnAt(499), 7);
}

TEST(ModScreen, ClickOnAColumnEdgeChangesNothingButTakesTheSnapshot) {
  Rig rig;
  rig.add(new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false));
  const auto before = rig.values();
  rig.tester.click(20 + 236, 30);
  EXPECT_EQ(rig.editor.names(), std::vector<std::string>{"setModUndo"});
  EXPECT_EQ(rig.values(), before);
}

TEST(ModScreen, SourcePopup) {
  Rig rig;
  rig.add(new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false));
  const double x = 20 + 100, y = 20 + 16 * 4 + 5;  // row 4, source column
  rig.tester.menus().chooseTitle("Note");
  rig.tester.click(x, y);
  EXPECT_EQ(rig.plugin->getSrcForModSlot(4), 5);
  const auto& shown = rig.tester.menus().lastShown;
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0].title, "None");
  int inGroup[2] = {};
  int group = -1;
  for (const auto& line : shown) {
    if (line.depth == 0 && line.hasSubmenu) {
      ++group;
      EXPECT_EQ(line.title, SRC_HEADER_STR[static_cast<size_t>(group)]);
    } else if (line.depth == 1) {
      ++inGroup[group];
    }
  }
  EXPECT_EQ(inGroup[0], 31);
  EXPECT_EQ(inGroup[1], 23);
  EXPECT_EQ(rig.tester.frame()->getNbViews(), 1);  // the pop-up is gone again

  const auto before = rig.values();
  rig.tester.menus().dismiss();
  rig.tester.click(x, y);
  EXPECT_EQ(rig.values(), before);
}

TEST(ModScreen, OtherColumnsAndButtons) {
  Rig rig;
  rig.add(new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false));
  rig.tester.click(20 + 40, 20 + 16 * 2 + 3);  // bypass of row 2
  EXPECT_TRUE(rig.plugin->getOnOff(192));
  rig.tester.click(20 + 300, 20 + 16 * 6 + 3);  // destination of row 6
  rig.tester.click(300, 100, kRButton);
  rig.plugin->setParameter(123, 0.9f);
  rig.tester.click(20 + 450, 20 + 16 * 5 + 3, kLButton | kControl);
  EXPECT_EQ(rig.plugin->getParameter(123), rig.plugin->getDefault(123));
  std::vector<std::pair<std::string, int>> calls;
  for (const auto& c : rig.editor.calls) calls.emplace_back(c.name, c.arg);
  const std::vector<std::pair<std::string, int>> expected = {
      {"setModUndo", 0}, {"setModUndo", 0}, {"showDestMenu", 186}, {"showModMenu", 5}, {"setModUndo", 0}};
  EXPECT_EQ(calls, expected);
}

// ---- LFO ----

TEST(LFOScreen, RedrawsOnlyWhenTheDotOrTheWaveMoves) {
  Rig rig;
  auto* screen = rig.add(new TLFOScreen(CRect(20, 20, 97, 97), nullptr, 1, 0));
  screen->update(1);
  EXPECT_TRUE(screen->isDirty());
  screen->setDirty(false);
  screen->update(1);  // same counter
  EXPECT_FALSE(screen->isDirty());
  screen->update(2);  // same position and wave
  EXPECT_FALSE(screen->isDirty());
  rig.plugin->setSteppedValue(LFO_WAVE_TAGS[1], rig.plugin->getLFOWave(1) == 0 ? 1 : 0);
  screen->update(2);
  EXPECT_FALSE(screen->isDirty());
  screen->update(3);
  EXPECT_TRUE(screen->isDirty());
}

TEST(LFOScreen, DragEditsTheShapeAndResetRestoresIt) {
  Rig rig;
  auto* screen = rig.add(new TLFOScreen(CRect(20, 20, 97, 97), nullptr, 3, 0));
  rig.plugin->setParameter(117, 0.2f);
  rig.tester.drag(CPoint(50, 50), CPoint(110, 10), 3);
  EXPECT_NEAR(rig.plugin->getParameter(117), 0.5f, 1e-5);
  rig.tester.click(50, 50, kLButton | kControl);
  EXPECT_EQ(rig.plugin->getParameter(117), rig.plugin->getDefault(117));
  EXPECT_FALSE(screen->isDragging());
  rig.expectCleanHost();
}
