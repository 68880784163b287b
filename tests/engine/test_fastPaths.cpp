// The sample loop's shortcuts against the plain forms they replace: the same results, bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "engineTestUtil.h"
#include "plugin/uPluginEngine.h"

using namespace engine_test;

namespace {

uint32_t bits(float x) { return std::bit_cast<uint32_t>(x); }

class SmootherProbe : public Probe {
 public:
  using TEngine::smoothedCompVolume;
  using TEngine::smoothedOldEqGains;
  using TEngine::smoothedWidenValues;
};

}  // namespace

TEST(EngineFastPaths, BranchFreeLimitsEqualTheClamps) {
  const float inf = std::numeric_limits<float>::infinity();
  for (float x :
       {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1.0000001f, -1.0000001f, 1e-45f, -1e-45f, inf, -inf, std::nanf("")}) {
    EXPECT_EQ(bits(engine_detail::limit01(x)), bits(dsp::clamp01(x))) << x;
    if (!std::isnan(x)) {
      EXPECT_EQ(bits(engine_detail::limitPM1(x)), bits(dsp::clampPM1(x))) << x;
    }
  }
  // A sweep over the whole float range, both signs, NaNs included for limit01.
  for (uint64_t b = 0; b <= 0xFFFFFFFFu; b += 65521) {
    const float x = std::bit_cast<float>(static_cast<uint32_t>(b));
    ASSERT_EQ(bits(engine_detail::limit01(x)), bits(dsp::clamp01(x))) << std::hex << b;
    if (!std::isnan(x)) {
      ASSERT_EQ(bits(engine_detail::limitPM1(x)), bits(dsp::clampPM1(x))) << std::hex << b;
    }
  }
}

TEST(EngineFastPaths, FourLaneModulatedLimitEqualsTheScalarForm) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  // Knob and modulation pairs: inside, at and past both ends, signed zeros, NaN and infinities.
  const float pairs[][2] = {{0.3f, 0.2f}, {0.0f, -0.0f}, {-0.0f, 0.0f},  {-0.0f, -0.0f},    {0.9f, 0.2f},
                            {1.0f, 0.0f}, {0.1f, -0.5f}, {nan, 0.1f},    {0.5f, nan},       {inf, -inf},
                            {inf, 0.0f},  {-inf, 1.0f},  {1e-45f, 0.0f}, {0.5f, 0.5000001f}};
  constexpr int N = sizeof(pairs) / sizeof(pairs[0]);
  for (int first = 0; first < N; ++first) {
    alignas(16) float a[4], out[4];
    float b[4];
    for (int j = 0; j < 4; ++j) {
      a[j] = pairs[(first + j) % N][0];
      b[j] = pairs[(first + j) % N][1];
    }
    alignas(16) float fromMemory[4];
    engine_detail::limit01Sum4(a, b[0], b[1], b[2], b[3], out);
    engine_detail::limit01Sum4(a, b, fromMemory);
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(bits(out[j]), bits(engine_detail::limit01(a[j] + b[j]))) << first << " lane " << j;
      EXPECT_EQ(bits(fromMemory[j]), bits(out[j])) << first << " lane " << j;
    }
  }
}

TEST(EngineFastPaths, SettledKnobSmoothersFollowEveryMoveAsThePlainStepsWould) {
  // Each row: a knob moves, then the loop runs; long runs let the smoothers settle (and skip),
  // short ones catch them mid-glide; the last rows return to a value they settled at before.
  struct Move {
    int tag;
    float value;
    int samples;
  };
  const Move moves[] = {
      {WIDENER_AMOUNT_TAG, 0.8f, 3000},
      {OLD_EQ_LOW_TAG + 2, 0.1f, 40},
      {COMP_VOLUME_TAG, 0.9f, 500},
      {CHORUS_LENGTH_TAG, 0.3f, 7},
      {WIDENER_AMOUNT_TAG, 0.2f, 3000},
      {WIDENER_AMOUNT_TAG, 0.8f, 1},
      {WIDENER_AMOUNT_TAG, 0.2f, 2000},
      {OLD_EQ_LOW_TAG + 2, 0.1f, 5},
      {COMP_VOLUME_TAG, 0.25f, 900},
      // Tags read with the knobs but not smoothed: a move must not unsettle the smoothers wrongly.
      {COMP_VOLUME_TAG + 1, 0.7f, 50},
      {COMP_VOLUME_TAG + 4, 0.3f, 50},
      {CHORUS_MIX_TAG, 0.6f, 3000},
  };
  SmootherProbe p;
  p.run(1);  // the reset: every smoother starts at its knob
  float eq[4], comp = p.smoothedCompVolume, widen[4];
  for (int k = 0; k < 4; ++k) {
    eq[k] = p.smoothedOldEqGains[k];
    widen[k] = p.smoothedWidenValues[k];
  }
  const int widenTags[4] = {WIDENER_AMOUNT_TAG, WIDENER_WIDTH_TAG, CHORUS_MIX_TAG, CHORUS_LENGTH_TAG};
  for (const Move& m : moves) {
    p.setParameter(m.tag, m.value);
    for (int n = 0; n < m.samples; ++n) {
      p.run(1);
      for (int k = 0; k < 4; ++k) {
        eq[k] = p.getParameter(OLD_EQ_LOW_TAG + k) * (1.0f - 0.9f) + eq[k] * 0.9f;
        widen[k] = p.getParameter(widenTags[k]) * (1.0f - 0.99f) + widen[k] * 0.99f;
      }
      comp = p.getParameter(COMP_VOLUME_TAG) * (1.0f - 0.9f) + comp * 0.9f;
      for (int k = 0; k < 4; ++k) {
        ASSERT_EQ(bits(p.smoothedOldEqGains[k]), bits(eq[k])) << m.tag << " sample " << n;
        ASSERT_EQ(bits(p.smoothedWidenValues[k]), bits(widen[k])) << m.tag << " sample " << n;
      }
      ASSERT_EQ(bits(p.smoothedCompVolume), bits(comp)) << m.tag << " sample " << n;
    }
  }
}

