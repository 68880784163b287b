// Option menus, the settings click area, switches, radio buttons and the rocker.
#include <cmath>
#include <string>

#include "controlTestKit.h"
#include "plugin/uVocabulary.h"

using namespace controls_test;

namespace {

TOptionMenu* menuAt(ControlRig& rig, CRect r, int tag, int scale = 0, bool deltaButtons = false) {
  auto* m = rig.add(
      new TOptionMenu(r, &rig.listener, tag, nullptr, nullptr, kNoDrawStyle, scale, true, deltaButtons));
  for (std::string_view w : SHORT_LFO_WAVE_STR) m->addEntry(std::string(w));
  return m;
}

std::vector<std::string> texts(CView* v) {
  std::vector<std::string> out;
  for (const DrawOp& op : drawn(v, STRINGS)) out.push_back(op.text);
  return out;
}

const int WAVE = LFO_WAVE_TAGS[0];  // 8 entries

}  // namespace

TEST(OptionMenu, StepZonesArrowsAndPopupByPosition) {
  // A 100 px menu with delta buttons at 100 %; the wave starts at step 3. Step -1: pop-up.
  for (auto [dx, step] : {std::pair{0, 2}, {19, 2}, {20, -1}, {80, -1}, {81, 4}, {99, 4}}) {
    ControlRig rig;
    menuAt(rig, CRect(10, 10, 110, 29), WAVE, 0, true);
    rig.plugin->setSteppedValue(WAVE, 3);
    rig.tester.click(10 + dx, 15);
    EXPECT_EQ(rig.tester.menus().runs, step < 0 ? 1 : 0) << dx;
    EXPECT_EQ(rig.plugin->getLFOWaveByTag(WAVE), step < 0 ? 3 : step) << dx;
    rig.expectHostBalanced("zone");
  }
  // Program selector with 16 px arrows: right - 2w = 194 and right - w = 210, both strict.
  for (auto [x, delta] : {std::pair{194.0, 0}, {195.0, -1}, {210.0, -1}, {211.0, 1}}) {
    ControlRig rig;
    menuAt(rig, CRect(10, 10, 226, 29), LOAD_PROGRAM_TAG, 0, true)->setPresetMenu();
    rig.tester.click(x, 15);
    EXPECT_EQ(rig.tester.menus().runs, delta == 0 ? 1 : 0) << x;
    EXPECT_EQ(rig.editor.count("programDelta"), delta == 0 ? 0 : 1) << x;
    if (delta != 0) {
      EXPECT_EQ(rig.editor.calls[0].arg, delta) << x;
    }
  }
  // Folder selector: its arrows are at the left end.
  ControlRig rig;
  TOptionMenu* folder = menuAt(rig, CRect(10, 10, 110, 29), NO_PARAM_TAG);
  folder->setFolderMenu();
  rig.tester.click(41, 15);
  rig.tester.click(42, 15);
  EXPECT_EQ(rig.editor.count("folderDelta"), 1);
  EXPECT_EQ(rig.tester.menus().runs, 1);
}

TEST(OptionMenu, WheelStepsAgainstItsSignAndZeroDoesNothing) {
  ControlRig rig;
  menuAt(rig, CRect(10, 10, 110, 29), WAVE, 0, true);
  menuAt(rig, CRect(10, 40, 110, 59), LOAD_PROGRAM_TAG)->setPresetMenu();
  menuAt(rig, CRect(10, 70, 110, 89), WAVE);
  rig.plugin->setSteppedValue(WAVE, 3);
  for (auto [d, step] : {std::pair{2.5f, 2}, {-0.1f, 3}, {0.f, 3}}) {
    EXPECT_TRUE(rig.tester.wheel(50, 15, d));
    EXPECT_EQ(rig.plugin->getLFOWaveByTag(WAVE), step) << d;
  }
  for (float d : {1.f, -3.f, 0.f}) EXPECT_TRUE(rig.tester.wheel(50, 45, d));
  ASSERT_EQ(rig.editor.count("programDelta"), 2);
  EXPECT_EQ(rig.editor.calls[0].arg, -1);
  EXPECT_EQ(rig.editor.calls[1].arg, 1);
  EXPECT_FALSE(rig.tester.wheel(50, 75, 1.f));  // a plain menu leaves the wheel alone
}

