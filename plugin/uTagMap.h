// The per-tag tables fixed at start-up, written down as data: each row covers a run of
// consecutive tags with their kind, step count and scale, defaults and modulation destinations.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "tags.h"
#include "uStepRule.h"

namespace tagmap {

// Internal tags are no setting of their own: no name, no text, no typed entry (unused tags, the
// program load and the program name). They read and store like continuous tags.
enum class Kind : uint8_t { Continuous, Switch, Stepped, Internal };

// How a row's default list reads.
enum class DefaultRule : uint8_t {
  Values,  // one value for every tag of the row, or one value per tag
  Steps,   // step indices n, stored as (n + 0.1) / scale; one for all or one per tag
  Ramp,    // tag first + i defaults to i / 255 (the wave-shaper curves)
};

struct ValueList {
  std::array<float, 8> v{};
  int n = 0;
  constexpr ValueList() = default;
  constexpr ValueList(std::initializer_list<float> list) {
    for (float x : list) v[static_cast<std::size_t>(n++)] = x;
  }
};

// Destinations: none, the first of a consecutive run, or one per tag.
struct DestList {
  std::array<int, 4> v{};
  int n = 0;
  constexpr DestList() = default;
  constexpr DestList(std::initializer_list<int> list) {
    for (int x : list) v[static_cast<std::size_t>(n++)] = x;
  }
};

struct Row {
  int first;
  int last;
  Kind kind;
  int steps;    // stepped rows only
  float scale;  // stepped rows only: value x scale = step
  DefaultRule rule;
  ValueList defaults;
  DestList dests;

