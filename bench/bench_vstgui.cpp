// Cost of the toolkit's idle pass: a full redraw of an editor-sized frame, and the common case
// of a few changed knobs among many.
#include <benchmark/benchmark.h>

#include <vector>

#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

struct EditorSizedFrame {
  EditorSizedFrame() {
    strip = new CBitmap(40, 137 * 40);
    frame = new CFrame(CRect(0, 0, 1100, 712), nullptr);
    frame->open(nullptr, PlatformType::kOffscreen);
    frame->setBackgroundColor(CColor(40, 40, 40));
    for (int i = 0; i < 150; ++i) {
      const double x = (i % 25) * 44.0, y = (i / 25) * 110.0;
      auto* knob = new CAnimKnob(CRect(x, y, x + 40, y + 40), nullptr, i, 137, 40, strip);
      frame->addView(knob);
      knobs.push_back(knob);
      auto* text = new CParamDisplay(CRect(x, y + 42, x + 40, y + 56));
      frame->addView(text);
    }
    frame->idle();
  }
  ~EditorSizedFrame() {
    frame->close();
    strip->forget();
  }
  CBitmap* strip;
  CFrame* frame;
  std::vector<CAnimKnob*> knobs;
};

void BM_IdleFullRedraw(benchmark::State& state) {
  EditorSizedFrame f;
  for (auto _ : state) {
    f.frame->invalid();
    f.frame->idle();
  }
}
BENCHMARK(BM_IdleFullRedraw)->Unit(benchmark::kMillisecond);

void BM_IdleFourKnobsChanged(benchmark::State& state) {
  EditorSizedFrame f;
  float v = 0.f;
  for (auto _ : state) {
    v = v > 0.9f ? 0.f : v + 0.01f;
    for (int i = 0; i < 4; ++i) f.knobs[static_cast<size_t>(i * 37)]->setValue(v);
    f.frame->idle();
  }
}
BENCHMARK(BM_IdleFourKnobsChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
