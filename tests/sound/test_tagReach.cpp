// Every parameter the engine reads reaches the sound it names: moved alone, with its module on
// and listening, it changes the output; moved while its module is off or out of the path, or
// while nothing routes the modulation it shapes, it changes nothing at all.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "dsp/uDistort.h"
#include "dsp/uLfo.h"
#include "soundTestUtil_wire.h"

using namespace sound_wire;

namespace {

// The scenes the sweep needs, by name: the signal path with every module on, and each kind of
// modulation slot routed to the volume.
std::map<std::string, Scene> makeScenes() {
  std::map<std::string, Scene> s;
  const Scene rich = richScene(), old = oldEqChorusScene();
  s["rich"] = rich;
  s["old/chorus"] = old;
  for (auto [name, sw] : {std::pair{"pre", PRE_EQ_ON_TAG},
                          {"post", POST_EQ_ON_TAG},
                          {"gate", GATE_ON_TAG},
                          {"hp", HP_ON_TAG},
                          {"lp", LP_ON_TAG},
                          {"comp", COMP_ON_TAG},
                          {"widen", WIDENER_ON_TAG}}) {
    s["rich-" + std::string(name)] = without(rich, sw);
    s["old/chorus-" + std::string(name)] = without(old, sw);
  }
  s["cross1"] = rich + Scene{step(DISTORT_TYPE_TAG, dsp::DIST_CROSS_1)};
  s["waveshaper"] = rich + Scene{step(DISTORT_TYPE_TAG, dsp::DIST_DUAL_WAVESHAPER)};
  for (int i = 0; i < 4; ++i) {
    const std::string n = std::to_string(i);
    const Scene lfo =
        rich + Scene{step(LFO_DEST_TAGS[i], DEST_VOLUME), {LFO_AMT_TAGS[i], 0.8f}, {LFO_SPEED_TAGS[i], 1.0f}};
    s["lfo" + n] = lfo;
    s["lfo" + n + " note"] = lfo + Scene{step(LFO_MODE_TAGS[i], LFO_MODE_NOTE)};
    s["unrouted lfo" + n + " note"] = rich + Scene{step(LFO_MODE_TAGS[i], LFO_MODE_NOTE)};
    s["lfo" + n + " shaper1"] = lfo + Scene{step(LFO_WAVE_TAGS[i], TLfo::WAVE_SHAPER_1)};
    s["lfo" + n + " shaper2"] = lfo + Scene{step(LFO_WAVE_TAGS[i], TLfo::WAVE_SHAPER_2)};
  }
  for (int j = 0; j < 3; ++j) s["follower" + std::to_string(j)] = followerScene(j);
  for (int j = 0; j < NUM_DISRUPT_SLOTS; ++j) s["disrupt" + std::to_string(j)] = disruptScene(j);
  s["disrupt0 off spring"] = s["disrupt0"] + Scene{step(DISRUPT_SPRING_TAG, 0)};
  s["lazy"] = lazyScene();
  for (int r = 0; r < NUM_MOD_SLOTS; ++r) {
    const std::string n = std::to_string(r);
    const Scene row = rowScene(r);
    s["row" + n] = row;
    // A unipolar moving source, where offset and both thresholds all shape the row.
    s["advanced row" + n] = row + Scene{{MOD_ADVANCED_TAG, 1.0f},
                                        step(MOD_SLOT_SRC_TAGS[r], SRC_UNI_LFO_1),
                                        {MOD_SLOT_LOWER_THRESH_TAGS[r], 0.25f},
                                        {MOD_SLOT_UPPER_THRESH_TAGS[r], 0.75f},
                                        {LFO_SPEED_TAGS[0], 1.0f}};
    s["simple row" + n] = s["advanced row" + n] + Scene{{MOD_ADVANCED_TAG, 0.0f}};
  }
  return s;
}

struct Reach {
  Set moved;
  std::string on;                // a scene in which the move is heard
  std::vector<std::string> off;  // scenes in which it changes nothing
  int length = RENDER_LENGTH;    // the gate closes only late in the signal
};

std::vector<Reach> makeRows() {
  std::vector<Reach> rows = {
      {{VOLUME_TAG, 0.45f}, "rich", {}},
      {{MIX_TAG, 0.4f}, "rich", {}},
      {{BYPASS_TAG, 1.0f}, "rich", {}},
      {{DC_FILTER_TAG, 0.0f}, "cross1", {}},
      {step(DISTORT_TYPE_TAG, 2), "rich", {}},
      {step(MODULE_PATH_TAG, 23), "rich", {}},
      {{PRE_EQ_ON_TAG, 0.0f}, "rich", {}},
      {{POST_EQ_ON_TAG, 0.0f}, "rich", {}},
      {{OLD_EQ_TAG, 1.0f}, "rich", {"rich-post"}},
      {{GATE_ON_TAG, 0.0f}, "rich", {}, SIGNAL_LENGTH},
      {{HP_ON_TAG, 0.0f}, "rich", {}},
      {{LP_ON_TAG, 0.0f}, "rich", {}},
      {{COMP_ON_TAG, 0.0f}, "rich", {}},
      {{COMP_MODE_TAG, 0.0f}, "rich", {"rich-comp"}},
      {{WIDENER_ON_TAG, 0.0f}, "rich", {}},
      {{CHORUS_MODE_TAG, 1.0f}, "rich", {"rich-widen"}},
      {{CHORUS_MIX_TAG, 0.8f}, "old/chorus", {"rich", "old/chorus-widen"}},
      {{CHORUS_LENGTH_TAG, 0.8f}, "old/chorus", {"rich", "old/chorus-widen"}},
      {{CHORUS_SPEED_TAG, 0.8f}, "old/chorus", {"rich", "old/chorus-widen"}},
      // The chorus is voiced at a fixed width: its knob is stored and never read.
      {{CHORUS_WIDTH_TAG, 0.9f}, "rich", {"old/chorus", "rich"}},
      {{WAVESHAPER_START_TAG[0] + 100, 0.9f}, "waveshaper", {"rich"}},
      {{WAVESHAPER_START_TAG[1] + 200, 0.1f}, "waveshaper", {"rich"}},
      {{MOD_ADVANCED_TAG, 1.0f}, "row0", {"rich"}},
      // Follower settings shared by its three outputs.
      {{FOLLOWER_THRESHOLD_TAG, 0.8f}, "follower0", {"rich"}},
      {{FOLLOWER_BOOST_TAG, 0.8f}, "follower0", {"rich"}},
      {{FOLLOWER_SMOOTH_TAG, 0.8f}, "follower0", {"rich"}},
      {{FOLLOWER_ATTACK_TAG, 0.5f}, "follower0", {"rich"}},
      {{FOLLOWER_HOLD_TAG, 0.5f}, "follower0", {"rich"}},
      {{FOLLOWER_DECAY_TAG, 0.05f}, "follower0", {"rich"}},
      {step(FOLLOWER_SOURCE_TAG, 6), "follower0", {"rich"}},
      // Disrupt settings shared by its seven slots, and lazy mode.
      {{DISRUPT_AMOUNT_TAG, 0.3f}, "disrupt0", {"rich"}},
      {step(DISRUPT_QUANT_TAG, 12), "disrupt0", {"rich"}},
      {step(DISRUPT_SPRING_TAG, 1), "disrupt0 off spring", {}},
      {{DISRUPT_LAZY_ON_TAG, 1.0f}, "disrupt0", {}},
      {{DISRUPT_LAZY_SPEED_TAG, 0.9f}, "lazy", {"disrupt0"}},
      {{DISRUPT_LAZY_SYNC_TAG, 1.0f}, "lazy", {"disrupt0"}},
      {step(DISRUPT_LAZY_MODE_TAG, 2), "lazy", {"disrupt0"}},
  };
  // The distortion's eight knobs (Clipper 2 reads all of them).
  for (int k = 0; k < 8; ++k) rows.push_back({{DISTORT_KNOB_1_TAG + k, k == 1 ? 0.9f : 0.15f}, "rich", {}});
  // The two EQs band by band; the post-EQ's bands are out of the path while the old EQ stands in.
  for (int e = 0; e < 2; ++e)
    for (int k = 0; k < 12; ++k) {
      const int tag = EQ_VAR_TAGS[e][k];
      const float to = k < 4 ? 0.55f : (k < 8 ? 0.15f : 0.5f);
      if (e == 0)
        rows.push_back({{tag, to}, "rich", {"rich-pre"}});
      else
        rows.push_back({{tag, to}, "rich", {"rich-post", "old/chorus"}});
    }
  for (int k = 0; k < 4; ++k)
    rows.push_back({{OLD_EQ_LOW_TAG + k, 0.5f}, "old/chorus", {"rich", "old/chorus-post"}});
  // Gate, filters, compressor, widener: each with its own switch.
  const std::pair<int, const char*> moduleTags[] = {
      {GATE_THRESHOLD_TAG, "gate"}, {GATE_ATTACK_TAG, "gate"},
      {GATE_HOLD_TAG, "gate"},      {GATE_RELEASE_TAG, "gate"},
      {HP_TYPE_TAG, "hp"},          {HP_ZD_TAG, "hp"},
      {HP_FREQ_TAG, "hp"},          {HP_Q_TAG, "hp"},
      {LP_TYPE_TAG, "lp"},          {LP_ZD_TAG, "lp"},
      {LP_FREQ_TAG, "lp"},          {LP_Q_TAG, "lp"},
      {COMP_THRESHOLD_TAG, "comp"}, {COMP_RATIO_TAG, "comp"},
      {COMP_ATTACK_TAG, "comp"},    {COMP_RELEASE_TAG, "comp"},
      {COMP_VOLUME_TAG, "comp"},    {WIDENER_AMOUNT_TAG, "widen"},
      {WIDENER_WIDTH_TAG, "widen"}, {WIDENER_SPEED_TAG, "widen"}};
  for (auto [tag, module] : moduleTags) {
    const bool isSwitch = tag == HP_TYPE_TAG || tag == HP_ZD_TAG || tag == LP_TYPE_TAG || tag == LP_ZD_TAG;
    std::vector<std::string> off = {"rich-" + std::string(module)};
    if (std::string(module) == "widen") off.push_back("old/chorus");
    rows.push_back({{tag, isSwitch ? 1.0f : 0.85f},
                    "rich",
                    off,
                    std::string(module) == "gate" ? SIGNAL_LENGTH : RENDER_LENGTH});
  }
  for (int i = 0; i < 4; ++i) {
    const std::string lfo = "lfo" + std::to_string(i);
    for (Set s : {Set{LFO_AMT_TAGS[i], 0.3f}, Set{LFO_SPEED_TAGS[i], 0.8f}, Set{LFO_SYNC_TAGS[i], 1.0f},
                  Set{LFO_HUM_TAGS[i], 1.0f}, Set{LFO_SHAPE_TAGS[i], 0.2f}, step(LFO_WAVE_TAGS[i], 3),
                  step(LFO_DEST_TAGS[i], DEST_MIX), step(LFO_MODE_TAGS[i], LFO_MODE_NOTE)})
      rows.push_back({s, lfo, {"rich"}});
    // A free LFO starts when its mode is set, not only at a reset.
    rows.push_back({step(LFO_MODE_TAGS[i], LFO_MODE_FREE), lfo + " note", {"unrouted " + lfo + " note"}});
    // Each wave-shaper wave draws on its own curve.
    const Set curve1 = {WAVESHAPER_START_TAG[0] + 64, 0.95f}, curve2 = {WAVESHAPER_START_TAG[1] + 64, 0.95f};
    rows.push_back({curve1, lfo + " shaper1", {lfo, lfo + " shaper2"}});
    rows.push_back({curve2, lfo + " shaper2", {lfo, lfo + " shaper1"}});
  }
  for (int j = 0; j < 3; ++j) {
    const std::string f = "follower" + std::to_string(j);
    for (Set s : {Set{FOLLOWER_AMT_1_TAG + j, 0.6f}, Set{FOLLOWER_MOD_AMT_1_TAG + j, 0.5f},
                  step(FOLLOWER_DEST_1_TAG + j, DEST_MIX), Set{FOLLOWER_BYPASS_1_TAG + j, 1.0f},
                  step(FOLLOWER_MOD_SRC_1_TAG + j, SRC_NONE)})
      rows.push_back({s, f, {"rich"}});
  }
  for (int j = 0; j < NUM_DISRUPT_SLOTS; ++j) {
    const std::string d = "disrupt" + std::to_string(j);
    for (Set s : {Set{DISRUPT_SLOT_AMT_1_TAG + j, 0.25f}, Set{DISRUPT_ON_TAGS[j], 0.0f},
                  step(DISRUPT_DEST_TAGS[j], DEST_MIX)})
      rows.push_back({s, d, {"rich"}});
  }
  for (int r = 0; r < NUM_MOD_SLOTS; ++r) {
    const std::string n = std::to_string(r);
    for (Set s : {Set{MOD_SLOT_AMT_TAGS[r], 0.3f}, step(MOD_SLOT_SRC_TAGS[r], SRC_INPUT),
                  step(MOD_SLOT_DEST_TAGS[r], DEST_MIX), Set{MOD_SLOT_BY_TAGS[r], 1.0f}})
      rows.push_back({s, "row" + n, {"rich"}});
    for (Set s : {Set{MOD_SLOT_LOWER_THRESH_TAGS[r], 0.1f}, Set{MOD_SLOT_UPPER_THRESH_TAGS[r], 0.9f},
                  Set{MOD_SLOT_OFFSET_TAGS[r], 0.9f}})
      rows.push_back({s, "advanced row" + n, {"simple row" + n}});
  }
  return rows;
}

}  // namespace

