// What all ten controls share: they reach editor and plug-in only through their frame, nothing
// happens without both or while hidden; the knob's and the Disrupt slider's reset gestures.
#include <functional>
#include <string>

#include "controlTestKit.h"

using namespace controls_test;

namespace {

const CRect AREA(10, 10, 110, 70);

struct Maker {
  const char* name;
  std::function<CControl*(ControlRig&)> make;
  bool passesLiveClicks = false;  // the readouts and the meter leave live clicks to the views below
};

const Maker MAKERS[] = {
    {"TOptionMenu",
     [](ControlRig& r) {
       auto* m = new TOptionMenu(AREA, &r.listener, 153, nullptr, nullptr, kNoDrawStyle, 0, true, true);
       m->setString("x");
       return m;
     }},
    {"TControlMenu", [](ControlRig& r) { return new TControlMenu(AREA, &r.listener); }},
    {"TOnOff", [](ControlRig& r) { return new TOnOff(AREA, &r.listener, 40, r.switchStrip); }},
    {"TRadioButton", [](ControlRig& r) { return new TRadioButton(AREA, &r.listener, r.switchStrip); }},
    {"TRockerButton",
     [](ControlRig& r) { return new TRockerButton(AREA, &r.listener, 135, r.switchStrip, 5, 4.99f); }},
    {"TKnob",
     [](ControlRig& r) { return new TKnob(AREA, 40, &r.listener, 1, r.knobStrip, r.ringStrip, 0, 20, 0); }},
    {"THorizontalSlider", [](ControlRig& r) { return new THorizontalSlider(AREA, &r.listener, 69, 20); }},
    {"TReadout", [](ControlRig& r) { return new TReadout(AREA, &r.listener, "Hi", 0, true, false); }, true},
    {"TReadoutString", [](ControlRig&) { return new TReadoutString(AREA, "Hi"); }, true},
    {"TVu",
     [](ControlRig& r) {
       auto* vu = new TVu(AREA, &r.listener);
       vu->setVuValue(1.f);
       return vu;
     },
     true},
};

}  // namespace

TEST(ControlContext, NeedsBothAnEditorAndItsPlugin) {
  auto plugin = std::make_unique<APlugin>(nullptr);
  auto* view = new CView(CRect(0, 0, 10, 10));
  EXPECT_FALSE(controlContext(nullptr));
  EXPECT_FALSE(controlContext(view));  // not attached to any frame
  FakeControlEditor noPlugin(nullptr);
  {
    FrameTester t(CRect(0, 0, 100, 100), &noPlugin);
    t.frame()->addView(view);
    EXPECT_FALSE(controlContext(view));
    t.frame()->removeView(view, false);
  }
  FakeControlEditor editor(plugin.get());
  FrameTester t(CRect(0, 0, 100, 100), &editor);
  t.frame()->addView(view);
  const ControlContext c = controlContext(view);
  EXPECT_EQ(c.editor, &editor);
  EXPECT_EQ(c.plugin, plugin.get());
}

TEST(Controls, WithoutAnEditorOrWhileHiddenNothingHappens) {
  for (const Maker& m : MAKERS) {
    for (bool hidden : {false, true}) {
      SCOPED_TRACE(std::string(m.name) + (hidden ? " hidden" : " without editor"));
      ControlRig rig;
      FrameTester noEditor(CRect(0, 0, 200, 200));
      CControl* c = m.make(rig);
      if (hidden) {
        rig.add(c);
        // Live it draws (all but the invisible settings area).
        EXPECT_EQ(drawn(c).empty(), std::string(m.name) == "TControlMenu");
        if (m.passesLiveClicks) {
          CPoint p(60, 40);
          EXPECT_EQ(c->onMouseDown(p, kLButton), kMouseEventNotImplemented);
        }
        c->setVisible(false);
      } else {
        noEditor.frame()->addView(c);
      }
      const float before = c->getValue();
      EXPECT_TRUE(drawn(c).empty());
      for (int32_t buttons : {2, 8, 2 | kDoubleClick, 34}) {
        CPoint p(60, 40);
        EXPECT_EQ(c->onMouseDown(p, buttons), MOUSE_DONE);
      }
      EXPECT_FALSE(static_cast<CView*>(c)->onWheel(CPoint(60, 40), 1.f, CButtonState()));
      EXPECT_EQ(c->getValue(), before);
      EXPECT_TRUE(rig.editor.calls.empty());
      EXPECT_TRUE(rig.listener.values.empty());
      EXPECT_EQ(rig.hostBegins(), 0);
    }
  }
}

TEST(Controls, KnobAndSliderResetOnlyOnExactCommandClickOrAnyDoubleClick) {
  const std::pair<int32_t, bool> cases[] = {{kLButton | kControl, true},
                                            {kLButton | kControl | kShift, false},
                                            {kLButton | kShift | kDoubleClick, true},
                                            {kLButton | kAlt | kControl | kDoubleClick, true}};
  for (bool slider : {false, true}) {
    for (auto [buttons, resets] : cases) {
      SCOPED_TRACE(std::string(slider ? "slider " : "knob ") + std::to_string(buttons));
      ControlRig rig;
      CControl* c =
          slider
              ? static_cast<CControl*>(new THorizontalSlider(CRect(10, 10, 210, 30), &rig.listener, 69, 20))
              : new TKnob(CRect(10, 10, 50, 74), 40, &rig.listener, 1, rig.knobStrip, rig.ringStrip, 0, 0, 0);
      rig.add(c);
      c->setDefaultValue(0.25f);
      c->setValue(0.9f);
      rig.tester.idle();
      rig.tester.click(15, 20, buttons);
      EXPECT_EQ(c->getValue() == 0.25f, resets);
      EXPECT_EQ(rig.plugin->getParameter(c->getTag()) == 0.25f, resets);
      EXPECT_GE(rig.hostBegins(), 1);
      rig.expectHostBalanced("reset");
    }
  }
}