namespace {

// Hands every slot to the modulator at every control tick, as if nothing were remembered.
class PlainSlots : public Probe {
 public:
  void step(float x) {
    forgetSlotSettings();
    sample(x, -x);
  }
};

}  // namespace

TEST(EngineFastPaths, RememberedSlotSettingsModulateAsSettingEveryTickWould) {
  // Each row moves one setting, then both engines run; a source change to or from a centred
  // source (Input) must reach a row whose other settings stay the same.
  struct Move {
    int tag;
    float value;  // a step for the source and destination tags, else the value
  };
  const Move moves[] = {
      {MOD_SLOT_DEST_TAGS[0], DEST_MIX},
      {MOD_SLOT_SRC_TAGS[0], SRC_OFFSET},
      {MOD_SLOT_AMT_TAGS[0], 0.8f},
      {MOD_ADVANCED_TAG, 1.0f},
      {MOD_SLOT_OFFSET_TAGS[0], 0.3f},
      {MOD_SLOT_SRC_TAGS[0], SRC_INPUT},
      {MOD_SLOT_LOWER_THRESH_TAGS[0], 0.4f},
      {MOD_SLOT_SRC_TAGS[0], SRC_OFFSET},
      {MOD_SLOT_SRC_TAGS[0], SRC_INPUT},
      {MOD_SLOT_BY_TAGS[0], 1.0f},
      {MOD_SLOT_BY_TAGS[0], 0.0f},
      {MOD_SLOT_UPPER_THRESH_TAGS[0], 0.9f},
      {DISRUPT_DEST_TAGS[0], DEST_VOLUME},
      {DISRUPT_SLOT_AMT_1_TAG, 0.1f},
      {DISRUPT_ON_TAGS[0], 1.0f},
      {DISRUPT_ON_TAGS[0], 0.0f},
      {-1, 0.0f},  // a reset
      {MOD_SLOT_AMT_TAGS[0], 0.2f},
  };
  // Every destination's sum, sample by sample, of one engine through all the moves.
  auto trace = [&moves](Probe& p, bool forget) {
    std::vector<uint32_t> t;
    for (const Move& m : moves) {
      if (m.tag < 0)
        p.resetEverything();
      else if (m.tag == MOD_SLOT_DEST_TAGS[0] || m.tag == MOD_SLOT_SRC_TAGS[0] ||
               m.tag == DISRUPT_DEST_TAGS[0])
        p.setStep(m.tag, static_cast<int>(m.value));
      else
        p.setParameter(m.tag, m.value);
      for (int n = 0; n < 600; ++n) {
        const float x = 0.5f * std::sin(0.01f * static_cast<float>(n));
        if (forget)
          static_cast<PlainSlots&>(p).step(x);
        else
          p.sample(x, -x);
        for (int d = 0; d < TModulator::NUM_DESTS; ++d) t.push_back(bits(p.getMod(d)));
      }
    }
    return t;
  };
  Probe fast;
  const std::vector<uint32_t> remembered = trace(fast, false);
  PlainSlots plain;
  const std::vector<uint32_t> everyTick = trace(plain, true);
  ASSERT_EQ(remembered.size(), everyTick.size());
  const auto diff = std::mismatch(remembered.begin(), remembered.end(), everyTick.begin());
  EXPECT_TRUE(diff.first == remembered.end())
      << "first difference at " << (diff.first - remembered.begin()) / TModulator::NUM_DESTS << " dest "
      << (diff.first - remembered.begin()) % TModulator::NUM_DESTS;
}

