// Small helpers shared by every audio module: safe table indexing, phase wrapping,
// saturating float-to-int conversion and the per-instance random generators.
// Nothing here allocates, locks or depends on the plug-in or the GUI.
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace dsp {

// Size of the large shared lookup tables of the audio modules.
inline constexpr int TABLE_SIZE = 262144;
// Index scale of the shaping tables ...
inline constexpr float TABLE_SCALE = 262143.98f;
// ... and of the filter tables.
inline constexpr float FILTER_TABLE_SCALE = 262143.0f;

// Relaxed load and store of an atomic float that the audio path touches many times a sample.
// On x86 an aligned 4-byte load or store is whole by itself, and one scalar SSE move does it, where
// the atomic forms go through an integer register (two instructions each). ThreadSanitizer gets
// the atomic forms, which it can follow.
inline float loadFloatRelaxed(const std::atomic<float>& a) noexcept {
  static_assert(sizeof(std::atomic<float>) == sizeof(float) && std::atomic<float>::is_always_lock_free);
#if (defined(__SSE__) || defined(__x86_64__)) && !defined(__SANITIZE_THREAD__)
  return _mm_cvtss_f32(_mm_load_ss(reinterpret_cast<const float*>(&a)));
#else
  return a.load(std::memory_order_relaxed);
#endif
}
inline void storeFloatRelaxed(std::atomic<float>& a, float v) noexcept {
#if (defined(__SSE__) || defined(__x86_64__)) && !defined(__SANITIZE_THREAD__)
  _mm_store_ss(reinterpret_cast<float*>(&a), _mm_set_ss(v));
#else
  a.store(v, std::memory_order_relaxed);
#endif
}

// The same for a plain float that another thread reads with relaxed atomic loads.
inline void storeFloatRelaxed(float& slot, float v) noexcept {
#if (defined(__SSE__) || defined(__x86_64__)) && !defined(__SANITIZE_THREAD__)
  _mm_store_ss(&slot, _mm_set_ss(v));
#else
  std::atomic_ref<float>(slot).store(v, std::memory_order_relaxed);
#endif
}

// Float to int that saturates instead of invoking undefined behaviour:
// NaN gives 0, values beyond the int range give its ends. Truncates toward zero.
inline int saturatingInt(double x) noexcept {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(x);
}

// Maps a normalised value to an index 0..size-1: v is clamped to 0..1 (NaN reads as 0),
// then int(v * scale) is taken and clamped once more, so no input can read outside the table.
inline int tableIndex(float v, float scale, int size) noexcept {
  if (!(v > 0.0f)) return 0;  // also catches NaN
  if (v > 1.0f) v = 1.0f;
  int i = static_cast<int>(v * scale);
  if (i >= size) i = size - 1;
  return i;
}

// Index into one of the 262,144-entry tables with the shaping scale.
inline int tableIndex(float v) noexcept { return tableIndex(v, TABLE_SCALE, TABLE_SIZE); }

// Index into one of the 262,144-entry filter tables.
inline int filterTableIndex(float v) noexcept { return tableIndex(v, FILTER_TABLE_SCALE, TABLE_SIZE); }

// Wraps a phase into [0, 1). A non-finite phase becomes 0, so one bad increment
// can never leave an oscillator stuck on NaN.
template <typename T>
inline T wrapPhase(T x) noexcept {
  if (!std::isfinite(x)) return T(0);
  x -= std::floor(x);
  if (x >= T(1)) x = T(0);  // rounding of tiny negative values
  return x;
}
// The float form, on the hot paths: the same result without the library floor (a whole-number
// conversion instead, exact below 2^23; from there on every float is whole, so its fraction is 0,
// as for infinities and NaN). Adding +0 turns the -0 that -0 - 0 gives into the +0 of x - floor(x).
inline float wrapPhase(float x) noexcept {
  if (!(std::fabs(x) < 8388608.0f)) return 0.0f;
  float whole = static_cast<float>(static_cast<int32_t>(x));
  if (whole > x) whole -= 1.0f;
  x = (x - whole) + 0.0f;
  if (x >= 1.0f) x = 0.0f;
  return x;
}

// The C library's 15-bit generator law as a per-instance object: each draw is
// (r & 0x7FFF) / 32767 in 0..1. Replaces rand(), which is shared with the host and locks.
class Rand15 {
 public:
  explicit Rand15(uint32_t seed = 1) noexcept : state_(seed) {}
  void seed(uint32_t s) noexcept { state_ = s; }
  // Next raw value 0..32767.
  int nextInt() noexcept {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }
  // Next value 0..1 (32767 / 32767 = 1 is the largest).
  float next() noexcept { return static_cast<float>(nextInt()) / 32767.0f; }

 private:
  uint32_t state_;
};

// The multiplicative sequence seeded by `RandSeed`: t = seed * 16807 (32-bit wrap),
// seed becomes t + 1, the value is t as a signed 32-bit integer times 2^-31, in [-1, 1).
// One per plug-in instance, shared by its distortion stage and its LFO-screen table.
struct RandSeed {
  int32_t seed = 1;
  float next() noexcept {
    const uint32_t t = static_cast<uint32_t>(seed) * 16807u;
    seed = static_cast<int32_t>(t + 1u);
    return static_cast<float>(static_cast<int32_t>(t) * 4.656612873077393e-10);
  }
};

// Adding this in recursions keeps them out of denormal numbers.
inline constexpr float ANTI_DENORMAL = 1e-15f;

// Limits to 0..1; NaN reads as 0.
inline float clamp01(float v) noexcept {
  if (!(v > 0.0f)) return 0.0f;
  return v > 1.0f ? 1.0f : v;
}

// Limits to -1..1; NaN reads as 0.
inline float clampPM1(float x) noexcept {
  if (x > 1.0f) return 1.0f;
  if (x < -1.0f) return -1.0f;
  return x == x ? x : 0.0f;
}

// Left and right channel in the first two lanes of one register, so that both channels of a
// stereo recursion take the same instructions. The arithmetic is lane by lane with the same
// rounding as the scalar code (no contraction), so the results are the scalar results.
typedef float StereoLanes __attribute__((vector_size(16)));
inline StereoLanes stereoLanes(float left, float right) noexcept {
  return StereoLanes{left, right, 0.0f, 0.0f};
}
inline StereoLanes splatLanes(float v) noexcept { return StereoLanes{v, v, v, v}; }
// Four consecutive floats into the four lanes.
inline StereoLanes loadLanes(const float* p) noexcept {
  StereoLanes v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
// Lane-wise absolute value: the sign bits cleared, as fabs does.
typedef uint32_t LaneBits __attribute__((vector_size(16)));
inline StereoLanes laneAbs(StereoLanes x) noexcept {
  return reinterpret_cast<StereoLanes>(reinterpret_cast<LaneBits>(x) & 0x7FFFFFFFu);
}

// a > b ? a : b and a < b ? a : b lane by lane (so b where either is NaN): one instruction each
// on x86, where the compiler builds the selections from masks otherwise.
inline StereoLanes laneMax(StereoLanes a, StereoLanes b) noexcept {
#if defined(__SSE__) || defined(__x86_64__)
  return reinterpret_cast<StereoLanes>(_mm_max_ps(reinterpret_cast<__m128>(a), reinterpret_cast<__m128>(b)));
#else
  return a > b ? a : b;
#endif
}
inline StereoLanes laneMin(StereoLanes a, StereoLanes b) noexcept {
#if defined(__SSE__) || defined(__x86_64__)
  return reinterpret_cast<StereoLanes>(_mm_min_ps(reinterpret_cast<__m128>(a), reinterpret_cast<__m128>(b)));
#else
  return a < b ? a : b;
#endif
}

// True when any lane of a comparison's result is set: one mask move on x86, where the compiler
// takes the lanes out one by one otherwise.
typedef int32_t LaneMask __attribute__((vector_size(16)));
inline bool laneAny(LaneMask m) noexcept {
#if defined(__SSE__) || defined(__x86_64__)
  return _mm_movemask_ps(reinterpret_cast<__m128>(m)) != 0;
#else
  return (m[0] | m[1] | m[2] | m[3]) != 0;
#endif
}

// clamp01 lane by lane.
inline StereoLanes laneClamp01(StereoLanes x) noexcept {
  return laneMin(laneMax(x, splatLanes(0.0f)), splatLanes(1.0f));
}

// clampPM1 lane by lane.
inline StereoLanes laneClampPM1(StereoLanes x) noexcept {
  const StereoLanes y = x == x ? x : splatLanes(0.0f);
  return laneMin(laneMax(y, splatLanes(-1.0f)), splatLanes(1.0f));
}

// x^p in each lane, for x finite and above zero (normal) and |p log2 x| < 1000: log2 and exp2 worked out in
// double precision and rounded once to float. Much cheaper than four library powers; the result is the
// correctly rounded power but for the rare value within about 2^-40 of a rounding boundary, so it
// is within one float step of std::pow (the tests check this).
inline StereoLanes lanePow(StereoLanes x, float p) noexcept {
  typedef double DoubleLanes __attribute__((vector_size(16)));
  typedef int64_t WideLanes __attribute__((vector_size(16)));
  typedef int32_t IntLanes __attribute__((vector_size(16)));
  typedef float FloatPair __attribute__((vector_size(8)));
  typedef int32_t IntPair __attribute__((vector_size(8)));
  // x = 2^e m with m in [sqrt(1/2), sqrt(2)).
  const IntLanes bits = reinterpret_cast<IntLanes>(x);
  const IntLanes e = (bits - 0x3F3504F3) >> 23;
  const StereoLanes m = reinterpret_cast<StereoLanes>(bits - (e << 23));
  // log2 m = 2/ln2 (t + t^3/3 + ... + t^13/13), t = (m - 1) / (m + 1), |t| <= 0.1716.
  constexpr double L = 2.8853900817779268;  // 2 / ln 2
  // exp2 f = sum (f ln 2)^k / k!, |f| <= 1/2 (the terms ln2^k / k!).
  constexpr double E[12] = {1.0,
                            0.6931471805599453,
                            0.2402265069591007,
                            0.055504108664821576,
                            0.009618129107628477,
                            0.0013333558146428441,
                            0.00015403530393381606,
                            1.5252733804059838e-05,
                            1.3215486790144305e-06,
                            1.0178086009239696e-07,
                            7.054911620801121e-09,
                            4.44553827187081e-10};
  constexpr double SHIFTER = 6755399441055744.0;  // 1.5 2^52: adding it rounds to an integer
  const DoubleLanes shifter = {SHIFTER, SHIFTER};
  StereoLanes result;
  for (int half = 0; half < 2; ++half) {
    const FloatPair mf = half ? __builtin_shufflevector(m, m, 2, 3) : __builtin_shufflevector(m, m, 0, 1);
    const IntPair ei = half ? __builtin_shufflevector(e, e, 2, 3) : __builtin_shufflevector(e, e, 0, 1);
    const DoubleLanes md = __builtin_convertvector(mf, DoubleLanes);
    const DoubleLanes t = (md - 1.0) / (md + 1.0);
    const DoubleLanes t2 = t * t;
    DoubleLanes poly = DoubleLanes{L, L} / 13.0;
    for (int k = 11; k >= 1; k -= 2) poly = poly * t2 + L / k;
    const DoubleLanes y = static_cast<double>(p) * (__builtin_convertvector(ei, DoubleLanes) + poly * t);
    // y = n + f with n whole and |f| <= 1/2; 2^y = 2^n exp2 f.
    const DoubleLanes shifted = y + shifter;
    const DoubleLanes f = y - (shifted - shifter);
    DoubleLanes q = f * E[11] + E[10];
    for (int k = 9; k >= 0; --k) q = q * f + E[k];
    const WideLanes whole = reinterpret_cast<WideLanes>(shifted) - reinterpret_cast<WideLanes>(shifter);
    const DoubleLanes scale = reinterpret_cast<DoubleLanes>((whole + 1023) << 52);
    const FloatPair r = __builtin_convertvector(q * scale, FloatPair);
    result[2 * half] = r[0];
    result[2 * half + 1] = r[1];
  }
  return result;
}

}  // namespace dsp
