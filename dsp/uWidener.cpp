#include "dsp/uWidener.h"

#include <cmath>

#include "dsp/dspCommon.h"
#include "dsp/uTableFormulas.h"

namespace dsp {

namespace {

typedef int32_t IntLanes __attribute__((vector_size(16)));

inline float frac01(float x) noexcept { return wrapPhase(x); }

}  // namespace

// Generated at build time from dsp/uTableFormulas.h (tools/gen_tables.cpp).
extern "C" __attribute__((visibility("hidden")))
const float grindleWidenerSine[tableFormula::WIDENER_SINE_SIZE];

const float* widenerSineTable() { return grindleWidenerSine; }

TWidener::TWidener() noexcept : sine(widenerSineTable()) { init(44100.0f); }

void TWidener::init(float rate) noexcept {
  sampleRate = rate >= 1000.0f ? rate : 44100.0f;
  invRate = 1.0f / sampleRate;
  writePos = 0;
  phase1 = phase2 = 0;
  widenPhase = 0.0f;
  widenAmountKey = widenSpeedKey = chorusSpeedKey = chorusMixKey = NAN_KEY;
  if (widenRingWritten)
    for (float& v : widenRing) v = 0.0f;
  if (chorusRingsWritten)
    for (unsigned i = 0; i < RING; ++i) chorusRingL[i] = chorusRingR[i] = 0.0f;
  widenRingWritten = chorusRingsWritten = false;
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
  widenRingWritten = true;
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
  const float out1 =
      f1 * widenRing[(wp - i1 - 1u) & RING_MASK] + (1.0f - f1) * widenRing[(wp - i1) & RING_MASK];

  widenRing[(wp + 1u) & RING_MASK] = second;

  const float p1 = frac01(p + inc);
  const float tri2 = std::fabs(2.0f * p1 - 1.0f);
  const float delay2 = ((1.0f - tri2) * w + (1.0f - w)) * D + 1.0f;
  const uint32_t i2 = static_cast<uint32_t>(delay2);
  const float f2 = delay2 - static_cast<float>(i2);
  const float out2 =
      f2 * widenRing[(wp - i2) & RING_MASK] + (1.0f - f2) * widenRing[(wp + 1u - i2) & RING_MASK];

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
  chorusRingsWritten = true;
  const uint32_t inc1 = chorusInc1, inc2 = chorusInc2;
  const float depth = clamp01(width) * 0.99f;

  // Both frames and both channels in the four lanes {L0, R0, L1, R1}: each lane takes the scalar
  // steps. The second frame reads after the first frame's samples are written.
  const uint32_t pos0 = writePos & RING_MASK, pos1 = (writePos + 1u) & RING_MASK;
  // The two delay phases at the first frame (f) and at the second (s).
  const uint32_t f1 = (phase1 + inc1) & PHASE_MASK, f2 = (phase2 + inc2) & PHASE_MASK;
  const uint32_t s1 = (f1 + inc1) & PHASE_MASK, s2 = (f2 + inc2) & PHASE_MASK;
  phase1 = s1;
  phase2 = s2;
  const StereoLanes wave = {sine[f1 >> 8], sine[f2 >> 8], sine[s1 >> 8], sine[s2 >> 8]};
  StereoLanes dist = (wave * depth + (1.0f - depth)) * maxDelay;
  dist = dist < MIN_CHORUS_DELAY ? splatLanes(MIN_CHORUS_DELAY) : dist;
  const float p0 = static_cast<float>(pos0), p1 = static_cast<float>(pos1);
  StereoLanes point = StereoLanes{p0, p0, p1, p1} - dist;
  point = point < 0.0f ? point + static_cast<float>(RING) : point;
  // Truncation is the floor here (the points are not negative).
  const IntLanes whole = __builtin_convertvector(point, IntLanes);
  const StereoLanes t = point - __builtin_convertvector(whole, StereoLanes);
  StereoLanes xm1{}, x0{}, x1{}, x2{};
  auto gather = [&](int lane, const float* ring) {
    const uint32_t i = static_cast<uint32_t>(whole[lane]);
    xm1[lane] = ring[(i - 1u) & RING_MASK];
    x0[lane] = ring[i & RING_MASK];
    x1[lane] = ring[(i + 1u) & RING_MASK];
    x2[lane] = ring[(i + 2u) & RING_MASK];
  };
  gather(0, chorusRingL);
  gather(1, chorusRingR);
  chorusRingL[pos0] = a;
  chorusRingR[pos0] = b;
  gather(2, chorusRingL);
  gather(3, chorusRingR);
  chorusRingL[pos1] = c;
  chorusRingR[pos1] = d;
  writePos += 2u;
  // Cubic (Catmull-Rom) read between ring entries.
  const StereoLanes c1 = 0.5f * (x1 - xm1);
  const StereoLanes c2 = xm1 - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
  const StereoLanes c3 = 1.5f * (x0 - x1) + 0.5f * (x2 - xm1);
  const StereoLanes out = ((c3 * t + c2) * t + c1) * t + x0;
  const StereoLanes in = {a, b, c, d};

  if (!(mix == chorusMixKey)) {
    chorusMixKey = mix;
    const float m = 2.0f * clamp01(mix);
    chorusWet = m > 1.0f ? 1.0f : m;
    const float dryRaw = 2.0f - m;
    chorusDry = dryRaw > 1.0f ? 1.0f : dryRaw;
    chorusNorm = std::sqrt(chorusWet + chorusDry);
  }
  const StereoLanes mixed = (out * chorusWet + in * chorusDry) / chorusNorm;
  a = mixed[0];
  b = mixed[1];
  c = mixed[2];
  d = mixed[3];
}

}  // namespace dsp
