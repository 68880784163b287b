// The built-in programs as a listener meets them: every modulation route a program sets up is
// switched on, and what each name promises is heard.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engineTestUtil.h"

using namespace engine_test;

namespace {

// ---- Routes ----

int stepOf(const float* row, int tag) { return static_cast<int>(row[tag] * tagmap::rowOf(tag).scale); }
bool isOn(const float* row, int tag) { return row[tag] >= 0.5f; }
std::string destName(int d) { return std::string(MOD_DESTS[static_cast<std::size_t>(d)].name); }

// The switches a destination's stage needs before anything routed to it can be heard (the
// distortion knobs need a distortion type instead).
struct DestStage {
  int first, last;
  std::vector<int> switches;
};
const DestStage DEST_STAGES[] = {
    {DEST_GATE_THRESHOLD, DEST_GATE_RELEASE, {GATE_ON_TAG}},
    {DEST_PRE_EQ_GAIN_1, DEST_PRE_EQ_BW_4, {PRE_EQ_ON_TAG}},
    {DEST_POST_EQ_GAIN_1, DEST_POST_EQ_BW_4, {POST_EQ_ON_TAG}},
    {DEST_HP_FREQ, DEST_HP_Q, {HP_ON_TAG}},
    {DEST_LP_FREQ, DEST_LP_Q, {LP_ON_TAG}},
    {DEST_COMP_THRESHOLD, DEST_COMP_VOLUME, {COMP_ON_TAG}},
    {DEST_WIDENER_AMOUNT, DEST_WIDENER_SPEED, {WIDENER_ON_TAG}},
    {DEST_CHORUS_MIX, DEST_CHORUS_SPEED, {WIDENER_ON_TAG, CHORUS_MODE_TAG}},
};

// What keeps the routes of one program row from being heard, one line per route.
std::vector<std::string> silentRoutes(const float* row) {
  std::vector<std::string> faults;
  auto route = [&](const std::string& what, int dest, bool switchedOn, int amountTag) {
    if (!switchedOn) faults.push_back(what + " is switched off");
    if (row[amountTag] == 0.5f) faults.push_back(what + " has no amount");
    if (dest >= DEST_DIST_1 && dest <= DEST_DIST_8 && stepOf(row, DISTORT_TYPE_TAG) == 0)
      faults.push_back(what + " moves a knob of no distortion");
    for (const DestStage& s : DEST_STAGES)
      for (int tag : s.switches)
        if (dest >= s.first && dest <= s.last && !isOn(row, tag))
          faults.push_back(what + " reaches a stage switched off (tag " + std::to_string(tag) + ")");
  };
  for (int j = 0; j < NUM_DISRUPT_SLOTS; ++j) {
    const int dest = stepOf(row, DISRUPT_DEST_TAGS[static_cast<std::size_t>(j)]);
    if (dest != DEST_NONE && row[DISRUPT_SLOT_AMT_1_TAG + j] != 0.5f)
      route("Disrupt " + std::to_string(j + 1) + " -> " + destName(dest), dest,
            isOn(row, DISRUPT_ON_TAGS[static_cast<std::size_t>(j)]), DISRUPT_SLOT_AMT_1_TAG + j);
  }
  for (std::size_t s = 0; s < NUM_MOD_SLOTS; ++s) {
    const int src = stepOf(row, MOD_SLOT_SRC_TAGS[s]), dest = stepOf(row, MOD_SLOT_DEST_TAGS[s]);
    if (src != SRC_NONE && dest != DEST_NONE)
      route("matrix row " + std::to_string(s + 1) + " -> " + destName(dest), dest,
            !isOn(row, MOD_SLOT_BY_TAGS[s]), MOD_SLOT_AMT_TAGS[s]);
  }
  for (int j = 0; j < 3; ++j) {
    const int dest = stepOf(row, FOLLOWER_DEST_1_TAG + j);
    if (dest != DEST_NONE)
      route("follower " + std::to_string(j + 1) + " -> " + destName(dest), dest,
            !isOn(row, FOLLOWER_BYPASS_1_TAG + j), FOLLOWER_AMT_1_TAG + j);
  }
  for (std::size_t i = 0; i < 4; ++i) {
    const int dest = stepOf(row, LFO_DEST_TAGS[i]);
    if (dest != DEST_NONE)
      route("LFO " + std::to_string(i + 1) + " -> " + destName(dest), dest, row[LFO_SPEED_TAGS[i]] >= 0.0001f,
            LFO_AMT_TAGS[i]);
  }
  return faults;
}

TEST(BankPrograms, EveryRouteAProgramSetsUpIsSwitchedOn) {
  for (int p = 0; p < NUM_DEMO_PROGRAMS; ++p)
    for (const std::string& fault : silentRoutes(presets::demoProgramRow(p)))
      ADD_FAILURE() << presets::demoProgramName(p) << ": " << fault;
}

// ---- Renders ----

using Writes = std::vector<std::pair<int, float>>;

// What a performer does while the program plays, the same in every render of it.
enum class Gesture { None, DisruptFlick, ModWheelUp };

// The engine on one program, every random source started from the same seed, so that two
// renders differ only by what the test changed.
struct ProgramProbe : Probe {
  void load(int program, const Writes& changes, Gesture gesture) {
    const float* row = presets::demoProgramRow(program);
    for (int t = 0; t < NUM_PARAMS; ++t) values[t].store(row[t]);
    for (const auto& [tag, v] : changes) values[tag].store(v);
    // The Disrupt slider pushed to the top and let go: the spring takes it home.
    if (gesture == Gesture::DisruptFlick) values[DISRUPT_AMOUNT_TAG].store(1.0f);
    requestAlign();
    requestReset();
    if (gesture == Gesture::DisruptFlick) setDisruptSpringOn();
    if (gesture == Gesture::ModWheelUp) setSourceValue(SRC_MOD_WHEEL, 1.0f);
    noise.seed(1);
    randSeed.seed = 1;
    for (int i = 0; i < 4; ++i) lfo[i].setRandom(dsp::Rand15(11u + static_cast<uint32_t>(i)));
    lazyLfo.setRandom(dsp::Rand15(7));
  }
};

constexpr int kRate = 44100;
constexpr int kBeat = kRate / 8;
constexpr int kLength = 8 * kBeat;

// One second of playing, in eighth notes at 240 BPM: four plucked single notes, then four
// plucked three-note chords with a drum hit on each (every note rich in harmonics, the right channel a little
// behind the left); a plain tone on the side input.
struct Input {
  std::vector<float> l, r, side;
  Input() : l(kLength), r(kLength), side(kLength) {
    const float line[4] = {110.0f, 146.8f, 164.8f, 196.0f};
    const float chord[3] = {110.0f, 164.8f, 220.0f};
    dsp::Rand15 drum(3);
    for (int i = 0; i < kLength; ++i) {
      const int beat = i / kBeat;
      const float t = static_cast<float>(i % kBeat) / kRate;
      float a = 0.0f, b = 0.0f, hit = 0.0f;
      auto note = [&](float f, float gain) {
        for (int h = 1; h <= 4; ++h) {
          const float w = 6.2831853f * f * static_cast<float>(h) / kRate;
          a += gain * std::sin(w * static_cast<float>(i)) / static_cast<float>(h);
          b += gain * std::sin(w * static_cast<float>(i) - 0.3f) / static_cast<float>(h);
        }
      };
      if (beat < 4) {
        note(line[beat], 0.6f);
      } else {
        for (float f : chord) note(f, 0.33f);
        hit = 0.6f * std::exp(-t / 0.03f) * (2.0f * drum.next() - 1.0f);
      }
      const float env = 0.5f * std::exp(-t / 0.12f);
      l[static_cast<std::size_t>(i)] = env * a + hit;
      r[static_cast<std::size_t>(i)] = env * b + hit;
      side[static_cast<std::size_t>(i)] =
          0.4f * std::sin(6.2831853f * 330.0f * static_cast<float>(i) / kRate);
    }
  }
};

// Left then right output of a program with the given changes.
std::vector<float> render(int program, const Writes& changes, Gesture gesture) {
  static const Input in;
  auto p = std::make_unique<ProgramProbe>();
  p->load(program, changes, gesture);
  constexpr int kBlock = 256;
  std::vector<float> out(2 * kLength);
  for (int pos = 0; pos < kLength; pos += kBlock) {
    float* ins[4] = {const_cast<float*>(in.l.data()) + pos, const_cast<float*>(in.r.data()) + pos,
                     const_cast<float*>(in.side.data()) + pos, const_cast<float*>(in.side.data()) + pos};
    float* outs[2] = {out.data() + pos, out.data() + kLength + pos};
    p->processReplacing(ins, outs, std::min(kBlock, kLength - pos));
  }
  return out;
}

// The level of the difference between two renders, in dB relative to the first.
double differenceDb(const std::vector<float>& a, const std::vector<float>& b) {
  double level = 0.0, diff = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    level += static_cast<double>(a[i]) * a[i];
    diff += (static_cast<double>(a[i]) - b[i]) * (static_cast<double>(a[i]) - b[i]);
  }
  return 10.0 * std::log10(diff / level);
}

