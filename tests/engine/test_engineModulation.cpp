// Modulation sources in the running engine: LFO timing and modes, the follower, Disrupt,
// and what reaches the editor.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/uLfo.h"
#include "engineTestUtil.h"
#include "support/fakeEditorLink.h"
#include "support/expectValues.h"

using namespace engine_test;

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

struct RecordingEditor : testing_support::FakeEditorLink {
  std::vector<float> vu;
  void setVU(float a, float b, float c, float d) override {
    FakeEditorLink::setVU(a, b, c, d);
    vu.insert(vu.end(), {a, b, c, d});
  }
};

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
    EXPECT_NEAR(measured, expected, 1.5) << "step " << c.step << " tempo " << c.tempo;
    EXPECT_EQ(APlugin::getSyncedPeriod((static_cast<float>(c.step) + 0.5f) / 30.99f), c.step);
  }
}

TEST(EngineLfo, AnUnusableHostTempoIsIgnored) {
  auto p = makeProbe();
  for (double bad : {0.0, -120.0, std::nan(""), 1e300}) {
    p->time.tempo = bad;
    p->run(64);
    EXPECT_EQ(p->getTempo(), 120.0f) << bad;
    EXPECT_EQ(p->getSamplesPerBar(), 88200.0f);
  }
  p->time.tempo = 90.0;
  p->time.tempoValid = false;
  p->run(64);
  EXPECT_EQ(p->getTempo(), 120.0f);
  p->time.tempoValid = true;
  p->run(64);
  EXPECT_EQ(p->getTempo(), 90.0f);
  EXPECT_FLOAT_EQ(p->getSamplesPerBar(), 44100.0f * 240.0f / 90.0f);
}

TEST(EngineLfo, NoteAndMidiModesWaitWhileFreeRuns) {
  for (int mode : {0, 2, 3}) {
    auto p = makeProbe();
    routeLfo1(*p);
    p->setStep(LFO_MODE_TAGS[0], mode);
    p->run(64);
    const float first = p->getSourceValue(32);
    bool moved = false;
    for (int i = 0; i < 20; ++i) {
      p->run(500);
      moved |= p->getSourceValue(32) != first;
    }
    EXPECT_EQ(moved, mode == 0) << "mode " << mode;
  }
}

TEST(EngineLfo, HostModeStartsOnTheTransportEdgeOnly) {
  auto p = makeProbe();
  p->time.playing = false;
  routeLfo1(*p);
  p->setStep(LFO_MODE_TAGS[0], 1);
  p->run(5000);
  EXPECT_EQ(p->getLfo(0).getPos(), 0.0f);
  EXPECT_FALSE(p->getLfo(0).isRunning());

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
  p->setStep(LFO_SPEED_TAGS[0], 0);
  p->setParameter(LFO_SPEED_TAGS[0], 0.9f);
  p->run(2000);
  EXPECT_FALSE(p->lfoInUse[0]);
  const float still = p->getSourceValue(32);
  p->run(2000);
  EXPECT_EQ(p->getSourceValue(32), still);

  p->setStep(MOD_SLOT_SRC_TAGS[3], SRC_LFO_UNI[0]);
  p->run(256);
  EXPECT_TRUE(p->lfoInUse[0]);
  p->run(100);
  EXPECT_NE(p->getSourceValue(32), still);
  EXPECT_NEAR(p->getSourceValue(33), p->getSourceValue(32) * 0.5f + 0.5f, 1e-6f);
}

TEST(EngineFollower, FollowsThePositiveMeanWithItsHoldAndDecay) {
  auto p = makeProbe();
  p->setParameter(FOLLOWER_THRESHOLD_TAG, 0.0f);  // threshold 0 still drops negative means
  p->run(8000, -0.5f, -0.5f);
  EXPECT_LT(p->getSourceValue(40), 1e-9f);  // only the anti-denormal offset

  p->run(20000, 0.5f, 0.3f);
  EXPECT_NEAR(p->getSourceValue(40), 0.4f, 1e-3f);  // boost 0 dB at the knob's middle

  for (float hold : {0.0f, 0.5f}) {
    p->setParameter(FOLLOWER_HOLD_TAG, hold);
    p->run(20000, 0.5f, 0.3f);
    const float top = p->getSourceValue(40);
    int held = 0;
    for (int i = 0; i < 10000; ++i) {
      p->sample(0.0f, 0.0f);
      if (p->getSourceValue(40) != top) break;
      ++held;
    }
    const double expected = (std::exp2(14.0 * hold - 1.0) * 44100.0 + 4.0) / 1000.0;
    EXPECT_NEAR(held, expected, 2.0) << "hold " << hold;
    p->run(20000);
    EXPECT_LT(p->getSourceValue(40), 0.01f);
  }
}

