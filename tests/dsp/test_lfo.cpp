#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/uLfo.h"
#include "support/expectValues.h"

using testing_support::kUlps;

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float Inf = std::numeric_limits<float>::infinity();

// Synced speed of step n (0..30); step 0 ("Off", period 0) moves the position by mult per call.
float syncStep(int n) { return (static_cast<float>(n) + 0.5f) / 30.99f; }

// Steps a running LFO until its position wraps; how many steps one cycle took.
long cycleLength(TLfo& lfo, long limit) {
  for (long n = 1; n <= limit; ++n) {
    const float last = lfo.getPos();
    lfo.update(nullptr);
    if (lfo.getPos() < last) return n;
  }
  return -1;
}

}  // namespace

// A stopped LFO returns its raw wave at position 0 plus phase x. With the symmetry point s the
// part of the cycle up to s maps to the first half of the wave, the rest to the second half.
TEST(Lfo, WaveValuesAtNamedPhases) {
  float curve[256];
  for (int i = 0; i < 256; ++i) curve[i] = static_cast<float>((i * 37) % 11) * 0.1f - 0.5f;
  const auto at = [&](int wave, float x, float sym = 0.5f) {
    TLfo lfo;
    lfo.setWave(wave);
    lfo.setSym(sym);
    lfo.setPhase(x);
    return lfo.update(curve);
  };
  const float s02 = (0.2f - 0.001f) / 0.998f;  // symmetry point 0.2
  const double tol = 1e-4;
  EXPECT_VALUES(
      {at(TLfo::WAVE_TRIANGLE, 0.0f), -1.0f, tol}, {at(TLfo::WAVE_TRIANGLE, 0.25f), 0.0f, tol},
      {at(TLfo::WAVE_TRIANGLE, 0.5f), 1.0f, tol}, {at(TLfo::WAVE_TRIANGLE, 0.75f), 0.0f, tol},
      {at(TLfo::WAVE_SAW_UP, 0.0f), -1.0f, tol}, {at(TLfo::WAVE_SAW_UP, 0.75f), 0.5f, tol},
      {at(TLfo::WAVE_SAW_DOWN, 0.0f), 1.0f, tol}, {at(TLfo::WAVE_SAW_DOWN, 0.75f), -0.5f, tol},
      {at(TLfo::WAVE_SQUARE, 0.0f), -1.0f}, {at(TLfo::WAVE_SQUARE, 0.4999f), -1.0f},
      {at(TLfo::WAVE_SQUARE, 0.5f), 1.0f}, {at(TLfo::WAVE_SQUARE, 0.9999f), 1.0f},
      {at(TLfo::WAVE_SINE, 0.0f), 0.0f}, {at(TLfo::WAVE_SINE, 0.25f), 1.0f, tol},
      {at(TLfo::WAVE_SINE, 0.6f), std::sin(1.2 * M_PI), tol}, {at(8, 0.3f), 0.0f}, {at(-1, 0.3f), 0.0f},
      {at(TLfo::WAVE_SHAPER_1, 0.0f), curve[0]}, {at(TLfo::WAVE_SHAPER_1, -1e-9f), curve[255]},
      {at(TLfo::WAVE_SHAPER_2, 0.5f), 0.5f * (curve[127] + curve[128]), tol},
      {at(TLfo::WAVE_TRIANGLE, 0.2f, s02), 1.0f, tol}, {at(TLfo::WAVE_TRIANGLE, 0.1f, s02), 0.0f, tol},
      {at(TLfo::WAVE_TRIANGLE, 0.6f, s02), 0.0f, tol}, {at(TLfo::WAVE_SAW_UP, 0.6f, s02), 0.5f, tol},
      {at(TLfo::WAVE_SQUARE, 0.19f, s02), -1.0f}, {at(TLfo::WAVE_SQUARE, 0.21f, s02), 1.0f},
      {at(TLfo::WAVE_SAW_UP, 0.3f, 2.0f), 0.3f / 0.999f - 1.0f, tol});
  TLfo noCurve;
  noCurve.setWave(TLfo::WAVE_SHAPER_1);
  EXPECT_EQ(noCurve.update(nullptr), 0.0f);
}

