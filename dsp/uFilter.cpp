#include "dsp/uFilter.h"

#include <cmath>

namespace dsp {

namespace {

constexpr float DENORMAL = ANTI_DENORMAL;
constexpr float SQR2 = 1.4142135f;  // sqrt(2)
constexpr float SQRQ = 2.828427f;   // 2 sqrt(2)
constexpr float SAT = 0.001f;       // cubic saturation of the state-variable band state
constexpr float MAX_CUT = 0.2f;
}  // namespace

// Generated at build time from dsp/uTableFormulas.h (tools/gen_tables.cpp).
extern "C" __attribute__((visibility("hidden"))) const FilterTables grindleFilterTables;

const FilterTables& filterTables() { return grindleFilterTables; }

void TFilter::setGlobalArrays() { (void)filterTables(); }

TFilter::TFilter() noexcept : tables(&filterTables()) { init(44100.0f); }

void TFilter::clearStates() noexcept {
  chan = Channel{};
  zdfS1 = zdfS2 = zdfT1 = zdfT2 = splatLanes(0.0f);
}

void TFilter::init(float sampleRate) noexcept {
  rate2 = (sampleRate >= 1000.0f) ? 2.0f * sampleRate : 88200.0f;
  if (!(rate2 >= 1.0f)) rate2 = 1.0f;
  invRate2 = 1.0f / rate2;
  maxCut = MAX_CUT;
  minCut = 10.0f * invRate2;
  lastHz = 0.0f;
  lastReso = 0.0f;
  clearStates();
  fresh = true;
}

void TFilter::reset() noexcept {
  clearStates();
  fresh = true;
}

void TFilter::setType(int newType, bool zeroDelay) noexcept {
  const int t = zeroDelay ? newType + 5 : newType;
  if (t != type) {
    clearStates();
    fresh = true;
  }
  type = t;
}

void TFilter::updateCoefficients() noexcept {
  float fc = (hz + 0.001f) * invRate2 + DENORMAL;
  if (fc < minCut) fc = minCut;
  if (fc > maxCut) fc = maxCut;
  const float rr = reso < 0.9995f ? reso : 0.9995f;
  q = splatLanes(1.0f - rr + DENORMAL);
  const int i = filterTableIndex(fc);
  switch (type) {
    case kOnePoleLow:
    case kOnePoleHigh:
      cOne = 2.0f * fc;
      dOne = 1.0f - 2.0f * fc;
      break;
    case kSvfLow:
    case kSvfHigh:
    case kSvfBand:
      f = splatLanes(tables->sine[i]);
      break;
    case kLow24: {
      const float C = tables->lo24[i];
      const float n = 1.0f / (1.001f + SQRQ * C + C * C) + 2e-15f;
      b0 = splatLanes(n);
      b1 = splatLanes(2.0f * n + DENORMAL);
      b2 = splatLanes(n + DENORMAL);
      a1 = splatLanes(2.0f * (1.0f - C * C) * n + DENORMAL);
      a2 = splatLanes((1.0f - SQRQ * C + C * C) * n + DENORMAL);
      f = splatLanes(tables->sine[i]);
      break;
    }
    case kHigh24: {
      const float C = tables->hi24[i];
      const float n = 1.0f / (1.0001f + SQRQ * C + C * C) + DENORMAL;
      b0 = splatLanes(n);
      b1 = splatLanes(-2.0f * n + DENORMAL);
      b2 = splatLanes(n + DENORMAL);
      a1 = splatLanes(2.0f * (C * C - 1.0f) * n + DENORMAL);
      a2 = splatLanes((1.0f - SQRQ * C + C * C) * n + DENORMAL);
      f = splatLanes(tables->sine[i]);
      break;
    }
    case kZdfLow:
    case kZdfHigh:
    case kZdfBand:
    case kZdfLow24:
    case kZdfHigh24:
      R = tables->zQ[filterTableIndex(rr)];
      g = tables->zTan[i];
      dz = 1.0f / (g * g + 2.0f * R * g + 1.0f);
      onePlusG = 1.0f + g;
      twoRPlusG = 2.0f * R + g;
      break;
    default:
      break;
  }
}

namespace {

inline void svfStep(StereoLanes& low, StereoLanes& band, StereoLanes& high, StereoLanes f, StereoLanes q,
                    StereoLanes x) noexcept {
  const StereoLanes sat = band - SAT * band * band * band;
  high = x - low - q * sat;
  band = f * high + sat;
  low = f * band + low;
}

}  // namespace

// Inlined into its run: out of line, the channel state would go through memory on every call.
template <int T>
__attribute__((always_inline)) inline StereoLanes TFilter::step(Channel& ch, StereoLanes in) const noexcept {
  if constexpr (T == kOnePoleLow || T == kOnePoleHigh) {
    const StereoLanes x = in * 0.1f + DENORMAL;
    const StereoLanes y = dOne * ch.yPrev + cOne * x + DENORMAL;
    ch.yPrev = y;
    return (T == kOnePoleLow ? y : x - y) * 10.0f;
  } else if constexpr (T == kSvfLow || T == kSvfHigh || T == kSvfBand) {
    // The cubic band term runs away beyond about ±30, so the input is held to ±1 here
    // (±10 before the internal scaling).
    const StereoLanes x = laneClampPM1(in * 0.1f) + DENORMAL;
    svfStep(ch.low, ch.band, ch.high, f, q, x);
    const StereoLanes y = T == kSvfLow ? ch.low * SQR2 : (T == kSvfHigh ? ch.high * SQR2 : ch.band * 2.0f);
    return (y + DENORMAL) * 10.0f;
  } else {
    static_assert(T == kLow24 || T == kHigh24);
    const StereoLanes x = laneClampPM1(in * 0.1f) + DENORMAL;
    const StereoLanes v = b0 * x + b1 * ch.x1 + b2 * ch.x2 - a1 * ch.y1 - a2 * ch.y2;
    ch.x2 = ch.x1;
    ch.x1 = x;
    ch.y2 = ch.y1;
    ch.y1 = v;
    svfStep(ch.low, ch.band, ch.high, f, q, v);
    const StereoLanes y = T == kLow24 ? ch.low : ch.high;
    return (y + DENORMAL) * 10.0f;
  }
}

// The zero-delay responses for one channel (V = float) or for both channels side by side
// (V = StereoLanes); the arithmetic is the same either way.
template <int T, typename V>
V TFilter::zdfStep(V& s1, V& s2, V& t1, V& t2, V in) const noexcept {
  if constexpr (T == kZdfLow || T == kZdfHigh || T == kZdfBand) {
    const V x = in * 0.1f + DENORMAL;
    const V hp = (x - twoRPlusG * s1 - s2) * dz;
    const V bp = s1 + g * hp;
    const V lp = s2 + g * bp;
    s1 = bp + g * hp;
    s2 = lp + g * bp;
    const V y = T == kZdfLow ? lp : (T == kZdfHigh ? hp : 2.0f * bp);
    return (y + DENORMAL) * 10.0f;
  } else {
    static_assert(T == kZdfLow24 || T == kZdfHigh24);
    const V x = in * 0.1f + DENORMAL;
    // First stage with damping 0.5, then the resonant stage on its low or high output.
    const V hp1 = (x - onePlusG * t1 - t2) * dz;
    const V bp1 = t1 + g * hp1;
    const V lp1 = t2 + g * bp1;
    t1 = bp1 + g * hp1;
    t2 = lp1 + g * bp1;
    const V x2 = T == kZdfLow24 ? lp1 : hp1;
    const V hp = (x2 - twoRPlusG * s1 - s2) * dz;
    const V bp = s1 + g * hp;
    const V lp = s2 + g * bp;
    s1 = bp + g * hp;
    s2 = lp + g * bp;
    return ((T == kZdfLow24 ? lp : hp) + DENORMAL) * 10.0f;
  }
}

template <int T>
void TFilter::run(float& a, float& b, float& c, float& d) noexcept {
  if constexpr (T >= kZdfLow) {
    // Left and right in the lanes of one register: first sub-sample, then the second.
    StereoLanes s1 = zdfS1, s2 = zdfS2, t1 = zdfT1, t2 = zdfT2;
    const StereoLanes first = zdfStep<T>(s1, s2, t1, t2, stereoLanes(a, b));
    const StereoLanes second = zdfStep<T>(s1, s2, t1, t2, stereoLanes(c, d));
    a = first[0];
    b = first[1];
    c = second[0];
    d = second[1];
    zdfS1 = s1;
    zdfS2 = s2;
    zdfT1 = t1;
    zdfT2 = t2;
  } else {
    runScalar<T>(a, b, c, d);
  }
}

template <int T>
void TFilter::copyStates(Channel& to, const Channel& from) noexcept {
  if constexpr (T == kOnePoleLow || T == kOnePoleHigh) {
    to.yPrev = from.yPrev;
  } else {
    to.low = from.low;
    to.band = from.band;
    to.high = from.high;
    if constexpr (T == kLow24 || T == kHigh24) {
      to.x1 = from.x1;
      to.x2 = from.x2;
      to.y1 = from.y1;
      to.y2 = from.y2;
    }
  }
}

template <int T>
void TFilter::runScalar(float& a, float& b, float& c, float& d) noexcept {
  // Left and right side by side: first sub-sample, then the second. Only the states the type
  // steps are loaded and stored again.
  Channel ch;
  copyStates<T>(ch, chan);
  const StereoLanes first = step<T>(ch, stereoLanes(a, b));
  const StereoLanes second = step<T>(ch, stereoLanes(c, d));
  a = first[0];
  b = first[1];
  c = second[0];
  d = second[1];
  copyStates<T>(chan, ch);
}

void TFilter::process(float freq, float resoIn, float& a, float& b, float& c, float& d, bool force) noexcept {
  // The same two values as the last call give the same hz and reso, and so the same decision as
  // that call's: no update (it made its own update, or found none due). Settled knobs skip the
  // table read and the tests. (NaN never equals, and takes the full path.)
  if (fresh || force || freq != lastFreqIn || resoIn != lastResoIn) {
    lastFreqIn = freq;
    lastResoIn = resoIn;
    hz = tables->freqPow2[filterTableIndex(freq)];
    reso = 0.95f * clamp01(resoIn);
    bool update = fresh || force || std::fabs(hz - lastHz) > 1e-5f;
    if (!update) update = std::fabs(reso - lastReso) > 1e-5f;
    if (update) {
      lastHz = hz;
      lastReso = reso;
      updateCoefficients();
    }
  }
  switch (type) {
    case kOnePoleLow:
      run<kOnePoleLow>(a, b, c, d);
      break;
    case kOnePoleHigh:
      run<kOnePoleHigh>(a, b, c, d);
      break;
    case kSvfLow:
      run<kSvfLow>(a, b, c, d);
      break;
    case kSvfHigh:
      run<kSvfHigh>(a, b, c, d);
      break;
    case kSvfBand:
      run<kSvfBand>(a, b, c, d);
      break;
    case kLow24:
      run<kLow24>(a, b, c, d);
      break;
    case kHigh24:
      run<kHigh24>(a, b, c, d);
      break;
    case kZdfLow:
      run<kZdfLow>(a, b, c, d);
      break;
    case kZdfHigh:
      run<kZdfHigh>(a, b, c, d);
      break;
    case kZdfBand:
      run<kZdfBand>(a, b, c, d);
      break;
    case kZdfLow24:
      run<kZdfLow24>(a, b, c, d);
      break;
    case kZdfHigh24:
      run<kZdfHigh24>(a, b, c, d);
      break;
    default:
      break;  // any other type passes the input through
  }
  fresh = false;
}

void TFilter::processSplit(float freq, float resoIn, float& a, float& b, float& c, float& d, float& lowA,
                           float& lowB, float& lowC, float& lowD, float& highA, float& highB, float& highC,
                           float& highD, bool force) noexcept {
  hz = tables->freqPow2[filterTableIndex(freq)];
  lastFreqIn = __builtin_nanf("");  // process must not skip its tests after this hz
  if (fresh || force || std::fabs(hz - lastHz) > 1e-5f) {
    lastHz = hz;
    float fc = (0.001f + hz) * invRate2 + DENORMAL;
    const float floor = 50.0f * invRate2;
    if (fc < floor) fc = floor;
    if (fc > maxCut) fc = maxCut;
    f = splatLanes(tables->sine[filterTableIndex(fc)]);
    q = splatLanes(1.0f - clamp01(resoIn) + DENORMAL);
  }
  // Left and right side by side: first sub-sample, then the second.
  const StereoLanes in[2] = {stereoLanes(a, b), stereoLanes(c, d)};
  StereoLanes lo[2], hi[2];
  StereoLanes low = chan.low, band = chan.band, high = chan.high;
  for (int k = 0; k < 2; ++k) {
    const StereoLanes x = laneClampPM1(in[k] * 0.1f) + DENORMAL;
    svfStep(low, band, high, f, q, x);
    lo[k] = low * SQR2 * 10.0f + DENORMAL;
    hi[k] = high * SQR2 * 10.0f + DENORMAL;
  }
  chan.low = low;
  chan.band = band;
  chan.high = high;
  lowA = lo[0][0];
  lowB = lo[0][1];
  lowC = lo[1][0];
  lowD = lo[1][1];
  highA = hi[0][0];
  highB = hi[0][1];
  highC = hi[1][0];
  highD = hi[1][1];
  fresh = false;
}

}  // namespace dsp
