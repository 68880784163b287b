// A graph screen in an offscreen frame over a real plug-in whose host is the fake host, with an
// editor that records the screens' calls and passes edit gestures on to the plug-in.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "controls/pluginScreens.h"
#include "plugin/uPlugin.h"
#include "support/fakeControlEditor.h"
#include "support/fakeHost.h"
#include "support/vstguiTester.h"

namespace screens_test {

using namespace VSTGUI;

// Gestures reach the plug-in (and from there the host) as in the real editor. Keeps the first
// wave-shaper point as it was when the undo snapshot was asked for.
struct HostedEditor : testing_support::FakeControlEditor {
  explicit HostedEditor(APlugin* p) : FakeControlEditor(p) { effect = p; }
  void setWaveShaperUndo() override {
    valueAtUndo = getPlugin()->getParameter(WAVESHAPER_START_TAG[0]);
    FakeControlEditor::setWaveShaperUndo();
  }
  float valueAtUndo = -1.0f;
};

struct Rig {
  testing_support::FakeHost host;
  std::unique_ptr<APlugin> plugin{new APlugin(testing_support::FakeHost::callback)};
  HostedEditor editor{plugin.get()};
  testing_support::FrameTester tester;

  explicit Rig(const CRect& frameSize = CRect(0, 0, 1200, 500)) : tester(frameSize, &editor) {}

  template <class T>
  T* add(T* screen) {
    tester.frame()->addView(screen);
    host.calls.clear();
    return screen;
  }
  int hostCount(int32_t opcode) const { return host.count(opcode); }
  // Every gesture begun was ended, and every automated value lay within 0..1.
  void expectCleanHost() const {
    EXPECT_EQ(host.count(kHostBeginEdit), host.count(kHostEndEdit));
    for (const auto& call : host.calls)
      if (call.opcode == kHostAutomate) {
        EXPECT_GE(call.opt, 0.0f) << "tag " << call.index;
        EXPECT_LE(call.opt, 1.0f) << "tag " << call.index;
      }
  }
  std::vector<float> values() const {
    std::vector<float> v;
    for (int t = 0; t < NUM_PARAMS; ++t) v.push_back(plugin->getParameter(t));
    return v;
  }
};

inline std::vector<testing_support::RecordingDrawContext::Op> drawOps(CView* view) {
  testing_support::RecordingDrawContext context;
  view->draw(&context);
  return context.ops;
}

}  // namespace screens_test
