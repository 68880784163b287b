// The single-band distortion types (0..30) against a reference written from their laws in double
// precision. Each type runs at 44.1 and 96 kHz through sweeps in which one knob (or a pair) climbs
// across its range while the others rest where every knob is heard; every output of every call is
// compared with the reference. A knob the type reads must change the output; one it does not read
// must leave it bit for bit.
//
// The reference runs the stage's filters as the filter module's own objects (their responses are
// that module's business and tested there); what it checks is which knob and which signal reach
// them. Near a jump of a law (a truncation, a comparison) single and double precision may fall on
// different sides: where the reference misses, it tries its input moved by 1e-5 and its knobs by
// 2e-7 relative (about two units in the last place of a single) and carries on from the side
// that matches best.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <sstream>

#include "distortRefSingle.h"
#include "dsp/uDistort.h"

using namespace dsp;
using namespace distortRefSingle;

namespace {

using Knobs = std::array<float, 8>;  // Dist1..Dist8
constexpr double kPi = 3.14159265358979323846;

struct Model;
// d[1..8] are the smoothed Dist1..Dist8; x the four driven samples; y receives the shaped values.
using Shape = void (*)(Model&, const double* x, double* y, const double* d, bool force);

struct Model {
  Frame f;
  TFilter squarify, clipTone, tubeTone, lowPass, highPass;
  float lowFiCounter = 0.0f;
  double lowFiHeld[4] = {};
  Sequence noise;

  explicit Model(double rate) : f(rate) {
    const std::pair<TFilter*, int> filters[] = {
        {&squarify, 3}, {&clipTone, 4}, {&tubeTone, 5}, {&lowPass, 1}, {&highPass, 2}};
    for (auto [filter, type] : filters) {
      filter->init(static_cast<float>(rate));
      filter->setType(type, false);
      filter->reset();
    }
  }

