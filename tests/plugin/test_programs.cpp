// Program loads, built-in selection, snapshots, program names and the state chunk (a saved
// session must bring back exactly what the user set); the defaults, names held in tags and the
// built-in bank as data.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <set>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "plugin/uPlugin.h"
#include "plugin/uPluginPresetsBanks.h"
#include "plugin/uTagMap.h"
#include "support/expectValues.h"
#include "support/fakeEditorLink.h"
#include "support/fakeHost.h"

using testing_support::FakeHost;

namespace {

constexpr int kChunk = 4128;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

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

void writeName(APlugin& p, const char* name) {
  float values[NUM_PARAMS] = {};
  tagmap::encodeNameTags(name, values);
  for (int k = 0; k < PROGRAM_NAME_LENGTH; ++k)
    p.setParameter(PROGRAM_NAME_FIRST_TAG + k, values[PROGRAM_NAME_FIRST_TAG + k]);
}

// Everything a program operation can change, snapshot by snapshot.
std::vector<std::vector<float>> state(APlugin& p) {
  std::vector<std::vector<float>> s(6);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    s[0].push_back(p.currentValues[t].load());
    s[1].push_back(p.editedValues[t]);
    s[2].push_back(p.originalValues[t]);
    s[3].push_back(p.lastValues[t]);
    s[4].push_back(p.programs.values[t]);
  }
  s[5] = {static_cast<float>(p.getCurDemoProgram()), static_cast<float>(p.getEditChanged())};
  return s;
}

// Every snapshot holds built-in row n.
void expectLoaded(APlugin& p, int n) {
  ASSERT_EQ(p.getCurDemoProgram(), n);
  EXPECT_EQ(programName(p), presets::demoProgramName(n));
  EXPECT_EQ(std::string(p.programs.name), presets::demoProgramName(n));
  const std::vector<float> row(presets::demoProgramRow(n), presets::demoProgramRow(n) + NUM_PARAMS);
  const auto s = state(p);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(s[k], row) << "snapshot " << k;
}

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

std::string decode(const float* values) {
  char text[PROGRAM_NAME_LENGTH + 1];
  std::memset(text, 'q', sizeof(text));
  tagmap::decodeNameTags(values, text);
  return text;
}

int stepOf(const float* row, int tag) {
  const tagmap::Row& r = tagmap::rowOf(tag);
  return std::min(static_cast<int>(row[tag] * r.scale + 0.1f), r.steps - 1);
}

// An editor that also notes what the plug-in reports while it is being told things.
struct WatchingEditor : testing_support::FakeEditorLink {
  APlugin* plugin = nullptr;
  int toldWhileLoading = 0;
  int resumesWhileRefreshing = 0;
  void setParameter(int tag, float value) override {
    FakeEditorLink::setParameter(tag, value);
    toldWhileLoading += plugin->getIsSettingPreset();
  }
  void resume() override {
    FakeEditorLink::resume();
    resumesWhileRefreshing += plugin->refreshingEditor && !plugin->settingPreset;
  }
};

}  // namespace

TEST(Programs, ConstructionLoadsTheFirstBuiltInProgramAndOnlyProgramZeroExists) {
  auto p = makePlugin();
  expectLoaded(*p, 0);
  EXPECT_VALUES({p->getEditChanged(), false}, {p->getIsSettingPreset(), false}, {p->getProgram(), 0});
  EXPECT_EQ(std::string(p->getPresetName(49)), presets::demoProgramName(49));
  EXPECT_STREQ(p->getPresetName(-1), "None");
  EXPECT_STREQ(p->getPresetName(NUM_DEMO_PROGRAMS), "None");

  p->setDemoProgram(7);
  p->setParameter(62, 0.77f);
  const auto before = state(*p);
  for (int bad : {1, -1, INT_MIN}) p->setProgram(bad);
  dispatch(*p, kEffSetProgram, 0, 3);
  p->editorOpening = true;  // nor does anything load while the editor is opening
  p->setProgram(0);
  EXPECT_EQ(state(*p), before);
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
  p->setParameter(1, 0.3f);  // an edit that a refused number must not reload away
  const auto before = state(*p);
  p->setDemoProgram(-1);
  p->setDemoProgram(NUM_DEMO_PROGRAMS);
  EXPECT_EQ(state(*p), before);
  struct Step {
    int delta, program;
  };
  const Step steps[] = {{-5, 0}, {+100, NUM_DEMO_PROGRAMS - 1}, {-1, NUM_DEMO_PROGRAMS - 2},
                        {INT_MAX, NUM_DEMO_PROGRAMS - 1}, {INT_MIN, 0}};
  for (const Step& s : steps) {
    p->changeDemoProgramDelta(s.delta);
    expectLoaded(*p, s.program);
  }
}