TEST(EngineFollower, FeedsFromTheChosenTap) {
  // Side input only: the main input tap hears nothing, the side tap everything.
  for (int source : {0, 1, 6}) {
    auto p = makeProbe();
    p->setParameter(FOLLOWER_THRESHOLD_TAG, 0.0f);
    p->setStep(FOLLOWER_SOURCE_TAG, source);
    float side[64], zero[64] = {}, o0[64], o1[64];
    for (float& v : side) v = 0.4f;
    float* ins[4] = {zero, zero, side, side};
    float* outs[2] = {o0, o1};
    for (int i = 0; i < 300; ++i) p->processReplacing(ins, outs, 64);
    if (source == 1)
      EXPECT_NEAR(p->getSourceValue(40), 0.4f, 1e-3f);
    else
      EXPECT_LT(p->getSourceValue(40), 1e-9f) << source;
  }
}

TEST(EngineDisrupt, QuantiseRoundsToItsDivisions) {
  auto p = makeProbe();
  p->setStep(DISRUPT_QUANT_TAG, 12);  // "2": divisor 1
  for (float v : {0.0f, 0.1f, 0.3f, 0.49f, 0.5f, 0.7f, 0.76f, 0.9f, 1.0f}) {
    p->setParameter(DISRUPT_AMOUNT_TAG, v);
    p->run(32);
    const float d = p->getSourceValue(41);
    EXPECT_TRUE(d == -1.0f || d == 0.0f || d == 1.0f) << v << " gave " << d;
    EXPECT_EQ(d, std::floor(2.0f * v - 1.0f + 0.5f)) << v;
  }
  p->setStep(DISRUPT_QUANT_TAG, 7);  // "8": divisor 6
  p->setParameter(DISRUPT_AMOUNT_TAG, 0.6f);
  p->run(32);
  EXPECT_FLOAT_EQ(p->getSourceValue(41), 1.0f / 6.0f);
  p->setStep(DISRUPT_QUANT_TAG, 0);
  p->run(32);
  EXPECT_NEAR(p->getSourceValue(41), 0.2f, 1e-6f);
  EXPECT_NEAR(p->getModDisruptAmount(), 0.2f, 1e-6f);
}

TEST(EngineDisrupt, InstantSpringSnapsHomeButLeavesANearlyCentredValue) {
  auto p = makeProbe();
  p->setStep(DISRUPT_SPRING_TAG, 1);
  p->run(32);
  p->setParameter(DISRUPT_AMOUNT_TAG, 0.505f);
  p->setDisruptSpringOn();
  p->run(100);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.505f);
  p->setParameter(DISRUPT_AMOUNT_TAG, 0.3f);
  p->setDisruptSpringOn();
  p->run(1);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.5f);
  p->setParameter(DISRUPT_AMOUNT_TAG, 0.9f);
  p->setDisruptSpringOn();
  p->run(1);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.5f);
}

TEST(EngineDisrupt, AOneBarSpringTakesABarAndStopsAtTheCentre) {
  auto p = makeProbe();
  p->setStep(DISRUPT_SPRING_TAG, 17);  // "1 QB"
  p->run(32);
  p->setParameter(DISRUPT_AMOUNT_TAG, 1.0f);
  p->setDisruptSpringOn();
  int n = 0;
  float last = 1.0f;
  while (p->getParameter(DISRUPT_AMOUNT_TAG) != 0.5f && n < 200000) {
    p->sample(0.0f, 0.0f);
    const float v = p->getParameter(DISRUPT_AMOUNT_TAG);
    ASSERT_LE(v, last);
    ASSERT_GE(v, 0.5f);
    last = v;
    ++n;
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
  const float moved = p->getParameter(DISRUPT_AMOUNT_TAG);
  EXPECT_GT(moved, 0.2f);
  // The user drags it past the centre while the spring pulls upwards: the spring lets go.
  p->setParameter(DISRUPT_AMOUNT_TAG, 0.95f);
  p->run(50000);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.95f);

  p->setDisruptSpringOn();
  p->run(100);
  EXPECT_LT(p->getParameter(DISRUPT_AMOUNT_TAG), 0.95f);
  p->setDisruptSpringOff();
  const float held = p->getParameter(DISRUPT_AMOUNT_TAG);
  p->run(1000);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), held);
}

