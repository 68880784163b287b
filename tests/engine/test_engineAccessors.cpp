// The plug-in's typed views of its selections and the values its editor screens draw.
#include <gtest/gtest.h>

#include <cmath>

#include "engineTestUtil.h"
#include "support/expectValues.h"

using namespace engine_test;

TEST(EngineAccessors, SyncedPeriodIndexAddsATenthAndStaysInRange) {
  EXPECT_VALUES(
      {APlugin::getSyncedPeriod(1.0f), 30}, {APlugin::getSyncedPeriod(0.0f), 0},
      {APlugin::getSyncedPeriod(0.5f), 15}, {APlugin::getSyncedPeriod(2.0f), 30},
      {APlugin::getSyncedPeriod(-1.0f), 0});
  EXPECT_EQ(APlugin::getSyncedPeriod(std::nanf("")), 0);
  // Just below a step boundary the text already names the next division.
  EXPECT_EQ(APlugin::getSyncedPeriod(14.95f / 30.99f), 15);
}

TEST(EngineAccessors, CompressorMeterScaleAroundItsThresholds) {
  EXPECT_VALUES(
      {TEngine::compLevelToDisplay(0.000999f), 0.0f}, {TEngine::compLevelToDisplay(0.001f), -0.5f, 1e-5f},
      {TEngine::compLevelToDisplay(0.01f), 0.0f, 1e-6f}, {TEngine::compLevelToDisplay(0.1f), 0.5f, 1e-6f},
      {TEngine::compLevelToDisplay(1.0f), 1.0f, 1e-6f});
  EXPECT_GT(TEngine::compLevelToDisplay(2.0f), 1.0f);
  EXPECT_EQ(TEngine::compLevelToDisplay(std::nanf("")), 0.0f);

  auto p = makeProbe();
  p->compMeterLevel = 0.1f;
  EXPECT_EQ(p->getCompVolume(), 0.0f);  // compressor off
  p->setParameter(COMP_ON_TAG, 1.0f);
  p->setParameter(COMP_THRESHOLD_TAG, 0.0f);
  p->run(4096, 0.5f, 0.5f);
  EXPECT_GT(p->getCompVolume(), 0.0f);
  EXPECT_FALSE(p->getNoiseGateTriggered());  // gate off
}

TEST(EngineAccessors, FollowerHistoryIsReadOldestToNewestAcrossTheRingEnds) {
  auto p = makeProbe();
  for (int i = 0; i < 512; ++i) p->followerHistory[i] = static_cast<float>(i) / 1000.0f;
  for (int write : {0, 100, 511}) {
    p->followerPhase = (write + 0.5) / 512.0;
    const int next = (write + 1) & 511;
    EXPECT_EQ(p->getFollowerValue(0.0f), static_cast<float>(next) / 1000.0f) << write;
    EXPECT_EQ(p->getFollowerValue(0.999f), static_cast<float>(write) / 1000.0f) << write;
    EXPECT_EQ(p->getFollowerValue(0.5f), static_cast<float>((write + 256) & 511) / 1000.0f) << write;
  }
  // Out-of-range positions still read inside the ring.
  p->getFollowerValue(-3.0f);
  p->getFollowerValue(1e30f);
  p->getFollowerValue(std::nanf(""));

  // The engine writes the ring at its phase: after a loud stretch the newest entry is loud.
  auto q = makeProbe();
  q->setParameter(FOLLOWER_THRESHOLD_TAG, 0.0f);
  q->run(70000, 0.0f, 0.0f);
  q->run(20000, 0.6f, 0.6f);
  EXPECT_NEAR(q->getFollowerValue(0.9999f), 0.6f, 0.01f);
  EXPECT_LT(q->getFollowerValue(0.5f), 1e-6f);
}

