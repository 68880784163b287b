// A plug-in behind a fake host, the recording fake editor with plain bitmaps, an offscreen frame,
// and a listener that forwards values to the plug-in the way the editor does: the rig of the
// control and screen tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/pluginControls.h"
#include "controls/pluginScreens.h"
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
using Kind = RecordingDrawContext::Kind;

class SpringPlugin : public APlugin {
 public:
  using APlugin::APlugin;
  bool springOn() const { return engine.isDisruptSpringActive(); }
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

// Gestures reach the plug-in (and from there the host) as in the real editor. Keeps the first
// wave-shaper point as it was when the undo snapshot was asked for.
struct HostedEditor : FakeControlEditor {
  explicit HostedEditor(APlugin* p) : FakeControlEditor(p) { effect = p; }
  void setWaveShaperUndo() override {
    valueAtUndo = getPlugin()->getParameter(WAVESHAPER_START_TAG[0]);
    FakeControlEditor::setWaveShaperUndo();
  }
  float valueAtUndo = -1.f;
};

struct ControlRig {
  explicit ControlRig(const CRect& frameSize = CRect(0, 0, 1200, 500)) : tester(frameSize, &editor) {
    editor.leftArrow = editor.rightArrow = arrow;
    editor.vu = vu;
    editor.slider = slider;
    editor.sliderMod = sliderMod;
  }
  // Adds the view; the host calls so far (the plug-in's set-up) are forgotten.
  template <class T>
  T* add(T* view) {
    tester.frame()->addView(view);
    host.calls.clear();
    return view;
  }
  // Every host edit closed, and every automated value a parameter value.
  void expectHostBalanced(const std::string& what = {}) const {
    EXPECT_EQ(host.count(kHostBeginEdit), host.count(kHostEndEdit)) << what;
    for (float v : host.valueSeenOnAutomate) EXPECT_TRUE(v >= 0.f && v <= 1.f) << what << ": " << v;
    for (const auto& call : host.calls) {
      if (call.opcode == kHostAutomate) {
        EXPECT_TRUE(call.opt >= 0.f && call.opt <= 1.f) << what << ": tag " << call.index << " " << call.opt;
      }
    }
  }
  int hostCount(int32_t opcode) const { return host.count(opcode); }
  int hostBegins() const { return hostCount(kHostBeginEdit); }
  // Every parameter's value.
  std::vector<float> values() const {
    std::vector<float> v;
    for (int t = 0; t < NUM_PARAMS; ++t) v.push_back(plugin->getParameter(t));
    return v;
  }

  FakeHost host;
  std::unique_ptr<SpringPlugin> plugin = std::make_unique<SpringPlugin>(FakeHost::callback);
  TestBitmap arrow{16, 20}, vu{12, 100}, slider{20, 20 * SLIDER_HANDLE_FRAMES}, sliderMod{20, 20};
  TestBitmap knobStrip{40, 40 * KNOB_FRAMES}, ringStrip{40, 40 * KNOB_FRAMES}, switchStrip{30, 40};
  ForwardingListener listener{*plugin};
  HostedEditor editor{plugin.get()};
  FrameTester tester;
};

// The operations of one kind.
inline std::vector<DrawOp> ofKind(const std::vector<DrawOp>& ops, Kind kind) {
  std::vector<DrawOp> out;
  for (const DrawOp& op : ops)
    if (op.kind == kind) out.push_back(op);
  return out;
}
// What a view draws now; with a kind, only those operations.
inline std::vector<DrawOp> drawn(CView* view) {
  RecordingDrawContext context;
  view->draw(&context);
  return context.ops;
}
inline std::vector<DrawOp> drawn(CView* view, Kind kind) { return ofKind(drawn(view), kind); }
constexpr Kind BITMAPS = Kind::Bitmap;
constexpr Kind STRINGS = Kind::String;

}  // namespace controls_test
