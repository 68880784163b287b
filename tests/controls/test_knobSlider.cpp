// The knob, the Disrupt slider, the readouts and the level meter.
#include <cmath>
#include <limits>
#include <string>

#include "controlTestKit.h"

using namespace VSTGUI;
using namespace controls_test;

namespace {

// A small knob at (10, 10): 40 px frames, 24 px of text below.
TKnob* knobAt(ControlRig& rig, int tag, int scale = 0, double frameHeight = 40) {
  const double h = frameHeight + 24;
  return rig.add(new TKnob(CRect(10, 10, 10 + frameHeight + 20, 10 + h), frameHeight, &rig.listener, tag,
                           rig.knobStrip, rig.ringStrip, scale, 20, 0));
}

// The slider of the editor: 200 px wide, 20 px handle, so 180 px of travel from x = 20 to 200.
// Shown once with the plug-in's value, as the editor leaves it.
THorizontalSlider* sliderAt(ControlRig& rig) {
  auto* s = rig.add(new THorizontalSlider(CRect(10, 10, 210, 30), &rig.listener, DISRUPT_AMOUNT_TAG, 20));
  s->setValue(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG));
  rig.tester.idle();
  return s;
}

// A spring that visibly switches: a time of one step, the value away from the middle.
void armSpring(ControlRig& rig) {
  rig.plugin->setSteppedValue(DISRUPT_SPRING_TAG, 1);
  rig.plugin->setParameter(DISRUPT_AMOUNT_TAG, 0.8f);
}

}  // namespace

TEST(Knob, RingFrameFollowsTheModulationAndRedrawsOnlyOnChange) {
  ControlRig rig;
  TKnob* k = knobAt(rig, VOLUME_TAG);
  struct Case {
    float m;
    int frame;
  };
  for (const Case& c : {Case{1.f, 136}, Case{0.5f, 68}, Case{0.f, 0}, Case{2.f, 136}, Case{-1.f, 0},
                        Case{std::numeric_limits<float>::quiet_NaN(), 0}}) {
    k->setMod(c.m);
    EXPECT_EQ(k->getModFrame(), c.frame) << c.m;
    const std::vector<DrawOp> ops = drawn(k, DrawKind::Bitmap);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].sourceOffset.y, 40.0 * c.frame) << c.m;  // ring first, under the knob
    k->setMod(c.m);
    EXPECT_FALSE(k->isDirty()) << c.m;
  }
}

TEST(Knob, ImageSnapsToWholeFramesAndTextLinesFollowTheZoom) {
  ControlRig rig;
  struct Frame {
    float v;
    double y;
  };
  TKnob* k = knobAt(rig, VOLUME_TAG);
  for (const Frame& f : {Frame{1.f, 5440}, Frame{0.9999f, 5400}, Frame{0.5f, 2720}, Frame{0.f, 0}}) {
    k->setValue(f.v);
    const std::vector<DrawOp> ops = drawn(k, DrawKind::Bitmap);
    EXPECT_EQ(ops[1].sourceOffset.y, f.y) << f.v;
    EXPECT_EQ(ops[1].rect, CRect(20, 10, 60, 50));  // inset 20: the image starts 10 px in
  }

  struct Zoom {
    int scale;
    double frameHeight;
    double captionTop;  // relative to the view
    double lineHeight;
  };
  for (const Zoom& z : {Zoom{0, 40, 38, 10}, Zoom{1, 60, 54, 13}, Zoom{2, 80, 72, 17}}) {
    ControlRig r;
    TKnob* zk = r.add(new TKnob(CRect(100, 10, 100 + z.frameHeight + 30, 10 + z.frameHeight + 24 * (1 + z.scale / 2.0)),
                                z.frameHeight, &r.listener, VOLUME_TAG, r.knobStrip, r.ringStrip, z.scale, 30, 3));
    zk->setString("Volume");
    const std::vector<DrawOp> lines = drawn(zk, DrawKind::String);
    ASSERT_EQ(lines.size(), 2u);
    const double width = zk->getWidth();
    EXPECT_EQ(lines[0].text, "Volume");
    EXPECT_EQ(lines[0].rect, CRect(103, 10 + z.captionTop, 103 + width, 10 + z.captionTop + z.lineHeight)) << z.scale;
    const double valueTop = 10 + z.captionTop + z.lineHeight + 1;
    EXPECT_EQ(lines[1].rect, CRect(103, valueTop, 103 + width, valueTop + z.lineHeight)) << z.scale;
    char display[PARAM_DISPLAY_BUFFER] = {};
    r.plugin->getParameterDisplay(VOLUME_TAG, display);
    EXPECT_EQ(lines[1].text, display);
    EXPECT_EQ(lines[1].fontSize, FONT_SIZE[z.scale]->getSize());
    EXPECT_EQ(lines[1].fontStyle, kBoldFace);
  }
  k->setString("");
  EXPECT_EQ(k->getString(), " ");
  // Frames under a pixel high cannot be snapped to: nothing is drawn.
  EXPECT_TRUE(drawn(knobAt(rig, VOLUME_TAG, 0, 0.5)).empty());
}

