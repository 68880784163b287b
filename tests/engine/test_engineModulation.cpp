// Modulation sources in the running engine: LFO timing and modes, the follower, Disrupt,
// and what reaches the editor.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/uLfo.h"
#include "engineTestUtil.h"
#include "support/expectValues.h"
#include "support/fakeEditorLink.h"

using namespace engine_test;
using testing_support::kUlps;

namespace {

// Samples between the first two wraps of LFO 1 (saw up, read through its unipolar source).
int measurePeriod(Probe& p, int limit) {
  float last = p.getSourceValue(33);
  int firstWrap = -1;
  for (int i = 0; i < limit; ++i) {
    p.sample(0.0f, 0.0f);
    const float v = p.getSourceValue(33);
    if (v < last - 0.5f) {
      if (firstWrap >= 0) return i - firstWrap;
      firstWrap = i;
    }
    last = v;
  }
  return -1;
}

void routeLfo1(Probe& p) {
  p.setStep(LFO_DEST_TAGS[0], 1);  // Volume
  p.setStep(LFO_WAVE_TAGS[0], TLfo::WAVE_SAW_UP);
}

}  // namespace

TEST(EngineLfo, SyncedPeriodsFollowTheHostTempo) {
  struct Case {
    int step;
    double tempo;
  };
  for (Case c : {Case{20, 120.0}, Case{26, 120.0}, Case{29, 120.0}, Case{23, 120.0}, Case{26, 60.0}}) {
    auto p = makeProbe();
    p->time.tempo = c.tempo;
    routeLfo1(*p);
    p->setParameter(LFO_SYNC_TAGS[0], 1.0f);
    p->setParameter(LFO_SPEED_TAGS[0], (static_cast<float>(c.step) + 0.5f) / 30.99f);
    const double expected = PERIOD_ARRAY[c.step] * 480.0 * 44100.0 / c.tempo + 1.0;
    const int measured = measurePeriod(*p, static_cast<int>(expected * 2.5));
    EXPECT_NEAR(measured, expected, 1.5) << c.step << ", " << c.tempo;
  }
  // The knob's period index adds a tenth and stays in range: just below a step boundary the
  // text already names the next division.
  const auto period = &APlugin::getSyncedPeriod;
  EXPECT_VALUES({period(1.0f), 30}, {period(0.0f), 0}, {period(0.5f), 15}, {period(2.0f), 30},
                {period(-1.0f), 0}, {period(std::nanf("")), 0}, {period(14.95f / 30.99f), 15});
}

TEST(EngineLfo, AnUnusableHostTempoIsIgnored) {
  auto p = makeProbe();
  for (double bad : {0.0, -120.0, std::nan(""), 1e300}) {
    p->time.tempo = bad;
    p->run(64);
    EXPECT_VALUES({p->getTempo(), 120.0f}, {p->getSamplesPerBar(), 88200.0f});
  }
  p->time.tempo = 90.0;
  p->time.tempoValid = false;
  p->run(64);
  EXPECT_EQ(p->getTempo(), 120.0f);
  p->time.tempoValid = true;
  p->run(64);
  EXPECT_VALUES({p->getTempo(), 90.0f}, {p->getSamplesPerBar(), 44100.0f * 240.0f / 90.0f, kUlps});
}

// A free LFO runs at once; the note and MIDI modes wait for their trigger, the host mode for
// the transport to start.
TEST(EngineLfo, OnlyAFreeLfoRunsUntilItsTrigger) {
  for (int mode : {0, 2, 3}) {
    auto p = makeProbe();
    routeLfo1(*p);
    p->setStep(LFO_MODE_TAGS[0], mode);
    p->run(10000);
    EXPECT_EQ(p->getLfo(0).getPos() > 0.0f, mode == 0) << "mode " << mode;
  }
  auto p = makeProbe();
  p->time.playing = false;
  routeLfo1(*p);
  p->setStep(LFO_MODE_TAGS[0], 1);
  p->run(5000);
  EXPECT_VALUES({p->getLfo(0).getPos(), 0.0f}, {p->getLfo(0).isRunning(), false});
  p->time.playing = true;
  p->run(16);
  EXPECT_TRUE(p->getLfo(0).isRunning());
  p->run(4000);
  const float pos = p->getLfo(0).getPos();
  EXPECT_GT(pos, 0.0f);
  p->run(4000);  // still playing: no second start
  EXPECT_GT(p->getLfo(0).getPos(), pos);
  p->time.playing = false;
  p->run(64);
  p->time.playing = true;
  p->run(32);
  EXPECT_LT(p->getLfo(0).getPos(), pos / 10.0f);  // started again from the top
}

