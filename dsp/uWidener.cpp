#include "dsp/uWidener.h"

#include <cmath>
#include <memory>

#include "dsp/dspCommon.h"

namespace dsp {

namespace {

constexpr int SINE_SIZE = 65536;

std::unique_ptr<float[]> buildSine() {
  auto t = std::make_unique<float[]>(SINE_SIZE);
  for (int i = 0; i < SINE_SIZE; ++i) t[i] = static_cast<float>(0.5 * std::sin(6.28318 * i / 65536.0) + 0.5);
  return t;
}

inline float frac01(float x) noexcept { return wrapPhase(x); }

// Cubic (Catmull-Rom) read between ring entries; point lies in 0..RING, where truncation is
// the floor (and needs no library call).
__attribute__((always_inline)) inline float chorusRead(const float* ring, float point) noexcept {
  const int32_t whole = static_cast<int32_t>(point);
  const float fl = static_cast<float>(whole);
  const float t = point - fl;
  const uint32_t i = static_cast<uint32_t>(whole);
  const float xm1 = ring[(i - 1u) & TWidener::RING_MASK];
  const float x0 = ring[i & TWidener::RING_MASK];
  const float x1 = ring[(i + 1u) & TWidener::RING_MASK];
  const float x2 = ring[(i + 2u) & TWidener::RING_MASK];
  const float c1 = 0.5f * (x1 - xm1);
  const float c2 = xm1 - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
  const float c3 = 1.5f * (x0 - x1) + 0.5f * (x2 - xm1);
  return ((c3 * t + c2) * t + c1) * t + x0;
}

}  // namespace

const float* widenerSineTable() {
  static const std::unique_ptr<float[]> table = buildSine();
  return table.get();
}

TWidener::TWidener() noexcept : sine(widenerSineTable()) { init(44100.0f); }

void TWidener::init(float rate) noexcept {
  sampleRate = rate >= 1000.0f ? rate : 44100.0f;
  invRate = 1.0f / sampleRate;
  writePos = 0;
  phase1 = phase2 = 0;
  widenPhase = 0.0f;
  widenAmountKey = widenSpeedKey = chorusSpeedKey = chorusMixKey = NAN_KEY;
  for (unsigned i = 0; i < RING; ++i) widenRing[i] = chorusRingL[i] = chorusRingR[i] = 0.0f;
}

float TWidener::widenerSpan(float amount) const noexcept {
  const float D = std::pow(2.0f, 8.0f * clamp01(amount)) * 12.0f * sampleRate / 44100.0f + 1.0f;
  return D < MAX_WIDEN_DELAY ? D : MAX_WIDEN_DELAY;
}

void TWidener::doWidener(float amount, float width, float speed, float& first, float& second) noexcept {
  // The powers depend on the arguments only: worked out again when those move.
  if (!(amount == widenAmountKey)) {
    widenAmountKey = amount;
    widenSpanCached = widenerSpan(amount);
  }
  if (!(speed == widenSpeedKey)) {
    widenSpeedKey = speed;
    widenInc = std::pow(2.0f, 6.0f * clamp01(speed)) * 0.013427734f * invRate;
  }
  const float D = widenSpanCached;
  const float w = clamp01(width);
  const float inc = widenInc;
  const uint32_t wp = writePos;
  const float p = widenPhase;
  widenRing[wp & RING_MASK] = first;

  const float tri = std::fabs(2.0f * p - 1.0f);
  const float delay1 = ((1.0f - tri) * w + (1.0f - w)) * D + 1.0f;
  const uint32_t i1 = static_cast<uint32_t>(delay1);
  const float f1 = delay1 - static_cast<float>(i1);
  const float out1 = f1 * widenRing[(wp - i1 - 1u) & RING_MASK] + (1.0f - f1) * widenRing[(wp - i1) & RING_MASK];

  widenRing[(wp + 1u) & RING_MASK] = second;

  const float p1 = frac01(p + inc);
  const float tri2 = std::fabs(2.0f * p1 - 1.0f);
  const float delay2 = ((1.0f - tri2) * w + (1.0f - w)) * D + 1.0f;
  const uint32_t i2 = static_cast<uint32_t>(delay2);
  const float f2 = delay2 - static_cast<float>(i2);
  const float out2 = f2 * widenRing[(wp - i2) & RING_MASK] + (1.0f - f2) * widenRing[(wp + 1u - i2) & RING_MASK];

  writePos = wp + 2u;
  widenPhase = frac01(p1 + inc);
  first = out1;
  second = out2;
}

void TWidener::doChorus(float mix, float length, float width, float speed, float& a, float& b, float& c,
                        float& d) noexcept {
  float maxDelay = clamp01(length) * 0.1f * sampleRate + 2.0f;
  if (maxDelay > MAX_CHORUS_DELAY) maxDelay = MAX_CHORUS_DELAY;
  if (!(speed == chorusSpeedKey)) {
    chorusSpeedKey = speed;
    const float rate = std::pow(2.0f, 10.0f * clamp01(speed)) * 112640.0f * invRate;
    chorusInc1 = static_cast<uint32_t>(saturatingInt(rate)) / 2u;
    chorusInc2 = static_cast<uint32_t>(saturatingInt(rate * 2.08f)) / 2u;
  }
  const uint32_t inc1 = chorusInc1, inc2 = chorusInc2;
  const float depth = clamp01(width) * 0.99f;

  float in[4] = {a, b, c, d};
  float out[4];
  uint32_t ph1 = phase1, ph2 = phase2;
  for (int frame = 0; frame < 2; ++frame) {
    const uint32_t pos = (writePos + static_cast<uint32_t>(frame)) & RING_MASK;
    ph1 = (ph1 + inc1) & PHASE_MASK;
    ph2 = (ph2 + inc2) & PHASE_MASK;
    float distL = (sine[ph1 >> 8] * depth + (1.0f - depth)) * maxDelay;
    float distR = (sine[ph2 >> 8] * depth + (1.0f - depth)) * maxDelay;
    if (distL < MIN_CHORUS_DELAY) distL = MIN_CHORUS_DELAY;
    if (distR < MIN_CHORUS_DELAY) distR = MIN_CHORUS_DELAY;
    float pointL = static_cast<float>(pos) - distL;
    float pointR = static_cast<float>(pos) - distR;
    if (pointL < 0.0f) pointL += static_cast<float>(RING);
    if (pointR < 0.0f) pointR += static_cast<float>(RING);
    out[2 * frame] = chorusRead(chorusRingL, pointL);
    out[2 * frame + 1] = chorusRead(chorusRingR, pointR);
    chorusRingL[pos] = in[2 * frame];
    chorusRingR[pos] = in[2 * frame + 1];
  }
  phase1 = ph1;
  phase2 = ph2;
  writePos += 2u;

  if (!(mix == chorusMixKey)) {
    chorusMixKey = mix;
    const float m = 2.0f * clamp01(mix);
    chorusWet = m > 1.0f ? 1.0f : m;
    const float dryRaw = 2.0f - m;
    chorusDry = dryRaw > 1.0f ? 1.0f : dryRaw;
    chorusNorm = std::sqrt(chorusWet + chorusDry);
  }
  const float wet = chorusWet, dry = chorusDry, norm = chorusNorm;
  a = (out[0] * wet + in[0] * dry) / norm;
  b = (out[1] * wet + in[1] * dry) / norm;
  c = (out[2] * wet + in[2] * dry) / norm;
  d = (out[3] * wet + in[3] * dry) / norm;
}

}  // namespace dsp
