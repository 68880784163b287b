// The shaping rules of the distortion types, each a small pure function object:
// built from its knob values once per call, then applied to one sample at a time.
// They keep no state, so the distortion stage, the tests and the editor's
// transfer-curve display can all use them alone.
//
// Knob values are the normalised 0..1 settings; the names say which knob of the
// type they come from (k3 = the type's first own knob, captioned per type).
#pragma once

#include <cmath>
#include <cstdint>

#include "dsp/dspCommon.h"
#include "dsp/unitLaws.h"

namespace dsp::distort {

// ---------------------------------------------------------------------------
// Shared lookup tables (read-only data of the module, see dsp/uTableFormulas.h).

inline constexpr int TABLE_MASK = TABLE_SIZE - 1;

struct Tables {
  float sine[TABLE_SIZE];
  float cosine[TABLE_SIZE];
  float driveGain[TABLE_SIZE];  // -20 dB .. +20 dB, 0 below 0.001
};

// The process-wide tables.
const Tables& tables();

// Index reading a sine/cosine table at pi * p (the half-cycle index).
inline int halfCycleIndex(float p) noexcept { return saturatingInt(p * 131071.99f + 262144.0f) & TABLE_MASK; }
// Index reading a sine/cosine table at 2 pi * p (the full-cycle index).
inline int fullCycleIndex(float p) noexcept { return saturatingInt(p * 262143.98f + 262144.0f) & TABLE_MASK; }

// Drive gain for the "Pre" knob.
inline float driveGain(float k1) noexcept { return tables().driveGain[tableIndex(k1)]; }

// ---------------------------------------------------------------------------
// Shared operations.

inline float sign(float x) noexcept { return x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : 0.0f); }

inline float clampf(float v, float lo, float hi) noexcept {
  if (v < lo) return lo;
  if (v > hi) return hi;
  return v;
}

// Dry/wet: x the driven input, y the shaped value, m the amount.
inline float mix(float x, float y, float m) noexcept { return x * (1.0f - m) + m * y; }

// -30 dB .. +30 dB, silence at the very bottom of the knob.
inline float boost(float k) noexcept {
  return k >= 0.001f ? std::pow(10.0f, units::BOOST_DB.unitOf(k) / 20.0f) : 0.0f;
}

// Soft saturator S(x, g).
inline float softSat(float x, float g) noexcept {
  const float s = g * x + 1e-15f;
  return (x + s) / (std::fabs(s) + 1.0f);
}

// One step of a DC blocker with state s; returns the blocked value when on.
inline float dcBlock(float y, float& s, float coefficient, float keep, bool on) noexcept {
  s = s * keep + y * coefficient + 1e-15f;
  return on ? y - s : y;
}

inline float frac(float v) noexcept { return v - std::floor(v); }

// ---------------------------------------------------------------------------
// Rules of the single-band types (also reused per band by the two-band types).

// 1 And: keeps the bits of the scaled magnitude that the "And" knob selects.
struct AndRule {
  float s, r;
  int m;
  AndRule(float k3, float k4) noexcept
      : s(units::andScale(k3)), r(1.0f / (s + 0.00001f)), m(saturatingInt(k4 * s)) {}
  float operator()(float x) const noexcept {
    const int bits = saturatingInt(std::fabs(x) * s) & m;
    return sign(x) * clampf(static_cast<float>(bits) * r, 0.0f, 1.0f);
  }
};

// 2 Atan.
struct AtanRule {
  float g, r;
  explicit AtanRule(float k3) noexcept : g(std::exp2(5.0f * k3) - 0.99f), r(1.0f / std::atan(g)) {}
  float operator()(float x) const noexcept {
    return std::fabs(x) > 0.001f ? std::atan(g * x) * r + 1e-15f : 0.0f;
  }
};

// 3 Clipper 1: asymmetric hard clip with a boost.
struct Clipper1Rule {
  float lo, hi, b;
  Clipper1Rule(float k3, float k4, float k6) noexcept
      : lo(-std::exp2(-8.0f * k3)), hi(std::exp2(-8.0f * k4)), b(boost(k6)) {}
  float operator()(float x) const noexcept { return clampf(x, lo, hi) * b; }
};

