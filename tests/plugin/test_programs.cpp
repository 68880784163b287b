// Program loads, built-in selection, snapshots, program names and the state chunk (a saved
// session must bring back exactly what the user set); names held in tags and the built-in bank
// as data.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "plugin/uPlugin.h"
#include "plugin/uPluginPresetsBanks.h"
#include "plugin/uTagMap.h"
#include "support/expectValues.h"
#include "support/fakeEditorLink.h"
#include "support/fakeHost.h"

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
  for (int t = PROGRAM_NAME_FIRST_TAG; t < PROGRAM_NAME_FIRST_TAG + PROGRAM_NAME_LENGTH; ++t)
    p.setParameter(t, values[t]);
}

std::vector<float> row(int n) {
  return {presets::demoProgramRow(n), presets::demoProgramRow(n) + NUM_PARAMS};
}

// Everything a program operation can change: current, edited, original, last and stored values,
// then the program number and the edited lamp.
std::vector<std::vector<float>> state(APlugin& p) {
  std::vector<std::vector<float>> s(5, std::vector<float>(NUM_PARAMS));
  for (int t = 0; t < NUM_PARAMS; ++t) {
    s[0][t] = p.currentValues[t].load();
    s[1][t] = p.editedValues[t];
    s[2][t] = p.originalValues[t];
    s[3][t] = p.lastValues[t];
    s[4][t] = p.programs.values[t];
  }
  s.push_back({static_cast<float>(p.getCurDemoProgram()), static_cast<float>(p.getEditChanged())});
  return s;
}

// Every snapshot holds built-in row n, under its name.
void expectLoaded(APlugin& p, int n) {
  ASSERT_EQ(p.getCurDemoProgram(), n);
  EXPECT_EQ(programName(p), presets::demoProgramName(n));
  EXPECT_EQ(std::string(p.programs.name), presets::demoProgramName(n));
  const auto s = state(p);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(s[k], row(n)) << "snapshot " << k;
}

std::vector<unsigned char> chunkOf(APlugin& p, bool isPreset) {
  void* data = nullptr;
  const int32_t size = p.getChunk(&data, isPreset);
  if (size != kChunk || !data) return {};
  return {static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size};
}

std::string decode(const float* values) {
  char text[PROGRAM_NAME_LENGTH + 1];
  std::memset(text, 'q', sizeof(text));
  tagmap::decodeNameTags(values, text);
  return text;
}

