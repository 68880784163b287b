// The distortion stage: drives, optionally splits into two bands, shapes with one of
// 52 distortion types and level-compensates two consecutive stereo frames of the
// doubled-rate stream.
#pragma once

#include <cstdint>

#include "dsp/dspCommon.h"
#include "dsp/uDistortShapers.h"
#include "dsp/uFilter.h"

namespace dsp {

// Indices of the distortion types (the step values of the "Distort Type" parameter).
enum DistortType : int {
  DIST_NONE = 0,
  DIST_AND,
  DIST_ATAN,
  DIST_CLIPPER_1,
  DIST_CLIPPER_2,
  DIST_COS_1,
  DIST_COS_2,
  DIST_CROSS_1,
  DIST_CROSS_2,
  DIST_FOLDOVER,
  DIST_FUZZ,
  DIST_GAPPER,
  DIST_HARD_DISTORT,
  DIST_HARD_LIMITER,
  DIST_LOW_FI,
  DIST_OCTAVE_1,
  DIST_OCTAVE_2,
  DIST_OCTAVE_3,
  DIST_OVERDRIVE,
  DIST_PEAK_REMOVE,
  DIST_POWER,
  DIST_RECTIFY,
  DIST_REZ,
  DIST_SATURATE,
  DIST_SOFT_LIMITER,
  DIST_SQUARIFY,
  DIST_TRANSIENT,
  DIST_TRANSIENT_BOOST,
  DIST_TUBE,
  DIST_VALVE,
  DIST_WAVESHAPER,
  DIST_2B_COS,
  DIST_2B_FOLDOVER,
  DIST_2B_FUZZ,
  DIST_2B_GAPPER,
  DIST_2B_LIMITER,
  DIST_2B_LOW_FI,
  DIST_2B_OCTAVE,
  DIST_2B_OVERDRIVE,
  DIST_2B_POWER,
  DIST_2B_RECTIFY,
  DIST_2B_SATURATE,
  DIST_2B_VALVE,
  DIST_AMP,
  DIST_CABINET,
  DIST_FM,
  DIST_PM,
  DIST_RING,
  DIST_2B_RING,
  DIST_SIDE_RING,
  DIST_DUAL_WAVESHAPER,
  DIST_2B_WAVESHAPER,
  NUM_DISTORT_TYPES
};
static_assert(NUM_DISTORT_TYPES == 52);

// True for the types that shape a low and a high band separately.
constexpr bool isTwoBandType(int type) noexcept {
  return (type >= DIST_2B_COS && type <= DIST_2B_VALVE) || type == DIST_2B_RING || type == DIST_2B_WAVESHAPER;
}

class TDistort {
 public:
  // Initialises at 44100 Hz.
  TDistort();

  // Per-instance random sequence for the Low-Fi noise. Without one the stage uses a sequence
  // of its own; the plug-in hands in the instance's sequence for the audio-path stage.
  void setRandSeed(RandSeed* seed) noexcept { sharedSeed = seed; }

  // Host sample rate (a rate below 1000 becomes 44100). Clears all state.
  void init(float sampleRate) noexcept;
  // Clears the processing state; keeps the type, envelopes and smoothed knobs.
  void reset() noexcept;
  // DC-blocker switch.
  void setDC(bool on) noexcept { dcOn = on; }
  // Copies the amp voicings into the FIR rows (row 0 is a unit impulse).
  void initAmp() noexcept;

  // Processes two frames in place. type 0..51 (others pass the driven input); dist1..dist8
  // the knob values 0..1; side is the side input of the same moment; curve1/curve2 the
  // 256-point wave-shaper curves (-1..1), which may be null (read as silence).
  void process(float& left0, float& right0, float& left1, float& right1, float sideLeft, float sideRight,
               int type, float dist1, float dist2, float dist3, float dist4, float dist5, float dist6,
               float dist7, float dist8, const float* curve1, const float* curve2) noexcept {
    const float knobs[8] = {dist1, dist2, dist3, dist4, dist5, dist6, dist7, dist8};
    process(left0, right0, left1, right1, sideLeft, sideRight, type, knobs, curve1, curve2);
  }
  // The same with the eight knob values side by side in knobs[0..7]: the form the engine calls at
  // every sample, with two vector loads instead of eight arguments.
  void process(float& left0, float& right0, float& left1, float& right1, float sideLeft, float sideRight,
               int type, const float* knobs, const float* curve1, const float* curve2) noexcept;