TEST(Knob, DragCoversTheRangeIn200PixelsAndShiftSlowsWithoutAJump) {
  ControlRig rig;
  TKnob* k = knobAt(rig, VOLUME_TAG);
  k->setValue(0.f);
  rig.tester.drag(CPoint(30, 40), CPoint(30, -160), 8);
  EXPECT_FLOAT_EQ(k->getValue(), 1.f);
  EXPECT_FLOAT_EQ(rig.plugin->getParameter(VOLUME_TAG), 1.f);

  // The value is bounded, the anchor is not: after overshooting there is a dead zone.
  struct Step {
    double y;
    int32_t buttons;
    float value;
  };
  auto run = [&](float start, std::initializer_list<Step> steps) {
    k->setValue(start);
    rig.tester.mouseDown(30, 40);
    for (const Step& s : steps) {
      rig.tester.move(30, s.y, s.buttons);
      EXPECT_NEAR(k->getValue(), s.value, 1e-5f) << s.y;
    }
    rig.tester.mouseUp(30, 0);
  };
  run(1.f, {{20, kLButton, 1.f}, {30, kLButton, 1.f}, {50, kLButton, 0.95f}});
  // Shift takes effect from the next step on, at 1/50 of the speed, without a jump; the same
  // point again is ignored, and letting go of Shift goes back to full speed.
  run(0.5f, {{20, kLButton, 0.6f},
             {19, kLButton | kShift, 0.605f},
             {9, kLButton | kShift, 0.606f},
             {9, kLButton, 0.606f},
             {8, kLButton, 0.6061f},
             {-2, kLButton, 0.6561f}});
  EXPECT_FALSE(k->isEditing());
  EXPECT_EQ(rig.editor.count("setDropTag"), 3);
  EXPECT_EQ(rig.editor.count("releasedDropDial"), 3);
  rig.expectHostBalanced("knob drag");
}

TEST(Knob, EveryGestureClosesItsHostEditAndModulationDrag) {
  struct Case {
    const char* name;
    int32_t buttons;
    const char* menu;  // editor call expected, if any
    bool drop;
  };
  for (const Case& c : {Case{"right", kRButton, "showMIDIMenu", false},
                        Case{"control key", kLButton | kApple, "showMIDIMenu", false},
                        Case{"reset", kLButton | kDoubleClick, nullptr, false},
                        Case{"middle", kMButton, nullptr, true}, Case{"drag", kLButton, nullptr, true}}) {
    ControlRig rig;
    TKnob* k = knobAt(rig, VOLUME_TAG);
    const CMouseEventResult down = rig.tester.mouseDown(30, 30, c.buttons);
    rig.tester.move(30, 20, c.buttons);
    rig.tester.mouseUp(30, 20, c.buttons);
    EXPECT_EQ(down, c.drop ? kMouseEventHandled : kMouseDownEventHandledButDontNeedMovedOrUpEvents) << c.name;
    if (c.menu) {
      EXPECT_EQ(rig.editor.count(c.menu), 1) << c.name;
      EXPECT_EQ(rig.editor.calls[0].where, CPoint(30, 30)) << c.name;
    }
    EXPECT_EQ(rig.editor.count("setDropTag"), c.drop ? 1 : 0) << c.name;
    EXPECT_EQ(rig.editor.count("releasedDropDial"), c.drop ? 1 : 0) << c.name;
    EXPECT_EQ(rig.hostBegins(), 1) << c.name;
    EXPECT_FALSE(k->isEditing()) << c.name;
    rig.expectHostBalanced(c.name);
  }
}

TEST(Knob, RemovedMidDragEndsTheEditAndTheModulationDrag) {
  ControlRig rig;
  TKnob* k = knobAt(rig, VOLUME_TAG);
  rig.tester.mouseDown(30, 30);
  rig.tester.move(30, 10);
  rig.tester.frame()->removeView(k, true);
  rig.tester.mouseUp(30, 10);
  EXPECT_EQ(rig.editor.count("releasedDropDial"), 1);
  EXPECT_EQ(rig.hostBegins(), 1);
  rig.expectHostBalanced("removed knob");
}

