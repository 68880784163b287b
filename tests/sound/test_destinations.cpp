// Every modulation destination moves its own parameter: a steady source routed to it sounds as
// the parameter's own knob moved by what the modulation adds, and no other destination moves.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "plugin/uTagMap.h"
#include "soundTestUtil_wire.h"

using namespace sound_wire;

namespace {

// How a destination's modulation m acts, by the parameter's own law.
enum class Law {
  Knob,     // the knob's value plus m
  Bipolar,  // an amount read as 2v - 1 plus m: the knob moved by m / 2
  Speed,    // an oscillator's rate times 2^(4m): the free-running speed knob moved by 0.4 m
  Pan,      // the left channel times min(max(1 - m, 0), 1), the right unchanged (m > 0)
  Heard,    // a modulation-only setting or the chorus width (no knob): moves the sound
  Unread,   // read by nothing
};

// The knob tag a destination adds to (the tag map's first, or the given one).
int knobOf(int d) {
  for (int t = 0; t < NUM_PARAMS; ++t)
    if (tagmap::rowOf(t).destOf(t) == d) return t;
  return -1;
}

struct Dest {
  int d;
  Scene scene;
  Law law;
  int knob = -1;  // -1: the tag map's
  // Smoothed knobs glide to a new value where modulation adds at once: compared only once the
  // glide (0.9 or 0.99 a sample) is over, within a bound set by what the glide leaves behind in
  // the filters and envelopes.
  bool smoothed = false;
  int length = RENDER_LENGTH;
};

constexpr float M = 0.25f;  // what the held source adds: amount 0.5 times source 0.5
constexpr int SETTLED = 4096;

std::vector<Dest> destinations() {
  const Scene rich = richScene(), old = oldEqChorusScene();
  std::vector<Dest> t = {
      {DEST_VOLUME, rich, Law::Knob, -1, true},
      {DEST_MIX, rich, Law::Knob, -1, true},
      {DEST_PAN, rich, Law::Pan},
      {DEST_WET_PAN, rich + Scene{{MIX_TAG, 1.0f}}, Law::Pan},
      {DEST_DRY_PAN, rich + Scene{{MIX_TAG, 0.0f}}, Law::Pan},
      {DEST_HP_FREQ, rich, Law::Knob, -1, true},
      {DEST_HP_Q, rich, Law::Knob},
      {DEST_LP_FREQ, rich, Law::Knob, -1, true},
      {DEST_LP_Q, rich, Law::Knob},
      {DEST_COMP_VOLUME, rich, Law::Knob, -1, true},
      {DEST_WIDENER_AMOUNT, rich, Law::Knob, -1, true},
      {DEST_WIDENER_WIDTH, rich, Law::Knob, -1, true},
      {DEST_WIDENER_SPEED, rich, Law::Knob},
      {DEST_CHORUS_MIX, old, Law::Knob, -1, true},
      {DEST_CHORUS_LENGTH, old, Law::Knob, -1, true},
      {DEST_CHORUS_WIDTH, old, Law::Heard},
      {DEST_CHORUS_SPEED, old, Law::Knob},
      {DEST_DISRUPT, disruptScene(0), Law::Bipolar},
      {DEST_DISRUPT_SMOOTH, lazyScene(), Law::Heard},
      {DEST_LAZY_SPEED, lazyScene(), Law::Speed},
      {DEST_LAZY_PHASE, lazyScene(), Law::Heard},
      {DEST_LAZY_SHAPE, lazyScene(), Law::Heard},
  };
  for (int k = 0; k < 8; ++k) t.push_back({DEST_DIST_1 + k, rich, Law::Knob});
  // A long hold is what the end of the signal lets one hear.
  const Scene gate = rich + Scene{{GATE_HOLD_TAG, 0.6f}};
  for (int k = 0; k < 4; ++k)
    t.push_back({DEST_GATE_THRESHOLD + k, gate, Law::Knob, -1, false, SIGNAL_LENGTH});
  for (int k = 0; k < 12; ++k) {
    t.push_back({DEST_PRE_EQ_GAIN_1 + k, rich, Law::Knob});
    t.push_back({DEST_POST_EQ_GAIN_1 + k, rich, Law::Knob});
  }
  // The post-EQ's gain destinations move the first-generation EQ's gains while it stands in.
  for (int k = 0; k < 4; ++k)
    t.push_back({DEST_POST_EQ_GAIN_1 + k, old, Law::Knob, OLD_EQ_LOW_TAG + k, true});
  for (int k = 0; k < 4; ++k) t.push_back({DEST_COMP_THRESHOLD + k, rich, Law::Knob});
  for (int j = 0; j < NUM_DISRUPT_SLOTS; ++j)
    t.push_back({DEST_DISRUPT_1 + j, disruptScene(j), Law::Bipolar});
  for (int k = 0; k < 6; ++k) t.push_back({DEST_FOLLOWER_SMOOTH + k, followerScene(0), Law::Knob});
  for (int j = 0; j < 3; ++j) {
    t.push_back({DEST_FOLLOWER_AMT_1 + j, followerScene(j), Law::Bipolar});
    t.push_back({DEST_FOLLOWER_MOD_AMT_1 + j, followerScene(j), Law::Unread});
  }
  for (int i = 0; i < 4; ++i) {
    t.push_back({DEST_LFO_AMT_1 + i, lfoScene(i), Law::Bipolar});
    t.push_back({DEST_LFO_SPEED_1 + i, lfoScene(i) + Scene{{LFO_SPEED_TAGS[i], 0.7f}}, Law::Speed});
    t.push_back({DEST_LFO_SHAPE_1 + i, lfoScene(i), Law::Knob});
    t.push_back({DEST_LFO_PHASE_1 + i, lfoScene(i), Law::Heard});
    t.push_back({DEST_LFO_SMOOTH_1 + i, lfoScene(i) + Scene{step(LFO_WAVE_TAGS[i], 4)}, Law::Heard});
  }
  for (int r = 0; r < NUM_MOD_SLOTS; ++r) t.push_back({DEST_MOD_AMT_1 + r, rowScene(r), Law::Bipolar});
  return t;
}

// How far the knob moves for modulation M.
float knobStep(Law law) { return law == Law::Bipolar ? M / 2.0f : (law == Law::Speed ? 0.4f * M : M); }

// The held source and the slot that carries it to destination d: a MIDI controller held on a
// matrix row, or the Disrupt slider on a Disrupt slot. The route is in place from the start with
// the source at rest (adding nothing); the change moves the source so that the slot adds M.
struct Router {
  const char* what;
  Scene (*route)(int slot, int d);
  Change (*move)();
  int slots;
};
const Router ROUTERS[] = {
    {"matrix row",
     [](int r, int d) {
       return Scene{step(MOD_SLOT_SRC_TAGS[r], SRC_MOD_WHEEL),
                    step(MOD_SLOT_DEST_TAGS[r], d),
                    {MOD_SLOT_AMT_TAGS[r], 0.75f}};
     },
     []() -> Change { return [](Probe& p) { p.setSourceValue(SRC_MOD_WHEEL, 0.5f); }; }, NUM_MOD_SLOTS},
    {"Disrupt slot",
     [](int j, int d) {
       return Scene{
           {DISRUPT_ON_TAGS[j], 1.0f}, step(DISRUPT_DEST_TAGS[j], d), {DISRUPT_SLOT_AMT_1_TAG + j, 0.75f}};
     },
     []() {
       return setTo({DISRUPT_AMOUNT_TAG, 0.75f});
     },
     NUM_DISRUPT_SLOTS},
};

// A slot for d that the scene does not use itself.
int slotFor(const Router& router, const Dest& row) {
  int s = row.d % router.slots;
  const bool matrix = router.slots == NUM_MOD_SLOTS;
  if (matrix && row.d >= DEST_MOD_AMT_1) s = (row.d - DEST_MOD_AMT_1 + 5) % NUM_MOD_SLOTS;
  if (!matrix && row.d >= DEST_DISRUPT_1 && row.d <= DEST_DISRUPT_7) s = (row.d - DEST_DISRUPT_1 + 3) % 7;
  return s;
}

void checkRoute(const Router& router, const Dest& row) {
  const int slot = slotFor(router, row);
  SCOPED_TRACE(std::string(router.what) + " " + std::to_string(slot) + " to destination " +
               std::to_string(row.d) + " " + std::string(MOD_DESTS[static_cast<size_t>(row.d)].name));
  const Scene scene = row.scene + router.route(slot, row.d);
  const int knob = row.knob >= 0 ? row.knob : knobOf(row.d);
  // Disrupt reads its destination's sum of the sample before: the source leads by one sample.
  const int lead = row.d == DEST_DISRUPT ? 1 : 0;
  std::vector<float> sums[2];
  auto sumsInto = [](std::vector<float>& to) {
    return [&to](Probe& p) {
      for (int d = 0; d < NUM_MOD_DESTS; ++d) to.push_back(p.getMod(d));
    };
  };
  const auto modulated = render(scene, router.move(), row.length, CHANGE_AT - lead, sumsInto(sums[0]));
  const auto still = render(scene, nullptr, row.length, CHANGE_AT, sumsInto(sums[1]));
  // The other routes of the scene add what they added before; only d gains M (and, where d shapes
  // modulation itself, the volume that the scene's own route reaches).
  const bool shapesModulation = row.d >= DEST_DISRUPT;
  for (size_t d = 1; d < NUM_MOD_DESTS; ++d)
    if (static_cast<int>(d) != row.d && !(shapesModulation && d == DEST_VOLUME)) {
      EXPECT_EQ(sums[0][d], sums[1][d]) << "destination " << d << " moved";
    }
  EXPECT_EQ(sums[0][static_cast<size_t>(row.d)] - sums[1][static_cast<size_t>(row.d)], M);

  switch (row.law) {
    case Law::Unread:
      EXPECT_TRUE(same(modulated, still));
      return;
    case Law::Heard:
      EXPECT_FALSE(same(modulated, still));
      return;
    case Law::Pan:
      for (size_t i = 2 * CHANGE_AT; i < still.size(); i += 2) {
        ASSERT_EQ(modulated[i], still[i] * (1.0f - M)) << i / 2;
        ASSERT_EQ(modulated[i + 1], still[i + 1]) << i / 2;
      }
      return;
    default:
      break;
  }
  ASSERT_GE(knob, 0);
  const float was = [&] {
    for (auto it = scene.rbegin(); it != scene.rend(); ++it)
      if (it->tag == knob) return it->value;
    return tagmap::rowOf(knob).defaultOf(knob);
  }();
  const auto moved = render(scene, setTo({knob, was + knobStep(row.law)}), row.length);
  EXPECT_FALSE(same(moved, still)) << "the knob " << knob << " is not heard";
  if (row.law == Law::Speed) {
    // exp2 of a sum and the product of two exp2 round apart by an ulp or so of the rate.
    EXPECT_LT(maxDiff(modulated, moved, CHANGE_AT), 1e-3f);
  } else if (row.smoothed) {
    EXPECT_LT(maxDiff(modulated, moved, SETTLED), 1e-4f);
  } else {
    EXPECT_TRUE(same(modulated, moved)) << "differs by " << maxDiff(modulated, moved);
  }
}

}  // namespace

