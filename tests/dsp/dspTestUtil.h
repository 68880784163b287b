// Measuring helpers shared by the audio-module tests.
#pragma once

#include <cmath>
#include <complex>
#include <functional>
#include <initializer_list>

namespace dsptest {

inline constexpr double kPi = 3.14159265358979323846;

using Run = std::function<void(float&, float&, float&, float&)>;

// Steady-state gain of a two-frame process at hz on a stream of `rate` (the sub-sample rate): a
// sine of amplitude `amp` on both channels in, the left output projected on it after `settle` calls.
inline double measureGain(const Run& run, double hz, double rate, double amp = 0.5, int settle = 40000,
                          int calls = 80000) {
  const double w = 2.0 * kPi * hz / rate;
  std::complex<double> in = 0, out = 0;
  for (int k = 0; k < settle + calls; ++k) {
    const std::complex<double> z0 = std::polar(1.0, w * 2 * k), z1 = std::polar(1.0, w * (2 * k + 1));
    float a = static_cast<float>(amp * z0.imag()), b = a, c = static_cast<float>(amp * z1.imag()), d = c;
    const double in0 = a, in1 = c;
    run(a, b, c, d);
    if (k < settle) continue;
    in += z0 * in0 + z1 * in1;
    out += z0 * static_cast<double>(a) + z1 * static_cast<double>(c);
  }
  return std::abs(out) / std::abs(in);
}

inline double toDb(double g) { return 20.0 * std::log10(g); }

// |B(z) / A(z)| on the unit circle at hz for a stream of `rate`; coefficients from z^0 upwards.
inline double responseAt(std::initializer_list<double> b, std::initializer_list<double> a, double hz,
                         double rate) {
  const auto poly = [&](std::initializer_list<double> coefficients) {
    std::complex<double> sum = 0.0;
    int k = 0;
    for (double v : coefficients) sum += v * std::polar(1.0, -2.0 * kPi * hz / rate * k++);
    return sum;
  };
  return std::abs(poly(b) / poly(a));
}

// Feeds `calls` calls of a hostile value (its sign alternating per call when `alternate`), then
// `quiet` calls of silence. False when any output was not finite; `tail` receives the largest
// magnitude over the last 1000 silent calls.
inline bool hostileThenSilence(const Run& run, float value, bool alternate, int calls, int quiet,
                               double& tail) {
  bool finite = true;
  tail = 0;
  for (int k = 0; k < calls + quiet; ++k) {
    const float v = k >= calls ? 0.0f : (alternate && (k & 1)) ? -value : value;
    float out[4] = {v, -v, v, -v};
    run(out[0], out[1], out[2], out[3]);
    for (float o : out) {
      finite = finite && std::isfinite(o);
      if (k >= calls + quiet - 1000) tail = std::fmax(tail, std::fabs(o));
    }
  }
  return finite;
}

}  // namespace dsptest