TEST(Knob, ClickBelowTheImageOpensADisruptSlotsDestination) {
  for (int tag : {70, 73, 76, 60, 77}) {
    ControlRig rig;
    knobAt(rig, tag);
    EXPECT_EQ(rig.tester.mouseDown(30, 51), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    const bool disrupt = tag >= 70 && tag <= 76;
    ASSERT_EQ(rig.editor.count("showDestMenu"), disrupt ? 1 : 0) << tag;
    if (disrupt) {
      EXPECT_EQ(rig.editor.calls[0].arg, tag + 66) << tag;  // 73 -> 139
    }
    EXPECT_EQ(rig.hostBegins(), 0) << tag;
  }
  ControlRig rig;
  TKnob* free = knobAt(rig, NO_PARAM_TAG);
  free->setValue(0.5f);
  rig.tester.drag(CPoint(30, 30), CPoint(30, 0));
  rig.tester.click(30, 30, kRButton);
  EXPECT_EQ(free->getValue(), 0.5f);
  EXPECT_TRUE(rig.editor.calls.empty());
}

TEST(Slider, LockIgnoresClickAndWheel) {
  ControlRig rig;
  THorizontalSlider* s = sliderAt(rig);
  rig.plugin->setParameter(DISRUPT_AMOUNT_TAG, 0.3f);
  s->setValue(0.3f);
  rig.plugin->setParameter(DISRUPT_LAZY_ON_TAG, 1.f);
  EXPECT_EQ(rig.tester.mouseDown(150, 20), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_FALSE(rig.tester.wheel(150, 20, 1.f));
  EXPECT_EQ(s->getValue(), 0.3f);
  EXPECT_EQ(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG), 0.3f);
  EXPECT_EQ(rig.hostBegins(), 0);

  rig.plugin->setParameter(DISRUPT_LAZY_ON_TAG, 0.f);
  rig.plugin->setSteppedValue(DISRUPT_SPRING_TAG, 0);
  EXPECT_TRUE(rig.tester.wheel(150, 20, 2.f));
  EXPECT_NEAR(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG), 0.31f, 1e-6f);
  EXPECT_TRUE(rig.tester.wheel(150, 20, 0.f));
  EXPECT_NEAR(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG), 0.31f, 1e-6f);
  rig.plugin->setSteppedValue(DISRUPT_SPRING_TAG, 3);  // springs back: the wheel would fight it
  EXPECT_FALSE(rig.tester.wheel(150, 20, 1.f));
}

TEST(Slider, ClickJumpsToThePointerAndShiftIsTwentyTimesFiner) {
  struct Case {
    double x;
    float value;
  };
  for (const Case& c : {Case{110, 0.5f}, Case{11, 0.f}, Case{20, 0.f}, Case{200, 1.f}, Case{209, 1.f}, Case{65, 0.25f}}) {
    ControlRig rig;
    THorizontalSlider* s = sliderAt(rig);
    rig.tester.mouseDown(c.x, 20);
    EXPECT_FLOAT_EQ(s->getValue(), c.value) << c.x;
    EXPECT_FLOAT_EQ(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG), c.value) << c.x;
    rig.tester.mouseUp(c.x, 20);
  }
  ControlRig rig;
  THorizontalSlider* s = sliderAt(rig);
  rig.tester.mouseDown(110, 20);
  rig.tester.move(146, 20, kLButton | kShift);
  EXPECT_FLOAT_EQ(s->getValue(), 0.51f);
  rig.tester.move(182, 20, kLButton);
  EXPECT_FLOAT_EQ(s->getValue(), 0.71f);
  rig.tester.mouseUp(182, 20);
}

TEST(Slider, EveryPathClosesTheHostEditAndSpringsBack) {
  struct Case {
    const char* name;
    int32_t buttons;
    bool removeMidway;
  };
  for (const Case& c : {Case{"drag", kLButton, false}, Case{"right", kRButton, false},
                        Case{"reset", kLButton | kControl, false}, Case{"double", kLButton | kDoubleClick, false},
                        Case{"middle", kMButton, false}, Case{"removed", kLButton, true}}) {
    ControlRig rig;
    armSpring(rig);
    THorizontalSlider* s = sliderAt(rig);
    rig.tester.mouseDown(60, 20, c.buttons);
    rig.tester.move(80, 20, c.buttons);
    if (c.removeMidway) rig.tester.frame()->removeView(s, true);
    rig.tester.mouseUp(80, 20, c.buttons);
    EXPECT_EQ(rig.hostBegins(), 1) << c.name;
    rig.expectHostBalanced(c.name);
    EXPECT_TRUE(rig.plugin->springOn()) << c.name;
    EXPECT_EQ(rig.editor.count("showMIDIMenu"), c.buttons == kRButton ? 1 : 0) << c.name;
  }
  // The spring is off while the slider is held.
  ControlRig rig;
  armSpring(rig);
  sliderAt(rig);
  rig.plugin->setDisruptSpringOn();
  rig.tester.mouseDown(60, 20);
  EXPECT_FALSE(rig.plugin->springOn());
  rig.tester.mouseUp(60, 20);
  EXPECT_TRUE(rig.plugin->springOn());
}

