// Option menus, the settings click area, switches, radio buttons and the rocker.
#include <cmath>
#include <string>

#include "controlTestKit.h"
#include "plugin/uVocabulary.h"

using namespace VSTGUI;
using namespace controls_test;

namespace {

// A 100 px wide menu over LFO 1's wave (8 entries) at 100 %, entries filled like the editor does.
TOptionMenu* waveMenu(ControlRig& rig, bool deltaButtons, CRect where = CRect(10, 10, 110, 29)) {
  auto* m = new TOptionMenu(where, &rig.listener, LFO_WAVE_TAGS[0], nullptr, nullptr, kNoDrawStyle, 0, true,
                            deltaButtons);
  for (std::string_view w : SHORT_LFO_WAVE_STR) m->addEntry(std::string(w));
  return rig.add(m);
}

std::vector<std::string> texts(CView* v) {
  std::vector<std::string> out;
  for (const DrawOp& op : drawn(v, DrawKind::String)) out.push_back(op.text);
  return out;
}

}  // namespace

TEST(OptionMenu, DeltaZonesStepAndTheMiddleOpensThePopup) {
  struct Case {
    int dx;
    int step;  // expected step afterwards, from 3; -1: the pop-up opened instead
  };
  for (const Case& k : {Case{0, 2}, Case{19, 2}, Case{20, -1}, Case{80, -1}, Case{81, 4}, Case{99, 4}}) {
    ControlRig rig;
    TOptionMenu* m = waveMenu(rig, true);
    rig.plugin->setSteppedValue(LFO_WAVE_TAGS[0], 3);
    rig.tester.menus().dismiss();
    EXPECT_EQ(rig.tester.mouseDown(10 + k.dx, 15), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(rig.tester.menus().runs, k.step < 0 ? 1 : 0) << k.dx;
    EXPECT_EQ(rig.plugin->getLFOWaveByTag(LFO_WAVE_TAGS[0]), k.step < 0 ? 3 : k.step) << k.dx;
    EXPECT_FALSE(m->isEditing());
  }
}

TEST(OptionMenu, PresetArrowsAreStrictlyRightOfTheirEdges) {
  // Arrows 16 px wide: right - 2w = 194, right - w = 210.
  struct Case {
    double x;
    int delta;  // 0: the pop-up
  };
  for (const Case& k : {Case{194, 0}, Case{195, -1}, Case{210, -1}, Case{211, 1}, Case{225, 1}}) {
    ControlRig rig;
    auto* m = rig.add(new TOptionMenu(CRect(10, 10, 226, 29), &rig.listener, LOAD_PROGRAM_TAG, nullptr, nullptr,
                                      kNoDrawStyle, 0, false, true));
    m->setPresetMenu();
    m->addEntry("A");
    rig.tester.mouseDown(k.x, 15);
    if (k.delta == 0) {
      EXPECT_EQ(rig.tester.menus().runs, 1) << k.x;
      EXPECT_TRUE(rig.editor.calls.empty()) << k.x;
    } else {
      ASSERT_EQ(rig.editor.calls.size(), 1u) << k.x;
      EXPECT_EQ(rig.editor.calls[0].name, "programDelta");
      EXPECT_EQ(rig.editor.calls[0].arg, k.delta) << k.x;
    }
  }
}

TEST(OptionMenu, WheelStepsAgainstItsSignAndZeroDoesNothing) {
  ControlRig rig;
  TOptionMenu* deltas = waveMenu(rig, true);
  auto* preset = rig.add(new TOptionMenu(CRect(10, 40, 110, 59), &rig.listener, LOAD_PROGRAM_TAG, nullptr, nullptr,
                                         kNoDrawStyle, 0, false, false));
  preset->setPresetMenu();
  TOptionMenu* plain = waveMenu(rig, false, CRect(10, 70, 110, 89));
  rig.plugin->setSteppedValue(LFO_WAVE_TAGS[0], 3);

  EXPECT_TRUE(rig.tester.wheel(50, 15, 2.5f));
  EXPECT_EQ(rig.plugin->getLFOWaveByTag(LFO_WAVE_TAGS[0]), 2);
  EXPECT_TRUE(rig.tester.wheel(50, 15, -0.1f));
  EXPECT_TRUE(rig.tester.wheel(50, 15, 0.f));
  EXPECT_EQ(rig.plugin->getLFOWaveByTag(LFO_WAVE_TAGS[0]), 3);

  for (float d : {1.f, -3.f, 0.f}) EXPECT_TRUE(rig.tester.wheel(50, 45, d));
  ASSERT_EQ(rig.editor.count("programDelta"), 2);
  EXPECT_EQ(rig.editor.calls[0].arg, -1);
  EXPECT_EQ(rig.editor.calls[1].arg, 1);

  EXPECT_FALSE(rig.tester.wheel(50, 75, 1.f));  // a plain menu leaves the wheel alone
  (void)deltas;
  (void)plain;
}

TEST(OptionMenu, TheHostSeesOneClosedEditPerPopupChosenOrDismissed) {
  ControlRig rig;
  TOptionMenu* m = waveMenu(rig, false);
  rig.tester.menus().chooseTitle(std::string(SHORT_LFO_WAVE_STR[5]));
  rig.tester.click(50, 15);
  EXPECT_EQ(m->getValue(), 5.f);
  EXPECT_EQ(rig.listener.values.size(), 1u);
  rig.tester.menus().dismiss();
  rig.tester.click(50, 15, kRButton);
  EXPECT_EQ(rig.tester.menus().runs, 2);
  EXPECT_EQ(rig.hostBegins(), 2);
  rig.expectHostBalanced("menu");
  // A modifier click the listener takes opens nothing.
  rig.listener.modifierAnswer = 1;
  rig.tester.click(50, 15, kLButton | kShift);
  EXPECT_EQ(rig.tester.menus().runs, 2);
}

TEST(OptionMenu, DrawsItsTextTheEntryOrTheLiveSelection) {
  ControlRig rig;
  rig.plugin->setSteppedValue(DISTORT_TYPE_TAG, 5);
  auto menu = [&](int tag) {
    auto* m = rig.add(new TOptionMenu(CRect(0, 0, 100, 19), &rig.listener, tag, nullptr, nullptr, kNoDrawStyle, 0,
                                      false, false));
    m->addEntry("first");
    m->addEntry("second");
    return m;
  };
  TOptionMenu* m = menu(VOLUME_TAG);
  EXPECT_TRUE(texts(m).empty());  // no text, no current entry
  m->setCurrent(1);
  EXPECT_EQ(texts(m), std::vector<std::string>{"second"});
  m->setString("");
  EXPECT_EQ(texts(m), std::vector<std::string>{" "});
  m->setString(static_cast<const char*>(nullptr));
  EXPECT_EQ(texts(m), std::vector<std::string>{" "});

  EXPECT_TRUE(texts(menu(COMMAND_MENU_TAG)).empty());

  struct Dest {
    int tag;
    int dest;
    std::string_view expected;
  };
  for (const Dest& d : {Dest{FOLLOWER_DEST_1_TAG, 3, SHORT_DEST_STR[3]},
                        Dest{FOLLOWER_DEST_1_TAG + 2, 6, DISTORT_DEST_STR[5 * 8 + 0]},
                        Dest{LFO_DEST_TAGS[3], 13, DISTORT_DEST_STR[5 * 8 + 7]},
                        Dest{LFO_DEST_TAGS[0], 14, SHORT_DEST_STR[14]},
                        Dest{LFO_DEST_TAGS[1], 5, SHORT_DEST_STR[5]}}) {
    TOptionMenu* dm = menu(d.tag);
    dm->setString("ignored");
    rig.plugin->setDestForTag(d.tag, d.dest);
    EXPECT_EQ(texts(dm), std::vector<std::string>{std::string(d.expected)}) << d.tag << " " << d.dest;
  }
  TOptionMenu* wave = menu(LFO_WAVE_TAGS[2]);
  rig.plugin->setSteppedValue(LFO_WAVE_TAGS[2], 4);
  EXPECT_EQ(texts(wave), std::vector<std::string>{std::string(SHORT_LFO_WAVE_STR[4])});
}

TEST(OptionMenu, TextAndArrowsSitOnWholePixels) {
  struct Case {
    int height;
    int scale;
    int offset;
    double textTop;  // relative to the view's top
  };
  // Font heights 11, 14, 18 px; one lower for even view heights.
  for (const Case& k : {Case{19, 0, 0, 4}, Case{22, 0, 0, 6}, Case{22, 0, 2, 8}, Case{30, 1, 0, 9}, Case{27, 2, 0, 4}}) {
    ControlRig rig;
    auto* m = rig.add(new TOptionMenu(CRect(10, 20, 110, 20 + k.height), &rig.listener, VOLUME_TAG, nullptr, nullptr,
                                      kNoDrawStyle, k.scale, true, true));
    m->setTextOffset(k.offset);
    m->setString("x");
    const std::vector<DrawOp> ops = drawn(m);
    ASSERT_EQ(ops.size(), 3u);
    const double fh = FONT_SIZE[k.scale]->getSize();
    EXPECT_EQ(ops[2].rect, CRect(10, 20 + k.textTop, 110, 20 + k.textTop + fh)) << k.height << " " << k.scale;
    EXPECT_EQ(ops[2].fontStyle, kBoldFace);
    EXPECT_EQ(ops[2].color, LIGHT_TEXT_COLOR);
    // Arrows: the top halves (10 px) of 16 x 20 strips at both ends.
    const double y0 = 20 + std::floor((k.height - 10) / 2.0);
    EXPECT_EQ(ops[0].rect, CRect(10, y0, 26, y0 + 10));
    EXPECT_EQ(ops[1].rect, CRect(94, y0, 110, y0 + 10));
  }
  // A folder selector's text starts after its two arrows.
  ControlRig rig;
  auto* folder = rig.add(new TOptionMenu(CRect(10, 20, 110, 39), &rig.listener, NO_PARAM_TAG, nullptr,
                                         nullptr, kNoDrawStyle, 0, false, false));
  folder->setFolderMenu();
  folder->setString("Folder");
  const std::vector<DrawOp> text = drawn(folder, DrawKind::String);
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0].rect.left, 42);
  EXPECT_EQ(text[0].align, kLeftText);
  rig.tester.click(41, 25);
  rig.tester.click(42, 25);
  EXPECT_EQ(rig.editor.count("folderDelta"), 1);
  EXPECT_EQ(rig.tester.menus().runs, 1);
}

