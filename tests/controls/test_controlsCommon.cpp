// What all ten controls share: nothing happens without an editor or while hidden, and the
// reset gestures of the knob and the Disrupt slider.
#include <functional>
#include <string>

#include "controlTestKit.h"

using namespace VSTGUI;
using namespace controls_test;

namespace {

const CRect AREA(10, 10, 110, 70);

struct Maker {
  const char* name;
  std::function<CControl*(ControlRig&)> make;
  bool drawsWhenActive;
  bool takesClicks = true;  // the readouts and the meter leave clicks to the views below
};

const Maker MAKERS[] = {
    {"TOptionMenu",
     [](ControlRig& r) {
       auto* m = new TOptionMenu(AREA, &r.listener, 153, nullptr, nullptr, kNoDrawStyle, 0, true, true);
       m->setString("x");
       return m;
     },
     true},
    {"TControlMenu", [](ControlRig& r) { return new TControlMenu(AREA, &r.listener); }, false},
    {"TOnOff", [](ControlRig& r) { return new TOnOff(AREA, &r.listener, 40, r.switchStrip); }, true},
    {"TRadioButton", [](ControlRig& r) { return new TRadioButton(AREA, &r.listener, r.switchStrip); }, true},
    {"TRockerButton",
     [](ControlRig& r) { return new TRockerButton(AREA, &r.listener, 135, r.switchStrip, 5, 4.99f); }, true},
    {"TKnob",
     [](ControlRig& r) { return new TKnob(AREA, 40, &r.listener, 1, r.knobStrip, r.ringStrip, 0, 20, 0); }, true},
    {"THorizontalSlider", [](ControlRig& r) { return new THorizontalSlider(AREA, &r.listener, 69, 20); }, true},
    {"TReadout", [](ControlRig& r) { return new TReadout(AREA, &r.listener, "Hi", 0, true, false); }, true, false},
    {"TReadoutString", [](ControlRig&) { return new TReadoutString(AREA, "Hi"); }, true, false},
    {"TVu",
     [](ControlRig& r) {
       auto* vu = new TVu(AREA, &r.listener);
       vu->setVuValue(1.f);
       return vu;
     },
     true, false},
};

// The control does nothing: draws nothing, swallows the click, leaves the wheel.
void expectInert(const Maker& m, CControl* c, ControlRig& rig, const std::string& why) {
  SCOPED_TRACE(why);
  const float before = c->getValue();
  EXPECT_TRUE(drawn(c).empty()) << why;
  for (int32_t buttons : {int32_t{kLButton}, int32_t{kRButton}, kLButton | kDoubleClick, kLButton | kControl}) {
    CPoint p(60, 40);
    EXPECT_EQ(c->onMouseDown(p, buttons),
              m.takesClicks ? kMouseDownEventHandledButDontNeedMovedOrUpEvents : kMouseEventNotImplemented)
        << why;
  }
  EXPECT_FALSE(static_cast<CView*>(c)->onWheel(CPoint(60, 40), 1.f, CButtonState()));
  EXPECT_EQ(c->getValue(), before) << why;
  EXPECT_TRUE(rig.editor.calls.empty()) << why;
  EXPECT_TRUE(rig.listener.values.empty()) << why;
  EXPECT_EQ(rig.hostBegins(), 0) << why;
}

}  // namespace

TEST(Controls, WithoutAnEditorOrWhileHiddenNothingHappens) {
  for (const Maker& m : MAKERS) {
    {
      ControlRig rig;
      FrameTester noEditor(CRect(0, 0, 200, 200));
      CControl* c = m.make(rig);
      noEditor.frame()->addView(c);
      expectInert(m, c, rig, std::string(m.name) + " without editor");
    }
    ControlRig rig;
    CControl* c = rig.add(m.make(rig));
    EXPECT_EQ(!drawn(c).empty(), m.drawsWhenActive) << m.name;
    c->setVisible(false);
    expectInert(m, c, rig, std::string(m.name) + " hidden");
  }
}

TEST(Controls, KnobAndSliderResetOnlyOnExactCommandClickOrAnyDoubleClick) {
  struct Case {
    int32_t buttons;
    bool resets;
  };
  const Case cases[] = {
      {kLButton | kControl, true},
      {kLButton | kControl | kShift, false},
      {kLButton | kShift | kDoubleClick, true},
      {kLButton | kAlt | kControl | kDoubleClick, true},
  };
  for (bool slider : {false, true}) {
    for (const Case& k : cases) {
      ControlRig rig;
      CControl* c = slider ? static_cast<CControl*>(new THorizontalSlider(CRect(10, 10, 210, 30), &rig.listener, 69, 20))
                           : new TKnob(CRect(10, 10, 50, 74), 40, &rig.listener, 1, rig.knobStrip, rig.ringStrip, 0, 0, 0);
      rig.add(c);
      c->setDefaultValue(0.25f);
      c->setValue(0.9f);
      rig.tester.idle();
      rig.tester.mouseDown(15, 20, k.buttons);
      rig.tester.mouseUp(15, 20, k.buttons);
      const std::string what = std::string(slider ? "slider " : "knob ") + std::to_string(k.buttons);
      SCOPED_TRACE(what);
      if (k.resets) {
        EXPECT_FLOAT_EQ(c->getValue(), 0.25f) << what;
        EXPECT_FLOAT_EQ(rig.plugin->getParameter(c->getTag()), 0.25f) << what;
      } else {
        EXPECT_NE(c->getValue(), 0.25f) << what;
      }
      rig.expectHostBalanced(what.c_str());
      EXPECT_GE(rig.hostBegins(), 1) << what;
    }
  }
}
