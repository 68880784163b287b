// Cost of the filter, EQ, gate, compressor, widener/chorus and tempo-delay modules.
// One benchmark iteration is one two-frame call, that is one host sample.
#include <benchmark/benchmark.h>

#include <memory>

#include "benchSignal.h"
#include "dsp/uCompressor.h"
#include "dsp/uDelay.h"
#include "dsp/uEQ.h"
#include "dsp/uFilter.h"
#include "dsp/uNoiseGate.h"
#include "dsp/uWidener.h"

namespace {

// Arg 0: filter type; arg 1: 1 for a slow cutoff sweep (a coefficient update every call), 0 for a fixed
// cutoff.
void BM_Filter(benchmark::State& state) {
  dsp::TFilter f;
  f.init(44100.0f);
  f.setType(static_cast<int>(state.range(0)), false);
  const float sweep = state.range(1) ? 0.00001f : 0.0f;
  BenchSignal s;
  float freq = 0.3f;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    freq = freq > 0.9f ? 0.3f : freq + sweep;  // a slow sweep, as the engine's smoothing gives
    f.process(freq, 0.5f, a, b, c, d, false);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Filter)->ArgsProduct({{3, 6, 8, 11}, {0, 1}});

void BM_FilterSplit(benchmark::State& state) {
  dsp::TFilter f;
  f.init(44100.0f);
  BenchSignal s;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    float l[4], h[4];
    f.processSplit(0.4f, 0.0f, a, b, c, d, l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3], false);
    benchmark::DoNotOptimize(l);
    benchmark::DoNotOptimize(h);
  }
}
BENCHMARK(BM_FilterSplit);

void BM_EQ(benchmark::State& state) {
  dsp::TEQ eq;
  eq.init(44100.0f);
  float gain[4] = {0.7f, 0.3f, 0.6f, 0.8f};
  const float freq[4] = {0.2f, 0.4f, 0.6f, 0.8f};
  const float width[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  BenchSignal s;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    gain[0] = gain[0] > 0.9f ? 0.6f : gain[0] + 0.00002f;  // slow move: a recomputation every few calls
    eq.process(gain, freq, width, a, b, c, d);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_EQ);

void BM_OldEQ(benchmark::State& state) {
  dsp::TOldEQ eq;
  eq.init(44100.0f);
  BenchSignal s;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    eq.process(0.7f, 0.4f, 0.5f, 0.6f, a, b, c, d);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_OldEQ);

void BM_NoiseGate(benchmark::State& state) {
  dsp::TNoiseGate g;
  g.init(44100.0f);
  g.setParams(0.5f, 0.2f, 0.2f, 0.2f);
  BenchSignal s;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    g.process(a, b, c, d);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_NoiseGate);

// Arg 1: signal above the threshold (the logarithm and power run); 0: below it.
void BM_Compressor(benchmark::State& state) {
  dsp::TCompressor comp;
  comp.init(44100.0f);
  comp.setParams(state.range(0) ? 0.3f : 1.0f, 0.6f, 0.2f, 0.3f, 0.75f, false);
  BenchSignal s;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    comp.process(a, b, c, d);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Compressor)->Arg(0)->Arg(1);

void BM_Widener(benchmark::State& state) {
  auto w = std::make_unique<dsp::TWidener>();
  w->init(44100.0f);
  BenchSignal s;
  for (auto _ : state) {
    float b = s.next(), d = s.next();
    w->doWidener(0.6f, 0.7f, 0.4f, b, d);
    benchmark::DoNotOptimize(b);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Widener);

void BM_Chorus(benchmark::State& state) {
  auto w = std::make_unique<dsp::TWidener>();
  w->init(44100.0f);
  BenchSignal s;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    w->doChorus(0.5f, 0.4f, 0.44f, 0.3f, a, b, c, d);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Chorus);

// The delay runs at the host rate: one stereo frame per host sample.
void BM_Delay(benchmark::State& state) {
  auto dl = std::make_unique<dsp::TDelay>();
  dl->init(44100.0f);
  dl->setDelayLen(0.6f, 0.55f);
  dl->setFeed(0.6f, 0.2f);
  dl->setFeedFilter(0.8f, 0.1f);
  BenchSignal s;
  for (auto _ : state) {
    float l = 0, r = 0;
    dl->process(s.next(), s.next(), l, r);
    benchmark::DoNotOptimize(l);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_Delay);

}  // namespace