// 4 Clipper 2: the clip between its tone and its low/high-pass stages.
struct Clipper2Clip {
  float lo, hi;
  Clipper2Clip(float k4, float k5) noexcept {
    const float w = clampf(2.0f * k5, 0.0f, 1.0f);
    const float v = clampf(2.0f - 2.0f * k5, 0.0f, 1.0f);
    const float t = std::exp2(-10.0f * k4);
    lo = -v * t;
    hi = w * t;
  }
  float operator()(float x) const noexcept { return clampf(x, lo, hi); }
};

// 5 Cos 1: x cos(pi g x).
struct Cos1Rule {
  float g;
  const float* cosine = tables().cosine;
  explicit Cos1Rule(float k3) noexcept : g(std::exp2(5.0f * k3) - 1.0f) {}
  float operator()(float x) const noexcept { return x * cosine[halfCycleIndex(x * g)]; }
};

// 6 Cos 2.
struct Cos2Rule {
  float gs, ge;
  const Tables* t = &tables();
  Cos2Rule(float k3, float k4) noexcept : gs(std::exp2(4.0f * k3 - 1.0f)), ge(std::exp2(4.0f * k4 - 1.0f)) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    return sign(x) * (std::fabs(a * t->cosine[fullCycleIndex(ge * a)]) +
                      (1.0f - a) * std::fabs(t->sine[fullCycleIndex(gs * a)]));
  }
};

// 7 Cross Type 1: crossover gap around zero.
struct Cross1Rule {
  float t;
  explicit Cross1Rule(float k3) noexcept : t(0.2f * k3 * k3) {}
  float operator()(float x) const noexcept {
    const float d = std::fabs(x) - t;
    return sign(x) * (d > 0.0f ? d : 0.0f);
  }
};

// 8 Cross Type 2: dead zone between lo and hi, the rest rescaled to reach +-1.
struct Cross2Rule {
  float lo, hi, cn, cp;
  Cross2Rule(float k3, float k4) noexcept
      : lo(-0.95f * std::exp2(-8.0f * k3)),
        hi(0.95f * std::exp2(-8.0f * k4)),
        cn(1.0f - std::fabs(lo)),
        cp(1.0f - hi) {}
  float operator()(float x) const noexcept {
    if (x <= lo) return std::fabs(cn) <= 0.00001f ? x : (x - lo) / cn;
    if (x >= hi) return std::fabs(cp) <= 0.00001f ? x : (x - hi) / cp;
    return 0.0f;
  }
};

// 9 Foldover: triangle fold of period 4f, scaled to +-1.
struct FoldoverRule {
  float f, r;
  explicit FoldoverRule(float k3) noexcept : f(1.0f - 0.99f * std::pow(k3, 0.25f)), r(1.0f / f) {}
  float operator()(float x) const noexcept {
    const float u = x - f;
    const float folded = u - 4.0f * f * static_cast<float>(saturatingInt(u * 0.25f * r));
    return (std::fabs(std::fabs(folded) - 2.0f * f) - f) * r;
  }
};

// 10 Fuzz (full wet).
struct FuzzRule {
  float g, A;
  const float* sine = tables().sine;
  FuzzRule(float k3, float k4) noexcept : g(std::exp2(8.0f * k3)), A(k4 * k4) {}
  float operator()(float x) const noexcept { return x + (1.0f - x * x) * A * sine[halfCycleIndex(x * g)]; }
};

// 11 Gapper (no mix): every other stretch of the scaled magnitude is attenuated.
struct GapperRule {
  float g, depth;
  GapperRule(float k3, float k4) noexcept : g(std::exp2(4.0f * k3) - 1.0f), depth(k4) {}
  float operator()(float x) const noexcept {
    const float v = std::fabs(x) * g;
    return v - static_cast<float>(saturatingInt(v)) < 0.5f ? x : x * (1.0f - depth);
  }
};

// 12 Hard Distort: the value before its (always active) DC blocker.
struct HardDistortRule {
  float th, s, up, down;
  HardDistortRule(float k3, float k4, float k5) noexcept
      : th(std::exp2((35.0f * k3 - 40.0f) / 6.0f)),
        s(std::exp2(k4)),
        up(clampf(2.0f - 2.0f * k5, 0.0f, 1.0f)),
        down(clampf(2.0f * k5, 0.0f, 1.0f)) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    if (!(a > 0.001f)) return x;
    const float c = clampf((a - th) / ((a - th) + s) + th, 0.0f, 1.0f);
    return x > 0.0f ? (1.0f - up) * x + c * up : (1.0f - down) * x - c * down;
  }
};