TEST(TagReach, EveryTagMovesTheSoundOnlyWhereItsModuleListens) {
  const auto scenes = makeScenes();
  std::map<std::string, std::vector<float>> still;  // each scene left as it is
  auto base = [&](const std::string& name, int length) -> const std::vector<float>& {
    const std::string key = name + "/" + std::to_string(length);
    auto it = still.find(key);
    if (it == still.end()) it = still.emplace(key, render(scenes.at(name), nullptr, length)).first;
    return it->second;
  };
  for (const Reach& row : makeRows()) {
    SCOPED_TRACE("tag " + std::to_string(row.moved.tag) + " to " + std::to_string(row.moved.value));
    ASSERT_TRUE(scenes.count(row.on)) << row.on;
    if (row.moved.tag != CHORUS_WIDTH_TAG) {
      EXPECT_FALSE(same(render(scenes.at(row.on), setTo(row.moved), row.length), base(row.on, row.length)))
          << "not heard in " << row.on;
    }
    for (const std::string& off : row.off)
      EXPECT_TRUE(same(render(scenes.at(off), setTo(row.moved), row.length), base(off, row.length)))
          << "heard in " << off;
  }
}

// A flat band (gain at the middle) is skipped, so its frequency and width change nothing: with
// one band boosted, only that band's frequency and width may be heard.
TEST(TagReach, EachEqBandReadsItsOwnGainFrequencyAndWidth) {
  for (int e = 0; e < 2; ++e)
    for (int k = 0; k < 4; ++k) {
      Scene scene = richScene();
      for (int j = 0; j < 4; ++j) scene.push_back({EQ_GAIN_TAGS[4 * e + j], j == k ? 0.9f : 0.5f});
      const auto still = render(scene, nullptr);
      for (int j = 0; j < 4; ++j)
        for (const auto* tags : {&EQ_FREQ_TAGS, &EQ_BW_TAGS}) {
          const int tag = (*tags)[4 * e + j];
          EXPECT_EQ(same(render(scene, setTo({tag, 0.45f})), still), j != k)
              << "EQ " << e << " boosted band " << k << ", tag " << tag;
        }
    }
}

