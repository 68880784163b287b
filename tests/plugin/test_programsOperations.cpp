// Program loads, built-in selection, snapshots, program names and the state chunk.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "plugin/uPlugin.h"
#include "plugin/uPluginPresetsBanks.h"
#include "plugin/uTagMap.h"
#include "support/fakeEditorLink.h"
#include "support/fakeHost.h"
#include "support/expectValues.h"

using testing_support::FakeEditorLink;
using testing_support::FakeHost;

namespace {

constexpr int kChunk = 4128;

std::unique_ptr<APlugin> makePlugin() { return std::make_unique<APlugin>(nullptr); }

intptr_t dispatch(APlugin& p, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
  AEffect* e = p.getAeffect();
  return e->dispatcher(e, opcode, index, value, ptr, 0.0f);
}

std::string programName(APlugin& p) {
  char text[kVstMaxProgNameLen];
  p.getProgramName(text);
  return text;
}

int findProgram(const char* name) {
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i)
    if (presets::demoProgramName(i) == name) return i;
  return -1;
}

void writeName(APlugin& p, const char* name) {
  float values[NUM_PARAMS] = {};
  tagmap::encodeNameTags(name, values);
  for (int k = 0; k < PROGRAM_NAME_LENGTH; ++k)
    p.setParameter(PROGRAM_NAME_FIRST_TAG + k, values[PROGRAM_NAME_FIRST_TAG + k]);
}

// Everything a program operation can change.
struct State {
  std::vector<float> current, edited, original, last, stored;
  std::string storedName;
  int number;
  bool changed;
  explicit State(APlugin& p) : storedName(p.programs.name), number(p.getCurDemoProgram()), changed(p.getEditChanged()) {
    for (int t = 0; t < NUM_PARAMS; ++t) {
      current.push_back(p.currentValues[t].load());
      edited.push_back(p.editedValues[t]);
      original.push_back(p.originalValues[t]);
      last.push_back(p.lastValues[t]);
      stored.push_back(p.programs.values[t]);
    }
  }
  bool operator==(const State&) const = default;
};

// Every snapshot holds built-in row n.
void expectLoaded(APlugin& p, int n) {
  ASSERT_EQ(p.getCurDemoProgram(), n);
  EXPECT_EQ(programName(p), presets::demoProgramName(n));
  EXPECT_STREQ(p.programs.name, std::string(presets::demoProgramName(n)).c_str());
  const float* row = presets::demoProgramRow(n);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    ASSERT_EQ(p.currentValues[t].load(), row[t]) << t;
    ASSERT_EQ(p.programs.values[t], row[t]) << t;
    ASSERT_EQ(p.editedValues[t], row[t]) << t;
    ASSERT_EQ(p.originalValues[t], row[t]) << t;
    ASSERT_EQ(p.lastValues[t], row[t]) << t;
  }
}

// An editor that also notes what the plug-in reports while it is being told things.
struct WatchingEditor : FakeEditorLink {
  APlugin* plugin = nullptr;
  int toldWhileLoading = 0;
  int resumesWhileRefreshing = 0;
  void setParameter(int tag, float value) override {
    FakeEditorLink::setParameter(tag, value);
    if (plugin->getIsSettingPreset()) ++toldWhileLoading;
  }
  void resume() override {
    FakeEditorLink::resume();
    if (plugin->refreshingEditor && !plugin->settingPreset) ++resumesWhileRefreshing;
  }
};

}  // namespace

TEST(Programs, ConstructionLoadsTheFirstBuiltInProgram) {
  auto p = makePlugin();
  expectLoaded(*p, 0);
  EXPECT_VALUES(
      {p->getEditChanged(), false}, {p->getIsSettingPreset(), false}, {p->getProgram(), 0},
      {p->getAeffect()->flags & kEffFlagProgramChunks, true});
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) EXPECT_EQ(std::string(p->getPresetName(i)), presets::demoProgramName(i));
  EXPECT_STREQ(p->getPresetName(-1), "None");
  EXPECT_STREQ(p->getPresetName(NUM_DEMO_PROGRAMS), "None");
}

