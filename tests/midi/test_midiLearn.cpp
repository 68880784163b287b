// MIDI learn, the pick-up rule, unbinding, binding a controller by number, and the
// controller-map file (its text, loading and saving through the file dialogs, failures that
// leave the map as it was).
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "midiTestUtil.h"
#include "platform/platform.h"
#include "plugin/uMidiMapFile.h"
#include "support/expectValues.h"
#include "support/fakeHost.h"

using dialogtest::exitedWith;
using namespace miditest;
using midimap::CCMap;

namespace {

constexpr int kTag = 1;  // any continuous parameter

std::string lines(int count, const std::string& value = "0") {
  std::string text;
  for (int i = 0; i < count; ++i) text += value + "\n";
  return text;
}

CCMap mapOf(const APlugin& p) {
  CCMap m{};
  for (int cc = 0; cc < 128; ++cc) m[static_cast<std::size_t>(cc)] = p.getMidiCCTag(cc);
  return m;
}

}  // namespace

// The next learnable controller (not 120, 121 or 123) binds the armed tag; a bound controller
// then drives it only once it comes within 0.01 of its value, again after a capture reset, and
// at once without the pick-up rule.
TEST(MidiLearn, LearnThenPickUpNearTheParameterValue) {
  Fixture f;
  Probe& p = *f.p;
  ASSERT_TRUE(p.getMidiCaptureOn());
  p.setParameter(kTag, 0.5f);
  p.setMidiLatch(kTag, true);
  for (int cc : {120, 121, 123}) {
    f.list.cc(cc, 64);
    f.play();
    EXPECT_VALUES({p.getMidiCCTag(cc), 0}, {p.isMidiLatchOn(), true});
  }
  f.list.cc(7, 0).cc(8, 0);  // a second controller after the learn binds nothing more
  f.play();
  EXPECT_VALUES({p.isMidiLatchOn(), false}, {p.getMidiCCTag(7), kTag}, {p.getMidiCCTag(8), 0},
                {p.getMidiCaptureValue(kTag), 0.5f, testing_support::kUlps},
                {p.getMidiCaptureFlag(kTag), false});
  // The map changed at once; the preference file gets it from the writer.
  EXPECT_TRUE(p.flushPreferences());
  EXPECT_EQ(getMidiCC(7), kTag);

  struct Step {
    int value;
    float parameter;
  };
  // 0.488 and 0.520 lie just outside 0.01; 0.504 is close enough.
  const Step steps[] = {{0, 0.5f}, {30, 0.5f}, {62, 0.5f}, {66, 0.5f}, {64, unit(64)}, {3, unit(3)}};
  for (const Step& s : steps) {
    f.list.cc(7, s.value);
    f.play();
    EXPECT_FLOAT_EQ(p.getParameter(kTag), s.parameter) << s.value;
  }
  EXPECT_TRUE(p.getMidiCaptureFlag(kTag));
  p.setParameter(kTag, 0.9f);
  p.resetMidiCapture();
  f.list.cc(7, 10);
  f.play();
  EXPECT_FLOAT_EQ(p.getParameter(kTag), 0.9f);
  p.setMidiCaptureOn(false);
  f.list.cc(7, 10);
  f.play();
  EXPECT_FLOAT_EQ(p.getParameter(kTag), unit(10));
}

TEST(MidiLearn, UnlatchingUnbindsAndResetClearsEverything) {
  Fixture f;
  Probe& p = *f.p;
  p.setMidiCaptureOn(false);
  p.setMidiCCTag(5, 40);
  p.setMidiCCTag(6, 40);
  p.setMidiCCTag(9, 41);
  p.setMidiLatch(40, false);
  const float before = p.getParameter(40);
  f.list.cc(5, 127).cc(9, 127);
  f.play();
  EXPECT_VALUES({p.isMidiLatchOn(), false}, {p.getMidiCCTag(5), 0}, {p.getMidiCCTag(6), 0},
                {p.getMidiCCTag(9), 41}, {getMidiCC(5), 0}, {getMidiCC(9), 41}, {p.getParameter(40), before},
                {p.getParameter(41), 1.0f});
  // Tags outside the store change nothing; unbinding leaves an armed learn armed.
  p.setMidiLatch(1024, true);
  p.setMidiLatch(-1, true);
  EXPECT_FALSE(p.isMidiLatchOn());
  p.setMidiLatch(41, true);
  p.setMidiLatch(5000, false);
  p.setMidiLatch(41, false);
  EXPECT_VALUES({p.isMidiLatchOn(), true}, {p.getMidiLatchTag(), 41}, {p.getMidiCCTag(9), 0});

  p.setMidiCCTag(9, 41);
  p.resetMidi();
  for (int cc = 0; cc < 128; ++cc) EXPECT_EQ(p.getMidiCCTag(cc), 0);
  EXPECT_VALUES({getMidiCC(9), 0}, {p.getMidiCaptureValue(41), -1.0f});
}