TEST(ControlMenu, OpensTheSettingsMenuAtTheFramePoint) {
  ControlRig rig;
  auto* box = rig.add(new CViewContainer(CRect(100, 50, 300, 250)));
  auto* c = new TControlMenu(CRect(10, 10, 40, 40), &rig.listener);
  box->addView(c);
  EXPECT_TRUE(drawn(c).empty());
  rig.tester.click(120, 70);
  ASSERT_EQ(rig.editor.count("showControlMenu"), 1);
  EXPECT_EQ(rig.editor.calls[0].where, CPoint(120, 70));
  EXPECT_EQ(c->getTag(), NO_PARAM_TAG);
}

TEST(OnOff, OnFromHalfInPictureAndToggleWithAnyButton) {
  struct Case {
    float value;
    int32_t buttons;
    double drawnY;  // source offset: off on top, on below (40 px strip)
    float after;
  };
  for (const Case& k : {Case{0.f, kLButton, 0, 1.f}, Case{0.3f, kRButton, 0, 1.f}, Case{0.5f, kLButton, 20, 0.f},
                        Case{0.7f, kMButton, 20, 0.f}, Case{1.f, kRButton, 20, 0.f}}) {
    ControlRig rig;
    auto* b = rig.add(new TOnOff(CRect(10, 10, 40, 30), &rig.listener, COMP_MODE_TAG, rig.switchStrip));
    b->setValue(k.value);
    const std::vector<DrawOp> ops = drawn(b);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].sourceOffset.y, k.drawnY) << k.value;
    rig.tester.click(20, 20, k.buttons);
    EXPECT_EQ(b->getValue(), k.after) << k.value;
    EXPECT_EQ(rig.plugin->getParameter(COMP_MODE_TAG), k.after) << k.value;
    rig.expectHostBalanced("switch");
    EXPECT_EQ(rig.hostBegins(), 1);
  }
  // A modifier click the listener takes leaves the switch alone.
  ControlRig rig;
  auto* b = rig.add(new TOnOff(CRect(10, 10, 40, 30), &rig.listener, COMP_MODE_TAG, rig.switchStrip));
  rig.listener.modifierAnswer = 1;
  rig.tester.click(20, 20, kLButton | kAlt);
  EXPECT_EQ(rig.listener.modifierAsks, 1);
  EXPECT_EQ(b->getValue(), 0.f);
  rig.listener.modifierAnswer = 0;
  rig.tester.click(20, 20, kLButton | kAlt);
  EXPECT_EQ(b->getValue(), 1.f);
}

