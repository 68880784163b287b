// Cost of the filter, EQ, gate, compressor, widener/chorus and tempo-delay modules.
// One benchmark iteration is one two-frame call, that is one host sample.
#include <benchmark/benchmark.h>

#include "dsp/uFilter.h"

namespace {

// A cheap deterministic test signal so the optimiser cannot fold the work away.
struct Signal {
  float phase = 0.0f;
  float next() {
    phase += 0.0137f;
    if (phase > 1.0f) phase -= 2.0f;
    return phase * 0.8f;
  }
};

void BM_Filter(benchmark::State& state) {
  dsp::TFilter f;
  f.init(44100.0f);
  f.setType(static_cast<int>(state.range(0)), false);
  Signal s;
  float freq = 0.3f;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    freq = freq > 0.9f ? 0.3f : freq + 0.00001f;  // a slow sweep, as the engine's smoothing gives
    f.process(freq, 0.5f, a, b, c, d, false);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Filter)->Arg(3)->Arg(6)->Arg(8)->Arg(11);

void BM_FilterSplit(benchmark::State& state) {
  dsp::TFilter f;
  f.init(44100.0f);
  Signal s;
  for (auto _ : state) {
    float a = s.next(), b = -a, c = s.next(), d = -c;
    float l[4], h[4];
    f.processSplit(0.4f, 0.0f, a, b, c, d, l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3], false);
    benchmark::DoNotOptimize(l);
    benchmark::DoNotOptimize(h);
  }
}
BENCHMARK(BM_FilterSplit);

}  // namespace