// 13 Hard Limiter (full wet).
struct HardLimiterRule {
  float t, gain;
  HardLimiterRule(float k3, float k4) noexcept : t(std::exp2(-8.0f * k3)) {
    const float A = 0.99f * k4 * k4 * k4;
    gain = (1.0f - A) + A / t;
  }
  float operator()(float x) const noexcept {
    const float v = std::fabs(x) > t ? sign(x) * t : x;
    return v * gain;
  }
};

// 14 Low-Fi (and 36 per band): quantiser and hold period.
struct LowFiParams {
  float q, period, noise;
  LowFiParams(float bits, float rate, float noiseKnob, float sampleRate) noexcept
      : q(std::exp2(17.0f - 16.0f * std::sqrt(bits))),
        period(units::holdSamples(rate) * sampleRate / 44100.0f),
        noise(noiseKnob * noiseKnob * noiseKnob * noiseKnob) {}
  float quantise(float x) const noexcept { return static_cast<float>(saturatingInt(x * q)) / q; }
};

// 15 Octave 1 (full wet, before its DC blocker).
struct Octave1Rule {
  float A, B;
  Octave1Rule(float k3, float k4) noexcept : A(1.0f - k3), B(1.0f - k4) {}
  float operator()(float x) const noexcept {
    const float t = 2.0f * std::fabs(x);
    const float f = t > 1.0f ? 2.0f - t : t;
    return x >= 0.0f ? x * B + f * (1.0f - B) : x * A - f * (1.0f - A);
  }
};

// 16 Octave 2.
struct Octave2Rule {
  float g;
  explicit Octave2Rule(float k3) noexcept : g(std::exp2(4.0f * k3)) {}
  float operator()(float x) const noexcept {
    const float v = std::fabs(x) * g;
    const float w = v - 2.0f * static_cast<float>(saturatingInt(v / 2.0f));
    return sign(x) * (w > 1.0f ? 2.0f - w : w);
  }
};

// 17 Octave 3.
struct Octave3Rule {
  float g1, g2;
  Octave3Rule(float k3, float k4) noexcept : g1(std::exp2(4.0f * k3)), g2(std::exp2(4.0f * k4)) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    return sign(x) * (a * frac(a * g2) + (1.0f - a) * frac(a * g1));
  }
};

// 18 Overdrive.
struct OverdriveRule {
  float g;
  explicit OverdriveRule(float k3) noexcept : g(std::exp2(6.0f * k3) - 1.0f) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    const float d = x * x + (g - 1.0f) * a + 1.0f;
    const float n = (g + a) * x;
    return std::fabs(d) > 0.00001f ? n / d : n;
  }
};

// 19 Peak Remove: the whole output (its mix and boost are part of the rule).
struct PeakRemoveRule {
  float s, e, L, A, b;
  PeakRemoveRule(float k3, float k4, float k5, float k6, float k7) noexcept
      : s(0.92f * k3 * k3 * k3 + 0.05f), e(k4 * k4 * k4 * (1.0f - s)), L(k5), A(k6), b(boost(k7)) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    float g;
    if (a < s)
      g = clampf(a / s, 0.0f, 1.0f);
    else if (a < s + e)
      g = clampf(1.0f - (a - s) / e, 0.0f, 1.0f);
    else
      g = 0.0f;
    return (x * (1.0f - A) + A * L * g * sign(x)) * b;
  }
};

// 20 Power.
struct PowerRule {
  float c;
  bool on;
  explicit PowerRule(float k3) noexcept {
    const float p = 0.95f * k3;
    on = p >= 0.0001f;
    c = on ? 2.0f * p / (1.0f - p) : 0.0f;
  }
  float operator()(float x) const noexcept { return on ? (1.0f + c) * x / (1.0f + c * std::fabs(x)) : x; }
};

// 21 Rectify.
struct RectifyRule {
  float r;
  explicit RectifyRule(float k3) noexcept : r(1.0f - 2.0f * k3) {}
  float operator()(float x) const noexcept { return x >= 0.0f ? x : r * x; }
};

