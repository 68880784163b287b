#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/uLfo.h"
#include "support/expectValues.h"

using testing_support::kUlps;

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float Inf = std::numeric_limits<float>::infinity();

// A stopped LFO returns its raw wave at position 0 plus phase: a probe of the shape.
float shapeAt(int wave, float x, float symKnob = 0.5f, const float* curve = nullptr) {
  TLfo lfo;
  lfo.setWave(wave);
  lfo.setSym(symKnob);
  lfo.setPhase(x);
  return lfo.update(curve);
}

// Knob value that puts the symmetry point at s.
float symKnobFor(float s) { return (s - 0.001f) / 0.998f; }

// Synced speed of step n (0..30).
float syncStep(int n) { return (static_cast<float>(n) + 0.5f) / 30.99f; }

// Steps a running LFO until its position wraps; returns how many steps one cycle took.
long cycleLength(TLfo& lfo, long limit) {
  float last = lfo.getPos();
  for (long n = 1; n <= limit; ++n) {
    lfo.update(nullptr);
    if (lfo.getPos() < last) return n;
    last = lfo.getPos();
  }
  return -1;
}

}  // namespace

TEST(Lfo, WaveValuesAtNamedPhases) {
  const float tri[][2] = {{0.0f, -1.0f}, {0.25f, 0.0f}, {0.5f, 1.0f}, {0.75f, 0.0f}};
  for (auto& p : tri) EXPECT_FLOAT_EQ(shapeAt(TLfo::WAVE_TRIANGLE, p[0]), p[1]) << p[0];
  EXPECT_VALUES(
      {shapeAt(TLfo::WAVE_SAW_UP, 0.0f), -1.0f, kUlps}, {shapeAt(TLfo::WAVE_SAW_UP, 0.75f), 0.5f, kUlps},
      {shapeAt(TLfo::WAVE_SAW_DOWN, 0.0f), 1.0f, kUlps}, {shapeAt(TLfo::WAVE_SAW_DOWN, 0.75f), -0.5f, kUlps});
  // Square edges: low up to just before the middle, high from the middle on.
  EXPECT_VALUES({shapeAt(TLfo::WAVE_SQUARE, 0.0f), -1.0f}, {shapeAt(TLfo::WAVE_SQUARE, 0.4999f), -1.0f},
                {shapeAt(TLfo::WAVE_SQUARE, 0.5f), 1.0f}, {shapeAt(TLfo::WAVE_SQUARE, 0.9999f), 1.0f});
  for (float x = 0.0f; x < 1.0f; x += 0.0137f)
    EXPECT_NEAR(shapeAt(TLfo::WAVE_SINE, x), std::sin(2.0 * M_PI * x), 1e-4) << x;
  EXPECT_VALUES({shapeAt(TLfo::WAVE_SINE, 0.0f), 0.0f}, {shapeAt(8, 0.3f), 0.0f}, {shapeAt(-1, 0.3f), 0.0f});
}

TEST(Lfo, WaveShaperWavesInterpolateTheCurve) {
  float curve[256];
  for (int i = 0; i < 256; ++i) curve[i] = static_cast<float>((i * 37) % 11) * 0.1f - 0.5f;
  for (int w : {TLfo::WAVE_SHAPER_1, TLfo::WAVE_SHAPER_2}) {
    EXPECT_FLOAT_EQ(shapeAt(w, 0.0f, 0.5f, curve), curve[0]);
    EXPECT_FLOAT_EQ(shapeAt(w, 0.5f, 0.5f, curve), 0.5f * curve[127] + 0.5f * curve[128]);
    // A phase just below a whole cycle rounds to c = 1: the last point with weight 1.
    EXPECT_FLOAT_EQ(shapeAt(w, -1e-9f, 0.5f, curve), curve[255]);
    EXPECT_EQ(shapeAt(w, 0.3f, 0.5f, nullptr), 0.0f);
  }
}