TEST(MidiLearn, ArmingAgainWhileTheAudioThreadLearnsBindsEveryArmedTag) {
  Fixture f;
  Probe& p = *f.p;
  std::atomic<bool> done{false};
  std::thread audio([&] {
    EventList list;
    while (!done.load()) {
      list.cc(7, 1).sendTo(p);
      p.runSamples(1);
    }
  });
  bool allBound = true;
  for (int tag = 1; tag <= 300 && allBound; ++tag) {
    p.setMidiLatch(tag, true);
    while (p.isMidiLatchOn()) std::this_thread::yield();
    allBound = p.getMidiCCTag(7) == tag;
  }
  done = true;
  audio.join();
  EXPECT_TRUE(allBound);
}

// The box asks for a number 0..127 under the parameter's name; the answer is read leniently and
// clamped; Cancel, an empty answer or no number bind nothing; an invalid tag asks nothing.
TEST(MidiLearn, SetMidiCCAsksForANumber) {
  Fixture f;
  Probe& p = *f.p;
  const std::pair<const char*, int> answers[] = {
      {"7", 7}, {" 12abc", 12}, {"200", 127}, {"99999999999999999999", 127}, {"-5", 0}, {"+3", 3}};
  int tag = 10;
  for (const auto& [text, cc] : answers) {
    f.dialogs.answers.push_back(exitedWith(0, std::string(text) + "\n"));
    p.setMidiCCNum(tag);
    EXPECT_VALUES({p.getMidiCCTag(cc), tag}, {getMidiCC(cc), tag});
    ++tag;
  }
  char name[64] = {};
  p.getParameterName(10, name);
  ASSERT_FALSE(f.dialogs.calls.empty());
  const std::string command = testing::PrintToString(f.dialogs.calls[0]);
  EXPECT_NE(command.find(std::string("MIDI CC : ") + name), std::string::npos) << command;
  EXPECT_NE(command.find("MIDI CC (0 - 127)"), std::string::npos) << command;

  int32_t before[128];
  for (int cc = 0; cc < 128; ++cc) before[cc] = p.getMidiCCTag(cc);
  for (const char* text : {"\n", "abc\n", "-\n"}) f.dialogs.answers.push_back(exitedWith(0, text));
  f.dialogs.answers.push_back(exitedWith(1));
  for (int i = 0; i < 4; ++i) p.setMidiCCNum(500);
  for (int cc = 0; cc < 128; ++cc) EXPECT_EQ(p.getMidiCCTag(cc), before[cc]) << cc;
  const std::size_t asked = f.dialogs.calls.size();
  p.setMidiCCNum(1024);
  p.setMidiCCNum(-1);
  EXPECT_EQ(f.dialogs.calls.size(), asked);
}

TEST(MidiLearn, ControllerChangesReachTheStoreButNotTheHostsAutomation) {
  prefstest::TempXdg env;
  testing_support::FakeHost host;
  auto p = std::make_unique<APlugin>(&testing_support::FakeHost::callback);
  p->setMidiCaptureOn(false);
  p->setMidiCCTag(20, kTag);
  EventList list;
  list.cc(20, 127, 3).sendTo(*p);
  std::vector<float> in(8, 0.0f), out(8);
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  const int automated = host.count(kHostAutomate);
  p->processReplacing(ins, outs, 8);
  EXPECT_EQ(p->getParameter(kTag), 1.0f);
  EXPECT_EQ(host.count(kHostAutomate), automated);
}

// One number a line, 128 lines; what the line format allows is read, anything else refused
// with the old values kept.
TEST(EcsText, RoundTripAndWhatTheLineFormatAllows) {
  CCMap m{};
  for (int i = 0; i < 128; ++i) m[static_cast<std::size_t>(i)] = (i * 37) % 1025;
  const std::string text = midimap::formatECS(m);
  EXPECT_EQ(text.substr(0, 11), "0\n37\n74\n111");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 128);
  CCMap back{};
  ASSERT_TRUE(midimap::parseECS(text, back));
  EXPECT_EQ(back, m);

  const std::pair<std::string, int> good[] = {
      {lines(128, "1024"), 1024},
      {lines(127, "3") + "3", 3},          // no final line break
      {lines(128, "0005\r") + "\n\n", 5},  // CR LF, blank lines at the end
      {"  " + lines(128, "+2 "), 2}};
  for (const auto& [goodText, value] : good) {
    EXPECT_TRUE(midimap::parseECS(goodText, back)) << value;
    EXPECT_VALUES({back[0], value}, {back[127], value});
  }
  const std::string bad[] = {lines(127),
                             lines(129),
                             "",
                             lines(60) + "2000\n" + lines(67),
                             lines(127) + "1025\n",
                             "-1\n" + lines(127),
                             lines(5) + "99999999999999999999999\n" + lines(122),
                             lines(10) + "abc\n" + lines(117),
                             lines(10) + "12abc\n" + lines(117),
                             lines(10) + "1.5\n" + lines(117),
                             lines(10) + "-\n" + lines(117),
                             lines(128) + "x",
                             lines(127) + std::string("0\0", 2)};
  for (const std::string& badText : bad) {
    CCMap kept = m;
    EXPECT_FALSE(midimap::parseECS(badText, kept)) << badText.size();
    EXPECT_EQ(kept, m) << badText.size();
  }
}

