// The store: clamping, snapping, hostile writes, the edit-changed rule, the editor forward, the
// accessors, concurrent writers, and typed values (the box each tag opens, the conversion of the
// answer, Cancel, the same under a comma-decimal locale).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/dialogTestSupport.h"
#include "platform/os/dialogBackend.h"
#include "plugin/uNumEntry.h"
#include "plugin/uParamText.h"
#include "plugin/uPlugin.h"
#include "support/commaLocale.h"
#include "support/expectValues.h"
#include "support/fakeEditorLink.h"
#include "support/fakeHost.h"

using dialogtest::exitedWith;
using testing_support::FakeEditorLink;
using testing_support::FakeHost;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Every snapshot a write may reach.
std::vector<float> snapshots(APlugin& p) {
  std::vector<float> v;
  for (int t = 0; t < NUM_PARAMS; ++t)
    v.insert(v.end(), {p.currentValues[t].load(), p.editedValues[t], p.programs.values[t], p.lastValues[t]});
  return v;
}

std::vector<std::pair<int, float>> automated(const FakeHost& host) {
  std::vector<std::pair<int, float>> out;
  for (const auto& c : host.calls)
    if (c.opcode == kHostAutomate) out.emplace_back(c.index, c.opt);
  return out;
}

struct NumEntryFixture {
  testing_support::FakeHost host;
  std::unique_ptr<APlugin> p = std::make_unique<APlugin>(&testing_support::FakeHost::callback);
  testing_support::FakeEditorLink link;
  dialogtest::ScriptedBackend dialogs{platform::DialogTool::zenity};
  dialogtest::ScopedBackend installed{&dialogs};

  NumEntryFixture() {
    p->editorLink = &link;
    p->editorOpen = true;
  }

  struct Result {
    std::vector<std::string> box;  // the dialog's command; empty when no box opened
    int stores = 0;                // values reaching the store (through the editor forward)
    float value = 0.0f;
  };

  // Sets `start`, answers the box with `answer` (nullopt: Cancel after typing "12") and reports.
  Result enter(int tag, float start, const std::optional<std::string>& answer) {
    if (APlugin::isValidTag(tag)) p->setParameter(tag, start);
    dialogs.calls.clear();
    dialogs.answers = {answer ? exitedWith(0, *answer + "\n") : exitedWith(1, "12\n")};
    link.parameters.clear();
    host.calls.clear();
    p->setNumValue(tag);
    EXPECT_EQ(host.count(kHostAutomate), 0) << "typed values are not automated (tag " << tag << ")";
    Result r;
    if (!dialogs.calls.empty()) r.box = dialogs.calls[0];
    r.stores = static_cast<int>(link.parameters.size());
    r.value = p->getParameter(tag);
    return r;
  }
};

std::vector<std::string> box(const std::string& title, const std::string& hint, const std::string& text) {
  return {"zenity",           "--entry",
          "--title=" + title, "--width=" + std::to_string(platform::dialogWidth(title, hint)),
          "--text=" + hint,   "--entry-text=" + text};
}

}  // namespace

TEST(ParameterStore, WritesAreClampedSnappedAndReachEverySnapshot) {
  auto p = std::make_unique<APlugin>(nullptr);
  AEffect* e = p->getAeffect();
  EXPECT_VALUES({e->numPrograms, 1}, {e->numParams, 1024}, {e->numInputs, 4}, {e->numOutputs, 2},
                {e->flags, kEffFlagCanReplacing | kEffFlagProgramChunks}, {e->uniqueID, 0x4D76336B},
                {p->getEditChanged(), false});
  p->setParameter(5, 1.7f);
  EXPECT_EQ(p->getParameter(5), 1.0f);
  p->setParameter(5, -0.5f);
  EXPECT_EQ(p->getParameter(5), 0.0f);
  e->setParameter(e, 62, 0.3f);  // the host's trampoline reaches the same store
  EXPECT_VALUES({e->getParameter(e, 62), 0.3f}, {p->programs.values[62], 0.3f}, {p->editedValues[62], 0.3f},
                {p->lastValues[62], 0.3f}, {p->getDefault(62), 0.1f, testing_support::kUlps});
  // Switches snap at one half; compressor and polar mode are read as switches but kept as given.
  for (int t = 0; t < NUM_PARAMS; ++t) {
    if (!p->isOnOffTag(t)) continue;
    p->setParameter(t, 0.49f);
    EXPECT_EQ(p->getParameter(t), 0.0f) << t;
    p->setParameter(t, 0.5f);
    EXPECT_EQ(p->getParameter(t), 1.0f) << t;
    EXPECT_EQ(p->programs.values[t], 1.0f) << t;
  }
  p->setParameter(234, 0.3f);
  p->setParameter(246, 0.6f);
  EXPECT_VALUES({p->isOnOffTag(3), true}, {p->getParameter(234), 0.3f}, {p->getParameter(246), 0.6f});

  // Invalid tags and values that are no numbers change nothing.
  const std::vector<float> before = snapshots(*p);
  for (int bad : {1024, -1, std::numeric_limits<int32_t>::min()}) p->setParameter(bad, 0.5f);
  for (float v : {kNaN, kInf, -kInf}) p->setParameter(7, v);
  p->setParameter(3, kNaN);
  EXPECT_EQ(snapshots(*p), before);
  EXPECT_VALUES({p->getParameter(1024), 0.0f}, {p->getParameter(-1), 0.0f});
}

