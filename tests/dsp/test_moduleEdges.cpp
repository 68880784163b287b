// The modules at their limits and in their timings: the filter's lowest and highest cut-off at each
// rate, where each of the chorus's and widener's read points sits at every call, the gate's hold
// starting again when the signal comes back, and the compressor acting ahead of what it hears.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/uCompressor.h"
#include "dsp/uFilter.h"
#include "dsp/uNoiseGate.h"
#include "dsp/uWidener.h"
#include "support/expectValues.h"

using dsp::TCompressor;
using dsp::TFilter;
using dsp::TNoiseGate;
using dsp::TWidener;

namespace {

// The state-variable frequency coefficient at cut-off fraction fc: 2 sin(pi i / 262143.98), with
// i = trunc(262143 fc) of the single-precision fraction.
double svfCoefficient(float fc) {
  const double i = std::trunc(262143.0 * static_cast<double>(fc));
  return 2.0 * std::sin(3.14159265358979 * i / 262143.98);
}

}  // namespace

// fc = (hz + 0.001) / rate2 held to 0.2, hz from 20 (freq 0) to 20,480 (freq 1); rate2 is twice the
// host rate, 88,200 below 1000 Hz. The split's floor is 50 / rate2. Seen on an impulse of 1: the
// one-pole's first output is 2 fc, a state-variable low-pass's (plain or split) sqrt(2) f^2.
TEST(ModuleEdges, FilterCutoffLimitsAtEachRate) {
  for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f, 500.0f}) {
    const float inv = 1.0f / (rate < 1000.0f ? 88200.0f : 2.0f * rate);
    for (float freq : {0.0f, 1.0f}) {
      const float hz =
          freq == 0.0f ? 20.0f : static_cast<float>(20480.0 * std::pow(2.0, -10.0 * 0.98 / 262143.98));
      const float fc = std::fmin((hz + 0.001f) * inv + 1e-15f, 0.2f), splitFc = std::fmax(fc, 50.0f * inv);
      float out[3];
      for (int kind = 0; kind < 3; ++kind) {
        TFilter f;
        f.init(rate);
        f.setType(kind == 0 ? TFilter::kOnePoleLow : TFilter::kSvfLow, false);
        float a = 1.0f, b = 1.0f, c = 0.0f, d = 0.0f, lo[4], hi[4];
        if (kind < 2)
          f.process(freq, 0.0f, a, b, c, d, false);
        else
          f.processSplit(freq, 0.0f, a, b, c, d, lo[0], lo[1], lo[2], lo[3], hi[0], hi[1], hi[2], hi[3],
                         false);
        out[kind] = kind < 2 ? a : lo[0];
      }
      SCOPED_TRACE(testing::Message() << "rate " << rate << ", freq " << freq);
      EXPECT_VALUES(
          {out[0], 2.0 * fc, 2e-6 * fc},
          {out[1], std::sqrt(2.0) * std::pow(svfCoefficient(fc), 2), 1e-4 * fc * fc},
          {out[2], std::sqrt(2.0) * std::pow(svfCoefficient(splitFc), 2), 1e-4 * splitFc * splitFc});
    }
  }
}

// A ramp through the rings comes out as the exact position each read point stands at. Chorus:
// the left read follows voice 1, the right voice 2 (2.08 times faster), each stepped once before
// the first frame and once more before the second; point = position - (0.5 sin(6.28318 phase /
// 2^24) + 0.5) depth + 1 - depth) maxDelay. Widener: the first sample reads with the phase the
// call starts at, the second a step on, and the phase moves two steps per call.
TEST(ModuleEdges, ChorusAndWidenerReadPointsFollowTheirPhases) {
  const double slope = 1e-5;
  const auto sineAt = [](uint32_t phase) {
    return static_cast<float>(0.5 * std::sin(6.28318 * static_cast<double>(phase >> 8) / 65536.0) + 0.5);
  };
  for (float rate : {44100.0f, 96000.0f}) {
    SCOPED_TRACE(testing::Message() << "rate " << rate);
    auto w = std::make_unique<TWidener>();
    w->init(rate);
    const float length = 0.3f, speed = 0.8f, depth = 0.99f;
    const double maxDelay = length * 0.1f * rate + 2.0f;
    const double step = std::pow(2.0, 10.0 * speed) * 112640.0 / rate;
    const uint32_t inc[2] = {static_cast<uint32_t>(step) / 2u, static_cast<uint32_t>(step * 2.08) / 2u};
    uint32_t phase[2] = {0, 0};
    double worst = 0.0;
    for (int k = 0; k < 8000; ++k) {
      const double n = 2.0 * k;
      float v[4] = {static_cast<float>(slope * n), static_cast<float>(slope * n),
                    static_cast<float>(slope * (n + 1)), static_cast<float>(slope * (n + 1))};
      w->doChorus(1.0f, length, 1.0f, speed, v[0], v[1], v[2], v[3]);
      for (int lane = 0; lane < 4; ++lane) {
        const int voice = lane & 1;
        if (voice == 0) phase[0] = (phase[0] + inc[0]) & 0xFFFFFFu;
        if (voice == 1) phase[1] = (phase[1] + inc[1]) & 0xFFFFFFu;
        const double point = n + (lane >> 1) - (sineAt(phase[voice]) * depth + 1.0 - depth) * maxDelay;
        if (n > maxDelay + 4) worst = std::fmax(worst, std::fabs(v[lane] / slope - point));
      }
    }
    EXPECT_LT(worst, 0.02) << "chorus";

    w->init(rate);
    const float amount = 1.0f, width = 1.0f, wSpeed = 1.0f;
    const double D = std::fmin(std::pow(2.0, 8.0 * amount) * 12.0 * rate / 44100.0 + 1.0, 32767.0);
    // The phase in single precision as the widener keeps it (its rounding over 60,000 steps moves
    // the delay by slots).
    const float wInc = std::pow(2.0f, 6.0f * wSpeed) * 0.013427734f * (1.0f / rate);
    float p = 0.0f;
    worst = 0.0;
    for (int k = 0; k < 30000; ++k) {
      const double n = 2.0 * k;
      float first = static_cast<float>(slope * n), second = static_cast<float>(slope * (n + 1));
      w->doWidener(amount, width, wSpeed, first, second);
      const float p1 = (p + wInc) - std::floor(p + wInc);
      const double delay1 = (1.0 - width * std::fabs(2.0 * p - 1.0)) * D + 1.0;
      const double delay2 = (1.0 - width * std::fabs(2.0 * p1 - 1.0)) * D + 1.0;
      p = (p1 + wInc) - std::floor(p1 + wInc);
      if (n < D + 4) continue;
      worst = std::fmax(worst, std::fmax(std::fabs(first / slope - (n - delay1)),
                                         std::fabs(second / slope - (n + 1 - delay2))));
    }
    EXPECT_LT(worst, 0.05) << "widener";
  }
}

