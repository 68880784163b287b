#include "dsp/uDistort.h"

#include <cmath>
#include <cstring>
#include <new>
#include <type_traits>

#include "dsp/uDistortTables.h"

namespace dsp {

namespace distort {

// Generated at build time from dsp/uTableFormulas.h (tools/gen_tables.cpp).
extern "C" __attribute__((visibility("hidden"))) const Tables grindleDistortTables;

const Tables& tables() { return grindleDistortTables; }

}  // namespace distort

using namespace distort;

namespace {

// Filter types of the stage's own filters (internal filter numbering).
constexpr int SQUARIFY_FILTER_TYPE = TFilter::kSvfLow;
constexpr int CLIP_TONE_FILTER_TYPE = TFilter::kSvfHigh;
constexpr int TUBE_TONE_FILTER_TYPE = TFilter::kSvfBand;
constexpr int CROSSOVER_FILTER_TYPE = TFilter::kSvfLow;
constexpr int LOW_PASS_STAGE_TYPE = TFilter::kOnePoleLow;
constexpr int HIGH_PASS_STAGE_TYPE = TFilter::kOnePoleHigh;

constexpr float KNOB_SMOOTHING = 0.9f;
constexpr float ENVELOPE_KEEP = 0.98f;
constexpr float ENVELOPE_FLOOR = 0.001f;

// 60 dB above full scale.
constexpr float INPUT_LIMIT = 1000.0f;

// Holds samples to +-INPUT_LIMIT, lane by lane; NaN becomes 0.
inline StereoLanes laneSaneSample(StereoLanes v) noexcept {
  v = v == v ? v : splatLanes(0.0f);
  return laneMin(laneMax(v, splatLanes(-INPUT_LIMIT)), splatLanes(INPUT_LIMIT));
}

// Settings the types keep between calls (see TDistort::kept).
struct Boost {
  float value;
  explicit Boost(float k) noexcept : value(boost(k)) {}
};
struct OscillatorStep {
  float value;
  OscillatorStep(float k, float rate) noexcept : value(oscillatorIncrement(k, rate)) {}
};
struct FmDepth {
  float value;
  explicit FmDepth(float k) noexcept : value(std::exp2(4.0f * k) - 1.0f) {}
};

inline void runFilter(TFilter& f, float freq, float reso, float* v, bool force) noexcept {
  f.process(freq, reso, v[0], v[1], v[2], v[3], force);
}

}  // namespace

TDistort::TDistort() : tables(&distort::tables()) {
  TFilter::setGlobalArrays();
  init(44100.0f);
  initAmp();
  currentType = 0;
}

void TDistort::initFilters() noexcept {
  struct Entry {
    TFilter* f;
    int type;
  };
  const Entry filters[] = {
      {&squarifyFilter, SQUARIFY_FILTER_TYPE},  {&clipToneFilter, CLIP_TONE_FILTER_TYPE},
      {&tubeToneFilter, TUBE_TONE_FILTER_TYPE}, {&crossoverFilter, CROSSOVER_FILTER_TYPE},
      {&lowPassStage, LOW_PASS_STAGE_TYPE},     {&highPassStage, HIGH_PASS_STAGE_TYPE}};
  for (const Entry& e : filters) {
    e.f->init(sampleRate);
    e.f->setType(e.type, false);
    e.f->reset();
  }
}

void TDistort::resetState() noexcept {
  initFilters();
  freshStart = true;
  dcOn = true;
  ampWriteIndex = 0;
  std::memset(bandDcState, 0, sizeof bandDcState);
  std::memset(dcState, 0, sizeof dcState);
  std::memset(ampHistory, 0, sizeof ampHistory);
  cabWriteIndex = 0;
  std::memset(cabHistory, 0, sizeof cabHistory);
  cabRow = 0;
  lowFiCounter = 0.0f;
  std::memset(lowFiHeld, 0, sizeof lowFiHeld);
  std::memset(lowFiBandCounter, 0, sizeof lowFiBandCounter);
  std::memset(lowFiBandHeld, 0, sizeof lowFiBandHeld);
  ringPhase = 0.0f;
  std::memset(ringBandPhase, 0, sizeof ringBandPhase);
  std::memset(fmPhase, 0, sizeof fmPhase);
  std::memset(fmEnvelope, 0, sizeof fmEnvelope);
  dcCoefficient = 30.0f / doubleRate;
  dcKeep = 1.0f - dcCoefficient;
}

void TDistort::init(float rate) noexcept {
  if (!(rate >= 1000.0f) || !std::isfinite(rate)) rate = 44100.0f;
  sampleRate = rate;
  doubleRate = 2.0f * rate;
  currentType = 0;
  resetState();
  envelopes = splatLanes(0.0001f);
  smoothedKnobs[0] = smoothedKnobs[1] = splatLanes(0.0f);
}

void TDistort::reset() noexcept { resetState(); }

void TDistort::initAmp() noexcept {
  std::memset(ampCoefficients, 0, sizeof ampCoefficients);
  ampCoefficients[0][0] = 1.0f;
  for (int m = 1; m <= 4; ++m) {
    for (int k = 0; k < 64; ++k) ampCoefficients[m][k] = AMP_COEFFICIENT_TABLE[(m - 1) * 64 + k];
  }
  for (int k = 0; k < 16; ++k) ampCoefficients[5][k] = AMP_COEFFICIENT_TABLE[256 + k];
}

void TDistort::process(float& left0, float& right0, float& left1, float& right1, float sideLeft,
                       float sideRight, int type, const float* knobs, const float* curve1,
                       const float* curve2) noexcept {
  // The knobs arrive clamped from the engine; clamp again so that no value can leave 0..1.
  // Knobs 1..4 and 5..8 each fill one register; every lane takes the scalar steps.
  const StereoLanes raw03 = laneClamp01(loadLanes(knobs));
  const StereoLanes raw47 = laneClamp01(loadLanes(knobs + 4));
  float raw[8];
  __builtin_memcpy(raw, &raw03, sizeof raw03);
  __builtin_memcpy(raw + 4, &raw47, sizeof raw47);
  const bool validType = type >= 0 && type < NUM_DISTORT_TYPES;

  // 1. Knob smoothing; a new type starts from its knob values.
  bool force;
  if (type == currentType) {
    const float fresh = 1.0f - KNOB_SMOOTHING;
    smoothedKnobs[0] = KNOB_SMOOTHING * smoothedKnobs[0] + fresh * raw03 + ANTI_DENORMAL;
    smoothedKnobs[1] = KNOB_SMOOTHING * smoothedKnobs[1] + fresh * raw47 + ANTI_DENORMAL;
    force = freshStart;
  } else {
    smoothedKnobs[0] = raw03;
    smoothedKnobs[1] = raw47;
    force = true;
  }
  currentType = type;
  float k[8];
  __builtin_memcpy(k, smoothedKnobs, sizeof k);

  // A sample that is not a number would poison every recursion of the stage for good, and
  // absurd levels overflow the shapers' powers: hold the input to a sane range.
  const StereoLanes in = laneSaneSample(StereoLanes{left0, right0, left1, right1});

  // 2. Drive.
  const StereoLanes driven = in * tables->driveGain[tableIndex(k[0])];
  float x[4];
  __builtin_memcpy(x, &driven, sizeof x);

  // 3. Two-band split (the single-band types read the driven samples as both bands).
  float lo[4], hi[4];
  const float* low = x;
  const float* high = x;
  float lowGain = 0.0f, highGain = 0.0f;
  if (validType && isTwoBandType(type)) {
    highGain = clampf(2.0f * k[7], 0.0f, 1.0f);
    lowGain = clampf(2.0f - 2.0f * k[7], 0.0f, 1.0f);
    float a = x[0], b = x[1], c = x[2], d = x[3];
    crossoverFilter.processSplit(k[2], 0.0f, a, b, c, d, lo[0], lo[1], lo[2], lo[3], hi[0], hi[1], hi[2],
                                 hi[3], force);
    low = lo;
    high = hi;
  }

  // 4. The type's shaping.
  float y[4] = {x[0], x[1], x[2], x[3]};
  StereoLanes shaped;
  // The amp and cabinet models, the heaviest types, are reached without the general dispatch;
  // they store their four values at once, and one load takes them back.
  if (type == DIST_AMP) {
    shapeAmp(x, y, k, raw);
    shaped = loadLanes(y);
  } else if (type == DIST_CABINET) {
    shapeCabinet(x, y, k, raw);
    shaped = loadLanes(y);
  } else {
    if (validType && type != DIST_NONE)
      shape(type, x, low, high, lowGain, highGain, y, k, raw, sideLeft, sideRight, curve1, curve2, force);
      // Four scalar loads: the other shapers store y one value at a time, and a 16-byte load of four
      // such stores would wait for them to retire instead of taking their values.
#if defined(__SSE__) || defined(__x86_64__)
    const __m128 y01 = _mm_unpacklo_ps(_mm_load_ss(y), _mm_load_ss(y + 1));
    const __m128 y23 = _mm_unpacklo_ps(_mm_load_ss(y + 2), _mm_load_ss(y + 3));
    shaped = reinterpret_cast<StereoLanes>(_mm_movelh_ps(y01, y23));
#else
    shaped = loadLanes(y);
#endif
  }

  // 5. Input level (before the drive) and output level, in the lanes {in L, in R, out L, out R}:
  // the mean of the two sub-samples of each channel.
  const StereoLanes first = __builtin_shufflevector(in, shaped, 0, 1, 4, 5);
  const StereoLanes second = __builtin_shufflevector(in, shaped, 2, 3, 6, 7);
  const float envNew = 1.0f - ENVELOPE_KEEP;
  StereoLanes env = ENVELOPE_KEEP * envelopes + envNew * laneAbs((first + second) / 2.0f);
  env = laneMax(env, splatLanes(ENVELOPE_FLOOR));  // the floor for a NaN too
  envelopes = env;

  // 6. Level compensation ("Norm"): n in / out + (1 - n) per channel.
  const float n = k[1];
  const StereoLanes ratio = n * env / __builtin_shufflevector(env, env, 2, 3, 2, 3);
  const StereoLanes gain = ratio + (1.0f - n);
  const StereoLanes out = shaped * __builtin_shufflevector(gain, gain, 0, 1, 0, 1);
  left0 = out[0];
  right0 = out[1];
  left1 = out[2];
  right1 = out[3];

  freshStart = false;
}

template <class Rule, class... Knobs>
__attribute__((always_inline)) inline const Rule& TDistort::kept(int slot, Knobs... knobs) noexcept {
  static_assert(sizeof...(Knobs) <= 5 && sizeof(Rule) <= sizeof(KeptSlot::rule) && alignof(Rule) <= 16);
  static_assert(std::is_trivially_copyable_v<Rule> && std::is_trivially_destructible_v<Rule>);
  KeptSlot& s = keptSlots[slot];
  const float key[] = {static_cast<float>(knobs)...};
  bool same = s.type == currentType;
  for (std::size_t i = 0; i < sizeof...(Knobs); ++i) same = same && key[i] == s.key[i];
  if (!same) {
    s.type = currentType;
    for (std::size_t i = 0; i < sizeof...(Knobs); ++i) s.key[i] = key[i];
    return *::new (s.rule) Rule(knobs...);
  }
  return *std::launder(reinterpret_cast<const Rule*>(s.rule));
}

void TDistort::shape(int type, const float* x, const float* lo, const float* hi, float lowGain,
                     float highGain, float* y, const float* k, const float* raw, float sideLeft,
                     float sideRight, const float* curve1, const float* curve2, bool force) noexcept {
  const float dcC = dcCoefficient, dcK = dcKeep;
  const bool dc = dcOn;

  // The rule's value of src[i]; a rule may also come as its four values, worked out side by side.
  auto ruleOf = [](const auto& rule, const float* src, int i) {
    if constexpr (std::is_same_v<std::decay_t<decltype(rule)>, StereoLanes>)
      return rule[i];
    else
      return rule(src[i]);
  };
  // Rule mixed with amount m.
  auto mixed = [&](const auto& rule, float m) {
    for (int i = 0; i < 4; ++i) y[i] = mix(x[i], rule(x[i]), m);
  };
  // Rule, DC blocker (left/right state), mixed with amount m.
  auto mixedDc = [&](const auto& rule, float m) {
    for (int i = 0; i < 4; ++i)
      y[i] = mix(x[i], dcBlock(ruleOf(rule, x, i), dcState[i & 1], dcC, dcK, dc), m);
  };
  auto wet = [&](const auto& rule) {
    for (int i = 0; i < 4; ++i) y[i] = rule(x[i]);
  };
  // Two-band forms: each band with its own rule; amounts lm/hm.
  auto bandsMixed = [&](const auto& lowRule, const auto& highRule, float lm, float hm) {
    for (int i = 0; i < 4; ++i) {
      y[i] = mix(lo[i], lowRule(lo[i]), lm) * lowGain + mix(hi[i], highRule(hi[i]), hm) * highGain;
    }
  };
  auto bandsMixedDc = [&](const auto& lowRule, const auto& highRule, float lm, float hm) {
    for (int i = 0; i < 4; ++i) {
      const float yl = dcBlock(ruleOf(lowRule, lo, i), bandDcState[i & 1], dcC, dcK, dc);
      const float yh = dcBlock(ruleOf(highRule, hi, i), bandDcState[2 + (i & 1)], dcC, dcK, dc);
      y[i] = mix(lo[i], yl, lm) * lowGain + mix(hi[i], yh, hm) * highGain;
    }
  };
  auto bandsWet = [&](const auto& lowRule, const auto& highRule) {
    for (int i = 0; i < 4; ++i) y[i] = lowRule(lo[i]) * lowGain + highRule(hi[i]) * highGain;
  };

  switch (type) {
    case DIST_NONE:
      break;
    case DIST_AND:
      mixed(kept<AndRule>(0, k[2], k[3]), k[4]);
      break;
    case DIST_ATAN:
      mixed(kept<AtanRule>(0, k[2]), k[3]);
      break;
    case DIST_CLIPPER_1:
      mixedDc(kept<Clipper1Rule>(0, k[2], k[3], k[5]), k[4]);
      break;
    case DIST_CLIPPER_2: {
      float v[4] = {x[0], x[1], x[2], x[3]};
      runFilter(clipToneFilter, k[2], 0.0f, v, force);
      const Clipper2Clip& clip = kept<Clipper2Clip>(0, k[3], k[4]);
      for (float& s : v) s = clip(s);
      runFilter(lowPassStage, k[5], 0.0f, v, force);
      runFilter(highPassStage, k[6], 0.0f, v, force);
      const float b = kept<Boost>(2, k[7]).value;
      for (int i = 0; i < 4; ++i) y[i] = v[i] * b;
      break;
    }
    case DIST_COS_1:
      mixed(kept<Cos1Rule>(0, k[2]), k[3]);
      break;
    case DIST_COS_2:
      mixedDc(kept<Cos2Rule>(0, k[2], k[3]), k[4]);
      break;
    case DIST_CROSS_1:
      mixedDc(Cross1Rule(k[2]), k[3]);
      break;
    case DIST_CROSS_2: {
      const Cross2Rule& rule = kept<Cross2Rule>(0, k[2], k[3]);
      const float b = kept<Boost>(2, k[5]).value;
      for (int i = 0; i < 4; ++i) {
        y[i] = mix(x[i], dcBlock(rule(x[i]), dcState[i & 1], dcC, dcK, dc), k[4]) * b;
      }
      break;
    }
    case DIST_FOLDOVER:
      mixedDc(kept<FoldoverRule>(0, k[2]), k[3]);
      break;
    case DIST_FUZZ:
      wet(kept<FuzzRule>(0, k[2], k[3]));
      break;
    case DIST_GAPPER:
      wet(kept<GapperRule>(0, k[2], k[3]));
      break;
    case DIST_HARD_DISTORT: {
      // This type always removes DC, whatever the switch says.
      const HardDistortRule& rule = kept<HardDistortRule>(0, k[2], k[3], k[4]);
      for (int i = 0; i < 4; ++i) y[i] = dcBlock(rule(x[i]), dcState[i & 1], dcC, dcK, true);
      break;
    }
    case DIST_HARD_LIMITER:
      wet(kept<HardLimiterRule>(0, k[2], k[3]));
      break;
    case DIST_LOW_FI:
      shapeLowFi(x, y, k);
      break;
    case DIST_OCTAVE_1: {
      const Octave1Rule rule(k[2], k[3]);
      for (int i = 0; i < 4; ++i) y[i] = dcBlock(rule(x[i]), dcState[i & 1], dcC, dcK, dc);
      break;
    }
    case DIST_OCTAVE_2:
      mixed(kept<Octave2Rule>(0, k[2]), k[3]);
      break;
    case DIST_OCTAVE_3:
      mixed(kept<Octave3Rule>(0, k[2], k[3]), k[4]);
      break;
    case DIST_OVERDRIVE:
      mixed(kept<OverdriveRule>(0, k[2]), k[3]);
      break;
    case DIST_PEAK_REMOVE:
      wet(kept<PeakRemoveRule>(0, k[2], k[3], k[4], k[5], k[6]));
      break;
    case DIST_POWER:
      mixedDc(PowerRule(k[2]), k[3]);
      break;
    case DIST_RECTIFY:
      mixedDc(RectifyRule(k[2]), k[3]);
      break;
    case DIST_REZ:
      mixed(kept<RezRule>(0, k[2], k[3]), k[4]);
      break;
    case DIST_SATURATE:
      mixed(kept<SaturateRule>(0, k[2]), k[3]);
      break;
    case DIST_SOFT_LIMITER:
      mixed(softLimiter, k[2]);
      break;
    case DIST_SQUARIFY: {
      float q[4] = {sign(x[0]), sign(x[1]), sign(x[2]), sign(x[3])};
      runFilter(squarifyFilter, k[4], 0.0f, q, force);
      const SquarifyRule& rule = kept<SquarifyRule>(0, k[2], k[3]);
      for (int i = 0; i < 4; ++i) y[i] = rule(x[i], q[i]);
      break;
    }
    case DIST_TRANSIENT:
      mixed(TransientRule(k[2], k[3]), k[4]);
      break;
    case DIST_TRANSIENT_BOOST:
      mixed(TransientBoostRule(k[2], k[3]), k[4]);
      break;
    case DIST_TUBE: {
      const TubeRule& rule = kept<TubeRule>(0, k[2], k[3], k[4]);
      float v[4];
      for (int i = 0; i < 4; ++i) v[i] = rule(x[i]);
      runFilter(tubeToneFilter, k[5], k[6], v, force);
      for (int i = 0; i < 4; ++i) y[i] = dcBlock(v[i], dcState[i & 1], dcC, dcK, dc);
      break;
    }
    case DIST_VALVE:
      mixed(kept<ValveRule>(0, k[2]), k[3]);
      break;
    case DIST_WAVESHAPER: {
      const WaveshaperRule& rule = kept<WaveshaperRule>(0, k[2], k[3], k[4]);
      const float b = kept<Boost>(2, k[6]).value;
      for (int i = 0; i < 4; ++i) y[i] = mix(x[i], rule(x[i]), k[5]) * b;
      break;
    }

    case DIST_2B_COS:
      bandsMixed(kept<Cos1Rule>(0, k[3]), kept<Cos1Rule>(1, k[5]), k[4], k[6]);
      break;
    case DIST_2B_FOLDOVER:
      bandsMixedDc(kept<FoldoverRule>(0, k[3]), kept<FoldoverRule>(1, k[5]), k[4], k[6]);
      break;
    case DIST_2B_FUZZ:
      bandsWet(kept<FuzzRule>(0, k[3], k[4]), kept<FuzzRule>(1, k[5], k[6]));
      break;
    case DIST_2B_GAPPER:
      bandsWet(kept<GapperRule>(0, k[3], k[4]), kept<GapperRule>(1, k[5], k[6]));
      break;
    case DIST_2B_LIMITER:
      bandsWet(kept<HardLimiterRule>(0, k[3], k[4]), kept<HardLimiterRule>(1, k[5], k[6]));
      break;
    case DIST_2B_LOW_FI:
      shapeTwoBandLowFi(lo, hi, lowGain, highGain, y, k);
      break;
    case DIST_2B_OCTAVE:
      bandsMixed(kept<Octave2Rule>(0, k[3]), kept<Octave2Rule>(1, k[5]), k[4], k[6]);
      break;
    case DIST_2B_OVERDRIVE:
      bandsMixed(kept<OverdriveRule>(0, k[3]), kept<OverdriveRule>(1, k[5]), k[4], k[6]);
      break;
    case DIST_2B_POWER:
      bandsMixedDc(PowerRule(k[3]), PowerRule(k[5]), k[4], k[6]);
      break;
    case DIST_2B_RECTIFY:
      bandsMixedDc(RectifyRule(k[3]), RectifyRule(k[5]), k[4], k[6]);
      break;
    case DIST_2B_SATURATE:
      bandsMixed(kept<SaturateRule>(0, k[3]), kept<SaturateRule>(1, k[5]), k[4], k[6]);
      break;
    case DIST_2B_VALVE:
      bandsMixed(kept<ValveRule>(0, k[3]), kept<ValveRule>(1, k[5]), k[4], k[6]);
      break;

    case DIST_AMP:
      shapeAmp(x, y, k, raw);
      break;
    case DIST_CABINET:
      shapeCabinet(x, y, k, raw);
      break;
    case DIST_FM:
    case DIST_PM:
      shapeFmPm(type == DIST_PM, x, y, k, raw, force);
      break;
    case DIST_RING: {
      const int wave = distortWaveIndex(raw[2]);
      const float inc = kept<OscillatorStep>(2, k[3], sampleRate).value;
      const float p0 = ringPhase;
      const float p1 = wrapPhase(p0 + inc);
      ringPhase = wrapPhase(p1 + inc);
      const float amount = k[4];
      const float w0 = amount * oscillator(wave, p0) + (1.0f - amount);
      const float w1 = amount * oscillator(wave, p1) + (1.0f - amount);
      y[0] = x[0] * w0;
      y[1] = x[1] * w0;
      y[2] = x[2] * w1;
      y[3] = x[3] * w1;
      break;
    }
    case DIST_2B_RING: {
      float w[2][2];  // band, sub-sample
      for (int b = 0; b < 2; ++b) {
        const float inc = kept<OscillatorStep>(2 + b, k[3 + 2 * b], sampleRate).value;
        const float amount = k[4 + 2 * b];
        const float p0 = ringBandPhase[b];
        const float p1 = wrapPhase(p0 + inc);
        ringBandPhase[b] = wrapPhase(p1 + inc);
        w[b][0] = amount * oscillator(WAVE_SINE, p0) + (1.0f - amount);
        w[b][1] = amount * oscillator(WAVE_SINE, p1) + (1.0f - amount);
      }
      for (int i = 0; i < 4; ++i) y[i] = lo[i] * w[0][i >> 1] * lowGain + hi[i] * w[1][i >> 1] * highGain;
      break;
    }
    case DIST_SIDE_RING: {
      const float amount = k[2];
      // The side input is held to the same sane range as the main input.
      const StereoLanes side = laneSaneSample(stereoLanes(sideLeft, sideRight));
      const float wl = side[0] * amount + (1.0f - amount);
      const float wr = side[1] * amount + (1.0f - amount);
      y[0] = x[0] * wl;
      y[1] = x[1] * wr;
      y[2] = x[2] * wl;
      y[3] = x[3] * wr;
      break;
    }
    case DIST_DUAL_WAVESHAPER: {
      const float blend = k[2];
      mixedDc(laneDualCurve(curve1, curve2, blend, loadLanes(x)), k[3]);
      break;
    }
    case DIST_2B_WAVESHAPER: {
      const float bl = k[3], bh = k[5];
      bandsMixedDc(laneDualCurve(curve1, curve2, bl, loadLanes(lo)),
                   laneDualCurve(curve1, curve2, bh, loadLanes(hi)), k[4], k[6]);
      break;
    }
    default:
      break;
  }
}

void TDistort::shapeLowFi(const float* x, float* y, const float* k) noexcept {
  const LowFiParams& p = kept<LowFiParams>(0, k[2], k[3], k[4], sampleRate);
  lowFiCounter += 1.0f;
  if (lowFiCounter >= p.period) {
    lowFiCounter -= p.period;
    // A period under one call (low rates) would let the counter grow without end.
    if (lowFiCounter >= p.period) lowFiCounter = 0.0f;
    for (int i = 0; i < 4; ++i) lowFiHeld[i] = p.quantise(x[i]);
  }
  RandSeed& rs = seed();
  for (int i = 0; i < 4; ++i) {
    lowFiHeld[i] *= 1.0f - p.noise + p.noise * rs.next();
    y[i] = mix(x[i], lowFiHeld[i], k[5]);
  }
}

void TDistort::shapeTwoBandLowFi(const float* lo, const float* hi, float lowGain, float highGain, float* y,
                                 const float* k) noexcept {
  const float* band[2] = {lo, hi};
  float out[2][4];
  for (int b = 0; b < 2; ++b) {
    const LowFiParams& p = kept<LowFiParams>(b, k[3 + 2 * b], k[4 + 2 * b], 0.0f, sampleRate);
    for (int i = 0; i < 4; ++i) out[b][i] = p.quantise(lowFiBandHeld[b][i]);
    lowFiBandCounter[b] += 1.0f;
    if (lowFiBandCounter[b] >= p.period) {
      lowFiBandCounter[b] -= p.period;
      if (lowFiBandCounter[b] >= p.period) lowFiBandCounter[b] = 0.0f;
      for (int i = 0; i < 4; ++i) lowFiBandHeld[b][i] = band[b][i];
    }
  }
  for (int i = 0; i < 4; ++i) y[i] = out[0][i] * lowGain + out[1][i] * highGain;
}

float TDistort::saturationGain(float knob) noexcept {
  // Worked out again only when the smoothed knob moves (it settles on a fixed value).
  if (!(knob == satKnob)) {
    satKnob = knob;
    satGain = std::exp2(8.0f * knob) - 1.0f;
  }
  return satGain;
}

void TDistort::shapeAmp(const float* x, float* y, const float* k, const float* raw) noexcept {
  const int model = ampModelIndex(raw[2]);
  const float g = saturationGain(k[3]);
  const uint32_t pos = ampWriteIndex & 63u;
  float o[2];
  for (int ch = 0; ch < 2; ++ch) {
    const float v = satClamp(x[ch], g);
    float out = v;
    if (model != 0) {
      float* ring = ampHistory[ch];
      const float* c = ampCoefficients[model];
      // Tap 0 weighs the newest value, tap k the one written 64 - k calls earlier. The taps are
      // summed before the value is stored (see ampTapSum).
      out = ampTapSum(c, ring + pos, v);
      ring[pos] = ring[pos + 64] = v;
    }
    o[ch] = out;
  }
  // One 16-byte store: the caller reads the four values back as one vector, which four scalar
  // stores would make wait for their retirement.
  const StereoLanes four = {o[0], o[1], o[0], o[1]};
  __builtin_memcpy(y, &four, sizeof four);
  if (model != 0) ++ampWriteIndex;  // once per call, shared by both channels
}

void TDistort::shapeCabinet(const float* x, float* y, const float* k, const float* raw) noexcept {
  const int model = cabinetModelIndex(raw[2]);
  const int row = model + (sampleRate > 80000.0f ? 4 : 0);
  const float g = saturationGain(k[3]);
  if (model != 0 && row != cabRow) {
    // One response's history fed into another's feedback rings up a loud transient
    // (the low-frequency poles sit close to the unit circle): start the new one clean.
    std::memset(cabHistory, 0, sizeof cabHistory);
    cabWriteIndex = 0;
    cabRow = row;
    for (int t = 0; t < 32; t += 2)
      cabTaps[t / 2] = StereoLanes{CAB_AA[row][t], CAB_AA[row][t + 1], CAB_BB[row][t], CAB_BB[row][t + 1]};
  }
  const uint32_t w = (cabWriteIndex - 1u) & 31u;
  float o[2];
  for (int ch = 0; ch < 2; ++ch) {
    const float v = satClamp(x[ch], g);
    float out = v;
    if (model != 0) {
      float* in = cabHistory[2 * ch];
      float* hist = cabHistory[2 * ch + 1];
      in[w] = in[w + 32] = v;
      // Input tap t reads what was written t calls earlier; the output tap 0 reads the entry
      // about to be replaced (32 calls old).
      const float* xi = in + w;
      const float* yi = hist + w;
      // Four sums in the four lanes: even and odd input taps, even and odd output taps, each
      // added up in tap order.
      StereoLanes acc = {1e-15f, 0.0f, 0.0f, 0.0f};
      for (int t = 0; t < 32; t += 2) {
        const StereoLanes taps = {xi[t], xi[t + 1], yi[t], yi[t + 1]};
        acc = acc + cabTaps[t / 2] * taps;
      }
      const float sum = (acc[0] + acc[1]) + (acc[2] + acc[3]);
      hist[w] = hist[w + 32] = sum;
      out = sum;
    }
    o[ch] = out;
  }
  const StereoLanes four = {o[0], o[1], o[0], o[1]};  // one store, as in shapeAmp
  __builtin_memcpy(y, &four, sizeof four);
  if (model != 0) cabWriteIndex = w;
}

void TDistort::shapeFmPm(bool pm, const float* x, float* y, const float* k, const float* raw,
                         bool force) noexcept {
  const int wave = distortWaveIndex(raw[2]);
  const float inc = kept<OscillatorStep>(2, k[3], sampleRate).value;
  const float depth = kept<FmDepth>(3, k[5]).value;
  const float amount = k[6];
  float m[4] = {x[0], x[1], x[2], x[3]};
  runFilter(lowPassStage, k[4], 0.0f, m, force);

  float osc[4];
  for (int ch = 0; ch < 2; ++ch) {
    const float p = fmPhase[ch];
    const float m0 = m[ch], m1 = m[ch + 2];
    float phase0, phase1;
    if (!pm) {
      phase0 = p;
      phase1 = wrapPhase(p + inc * std::exp2(depth * m0));
      fmPhase[ch] = wrapPhase(phase1 + inc * std::exp2(depth * m1));
    } else {
      phase0 = wrapPhase(p + depth * m0 + 10.0f);
      const float p1 = wrapPhase(p + inc);
      phase1 = wrapPhase(p1 + depth * m1 + 10.0f);
      fmPhase[ch] = wrapPhase(p1 + inc);
    }
    osc[ch] = oscillator(wave, phase0);
    osc[ch + 2] = oscillator(wave, phase1);
  }
  // Envelopes and mix of the four values side by side, each lane as the scalar form.
  const StereoLanes a = laneAbs(loadLanes(m));
  StereoLanes e = loadLanes(fmEnvelope);
  e = a > e ? a : 0.98f * e + 0.02f * a;
  __builtin_memcpy(fmEnvelope, &e, sizeof e);
  const StereoLanes out = loadLanes(x) * (1.0f - amount) + amount * (e * loadLanes(osc));
  __builtin_memcpy(y, &out, sizeof out);
}

}  // namespace dsp
