// The knob, the Disrupt slider, the readouts and the level meter.
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "controlTestKit.h"

using namespace controls_test;

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

// A knob at (10, 10) with 40 px frames and an inset of 20: the image at (20, 10)-(60, 50).
TKnob* knobAt(ControlRig& rig, int tag, double frameHeight = 40) {
  return rig.add(new TKnob(CRect(10, 10, 70, 34 + frameHeight), frameHeight, &rig.listener, tag,
                           rig.knobStrip, rig.ringStrip, 0, 20, 0));
}

// 200 px wide with a 20 px handle: 180 px of travel from x = 20. Drawn once with the plug-in's value.
THorizontalSlider* sliderAt(ControlRig& rig) {
  auto* s = rig.add(new THorizontalSlider(CRect(10, 10, 210, 30), &rig.listener, DISRUPT_AMOUNT_TAG, 20));
  s->setValue(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG));
  rig.tester.idle();
  return s;
}

}  // namespace

TEST(Knob, RingAndImageFramesAndTextLines) {
  ControlRig rig;
  TKnob* k = knobAt(rig, VOLUME_TAG);
  for (auto [m, frame] : {std::pair{1.f, 136}, {0.5f, 68}, {0.f, 0}, {2.f, 136}, {-1.f, 0}, {NaN, 0}}) {
    k->setMod(m);
    EXPECT_EQ(drawn(k, BITMAPS).at(0).sourceOffset.y, 40.0 * frame) << m;  // the ring, under the knob
    k->setMod(m);
    EXPECT_FALSE(k->isDirty()) << m;
  }
  for (auto [v, y] : {std::pair{1.f, 5440.0}, {0.9999f, 5400.0}, {0.5f, 2720.0}}) {
    k->setValue(v);
    const DrawOp image = drawn(k, BITMAPS).at(1);
    EXPECT_EQ(image.sourceOffset.y, y) << v;
    EXPECT_EQ(image.rect, CRect(20, 10, 60, 50));
  }
  // Caption and value at 150 %: rising 6 px into the 60 px image, lines of 13 px.
  auto* zk = rig.add(new TKnob(CRect(100, 10, 200, 120), 60, &rig.listener, VOLUME_TAG, rig.knobStrip,
                               rig.ringStrip, 1, 30, 3));
  zk->setString("Volume");
  const std::vector<DrawOp> lines = drawn(zk, STRINGS);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Volume");
  EXPECT_EQ(lines[1].text, displayText(*rig.plugin, VOLUME_TAG));
  EXPECT_EQ(lines[0].rect, CRect(103, 64, 203, 77));
  EXPECT_EQ(lines[1].rect, CRect(103, 78, 203, 91));
  EXPECT_TRUE(drawn(knobAt(rig, VOLUME_TAG, 0.5)).empty());  // no whole frames to snap to
}

TEST(Knob, ValueTextTooWideForItsLineIsDrawnSmallerAndOneThatFitsIsNot) {
  ControlRig rig;
  // Lines of 50 and 60 px: "100/80 D/W" takes some 58 px at the font's own size.
  const auto knob = [&](double width) {
    auto* k = rig.add(new TKnob(CRect(10, 10, 10 + width, 74), 40, &rig.listener, CHORUS_MIX_TAG,
                                rig.knobStrip, rig.ringStrip, 0, static_cast<int32_t>(width) - 40, 0));
    k->setString("Mix");
    return k;
  };
  TKnob* const narrow = knob(50);
  TKnob* const wide = knob(60);
  const CCoord own = FONT_SIZE[0]->getSize();
  const struct {
    TKnob* k;
    float v;
    const char* text;
    bool shrunk;
  } rows[] = {{narrow, 0.5f, "Equal", false},
              {narrow, 0.4f, "100/80 D/W", true},
              {narrow, 0.5f, "Equal", false},
              {narrow, 0.9f, "20/100 D/W", true},
              {wide, 0.4f, "100/80 D/W", false}};  // whole as it is: not made smaller
  for (const auto& r : rows) {
    rig.plugin->setParameter(CHORUS_MIX_TAG, r.v);
    const DrawOp value = drawn(r.k, STRINGS).at(1);
    EXPECT_EQ(value.text, r.text);
    EXPECT_EQ(value.fontSize < own, r.shrunk) << r.text;
    RecordingDrawContext measure;
    measure.setFont(FONT_SIZE[0], value.fontSize, FONT_STYLE);
    EXPECT_LE(measure.getStringWidth(r.text), r.k->getViewSize().getWidth()) << r.text;
  }
}

