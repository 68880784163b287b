// Helpers of the wiring sweeps: a scene (the settings that switch modules on and route
// modulation), a test signal that makes every module work, and a render of the engine on it
// with one change made part-way through, so that two renders agree exactly up to that sample.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/engineTestUtil.h"

namespace sound_wire {

using engine_test::Probe;

// One setting: a value, or a step of a stepped tag.
struct Set {
  int tag;
  float value;
  bool step = false;
};
inline Set step(int tag, int n) { return {tag, static_cast<float>(n), true}; }
using Scene = std::vector<Set>;
inline Scene operator+(Scene a, const Scene& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline void applyScene(Probe& p, const Scene& scene) {
  for (const Set& s : scene) {
    if (s.step)
      p.setStep(s.tag, static_cast<int>(s.value));
    else
      p.setParameter(s.tag, s.value);
  }
}

// Every module on and working: Clipper 2 (which reads all six type knobs), both EQs with
// every band away from flat, the gate opening and closing on the bursts, both filters, the
// compressor and the widener, wet and dry both heard.
inline Scene richScene() {
  return {step(DISTORT_TYPE_TAG, 4),
          {DISTORT_KNOB_1_TAG, 0.6f},
          {DISTORT_KNOB_1_TAG + 1, 0.5f},
          {DISTORT_KNOB_1_TAG + 2, 0.5f},
          {DISTORT_KNOB_1_TAG + 3, 0.6f},
          {DISTORT_KNOB_1_TAG + 4, 0.4f},
          {DISTORT_KNOB_1_TAG + 5, 0.3f},
          {DISTORT_KNOB_1_TAG + 6, 0.3f},
          {DISTORT_KNOB_1_TAG + 7, 0.5f},
          {PRE_EQ_ON_TAG, 1.0f},
          {EQ_GAIN_TAGS[0], 0.8f},
          {EQ_GAIN_TAGS[1], 0.3f},
          {EQ_GAIN_TAGS[2], 0.7f},
          {EQ_GAIN_TAGS[3], 0.25f},
          {POST_EQ_ON_TAG, 1.0f},
          {EQ_GAIN_TAGS[4], 0.25f},
          {EQ_GAIN_TAGS[5], 0.7f},
          {EQ_GAIN_TAGS[6], 0.35f},
          {EQ_GAIN_TAGS[7], 0.85f},
          {GATE_ON_TAG, 1.0f},
          {GATE_THRESHOLD_TAG, 0.45f},
          {GATE_ATTACK_TAG, 0.3f},
          {GATE_HOLD_TAG, 0.3f},
          {HP_ON_TAG, 1.0f},
          {HP_FREQ_TAG, 0.25f},
          {HP_Q_TAG, 0.5f},
          {LP_ON_TAG, 1.0f},
          {LP_FREQ_TAG, 0.75f},
          {LP_Q_TAG, 0.5f},
          {COMP_ON_TAG, 1.0f},
          {COMP_THRESHOLD_TAG, 0.4f},
          {COMP_RATIO_TAG, 0.5f},
          {COMP_ATTACK_TAG, 0.25f},
          {COMP_RELEASE_TAG, 0.25f},
          {COMP_VOLUME_TAG, 0.625f},
          {WIDENER_ON_TAG, 1.0f},
          {WIDENER_AMOUNT_TAG, 0.5f},
          {WIDENER_WIDTH_TAG, 0.5f},
          {WIDENER_SPEED_TAG, 0.5f},
          {CHORUS_MIX_TAG, 0.5f},
          {CHORUS_LENGTH_TAG, 0.5f},
          {CHORUS_SPEED_TAG, 0.5f},
          {VOLUME_TAG, 0.625f},
          {MIX_TAG, 0.75f}};
}
// The first-generation EQ in place of the post-EQ, the chorus in place of the widener.
inline Scene oldEqChorusScene() {
  return richScene() + Scene{{OLD_EQ_TAG, 1.0f},           {CHORUS_MODE_TAG, 1.0f},
                             {OLD_EQ_LOW_TAG, 0.75f},      {OLD_EQ_LOW_TAG + 1, 0.25f},
                             {OLD_EQ_LOW_TAG + 2, 0.625f}, {OLD_EQ_LOW_TAG + 3, 0.375f}};
}
// Each kind of modulation slot routed to the volume: LFO i, follower output j (on the side chain,
// its amount also moved by the constant Offset source), Disrupt slot j (the slider off centre),
// matrix row r (the side chain as source; the lower threshold only counts in the advanced form).
inline Scene lfoScene(int i) {
  return richScene() +
         Scene{step(LFO_DEST_TAGS[i], DEST_VOLUME), {LFO_AMT_TAGS[i], 0.8f}, {LFO_SPEED_TAGS[i], 1.0f}};
}
inline Scene followerScene(int j) {
  return richScene() + Scene{step(FOLLOWER_SOURCE_TAG, 1),
                             step(FOLLOWER_DEST_1_TAG + j, DEST_VOLUME),
                             {FOLLOWER_AMT_1_TAG + j, 0.75f},
                             step(FOLLOWER_MOD_SRC_1_TAG + j, SRC_OFFSET),
                             {FOLLOWER_MOD_AMT_1_TAG + j, 0.375f}};
}
inline Scene disruptScene(int j) {
  return richScene() + Scene{{DISRUPT_ON_TAGS[j], 1.0f},
                             step(DISRUPT_DEST_TAGS[j], DEST_VOLUME),
                             {DISRUPT_SLOT_AMT_1_TAG + j, 0.625f},
                             {DISRUPT_AMOUNT_TAG, 0.75f}};
}
inline Scene lazyScene() {
  return disruptScene(0) + Scene{{DISRUPT_LAZY_ON_TAG, 1.0f}, {DISRUPT_LAZY_SYNC_TAG, 0.0f}};
}
inline Scene rowScene(int r) {
  return richScene() + Scene{step(MOD_SLOT_SRC_TAGS[r], SRC_SIDE),
                             step(MOD_SLOT_DEST_TAGS[r], DEST_VOLUME),
                             {MOD_SLOT_AMT_TAGS[r], 0.625f},
                             {MOD_SLOT_LOWER_THRESH_TAGS[r], 0.75f}};
}
// A scene with one switch turned off.
inline Scene without(Scene scene, int switchTag) { return scene + Scene{{switchTag, 0.0f}}; }

// The test signal: two sines over a small offset, nearly silent at first, then in bursts (loud
// 1152 samples, nearly silent 896), then nearly silent for good; and a side chain of its own. The
// gate opens after the change and closes again late in a long render; compressor, follower, DC
// blocker and side-chain types all have something to do.
constexpr int SIGNAL_LENGTH = 16384;
constexpr int RENDER_LENGTH = 6144;
struct Signal {
  std::vector<float> in[4];
  Signal() {
    for (auto& c : in) c.resize(SIGNAL_LENGTH);
    for (int i = 0; i < SIGNAL_LENGTH; ++i) {
      const float t = static_cast<float>(i) / 44100.0f;
      const bool loud = i >= 1024 && i < 8192 && (i - 1024) % 2048 < 1152;
      const float env = loud ? 0.4f : 0.004f;
      in[0][i] = env * std::sin(6.2831853f * 220.0f * t) + 0.03f;
      in[1][i] = env * std::sin(6.2831853f * 331.0f * t + 1.0f) + 0.02f;
      in[2][i] = in[3][i] = 0.3f * std::sin(6.2831853f * 97.0f * t) + 0.2f;
    }
  }
};
inline const Signal& signal() {
  static const Signal s;
  return s;
}

// The change is made before sample CHANGE_AT, a block boundary.
constexpr int CHANGE_AT = 512;
constexpr int BLOCK = 64;
using Change = std::function<void(Probe&)>;

// Renders n samples (interleaved left, right) of the signal with the scene in place from the
// start, as a program load leaves it, and the change made before sample `at` (blocks split
// there); `atEnd` may look at the engine afterwards.
inline std::vector<float> render(const Scene& scene, const Change& change, int n = RENDER_LENGTH,
                                 int at = CHANGE_AT, const Change& atEnd = nullptr) {
  auto p = engine_test::makeProbe();
  applyScene(*p, scene);
  p->requestAlign();
  p->resetEverything();
  std::vector<float> out(2 * static_cast<size_t>(n));
  std::vector<float> l(BLOCK), r(BLOCK);
  const Signal& s = signal();
  for (int pos = 0; pos < n;) {
    if (pos == at && change) change(*p);
    const int m = std::min(BLOCK, (pos < at ? at : n) - pos);
    const float* ins[4] = {&s.in[0][pos], &s.in[1][pos], &s.in[2][pos], &s.in[3][pos]};
    float* outs[2] = {l.data(), r.data()};
    p->processReplacing(const_cast<float* const*>(ins), outs, m);
    for (int k = 0; k < m; ++k) {
      out[2 * static_cast<size_t>(pos + k)] = l[k];
      out[2 * static_cast<size_t>(pos + k) + 1] = r[k];
    }
    pos += m;
  }
  if (atEnd) atEnd(*p);
  return out;
}
inline Change setTo(Set s) {
  return [s](Probe& p) { applyScene(p, {s}); };
}

// The largest difference between two renders from sample `from` on.
inline float maxDiff(const std::vector<float>& a, const std::vector<float>& b, int from = 0) {
  float m = 0.0f;
  for (size_t i = 2 * static_cast<size_t>(from); i < a.size() && i < b.size(); ++i)
    m = std::fmax(m, std::fabs(a[i] - b[i]));
  return m;
}
inline bool same(const std::vector<float>& a, const std::vector<float>& b) { return a == b; }

}  // namespace sound_wire
