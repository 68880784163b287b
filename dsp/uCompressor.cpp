#include "dsp/uCompressor.h"

#include <cmath>

#include "dsp/dspCommon.h"
#include "dsp/unitLaws.h"

namespace dsp {

namespace {
constexpr float PEAK_KEEP = 0.999f;
constexpr float PEAK_NEW = 0.000999987f;
constexpr float DENORMAL = ANTI_DENORMAL;
constexpr float FLT_LIMIT = 3.4028235e38f;  // the largest finite float

float attackCoefficient(float v, float rate2) noexcept {
  return std::exp(-1000.0f / (std::pow(2.0f, units::ATTACK_OCTAVES * clamp01(v)) * rate2));
}
float releaseCoefficient(float v, float rate2) noexcept {
  return std::exp(-1000.0f / (std::pow(2.0f, units::TIME_OCTAVES * clamp01(v)) * rate2));
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
    thresholdDb = units::THRESHOLD_DB.unitOf(t);
    thresholdLin = std::pow(10.0f, thresholdDb / 20.0f);
  }
  if (all || !(ratio == ratioKey)) {
    law = true;
    ratioKey = ratio;
    const float r = clamp01(ratio);
    slopeA = 1.0f / std::pow(2.0f, (1.0f - r) * units::RATIO_OCTAVES);
    slopeB = 1.0f / units::ratioOf(r);
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
    makeUp = v < 0.001f ? 0.0f : std::pow(10.0f, units::LEVEL_DB.unitOf(v) / 20.0f);
  }
  if (law || modeIn != mode) {
    const float s = modeIn ? 1.0f - slopeB : slopeA;
    gainScale = std::pow(10.0f, thresholdDb * s / 20.0f);
    gainPower = -s;
  }
  mode = modeIn;
}

void TCompressor::process(float& a, float& b, float& c, float& d) noexcept {
  // Both channels side by side; the gain is computed from the present input and applied to the
  // input of 128 sub-samples ago.
  const float att = attack;
  const StereoLanes attackL = splatLanes(att), releaseL = splatLanes(release);
  const StereoLanes keep = splatLanes(1.0f - att), mk = splatLanes(makeUp);
  StereoLanes pk = peak, en = env;
  unsigned pos = counter & (LOOKAHEAD - 1);
  const StereoLanes in[2] = {stereoLanes(a, b), stereoLanes(c, d)};
  StereoLanes delayed[2];
  StereoLanes level[2];
  // The detectors of both sub-samples first: they do not depend on the gain.
  for (int sub = 0; sub < 2; ++sub) {
    const StereoLanes x = in[sub];
    delayed[sub] = ring[pos];
    ring[pos] = x;
    const StereoLanes rectified = laneAbs(x);
    pk = rectified > pk ? rectified : PEAK_KEEP * pk + PEAK_NEW * rectified + DENORMAL;
    const StereoLanes k = pk > en ? attackL : releaseL;
    en = (1.0f - k) * pk + k * en;
    level[sub] = en;
    pos = (pos + 1) & (LOOKAHEAD - 1);
  }
  counter = pos;
  peak = pk;
  env = en;

  // Above the threshold the gain pulls towards gainScale level^gainPower, below it towards 1:
  // the four powers (two sub-samples, two channels) at once.
  const StereoLanes levels = __builtin_shufflevector(level[0], level[1], 0, 1, 4, 5);
  const auto above = levels > thresholdLin;
  StereoLanes target = splatLanes(1.0f);
  if (laneAny(above)) {
    StereoLanes power;
    if (levels[0] < FLT_LIMIT && levels[1] < FLT_LIMIT && levels[2] < FLT_LIMIT && levels[3] < FLT_LIMIT) {
      power = lanePow(levels, gainPower);
    } else {  // an infinite level: the library's power gives its limit
      for (int i = 0; i < 4; ++i) power[i] = std::pow(levels[i], gainPower);
    }
    target = above ? gainScale * power : target;
  }

  StereoLanes gn = gain;
  StereoLanes out[2];
  for (int sub = 0; sub < 2; ++sub) {
    const StereoLanes zero = splatLanes(0.0f);
    const StereoLanes t = sub ? __builtin_shufflevector(target, zero, 2, 3, 4, 5)
                              : __builtin_shufflevector(target, zero, 0, 1, 4, 5);
    gn = t * keep + gn * attackL;
    out[sub] = delayed[sub] * gn * mk;
  }
  gain = gn;
  a = out[0][0];
  b = out[0][1];
  c = out[1][0];
  d = out[1][1];
}

}  // namespace dsp