TEST(Programs, OnlyProgramZeroExists) {
  auto p = makePlugin();
  p->setDemoProgram(7);
  p->setParameter(62, 0.77f);
  const State before(*p);
  p->setProgram(1);
  p->setProgram(-1);
  p->setProgram(INT_MIN);
  dispatch(*p, kEffSetProgram, 0, -1);
  dispatch(*p, kEffSetProgram, 0, 3);
  EXPECT_TRUE(State(*p) == before);
  // Nor does anything load while the editor is opening.
  p->editorOpening = true;
  p->setProgram(0);
  EXPECT_TRUE(State(*p) == before);
  p->editorOpening = false;
  // Program 0 reloads the row its name spells, dropping the edit.
  dispatch(*p, kEffSetProgram, 0, 0);
  expectLoaded(*p, 7);
  EXPECT_EQ(dispatch(*p, kEffGetProgram), 0);
}

TEST(Programs, BuiltInSelectionAndStepping) {
  auto p = makePlugin();
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  expectLoaded(*p, DEFAULT_DEMO_PROGRAM);
  EXPECT_EQ(programName(*p), "Default");
  p->setParameter(1, 0.3f);  // an edit that a refused number must not reload away
  const State before(*p);
  p->setDemoProgram(-1);
  p->setDemoProgram(NUM_DEMO_PROGRAMS);
  EXPECT_TRUE(State(*p) == before);

  p->setDemoProgram(2);
  p->changeDemoProgramDelta(-5);
  expectLoaded(*p, 0);
  p->changeDemoProgramDelta(+100);
  expectLoaded(*p, NUM_DEMO_PROGRAMS - 1);
  p->changeDemoProgramDelta(-1);
  expectLoaded(*p, NUM_DEMO_PROGRAMS - 2);
  p->changeDemoProgramDelta(INT_MAX);
  EXPECT_EQ(p->getCurDemoProgram(), NUM_DEMO_PROGRAMS - 1);
  p->setDemoProgram(0);
  p->changeDemoProgramDelta(INT_MIN);
  EXPECT_EQ(p->getCurDemoProgram(), 0);
}

TEST(Programs, ALoadRecallsTheRowItsNameSpellsWhateverTheOtherValues) {
  auto p = makePlugin();
  const int crusher = findProgram("Drum Crusher");
  ASSERT_GE(crusher, 0);
  for (int t = 1; t < PROGRAM_NAME_FIRST_TAG; ++t) p->setParameter(t, 0.37f);
  writeName(*p, "Drum Crusher");
  p->setProgram(0);
  expectLoaded(*p, crusher);
  // A name that is no built-in program loads the first.
  writeName(*p, "Drum Crusher 2");
  p->setProgram(0);
  expectLoaded(*p, 0);
}

TEST(Programs, LoadTagSelectsTheRowNamedByTheNameTags) {
  auto p = makePlugin();
  p->setDemoProgram(10);
  writeName(*p, "Default");
  const State before(*p);
  p->setParameter(LOAD_PROGRAM_TAG, 0.3f);
  EXPECT_EQ(p->getCurDemoProgram(), DEFAULT_DEMO_PROGRAM);
  const float* row = presets::demoProgramRow(DEFAULT_DEMO_PROGRAM);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const float expected = t == LOAD_PROGRAM_TAG ? 0.3f : row[t];
    ASSERT_EQ(p->currentValues[t].load(), expected) << t;
    ASSERT_EQ(p->programs.values[t], expected) << t;
    // Only the load tag's own write reaches the snapshots.
    if (t != LOAD_PROGRAM_TAG) {
      ASSERT_EQ(p->originalValues[t], before.original[t]) << t;
      ASSERT_EQ(p->editedValues[t], before.edited[t]) << t;
    }
  }
  for (const char* miss : {"default", "Nothing Like This", ""}) {
    p->setDemoProgram(10);
    writeName(*p, miss);
    p->setParameter(LOAD_PROGRAM_TAG, 0.0f);
    EXPECT_EQ(p->getCurDemoProgram(), 0) << miss;
    EXPECT_EQ(p->currentValues[DISTORT_TYPE_TAG].load(), presets::demoProgramRow(0)[DISTORT_TYPE_TAG]);
  }
  // Hostile name values are clamped before they become characters.
  p->setDemoProgram(10);
  p->programs.values[PROGRAM_NAME_FIRST_TAG] = std::numeric_limits<float>::quiet_NaN();
  p->programs.values[PROGRAM_NAME_FIRST_TAG + 1] = 1e30f;
  p->setParameter(LOAD_PROGRAM_TAG, 0.0f);
  EXPECT_EQ(p->getCurDemoProgram(), 0);
}