// setProgram(0) and the load tag recall the row the name tags spell, whatever the other values;
// a name that is no built-in program, or name tags holding garbage, load the first. Only the
// load tag's own write reaches the snapshots when it loads.
TEST(Programs, ALoadRecallsTheRowItsNameSpells) {
  const int crusher = presets::findDemoProgram("Drum Crusher");
  ASSERT_GT(crusher, 0);
  auto p = makePlugin();
  for (const auto& [name, n] : std::vector<std::pair<const char*, int>>{{"Drum Crusher", crusher},
                                                                        {"Drum Crusher 2", 0},
                                                                        {"default", 0},
                                                                        {"", 0}}) {
    for (int t = 1; t < PROGRAM_NAME_FIRST_TAG; ++t) p->setParameter(t, 0.37f);
    writeName(*p, name);
    p->setProgram(0);
    expectLoaded(*p, n);
  }
  p->setDemoProgram(10);
  writeName(*p, "Default");
  const auto before = state(*p);
  p->setParameter(LOAD_PROGRAM_TAG, 0.3f);
  ASSERT_EQ(p->getCurDemoProgram(), DEFAULT_DEMO_PROGRAM);
  const float* def = presets::demoProgramRow(DEFAULT_DEMO_PROGRAM);
  std::vector<float> row(def, def + NUM_PARAMS);
  row[LOAD_PROGRAM_TAG] = 0.3f;
  auto after = state(*p);
  EXPECT_EQ(after[0], row);
  EXPECT_EQ(after[4], row);
  after[1][LOAD_PROGRAM_TAG] = before[1][LOAD_PROGRAM_TAG];
  after[2][LOAD_PROGRAM_TAG] = before[2][LOAD_PROGRAM_TAG];
  EXPECT_EQ(after[1], before[1]);
  EXPECT_EQ(after[2], before[2]);

  p->programs.values[PROGRAM_NAME_FIRST_TAG] = kNaN;  // clamped before it becomes a character
  p->programs.values[PROGRAM_NAME_FIRST_TAG + 1] = 1e30f;
  p->setParameter(LOAD_PROGRAM_TAG, 0.5f);
  EXPECT_VALUES({p->getCurDemoProgram(), 0}, {p->getParameter(LOAD_PROGRAM_TAG), 0.5f});
}

TEST(Programs, SnapshotsSwitchWithoutLoading) {
  auto p = makePlugin();
  p->setDemoProgram(5);
  const float* row = presets::demoProgramRow(5);
  p->setParameter(62, 0.77f);
  p->setParameter(1, 0.2f);
  p->origProgram();
  EXPECT_VALUES({p->getEditChanged(), false}, {p->getParameter(62), row[62]}, {p->programs.values[1], row[1]});
  p->editProgram();
  EXPECT_VALUES({p->getEditChanged(), true}, {p->getParameter(62), 0.77f}, {p->programs.values[1], 0.2f});
  p->defaultProgram();
  EXPECT_TRUE(p->getEditChanged());
  for (int t = 0; t < NUM_PROGRAM_VALUES; ++t) {
    ASSERT_EQ(p->getParameter(t), p->getDefault(t)) << t;
    ASSERT_EQ(p->editedValues[t], p->getDefault(t)) << t;
  }
  EXPECT_EQ(programName(*p), presets::demoProgramName(5));  // the name tags stay
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
  EXPECT_VALUES({editor.resumes, 0}, {editor.parameters.size(), 0u});
  p->editorOpen = true;
  p->setDemoProgram(8);
  ASSERT_GE(editor.parameters.size(), static_cast<std::size_t>(NUM_PARAMS));
  EXPECT_VALUES(
      {editor.resumes, 1}, {editor.resumesWhileRefreshing, 1},
      {editor.toldWhileLoading, static_cast<int>(editor.parameters.size())}, {p->getIsSettingPreset(), false});
  for (const auto& [tag, value] : editor.parameters) ASSERT_EQ(value, presets::demoProgramRow(8)[tag]) << tag;
}

