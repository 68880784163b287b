// Cost of the plug-in's controls in an editor-sized frame: a full redraw at 100 % and 200 %, and
// the common idle pass where a few knobs and the meters moved and every ring was refreshed
// without a change. Compare with bench_vstgui.cpp (the toolkit's own knobs).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "../tests/support/fakeControlEditor.h"
#include "controls/pluginControls.h"

using namespace VSTGUI;

namespace {

struct ControlsFrame {
  explicit ControlsFrame(int scale) {
    const double s = SCALE[static_cast<size_t>(scale)];
    const double fh = 40 * s;
    auto bitmap = [&](double w, double h) {
      bitmaps.push_back(new CBitmap(w * s, h * s));
      return bitmaps.back();
    };
    CBitmap* knobStrip = bitmap(40, 40 * KNOB_FRAMES);
    CBitmap* ringStrip = bitmap(40, 40 * KNOB_FRAMES);
    editor.leftArrow = bitmap(16, 20);
    editor.rightArrow = bitmap(16, 20);
    editor.vu = bitmap(12, 100);
    editor.slider = bitmap(20, 20 * SLIDER_HANDLE_FRAMES);
    editor.sliderMod = bitmap(20, 20);

    frame = new CFrame(CRect(0, 0, 1100 * s, 712 * s), &editor);
    frame->open(nullptr, PlatformType::kOffscreen);
    frame->setBackgroundColor(CColor(40, 40, 40));
    for (int i = 0; i < 150; ++i) {
      const double x = (i % 25) * 44.0 * s, y = (i / 25) * 110.0 * s;
      auto* knob = new TKnob(CRect(x, y, x + fh + 4 * s, y + fh + 24 * s), fh, nullptr, 1 + i, knobStrip,
                             ringStrip, scale, 4, 0);
      knob->setString("Knob " + std::to_string(i));
      knob->setValue(plugin->getParameter(1 + i));
      knob->setMod(0.25f);
      frame->addView(knob);
      knobs.push_back(knob);
    }
    for (int i = 0; i < 20; ++i) {
      const double x = (i % 5) * 220.0 * s, y = ((i / 5) * 110.0 + 72) * s;
      auto* menu = new TOptionMenu(CRect(x, y, x + 100 * s, y + 19 * s), nullptr, LFO_WAVE_TAGS[i % 4],
                                   nullptr, nullptr, kNoDrawStyle, scale, true, i % 2 == 0);
      frame->addView(menu);
    }
    for (int i = 0; i < 4; ++i) {
      const double x = (1040.0 + i * 14) * s, y = 618 * s;
      auto* vu = new TVu(CRect(x, y, x + 12 * s, y + 90 * s), nullptr);
      frame->addView(vu);
      meters.push_back(vu);
    }
    frame->addView(new THorizontalSlider(CRect(800 * s, 680 * s, 1000 * s, 700 * s), nullptr,
                                         DISRUPT_AMOUNT_TAG, static_cast<int32_t>(20 * s)));
    frame->idle();
  }
  ~ControlsFrame() {
    frame->close();
    for (CBitmap* b : bitmaps) b->forget();
  }

  std::unique_ptr<APlugin> plugin = std::make_unique<APlugin>(nullptr);
  testing_support::FakeControlEditor editor{plugin.get()};
  std::vector<CBitmap*> bitmaps;
  CFrame* frame = nullptr;
  std::vector<TKnob*> knobs;
  std::vector<TVu*> meters;
};

void BM_ControlsFullRedraw(benchmark::State& state) {
  ControlsFrame f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.frame->invalid();
    f.frame->idle();
  }
}
BENCHMARK(BM_ControlsFullRedraw)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_ControlsIdleFewChanged(benchmark::State& state) {
  ControlsFrame f(0);
  float v = 0.f;
  for (auto _ : state) {
    v = v > 0.9f ? 0.f : v + 0.01f;
    for (int i = 0; i < 4; ++i) {
      f.knobs[static_cast<size_t>(i * 37)]->setValue(v);
      f.meters[static_cast<size_t>(i)]->setVuValue(v);
    }
    for (TKnob* k : f.knobs) k->setMod(0.25f);
    f.frame->idle();
  }
}
BENCHMARK(BM_ControlsIdleFewChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
