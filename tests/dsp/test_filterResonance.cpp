// How far the resonance knob takes the state-variable filters: the damping is 1 - 0.95 r, so
// at the cutoff the band-pass (x2) gains 2 / q and the low-pass (x sqrt 2) sqrt 2 / q; full
// resonance stops at q = 0.05, short of self-oscillation.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/uFilter.h"
#include "dspTestUtil.h"

using dsp::TFilter;
using dsptest::toDb;

TEST(Filter, StateVariableGainAtTheCutoffFollowsTheResonance) {
  struct Case {
    int type;
    double outputGain;
  };
  for (const Case c : {Case{TFilter::kSvfBand, 2.0}, Case{TFilter::kSvfLow, std::sqrt(2.0)}}) {
    for (float reso : {0.0f, 0.5f, 0.9f, 1.0f, 3.0f}) {
      TFilter f;
      f.init(44100.0f);
      f.setType(c.type, false);
      // Knob 0.5 is 640 Hz; a quiet input keeps the filter's soft saturation out of it.
      const double gain = dsptest::measureGain(
          [&](float& a, float& b, float& x, float& d) { f.process(0.5f, reso, a, b, x, d, false); }, 640.001,
          88200.0, 0.02);
      const double q = 1.0 - 0.95 * std::fmin(reso, 1.0f);
      EXPECT_NEAR(toDb(gain), toDb(c.outputGain / q), 0.1) << "type " << c.type << " resonance " << reso;
    }
  }
}