TEST(EngineAccessors, ModSlotVariablesFillARowWithoutTellingTheHost) {
  FakeHost host;
  auto p = makePlugin();
  p->setSteppedValue(MOD_SLOT_SRC_TAGS[2], 5);
  p->setParameter(MOD_SLOT_OFFSET_TAGS[2], 0.9f);
  p->setParameter(MOD_SLOT_LOWER_THRESH_TAGS[2], 0.4f);
  p->setParameter(MOD_SLOT_UPPER_THRESH_TAGS[2], 0.6f);
  const int automations = host.count(kHostAutomate);

  p->setModSlotVariables(2, true, 0.3f, -1, 7);
  EXPECT_EQ(p->getParameter(MOD_SLOT_BY_TAGS[2]), 1.0f);
  EXPECT_EQ(p->getParameter(MOD_SLOT_AMT_TAGS[2]), 0.3f);
  EXPECT_EQ(p->getSrcForModSlot(2), 5);  // source -1 keeps the row's source
  EXPECT_EQ(p->getDestForModSlot(2), 7);
  for (int t : {MOD_SLOT_OFFSET_TAGS[2], MOD_SLOT_LOWER_THRESH_TAGS[2], MOD_SLOT_UPPER_THRESH_TAGS[2]})
    EXPECT_EQ(p->getParameter(t), p->getDefault(t)) << t;

  p->setModSlotVariables(2, false, 0.6f, 9, 200);  // destination beyond the list: the last one
  EXPECT_VALUES(
      {p->getParameter(MOD_SLOT_BY_TAGS[2]), 0.0f}, {p->getSrcForModSlot(2), 9},
      {p->getDestForModSlot(2), NUM_MOD_DESTS - 1}, {host.count(kHostAutomate), automations});

  const float before = p->getParameter(MOD_SLOT_AMT_TAGS[9]);
  p->setModSlotVariables(10, true, 0.1f, 1, 1);
  p->setModSlotVariables(-1, true, 0.1f, 1, 1);
  EXPECT_EQ(p->getParameter(MOD_SLOT_AMT_TAGS[9]), before);
}

TEST(EngineAccessors, IndexChecksRejectNegativeAndLargeIndices) {
  FakeHost host;
  auto p = makePlugin();
  EXPECT_EQ(p->getDestByTag(1024), -1);
  EXPECT_EQ(p->getDestByTag(-1), -1);
  p->setSteppedValue(LFO_WAVE_TAGS[3], 4);
  EXPECT_EQ(p->getLFOWave(3), 4);
  for (int bad : {-1, 4, 1 << 30}) {
    EXPECT_VALUES(
        {p->getLFOWave(bad), 0}, {p->getLFOMode(bad), 0}, {p->getLFOTrigger(bad), 0},
        {p->getLFOScreenValue(bad, 0.5f, 100), 0}, {p->getLFOPos(bad, 100.0f), 0});
  }
  EXPECT_VALUES(
      {p->getSrcForModSlot(10), 0}, {p->getDestForModSlot(-1), 0}, {p->getWaveShaperDistortMode(2), 0},
      {p->getWaveShaperDistortMode(-1), 0});
  p->setDisruptOn(7);
  p->setDisruptOn(-1);
  p->setDisruptOn(6);
  EXPECT_EQ(p->getParameter(DISRUPT_ON_TAGS[6]), 1.0f);
  EXPECT_EQ(p->getParameter(DISRUPT_ON_TAGS[0]), 0.0f);
}

TEST(EngineAccessors, LfoScreenDrawsTheRawWaveAndTheFixedHoldValues) {
  auto p = makeProbe();
  p->setStep(LFO_WAVE_TAGS[0], 0);  // sine, centred shape
  EXPECT_VALUES(
      {p->getLFOScreenValue(0, 0.0f, 100), 50}, {p->getLFOScreenValue(0, 0.25f, 100), 100, 1},
      {p->getLFOScreenValue(0, 0.75f, 100), 0, 1});
  p->setStep(LFO_WAVE_TAGS[0], 2);  // saw up
  EXPECT_NEAR(p->getLFOScreenValue(0, 0.5f, 200), 100, 1);
  p->setStep(LFO_WAVE_TAGS[0], 5);  // sample and hold: fixed values, same every time
  for (float x : {0.0f, 0.3f, 1.0f, -2.0f, 7.0f}) {
    const int v = p->getLFOScreenValue(0, x, 100);
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 100);
    EXPECT_EQ(v, p->getLFOScreenValue(0, x, 100));
  }
}

