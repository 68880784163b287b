// The event pool and its per-sample dispatch: when events run, what is queued, and that the
// pool always frees its records again.
#include <climits>

#include "midiTestUtil.h"
#include "support/xdgSandbox.h"
#include "support/expectValues.h"

using namespace miditest;

namespace {

constexpr int kSrcCC16 = 16;
constexpr int kSrcCC17 = 17;

// The sample (0-based, counted from the call to processEvents) at which an event runs.
int sampleRunAt(Probe& p, int32_t offset, int limit = 400) {
  EventList list;
  list.cc(16, 127, offset).sendTo(p);
  for (int s = 0; s < limit; ++s) {
    p.runSamples(1);
    if (p.getSourceValue(kSrcCC16) == 1.0f) return s;
  }
  return -1;
}

}  // namespace

TEST(MidiQueue, OffsetsCountDownOneSampleAtATime) {
  for (const auto& [offset, sample] :
       std::vector<std::pair<int32_t, int>>{{0, 0}, {1, 0}, {2, 1}, {10, 9}, {300, 299}}) {
    Fixture f;
    EXPECT_EQ(sampleRunAt(*f.p, offset), sample) << "offset " << offset;
    EXPECT_EQ(f.p->getNumPendingEvents(), 0);
  }
}

TEST(MidiQueue, LateEventsRunAtTheFirstSampleAndNeverBlockThePool) {
  for (int32_t offset : {-1, -99, -100, INT_MIN}) {
    Fixture f;
    EXPECT_EQ(sampleRunAt(*f.p, offset), 0) << "offset " << offset;
  }
  // A pool filled with late events empties in one sample and takes a full block again.
  Fixture f;
  EventList list;
  for (int i = 0; i < Probe::MIDI_POOL_SIZE; ++i) list.cc(17, 1, -99);
  list.sendTo(*f.p);
  EXPECT_EQ(f.p->getNumPendingEvents(), Probe::MIDI_POOL_SIZE);
  f.p->runSamples(1);
  EXPECT_EQ(f.p->getNumPendingEvents(), 0);
  for (int i = 0; i < Probe::MIDI_POOL_SIZE; ++i) list.cc(17, 2, 3);
  list.sendTo(*f.p);
  EXPECT_EQ(f.p->getNumPendingEvents(), Probe::MIDI_POOL_SIZE);
}

TEST(MidiQueue, EventsBeyondTheBlockCarryIntoTheNextBlocks) {
  Fixture f;
  Probe& p = *f.p;
  EventList list;
  list.cc(16, 127, 100).cc(17, 127, 5).sendTo(p);
  std::vector<float> in(64, 0.0f), out(64);
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  p.processReplacing(ins, outs, 64);
  EXPECT_VALUES({p.getSourceValue(kSrcCC17), 1.0f}, {p.getSourceValue(kSrcCC16), 0.0f}, {p.getNumPendingEvents(), 1});
  p.processReplacing(ins, outs, 35);  // samples 64..98
  EXPECT_EQ(p.getSourceValue(kSrcCC16), 0.0f);
  p.processReplacing(ins, outs, 1);  // sample 99
  EXPECT_EQ(p.getSourceValue(kSrcCC16), 1.0f);
  EXPECT_EQ(p.getNumPendingEvents(), 0);
}

TEST(MidiQueue, DueOrderIsByTimeThenByArrival) {
  Fixture f;
  Probe& p = *f.p;
  EventList list;
  list.cc(16, 10, 3).cc(16, 20, 3).cc(16, 30, 2).sendTo(p);
  p.runSamples(1);
  EXPECT_EQ(p.getLastCCValue(), -1);
  p.runSamples(1);
  EXPECT_EQ(p.getLastCCValue(), 30);
  p.runSamples(1);
  EXPECT_EQ(p.getLastCCValue(), 20);  // both at this sample, the earlier arrival first
  EXPECT_EQ(p.getSourceValue(kSrcCC16), unit(20));
}

TEST(MidiQueue, AFullPoolDropsTheRestAndIsReusedOnceRun) {
  Fixture f;
  Probe& p = *f.p;
  EventList list;
  // 300 events: the 250th sets CC16, the 50 after it would set CC17.
  for (int i = 0; i < 249; ++i) list.add(midiEvent(0xA0, 60, 1, 4));
  list.cc(16, 127, 4);
  for (int i = 0; i < 50; ++i) list.cc(17, 127, 4);
  list.sendTo(p);
  EXPECT_EQ(p.getNumPendingEvents(), 250);
  // Still full: the next block's events are dropped too.
  list.cc(17, 127, 0).sendTo(p);
  EXPECT_EQ(p.getNumPendingEvents(), 250);
  p.runSamples(3);
  EXPECT_EQ(p.getSourceValue(kSrcCC16), 0.0f);
  p.runSamples(1);
  EXPECT_VALUES({p.getSourceValue(kSrcCC16), 1.0f}, {p.getSourceValue(kSrcCC17), 0.0f}, {p.getNumPendingEvents(), 0});

  // Every record is free again: a record freed in the middle of the pool is reused first.
  list.cc(17, 64, 1).cc(16, 0, 2).sendTo(p);
  p.runSamples(1);
  EXPECT_EQ(p.getNumPendingEvents(), 1);
  for (int i = 0; i < 249; ++i) list.cc(17, 100, 10);
  list.sendTo(p);
  EXPECT_EQ(p.getNumPendingEvents(), 250);
  p.runSamples(1);
  EXPECT_EQ(p.getSourceValue(kSrcCC16), 0.0f);
  p.runSamples(9);
  EXPECT_EQ(p.getSourceValue(kSrcCC17), unit(100));
  EXPECT_EQ(p.getNumPendingEvents(), 0);
}

TEST(MidiQueue, HostileListsAreSkipped) {
  Fixture f;
  Probe& p = *f.p;
  EXPECT_EQ(p.processEvents(nullptr), 1);

  EventList list;
  list.cc(16, 127).add(midiEvent(0xB0, 17, 127));
  VstEvents* events = list.build({0, 2, 4});
  EXPECT_EQ(p.processEvents(events), 1);
  EXPECT_EQ(p.getNumPendingEvents(), 2);

  // Events of other kinds (system exclusive) are not queued.
  VstMidiEvent sysex = midiEvent(0xF0, 1, 2);
  sysex.type = kVstSysExType;
  EventList other;
  other.add(sysex);
  EXPECT_EQ(p.processEvents(other.build()), 1);
  EXPECT_EQ(p.getNumPendingEvents(), 2);

  // A negative count queues nothing.
  VstEvents* negative = other.build();
  negative->numEvents = -5;
  EXPECT_EQ(p.processEvents(negative), 1);
  EXPECT_EQ(p.getNumPendingEvents(), 2);

  p.runSamples(1);
  EXPECT_EQ(p.getSourceValue(kSrcCC16), 1.0f);
  EXPECT_EQ(p.getSourceValue(kSrcCC17), 1.0f);
}

TEST(MidiQueue, TheOldAccumulatingProcessAlsoRunsDueEvents) {
  Fixture f;
  Probe& p = *f.p;
  EventList list;
  list.cc(16, 127, 8).sendTo(p);
  float left[16] = {}, right[16] = {};
  float* outs[2] = {left, right};
  AEffect* e = p.getAeffect();
  e->process(e, nullptr, outs, 7);
  EXPECT_EQ(p.getSourceValue(kSrcCC16), 0.0f);
  e->process(e, nullptr, outs, 1);
  EXPECT_EQ(p.getSourceValue(kSrcCC16), 1.0f);
}
