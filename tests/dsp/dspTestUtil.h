// Measuring helpers shared by the audio-module tests.
#pragma once

#include <cmath>
#include <functional>

namespace dsptest {

inline constexpr double kPi = 3.14159265358979323846;

// Steady-state gain of a two-frame process at frequency hz on a stream of rate `rate`
// (the rate of the sub-samples). `run(a, b, c, d)` processes one call in place. The
// input is a sine of amplitude `amp` on both channels; the left output's amplitude is
// measured by projecting it on sine and cosine after `settle` calls.
inline double measureGain(const std::function<void(float&, float&, float&, float&)>& run, double hz,
                          double rate, double amp = 0.5, int settle = 40000, int calls = 80000) {
  const double w = 2.0 * kPi * hz / rate;
  double sIn = 0, cIn = 0, sOut = 0, cOut = 0;
  long n = 0;
  for (int k = 0; k < settle + calls; ++k) {
    const double x0 = amp * std::sin(w * n);
    const double x1 = amp * std::sin(w * (n + 1));
    float a = static_cast<float>(x0), b = a, c = static_cast<float>(x1), d = c;
    const float in0 = a, in1 = c;
    run(a, b, c, d);
    if (k >= settle) {
      sIn += in0 * std::sin(w * n) + in1 * std::sin(w * (n + 1));
      cIn += in0 * std::cos(w * n) + in1 * std::cos(w * (n + 1));
      sOut += a * std::sin(w * n) + c * std::sin(w * (n + 1));
      cOut += a * std::cos(w * n) + c * std::cos(w * (n + 1));
    }
    n += 2;
  }
  return std::sqrt(sOut * sOut + cOut * cOut) / std::sqrt(sIn * sIn + cIn * cIn);
}

inline double toDb(double g) { return 20.0 * std::log10(g); }

// Feeds `calls` calls of a hostile value (alternating sign per call when `alternate`),
// then `quiet` calls of silence. Returns false when any output was not finite, and
// stores the largest magnitude over the last 1000 silent calls in `tail`.
inline bool hostileThenSilence(const std::function<void(float&, float&, float&, float&)>& run, float value,
                               bool alternate, int calls, int quiet, double& tail) {
  bool finite = true;
  tail = 0;
  for (int k = 0; k < calls; ++k) {
    const float v = (alternate && (k & 1)) ? -value : value;
    float a = v, b = -v, c = v, d = -v;
    run(a, b, c, d);
    finite = finite && std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
  }
  for (int k = 0; k < quiet; ++k) {
    float a = 0, b = 0, c = 0, d = 0;
    run(a, b, c, d);
    finite = finite && std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
    if (k >= quiet - 1000) {
      tail = std::fmax(tail, std::fmax(std::fmax(std::fabs(a), std::fabs(b)), std::fmax(std::fabs(c), std::fabs(d))));
    }
  }
  return finite;
}

}  // namespace dsptest