TEST(Programs, SnapshotsSwitchWithoutLoading) {
  auto p = makePlugin();
  p->setDemoProgram(5);
  const float* row = presets::demoProgramRow(5);
  p->setParameter(62, 0.77f);
  p->setParameter(1, 0.2f);
  EXPECT_TRUE(p->getEditChanged());

  p->origProgram();
  EXPECT_VALUES({p->getEditChanged(), false}, {p->getParameter(62), row[62]}, {p->programs.values[1], row[1]});

  p->editProgram();
  EXPECT_VALUES({p->getEditChanged(), true}, {p->getParameter(62), 0.77f}, {p->programs.values[1], 0.2f});

  p->defaultProgram();
  EXPECT_TRUE(p->getEditChanged());
  for (int t = 0; t < NUM_PROGRAM_VALUES; ++t) {
    ASSERT_EQ(p->getParameter(t), p->getDefault(t)) << t;
    ASSERT_EQ(p->editedValues[t], p->getDefault(t)) << t;
    ASSERT_EQ(p->programs.values[t], p->getDefault(t)) << t;
  }
  EXPECT_EQ(programName(*p), presets::demoProgramName(5));  // the name tags stay
  for (int k = 0; k < PROGRAM_NAME_LENGTH; ++k)
    EXPECT_EQ(p->getParameter(PROGRAM_NAME_FIRST_TAG + k), row[PROGRAM_NAME_FIRST_TAG + k]);

  // A load leaves the edited lamp as it was; only origProgram puts it out.
  p->setDemoProgram(6);
  EXPECT_TRUE(p->getEditChanged());
  p->origProgram();
  p->setDemoProgram(7);
  EXPECT_FALSE(p->getEditChanged());
}

TEST(Programs, AnOpenEditorFollowsTheLoadAndRedrawsOnce) {
  auto p = makePlugin();
  WatchingEditor editor;
  editor.plugin = p.get();
  p->editorLink = &editor;
  p->setDemoProgram(4);  // the editor is not open yet: told nothing
  EXPECT_EQ(editor.resumes, 0);
  EXPECT_TRUE(editor.parameters.empty());

  p->editorOpen = true;
  p->setDemoProgram(8);
  EXPECT_EQ(editor.resumes, 1);
  EXPECT_EQ(editor.resumesWhileRefreshing, 1);
  ASSERT_GE(editor.parameters.size(), static_cast<std::size_t>(NUM_PARAMS));
  EXPECT_VALUES(
      {editor.toldWhileLoading, static_cast<int>(editor.parameters.size())}, {p->getIsSettingPreset(), false},
      {p->refreshingEditor, false});
  // The values it was told are the new row's.
  const float* row = presets::demoProgramRow(8);
  for (const auto& [tag, value] : editor.parameters) ASSERT_EQ(value, row[tag]) << tag;
}