// 22 Rez.
struct RezRule {
  float f, d;
  const float* cosine = tables().cosine;
  RezRule(float k3, float k4) noexcept : f(std::exp2(8.0f * k3 - 4.0f)), d(k4) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    const float m = a < 1.0f - a ? a : 1.0f - a;
    const float num = a + d * m * cosine[fullCycleIndex(f * m)];
    const float den = 1.0f + m;
    // At |x| = 2 the divisor vanishes over a positive numerator: the clamp gives 1.
    const float v = den != 0.0f ? clampf(num / den, 0.0f, 1.0f) : 1.0f;
    return sign(x) * v;
  }
};

// 23 Saturate.
struct SaturateRule {
  float g;
  explicit SaturateRule(float k3) noexcept : g(std::exp2(4.0f * k3)) {}
  float operator()(float x) const noexcept { return softSat(x, g) + 1e-15f; }
};

// 24 Soft Limiter.
inline float softLimiter(float x) noexcept {
  const float a = std::fabs(x);
  return sign(x) * clampf((1.5f - 0.5f * a) * a, 0.0f, 1.0f);
}

// 25 Squarify: blends the filtered sign q with the input.
struct SquarifyRule {
  float cn, cp;
  SquarifyRule(float k3, float k4) noexcept
      : cn(1.0f - std::exp2(-10.0f * (1.0f - k3))), cp(1.0f - std::exp2(-10.0f * (1.0f - k4))) {}
  float operator()(float x, float q) const noexcept {
    if (x > -0.001f && x < 0.001f) return 0.0f;
    const float c = x < 0.0f ? cn : cp;
    return q * (1.0f - c) + c * x;
  }
};

// 26 Transient.
struct TransientRule {
  float w, t;
  TransientRule(float k3, float k4) noexcept : w(0.92f * k3 * k3 * k3 + 0.05f), t(k4) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    return (a >= w && a <= 2.0f * w) ? sign(x) * t * (1.0f - (a - t) / w) : 0.0f;
  }
};

// 27 Transient Boost.
struct TransientBoostRule {
  float w, B, lim;
  TransientBoostRule(float k3, float k4) noexcept
      : w(0.92f * k3 * k3 * k3 + 0.05f), B(k4), lim(2.0f * B / (B / (0.5f * w) + 1.0f)) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    if (!(a < lim)) return x;
    return sign(x) * clampf((1.0f - std::fabs(2.0f * a / w - 1.0f)) * B, 0.0f, 1.0f);
  }
};

// Saturate and clamp to -1..1 (tube, amp and cabinet input stage).
inline float satClamp(float x, float g) noexcept {
  const float v = softSat(x, g);
  return v < -1.0f ? -1.0f : (v < 1.0f ? v : 1.0f) + 1e-15f;
}

// The amp model's 64 taps c over the history r, whose entry 0 is about to become `newest`:
// the caller stores it after the call, as a 16-byte load over a 4-byte store just made would
// wait for the store to retire. Four partial sums, lane j adding taps j, j + 4, ... in tap order
// (the additions of one chain would wait on each other), then (s0 + s1) + (s2 + s3).
inline float ampTapSum(const float* c, const float* r, float newest) noexcept {
  StereoLanes head = loadLanes(r);
  head[0] = newest;
  StereoLanes s = StereoLanes{1e-15f, 0.0f, 0.0f, 0.0f} + loadLanes(c) * head;
  for (int t = 4; t < 64; t += 4) s = s + loadLanes(c + t) * loadLanes(r + t);
  return (s[0] + s[1]) + (s[2] + s[3]);
}

// 28 Tube Simulator: the value before its tone filter.
struct TubeRule {
  float g, L, r;
  TubeRule(float k3, float k4, float k5) noexcept
      : g(std::exp2(8.0f * k5) - 1.0f), L(k3), r(1.0f - 2.0f * k4) {}
  float operator()(float x) const noexcept {
    float v = satClamp(x, g);
    if (v > L) v = L;
    if (v < 0.0f) {
      v *= r;
      if (v < -L) v = -L;
    }
    return v;
  }
};

// 29 Valve.
struct ValveRule {
  float g;
  explicit ValveRule(float k3) noexcept : g(std::exp2(5.0f * k3) - 0.99f) {}
  float operator()(float x) const noexcept {
    const float a = std::fabs(x);
    const float v = (g + a) * a;
    return sign(x) * clampf(v / (v + 1.0f), 0.0f, 1.0f);
  }
};