TEST(Lfo, SymmetryMovesTheMiddleOfTheWave) {
  EXPECT_NEAR(shapeAt(TLfo::WAVE_SAW_UP, 0.3f), -0.4f, 1e-5);  // 0.5 leaves x unchanged
  // Symmetry point at 0.2: the triangle peaks there, and both halves are stretched linearly.
  const float k = symKnobFor(0.2f);
  EXPECT_VALUES({shapeAt(TLfo::WAVE_TRIANGLE, 0.2f, k), 1.0f, 1e-5},
                {shapeAt(TLfo::WAVE_TRIANGLE, 0.1f, k), 0.0f, 1e-5},
                {shapeAt(TLfo::WAVE_TRIANGLE, 0.6f, k), 0.0f, 1e-5},
                {shapeAt(TLfo::WAVE_SAW_UP, 0.6f, k), 0.5f, 1e-5},
                {shapeAt(TLfo::WAVE_SQUARE, 0.19f, k), -1.0f}, {shapeAt(TLfo::WAVE_SQUARE, 0.21f, k), 1.0f});

  TLfo lfo;
  lfo.setSym(0.9f);
  lfo.init(44100.0f);
  lfo.setSym(0.9f);
  EXPECT_FLOAT_EQ(lfo.getSym(), 0.9f * 0.998f + 0.001f);
  const float bounds[][2] = {{-1.0f, 0.001f}, {NaN, 0.001f}, {2.0f, 0.999f}, {Inf, 0.999f}, {0.0f, 0.001f}};
  for (auto& b : bounds) {
    lfo.setSym(b[0]);
    EXPECT_FLOAT_EQ(lfo.getSym(), b[1]) << b[0];
  }
  // At the extremes the wave still spans -1..1 without leaving the range.
  for (float x = 0.0f; x < 1.0f; x += 0.001f) {
    const float v = shapeAt(TLfo::WAVE_SAW_UP, x, 2.0f);
    EXPECT_GE(v, -1.0f);
    EXPECT_LE(v, 1.0f);
  }
}

TEST(Lfo, PhaseIsAddedToThePositionAndWrapped) {
  TLfo lfo;
  lfo.setWave(TLfo::WAVE_SAW_UP);
  lfo.setSpeed(syncStep(0), true, 120.0f, 0.1f);  // step "Off": the position moves by mult per call
  lfo.start();
  lfo.update(nullptr);
  EXPECT_FLOAT_EQ(lfo.getPos(), 0.1f);
  lfo.setPhase(-0.25f);
  lfo.stop();
  EXPECT_NEAR(lfo.update(nullptr), 0.7f, 1e-6);  // x = 0.85
  lfo.setPhase(1.25f);
  EXPECT_NEAR(lfo.update(nullptr), -0.3f, 1e-6);  // x = 0.35
  for (float p : {NaN, Inf, -Inf, 1e30f, -1e30f}) {
    lfo.setPhase(p);
    EXPECT_TRUE(std::isfinite(lfo.update(nullptr))) << p;
  }
}

TEST(Lfo, FreeAndSyncedSpeed) {
  TLfo lfo;
  lfo.init(44100.0f);
  lfo.start();
  // Free: 2^(10 speed) x 55/4096 Hz, times mult.
  const float cases[][3] = {{1.0f, 1.0f, 13.75f}, {0.5f, 1.0f, 0.4296875f}, {0.5f, 4.0f, 1.71875f}};
  for (auto& c : cases) {
    lfo.start();
    lfo.setSpeed(c[0], false, 120.0f, c[1]);
    lfo.update(nullptr);
    EXPECT_NEAR(lfo.getPos(), c[2] / 44100.0f, 1e-9) << c[0];
  }
  // 1/1T at 120 BPM and 44.1 kHz: 2/3 of two bars = 117600 samples, plus one.
  lfo.start();
  lfo.setSpeed(syncStep(15), true, 120.0f, 1.0f);
  EXPECT_NEAR(cycleLength(lfo, 200000), 117601, 1);
  lfo.setSpeed(syncStep(15), true, 120.0f, 2.0f);
  lfo.start();
  EXPECT_NEAR(cycleLength(lfo, 200000), 58800, 1);
  // The longest synced period (16/1: 32 bars) must not drift over a whole cycle.
  lfo.setSpeed(syncStep(2), true, 120.0f, 1.0f);
  lfo.start();
  EXPECT_NEAR(cycleLength(lfo, 3000000), 2822401, 2);
  // A new rate takes effect even when the speed arguments repeat.
  lfo.setSpeed(1.0f, false, 120.0f, 1.0f);
  lfo.init(48000.0f);
  lfo.start();
  lfo.setSpeed(1.0f, false, 120.0f, 1.0f);
  lfo.update(nullptr);
  EXPECT_NEAR(lfo.getPos(), 13.75f / 48000.0f, 1e-9);
  // Below the lowest speed and with a sample rate too low to be real.
  lfo.init(10.0f);
  lfo.start();
  lfo.setSpeed(1.0f, false, 120.0f, 1.0f);
  lfo.update(nullptr);
  EXPECT_NEAR(lfo.getPos(), 13.75f / 44100.0f, 1e-9);
  lfo.start();
  lfo.setSpeed(0.0001f, false, 120.0f, 1.0f);
  EXPECT_NEAR(cycleLength(lfo, 4000000), 44100.0 / (std::exp2(0.001) * 55.0 / 4096.0), 20);
}

