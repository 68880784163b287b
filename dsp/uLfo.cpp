#include "dsp/uLfo.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Free-running speed at knob 0 and mult 1, in cycles per second: 55/4096.
constexpr float BASE_RATE = 0.013427734f;
constexpr float SINE_INDEX_SCALE = 131071.9f;
constexpr float SYNC_STEP_SCALE = 30.99f;
constexpr float MIN_SPEED = 0.0001f;
// Compares unequal to every argument, so the next setter call always computes.
constexpr float NOT_SET = std::numeric_limits<float>::quiet_NaN();

// Removes the integer part by truncation (keeps the sign). Values this large are whole
// numbers already; NaN and infinities give 0.
inline double truncFrac(double v) noexcept {
  if (!(std::fabs(v) < 4503599627370496.0)) return 0.0;  // 2^52
  return v - static_cast<double>(static_cast<int64_t>(v));
}

// Distinct default seeds, so that two sample-and-hold LFOs never repeat each other.
uint32_t nextSeed() noexcept {
  static std::atomic<uint32_t> counter{1};
  return counter.fetch_add(0x9E3779B9u, std::memory_order_relaxed);
}

}  // namespace

// Generated at build time from dsp/uTableFormulas.h (tools/gen_tables.cpp).
extern "C" __attribute__((visibility("hidden"))) const float grindleLfoSine[TLfo::SINE_SIZE];

const float* TLfo::sineTable() noexcept { return grindleLfoSine; }

TLfo::TLfo() noexcept : sine(sineTable()), rng(nextSeed()) { init(44100.0f); }

void TLfo::init(float rate) noexcept {
  sampleRate = (rate >= 1000.0f && std::isfinite(rate)) ? rate : 44100.0f;
  value = 0.0f;
  wave = WAVE_SINE;
  phase = 0.0f;
  increment = 0.0f;
  hum = 0.0f;
  sym = 0.5f;
  invSym = 2.0f;
  invOneMinusSym = 2.0f;
  position.store(0.0, std::memory_order_relaxed);
  humFactor = 1.0f;
  holdValue = 0.0f;
  smooth = 0.0f;
  running = false;
  speedValid = false;
  lastSymKnob = NOT_SET;
  lastSmoothKnob = NOT_SET;
}

void TLfo::reset() noexcept {
  position.store(0.0, std::memory_order_relaxed);
  humFactor = 1.0f;
  holdValue = 0.0f;
  running = false;
}

void TLfo::start() noexcept {
  running = true;
  position.store(0.0, std::memory_order_relaxed);
  humFactor = 1.0f;
  holdValue = 0.0f;
}

void TLfo::stop() noexcept { running = false; }

void TLfo::trigger(int on) noexcept {
  if (running && on == 0)
    stop();
  else if (!running && on != 0)
    start();
}

void TLfo::computeSym(float v) noexcept {
  lastSymKnob = v;
  if (!(v >= 0.0f))  // negative or NaN
    sym = 0.001f;
  else
    sym = std::min(v, 1.0f) * 0.998f + 0.001f;
  invSym = 1.0f / sym;
  invOneMinusSym = 1.0f / (1.0f - sym);
}

void TLfo::computeSmooth(float s) noexcept {
  lastSmoothKnob = s;
  smooth = (s >= 0.0f) ? 1.0f - std::exp2(-16.0f * std::min(s, 1.0f)) : 0.0f;
}

void TLfo::computeSpeed(float speed, bool sync, float tempo, float mult) noexcept {
  speedValid = true;
  lastSpeed = speed;
  lastSync = sync;
  lastTempo = tempo;
  lastMult = mult;
  float inc = 0.0f;
  if (!(speed >= MIN_SPEED)) {
    inc = 0.0f;  // standing still (NaN speeds too)
  } else if (sync) {
    if (tempo > 0.0f && std::isfinite(tempo)) {
      const int n = static_cast<int>(dsp::clamp01(speed) * SYNC_STEP_SCALE);
      const double samples =
          static_cast<double>(PERIOD_ARRAY[n]) * PERIOD_UNIT * static_cast<double>(sampleRate) / tempo + 1.0;
      inc = static_cast<float>(static_cast<double>(mult) / samples);
    }
  } else {
    inc = std::exp2(10.0f * speed) * mult * BASE_RATE / sampleRate;
  }
  // A bad tempo or multiplier must never reach the position (and from there the sine index).
  increment = (inc >= 0.0f && std::isfinite(inc)) ? inc : 0.0f;
}