// Saved files load back whole (replacing the file or nothing) and the pick-up starts afresh; a
// 1024 is kept but binds nothing.
TEST(EcsFile, SavedFilesLoadBack) {
  Fixture f;
  Probe& p = *f.p;
  dialogtest::TempDir dir;
  for (int cc = 0; cc < 128; ++cc) p.setMidiCCTag(cc, (cc * 7) % 1024);
  const CCMap saved = mapOf(p);
  ASSERT_TRUE(p.saveECSFile(dir.file("a.ecs")));
  EXPECT_EQ(dialogtest::readFile(dir.file("a.ecs")), midimap::formatECS(saved));
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.ecs.tmp")));
  p.resetMidi();
  p.setParameter(7, 0.25f);
  ASSERT_TRUE(p.loadECSFile(dir.file("a.ecs")));
  EXPECT_EQ(mapOf(p), saved);
  EXPECT_EQ(getMidiCC(127), (127 * 7) % 1024);
  EXPECT_FLOAT_EQ(p.getMidiCaptureValue(7), 0.25f);

  dialogtest::writeFile(dir.file("b.ecs"), lines(128, "1024"));
  ASSERT_TRUE(p.loadECSFile(dir.file("b.ecs")));
  EXPECT_EQ(p.getMidiCCTag(16), 1024);
  f.list.cc(16, 127);
  f.play();
  EXPECT_EQ(p.getSourceValue(16), 1.0f);
  EXPECT_EQ(f.problemsShown(), 0);
}

// Bad or unreadable files and failed saves change nothing and say so; a folder or a device in
// the file's place is never replaced.
TEST(EcsFile, FailuresChangeNothingAndSaySo) {
  Fixture f;
  Probe& p = *f.p;
  dialogtest::TempDir dir;
  p.setMidiCCTag(3, 33);
  const CCMap before = mapOf(p);
  ASSERT_EQ(::mkfifo(dir.file("fifo.ecs").c_str(), 0600), 0);
  int problems = 0;
  for (const std::string& text : {lines(127), lines(20) + "x\n" + lines(107), std::string(70000, '\n')}) {
    dialogtest::writeFile(dir.file("bad.ecs"), text);
    EXPECT_FALSE(p.loadECSFile(dir.file("bad.ecs")));
    EXPECT_EQ(f.problemsShown(), ++problems);
  }
  // A pipe is refused at once, no writer needed.
  for (const std::string& path : {dir.file("missing.ecs"), dir.path(), dir.file("fifo.ecs")}) {
    EXPECT_FALSE(p.loadECSFile(path)) << path;
    EXPECT_EQ(f.problemsShown(), ++problems) << path;
  }
  for (const std::string& path : {dir.file("no/such/folder/a.ecs"), dir.file(""), std::string("/dev/null")}) {
    EXPECT_FALSE(p.saveECSFile(path)) << path;
    EXPECT_EQ(f.problemsShown(), ++problems) << path;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
  EXPECT_FALSE(std::filesystem::is_regular_file("/dev/null"));
  EXPECT_EQ(mapOf(p), before);
  EXPECT_EQ(getMidiCC(3), 33);
}

TEST(EcsFile, TheDialogsChooseTheFiles) {
  Fixture f;
  Probe& p = *f.p;
  dialogtest::TempDir dir;
  p.setMidiCCTag(10, 100);
  const CCMap saved = mapOf(p);
  f.dialogs.answers.push_back(dialogtest::exitedWith(0, dir.file("mine") + "\n"));
  p.saveECS();
  ASSERT_FALSE(f.dialogs.calls.empty());
  EXPECT_EQ(dialogtest::readFile(dir.file("mine.ecs")), midimap::formatECS(saved));
  EXPECT_NE(testing::PrintToString(f.dialogs.calls[0]).find("Grindle2.ecs"), std::string::npos);  // proposed

  p.resetMidi();
  f.dialogs.answers.push_back(dialogtest::exitedWith(1));  // cancelled: nothing happens
  p.loadECS();
  EXPECT_EQ(p.getMidiCCTag(10), 0);
  f.dialogs.answers.push_back(dialogtest::exitedWith(0, dir.file("mine.ecs") + "\n"));
  p.loadECS();
  EXPECT_EQ(mapOf(p), saved);
  EXPECT_EQ(f.problemsShown(), 0);
}