int stepOf(const float* values, int tag) {
  const tagmap::Row& r = tagmap::rowOf(tag);
  return std::min(static_cast<int>(values[tag] * r.scale + 0.1f), r.steps - 1);
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

// The host sees program 0 only; it reloads the row its name spells. Refused numbers (also
// built-in ones outside the bank) and loads while the editor opens change nothing; stepping
// through the bank stops at its ends.
TEST(Programs, SelectionAndStepping) {
  auto p = makePlugin();
  expectLoaded(*p, 0);
  EXPECT_VALUES({p->getEditChanged(), false}, {p->getIsSettingPreset(), false}, {p->getProgram(), 0},
                {std::string(p->getPresetName(-1)) == "None", true},
                {std::string(p->getPresetName(50)) == "None", true});
  p->setDemoProgram(7);
  p->setParameter(62, 0.77f);
  const auto before = state(*p);
  for (int bad : {1, -1, INT_MIN}) p->setProgram(bad);
  p->setDemoProgram(-1);
  p->setDemoProgram(NUM_DEMO_PROGRAMS);
  p->editorOpening = true;
  p->setProgram(0);
  EXPECT_EQ(state(*p), before);
  p->editorOpening = false;
  dispatch(*p, kEffSetProgram, 0, 0);
  expectLoaded(*p, 7);
  const std::pair<int, int> steps[] = {{-8, 0}, {+100, 49}, {-1, 48}, {INT_MAX, 49}, {INT_MIN, 0}};
  for (const auto& [delta, program] : steps) {
    p->changeDemoProgramDelta(delta);
    expectLoaded(*p, program);
  }
}

// setProgram(0) and the load tag recall the row the name tags spell, whatever the other values;
// a name that is no built-in program, or name tags holding garbage, load the first. The load
// tag keeps its own value and its write is the only one reaching the edited values.
TEST(Programs, ALoadRecallsTheRowItsNameSpells) {
  const int crusher = presets::findDemoProgram("Drum Crusher");
  ASSERT_GT(crusher, 0);
  auto p = makePlugin();
  for (const auto& [name, n] : std::vector<std::pair<const char*, int>>{
           {"Drum Crusher", crusher}, {"Drum Crusher 2", 0}, {"default", 0}, {"", 0}}) {
    for (int t = 1; t < PROGRAM_NAME_FIRST_TAG; ++t) p->setParameter(t, 0.37f);
    writeName(*p, name);
    p->setProgram(0);
    expectLoaded(*p, n);
  }
  p->setDemoProgram(10);
  writeName(*p, "Default");
  auto expected = state(*p);
  p->setParameter(LOAD_PROGRAM_TAG, 0.3f);
  for (int k : {0, 4}) expected[k] = row(DEFAULT_DEMO_PROGRAM);
  for (int k : {0, 1, 4}) expected[k][LOAD_PROGRAM_TAG] = 0.3f;
  const auto s = state(*p);
  for (int k : {0, 1, 2, 4}) EXPECT_EQ(s[k], expected[k]) << "snapshot " << k;
  EXPECT_EQ(p->getCurDemoProgram(), DEFAULT_DEMO_PROGRAM);

  p->programs.values[PROGRAM_NAME_FIRST_TAG] = kNaN;  // clamped before it becomes a character
  p->programs.values[PROGRAM_NAME_FIRST_TAG + 1] = 1e30f;
  p->setParameter(LOAD_PROGRAM_TAG, 0.0f);
  EXPECT_EQ(p->getCurDemoProgram(), 0);
}

// Switching snapshots loads nothing; "Default" keeps the name; a load leaves the edited lamp as
// it was and only the original snapshot puts it out.
TEST(Programs, SnapshotsSwitchWithoutLoading) {
  auto p = makePlugin();
  p->setDemoProgram(5);
  p->setParameter(62, 0.77f);
  p->origProgram();
  EXPECT_VALUES({p->getEditChanged(), false}, {p->getParameter(62), row(5)[62]});
  p->editProgram();
  EXPECT_VALUES({p->getEditChanged(), true}, {p->getParameter(62), 0.77f}, {p->programs.values[62], 0.77f});
  p->defaultProgram();
  for (int t = 0; t < NUM_PROGRAM_VALUES; ++t) ASSERT_EQ(p->editedValues[t], p->getDefault(t)) << t;
  EXPECT_EQ(programName(*p), presets::demoProgramName(5));
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
  EXPECT_VALUES({editor.resumes, 1}, {editor.resumesWhileRefreshing, 1},
                {editor.toldWhileLoading, static_cast<int>(editor.parameters.size())},
                {p->getIsSettingPreset(), false});
  for (const auto& [tag, value] : editor.parameters) ASSERT_EQ(value, row(8)[tag]) << tag;
}

// Names reach the host terminated within its 24 bytes; renaming is not possible.
TEST(Programs, NamesForTheHost) {
  auto p = makePlugin();
  char text[kVstMaxProgNameLen + 8];
  std::memset(text, 'X', sizeof(text));
  EXPECT_VALUES({dispatch(*p, kEffGetProgramNameIndexed, 1, 0, text), 0},
                {dispatch(*p, kEffGetProgramNameIndexed, -1, 0, text), 0}, {text[0], 'X'},
                {dispatch(*p, kEffGetProgramNameIndexed, 0, 0, text), 1});
  EXPECT_EQ(std::string(text), presets::demoProgramName(0));
  char rename[] = "Renamed";  // renaming is not possible
  dispatch(*p, kEffSetProgramName, 0, 0, rename);
  EXPECT_EQ(programName(*p), presets::demoProgramName(0));
  std::memset(p->demoProgramNames[0], 'L', 40);
  p->demoProgramNames[0][40] = 0;
  std::memset(text, 'X', sizeof(text));
  dispatch(*p, kEffGetProgramName, 0, 0, text);
  EXPECT_EQ(std::string(text), std::string(kVstMaxProgNameLen - 1, 'L'));
  EXPECT_EQ(text[kVstMaxProgNameLen], 'X');
  p->curDemoProgram = 77;
  EXPECT_EQ(programName(*p), "None");
}

// ---- State chunk ----

TEST(Chunk, ARestoreBringsBackEveryValueAndTheName) {
  for (const bool isPreset : {false, true}) {
    SCOPED_TRACE(isPreset ? "program chunk" : "bank chunk");
    // Untouched: a fresh instance restored from it reports the same 1024 values.
    auto fresh = makePlugin();
    auto b = makePlugin();
    b->setDemoProgram(9);
    EXPECT_EQ(b->setChunk(chunkOf(*fresh, isPreset).data(), kChunk, isPreset), 1);
    EXPECT_EQ(state(*b)[0], state(*fresh)[0]);
    EXPECT_FALSE(b->getEditChanged());

    // Edited: the chunk holds the values, then the name terminated and zero-filled.
    auto a = makePlugin();
    a->setDemoProgram(17);
    a->setParameter(VOLUME_TAG, 0.3f);
    a->setSteppedValue(DISTORT_TYPE_TAG, (a->getSteppedValue(DISTORT_TYPE_TAG) + 1) % 52);
    const auto edited = chunkOf(*a, isPreset);
    ASSERT_EQ(edited.size(), static_cast<std::size_t>(kChunk));
    float savedVolume;
    std::memcpy(&savedVolume, edited.data() + VOLUME_TAG * 4, 4);
    EXPECT_EQ(savedVolume, 0.3f);
    const std::string name(presets::demoProgramName(17));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(edited.data()) + 4096), name);
    EXPECT_TRUE(
        std::all_of(edited.begin() + 4096 + name.size(), edited.end(), [](unsigned char c) { return !c; }));

    // Restored: every value, the chunk itself, the name and number; "Original" is the built-in
    // program, the edits are the restored values.
    auto c = makePlugin();
    c->setParameter(3, 1.0f);
    EXPECT_EQ(c->setChunk(std::vector<unsigned char>(edited).data(), kChunk, isPreset), 1);
    const auto s = state(*c);
    EXPECT_EQ(s[0], state(*a)[0]);
    EXPECT_EQ(chunkOf(*c, isPreset), edited);
    EXPECT_EQ(programName(*c), name);
    EXPECT_VALUES({c->getCurDemoProgram(), 17}, {c->getIsSettingPreset(), false},
                  {c->getEditChanged(), true});
    EXPECT_EQ(s[2], row(17));
    EXPECT_EQ(s[1], s[0]);
    EXPECT_EQ(s[3], s[0]);
    c->origProgram();
    EXPECT_EQ(c->getParameter(VOLUME_TAG), row(17)[VOLUME_TAG]);
    c->editProgram();
    EXPECT_EQ(c->getParameter(VOLUME_TAG), 0.3f);

    // Choosing the program afterwards still loads the built-in row, by every route.
    for (const auto& choose : std::vector<std::function<void(APlugin&)>>{
             [](APlugin& p) { dispatch(p, kEffSetProgram, 0, 0); },
             [](APlugin& p) { p.setParameter(LOAD_PROGRAM_TAG, 0.0f); },
             [](APlugin& p) { p.setDemoProgram(17); }}) {
      EXPECT_EQ(c->setChunk(std::vector<unsigned char>(edited).data(), kChunk, isPreset), 1);
      choose(*c);
      EXPECT_VALUES({c->getParameter(VOLUME_TAG), row(17)[VOLUME_TAG]}, {c->getParameter(129), row(17)[129]});
    }
  }
}

