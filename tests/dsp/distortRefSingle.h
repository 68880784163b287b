// A reference for the frame of the distortion stage, written from its definition and kept apart
// from the product: knob smoothing, the drive table, the input and output level followers, level
// compensation and the DC blocker. Everything the definition states in single precision (the
// smoothing, the table index and the table's exponent) is done so here too; the rest is double.
#pragma once

#include <cmath>
#include <cstdint>

namespace distortRefSingle {

// The drive table's entry for a smoothed Dist1: index int(k x 262143.98) with the factor as a
// single, x = index / 2^18, 0 below x = 0.001, else 10^((40x - 20) / 20) with the exponent in single
// precision, stored as a single.
inline double driveGain(float k1) {
  const float k = k1 > 0.0f ? (k1 < 1.0f ? k1 : 1.0f) : 0.0f;
  const int i = static_cast<int>(k * 262143.984375f);
  const float x = static_cast<float>(i) / 262144.0f;
  if (x < 0.001f) return 0.0;
  const float exponent = (40.0f * x - 20.0f) / 20.0f;
  return static_cast<float>(std::pow(10.0, static_cast<double>(exponent)));
}

// -30 dB .. +30 dB, silence below 0.001.
inline double boost(double k) { return k >= 0.001 ? std::pow(10.0, (60.0 * k - 30.0) / 20.0) : 0.0; }
inline double sign(double x) { return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0); }
inline double clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline double mix(double x, double y, double m) { return x * (1.0 - m) + m * y; }
// Soft saturator S(x, g).
inline double softSat(double x, double g) {
  const double s = g * x + 1e-15;
  return (x + s) / (std::fabs(s) + 1.0);
}

// The process-wide sequence of the Low-Fi noise: t = seed x 16807 wrapping in 32 bits, the seed
// becomes t + 1, the value is t as a signed integer times 2^-31.
struct Sequence {
  int32_t seed = 1;
  double next() {
    const uint32_t t = static_cast<uint32_t>(seed) * 16807u;
    seed = static_cast<int32_t>(t + 1u);
    return static_cast<int32_t>(t) * 4.656612873077393e-10;
  }
};

// The frame around a type's shaping, for one stage.
struct Frame {
  double rate;
  float knob[8] = {};  // the smoothed knobs, kept in single precision as the stage keeps them
  int type = 0;
  bool fresh = true, dcOn = true;
  double inEnv[2] = {0.0001, 0.0001}, outEnv[2] = {0.0001, 0.0001};
  double dc[2] = {};

  explicit Frame(double sampleRate) : rate(sampleRate) {}

  // Smoothing, input level and drive: x receives the driven samples; returns the force flag.
  bool enter(int newType, const float raw[8], const float in[4], double x[4]) {
    bool force = true;
    if (newType == type) {
      const float fresh01 = 1.0f - 0.9f;
      for (int i = 0; i < 8; ++i) knob[i] = 0.9f * knob[i] + fresh01 * raw[i] + 1e-15f;
      force = fresh;
    } else {
      for (int i = 0; i < 8; ++i) knob[i] = raw[i];
    }
    type = newType;
    for (int c = 0; c < 2; ++c) {
      const double level = std::fabs((static_cast<double>(in[c]) + in[c + 2]) / 2.0);
      inEnv[c] = std::fmax(0.001, 0.98 * inEnv[c] + 0.02 * level);
    }
    const double g = driveGain(knob[0]);
    for (int i = 0; i < 4; ++i) x[i] = in[i] * g;
    return force;
  }

  // One step of the blocker on channel c; `always` ignores the switch.
  double dcBlock(double y, int c, bool always = false) {
    const double coefficient = 30.0 / (2.0 * rate);
    dc[c] = dc[c] * (1.0 - coefficient) + y * coefficient + 1e-15;
    return dcOn || always ? y - dc[c] : y;
  }

  // Output level and level compensation ("Norm", the smoothed Dist2).
  void leave(const double y[4], double out[4]) {
    const double n = knob[1];
    for (int c = 0; c < 2; ++c) {
      outEnv[c] = std::fmax(0.001, 0.98 * outEnv[c] + 0.02 * std::fabs((y[c] + y[c + 2]) / 2.0));
      const double gain = n * inEnv[c] / outEnv[c] + (1.0 - n);
      out[c] = y[c] * gain;
      out[c + 2] = y[c + 2] * gain;
    }
    fresh = false;
  }
};

}  // namespace distortRefSingle