  // One call; jx and jk (-1, 0, 1) move the driven input by 1e-5 and the shaping knobs by 2e-7 relative.
  void call(Shape shape, int type, const Knobs& raw, const float in[4], double out[4], int jx, int jk) {
    double x[4], y[4], d[9] = {};
    const bool force = f.enter(type, raw.data(), in, x);
    for (int j = 1; j <= 8; ++j) d[j] = f.knob[j - 1] * (j >= 3 ? 1.0 + 2e-7 * jk : 1.0);
    for (double& v : x) v *= 1.0 + 1e-5 * jx;
    shape(*this, x, y, d, force);
    f.leave(y, out);
  }
};

// ---- The laws of the simple types: one driven sample x to its shaped value.
double none(double x, const double*) { return x; }
double andLaw(double x, const double* d) {
  const double s = std::exp2(10 * d[3] + 6), r = 1 / (s + 0.00001);
  const int m = static_cast<int>(d[4] * s);
  return sign(x) * clamp((static_cast<int>(std::fabs(x) * s) & m) * r, 0, 1);
}
double atanLaw(double x, const double* d) {
  const double g = std::exp2(5 * d[3]) - 0.99;
  return std::fabs(x) > 0.001 ? std::atan(g * x) / std::atan(g) + 1e-15 : 0.0;
}
double clipper1(double x, const double* d) {
  return clamp(x, -std::exp2(-8 * d[3]), std::exp2(-8 * d[4])) * boost(d[6]);
}
double cos1(double x, const double* d) { return x * std::cos(kPi * (std::exp2(5 * d[3]) - 1) * x); }
double cos2(double x, const double* d) {
  const double a = std::fabs(x), gs = std::exp2(4 * d[3] - 1), ge = std::exp2(4 * d[4] - 1);
  return sign(x) *
         (std::fabs(a * std::cos(2 * kPi * ge * a)) + (1 - a) * std::fabs(std::sin(2 * kPi * gs * a)));
}
double cross1(double x, const double* d) {
  return sign(x) * std::fmax(std::fabs(x) - 0.2 * d[3] * d[3], 0.0);
}
double cross2(double x, const double* d) {
  const double lo = -0.95 * std::exp2(-8 * d[3]), hi = 0.95 * std::exp2(-8 * d[4]);
  const double cn = 1 - std::fabs(lo), cp = 1 - hi;
  if (x <= lo) return std::fabs(cn) <= 0.00001 ? x : (x - lo) / cn;
  if (x >= hi) return std::fabs(cp) <= 0.00001 ? x : (x - hi) / cp;
  return 0.0;
}
double foldover(double x, const double* d) {
  const double f = 1 - 0.99 * std::pow(d[3], 0.25), u = x - f;
  return (std::fabs(std::fabs(u - 4 * f * std::trunc(u * 0.25 / f)) - 2 * f) - f) / f;
}
double fuzz(double x, const double* d) {
  return x + (1 - x * x) * d[4] * d[4] * std::sin(kPi * std::exp2(8 * d[3]) * x);
}
double gapper(double x, const double* d) {
  const double v = std::fabs(x) * (std::exp2(4 * d[3]) - 1);
  return v - std::trunc(v) < 0.5 ? x : x * (1 - d[4]);
}
double hardDistort(double x, const double* d) {
  const double th = std::exp2((35 * d[3] - 40) / 6), s = std::exp2(d[4]), a = std::fabs(x);
  const double up = clamp(2 - 2 * d[5], 0, 1), down = clamp(2 * d[5], 0, 1);
  if (a <= 0.001) return x;
  const double c = clamp((a - th) / ((a - th) + s) + th, 0, 1);
  return x > 0 ? (1 - up) * x + c * up : (1 - down) * x - c * down;
}
double hardLimiter(double x, const double* d) {
  const double t = std::exp2(-8 * d[3]), A = 0.99 * d[4] * d[4] * d[4];
  return (std::fabs(x) > t ? sign(x) * t : x) * ((1 - A) + A / t);
}
double octave1(double x, const double* d) {
  const double A = 1 - d[3], B = 1 - d[4], t = 2 * std::fabs(x), f = t > 1 ? 2 - t : t;
  return x >= 0 ? x * B + f * (1 - B) : x * A - f * (1 - A);
}
double octave2(double x, const double* d) {
  const double v = std::fabs(x) * std::exp2(4 * d[3]), w = v - 2 * std::trunc(v / 2);
  return sign(x) * (w > 1 ? 2 - w : w);
}
double octave3(double x, const double* d) {
  const double a = std::fabs(x);
  const auto frac = [](double v) { return v - std::floor(v); };
  return sign(x) * (a * frac(a * std::exp2(4 * d[4])) + (1 - a) * frac(a * std::exp2(4 * d[3])));
}
double overdrive(double x, const double* d) {
  const double g = std::exp2(6 * d[3]) - 1, a = std::fabs(x), den = x * x + (g - 1) * a + 1;
  return std::fabs(den) > 0.00001 ? (g + a) * x / den : (g + a) * x;
}
double peakRemove(double x, const double* d) {
  const double s = 0.92 * d[3] * d[3] * d[3] + 0.05, e = d[4] * d[4] * d[4] * (1 - s), a = std::fabs(x);
  const double g = a < s ? clamp(a / s, 0, 1) : a < s + e ? clamp(1 - (a - s) / e, 0, 1) : 0.0;
  return (x * (1 - d[6]) + d[6] * d[5] * g * sign(x)) * boost(d[7]);
}
double power(double x, const double* d) {
  const double p = 0.95 * d[3];
  if (p < 0.0001) return x;
  const double c = 2 * p / (1 - p);
  return (1 + c) * x / (1 + c * std::fabs(x));
}
double rectify(double x, const double* d) { return x >= 0 ? x : (1 - 2 * d[3]) * x; }
double rez(double x, const double* d) {
  const double f = std::exp2(8 * d[3] - 4), a = std::fabs(x), m = std::fmin(a, 1 - a);
  return sign(x) * clamp((a + d[4] * m * std::cos(2 * kPi * f * m)) / (1 + m), 0, 1);
}
double saturate(double x, const double* d) { return softSat(x, std::exp2(4 * d[3])) + 1e-15; }
double softLimiter(double x, const double*) {
  const double a = std::fabs(x);
  return sign(x) * clamp((1.5 - 0.5 * a) * a, 0, 1);
}
double transient(double x, const double* d) {
  const double w = 0.92 * d[3] * d[3] * d[3] + 0.05, t = d[4], a = std::fabs(x);
  return a >= w && a <= 2 * w ? sign(x) * t * (1 - (a - t) / w) : 0.0;
}
double transientBoost(double x, const double* d) {
  const double w = 0.92 * d[3] * d[3] * d[3] + 0.05, B = d[4], a = std::fabs(x);
  const double lim = 2 * B / (B / (0.5 * w) + 1);
  return a < lim ? sign(x) * clamp((1 - std::fabs(2 * a / w - 1)) * B, 0, 1) : x;
}
double valve(double x, const double* d) {
  const double a = std::fabs(x), v = (std::exp2(5 * d[3]) - 0.99 + a) * a;
  return sign(x) * clamp(v / (v + 1), 0, 1);
}
double waveshaper(double x, const double* d) {
  const double g = x > 0 ? std::exp2(4 * d[3]) - 1 : std::exp2(4 * d[4]) - 1;
  return (x > 0 ? x : (1 - 2 * d[5]) * x) * std::cos(2 * kPi * g * x);
}

enum Dc { kNoDc, kDc, kAlwaysDc };

// A law, then the blocker, then the mix with Dist`mixKnob` (0: full wet), all times boost(Dist`boostKnob`).
template <double (*law)(double, const double*), int mixKnob, Dc dc = kNoDc, int boostKnob = 0>
void simple(Model& m, const double* x, double* y, const double* d, bool) {
  for (int i = 0; i < 4; ++i) {
    double v = law(x[i], d);
    if (dc != kNoDc) v = m.f.dcBlock(v, i & 1, dc == kAlwaysDc);
    y[i] = mixKnob ? mix(x[i], v, d[mixKnob]) : v;
    if (boostKnob) y[i] *= boost(d[boostKnob]);
  }
}

void filtered(TFilter& filter, double freq, double reso, float v[4], bool force) {
  filter.process(static_cast<float>(freq), static_cast<float>(reso), v[0], v[1], v[2], v[3], force);
}

void clipper2(Model& m, const double* x, double* y, const double* d, bool force) {
  const double w = clamp(2 * d[5], 0, 1), v = clamp(2 - 2 * d[5], 0, 1), t = std::exp2(-10 * d[4]);
  float s[4] = {float(x[0]), float(x[1]), float(x[2]), float(x[3])};
  filtered(m.clipTone, d[3], 0, s, force);
  for (float& e : s) e = static_cast<float>(clamp(e, -v * t, w * t));
  filtered(m.lowPass, d[6], 0, s, force);
  filtered(m.highPass, d[7], 0, s, force);
  for (int i = 0; i < 4; ++i) y[i] = s[i] * boost(d[8]);
}

void lowFi(Model& m, const double* x, double* y, const double* d, bool) {
  // The hold counter is a single, as the stage keeps it, and so is the period it is measured against.
  const double q = std::exp2(17 - 16 * std::sqrt(d[3])), n = d[5] * d[5] * d[5] * d[5];
  const float period = static_cast<float>(std::exp2(10 * d[4]) * m.f.rate / 44100.0);
  m.lowFiCounter += 1.0f;
  if (m.lowFiCounter >= period) {
    m.lowFiCounter -= period;
    for (int i = 0; i < 4; ++i) m.lowFiHeld[i] = std::trunc(x[i] * q) / q;
  }
  for (int i = 0; i < 4; ++i) {
    m.lowFiHeld[i] *= 1 - n + n * m.noise.next();
    y[i] = mix(x[i], m.lowFiHeld[i], d[6]);
  }
}

void squarify(Model& m, const double* x, double* y, const double* d, bool force) {
  const double cn = 1 - std::exp2(-10 * (1 - d[3])), cp = 1 - std::exp2(-10 * (1 - d[4]));
  float q[4] = {float(sign(x[0])), float(sign(x[1])), float(sign(x[2])), float(sign(x[3]))};
  filtered(m.squarify, d[5], 0, q, force);
  for (int i = 0; i < 4; ++i) {
    const double c = x[i] < 0 ? cn : cp;
    y[i] = x[i] > -0.001 && x[i] < 0.001 ? 0.0 : q[i] * (1 - c) + c * x[i];
  }
}

void tube(Model& m, const double* x, double* y, const double* d, bool force) {
  const double g = std::exp2(8 * d[5]) - 1, L = d[3], r = 1 - 2 * d[4];
  float s[4];
  for (int i = 0; i < 4; ++i) {
    double v = softSat(x[i], g);
    v = v < -1 ? -1 : std::fmin(v, 1.0) + 1e-15;
    if (v > L) v = L;
    if (v < 0) v = std::fmax(v * r, -L);
    s[i] = static_cast<float>(v);
  }
  filtered(m.tubeTone, d[6], d[7], s, force);
  for (int i = 0; i < 4; ++i) y[i] = m.f.dcBlock(s[i], i & 1);
}

// One row per type: its reference, the knobs it reads besides Dist1 and Dist2, the knob values
// where the sweeps rest (every one of them heard there), and the tolerance, relative to 1 + |want|.
struct Row {
  int type;
  Shape shape;
  const char* reads;
  Knobs rest;
  double tol;
};

// Tolerances: 1e-5 where only rounding separates the two; the table types read their sine or
// cosine at a truncated index (a step of 2^-18 of a cycle, more for large phases); the filtered
// types feed the filter single-precision values that differ in the last place.
const Row kRows[] = {
    {DIST_NONE, simple<none, 0>, "", {0.55f, 0.4f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_AND, simple<andLaw, 5>, "345", {0.55f, 0.4f, 0.2f, 0.6f, 0.8f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_ATAN, simple<atanLaw, 4>, "34", {0.55f, 0.4f, 0.4f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_CLIPPER_1,
     simple<clipper1, 5, kDc>,
     "3456",
     {0.55f, 0.4f, 0.2f, 0.1f, 0.8f, 0.55f, 0.3f, 0.3f},
     1e-5},
    {DIST_CLIPPER_2, clipper2, "345678", {0.55f, 0.4f, 0.3f, 0.2f, 0.4f, 0.7f, 0.3f, 0.6f}, 1e-4},
    {DIST_COS_1, simple<cos1, 4>, "34", {0.55f, 0.4f, 0.3f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-4},
    {DIST_COS_2, simple<cos2, 5, kDc>, "345", {0.55f, 0.4f, 0.3f, 0.4f, 0.8f, 0.3f, 0.3f, 0.3f}, 5e-4},
    {DIST_CROSS_1, simple<cross1, 4, kDc>, "34", {0.55f, 0.4f, 0.6f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_CROSS_2,
     simple<cross2, 5, kDc, 6>,
     "3456",
     {0.55f, 0.4f, 0.3f, 0.2f, 0.8f, 0.55f, 0.3f, 0.3f},
     1e-5},
    {DIST_FOLDOVER, simple<foldover, 4, kDc>, "34", {0.55f, 0.4f, 0.5f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 3e-4},
    {DIST_FUZZ, simple<fuzz, 0>, "34", {0.55f, 0.4f, 0.3f, 0.6f, 0.3f, 0.3f, 0.3f, 0.3f}, 5e-4},
    {DIST_GAPPER, simple<gapper, 0>, "34", {0.55f, 0.4f, 0.5f, 0.6f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_HARD_DISTORT,
     simple<hardDistort, 0, kAlwaysDc>,
     "345",
     {0.55f, 0.4f, 0.8f, 0.5f, 0.3f, 0.3f, 0.3f, 0.3f},
     1e-5},
    {DIST_HARD_LIMITER,
     simple<hardLimiter, 0>,
     "34",
     {0.55f, 0.4f, 0.2f, 0.7f, 0.3f, 0.3f, 0.3f, 0.3f},
     1e-5},
    {DIST_LOW_FI, lowFi, "3456", {0.55f, 0.4f, 0.7f, 0.2f, 0.4f, 0.8f, 0.3f, 0.3f}, 1e-5},
    {DIST_OCTAVE_1, simple<octave1, 0, kDc>, "34", {0.55f, 0.4f, 0.3f, 0.6f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_OCTAVE_2, simple<octave2, 4>, "34", {0.55f, 0.4f, 0.3f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_OCTAVE_3, simple<octave3, 5>, "345", {0.55f, 0.4f, 0.3f, 0.5f, 0.8f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_OVERDRIVE, simple<overdrive, 4>, "34", {0.55f, 0.4f, 0.3f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_PEAK_REMOVE,
     simple<peakRemove, 0>,
     "34567",
     {0.55f, 0.4f, 0.4f, 0.5f, 0.7f, 0.8f, 0.55f, 0.3f},
     1e-5},
    {DIST_POWER, simple<power, 4, kDc>, "34", {0.55f, 0.4f, 0.5f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_RECTIFY, simple<rectify, 4, kDc>, "34", {0.55f, 0.4f, 0.3f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_REZ, simple<rez, 5>, "345", {0.55f, 0.4f, 0.5f, 0.6f, 0.8f, 0.3f, 0.3f, 0.3f}, 1e-4},
    {DIST_SATURATE, simple<saturate, 4>, "34", {0.55f, 0.4f, 0.3f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_SOFT_LIMITER, simple<softLimiter, 3>, "3", {0.55f, 0.4f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_SQUARIFY, squarify, "345", {0.55f, 0.4f, 0.6f, 0.4f, 0.5f, 0.3f, 0.3f, 0.3f}, 1e-4},
    {DIST_TRANSIENT, simple<transient, 5>, "345", {0.55f, 0.4f, 0.5f, 0.4f, 0.8f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_TRANSIENT_BOOST,
     simple<transientBoost, 5>,
     "345",
     {0.55f, 0.4f, 0.5f, 0.6f, 0.8f, 0.3f, 0.3f, 0.3f},
     1e-5},
    {DIST_TUBE, tube, "34567", {0.55f, 0.4f, 0.7f, 0.3f, 0.3f, 0.4f, 0.5f, 0.3f}, 1e-4},
    {DIST_VALVE, simple<valve, 4>, "34", {0.55f, 0.4f, 0.3f, 0.8f, 0.3f, 0.3f, 0.3f, 0.3f}, 1e-5},
    {DIST_WAVESHAPER,
     simple<waveshaper, 6, kNoDc, 7>,
     "34567",
     {0.55f, 0.4f, 0.3f, 0.4f, 0.3f, 0.8f, 0.55f, 0.3f},
     5e-4},
};

// Where a knob climbs to, and how many calls it is held at each value while the stage follows it.
constexpr float kGrid[] = {0.0f, 0.0005f, 0.15f, 0.3f, 0.45f, 0.6f, 0.75f, 0.9f, 1.0f};
constexpr int kGridSize = sizeof kGrid / sizeof kGrid[0];
constexpr int kHold = 24;
constexpr int kCalls = kGridSize * kHold;

// Sample i of call n: values spread over +-0.85 in an order that never repeats, every seventh
// a thousand times smaller (the laws that treat |x| <= 0.001 on their own).
float input(int n, int i) {
  const int j = 4 * n + i;
  const double v = 1.7 * std::fmod(0.1 + j * 0.6180339887498949, 1.0) - 0.85;
  return static_cast<float>(j % 7 == 3 ? 0.001 * v : v);
}

struct Sweep {
  int knob = 0, pairedWith = 0;  // Dist numbers, 0 for none
  bool opposite = false;         // the paired knob falls while the first climbs
};

struct Outcome {
  double worst = 0.0;  // largest error relative to 1 + |want|
  std::string where;
  std::array<float, 4 * kCalls> out{};
};

Outcome runSweep(const Row& row, float rate, const Sweep& s) {
  Outcome o;
  auto stage = std::make_unique<TDistort>();
  RandSeed seed;
  stage->init(rate);
  stage->setRandSeed(&seed);
  const bool dcOn = rate < 50000.0f;  // the blocker's switch on at one rate, off at the other
  stage->setDC(dcOn);
  auto model = std::make_unique<Model>(rate);
  model->f.dcOn = dcOn;
  auto trial = std::make_unique<Model>(rate), chosen = std::make_unique<Model>(rate);
  // The reference as it stands first, then with its input and knobs moved (see the top).
  constexpr int kMoves[9][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
  for (int n = 0; n < kCalls; ++n) {
    const int g = n / kHold;
    Knobs k = row.rest;
    if (s.knob) k[s.knob - 1] = kGrid[g];
    if (s.pairedWith) k[s.pairedWith - 1] = kGrid[s.opposite ? kGridSize - 1 - g : g];
    float v[4] = {input(n, 0), input(n, 1), input(n, 2), input(n, 3)};
    const float in[4] = {v[0], v[1], v[2], v[3]};
    stage->process(v[0], v[1], v[2], v[3], 0.0f, 0.0f, row.type, k[0], k[1], k[2], k[3], k[4], k[5], k[6],
                   k[7], nullptr, nullptr);
    double err = 1e300;
    for (const auto& move : kMoves) {
      *trial = *model;
      double want[4];
      trial->call(row.shape, row.type, k, in, want, move[0], move[1]);
      double e = 0.0;
      for (int i = 0; i < 4; ++i) e = std::fmax(e, std::fabs(v[i] - want[i]) / (1.0 + std::fabs(want[i])));
      if (!(e == e)) e = 1e299;
      if (e < err) {
        err = e;
        std::swap(chosen, trial);
      }
      if (err <= row.tol) break;
    }
    std::swap(model, chosen);
    if (err > o.worst) {
      o.worst = err;
      std::ostringstream w;
      w << "call " << n << " knobs";
      for (float kv : k) w << ' ' << kv;
      o.where = w.str();
    }
    for (int i = 0; i < 4; ++i) o.out[4 * n + i] = v[i];
  }
  return o;
}

}  // namespace

TEST(DistortRefSingle, EveryKnobOfEveryTypeFollowsItsLaw) {
  for (const Row& row : kRows) {
    for (float rate : {44100.0f, 96000.0f}) {
      SCOPED_TRACE(testing::Message() << "type " << row.type << " at " << rate << " Hz");
      const Outcome rest = runSweep(row, rate, {});
      EXPECT_LE(rest.worst, row.tol) << "knobs at rest: " << rest.where;
      for (int knob = 1; knob <= 8; ++knob) {
        const Outcome o = runSweep(row, rate, {knob});
        EXPECT_LE(o.worst, row.tol) << "Dist" << knob << " climbing: " << o.where;
        double moved = 0.0;
        for (int i = 0; i < 4 * kCalls; ++i) moved = std::fmax(moved, std::fabs(o.out[i] - rest.out[i]));
        const bool reads = knob <= 2 || std::string(row.reads).find(char('0' + knob)) != std::string::npos;
        if (reads)
          EXPECT_GT(moved, 1e-3) << "Dist" << knob << " is not heard";
        else
          EXPECT_EQ(moved, 0.0) << "Dist" << knob << " is heard";
      }
      for (const Sweep& s : {Sweep{3, 4, false}, Sweep{1, 3, true}, Sweep{2, 5, true}}) {
        const Outcome o = runSweep(row, rate, s);
        EXPECT_LE(o.worst, row.tol) << "Dist" << s.knob << " with Dist" << s.pairedWith << ": " << o.where;
      }
    }
  }
}
