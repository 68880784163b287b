// Stage order, the control and routing ticks, the block-level duties of the engine.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST(EngineStages, TheStageTapsSeeTheStagesInTheOrderOfEveryPath) {
  // What makes each stage (Distort, Filter, Comp, Widen) audibly change the signal.
  const std::vector<std::pair<int, float>> active[4] = {
      {{VOLUME_TAG, 1.0f}},
      {{VOLUME_TAG, 0.75f}, {LP_ON_TAG, 1.0f}, {LP_FREQ_TAG, 0.0f}},
      {{VOLUME_TAG, 0.75f}, {COMP_ON_TAG, 1.0f}, {COMP_THRESHOLD_TAG, 1.0f}, {COMP_VOLUME_TAG, 1.0f}},
      {{VOLUME_TAG, 0.75f}, {WIDENER_ON_TAG, 1.0f}, {WIDENER_AMOUNT_TAG, 0.5f}}};
  const std::string names[4] = {"Distort", "Filter", "Comp", "Widen"};
  for (int path = 0; path < NUM_MODULE_PATHS; ++path) {
    std::vector<int> order(4, -1);
    for (int stage = 0; stage < 4; ++stage) {
      auto p = makeProbe();
      p->setStep(MODULE_PATH_TAG, path);
      for (auto [tag, v] : active[stage]) p->setParameter(tag, v);
      bool differs[4] = {};
      for (int i = 0; i < 3072; ++i) {
        const float x = 0.1f * std::sin(0.05f * static_cast<float>(i));
        p->sample(x, x);
        for (int t = 0; t < 4 && i >= 2048; ++t)  // smoothing and look-ahead settle first
          differs[t] |= std::fabs(p->getSourceValue(47 + t) - p->getSourceValue(45)) > 0.01f;
      }
      // The active stage and every stage after it see the change; the ones before do not.
      const int after = static_cast<int>(std::count(differs, differs + 4, true));
      ASSERT_TRUE(differs[stage]) << "path " << path << " stage " << stage;
      order[4 - after] = stage;
    }
    EXPECT_EQ(order, std::vector<int>(MODULE_PATHS[path], MODULE_PATHS[path] + 4)) << "path " << path;
    // The path's name lists the same order.
    const std::string_view text = MODULE_PATH_STR[path];
    std::vector<int> named = {0, 1, 2, 3};
    auto place = [&](int stage) { return text.find(names[stage]); };
    std::sort(named.begin(), named.end(), [&](int a, int b) { return place(a) < place(b); });
    EXPECT_EQ(order, named) << text;
  }
}

// A switch is latched on the 16-sample control tick and a new route reaches the signal on the
// 256-sample routing tick, whatever the host's block size.
TEST(EngineStages, ChangesAreHeardExactlyAtTheirTick) {
  struct Change {
    int tick, after;
    void (*prepare)(Probe&);
    void (*apply)(Probe&);
  };
  const Change changes[] = {{16, 1000, [](Probe& p) { p.setParameter(LP_FREQ_TAG, 0.0f); },
                             [](Probe& p) { p.setParameter(LP_ON_TAG, 1.0f); }},
                            {256, 1100,
                             [](Probe& p) {
                               p.setParameter(VOLUME_TAG, 0.75f);
                               p.setParameter(MOD_SLOT_AMT_TAGS[0],
                                              0.25f);  // amount -0.5, set long before the route
                             },
                             [](Probe& p) {
                               p.setStep(MOD_SLOT_SRC_TAGS[0], 52);  // Offset
                               p.setStep(MOD_SLOT_DEST_TAGS[0], 1);  // Volume
                             }}};
  for (const Change& c : changes) {
    for (int block : {7, 13, 512}) {
      auto ref = makeProbe(), test = makeProbe();
      c.prepare(*ref);
      c.prepare(*test);
      std::vector<float> outRef, outTest;
      const int changeAt = (c.after / block + 1) * block;  // a block boundary
      ref->run(changeAt, 0.3f, 0.3f, block, &outRef);
      test->run(changeAt, 0.3f, 0.3f, block, &outTest);
      c.apply(*test);
      ref->run(1024, 0.3f, 0.3f, block, &outRef);
      test->run(1024, 0.3f, 0.3f, block, &outTest);
      const int tick = (changeAt + c.tick - 1) / c.tick * c.tick;
      for (int i = 0; i < tick; ++i) ASSERT_EQ(outRef[i], outTest[i]) << "block " << block << " sample " << i;
      EXPECT_GT(std::fabs(outRef[tick] - outTest[tick]), 0.01f) << "tick " << c.tick << " block " << block;
    }
  }
}

// The chorus runs at a fixed width whatever its knob shows.
TEST(EngineStages, TheChorusIgnoresItsWidthKnob) {
  std::vector<float> chorus[2];
  for (int width : {0, 1}) {
    auto c = makeProbe();
    c->setParameter(WIDENER_ON_TAG, 1.0f);
    c->setParameter(CHORUS_MODE_TAG, 1.0f);
    c->setParameter(CHORUS_WIDTH_TAG, static_cast<float>(width));
    c->run(4096, 0.2f, -0.1f, 64, &chorus[width]);
  }
  EXPECT_EQ(chorus[0], chorus[1]);
}

