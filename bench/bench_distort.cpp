// Cost of the distortion stage per type. One iteration is one two-frame call, that is one
// host sample; the reported time is ns per host sample.
#include <benchmark/benchmark.h>

#include <memory>

#include "benchSignal.h"
#include "dsp/uDistort.h"

namespace {

void BM_DistortType(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  auto d = std::make_unique<dsp::TDistort>();
  d->init(44100.0f);
  float curve1[256], curve2[256];
  for (int i = 0; i < 256; ++i) {
    curve1[i] = static_cast<float>(i) / 127.5f - 1.0f;
    curve2[i] = -curve1[i];
  }
  BenchSignal tone;
  float k = 0.3f;
  for (auto _ : state) {
    float a = tone.next(), b = -a, c = tone.next(), e = -c;
    k = k > 0.7f ? 0.3f : k + 0.00001f;  // a slow knob movement, as automation gives
    d->process(a, b, c, e, 0.5f, -0.5f, type, 0.7f, 0.5f, 0.5f, k, 0.5f, 0.5f, 0.6f, 0.5f, curve1, curve2);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(e);
  }
  state.SetLabel(std::to_string(type));
}
BENCHMARK(BM_DistortType)->DenseRange(0, dsp::NUM_DISTORT_TYPES - 1);

}  // namespace
