// Stage order, the control and routing ticks, the block-level duties of the engine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

#include "engineTestUtil.h"
#include "plugin/uVocabulary.h"
#include "support/expectValues.h"

using testing_support::kUlps;

using namespace engine_test;

namespace {

// Stage codes named by the path texts.
int stageCode(const std::string& name) {
  if (name == "Distort") return 0;
  if (name == "Filter") return 1;
  if (name == "Comp") return 2;
  if (name == "Widen") return 3;
  return -1;
}

std::vector<int> orderOfText(std::string_view text) {
  std::vector<int> order;
  std::string s(text.substr(text.find(':') + 2));
  size_t pos = 0;
  while (true) {
    const size_t next = s.find(" > ", pos);
    order.push_back(stageCode(s.substr(pos, next == std::string::npos ? std::string::npos : next - pos)));
    if (next == std::string::npos) break;
    pos = next + 3;
  }
  return order;
}

// Makes one stage audibly change the signal; the others stay (nearly) transparent.
void makeActive(Probe& p, int stage) {
  p.setParameter(VOLUME_TAG, stage == 0 ? 1.0f : 0.75f);
  switch (stage) {
    case 1:
      p.setParameter(LP_ON_TAG, 1.0f);
      p.setParameter(LP_FREQ_TAG, 0.0f);
      break;
    case 2:
      p.setParameter(COMP_ON_TAG, 1.0f);
      p.setParameter(COMP_THRESHOLD_TAG, 1.0f);
      p.setParameter(COMP_VOLUME_TAG, 1.0f);
      break;
    case 3:
      p.setParameter(WIDENER_ON_TAG, 1.0f);
      p.setParameter(WIDENER_AMOUNT_TAG, 0.5f);
      break;
    default:
      break;
  }
}

}  // namespace

TEST(EngineStages, TheStageTapsSeeTheStagesInTheOrderOfEveryPath) {
  for (int path = 0; path < NUM_MODULE_PATHS; ++path) {
    std::vector<int> order(4, -1);
    for (int stage = 0; stage < 4; ++stage) {
      auto p = makeProbe();
      p->setStep(MODULE_PATH_TAG, path);
      makeActive(*p, stage);
      bool differs[4] = {};
      for (int i = 0; i < 3072; ++i) {
        const float x = 0.1f * std::sin(0.05f * static_cast<float>(i));
        p->sample(x, x);
        if (i < 2048) continue;  // smoothing and look-ahead settle first
        for (int t = 0; t < 4; ++t)
          if (std::fabs(p->getSourceValue(47 + t) - p->getSourceValue(45)) > 0.01f) differs[t] = true;
      }
      // The active stage and every stage after it see the change; the ones before do not.
      int after = 0;
      for (bool d : differs) after += d;
      ASSERT_TRUE(differs[stage]) << "path " << path << " stage " << stage;
      ASSERT_GE(after, 1);
      order[4 - after] = stage;
    }
    const std::vector<int> expected(MODULE_PATHS[path], MODULE_PATHS[path] + 4);
    EXPECT_EQ(order, expected) << "path " << path;
    EXPECT_EQ(order, orderOfText(MODULE_PATH_STR[path])) << MODULE_PATH_STR[path];
  }
}

// A switch is latched on the 16-sample control tick, whatever the host's block size.
TEST(EngineStages, ASwitchIsHeardExactlyAtTheNextControlTick) {
  for (int block : {7, 13, 512}) {
    auto ref = makeProbe(), test = makeProbe();
    for (Probe* p : {ref.get(), test.get()}) p->setParameter(LP_FREQ_TAG, 0.0f);
    std::vector<float> outRef, outTest;
    const int switchAt = ((1000 / block) + 1) * block;  // a block boundary past 1000
    ref->run(switchAt, 0.3f, 0.3f, block, &outRef);
    test->run(switchAt, 0.3f, 0.3f, block, &outTest);
    test->setParameter(LP_ON_TAG, 1.0f);
    ref->run(2048, 0.3f, 0.3f, block, &outRef);
    test->run(2048, 0.3f, 0.3f, block, &outTest);
    const int tick = (switchAt + 15) / 16 * 16;
    for (int i = 0; i < tick; ++i) ASSERT_EQ(outRef[i], outTest[i]) << "block " << block << " sample " << i;
    EXPECT_GT(std::fabs(outRef[tick] - outTest[tick]), 0.01f) << "block " << block;
  }
}

