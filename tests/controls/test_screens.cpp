// The six graph screens: what all of them share (no editor, wheel, host gestures), then the
// follower, wave-shaper, matrix and LFO screens.
#include <functional>
#include <string>

#include "controlTestKit.h"
#include "plugin/uVocabulary.h"

using namespace controls_test;

namespace {

struct ScreenCase {
  const char* name;
  std::function<TGraphScreen*()> make;
  CPoint dragFrom;  // a point that starts a drag (frame coordinates)
  bool automates;   // its drags are told to the host (the others store plainly or edit no parameter)
};

const std::vector<ScreenCase>& allScreens() {
  static const std::vector<ScreenCase> cases = {
      {"follower", [] { return new TFollowerScreen(CRect(20, 20, 427, 103), nullptr, 0); }, {200, 60}, true},
      {"waveShaper",
       [] { return new TWaveShaperScreen(CRect(20, 20, 206, 206), nullptr, 0, 0); },
       {100, 100},
       false},
      {"matrix", [] { return new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false); }, {470, 60}, true},
      {"lfo", [] { return new TLFOScreen(CRect(20, 20, 97, 97), nullptr, 2, 0); }, {58, 58}, true},
      {"eq", [] { return new TEQScreen(CRect(20, 20, 525, 109), nullptr, 0); }, {200, 60}, false},
      {"distortion", [] { return new TDistortScreen(CRect(20, 20, 120, 121), nullptr, 0); }, {70, 70}, false},
  };
  return cases;
}

}  // namespace

TEST(Screens, WithoutEditorOrPluginOrWhileHiddenTheyDoNothing) {
  FakeControlEditor noPlugin(nullptr);
  for (const ScreenCase& s : allScreens()) {
    for (int how = 0; how < 3; ++how) {
      SCOPED_TRACE(std::string(s.name) + " " + std::to_string(how));
      ControlRig rig;
      FrameTester t(CRect(0, 0, 600, 300), how == 0 ? nullptr : &noPlugin);
      TGraphScreen* screen = s.make();
      if (how < 2) {
        t.frame()->addView(screen);
        rig.host.calls.clear();
      } else {
        rig.add(screen);
        EXPECT_FALSE(drawn(screen).empty());
        screen->setVisible(false);
      }
      const std::vector<float> before = rig.values();
      EXPECT_EQ(screen->getTag(), NO_PARAM_TAG);
      EXPECT_TRUE(drawn(screen).empty());
      for (int32_t buttons :
           {int32_t{kLButton}, int32_t{kRButton}, kLButton | kDoubleClick, kLButton | kControl}) {
        CPoint p = s.dragFrom;
        EXPECT_EQ(screen->onMouseDown(p, buttons), MOUSE_DONE);
        EXPECT_FALSE(screen->isDragging());
      }
      EXPECT_FALSE(screen->onWheel(s.dragFrom, 1.0f, 0));
      EXPECT_EQ(rig.values(), before);
      EXPECT_TRUE(rig.editor.calls.empty());
      EXPECT_TRUE(rig.host.calls.empty());
    }
  }
  EXPECT_TRUE(noPlugin.calls.empty());
}

TEST(Screens, WheelStepsTheirParameterBySign) {
  // The change for a distance of +1 (-1 gives the opposite); the matrix takes the row under the
  // pointer (row 2), the distortion screen asks the editor for the next type.
  struct Case {
    int screen, tag;
    float start;
    bool stepped;
    double plusOne;
  };
  for (const Case& c :
       {Case{0, FOLLOWER_SOURCE_TAG, 3, true, -1}, Case{1, 240, 5, true, -1}, Case{2, 120, 0.5f, false, 0.01},
        Case{3, 155, 2, true, -1}, Case{4, 23, 0.5f, false, 0.01}, Case{5, DISTORT_TYPE_TAG, 5, true, -1}}) {
    const ScreenCase& s = allScreens()[static_cast<size_t>(c.screen)];
    for (float distance : {1.0f, -1.0f, 0.0f}) {
      ControlRig rig;
      rig.add(s.make());
      c.stepped ? rig.plugin->setSteppedValue(c.tag, static_cast<int>(c.start))
                : rig.plugin->setParameter(c.tag, c.start);
      rig.host.calls.clear();
      EXPECT_TRUE(rig.tester.wheel(s.dragFrom.x, s.dragFrom.y, distance)) << s.name;
      double now = c.stepped ? rig.plugin->getSteppedValue(c.tag) : rig.plugin->getParameter(c.tag);
      if (c.screen == 5 && !rig.editor.calls.empty()) now = rig.editor.calls.back().arg;
      EXPECT_NEAR(now - c.start, c.plusOne * distance, 1e-5) << s.name << " " << distance;
      if (distance == 0.0f) {
        EXPECT_EQ(rig.hostCount(kHostAutomate), 0) << s.name;
      }
    }
  }
}