// ---- What the names promise ----

enum Part : unsigned {
  DIST = 1u << 0,  // the distortion type (two-band, wave-shaper, amp, cabinet, ring...)
  DISRUPT = 1u << 1,
  LFO_1 = 1u << 2,
  LFO_2 = 1u << 3,
  FOLLOW = 1u << 4,  // follower output 1
  ROW_1 = 1u << 5,   // matrix row 1
  WIDEN = 1u << 6,   // the widener, or the chorus where chorus mode is on
  COMP = 1u << 7,
  LOW_PASS = 1u << 8,
};

struct Element {
  Part part;
  const char* name;
  Writes off;
};
Writes allOff(const std::array<int, NUM_DISRUPT_SLOTS>& switches) {
  Writes w;
  for (int tag : switches) w.push_back({tag, 0.0f});
  return w;
}
const Element ELEMENTS[] = {
    {DIST, "distortion", {{DISTORT_TYPE_TAG, 0.0f}}},
    {DISRUPT, "Disrupt", allOff(DISRUPT_ON_TAGS)},
    {LFO_1, "LFO 1", {{LFO_AMT_TAGS[0], 0.5f}}},
    {LFO_2, "LFO 2", {{LFO_AMT_TAGS[1], 0.5f}}},
    {FOLLOW, "follower", {{FOLLOWER_BYPASS_1_TAG, 1.0f}}},
    {ROW_1, "matrix row 1", {{MOD_SLOT_BY_TAGS[0], 1.0f}}},
    {WIDEN, "widener/chorus", {{WIDENER_ON_TAG, 0.0f}}},
    {COMP, "compressor", {{COMP_ON_TAG, 0.0f}}},
    {LOW_PASS, "low-pass", {{LP_ON_TAG, 0.0f}}},
};