TEST(Destinations, AHeldControllerOnAMatrixRowMovesItsDestinationAsItsKnob) {
  for (const Dest& row : destinations()) checkRoute(ROUTERS[0], row);
}

// The Disrupt slider drives Disrupt and its own slot amounts through the slots themselves, so
// those destinations are left to the matrix row above.
TEST(Destinations, TheDisruptSliderOnADisruptSlotMovesItsDestinationAsItsKnob) {
  for (const Dest& row : destinations()) {
    const bool feedsBack = row.d == DEST_DISRUPT || row.d == DEST_DISRUPT_SMOOTH ||
                           (row.d >= DEST_LAZY_SPEED && row.d <= DEST_LAZY_SHAPE) ||
                           (row.d >= DEST_DISRUPT_1 && row.d <= DEST_DISRUPT_7);
    if (!feedsBack) checkRoute(ROUTERS[1], row);
  }
}

// A follower output adds its bipolar amount (2v - 1, plus the depth 2w - 1 times its control
// source) times the envelope.
TEST(Destinations, AFollowerOutputAddsItsBipolarAmountTimesTheEnvelope) {
  struct Case {
    float amount, depth;
    int control;
    float expected;
  };
  const Case cases[] = {{0.5f, 0.5f, SRC_OFFSET, 0.0f},     {0.875f, 0.5f, SRC_OFFSET, 0.75f},
                        {0.125f, 0.5f, SRC_OFFSET, -0.75f}, {0.5f, 0.75f, SRC_OFFSET, 0.5f},
                        {0.75f, 0.25f, SRC_NONE, 0.5f},     {0.5f, 0.0f, SRC_OFFSET, -1.0f}};
  for (int j = 0; j < 3; ++j)
    for (const Case& c : cases) {
      auto p = engine_test::makeProbe();
      applyScene(*p, {step(FOLLOWER_SOURCE_TAG, 0),
                      {FOLLOWER_THRESHOLD_TAG, 0.0f},
                      step(FOLLOWER_DEST_1_TAG + j, DEST_VOLUME),
                      {FOLLOWER_AMT_1_TAG + j, c.amount},
                      {FOLLOWER_MOD_AMT_1_TAG + j, c.depth},
                      step(FOLLOWER_MOD_SRC_1_TAG + j, c.control)});
      p->run(1024, 0.3f, 0.1f);
      for (int i = 0; i < 64; ++i) {
        p->sample(0.3f, 0.1f);
        ASSERT_EQ(p->getMod(DEST_VOLUME), c.expected * p->getSourceValue(SRC_FOLLOWER))
            << "output " << j << ", amount " << c.amount << ", depth " << c.depth;
      }
    }
}

