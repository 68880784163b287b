// Stereo tape-style delay with free or tempo-synced lengths, feedback with cross-feedback
// and a band-limiting feedback filter. Each written sample carries a time stamp; the read
// point trails the write point by 100 stamp units, so a length change alters the playback
// speed for a moment (a glide) instead of jumping.
//
// The lines are fixed rings allocated by init; process never allocates.
#pragma once

#include <cstdint>
#include <memory>

namespace dsp {

// Tempo-synced lengths in bars.
inline constexpr int TAPE_DELAY_LEN_COUNT = 15;
inline constexpr double TAPE_DELAY_LEN_ARRAY[TAPE_DELAY_LEN_COUNT] = {
    1.0 / 48, 1.0 / 32, 3.0 / 64, 1.0 / 24, 1.0 / 16, 3.0 / 32, 1.0 / 12, 1.0 / 8,
    3.0 / 16, 1.0 / 6,  1.0 / 4,  3.0 / 8,  1.0 / 3,  1.0 / 2,  3.0 / 4};

class TDelay {
 public:
  static constexpr double MAX_LEN = 262143.0;  // samples
  static constexpr double SPAN = 100.0;        // stamp units between write and read point

  TDelay() noexcept = default;
  ~TDelay() = default;
  TDelay(const TDelay&) = delete;
  TDelay& operator=(const TDelay&) = delete;

  // Sets the rate (at least 1000), allocates the rings on the first call and empties them.
  // Not for the audio thread on the first call.
  void init(float sampleRate);
  // Empty the delay lines and the feedback filter (no allocation).
  void clear() noexcept;
  void zero() noexcept { clear(); }

  void setTempo(float bpm) noexcept;
  // Switch on above 0.5; the result says whether the state changed.
  bool setTimeSync(float v) noexcept;
  bool setEqual(float v) noexcept;
  static bool getStateAndChanged(float v, bool old, bool& changed) noexcept;

  // Lengths from 0..1 values: synced, a bar fraction of the tempo; free, 2^(12v) ms.
  // One sample is added and the result scaled by the factors, then clamped to 1..262,143.
  void setDelayLen(float left, float right, float factorLeft = 1.0f, float factorRight = 1.0f) noexcept;
  void setDelayLenDirect(double len) noexcept { setDelayLenDirect(len, len); }
  void setDelayLenDirect(double left, double right) noexcept;

  // Feedback -1..1 and cross-feedback -1..1 (see the cpp for the normalisation).
  void setFeed(float feedback, float cross) noexcept;
  // Feedback alone; the cross-feedback is set to 0.
  void setFeed(float feedback) noexcept { setFeed(feedback, 0.0f); }
  // Low-pass (low) and high-pass (high) corners of the feedback path, 0..1 each (20 Hz .. 20 kHz).
  void setFeedFilter(float low, float high) noexcept;
  float getFeedFilterFreq(float v) const noexcept;

  static float hiLimiter(float x) noexcept;
  static float sign(float x) noexcept;
  static float clamp(float v, float lo, float hi) noexcept;

  // One stereo frame in; the delayed signals out (the caller mixes them with the dry signal).
  void process(float inL, float inR, float& outL, float& outR) noexcept;

  double getDelayLen(int ch) const noexcept { return len[ch & 1]; }
  double getFeedback(int ch) const noexcept { return feedback[ch & 1]; }
  double getCross() const noexcept { return cross; }
  double getSamplesPerBar() const noexcept { return samplesPerBar; }
  bool isTimeSync() const noexcept { return timeSync; }
  bool isEqual() const noexcept { return equal; }
  bool isFilterOn() const noexcept { return filterOn; }
  // True after anything that changes the lengths; cleared by the caller.
  bool changed = false;

 private:
  struct Entry {
    double stamp;
    double value;
  };
  struct Line {
    Entry* ring = nullptr;  // points into storage
    uint32_t head = 0;      // oldest entry
    uint32_t count = 0;
    double pos = 0.0;              // write position in stamp units
    double low = 0.0, high = 0.0;  // feedback filter states
  };

  static constexpr uint32_t CAPACITY = 262144 + 16;  // entries per line: the longest length plus slack

  double readLine(Line& line) noexcept;
  void writeLine(Line& line, double stamp, double value) noexcept;
  void rebase(Line& line) noexcept;
  void updateLengths() noexcept;
  void updateFeed() noexcept;

  std::unique_ptr<Entry[]> storage;
  Line line[2];

  bool timeSync = false;
  bool equal = false;
  bool filterOn = false;
  double rate = 44100.0;
  double invRate = 1.0 / 44100.0;
  double samplesPerMs = 44.1;
  double tempo = 120.0;
  double samplesPerBar = 44100.0 * 240.0 / 120.0;
  double len[2] = {1.0, 1.0};
  double inc[2] = {SPAN, SPAN};  // stamp advance per sample: 100 / length
  double feedRaw = 0.0, crossRaw = 0.0;
  double feedback[2] = {0.0, 0.0};
  double cross = 0.0;
  double c1 = 0.0, c2 = 0.0;  // feedback filter coefficients
  float lenValue[2] = {0.0f, 0.0f};
  float lenFactor[2] = {1.0f, 1.0f};
  bool lenFromValues = false;
};

}  // namespace dsp
