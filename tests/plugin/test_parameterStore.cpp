// The store: clamping, snapping, snapshots, the edit-changed rule, the editor forward,
// the accessors and concurrent writers.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "plugin/uParamText.h"
#include "plugin/uPlugin.h"
#include "support/fakeEditorLink.h"
#include "support/fakeHost.h"
#include "support/expectValues.h"

using testing_support::FakeEditorLink;
using testing_support::FakeHost;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Snapshot {
  std::vector<float> current, edited, stored, last;
  bool changed;
  explicit Snapshot(APlugin& p) {
    for (int t = 0; t < NUM_PARAMS; ++t) {
      current.push_back(p.currentValues[t].load());
      edited.push_back(p.editedValues[t]);
      stored.push_back(p.programs.values[t]);
      last.push_back(p.lastValues[t]);
    }
    changed = p.getEditChanged();
  }
  bool operator==(const Snapshot& o) const {
    return current == o.current && edited == o.edited && stored == o.stored && last == o.last &&
           changed == o.changed;
  }
};

}  // namespace

TEST(ParameterStore, ConstructionGivesAValidInstance) {
  auto p = std::make_unique<APlugin>(nullptr);
  AEffect* e = p->getAeffect();
  EXPECT_VALUES(
      {e->numPrograms, 1}, {e->numParams, 1024}, {e->numInputs, 4}, {e->numOutputs, 2},
      {e->flags, kEffFlagCanReplacing | kEffFlagProgramChunks});
  EXPECT_EQ(e->uniqueID, 0x4D76336B);  // "Mv3k"
  EXPECT_FALSE(p->getEditChanged());
  // Construction ends by loading a built-in program, which every snapshot then holds.
  for (int t = 0; t < NUM_PARAMS; ++t) EXPECT_EQ(p->lastValues[t], p->getParameter(t)) << t;
}

TEST(ParameterStore, ValuesAreClampedAndWrittenToEverySnapshot) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(5, 1.7f);
  EXPECT_EQ(p->getParameter(5), 1.0f);
  p->setParameter(5, -0.5f);
  EXPECT_EQ(p->getParameter(5), 0.0f);
  p->setParameter(62, 0.3f);
  EXPECT_VALUES(
      {p->currentValues[62].load(), 0.3f}, {p->programs.values[62], 0.3f}, {p->editedValues[62], 0.3f},
      {p->lastValues[62], 0.3f});
  EXPECT_EQ(p->getDefault(62), 0.1f);  // defaults never change
  // The host's trampoline reaches the same store.
  AEffect* e = p->getAeffect();
  e->setParameter(e, 1, 0.2f);
  EXPECT_EQ(e->getParameter(e, 1), 0.2f);
}

TEST(ParameterStore, InvalidTagsAndNonFiniteValuesChangeNothing) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(7, 0.4f);
  const Snapshot before(*p);
  p->setParameter(1024, 0.5f);
  p->setParameter(-1, 0.5f);
  p->setParameter(std::numeric_limits<int32_t>::min(), 0.5f);
  p->setParameter(7, kNaN);
  p->setParameter(7, kInf);
  p->setParameter(7, -kInf);
  p->setParameter(3, kNaN);
  EXPECT_TRUE(Snapshot(*p) == before);
  EXPECT_VALUES({p->getParameter(7), 0.4f}, {p->getParameter(1024), 0.0f}, {p->getParameter(-1), 0.0f});
}

TEST(ParameterStore, SwitchesSnapAndTwoStateTagsDoNot) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(3, 0.49f);
  EXPECT_EQ(p->getParameter(3), 0.0f);
  p->setParameter(3, 0.5f);
  EXPECT_EQ(p->getParameter(3), 1.0f);
  EXPECT_EQ(p->programs.values[3], 1.0f);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    if (!p->isOnOffTag(t)) continue;
    p->setParameter(t, 0.2f);
    EXPECT_EQ(p->getParameter(t), 0.0f) << t;
    p->setParameter(t, 0.7f);
    EXPECT_EQ(p->getParameter(t), 1.0f) << t;
  }
  // Compressor mode and wave-shaper polar mode are read as switches but stored as given.
  p->setParameter(234, 0.3f);
  EXPECT_EQ(p->getParameter(234), 0.3f);
  p->setParameter(246, 0.6f);
  EXPECT_EQ(p->getParameter(246), 0.6f);
}