TEST(OptionMenu, TheHostSeesOneClosedEditPerPopupChosenOrDismissed) {
  ControlRig rig;
  TOptionMenu* m = menuAt(rig, CRect(10, 10, 110, 29), WAVE);
  rig.tester.menus().chooseTitle(std::string(SHORT_LFO_WAVE_STR[5]));
  rig.tester.click(50, 15);
  EXPECT_EQ(m->getValue(), 5.f);
  rig.tester.menus().dismiss();
  rig.tester.click(50, 15, kRButton);
  EXPECT_EQ(rig.tester.menus().runs, 2);
  EXPECT_EQ(rig.hostBegins(), 2);
  rig.expectHostBalanced("menu");
  rig.listener.modifierAnswer = 1;  // a modifier click the listener takes opens nothing
  rig.tester.click(50, 15, kLButton | kShift);
  EXPECT_EQ(rig.tester.menus().runs, 2);
}

TEST(OptionMenu, DrawsItsTextTheEntryOrTheLiveSelection) {
  ControlRig rig;
  rig.plugin->setSteppedValue(DISTORT_TYPE_TAG, 5);
  TOptionMenu* m = menuAt(rig, CRect(0, 0, 100, 19), VOLUME_TAG);
  EXPECT_TRUE(texts(m).empty());  // no text and no current entry
  m->setCurrent(1);
  EXPECT_EQ(texts(m), std::vector<std::string>{std::string(SHORT_LFO_WAVE_STR[1])});
  m->setString("");
  EXPECT_EQ(texts(m), std::vector<std::string>{" "});
  EXPECT_TRUE(texts(menuAt(rig, CRect(0, 0, 100, 19), COMMAND_MENU_TAG)).empty());

  // Destination selectors name the live destination; 6..13 after the distortion type's knobs.
  struct Dest {
    int tag, dest;
    std::string_view expected;
  };
  for (const Dest& d : {Dest{144, 3, SHORT_DEST_STR[3]}, Dest{146, 6, DISTORT_DEST_STR[5 * 8]},
                        Dest{160, 13, DISTORT_DEST_STR[5 * 8 + 7]}, Dest{157, 14, SHORT_DEST_STR[14]}}) {
    TOptionMenu* dm = menuAt(rig, CRect(0, 0, 100, 19), d.tag);
    dm->setString("ignored");
    rig.plugin->setDestForTag(d.tag, d.dest);
    EXPECT_EQ(texts(dm), std::vector<std::string>{std::string(d.expected)}) << d.tag;
  }
  rig.plugin->setSteppedValue(LFO_WAVE_TAGS[2], 4);
  EXPECT_EQ(texts(menuAt(rig, CRect(0, 0, 100, 19), LFO_WAVE_TAGS[2])),
            std::vector<std::string>{std::string(SHORT_LFO_WAVE_STR[4])});
}

TEST(OptionMenu, TextAndArrowsSitOnWholePixels) {
  // Font heights 11, 14, 18 px: top + (h - fh) / 2 + offset, one lower for even heights.
  struct Case {
    int height, scale, offset, textTop;
  };
  for (const Case& k :
       {Case{19, 0, 0, 4}, Case{22, 0, 0, 6}, Case{22, 0, 2, 8}, Case{30, 1, 0, 9}, Case{27, 2, 0, 4}}) {
    ControlRig rig;
    TOptionMenu* m = menuAt(rig, CRect(10, 20, 110, 20 + k.height), VOLUME_TAG, k.scale, true);
    m->setTextOffset(k.offset);
    m->setString("x");
    const std::vector<DrawOp> ops = drawn(m);
    ASSERT_EQ(ops.size(), 3u);
    const double fh = FONT_SIZE[k.scale]->getSize(), y0 = 20 + std::floor((k.height - 10) / 2.0);
    EXPECT_EQ(ops[0].rect, CRect(10, y0, 26, y0 + 10));  // top halves of the 16 x 20 arrows
    EXPECT_EQ(ops[1].rect, CRect(94, y0, 110, y0 + 10));
    EXPECT_EQ(ops[2].rect, CRect(10, 20 + k.textTop, 110, 20 + k.textTop + fh)) << k.height << " " << k.scale;
    EXPECT_EQ(ops[2].fontStyle, kBoldFace);
  }
  ControlRig rig;
  TOptionMenu* folder = menuAt(rig, CRect(10, 20, 110, 39), NO_PARAM_TAG);
  folder->setFolderMenu();
  folder->setString("Folder");
  EXPECT_EQ(drawn(folder, STRINGS).at(0).rect.left, 42);  // after the two arrows
}

