// The compressor's attack and release laws at several knob values: a burst and a quieter tail
// through the compressor against the detector and gain worked out sub-sample by sub-sample in
// double precision from the documented laws (attack coefficient exp(-1000 / (2^(8v) rate2)),
// release exp(-1000 / (2^(14v) rate2))).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/uCompressor.h"

using dsp::TCompressor;

namespace {

// One channel of the compressor at threshold 0.5 (-20 dB), ratio 0.5 in the first law and
// 0 dB of make-up.
struct Reference {
  double attack, release;
  double peak = 0.0, env = 0.0, gain = 1.0;
  std::vector<double> ring = std::vector<double>(128, 0.0);
  int pos = 0;

  Reference(float attackV, float releaseV, double rate2)
      : attack(std::exp(-1000.0 / (std::exp2(8.0 * attackV) * rate2))),
        release(std::exp(-1000.0 / (std::exp2(14.0 * releaseV) * rate2))) {}

  double step(double x) {
    const double delayed = ring[static_cast<size_t>(pos)];
    ring[static_cast<size_t>(pos)] = x;
    pos = (pos + 1) % 128;
    peak = std::fabs(x) > peak ? std::fabs(x) : 0.999 * peak + 0.000999987 * std::fabs(x);
    const double k = peak > env ? attack : release;
    env = (1.0 - k) * peak + k * env;
    const double slope = 1.0 / std::exp2(0.5 * 7.0);
    const double target = env <= 0.1 ? 1.0 : std::pow(10.0, (-20.0 - 20.0 * std::log10(env)) * slope / 20.0);
    gain = target * (1.0 - attack) + gain * attack;
    return delayed * gain;
  }
};

}  // namespace

TEST(Compressor, AttackAndReleaseFollowTheirTimeLaws) {
  for (float rate : {44100.0f, 96000.0f}) {
    for (float attackV : {0.25f, 0.5f, 0.75f}) {
      for (float releaseV : {0.25f, 0.5f, 0.7f}) {
        TCompressor comp;
        comp.init(rate);
        comp.setParams(0.5f, 0.5f, attackV, releaseV, 0.75f, false);
        Reference ref(attackV, releaseV, 2.0 * rate);
        double worst = 0.0;
        int worstAt = 0;
        for (int n = 0; n < 80000; n += 2) {
          const float x = n < 20000 ? 0.5f : 0.05f;
          float a = x, b = x, c = x, d = x;
          comp.process(a, b, c, d);
          const double want[2] = {ref.step(x), ref.step(x)};
          for (int k = 0; k < 2; ++k) {
            const double got = k ? c : a;
            const double error = std::fabs(got - want[k]) / std::fmax(std::fabs(want[k]), 0.01);
            if (error > worst) worst = error, worstAt = n + k;
          }
          ASSERT_EQ(a, b);
        }
        EXPECT_LT(worst, 1e-3) << "rate " << rate << " attack " << attackV << " release " << releaseV
                               << ": worst relative error at sub-sample " << worstAt;
      }
    }
  }
}