TEST(ParameterStore, EditChangedRule) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  // Writing the original value back is no edit.
  p->setParameter(1, 0.625f);
  EXPECT_FALSE(p->getEditChanged());
  // A move within 1e-5 of the last value is no edit either.
  p->originalValues[1] = 0.0f;
  p->setParameter(1, 0.625f + 5e-6f);
  EXPECT_FALSE(p->getEditChanged());
  EXPECT_EQ(p->lastValues[1], 0.625f);
  // A new value within 1e-5 of the original is remembered as last but is no edit.
  p->originalValues[1] = 0.3f;
  p->setParameter(1, 0.3f + 5e-6f);
  EXPECT_FALSE(p->getEditChanged());
  EXPECT_EQ(p->lastValues[1], 0.3f + 5e-6f);
  // A real change sets the flag, and going back to the original does not clear it.
  p->setParameter(1, 0.8f);
  EXPECT_TRUE(p->getEditChanged());
  p->setParameter(1, 0.3f);
  EXPECT_TRUE(p->getEditChanged());
}

TEST(ParameterStore, EditorIsToldOnlyWhenFullyOpen) {
  auto p = std::make_unique<APlugin>(nullptr);
  FakeEditorLink link;
  p->setParameter(2, 0.5f);  // no editor at all
  p->editorLink = &link;
  p->setParameter(2, 0.5f);  // open flag not set
  p->editorOpen = true;
  p->editorOpening = true;
  p->setParameter(2, 0.5f);  // still opening
  p->editorOpening = false;
  link.open = false;
  p->setParameter(2, 0.5f);  // the editor says it is closed
  EXPECT_TRUE(link.parameters.empty());
  EXPECT_FALSE(p->isEditorOpen());
  link.open = true;
  EXPECT_TRUE(p->isEditorOpen());
  p->setParameter(3, 0.9f);
  p->setParameter(2, 7.0f);
  ASSERT_EQ(link.parameters.size(), 2u);
  EXPECT_EQ(link.parameters[0], std::make_pair(3, 1.0f));  // the snapped value
  EXPECT_EQ(link.parameters[1], std::make_pair(2, 1.0f));  // the clamped value
  p->setParameter(2000, 0.5f);
  EXPECT_EQ(link.parameters.size(), 2u);
}

TEST(ParameterStore, OnOffAccessors) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(62, 0.5f);
  EXPECT_TRUE(p->getOnOff(62));
  EXPECT_TRUE(p->getRevOnOff(62));  // exactly 0.5 reads as on for both rules
  p->setParameter(62, 0.50001f);
  EXPECT_TRUE(p->getOnOff(62));
  EXPECT_FALSE(p->getRevOnOff(62));
  p->setParameter(62, 0.49999f);
  EXPECT_VALUES(
      {p->getOnOff(62), false}, {p->getRevOnOff(62), true}, {APlugin::getOnOff(0.5f), true},
      {APlugin::getRevOnOff(0.5f), true}, {APlugin::getOnOff(kNaN), false}, {p->getOnOff(1024), false},
      {p->getRevOnOff(1024), true}, {p->getRevOnOff(-1), true});
}

