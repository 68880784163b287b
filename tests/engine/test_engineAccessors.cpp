// The plug-in's typed views of its selections and the values its editor screens draw.
#include <gtest/gtest.h>

#include <cmath>

#include "engineTestUtil.h"
#include "support/expectValues.h"

using namespace engine_test;

TEST(EngineAccessors, CompressorMeterScaleAroundItsThresholds) {
  EXPECT_VALUES(
      {TEngine::compLevelToDisplay(0.000999f), 0.0f}, {TEngine::compLevelToDisplay(0.001f), -0.5f, 1e-5f},
      {TEngine::compLevelToDisplay(0.01f), 0.0f, 1e-6f}, {TEngine::compLevelToDisplay(0.1f), 0.5f, 1e-6f},
      {TEngine::compLevelToDisplay(1.0f), 1.0f, 1e-6f}, {TEngine::compLevelToDisplay(2.0f) > 1.0f, true},
      {TEngine::compLevelToDisplay(std::nanf("")), 0.0f});
  auto p = makeProbe();
  p->compMeterLevel = 0.1f;
  EXPECT_EQ(p->getCompVolume(), 0.0f);  // compressor off
  p->setParameter(COMP_ON_TAG, 1.0f);
  p->setParameter(COMP_THRESHOLD_TAG, 0.0f);
  p->run(4096, 0.5f, 0.5f);
  EXPECT_GT(p->getCompVolume(), 0.0f);
}

TEST(EngineAccessors, FollowerHistoryIsReadOldestToNewestAcrossTheRingEnds) {
  auto p = makeProbe();
  for (int i = 0; i < 512; ++i) p->followerHistory[i] = static_cast<float>(i) / 1000.0f;
  for (int write : {0, 100, 511}) {
    p->followerPhase = (write + 0.5) / 512.0;
    auto entry = [](int i) { return static_cast<float>(i & 511) / 1000.0f; };
    EXPECT_VALUES({p->getFollowerValue(0.0f), entry(write + 1)}, {p->getFollowerValue(0.999f), entry(write)},
                  {p->getFollowerValue(0.5f), entry(write + 256)});
  }
  // Out-of-range positions still read inside the ring.
  for (float x : {-3.0f, 1e30f, std::nanf("")}) EXPECT_TRUE(std::isfinite(p->getFollowerValue(x)));

  // The engine writes the ring at its phase: after a loud stretch the newest entry is loud.
  auto q = makeProbe();
  q->setParameter(FOLLOWER_THRESHOLD_TAG, 0.0f);
  q->run(70000, 0.0f, 0.0f);
  q->run(20000, 0.6f, 0.6f);
  EXPECT_VALUES({q->getFollowerValue(0.9999f), 0.6f, 0.01f}, {q->getFollowerValue(0.5f), 0.0f, 1e-6f});
}

TEST(EngineAccessors, IndexChecksRejectNegativeAndLargeIndices) {
  FakeHost host;
  auto p = makePlugin();
  p->setSteppedValue(LFO_WAVE_TAGS[3], 4);
  EXPECT_VALUES({p->getDestByTag(1024), -1}, {p->getDestByTag(-1), -1}, {p->getLFOWave(3), 4});
  for (int bad : {-1, 4, 1 << 30}) {
    EXPECT_VALUES({p->getLFOWave(bad), 0}, {p->getLFOMode(bad), 0}, {p->getLFOTrigger(bad), 0},
                  {p->getLFOScreenValue(bad, 0.5f, 100), 0}, {p->getLFOPos(bad, 100.0f), 0});
  }
  EXPECT_VALUES({p->getSrcForModSlot(10), 0}, {p->getDestForModSlot(-1), 0},
                {p->getWaveShaperDistortMode(2), 0}, {p->getWaveShaperDistortMode(-1), 0});
  p->setDisruptOn(7);
  p->setDisruptOn(-1);
  p->setDisruptOn(6);
  EXPECT_VALUES({p->getParameter(DISRUPT_ON_TAGS[6]), 1.0f}, {p->getParameter(DISRUPT_ON_TAGS[0]), 0.0f});
}

TEST(EngineAccessors, DistortDisplayShowsTheTestWaveThroughTheStage) {
  auto p = makeProbe();
  p->run(512);
  std::vector<float> out(100, 0.0f), clean(100), bent(100);
  p->getDistortDisplay(out.data(), 100, 2, 0.0f);  // saw through the clean type: the saw itself
  for (int i = 0; i < 100; ++i) EXPECT_NEAR(out[i], 2.0f * static_cast<float>(i) / 100.0f - 1.0f, 1e-3f) << i;
  p->getDistortDisplay(out.data(), 100, 5, 0.25f);  // a rising ramp, two cycles
  for (int i = 0; i < 100; ++i) {
    const float t = 2.0f * static_cast<float>(i) / 100.0f;
    EXPECT_NEAR(out[i], t - std::floor(t), 2e-3f) << i;
  }
  // Nothing is written for no room, and a NaN setting still draws finite values.
  std::vector<float> untouched(8, 42.0f);
  p->getDistortDisplay(untouched.data(), 0, 0, 0.0f);
  p->getDistortDisplay(untouched.data(), -150, 0, 0.0f);
  p->getDistortDisplay(nullptr, 8, 0, 0.0f);
  EXPECT_EQ(untouched, std::vector<float>(8, 42.0f));
  p->getDistortDisplay(out.data(), 50, 0, std::nanf(""));
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(std::isfinite(out[i]));

  // A distortion bends the sine; the picture is redrawn only when its signature changes.
  p->getDistortDisplay(clean.data(), 100, 0, 0.0f);
  EXPECT_FALSE(p->distortDisplayUpdated());   // type 0: the signature is always 0
  p->setParameter(DISTORT_TYPE_TAG, 0.021f);  // atan, fully mixed
  EXPECT_TRUE(p->distortDisplayUpdated());
  EXPECT_FALSE(p->distortDisplayUpdated());
  p->setParameter(DISTORT_KNOB_1_TAG + 2, 1.0f);
  p->setParameter(DISTORT_KNOB_1_TAG + 3, 1.0f);
  EXPECT_TRUE(p->distortDisplayUpdated());
  p->setParameter(DISTORT_KNOB_1_TAG, 0.9f);  // Dist1 is not part of the signature
  EXPECT_FALSE(p->distortDisplayUpdated());
  p->getDistortDisplay(bent.data(), 100, 0, 0.0f);
  float most = 0.0f;
  for (int i = 0; i < 100; ++i) most = std::fmax(most, std::fabs(bent[i] - clean[i]));
  EXPECT_GT(most, 0.05f);
}