// The name selects the program number and the "Original" snapshot, never the values; switch
// values settle off below one half and on from it.
TEST(Chunk, TheNameSelectsTheNumberAndTheOriginalNotTheValues) {
  for (const auto& [name, n] :
       std::vector<std::pair<const char*, int>>{{"Default", DEFAULT_DEMO_PROGRAM},
                                                {"Drum Crusher", presets::findDemoProgram("Drum Crusher")},
                                                {"My Own Sound", 0},
                                                {"", 0}}) {
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
    EXPECT_VALUES({p->getCurDemoProgram(), n}, {p->getEditChanged(), true});
    EXPECT_EQ(programName(*p), presets::demoProgramName(n));
    EXPECT_STREQ(p->programs.name, name);
    for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) {
      const float expected = p->isOnOffTag(t) ? (values[t] >= 0.5f ? 1.0f : 0.0f) : values[t];
      ASSERT_EQ(p->getParameter(t), expected) << t;
      ASSERT_EQ(p->originalValues[t], row(n)[t]) << t;
    }
  }
}

// Short or missing chunks change nothing; a longer one is read up to its first 4128 bytes;
// hostile values are cleaned before they are kept; a host may give back the very buffer it got.
TEST(Chunk, ShortMissingAndHostileChunks) {
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
        {dispatch(*p, kEffSetChunk, isPreset ? 1 : 0, kChunk, nullptr), 0},
        {p->getChunk(nullptr, isPreset), 0});
  }
  EXPECT_EQ(state(*p), before);
  EXPECT_VALUES({p->setChunk(chunk.data(), kChunk + 16, false), 1}, {p->getCurDemoProgram(), 0},
                {p->getParameter(62), 0.77f});

  std::vector<float> values(NUM_PARAMS + 8, kNaN);
  for (int t = 0; t < NUM_PARAMS; t += 3) values[t] = 1e30f;
  for (int t = 1; t < NUM_PARAMS; t += 3) values[t] = -std::numeric_limits<float>::infinity();
  tagmap::encodeNameTags("Default", values.data());
  std::memset(values.data() + NUM_PARAMS, 'N', 32);  // an unterminated name field
  EXPECT_EQ(p->setChunk(values.data(), kChunk, false), 1);
  EXPECT_EQ(p->getCurDemoProgram(), DEFAULT_DEMO_PROGRAM);
  EXPECT_EQ(std::string(p->programs.name), std::string(31, 'N'));
  for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t)
    ASSERT_EQ(p->getParameter(t), t % 3 == 0 ? 1.0f : 0.0f) << t;
  // Garbage name tags select row 0; nothing outside 0..1 is kept.
  for (int k = 0; k < PROGRAM_NAME_LENGTH; ++k) values[PROGRAM_NAME_FIRST_TAG + k] = k % 2 ? -7.0f : 1e9f;
  EXPECT_EQ(p->setChunk(values.data(), kChunk, true), 1);
  EXPECT_EQ(p->getCurDemoProgram(), 0);
  const auto cleaned = state(*p)[0];
  for (float v : cleaned) ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << v;

  p->setDemoProgram(12);
  p->setParameter(VOLUME_TAG, 0.3f);
  void* data = nullptr;
  const int32_t size = p->getChunk(&data, false);
  const auto own = chunkOf(*p, false);
  EXPECT_EQ(p->setChunk(data, size, false), 1);
  EXPECT_VALUES({p->getCurDemoProgram(), 12}, {p->getParameter(VOLUME_TAG), 0.3f});
  EXPECT_EQ(chunkOf(*p, false), own);
}