TEST(Screens, GesturesCloseAndHostValuesStayInRange) {
  for (const ScreenCase& s : allScreens()) {
    SCOPED_TRACE(s.name);
    ControlRig rig;
    TGraphScreen* screen = rig.add(s.make());
    const std::vector<float> before = rig.values();
    const CPoint from = s.dragFrom;
    for (const CPoint far : {CPoint(5000, -5000), CPoint(-5000, 5000)}) {
      EXPECT_EQ(rig.tester.mouseDown(from.x, from.y), kMouseEventHandled);
      rig.tester.move(from.x + far.x / 2, from.y + far.y / 2, kLButton);
      rig.tester.move(from.x + far.x, from.y + far.y, kLButton | kShift);
      rig.tester.move(from.x, from.y, kLButton);
      rig.tester.mouseUp(from.x, from.y);
      EXPECT_FALSE(screen->isDragging());
    }
    // The range check below has values to look at exactly for the screens that automate; the
    // others store plainly, but for the distortion picture, which edits no parameter.
    EXPECT_EQ(rig.hostCount(kHostAutomate) > 0, s.automates);
    EXPECT_EQ(rig.values() != before, std::string(s.name) != "distortion");
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
    rig.expectHostBalanced();
  }
}

TEST(Screens, DragsBracketTheParameterTheyWrite) {
  // The matrix brackets the row's tag, the LFO screen its shape tag; the follower drag is not
  // bracketed.
  const std::vector<std::pair<int, int>> cases = {{0, -1}, {2, 120}, {3, 116}};
  for (const auto& [index, tag] : cases) {
    const ScreenCase& s = allScreens()[static_cast<size_t>(index)];
    ControlRig rig;
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

TEST(FollowerScreen, RightClickStepsTheSourceRoundAndResetRestoresSourceAndKnobs) {
  for (const auto& [from, to] : {std::pair{0, 1}, {5, 6}, {6, 0}}) {
    ControlRig rig;
    rig.add(allScreens()[0].make());
    rig.plugin->setSteppedValue(FOLLOWER_SOURCE_TAG, from);
    EXPECT_EQ(rig.tester.mouseDown(100, 50, kRButton), MOUSE_DONE);
    EXPECT_EQ(rig.plugin->getFollowerSource(), to);
  }
  for (int32_t buttons : {kLButton | kControl, kLButton | kShift | kDoubleClick}) {
    ControlRig rig;
    auto* screen = rig.add(allScreens()[0].make());
    const int tags[] = {143, 86, 87, 88, 89, 90, 91};
    for (int t : tags) rig.plugin->setParameter(t, rig.plugin->getDefault(t) > 0.5f ? 0.1f : 0.9f);
    EXPECT_EQ(rig.tester.mouseDown(100, 50, buttons), MOUSE_DONE);
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
  for (const Case& c : {Case{kLButton, 0, -200, 1.0f, 0.0f}, Case{kLButton | kShift, 0, -1000, 0.5f, 0.0f},
                        Case{kLButton | kShift, 500, 0, 0.0f, 0.25f}, Case{kLButton, 40, 0, 0.0f, 0.2f}}) {
    ControlRig rig;
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

struct ShaperRig : ControlRig {
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
  // Independent: the right edge and beyond reach the last point, as a drag past the edge does.
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

TEST(WaveShaperScreen, EraseFlattensCrossedPointsAndALineIsTheSameBothWays) {
  for (bool independent : {false, true}) {
    ShaperRig rig(independent);
    rig.fill(0.9f);
    rig.screen->setDrawMode(TWaveShaperScreen::kErase);
    rig.tester.drag(CPoint(40, 30), CPoint(150, 200), 7);
    const int scale = independent ? 255 : 128;
    for (int i = 20 * scale / 186 + 1; i < 130 * scale / 186 - 1; ++i) {
      EXPECT_FLOAT_EQ(rig.point(independent ? i : 128 + i), 0.5f) << i;
      EXPECT_FLOAT_EQ(rig.point(independent ? i : 127 - i), 0.5f) << i;
    }
    EXPECT_FLOAT_EQ(rig.point(independent ? 2 : 130), 0.9f);
  }
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
  EXPECT_EQ(rig.tester.mouseDown(100, 100, kLButton | kControl), MOUSE_DONE);
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
      TestBitmap dot(1, 400);
      rig.editor.waveShaperDot = dot;
      int bars = 0;
      for (const auto& op : drawn(rig.screen)) {
        if (op.kind != Kind::Bitmap && op.kind != Kind::String) continue;
        bars += op.kind == Kind::Bitmap;
        EXPECT_LT(op.rect.top, op.rect.bottom) << op.text;
        EXPECT_GE(op.rect.top, 20) << op.text;
        EXPECT_LE(op.rect.bottom, 206) << op.text << " scale " << scale;
      }
      EXPECT_EQ(bars, independent ? 186 : 0);
      rig.editor.waveShaperDot = nullptr;
    }
  }
}

// ---- Modulation matrix ----

TEST(ModScreen, CellTextsAndColumns) {
  struct Case {
    int dest;
    float amount;
    const char* text;
  };
  ControlRig rig;
  auto* screen = rig.add(new TModScreen(CRect(0, 0, 500, 160), nullptr, 0, true));
  for (const Case& c : {Case{1, 0.5f, "0 %"}, Case{1, 0.0f, "-100 %"}, Case{1, 1.0f, "100 %"},
                        Case{87, 0.0f, "6 %"}, Case{87, 0.5f, "100 %"}, Case{87, 1.0f, "1600 %"},
                        Case{67, 1.0f, "1600 %"}, Case{90, 1.0f, "100 %"}}) {
    rig.plugin->setDestForModSlot(0, c.dest);
    rig.plugin->setParameter(118, c.amount);
    EXPECT_EQ(screen->cellText(*rig.plugin, 0, 4, 0), c.text) << c.dest << " " << c.amount;
  }
  rig.plugin->setParameter(220, 0.25f);
  EXPECT_EQ(screen->cellText(*rig.plugin, 0, 5, 0), "-50 %");
  rig.plugin->setSrcForModSlot(3, 5);
  EXPECT_EQ(screen->cellText(*rig.plugin, 3, 2, 0), "Note");
  EXPECT_EQ(screen->cellText(*rig.plugin, 9, 0, 0), "10");
  // Rows are limited to the ten slots; a column edge belongs to no column.
  const TModScreen basic(CRect(0, 0, 750, 240), nullptr, 1, false);
  for (auto [y, slot] : {std::pair{10000.0, 9}, {-30.0, 0}, {73.0, 3}}) EXPECT_EQ(basic.getSlot(y), slot);
  for (auto [x, column] : {std::pair{39.0, -1}, {39.5, -1}, {40.0, 1}}) EXPECT_EQ(basic.columnAt(x), column);
  EXPECT_EQ(screen->columnAt(499), 7);
}

TEST(ModScreen, ClicksByColumn) {
  ControlRig rig;
  rig.add(new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false));
  const auto before = rig.values();
  rig.tester.click(20 + 236, 30);  // a column edge: only the undo snapshot
  EXPECT_EQ(rig.values(), before);
  rig.tester.click(20 + 40, 20 + 16 * 2 + 3);  // bypass of row 2
  EXPECT_TRUE(rig.plugin->getOnOff(192));
  rig.tester.click(20 + 300, 20 + 16 * 6 + 3);  // destination of row 6
  rig.tester.click(300, 100, kRButton);
  rig.plugin->setParameter(123, 0.9f);
  rig.tester.click(20 + 450, 20 + 16 * 5 + 3, kLButton | kControl);
  EXPECT_EQ(rig.plugin->getParameter(123), rig.plugin->getDefault(123));
  std::vector<std::pair<std::string, int>> calls;
  for (const auto& c : rig.editor.calls) calls.emplace_back(c.name, c.arg);
  const std::vector<std::pair<std::string, int>> expected = {{"setModUndo", 0},  {"setModUndo", 0},
                                                             {"setModUndo", 0},  {"showDestMenu", 186},
                                                             {"showModMenu", 5}, {"setModUndo", 0}};
  EXPECT_EQ(calls, expected);
}

TEST(ModScreen, SourcePopupSetsTheChosenSourceAndADismissChangesNothing) {
  ControlRig rig;
  rig.add(new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false));
  const double x = 20 + 100, y = 20 + 16 * 4 + 5;  // row 4, source column
  rig.tester.menus().chooseTitle("Note");
  rig.tester.click(x, y);
  EXPECT_EQ(rig.plugin->getSrcForModSlot(4), 5);
  EXPECT_EQ(rig.tester.frame()->getNbViews(), 1);  // the pop-up is gone again
  const auto before = rig.values();
  rig.tester.menus().dismiss();
  rig.tester.click(x, y);
  EXPECT_EQ(rig.values(), before);
}

// ---- LFO ----

TEST(LFOScreen, RedrawsOnlyWhenTheDotOrTheWaveMovesAndResetRestoresTheShape) {
  ControlRig rig;
  auto* screen = rig.add(new TLFOScreen(CRect(20, 20, 97, 97), nullptr, 1, 0));
  screen->setDirty(false);
  screen->update(1);
  EXPECT_TRUE(screen->isDirty());
  screen->setDirty(false);
  screen->update(1);  // same counter
  screen->update(2);  // same position and wave
  EXPECT_FALSE(screen->isDirty());
  rig.plugin->setSteppedValue(LFO_WAVE_TAGS[1], rig.plugin->getLFOWave(1) == 0 ? 1 : 0);
  screen->update(2);
  EXPECT_FALSE(screen->isDirty());
  screen->update(3);
  EXPECT_TRUE(screen->isDirty());
  rig.plugin->setParameter(115, 0.2f);
  rig.tester.drag(CPoint(50, 50), CPoint(110, 10), 3);
  EXPECT_NEAR(rig.plugin->getParameter(115), 0.5f, 1e-5);
  rig.tester.click(50, 50, kLButton | kControl);
  EXPECT_EQ(rig.plugin->getParameter(115), rig.plugin->getDefault(115));
  EXPECT_FALSE(screen->isDragging());
  rig.expectHostBalanced();
}
