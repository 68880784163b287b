// The plug-in object's preferences: folders with their defaults written back, the MIDI settings
// and controller map kept for the audio thread, and bindings learnt there reaching the file.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/prefsTestEnv.h"
#include "plugin/uPlugin.h"
#include "support/expectValues.h"

using prefstest::TempXdg;

namespace {

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

// Stored folders are kept whole however long; empty ones or ones of the wrong kind get their
// defaults, and a machine-wide one is taken over by the user; all are written back.
TEST(ObjectPrefs, Folders) {
  TempXdg env;
  const std::string longPath = "/media/" + std::string(200, 'd') + "/ecs/";
  prefstest::writeFile(env.machineFile(), R"({"HelpDir": "/opt/studio/help.pdf"})");
  prefstest::writeFile(env.userFile(), nlohmann::json{{"ECSDir", longPath}, {"WaveShaperDir", ""}}.dump());
  auto p = std::make_unique<APlugin>(nullptr);
  const std::string shapers = env.data + "/Kestrune/Grindle2/WaveShapers/";
  EXPECT_TEXTS({p->ecsDir, longPath}, {p->waveShaperDir, shapers}, {p->helpDir, "/opt/studio/help.pdf"});
  const nlohmann::json j = fileOf(env);
  EXPECT_TEXTS(
      {j.value("ECSDir", ""), longPath}, {j.value("WaveShaperDir", ""), shapers},
      {j.value("HelpDir", ""), "/opt/studio/help.pdf"});
}

TEST(ObjectPrefs, MidiSettingsAndWrongKinds) {
  TempXdg env;
  auto fresh = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES({fresh->getMidiCaptureOn(), true}, {fresh->getMidiPresetOn(), true}, {fresh->getMidiChannelSetting(), 0});
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) EXPECT_EQ(fresh->getMidiCCTag(cc), 0) << cc;

  prefstest::writeFile(env.userFile(), R"({"MidiCapture": "N", "MidiPreset": "Y", "Midi Channel": 5,
      "7": 42, "127": 1024, "0": 1023, "3": -4, "4": 99999, "5": "12", "6": 12.5, "8": true})");
  auto p = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES(
      {p->getMidiCaptureOn(), false}, {p->getMidiPresetOn(), true}, {p->getMidiChannelSetting(), 5},
      {p->getMidiCCTag(7), 42}, {p->getMidiCCTag(0), 1023}, {p->getMidiCCTag(127), 1024});  // kept, though no tag
  for (int cc : {3, 4, 5, 6, 8, -1, 128, 100000}) EXPECT_EQ(p->getMidiCCTag(cc), 0) << cc;
  // Values of the wrong kind read like missing ones: the defaults.
  prefstest::writeFile(env.userFile(), R"({"MidiCapture": 0, "MidiPreset": "y", "Midi Channel": "5"})");
  p->loadMidiPreferences();
  EXPECT_VALUES(
      {p->getMidiCaptureOn(), true}, {p->getMidiPresetOn(), true}, {p->getMidiChannelSetting(), 0},
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
  EXPECT_VALUES(
      {p->getMidiCaptureOn(), false}, {p->getMidiPresetOn(), false}, {p->getMidiChannelSetting(), 16},
      {p->getMidiCCTag(9), 300}, {p->getMidiCCTag(10), 1024}, {p->getMidiCCTag(11), 0});
  nlohmann::json j = fileOf(env);
  EXPECT_TEXTS({j.value("MidiCapture", ""), "N"}, {j.value("MidiPreset", ""), "N"});
  EXPECT_VALUES(
      {j.value("Midi Channel", -1), 16}, {j.value("9", -1), 300}, {j.value("10", -1), 1024},
      {j.contains("11"), false}, {j.contains("128"), false});

  int32_t all[NUM_MIDI_CC];
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) all[cc] = cc * 3;
  all[50] = -7;  // not a binding: stored as none
  p->setAllMidiCCTags(all);
  j = fileOf(env);
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) {
    EXPECT_EQ(p->getMidiCCTag(cc), cc == 50 ? 0 : cc * 3) << cc;
    EXPECT_EQ(j.value(std::to_string(cc), -1), cc == 50 ? 0 : cc * 3) << cc;
  }
  // A new instance starts from what this one stored.
  auto q = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES({q->getMidiCaptureOn(), false}, {q->getMidiChannelSetting(), 16}, {q->getMidiCCTag(127), 381});
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
  for (int cc = 0; cc < 32; ++cc) EXPECT_TRUE(fileReaches(env, std::to_string(cc), 149 + cc)) << cc;
  for (int cc = 64; cc < 96; ++cc) EXPECT_TRUE(fileReaches(env, std::to_string(cc), 249 + cc)) << cc;
  const nlohmann::json j = fileOf(env);
  for (int cc = 32; cc < 64; ++cc) EXPECT_EQ(j.value(std::to_string(cc), -1), 500 + cc) << cc;
  for (int cc = 0; cc < 32; ++cc) EXPECT_EQ(a->getMidiCCTag(cc), 149 + cc) << cc;
  for (int cc = 64; cc < 96; ++cc) EXPECT_EQ(b->getMidiCCTag(cc), 249 + cc) << cc;
}