  constexpr int count() const { return last - first + 1; }
  // Default of tag t of this row.
  constexpr float defaultOf(int t) const {
    const int i = t - first;
    if (rule == DefaultRule::Ramp) return static_cast<float>(i) / 255.0f;
    if (defaults.n == 0) return 0.0f;
    const float x = defaults.v[static_cast<std::size_t>(defaults.n == 1 ? 0 : i)];
    if (rule == DefaultRule::Steps) return steprule::valueOfStep(x, scale);
    return x;
  }
  // Modulation destination of tag t of this row, -1 for none.
  constexpr int destOf(int t) const {
    if (dests.n == 0) return -1;
    if (dests.n == 1) return dests.v[0] + (t - first);
    return dests.v[static_cast<std::size_t>(t - first)];
  }
};

constexpr Row cont(int first, int last, ValueList d = {}, DestList dest = {}) {
  return Row{first, last, Kind::Continuous, -1, 0.0f, DefaultRule::Values, d, dest};
}
constexpr Row onOff(int first, int last, ValueList d = {}) {
  return Row{first, last, Kind::Switch, -1, 0.0f, DefaultRule::Values, d, {}};
}
constexpr Row stepped(int first, int last, int steps, float scale, ValueList stepDefaults = {}) {
  return Row{first, last, Kind::Stepped, steps, scale, DefaultRule::Steps, stepDefaults, {}};
}
constexpr Row steppedRaw(int first, int last, int steps, float scale, ValueList rawDefaults) {
  return Row{first, last, Kind::Stepped, steps, scale, DefaultRule::Values, rawDefaults, {}};
}
constexpr Row internal(int first, int last) {
  return Row{first, last, Kind::Internal, -1, 0.0f, DefaultRule::Values, {}, {}};
}
constexpr Row ramp(int first, int last) {
  return Row{first, last, Kind::Continuous, -1, 0.0f, DefaultRule::Ramp, {}, {}};
}

// Every tag 0..1023 exactly once, in tag order.
inline constexpr Row ROWS[] = {
    internal(0, 0),                                                                // not used
    cont(1, 1, {0.625f}, {DEST_VOLUME}),                                           // output volume
    cont(2, 2, {1.0f}, {DEST_MIX}),                                                // wet/dry mix
    onOff(3, 3),                                                                   // bypass
    onOff(4, 4, {1.0f}),                                                           // distortion DC filter
    internal(5, 5),                                                                // not used
    cont(6, 13, {0.5f, 0.0f, 0.8f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f}, {DEST_DIST_1}),  // distortion knobs
    onOff(14, 14),                                                                 // pre-EQ on
    cont(15, 18, {0.5f}, {DEST_PRE_EQ_GAIN_1}),                                    // pre-EQ gains
    cont(19, 22, {0.2f, 0.4f, 0.6f, 0.8f}, {DEST_PRE_EQ_FREQ_1}),                  // pre-EQ frequencies
    cont(23, 26, {0.1f}, {DEST_PRE_EQ_BW_1}),                                      // pre-EQ bandwidths
    onOff(27, 27),                                                                 // post-EQ on
    cont(28, 31, {0.5f}, {DEST_POST_EQ_GAIN_1}),                                   // post-EQ gains
    cont(32, 35, {0.2f, 0.4f, 0.6f, 0.8f}, {DEST_POST_EQ_FREQ_1}),                 // post-EQ frequencies
    cont(36, 39, {0.1f}, {DEST_POST_EQ_BW_1}),                                     // post-EQ bandwidths
    onOff(40, 40),                                                                 // noise gate on
    cont(41, 44, {0.0f, 0.0f, 0.0f, 0.425f}, {DEST_GATE_THRESHOLD}),  // gate threshold, attack, hold, release
    onOff(45, 47),                                                    // high-pass on, 12/24, ZD
    cont(48, 49, {0.0f}, {DEST_HP_FREQ}),                             // high-pass frequency, Q
    onOff(50, 52),                                                    // low-pass on, 12/24, ZD
    cont(53, 54, {1.0f, 0.0f}, {DEST_LP_FREQ}),                       // low-pass frequency, Q
    onOff(55, 55),                                                    // compressor on
    cont(56, 60, {0.65f, 0.285f, 0.0f, 0.17f, 0.75f}, {DEST_COMP_THRESHOLD}),  // compressor
    onOff(61, 61),                                                             // widener/chorus on
    cont(62, 64, {0.1f}, {DEST_WIDENER_AMOUNT}),                               // widener amount, width, speed
    cont(65, 68, {0.5f, 0.48f, 0.5f, 0.415f}, {DEST_CHORUS_MIX}),  // chorus mix, length, width, speed
    cont(69, 69, {0.5f}, {DEST_DISRUPT}),                          // Disrupt amount
    cont(70, 76, {0.5f}, {DEST_DISRUPT_1}),                        // Disrupt slot amounts
    onOff(77, 83),                                                 // Disrupt slot on (reversed sense)
    cont(84, 84, {0.47f}, {DEST_LAZY_SPEED}),                      // lazy-mode speed
    onOff(85, 85, {1.0f}),                                         // lazy-mode tempo sync
    cont(86, 88, {0.5f, 0.5f, 0.3f},
         {DEST_FOLLOWER_THRESHOLD, DEST_FOLLOWER_BOOST,
          DEST_FOLLOWER_SMOOTH}),                               // follower threshold, boost, smoothing
    cont(89, 91, {0.0f, 0.0f, 0.24f}, {DEST_FOLLOWER_ATTACK}),  // follower attack, hold, decay
    cont(92, 94, {0.5f}, {DEST_FOLLOWER_AMT_1}),                // follower output amounts
    cont(95, 97, {0.5f}, {DEST_FOLLOWER_MOD_AMT_1}),            // follower mod-control amounts
    cont(98, 101, {0.5f}, {DEST_LFO_AMT_1}),                    // LFO amounts
    cont(102, 105, {0.5f}, {DEST_LFO_SPEED_1}),                 // LFO speeds
    onOff(106, 109),                                            // LFO tempo sync
    cont(110, 113),                                             // LFO humanisation
    cont(114, 117, {0.5f}, {DEST_LFO_SHAPE_1}),                 // LFO shapes
    cont(118, 127, {0.5f}, {DEST_MOD_AMT_1}),                   // matrix slot amounts
    stepped(128, 128, 24, 23.99f),                              // module path
    steppedRaw(129, 129, 52, 99.99f, {0.001f}),                 // distortion type
    onOff(130, 132),                                            // old EQ, chorus mode, lazy mode on
    stepped(133, 133, 13, 12.99f),                              // Disrupt quantisation
    stepped(134, 134, 18, 17.99f, {12.0f}),                     // Disrupt spring time
    stepped(135, 135, 5, 4.99f),                                // Disrupt lazy mode
    stepped(136, 142, NUM_MOD_DESTS, 127.99f,
            {DEST_MIX, DEST_PAN, DEST_DIST_3, DEST_LFO_SPEED_1, DEST_HP_FREQ, DEST_LP_FREQ,
             DEST_WIDENER_AMOUNT}),                 // Disrupt dests
    stepped(143, 143, 7, 9.99f),                    // follower source
    stepped(144, 146, NUM_MOD_DESTS, 127.99f),      // follower destinations
    onOff(147, 149),                                // follower output bypass
    stepped(150, 152, NUM_MOD_SOURCES, 127.99f),    // follower mod-control sources
    stepped(153, 156, 8, 7.99f),                    // LFO waves
    stepped(157, 160, NUM_MOD_DESTS, 127.99f),      // LFO destinations
    stepped(161, 164, NUM_LFO_MODES, 4.99f),        // LFO modes
    stepped(165, 168, 19, 99.99f),                  // LFO triggers
    onOff(169, 169),                                // advanced matrix
    stepped(170, 179, NUM_MOD_SOURCES, 127.99f),    // matrix sources
    stepped(180, 189, NUM_MOD_DESTS, 127.99f),      // matrix destinations
    onOff(190, 199),                                // matrix bypass
    cont(200, 209),                                 // matrix lower thresholds
    cont(210, 219, {1.0f}),                         // matrix upper thresholds
    cont(220, 229, {0.5f}),                         // matrix offsets
    cont(230, 233, {0.5f}, {DEST_POST_EQ_GAIN_1}),  // first-generation EQ
    cont(234, 234, {1.0f}),                         // compressor mode (not quantised)
    internal(235, 239),                             // not used
    stepped(240, 240, 33, 39.99f),                  // wave-shaper 1 mode
    cont(241, 242),                                 // wave-shaper 1 amounts
    stepped(243, 243, 33, 39.99f),                  // wave-shaper 2 mode
    cont(244, 245),                                 // wave-shaper 2 amounts
    cont(246, 246),                                 // wave-shaper polar mode (not quantised)
    internal(247, 249),                             // not used
    ramp(250, 505),                                 // wave-shaper 1 curve
    ramp(506, 761),                                 // wave-shaper 2 curve
    internal(762, 1023),                            // not used, program load, name tags
};

// The rows tile 0..1023 in order without gaps or overlaps, and every list fits its row.
constexpr bool rowsAreConsistent() {
  int next = 0;
  for (const Row& r : ROWS) {
    if (r.first != next || r.last < r.first) return false;
    if (r.defaults.n > 1 && r.defaults.n != r.count()) return false;
    if (r.dests.n > 1 && r.dests.n != r.count()) return false;
    if ((r.kind == Kind::Stepped) != (r.steps > 0)) return false;
    next = r.last + 1;
  }
  return next == NUM_PARAMS;
}
static_assert(rowsAreConsistent(), "the tag map must cover every tag once");

// The tag map and the destination list agree: every destination a tag names exists and is a
// knob destination, and every knob destination has a tag whose value it modulates.
constexpr bool destinationsAgree() {
  bool knobSeen[NUM_MOD_DESTS] = {};
  for (const Row& r : ROWS)
    for (int t = r.first; t <= r.last; ++t) {
      const int d = r.destOf(t);
      if (d < 0) continue;
      if (d >= NUM_MOD_DESTS || MOD_DESTS[static_cast<std::size_t>(d)].kind != DestKind::Knob) return false;
      knobSeen[d] = true;
    }
  for (int d = 0; d < NUM_MOD_DESTS; ++d)
    if ((MOD_DESTS[static_cast<std::size_t>(d)].kind == DestKind::Knob) != knobSeen[d]) return false;
  return true;
}
static_assert(destinationsAgree(), "the tag map's destinations must match the destination list");

// The kind of tag t; Internal for a tag outside 0..1023.
constexpr Kind kindOf(int t) {
  for (const Row& r : ROWS)
    if (t >= r.first && t <= r.last) return r.kind;
  return Kind::Internal;
}

// Start-up filling of the plug-in's tables, one table each so that the caller keeps its order.
void fillDefaults(float (&defaultValues)[NUM_PARAMS]);
void fillSteps(int32_t (&menuNum)[NUM_PARAMS], float (&menuRange)[NUM_PARAMS]);
void fillSwitches(bool (&isOnOff)[NUM_PARAMS]);
void fillDestinations(int32_t (&destByTag)[NUM_PARAMS]);

// The row that holds tag t (t must be 0..1023).
const Row& rowOf(int t);

// Program names held one character per tag in tags 912..939.
float nameCharToValue(char c);
char valueToNameChar(float value);
// Reads up to 28 characters from the name tags of values (indexed by tag) into text,
// which must hold 29 bytes; stops at the first 0 character.
void decodeNameTags(const float* values, char* text);
// Writes name (up to 28 characters, the rest 0) into the name tags of values.
void encodeNameTags(const char* name, float* values);

}  // namespace tagmap