TEST(ParameterStore, EditChangedRule) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  p->setParameter(1, 0.625f);  // the original value written back: no edit
  EXPECT_FALSE(p->getEditChanged());
  p->originalValues[1] = 0.0f;
  p->setParameter(1, 0.625f + 5e-6f);  // within 1e-5 of the last value: no edit, not remembered
  EXPECT_VALUES({p->getEditChanged(), false}, {p->lastValues[1], 0.625f});
  p->originalValues[1] = 0.3f;
  p->setParameter(1, 0.3f + 5e-6f);  // within 1e-5 of the original: remembered, no edit
  EXPECT_VALUES({p->getEditChanged(), false}, {p->lastValues[1], 0.3f + 5e-6f});
  p->setParameter(1, 0.8f);
  EXPECT_TRUE(p->getEditChanged());
  p->setParameter(1, 0.3f);  // going back does not clear it
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
  p->setParameter(2000, 0.5f);
  // The snapped and the clamped value.
  EXPECT_EQ(link.parameters, (std::vector<std::pair<int, float>>{{3, 1.0f}, {2, 1.0f}}));
}

TEST(ParameterStore, AccessorsAndSteps) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(62, 0.5f);
  const bool onAtHalf = p->getOnOff(62), revAtHalf = p->getRevOnOff(62);
  p->setParameter(62, 0.50001f);
  const bool revAbove = p->getRevOnOff(62);
  p->setParameter(128, 0.999f);
  const int pathAt0999 = p->getSteppedValue(128);
  p->setParameter(1, 0.9f);
  EXPECT_VALUES({onAtHalf, true}, {revAtHalf, true}, {revAbove, false}, {APlugin::getOnOff(kNaN), false},
                {p->getOnOff(1024), false}, {p->getRevOnOff(-1), true}, {pathAt0999, 23},
                {APlugin::getSteppedValue(0.5f, 10.0f, 4), 3}, {APlugin::getSteppedValue(kNaN, 10.0f, 4), 0},
                {APlugin::getSteppedValue(kInf, 10.0f, 4), 3}, {p->getSteppedValue(1), 0},
                {p->getSteppedValue(1024), 0}, {p->getMenuNum(1024), -1}, {p->getMenuRange(-5), 1.0f});
  p->setSteppedValue(1, 3);  // not stepped: no change
  p->setSteppedValue(128, 30);
  EXPECT_VALUES({p->getParameter(1), 0.9f}, {p->getParameter(128), (23.0f + 0.1f) / 23.99f});
  p->setSteppedValue(1, 2, 9.99f, 4);
  EXPECT_VALUES({p->getParameter(1), 2.1f / 9.99f}, {p->getSteppedValue(1, 9.99f, 4), 2});

  // Every step the menus write reads back as the same step, in the store and in the texts,
  // which agree on each tag's step count and scale.
  int stepped = 0;
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const int count = p->getMenuNum(t);
    ASSERT_EQ(count, stepCountOf(t)) << t;
    if (count < 0) continue;
    ++stepped;
    EXPECT_EQ(p->getMenuRange(t), stepScaleOf(t)) << t;
    for (int n = 0; n < count; ++n) {
      p->setSteppedValue(t, n);
      ASSERT_EQ(p->getSteppedValue(t), n) << t;
      ASSERT_EQ(steppedValue(*p, t), n) << t;
    }
    p->setSteppedValue(t, -4);
    EXPECT_EQ(p->getSteppedValue(t), 0) << t;
  }
  EXPECT_EQ(stepped, 57);
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
  const std::vector<std::pair<int, float>> expected = {{40, 1.0f},  {40, 0.0f}, {40, 1.0f}, {40, 0.0f},
                                                       {1, 0.625f}, {41, 0.7f}, {42, 0.3f}, {43, 0.7f}};
  EXPECT_EQ(automated(host), expected);
  EXPECT_VALUES({p->getParameter(41), 0.7f}, {p->getParameter(42), 0.3f}, {p->getParameter(43), 0.7f});
}

