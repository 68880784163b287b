// Helpers of the engine tests: the engine alone on a parameter store of the test's own, and
// the plug-in object for its accessors and the reports it passes on.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "plugin/uEngine.h"
#include "plugin/uPlugin.h"
#include "plugin/uPluginPresetsBanks.h"
#include "plugin/uTagMap.h"
#include "support/fakeHost.h"

namespace engine_test {

using testing_support::FakeHost;

// What the engine reads and tells: a parameter store filled from the tag map, the host's time,
// and a record of everything the engine reports.
struct EngineWorld : IEngineListener {
  std::atomic<float> values[NUM_PARAMS];
  int32_t stepCounts[NUM_PARAMS];
  float stepScales[NUM_PARAMS];
  bool isSwitch[NUM_PARAMS];
  TBlockTime time{true, true, 120.0, true};  // a playing host at 120 BPM
  std::vector<float> shownDisrupt;
  std::vector<float> shownLevels;  // four per report
  std::vector<VstMidiEvent> dueMidi;
  int resets = 0;

  EngineWorld() {
    tagmap::fillSteps(stepCounts, stepScales);
    tagmap::fillSwitches(isSwitch);
    loadDefaults();
  }
  void loadDefaults() {
    float defaults[NUM_PARAMS];
    tagmap::fillDefaults(defaults);
    for (int t = 0; t < NUM_PARAMS; ++t) values[t].store(defaults[t]);
  }
  TParamView view() const { return TParamView{values, stepCounts, stepScales}; }

  void midiEventDue(const VstMidiEvent& e) override { dueMidi.push_back(e); }
  void storeDisruptAmount(float v) override { values[DISRUPT_AMOUNT_TAG].store(v); }
  void showDisruptAmount(float v) override { shownDisrupt.push_back(v); }
  void showLevels(float a, float b, float c, float d) override {
    shownLevels.insert(shownLevels.end(), {a, b, c, d});
  }
  void engineReset() override { ++resets; }
};

// The engine alone, with read access to its working state.
class Probe : public EngineWorld, public TEngine {
 public:
  // Starts as a program load of the defaults would: working values aligned, then a reset.
  Probe() : TEngine(view(), *this) {
    init();
    requestAlign();
    requestReset();
  }
  using TEngine::compMeterLevel;
  using TEngine::followerEnvelope;
  using TEngine::followerHistory;
  using TEngine::followerPhase;
  using TEngine::lastTransportPlaying;
  using TEngine::lfoInUse;
  using TEngine::resetRequested;
  using TEngine::sampleCounter;
  using TEngine::smoothedHighPassFreq;
  using TEngine::smoothedLowPassFreq;
  using TEngine::smoothedMix;
  using TEngine::smoothedVolume;

  std::vector<uint32_t> dueAt;  // the sample at which each event of dueMidi came due
  void midiEventDue(const VstMidiEvent& e) override {
    EngineWorld::midiEventDue(e);
    dueAt.push_back(sampleCounter);
  }

  // As the store takes a value: limited to 0..1, switches snapped.
  void setParameter(int t, float v) {
    v = v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
    if (isSwitch[t]) v = v >= 0.5f ? 1.0f : 0.0f;
    values[t].store(v);
  }
  float getParameter(int t) const { return values[t].load(); }
  void setStep(int tag, int n) { setParameter(tag, (static_cast<float>(n) + 0.1f) / stepScales[tag]); }
  void resetEverything() { requestReset(); }
  void resume() { setProcessing(true); }
  void suspend() { setProcessing(false); }
  void processReplacing(float* const* ins, float* const* outs, int n) { process(ins, outs, n, time); }

  // Runs n samples of constant input in blocks of the given size; returns the outputs.
  void run(int n, float left = 0.0f, float right = 0.0f, int block = 64, std::vector<float>* outL = nullptr,
           std::vector<float>* outR = nullptr) {
    std::vector<float> inL(block, left), inR(block, right), side(block, 0.0f), oL(block), oR(block);
    float* ins[4] = {inL.data(), inR.data(), side.data(), side.data()};
    float* outs[2] = {oL.data(), oR.data()};
    while (n > 0) {
      const int m = n < block ? n : block;
      processReplacing(ins, outs, m);
      if (outL) outL->insert(outL->end(), oL.begin(), oL.begin() + m);
      if (outR) outR->insert(outR->end(), oR.begin(), oR.begin() + m);
      n -= m;
    }
  }

  // Processes planar input in blocks as a host does (silent side chain); returns the outputs.
  void render(const std::vector<float>& inL, const std::vector<float>& inR, std::vector<float>& outL,
              std::vector<float>& outR, int block = 512) {
    outL.assign(inL.size(), 0.0f);
    outR.assign(inL.size(), 0.0f);
    std::vector<float> side(block, 0.0f);
    for (size_t pos = 0; pos < inL.size(); pos += static_cast<size_t>(block)) {
      const int m = static_cast<int>(std::min(static_cast<size_t>(block), inL.size() - pos));
      const float* ins[4] = {inL.data() + pos, inR.data() + pos, side.data(), side.data()};
      float* outs[2] = {outL.data() + pos, outR.data() + pos};
      processReplacing(const_cast<float* const*>(ins), outs, m);
    }
  }

  // One sample of the given input; returns the output pair.
  std::pair<float, float> sample(float left, float right, float sideL = 0.0f, float sideR = 0.0f) {
    float in[4] = {left, right, sideL, sideR};
    float o[2] = {0.0f, 0.0f};
    float* ins[4] = {&in[0], &in[1], &in[2], &in[3]};
    float* outs[2] = {&o[0], &o[1]};
    processReplacing(ins, outs, 1);
    return {o[0], o[1]};
  }
};

inline std::unique_ptr<Probe> makeProbe() { return std::make_unique<Probe>(); }

// The plug-in object on the "Default" program (construction loads the first built-in one).
inline std::unique_ptr<APlugin> makePlugin() {
  auto p = std::make_unique<APlugin>(&FakeHost::callback);
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  return p;
}

inline std::vector<float> sine(size_t n, float freq, float amp, float rate = 44100.0f, float phase = 0.0f) {
  std::vector<float> v(n);
  for (size_t i = 0; i < n; ++i)
    v[i] = amp * std::sin(6.2831853f * freq * static_cast<float>(i) / rate + phase);
  return v;
}

}  // namespace engine_test