void TLfo::advance() noexcept {
  if (!running) return;
  double p = position.load(std::memory_order_relaxed) + static_cast<double>(increment * humFactor);
  if (p >= 1.0) {
    p = truncFrac(p);
    holdValue = 2.0f * rng.next() - 1.0f;
    humFactor = rng.next() * hum + 1.0f;
  }
  if (!(p >= 0.0 && p < 1.0)) p = 0.0;  // NaN from a hostile hum amount
  position.store(p, std::memory_order_relaxed);
}

float TLfo::phasedPosition(double pos, float ph) noexcept {
  return static_cast<float>(truncFrac(pos + static_cast<double>(ph) + 10.0));
}

float TLfo::warp(float x, float s, float inv, float invOneMinus) noexcept {
  const float w = (s >= x) ? x * 0.5f * inv : (x - s) * 0.5f * invOneMinus + 0.5f;
  return dsp::clamp01(w);
}

float TLfo::waveValue(int w, float c, float hold, const float* curve, const float* sineTab) noexcept {
  c = dsp::clamp01(c);
  switch (w) {
    case WAVE_SINE:
      return sineTab[dsp::tableIndex(c, SINE_INDEX_SCALE, SINE_SIZE)];
    case WAVE_TRIANGLE:
      return 1.0f - 2.0f * std::fabs(1.0f - 2.0f * c);
    case WAVE_SAW_UP:
      return 2.0f * c - 1.0f;
    case WAVE_SAW_DOWN:
      return 1.0f - 2.0f * c;
    case WAVE_SQUARE:
      return c < 0.5f ? -1.0f : 1.0f;
    case WAVE_SAMPLE_AND_HOLD:
      return hold;
    case WAVE_SHAPER_1:
    case WAVE_SHAPER_2: {
      if (curve == nullptr) return 0.0f;
      const float y = 255.0f * c;
      const int i0 = static_cast<int>(y);
      const int i1 = std::min(static_cast<int>(y + 1.0f), CURVE_SIZE - 1);
      const float f = y - static_cast<float>(i0);
      return f * curve[i1] + (1.0f - f) * curve[i0];
    }
    default:
      return 0.0f;
  }
}

float TLfo::warpedPosition() const noexcept {
  const float x = phasedPosition(position.load(std::memory_order_relaxed), phase);
  return warp(x, sym, invSym, invOneMinusSym);
}

float TLfo::update(const float* curve) noexcept {
  advance();
  const float v = waveValue(wave, warpedPosition(), holdValue, curve, sine);
  // A stopped LFO shows its raw wave at the held position (the editor draws shapes this way).
  value = running ? v * (1.0f - smooth) + value * smooth : v;
  return value;
}

float TLfo::getLazyValue(int mode) noexcept {
  advance();
  float s = sine[dsp::tableIndex(warpedPosition(), SINE_INDEX_SCALE, SINE_SIZE)];
  if (running) s = s * (1.0f - smooth) + value * smooth;
  value = s;
  const float pos = getPos();
  switch (mode) {
    case LAZY_LEFT_RIGHT:
      return s * 0.5f + 0.5f;
    case LAZY_LEFT:
      return (s * 0.5f + 0.5f) * 0.5f;
    case LAZY_RIGHT:
      return (s * 0.5f + 0.5f) * 0.5f + 0.5f;
    case LAZY_LEFT_SAW:
      return 0.5f - pos * 0.5f;
    case LAZY_SINE:
      return s;
    default:  // right saw and anything unknown
      return pos * 0.5f + 0.5f;
  }
}
