#include "dsp/uNoiseGate.h"

#include <cmath>

#include "dsp/dspCommon.h"
#include "dsp/unitLaws.h"

namespace dsp {

namespace {
constexpr double ENV_KEEP = 0.99995;  // envelope release: weight of the old value ...
constexpr double ENV_NEW = 0.00005;   // ... and of the new level
constexpr double DENORMAL = 1e-15;
}  // namespace

TNoiseGate::TNoiseGate() noexcept { init(44100.0f); }

void TNoiseGate::init(float sampleRate) noexcept {
  rate2 = sampleRate >= 1000.0f ? 2.0 * sampleRate : 88200.0;
  state = kClosed;
  envelope = 0.0;
  gain = 0.0;
  holdCounter = 1000.0;
  levelSum = 0.0f;
  for (float& v : levelRing) v = 0.0f;
  ringPos = 0;
  paramsValid = false;
  setParams(params[0], params[1], params[2], params[3]);
}

void TNoiseGate::setParams(float thresholdV, float attackV, float holdV, float releaseV) noexcept {
  // The engine sets these every few samples, mostly unchanged: only a moved value pays for its power.
  const bool all = !paramsValid;
  paramsValid = true;
  if (all || !(thresholdV == params[0])) {
    params[0] = thresholdV;
    const double t = clamp01(thresholdV);
    threshold = t < 0.001 ? 0.0 : std::pow(10.0, units::THRESHOLD_DB.unitOf(t) / 20.0);
  }
  if (all || !(attackV == params[1])) {
    params[1] = attackV;
    const double at = clamp01(attackV);
    attackStep = 1000.0 / (std::pow(2.0, static_cast<double>(units::ATTACK_OCTAVES) * at) * rate2);
  }
  if (all || !(holdV == params[2])) {
    params[2] = holdV;
    const double h = clamp01(holdV);
    holdSamples = std::pow(2.0, static_cast<double>(units::TIME_OCTAVES) * h) / 1000.0 * rate2;
    holdStep = holdSamples > 1e-7 ? 1000.0 / holdSamples : 1000.0;
  }
  if (all || !(releaseV == params[3])) {
    params[3] = releaseV;
    const double r = clamp01(releaseV);
    releaseStep = 1000.0 / (rate2 * (std::pow(2.0, static_cast<double>(units::TIME_OCTAVES) * r) + 10.0));
  }
}

void TNoiseGate::step(double env) noexcept {
  switch (state) {
    case kClosed:
      if (env >= threshold) state = kAttack;
      break;
    case kAttack:
      gain += attackStep;
      if (gain >= 1.0) {
        gain = 1.0;
        holdCounter = 1000.0;
        state = kHold;
      }
      break;
    case kHold:
      holdCounter -= holdStep;
      if (holdCounter < 0.0 && env < threshold) state = kRelease;
      break;
    case kRelease:
      gain -= releaseStep;
      if (env > threshold) state = kAttack;
      if (gain <= 0.0) {
        gain = 0.0;
        state = kClosed;
      }
      break;
    default:
      state = kClosed;
      break;
  }
}

void TNoiseGate::process(float& a, float& b, float& c, float& d) noexcept {
  const double level0 = (std::fabs(static_cast<double>(a)) + std::fabs(static_cast<double>(b))) / 2.0;
  const double level1 = (std::fabs(static_cast<double>(c)) + std::fabs(static_cast<double>(d))) / 2.0;

  // Running sum of the first sub-sample's level over the last 256 calls, for the lamp.
  const unsigned p = ringPos & (RING - 1);
  float sum = levelSum + (static_cast<float>(level0) - levelRing[p]);
  if (!(sum > 0.0f)) sum = 0.0f;
  if (sum > 256.0f) sum = 256.0f;
  levelSum = sum;
  levelRing[p] = static_cast<float>(level0);
  ringPos = (p + 1) & (RING - 1);

  double env = envelope;
  env = level0 > env ? level0 : ENV_KEEP * env + ENV_NEW * level0 + DENORMAL;
  step(env);
  const double g0 = gain;
  env = level1 > env ? level1 : ENV_KEEP * env + ENV_NEW * level1 + DENORMAL;
  step(env);
  envelope = env;

  a = static_cast<float>(a * g0);
  b = static_cast<float>(b * g0);
  c = static_cast<float>(c * gain);
  d = static_cast<float>(d * gain);
}

bool TNoiseGate::getTriggered() const noexcept { return levelSum >= 0.01f && gain >= 0.00001; }

}  // namespace dsp
