// Cost of the graph screens: one redraw of each screen in an offscreen frame at 100 % and
// 200 %, the distortion screen's curve refresh, and an idle pass of the Mod/LFO tab while the
// LFO dot moves.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "controls/pluginScreens.h"
#include "guiTables.h"
#include "plugin/uPlugin.h"
#include "tests/support/fakeControlEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

enum Screen { kFollower, kWaveShaper, kMatrix, kLFO, kEQ, kDistort };

// A plug-in with settings that give every screen something to draw, and its editor.
struct Setup {
  Setup() : plugin(new APlugin(nullptr)), editor(plugin.get()) {
    APlugin& p = *plugin;
    for (int k = 0; k < 4; ++k) {
      p.setParameter(EQ_FREQ_TAGS[static_cast<size_t>(k)], 0.15f + 0.22f * static_cast<float>(k));
      p.setParameter(EQ_GAIN_TAGS[static_cast<size_t>(k)], k % 2 ? 0.25f : 0.8f);
      p.setParameter(EQ_BW_TAGS[static_cast<size_t>(k)], 0.4f);
    }
    for (int r = 0; r < 10; ++r)
      p.setModSlotVariables(r, r == 3, 0.1f * static_cast<float>(r), r * 5 + 1, r * 11 + 6);
    p.setParameter(WAVESHAPER_POLAR_TAG, 1.0f);
    p.setSteppedValue(WAVESHAPER_DISTORT_MODE_TAGS[0], 3);
    p.setSteppedValue(DISTORT_TYPE_TAG, 14);
    for (int t = 8; t <= 13; ++t) p.setParameter(t, 0.7f);
    // LFO 1 drives the volume quickly, so that its dot moves.
    p.setDestForTag(LFO_DEST_TAGS[0], 1);
    p.setParameter(LFO_SPEED_TAGS[0], 1.0f);
    editor.waveShaperDot = dot;
    editor.waveShaperValue = [](int, int point) { return static_cast<float>(point) / 255.0f; };
  }
  ~Setup() {
    editor.waveShaperDot = nullptr;
    dot->forget();
  }
  // Runs the engine for n samples of a steady signal.
  void process(int n) {
    std::vector<float> in(static_cast<size_t>(n), 0.3f), out(static_cast<size_t>(n) * 2);
    float* inputs[4] = {in.data(), in.data(), in.data(), in.data()};
    float* outputs[2] = {out.data(), out.data() + n};
    plugin->processReplacing(inputs, outputs, n);
  }

  std::unique_ptr<APlugin> plugin;
  testing_support::FakeControlEditor editor;
  CBitmap* dot = new CBitmap(1, 400);
};

TGraphScreen* makeScreen(int which, int zoom) {
  const double s = SCALE[static_cast<size_t>(zoom)];
  auto r = [s](double w, double h) { return CRect(0, 0, std::floor(w * s), std::floor(h * s)); };
  switch (which) {
    case kFollower:
      return new TFollowerScreen(r(407, 83), nullptr, zoom);
    case kWaveShaper:
      return new TWaveShaperScreen(r(186, 186), nullptr, 0, zoom);
    case kMatrix:
      return new TModScreen(r(500, 160), nullptr, zoom, true);
    case kLFO:
      return new TLFOScreen(r(77, 77), nullptr, 0, zoom);
    case kEQ:
      return new TEQScreen(r(505, 89), nullptr, zoom);
    default:
      return new TDistortScreen(r(100, 101), nullptr, zoom);
  }
}

struct ScreenFrame {
  ScreenFrame(Setup& setup, std::vector<TGraphScreen*> list) : screens(std::move(list)) {
    CRect size;
    for (TGraphScreen* screen : screens) size.unite(screen->getViewSize());
    frame = new CFrame(size, &setup.editor);
    frame->open(nullptr, PlatformType::kOffscreen);
    frame->setBackgroundColor(CColor(30, 30, 30));
    for (TGraphScreen* screen : screens) frame->addView(screen);
    frame->idle();
  }
  ~ScreenFrame() { frame->close(); }
  std::vector<TGraphScreen*> screens;
  CFrame* frame;
};

void BM_ScreenDraw(benchmark::State& state) {
  Setup setup;
  setup.process(4096);
  const int zoom = static_cast<int>(state.range(1));
  ScreenFrame f(setup, {makeScreen(static_cast<int>(state.range(0)), zoom)});
  if (auto* distort = dynamic_cast<TDistortScreen*>(f.screens[0])) distort->update(1);
  for (auto _ : state) {
    f.screens[0]->setDirty();
    f.frame->idle();
  }
}
BENCHMARK(BM_ScreenDraw)
    ->ArgNames({"screen", "zoom"})
    ->ArgsProduct({{kFollower, kWaveShaper, kMatrix, kLFO, kEQ, kDistort}, {0, 2}})
    ->Unit(benchmark::kMicrosecond);

// The EQ while a band is dragged: that band's response is recomputed for every picture.
void BM_EQDrawWhileDragging(benchmark::State& state) {
  Setup setup;
  ScreenFrame f(setup, {makeScreen(kEQ, 2)});
  float gain = 0.0f;
  for (auto _ : state) {
    gain = gain > 0.99f ? 0.0f : gain + 0.01f;
    setup.plugin->setParameter(EQ_GAIN_TAGS[1], gain);
    f.screens[0]->setDirty();
    f.frame->idle();
  }
}
BENCHMARK(BM_EQDrawWhileDragging)->Unit(benchmark::kMicrosecond);

void BM_DistortUpdate(benchmark::State& state) {
  Setup setup;
  const int zoom = static_cast<int>(state.range(0));
  ScreenFrame f(setup, {makeScreen(kDistort, zoom)});
  auto* screen = static_cast<TDistortScreen*>(f.screens[0]);
  int counter = 1;
  for (auto _ : state) screen->update(counter++);
}
BENCHMARK(BM_DistortUpdate)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

// The Mod/LFO tab's idle pass: the LFO screen refreshes, its dot moved, the matrix stays.
void BM_ModLFOTabIdleWithMovingDot(benchmark::State& state) {
  Setup setup;
  const int zoom = static_cast<int>(state.range(0));
  const double s = SCALE[static_cast<size_t>(zoom)];
  auto* matrix = new TModScreen(CRect(14 * s, 45 * s, 514 * s, 205 * s), nullptr, zoom, false);
  auto* lfo = new TLFOScreen(CRect(581 * s, 92 * s, 658 * s, 169 * s), nullptr, 0, zoom);
  ScreenFrame f(setup, {matrix, lfo});
  int counter = 1, redraws = 0;
  for (auto _ : state) {
    state.PauseTiming();
    setup.process(1024);
    state.ResumeTiming();
    lfo->update(counter++);
    redraws += lfo->isDirty();
    f.frame->idle();
  }
  state.counters["redrawn"] = benchmark::Counter(redraws, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ModLFOTabIdleWithMovingDot)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