TEST(ParameterStore, SteppedValues) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(128, 0.999f);
  EXPECT_EQ(p->getSteppedValue(128), 23);
  p->setParameter(128, 1.0f);
  EXPECT_EQ(p->getSteppedValue(128), 23);
  p->setSteppedValue(128, 30);
  EXPECT_EQ(p->getParameter(128), (23.0f + 0.1f) / 23.99f);
  p->setSteppedValue(128, -4);
  EXPECT_VALUES(
      {p->getParameter(128), 0.1f / 23.99f}, {APlugin::getSteppedValue(0.5f, 10.0f, 4), 3},
      {APlugin::getSteppedValue(-0.5f, 10.0f, 4), 0}, {APlugin::getSteppedValue(kNaN, 10.0f, 4), 0},
      {APlugin::getSteppedValue(kInf, 10.0f, 4), 3});
  // Continuous tags and invalid tags have no steps.
  p->setParameter(1, 0.9f);
  EXPECT_EQ(p->getSteppedValue(1), 0);
  p->setSteppedValue(1, 3);
  EXPECT_VALUES(
      {p->getParameter(1), 0.9f}, {p->getSteppedValue(1024), 0}, {p->getSteppedValue(1024, 10.0f, 4), 0},
      {p->getMenuNum(1024), -1}, {p->getMenuRange(-5), 1.0f});
  // With an explicit scale and count.
  p->setSteppedValue(1, 2, 9.99f, 4);
  EXPECT_EQ(p->getParameter(1), 2.1f / 9.99f);
  EXPECT_EQ(p->getSteppedValue(1, 9.99f, 4), 2);
}

// Every step the menus write reads back as the same step, in the store and in the texts, which
// agree on each tag's step count and scale.
TEST(ParameterStore, EveryStepOfEverySteppedTagRoundTrips) {
  auto p = std::make_unique<APlugin>(nullptr);
  int checked = 0;
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const int count = p->getMenuNum(t);
    EXPECT_EQ(count, stepCountOf(t)) << t;
    if (count < 0) continue;
    EXPECT_EQ(p->getMenuRange(t), stepScaleOf(t)) << t;
    for (int n = 0; n < count; ++n) {
      p->setSteppedValue(t, n);
      ASSERT_EQ(p->getSteppedValue(t), n) << "tag " << t << " step " << n;
      ASSERT_EQ(steppedValue(*p, t), n) << "tag " << t << " step " << n;
      ASSERT_LE(p->getParameter(t), 1.0f) << "tag " << t << " step " << n;
    }
    p->setSteppedValue(t, count + 5);
    EXPECT_EQ(p->getSteppedValue(t), count - 1) << t;
    ++checked;
  }
  EXPECT_EQ(checked, 57);
}

TEST(ParameterStore, AutomatedAccessorsTellTheHost) {
  FakeHost host;
  auto p = std::make_unique<APlugin>(&FakeHost::callback);
  host.calls.clear();
  p->setOn(40);
  p->setOff(40);
  p->toggleOnOff(40);
  p->toggleOnOff(40);
  p->setOnOff(1024, true);
  p->toggleOnOff(-1);
  p->setParameter(1, 0.2f);
  p->setToDefault(1);
  p->setToDefault(4000);
  p->setParameter(41, 0.3f);
  p->setParameter(42, 0.7f);
  p->swapParameter(41, 42);
  p->copyParameter(41, 43);
  p->copyParameter(41, 1024);
  p->swapParameter(41, -3);
  std::vector<std::pair<int, float>> automated;
  for (const auto& c : host.calls)
    if (c.opcode == kHostAutomate) automated.emplace_back(c.index, c.opt);
  const std::vector<std::pair<int, float>> expected = {{40, 1.0f}, {40, 0.0f},   {40, 1.0f}, {40, 0.0f},
                                                       {1, 0.625f}, {41, 0.7f}, {42, 0.3f}, {43, 0.7f}};
  EXPECT_EQ(automated, expected);
  EXPECT_EQ(p->getParameter(41), 0.7f);
  EXPECT_EQ(p->getParameter(42), 0.3f);
  EXPECT_EQ(p->getParameter(43), 0.7f);
  EXPECT_EQ(p->getParameter(1), 0.625f);
}

