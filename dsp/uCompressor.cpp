#include "dsp/uCompressor.h"

#include <cmath>

#include "dsp/dspCommon.h"

namespace dsp {

namespace {
constexpr float PEAK_KEEP = 0.999f;
constexpr float PEAK_NEW = 0.000999987f;
constexpr float DENORMAL = 1e-15f;

float attackCoefficient(float v, float rate2) noexcept {
  return std::exp(-1000.0f / (std::pow(2.0f, 8.0f * clamp01(v)) * rate2));
}
float releaseCoefficient(float v, float rate2) noexcept {
  return std::exp(-1000.0f / (std::pow(2.0f, 14.0f * clamp01(v)) * rate2));
}
}  // namespace

TCompressor::TCompressor() noexcept { init(44100.0f); }

void TCompressor::init(float sampleRate) noexcept {
  rate2 = sampleRate >= 1000.0f ? 2.0f * sampleRate : 88200.0f;
  counter = 0;
  makeUp = 1.0f;
  peakL = peakR = 0.0f;
  envL = envR = 0.0f;
  gainL = gainR = 1.0f;
  for (unsigned i = 0; i < LOOKAHEAD; ++i) ringL[i] = ringR[i] = 0.0f;
  attack = attackCoefficient(attackV, rate2);
  release = releaseCoefficient(releaseV, rate2);
  keysValid = false;  // the make-up starts at unity again until the next settings arrive
}

void TCompressor::setParams(float threshold, float ratio, float attackIn, float releaseIn, float volume,
                            bool modeIn) noexcept {
  // Called every few samples with mostly unchanged values: each power is paid for only when
  // its own argument moves.
  const bool all = !keysValid;
  keysValid = true;
  bool law = all;
  if (all || !(threshold == thresholdKey)) {
    law = true;
    thresholdKey = threshold;
    const float t = clamp01(threshold);
    thresholdDb = 40.0f * t - 40.0f;
    thresholdLin = std::pow(10.0f, thresholdDb / 20.0f);
  }
  if (all || !(ratio == ratioKey)) {
    law = true;
    ratioKey = ratio;
    const float r = clamp01(ratio);
    slopeA = 1.0f / std::pow(2.0f, (1.0f - r) * 7.0f);
    slopeB = 1.0f / std::pow(2.0f, 7.0f * r);
  }
  if (all || !(attackIn == attackV)) {
    attackV = attackIn;
    attack = attackCoefficient(attackIn, rate2);
  }
  if (all || !(releaseIn == releaseV)) {
    releaseV = releaseIn;
    release = releaseCoefficient(releaseIn, rate2);
  }
  if (all || !(volume == volumeKey)) {
    volumeKey = volume;
    const float v = clamp01(volume);
    makeUp = v < 0.001f ? 0.0f : std::pow(10.0f, (40.0f * v - 30.0f) / 20.0f);
  }
  if (law || modeIn != mode) {
    const float s = modeIn ? 1.0f - slopeB : slopeA;
    gainScale = std::pow(10.0f, thresholdDb * s / 20.0f);
    gainPower = -s;
  }
  mode = modeIn;
}

namespace {

// One channel's detector and gain for one sub-sample. The gain is computed from the present
// input and applied to the input of 128 sub-samples ago.
struct ChannelState {
  float peak, env, gain;
};

__attribute__((always_inline)) inline float compressChannel(float x, ChannelState& st, float* ring, unsigned pos,
                                                            float attack, float release, float thresholdLin,
                                                            float gainScale, float gainPower, float makeUp) noexcept {
  const float delayed = ring[pos];
  ring[pos] = x;
  const float level = std::fabs(x);
  st.peak = level > st.peak ? level : PEAK_KEEP * st.peak + PEAK_NEW * level + DENORMAL;
  const float k = st.peak > st.env ? attack : release;
  st.env = (1.0f - k) * st.peak + k * st.env;
  const float target = st.env > thresholdLin ? gainScale * std::pow(st.env, gainPower) : 1.0f;
  st.gain = target * (1.0f - attack) + st.gain * attack;
  return delayed * st.gain * makeUp;
}

}  // namespace

void TCompressor::process(float& a, float& b, float& c, float& d) noexcept {
  // Settings and detector states in locals for the four sub-sample steps.
  const float att = attack, rel = release, thLin = thresholdLin, gs = gainScale, gp = gainPower, mk = makeUp;
  ChannelState left{peakL, envL, gainL}, right{peakR, envR, gainR};
  unsigned pos = counter & (LOOKAHEAD - 1);
  a = compressChannel(a, left, ringL, pos, att, rel, thLin, gs, gp, mk);
  b = compressChannel(b, right, ringR, pos, att, rel, thLin, gs, gp, mk);
  pos = (pos + 1) & (LOOKAHEAD - 1);
  c = compressChannel(c, left, ringL, pos, att, rel, thLin, gs, gp, mk);
  d = compressChannel(d, right, ringR, pos, att, rel, thLin, gs, gp, mk);
  counter = (pos + 1) & (LOOKAHEAD - 1);
  peakL = left.peak;
  envL = left.env;
  gainL = left.gain;
  peakR = right.peak;
  envR = right.env;
  gainR = right.gain;
}

}  // namespace dsp