TEST(EngineLfo, AnUnroutedLfoStandsStillUntilAMatrixRowUsesIt) {
  auto p = makeProbe();
  p->setParameter(LFO_SPEED_TAGS[0], 0.9f);
  p->run(2000);
  EXPECT_FALSE(p->lfoInUse[0]);
  const float still = p->getSourceValue(32);
  p->run(2000);
  EXPECT_EQ(p->getSourceValue(32), still);
  p->setStep(MOD_SLOT_SRC_TAGS[3], SRC_LFO_UNI[0]);
  p->run(356);
  EXPECT_TRUE(p->lfoInUse[0]);
  EXPECT_NE(p->getSourceValue(32), still);
  EXPECT_NEAR(p->getSourceValue(33), p->getSourceValue(32) * 0.5f + 0.5f, 1e-6f);
}

TEST(EngineFollower, HoldsItsValueThenDecays) {
  auto p = makeProbe();
  p->setParameter(FOLLOWER_THRESHOLD_TAG, 0.0f);
  for (float hold : {0.0f, 0.5f}) {
    p->setParameter(FOLLOWER_HOLD_TAG, hold);
    p->run(20000, 0.5f, 0.3f);
    const float top = p->getSourceValue(40);
    int held = 0;
    for (; held < 10000; ++held) {
      p->sample(0.0f, 0.0f);
      if (p->getSourceValue(40) != top) break;
    }
    EXPECT_NEAR(held, (std::exp2(14.0 * hold - 1.0) * 44100.0 + 4.0) / 1000.0, 2.0) << "hold " << hold;
    p->run(20000);
    EXPECT_LT(p->getSourceValue(40), 0.01f);
  }
}

namespace {

// A parameter of a scenario: a value, or a step of a stepped parameter.
struct Set {
  int tag;
  float value;
  bool step = false;
};
Set step(int tag, int n) { return {tag, static_cast<float>(n), true}; }

}  // namespace

