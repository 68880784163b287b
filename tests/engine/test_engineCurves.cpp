// The drawn wave-shaper curves as LFO waves (in the engine and on the LFO screen) and the test
// waves the distortion screen sends through the stage, each against its formula.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/uLfo.h"
#include "engineTestUtil.h"

using namespace engine_test;

namespace {

// Stored point values of the two curves: a wobble and a falling bend, so no reading of the
// wrong curve or the wrong point passes.
float storedPoint(int curve, int i) {
  const float x = static_cast<float>(i);
  return curve == 0 ? 0.5f + 0.45f * std::sin(x * 0.07f) : 0.9f - 0.8f * (x / 255.0f) * (x / 255.0f);
}

// The curve at c (0..1): y = 255 c between points i0 = trunc(y) and min(trunc(y + 1), 255),
// each point's output 2v - 1.
double curveAt(int curve, double c) {
  const double y = 255.0 * c;
  const int i0 = static_cast<int>(y), i1 = std::min(static_cast<int>(y + 1.0), 255);
  const double f = y - i0;
  return f * (2.0 * storedPoint(curve, i1) - 1.0) + (1.0 - f) * (2.0 * storedPoint(curve, i0) - 1.0);
}

}  // namespace

// LFO 1 and 4 read curve 1 ("WaveShaper1"), LFO 2 and 3 curve 2, each at its own position.
TEST(EngineCurves, WaveShaperLfoWavesReadTheirOwnCurve) {
  const int curveOf[4] = {0, 1, 1, 0};
  auto p = makeProbe();
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < WAVESHAPER_POINTS; ++i)
      p->setParameter(WAVESHAPER_START_TAG[c] + i, storedPoint(c, i));
  for (int l = 0; l < 4; ++l) {
    p->setStep(LFO_DEST_TAGS[l], 1);
    p->setStep(LFO_WAVE_TAGS[l], curveOf[l] ? TLfo::WAVE_SHAPER_2 : TLfo::WAVE_SHAPER_1);
    p->setParameter(LFO_SHAPE_TAGS[l], 0.5f);
    p->setParameter(LFO_SPEED_TAGS[l], 0.85f + 0.04f * static_cast<float>(l));
  }
  p->run(512);
  for (int n = 0; n < 6000; ++n) {
    p->sample(0.0f, 0.0f);
    for (int l = 0; l < 4; ++l) {
      const double want = curveAt(curveOf[l], p->getLfo(l).getPos());
      ASSERT_NEAR(p->getSourceValue(32 + 2 * l), want, 1e-4) << "LFO " << l + 1 << ", sample " << n;
    }
  }
  // The screen draws the same curve at phase x, as trunc(height (v / 2 + 1/2)).
  for (int l = 0; l < 4; ++l) {
    for (float x : {0.0f, 0.1f, 0.37f, 0.5f, 0.81f, 0.999f}) {
      const double want = std::floor(1000.0 * (curveAt(curveOf[l], x) * 0.5 + 0.5));
      EXPECT_NEAR(p->getLFOScreenValue(l, x, 1000), want, 1.0) << "LFO " << l + 1 << " at " << x;
    }
  }
}

// The distortion screen's test waves through the clean type, at one and at two cycles: sine,
// triangle, saw up, saw down, square (0 at the half) and, for any other wave, the ramp f.
TEST(EngineCurves, DistortionScreenTestWaves) {
  struct Case {
    int wave;
    double (*shape)(double f);
  };
  const Case cases[] = {
      {0, [](double f) { return std::sin(f * 6.2831855); }},
      {1, [](double f) { return 1.0 - 2.0 * std::fabs(1.0 - 2.0 * f); }},
      {2, [](double f) { return 2.0 * f - 1.0; }},
      {3, [](double f) { return 1.0 - 2.0 * f; }},
      {4, [](double f) { return f > 0.5 ? 1.0 : (f < 0.5 ? -1.0 : 0.0); }},
      {5, [](double f) { return f; }},
      {9, [](double f) { return f; }},
  };
  auto p = makeProbe();
  p->run(512);
  std::vector<float> out(100);
  for (const Case& c : cases) {
    for (float zoom : {0.0f, 0.25f}) {
      const double cycles = std::exp2(4.0 * zoom);
      p->getDistortDisplay(out.data(), 100, c.wave, zoom);
      for (int i = 0; i < 100; ++i) {
        const double t = i * cycles / 100.0 + 1000.0;
        EXPECT_NEAR(out[i], c.shape(t - std::trunc(t)), 2e-3)
            << "wave " << c.wave << " zoom " << zoom << " at " << i;
      }
    }
  }
}