TEST(ControlMenu, OpensTheSettingsMenuAtTheFramePoint) {
  ControlRig rig;
  auto* box = rig.add(new CViewContainer(CRect(100, 50, 300, 250)));
  box->addView(new TControlMenu(CRect(10, 10, 40, 40), &rig.listener));
  rig.tester.click(120, 70);
  ASSERT_EQ(rig.editor.count("showControlMenu"), 1);
  EXPECT_EQ(rig.editor.calls[0].where, CPoint(120, 70));
}

TEST(OnOff, OnFromHalfInPictureAndToggleWithAnyButton) {
  struct Case {
    float value;
    int32_t buttons;
    double drawnY;  // off on top, on below (40 px strip)
  };
  for (const Case& k : {Case{0.f, kLButton, 0}, Case{0.3f, kRButton, 0}, Case{0.5f, kLButton, 20},
                        Case{0.7f, kMButton, 20}}) {
    ControlRig rig;
    auto* b = rig.add(new TOnOff(CRect(10, 10, 40, 30), &rig.listener, COMP_MODE_TAG, rig.switchStrip));
    b->setValue(k.value);
    EXPECT_EQ(drawn(b).at(0).sourceOffset.y, k.drawnY) << k.value;
    rig.tester.click(20, 20, k.buttons);
    const float after = k.drawnY > 0 ? 0.f : 1.f;
    EXPECT_EQ(rig.plugin->getParameter(COMP_MODE_TAG), after) << k.value;
    EXPECT_EQ(rig.hostBegins(), 1);
    rig.expectHostBalanced("switch");
    rig.listener.modifierAnswer = 1;  // taken by the listener: no toggle
    rig.tester.click(20, 20, kLButton | kAlt);
    EXPECT_EQ(b->getValue(), after);
    EXPECT_EQ(rig.listener.modifierAsks, 1);
  }
}

TEST(RadioAndRocker, RadioOnlySwitchesOnAndTheRockerCyclesInFloat) {
  for (float v : {0.f, 0.4f, 0.5f, 1.f}) {
    ControlRig rig;
    auto* r = rig.add(new TRadioButton(CRect(10, 10, 40, 30), &rig.listener, rig.switchStrip));
    r->setValue(v);
    rig.tester.click(20, 20);
    EXPECT_EQ(r->getValue(), v < 0.5f ? 1.f : v) << v;
    EXPECT_EQ(rig.listener.values.size(), v < 0.5f ? 1u : 0u) << v;
  }
  ControlRig rig;
  auto* r = rig.add(new TRockerButton(CRect(10, 10, 40, 20), &rig.listener, DISRUPT_LAZY_MODE_TAG,
                                      rig.knobStrip, 5, 4.99f));
  for (int expected : {1, 2, 3, 4, 0}) {
    rig.tester.click(20, 15);
    EXPECT_EQ(r->frame(), expected);
    EXPECT_EQ(drawn(r).at(0).sourceOffset.y, std::floor(40.0 * KNOB_FRAMES / 5 * expected));
    EXPECT_EQ(rig.plugin->getSteppedValue(DISRUPT_LAZY_MODE_TAG), expected);
  }
  r->setValue(1.f);
  EXPECT_EQ(r->frame(), 4);
  rig.tester.click(20, 15);
  EXPECT_EQ(r->getValue(), 0.f);
}
