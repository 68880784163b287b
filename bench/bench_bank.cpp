// Every built-in program through the engine: realtime factor (seconds of audio per processor
// second) of one instance at 48 kHz in 512-sample blocks, the way a user hears the bank. Run it
// with BM_ZamTube (bench_engine.cpp) for the comparison with another amp simulator.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "benchGuitar.h"
#include "plugin/uPlugin.h"

namespace {

void BM_BankProgram(benchmark::State& state) {
  const int program = static_cast<int>(state.range(0));
  auto p = bench_guitar::makePlugin();
  p->setDemoProgram(program);
  state.SetLabel(p->getPresetName(program));
  std::vector<float> l, r, side(bench_guitar::kBlock, 0.0f), outL(bench_guitar::kBlock),
      outR(bench_guitar::kBlock);
  const size_t length = static_cast<size_t>(bench_guitar::kRate) * 2;
  bench_guitar::fillSignal(l, r, length);
  size_t pos = 0;
  for (auto _ : state) {
    float* ins[4] = {l.data() + pos, r.data() + pos, side.data(), side.data()};
    float* outs[2] = {outL.data(), outR.data()};
    p->processReplacing(ins, outs, bench_guitar::kBlock);
    benchmark::DoNotOptimize(outL.data());
    pos = (pos + 2 * bench_guitar::kBlock <= length) ? pos + bench_guitar::kBlock : 0;
  }
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * bench_guitar::kBlock / bench_guitar::kRate,
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BankProgram)->DenseRange(0, NUM_DEMO_PROGRAMS - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