// After audio through the widener or the chorus, a reset (with or without a new rate) leaves
// nothing of it behind: the instance then sounds as a fresh one set up the same way.
TEST(EngineStages, AResetAfterWidenedAudioSoundsAsAFreshInstance) {
  struct Row {
    float chorusMode, rate;
  };
  const Row rows[] = {{0.0f, 44100.0f}, {1.0f, 44100.0f}, {0.0f, 96000.0f}, {1.0f, 96000.0f}};
  const std::vector<float> tone = sine(8192, 440.0f, 0.5f), loud = sine(3 * 44100, 97.0f, 0.9f);
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "chorus " << r.chorusMode << " rate " << r.rate);
    auto used = makeProbe(), fresh = makeProbe();
    std::vector<float> outL[2], outR[2];
    for (Probe* p : {used.get(), fresh.get()}) {
      p->setParameter(WIDENER_ON_TAG, 1.0f);
      p->setParameter(CHORUS_MODE_TAG, r.chorusMode);
      p->setParameter(WIDENER_AMOUNT_TAG, 1.0f);
      p->setParameter(CHORUS_LENGTH_TAG, 1.0f);
    }
    used->render(loud, loud, outL[0], outR[0]);
    for (Probe* p : {used.get(), fresh.get()}) {
      p->suspend();
      p->setSampleRate(r.rate);
      p->resetEverything();
      p->resume();
    }
    used->render(tone, tone, outL[0], outR[0]);
    fresh->render(tone, tone, outL[1], outR[1]);
    EXPECT_TRUE(outL[0] == outL[1] && outR[0] == outR[1]);
  }
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
  float left[8] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, out0[8], out1[8];
  float* ins[4] = {left, nullptr, nullptr, nullptr};
  float* outs[2] = {out0, out1};
  p->processReplacing(ins, outs, 8);
  for (int i = 0; i < 8; ++i) EXPECT_VALUES({out0[i], 0.5f}, {out1[i], 0.0f});
  const uint32_t counter = p->sampleCounter;
  float* noOuts[2] = {nullptr, nullptr};
  p->processReplacing(ins, outs, 0);
  p->processReplacing(ins, outs, -5);
  p->processReplacing(nullptr, outs, 4);
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
  // The owner hears of every reset.
  EXPECT_VALUES({p->followerEnvelope, 0.0f}, {p->resetRequested.load(), false}, {p->resets, resets + 1});

  p->resume();
  p->run(4096, 0.5f, 0.5f);
  const float before = p->followerEnvelope;
  p->resetEverything();
  EXPECT_VALUES({p->followerEnvelope, before}, {p->resetRequested.load(), true});
  p->run(1, 0.5f, 0.5f);
  EXPECT_VALUES({p->resetRequested.load(), false}, {p->followerEnvelope < 0.05f, true});
}

TEST(EngineStages, SampleRateChangesFollowTheirRules) {
  auto p = makeProbe();
  p->setSampleRate(44100.0f);
  p->setSampleRate(std::nanf(""));
  EXPECT_EQ(p->getWorkingSampleRate(), 44100.0f);
  p->setSampleRate(50.0f);
  // The lowest rate, and a bar at 120 BPM.
  EXPECT_VALUES({p->getWorkingSampleRate(), 100.0f}, {p->getSamplesPerBar(), 200.0f, kUlps});

  // Free LFOs run on at the new rate; the host transport is looked at afresh.
  p->setSampleRate(48000.0f);
  p->setStep(LFO_DEST_TAGS[0], 1);
  p->setStep(LFO_DEST_TAGS[1], 1);
  p->setStep(LFO_MODE_TAGS[1], 1);  // Host
  p->run(512);
  EXPECT_EQ(p->lastTransportPlaying, 1);
  p->setSampleRate(96000.0f);
  EXPECT_VALUES({p->lastTransportPlaying, -1}, {p->getLfo(1).getPos(), 0.0f});
  p->run(512);
  // The host is playing: the host-started LFO starts again.
  EXPECT_VALUES({p->getLfo(0).getPos() > 0.0f, true}, {p->getLfo(1).getPos() > 0.0f, true});
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
  p->loadDefaults();
  p->requestAlign();
  p->resetEverything();
  EXPECT_NEAR(p->smoothedVolume, 0.1f, 1e-6f);
  p->run(1);
  EXPECT_VALUES({p->smoothedVolume, p->getParameter(VOLUME_TAG), kUlps},
                {p->smoothedMix, p->getParameter(MIX_TAG), kUlps},
                {p->smoothedHighPassFreq, p->getParameter(HP_FREQ_TAG), kUlps},
                {p->smoothedLowPassFreq, p->getParameter(LP_FREQ_TAG), kUlps});
}

// Offsets 0 and 1 run at the block's first sample, d > 1 at sample d - 1 (also past the block's
// end), a negative one at once; events due at the same sample run in the order they were queued.
TEST(EngineStages, QueuedMidiComesDueAtItsSample) {
  auto p = makeProbe();
  const uint32_t start = p->sampleCounter;
  const int32_t offsets[] = {70, 0, 5, 1, -3, 5};
  VstMidiEvent events[6] = {};
  std::vector<VstEvent*> pointers;
  for (int k = 0; k < 6; ++k) {
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
  for (int k = 0; k < 6; ++k)
    EXPECT_VALUES({p->dueMidi[k].midiData[1], order[k]}, {p->dueAt[k] - start, at[k]});
}