TEST(Knob, DragCoversTheRangeIn200PixelsAndShiftSlowsWithoutAJump) {
  ControlRig rig;
  TKnob* k = knobAt(rig, VOLUME_TAG);
  k->setValue(0.f);
  rig.tester.drag(CPoint(30, 40), CPoint(30, -160), 8);
  EXPECT_FLOAT_EQ(rig.plugin->getParameter(VOLUME_TAG), 1.f);

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
  // The value is bounded, the anchor is not: a dead zone after overshooting.
  run(1.f, {{20, kLButton, 1.f}, {30, kLButton, 1.f}, {50, kLButton, 0.95f}});
  // Shift counts from the next step, at 1/50 of the speed; the same point again is ignored.
  run(0.5f, {{20, kLButton, 0.6f},
             {19, kLButton | kShift, 0.605f},
             {9, kLButton | kShift, 0.606f},
             {9, kLButton, 0.606f},
             {8, kLButton, 0.6061f},
             {-2, kLButton, 0.6561f}});
  EXPECT_EQ(rig.editor.count("releasedDropDial"), 3);
  rig.expectHostBalanced("knob drag");
}

TEST(Knob, EveryGestureClosesItsHostEditAndModulationDrag) {
  struct Case {
    const char* name;
    int32_t buttons;
    bool menu, drop, remove;
  };
  for (const Case& c :
       {Case{"right", kRButton, true, false, false},
        Case{"control key", kLButton | kApple, true, false, false},
        Case{"reset", kLButton | kDoubleClick, false, false, false},
        Case{"middle", kMButton, false, true, false}, Case{"drag", kLButton, false, true, false},
        Case{"removed", kLButton, false, true, true}}) {
    ControlRig rig;
    TKnob* k = knobAt(rig, VOLUME_TAG);
    const CMouseEventResult down = rig.tester.mouseDown(30, 30, c.buttons);
    rig.tester.move(30, 20, c.buttons);
    if (c.remove) rig.tester.frame()->removeView(k, true);
    rig.tester.mouseUp(30, 20, c.buttons);
    EXPECT_EQ(down, c.drop ? kMouseEventHandled : kMouseDownEventHandledButDontNeedMovedOrUpEvents) << c.name;
    EXPECT_EQ(rig.editor.count("showMIDIMenu"), c.menu ? 1 : 0) << c.name;
    if (c.menu) {
      EXPECT_EQ(rig.editor.calls[0].where, CPoint(30, 30)) << c.name;
    }
    EXPECT_EQ(rig.editor.count("setDropTag"), c.drop ? 1 : 0) << c.name;
    EXPECT_EQ(rig.editor.count("releasedDropDial"), c.drop ? 1 : 0) << c.name;
    EXPECT_EQ(rig.hostBegins(), 1) << c.name;
    rig.expectHostBalanced(c.name);
  }
}

TEST(Knob, BelowTheImageADisruptAmountOpensItsDestinationAndTag9999IgnoresTheMouse) {
  for (int tag : {70, 73, 76, 60, 77}) {
    ControlRig rig;
    knobAt(rig, tag);
    rig.tester.click(30, 51);
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
  EXPECT_FALSE(rig.tester.wheel(30, 30, 1.f));
  EXPECT_EQ(free->getValue(), 0.5f);
  EXPECT_TRUE(rig.editor.calls.empty());
  EXPECT_EQ(drawn(free, STRINGS).size(), 0u);  // no caption yet, and no parameter to show
}

TEST(Slider, LockAndSpringTimeGateClickAndWheel) {
  ControlRig rig;
  sliderAt(rig);
  rig.plugin->setParameter(DISRUPT_AMOUNT_TAG, 0.3f);
  rig.plugin->setParameter(DISRUPT_LAZY_ON_TAG, 1.f);
  rig.tester.click(150, 20);
  EXPECT_FALSE(rig.tester.wheel(150, 20, 1.f));
  EXPECT_EQ(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG), 0.3f);
  EXPECT_EQ(rig.hostBegins(), 0);

  rig.plugin->setParameter(DISRUPT_LAZY_ON_TAG, 0.f);
  rig.plugin->setSteppedValue(DISRUPT_SPRING_TAG, 0);
  for (auto [d, v] : {std::pair{2.f, 0.31f}, {0.f, 0.31f}, {-1.f, 0.3f}}) {
    EXPECT_TRUE(rig.tester.wheel(150, 20, d));
    EXPECT_NEAR(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG), v, 1e-6f) << d;
  }
  rig.plugin->setSteppedValue(DISRUPT_SPRING_TAG, 3);  // it springs back: the wheel would fight it
  EXPECT_FALSE(rig.tester.wheel(150, 20, 1.f));
  // A handle as wide as the slider leaves nothing to drag.
  rig.add(new THorizontalSlider(CRect(10, 50, 30, 70), &rig.listener, DISRUPT_AMOUNT_TAG, 20));
  rig.tester.click(20, 60);
  EXPECT_EQ(rig.hostBegins(), 0);
}

