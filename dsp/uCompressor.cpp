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
}

void TCompressor::setParams(float threshold, float ratio, float attackIn, float releaseIn, float volume,
                            bool modeIn) noexcept {
  const float t = clamp01(threshold), r = clamp01(ratio), v = clamp01(volume);
  thresholdDb = 40.0f * t - 40.0f;
  thresholdLin = std::pow(10.0f, thresholdDb / 20.0f);
  slopeA = 1.0f / std::pow(2.0f, (1.0f - r) * 7.0f);
  slopeB = 1.0f / std::pow(2.0f, 7.0f * r);
  attackV = attackIn;
  releaseV = releaseIn;
  attack = attackCoefficient(attackIn, rate2);
  release = releaseCoefficient(releaseIn, rate2);
  makeUp = v < 0.001f ? 0.0f : std::pow(10.0f, (40.0f * v - 30.0f) / 20.0f);
  mode = modeIn;
}

float TCompressor::processChannel(float x, float& peak, float& env, float& gain, float* ring,
                                  unsigned pos) noexcept {
  // The gain is computed from the present input and applied to the input of 128 sub-samples ago.
  const float delayed = ring[pos];
  ring[pos] = x;
  const float level = std::fabs(x);
  peak = level > peak ? level : PEAK_KEEP * peak + PEAK_NEW * level + DENORMAL;
  const float k = peak > env ? attack : release;
  env = (1.0f - k) * peak + k * env;
  float target = 1.0f;
  if (env > thresholdLin) {
    const float over = thresholdDb - 20.0f * std::log10(env);
    target = mode ? std::pow(10.0f, (1.0f - slopeB) * over / 20.0f) : std::pow(10.0f, over * slopeA / 20.0f);
  }
  gain = target * (1.0f - attack) + gain * attack;
  return delayed * gain * makeUp;
}

void TCompressor::process(float& a, float& b, float& c, float& d) noexcept {
  unsigned pos = counter & (LOOKAHEAD - 1);
  a = processChannel(a, peakL, envL, gainL, ringL, pos);
  b = processChannel(b, peakR, envR, gainR, ringR, pos);
  pos = (pos + 1) & (LOOKAHEAD - 1);
  c = processChannel(c, peakL, envL, gainL, ringL, pos);
  d = processChannel(d, peakR, envR, gainR, ringR, pos);
  counter = (pos + 1) & (LOOKAHEAD - 1);
}

}  // namespace dsp
