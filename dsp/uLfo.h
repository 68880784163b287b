// Low-frequency oscillator: eight table-driven waves with symmetry warp, phase offset,
// random rate variation ("hum"), sample-and-hold and output smoothing. The same class
// also serves as the Disrupt lazy oscillator (getLazyValue) and as the editor's
// shape-drawing oscillator (never started, so update() is a pure function of phase).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "dsp/dspCommon.h"

// Tempo-synced period lengths, indexed by the step of a synced speed knob (0..30).
// One unit lasts 480 x sampleRate / tempo samples: two bars of four beats.
// Row 1 ("16/1*") is 18 rather than 24; kept so that existing programs keep their timing.
inline constexpr int NUM_PERIODS = 31;
inline constexpr std::array<float, NUM_PERIODS> PERIOD_ARRAY = {0.0f,           // Off
                                                                18.0f,          // 16/1*
                                                                16.0f,          // 16/1
                                                                32.0f / 3.0f,   // 16/1T
                                                                12.0f,          // 8/1*
                                                                8.0f,           // 8/1
                                                                16.0f / 3.0f,   // 8/1T
                                                                6.0f,           // 4/1*
                                                                4.0f,           // 4/1
                                                                8.0f / 3.0f,    // 4/1T
                                                                3.0f,           // 2/1*
                                                                2.0f,           // 2/1
                                                                4.0f / 3.0f,    // 2/1T
                                                                1.5f,           // 1/1*
                                                                1.0f,           // 1/1
                                                                2.0f / 3.0f,    // 1/1T
                                                                0.75f,          // 1/2*
                                                                0.5f,           // 1/2
                                                                1.0f / 3.0f,    // 1/2T
                                                                0.375f,         // 1/4*
                                                                0.25f,          // 1/4
                                                                1.0f / 6.0f,    // 1/4T
                                                                0.1875f,        // 1/8*
                                                                0.125f,         // 1/8
                                                                1.0f / 12.0f,   // 1/8T
                                                                0.09375f,       // 1/16*
                                                                0.0625f,        // 1/16
                                                                1.0f / 24.0f,   // 1/16T
                                                                0.046875f,      // 1/32*
                                                                0.03125f,       // 1/32
                                                                1.0f / 48.0f};  // 1/32T

// One PERIOD_ARRAY unit lasts PERIOD_UNIT x sampleRate / tempo samples (8 beats of 60 / tempo s).
inline constexpr double PERIOD_UNIT = 480.0;

class TLfo {
 public:
  // Wave numbers, the order of the wave menu.
  enum Wave : int32_t {
    WAVE_SINE = 0,
    WAVE_TRIANGLE = 1,
    WAVE_SAW_UP = 2,
    WAVE_SAW_DOWN = 3,
    WAVE_SQUARE = 4,
    WAVE_SAMPLE_AND_HOLD = 5,
    WAVE_SHAPER_1 = 6,
    WAVE_SHAPER_2 = 7,
  };

  // Output forms of getLazyValue, the order of the lazy-mode menu plus the raw sine (6).
  enum LazyMode : int32_t {
    LAZY_LEFT_RIGHT = 0,
    LAZY_LEFT = 1,
    LAZY_RIGHT = 2,
    LAZY_LEFT_SAW = 3,
    LAZY_RIGHT_SAW = 4,
    LAZY_SINE = 6,
  };

  static constexpr int SINE_SIZE = 131072;
  static constexpr int CURVE_SIZE = 256;

  // Ready to use at 44.1 kHz; each instance gets its own random seed.
  TLfo() noexcept;
  TLfo(const TLfo&) = delete;
  TLfo& operator=(const TLfo&) = delete;

  // Sets the rate (44100 when below 1000 Hz) and clears every setting and state.
  void init(float rate) noexcept;
  // Back to the start of the cycle, stopped.
  void reset() noexcept;
  // Running from the start of the cycle.
  void start() noexcept;
  // Stops in place.
  void stop() noexcept;
  // Edge-triggered gate: 0 stops a running LFO, non-zero starts a stopped one.
  void trigger(int on) noexcept;

