// Noise gate: a four-state gate (closed, attack, hold, release) driven by a peak envelope.
// Works on two consecutive stereo frames of the doubled-rate stream.
#pragma once

namespace dsp {

class TNoiseGate {
 public:
  enum State : int { kClosed = 1, kAttack = 2, kHold = 3, kRelease = 4 };
  static constexpr int RING = 256;

  TNoiseGate() noexcept;
  // Sets the working rate (twice the host rate) and closes the gate with cleared histories.
  void init(float sampleRate) noexcept;
  // All values 0..1: threshold -40..0 dB (off below 0.001), attack 1..256 ms,
  // hold 2^(14v) ms, release 2^(14v) + 10 ms.
  void setParams(float threshold, float attack, float hold, float release) noexcept;
  void process(float& a, float& b, float& c, float& d) noexcept;
  // The gate-open lamp: recent signal present and the gate not fully shut.
  bool getTriggered() const noexcept;

  int getState() const noexcept { return state; }
  double getGain() const noexcept { return gain; }
  double getThreshold() const noexcept { return threshold; }
  double getHoldSamples() const noexcept { return holdSamples; }

 private:
  void step(double env) noexcept;

  int state = kClosed;
  double rate2 = 88200.0;
  double threshold = 0.0;
  double attackStep = 0.0;
  double holdSamples = 0.0;
  double holdStep = 1000.0;
  double releaseStep = 0.0;
  double envelope = 0.0;
  double gain = 0.0;
  double holdCounter = 1000.0;
  float levelSum = 0.0f;
  float levelRing[RING] = {};
  unsigned ringPos = 0;
  // The last parameter values, so a rate change keeps the timings in milliseconds.
  float params[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  // False until every setting has been worked out at the present rate; afterwards a setting
  // is worked out again only when its own value moves.
  bool paramsValid = false;
};

}  // namespace dsp