// sym = min(v, 1) 0.998 + 0.001 (0.001 below 0); smooth = 1 - 2^(-16 min(s, 1)) (0 below 0).
// Smoothing acts only while running: stopped, the raw wave; running, 2^-16 of the way from 0.
TEST(Lfo, SymmetryAndSmoothing) {
  TLfo lfo;
  const auto sym = [&](float v) {
    lfo.setSym(v);
    return lfo.getSym();
  };
  const auto smooth = [&](float v) {
    lfo.setSmooth(v);
    return lfo.getSmooth();
  };
  const float top = 1.0f - std::exp2(-16.0f);
  EXPECT_VALUES({sym(0.9f), 0.9f * 0.998f + 0.001f, kUlps}, {sym(-1.0f), 0.001f, kUlps},
                {sym(NaN), 0.001f, kUlps}, {sym(2.0f), 0.999f, kUlps}, {sym(Inf), 0.999f, kUlps},
                {sym(0.0f), 0.001f, kUlps}, {smooth(1.0f), top}, {smooth(0.5f), 1.0f - std::exp2(-8.0f)},
                {smooth(0.0f), 0.0f}, {smooth(-1.0f), 0.0f}, {smooth(NaN), 0.0f}, {smooth(3.0f), top});
  lfo.setWave(TLfo::WAVE_SQUARE);
  EXPECT_EQ(lfo.update(nullptr), -1.0f);
  lfo.init(44100.0f);
  lfo.setSmooth(1.0f);
  lfo.setWave(TLfo::WAVE_SQUARE);
  lfo.start();
  EXPECT_EQ(lfo.update(nullptr), -std::exp2(-16.0f));
}

// Free: 2^(10 speed) x 55/4096 Hz x mult. Synced: one cycle of step n lasts PERIOD_ARRAY[n] x 480
// x rate / tempo samples plus one, divided by mult (1/1T: 2/3 of two bars at 120 BPM; 16/1: 32 bars,
// long enough to show any drift). A rate below 1000 runs as 44,100. Speeds below 0.0001 and bad
// tempos or multipliers stand still.
TEST(Lfo, Speeds) {
  const auto firstStep = [](float rate, float speed, bool sync, float tempo, float mult) {
    TLfo lfo;
    lfo.setSpeed(speed, sync, tempo, mult);  // before init: init must not keep the old rate's step
    lfo.init(rate);
    lfo.start();
    lfo.setSpeed(speed, sync, tempo, mult);
    lfo.update(nullptr);
    return lfo.getPos();
  };
  const auto cycle = [](float speed, bool sync, float mult) {
    TLfo lfo;
    lfo.init(44100.0f);
    lfo.setSpeed(speed, sync, 120.0f, mult);
    lfo.start();
    return cycleLength(lfo, 4000000);
  };
  EXPECT_VALUES({firstStep(44100, 1.0f, false, 120, 1), 13.75f / 44100, 1e-9},
                {firstStep(44100, 0.5f, false, 120, 1), 0.4296875f / 44100, 1e-9},
                {firstStep(44100, 0.5f, false, 120, 4), 1.71875f / 44100, 1e-9},
                {firstStep(48000, 1.0f, false, 120, 1), 13.75f / 48000, 1e-9},
                {firstStep(10, 1.0f, false, 120, 1), 13.75f / 44100, 1e-9},
                {cycle(syncStep(15), true, 1), 117601, 2}, {cycle(syncStep(15), true, 2), 58800, 2},
                {cycle(syncStep(2), true, 1), 2822401, 2},
                {cycle(0.0001f, false, 1), 44100.0 / (std::exp2(0.001) * 55.0 / 4096.0), 20});
  EXPECT_VALUES(
      {firstStep(44100, 0.00009f, false, 120, 1), 0.0f}, {firstStep(44100, 0.0f, true, 120, 1), 0.0f},
      {firstStep(44100, NaN, false, 120, 1), 0.0f}, {firstStep(44100, 0.5f, true, 0, 1), 0.0f},
      {firstStep(44100, 0.5f, true, -120, 1), 0.0f}, {firstStep(44100, 0.5f, true, NaN, 1), 0.0f},
      {firstStep(44100, 0.5f, true, Inf, 1), 0.0f}, {firstStep(44100, 0.5f, false, 120, Inf), 0.0f},
      {firstStep(44100, 0.5f, false, 120, NaN), 0.0f}, {firstStep(44100, 0.5f, false, 120, -1), 0.0f},
      {firstStep(44100, 50.0f, false, 120, 1), 0.0f});
}

