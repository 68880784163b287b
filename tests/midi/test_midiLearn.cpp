// MIDI learn, the pick-up rule, unbinding, and binding a controller by number.
#include <atomic>
#include <thread>

#include "midiTestUtil.h"
#include "platform/dialogTestSupport.h"
#include "platform/platform.h"
#include "support/fakeHost.h"
#include "support/expectValues.h"

using testing_support::kUlps;

using namespace miditest;

namespace {

constexpr int kTag = 1;  // any continuous parameter

// Installs a scripted dialog backend for the life of the object.
struct ScriptedDialogs {
  dialogtest::ScriptedBackend backend{platform::DialogTool::zenity};
  platform::IDialogBackend* old = platform::setDialogBackend(&backend);
  ~ScriptedDialogs() { platform::setDialogBackend(old); }
};

bool commandHas(const std::vector<std::string>& argv, const std::string& text) {
  for (const auto& a : argv)
    if (a.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace

TEST(MidiLearn, TheNextLearnableControllerBindsTheArmedTag) {
  Fixture f;
  Probe& p = *f.p;
  p.setParameter(kTag, 0.5f);
  p.setMidiLatch(kTag, true);
  EXPECT_TRUE(p.isMidiLatchOn());
  EventList list;
  for (int cc : {120, 121, 123}) {
    list.cc(cc, 64);
    play(p, list);
    EXPECT_EQ(p.getMidiCCTag(cc), 0) << cc;
    EXPECT_TRUE(p.isMidiLatchOn()) << cc;
  }
  list.cc(7, 0);
  play(p, list);
  EXPECT_VALUES(
      {p.isMidiLatchOn(), false}, {p.getMidiCCTag(7), kTag}, {p.getMidiCaptureValue(kTag), 0.5f, kUlps},
      {p.getMidiCaptureFlag(kTag), false});
  EXPECT_FLOAT_EQ(p.getParameter(kTag), 0.5f);  // far from the value: not taken over yet

  // The map changed at once; the preference file gets it from the writer.
  EXPECT_TRUE(p.flushPreferences());
  EXPECT_EQ(getMidiCC(7), kTag);

  // A second controller after the learn binds nothing more.
  list.cc(8, 0);
  play(p, list);
  EXPECT_EQ(p.getMidiCCTag(8), 0);
}

TEST(MidiLearn, ABoundControllerPicksUpOnlyNearTheParameterValue) {
  Fixture f;
  Probe& p = *f.p;
  ASSERT_TRUE(p.getMidiCaptureOn());
  p.setParameter(kTag, 0.5f);
  p.setMidiLatch(kTag, true);
  EventList list;
  list.cc(7, 0);
  play(p, list);
  for (int v : {30, 62, 66}) {  // 0.488 and 0.520 lie just outside 0.01
    list.cc(7, v);
    play(p, list);
    EXPECT_FLOAT_EQ(p.getParameter(kTag), 0.5f) << v;
  }
  list.cc(7, 64);  // 0.504
  play(p, list);
  EXPECT_FLOAT_EQ(p.getParameter(kTag), unit(64));
  EXPECT_TRUE(p.getMidiCaptureFlag(kTag));
  list.cc(7, 3);
  play(p, list);
  EXPECT_FLOAT_EQ(p.getParameter(kTag), unit(3));

  // A program load (here the capture reset) makes the controller catch the value again.
  p.setParameter(kTag, 0.9f);
  p.resetMidiCapture();
  list.cc(7, 10);
  play(p, list);
  EXPECT_FLOAT_EQ(p.getParameter(kTag), 0.9f);

  // Without the pick-up rule the controller drives the parameter at once.
  p.setMidiCaptureOn(false);
  list.cc(7, 10);
  play(p, list);
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
  EXPECT_FALSE(p.isMidiLatchOn());
  EXPECT_VALUES(
      {p.getMidiCCTag(5), 0}, {p.getMidiCCTag(6), 0}, {p.getMidiCCTag(9), 41}, {getMidiCC(5), 0}, {getMidiCC(9), 41});
  const float before = p.getParameter(40);
  EventList list;
  list.cc(5, 127);
  play(p, list);
  EXPECT_EQ(p.getParameter(40), before);
  list.cc(9, 127);
  play(p, list);
  EXPECT_EQ(p.getParameter(41), 1.0f);

  // Tags outside the store change nothing.
  p.setMidiLatch(1024, true);
  p.setMidiLatch(-1, true);
  EXPECT_FALSE(p.isMidiLatchOn());
  p.setMidiLatch(41, true);
  p.setMidiLatch(5000, false);
  EXPECT_TRUE(p.isMidiLatchOn());
  EXPECT_EQ(p.getMidiLatchTag(), 41);
  // Unbinding leaves an armed learn armed.
  p.setMidiLatch(41, false);
  EXPECT_TRUE(p.isMidiLatchOn());
  EXPECT_EQ(p.getMidiCCTag(9), 0);

  p.setMidiCCTag(9, 41);
  p.resetMidi();
  for (int cc = 0; cc < 128; ++cc) EXPECT_EQ(p.getMidiCCTag(cc), 0);
  EXPECT_EQ(getMidiCC(9), 0);
  EXPECT_EQ(p.getMidiCaptureValue(41), -1.0f);
}

TEST(MidiLearn, ArmingAgainWhileTheAudioThreadLearnsBindsEveryArmedTag) {
  Fixture f;
  Probe& p = *f.p;
  std::atomic<bool> done{false};
  std::thread audio([&] {
    EventList list;
    while (!done.load()) {
      list.cc(7, 1);
      play(p, list);
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

TEST(MidiLearn, SetMidiCCAsksForANumber) {
  Fixture f;
  Probe& p = *f.p;
  ScriptedDialogs dialogs;
  auto& answers = dialogs.backend.answers;
  using dialogtest::exitedWith;

  answers.push_back(exitedWith(0, "7\n"));
  p.setMidiCCNum(kTag);
  EXPECT_EQ(p.getMidiCCTag(7), kTag);
  EXPECT_EQ(getMidiCC(7), kTag);
  ASSERT_EQ(dialogs.backend.calls.size(), 1u);
  char name[64] = {};
  p.getParameterName(kTag, name);
  EXPECT_TRUE(commandHas(dialogs.backend.calls[0], std::string("MIDI CC : ") + name));
  EXPECT_TRUE(commandHas(dialogs.backend.calls[0], "MIDI CC (0 - 127)"));

  const std::vector<std::pair<std::string, int>> numbers = {
      {" 12abc", 12}, {"200", 127}, {"99999999999999999999", 127}, {"-5", 0}, {"+3", 3}};
  int tag = 10;
  for (const auto& [text, cc] : numbers) {
    answers.push_back(exitedWith(0, text + "\n"));
    p.setMidiCCNum(tag);
    EXPECT_EQ(p.getMidiCCTag(cc), tag) << text;
    ++tag;
  }

  // Cancel, an empty answer and an answer without a number bind nothing.
  int32_t before[128];
  for (int cc = 0; cc < 128; ++cc) before[cc] = p.getMidiCCTag(cc);
  answers.push_back(exitedWith(1));
  answers.push_back(exitedWith(0, "\n"));
  answers.push_back(exitedWith(0, "abc\n"));
  answers.push_back(exitedWith(0, "-\n"));
  for (int i = 0; i < 4; ++i) p.setMidiCCNum(500);
  for (int cc = 0; cc < 128; ++cc) EXPECT_EQ(p.getMidiCCTag(cc), before[cc]) << cc;

  // An invalid tag asks nothing.
  const std::size_t asked = dialogs.backend.calls.size();
  p.setMidiCCNum(1024);
  p.setMidiCCNum(-1);
  EXPECT_EQ(dialogs.backend.calls.size(), asked);
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