TEST(Programs, NamesForTheHostFitItsBuffer) {
  auto p = makePlugin();
  char text[kVstMaxProgNameLen + 8];
  p->setDemoProgram(2);
  std::memset(text, 'X', sizeof(text));
  EXPECT_EQ(dispatch(*p, kEffGetProgramNameIndexed, 0, 0, text), 1);
  EXPECT_EQ(std::string(text), presets::demoProgramName(2));
  std::memset(text, 'X', sizeof(text));
  EXPECT_VALUES(
      {dispatch(*p, kEffGetProgramNameIndexed, 1, 0, text), 0}, {dispatch(*p, kEffGetProgramNameIndexed, -1, 0, text), 0},
      {text[0], 'X'}, {p->getProgramNameIndexed(0, 0, nullptr), false});
  char rename[] = "Renamed";  // renaming is not possible
  dispatch(*p, kEffSetProgramName, 0, 0, rename);
  EXPECT_EQ(programName(*p), presets::demoProgramName(2));
  // A longer name in a slot is cut and terminated inside the 24 bytes.
  std::memset(p->demoProgramNames[0], 'L', 40);
  p->demoProgramNames[0][40] = 0;
  p->curDemoProgram = 0;
  std::memset(text, 'X', sizeof(text));
  EXPECT_EQ(dispatch(*p, kEffGetProgramName, 0, 0, text), 0);
  EXPECT_EQ(std::string(text), std::string(kVstMaxProgNameLen - 1, 'L'));
  EXPECT_EQ(text[kVstMaxProgNameLen], 'X');
  p->curDemoProgram = 77;  // outside the bank the program is "None"
  EXPECT_EQ(programName(*p), "None");
}

// ---- State chunk ----

TEST(Chunk, ARestoreBringsBackEveryValueAndTheName) {
  for (const bool isPreset : {false, true}) {
    SCOPED_TRACE(isPreset ? "program chunk" : "bank chunk");
    // Untouched: a fresh instance restored from it reports the same 1024 values.
    auto fresh = makePlugin();
    auto untouched = chunkOf(*fresh, isPreset);
    ASSERT_EQ(untouched.size(), static_cast<std::size_t>(kChunk));
    auto b = makePlugin();
    b->setDemoProgram(9);
    EXPECT_EQ(b->setChunk(untouched.data(), kChunk, isPreset), 1);
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
    float savedVolume;
    std::memcpy(&savedVolume, edited.data() + VOLUME_TAG * 4, 4);
    EXPECT_EQ(savedVolume, 0.3f);
    // Bytes 4096..4127: the name, terminated, zero-filled.
    const std::string name(presets::demoProgramName(17));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(edited.data()) + 4096), name);
    for (int k = 4096 + static_cast<int>(name.size()); k < kChunk; ++k) EXPECT_EQ(edited[k], 0) << k;

    auto c = makePlugin();
    c->setParameter(3, 1.0f);
    EXPECT_EQ(c->setChunk(std::vector<unsigned char>(edited).data(), kChunk, isPreset), 1);
    EXPECT_EQ(parameterBits(*c), parameterBits(*a));
    EXPECT_EQ(chunkOf(*c, isPreset), edited);
    EXPECT_VALUES(
        {c->getParameter(VOLUME_TAG), 0.3f}, {c->getSteppedValue(DISTORT_TYPE_TAG), type},
        {c->getCurDemoProgram(), 17}, {c->getIsSettingPreset(), false}, {c->getEditChanged(), true});
    EXPECT_EQ(programName(*c), name);

    // Snapshots: "Original" is the built-in program, the edits are the restored values.
    const float* row = presets::demoProgramRow(17);
    const auto s = state(*c);
    EXPECT_EQ(s[2], std::vector<float>(row, row + NUM_PARAMS));
    EXPECT_EQ(s[1], s[0]);
    EXPECT_EQ(s[3], s[0]);
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
      EXPECT_VALUES(
          {c->getParameter(VOLUME_TAG), row[VOLUME_TAG]}, {c->getParameter(DISTORT_TYPE_TAG), row[DISTORT_TYPE_TAG]});
    }
  }
}