// The host's identity chooses how chunks are exchanged: Kore none, Maschine only the bank (in
// the program buffer), Veldra only the bank, every other host both. Products are compared
// without regard to case, "KORE" and the vendor "PROP" as beginnings, the others whole; bytes
// above 127 are neither letters nor ends; long strings arrive unterminated (63 bytes).
TEST(Chunk, TheHostsIdentityChoosesTheRules) {
  enum Rules { Both, None, Maschine, Veldra };
  const std::string longVendor = "prop" + std::string(300, 'y'), longProduct = "KORE" + std::string(300, 'x');
  const std::tuple<const char*, const char*, Rules> hosts[] = {
      {"Test Vendor", "Test Product", Both},
      {"Propellerhead Software", "Reason", Both},
      {"Someone", "veldra", Veldra},
      {"Someone", "VELDRA ", Both},
      {"NI", "maschine host", Maschine},
      {"NI", "MASCHINE HOST 2", Both},
      {"NI", " MASCHINE HOST", Both},
      {"NI", "MASCHINE HOST\xA0", Both},
      {"NI", "Kore Player", None},
      {"NI", "KOR", Both},
      {"NI", "AKORE", Both},
      {"PRO", "KORE", None},
      // Propellerhead's rules win over the others.
      {"Propellerhead", "KORE 2", Both},
      {"Prop", "veldra", Both},
      {"Prop", "MASCHINE HOST", Maschine},
      {"prop\xE9", "KORE", Both},
      {"\xD0rop", "KORE", None},
      {longVendor.c_str(), longProduct.c_str(), Both}};
  const int target = presets::findDemoProgram("Tube Preamp");
  ASSERT_GT(target, 1);
  auto source = makePlugin();
  source->setDemoProgram(target);
  source->setParameter(VOLUME_TAG, 0.3f);
  const auto chunk = chunkOf(*source, false);
  for (const auto& [vendor, product, rules] : hosts) {
    SCOPED_TRACE(std::string(vendor) + " / " + product);
    testing_support::FakeHost host;
    host.vendor = vendor;
    host.product = product;
    auto p = std::make_unique<APlugin>(&testing_support::FakeHost::callback);
    const bool bank = rules != None, program = rules == Both;
    void* bankData = nullptr;
    void* programData = nullptr;
    EXPECT_VALUES({host.count(kHostGetVendorString), 1}, {host.count(kHostGetProductString), 1},
                  {p->getAeffect()->flags & kEffFlagProgramChunks, true},
                  {dispatch(*p, kEffGetChunk, 0, 0, &bankData), bank ? kChunk : 0},
                  {dispatch(*p, kEffGetChunk, 1, 0, &programData), program ? kChunk : 0},
                  {bankData == (rules == Maschine ? &p->programChunkBuffer
                                : bank            ? &p->bankChunkBuffer
                                                  : nullptr),
                   true},
                  {programData == (program ? &p->programChunkBuffer : nullptr), true});
    for (const bool isPreset : {true, false}) {
      const bool restores = isPreset ? program : bank;
      p->setDemoProgram(1);
      std::vector<unsigned char> copy = chunk;
      EXPECT_VALUES({dispatch(*p, kEffSetChunk, isPreset, kChunk, copy.data()), 1},
                    {p->getCurDemoProgram(), restores ? target : 1},
                    {p->getParameter(VOLUME_TAG), restores ? 0.3f : row(1)[VOLUME_TAG]});
    }
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
  const auto cleaned = state(*p)[0];
  for (float v : cleaned) ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << v;
  // Once quiet, a load is whole again.
  p->suspend();
  p->setProgram(0);
  expectLoaded(*p, p->getCurDemoProgram());
}

// ---- Names in tags and the built-in bank as data ----

// Names are stored one character a tag, (c + 0.5) / 255.99; they end at a zero or control
// character or after 28 characters; hostile values are clamped before they become characters.
TEST(NameTags, RoundTripAndEnds) {
  for (int c = 32; c <= 127; ++c) {
    EXPECT_EQ(tagmap::nameCharToValue(static_cast<char>(c)), (static_cast<float>(c) + 0.5f) / 255.99f);
    EXPECT_EQ(tagmap::valueToNameChar(tagmap::nameCharToValue(static_cast<char>(c))), static_cast<char>(c));
  }
  for (int c : {0, 1, 31, 128, 255}) EXPECT_EQ(tagmap::nameCharToValue(static_cast<char>(c)), 0.0f) << c;
  EXPECT_VALUES({tagmap::valueToNameChar(kNaN), 0}, {tagmap::valueToNameChar(-3.0f), 0},
                {tagmap::valueToNameChar(1e30f), tagmap::valueToNameChar(1.0f)});
  std::vector<float> v(NUM_PARAMS, 0.0f);
  const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01";  // exactly 28
  tagmap::encodeNameTags((full + "TAIL").c_str(), v.data());
  v[PROGRAM_NAME_FIRST_TAG + 28] = tagmap::nameCharToValue('!');  // beyond the name tags: never read
  EXPECT_EQ(decode(v.data()), full);
  v[PROGRAM_NAME_FIRST_TAG + 3] = kNaN;
  EXPECT_EQ(decode(v.data()), "ABC");
  tagmap::encodeNameTags(
      "ab\x01"
      "cd",
      v.data());
  EXPECT_EQ(decode(v.data()), "ab");
}

// Names: short, plain, sorted and unique without regard to case, found only when whole.
TEST(ProgramBank, NamesAndLookup) {
  auto lower = [](std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const std::string name(presets::demoProgramName(i));
    ASSERT_FALSE(name.empty());
    EXPECT_LE(name.size(), static_cast<std::size_t>(DEMO_NAME_MAX)) << name;
    EXPECT_TRUE(name.front() != ' ' && name.back() != ' ') << name;
    EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](char c) { return c >= 32 && c <= 126; })) << name;
    EXPECT_TRUE(i == 0 || lower(presets::demoProgramName(i - 1)) < lower(name)) << name;
    EXPECT_EQ(presets::findDemoProgram(name.c_str()), i);
  }
  EXPECT_VALUES({presets::demoProgramName(-1).empty(), true},
                {presets::demoProgramRow(NUM_DEMO_PROGRAMS) == nullptr, true},
                {presets::demoProgramName(DEFAULT_DEMO_PROGRAM) == "Default", true},
                {presets::findDemoProgram(nullptr), 0});
  for (const char* miss : {"default", "Default ", "Defaul", "", "No Such Program"})
    EXPECT_EQ(presets::findDemoProgram(miss), 0) << miss;
}

