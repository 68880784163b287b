// Stereo compressor with a 128-sub-sample look-ahead, two ratio laws and make-up gain.
// Works on two consecutive stereo frames of the doubled-rate stream.
#pragma once

#include "dsp/dspCommon.h"

namespace dsp {

class TCompressor {
 public:
  static constexpr unsigned LOOKAHEAD = 128;

  TCompressor() noexcept;
  // Sets the working rate (twice the host rate), clears the detectors and the look-ahead rings.
  void init(float sampleRate) noexcept;
  // Values 0..1: threshold -40..0 dB, ratio, attack 2^(8v) ms, release 2^(14v) ms,
  // volume -30..+10 dB (silent below 0.001); mode selects the second ratio law.
  void setParams(float threshold, float ratio, float attack, float release, float volume, bool mode) noexcept;
  void process(float& a, float& b, float& c, float& d) noexcept;
  // Level for the meter: the mean of the two peak detectors.
  float getCompressorVolume() const noexcept { return (peak[0] + peak[1]) / 2.0f; }

  float getThresholdLin() const noexcept { return thresholdLin; }
  float getMakeUp() const noexcept { return makeUp; }

 private:
  bool mode = false;
  unsigned counter = 0;  // sub-sample count, masked to the look-ahead ring
  float rate2 = 88200.0f;
  float thresholdLin = 1.0f;
  float thresholdDb = 0.0f;
  float slopeA = 1.0f / 128.0f;
  float slopeB = 1.0f;
  // Above the threshold the gain is 10^(over s / 20) with over = threshold dB - level dB, that is
  // gainScale * env^gainPower: one power per sub-sample instead of a logarithm and a power.
  float gainScale = 1.0f;
  float gainPower = -1.0f / 128.0f;
  float attack = 0.0f;
  float release = 0.0f;
  float makeUp = 1.0f;
  // Detector states and the look-ahead ring, left and right in the first two lanes.
  StereoLanes peak{};
  StereoLanes env{};
  StereoLanes gain{1.0f, 1.0f, 0.0f, 0.0f};
  StereoLanes ring[LOOKAHEAD] = {};
  // The last attack and release values, so a rate change keeps the times in milliseconds.
  float attackV = 0.0f, releaseV = 0.0f;
  // The last threshold, ratio and volume arguments; a setting is worked out again only when
  // its own argument moves. False keys force the next call to compute everything.
  bool keysValid = false;
  float thresholdKey = 0.0f, ratioKey = 0.0f, volumeKey = 0.0f;
};

}  // namespace dsp
