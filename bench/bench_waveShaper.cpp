// The wave-shaper screen recomputes its generated overlay on every redraw: the 256 points
// of one curve, per shaping mode.
#include <benchmark/benchmark.h>

#include <array>

#include "editor/waveShaper.h"

namespace {

void BM_WaveShaperCurve(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  std::array<float, WAVESHAPER_POINTS> curve{};
  for (auto _ : state) {
    waveshaper::waveShaperCurve(mode, 0.37f, 0.61f, true, curve);
    benchmark::DoNotOptimize(curve.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * WAVESHAPER_POINTS);
}
BENCHMARK(BM_WaveShaperCurve)->DenseRange(0, waveshaper::NUM_MODES - 1);

}  // namespace