// The follower's envelope rises at its attack rate and falls at its decay rate: on a burst of
// side chain, the attack alone shapes the rise and the decay alone the fall.
TEST(TagReach, FollowerAttackShapesTheRiseAndDecayTheFall) {
  auto envelope = [](int tag, float v) {
    auto p = engine_test::makeProbe();
    applyScene(*p, {step(FOLLOWER_SOURCE_TAG, 1), {FOLLOWER_THRESHOLD_TAG, 0.0f}, {tag, v}});
    std::vector<float> env;
    for (int i = 0; i < 6000; ++i) {
      const float side = i >= 512 && i < 2560 ? 0.5f : 0.0f;
      p->sample(0.0f, 0.0f, side, side);
      env.push_back(p->getSourceValue(SRC_FOLLOWER));
    }
    return env;
  };
  auto rise = [](const std::vector<float>& v) { return std::vector<float>(v.begin(), v.begin() + 2560); };
  auto fall = [](const std::vector<float>& v) { return std::vector<float>(v.begin() + 2560, v.end()); };
  const auto a0 = envelope(FOLLOWER_ATTACK_TAG, 0.0f), a1 = envelope(FOLLOWER_ATTACK_TAG, 0.3f);
  const auto d0 = envelope(FOLLOWER_DECAY_TAG, 0.1f), d1 = envelope(FOLLOWER_DECAY_TAG, 0.3f);
  EXPECT_GT(a0[1000], a1[1000]);  // a slower attack is lower on the way up
  // Only the anti-denormal term (1e-15 a sample) lets the decay touch the rise.
  for (int i = 0; i < 2560; ++i) ASSERT_NEAR(d0[i], d1[i], 1e-9f) << i;
  EXPECT_NE(fall(d0), fall(d1));
  EXPECT_LT(d0[4000], d1[4000]);  // a faster decay is lower on the way down
  EXPECT_NE(rise(a0), rise(a1));
}