TEST(Slider, MarkerAndHandleFollowTheQuantisation) {
  ControlRig rig;
  THorizontalSlider* s = sliderAt(rig);
  rig.plugin->setSteppedValue(DISRUPT_QUANT_TAG, 6);  // divisor 9
  struct Case {
    float m;
    int key;
    float shown;
  };
  for (const Case& c : {Case{0.5f, 1, 5.f / 9}, Case{0.3f, 2, 3.f / 9}, Case{0.9f, 2, 3.f / 9}, Case{-1.f, 3, -1.f}}) {
    s->setMod(c.m, c.key);
    EXPECT_FLOAT_EQ(s->getModValue(), c.shown) << c.m;
  }
  s->setValue(0.75f);  // h = 0.5 -> 5/9 after quantisation
  const std::vector<DrawOp> ops = drawn(s);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].rect, CRect(10, 10, 30, 30));  // marker at -1: the left end
  const double x = 10 + static_cast<int>((5.f / 9 * 0.5f + 0.5f) * 180.f);
  EXPECT_EQ(ops[1].rect, CRect(x, 10, x + 20, 30));
  EXPECT_EQ(ops[1].sourceOffset.y, 20 * 4);  // two handle frames per draw
  EXPECT_EQ(drawn(s)[1].sourceOffset.y, 20 * 6);
  rig.editor.modDial = false;
  EXPECT_EQ(drawn(s).size(), 1u);
  for (int i = 0; i < 40; ++i) drawn(s);
  EXPECT_LT(s->getAnimFrame(), SLIDER_HANDLE_FRAMES);
}

TEST(Readouts, TextChangesAndColours) {
  ControlRig rig;
  auto* r = rig.add(new TReadout(CRect(10, 10, 110, 30), &rig.listener, "", 1, false, true));
  EXPECT_TRUE(drawn(r).empty());  // an empty readout stays empty
  r->setString("12 dB");
  std::vector<DrawOp> ops = drawn(r);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].color, READOUT_COLOR);
  EXPECT_EQ(ops[0].fontSize, BIG_FONT_SIZE[1]->getSize());
  EXPECT_EQ(ops[0].align, kLeftText);
  r->setString("12 dB");
  EXPECT_FALSE(r->isDirty());

  auto* s = rig.add(new TReadoutString(CRect(10, 40, 110, 60), "Title"));
  s->setString("");
  ops = drawn(s);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].text, " ");
  EXPECT_EQ(ops[0].color, kWhiteCColor);
  EXPECT_EQ(ops[0].fontSize, kNormalFontVeryBig->getSize());
  s->setString(" ");
  EXPECT_TRUE(s->isDirty());
}

TEST(Vu, BarTopFollowsTheLevelClampedToTheBar) {
  ControlRig rig;
  auto* vu = rig.add(new TVu(CRect(10, 10, 22, 110), &rig.listener));
  EXPECT_EQ(vu->getBarTop(), 100);
  EXPECT_TRUE(drawn(vu).empty());
  struct Case {
    float level;
    int barTop;
  };
  for (const Case& c : {Case{1.f, 0}, Case{0.f, 100}, Case{4.f, 0}, Case{0.25f, 75}, Case{-2.f, 100},
                        Case{std::numeric_limits<float>::quiet_NaN(), 100}}) {
    vu->setVuValue(c.level);
    EXPECT_EQ(vu->getBarTop(), c.barTop) << c.level;
    const std::vector<DrawOp> ops = drawn(vu);
    EXPECT_FALSE(vu->isDirty());
    vu->setVuValue(c.level);
    EXPECT_FALSE(vu->isDirty()) << c.level;
    if (c.barTop == 100) {
      EXPECT_TRUE(ops.empty());
    } else {
      ASSERT_EQ(ops.size(), 1u);
      EXPECT_EQ(ops[0].rect, CRect(10, 10 + c.barTop, 22, 110));
      EXPECT_EQ(ops[0].sourceOffset.y, c.barTop);
    }
  }
}
