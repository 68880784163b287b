// The wrappers round the host callback, with and without a host.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "support/fakeHost.h"
#include "vst2/audioeffectx.h"
#include "support/expectValues.h"

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

TEST(HostCalls, EachWrapperSendsItsOpcodeAndArguments) {
  FakeHost host;
  Storing e(&FakeHost::callback);
  struct Row {
    std::function<void()> call;
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
  };
  const Row rows[] = {
      {[&] { e.getMasterVersion(); }, kHostVersion, 0, 0, nullptr, 0},
      {[&] { e.getCurrentUniqueId(); }, kHostCurrentId, 0, 0, nullptr, 0},
      {[&] { e.masterIdle(); }, kHostIdle, 0, 0, nullptr, 0},
      {[&] { e.isInputConnected(3); }, kHostPinConnectedOld, 3, 0, nullptr, 0},
      {[&] { e.isOutputConnected(1); }, kHostPinConnectedOld, 1, 1, nullptr, 0},
      {[&] { e.__wantEventsDeprecated(1); }, kHostWantMidiOld, 0, 1, nullptr, 0},
      {[&] { e.getTimeInfo(0x2A00); }, kHostGetTime, 0, 0x2A00, nullptr, 0},
      {[&] { e.sendVstEventsToHost(reinterpret_cast<VstEvents*>(&gToken)); }, kHostProcessEvents, 0, 0, &gToken, 0},
      {[&] { e.__tempoAtDeprecated(77); }, kHostTempoAtOld, 0, 77, nullptr, 0},
      {[&] { e.__getNumAutomatableParametersDeprecated(); }, kHostGetNumAutomatableParametersOld, 0, 0, nullptr, 0},
      {[&] { e.__getParameterQuantizationDeprecated(); }, kHostGetParameterQuantizationOld, 0, 0, nullptr, 0},
      {[&] { e.ioChanged(); }, kHostIoChanged, 0, 0, nullptr, 0},
      {[&] { e.__needIdleDeprecated(); }, kHostNeedIdleOld, 0, 0, nullptr, 0},
      {[&] { e.sizeWindow(640, 480); }, kHostSizeWindow, 640, 480, nullptr, 0},
      {[&] { e.updateSampleRate(); }, kHostGetSampleRate, 0, 0, nullptr, 0},
      {[&] { e.updateBlockSize(); }, kHostGetBlockSize, 0, 0, nullptr, 0},
      {[&] { e.getInputLatency(); }, kHostGetInputLatency, 0, 0, nullptr, 0},
      {[&] { e.getOutputLatency(); }, kHostGetOutputLatency, 0, 0, nullptr, 0},
      {[&] { e.__getPreviousPlugDeprecated(2); }, kHostGetPreviousPlugOld, 0, 2, nullptr, 0},
      {[&] { e.__getNextPlugDeprecated(2); }, kHostGetNextPlugOld, 0, 2, nullptr, 0},
      {[&] { e.__willProcessReplacingDeprecated(); }, kHostWillReplaceOrAccumulateOld, 0, 0, nullptr, 0},
      {[&] { e.getCurrentProcessLevel(); }, kHostGetCurrentProcessLevel, 0, 0, nullptr, 0},
      {[&] { e.getAutomationState(); }, kHostGetAutomationState, 0, 0, nullptr, 0},
      {[&] { e.offlineStart(reinterpret_cast<VstAudioFile*>(&gToken), 3, 2); }, kHostOfflineStart, 2, 3, &gToken, 0},
      {[&] { e.offlineRead(reinterpret_cast<VstOfflineTask*>(&gToken), 5, true); }, kHostOfflineRead, 1, 5, &gToken,
       0},
      {[&] { e.offlineWrite(reinterpret_cast<VstOfflineTask*>(&gToken), 5); }, kHostOfflineWrite, 0, 5, &gToken, 0},
      {[&] { e.offlineGetCurrentPass(); }, kHostOfflineGetCurrentPass, 0, 0, nullptr, 0},
      {[&] { e.offlineGetCurrentMetaPass(); }, kHostOfflineGetCurrentMetaPass, 0, 0, nullptr, 0},
      {[&] { e.__setOutputSampleRateDeprecated(48000.0f); }, kHostSetOutputSampleRateOld, 0, 0, nullptr, 48000.0f},
      {[&] { e.__getOutputSpeakerArrangementDeprecated(); }, kHostGetOutputSpeakerArrangementOld, 0, 0, nullptr, 0},
      {[&] { e.getHostVendorString(gText); }, kHostGetVendorString, 0, 0, gText, 0},
      {[&] { e.getHostProductString(gText); }, kHostGetProductString, 0, 0, gText, 0},
      {[&] { e.getHostVendorVersion(); }, kHostGetVendorVersion, 0, 0, nullptr, 0},
      {[&] { e.hostVendorSpecific(4, 5, &gToken, 0.25f); }, kHostVendorSpecific, 4, 5, &gToken, 0.25f},
      {[&] { e.canHostDo(gText); }, kHostCanDo, 0, 0, gText, 0},
      {[&] { e.getHostLanguage(); }, kHostGetLanguage, 0, 0, nullptr, 0},
      {[&] { e.__openWindowDeprecated(&gToken); }, kHostOpenWindowOld, 0, 0, &gToken, 0},
      {[&] { e.__closeWindowDeprecated(&gToken); }, kHostCloseWindowOld, 0, 0, &gToken, 0},
      {[&] { e.getDirectory(); }, kHostGetDirectory, 0, 0, nullptr, 0},
      {[&] { e.updateDisplay(); }, kHostUpdateDisplay, 0, 0, nullptr, 0},
      {[&] { e.beginEdit(12); }, kHostBeginEdit, 12, 0, nullptr, 0},
      {[&] { e.endEdit(12); }, kHostEndEdit, 12, 0, nullptr, 0},
      {[&] { e.openFileSelector(reinterpret_cast<VstFileSelect*>(&gToken)); }, kHostOpenFileSelector, 0, 0, &gToken,
       0},
      {[&] { e.closeFileSelector(reinterpret_cast<VstFileSelect*>(&gToken)); }, kHostCloseFileSelector, 0, 0,
       &gToken, 0},
      {[&] { e.__getChunkFileDeprecated(&gToken); }, kHostGetChunkFileOld, 0, 0, &gToken, 0},
      {[&] { e.__getInputSpeakerArrangementDeprecated(); }, kHostGetInputSpeakerArrangementOld, 0, 0, nullptr, 0},
  };
  for (const Row& r : rows) {
    host.calls.clear();
    r.call();
    ASSERT_EQ(host.calls.size(), 1u) << r.opcode;
    const auto& c = host.calls[0];
    EXPECT_EQ(c.effect, e.getAeffect()) << r.opcode;
    EXPECT_EQ(c.opcode, r.opcode);
    EXPECT_EQ(c.index, r.index) << r.opcode;
    EXPECT_EQ(c.value, r.value) << r.opcode;
    EXPECT_EQ(c.ptr, r.ptr) << r.opcode;
    EXPECT_EQ(c.opt, r.opt) << r.opcode;
  }
}

