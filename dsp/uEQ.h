// The two equalisers: TEQ, a four-band parametric EQ of peaking sections (pre and post the
// distortion), and TOldEQ, the first-generation ten-band graphic EQ steered by four knobs.
// Both work on two consecutive stereo frames of the doubled-rate stream:
// a, b = left/right of the first sub-sample, c, d = left/right of the second.
#pragma once

#include <cstdint>

#include "dsp/dspCommon.h"

namespace dsp {

// Shared peaking-EQ tables (entry i stands for x = i / 262143.98).
struct EQTables {
  float cosine[TABLE_SIZE];  // cos(2 pi x)
  float sine[TABLE_SIZE];    // sin(2 pi x)
  float width[TABLE_SIZE];   // 1 / (2 Q), Q = 2^(4 - 10x)
  float gain[TABLE_SIZE];    // 10^((40x - 20) / 40): square root of the linear gain, -20..+20 dB
};
const EQTables& eqTables();

// Linear gain -20..+20 dB: 10^((40x - 20) / 20), shared by every TOldEQ.
const float* oldEqGainTable();

class TEQ {
 public:
  static constexpr int BANDS = 4;

  TEQ() noexcept;
  void init(float sampleRate) noexcept;
  // gain, freq and width hold one value 0..1 per band (band 0 first); 0.5 gain is flat.
  void process(const float* gain, const float* freq, const float* width, float& a, float& b, float& c,
               float& d) noexcept;

  bool isActive(int band) const noexcept { return band >= 0 && band < BANDS && active[band] != 0; }

 private:
  void computeBand(int k, float gain, float freq, float width) noexcept;

  const EQTables* tables;
  uint8_t active[BANDS] = {};
  float lastGain[BANDS] = {};
  float lastFreq[BANDS] = {};
  float lastWidth[BANDS] = {};
  float sampleRate = 44100.0f;
  float halfInvRate = 1.0f / 88200.0f;

  // Coefficients b0, b1, b2, a1, a2 per band, each repeated in every lane.
  StereoLanes coeffs[BANDS][5];
  // Three-slot input and output rings per band, left and right in the first two lanes.
  StereoLanes xHist[BANDS][3];
  StereoLanes yHist[BANDS][3];
  int pos = 0;
};

class TOldEQ {
 public:
  static constexpr int BANDS = 10;
  static constexpr float CENTRE_HZ[BANDS] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
  static constexpr float BASE_GAIN[BANDS] = {0.6923f, 0.6728f, 0.6721f, 0.6578f, 0.6599f,
                                             0.6636f, 0.6648f, 0.6589f, 0.6493f, 0.823f};
  static constexpr float Q = 1.41459f;

  TOldEQ() noexcept;
  void init(float sampleRate) noexcept;
  // The four knob values 0..1 (0.5 flat).
  void process(float g0, float g1, float g2, float g3, float& a, float& b, float& c, float& d) noexcept;

  // Direct access to one section; nothing in the engine uses them.
  void setEqFilter(int band, float hz, float gain) noexcept;
  void setEqVol(int band, float v) noexcept;

  float getRate2() const noexcept { return rate2; }
  float getGain(int band) const noexcept { return (band >= 0 && band < BANDS) ? gain[band] : 0.0f; }
  float getBaseGain(int band) const noexcept { return (band >= 0 && band < BANDS) ? baseGain[band] : 0.0f; }
  bool isActive(int band) const noexcept { return band >= 0 && band < BANDS && active[band] != 0; }
  // Section coefficients, for the response display and tests.
  float getAlpha(int band) const noexcept { return alpha[band]; }
  float getBeta2(int band) const noexcept { return beta2[band]; }
  float getGamma2(int band) const noexcept { return gamma2[band]; }

 private:
  void computeSection(int band, float hz) noexcept;
  void clearBand(int band) noexcept;
  // Band j, channel ch lives in lane 2 (j % 2) + ch of vector j / 2: both channels of two
  // bands per register, each lane computed exactly as the scalar recursion would.
  static constexpr int VECTORS = BANDS / 2;
  static_assert(BANDS % 2 == 0, "two bands per vector");

  const float* gainTable;
  float lastKnobs[4] = {-1.0f, -1.0f, -1.0f, -1.0f};  // the knob values gain[] belongs to (-1: none)
  StereoLanes alphaLanes[VECTORS] = {}, beta2Lanes[VECTORS] = {}, gamma2Lanes[VECTORS] = {};
  uint8_t active[BANDS] = {};
  float rate2 = 88200.0f;
  float invRate2 = 1.0f / 88200.0f;
  float alpha[BANDS] = {}, beta2[BANDS] = {}, gamma2[BANDS] = {};
  float baseGain[BANDS] = {};
  float gain[BANDS] = {};
  float xHist[3][2] = {};
  StereoLanes yHist[3][VECTORS] = {};
  int pos = 0;
};

}  // namespace dsp