// The name selects the program number and the "Original" snapshot, never the values; switch
// values settle off below one half and on from it.
TEST(Chunk, TheNameSelectsTheNumberAndTheOriginalNotTheValues) {
  for (const auto& [name, n] : std::vector<std::pair<const char*, int>>{
           {"Default", DEFAULT_DEMO_PROGRAM}, {"Drum Crusher", presets::findDemoProgram("Drum Crusher")},
           {"My Own Sound", 0}, {"", 0}}) {
    SCOPED_TRACE(name);
    std::vector<float> values(NUM_PARAMS + 8, 0.0f);
    for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) values[t] = static_cast<float>(t % 97) / 96.0f;
    values[3] = 0.45f;
    values[4] = 0.5f;
    tagmap::encodeNameTags(name, values.data());
    std::strncpy(reinterpret_cast<char*>(values.data() + NUM_PARAMS), name, 31);
    auto p = makePlugin();
    ASSERT_TRUE(p->isOnOffTag(3) && p->isOnOffTag(4));
    EXPECT_EQ(p->setChunk(values.data(), kChunk, false), 1);
    EXPECT_VALUES({p->getCurDemoProgram(), n}, {p->getEditChanged(), true}, {p->getParameter(3), 0.0f},
                  {p->getParameter(4), 1.0f});
    EXPECT_EQ(programName(*p), presets::demoProgramName(n));
    EXPECT_STREQ(p->programs.name, name);
    for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) {
      const float expected = p->isOnOffTag(t) ? (values[t] >= 0.5f ? 1.0f : 0.0f) : values[t];
      ASSERT_EQ(p->getParameter(t), expected) << t;
      ASSERT_EQ(p->originalValues[t], presets::demoProgramRow(n)[t]) << t;
    }
  }
}

TEST(Chunk, ShortOrMissingChunksChangeNothing) {
  auto p = makePlugin();
  p->setDemoProgram(9);
  p->setParameter(62, 0.77f);
  const auto before = state(*p);
  std::vector<unsigned char> chunk = chunkOf(*p, false);
  chunk.resize(kChunk + 16);
  std::memset(chunk.data() + PROGRAM_NAME_FIRST_TAG * 4, 0, PROGRAM_NAME_LENGTH * 4);  // names row 0
  for (bool isPreset : {false, true}) {
    EXPECT_VALUES(
        {p->setChunk(nullptr, kChunk, isPreset), 0}, {p->setChunk(chunk.data(), kChunk - 1, isPreset), 0},
        {p->setChunk(chunk.data(), 0, isPreset), 0}, {p->setChunk(chunk.data(), -kChunk, isPreset), 0},
        {dispatch(*p, kEffSetChunk, isPreset ? 1 : 0, kChunk, nullptr), 0}, {p->getChunk(nullptr, isPreset), 0});
  }
  EXPECT_EQ(state(*p), before);
  // A longer chunk is read up to its first 4128 bytes.
  EXPECT_VALUES(
      {p->setChunk(chunk.data(), kChunk + 16, false), 1}, {p->getCurDemoProgram(), 0}, {p->getParameter(62), 0.77f});
}

