// The plug-in object's preferences: folders with their defaults written back, the MIDI
// settings and controller map kept for the audio thread, and bindings learnt there reaching
// the preference file.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/prefsTestEnv.h"
#include "plugin/uPlugin.h"
#include "support/xdgSandbox.h"
#include "support/expectValues.h"

using prefstest::TempXdg;

namespace {

nlohmann::json fileOf(const TempXdg& env) { return prefstest::fileJson(env.userFile()); }

// Waits (a generous bound, not a timing requirement) until the file holds key = value.
bool fileReaches(const TempXdg& env, const std::string& key, int value) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    try {
      const nlohmann::json j = fileOf(env);
      if (j.contains(key) && j[key].is_number_integer() && j[key].get<int>() == value) return true;
    } catch (...) {
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

TEST(ObjectFolders, StoredFoldersAreKeptWhole) {
  TempXdg env;
  const std::string longPath = "/media/" + std::string(200, 'd') + "/ecs/";  // longer than 127 bytes
  prefstest::writeFile(env.userFile(),
                       nlohmann::json{{"ECSDir", longPath}, {"WaveShaperDir", ""}, {"HelpDir", 17}}.dump());
  auto p = std::make_unique<APlugin>(nullptr);
  EXPECT_EQ(p->ecsDir, longPath);
  const std::string base = env.data + "/Kestrune/Grindle2/";
  EXPECT_EQ(p->waveShaperDir, base + "WaveShapers/");        // empty: the default
  EXPECT_EQ(p->helpDir, base + "Help/Grindle2_Manual.pdf");  // not a string: the default
  const nlohmann::json j = fileOf(env);
  EXPECT_EQ(j.value("ECSDir", ""), longPath);
  EXPECT_EQ(j.value("WaveShaperDir", ""), base + "WaveShapers/");
  EXPECT_EQ(j.value("HelpDir", ""), base + "Help/Grindle2_Manual.pdf");
}

TEST(ObjectFolders, MachineWideFolderIsTakenOverByTheUser) {
  TempXdg env;
  prefstest::writeFile(env.machineFile(), R"({"ECSDir": "/opt/studio/ecs/"})");
  auto p = std::make_unique<APlugin>(nullptr);
  EXPECT_EQ(p->ecsDir, "/opt/studio/ecs/");
  EXPECT_EQ(fileOf(env).value("ECSDir", ""), "/opt/studio/ecs/");
  EXPECT_EQ(p->waveShaperDir, env.data + "/Kestrune/Grindle2/WaveShapers/");
}

TEST(ObjectMidiPrefs, DefaultsWithoutAFile) {
  TempXdg env;
  auto p = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES({p->getMidiCaptureOn(), true}, {p->getMidiPresetOn(), true}, {p->getMidiChannelSetting(), 0});
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) EXPECT_EQ(p->getMidiCCTag(cc), 0) << cc;
}

TEST(ObjectMidiPrefs, StoredValuesAndWrongKinds) {
  TempXdg env;
  prefstest::writeFile(env.userFile(), R"({"MidiCapture": "N", "MidiPreset": "Y", "Midi Channel": 5,
      "7": 42, "127": 1024, "0": 1023, "3": -4, "4": 99999, "5": "12", "6": 12.5, "8": true})");
  auto p = std::make_unique<APlugin>(nullptr);
  EXPECT_FALSE(p->getMidiCaptureOn());
  EXPECT_TRUE(p->getMidiPresetOn());
  EXPECT_VALUES({p->getMidiChannelSetting(), 5}, {p->getMidiCCTag(7), 42}, {p->getMidiCCTag(0), 1023});
  EXPECT_EQ(p->getMidiCCTag(127), 1024);  // kept as stored, though no tag
  for (int cc : {3, 4, 5, 6, 8}) EXPECT_EQ(p->getMidiCCTag(cc), 0) << cc;
  for (int cc : {-1, 128, 100000}) EXPECT_EQ(p->getMidiCCTag(cc), 0) << cc;

  // Values of the wrong kind read like missing ones: the defaults.
  prefstest::writeFile(env.userFile(), R"({"MidiCapture": 0, "MidiPreset": "y", "Midi Channel": "5"})");
  p->loadMidiPreferences();
  EXPECT_VALUES(
      {p->getMidiCaptureOn(), true}, {p->getMidiPresetOn(), true}, {p->getMidiChannelSetting(), 0},
      {p->getMidiCCTag(7), 0});
  prefstest::writeFile(env.userFile(), R"({"MidiCapture": "Y ", "MidiPreset": "N"})");
  p->loadMidiPreferences();
  EXPECT_TRUE(p->getMidiCaptureOn());
  EXPECT_FALSE(p->getMidiPresetOn());
}

