// The two-band, amp, cabinet, modulation and wave-shaper distortion types against a reference
// model: each type's shaping written out again here in double precision from its rules, with the
// frame around it (knob smoothing, drive, crossover, level compensation), and compared with the
// stage sample by sample while one knob at a time (and a few pairs) moves across its range, at
// 44.1 and 96 kHz. A knob the model says matters must move the stage's output; one it says is
// unused must leave it bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "dsp/uDistort.h"
#include "dsp/uDistortTables.h"
#include "support/expectValues.h"

using namespace dsp;

namespace {

using Knobs = std::array<float, 8>;  // Dist1..Dist8
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------------
// The reference model.

double sgn(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }
double clampd(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }
double mixd(double x, double y, double m) { return x * (1.0 - m) + m * y; }
double frac(double v) { return v - std::trunc(v); }
double softSat(double x, double g) {
  const double s = g * x + 1e-15;
  return (x + s) / (std::fabs(s) + 1.0);
}
double satClamp(double x, double g) {
  const double v = softSat(x, g);
  return v < -1.0 ? -1.0 : std::min(v, 1.0) + 1e-15;
}
// The shaping tables: entry i holds sin / cos of 2 (i / 2^18) 3.1415925.
double tableAngle(long long i) { return 2.0 * (static_cast<double>(i & 262143) / 262144.0) * 3.1415925; }
long long halfCycle(double p) { return static_cast<long long>(p * 131071.9921875 + 262144.0) & 262143; }
double tableSin(long long i) { return std::sin(tableAngle(i)); }
double tableCos(long long i) { return std::cos(tableAngle(i)); }

// Test curves for the wave-shaper types: neither symmetric nor alike, so that a swap of the two,
// a shifted point or a wrong interpolation all show.
struct Curves {
  float one[256], two[256];
  Curves() {
    for (int i = 0; i < 256; ++i) {
      const double u = i / 255.0 * 2.0 - 1.0;
      one[i] = static_cast<float>(std::tanh(2.5 * u) * 0.9 + 0.05 * u * u);
      two[i] = static_cast<float>(0.8 * std::sin(4.0 * u) - 0.1 * u);
    }
  }
};
const Curves kCurves;
double curveAt(const float* c, double x) {
  const double pos = clampd(x * 0.5 + 0.5, 0.0, 1.0) * 255.0;
  const int i = std::min(static_cast<int>(pos), 254);
  return c[i] + (c[i + 1] - c[i]) * (pos - i);
}

// Slack a single-precision implementation may take where a rule jumps: the model's value and the
// other side of the jump both stand when the deciding quantity is within `eps` of the edge.
struct Shaped {
  double v, slack = 0.0;
};

// One band rule of the two-band shapers: (sample, parameter knob, amount knob) -> value.
using BandRule = Shaped (*)(double x, double k, double amount);
enum class Amount { Mix, Inside };  // mixed with the amount knob, or the rule uses it itself

const BandRule kCos = [](double x, double k, double) {
  return Shaped{x * tableCos(halfCycle(x * (std::exp2(5 * k) - 1)))};
};
const BandRule kFoldover = [](double x, double k, double) {
  const double f = 1 - 0.99 * std::pow(k, 0.25), u = x - f;
  return Shaped{(std::fabs(std::fabs(u - 4 * f * std::trunc(u * 0.25 / f)) - 2 * f) - f) / f};
};
const BandRule kFuzz = [](double x, double k, double a) {
  return Shaped{x + (1 - x * x) * a * a * tableSin(halfCycle(x * std::exp2(8 * k)))};
};
const BandRule kGapper = [](double x, double k, double a) {
  const double v = std::fabs(x) * (std::exp2(4 * k) - 1), f = frac(v), eps = 2e-5 * (1 + v);
  const bool edge = std::fabs(f - 0.5) < eps || f < eps || f > 1 - eps;
  return Shaped{f < 0.5 ? x : x * (1 - a), edge ? std::fabs(x * a) : 0.0};
};
const BandRule kLimiter = [](double x, double k, double a) {
  const double t = std::exp2(-8 * k), A = 0.99 * a * a * a;
  return Shaped{(std::fabs(x) > t ? sgn(x) * t : x) * ((1 - A) + A / t)};
};
const BandRule kOctave = [](double x, double k, double) {
  const double v = std::fabs(x) * std::exp2(4 * k), w = v - 2 * std::trunc(v / 2);
  return Shaped{sgn(x) * (w > 1 ? 2 - w : w)};
};
const BandRule kOverdrive = [](double x, double k, double) {
  const double g = std::exp2(6 * k) - 1, a = std::fabs(x), d = x * x + (g - 1) * a + 1;
  return Shaped{std::fabs(d) > 1e-5 ? (g + a) * x / d : (g + a) * x};
};
const BandRule kPower = [](double x, double k, double) {
  const double p = 0.95 * k, c = 2 * p / (1 - p);
  return Shaped{p >= 1e-4 ? (1 + c) * x / (1 + c * std::fabs(x)) : x};
};
const BandRule kRectify = [](double x, double k, double) { return Shaped{x >= 0 ? x : (1 - 2 * k) * x}; };
const BandRule kSaturate = [](double x, double k, double) {
  return Shaped{softSat(x, std::exp2(4 * k)) + 1e-15};
};
const BandRule kValve = [](double x, double k, double) {
  const double a = std::fabs(x), v = (std::exp2(5 * k) - 0.99 + a) * a;
  return Shaped{sgn(x) * clampd(v / (v + 1), 0, 1)};
};
const BandRule kDualCurve = [](double x, double k, double) {
  return Shaped{k * curveAt(kCurves.two, x) + (1 - k) * curveAt(kCurves.one, x)};
};

// The oscillator waves of the modulation types, with slack where saw and square jump.
Shaped wave(int w, double p) {
  const double eps = 1e-5;
  const bool edge = p < eps || p > 1 - eps;
  if (w == 0) return {std::sin(6.2831855 * p)};
  if (w == 1) return {2 * p - 1, edge ? 2.0 : 0.0};
  if (w == 2) return {sgn(2 * p - 1), edge || std::fabs(p - 0.5) < eps ? 2.0 : 0.0};
  return {1 - 2 * std::fabs(1 - 2 * p)};
}

// The crossover (12 dB state-variable split) and the one-pole low-pass of the filter unit. The
// cutoff's table index is worked out in single precision, as the filter's declared quantities are,
// so that both sides read the same coefficient; the recursions run in double.
int cutoffIndex(float freq, float rate2, float floorHz) {
  const float hz =
      static_cast<float>(20.0 * std::exp2(10.0 * static_cast<int>(freq * 262143.0f) / 262143.98));
  const float inv = 1.0f / rate2;
  const float fc = std::clamp((hz + 0.001f) * inv + 1e-15f, floorHz * inv, 0.2f);
  return static_cast<int>(262143.0f * fc);
}
struct Crossover {
  double low[2] = {}, band[2] = {};
  void run(float freq, float rate2, const double* x, double* lo, double* hi) {
    const double f = 2 * std::sin(kPi * cutoffIndex(freq, rate2, 50.0f) / 262143.98) + 1e-15, q = 1 + 1e-15;
    for (int i = 0; i < 4; ++i) {
      double &l = low[i & 1], &b = band[i & 1];
      const double sat = b - 0.001 * b * b * b, h = (x[i] * 0.1 + 1e-15) - l - q * sat;
      b = f * h + sat;
      l = f * b + l;
      lo[i] = l * std::sqrt(2.0) * 10 + 1e-15;
      hi[i] = h * std::sqrt(2.0) * 10 + 1e-15;
    }
  }
};
struct OnePoleLow {
  double y[2] = {};
  void run(float freq, float rate2, double* v) {
    const double hz = 20.0 * std::exp2(10.0 * static_cast<int>(freq * 262143.0f) / 262143.98);
    const double fc = clampd((hz + 0.001) / rate2 + 1e-15, 10.0 / rate2, 0.2);
    for (int i = 0; i < 4; ++i) {
      y[i & 1] = (1 - 2 * fc) * y[i & 1] + 2 * fc * (v[i] * 0.1 + 1e-15) + 1e-15;
      v[i] = y[i & 1] * 10;
    }
  }
};

class Model;
// What a type's shaping sees: the driven samples, the bands and their gains, the smoothed and raw
// knobs (Dist1 = k[0]) and the side input; it writes four outputs and their slack.
struct Call {
  const double *x, *lo, *hi;
  double lowGain, highGain;
  const double* k;
  const float* raw;
  double sideLeft, sideRight;
  double* y;
  double* slack;
};
using ShapeFn = void (*)(Model&, const Call&);

class Model {
 public:
  Model(double rate, bool dc) : rate(rate), dcOn(dc), dcC(30.0 / (2 * rate)) {}

