// Widener and chorus sharing one object. The widener delays one channel by a short,
// triangle-modulated time; the chorus runs two sine-modulated delay lines (one per channel)
// read with cubic interpolation. Initialised with the host rate; the engine feeds it the
// doubled-rate stream.
#pragma once

#include <cstdint>

namespace dsp {

// 65,536-entry sine 0..1 shared by all instances: 0.5 sin(6.28318 i / 65536) + 0.5.
const float* widenerSineTable();

class TWidener {
  static constexpr float NAN_KEY = __builtin_nanf("");

 public:
  static constexpr unsigned RING = 32768;
  static constexpr unsigned RING_MASK = RING - 1;
  static constexpr unsigned PHASE_MASK = 0xFFFFFF;  // 24-bit chorus phases
  static constexpr float MAX_WIDEN_DELAY = 32766.0f;
  static constexpr float MAX_CHORUS_DELAY = 32767.0f;
  // Closest the chorus may read behind the write position, so that the four interpolation
  // points are all samples already written in this pass of the ring.
  static constexpr float MIN_CHORUS_DELAY = 2.0f;

  TWidener() noexcept;
  // sampleRate is the host rate (below 1000 counts as 44,100). Clears rings and phases.
  // Hosts reset an instance several times before its first block: a ring nothing has written
  // since it was last cleared is still all zeros, and is left as it is.
  void init(float sampleRate) noexcept;
  // Two consecutive samples of one channel, first the earlier. Values 0..1.
  void doWidener(float amount, float width, float speed, float& first, float& second) noexcept;
  // Two consecutive stereo frames (a, b first). Values 0..1.
  void doChorus(float mix, float length, float width, float speed, float& a, float& b, float& c,
                float& d) noexcept;

  // Widener delay span D in slots for an amount (capped so the read never reaches the slot being written).
  float widenerSpan(float amount) const noexcept;
  float getSampleRate() const noexcept { return sampleRate; }
  uint32_t getPhase1() const noexcept { return phase1; }
  uint32_t getPhase2() const noexcept { return phase2; }

 private:
  const float* sine;
  uint32_t writePos = 0;
  uint32_t phase1 = 0, phase2 = 0;
  float sampleRate = 44100.0f;
  float invRate = 1.0f / 44100.0f;
  float widenPhase = 0.0f;
  // Settings worked out from the last arguments; a NaN key never matches, so init forces a
  // fresh computation.
  float widenAmountKey = NAN_KEY, widenSpeedKey = NAN_KEY;
  float widenSpanCached = 1.0f, widenInc = 0.0f;
  float chorusSpeedKey = NAN_KEY, chorusMixKey = NAN_KEY;
  uint32_t chorusInc1 = 0, chorusInc2 = 0;
  float chorusWet = 0.0f, chorusDry = 1.0f, chorusNorm = 1.0f;
  // Whether doWidener / doChorus wrote a ring since it was last cleared. The rings are zeroed
  // with the object, so that their pages are touched here and not on the audio thread.
  bool widenRingWritten = false, chorusRingsWritten = false;
  float widenRing[RING] = {};
  float chorusRingL[RING] = {};
  float chorusRingR[RING] = {};
};

}  // namespace dsp
