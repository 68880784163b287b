// A plug-in behind a fake host, the recording fake editor with plain bitmaps, an offscreen frame,
// and a listener that forwards values to the plug-in the way the editor does.
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

using namespace VSTGUI;
using testing_support::FakeControlEditor;
using testing_support::FakeHost;
using testing_support::FrameTester;
using testing_support::RecordingDrawContext;
using DrawOp = RecordingDrawContext::Op;

class SpringPlugin : public APlugin {
 public:
  using APlugin::APlugin;
  bool springOn() const { return disruptSpringActive.load(); }
};

class ForwardingListener : public IControlListener {
 public:
  explicit ForwardingListener(APlugin& p) : plugin(p) {}
  void valueChanged(CControl* c) override {
    values.push_back(c->getValue());
    // Menus are read by their chosen entry, not forwarded as values.
    if (!dynamic_cast<COptionMenu*>(c) && APlugin::isValidTag(c->getTag()))
      plugin.setParameterAutomated(c->getTag(), c->getValue());
  }
  int32_t controlModifierClicked(CControl*, CButtonState) override {
    ++modifierAsks;
    return modifierAnswer;
  }
  APlugin& plugin;
  std::vector<float> values;
  int modifierAsks = 0;
  int32_t modifierAnswer = 0;
};

struct TestBitmap {
  TestBitmap(double w, double h) : bitmap(new CBitmap(w, h)) {}
  ~TestBitmap() { bitmap->forget(); }
  TestBitmap(const TestBitmap&) = delete;
  TestBitmap& operator=(const TestBitmap&) = delete;
  operator CBitmap*() const { return bitmap; }
  CBitmap* bitmap;
};

struct ControlRig {
  ControlRig() {
    editor.leftArrow = editor.rightArrow = arrow;
    editor.vu = vu;
    editor.slider = slider;
    editor.sliderMod = sliderMod;
  }
  template <class T>
  T* add(T* view) {
    tester.frame()->addView(view);
    return view;
  }
  // Every host edit closed, and every automated value a parameter value.
  void expectHostBalanced(const std::string& what) const {
    EXPECT_EQ(host.count(kHostBeginEdit), host.count(kHostEndEdit)) << what;
    for (float v : host.valueSeenOnAutomate) EXPECT_TRUE(v >= 0.f && v <= 1.f) << what << ": " << v;
  }
  int hostBegins() const { return host.count(kHostBeginEdit); }

  FakeHost host;
  std::unique_ptr<SpringPlugin> plugin = std::make_unique<SpringPlugin>(FakeHost::callback);
  TestBitmap arrow{16, 20}, vu{12, 100}, slider{20, 20 * SLIDER_HANDLE_FRAMES}, sliderMod{20, 20};
  TestBitmap knobStrip{40, 40 * KNOB_FRAMES}, ringStrip{40, 40 * KNOB_FRAMES}, switchStrip{30, 40};
  ForwardingListener listener{*plugin};
  FakeControlEditor editor{plugin.get()};
  FrameTester tester{CRect(0, 0, 400, 300), &editor};
};

// What a view draws now; with a kind, only those operations.
inline std::vector<DrawOp> drawn(CView* view, int kind = -1) {
  RecordingDrawContext context;
  view->draw(&context);
  std::vector<DrawOp> out;
  for (const DrawOp& op : context.ops)
    if (kind < 0 || static_cast<int>(op.kind) == kind) out.push_back(op);
  return out;
}
constexpr int BITMAPS = static_cast<int>(RecordingDrawContext::Kind::Bitmap);
constexpr int STRINGS = static_cast<int>(RecordingDrawContext::Kind::String);

}  // namespace controls_test