// The steady sources carry what they name: routed to the volume, each sounds as the volume
// knob moved by amount times its value.
TEST(Destinations, SteadySourcesCarryTheirValues) {
  struct Case {
    int source;
    float in[4];  // main left, right, side left, right, from the change on
    float value;
  };
  const Case cases[] = {{SRC_SIDE, {0.0f, 0.0f, 0.25f, 0.75f}, 0.5f},
                        {SRC_SIDE, {0.5f, 0.5f, 0.0f, 0.0f}, 0.0f},
                        {SRC_INPUT, {0.25f, 0.75f, 0.0f, 0.0f}, 0.5f},
                        {SRC_OFFSET, {0.5f, 0.25f, 0.0f, 0.0f}, 1.0f}};
  for (const Case& c : cases) {
    auto run = [&](int src, float volume) {
      auto p = engine_test::makeProbe();
      applyScene(*p, {{VOLUME_TAG, volume},
                      step(MOD_SLOT_SRC_TAGS[2], src),
                      step(MOD_SLOT_DEST_TAGS[2], DEST_VOLUME),
                      {MOD_SLOT_AMT_TAGS[2], 0.625f}});
      p->requestAlign();
      p->resetEverything();
      std::vector<float> out;
      for (int i = 0; i < 2048; ++i) out.push_back(p->sample(c.in[0], c.in[1], c.in[2], c.in[3]).first);
      return out;
    };
    // The route joins at the routing tick (sample 256); the knob acts at once.
    auto viaSource = run(c.source, 0.5f), viaKnob = run(SRC_NONE, 0.5f + 0.25f * c.value);
    for (int i = 1024; i < 2048; ++i)
      ASSERT_NEAR(viaSource[i], viaKnob[i], 1e-6f) << "source " << c.source << ", sample " << i;
  }
}