TEST(Slider, ClickJumpsToThePointerAndShiftIsTwentyTimesFiner) {
  for (auto [x, v] :
       {std::pair{110.0, 0.5f}, {11.0, 0.f}, {20.0, 0.f}, {65.0, 0.25f}, {200.0, 1.f}, {209.0, 1.f}}) {
    ControlRig rig;
    sliderAt(rig);
    rig.tester.click(x, 20);
    EXPECT_FLOAT_EQ(rig.plugin->getParameter(DISRUPT_AMOUNT_TAG), v) << x;
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
    bool remove;
  };
  for (const Case& c :
       {Case{"drag", kLButton, false}, Case{"right", kRButton, false},
        Case{"reset", kLButton | kControl, false}, Case{"double", kLButton | kDoubleClick, false},
        Case{"middle", kMButton, false}, Case{"removed", kLButton, true}}) {
    ControlRig rig;
    rig.plugin->setSteppedValue(DISRUPT_SPRING_TAG, 1);
    THorizontalSlider* s = sliderAt(rig);
    rig.tester.mouseDown(60, 20, c.buttons);
    EXPECT_EQ(rig.plugin->springOn(), c.buttons != kLButton && c.buttons != kMButton) << c.name;
    rig.tester.move(80, 20, c.buttons);
    if (c.remove) rig.tester.frame()->removeView(s, true);
    rig.tester.mouseUp(80, 20, c.buttons);
    EXPECT_EQ(rig.hostBegins(), 1) << c.name;
    EXPECT_EQ(rig.editor.count("showMIDIMenu"), c.buttons == kRButton ? 1 : 0) << c.name;
    rig.expectHostBalanced(c.name);
    EXPECT_TRUE(rig.plugin->springOn()) << c.name;
  }
}

TEST(Slider, MarkerAndHandleFollowTheQuantisation) {
  ControlRig rig;
  THorizontalSlider* s = sliderAt(rig);               // drawn once: handle frame 2
  rig.plugin->setSteppedValue(DISRUPT_QUANT_TAG, 6);  // divisor 9
  for (auto [m, key, shown] : {std::tuple{0.5f, 1, 5.f / 9},
                               {0.3f, 2, 3.f / 9},
                               {0.9f, 2, 3.f / 9},
                               {NaN, 4, 0.f},
                               {-3.f, 5, -1.f}}) {
    s->setMod(m, key);
    EXPECT_FLOAT_EQ(s->getModValue(), shown) << m;
  }
  s->setValue(0.75f);  // h = 0.5, shown at 5/9
  const std::vector<DrawOp> ops = drawn(s);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].rect, CRect(10, 10, 30, 30));  // the marker at -1: the left end
  const double x = 10 + static_cast<int>((5.f / 9 * 0.5f + 0.5f) * 180.f);
  EXPECT_EQ(ops[1].rect, CRect(x, 10, x + 20, 30));
  EXPECT_EQ(ops[1].sourceOffset.y, 20 * 4);
  EXPECT_EQ(drawn(s)[1].sourceOffset.y, 20 * 6);
  rig.editor.modDial = false;
  EXPECT_EQ(drawn(s).size(), 1u);  // frame 8
  // Two frames a draw through the 69 of the strip, round to the odd ones and back to 0.
  for (int n = 5; n <= 69; ++n) {
    const int frame = (2 * n) % 69;
    EXPECT_EQ(drawn(s).at(0).sourceOffset.y, 20 * frame) << n;
    EXPECT_EQ(s->getAnimFrame(), frame);
  }
  EXPECT_EQ(s->getAnimFrame(), 0);
}

TEST(ReadoutsAndMeter, EmptyTextsAndClampedLevels) {
  ControlRig rig;
  auto* r = rig.add(new TReadout(CRect(10, 10, 110, 30), &rig.listener, "", 1, false, true));
  EXPECT_TRUE(drawn(r).empty());  // an empty readout stays empty
  r->setString("12 dB");
  EXPECT_EQ(drawn(r).at(0).fontSize, BIG_FONT_SIZE[1]->getSize());
  r->setString("12 dB");
  EXPECT_FALSE(r->isDirty());
  auto* s = rig.add(new TReadoutString(CRect(10, 40, 110, 60), "Title"));
  s->setString("");
  EXPECT_EQ(drawn(s).at(0).text, " ");

  auto* vu = rig.add(new TVu(CRect(10, 100, 22, 200), &rig.listener));
  EXPECT_TRUE(drawn(vu).empty());
  for (auto [level, top] : {std::pair{1.f, 0}, {0.f, 100}, {4.f, 0}, {0.25f, 75}, {-2.f, 100}, {NaN, 100}}) {
    vu->setVuValue(level);
    EXPECT_EQ(vu->getBarTop(), top) << level;
    const std::vector<DrawOp> ops = drawn(vu);
    vu->setVuValue(level);
    EXPECT_FALSE(vu->isDirty()) << level;
    ASSERT_EQ(ops.size(), top < 100 ? 1u : 0u) << level;
    if (top < 100) {
      EXPECT_EQ(ops[0].rect, CRect(10, 100 + top, 22, 200));
      EXPECT_EQ(ops[0].sourceOffset.y, top);
    }
  }
}