// What a source reads after a while on constant input, checked sample by sample for a while
// longer so that no control or routing tick disturbs it.
TEST(EngineSources, ValuesOnASteadyInput) {
  struct Case {
    const char* what;
    std::vector<Set> set;
    float in[4];  // main left, right, side left, right
    int source;
    float expected, tolerance;
  };
  const Set all = {FOLLOWER_THRESHOLD_TAG, 0.0f}, tap0 = step(FOLLOWER_SOURCE_TAG, 0);
  const Set tap1 = step(FOLLOWER_SOURCE_TAG, 1), tap6 = step(FOLLOWER_SOURCE_TAG, 6);
  // Disrupt quantised to "2" (divisor 1) rounds 2v - 1, to "8" (divisor 6) to sixths.
  const Set q2 = step(DISRUPT_QUANT_TAG, 12), q8 = step(DISRUPT_QUANT_TAG, 7);
  const Set qOff = step(DISRUPT_QUANT_TAG, 0);
  auto amount = [](float v) { return Set{DISRUPT_AMOUNT_TAG, v}; };
  const Set offsetRow = step(MOD_SLOT_SRC_TAGS[0], SRC_OFFSET), toAmount = step(MOD_SLOT_DEST_TAGS[0], 58);
  const std::vector<Set> offsetToAmount = {offsetRow, toAmount, {MOD_SLOT_AMT_TAGS[0], 0.75f}};  // +0.5
  const Case cases[] = {
      {"follower: the mean, boost 0 dB at the knob's middle", {all}, {0.5f, 0.3f}, SRC_FOLLOWER, 0.4f, 1e-3f},
      {"follower: a negative mean is dropped", {all}, {-0.5f, -0.5f}, SRC_FOLLOWER, 0.0f, 1e-9f},
      {"follower: main tap, side input", {all, tap0}, {0, 0, 0.4f, 0.4f}, SRC_FOLLOWER, 0.0f, 1e-9f},
      {"follower: side tap", {all, tap1}, {0, 0, 0.4f, 0.4f}, SRC_FOLLOWER, 0.4f, 1e-3f},
      {"follower: a stage tap, side input", {all, tap6}, {0, 0, 0.4f, 0.4f}, SRC_FOLLOWER, 0.0f, 1e-9f},
      {"input mean", {}, {0.1f, 0.3f, -0.2f, 0.6f}, SRC_INPUT, 0.2f, 1e-7f},
      {"side mean", {}, {0.1f, 0.3f, -0.2f, 0.6f}, SRC_SIDE, 0.2f, 1e-7f},
      {"the constant offset", {}, {}, SRC_OFFSET, 1.0f, 0.0f},
      {"quantised 0.1", {q2, amount(0.1f)}, {}, SRC_DISRUPT, -1.0f, 0.0f},
      {"quantised 0.49", {q2, amount(0.49f)}, {}, SRC_DISRUPT, 0.0f, 0.0f},
      {"quantised 0.7", {q2, amount(0.7f)}, {}, SRC_DISRUPT, 0.0f, 0.0f},
      {"quantised 0.76", {q2, amount(0.76f)}, {}, SRC_DISRUPT, 1.0f, 0.0f},
      {"quantised in sixths", {q8, amount(0.6f)}, {}, SRC_DISRUPT, 1.0f / 6.0f, 1e-7f},
      {"not quantised", {qOff, amount(0.6f)}, {}, SRC_DISRUPT, 0.2f, 1e-6f},
      {"Offset -> Disrupt amount survives the routing tick", offsetToAmount, {}, SRC_DISRUPT, 0.5f, 1e-6f},
  };
  for (const Case& c : cases) {
    auto p = makeProbe();
    for (const Set& s : c.set) {
      if (s.step)
        p->setStep(s.tag, static_cast<int>(s.value));
      else
        p->setParameter(s.tag, s.value);
    }
    for (int i = 0; i < 20000; ++i) p->sample(c.in[0], c.in[1], c.in[2], c.in[3]);
    for (int i = 0; i < 600; ++i) {
      p->sample(c.in[0], c.in[1], c.in[2], c.in[3]);
      ASSERT_NEAR(p->getSourceValue(c.source), c.expected, c.tolerance) << c.what << ", sample " << i;
    }
  }
}

// The spring pulls the amount home to the centre: "Off" never, step 1 at once (a nearly
// centred value stays), "1 QB" over a bar.
TEST(EngineDisrupt, TheSpringPullsTheAmountHome) {
  struct Case {
    int spring;
    float from;
    int samples;
    float to;
  };
  for (Case c : {Case{1, 0.505f, 100, 0.505f}, Case{1, 0.3f, 1, 0.5f}, Case{1, 0.9f, 1, 0.5f},
                 Case{0, 0.8f, 1000, 0.8f}}) {
    auto p = makeProbe();
    p->setStep(DISRUPT_SPRING_TAG, c.spring);
    p->run(32);
    p->setParameter(DISRUPT_AMOUNT_TAG, c.from);
    p->setDisruptSpringOn();
    p->run(c.samples);
    EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), c.to) << c.spring << " " << c.from;
    p->setStep(DISRUPT_SPRING_TAG, 1);  // a spring time leaving "Off" pulls home too
    p->run(32);
    EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), c.from == 0.505f ? c.from : 0.5f);
  }
  auto p = makeProbe();
  p->setStep(DISRUPT_SPRING_TAG, 17);  // "1 QB"
  p->run(32);
  p->setParameter(DISRUPT_AMOUNT_TAG, 1.0f);
  p->setDisruptSpringOn();
  int n = 0;
  for (float last = 1.0f; p->getParameter(DISRUPT_AMOUNT_TAG) != 0.5f && n < 200000; ++n) {
    p->sample(0.0f, 0.0f);
    const float v = p->getParameter(DISRUPT_AMOUNT_TAG);
    ASSERT_TRUE(v <= last && v >= 0.5f) << n;
    last = v;
  }
  EXPECT_NEAR(n, 88200, 441);  // float steps on values near 1 round by a fraction of a percent
  p->run(1000);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.5f);
}