TEST(ObjectMidiPrefs, SettersWriteTheFileAndTheLiveValue) {
  TempXdg env;
  auto p = std::make_unique<APlugin>(nullptr);
  p->setMidiCaptureOn(false);
  p->setMidiPresetOn(false);
  p->setMidiChannelSetting(16);
  p->setMidiChannelSetting(17);  // not a channel setting: ignored
  p->setMidiChannelSetting(-1);
  EXPECT_VALUES({p->getMidiCaptureOn(), false}, {p->getMidiPresetOn(), false}, {p->getMidiChannelSetting(), 16});
  nlohmann::json j = fileOf(env);
  EXPECT_EQ(j.value("MidiCapture", ""), "N");
  EXPECT_EQ(j.value("MidiPreset", ""), "N");
  EXPECT_EQ(j.value("Midi Channel", -1), 16);

  // Written at once, without the writer thread.
  p->setMidiCCTag(9, 300);
  p->setMidiCCTag(10, 1024);
  p->setMidiCCTag(11, 1025);  // no binding can hold it: ignored
  p->setMidiCCTag(128, 5);
  EXPECT_VALUES({p->getMidiCCTag(9), 300}, {p->getMidiCCTag(10), 1024}, {p->getMidiCCTag(11), 0});
  j = fileOf(env);
  EXPECT_EQ(j.value("9", -1), 300);
  EXPECT_EQ(j.value("10", -1), 1024);
  EXPECT_FALSE(j.contains("11"));
  EXPECT_FALSE(j.contains("128"));

  int32_t all[NUM_MIDI_CC];
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) all[cc] = cc * 3;
  all[50] = -7;  // not a binding: stored as none
  p->setAllMidiCCTags(all);
  j = fileOf(env);
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) {
    const int expected = cc == 50 ? 0 : cc * 3;
    EXPECT_EQ(p->getMidiCCTag(cc), expected) << cc;
    EXPECT_EQ(j.value(std::to_string(cc), -1), expected) << cc;
  }

  // A new instance starts from what this one stored.
  auto q = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES({q->getMidiCaptureOn(), false}, {q->getMidiChannelSetting(), 16}, {q->getMidiCCTag(127), 381});
}

TEST(ObjectMidiLearn, BindingLearntOnTheAudioThreadReachesTheFileWhileAlive) {
  TempXdg env;
  auto p = std::make_unique<APlugin>(nullptr);
  mainsOn(*p);
  std::thread audio([&] { p->learnMidiCC(20, 77); });
  audio.join();
  EXPECT_EQ(p->getMidiCCTag(20), 77);
  EXPECT_TRUE(fileReaches(env, "20", 77));
  // Still alive: the writer keeps working.
  std::thread again([&] { p->learnMidiCC(20, 0); });
  again.join();
  EXPECT_TRUE(fileReaches(env, "20", 0));
}

TEST(ObjectMidiLearn, PendingBindingIsWrittenWhenTheInstanceGoes) {
  TempXdg env;
  auto p = std::make_unique<APlugin>(nullptr);  // never switched on: no writer thread
  p->learnMidiCC(30, 5);
  p->learnMidiCC(31, 1023);
  p.reset();
  const nlohmann::json j = fileOf(env);
  EXPECT_EQ(j.value("30", -1), 5);
  EXPECT_EQ(j.value("31", -1), 1023);
}

TEST(ObjectMidiLearn, HostileBindingsAreIgnored) {
  TempXdg env;
  auto p = std::make_unique<APlugin>(nullptr);
  p->learnMidiCC(-1, 5);
  p->learnMidiCC(128, 5);
  p->learnMidiCC(12, -1);
  p->learnMidiCC(12, 1024);  // learning binds real tags only
  EXPECT_EQ(p->getMidiCCTag(12), 0);
  p.reset();
  const nlohmann::json j = fileOf(env);
  for (const char* key : {"-1", "128", "12"}) EXPECT_FALSE(j.contains(key)) << key;
}

TEST(ObjectMidiLearn, LaterWritesWinOverPendingOnes) {
  TempXdg env;
  auto p = std::make_unique<APlugin>(nullptr);
  p->learnMidiCC(40, 111);   // waits for the writer
  p->setMidiCCTag(40, 222);  // the editor's later choice
  p->learnMidiCC(41, 333);
  p->loadMidiPreferences();  // re-reading does not lose the waiting binding
  EXPECT_EQ(p->getMidiCCTag(40), 222);
  EXPECT_EQ(p->getMidiCCTag(41), 333);
  p.reset();
  const nlohmann::json j = fileOf(env);
  EXPECT_EQ(j.value("40", -1), 222);
  EXPECT_EQ(j.value("41", -1), 333);
}

TEST(ObjectMidiLearn, TwoInstancesLearningAtOnceKeepEveryBinding) {
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
  for (int cc = 0; cc < 32; ++cc) EXPECT_TRUE(fileReaches(env, std::to_string(cc), 100 + cc + 49)) << cc;
  for (int cc = 64; cc < 96; ++cc) EXPECT_TRUE(fileReaches(env, std::to_string(cc), 200 + cc + 49)) << cc;
  const nlohmann::json j = fileOf(env);
  for (int cc = 32; cc < 64; ++cc) EXPECT_EQ(j.value(std::to_string(cc), -1), 500 + cc) << cc;
  for (int cc = 0; cc < 32; ++cc) EXPECT_EQ(a->getMidiCCTag(cc), 100 + cc + 49) << cc;
  for (int cc = 64; cc < 96; ++cc) EXPECT_EQ(b->getMidiCCTag(cc), 200 + cc + 49) << cc;
}