// Stopped after construction; trigger is edge-triggered (a running LFO is not restarted, any non-zero
// value is "on"); stop keeps the position, reset clears it. The phase is added to the position and
// wrapped (-0.25 at position 0.1 reads x = 0.85); a bad phase never poisons the output.
TEST(Lfo, TriggerPositionAndPhase) {
  TLfo lfo;
  lfo.setWave(TLfo::WAVE_SAW_UP);
  lfo.setSpeed(syncStep(0), true, 120.0f, 0.1f);
  const auto step = [&](int trigger) {
    if (trigger != 2) lfo.trigger(trigger);
    lfo.update(nullptr);
    return lfo.getPos();
  };
  const auto at = [&](float phase) {
    lfo.setPhase(phase);
    return lfo.update(nullptr);
  };
  EXPECT_VALUES({step(2), 0.0f}, {step(1), 0.1f, kUlps}, {step(1), 0.2f, kUlps}, {step(0), 0.2f, kUlps},
                {step(0), 0.2f, kUlps}, {step(-3), 0.1f, kUlps}, {lfo.isRunning(), true});
  lfo.stop();
  EXPECT_VALUES({at(-0.25f), 0.7f, 1e-6}, {at(1.25f), -0.3f, 1e-6}, {lfo.getPos(), 0.1f, kUlps});
  for (float p : {NaN, Inf, -Inf, 1e30f, -1e30f}) EXPECT_TRUE(std::isfinite(at(p))) << p;
  lfo.reset();
  EXPECT_VALUES({lfo.isRunning(), false}, {lfo.getPos(), 0.0f});
}

// On every wrap the hold level is redrawn as 2r - 1 and the rate factor as r x hum + 1 (1 without
// hum), in that order from the instance's generator.
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
      const float held = lfo.getValue();
      for (float before = lfo.getPos(); lfo.update(nullptr) == held && lfo.getPos() >= before;) {
        EXPECT_FLOAT_EQ(lfo.getPos() - before, 0.5f * humFactor);
        before = lfo.getPos();
      }
      EXPECT_EQ(lfo.getValue(), 2.0f * twin.next() - 1.0f) << hum << " " << wrap;
      humFactor = twin.next() * hum + 1.0f;
    }
  }
}

// The lazy oscillator is always a sine; one step of 0.25 in it sits at its peak, position 0.25.
TEST(Lfo, LazyOutputForms) {
  const auto lazyAt = [](int mode, float phase) {
    TLfo lfo;
    lfo.setWave(TLfo::WAVE_SQUARE);
    lfo.setPhase(phase);
    lfo.setSpeed(syncStep(0), true, 120.0f, 0.25f);
    lfo.start();
    return lfo.getLazyValue(mode);
  };
  EXPECT_VALUES({lazyAt(TLfo::LAZY_SINE, 0), 1.0f, 1e-6}, {lazyAt(TLfo::LAZY_LEFT_RIGHT, 0), 1.0f, 1e-6},
                {lazyAt(TLfo::LAZY_LEFT, 0), 0.5f, 1e-6}, {lazyAt(TLfo::LAZY_RIGHT, 0), 1.0f, 1e-6},
                {lazyAt(TLfo::LAZY_LEFT_SAW, 0), 0.375f}, {lazyAt(TLfo::LAZY_RIGHT_SAW, 0), 0.625f},
                {lazyAt(5, 0), 0.625f}, {lazyAt(7, 0), 0.625f}, {lazyAt(-1, 0), 0.625f},
                {lazyAt(TLfo::LAZY_LEFT_SAW, 0.5f), 0.375f}, {lazyAt(TLfo::LAZY_SINE, 0.5f), -1.0f, 1e-6});
}

// The shared sine spans 6.28318, a hair short of two pi. The period table: 16/1* is 18 (not 24),
// then each group below is dotted (x 1.5), straight (halving per group) and triplet (x 2/3).
TEST(Lfo, SineTableAndPeriodTable) {
  const float* sine = TLfo::sineTable();
  EXPECT_VALUES({sine[0], 0.0f}, {sine[32768], 1.0f, 1e-6}, {sine[131071] < 0.0f, true},
                {sine[131071] > -1e-4f, true}, {PERIOD_ARRAY[0], 0.0f}, {PERIOD_ARRAY[1], 18.0f},
                {PERIOD_ARRAY[2], 16.0f}, {PERIOD_ARRAY[3], 32.0f / 3.0f, kUlps});
  for (int g = 1; g < 10; ++g) {
    const float straight = 16.0f / static_cast<float>(1 << g);
    EXPECT_VALUES({PERIOD_ARRAY[3 * g + 2], straight}, {PERIOD_ARRAY[3 * g + 1], straight * 1.5f},
                  {PERIOD_ARRAY[3 * g + 3], straight * 2.0f / 3.0f, kUlps});
  }
}