  // One call; `out` and `slack` receive the four outputs and how far each may stray.
  void process(ShapeFn shape, bool twoBand, int type, const Knobs& raw, const double* in, double sideL,
               double sideR, double* out, double* slack) {
    // Smoothed knobs are single precision, as the stage declares them.
    for (int i = 0; i < 8; ++i)
      smooth[i] = type == current ? 0.9f * smooth[i] + (1.0f - 0.9f) * raw[i] + 1e-15f : raw[i];
    current = type;
    double k[8];
    for (int i = 0; i < 8; ++i) k[i] = smooth[i];
    for (int c = 0; c < 2; ++c)
      inEnv[c] = std::max(0.001, 0.98 * inEnv[c] + 0.02 * std::fabs((in[c] + in[c + 2]) / 2));
    const double d = static_cast<int>(smooth[0] * 262143.984375f) / 262144.0;
    const double drive = d < 0.001 ? 0.0 : std::pow(10.0, (40 * d - 20) / 20);
    double x[4], lo[4], hi[4], y[4], s[4] = {};
    for (int i = 0; i < 4; ++i) x[i] = y[i] = lo[i] = hi[i] = in[i] * drive;
    double lg = 0, hg = 0;
    if (twoBand) {
      hg = clampd(2 * k[7], 0, 1);
      lg = clampd(2 - 2 * k[7], 0, 1);
      split.run(smooth[2], 2 * static_cast<float>(rate), x, lo, hi);
    }
    shape(*this, {x, lo, hi, lg, hg, k, raw.data(), sideL, sideR, y, s});
    const double n = k[1];
    for (int c = 0; c < 2; ++c) {
      outEnv[c] = std::max(0.001, 0.98 * outEnv[c] + 0.02 * std::fabs((y[c] + y[c + 2]) / 2));
      envSlack[c] = 0.98 * envSlack[c] + 0.02 * (s[c] + s[c + 2]) / 2;
      const double gain = n * inEnv[c] / outEnv[c] + (1 - n);
      const double low = outEnv[c] - envSlack[c];
      const double gainSlack = low > 0 ? n * inEnv[c] * (1 / low - 1 / outEnv[c]) : 1e9;
      lastGain[c] = gain;
      for (int i : {c, c + 2}) {
        out[i] = y[i] * gain;
        slack[i] = std::fabs(y[i]) * gainSlack + gain * s[i];
      }
    }
  }