// The hold counts from the moment the gate is fully open. A signal that comes back during the
// release reopens the gate, and the hold that follows lasts its full time again; a signal that
// stays through the hold does not renew it, so the gate lets go as soon as the signal leaves.
// (Threshold just under 0.5: silence takes the envelope under it within some 40 sub-samples.)
TEST(ModuleEdges, GateHoldStartsAgainWhenTheSignalReturns) {
  const float justUnder = static_cast<float>((40.0 + 20.0 * std::log10(0.499)) / 40.0);
  const auto calls = [](TNoiseGate& g, float level, int n) {
    for (int k = 0; k < n; ++k) {
      float a = level, b = level, c = level, d = level;
      g.process(a, b, c, d);
    }
  };
  const auto subSamplesIn = [&](TNoiseGate& g, int state, float level) {
    int n = 0;
    for (; g.getState() == state && n < 1000000; n += 2) calls(g, level, 1);
    return n;
  };
  for (float rate : {44100.0f, 96000.0f}) {
    for (float hold : {0.3f, 0.5f}) {
      SCOPED_TRACE(testing::Message() << "rate " << rate << ", hold " << hold);
      TNoiseGate g;
      g.init(rate);
      g.setParams(justUnder, 0.0f, hold, 0.6f);
      const double holdSubSamples = g.getHoldSamples();
      while (g.getState() != TNoiseGate::kHold) calls(g, 0.5f, 1);
      // The signal outlasts the hold: it ends in silence at once.
      calls(g, 0.5f, static_cast<int>(holdSubSamples));
      const int outlasted = subSamplesIn(g, TNoiseGate::kHold, 0.0f);
      // Part of the release, then the signal again: through the attack to a whole new hold.
      calls(g, 0.0f, 100);
      const int release = g.getState();
      int back = 0;
      for (; g.getState() != TNoiseGate::kHold && back < 100000; back += 2) calls(g, 0.5f, 1);
      const int renewed = subSamplesIn(g, TNoiseGate::kHold, 0.0f);
      EXPECT_VALUES({outlasted < 100, true}, {release, TNoiseGate::kRelease}, {back > 0 && back < 100, true},
                    {renewed, holdSubSamples, 4.0});
    }
  }
}

// The gain is worked out from what comes in and applied 128 sub-samples later, at every rate: a
// loud step is turned down from the sub-sample it arrives, while the quiet signal ahead of it still
// leaves, and the step itself leaves 128 sub-samples late already turned down.
TEST(ModuleEdges, CompressorActsAheadOfWhatItHears) {
  for (float rate : {44100.0f, 96000.0f}) {
    SCOPED_TRACE(testing::Message() << "rate " << rate);
    TCompressor comp;
    comp.init(rate);
    comp.setParams(0.25f, 1.0f, 0.0f, 0.5f, 0.75f, false);  // -30 dB, limiting, fastest attack
    constexpr int STEP = 2000;                              // sub-sample of the step
    std::vector<float> out;
    for (int k = 0; k < STEP / 2 + 200; ++k) {
      float in[4];
      for (int j = 0; j < 4; ++j) in[j] = 2 * k + j / 2 < STEP ? 0.01f : 0.8f;
      comp.process(in[0], in[1], in[2], in[3]);
      out.push_back(in[0]);
      out.push_back(in[2]);
    }
    const size_t s = STEP;
    EXPECT_VALUES({out[s - 1], 0.01f, 1e-6}, {out[s + 20] < 0.01f, true}, {out[s + 127] < 0.01f, true},
                  {out[s + 127] > 0.0f, true}, {out[s + 128] > 0.05f, true}, {out[s + 128] < 0.6f, true});
  }
}
