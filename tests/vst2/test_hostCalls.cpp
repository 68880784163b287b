// The wrappers round the host callback, with and without a host.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/expectValues.h"
#include "support/fakeHost.h"
#include "vst2/audioeffectx.h"

using testing_support::FakeHost;

namespace {

struct Storing : AudioEffectX {
  explicit Storing(audioMasterCallback cb) : AudioEffectX(cb, 1, 16) {}
  float values[16] = {};
  void setParameter(int32_t i, float v) override {
    if (i >= 0 && i < 16) values[i] = v;
  }
  float getParameter(int32_t i) override { return (i >= 0 && i < 16) ? values[i] : 0.0f; }
  int32_t canDo(char* text) override { return std::string(text) == "receiveVstMidiEvent" ? answerMidi : 0; }
  int32_t answerMidi = 0;
};

char gText[64];
int gToken;

}  // namespace

// Where each argument of a wrapper lands in the callback: the wrappers the plug-in uses and one
// of each other layout (wrappers without arguments only name their opcode).
TEST(HostCalls, EachWrapperPutsItsArgumentsInTheirPlaces) {
  FakeHost host;
  Storing e(&FakeHost::callback);
  void* const t = &gToken;
  struct Row {
    std::function<void()> call;
    int32_t opcode, index;
    intptr_t value;
    void* ptr;
    float opt;
  };
  const Row rows[] = {
      {[&] { e.isInputConnected(3); }, kHostPinConnectedOld, 3, 0, nullptr, 0},
      {[&] { e.isOutputConnected(1); }, kHostPinConnectedOld, 1, 1, nullptr, 0},
      {[&] { e.__wantEventsDeprecated(1); }, kHostWantMidiOld, 0, 1, nullptr, 0},
      {[&] { e.getTimeInfo(0x2A00); }, kHostGetTime, 0, 0x2A00, nullptr, 0},
      {[&] { e.sizeWindow(640, 480); }, kHostSizeWindow, 640, 480, nullptr, 0},
      {[&] { e.offlineStart(static_cast<VstAudioFile*>(t), 3, 2); }, kHostOfflineStart, 2, 3, t, 0},
      {[&] { e.offlineRead(static_cast<VstOfflineTask*>(t), 5, true); }, kHostOfflineRead, 1, 5, t, 0},
      {[&] { e.getHostVendorString(gText); }, kHostGetVendorString, 0, 0, gText, 0},
      {[&] { e.getHostProductString(gText); }, kHostGetProductString, 0, 0, gText, 0},
      {[&] { e.hostVendorSpecific(4, 5, t, 0.25f); }, kHostVendorSpecific, 4, 5, t, 0.25f},
      {[&] { e.beginEdit(12); }, kHostBeginEdit, 12, 0, nullptr, 0},
      {[&] { e.endEdit(12); }, kHostEndEdit, 12, 0, nullptr, 0},
  };

  for (const Row& r : rows) {
    host.calls.clear();
    r.call();
    ASSERT_EQ(host.calls.size(), 1u) << r.opcode;
    const auto& c = host.calls[0];
    EXPECT_EQ(c.effect, e.getAeffect()) << r.opcode;
    EXPECT_VALUES({c.opcode, r.opcode}, {c.index, r.index}, {c.value, r.value}, {c.opt, r.opt});
    EXPECT_EQ(c.ptr, r.ptr) << r.opcode;
  }
}

TEST(HostCalls, AnswersAreInterpreted) {
  FakeHost host;
  Storing e(&FakeHost::callback);
  host.answers = {{kHostPinConnectedOld, 1}, {kHostProcessEvents, 2}, {kHostSizeWindow, 0}};
  host.versionAnswer = 0;
  EXPECT_VALUES({e.getMasterVersion(), 1}, {e.isInputConnected(0), false}, {e.isOutputConnected(0), false},
                {e.sendVstEventsToHost(nullptr), false}, {e.updateSampleRate(), 44100.0},
                {e.updateBlockSize(), 1024}, {e.sizeWindow(1, 1), false});
  host.answers = {{kHostPinConnectedOld, 0},   {kHostProcessEvents, 1},  {kHostSizeWindow, 5},
                  {kHostGetSampleRate, 96000}, {kHostGetBlockSize, 333}, {kHostCanDo, 1}};
  host.versionAnswer = 2400;
  char sizeText[] = "sizeWindow";
  EXPECT_VALUES({e.getMasterVersion(), 2400}, {e.isInputConnected(0), true},
                {e.sendVstEventsToHost(nullptr), true}, {e.updateSampleRate(), 96000.0},
                {e.getSampleRate(), 96000.0f}, {e.updateBlockSize(), 333}, {e.sizeWindow(1, 1), true},
                {e.canHostDo(sizeText), 1});
  EXPECT_EQ(e.getTimeInfo(0), &host.timeInfo);
  char vendor[64];
  EXPECT_TRUE(e.getHostVendorString(vendor));
  EXPECT_STREQ(vendor, "Test Vendor");
}

TEST(HostCalls, WithoutHostEveryWrapperAnswersNeutrally) {
  Storing e(nullptr);
  char text[64] = "stale";
  EXPECT_VALUES({e.getMasterVersion(), 1}, {e.isInputConnected(0), true}, {e.isOutputConnected(0), true},
                {e.sendVstEventsToHost(nullptr), false}, {e.ioChanged(), false},
                {e.sizeWindow(10, 10), false}, {e.updateSampleRate(), 44100.0}, {e.updateBlockSize(), 1024},
                {e.beginEdit(1), false}, {e.endEdit(1), false}, {e.updateDisplay(), false},
                {e.getHostVendorString(text), false}, {e.canHostDo(text), 0}, {e.getCurrentUniqueId(), 0});
  EXPECT_STREQ(text, "");
  EXPECT_EQ(e.getTimeInfo(0xFFFF), nullptr);
  EXPECT_EQ(e.getDirectory(), nullptr);
  e.setParameterAutomated(3, 0.25f);  // storing still works without a host
  EXPECT_EQ(e.values[3], 0.25f);
}

TEST(HostCalls, AutomatedWriteStoresBeforeTellingTheHost) {
  FakeHost host;
  Storing e(&FakeHost::callback);
  e.setParameterAutomated(5, 0.75f);
  ASSERT_EQ(host.count(kHostAutomate), 1);
  EXPECT_VALUES({host.last(kHostAutomate)->index, 5}, {host.last(kHostAutomate)->opt, 0.75f});
  ASSERT_EQ(host.valueSeenOnAutomate.size(), 1u);
  EXPECT_EQ(host.valueSeenOnAutomate[0], 0.75f);  // already stored when the host heard of it
}

TEST(HostCalls, ResumeAsksForEventsOnlyWhenWanted) {
  FakeHost host;
  Storing e(&FakeHost::callback);
  struct Step {
    int32_t answerMidi;
    bool synth;
    int asked;
  };
  for (const Step s : {Step{0, false, 0}, Step{1, false, 1}, Step{-1, false, 1}, Step{0, true, 2}}) {
    e.answerMidi = s.answerMidi;
    e.isSynth(s.synth);
    e.resume();
    EXPECT_EQ(host.count(kHostWantMidiOld), s.asked) << s.answerMidi << s.synth;
  }
  EXPECT_EQ(host.last(kHostWantMidiOld)->value, 1);
}