TEST(Chunk, HostileChunksAreCleanedBeforeTheyAreKept) {
  auto p = makePlugin();
  std::vector<float> values(NUM_PARAMS + 8, kNaN);
  for (int t = 0; t < NUM_PARAMS; t += 3) values[t] = 1e30f;
  for (int t = 1; t < NUM_PARAMS; t += 3) values[t] = -std::numeric_limits<float>::infinity();
  tagmap::encodeNameTags("Default", values.data());
  std::memset(values.data() + NUM_PARAMS, 'N', 32);  // an unterminated name field
  EXPECT_EQ(p->setChunk(values.data(), kChunk, false), 1);
  EXPECT_EQ(p->getCurDemoProgram(), DEFAULT_DEMO_PROGRAM);
  EXPECT_EQ(std::string(p->programs.name), std::string(31, 'N'));
  for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) ASSERT_EQ(p->getParameter(t), t % 3 == 0 ? 1.0f : 0.0f) << t;

  // Garbage name tags select row 0; nothing outside 0..1 is kept.
  for (int k = 0; k < PROGRAM_NAME_LENGTH; ++k) values[PROGRAM_NAME_FIRST_TAG + k] = k % 2 ? -7.0f : 1e9f;
  EXPECT_EQ(p->setChunk(values.data(), kChunk, true), 1);
  EXPECT_EQ(p->getCurDemoProgram(), 0);
  for (int t = 0; t < NUM_PARAMS; ++t) ASSERT_TRUE(p->getParameter(t) >= 0.0f && p->getParameter(t) <= 1.0f) << t;

  // A host may give back the very buffer it got.
  p->setDemoProgram(12);
  p->setParameter(VOLUME_TAG, 0.3f);
  void* data = nullptr;
  const int32_t size = p->getChunk(&data, false);
  const auto before = chunkOf(*p, false);
  EXPECT_EQ(p->setChunk(data, size, false), 1);
  EXPECT_VALUES({p->getCurDemoProgram(), 12}, {p->getParameter(VOLUME_TAG), 0.3f});
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
  const int target = presets::findDemoProgram("Tube Preamp");
  ASSERT_GT(target, 1);
  auto source = makePlugin();
  source->setDemoProgram(target);
  source->setParameter(VOLUME_TAG, 0.3f);
  const auto chunk = chunkOf(*source, false);

  for (const Rule& r : rules) {
    SCOPED_TRACE(std::string(r.vendor) + " / " + r.product);
    FakeHost host;
    host.vendor = r.vendor;
    host.product = r.product;
    auto p = std::make_unique<APlugin>(&FakeHost::callback);
    EXPECT_TRUE(p->getAeffect()->flags & kEffFlagProgramChunks);
    void* bank = nullptr;
    void* program = nullptr;
    EXPECT_VALUES(
        {dispatch(*p, kEffGetChunk, 0, 0, &bank), r.bank ? kChunk : 0},
        {dispatch(*p, kEffGetChunk, 1, 0, &program), r.program ? kChunk : 0},
        {bank == (r.bank ? &(p.get()->*r.bankBuffer) : nullptr), true},
        {program == (r.program ? &p->programChunkBuffer : nullptr), true});
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

// A host restoring state while MIDI program changes arrive on the audio thread (between blocks:
// the engine's reset waits for the next one).
TEST(Chunk, RestoresRacingProgramChangesLeaveAValidProgram) {
  auto p = makePlugin();
  p->resume();
  auto source = makePlugin();
  source->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  const auto chunk = chunkOf(*source, false);
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
    EXPECT_EQ(chunkOf(*p, false).size(), static_cast<std::size_t>(kChunk));
  }
  stop = true;
  audio.join();
  const int n = p->getCurDemoProgram();
  ASSERT_TRUE(n >= 0 && n < NUM_DEMO_PROGRAMS);
  for (int t = 0; t < NUM_PARAMS; ++t) ASSERT_TRUE(p->getParameter(t) >= 0.0f && p->getParameter(t) <= 1.0f) << t;
  // Once quiet, a load is whole again.
  p->suspend();
  p->setProgram(0);
  expectLoaded(*p, p->getCurDemoProgram());
}

// ---- Defaults, names in tags and the built-in bank as data ----