TEST(HostCalls, AnswersAreInterpreted) {
  FakeHost host;
  Storing e(&FakeHost::callback);
  host.versionAnswer = 0;
  EXPECT_EQ(e.getMasterVersion(), 1);
  host.versionAnswer = 2400;
  EXPECT_EQ(e.getMasterVersion(), 2400);
  host.answers[kHostPinConnectedOld] = 1;
  EXPECT_FALSE(e.isInputConnected(0));
  EXPECT_FALSE(e.isOutputConnected(0));
  host.answers[kHostPinConnectedOld] = 0;
  EXPECT_TRUE(e.isInputConnected(0));
  host.answers[kHostProcessEvents] = 2;
  EXPECT_FALSE(e.sendVstEventsToHost(nullptr));
  host.answers[kHostProcessEvents] = 1;
  EXPECT_TRUE(e.sendVstEventsToHost(nullptr));
  EXPECT_EQ(e.getTimeInfo(0), &host.timeInfo);
  host.answers[kHostGetSampleRate] = 0;
  EXPECT_EQ(e.updateSampleRate(), 44100.0);
  host.answers[kHostGetSampleRate] = 96000;
  EXPECT_EQ(e.updateSampleRate(), 96000.0);
  EXPECT_EQ(e.getSampleRate(), 96000.0f);
  host.answers[kHostGetBlockSize] = 0;
  EXPECT_EQ(e.updateBlockSize(), 1024);
  host.answers[kHostGetBlockSize] = 333;
  EXPECT_EQ(e.updateBlockSize(), 333);
  EXPECT_FALSE(e.sizeWindow(1, 1));
  host.answers[kHostSizeWindow] = 5;
  EXPECT_TRUE(e.sizeWindow(1, 1));
  char vendor[64];
  EXPECT_TRUE(e.getHostVendorString(vendor));
  EXPECT_STREQ(vendor, "Test Vendor");
  host.answers[kHostCanDo] = 1;
  char sizeText[] = "sizeWindow";
  EXPECT_EQ(e.canHostDo(sizeText), 1);
}