// Each row spells its name, holds values in range, switches at 0 or 1 and steps exactly where
// the menus write them; spare tags keep their defaults ("Default" every one, and wave-shaper
// curves start as straight lines); no two rows are alike; together they use every path.
TEST(ProgramBank, RowsAreValidAndDistinct) {
  std::vector<float> def(NUM_PARAMS);
  tagmap::fillDefaults(*reinterpret_cast<float(*)[NUM_PARAMS]>(def.data()));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(def[250 + i], static_cast<float>(i) / 255.0f) << i;
  EXPECT_TRUE(
      std::equal(def.begin(), def.begin() + PROGRAM_NAME_FIRST_TAG, row(DEFAULT_DEMO_PROGRAM).begin()));
  std::set<int> paths;
  for (const presets::Design& d : presets::bankDesigns()) EXPECT_EQ(presets::checkDesign(d), "") << d.name;
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const float* values = presets::demoProgramRow(i);
    SCOPED_TRACE(std::string(presets::demoProgramName(i)));
    EXPECT_EQ(decode(values), presets::demoProgramName(i));
    paths.insert(stepOf(values, MODULE_PATH_TAG));
    for (int t = 0; t < NUM_PARAMS; ++t) {
      const tagmap::Row& r = tagmap::rowOf(t);
      const float v = values[t];
      ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << t;
      EXPECT_TRUE(r.kind != tagmap::Kind::Switch || v == 0.0f || v == 1.0f) << t;
      EXPECT_TRUE(r.kind != tagmap::Kind::Stepped || v == def[t] || v == (stepOf(values, t) + 0.1f) / r.scale)
          << t;
      const bool nameTag = t >= PROGRAM_NAME_FIRST_TAG && t < PROGRAM_NAME_FIRST_TAG + PROGRAM_NAME_LENGTH;
      EXPECT_TRUE((t != 0 && (t < 762 || nameTag)) || v == def[t]) << t;
    }
    for (int j = 0; j < i; ++j)
      EXPECT_FALSE(std::equal(values, values + NUM_PROGRAM_VALUES, presets::demoProgramRow(j))) << j;
  }
  EXPECT_EQ(paths.size(), 24u);
}