TEST(TagMap, Defaults) {
  auto p = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES(
      {p->getDefault(1), 0.625f, testing_support::kUlps}, {p->getDefault(8), 0.8f, testing_support::kUlps},
      {p->getDefault(57), 0.285f, testing_support::kUlps}, {p->getDefault(129), 0.001f, testing_support::kUlps},
      {p->getDefault(800), 0.0f}, {p->getDefault(134), (12.0f + 0.1f) / 17.99f}, {p->getDestByTag(15), 18},
      {p->getDestByTag(1024), -1}, {tagmap::rowOf(140).first, 136}, {tagmap::rowOf(140).last, 142});
  // Wave-shaper curves start as straight lines.
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(p->getDefault(250 + i), static_cast<float>(i) / 255.0f) << i;
    EXPECT_EQ(p->getDefault(506 + i), static_cast<float>(i) / 255.0f) << i;
  }
  const int disruptDests[7] = {2, 3, 8, 86, 42, 44, 51};
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(p->getSteppedValue(136 + i), disruptDests[i]);
  // The "Default" program holds every default except its own name.
  for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) EXPECT_EQ(p->getParameter(t), p->getDefault(t)) << t;
}

// Program names are stored one character a tag, (c + 0.5) / 255.99; they end at a zero or
// control character or after 28 characters; hostile values are clamped before they become
// characters.
TEST(NameTags, RoundTripAndEnds) {
  for (int c = 32; c <= 127; ++c) {
    EXPECT_EQ(tagmap::nameCharToValue(static_cast<char>(c)), (static_cast<float>(c) + 0.5f) / 255.99f);
    EXPECT_EQ(tagmap::valueToNameChar(tagmap::nameCharToValue(static_cast<char>(c))), static_cast<char>(c));
  }
  for (int c : {0, 1, 31, 128, 255}) EXPECT_EQ(tagmap::nameCharToValue(static_cast<char>(c)), 0.0f) << c;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_VALUES(
      {tagmap::valueToNameChar(nan), 0}, {tagmap::valueToNameChar(-3.0f), 0},
      {tagmap::valueToNameChar(1e30f), tagmap::valueToNameChar(1.0f)});

  std::vector<float> v(NUM_PARAMS, 0.0f);
  const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01";  // exactly 28
  tagmap::encodeNameTags((full + "TAIL").c_str(), v.data());
  v[940] = tagmap::nameCharToValue('!');  // beyond the name tags: never read
  EXPECT_EQ(decode(v.data()), full);
  v[PROGRAM_NAME_FIRST_TAG + 3] = nan;
  EXPECT_EQ(decode(v.data()), "ABC");
  tagmap::encodeNameTags("ab\x01" "cd", v.data());
  EXPECT_EQ(decode(v.data()), "ab");
}

TEST(ProgramBank, NamesAreSortedUniqueShortAndPlain) {
  auto lower = [](std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const std::string_view name = presets::demoProgramName(i);
    SCOPED_TRACE(std::string(name));
    ASSERT_FALSE(name.empty());
    EXPECT_LE(name.size(), static_cast<std::size_t>(DEMO_NAME_MAX));
    EXPECT_TRUE(name.front() != ' ' && name.back() != ' ');
    for (char c : name) EXPECT_TRUE(c >= 32 && c <= 126);
    // Strictly increasing without regard to case: sorted, and no two differ only by case.
    if (i > 0) {
      EXPECT_LT(lower(presets::demoProgramName(i - 1)), lower(name));
    }
  }
  EXPECT_EQ(presets::demoProgramName(DEFAULT_DEMO_PROGRAM), "Default");
  EXPECT_VALUES(
      {presets::demoProgramName(-1).empty(), true}, {presets::demoProgramName(NUM_DEMO_PROGRAMS).empty(), true},
      {presets::demoProgramRow(NUM_DEMO_PROGRAMS) == nullptr, true}, {presets::findDemoProgram("Default"), DEFAULT_DEMO_PROGRAM},
      {presets::findDemoProgram(std::string(presets::demoProgramName(49)).c_str()), 49});
  for (const char* miss : {"default", "Default ", "Defaul", "", "No Such Program"})
    EXPECT_EQ(presets::findDemoProgram(miss), 0) << miss;
  EXPECT_EQ(presets::findDemoProgram(nullptr), 0);
}