TEST(ParameterStore, ChangeDeltaStepsInEachKindOfParameter) {
  struct Case {
    int tag;
    float start;
    int delta;
    float expected;
    bool automated;
  };
  // Stepped tags store (n + 0.1) / scale; path 23 ("Path 24") is the last and stays there,
  // told to the host and laid out again; switches go on for any delta >= 0.
  const Case cases[] = {{143, 0.0f, -1, 0.1f / 9.99f, false},
                        {143, 0.0f, +1, 1.1f / 9.99f, false},
                        {1, 0.995f, +1, 1.0f, false},
                        {1, 0.5f, -1, 0.49f, false},
                        {40, 0.0f, 0, 1.0f, true},
                        {40, 1.0f, -1, 0.0f, true},
                        {128, 0.0f, -1, 0.1f / 23.99f, true},
                        {128, 1.0f, +1, 23.1f / 23.99f, true},
                        {128, 23.1f / 23.99f, +1, 23.1f / 23.99f, true}};
  for (const Case& c : cases) {
    FakeHost host;
    auto p = std::make_unique<APlugin>(&FakeHost::callback);
    FakeEditorLink link;
    p->editorLink = &link;
    p->setParameter(c.tag, c.start);
    host.calls.clear();
    p->changeDelta(c.tag, c.delta);
    EXPECT_NEAR(p->getParameter(c.tag), c.expected, 1e-6f) << "tag " << c.tag << " delta " << c.delta;
    EXPECT_EQ(!automated(host).empty(), c.automated) << "tag " << c.tag;
    EXPECT_EQ(link.paths, c.tag == 128 ? 1 : 0);
  }
  // The distortion type is the editor's to change; without an editor nothing happens.
  auto p = std::make_unique<APlugin>(nullptr);
  p->changeDelta(129, +1);
  FakeEditorLink link;
  p->editorLink = &link;
  p->setSteppedValue(129, 51);
  const float type = p->getParameter(129);
  p->changeDelta(129, +1);
  p->changeDelta(1024, 1);
  p->changeDelta(-1, 1);
  EXPECT_EQ(link.distortTypes, std::vector<int>{52});
  EXPECT_VALUES({p->getParameter(129), type}, {link.paths, 0});
}

TEST(ParameterStore, DialModulationWithoutModulator) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(1, 0.4f);    // has a destination
  p->setParameter(241, 0.6f);  // wave-shaper amount: always plain
  p->setParameter(200, 0.2f);  // no destination
  for (bool on : {false, true}) {
    EXPECT_VALUES({p->getDialMod(1, on), 0.4f}, {p->getDialMod(241, on), 0.6f},
                  {p->getDialMod(200, on), 0.2f}, {p->getDialMod(1024, on), 0.0f},
                  {p->getDialMod(-1, on), 0.0f});
  }
}

