// Per-sample cost of the modulation sources and the modulation core.
#include <benchmark/benchmark.h>

#include "dsp/uLfo.h"
#include "dsp/uModulator.h"

namespace {

float g_curve[256];

// One LFO step per iteration (one host sample of one LFO), for every wave.
void BM_LfoUpdate(benchmark::State& state) {
  for (int i = 0; i < 256; ++i) g_curve[i] = static_cast<float>(i) / 127.5f - 1.0f;
  TLfo lfo;
  lfo.init(44100.0f);
  lfo.setWave(static_cast<int>(state.range(0)));
  lfo.setSym(0.3f);
  lfo.setHum(0.2f);
  lfo.setSmooth(0.1f);
  lfo.setSpeed(0.8f, false, 120.0f, 1.0f);
  lfo.start();
  for (auto _ : state) benchmark::DoNotOptimize(lfo.update(g_curve));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LfoUpdate)->DenseRange(0, 7);

// The per-sample LFO work of the engine: setters plus update of all four LFOs.
// range(0) = 0: settings unmodulated (constant); 1: modulated, new arguments every sample.
void BM_FourLfosWithSetters(benchmark::State& state) {
  const float step = state.range(0) != 0 ? 1e-6f : 0.0f;
  TLfo lfos[4];
  for (auto& l : lfos) {
    l.init(44100.0f);
    l.setWave(TLfo::WAVE_TRIANGLE);
    l.start();
  }
  float m = 0.0f;
  for (auto _ : state) {
    m += step;
    if (m > 0.1f) m = 0.0f;
    for (auto& l : lfos) {
      l.setSym(0.5f + m);
      l.setPhase(m);
      l.setSmooth(m);
      l.setSpeed(0.6f, true, 120.0f, 1.0f + m);
      benchmark::DoNotOptimize(l.update(g_curve));
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FourLfosWithSetters)->Arg(0)->Arg(1);

void BM_LazyValue(benchmark::State& state) {
  TLfo lfo;
  lfo.init(44100.0f);
  lfo.setSpeed(0.5f, false, 120.0f, 1.0f);
  lfo.start();
  for (auto _ : state) benchmark::DoNotOptimize(lfo.getLazyValue(6));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LazyValue);

// doMod with all 24 slots used; range(0) = 1 puts the ten matrix rows in the threshold form.
void BM_DoMod24Slots(benchmark::State& state) {
  TModulator mod;
  const bool advanced = state.range(0) != 0;
  for (int s = 0; s < TModulator::NUM_SLOTS; ++s) {
    if (s >= 4 && s < 14) mod.setSrcForSlot(s, 40 + s);
    mod.setDestForSlot(s, 1 + (s * 7) % 111);
    mod.setAmtForSlot(s, 0.3f, false);
    if (s >= 4 && s < 14) mod.setAdvForSlot(s, advanced, 0.5f, 0.1f, 0.9f, false);
  }
  mod.setToDefaultVal();
  mod.setSlotUsed();
  float v = 0.0f;
  for (auto _ : state) {
    v += 0.001f;
    if (v > 1.0f) v = -1.0f;
    for (int src = 32; src < 55; ++src) mod.setSrcVal(src, v);
    mod.doMod();
    benchmark::DoNotOptimize(mod.getMod(8));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DoMod24Slots)->Arg(0)->Arg(1);

}  // namespace