TEST(ProgramBank, EveryDesignIsValidAndTheCheckerCatchesFaults) {
  for (const presets::Design& d : presets::bankDesigns()) EXPECT_EQ(presets::checkDesign(d), "") << d.name;
  using presets::Design;
  using presets::Unit;
  const Design bad[] = {
      {"X", {{800, 0.5f}}}, {"X", {{915, 0.5f}}}, {"X", {{55, 0.7f}}},  // spare, name tag, half a switch
      {"X", {{129, 52.0f, Unit::Step}}}, {"X", {{62, 2.0f, Unit::Step}}}, {"X", {{128, 30.0f}}},
      {"X", {{48, 30000.0f, Unit::Hz}}}, {"X", {{62, 0.2f}, {62, 0.3f}}},
      {"X", {{251, 2.0f, Unit::CurveSoft}}}, {"A name far too long for hosts", {}}};
  for (const Design& d : bad) EXPECT_NE(presets::checkDesign(d), "") << d.changes[0].tag;
  EXPECT_EQ(presets::checkDesign(Design{"X", {{129, 51.0f, Unit::Step}, {48, 20480.0f, Unit::Hz}}}), "");
}

// Each row spells its name, holds values in range, switches at 0 or 1 and steps exactly where
// the menus write them; spare tags keep their defaults; no two rows are alike.
TEST(ProgramBank, RowsAreValidAndDistinct) {
  std::vector<float> def(NUM_PARAMS);
  tagmap::fillDefaults(*reinterpret_cast<float(*)[NUM_PARAMS]>(def.data()));
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const float* row = presets::demoProgramRow(i);
    SCOPED_TRACE(std::string(presets::demoProgramName(i)));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(decode(row), presets::demoProgramName(i));
    for (int t = 0; t < NUM_PARAMS; ++t) {
      const tagmap::Row& r = tagmap::rowOf(t);
      ASSERT_TRUE(row[t] >= 0.0f && row[t] <= 1.0f) << t;
      const bool isSwitch = r.kind == tagmap::Kind::Switch;
      EXPECT_TRUE(!isSwitch || row[t] == 0.0f || row[t] == 1.0f) << t;
      // Exactly on a step, as the menus write it.
      EXPECT_TRUE(r.kind != tagmap::Kind::Stepped || row[t] == def[t] ||
                  row[t] == (static_cast<float>(stepOf(row, t)) + 0.1f) / r.scale)
          << t;
      const bool nameTag = t >= PROGRAM_NAME_FIRST_TAG && t < PROGRAM_NAME_FIRST_TAG + PROGRAM_NAME_LENGTH;
      const bool spare = t == 0 || (t >= 762 && !nameTag);
      EXPECT_TRUE(!spare || row[t] == def[t]) << t;
    }
    for (int j = 0; j < i; ++j)
      EXPECT_FALSE(std::equal(row, row + NUM_PROGRAM_VALUES, presets::demoProgramRow(j))) << j;
  }
}

// Together the programs show every part of the effect.
TEST(ProgramBank, TogetherTheyShowEveryPartOfTheEffect) {
  std::set<int> paths, types;
  auto any = [](int tag) {
    for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i)
      if (presets::demoProgramRow(i)[tag] == 1.0f) return true;
    return false;
  };
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    paths.insert(stepOf(presets::demoProgramRow(i), MODULE_PATH_TAG));
    types.insert(stepOf(presets::demoProgramRow(i), DISTORT_TYPE_TAG));
  }
  EXPECT_EQ(paths.size(), 24u);
  EXPECT_GE(types.size(), 48u);
  for (int t : {43, 44, 45, 46, 47, 48, 49, 50, 51}) EXPECT_TRUE(types.count(t)) << t;  // amp, cabinet, shapers
  EXPECT_GE(std::count_if(types.begin(), types.end(), [](int t) { return t >= 32 && t <= 42; }), 10);
  // Every module switch is on somewhere.
  for (int tag : std::initializer_list<int>{HP_ON_TAG, LP_ON_TAG, LP_TYPE_TAG, LP_ZD_TAG, COMP_ON_TAG, WIDENER_ON_TAG, CHORUS_MODE_TAG,
                  PRE_EQ_ON_TAG, POST_EQ_ON_TAG, OLD_EQ_TAG, GATE_ON_TAG, LFO_SYNC_TAGS[0], DISRUPT_LAZY_ON_TAG})
    EXPECT_TRUE(any(tag)) << tag;
}
