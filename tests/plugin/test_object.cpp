// The plug-in object as the host meets it: host identity, descriptive queries, the editor hook
// and its teardown, edit brackets, the processing calls, parameter texts through the dispatcher;
// and its preferences: folders, MIDI settings and bindings learnt on the audio thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "aeffeditor.h"
#include "platform/prefsTestEnv.h"
#include "plugin/uParamText.h"
#include "plugin/uPlugin.h"
#include "support/expectValues.h"
#include "support/fakeEditorLink.h"
#include "support/fakeHost.h"

using prefstest::TempXdg;
using testing_support::FakeHost;

namespace {

intptr_t dispatch(APlugin& p, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f) {
  AEffect* e = p.getAeffect();
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

void* const kWhee = reinterpret_cast<void*>(static_cast<intptr_t>(0x57686565));
constexpr int32_t kWheel = 0x73744341;

// An editor that logs its life and what the plug-in tells it.
std::vector<std::string> editorLog;

struct LoggingEditor : AEffEditor, IEditorLink {
  explicit LoggingEditor(AudioEffect* effect) : AEffEditor(effect) {}
  ~LoggingEditor() override { editorLog.push_back(isOpen() ? "deleted while open" : "deleted"); }
  bool open(void* window) override {
    AEffEditor::open(window);
    editorLog.push_back("open");
    return true;
  }
  void close() override {
    editorLog.push_back("close");
    AEffEditor::close();
  }
  bool isOpen() override { return AEffEditor::isOpen(); }
  void setParameter(int tag, float) override { editorLog.push_back("parameter " + std::to_string(tag)); }
  void setVU(float, float, float, float) override {}
  void resume() override {}
  void setEditTag(int tag) override { editorLog.push_back("edit " + std::to_string(tag)); }
  bool onWheel(float distance) override {
    editorLog.push_back("wheel " + std::to_string(static_cast<int>(distance)));
    return true;
  }
  void updatePath() override {}
  void updateDistort(int) override {}
};

struct FactoryScope {
  explicit FactoryScope(EditorFactory f) {
    editorLog.clear();
    APlugin::editorFactory = f;
  }
  ~FactoryScope() { APlugin::editorFactory = nullptr; }
};

CreatedEditor makeLoggingEditor(APlugin& plugin) {
  auto* e = new LoggingEditor(&plugin);
  return {e, e};
}

nlohmann::json fileOf(const TempXdg& env) { return prefstest::fileJson(env.userFile()); }

// Waits (a generous bound, not a timing requirement) until the file holds key = value.
bool fileReaches(const TempXdg& env, const std::string& key, int value) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    try {
      if (fileOf(env).value(key, -1) == value) return true;
    } catch (...) {  // caught between writes or before the first one
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void mainsOn(APlugin& p) {
  AEffect* e = p.getAeffect();
  e->dispatcher(e, kEffMainsChanged, 0, 1, nullptr, 0.0f);
}

}  // namespace

// What the host asks about the plug-in; the host strings themselves choose the chunk rules (see
// the chunk tests) and are read safely.
TEST(HostQueries, IdentityCanDoAndPins) {
  auto p = std::make_unique<APlugin>(nullptr);
  char text[256];
  auto ask = [&](int32_t opcode) {
    EXPECT_EQ(dispatch(*p, opcode, 0, 0, text), 1);
    return std::string(text);
  };
  EXPECT_TEXTS({ask(kEffGetEffectName), "Grindle2"}, {ask(kEffGetProductString), "Grindle2"},
               {ask(kEffGetVendorString), "Kestrune"});
  EXPECT_VALUES({dispatch(*p, kEffGetVendorVersion), 65536}, {dispatch(*p, kEffGetVstVersion), 2400},
                {p->hostQuirkFlags.any(), false}, {APlugin::identifyHost(nullptr, nullptr).any(), false},
                // Only 255 bytes are looked at: a vendor of 400 bytes still begins with "PROP".
                {APlugin::identifyHost(("PROP" + std::string(400, '\xFF')).c_str(), "").propellerhead, true});
  const std::pair<std::string, int> canDo[] = {{"plugAsChannelInsert", 1},
                                               {"1in1out", 1},
                                               {"1in2out", 1},
                                               {"2in2out", 1},
                                               {"receiveVstTimeInfo", 1},
                                               {"receiveVstEvents", 1},
                                               {"receiveVstMidiEvent", 1},
                                               {"sendVstMidiEvent", 0},
                                               {"", 0},
                                               {"receiveVstMidiEvents", 0},
                                               {"2in2ou", 0},
                                               {"bypass", 0}};
  for (auto [what, answer] : canDo) EXPECT_EQ(dispatch(*p, kEffCanDo, 0, 0, what.data()), answer) << what;
  // Odd input pins answer but keep their label.
  const std::tuple<int32_t, int32_t, const char*> pins[] = {
      {kEffGetInputProperties, 0, "In 1 + 2"},    {kEffGetInputProperties, 1, "uuu"},
      {kEffGetInputProperties, 2, "In 3 + 4"},    {kEffGetInputProperties, 4, nullptr},
      {kEffGetInputProperties, -1, nullptr},      {kEffGetOutputProperties, 0, "Grindle2 1"},
      {kEffGetOutputProperties, 1, "Grindle2 2"}, {kEffGetOutputProperties, 2, nullptr}};
  for (const auto& [opcode, index, label] : pins) {
    VstPinProperties props;
    std::memset(&props, 'u', sizeof(props));
    props.label[3] = 0;
    EXPECT_EQ(dispatch(*p, opcode, index, 0, &props), label ? 1 : 0) << index;
    EXPECT_TRUE(!label || (props.flags == 3 && std::string(props.label) == label))
        << index << " " << props.label;
  }
  // Switching on and off asks the host for nothing.
  FakeHost host;
  auto q = std::make_unique<APlugin>(&FakeHost::callback);
  host.calls.clear();
  dispatch(*q, kEffMainsChanged, 0, 1);
  dispatch(*q, kEffMainsChanged, 0, 0);
  EXPECT_TRUE(host.calls.empty());
}

TEST(EditorHook, WithoutAFactoryOrAWorkingOneThereIsNoEditor) {
  for (EditorFactory f :
       {EditorFactory(nullptr), EditorFactory([](APlugin&) { return CreatedEditor{}; }),
        EditorFactory([](APlugin&) -> CreatedEditor { throw std::runtime_error("no display"); })}) {
    FactoryScope scope(f);
    auto p = std::make_unique<APlugin>(nullptr);
    char window = 0;
    EXPECT_VALUES({p->getEditor() == nullptr, true}, {p->getAeffect()->flags & kEffFlagHasEditor, false},
                  {p->isEditorOpen(), false}, {dispatch(*p, kEffEditOpen, 0, 0, &window), 0},
                  {dispatch(*p, kEffVendorSpecific, kWheel, 0, kWhee, 1.0f), 0});
    dispatch(*p, kEffEditClose);
  }
}

TEST(EditorHook, FactoryEditorIsReachedAndClosedBeforeDeletion) {
  FactoryScope scope(&makeLoggingEditor);
  auto owned = std::make_unique<APlugin>(nullptr);
  APlugin& p = *owned;
  ASSERT_NE(p.getEditor(), nullptr);
  ASSERT_NE(p.editorLink, nullptr);
  EXPECT_TRUE(p.getAeffect()->flags & kEffFlagHasEditor);
  char window = 0;
  EXPECT_EQ(dispatch(p, kEffEditOpen, 0, 0, &window), 1);
  EXPECT_FALSE(p.isEditorOpen());  // the editor has not raised its open flag yet
  p.editorOpen = true;
  EXPECT_EQ(dispatch(p, kEffVendorSpecific, kWheel, 0, kWhee, 3.0f), 1);
  p.setParameter(1, 0.25f);
  p.beginEdit(7);
  p.endEdit(7);
  // The host closes the instance with the editor still open.
  dispatch(p, kEffClose);
  owned.release();  // the close opcode deleted it
  EXPECT_EQ(editorLog, (std::vector<std::string>{"open", "wheel 3", "parameter 1", "edit 7", "edit -1",
                                                 "close", "deleted"}));

  FactoryScope again(&makeLoggingEditor);
  auto q = std::make_unique<APlugin>(nullptr);
  dispatch(*q, kEffEditOpen, 0, 0, &window);
  dispatch(*q, kEffEditClose);
  q.reset();  // a closed editor is deleted without another close
  EXPECT_EQ(editorLog, (std::vector<std::string>{"open", "close", "deleted"}));
}

// The wheel query needs its magic pointer and an editor that wants the wheel.
TEST(EditorHook, WheelQueryReachesTheEditorOnly) {
  auto p = std::make_unique<APlugin>(nullptr);
  testing_support::FakeEditorLink link;
  link.wheelAnswer = true;
  p->editorLink = &link;
  EXPECT_VALUES({dispatch(*p, kEffVendorSpecific, kWheel, 0, kWhee, -2.0f), 1},
                {dispatch(*p, kEffVendorSpecific, kWheel + 1, 0, kWhee, 1.0f), 0},
                {dispatch(*p, kEffVendorSpecific, kWheel, 0, nullptr, 1.0f), 0});
  EXPECT_EQ(link.wheels, std::vector<float>{-2.0f});
  link.wheelAnswer = false;
  EXPECT_EQ(dispatch(*p, kEffVendorSpecific, kWheel, 0, kWhee, 1.0f), 0);
}

// Brackets tell the editor, then the host; tags outside the store reach neither.
TEST(EditBrackets, TellEditorThenHostForValidTagsOnly) {
  FakeHost host;
  host.answers[kHostBeginEdit] = 1;
  host.answers[kHostEndEdit] = 1;
  auto p = std::make_unique<APlugin>(&FakeHost::callback);
  testing_support::FakeEditorLink link;
  EXPECT_TRUE(p->beginEdit(17));  // no editor: only the host hears
  p->editorLink = &link;
  for (int bad : {-1, 1024, 5000, INT32_MIN}) {
    EXPECT_FALSE(p->beginEdit(bad)) << bad;
    EXPECT_FALSE(p->endEdit(bad)) << bad;
  }
  EXPECT_TRUE(p->beginEdit(0));
  EXPECT_TRUE(p->endEdit(1023));
  EXPECT_EQ(link.editTags, (std::vector<int>{0, -1}));
  EXPECT_VALUES({host.count(kHostBeginEdit), 2}, {host.count(kHostEndEdit), 1},
                {host.last(kHostBeginEdit)->index, 0}, {host.last(kHostEndEdit)->index, 1023});
}

TEST(Processing, SafeForAnyBlockAndTheOldCallLeavesTheBuffersAlone) {
  auto p = std::make_unique<APlugin>(nullptr);
  std::vector<float> in(64, 0.7f), side(64, 0.9f), out0(64, 9.0f), out1(64, 9.0f);
  float* ins[4] = {in.data(), in.data(), side.data(), side.data()};
  float* outs[2] = {out0.data(), out1.data()};
  AEffect* e = p->getAeffect();
  e->processReplacing(e, ins, outs, 64);
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(std::isfinite(out0[i]) && std::isfinite(out1[i])) << i;
  e->processReplacing(e, ins, outs, 0);
  e->processReplacing(e, ins, outs, -5);
  std::fill(out0.begin(), out0.end(), 0.25f);
  std::fill(out1.begin(), out1.end(), -0.5f);
  e->process(e, ins, outs, 32);
  e->process(e, nullptr, nullptr, 32);
  e->process(e, ins, outs, -1);
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(out0[i] == 0.25f && out1[i] == -0.5f) << i;
}

TEST(ParameterTexts, ThroughTheDispatcher) {
  auto p = std::make_unique<APlugin>(nullptr);
  char text[96];
  auto ask = [&](int32_t opcode, int32_t tag) {
    std::memset(text, 'Z', sizeof(text));
    EXPECT_EQ(dispatch(*p, opcode, tag, 0, text), 0);
    return std::string(text);
  };
  p->setParameter(1, 0.625f);
  p->setParameter(2, 0.75f);
  EXPECT_TEXTS({ask(kEffGetParamName, 1), "Volume"}, {ask(kEffGetParamLabel, 1), " "},
               {ask(kEffGetParamDisplay, 1), "-5.0 dB"}, {ask(kEffGetParamDisplay, 2), "50/100 D/W"},
               {ask(kEffGetParamName, 0), ""}, {ask(kEffGetParamName, -1), ""},
               {ask(kEffGetParamDisplay, 1024), ""});
  // The longest texts stay within the host's buffers.
  p->setParameter(128, 1.0f);
  EXPECT_EQ(ask(kEffGetParamDisplay, 128).size(), PARAM_DISPLAY_MAX);
  EXPECT_EQ(text[PARAM_DISPLAY_BUFFER], 'Z');
}

// ---- Preferences ----

// Stored settings and folders are read (folders kept whole however long; empty ones get their
// defaults, a machine-wide one is taken over; all are written back); values of the wrong kind
// read like missing ones.
TEST(ObjectPrefs, StoredSettingsAndFolders) {
  TempXdg env;
  auto fresh = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES({fresh->getMidiCaptureOn(), true}, {fresh->getMidiPresetOn(), true},
                {fresh->getMidiChannelSetting(), 0});
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) EXPECT_EQ(fresh->getMidiCCTag(cc), 0) << cc;

  const std::string longPath = "/media/" + std::string(200, 'd') + "/ecs/";
  prefstest::writeFile(env.machineFile(), R"({"HelpDir": "/opt/studio/help.pdf"})");
  prefstest::writeFile(env.userFile(), nlohmann::json{{"ECSDir", longPath},
                                                      {"WaveShaperDir", ""},
                                                      {"MidiCapture", "N"},
                                                      {"MidiPreset", "Y"},
                                                      {"Midi Channel", 5},
                                                      {"7", 42},
                                                      {"127", 1024},
                                                      {"0", 1023},
                                                      {"3", -4},
                                                      {"4", 99999},
                                                      {"5", "12"},
                                                      {"6", 12.5},
                                                      {"8", true}}
                                           .dump());
  auto p = std::make_unique<APlugin>(nullptr);
  const std::string shapers = env.data + "/Kestrune/Grindle2/WaveShapers/";
  const nlohmann::json j = fileOf(env);
  EXPECT_TEXTS({p->ecsDir, longPath}, {p->waveShaperDir, shapers}, {p->helpDir, "/opt/studio/help.pdf"},
               {j.value("ECSDir", ""), longPath}, {j.value("WaveShaperDir", ""), shapers},
               {j.value("HelpDir", ""), "/opt/studio/help.pdf"});
  EXPECT_VALUES({p->getMidiCaptureOn(), false}, {p->getMidiPresetOn(), true}, {p->getMidiChannelSetting(), 5},
                {p->getMidiCCTag(7), 42}, {p->getMidiCCTag(0), 1023},
                {p->getMidiCCTag(127), 1024});  // kept, though no tag
  for (int cc : {3, 4, 5, 6, 8, -1, 128, 100000}) EXPECT_EQ(p->getMidiCCTag(cc), 0) << cc;
  prefstest::writeFile(env.userFile(), R"({"MidiCapture": 0, "MidiPreset": "y", "Midi Channel": "5"})");
  p->loadMidiPreferences();
  EXPECT_VALUES({p->getMidiCaptureOn(), true}, {p->getMidiPresetOn(), true}, {p->getMidiChannelSetting(), 0},
                {p->getMidiCCTag(7), 0});
}

TEST(ObjectPrefs, SettersWriteTheFileAndTheLiveValue) {
  TempXdg env;
  auto p = std::make_unique<APlugin>(nullptr);
  p->setMidiCaptureOn(false);
  p->setMidiPresetOn(false);
  p->setMidiChannelSetting(16);
  p->setMidiChannelSetting(17);  // not a channel setting: ignored
  p->setMidiChannelSetting(-1);
  p->setMidiCCTag(9, 300);  // written at once, without the writer thread
  p->setMidiCCTag(10, 1024);
  p->setMidiCCTag(11, 1025);  // no binding can hold it: ignored
  p->setMidiCCTag(128, 5);
  EXPECT_VALUES({p->getMidiCaptureOn(), false}, {p->getMidiPresetOn(), false},
                {p->getMidiChannelSetting(), 16}, {p->getMidiCCTag(9), 300}, {p->getMidiCCTag(10), 1024},
                {p->getMidiCCTag(11), 0});
  nlohmann::json j = fileOf(env);
  EXPECT_TEXTS({j.value("MidiCapture", ""), "N"}, {j.value("MidiPreset", ""), "N"});
  EXPECT_VALUES({j.value("Midi Channel", -1), 16}, {j.value("9", -1), 300}, {j.value("10", -1), 1024},
                {j.contains("11"), false}, {j.contains("128"), false});

  int32_t all[NUM_MIDI_CC] = {};
  all[127] = 381;
  all[50] = -7;  // not a binding: stored as none
  p->setAllMidiCCTags(all);
  j = fileOf(env);
  EXPECT_VALUES({j.value("9", -1), 0}, {j.value("50", -1), 0}, {j.value("127", -1), 381},
                {p->getMidiCCTag(50), 0});
  // A new instance starts from what this one stored.
  auto q = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES({q->getMidiCaptureOn(), false}, {q->getMidiChannelSetting(), 16},
                {q->getMidiCCTag(127), 381});
}

// A binding learnt on the audio thread reaches the file through the writer while the instance
// lives, and at the latest when it goes; hostile bindings are ignored, later writes win.
TEST(ObjectPrefs, LearntBindingsReachTheFile) {
  TempXdg env;
  auto p = std::make_unique<APlugin>(nullptr);
  mainsOn(*p);
  std::thread([&] { p->learnMidiCC(20, 77); }).join();
  EXPECT_EQ(p->getMidiCCTag(20), 77);
  EXPECT_TRUE(fileReaches(env, "20", 77));
  std::thread([&] { p->learnMidiCC(20, 0); }).join();
  EXPECT_TRUE(fileReaches(env, "20", 0));

  auto q = std::make_unique<APlugin>(nullptr);  // never switched on: no writer thread
  q->learnMidiCC(30, 5);
  q->learnMidiCC(-1, 5);
  q->learnMidiCC(128, 5);
  q->learnMidiCC(12, -1);
  q->learnMidiCC(12, 1024);  // learning binds real tags only
  q->learnMidiCC(40, 111);   // waits for the writer
  q->setMidiCCTag(40, 222);  // the editor's later choice
  q->learnMidiCC(41, 333);
  q->loadMidiPreferences();  // re-reading does not lose the waiting binding
  EXPECT_VALUES({q->getMidiCCTag(12), 0}, {q->getMidiCCTag(40), 222}, {q->getMidiCCTag(41), 333});
  q.reset();
  const nlohmann::json j = fileOf(env);
  EXPECT_VALUES({j.value("30", -1), 5}, {j.value("40", -1), 222}, {j.value("41", -1), 333});
  for (const char* key : {"-1", "128", "12"}) EXPECT_FALSE(j.contains(key)) << key;
}

TEST(ObjectPrefs, TwoInstancesLearningAtOnceKeepEveryBinding) {
  TempXdg env;
  auto a = std::make_unique<APlugin>(nullptr);
  auto b = std::make_unique<APlugin>(nullptr);
  mainsOn(*a);
  mainsOn(*b);
  std::atomic<bool> go{false};
  auto learner = [&go](APlugin& p, int firstCC, int tagBase) {
    while (!go.load()) std::this_thread::yield();
    for (int round = 0; round < 50; ++round)
      for (int cc = firstCC; cc < firstCC + 32; ++cc) p.learnMidiCC(cc, tagBase + cc + round);
  };
  std::thread audioA(learner, std::ref(*a), 0, 100);
  std::thread audioB(learner, std::ref(*b), 64, 200);
  // Meanwhile the editor of the first instance stores other bindings.
  std::thread gui([&] {
    while (!go.load()) std::this_thread::yield();
    for (int cc = 32; cc < 64; ++cc) a->setMidiCCTag(cc, 500 + cc);
  });
  go = true;
  audioA.join();
  audioB.join();
  gui.join();
  for (int cc = 0; cc < 32; ++cc) EXPECT_EQ(a->getMidiCCTag(cc), 149 + cc) << cc;
  for (int cc = 64; cc < 96; ++cc) EXPECT_EQ(b->getMidiCCTag(cc), 249 + cc) << cc;
  a.reset();  // whatever the writers have not stored yet is stored now
  b.reset();
  const nlohmann::json j = fileOf(env);
  for (int cc = 0; cc < 96; ++cc)
    EXPECT_EQ(j.value(std::to_string(cc), -1), cc < 32 ? 149 + cc : cc < 64 ? 500 + cc : 249 + cc) << cc;
}