TEST(Programs, NamesForTheHostFitItsBuffer) {
  auto p = makePlugin();
  char text[kVstMaxProgNameLen + 8];
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    p->setDemoProgram(i);
    std::memset(text, 'X', sizeof(text));
    EXPECT_EQ(dispatch(*p, kEffGetProgramName, 0, 0, text), 0);
    EXPECT_EQ(std::string(text), presets::demoProgramName(i));
    for (std::size_t k = kVstMaxProgNameLen; k < sizeof(text); ++k) ASSERT_EQ(text[k], 'X');
  }
  // A longer name in a slot is cut and terminated inside the 24 bytes.
  std::memset(p->demoProgramNames[0], 'L', 40);
  p->demoProgramNames[0][40] = 0;
  p->curDemoProgram = 0;
  std::memset(text, 'X', sizeof(text));
  p->getProgramName(text);
  EXPECT_EQ(std::string(text), std::string(kVstMaxProgNameLen - 1, 'L'));
  EXPECT_EQ(text[kVstMaxProgNameLen], 'X');
  // Outside the bank the program is "None".
  p->curDemoProgram = 77;
  EXPECT_EQ(programName(*p), "None");

  p->curDemoProgram = 2;
  std::memset(text, 'X', sizeof(text));
  EXPECT_EQ(dispatch(*p, kEffGetProgramNameIndexed, 0, 0, text), 1);
  EXPECT_EQ(std::string(text), presets::demoProgramName(2));
  std::memset(text, 'X', sizeof(text));
  EXPECT_EQ(dispatch(*p, kEffGetProgramNameIndexed, 1, 0, text), 0);
  EXPECT_EQ(dispatch(*p, kEffGetProgramNameIndexed, -1, 0, text), 0);
  EXPECT_EQ(text[0], 'X');  // nothing written
  EXPECT_FALSE(p->getProgramNameIndexed(0, 0, nullptr));

  // Renaming is not possible.
  char rename[] = "Renamed";
  dispatch(*p, kEffSetProgramName, 0, 0, rename);
  EXPECT_EQ(programName(*p), presets::demoProgramName(2));
}

// ---- State chunk ----

std::vector<unsigned char> chunkOf(APlugin& p, bool isPreset) {
  void* data = nullptr;
  const int32_t size = p.getChunk(&data, isPreset);
  if (size != kChunk || !data) return {};
  return {static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size};
}

// Bit patterns, so that NaN or -0 would not pass for a value.
std::vector<uint32_t> parameterBits(APlugin& p) {
  std::vector<uint32_t> bits(NUM_PARAMS);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const float v = p.getParameter(t);
    std::memcpy(&bits[t], &v, sizeof(v));
  }
  return bits;
}

TEST(Chunk, ARestoreBringsBackEveryValueAndTheName) {
  for (const bool isPreset : {false, true}) {
    SCOPED_TRACE(isPreset ? "program chunk" : "bank chunk");
    // Untouched: a fresh instance restored from it reports the same 1024 values.
    auto fresh = makePlugin();
    const auto untouched = chunkOf(*fresh, isPreset);
    ASSERT_EQ(untouched.size(), static_cast<std::size_t>(kChunk));
    auto b = makePlugin();
    b->setDemoProgram(9);
    EXPECT_EQ(b->setChunk(std::vector<unsigned char>(untouched).data(), kChunk, isPreset), 1);
    EXPECT_EQ(parameterBits(*b), parameterBits(*fresh));
    EXPECT_FALSE(b->getEditChanged());

    // Edited: the volume and the distortion type come back, and so does the chunk itself.
    auto a = makePlugin();
    a->setDemoProgram(17);
    a->setParameter(VOLUME_TAG, 0.3f);
    const int type = (a->getSteppedValue(DISTORT_TYPE_TAG) + 1) % a->getMenuNum(DISTORT_TYPE_TAG);
    a->setSteppedValue(DISTORT_TYPE_TAG, type);
    const auto edited = chunkOf(*a, isPreset);
    ASSERT_EQ(edited.size(), static_cast<std::size_t>(kChunk));
    void* data = nullptr;
    a->getChunk(&data, isPreset);
    EXPECT_EQ(data, isPreset ? static_cast<void*>(&a->programChunkBuffer) : static_cast<void*>(&a->bankChunkBuffer));
    float savedVolume;
    std::memcpy(&savedVolume, edited.data() + VOLUME_TAG * 4, 4);
    EXPECT_EQ(savedVolume, 0.3f);
    // Bytes 4096..4127: the name, terminated, zero-filled.
    const std::string name(presets::demoProgramName(17));
    EXPECT_EQ(std::memcmp(edited.data() + 4096, name.c_str(), name.size() + 1), 0);
    for (int k = 4096 + static_cast<int>(name.size()); k < kChunk; ++k) EXPECT_EQ(edited[k], 0) << k;

    auto c = makePlugin();
    c->setParameter(3, 1.0f);
    EXPECT_EQ(c->setChunk(std::vector<unsigned char>(edited).data(), kChunk, isPreset), 1);
    EXPECT_EQ(c->getParameter(VOLUME_TAG), 0.3f);
    EXPECT_EQ(c->getSteppedValue(DISTORT_TYPE_TAG), type);
    EXPECT_EQ(parameterBits(*c), parameterBits(*a));
    EXPECT_EQ(chunkOf(*c, isPreset), edited);
    EXPECT_EQ(programName(*c), name);
    EXPECT_EQ(c->getCurDemoProgram(), 17);
    EXPECT_FALSE(c->getIsSettingPreset());

    // Snapshots: "Original" is the built-in program, the edits are the restored values.
    EXPECT_TRUE(c->getEditChanged());
    const float* row = presets::demoProgramRow(17);
    for (int t = 0; t < NUM_PARAMS; ++t) {
      ASSERT_EQ(c->originalValues[t], row[t]) << t;
      ASSERT_EQ(c->editedValues[t], a->getParameter(t)) << t;
      ASSERT_EQ(c->lastValues[t], a->getParameter(t)) << t;
    }
    c->origProgram();
    EXPECT_EQ(c->getParameter(VOLUME_TAG), row[VOLUME_TAG]);
    c->editProgram();
    EXPECT_EQ(c->getParameter(VOLUME_TAG), 0.3f);

    // Choosing the program afterwards still loads the built-in row, by every route.
    for (const auto& choose : std::vector<std::function<void(APlugin&)>>{
             [](APlugin& p) { dispatch(p, kEffSetProgram, 0, 0); },
             [](APlugin& p) { p.setParameter(LOAD_PROGRAM_TAG, 0.0f); },
             [](APlugin& p) { p.setDemoProgram(17); }}) {
      EXPECT_EQ(c->setChunk(std::vector<unsigned char>(edited).data(), kChunk, isPreset), 1);
      choose(*c);
      EXPECT_EQ(c->getParameter(VOLUME_TAG), row[VOLUME_TAG]);
      EXPECT_EQ(c->getParameter(DISTORT_TYPE_TAG), row[DISTORT_TYPE_TAG]);
    }
  }
}