TEST(EngineDisrupt, SpringTimeLeavingOffAndLazyModeEndingPullTheValueHome) {
  auto p = makeProbe();
  p->setStep(DISRUPT_SPRING_TAG, 0);  // "Off" never springs
  p->run(32);
  p->setParameter(DISRUPT_AMOUNT_TAG, 0.8f);
  p->setDisruptSpringOn();
  p->run(1000);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.8f);
  p->setStep(DISRUPT_SPRING_TAG, 1);
  p->run(32);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.5f);

  // Lazy mode writes the value itself, within 0..1, and its sources agree with each other.
  p->setParameter(DISRUPT_LAZY_ON_TAG, 1.0f);
  p->setParameter(DISRUPT_LAZY_SYNC_TAG, 0.0f);
  p->setParameter(DISRUPT_LAZY_SPEED_TAG, 1.0f);
  float lo = 1.0f, hi = 0.0f;
  for (int i = 0; i < 200; ++i) {
    p->run(100);
    const float v = p->getParameter(DISRUPT_AMOUNT_TAG);
    lo = std::fmin(lo, v);
    hi = std::fmax(hi, v);
    const float w = p->getSourceValue(42);
    EXPECT_FLOAT_EQ(p->getSourceValue(43), w * 0.5f + 0.5f);
    EXPECT_EQ(p->getSourceValue(44), w > 0.0f ? 1.0f : (w < 0.0f ? -1.0f : 0.0f));
  }
  EXPECT_GE(lo, 0.0f);
  EXPECT_LE(hi, 1.0f);
  EXPECT_GT(hi - lo, 0.5f);
  p->setParameter(DISRUPT_LAZY_ON_TAG, 0.0f);
  p->run(32);
  EXPECT_EQ(p->getParameter(DISRUPT_AMOUNT_TAG), 0.5f);
}

TEST(EngineDisrupt, AModulatedAmountSurvivesTheRoutingTick) {
  auto p = makeProbe();
  // Offset -> Disrupt amount at +0.5 through matrix row 1.
  p->setStep(MOD_SLOT_SRC_TAGS[0], 52);
  p->setStep(MOD_SLOT_DEST_TAGS[0], 58);
  p->setParameter(MOD_SLOT_AMT_TAGS[0], 0.75f);
  p->run(600);
  for (int i = 0; i < 600; ++i) {
    p->sample(0.0f, 0.0f);
    ASSERT_NEAR(p->getSourceValue(41), 0.5f, 1e-6f) << i;
  }
}

TEST(EngineEditor, MetersEvery2048AndTheDisruptValueEvery1024Samples) {
  auto p = makeProbe();
  p->run(10000, 0.5f, 0.25f, 7);
  ASSERT_EQ(p->shownLevels.size(), 20u);  // samples 0, 2048, 4096, 6144, 8192
  EXPECT_VALUES(
      {p->shownDisrupt.size(), 10u}, {p->shownLevels[16], 0.5f * 4.0f, 0.05f},
      {p->shownLevels[17], 0.25f * 4.0f, 0.05f});
}

// The plug-in passes the engine's reports on only while its editor is open.
TEST(EngineEditor, ReportsReachOnlyAnOpenEditor) {
  FakeHost host;
  auto p = makePlugin();
  RecordingEditor editor;
  p->editorLink = &editor;
  p->editorOpen = true;
  std::vector<float> in(4096, 0.5f), out(4096);
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  p->processReplacing(ins, outs, 4096);
  EXPECT_EQ(editor.vuCalls, 2);
  int tag69 = 0;
  for (auto& [tag, value] : editor.parameters) tag69 += tag == DISRUPT_AMOUNT_TAG;
  EXPECT_EQ(tag69, 4);
  editor.open = false;
  p->processReplacing(ins, outs, 4096);
  EXPECT_EQ(editor.vuCalls, 2);
  p->editorLink = nullptr;
}

TEST(EngineSources, NoiseIsNewEverySampleAndDiffersBetweenInstances) {
  auto a = makeProbe(), b = makeProbe();
  int same = 0, repeats = 0;
  float last = -2.0f;
  for (int i = 0; i < 1000; ++i) {
    a->sample(0.1f, 0.3f, -0.2f, 0.6f);
    b->sample(0.0f, 0.0f);
    const float n = a->getSourceValue(53), u = a->getSourceValue(54);
    ASSERT_FLOAT_EQ(n, 2.0f * u - 1.0f);
    ASSERT_GE(u, 0.0f);
    ASSERT_LE(u, 1.0f);
    repeats += n == last;
    last = n;
    same += n == b->getSourceValue(53);
  }
  EXPECT_LT(repeats, 5);
  EXPECT_LT(same, 5);
  EXPECT_FLOAT_EQ(a->getSourceValue(45), 0.2f);   // main input mean
  EXPECT_FLOAT_EQ(a->getSourceValue(46), 0.2f);   // side input mean
  EXPECT_EQ(a->getSourceValue(52), 1.0f);         // the constant offset
}