TEST(Lfo, BadSpeedInputsStandStill) {
  struct Case {
    float speed;
    bool sync;
    float tempo, mult;
  };
  const Case cases[] = {{0.00009f, false, 120, 1}, {0.0f, true, 120, 1},    {NaN, false, 120, 1},
                        {0.5f, true, 0, 1},        {0.5f, true, -120, 1},   {0.5f, true, NaN, 1},
                        {0.5f, true, Inf, 1},      {0.5f, false, 120, Inf}, {0.5f, false, 120, NaN},
                        {0.5f, false, 120, -1},    {50.0f, false, 120, 1}};
  for (const Case& c : cases) {
    TLfo lfo;
    lfo.start();
    lfo.setSpeed(c.speed, c.sync, c.tempo, c.mult);
    for (int i = 0; i < 10; ++i) lfo.update(nullptr);
    EXPECT_EQ(lfo.getPos(), 0.0f) << c.speed << " " << c.tempo << " " << c.mult;
  }
}

TEST(Lfo, StartStopResetAndTriggerEdges) {
  TLfo lfo;
  lfo.setSpeed(syncStep(0), true, 120.0f, 0.25f);
  lfo.update(nullptr);
  EXPECT_EQ(lfo.getPos(), 0.0f);  // stopped after construction
  lfo.trigger(1);
  lfo.update(nullptr);
  EXPECT_EQ(lfo.getPos(), 0.25f);
  lfo.trigger(1);  // already running: no restart
  lfo.update(nullptr);
  EXPECT_EQ(lfo.getPos(), 0.5f);
  lfo.trigger(0);
  EXPECT_FALSE(lfo.isRunning());
  lfo.update(nullptr);
  EXPECT_EQ(lfo.getPos(), 0.5f);  // stopped in place
  lfo.trigger(0);
  EXPECT_FALSE(lfo.isRunning());
  lfo.trigger(-3);  // any non-zero value is "on"
  EXPECT_TRUE(lfo.isRunning());
  EXPECT_EQ(lfo.getPos(), 0.0f);
  lfo.update(nullptr);
  lfo.reset();
  EXPECT_FALSE(lfo.isRunning());
  EXPECT_EQ(lfo.getPos(), 0.0f);
}

TEST(Lfo, HoldAndHumAreRedrawnOnEveryWrap) {
  for (float hum : {0.0f, 0.5f}) {
    TLfo lfo;
    lfo.setRandom(dsp::Rand15(99));
    dsp::Rand15 twin(99);
    lfo.setWave(TLfo::WAVE_SAMPLE_AND_HOLD);
    lfo.setHum(hum);
    lfo.setSpeed(syncStep(0), true, 120.0f, 0.5f);
    lfo.start();
    EXPECT_EQ(lfo.update(nullptr), 0.0f);  // position 0.5, no wrap yet
    float humFactor = 1.0f;
    for (int wrap = 0; wrap < 3; ++wrap) {
      // Steps of 0.5 x humFactor until the next wrap; the hold level stays until then.
      float held = lfo.getValue();
      while (true) {
        const float before = lfo.getPos();
        const float v = lfo.update(nullptr);
        if (lfo.getPos() < before) break;
        EXPECT_EQ(v, held);
        EXPECT_FLOAT_EQ(lfo.getPos() - before, 0.5f * humFactor);
      }
      const float hold = 2.0f * twin.next() - 1.0f;
      humFactor = twin.next() * hum + 1.0f;
      EXPECT_EQ(lfo.getValue(), hold);
      if (hum == 0.0f) {
        EXPECT_EQ(humFactor, 1.0f);
      }
    }
  }
}

