#include "dsp/uCompressor.h"

#include <cmath>

#include "dsp/dspCommon.h"

namespace dsp {

namespace {
constexpr float PEAK_KEEP = 0.999f;
constexpr float PEAK_NEW = 0.000999987f;
constexpr float DENORMAL = ANTI_DENORMAL;

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
  peak = env = splatLanes(0.0f);
  gain = stereoLanes(1.0f, 1.0f);
  for (unsigned i = 0; i < LOOKAHEAD; ++i) ring[i] = splatLanes(0.0f);
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

// The gain towards which the detector pulls for one channel's level.
inline float gainTarget(float env, float thresholdLin, float gainScale, float gainPower) noexcept {
  return env > thresholdLin ? gainScale * std::pow(env, gainPower) : 1.0f;
}

}  // namespace

void TCompressor::process(float& a, float& b, float& c, float& d) noexcept {
  // Both channels side by side; the gain is computed from the present input and applied to the
  // input of 128 sub-samples ago.
  const float att = attack, thLin = thresholdLin, gs = gainScale, gp = gainPower;
  const StereoLanes attackL = splatLanes(att), releaseL = splatLanes(release);
  const StereoLanes keep = splatLanes(1.0f - att), mk = splatLanes(makeUp);
  StereoLanes pk = peak, en = env, gn = gain;
  unsigned pos = counter & (LOOKAHEAD - 1);
  StereoLanes out[2];
  const StereoLanes in[2] = {stereoLanes(a, b), stereoLanes(c, d)};
  for (int sub = 0; sub < 2; ++sub) {
    const StereoLanes x = in[sub];
    const StereoLanes delayed = ring[pos];
    ring[pos] = x;
    const StereoLanes level = laneAbs(x);
    pk = level > pk ? level : PEAK_KEEP * pk + PEAK_NEW * level + DENORMAL;
    const StereoLanes k = pk > en ? attackL : releaseL;
    en = (1.0f - k) * pk + k * en;
    const StereoLanes target = stereoLanes(gainTarget(en[0], thLin, gs, gp), gainTarget(en[1], thLin, gs, gp));
    gn = target * keep + gn * attackL;
    out[sub] = delayed * gn * mk;
    pos = (pos + 1) & (LOOKAHEAD - 1);
  }
  counter = pos;
  peak = pk;
  env = en;
  gain = gn;
  a = out[0][0];
  b = out[0][1];
  c = out[1][0];
  d = out[1][1];
}

}  // namespace dsp
