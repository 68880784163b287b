// MIDI learn, the pick-up rule, unbinding, and binding a controller by number.
#include <atomic>
#include <thread>

#include "midiTestUtil.h"
#include "platform/platform.h"
#include "support/expectValues.h"
#include "support/fakeHost.h"

using dialogtest::exitedWith;
using namespace miditest;

namespace {

constexpr int kTag = 1;  // any continuous parameter

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
  EXPECT_VALUES(
      {p.isMidiLatchOn(), false}, {p.getMidiCCTag(7), kTag}, {p.getMidiCCTag(8), 0},
      {p.getMidiCaptureValue(kTag), 0.5f, testing_support::kUlps}, {p.getMidiCaptureFlag(kTag), false});
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
  EXPECT_VALUES(
      {p.isMidiLatchOn(), false}, {p.getMidiCCTag(5), 0}, {p.getMidiCCTag(6), 0}, {p.getMidiCCTag(9), 41},
      {getMidiCC(5), 0}, {getMidiCC(9), 41}, {p.getParameter(40), before}, {p.getParameter(41), 1.0f});
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
  const std::pair<const char*, int> answers[] = {{"7", 7},  {" 12abc", 12}, {"200", 127}, {"99999999999999999999", 127},
                                                 {"-5", 0}, {"+3", 3}};
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
