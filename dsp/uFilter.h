// Multimode filter: one-pole 6 dB, state-variable 12 dB and 24 dB, and zero-delay
// (topology-preserving) 12 dB and 24 dB responses. Every coefficient comes from
// lookup tables shared by all instances, so a cutoff or resonance move costs table reads.
//
// Works on two consecutive stereo frames of the doubled-rate stream:
// a, b = left/right of the first sub-sample, c, d = left/right of the second.
#pragma once

#include "dsp/dspCommon.h"

namespace dsp {

// The six shared coefficient tables (entry i stands for x = i / 262143.98).
struct FilterTables {
  float freqPow2[TABLE_SIZE];  // 20 * 2^(10x): cutoff in Hz, 20 .. 20480
  float sine[TABLE_SIZE];      // 2 sin(pi x) + 1e-15: state-variable frequency coefficient
  float lo24[TABLE_SIZE];      // cos(pi x) / (sin(pi x) + 0.0015)
  float hi24[TABLE_SIZE];      // sin(pi x) / (cos(pi x) + 0.0015)
  float zTan[TABLE_SIZE];      // tan(pi x)
  float zQ[TABLE_SIZE];        // 0.5 * 2^(-5x): zero-delay damping from resonance
};

// Read-only data of the module (see dsp/uTableFormulas.h), shared by every TFilter.
const FilterTables& filterTables();

class TFilter {
 public:
  // Internal type numbers.
  enum Type : int {
    kOnePoleLow = 1,
    kOnePoleHigh = 2,
    kSvfLow = 3,
    kSvfHigh = 4,
    kSvfBand = 5,
    kLow24 = 6,
    kHigh24 = 7,
    kZdfLow = 8,
    kZdfHigh = 9,
    kZdfBand = 10,
    kZdfLow24 = 11,
    kZdfHigh24 = 12,
  };

  TFilter() noexcept;

  // The shared tables are read-only data of the module, ready before anything runs: nothing to
  // do any more. Kept for the callers that prepare a filter before audio runs.
  static void setGlobalArrays();

  // Sets the working rate (twice the host rate), clears all states, forces a coefficient update.
  void init(float sampleRate) noexcept;
  // Clears all states and histories and forces a coefficient update.
  void reset() noexcept;
  // Selects type (plus 5 for the zero-delay variant). A real change clears the states.
  void setType(int type, bool zeroDelay) noexcept;
  int getType() const noexcept { return type; }

  // freq and reso 0..1. force recomputes the coefficients even when nothing moved.
  void process(float freq, float reso, float& a, float& b, float& c, float& d, bool force) noexcept;

  // 12 dB state-variable crossover: reads a..d (unchanged) and writes the low and high bands.
  void processSplit(float freq, float reso, float& a, float& b, float& c, float& d, float& lowA, float& lowB,
                    float& lowC, float& lowD, float& highA, float& highB, float& highC, float& highD,
                    bool force) noexcept;

  // Working rate (twice the host rate) and the current cutoff in Hz, for tests and displays.
  float getRate2() const noexcept { return rate2; }
  float getLastHz() const noexcept { return lastHz; }

 private:
  // The recursion state of both channels, left and right in the lanes of one register each.
  struct Channel {
    // one-pole
    StereoLanes yPrev{};
    // state-variable
    StereoLanes low{}, band{}, high{};
    // 24 dB biquad history (Direct Form I)
    StereoLanes x1{}, x2{}, y1{}, y2{};
  };

  void clearStates() noexcept;
  void updateCoefficients() noexcept;
  template <int T>
  StereoLanes step(Channel& ch, StereoLanes x) const noexcept;
  // The states type T steps (one-pole, state-variable, or biquad and state-variable).
  template <int T>
  static void copyStates(Channel& to, const Channel& from) noexcept;
  template <int T, typename V>
  V zdfStep(V& s1, V& s2, V& t1, V& t2, V in) const noexcept;
  template <int T>
  void runScalar(float& a, float& b, float& c, float& d) noexcept;
  template <int T>
  void run(float& a, float& b, float& c, float& d) noexcept;

  const FilterTables* tables;
  bool fresh = true;
  int type = 0;
  float rate2 = 88200.0f;
  float invRate2 = 1.0f / 88200.0f;
  float maxCut = 0.2f;
  float minCut = 10.0f / 88200.0f;
  float lastHz = 0.0f;
  float lastReso = 0.0f;
  float hz = 0.0f;
  float reso = 0.0f;                           // 0.95 * the resonance of the current call
  float lastFreqIn = 0.0f, lastResoIn = 0.0f;  // process's freq and reso of the last call

  // one-pole
  float cOne = 0.0f, dOne = 1.0f;
  // The coefficients below are kept in every lane, as the steps use them: a coefficient move
  // costs one broadcast, where every call would otherwise broadcast each one again.
  // state-variable
  StereoLanes f = splatLanes(0.0f), q = splatLanes(1.0f);
  // 24 dB biquad
  StereoLanes b0 = splatLanes(0.0f), b1 = splatLanes(0.0f), b2 = splatLanes(0.0f), a1 = splatLanes(0.0f),
              a2 = splatLanes(0.0f);
  // zero-delay
  float R = 0.5f, g = 0.0f, dz = 1.0f;
  // Their sums the steps use, worked out with them: 1 + g and 2R + g.
  float onePlusG = 1.0f, twoRPlusG = 1.0f;

  Channel chan;
  // Zero-delay integrator states, left and right in the first two lanes.
  StereoLanes zdfS1{}, zdfS2{}, zdfT1{}, zdfT2{};
};

}  // namespace dsp
