#include "dsp/uEQ.h"

#include <cmath>

#include "dsp/unitLaws.h"

namespace dsp {

namespace {

constexpr float DENORMAL = ANTI_DENORMAL;
constexpr float CHANGE = 0.0001f;  // smallest parameter move that recomputes a band
}  // namespace

// Generated at build time from dsp/uTableFormulas.h (tools/gen_tables.cpp).
extern "C" __attribute__((visibility("hidden"))) const EQTables grindleEqTables;
extern "C" __attribute__((visibility("hidden"))) const float grindleOldEqGain[TABLE_SIZE];

const EQTables& eqTables() { return grindleEqTables; }

const float* oldEqGainTable() { return grindleOldEqGain; }

// ---------------------------------------------------------------------------------------------
// TEQ

TEQ::TEQ() noexcept : tables(&eqTables()) { init(44100.0f); }

void TEQ::init(float rate) noexcept {
  sampleRate = rate >= 1000.0f ? rate : 44100.0f;
  halfInvRate = 1.0f / (2.0f * sampleRate);
  for (int k = 0; k < BANDS; ++k) {
    active[k] = 0;
    lastGain[k] = 0.0f;
    lastFreq[k] = -1.0f;
    lastWidth[k] = -1.0f;
    const float unity[5] = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (int j = 0; j < 5; ++j) coeffs[k][j] = splatLanes(unity[j]);
    for (int s = 0; s < 3; ++s) xHist[k][s] = yHist[k][s] = splatLanes(0.0f);
  }
  pos = 0;
}

void TEQ::computeBand(int k, float g, float fr, float w) noexcept {
  active[k] = std::fabs(g - 0.5f) > CHANGE ? 1 : 0;
  float f = units::frequencyHz(clamp01(fr)) * halfInvRate;
  if (f > 0.3f) f = 0.3f;
  const int i = tableIndex(f);
  const float c = tables->cosine[i];
  const float s = tables->sine[i];
  const float alpha = s * tables->width[tableIndex(w)];
  const float A = tables->gain[tableIndex(g)];
  const float n = 1.0f / (1.0f + alpha / A);
  const float b0 = (1.0f + alpha * A) * n + DENORMAL;
  const float b1 = DENORMAL - 2.0f * c * n;
  const float a1 = b1;
  const float b2 = (1.0f - alpha * A) * n + DENORMAL;
  const float a2 = (1.0f - alpha / A) * n + DENORMAL;
  coeffs[k][0] = splatLanes(b0);
  coeffs[k][1] = splatLanes(b1);
  coeffs[k][2] = splatLanes(b2);
  coeffs[k][3] = splatLanes(a1);
  coeffs[k][4] = splatLanes(a2);
}

void TEQ::process(const float* gain, const float* freq, const float* width, float& a, float& b, float& c,
                  float& d) noexcept {
  // A band is recomputed once its values have moved beyond the threshold from the values of its
  // last computation, so a slow sweep is followed in steps instead of being lost.
  // The four bands are compared at once; a band's test is the same as comparing it alone.
  static_assert(BANDS == 4, "one lane per band");
  const auto moved = (laneAbs(loadLanes(freq) - loadLanes(lastFreq)) > CHANGE) |
                     (laneAbs(loadLanes(gain) - loadLanes(lastGain)) > CHANGE) |
                     (laneAbs(loadLanes(width) - loadLanes(lastWidth)) > CHANGE);
  if (laneAny(moved)) {
    for (int k = 0; k < BANDS; ++k) {
      if (!moved[k]) continue;
      computeBand(k, gain[k], freq[k], width[k]);
      lastGain[k] = gain[k];
      lastFreq[k] = freq[k];
      lastWidth[k] = width[k];
    }
  }

  // The four inputs held to +-1 (after the internal scaling) side by side, each lane as clampPM1.
  const StereoLanes in = laneClampPM1(StereoLanes{a, b, c, d} * 0.1f) + DENORMAL;
  // Ring slots of this call: the two sub-samples land in s1 and s2 and read the two before.
  const int p0 = pos;                   // newest slot before this call
  const int pm = p0 == 0 ? 2 : p0 - 1;  // the one before it (and the second sub-sample's slot)
  const int s1 = p0 == 2 ? 0 : p0 + 1;
  const int s2 = pm;
  // Bands outer, sub-samples inner: each band still sees the previous band's output of the
  // same sub-sample, and the history stays in registers for both sub-samples. Left and right
  // run side by side in the first two lanes of one register.
  const StereoLanes zero = splatLanes(0.0f);
  StereoLanes va = __builtin_shufflevector(in, zero, 0, 1, 4, 5),
              vb = __builtin_shufflevector(in, zero, 2, 3, 4, 5);
  for (int k = 0; k < BANDS; ++k) {
    if (!active[k]) continue;
    const StereoLanes* co = coeffs[k];
    const StereoLanes b0 = co[0], b1 = co[1], b2 = co[2], a1 = co[3], a2 = co[4];
    StereoLanes* xh = xHist[k];
    StereoLanes* yh = yHist[k];
    const StereoLanes x1 = xh[p0], x2 = xh[pm];
    const StereoLanes y1 = yh[p0], y2 = yh[pm];
    const StereoLanes xa = va;
    const StereoLanes ya = b0 * xa + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    const StereoLanes xb = vb;
    const StereoLanes yb = b0 * xb + b1 * xa + b2 * x1 - a1 * ya - a2 * y1;
    xh[s1] = xa;
    yh[s1] = ya;
    xh[s2] = xb;
    yh[s2] = yb;
    va = ya;
    vb = yb;
  }
  pos = s2;
  const StereoLanes out = (__builtin_shufflevector(va, vb, 0, 1, 4, 5) + DENORMAL) * 10.0f;
  a = out[0];
  b = out[1];
  c = out[2];
  d = out[3];
}

// ---------------------------------------------------------------------------------------------
// TOldEQ

TOldEQ::TOldEQ() noexcept : gainTable(oldEqGainTable()) { init(44100.0f); }

void TOldEQ::computeSection(int band, float hz) noexcept {
  const float w = 6.2831855f * hz * invRate2;
  const float beta = (Q - 0.5f * w) / (2.0f * Q + w);
  alpha[band] = 0.5f - beta;
  gamma2[band] = -2.0f * (0.5f + beta) * std::cos(w);
  beta2[band] = 2.0f * beta;
  const int v = band / 2, lane = 2 * (band % 2);
  for (int ch = 0; ch < 2; ++ch) {
    alphaLanes[v][lane + ch] = alpha[band];
    gamma2Lanes[v][lane + ch] = gamma2[band];
    beta2Lanes[v][lane + ch] = beta2[band];
  }
}

void TOldEQ::clearBand(int band) noexcept {
  const int v = band / 2, lane = 2 * (band % 2);
  for (int s = 0; s < 3; ++s) yHist[s][v][lane] = yHist[s][v][lane + 1] = 0.0f;
}

void TOldEQ::init(float sampleRate) noexcept {
  rate2 = sampleRate >= 1000.0f ? 2.0f * sampleRate : 88200.0f;
  invRate2 = 1.0f / rate2;
  for (int j = 0; j < BANDS; ++j) {
    computeSection(j, CENTRE_HZ[j]);
    baseGain[j] = BASE_GAIN[j];
    gain[j] = baseGain[j];
    active[j] = 0;
    clearBand(j);
  }
  for (float& k : lastKnobs) k = -1.0f;
  for (int s = 0; s < 3; ++s) xHist[s][0] = xHist[s][1] = 0.0f;
  pos = 0;
}

void TOldEQ::setEqFilter(int band, float hz, float g) noexcept {
  if (band < 0 || band >= BANDS) return;
  clearBand(band);
  baseGain[band] = g;
  gain[band] = g;
  for (float& k : lastKnobs) k = -1.0f;
  computeSection(band, hz);
}

void TOldEQ::setEqVol(int band, float v) noexcept {
  if (band < 0 || band >= BANDS) return;
  active[band] = std::fabs(v - 0.5f) > 0.001f ? 1 : 0;
  gain[band] = baseGain[band] * gainTable[tableIndex(v)];
  for (float& k : lastKnobs) k = -1.0f;
}

void TOldEQ::process(float g0, float g1, float g2, float g3, float& a, float& b, float& c,
                     float& d) noexcept {
  // The band gains follow the four knobs; unmoved knobs give the gains already there.
  if (g0 != lastKnobs[0] || g1 != lastKnobs[1] || g2 != lastKnobs[2] || g3 != lastKnobs[3]) {
    lastKnobs[0] = g0;
    lastKnobs[1] = g1;
    lastKnobs[2] = g2;
    lastKnobs[3] = g3;
    const float t0 = g0 - 0.5f, t1 = g1 - 0.5f, t2 = g2 - 0.5f, t3 = g3 - 0.5f;
    const float ctl[BANDS] = {0.333f * t0 + 0.5f,
                              0.666f * t0 + 0.5f,
                              g0,
                              (t0 + t1) / 2.0f + 0.5f,
                              g1,
                              (t1 + t2) / 2.0f + 0.5f,
                              g2,
                              (t2 + t3) / 2.0f + 0.5f,
                              g3,
                              0.5f * t3 + 0.5f};
    for (int j = 0; j < BANDS; ++j) {
      active[j] = std::fabs(ctl[j] - 0.5f) > 0.001f ? 1 : 0;
      gain[j] = baseGain[j] * gainTable[tableIndex(ctl[j])];
    }
  }

  float v[4] = {a, b, c, d};
  int p = pos;
  for (int sub = 0; sub < 2; ++sub) {
    p = p == 2 ? 0 : p + 1;
    const int p1 = p == 0 ? 2 : p - 1;
    const int p2 = p1 == 0 ? 2 : p1 - 1;
    const float xl = v[2 * sub], xr = v[2 * sub + 1];
    xHist[p][0] = xl;
    xHist[p][1] = xr;
    const float el = xl - xHist[p2][0], er = xr - xHist[p2][1];
    const StereoLanes e = StereoLanes{el, er, el, er};
    StereoLanes* yp = yHist[p];
    const StereoLanes* y1 = yHist[p1];
    const StereoLanes* y2 = yHist[p2];
    for (int k = 0; k < VECTORS; ++k)
      yp[k] = alphaLanes[k] * e - gamma2Lanes[k] * y1[k] - beta2Lanes[k] * y2[k] + DENORMAL;
    // The mix adds the bands in order, one channel at a time, as a plain sum would.
    float sumL = 0.0f, sumR = 0.0f;
    for (int j = 0; j < BANDS; ++j) {
      const StereoLanes& y = yp[j / 2];
      const int lane = 2 * (j % 2);
      sumL += y[lane] * gain[j];
      sumR += y[lane + 1] * gain[j];
    }
    v[2 * sub] = sumL;
    v[2 * sub + 1] = sumR;
  }
  pos = p;
  a = v[0];
  b = v[1];
  c = v[2];
  d = v[3];
}

}  // namespace dsp