struct Promise {
  std::string_view program;
  unsigned parts;
  Gesture gesture = Gesture::None;
};
// In bank order. "Octave Shimmer Pad" promises its shimmer (chorus and the LFO on its width):
// its octave shaper, half wet under the chorus, is a colour rather than an effect of its own.
const Promise PROMISES[NUM_DEMO_PROGRAMS] = {
    {"Amp Combo Crunch", DIST},
    {"Bass Two Band Drive", DIST},
    {"Cabinet Off Axis Crunch", DIST},
    {"Default", 0},
    {"Disrupt Filter Jumps", DISRUPT | LOW_PASS},
    {"Drum Bus Glue", COMP},
    {"Drum Crusher", DIST},
    {"Dual Shaper Asymmetry", DIST},
    {"Edge Of Breakup", DIST},
    {"Fizzy Octave Up", DIST},
    {"FM Growl Bass", DIST},
    {"Follower Fuzz Wah", FOLLOW | DIST | LOW_PASS},
    {"Gapper Sputter", DIST | LFO_1},
    {"Glitch Bit Mask", DIST | LFO_1 | DISRUPT, Gesture::DisruptFlick},
    {"Half Wave Rectifier", DIST},
    {"Hard Clip Guitar", DIST},
    {"Hard Distort Riff", DIST},
    {"Harmonic Sweep", DIST | LFO_1 | LFO_2},
    {"Lazy Ring Wobble", DISRUPT | DIST},
    {"Limiter Slam", DIST | COMP},
    {"Metallic Cosine", DIST},
    {"Octave Fold Lead", DIST},
    {"Octave Shimmer Pad", WIDEN | LFO_1},
    {"Overdrive Blues", DIST},
    {"Peak Remover Hollow", DIST},
    {"Phase Mod Grind", DIST},
    {"Power Chord Drive", DIST},
    {"Resonant Rez Buzz", DIST},
    {"Side Chain Ring Mod", DIST | FOLLOW},
    {"Smooth Atan Warmth", DIST},
    {"Snarling Crossover", DIST},
    {"Split Band Folder", DIST},
    {"Split Fuzz Bass", DIST},
    {"Split Gapper Rhythm", DIST | LFO_1},
    {"Split Limiter Master", DIST | COMP},
    {"Split Lo-Fi Hats", DIST},
    {"Split Octave Synth", DIST},
    {"Split Power Chords", DIST},
    {"Split Rectified Keys", DIST},
    {"Split Ring Bells", DIST},
    {"Split Saturated Mix", DIST},
    {"Split Shaper Stereo", DIST | WIDEN},
    {"Split Valve Vocal", DIST},
    {"Square Synth Bass", DIST},
    {"Tone Clipper Pedal", DIST},
    {"Transient Click", DIST},
    {"Transient Snap", DIST},
    {"Tube Preamp", DIST},
    {"Wavefolder Synth", DIST | LFO_1 | LFO_2 | ROW_1, Gesture::ModWheelUp},
    {"Waveshaper Bells", DIST | LFO_1},
};

// "Differs clearly": the difference between the two renders lies no more than 20 dB below the
// program's own output. A plain level step of 0.9 dB, about twice the smallest one a listener
// picks out, differs by that much; a route that does nothing differs by nothing at all (the renders
// are identical), and the faintest promise kept here measures about -19 dB.
constexpr double kClearlyDb = -20.0;

TEST(BankPrograms, WhatEachNamePromisesIsHeard) {
  for (int p = 0; p < NUM_DEMO_PROGRAMS; ++p) {
    const Promise& promise = PROMISES[p];
    ASSERT_EQ(promise.program, presets::demoProgramName(p));
    EXPECT_TRUE(promise.parts != 0 || p == DEFAULT_DEMO_PROGRAM) << promise.program << " promises nothing";
    if (!promise.parts) continue;
    const auto asItIs = render(p, {}, promise.gesture);
    for (const Element& e : ELEMENTS) {
      if (!(promise.parts & e.part)) continue;
      EXPECT_GE(differenceDb(asItIs, render(p, e.off, promise.gesture)), kClearlyDb)
          << promise.program << ": its " << e.name << " is not heard";
    }
  }
}

}  // namespace