TEST(Chunk, TheNameSelectsTheNumberAndTheOriginalNotTheValues) {
  struct Case {
    const char* name;
    int number;  // the built-in program reported afterwards
  };
  const Case cases[] = {{"Default", DEFAULT_DEMO_PROGRAM}, {"Drum Crusher", findProgram("Drum Crusher")},
                        {"My Own Sound", 0}, {"", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_GE(c.number, 0);
    std::vector<float> values(NUM_PARAMS + 8, 0.0f);
    for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) values[t] = static_cast<float>(t % 97) / 96.0f;
    tagmap::encodeNameTags(c.name, values.data());
    std::strncpy(reinterpret_cast<char*>(values.data() + NUM_PARAMS), c.name, 31);
    auto p = makePlugin();
    EXPECT_EQ(p->setChunk(values.data(), kChunk, false), 1);
    EXPECT_EQ(p->getCurDemoProgram(), c.number);
    EXPECT_EQ(programName(*p), presets::demoProgramName(c.number));
    EXPECT_STREQ(p->programs.name, c.name);
    EXPECT_TRUE(p->getEditChanged());
    for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) {
      const float expected = p->isOnOffTag(t) ? (values[t] >= 0.5f ? 1.0f : 0.0f) : values[t];
      ASSERT_EQ(p->getParameter(t), expected) << t;
      ASSERT_EQ(p->originalValues[t], presets::demoProgramRow(c.number)[t]) << t;
    }
  }
}