// The distortion screen is redrawn when, and only when, one of the knobs it draws with moves
// (Dist3..Dist8, by knob or modulation); it draws Dist1 and Dist2 at fixed values.
TEST(TagReach, DistortionDisplayFollowsTheTypeKnobsOnly) {
  auto p = engine_test::makeProbe();
  applyScene(*p, richScene());
  p->run(512);
  float first[64], now[64];
  // The display's distortion keeps its smoothed knobs between drawings: draw until they settle.
  auto settle = [&] {
    for (int i = 0; i < 20; ++i) p->getDistortDisplay(first, 64, 0, 0.0f);
  };
  settle();
  p->distortDisplayUpdated();
  for (int k = 0; k < 8; ++k) {
    const float was = p->getParameter(DISTORT_KNOB_1_TAG + k);
    p->setParameter(DISTORT_KNOB_1_TAG + k, was + 0.05f);
    p->getDistortDisplay(now, 64, 0, 0.0f);
    EXPECT_EQ(p->distortDisplayUpdated(), k >= 2) << "knob " << k;
    EXPECT_EQ(std::equal(now, now + 64, first), k < 2) << "knob " << k;
    p->setParameter(DISTORT_KNOB_1_TAG + k, was);
    EXPECT_EQ(p->distortDisplayUpdated(), k >= 2) << "knob " << k;
    settle();
  }
  // Modulation of each knob redraws as its knob does: a held source on one matrix row.
  for (int k = 0; k < 8; ++k) {
    applyScene(*p, {step(MOD_SLOT_SRC_TAGS[0], SRC_OFFSET),
                    step(MOD_SLOT_DEST_TAGS[0], DEST_DIST_1 + k),
                    {MOD_SLOT_AMT_TAGS[0], 0.525f}});
    p->run(512);
    p->getDistortDisplay(now, 64, 0, 0.0f);
    EXPECT_EQ(p->distortDisplayUpdated(), k >= 2) << "knob " << k;
    EXPECT_EQ(std::equal(now, now + 64, first), k < 2) << "knob " << k;
    p->setStep(MOD_SLOT_DEST_TAGS[0], DEST_NONE);
    p->run(512);
    p->distortDisplayUpdated();
    settle();
  }
}