// A new route reaches the signal on the 256-sample routing tick.
TEST(EngineStages, ANewRouteIsHeardExactlyAtTheRoutingTick) {
  for (int block : {7, 13, 512}) {
    auto ref = makeProbe(), test = makeProbe();
    for (Probe* p : {ref.get(), test.get()}) {
      p->setParameter(VOLUME_TAG, 0.75f);
      p->setParameter(MOD_SLOT_AMT_TAGS[0], 0.25f);  // amount -0.5, set long before the route
    }
    std::vector<float> outRef, outTest;
    const int switchAt = ((1100 / block) + 1) * block;
    ref->run(switchAt, 0.3f, 0.3f, block, &outRef);
    test->run(switchAt, 0.3f, 0.3f, block, &outTest);
    test->setStep(MOD_SLOT_SRC_TAGS[0], 52);  // Offset
    test->setStep(MOD_SLOT_DEST_TAGS[0], 1);  // Volume
    ref->run(1024, 0.3f, 0.3f, block, &outRef);
    test->run(1024, 0.3f, 0.3f, block, &outTest);
    const int tick = (switchAt + 255) / 256 * 256;
    for (int i = 0; i < tick; ++i) ASSERT_EQ(outRef[i], outTest[i]) << "block " << block << " sample " << i;
    EXPECT_LT(std::fabs(outTest[tick]), 0.5f * std::fabs(outRef[tick])) << "block " << block;
  }
}

TEST(EngineStages, TheWidenerLeavesTheLeftChannelAndTheChorusIgnoresItsWidthKnob) {
  auto p = makeProbe();
  p->setParameter(VOLUME_TAG, 0.75f);
  p->setParameter(WIDENER_ON_TAG, 1.0f);
  p->setParameter(WIDENER_AMOUNT_TAG, 0.7f);
  std::vector<float> wideL, wideR, plainL, plainR;
  auto plain = makeProbe();
  plain->setParameter(VOLUME_TAG, 0.75f);
  for (int i = 0; i < 4096; ++i) {
    const float x = 0.3f * std::sin(0.05f * static_cast<float>(i));
    auto w = p->sample(x, x);
    auto q = plain->sample(x, x);
    ASSERT_EQ(w.first, q.first) << i;
    wideR.push_back(w.second);
    plainR.push_back(q.second);
  }
  EXPECT_NE(wideR, plainR);

  std::vector<float> chorusA, chorusB;
  for (float width : {0.0f, 1.0f}) {
    auto c = makeProbe();
    c->setParameter(WIDENER_ON_TAG, 1.0f);
    c->setParameter(CHORUS_MODE_TAG, 1.0f);
    c->setParameter(CHORUS_WIDTH_TAG, width);
    std::vector<float>& out = width == 0.0f ? chorusA : chorusB;
    c->run(4096, 0.2f, -0.1f, 64, &out);
  }
  EXPECT_EQ(chorusA, chorusB);
}

#if defined(__x86_64__)
TEST(EngineStages, ProcessingFlushesDenormalsAndGivesTheHostItsFlagsBack) {
  auto p = makeProbe();
  const unsigned original = _mm_getcsr();
  for (unsigned hostFlags : {original & ~0x8040u, original | 0x8040u}) {
    _mm_setcsr(hostFlags);
    p->run(100, 0.1f, 0.1f);
    EXPECT_EQ(_mm_getcsr(), hostFlags);
  }
  _mm_setcsr(original);
}
#endif