TEST(Lfo, SmoothingOnlyWhileRunning) {
  TLfo lfo;
  lfo.setSmooth(1.0f);
  EXPECT_EQ(lfo.getSmooth(), 1.0f - std::exp2(-16.0f));
  lfo.setSmooth(0.5f);
  EXPECT_EQ(lfo.getSmooth(), 1.0f - std::exp2(-8.0f));
  for (float s : {0.0f, -1.0f, NaN}) {
    lfo.setSmooth(s);
    EXPECT_EQ(lfo.getSmooth(), 0.0f) << s;
  }
  lfo.setSmooth(1.0f);
  lfo.setWave(TLfo::WAVE_SQUARE);
  EXPECT_EQ(lfo.update(nullptr), -1.0f);  // stopped: the raw wave
  lfo.init(44100.0f);
  lfo.setSmooth(1.0f);
  lfo.setWave(TLfo::WAVE_SQUARE);
  lfo.start();
  EXPECT_EQ(lfo.update(nullptr), -std::exp2(-16.0f));  // from 0 towards -1 by 2^-16
}

TEST(Lfo, LazyOutputForms) {
  // Each form on a fresh oscillator, one step of 0.25 in: sine at its peak, position 0.25.
  auto lazyAt = [](int mode, float phase = 0.0f) {
    TLfo lfo;
    lfo.setWave(TLfo::WAVE_SQUARE);  // ignored: the lazy oscillator is always a sine
    lfo.setPhase(phase);
    lfo.setSpeed(syncStep(0), true, 120.0f, 0.25f);
    lfo.start();
    return lfo.getLazyValue(mode);
  };
  const float s = lazyAt(TLfo::LAZY_SINE);
  EXPECT_VALUES({s, 1.0f, 1e-6}, {lazyAt(TLfo::LAZY_LEFT_RIGHT), s * 0.5f + 0.5f, kUlps},
                {lazyAt(TLfo::LAZY_LEFT), (s * 0.5f + 0.5f) * 0.5f, kUlps},
                {lazyAt(TLfo::LAZY_RIGHT), (s * 0.5f + 0.5f) * 0.5f + 0.5f, kUlps},
                {lazyAt(TLfo::LAZY_LEFT_SAW), 0.375f});
  for (int m : {4, 5, 7, -1}) EXPECT_EQ(lazyAt(m), 0.625f) << m;
  // The saws read the raw position; the sine is phased.
  EXPECT_EQ(lazyAt(TLfo::LAZY_LEFT_SAW, 0.5f), 0.375f);
  EXPECT_NEAR(lazyAt(TLfo::LAZY_SINE, 0.5f), -1.0f, 1e-6);
}

TEST(Lfo, SharedSineTableAndPeriodTable) {
  const float* sine = TLfo::sineTable();
  EXPECT_EQ(sine[0], 0.0f);
  EXPECT_NEAR(sine[32768], 1.0f, 1e-6);
  // 6.28318 falls just short of two pi: the last entry is a hair below zero.
  EXPECT_LT(sine[131071], 0.0f);
  EXPECT_GT(sine[131071], -1e-4f);

  EXPECT_VALUES({PERIOD_ARRAY[0], 0.0f}, {PERIOD_ARRAY[1], 18.0f}, {PERIOD_ARRAY[14], 1.0f});
  // Every group below the first is dotted (x 1.5), straight, triplet (x 2/3), halving per group.
  for (int g = 1; g < 10; ++g) {
    const float straight = PERIOD_ARRAY[3 * g + 2];
    EXPECT_EQ(straight, 16.0f / static_cast<float>(1 << g)) << g;
    EXPECT_EQ(PERIOD_ARRAY[3 * g + 1], straight * 1.5f) << g;
    EXPECT_FLOAT_EQ(PERIOD_ARRAY[3 * g + 3], straight * 2.0f / 3.0f) << g;
  }
  EXPECT_FLOAT_EQ(PERIOD_ARRAY[3], 32.0f / 3.0f);
}