  // The cabinet's 64-tap recursion parts single and double precision within a few dozen calls
  // (its poles crowd round z = 1), so the model feeds back the stage's own outputs and checks
  // each call's recursion rather than the stage's rounding.
  void follow(const float* stageOut) {
    for (int ch = 0; ch < 2 && cabFollow >= 0; ++ch) cabOut[ch][cabFollow] = stageOut[ch] / lastGain[ch];
    cabFollow = -1;
  }

  // DC blocker with state st.
  double dcBlock(double y, double& st) {
    st = st * (1 - dcC) + y * dcC + 1e-15;
    return dcOn ? y - st : y;
  }

  const double rate;
  const bool dcOn;
  const double dcC;
  float smooth[8] = {};
  int current = 0;
  double inEnv[2] = {1e-4, 1e-4}, outEnv[2] = {1e-4, 1e-4}, envSlack[2] = {};
  Crossover split;
  OnePoleLow lowPass;
  double dc[2] = {}, bandDc[4] = {};
  float lowFiCount[2] = {};  // the hold counters are single precision, as declared
  double lowFiHeld[2][4] = {};
  double ampRing[2][64] = {};
  unsigned ampWrite = 0;
  double cabIn[2][32] = {}, cabOut[2][32] = {};
  int cabWrite = 0;
  int cabFollow = -1;  // the output entry the last call wrote
  double lastGain[2] = {1, 1};
  double ringPhase = 0, ringBandPhase[2] = {}, fmPhase[2] = {}, fmEnv[4] = {};
};

void zeroOutputs(const Call& c) { std::fill(c.y, c.y + 4, 0.0); }

// A two-band shaper: the low band with Dist4/Dist5, the high band with Dist6/Dist7.
template <const BandRule* Rule, Amount A, bool Dc>
void twoBand(Model& m, const Call& c) {
  for (int i = 0; i < 4; ++i) {
    double v[2];
    for (int b = 0; b < 2; ++b) {
      const double in = b ? c.hi[i] : c.lo[i], k = c.k[3 + 2 * b], amount = c.k[4 + 2 * b];
      const Shaped s = (*Rule)(in, k, amount);
      const double shaped = Dc ? m.dcBlock(s.v, m.bandDc[2 * b + (i & 1)]) : s.v;
      v[b] = A == Amount::Mix ? mixd(in, shaped, amount) : shaped;
      c.slack[i] += s.slack * (b ? c.highGain : c.lowGain);
    }
    c.y[i] = v[0] * c.lowGain + v[1] * c.highGain;
  }
}

void twoBandLowFi(Model& m, const Call& c) {
  zeroOutputs(c);
  for (int b = 0; b < 2; ++b) {
    const double q = std::exp2(17 - 16 * std::sqrt(c.k[3 + 2 * b]));
    const float period = static_cast<float>(std::exp2(10 * c.k[4 + 2 * b]) * m.rate / 44100);
    const double gain = b ? c.highGain : c.lowGain;
    for (int i = 0; i < 4; ++i) {
      const double v = m.lowFiHeld[b][i] * q, n = std::trunc(v);
      c.y[i] += n / q * gain;
      if (std::fabs(v - std::round(v)) < 1e-4 * (1 + std::fabs(v))) c.slack[i] += gain / q;
    }
    m.lowFiCount[b] += 1.0f;
    if (m.lowFiCount[b] >= period) {
      m.lowFiCount[b] -= period;
      for (int i = 0; i < 4; ++i) m.lowFiHeld[b][i] = (b ? c.hi : c.lo)[i];
    }
  }
}

// Amp: model from raw Dist3, saturation 2^(8 Dist4) - 1, a 64-tap FIR on sub-sample 0 alone.
void amp(Model& m, const Call& c) {
  const int model = std::clamp(static_cast<int>(c.raw[2] * 5.99), 0, 5);
  for (int ch = 0; ch < 2; ++ch) {
    const double v = satClamp(c.x[ch], std::exp2(8 * c.k[3]) - 1);
    double out = v;
    if (model) {
      // The rows as laid out from the 272 stored taps: 64 each for models 1..4, 16 for model 5.
      const auto tap = [model](int t) {
        return model < 5 ? distort::AMP_COEFFICIENT_TABLE[(model - 1) * 64 + t]
                         : (t < 16 ? distort::AMP_COEFFICIENT_TABLE[256 + t] : 0.0f);
      };
      m.ampRing[ch][m.ampWrite % 64] = v;
      out = 1e-15;
      for (int t = 0; t < 64; ++t) out += tap(t) * m.ampRing[ch][(m.ampWrite + t) % 64];
    }
    c.y[ch] = c.y[ch + 2] = out;
  }
  if (model) ++m.ampWrite;
}

// Cabinet: model from raw Dist3, rows 4..7 above 80 kHz, 32 forward and 32 feedback taps.
void cabinet(Model& m, const Call& c) {
  const int model = std::clamp(static_cast<int>(c.raw[2] * 3.99), 0, 3);
  const int row = model + (m.rate > 80000 ? 4 : 0), w = m.cabWrite;
  for (int ch = 0; ch < 2; ++ch) {
    const double v = satClamp(c.x[ch], std::exp2(8 * c.k[3]) - 1);
    double out = v;
    if (model) {
      m.cabIn[ch][w] = v;
      out = 1e-15;
      for (int t = 0; t < 32; ++t)
        out += distort::CAB_AA[row][t] * m.cabIn[ch][(w - t + 32) % 32] +
               distort::CAB_BB[row][t] * m.cabOut[ch][(w - t + 32) % 32];
      m.cabOut[ch][w] = out;
    }
    c.y[ch] = c.y[ch + 2] = out;
  }
  if (model) {
    m.cabFollow = w;
    m.cabWrite = (w + 1) % 32;
  }
}

double increment(double k, double rate) { return std::exp2(10 * k) * 10 / rate; }
int waveOf(float raw) { return std::max(static_cast<int>(raw * 3.99), 0); }

// FM and PM: wave raw Dist3, Freq Dist4, LP Dist5, depth Dist6, Amount Dist7.
template <bool Pm>
void fmPm(Model& m, const Call& c) {
  const double inc = increment(c.k[3], m.rate), depth = std::exp2(4 * c.k[5]) - 1, amount = c.k[6];
  double mod[4] = {c.x[0], c.x[1], c.x[2], c.x[3]}, phase[4];
  m.lowPass.run(static_cast<float>(c.k[4]), 2 * static_cast<float>(m.rate), mod);
  for (int ch = 0; ch < 2; ++ch) {
    const double p = m.fmPhase[ch];
    if (Pm) {
      phase[ch] = frac(p + depth * mod[ch] + 10);
      const double p1 = frac(p + inc);
      phase[ch + 2] = frac(p1 + depth * mod[ch + 2] + 10);
      m.fmPhase[ch] = frac(p1 + inc);
    } else {
      phase[ch] = p;
      phase[ch + 2] = frac(p + inc * std::exp2(depth * mod[ch]));
      m.fmPhase[ch] = frac(phase[ch + 2] + inc * std::exp2(depth * mod[ch + 2]));
    }
  }
  for (int i = 0; i < 4; ++i) {
    double& e = m.fmEnv[i];
    const double a = std::fabs(mod[i]);
    e = a > e ? a : 0.98 * e + 0.02 * a;
    const Shaped w = wave(waveOf(c.raw[2]), phase[i]);
    c.y[i] = mixd(c.x[i], e * w.v, amount);
    c.slack[i] = e * w.slack * amount;
  }
}

// Ring Mod: wave raw Dist3, Freq Dist4, Amount Dist5; both channels alike.
void ring(Model& m, const Call& c) {
  const double inc = increment(c.k[3], m.rate), amount = c.k[4];
  const double p[2] = {m.ringPhase, frac(m.ringPhase + inc)};
  m.ringPhase = frac(p[1] + inc);
  for (int i = 0; i < 4; ++i) {
    const Shaped w = wave(waveOf(c.raw[2]), p[i >> 1]);
    c.y[i] = c.x[i] * (amount * w.v + (1 - amount));
    c.slack[i] = std::fabs(c.x[i]) * amount * w.slack;
  }
}

// Two Band Ring Mod: a sine per band, Freq and Amount Dist4/Dist5 (low) and Dist6/Dist7 (high).
void twoBandRing(Model& m, const Call& c) {
  double w[2][2];
  for (int b = 0; b < 2; ++b) {
    const double inc = increment(c.k[3 + 2 * b], m.rate), amount = c.k[4 + 2 * b], p0 = m.ringBandPhase[b];
    const double p1 = frac(p0 + inc);
    m.ringBandPhase[b] = frac(p1 + inc);
    w[b][0] = amount * std::sin(6.2831855 * p0) + (1 - amount);
    w[b][1] = amount * std::sin(6.2831855 * p1) + (1 - amount);
  }
  for (int i = 0; i < 4; ++i)
    c.y[i] = c.lo[i] * w[0][i >> 1] * c.lowGain + c.hi[i] * w[1][i >> 1] * c.highGain;
}

void sideRing(Model&, const Call& c) {
  const double a = c.k[2];
  for (int i = 0; i < 4; ++i) c.y[i] = c.x[i] * (((i & 1) ? c.sideRight : c.sideLeft) * a + (1 - a));
}

void dualWaveShaper(Model& m, const Call& c) {
  for (int i = 0; i < 4; ++i)
    c.y[i] = mixd(c.x[i], m.dcBlock(kDualCurve(c.x[i], c.k[2], 0).v, m.dc[i & 1]), c.k[3]);
}

// ---------------------------------------------------------------------------------------------
// The comparison.

// Two tones per channel (one each side of the usual split) and a small offset, at the stream's
// doubled rate; the side input a slower pair.
void signalAt(long n, double rate, double* in, double& sideL, double& sideR) {
  for (int sub = 0; sub < 2; ++sub) {
    const double t = (2.0 * n + sub) / (2 * rate), w = 2 * kPi * t;
    in[2 * sub] = 0.45 * std::sin(w * 300) + 0.25 * std::sin(w * 2900 + 1) + 0.04;
    in[2 * sub + 1] = 0.4 * std::sin(w * 410 + 0.5) + 0.2 * std::sin(w * 4700 + 2) - 0.03;
  }
  sideL = 0.7 * std::sin(2 * kPi * 150 * n / rate);
  sideR = 0.5 * std::cos(2 * kPi * 95 * n / rate);
}

struct Row {
  int type;
  ShapeFn shape;
  Knobs base;           // where the other knobs rest while one moves
  unsigned used;        // bit i: Dist(i + 1) changes the output
  double tol;           // per sample, relative to 1 + |model|
  float from3 = -1.0f;  // where a moving Dist3 starts, when not at its resting value
};

constexpr unsigned kAll = 0xFF;
constexpr float kUnity = 0.50000006f;  // Dist1 at the table entry of exactly 0 dB
constexpr Knobs kBands = {kUnity, 0, 0.45f, 0.6f, 0.7f, 0.4f, 0.8f, 0.5f};
constexpr Knobs kMods = {kUnity, 0, 0.3f, 0.5f, 0.55f, 0.3f, 0.8f, 0.5f};

const Row kRows[] = {
    {DIST_2B_COS, twoBand<&kCos, Amount::Mix, false>, kBands, kAll, 5e-4},
    {DIST_2B_FOLDOVER, twoBand<&kFoldover, Amount::Mix, true>, kBands, kAll, 1e-3},
    {DIST_2B_FUZZ, twoBand<&kFuzz, Amount::Inside, false>, kBands, kAll, 5e-3},
    {DIST_2B_GAPPER, twoBand<&kGapper, Amount::Inside, false>, kBands, kAll, 2e-5},
    {DIST_2B_LIMITER, twoBand<&kLimiter, Amount::Inside, false>, kBands, kAll, 1e-4},
    {DIST_2B_LOW_FI, twoBandLowFi, {kUnity, 0, 0.45f, 0.5f, 0.15f, 0.3f, 0.25f, 0.5f}, kAll, 1e-5},
    {DIST_2B_OCTAVE, twoBand<&kOctave, Amount::Mix, false>, kBands, kAll, 5e-5},
    {DIST_2B_OVERDRIVE, twoBand<&kOverdrive, Amount::Mix, false>, kBands, kAll, 3e-5},
    {DIST_2B_POWER, twoBand<&kPower, Amount::Mix, true>, kBands, kAll, 2e-5},
    {DIST_2B_RECTIFY, twoBand<&kRectify, Amount::Mix, true>, kBands, kAll, 1e-5},
    {DIST_2B_SATURATE, twoBand<&kSaturate, Amount::Mix, false>, kBands, kAll, 2e-5},
    {DIST_2B_VALVE, twoBand<&kValve, Amount::Mix, false>, kBands, kAll, 2e-5},
    {DIST_AMP, amp, {kUnity, 0, 0.3f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f}, 0x0F, 2e-6},
    {DIST_CABINET, cabinet, {kUnity, 0, 0.6f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f}, 0x0F, 2e-5, 0.0f},
    {DIST_FM, fmPm<false>, kMods, 0x7F, 3e-4},
    {DIST_PM, fmPm<true>, kMods, 0x7F, 2e-4},
    {DIST_RING, ring, {kUnity, 0, 0.3f, 0.5f, 0.8f, 0.5f, 0.5f, 0.5f}, 0x1F, 2e-4},
    {DIST_2B_RING, twoBandRing, {kUnity, 0, 0.45f, 0.5f, 0.8f, 0.7f, 0.6f, 0.5f}, kAll, 1e-3},
    {DIST_SIDE_RING, sideRing, {kUnity, 0, 0.7f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0x07, 3e-6},
    {DIST_DUAL_WAVESHAPER, dualWaveShaper, {kUnity, 0, 0.3f, 0.8f, 0.5f, 0.5f, 0.5f, 0.5f}, 0x0F, 2e-6},
    {DIST_2B_WAVESHAPER, twoBand<&kDualCurve, Amount::Mix, true>, kBands, kAll, 2e-5},
};

constexpr int kSettle = 100, kCalls = 300;  // calls at the resting knobs, calls in all
constexpr float kGrid[] = {0.0f, 0.1f, 0.3f, 0.5f, 0.7f, 0.9f, 1.0f};

struct Outcome {
  std::vector<double> stage, model;  // the four outputs of every call after kSettle
  double worst = 0;                  // largest error over the tolerance's scale
  double scale = 1;                  // 1 + the model's largest magnitude
};

// Runs the stage and the model side by side: the resting knobs for kSettle calls, then `moved`.
Outcome compare(const Row& row, double rate, const Knobs& moved, bool dc) {
  Knobs start = row.base;
  if (row.from3 >= 0 && moved[2] != row.base[2]) start[2] = row.from3;
  auto stage = std::make_unique<TDistort>();
  stage->init(static_cast<float>(rate));
  stage->setDC(dc);
  Model model(rate, dc);
  Outcome o;
  for (long n = 0; n < kCalls; ++n) {
    const Knobs& k = n < kSettle ? start : moved;
    double in[4], sl, sr, want[4], slack[4];
    signalAt(n, rate, in, sl, sr);
    float f[4] = {static_cast<float>(in[0]), static_cast<float>(in[1]), static_cast<float>(in[2]),
                  static_cast<float>(in[3])};
    for (double& v : in) v = static_cast<float>(v);
    stage->process(f[0], f[1], f[2], f[3], static_cast<float>(sl), static_cast<float>(sr), row.type, k.data(),
                   kCurves.one, kCurves.two);
    model.process(row.shape, isTwoBandType(row.type), row.type, k, in, static_cast<float>(sl),
                  static_cast<float>(sr), want, slack);
    model.follow(f);
    for (int i = 0; i < 4; ++i) {
      const double err = std::max(0.0, std::fabs(f[i] - want[i]) - slack[i]) / (1 + std::fabs(want[i]));
      o.worst = std::max(o.worst, err);
      o.scale = std::max(o.scale, 1 + std::fabs(want[i]));
      if (n < kSettle) continue;
      o.stage.push_back(f[i]);
      o.model.push_back(want[i]);
    }
  }
  return o;
}

double largestGap(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0;
  for (std::size_t i = 0; i < a.size(); ++i) d = std::max(d, std::fabs(a[i] - b[i]));
  return d;
}

}  // namespace

// Every type follows its model while each knob moves alone across its range (and in a few pairs),
// with the DC blocker on and off, at 44.1 and 96 kHz. Moving a knob the model says matters moves
// the output as far as the model says; moving one it does not use changes not a single bit.
TEST(DistortRefMulti, EveryTypeFollowsItsModelAcrossEachKnob) {
  struct Pair {
    int a, b;
    float va, vb;
  };
  const Pair pairs[] = {{0, 1, 0.9f, 1.0f}, {3, 4, 0.9f, 0.25f}, {5, 6, 0.15f, 1.0f}, {2, 7, 0.8f, 0.2f}};
  for (const Row& row : kRows) {
    for (double rate : {44100.0, 96000.0}) {
      SCOPED_TRACE(testing::Message() << "type " << row.type << " at " << rate << " Hz");
      const Outcome rest = compare(row, rate, row.base, true);
      EXPECT_LE(rest.worst, row.tol) << "resting knobs";
      EXPECT_LE(compare(row, rate, row.base, false).worst, row.tol) << "DC blocker off";
      for (const Pair& p : pairs) {
        Knobs k = row.base;
        k[p.a] = p.va;
        k[p.b] = p.vb;
        EXPECT_LE(compare(row, rate, k, true).worst, row.tol) << "Dist" << p.a + 1 << " with Dist" << p.b + 1;
      }
      for (int knob = 0; knob < 8; ++knob) {
        const bool used = (row.used >> knob) & 1;
        double reach = 0;
        for (float v : kGrid) {
          Knobs k = row.base;
          k[knob] = v;
          const Outcome o = compare(row, rate, k, true);
          EXPECT_LE(o.worst, row.tol) << "Dist" << knob + 1 << " = " << v;
          const double dm = largestGap(o.model, rest.model), dp = largestGap(o.stage, rest.stage);
          if (!used) {
            EXPECT_EQ(dp, 0.0) << "unused Dist" << knob + 1 << " = " << v;
          }
          if (used && dm > 20 * row.tol * o.scale) {
            EXPECT_GT(dp, 0.5 * dm) << "Dist" << knob + 1 << " = " << v;
          }
          reach = std::max(reach, dm / o.scale);
        }
        if (used) {
          EXPECT_GT(reach, 20 * row.tol) << "the grid never finds where Dist" << knob + 1 << " matters";
        }
      }
    }
  }
}

// The telling entries of the amp and cabinet responses, and the layout the models read them in:
// the fourth amp model's taps come in pairs, unit impulses stand in the "None" rows, and no
// running cabinet row feeds back the output of 32 calls ago.
TEST(DistortRefMulti, AmpAndCabinetTellingEntries) {
  using namespace dsp::distort;
  struct Entry {
    float got;
    double want;
  };
  const Entry entries[] = {{AMP_COEFFICIENT_TABLE[0], 0.00390625},
                           {AMP_COEFFICIENT_TABLE[1], -0.00390625},
                           {AMP_COEFFICIENT_TABLE[2], 0.0038757319562137127},
                           {AMP_COEFFICIENT_TABLE[3], -0.0509033203125},
                           {AMP_COEFFICIENT_TABLE[192], 9.155272709904239e-05},
                           {AMP_COEFFICIENT_TABLE[194], 0.0026245119515806437},
                           {AMP_COEFFICIENT_TABLE[256], 0.04132080078125},
                           {AMP_COEFFICIENT_TABLE[257], 0.0997314527630806},
                           {AMP_COEFFICIENT_TABLE[258], 0.1503296047449112},
                           {AMP_COEFFICIENT_TABLE[259], 0.1810303032398224},
                           {AMP_COEFFICIENT_TABLE[271], -0.03125},
                           {CAB_AA[1][0], 0.9525787830352783},
                           {CAB_AA[1][1], 0.42365333437919617},
                           {CAB_AA[1][2], -0.2993255853652954},
                           {CAB_BB[1][0], 0.0},
                           {CAB_BB[1][1], 0.37328773736953735},
                           {CAB_BB[1][2], -0.37911346554756165},
                           {CAB_AA[5][0], 0.636561930179596},
                           {CAB_AA[5][1], 0.5396552681922913},
                           {CAB_AA[5][2], 0.30694085359573364}};
  for (const Entry& e : entries) EXPECT_EQ(e.got, static_cast<float>(e.want)) << e.want;
  for (int j = 0; j < 32; ++j)
    EXPECT_EQ(AMP_COEFFICIENT_TABLE[192 + 2 * j], AMP_COEFFICIENT_TABLE[193 + 2 * j]) << j;
  for (int r = 0; r < 8; ++r) {
    for (int t = 0; t < 32; ++t) {
      if (r % 4 == 0) {
        EXPECT_VALUES({CAB_AA[r][t], t == 0 ? 1.0f : 0.0f}, {CAB_BB[r][t], t == 0 ? 1.0f : 0.0f});
      } else if (t == 0) {
        EXPECT_EQ(CAB_BB[r][t], 0.0f) << r;
      }
    }
  }
}