TEST(Chunk, ShortOrMissingChunksChangeNothing) {
  auto p = makePlugin();
  p->setDemoProgram(9);
  p->setParameter(62, 0.77f);
  const State before(*p);
  std::vector<unsigned char> chunk(kChunk + 16, 0);
  void* data = nullptr;
  ASSERT_EQ(p->getChunk(&data, false), kChunk);
  std::memcpy(chunk.data(), data, kChunk);
  const float defaultName[PROGRAM_NAME_LENGTH] = {};
  std::memcpy(chunk.data() + PROGRAM_NAME_FIRST_TAG * 4, defaultName, sizeof(defaultName));
  for (bool isPreset : {false, true}) {
    EXPECT_VALUES(
        {p->setChunk(nullptr, kChunk, isPreset), 0}, {p->setChunk(chunk.data(), kChunk - 1, isPreset), 0},
        {p->setChunk(chunk.data(), 0, isPreset), 0}, {p->setChunk(chunk.data(), -kChunk, isPreset), 0},
        {dispatch(*p, kEffSetChunk, isPreset ? 1 : 0, kChunk, nullptr), 0}, {p->getChunk(nullptr, isPreset), 0});
  }
  EXPECT_TRUE(State(*p) == before);
  // A longer chunk is read up to its first 4128 bytes.
  EXPECT_VALUES(
      {p->setChunk(chunk.data(), kChunk + 16, false), 1}, {p->getCurDemoProgram(), 0}, {p->getParameter(62), 0.77f});
}

TEST(Chunk, HostileChunksAreCleanedBeforeTheyAreKept) {
  auto p = makePlugin();
  std::vector<float> values(NUM_PARAMS + 8, std::numeric_limits<float>::quiet_NaN());
  for (int t = 0; t < NUM_PARAMS; t += 3) values[t] = 1e30f;
  for (int t = 1; t < NUM_PARAMS; t += 3) values[t] = -std::numeric_limits<float>::infinity();
  tagmap::encodeNameTags("Default", values.data());
  auto* name = reinterpret_cast<char*>(values.data() + NUM_PARAMS);
  std::memset(name, 'N', 32);  // an unterminated name field
  EXPECT_EQ(p->setChunk(values.data(), kChunk, false), 1);
  EXPECT_EQ(p->getCurDemoProgram(), DEFAULT_DEMO_PROGRAM);
  EXPECT_EQ(std::string(p->programs.name), std::string(31, 'N'));
  for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) ASSERT_EQ(p->getParameter(t), t % 3 == 0 ? 1.0f : 0.0f) << t;

  // Garbage name tags select row 0; nothing outside 0..1 is kept.
  for (int k = 0; k < PROGRAM_NAME_LENGTH; ++k) values[PROGRAM_NAME_FIRST_TAG + k] = k % 2 ? -7.0f : 1e9f;
  EXPECT_EQ(p->setChunk(values.data(), kChunk, true), 1);
  EXPECT_EQ(p->getCurDemoProgram(), 0);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const float v = p->getParameter(t);
    ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << t;
  }

  // A host may give back the very buffer it got.
  p->setDemoProgram(12);
  p->setParameter(VOLUME_TAG, 0.3f);
  void* data = nullptr;
  const int32_t size = p->getChunk(&data, false);
  const std::vector<unsigned char> before(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
  EXPECT_EQ(p->setChunk(data, size, false), 1);
  EXPECT_EQ(p->getCurDemoProgram(), 12);
  EXPECT_EQ(p->getParameter(VOLUME_TAG), 0.3f);
  EXPECT_EQ(chunkOf(*p, false), before);
}