TEST(HostCalls, WithoutHostEveryWrapperAnswersNeutrally) {
  Storing e(nullptr);
  EXPECT_VALUES({e.getMasterVersion(), 1}, {e.isInputConnected(0), true}, {e.isOutputConnected(0), true});
  EXPECT_EQ(e.getTimeInfo(0xFFFF), nullptr);
  EXPECT_VALUES(
      {e.sendVstEventsToHost(nullptr), false}, {e.ioChanged(), false}, {e.sizeWindow(10, 10), false},
      {e.updateSampleRate(), 44100.0}, {e.updateBlockSize(), 1024}, {e.beginEdit(1), false}, {e.endEdit(1), false},
      {e.updateDisplay(), false});
  EXPECT_EQ(e.getDirectory(), nullptr);
  char text[64] = "stale";
  EXPECT_FALSE(e.getHostVendorString(text));
  EXPECT_STREQ(text, "");
  EXPECT_EQ(e.canHostDo(text), 0);
  EXPECT_EQ(e.getCurrentUniqueId(), 0);
  // Storing still works without a host.
  e.setParameterAutomated(3, 0.25f);
  EXPECT_EQ(e.values[3], 0.25f);
}

TEST(HostCalls, AutomatedWriteStoresBeforeTellingTheHost) {
  FakeHost host;
  Storing e(&FakeHost::callback);
  e.setParameterAutomated(5, 0.75f);
  ASSERT_EQ(host.count(kHostAutomate), 1);
  const auto* call = host.last(kHostAutomate);
  EXPECT_EQ(call->index, 5);
  EXPECT_EQ(call->opt, 0.75f);
  ASSERT_EQ(host.valueSeenOnAutomate.size(), 1u);
  EXPECT_EQ(host.valueSeenOnAutomate[0], 0.75f);  // already stored when the host heard of it
}

TEST(HostCalls, ResumeAsksForEventsOnlyWhenWanted) {
  FakeHost host;
  Storing e(&FakeHost::callback);
  e.resume();
  EXPECT_EQ(host.count(kHostWantMidiOld), 0);
  e.answerMidi = 1;
  e.resume();
  EXPECT_EQ(host.count(kHostWantMidiOld), 1);
  e.answerMidi = 0;
  e.isSynth(true);
  e.resume();
  EXPECT_EQ(host.count(kHostWantMidiOld), 2);
  EXPECT_EQ(host.last(kHostWantMidiOld)->value, 1);
}

TEST(SpeakerArrangements, AllocateMatchAndFree) {
  AudioEffectX e(nullptr, 1, 1);
  VstSpeakerArrangement* source = nullptr;
  ASSERT_TRUE(e.allocateArrangement(&source, 12));  // more than the eight declared entries
  EXPECT_EQ(source->numChannels, 12);
  source->type = 42;
  VstSpeakerProperties* speakers = source->speakers;
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(speakers[i].azimuth, 0.0f);
    speakers[i].azimuth = static_cast<float>(i);
    speakers[i].type = 100 + i;
    std::snprintf(speakers[i].name, sizeof(speakers[i].name), "S%d", i);
  }
  VstSpeakerArrangement* target = nullptr;
  ASSERT_TRUE(e.allocateArrangement(&target, 1));
  ASSERT_TRUE(e.matchArrangement(&target, source));  // frees the old one first
  EXPECT_EQ(target->type, 42);
  EXPECT_EQ(target->numChannels, 12);
  VstSpeakerProperties* copied = target->speakers;
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(copied[i].azimuth, static_cast<float>(i));
    EXPECT_EQ(copied[i].type, 100 + i);
    EXPECT_EQ(std::string(copied[i].name), "S" + std::to_string(i));
  }
  EXPECT_VALUES(
      {e.allocateArrangement(&target, -1), false}, {e.allocateArrangement(nullptr, 2), false},
      {e.copySpeaker(nullptr, copied), false}, {e.deallocateArrangement(&target), true});
  EXPECT_EQ(target, nullptr);
  EXPECT_TRUE(e.deallocateArrangement(&target));  // freeing nothing is harmless
  EXPECT_TRUE(e.deallocateArrangement(&source));
}