TEST(EngineStages, NullAndMissingChannelsAreSilenceAndNothingHappensForEmptyBlocks) {
  auto p = makeProbe();
  p->setParameter(MIX_TAG, 0.0f);
  p->run(2048, 0.0f, 0.0f);  // the loaded program's mix of 1 glides to exactly 0
  float left[8] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
  float out0[8], out1[8];
  float* ins[4] = {left, nullptr, nullptr, nullptr};
  float* outs[2] = {out0, out1};
  p->processReplacing(ins, outs, 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(out0[i], 0.5f);
    EXPECT_EQ(out1[i], 0.0f);
  }
  const uint32_t counter = p->sampleCounter;
  p->processReplacing(ins, outs, 0);
  p->processReplacing(ins, outs, -5);
  p->processReplacing(nullptr, outs, 4);
  float* noOuts[2] = {nullptr, nullptr};
  p->processReplacing(ins, noOuts, 4);
  EXPECT_EQ(p->sampleCounter, counter + 8);
}

TEST(EngineStages, ResetFromAnotherThreadWaitsForTheNextBlockUnlessSwitchedOff) {
  auto p = makeProbe();
  p->run(4096, 0.5f, 0.5f);  // the follower listens to the main input
  ASSERT_GT(p->followerEnvelope, 0.1f);

  p->suspend();
  const int resets = p->resets;
  p->resetEverything();
  EXPECT_EQ(p->followerEnvelope, 0.0f);
  EXPECT_FALSE(p->resetRequested.load());
  EXPECT_EQ(p->resets, resets + 1);  // the owner hears of every reset

  p->resume();
  p->run(4096, 0.5f, 0.5f);
  const float before = p->followerEnvelope;
  p->resetEverything();
  EXPECT_EQ(p->followerEnvelope, before);
  EXPECT_TRUE(p->resetRequested.load());
  p->run(1, 0.5f, 0.5f);
  EXPECT_FALSE(p->resetRequested.load());
  EXPECT_LT(p->followerEnvelope, 0.05f);
}

TEST(EngineStages, SampleRateChangesFollowTheirRules) {
  auto p = makeProbe();
  p->setSampleRate(44100.0f);
  EXPECT_EQ(p->getWorkingSampleRate(), 44100.0f);
  p->setSampleRate(std::nanf(""));
  EXPECT_EQ(p->getWorkingSampleRate(), 44100.0f);
  p->setSampleRate(50.0f);
  EXPECT_EQ(p->getWorkingSampleRate(), 100.0f);
  EXPECT_FLOAT_EQ(p->getSamplesPerBar(), 100.0f * 240.0f / 120.0f);

  // Free LFOs run on at the new rate; the host transport is looked at afresh.
  p->setSampleRate(48000.0f);
  p->setStep(LFO_DEST_TAGS[0], 1);
  p->setStep(LFO_DEST_TAGS[1], 1);
  p->setStep(LFO_MODE_TAGS[1], 1);  // Host
  p->run(512);
  EXPECT_EQ(p->lastTransportPlaying, 1);
  p->setSampleRate(96000.0f);
  EXPECT_EQ(p->lastTransportPlaying, -1);
  EXPECT_EQ(p->getLfo(1).getPos(), 0.0f);
  p->run(512);
  EXPECT_GT(p->getLfo(0).getPos(), 0.0f);
  EXPECT_GT(p->getLfo(1).getPos(), 0.0f);  // the host is playing: started again
}

TEST(EngineStages, BypassedStagesKeepRunning) {
  auto p = makeProbe();
  p->setParameter(BYPASS_TAG, 1.0f);
  p->setParameter(COMP_ON_TAG, 1.0f);
  float lastTap = p->getSourceValue(49);
  int moves = 0;
  for (int i = 0; i < 512; ++i) {
    const float x = 0.4f * std::sin(0.05f * static_cast<float>(i));
    const auto out = p->sample(x, x);
    ASSERT_EQ(out.first, x);
    moves += p->getSourceValue(49) != lastTap;
    lastTap = p->getSourceValue(49);
  }
  EXPECT_GT(moves, 300);  // the compressor's tap follows its delayed input
}

