// The output section, the stereo paths and the module paths, as a host hears them.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engineTestUtil.h"

using namespace engine_test;

// Bypass is read every sample: from the sample it is set the output is the input (clipped at
// 0.999). The stages behind it run on and a mix moved meanwhile arrives with it, so the first
// sample after it sounds as an instance that was never bypassed.
TEST(EngineOutput, BypassPassesTheInputFromItsSampleWhileTheStagesRunOn) {
  auto p = makeProbe(), ref = makeProbe();
  for (Probe* q : {p.get(), ref.get()}) {
    q->setStep(DISTORT_TYPE_TAG, 12);  // a wet path unlike the dry one
    q->setParameter(LP_ON_TAG, 1.0f);
    q->setParameter(COMP_ON_TAG, 1.0f);
    q->setParameter(MIX_TAG, 0.5f);
  }
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> u(-0.998f, 0.998f);
  int differentBefore = 0;
  for (int i = 0; i < 3000; ++i) {
    const float x = i == 2000 ? 1.0f : u(rng), y = i == 2000 ? -1.0f : u(rng);
    if (i == 300) p->setParameter(BYPASS_TAG, 1.0f);
    if (i == 500) {
      p->setParameter(MIX_TAG, 1.0f);
      ref->setParameter(MIX_TAG, 1.0f);
    }
    const auto out = p->sample(x, y);
    ref->sample(x, y);
    if (i < 300)
      differentBefore += out.first != x;
    else
      ASSERT_EQ(out, std::make_pair(std::fmin(x, 0.999f), std::fmax(y, -0.999f))) << i;
  }
  EXPECT_GT(differentBefore, 150);
  p->setParameter(BYPASS_TAG, 0.0f);
  const auto first = p->sample(0.3f, -0.2f), expected = ref->sample(0.3f, -0.2f);
  EXPECT_EQ(first, expected);
  EXPECT_GT(std::fabs(first.first - 0.3f), 0.01f);  // the wet path, not the dry input
}

// The wet path is neutral at the defaults. Volume 0.75 is 0 dB, 1 is +10 dB, 0 silence; mix 0
// is the dry input alone (a loud wet path unheard), 0.5 both paths at full level.
TEST(EngineOutput, MixAndVolumeScaleTheDryAndWetPaths) {
  struct Case {
    float mix, volume, distortType, gain, tolerance;
  };
  const Case cases[] = {{0.0f, 1.0f, 0.3f, 1.0f, 0.0f},
                        {0.5f, 0.75f, 0.0f, 2.0f, 1e-3f},
                        {1.0f, 0.75f, 0.0f, 1.0f, 1e-4f},
                        {1.0f, 1.0f, 0.0f, 3.16228f, 4e-4f},
                        {1.0f, 0.0f, 0.0f, 0.0f, 1e-7f}};
  const auto in = sine(8192, 441.0f, 0.2f);
  for (const Case& c : cases) {
    auto p = makeProbe();
    p->setParameter(MIX_TAG, c.mix);
    p->setParameter(VOLUME_TAG, c.volume);
    p->setParameter(DISTORT_TYPE_TAG, c.distortType);
    std::vector<float> l, r;
    p->render(in, in, l, r);
    for (int i = 4096; i < 8192; ++i) ASSERT_NEAR(l[i], c.gain * in[i], c.tolerance) << c.mix << " " << i;
  }
}

TEST(EngineOutput, OversamplingKeepsLeftAndRightApart) {
  const auto in = sine(8192, 700.0f, 0.4f);
  const std::vector<float> silence(in.size(), 0.0f);
  for (float type : {0.0f, 0.02f, 0.29f}) {  // none, atan, valve
    auto p = makeProbe();
    p->setParameter(DISTORT_TYPE_TAG, type);
    std::vector<float> l, r;
    p->render(in, silence, l, r);
    EXPECT_EQ(r, silence) << type;
    float peak = 0.0f;
    for (float x : l) peak = std::fmax(peak, std::fabs(x));
    EXPECT_GT(peak, 0.05f);
    p->render(silence, in, l, r);
    EXPECT_EQ(l, silence) << type;
  }
}

TEST(EngineOutput, EveryPathSoundsTheSameWhenEveryStageIsNeutral) {
  const auto inL = sine(4096, 330.0f, 0.3f), inR = sine(4096, 550.0f, 0.2f);
  std::vector<float> refL, refR, l, r;
  for (int path = 0; path < NUM_MODULE_PATHS; ++path) {
    auto p = makeProbe();
    p->setStep(MODULE_PATH_TAG, path);
    p->setParameter(VOLUME_TAG, 0.8f);
    p->render(inL, inR, path == 0 ? refL : l, path == 0 ? refR : r);
    if (path == 0) continue;
    ASSERT_EQ(l, refL) << path;
    ASSERT_EQ(r, refR) << path;
  }
}

TEST(EngineOutput, ModulatedPanMovesTheSoundBetweenTheSides) {
  const auto in = sine(4096, 400.0f, 0.3f);
  for (float amount : {1.0f, 0.0f}) {  // Offset -> Pan at +1 (right only) and -1 (left only)
    auto p = makeProbe();
    p->setStep(MOD_SLOT_SRC_TAGS[0], SRC_OFFSET);
    p->setStep(MOD_SLOT_DEST_TAGS[0], 3);
    p->setParameter(MOD_SLOT_AMT_TAGS[0], amount);
    std::vector<float> out[2];
    p->render(in, in, out[0], out[1]);
    const int silent = amount > 0.5f ? 0 : 1;
    float peak = 0.0f;
    for (int i = 512; i < 4096; ++i) {
      ASSERT_EQ(out[silent][i], 0.0f) << amount << " " << i;
      peak = std::fmax(peak, std::fabs(out[1 - silent][i]));
    }
    EXPECT_GT(peak, 0.1f);
  }
}