TEST(EngineDisrupt, ASpringStopsWhenItsStepPointsAwayOrWhenGrabbed) {
  auto p = makeProbe();
  p->setStep(DISRUPT_SPRING_TAG, 17);
  p->run(32);
  p->setParameter(DISRUPT_AMOUNT_TAG, 0.2f);
  p->setDisruptSpringOn();
  p->run(100);
  EXPECT_GT(p->getParameter(DISRUPT_AMOUNT_TAG), 0.2f);
  // The user drags it past the centre while the spring pulls upwards: the spring lets go.
  p->setParameter(DISRUPT_AMOUNT_TAG, 0.95f);
  p->run(50000);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.95f);
  p->setDisruptSpringOn();
  p->run(100);
  p->setDisruptSpringOff();
  const float held = p->getParameter(DISRUPT_AMOUNT_TAG);
  EXPECT_LT(held, 0.95f);
  p->run(1000);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), held);
}

// Lazy mode writes the value itself, within 0..1, its sources agree with each other, and its
// end lets the spring pull the value home.
TEST(EngineDisrupt, LazyModeMovesTheAmountAndItsEndPullsItHome) {
  auto p = makeProbe();
  p->setStep(DISRUPT_SPRING_TAG, 1);
  p->setParameter(DISRUPT_LAZY_ON_TAG, 1.0f);
  p->setParameter(DISRUPT_LAZY_SYNC_TAG, 0.0f);
  p->setParameter(DISRUPT_LAZY_SPEED_TAG, 1.0f);
  float lo = 1.0f, hi = 0.0f;
  for (int i = 0; i < 200; ++i) {
    p->run(100);
    lo = std::fmin(lo, p->getParameter(DISRUPT_AMOUNT_TAG));
    hi = std::fmax(hi, p->getParameter(DISRUPT_AMOUNT_TAG));
    const float w = p->getSourceValue(42);
    EXPECT_FLOAT_EQ(p->getSourceValue(43), w * 0.5f + 0.5f);
    EXPECT_EQ(p->getSourceValue(44), w > 0.0f ? 1.0f : (w < 0.0f ? -1.0f : 0.0f));
  }
  EXPECT_TRUE(lo >= 0.0f && hi <= 1.0f && hi - lo > 0.5f) << lo << " " << hi;
  p->setParameter(DISRUPT_LAZY_ON_TAG, 0.0f);
  p->run(32);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.5f);
}

TEST(EngineEditor, MetersEvery2048AndTheDisruptValueEvery1024Samples) {
  auto p = makeProbe();
  p->run(10000, 0.5f, 0.25f, 7);
  ASSERT_EQ(p->shownLevels.size(), 20u);  // samples 0, 2048, 4096, 6144, 8192
  EXPECT_VALUES({p->shownDisrupt.size(), 10u}, {p->shownLevels[16], 0.5f * 4.0f, 0.05f},
                {p->shownLevels[17], 0.25f * 4.0f, 0.05f});
}

// The plug-in passes the engine's reports on only while its editor is open.
TEST(EngineEditor, ReportsReachOnlyAnOpenEditor) {
  FakeHost host;
  auto p = makePlugin();
  testing_support::FakeEditorLink editor;
  p->editorLink = &editor;
  p->editorOpen = true;
  std::vector<float> in(4096, 0.5f), out(4096);
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  p->processReplacing(ins, outs, 4096);
  int disruptReports = 0;
  for (auto& [tag, value] : editor.parameters) disruptReports += tag == DISRUPT_AMOUNT_TAG;
  EXPECT_VALUES({editor.vuCalls, 2}, {disruptReports, 4});
  editor.open = false;
  p->processReplacing(ins, outs, 4096);
  EXPECT_EQ(editor.vuCalls, 2);
  p->editorLink = nullptr;
}

TEST(EngineSources, NoiseIsNewEverySampleAndDiffersBetweenInstances) {
  auto a = makeProbe(), b = makeProbe();
  int same = 0, repeats = 0;
  for (int i = 0; i < 1000; ++i) {
    const float last = a->getSourceValue(SRC_NOISE);
    a->sample(0.0f, 0.0f);
    b->sample(0.0f, 0.0f);
    const float n = a->getSourceValue(SRC_NOISE), u = a->getSourceValue(SRC_UNI_NOISE);
    ASSERT_TRUE(n == 2.0f * u - 1.0f && u >= 0.0f && u <= 1.0f) << n << " " << u;
    repeats += n == last;
    same += n == b->getSourceValue(SRC_NOISE);
  }
  EXPECT_VALUES({repeats < 5, true}, {same < 5, true});
}