// 30 Waveshaper: the shaped value before its mix and boost.
struct WaveshaperRule {
  float gp, gn, r;
  const float* cosine = tables().cosine;
  WaveshaperRule(float k3, float k4, float k5) noexcept
      : gp(std::exp2(4.0f * k3) - 1.0f), gn(std::exp2(4.0f * k4) - 1.0f), r(1.0f - 2.0f * k5) {}
  float operator()(float x) const noexcept {
    const bool pos = x > 0.0f;
    const float xr = pos ? x : r * x;
    return xr * cosine[fullCycleIndex((pos ? gp : gn) * x)];
  }
};

// ---------------------------------------------------------------------------
// Oscillators and curves of the modulation and wave-shaper types.

enum DistortWave : int { WAVE_SINE = 0, WAVE_SAW = 1, WAVE_SQUARE = 2, WAVE_TRIANGLE = 3 };

// Wave selected by the unsmoothed knob; any index of 3 or more is the triangle.
inline int distortWaveIndex(float rawK3) noexcept {
  const int w = saturatingInt(rawK3 * 3.99f);
  return w < 0 ? 0 : w;
}

inline float oscillator(int wave, float p) noexcept {
  switch (wave) {
    case WAVE_SINE:
      return std::sin(6.2831855f * p);
    case WAVE_SAW:
      return 2.0f * p - 1.0f;
    case WAVE_SQUARE:
      return sign(2.0f * p - 1.0f);
    default:
      return 1.0f - 2.0f * std::fabs(1.0f - 2.0f * p);
  }
}

// Linear interpolation in a 256-point curve over -1..1; a missing curve reads as silence.
inline float curveLookup(const float* curve, float x) noexcept {
  if (!curve) return 0.0f;
  const float pos = clamp01(x * 0.5f + 0.5f) * 255.0f;
  int i = static_cast<int>(pos);
  if (i > 254) i = 254;
  const float f = pos - static_cast<float>(i);
  return curve[i] + (curve[i + 1] - curve[i]) * f;
}

// 50 and 51: blend of the two curves.
inline float dualCurve(const float* c1, const float* c2, float blend, float x) noexcept {
  return blend * curveLookup(c2, x) + (1.0f - blend) * curveLookup(c1, x);
}

// curveLookup of four values side by side, each lane with the scalar arithmetic.
inline StereoLanes laneCurveLookup(const float* curve, StereoLanes x) noexcept {
  typedef int32_t IntLanes __attribute__((vector_size(16)));
  if (!curve) return splatLanes(0.0f);
  const StereoLanes pos = laneClamp01(x * 0.5f + 0.5f) * 255.0f;
  IntLanes i = __builtin_convertvector(pos, IntLanes);
  i = i > 254 ? IntLanes{254, 254, 254, 254} : i;
  const StereoLanes f = pos - __builtin_convertvector(i, StereoLanes);
  const StereoLanes c0 = {curve[i[0]], curve[i[1]], curve[i[2]], curve[i[3]]};
  const StereoLanes c1 = {curve[i[0] + 1], curve[i[1] + 1], curve[i[2] + 1], curve[i[3] + 1]};
  return c0 + (c1 - c0) * f;
}

// dualCurve of four values side by side.
inline StereoLanes laneDualCurve(const float* c1, const float* c2, float blend, StereoLanes x) noexcept {
  return blend * laneCurveLookup(c2, x) + (1.0f - blend) * laneCurveLookup(c1, x);
}

// Amp and cabinet model selectors (unsmoothed knob).
inline int ampModelIndex(float rawK3) noexcept {
  const int m = saturatingInt(rawK3 * 5.99f);
  return m < 0 ? 0 : (m > 5 ? 5 : m);
}
inline int cabinetModelIndex(float rawK3) noexcept {
  const int m = saturatingInt(rawK3 * 3.99f);
  return m < 0 ? 0 : (m > 3 ? 3 : m);
}

// Phase increment per call of the modulation oscillators: 10 Hz .. 10240 Hz.
inline float oscillatorIncrement(float k, float sampleRate) noexcept {
  return std::exp2(10.0f * k) * 10.0f / sampleRate;
}

}  // namespace dsp::distort
