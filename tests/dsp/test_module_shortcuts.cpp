// The modules keep worked-out settings between calls, run both channels in one register and
// write the compressor's gain law as a single power. These tests hold each of them against a
// plain version that recomputes everything on every call, over sweeps that move, repeat and
// restore the settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "dsp/dspCommon.h"
#include "dsp/uCompressor.h"
#include "dsp/uDistort.h"
#include "dsp/uDistortTables.h"
#include "dsp/uEQ.h"
#include "dsp/uFilter.h"
#include "dsp/uNoiseGate.h"
#include "dsp/uWidener.h"

namespace {

using dsp::clamp01;

// A deterministic, broadband test signal with loud and quiet stretches.
struct Noise {
  uint32_t s = 12345u;
  float next() {
    s = s * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(s)) * 4.656612873077393e-10f;
  }
};

float envelopeAt(int k) { return (k / 3000) % 2 ? 0.9f : 0.05f; }

// One frame of call k through the module and through its plain form: bit for bit the same.
template <class Module, class Plain>
testing::AssertionResult sameFrame(Noise& n, int k, Module&& module, Plain&& plain) {
  const float e = envelopeAt(k);
  float v[4] = {e * n.next(), e * n.next(), e * n.next(), e * n.next()};
  float r[4] = {v[0], v[1], v[2], v[3]};
  module(v[0], v[1], v[2], v[3]);
  plain(r[0], r[1], r[2], r[3]);
  for (int i = 0; i < 4; ++i)
    if (std::memcmp(&v[i], &r[i], sizeof(float)) != 0)
      return testing::AssertionFailure() << "call " << k << " output " << i << ": " << v[i] << " vs " << r[i];
  return testing::AssertionSuccess();
}

// ---------------------------------------------------------------------------------------------
// Parametric EQ: the textbook cascade, sub-sample by sub-sample, band by band, channel by channel.

class PlainEq {
 public:
  explicit PlainEq(float rate) : t(dsp::eqTables()), halfInvRate(1.0f / (2.0f * rate)) {
    for (float& v : lastFreq) v = -1.0f;
    for (float& v : lastWidth) v = -1.0f;
  }

  void process(const float* gain, const float* freq, const float* width, float& a, float& b, float& c,
               float& d) {
    for (int k = 0; k < 4; ++k) {
      if (std::fabs(freq[k] - lastFreq[k]) > 0.0001f || std::fabs(gain[k] - lastGain[k]) > 0.0001f ||
          std::fabs(width[k] - lastWidth[k]) > 0.0001f) {
        active[k] = std::fabs(gain[k] - 0.5f) > 0.0001f;
        float f = 20.0f * std::pow(2.0f, 10.0f * clamp01(freq[k])) * halfInvRate;
        if (f > 0.3f) f = 0.3f;
        const int i = dsp::tableIndex(f);
        const float cs = t.cosine[i], sn = t.sine[i];
        const float alpha = sn * t.width[dsp::tableIndex(width[k])];
        const float A = t.gain[dsp::tableIndex(gain[k])];
        const float n = 1.0f / (1.0f + alpha / A);
        co[k][0] = (1.0f + alpha * A) * n + 1e-15f;
        co[k][1] = 1e-15f - 2.0f * cs * n;
        co[k][3] = co[k][1];
        co[k][2] = (1.0f - alpha * A) * n + 1e-15f;
        co[k][4] = (1.0f - alpha / A) * n + 1e-15f;
        lastGain[k] = gain[k];
        lastFreq[k] = freq[k];
        lastWidth[k] = width[k];
      }
    }
    auto unit = [](float x) { return x > 1.0f ? 1.0f : (x < -1.0f ? -1.0f : x); };
    float v[4] = {unit(a * 0.1f) + 1e-15f, unit(b * 0.1f) + 1e-15f, unit(c * 0.1f) + 1e-15f,
                  unit(d * 0.1f) + 1e-15f};
    for (int sub = 0; sub < 2; ++sub) {
      pos = pos == 2 ? 0 : pos + 1;
      const int p1 = pos == 0 ? 2 : pos - 1;
      const int p2 = p1 == 0 ? 2 : p1 - 1;
      for (int k = 0; k < 4; ++k) {
        if (!active[k]) continue;
        for (int ch = 0; ch < 2; ++ch) {
          const float x = v[2 * sub + ch];
          xh[k][pos][ch] = x;
          const float y = co[k][0] * x + co[k][1] * xh[k][p1][ch] + co[k][2] * xh[k][p2][ch] -
                          co[k][3] * yh[k][p1][ch] - co[k][4] * yh[k][p2][ch];
          yh[k][pos][ch] = y;
          v[2 * sub + ch] = y;
        }
      }
    }
    a = (v[0] + 1e-15f) * 10.0f;
    b = (v[1] + 1e-15f) * 10.0f;
    c = (v[2] + 1e-15f) * 10.0f;
    d = (v[3] + 1e-15f) * 10.0f;
  }

