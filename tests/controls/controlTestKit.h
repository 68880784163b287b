// A plug-in behind a fake host, the recording fake editor and an offscreen frame: everything a
// control test drives, plus a listener that forwards values the way the editor does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/pluginControls.h"
#include "plugin/uPlugin.h"
#include "support/fakeControlEditor.h"
#include "support/fakeHost.h"
#include "support/vstguiTester.h"

namespace controls_test {

using testing_support::FakeControlEditor;
using testing_support::FakeHost;
using testing_support::FrameTester;
using testing_support::RecordingDrawContext;

// Lets the tests see the Disrupt spring the slider switches.
class SpringPlugin : public APlugin {
 public:
  using APlugin::APlugin;
  bool springOn() const { return disruptSpringActive.load(); }
};

// The editor's part as listener: values go to the plug-in as automation.
class ForwardingListener : public VSTGUI::IControlListener {
 public:
  explicit ForwardingListener(APlugin& p) : plugin(p) {}
  void valueChanged(VSTGUI::CControl* control) override {
    values.push_back(control->getValue());
    // Menus are read by their chosen entry, not forwarded as values.
    if (!dynamic_cast<VSTGUI::COptionMenu*>(control) && APlugin::isValidTag(control->getTag())) plugin.setParameterAutomated(control->getTag(), control->getValue());
  }
  int32_t controlModifierClicked(VSTGUI::CControl*, VSTGUI::CButtonState) override {
    ++modifierAsks;
    return modifierAnswer;
  }
  APlugin& plugin;
  std::vector<float> values;
  int modifierAsks = 0;
  int32_t modifierAnswer = 0;
};

// A plain bitmap of the given size, released with its holder.
struct TestBitmap {
  TestBitmap(double w, double h) : bitmap(new VSTGUI::CBitmap(w, h)) {}
  ~TestBitmap() { bitmap->forget(); }
  TestBitmap(const TestBitmap&) = delete;
  TestBitmap& operator=(const TestBitmap&) = delete;
  operator VSTGUI::CBitmap*() const { return bitmap; }
  VSTGUI::CBitmap* bitmap;
};

struct ControlRig {
  ControlRig() {
    editor.leftArrow = leftArrow;
    editor.rightArrow = rightArrow;
    editor.vu = vu;
    editor.slider = slider;
    editor.sliderMod = sliderMod;
  }

  FakeHost host;
  std::unique_ptr<SpringPlugin> plugin = std::make_unique<SpringPlugin>(FakeHost::callback);
  TestBitmap leftArrow{16, 20}, rightArrow{16, 20}, vu{12, 100}, slider{20, 20 * SLIDER_HANDLE_FRAMES},
      sliderMod{20, 20};
  TestBitmap knobStrip{40, 40 * KNOB_FRAMES}, ringStrip{40, 40 * KNOB_FRAMES}, switchStrip{30, 40};
  ForwardingListener listener{*plugin};
  FakeControlEditor editor{plugin.get()};
  FrameTester tester{VSTGUI::CRect(0, 0, 400, 300), &editor};

  template <class T>
  T* add(T* view) {
    tester.frame()->addView(view);
    return view;
  }
  // Every host edit closed, and every automated value a parameter value.
  void expectHostBalanced(const char* what) const {
    EXPECT_EQ(host.count(kHostBeginEdit), host.count(kHostEndEdit)) << what;
    for (float v : host.valueSeenOnAutomate) EXPECT_TRUE(v >= 0.f && v <= 1.f) << what << ": " << v;
  }
  int hostBegins() const { return host.count(kHostBeginEdit); }
};

using DrawOp = RecordingDrawContext::Op;
using DrawKind = RecordingDrawContext::Kind;

// What a view draws now, recorded; optionally only one kind of operation.
inline std::vector<DrawOp> drawn(VSTGUI::CView* view) {
  RecordingDrawContext context;
  view->draw(&context);
  return context.ops;
}
inline std::vector<DrawOp> drawn(VSTGUI::CView* view, DrawKind kind) {
  std::vector<DrawOp> out;
  for (const DrawOp& op : drawn(view))
    if (op.kind == kind) out.push_back(op);
  return out;
}

}  // namespace controls_test
