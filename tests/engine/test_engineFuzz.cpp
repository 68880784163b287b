// Random settings, random block sizes and hostile input: the output stays finite and clipped,
// and nothing is left poisoned afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <thread>

#include "engineTestUtil.h"

using namespace engine_test;

namespace {

// A parameter value: mostly uniform, sometimes an end or the middle.
float randomValue(std::mt19937& rng) {
  constexpr float kSpecial[] = {0.0f, 1.0f, 0.5f};
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_real_distribution<float> u(0.0f, 1.0f);
  const int k = kind(rng);
  return k < 3 ? kSpecial[k] : u(rng);
}

// An input sample: a noisy sine, now and then NaN, infinity, far too loud or denormal.
float randomInput(std::mt19937& rng, float phase) {
  constexpr float kHostile[] = {std::numeric_limits<float>::quiet_NaN(), INFINITY, -1000.0f, 1e-39f};
  std::uniform_int_distribution<int> kind(0, 999);
  const int k = kind(rng);
  if (k < 4) return kHostile[k];
  std::uniform_real_distribution<float> u(-0.2f, 0.2f);
  return 0.7f * std::sin(phase) + u(rng);
}

}  // namespace

TEST(EngineFuzz, RandomSettingsKeepTheOutputFiniteAndClipped) {
  std::mt19937 rng(20261206);
  auto p = makeProbe();
  p->resume();
  // Thirty seconds in the normal suite; GRINDLE_FUZZ_SECONDS asks for a longer run.
  int seconds = 30;
  if (const char* env = std::getenv("GRINDLE_FUZZ_SECONDS")) seconds = std::max(1, std::atoi(env));
  const int total = 44100 * seconds;
  std::vector<float> inL(1024), inR(1024), sideL(1024), sideR(1024), outL(1024), outR(1024);
  float phase = 0.0f;
  int done = 0, sinceChange = 0;
  std::uniform_int_distribution<int> blockSize(1, 1024), tag(0, NUM_PROGRAM_VALUES - 1), rate(0, 3);
  while (done < total) {
    if (sinceChange > 4410) {
      sinceChange = 0;
      for (int k = 0; k < 60; ++k) p->setParameter(tag(rng), randomValue(rng));
      // The switches that shape the signal path most, kept busy.
      for (int t : {BYPASS_TAG, PRE_EQ_ON_TAG, POST_EQ_ON_TAG, GATE_ON_TAG, HP_ON_TAG, LP_ON_TAG, COMP_ON_TAG,
                    WIDENER_ON_TAG, OLD_EQ_TAG, CHORUS_MODE_TAG, DISRUPT_LAZY_ON_TAG})
        p->setParameter(t, randomValue(rng));
      p->setParameter(BYPASS_TAG, 0.0f);
      p->setParameter(DISTORT_TYPE_TAG, randomValue(rng) * 0.52f);
      if (rate(rng) == 0) {
        const float rates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f};
        p->setSampleRate(rates[rate(rng)]);
      }
      if (rate(rng) == 1) p->resetEverything();
    }
    const int n = std::min(blockSize(rng), total - done);
    for (int i = 0; i < n; ++i) {
      phase += 0.031f;
      inL[i] = randomInput(rng, phase);
      inR[i] = randomInput(rng, phase * 1.3f);
      sideL[i] = randomInput(rng, phase * 0.7f);
      sideR[i] = randomInput(rng, phase * 0.2f);
    }
    float* ins[4] = {inL.data(), inR.data(), sideL.data(), sideR.data()};
    float* outs[2] = {outL.data(), outR.data()};
    p->processReplacing(ins, outs, n);
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << "sample " << done + i;
      ASSERT_LE(std::fabs(outL[i]), 0.999f);
      ASSERT_LE(std::fabs(outR[i]), 0.999f);
    }
    for (int s = 0; s < NUM_MOD_SOURCES; ++s) ASSERT_FALSE(std::isnan(p->getSourceValue(s))) << s;
    done += n;
    sinceChange += n;
  }
  // Nothing was poisoned: back on the defaults, ordinary input still comes out.
  p->loadDefaults();
  p->requestAlign();
  const auto in = sine(8192, 500.0f, 0.3f);
  std::vector<float> l, r;
  p->render(in, in, l, r);
  float peak = 0.0f;
  for (size_t i = 4096; i < l.size(); ++i) peak = std::fmax(peak, std::fabs(l[i]));
  EXPECT_GT(peak, 0.01f);
}

// The editor's questions from another thread while audio runs.
TEST(EngineFuzz, EditorQueriesRunBesideTheAudioThread) {
  auto p = makeProbe();
  p->resume();
  p->setStep(LFO_DEST_TAGS[0], 1);
  p->setParameter(COMP_ON_TAG, 1.0f);
  p->setParameter(GATE_ON_TAG, 1.0f);
  std::atomic<bool> stop{false};
  std::thread gui([&] {
    std::vector<float> display(200);
    int round = 0;
    while (!stop.load()) {
      p->getDistortDisplay(display.data(), 200, round % 6, 0.5f);
      for (int x = 0; x < 50; ++x) (void)p->getLFOScreenValue(x % 4, x / 50.0f, 80);
      (void)p->getFollowerValue(0.3f);
      (void)p->getCompVolume();
      (void)p->getNoiseGateTriggered();
      (void)p->getModDisruptAmount();
      (void)p->distortDisplayUpdated();
      (void)p->getMod(1);
      p->setParameter(DISRUPT_AMOUNT_TAG, (round % 10) / 10.0f);
      if (round % 3 == 0) p->setDisruptSpringOn();
      if (round % 7 == 0) p->setDisruptSpringOff();
      if (round % 50 == 0) p->resetEverything();
      ++round;
    }
  });
  p->run(44100 * 3, 0.3f, -0.2f, 256);
  stop = true;
  gui.join();
  const float v = p->getParameter(DISRUPT_AMOUNT_TAG);
  EXPECT_GE(v, 0.0f);
  EXPECT_LE(v, 1.0f);
}
