// Cost of loading built-in programs (also done on the audio thread by MIDI program changes)
// and of exchanging the state chunk.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "plugin/uPlugin.h"

static void BM_SetDemoProgram(benchmark::State& state) {
  auto p = std::make_unique<APlugin>(nullptr);
  int n = 0;
  for (auto _ : state) {
    p->setDemoProgram(n);
    n = (n + 1) % NUM_DEMO_PROGRAMS;
  }
}
BENCHMARK(BM_SetDemoProgram);

static void BM_LoadTagWrite(benchmark::State& state) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setDemoProgram(NUM_DEMO_PROGRAMS - 1);  // the lookup runs through the whole bank
  for (auto _ : state) p->setParameter(LOAD_PROGRAM_TAG, 0.0f);
}
BENCHMARK(BM_LoadTagWrite);

static void BM_ChunkRoundTrip(benchmark::State& state) {
  auto p = std::make_unique<APlugin>(nullptr);
  std::vector<unsigned char> copy(sizeof(ProgramChunk));
  for (auto _ : state) {
    void* data = nullptr;
    const int32_t size = p->getChunk(&data, false);
    std::copy_n(static_cast<unsigned char*>(data), size, copy.begin());
    benchmark::DoNotOptimize(p->setChunk(copy.data(), size, false));
  }
}
BENCHMARK(BM_ChunkRoundTrip);