  void setHum(float h) noexcept { hum = h; }
  void setPhase(float p) noexcept { phase = p; }
  void setWave(int w) noexcept { wave = w; }
  // The engine calls the three setters below every sample with mostly unchanged arguments:
  // the comparison is inline, the work behind it is not.
  // Clamps to 0.001..0.999 so neither half of the warped cycle is empty.
  void setSym(float v) noexcept {
    if (!(v == lastSymKnob)) computeSym(v);
  }
  // 0..1 knob to a one-pole coefficient 0..1 - 2^-16.
  void setSmooth(float s) noexcept {
    if (!(s == lastSmoothKnob)) computeSmooth(s);
  }
  // Free speed: 2^(10 speed) x 55/4096 Hz x mult. Synced: PERIOD_ARRAY step of speed at the
  // given tempo (BPM), divided by mult. Below 0.0001 the LFO stands still.
  void setSpeed(float speed, bool sync, float tempo, float mult) noexcept {
    if (!(speedValid && speed == lastSpeed && sync == lastSync && tempo == lastTempo && mult == lastMult))
      computeSpeed(speed, sync, tempo, mult);
  }

  // One step of a modulation LFO; curve is the 256-point table of waves 6 and 7.
  float update(const float* curve) noexcept;
  // One step of the lazy oscillator (always a sine), returned in the form of mode.
  float getLazyValue(int mode) noexcept;

  float getValue() const noexcept { return value; }
  // Position in the cycle 0..1; safe to read from the editor thread while the audio thread runs.
  float getPos() const noexcept { return static_cast<float>(position.load(std::memory_order_relaxed)); }
  bool isRunning() const noexcept { return running; }
  int getWave() const noexcept { return wave; }
  float getSym() const noexcept { return sym; }
  float getSmooth() const noexcept { return smooth; }

  // Replaces the instance's random generator (sample-and-hold levels and hum factors).
  void setRandom(const dsp::Rand15& r) noexcept { rng = r; }

  // The sine table shared by all instances: sine[i] = sin(i / 131072 x 6.28318).
  static const float* sineTable() noexcept;

  // Pure shaping rules, exposed so that tests and drawings can use them directly.
  // Wraps position + phase into 0..1 (non-finite sums give 0).
  static float phasedPosition(double position, float phase) noexcept;
  // Maps x so that 0..sym covers the first half of the wave and sym..1 the second; 0..1.
  static float warp(float x, float sym, float invSym, float invOneMinusSym) noexcept;
  // Value of wave at warped position c (0..1).
  static float waveValue(int wave, float c, float hold, const float* curve, const float* sine) noexcept;

 private:
  void computeSym(float v) noexcept;
  void computeSmooth(float s) noexcept;
  void computeSpeed(float speed, bool sync, float tempo, float mult) noexcept;
  void advance() noexcept;
  float warpedPosition() const noexcept;

  const float* sine;  // shared, read-only
  dsp::Rand15 rng;
  bool running = false;
  int32_t wave = WAVE_SINE;
  float sampleRate = 44100.0f;
  float phase = 0.0f;
  float increment = 0.0f;
  float hum = 0.0f;
  float sym = 0.5f;
  float invSym = 2.0f;
  float invOneMinusSym = 2.0f;
  // Kept in double so that long synced cycles do not drift against the host's tempo.
  std::atomic<double> position{0.0};
  float humFactor = 1.0f;
  float value = 0.0f;
  float holdValue = 0.0f;
  float smooth = 0.0f;

  // Last setter arguments: unchanged calls cost a comparison, not an exp2 or a division.
  bool speedValid = false;
  bool lastSync = false;
  float lastSpeed = 0.0f, lastTempo = 0.0f, lastMult = 0.0f;
  float lastSymKnob = 0.0f;     // set by init
  float lastSmoothKnob = 0.0f;  // set by init
};