TEST(RadioButton, OnlySwitchesOn) {
  for (float v : {0.f, 0.4f, 0.5f, 1.f}) {
    ControlRig rig;
    auto* r = rig.add(new TRadioButton(CRect(10, 10, 40, 30), &rig.listener, rig.switchStrip));
    r->setValue(v);
    rig.tester.click(20, 20);
    EXPECT_EQ(r->getValue(), v < 0.5f ? 1.f : v) << v;
    EXPECT_EQ(rig.listener.values.size(), v < 0.5f ? 1u : 0u) << v;
    EXPECT_EQ(drawn(r)[0].sourceOffset.y, r->getValue() >= 1.f ? 20 : 0) << v;
  }
}

TEST(RockerButton, CyclesThroughItsPositionsInFloat) {
  ControlRig rig;
  auto* r = rig.add(new TRockerButton(CRect(10, 10, 40, 20), &rig.listener, DISRUPT_LAZY_MODE_TAG, rig.knobStrip, 5,
                                      4.99f));
  const double frameHeight = 40.0 * KNOB_FRAMES / 5;
  for (int expected : {1, 2, 3, 4, 0, 1}) {
    rig.tester.click(20, 15);
    EXPECT_EQ(r->frame(), expected);
    EXPECT_EQ(drawn(r)[0].sourceOffset.y, std::floor(frameHeight * expected));
    EXPECT_EQ(rig.plugin->getSteppedValue(DISRUPT_LAZY_MODE_TAG), expected);
  }
  r->setValue(1.f);
  EXPECT_EQ(r->frame(), 4);
  rig.tester.click(20, 15);
  EXPECT_EQ(r->getValue(), 0.f);
}