 private:
  const dsp::EQTables& t;
  float halfInvRate;
  bool active[4] = {};
  float lastGain[4] = {}, lastFreq[4] = {}, lastWidth[4] = {};
  float co[4][5] = {};
  float xh[4][3][2] = {}, yh[4][3][2] = {};
  int pos = 0;
};

TEST(ModuleShortcuts, EqualiserMatchesThePlainCascadeBitForBit) {
  for (float rate : {44100.0f, 48000.0f}) {
    dsp::TEQ eq;
    eq.init(rate);
    PlainEq plain(rate);
    Noise n;
    float gain[4] = {0.7f, 0.5f, 0.2f, 0.9f}, freq[4] = {0.1f, 0.4f, 0.6f, 0.85f},
          width[4] = {0.3f, 0.5f, 0.7f, 0.1f};
    for (int k = 0; k < 40000; ++k) {
      // Bands switch off and on again (a flat gain freezes their history), and sweeps move in
      // steps both below and above the recompute threshold.
      if (k % 5000 == 0) gain[1] = gain[1] == 0.5f ? 0.65f : 0.5f;
      if (k % 7000 == 0) gain[3] = gain[3] == 0.5f ? 0.1f : 0.5f;
      freq[0] = 0.1f + 0.3f * static_cast<float>(k) / 40000.0f;
      width[2] = 0.7f - 0.00002f * static_cast<float>(k % 1000);
      ASSERT_TRUE(sameFrame(
          n, k, [&](float& a, float& b, float& c, float& d) { eq.process(gain, freq, width, a, b, c, d); },
          [&](float& a, float& b, float& c, float& d) { plain.process(gain, freq, width, a, b, c, d); }))
          << rate;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Ten-band equaliser: band by band, channel by channel, with its gains worked out on every call.

class PlainOldEq {
 public:
  explicit PlainOldEq(const dsp::TOldEQ& coefficients) : co(coefficients) {}

  void process(float g0, float g1, float g2, float g3, float& a, float& b, float& c, float& d) {
    constexpr int N = dsp::TOldEQ::BANDS;
    const float t0 = g0 - 0.5f, t1 = g1 - 0.5f, t2 = g2 - 0.5f, t3 = g3 - 0.5f;
    const float ctl[N] = {0.333f * t0 + 0.5f,
                          0.666f * t0 + 0.5f,
                          g0,
                          (t0 + t1) / 2.0f + 0.5f,
                          g1,
                          (t1 + t2) / 2.0f + 0.5f,
                          g2,
                          (t2 + t3) / 2.0f + 0.5f,
                          g3,
                          0.5f * t3 + 0.5f};
    float gain[N];
    for (int j = 0; j < N; ++j) gain[j] = co.getBaseGain(j) * dsp::oldEqGainTable()[dsp::tableIndex(ctl[j])];
    float v[4] = {a, b, c, d};
    for (int sub = 0; sub < 2; ++sub) {
      p = p == 2 ? 0 : p + 1;
      const int p1 = p == 0 ? 2 : p - 1, p2 = p1 == 0 ? 2 : p1 - 1;
      for (int ch = 0; ch < 2; ++ch) {
        const float x = v[2 * sub + ch];
        xh[p][ch] = x;
        const float e = x - xh[p2][ch];
        float sum = 0.0f;
        for (int j = 0; j < N; ++j) {
          const float y = co.getAlpha(j) * e - co.getGamma2(j) * yh[j][p1][ch] -
                          co.getBeta2(j) * yh[j][p2][ch] + dsp::ANTI_DENORMAL;
          yh[j][p][ch] = y;
          sum += y * gain[j];
        }
        v[2 * sub + ch] = sum;
      }
    }
    a = v[0], b = v[1], c = v[2], d = v[3];
  }

 private:
  const dsp::TOldEQ& co;
  float xh[3][2] = {}, yh[dsp::TOldEQ::BANDS][3][2] = {};
  int p = 0;
};

TEST(ModuleShortcuts, TenBandEqualiserMatchesThePlainSectionsBitForBit) {
  for (float rate : {44100.0f, 96000.0f}) {
    dsp::TOldEQ eq;
    eq.init(rate);
    PlainOldEq plain(eq);
    Noise n;
    float g[4] = {0.5f, 0.8f, 0.3f, 0.95f};
    for (int k = 0; k < 30000; ++k) {
      // Knobs held for stretches, then swept; a direct gain write must not outlive the next call.
      if (k % 4000 == 0) g[0] = g[0] == 0.5f ? 0.1f : 0.5f;
      if (k > 20000) g[2] = 0.3f + 0.5f * static_cast<float>(k - 20000) / 10000.0f;
      if (k % 3000 == 1500) eq.setEqVol(3, 0.9f);
      ASSERT_TRUE(sameFrame(
          n, k,
          [&](float& a, float& b, float& c, float& d) { eq.process(g[0], g[1], g[2], g[3], a, b, c, d); },
          [&](float& a, float& b, float& c, float& d) { plain.process(g[0], g[1], g[2], g[3], a, b, c, d); }))
          << rate;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Widener and chorus: every power, ratio and root worked out on every call.

class PlainWidener {
 public:
  explicit PlainWidener(float r) : rate(r), invRate(1.0f / r), sine(dsp::widenerSineTable()) {
    widen.assign(32768, 0.0f);
    left.assign(32768, 0.0f);
    right.assign(32768, 0.0f);
  }

  void doWidener(float amount, float width, float speed, float& first, float& second) {
    float D = std::pow(2.0f, 8.0f * clamp01(amount)) * 12.0f * rate / 44100.0f + 1.0f;
    if (!(D < 32766.0f)) D = 32766.0f;
    const float w = clamp01(width);
    const float inc = std::pow(2.0f, 6.0f * clamp01(speed)) * 0.013427734f * invRate;
    const uint32_t wp = writePos;
    widen[wp & 32767u] = first;
    const float tri = std::fabs(2.0f * phase - 1.0f);
    const float delay1 = ((1.0f - tri) * w + (1.0f - w)) * D + 1.0f;
    const uint32_t i1 = static_cast<uint32_t>(delay1);
    const float f1 = delay1 - static_cast<float>(i1);
    const float out1 = f1 * widen[(wp - i1 - 1u) & 32767u] + (1.0f - f1) * widen[(wp - i1) & 32767u];
    widen[(wp + 1u) & 32767u] = second;
    const float p1 = dsp::wrapPhase(phase + inc);
    const float tri2 = std::fabs(2.0f * p1 - 1.0f);
    const float delay2 = ((1.0f - tri2) * w + (1.0f - w)) * D + 1.0f;
    const uint32_t i2 = static_cast<uint32_t>(delay2);
    const float f2 = delay2 - static_cast<float>(i2);
    const float out2 = f2 * widen[(wp - i2) & 32767u] + (1.0f - f2) * widen[(wp + 1u - i2) & 32767u];
    writePos = wp + 2u;
    phase = dsp::wrapPhase(p1 + inc);
    first = out1;
    second = out2;
  }

  void doChorus(float mix, float length, float width, float speed, float& a, float& b, float& c, float& d) {
    float maxDelay = clamp01(length) * 0.1f * rate + 2.0f;
    if (maxDelay > 32767.0f) maxDelay = 32767.0f;
    const float r = std::pow(2.0f, 10.0f * clamp01(speed)) * 112640.0f * invRate;
    const uint32_t inc1 = static_cast<uint32_t>(dsp::saturatingInt(r)) / 2u;
    const uint32_t inc2 = static_cast<uint32_t>(dsp::saturatingInt(r * 2.08f)) / 2u;
    const float depth = clamp01(width) * 0.99f;
    const float in[4] = {a, b, c, d};
    float out[4];
    for (int frame = 0; frame < 2; ++frame) {
      const uint32_t pos = (writePos + static_cast<uint32_t>(frame)) & 32767u;
      ph1 = (ph1 + inc1) & 0xFFFFFFu;
      ph2 = (ph2 + inc2) & 0xFFFFFFu;
      float distL = (sine[ph1 >> 8] * depth + (1.0f - depth)) * maxDelay;
      float distR = (sine[ph2 >> 8] * depth + (1.0f - depth)) * maxDelay;
      if (distL < 2.0f) distL = 2.0f;
      if (distR < 2.0f) distR = 2.0f;
      float pointL = static_cast<float>(pos) - distL, pointR = static_cast<float>(pos) - distR;
      if (pointL < 0.0f) pointL += 32768.0f;
      if (pointR < 0.0f) pointR += 32768.0f;
      out[2 * frame] = read(left, pointL);
      out[2 * frame + 1] = read(right, pointR);
      left[pos] = in[2 * frame];
      right[pos] = in[2 * frame + 1];
    }
    writePos += 2u;  // one write position for both effects
    const float m = 2.0f * clamp01(mix);
    const float wet = m > 1.0f ? 1.0f : m;
    const float dry = 2.0f - m > 1.0f ? 1.0f : 2.0f - m;
    const float norm = std::sqrt(wet + dry);
    a = (out[0] * wet + in[0] * dry) / norm;
    b = (out[1] * wet + in[1] * dry) / norm;
    c = (out[2] * wet + in[2] * dry) / norm;
    d = (out[3] * wet + in[3] * dry) / norm;
  }

 private:
  static float read(const std::vector<float>& ring, float point) {
    const float fl = std::floor(point);
    const float t = point - fl;
    const uint32_t i = static_cast<uint32_t>(static_cast<int32_t>(fl));
    const float xm1 = ring[(i - 1u) & 32767u], x0 = ring[i & 32767u];
    const float x1 = ring[(i + 1u) & 32767u], x2 = ring[(i + 2u) & 32767u];
    const float c1 = 0.5f * (x1 - xm1);
    const float c2 = xm1 - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
    const float c3 = 1.5f * (x0 - x1) + 0.5f * (x2 - xm1);
    return ((c3 * t + c2) * t + c1) * t + x0;
  }

  float rate, invRate;
  const float* sine;
  std::vector<float> widen, left, right;
  uint32_t writePos = 0, ph1 = 0, ph2 = 0;
  float phase = 0.0f;
};

TEST(ModuleShortcuts, WidenerAndChorusFollowEveryMovedSettingBitForBit) {
  for (float rate : {44100.0f, 96000.0f}) {
    auto w = std::make_unique<dsp::TWidener>();
    w->init(rate);
    PlainWidener plain(rate);
    Noise n;
    for (int k = 0; k < 30000; ++k) {
      // Settings hold for a while, move, and come back to earlier values; NaN must not stick.
      const float amount = (k / 2000) % 3 == 0 ? 0.6f : 0.2f + 0.00001f * static_cast<float>(k % 500);
      const float speed = (k / 1500) % 2 ? 0.4f : 0.7f;
      const float mix = k % 4000 < 10 ? std::nanf("") : ((k / 2500) % 2 ? 0.5f : 0.8f - 0.00003f * (k % 900));
      const float chorusSpeed = (k / 3000) % 2 ? 0.3f : 0.3f + 0.0001f * static_cast<float>(k % 100);
      const float e = envelopeAt(k);
      float b = e * n.next(), d = e * n.next();
      float rb = b, rd = d;
      w->doWidener(amount, 0.7f, speed, b, d);
      plain.doWidener(amount, 0.7f, speed, rb, rd);
      ASSERT_EQ(b, rb) << rate << " widener call " << k;
      ASSERT_EQ(d, rd) << rate << " widener call " << k;

      float a = e * n.next(), bb = e * n.next(), c = e * n.next(), dd = e * n.next();
      float ra = a, rbb = bb, rc = c, rdd = dd;
      w->doChorus(mix, 0.4f, 0.44f, chorusSpeed, a, bb, c, dd);
      plain.doChorus(mix, 0.4f, 0.44f, chorusSpeed, ra, rbb, rc, rdd);
      ASSERT_EQ(a, ra) << rate << " chorus call " << k;
      ASSERT_EQ(bb, rbb) << rate << " chorus call " << k;
      ASSERT_EQ(c, rc) << rate << " chorus call " << k;
      ASSERT_EQ(dd, rdd) << rate << " chorus call " << k;
    }
  }
}

TEST(ModuleShortcuts, WidenerForgetsItsSettingsOnANewRate) {
  auto w = std::make_unique<dsp::TWidener>();
  w->init(44100.0f);
  float b = 0.5f, d = 0.5f;
  w->doWidener(0.5f, 0.5f, 0.5f, b, d);
  w->doChorus(0.5f, 0.5f, 0.44f, 0.5f, b, d, b, d);
  w->init(96000.0f);
  auto fresh = std::make_unique<dsp::TWidener>();
  fresh->init(96000.0f);
  Noise n;
  for (int k = 0; k < 5000; ++k) {
    float x = n.next(), y = n.next(), fx = x, fy = y;
    w->doChorus(0.5f, 0.5f, 0.44f, 0.5f, x, y, x, y);
    fresh->doChorus(0.5f, 0.5f, 0.44f, 0.5f, fx, fy, fx, fy);
    ASSERT_EQ(x, fx) << k;
    ASSERT_EQ(y, fy) << k;
  }
  EXPECT_EQ(w->getPhase1(), fresh->getPhase1());
  EXPECT_EQ(w->getPhase2(), fresh->getPhase2());
}

// ---------------------------------------------------------------------------------------------
// Compressor: the level in decibels and the gain as a power of ten, as the law is written.

struct PlainCompressor {
  explicit PlainCompressor(float rate) : rate2(2.0f * rate) {}
  void set(float threshold, float ratio, float att, float rel, float volume, bool m) {
    thDb = 40.0f * clamp01(threshold) - 40.0f;
    thLin = std::pow(10.0f, thDb / 20.0f);
    sA = 1.0f / std::pow(2.0f, (1.0f - clamp01(ratio)) * 7.0f);
    sB = 1.0f / std::pow(2.0f, 7.0f * clamp01(ratio));
    attack = std::exp(-1000.0f / (std::pow(2.0f, 8.0f * clamp01(att)) * rate2));
    release = std::exp(-1000.0f / (std::pow(2.0f, 14.0f * clamp01(rel)) * rate2));
    const float v = clamp01(volume);
    makeUp = v < 0.001f ? 0.0f : std::pow(10.0f, (40.0f * v - 30.0f) / 20.0f);
    mode = m;
  }
  float channel(float x, int ch) {
    const float delayed = ring[ch][pos];
    ring[ch][pos] = x;
    const float level = std::fabs(x);
    peak[ch] = level > peak[ch] ? level : 0.999f * peak[ch] + 0.000999987f * level + 1e-15f;
    const float k = peak[ch] > env[ch] ? attack : release;
    env[ch] = (1.0f - k) * peak[ch] + k * env[ch];
    float target = 1.0f;
    if (env[ch] > thLin) {
      const float over = thDb - 20.0f * std::log10(env[ch]);
      target = mode ? std::pow(10.0f, (1.0f - sB) * over / 20.0f) : std::pow(10.0f, over * sA / 20.0f);
    }
    gain[ch] = target * (1.0f - attack) + gain[ch] * attack;
    return delayed * gain[ch] * makeUp;
  }
  void process(float& a, float& b, float& c, float& d) {
    a = channel(a, 0);
    b = channel(b, 1);
    pos = (pos + 1) & 127;
    c = channel(c, 0);
    d = channel(d, 1);
    pos = (pos + 1) & 127;
  }
  float rate2, thDb = 0, thLin = 1, sA = 1, sB = 1, attack = 0, release = 0, makeUp = 1;
  bool mode = false;
  float ring[2][128] = {}, peak[2] = {}, env[2] = {}, gain[2] = {1.0f, 1.0f};
  int pos = 0;
};

TEST(ModuleShortcuts, CompressorGainLawMatchesTheDecibelFormWithinRounding) {
  struct Setting {
    float threshold, ratio, attack, release, volume;
    bool mode;
  };
  const Setting settings[] = {{0.3f, 0.6f, 0.2f, 0.3f, 0.75f, false}, {0.3f, 0.6f, 0.2f, 0.3f, 0.75f, true},
                              {0.0f, 1.0f, 0.0f, 0.0f, 1.0f, false},  {0.9f, 0.0f, 0.5f, 0.1f, 0.6f, true},
                              {0.5f, 0.0f, 0.0f, 0.9f, 0.5f, false},  {0.1f, 0.3f, 0.9f, 0.5f, 0.8f, true}};
  for (const Setting& s : settings) {
    dsp::TCompressor comp;
    comp.init(48000.0f);
    PlainCompressor plain(48000.0f);
    Noise n;
    double worst = 0.0;
    for (int k = 0; k < 30000; ++k) {
      if (k % 16 == 0) {
        // The threshold and ratio move as an LFO moves them; the rest hold.
        const float wobble = 0.05f * std::sin(static_cast<float>(k) * 0.001f);
        comp.setParams(s.threshold + wobble, s.ratio - wobble, s.attack, s.release, s.volume, s.mode);
        plain.set(s.threshold + wobble, s.ratio - wobble, s.attack, s.release, s.volume, s.mode);
      }
      const float e = 2.0f * envelopeAt(k);
      float a = e * n.next(), b = e * n.next(), c = e * n.next(), d = e * n.next();
      float ra = a, rb = b, rc = c, rd = d;
      comp.process(a, b, c, d);
      plain.process(ra, rb, rc, rd);
      for (auto [x, r] : {std::pair{a, ra}, {b, rb}, {c, rc}, {d, rd}})
        worst = std::max(worst,
                         std::fabs(static_cast<double>(x) - r) / (std::fabs(static_cast<double>(r)) + 1e-6));
    }
    // A few units in the last place of a float, nowhere near anything audible.
    EXPECT_LT(worst, 2e-5) << s.threshold << " " << s.ratio << " " << s.mode;
  }
}

TEST(ModuleShortcuts, CompressorReworksItsSettingsAfterInit) {
  dsp::TCompressor comp;
  comp.init(44100.0f);
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  const float makeUp = comp.getMakeUp();
  comp.init(96000.0f);
  EXPECT_EQ(comp.getMakeUp(), 1.0f);  // unity until the settings arrive again
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  EXPECT_EQ(comp.getMakeUp(), makeUp);

  dsp::TCompressor fresh;
  fresh.init(96000.0f);
  fresh.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  for (int k = 0; k < 3000; ++k) {
    float a = 0.8f, b = -0.7f, c = 0.6f, d = -0.5f, fa = a, fb = b, fc = c, fd = d;
    comp.process(a, b, c, d);
    fresh.process(fa, fb, fc, fd);
    ASSERT_EQ(a, fa) << k;
    ASSERT_EQ(d, fd) << k;
  }
  // The second law takes over when the mode alone changes.
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, true);
  fresh.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  float a = 0.8f, b = 0.8f, c = 0.8f, d = 0.8f, fa = a, fb = b, fc = c, fd = d;
  for (int k = 0; k < 3000; ++k) {
    a = b = c = d = fa = fb = fc = fd = 0.8f;
    comp.process(a, b, c, d);
    fresh.process(fa, fb, fc, fd);
  }
  EXPECT_NE(a, fa);
}

// ---------------------------------------------------------------------------------------------
// Gate: settings recomputed only when they move must equal a fresh computation.

TEST(ModuleShortcuts, GateSettingsEqualAFreshComputation) {
  const float values[][4] = {{0.3f, 0.2f, 0.5f, 0.4f},
                             {0.3f, 0.7f, 0.5f, 0.4f},
                             {0.8f, 0.7f, 0.1f, 0.4f},
                             {0.8f, 0.7f, 0.1f, 0.9f},
                             {0.3f, 0.2f, 0.5f, 0.4f}};
  for (float rate : {44100.0f, 96000.0f}) {
    for (int i = 1; i < 5; ++i) {
      // Settings reached step by step (and across a rate change) against settings set once.
      dsp::TNoiseGate g;
      g.init(44100.0f);
      g.setParams(values[0][0], values[0][1], values[0][2], values[0][3]);
      g.init(rate);
      g.setParams(values[i - 1][0], values[i - 1][1], values[i - 1][2], values[i - 1][3]);
      g.setParams(values[i][0], values[i][1], values[i][2], values[i][3]);
      dsp::TNoiseGate fresh;
      fresh.init(rate);
      fresh.setParams(values[i][0], values[i][1], values[i][2], values[i][3]);
      EXPECT_EQ(g.getThreshold(), fresh.getThreshold());
      EXPECT_EQ(g.getHoldSamples(), fresh.getHoldSamples());
      // Attack, hold and release show in the gain's course through a burst.
      for (int k = 0; k < 40000; ++k) {
        const float x = k < 8000 ? 0.9f : 0.0f;
        float a = x, b = x, c = x, d = x, fa = x, fb = x, fc = x, fd = x;
        g.process(a, b, c, d);
        fresh.process(fa, fb, fc, fd);
        ASSERT_EQ(g.getGain(), fresh.getGain()) << rate << " " << i << " " << k;
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Zero-delay filters: both channels side by side against one channel at a time.

TEST(ModuleShortcuts, ZeroDelayFiltersMatchTheOneChannelFormBitForBit) {
  const dsp::FilterTables& t = dsp::filterTables();
  for (int base : {3, 4, 5, 6, 7}) {
    dsp::TFilter f;
    f.init(48000.0f);
    f.setType(base, true);
    const int type = base + 5;
    float st[2][4] = {};  // s1, s2, t1, t2 per channel
    float g = 0, R = 0.5f, dz = 1;
    Noise n;
    for (int k = 0; k < 20000; ++k) {
      const float freq = 0.3f + 0.5f * std::sin(static_cast<float>(k) * 0.0005f) * 0.5f;
      const float reso = (k / 4000) % 2 ? 0.8f : 0.2f;
      // The coefficients as the filter works them out.
      float fc = (t.freqPow2[dsp::filterTableIndex(freq)] + 0.001f) * (1.0f / 96000.0f) + 1e-15f;
      fc = std::min(std::max(fc, 10.0f * (1.0f / 96000.0f)), 0.2f);
      const float rr = std::min(0.95f * reso, 0.9995f);
      R = t.zQ[dsp::filterTableIndex(rr)];
      g = t.zTan[dsp::filterTableIndex(fc)];
      dz = 1.0f / (g * g + 2.0f * R * g + 1.0f);
      const float e = envelopeAt(k);
      float in[4] = {e * n.next(), e * n.next(), e * n.next(), e * n.next()};
      float a = in[0], b = in[1], c = in[2], d = in[3];
      f.process(freq, reso, a, b, c, d, false);
      const float got[4] = {a, b, c, d};
      for (int i = 0; i < 4; ++i) {
        float* s = st[i & 1];
        const float x = in[i] * 0.1f + 1e-15f;
        float y;
        float x2 = x;
        if (type >= 11) {
          const float hp1 = (x - (1.0f + g) * s[2] - s[3]) * dz;
          const float bp1 = s[2] + g * hp1;
          const float lp1 = s[3] + g * bp1;
          s[2] = bp1 + g * hp1;
          s[3] = lp1 + g * bp1;
          x2 = type == 11 ? lp1 : hp1;
        }
        const float hp = (x2 - (2.0f * R + g) * s[0] - s[1]) * dz;
        const float bp = s[0] + g * hp;
        const float lp = s[1] + g * bp;
        s[0] = bp + g * hp;
        s[1] = lp + g * bp;
        y = type == 8 || type == 11 ? lp : (type == 9 || type == 12 ? hp : 2.0f * bp);
        ASSERT_EQ(got[i], (y + 1e-15f) * 10.0f) << type << " call " << k << " sample " << i;
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Cabinet: the four partial sums of the response, summed tap by tap from plain histories.

TEST(ModuleShortcuts, CabinetMatchesThePlainResponseSumsBitForBit) {
  namespace dd = dsp::distort;
  for (float rate : {48000.0f, 96000.0f}) {
    auto d = std::make_unique<dsp::TDistort>();
    d->init(rate);
    float xh[2][32] = {}, yh[2][32] = {};
    int n = 0, row = 0;
    Noise noise;
    for (int k = 0; k < 12000; ++k) {
      // The model knob walks through off and all three responses, and back.
      const float modelKnob = (k / 1500) % 5 * 0.24f;
      const float e = envelopeAt(k);
      float a = e * noise.next(), b = e * noise.next(), c = e * noise.next(), dd4 = e * noise.next();
      const float in[2] = {a, b};
      d->process(a, b, c, dd4, 0.0f, 0.0f, dsp::DIST_CABINET, 0.6f, 0.0f, modelKnob, 0.4f, 0.5f, 0.5f, 0.5f,
                 0.5f, nullptr, nullptr);
      const float drive = dd::tables().driveGain[dsp::tableIndex(d->getSmoothedKnob(0))];
      const float sat = std::exp2(8.0f * d->getSmoothedKnob(3)) - 1.0f;
      const int model = dd::cabinetModelIndex(clamp01(modelKnob));
      const int r = model + (rate > 80000.0f ? 4 : 0);
      if (model != 0 && r != row) {
        for (int ch = 0; ch < 2; ++ch)
          for (int t = 0; t < 32; ++t) xh[ch][t] = yh[ch][t] = 0.0f;
        n = 0;
        row = r;
      }
      float expected[2];
      for (int ch = 0; ch < 2; ++ch) {
        const float v = dd::satClamp(in[ch] * drive, sat);
        expected[ch] = v;
        if (model == 0) continue;
        xh[ch][n & 31] = v;
        auto X = [&](int t) { return xh[ch][(n - t) & 31]; };
        auto Y = [&](int t) { return yh[ch][(n - (t == 0 ? 32 : t)) & 31]; };
        float s0 = 1e-15f, s1 = 0.0f, s2 = 0.0f, s3 = 0.0f;
        for (int t = 0; t < 32; t += 2) {
          s0 += dd::CAB_AA[r][t] * X(t);
          s1 += dd::CAB_BB[r][t] * Y(t);
          s2 += dd::CAB_AA[r][t + 1] * X(t + 1);
          s3 += dd::CAB_BB[r][t + 1] * Y(t + 1);
        }
        expected[ch] = (s0 + s2) + (s1 + s3);
        yh[ch][n & 31] = expected[ch];
      }
      if (model != 0) ++n;
      // With the level compensation at zero the stage's output is the shaped value itself.
      ASSERT_EQ(a, expected[0]) << rate << " call " << k;
      ASSERT_EQ(b, expected[1]) << rate << " call " << k;
      ASSERT_EQ(c, expected[0]) << rate << " call " << k;
      ASSERT_EQ(dd4, expected[1]) << rate << " call " << k;
    }
  }
}

}  // namespace