TEST(Chunk, TheHostsIdentityChoosesTheRules) {
  struct Rule {
    const char* vendor;
    const char* product;
    bool bank, program;
    ProgramChunk APlugin::*bankBuffer;
  };
  const Rule rules[] = {
      {"Test Vendor", "Test Product", true, true, &APlugin::bankChunkBuffer},
      {"Propellerhead Software", "Reason", true, true, &APlugin::bankChunkBuffer},
      {"Someone", "VELDRA", true, false, &APlugin::bankChunkBuffer},
      {"Native Instruments", "Maschine Host", true, false, &APlugin::programChunkBuffer},
      {"Native Instruments", "Kore Player", false, false, nullptr},
      // Two rows at once: Maschine's rules first, then Propellerhead's.
      {"Propellerhead", "KORE 2", true, true, &APlugin::bankChunkBuffer},
      {"Prop", "veldra", true, true, &APlugin::bankChunkBuffer},
      {"Prop", "MASCHINE HOST", true, false, &APlugin::programChunkBuffer},
  };
  const int target = findProgram("Tube Preamp");
  ASSERT_GE(target, 0);
  auto source = makePlugin();
  source->setDemoProgram(target);
  source->setParameter(VOLUME_TAG, 0.3f);
  const auto chunk = chunkOf(*source, false);
  ASSERT_EQ(chunk.size(), static_cast<std::size_t>(kChunk));

  for (const Rule& r : rules) {
    SCOPED_TRACE(std::string(r.vendor) + " / " + r.product);
    FakeHost host;
    host.vendor = r.vendor;
    host.product = r.product;
    auto p = std::make_unique<APlugin>(&FakeHost::callback);
    EXPECT_TRUE(p->getAeffect()->flags & kEffFlagProgramChunks);
    void* out = nullptr;
    EXPECT_EQ(dispatch(*p, kEffGetChunk, 0, 0, &out), r.bank ? kChunk : 0);
    if (r.bank) {
      EXPECT_EQ(out, &(p.get()->*r.bankBuffer));
    }
    out = nullptr;
    EXPECT_EQ(dispatch(*p, kEffGetChunk, 1, 0, &out), r.program ? kChunk : 0);
    if (r.program) {
      EXPECT_EQ(out, &p->programChunkBuffer);
    }

    std::vector<unsigned char> copy = chunk;
    EXPECT_VALUES(
        {dispatch(*p, kEffSetChunk, 1, kChunk, copy.data()), 1}, {p->getCurDemoProgram(), r.program ? target : 0},
        {p->getParameter(VOLUME_TAG), r.program ? 0.3f : presets::demoProgramRow(0)[VOLUME_TAG]});
    p->setDemoProgram(1);
    copy = chunk;
    EXPECT_VALUES(
        {dispatch(*p, kEffSetChunk, 0, kChunk, copy.data()), 1}, {p->getCurDemoProgram(), r.bank ? target : 1},
        {p->getParameter(VOLUME_TAG), r.bank ? 0.3f : presets::demoProgramRow(1)[VOLUME_TAG]});
  }
}

TEST(Chunk, SwitchValuesSettleOnOffOrOnAtOneHalf) {
  auto p = makePlugin();
  void* data = nullptr;
  ASSERT_EQ(p->getChunk(&data, false), kChunk);
  ProgramChunk chunk;
  std::memcpy(&chunk, data, sizeof chunk);
  ASSERT_TRUE(p->isOnOffTag(3) && p->isOnOffTag(4));
  chunk.values[3] = 0.45f;
  chunk.values[4] = 0.5f;
  ASSERT_EQ(p->setChunk(&chunk, kChunk, false), 1);
  EXPECT_EQ(p->getParameter(3), 0.0f);
  EXPECT_EQ(p->getParameter(4), 1.0f);
}

TEST(Chunk, RestoresRacingProgramChangesLeaveAValidProgram) {
  // A host restoring state while MIDI program changes arrive on the audio thread (between
  // blocks: the engine's reset waits for the next one).
  auto p = makePlugin();
  p->resume();
  auto source = makePlugin();
  source->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  void* data = nullptr;
  ASSERT_EQ(source->getChunk(&data, false), kChunk);
  std::vector<unsigned char> chunk(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + kChunk);
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    for (int i = 0; !stop.load(); ++i) {
      p->setDemoProgram(i % NUM_DEMO_PROGRAMS);
      p->setParameter(i % NUM_PARAMS, 0.25f);
    }
  });
  for (int i = 0; i < 200; ++i) {
    std::vector<unsigned char> copy = chunk;
    EXPECT_EQ(p->setChunk(copy.data(), kChunk, i % 2 == 0), 1);
    void* out = nullptr;
    EXPECT_EQ(p->getChunk(&out, false), kChunk);
  }
  stop = true;
  audio.join();
  const int n = p->getCurDemoProgram();
  ASSERT_TRUE(n >= 0 && n < NUM_DEMO_PROGRAMS);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const float v = p->getParameter(t);
    ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << t;
  }
  // Once quiet, a load is whole again.
  p->suspend();
  p->setProgram(0);
  expectLoaded(*p, p->getCurDemoProgram());
}
