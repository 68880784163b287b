// Cost of making plug-in instances: the first one of the process (which may build shared
// tables) against later ones (which must not), and of the audio thread's binding hand-over.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "../tests/support/xdgSandbox.h"
#include "plugin/uPlugin.h"

namespace {

double secondsOf(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Measured before any benchmark runs, so that it really is the first instance of the
// process (the sandbox above is set up earlier in this file and keeps preferences private).
const double firstInstanceSeconds = [] {
  const auto t0 = std::chrono::steady_clock::now();
  auto p = std::make_unique<APlugin>(nullptr);
  const auto t1 = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(p.get());
  return secondsOf(t1 - t0);
}();

}  // namespace

static void BM_ConstructFirstInstance(benchmark::State& state) {
  for (auto _ : state) {
  }
  state.counters["first_us"] = firstInstanceSeconds * 1e6;
}
BENCHMARK(BM_ConstructFirstInstance)->Iterations(1);

static void BM_ConstructLaterInstance(benchmark::State& state) {
  for (auto _ : state) {
    auto p = std::make_unique<APlugin>(nullptr);
    benchmark::DoNotOptimize(p.get());
    state.PauseTiming();
    p.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ConstructLaterInstance)->Unit(benchmark::kMicrosecond);

static void BM_DestroyInstance(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto p = std::make_unique<APlugin>(nullptr);
    state.ResumeTiming();
    p.reset();
  }
}
BENCHMARK(BM_DestroyInstance)->Unit(benchmark::kMicrosecond);

// What a MIDI learn costs the audio thread.
static void BM_LearnMidiCC(benchmark::State& state) {
  auto p = std::make_unique<APlugin>(nullptr);
  int cc = 0;
  for (auto _ : state) {
    p->learnMidiCC(cc, 1 + cc);
    cc = (cc + 1) & 127;
  }
}
BENCHMARK(BM_LearnMidiCC);

static void BM_HostIdentity(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(APlugin::identifyHost("Native Instruments", "Maschine Host"));
}
BENCHMARK(BM_HostIdentity);