  // For tests and displays.
  float getSampleRate() const noexcept { return sampleRate; }
  int getCurrentType() const noexcept { return currentType; }
  float getSmoothedKnob(int k) const noexcept { return smoothedKnobs[(k & 7) >> 2][k & 3]; }

 private:
  void resetState() noexcept;
  void initFilters() noexcept;

  // The type-specific shaping; x holds the driven samples (left 0, right 0, left 1, right 1),
  // lo/hi the bands, y receives the outputs. k are the smoothed knobs, raw the call's knobs.
  void shape(int type, const float* x, const float* lo, const float* hi, float lowGain, float highGain,
             float* y, const float* k, const float* raw, float sideLeft, float sideRight, const float* curve1,
             const float* curve2, bool force) noexcept;
  void shapeLowFi(const float* x, float* y, const float* k) noexcept;
  void shapeTwoBandLowFi(const float* lo, const float* hi, float lowGain, float highGain, float* y,
                         const float* k) noexcept;
  // 2^(8 knob) - 1, the drive into the amp and cabinet models' saturation.
  float saturationGain(float knob) noexcept;
  void shapeAmp(const float* x, float* y, const float* k, const float* raw) noexcept;
  void shapeCabinet(const float* x, float* y, const float* k, const float* raw) noexcept;
  void shapeFmPm(bool pm, const float* x, float* y, const float* k, const float* raw, bool force) noexcept;

  RandSeed& seed() noexcept { return sharedSeed ? *sharedSeed : ownSeed; }

  // The rule (or setting) a type builds in slot 0..3 from its smoothed knobs, built again only
  // when the type or one of those knob values moves: knobs that have settled hold their value,
  // so the powers behind a rule are not worked out on every call.
  template <class Rule, class... Knobs>
  const Rule& kept(int slot, Knobs... knobs) noexcept;

  const distort::Tables* tables;

  bool freshStart = true;
  bool dcOn = true;
  int currentType = 0;
  uint32_t ampWriteIndex = 0;  // runs for hours: unsigned, used masked
  float sampleRate = 44100.0f;
  float doubleRate = 88200.0f;
  float bandDcState[4] = {};

  TFilter squarifyFilter;
  TFilter clipToneFilter;
  TFilter tubeToneFilter;
  TFilter crossoverFilter;
  TFilter lowPassStage;
  TFilter highPassStage;

  float ampCoefficients[6][64] = {};
  // The rings are stored twice over (entry j and j + length hold the same value) so that
  // the filters read one contiguous run of taps without wrapping.
  float ampHistory[2][128] = {};
  // The cabinet rings run backwards (each call writes one slot lower), so that entry w + t
  // holds the value of t calls ago and two neighbouring taps are neighbours in memory.
  uint32_t cabWriteIndex = 0;
  float cabHistory[4][64] = {};  // left input, left output, right input, right output
  int cabRow = 0;                // response row the rings were filled with
  // The row's taps in the order the filter sums them: aa[t], aa[t + 1], bb[t], bb[t + 1].
  StereoLanes cabTaps[16] = {};

  float lowFiCounter = 0.0f;
  float lowFiHeld[4] = {};
  float lowFiBandCounter[2] = {};
  float lowFiBandHeld[2][4] = {};

  float satKnob = __builtin_nanf(""), satGain = 0.0f;

  float ringPhase = 0.0f;
  float ringBandPhase[2] = {};
  float fmPhase[2] = {};
  float fmEnvelope[4] = {};

  float dcState[2] = {};
  float dcCoefficient = 30.0f / 88200.0f;
  float dcKeep = 1.0f - 30.0f / 88200.0f;

  // Input and output level: {in L, in R, out L, out R}.
  StereoLanes envelopes = {0.0001f, 0.0001f, 0.0001f, 0.0001f};
  // Knobs 1..4, then 5..8.
  StereoLanes smoothedKnobs[2] = {};

  struct KeptSlot {
    int type = -1;  // the distortion type that built the slot's rule; -1: none yet
    float key[5] = {};
    alignas(16) unsigned char rule[48];
  };
  KeptSlot keptSlots[4];

  RandSeed ownSeed;
  RandSeed* sharedSeed = nullptr;
};

}  // namespace dsp