TEST(EngineAccessors, DistortDisplayShowsTheTestWaveThroughTheStage) {
  auto p = makeProbe();
  p->run(512);
  std::vector<float> out(100, 0.0f);
  p->getDistortDisplay(out.data(), 100, 2, 0.0f);  // saw through the clean type: the saw itself
  for (int i = 0; i < 100; ++i) EXPECT_NEAR(out[i], 2.0f * (static_cast<float>(i) / 100.0f) - 1.0f, 1e-3f) << i;
  p->getDistortDisplay(out.data(), 100, 5, 0.25f);  // a rising ramp, two cycles
  for (int i = 0; i < 100; ++i) {
    const float t = static_cast<float>(i) * 2.0f / 100.0f;
    EXPECT_NEAR(out[i], t - std::floor(t), 2e-3f) << i;
  }
  std::vector<float> untouched(8, 42.0f);
  p->getDistortDisplay(untouched.data(), 0, 0, 0.0f);
  p->getDistortDisplay(untouched.data(), -150, 0, 0.0f);
  p->getDistortDisplay(nullptr, 8, 0, 0.0f);
  for (float v : untouched) EXPECT_EQ(v, 42.0f);
  p->getDistortDisplay(out.data(), 50, 0, std::nanf(""));
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(std::isfinite(out[i]));

  // A distortion bends the sine.
  std::vector<float> clean(100), bent(100);
  p->getDistortDisplay(clean.data(), 100, 0, 0.0f);
  p->setParameter(DISTORT_TYPE_TAG, 0.021f);  // atan, fully mixed
  p->setParameter(DISTORT_KNOB_1_TAG + 2, 1.0f);
  p->setParameter(DISTORT_KNOB_1_TAG + 3, 1.0f);
  p->getDistortDisplay(bent.data(), 100, 0, 0.0f);
  float most = 0.0f;
  for (int i = 0; i < 100; ++i) most = std::fmax(most, std::fabs(bent[i] - clean[i]));
  EXPECT_GT(most, 0.05f);
}

TEST(EngineAccessors, DistortDisplayRedrawsOnlyWhenItsSignatureChanges) {
  auto p = makeProbe();
  EXPECT_FALSE(p->distortDisplayUpdated());  // type 0: the signature is always 0
  p->setParameter(DISTORT_TYPE_TAG, 0.021f);
  EXPECT_TRUE(p->distortDisplayUpdated());
  EXPECT_FALSE(p->distortDisplayUpdated());
  p->setParameter(DISTORT_KNOB_1_TAG + 4, 0.3f);
  EXPECT_TRUE(p->distortDisplayUpdated());
  p->setParameter(DISTORT_KNOB_1_TAG, 0.9f);  // Dist1 is not part of the signature
  EXPECT_FALSE(p->distortDisplayUpdated());
}

TEST(EngineAccessors, TheModulatorSumOfADestinationIsReadable) {
  auto p = makeProbe();
  p->setStep(MOD_SLOT_SRC_TAGS[0], 52);  // Offset
  p->setStep(MOD_SLOT_DEST_TAGS[0], 2);  // Mix
  p->setParameter(MOD_SLOT_AMT_TAGS[0], 0.25f);
  p->setParameter(MIX_TAG, 0.8f);
  p->run(600);
  EXPECT_NEAR(p->getMod(2), -0.5f, 1e-6f);
}

TEST(EngineAccessors, GateLampFollowsTheGateWhileItIsOn) {
  auto p = makeProbe();
  p->setParameter(GATE_ON_TAG, 1.0f);
  p->setParameter(GATE_THRESHOLD_TAG, 0.5f);
  p->run(4096, 0.5f, 0.5f);
  EXPECT_TRUE(p->getNoiseGateTriggered());
  p->run(44100 * 3, 0.0f, 0.0f);
  EXPECT_FALSE(p->getNoiseGateTriggered());
  p->run(4096, 0.5f, 0.5f);
  EXPECT_TRUE(p->getNoiseGateTriggered());
  p->setParameter(GATE_ON_TAG, 0.0f);
  p->run(64, 0.5f, 0.5f);
  EXPECT_FALSE(p->getNoiseGateTriggered());
}