TEST(ParameterStore, ConcurrentWritersNeverLeaveAForeignValue) {
  auto p = std::make_unique<APlugin>(nullptr);
  std::atomic<bool> stop{false};
  std::vector<std::thread> writers;
  for (int w = 0; w < 3; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < 20000; ++i) {
        p->setParameter(200 + (i % 10), (w % 2) ? 0.25f : 0.75f);
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

// ---- Typed values (dialogs scripted; the host counts automation) ----

TEST(NumEntry, BoxesAndConvertedAnswers) {
  NumEntryFixture f;
  // The box each kind of tag opens: the name, the range and the present value.
  const std::tuple<int, float, const char*, const char*> boxes[] = {
      {1, 0.625f, "-30 to 10 dB", "-5.0"},      {230, 0.5f, "-20 to 20 dB", "0.0"},
      {41, 0.5f, "-40 to 0 dB", "-20.0"},       {87, 0.25f, "-30 to 30 dB", "-15.0"},
      {229, 0.25f, "-100 to 100%", "-50.0"},    {245, 0.333f, "0 to 100%", "33.3"},
      {19, 0.3f, "20 Hz to 20000 Hz", "20 Hz"}, {3, 1.0f, "0 for Off, 1 for On", "On"}};
  for (const auto& [tag, start, hint, prefill] : boxes)
    EXPECT_EQ(f.enter(tag, start, std::nullopt).box, box(getParamName(*f.p, tag), hint, prefill)) << tag;
  // Answers and the values they store (NAN: nothing stored). No number reads 0; the answer is
  // stripped first ("1e3" is 13 dB) and read as typed ("Hz 440" has no leading number).
  const std::tuple<int, float, const char*, float> answers[] = {{1, 0.6f, "0", 0.75f},
                                                                {1, 0.6f, "20", 1.0f},
                                                                {1, 0.6f, "-40", 0.0f},
                                                                {1, 0.6f, "-12.5 dB", 0.4375f},
                                                                {1, 0.6f, "abc", 0.75f},
                                                                {1, 0.6f, "1e3", 1.0f},
                                                                {1, 0.6f, "", NAN},
                                                                {230, 0.5f, "10", 0.75f},
                                                                {87, 0.2f, "+15", 0.75f},
                                                                {2, 0.2f, "abc", 0.5f},
                                                                {229, 0.2f, "50%", 0.75f},
                                                                {7, 0.3f, "abc", 0.0f},
                                                                {19, 0.3f, "640", 0.5f},
                                                                {19, 0.3f, "20000", 0.99658f},
                                                                {53, 0.3f, "440 Hz", 0.44594f},
                                                                {48, 0.3f, "nan", 0.0f},
                                                                {48, 0.3f, "-5", 0.0f},
                                                                {48, 0.3f, "20.0001", 0.0f},
                                                                {48, 0.3f, "20480", 1.0f},
                                                                {48, 0.3f, "1e999", 1.0f},
                                                                {48, 0.3f, "Hz 440", 0.0f},
                                                                {3, 1.0f, "On", NAN},
                                                                {3, 1.0f, "0", 0.0f},
                                                                {246, 0.0f, "0.7", 1.0f}};
  for (const auto& [tag, start, answer, expected] : answers) {
    SCOPED_TRACE(std::to_string(tag) + " \"" + answer + "\"");
    const NumEntryFixture::Result r = f.enter(tag, start, std::string(answer));
    EXPECT_EQ(r.stores, std::isnan(expected) ? 0 : 1);
    EXPECT_NEAR(r.value, std::isnan(expected) ? start : expected, 1e-5f);
  }
}

TEST(NumEntry, TagsWithoutABoxAndCancelChangeNothing) {
  NumEntryFixture f;
  for (int tag : {0, 5, 66, 128, 129, 133, 240, 243, 247, 761, 1023, 1024, -1}) {
    const NumEntryFixture::Result r = f.enter(tag, 0.3f, std::string("0.5"));
    EXPECT_TRUE(r.box.empty()) << tag;
    EXPECT_EQ(r.stores, 0) << tag;
  }
  for (const numentry::Group& g : numentry::GROUPS) {
    for (int i = 0; i < g.tags.n; ++i) {
      const int tag = g.tags.v[static_cast<std::size_t>(i)].first;
      const NumEntryFixture::Result r = f.enter(tag, 0.3f, std::nullopt);
      EXPECT_EQ(r.box.empty(), g.kind == numentry::Kind::None) << tag;
      EXPECT_EQ(r.stores, 0) << tag;
      EXPECT_EQ(r.value, f.p->isOnOffTag(tag) ? 0.0f : 0.3f) << tag;
    }
  }
}

TEST(NumEntry, CommaLocaleReadsAndWritesPoints) {
  NumEntryFixture f;
  const testing_support::ScopedCommaLocale comma;
  if (!comma.active())
    GTEST_SKIP() << "no locale with a comma decimal point is installed or can be generated";
  EXPECT_NEAR(f.enter(7, 0.0f, std::string("12.5")).value, 0.125f, 1e-6f);
  EXPECT_NEAR(f.enter(1, 0.0f, std::string("-5.0")).value, 0.625f, 1e-6f);

  // Confirming the pre-fill moves a value by at most its rounding to 0.1 of the unit.
  int checked = 0;
  for (int tag = 1; tag <= numentry::LAST_ENTRY_TAG; ++tag) {
    const numentry::Group& g = numentry::groupOf(tag);
    if (g.kind != numentry::Kind::Linear && g.kind != numentry::Kind::Switch) continue;
    const float start = f.p->isOnOffTag(tag) ? 1.0f : 0.3337f;
    const std::string text = numentry::prefill(g, start);
    const NumEntryFixture::Result r = f.enter(tag, start, text);
    ASSERT_EQ(r.box.size(), 6u) << tag;
    EXPECT_EQ(r.box.back(), "--entry-text=" + text) << tag;
    EXPECT_EQ(text.find(','), std::string::npos) << tag;
    const float tolerance = g.kind == numentry::Kind::Linear ? 0.05f / g.law.slope + 1e-6f : 0.0f;
    EXPECT_NEAR(r.value, start, tolerance) << tag << " " << text;
    ++checked;
  }
  EXPECT_EQ(checked, 246 - 10 - 64);  // all but the ten frequencies and the tags without a box
}