TEST(ParameterStore, ChangeDeltaStepsInEachKindOfParameter) {
  struct Case {
    int tag;
    float start;
    int delta;
    float expected;
    bool automated;
  };
  // Stepped tags store (n + 0.1) / scale; path 23 is the last; switches go on for any delta >= 0.
  const Case cases[] = {
      {143, 0.0f, -1, 0.1f / 9.99f, false},  // stepped, stays at step 0
      {143, 0.0f, +1, 1.1f / 9.99f, false},
      {1, 0.995f, +1, 1.0f, false},          // continuous, clamped
      {1, 0.5f, -1, 0.49f, false},
      {40, 0.0f, 0, 1.0f, true},             // switch: 0 switches on
      {40, 1.0f, -1, 0.0f, true},
      {128, 0.0f, -1, 0.1f / 23.99f, true},  // path stays at 0
  };
  for (const Case& c : cases) {
    FakeHost host;
    auto p = std::make_unique<APlugin>(&FakeHost::callback);
    FakeEditorLink link;
    p->editorLink = &link;
    p->setParameter(c.tag, c.start);
    host.calls.clear();
    p->changeDelta(c.tag, c.delta);
    EXPECT_NEAR(p->getParameter(c.tag), c.expected, 1e-6f) << "tag " << c.tag << " delta " << c.delta;
    bool automated = false;
    for (const auto& call : host.calls) automated |= call.opcode == kHostAutomate;
    EXPECT_EQ(automated, c.automated) << "tag " << c.tag;
    EXPECT_EQ(link.paths, c.tag == 128 ? 1 : 0);
  }
}

TEST(ParameterStore, ChangeDeltaOnTypeAndPathReachTheEditor) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->changeDelta(129, +1);  // no editor: nothing, and no crash
  p->setSteppedValue(128, 23);
  p->changeDelta(128, +1);  // path steps without an editor to re-lay
  EXPECT_EQ(p->getModulePath(), 23);
  FakeEditorLink link;
  p->editorLink = &link;
  p->setSteppedValue(129, 51);
  const float type = p->getParameter(129);
  p->changeDelta(129, +1);
  EXPECT_EQ(link.distortTypes, std::vector<int>{52});  // the editor decides, the store is untouched
  EXPECT_EQ(p->getParameter(129), type);
  p->changeDelta(128, +1);
  EXPECT_EQ(p->getModulePath(), 23);
  EXPECT_EQ(link.paths, 1);
  p->changeDelta(1024, 1);
  p->changeDelta(-1, 1);
  EXPECT_EQ(link.paths, 1);
}

TEST(ParameterStore, DialModulationWithoutModulator) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(1, 0.4f);      // has a destination
  p->setParameter(241, 0.6f);    // wave-shaper amount: always plain
  p->setParameter(200, 0.2f);    // no destination
  for (bool on : {false, true}) {
    EXPECT_VALUES(
        {p->getDialMod(1, on), 0.4f}, {p->getDialMod(241, on), 0.6f}, {p->getDialMod(200, on), 0.2f},
        {p->getDialMod(1024, on), 0.0f}, {p->getDialMod(-1, on), 0.0f});
  }
}

TEST(ParameterStore, ConcurrentWritersNeverLeaveAForeignValue) {
  auto p = std::make_unique<APlugin>(nullptr);
  std::atomic<bool> stop{false};
  std::vector<std::thread> writers;
  for (int w = 0; w < 3; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < 20000; ++i) {
        const int t = 200 + (i % 10);
        p->setParameter(t, (w % 2) ? 0.25f : 0.75f);
        p->setParameter(3, (i % 2) ? 0.9f : 0.1f);
      }
    });
  }
  std::thread reader([&] {
    while (!stop) {
      for (int t = 200; t < 210; ++t) {
        const float v = p->getParameter(t);
        ASSERT_TRUE(v == 0.0f || v == 0.25f || v == 0.75f) << v;
      }
      const float s = p->getParameter(3);
      ASSERT_TRUE(s == 0.0f || s == 1.0f) << s;
    }
  });
  for (auto& w : writers) w.join();
  stop = true;
  reader.join();
}
