// The whole engine: realtime factor (seconds of audio per processor second) of one instance at
// 48 kHz in 512-sample blocks, for the default settings and for the heaviest settings, and
// Debian's ZamTube amp simulator through the offline host in the same run for comparison.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "benchGuitar.h"
#include "plugin/uPlugin.h"
#include "tools/host/vsthost.h"

namespace {

using namespace bench_guitar;

void setStep(APlugin& p, int tag, int n) {
  p.setParameter(tag, (static_cast<float>(n) + 0.1f) / p.getMenuRange(tag));
}

// Everything on: amp or cabinet type, every stage, every LFO, the follower, Disrupt and all matrix rows
// routed.
void heavySettings(APlugin& p, int distortType) {
  setStep(p, DISTORT_TYPE_TAG, distortType);
  for (int t : {PRE_EQ_ON_TAG, POST_EQ_ON_TAG, GATE_ON_TAG, HP_ON_TAG, HP_TYPE_TAG, HP_ZD_TAG, LP_ON_TAG,
                LP_TYPE_TAG, LP_ZD_TAG, COMP_ON_TAG, WIDENER_ON_TAG, CHORUS_MODE_TAG, DISRUPT_LAZY_ON_TAG})
    p.setParameter(t, 1.0f);
  for (int b = 0; b < 8; ++b) p.setParameter(EQ_GAIN_TAGS[b], b % 2 ? 0.7f : 0.3f);
  p.setParameter(HP_FREQ_TAG, 0.1f);
  p.setParameter(LP_FREQ_TAG, 0.8f);
  p.setParameter(GATE_THRESHOLD_TAG, 0.1f);
  for (int i = 0; i < 4; ++i) {
    setStep(p, LFO_DEST_TAGS[i], 44 + i);  // filter and compressor settings, changing every sample
    setStep(p, LFO_WAVE_TAGS[i], i);
    p.setParameter(LFO_AMT_TAGS[i], 0.6f);
  }
  for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
    setStep(p, MOD_SLOT_SRC_TAGS[s], 32 + s % 23);
    setStep(p, MOD_SLOT_DEST_TAGS[s], 6 + s);
    p.setParameter(MOD_SLOT_AMT_TAGS[s], 0.6f);
  }
  p.setParameter(MOD_ADVANCED_TAG, 1.0f);
  for (int j = 0; j < 3; ++j) setStep(p, FOLLOWER_DEST_1_TAG + j, 51 + j);
  for (int j = 0; j < NUM_DISRUPT_SLOTS; ++j) p.setParameter(DISRUPT_ON_TAGS[j], 1.0f);
}

void runEngine(benchmark::State& state, int distortType) {
  auto p = makePlugin();
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);  // construction loads the first built-in program
  if (distortType >= 0) heavySettings(*p, distortType);
  std::vector<float> l, r, side(kBlock, 0.0f), outL(kBlock), outR(kBlock);
  const size_t length = static_cast<size_t>(kRate) * 2;
  fillSignal(l, r, length);
  size_t pos = 0;
  for (auto _ : state) {
    float* ins[4] = {l.data() + pos, r.data() + pos, side.data(), side.data()};
    float* outs[2] = {outL.data(), outR.data()};
    p->processReplacing(ins, outs, kBlock);
    benchmark::DoNotOptimize(outL.data());
    pos = (pos + kBlock + kBlock <= length) ? pos + kBlock : 0;
  }
  state.counters["realtime"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kRate,
                                                  benchmark::Counter::kIsRate);
}

void BM_EngineDefault(benchmark::State& state) { runEngine(state, -1); }
BENCHMARK(BM_EngineDefault)->Unit(benchmark::kMicrosecond);

// Arg: the distortion type (43 amp, 44 cabinet).
void BM_EngineHeavy(benchmark::State& state) { runEngine(state, static_cast<int>(state.range(0))); }
BENCHMARK(BM_EngineHeavy)->Arg(43)->Arg(44)->Unit(benchmark::kMicrosecond);

// Another distribution's amp simulator, loaded the way the offline host loads any module.
void BM_ZamTube(benchmark::State& state) {
  std::unique_ptr<vsthost::Plugin> plugin;
  std::string error;
  for (const char* path : {"/usr/lib/vst/ZamTube-vst.so", "/usr/local/lib/vst/ZamTube-vst.so",
                           "/usr/lib/x86_64-linux-gnu/vst/ZamTube-vst.so"}) {
    plugin = vsthost::Plugin::load(path, &error);
    if (plugin) break;
  }
  if (!plugin) {
    state.SkipWithError("ZamTube is not installed (Debian package zam-plugins)");
    return;
  }
  plugin->start(kRate, kBlock, 120.0);
  std::vector<float> l, r;
  const size_t length = static_cast<size_t>(kRate) * 2;
  fillSignal(l, r, length);
  const int nIn = std::max(plugin->numInputs(), 1), nOut = std::max(plugin->numOutputs(), 1);
  std::vector<std::vector<float>> outBuffers(static_cast<size_t>(nOut), std::vector<float>(kBlock));
  std::vector<float> silence(kBlock, 0.0f);
  size_t pos = 0;
  for (auto _ : state) {
    std::vector<float*> ins(static_cast<size_t>(nIn)), outs(static_cast<size_t>(nOut));
    for (int c = 0; c < nIn; ++c)
      ins[c] = c == 0 ? l.data() + pos : (c == 1 ? r.data() + pos : silence.data());
    for (int c = 0; c < nOut; ++c) outs[c] = outBuffers[c].data();
    plugin->process(ins.data(), outs.data(), kBlock);
    benchmark::DoNotOptimize(outBuffers[0].data());
    pos = (pos + kBlock + kBlock <= length) ? pos + kBlock : 0;
  }
  state.counters["realtime"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kRate,
                                                  benchmark::Counter::kIsRate);
  plugin->stop();
}
BENCHMARK(BM_ZamTube)->Unit(benchmark::kMicrosecond);

}  // namespace