TEST(EngineFastPaths, InputsMadeSafeInRunsEqualSampleBySampleSafeInputs) {
  // Hostile samples scattered over runs and their edges; each block size must give the output
  // of the plain form: every non-finite sample replaced by 0 beforehand, one sample per block.
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<int, float> hostile[] = {{0, std::nanf("")}, {63, inf},           {64, -inf},
                                           {65, 1e-40f},       {130, -0.0f},        {200, -1e-40f},
                                           {511, -inf},        {700, std::nanf("")}};
  std::vector<float> inL(1200), inR(1200);
  for (size_t n = 0; n < inL.size(); ++n) {
    inL[n] = 0.4f * std::sin(0.05f * static_cast<float>(n));
    inR[n] = 0.3f * std::cos(0.03f * static_cast<float>(n));
  }
  std::vector<float> safeL = inL, safeR = inR;
  for (const auto& [at, x] : hostile) {
    inL[static_cast<size_t>(at)] = x;
    inR[static_cast<size_t>(at) + 1] = x;
    safeL[static_cast<size_t>(at)] = std::isfinite(x) ? x : 0.0f;
    safeR[static_cast<size_t>(at) + 1] = std::isfinite(x) ? x : 0.0f;
  }
  std::vector<float> wantL, wantR;
  Probe plain;
  plain.setParameter(MIX_TAG, 0.5f);  // the dry input reaches the output
  plain.render(safeL, safeR, wantL, wantR, 1);
  for (int block : {1, 63, 64, 65, 200, 512}) {
    Probe p;
    p.setParameter(MIX_TAG, 0.5f);
    std::vector<float> outL, outR;
    p.render(inL, inR, outL, outR, block);
    for (size_t n = 0; n < outL.size(); ++n) {
      ASSERT_EQ(bits(outL[n]), bits(wantL[n])) << "block " << block << " sample " << n;
      ASSERT_EQ(bits(outR[n]), bits(wantR[n])) << "block " << block << " sample " << n;
    }
  }
}

namespace {

class CurveProbe : public Probe {
 public:
  using TEngine::waveShaperCurves;
};

}  // namespace

TEST(EngineFastPaths, CurvesTakenFourPointsAtATimeEqualThePointByPointForm) {
  // Every point of both curves gets its own value (ends, signed zero, values whose doubling
  // rounds); after the routing tick each point must hold 2 v - 1 exactly as the scalar form.
  CurveProbe p;
  for (int w = 0; w < 2; ++w)
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) {
      const float v =
          i % 7 == 0 ? (i % 2 ? 1.0f : -0.0f) : std::fmod(0.1234567f * static_cast<float>(i + 300 * w), 1.0f);
      p.setParameter(WAVESHAPER_START_TAG[w] + i, v);
    }
  p.run(256);  // one full routing period
  for (int w = 0; w < 2; ++w)
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) {
      const float want = 2.0f * p.getParameter(WAVESHAPER_START_TAG[w] + i) - 1.0f;
      ASSERT_EQ(bits(p.waveShaperCurves[w][i]), bits(want)) << "curve " << w << " point " << i;
    }
}

namespace {

class FollowerProbe : public Probe {
 public:
  using TEngine::followerEnvelope;
  using TEngine::followerHistory;
  using TEngine::followerPhase;
};

}  // namespace

TEST(EngineFastPaths, FollowerHistoryEntryWorkedOutOncePerSampleIsTheOneOfItsPhase) {
  // Through a whole turn of the write phase and past its wrap, with the follower fed from the
  // main input (before the sample's phase step) and from the output (after it): the entry written
  // is the one the plain saturating conversion of that phase picks, holding the limited envelope.
  for (int source : {0, 6}) {
    FollowerProbe p;
    p.setStep(FOLLOWER_SOURCE_TAG, source);
    for (int n = 0; n < 65536 + 300; ++n) {
      const double before = p.followerPhase.load();
      p.sample(0.8f * std::sin(0.001f * static_cast<float>(n)), 0.1f);
      const double phase = source == 0 ? before : p.followerPhase.load();
      const int slot = dsp::saturatingInt(phase * engine_detail::FOLLOWER_INDEX_SCALE) &
                       (engine_detail::FOLLOWER_HISTORY - 1);
      ASSERT_EQ(bits(p.followerHistory[slot]), bits(dsp::clamp01(p.followerEnvelope)))
          << "source " << source << " sample " << n;
    }
  }
}

TEST(EngineFastPaths, OutputClipSideBySideEqualsTheScalarClip) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float values[] = {0.0f,   -0.0f, 0.5f,   0.999f, 0.9990001f, -0.9990001f, -3.0f,
                          1e-45f, 3e38f, -3e38f, inf,    -inf,       nan};
  auto clip = [](float v) { return v > 0.999f ? 0.999f : (v < -0.999f ? -0.999f : (v == v ? v : 0.0f)); };
  // Every pair of values, each in either channel.
  for (float x : values)
    for (float y : values) {
      float l = x, r = y;
      engine_detail::clipOutputs(l, r);
      EXPECT_EQ(bits(l), bits(clip(x))) << x << ", " << y;
      EXPECT_EQ(bits(r), bits(clip(y))) << x << ", " << y;
    }
}