// A program load starts the loaded program at its own volume, mix and filter frequencies
// (a load while processing runs takes effect at the next block, on the audio thread).
TEST(EngineStages, AProgramLoadAlignsTheSmoothedValuesWithTheLoadedProgram) {
  auto p = makeProbe();
  p->resume();
  p->run(512);
  p->setParameter(VOLUME_TAG, 0.1f);
  p->setParameter(MIX_TAG, 0.2f);
  p->run(512);
  ASSERT_NEAR(p->smoothedVolume, 0.1f, 1e-6f);
  p->loadDefaults();  // a program load: processing is on, so the alignment waits for the block
  p->requestAlign();
  p->resetEverything();
  EXPECT_NEAR(p->smoothedVolume, 0.1f, 1e-6f);
  const float vol = p->getParameter(VOLUME_TAG), mix = p->getParameter(MIX_TAG);
  const float hp = p->getParameter(HP_FREQ_TAG), lp = p->getParameter(LP_FREQ_TAG);
  p->run(1);
  EXPECT_VALUES(
      {p->smoothedVolume, vol, kUlps}, {p->smoothedMix, mix, kUlps}, {p->smoothedHighPassFreq, hp, kUlps},
      {p->smoothedLowPassFreq, lp, kUlps});
  p->suspend();
}

// Offsets 0 and 1 run at the block's first sample, d > 1 at sample d - 1 (also past the block's
// end); events due at the same sample run in the order they were queued.
TEST(EngineStages, QueuedMidiComesDueAtItsSample) {
  auto p = makeProbe();
  const uint32_t start = p->sampleCounter;
  const int32_t offsets[] = {70, 0, 5, 1, -3, 5};
  std::vector<VstMidiEvent> events(6);
  std::vector<VstEvent*> pointers;
  for (int k = 0; k < 6; ++k) {
    events[k] = {};
    events[k].type = kVstMidiType;
    events[k].deltaFrames = offsets[k];
    events[k].midiData[1] = static_cast<char>(k);
    pointers.push_back(reinterpret_cast<VstEvent*>(&events[k]));
  }
  pointers.insert(pointers.begin() + 2, nullptr);  // skipped
  std::vector<char> storage(sizeof(VstEvents) + pointers.size() * sizeof(VstEvent*));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = static_cast<int32_t>(pointers.size());
  std::memcpy(list->events, pointers.data(), pointers.size() * sizeof(VstEvent*));
  p->queueMidi(list);
  EXPECT_EQ(p->getNumPendingEvents(), 6);
  p->run(128, 0.0f, 0.0f, 64);
  EXPECT_EQ(p->getNumPendingEvents(), 0);
  const int order[] = {1, 3, 4, 2, 5, 0};
  const uint32_t at[] = {0, 0, 0, 4, 4, 69};
  ASSERT_EQ(p->dueMidi.size(), 6u);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(p->dueMidi[k].midiData[1], order[k]) << k;
    EXPECT_EQ(p->dueAt[k] - start, at[k]) << k;
  }
}

// A mix moved while bypassed has arrived when bypass ends: the first sample after it sounds as
// an instance that was never bypassed.
TEST(EngineStages, TheMixFollowsItsKnobWhileBypassed) {
  auto test = makeProbe(), ref = makeProbe();
  for (Probe* p : {test.get(), ref.get()}) {
    p->setStep(DISTORT_TYPE_TAG, 12);  // a wet path unlike the dry one
    p->setParameter(VOLUME_TAG, 1.0f);
    p->setParameter(MIX_TAG, 0.0f);
    p->run(2048, 0.3f, -0.2f);
  }
  test->setParameter(BYPASS_TAG, 1.0f);
  for (Probe* p : {test.get(), ref.get()}) {
    p->setParameter(MIX_TAG, 1.0f);
    p->run(300, 0.3f, -0.2f);
  }
  test->setParameter(BYPASS_TAG, 0.0f);
  const auto first = test->sample(0.3f, -0.2f), expected = ref->sample(0.3f, -0.2f);
  EXPECT_EQ(first, expected);
  EXPECT_GT(std::fabs(first.first - 0.3f), 0.01f);  // the wet path, not the dry input
}
