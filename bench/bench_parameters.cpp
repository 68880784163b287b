// Cost of the parameter store's hot paths and of constructing the plug-in object.
#include <benchmark/benchmark.h>

#include <memory>

#include "plugin/uPlugin.h"

static void BM_SetParameter(benchmark::State& state) {
  auto p = std::make_unique<APlugin>(nullptr);
  int t = 0;
  float v = 0.0f;
  for (auto _ : state) {
    p->setParameter(t, v);
    t = (t + 1) & 1023;
    v = v > 0.99f ? 0.0f : v + 0.001f;
  }
}
BENCHMARK(BM_SetParameter);

static void BM_GetParameter(benchmark::State& state) {
  auto p = std::make_unique<APlugin>(nullptr);
  int t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(p->getParameter(t));
    t = (t + 1) & 1023;
  }
}
BENCHMARK(BM_GetParameter);

static void BM_GetSteppedValue(benchmark::State& state) {
  auto p = std::make_unique<APlugin>(nullptr);
  for (auto _ : state) {
    for (int t = 128; t < 190; ++t) benchmark::DoNotOptimize(p->getSteppedValue(t));
  }
}
BENCHMARK(BM_GetSteppedValue);

static void BM_ThroughHostTrampoline(benchmark::State& state) {
  auto p = std::make_unique<APlugin>(nullptr);
  AEffect* e = p->getAeffect();
  int t = 0;
  for (auto _ : state) {
    e->setParameter(e, t, 0.5f);
    benchmark::DoNotOptimize(e->getParameter(e, t));
    t = (t + 1) & 1023;
  }
}
BENCHMARK(BM_ThroughHostTrampoline);

static void BM_ConstructPlugin(benchmark::State& state) {
  for (auto _ : state) {
    auto p = std::make_unique<APlugin>(nullptr);
    benchmark::DoNotOptimize(p.get());
  }
}
BENCHMARK(BM_ConstructPlugin);
