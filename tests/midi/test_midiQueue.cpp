// The event pool and its per-sample dispatch: when events run, what is queued, and that the pool
// always frees its records again.
#include <climits>

#include "midiTestUtil.h"
#include "support/expectValues.h"

using namespace miditest;

namespace {

// The sample (0-based, counted from the call to processEvents) at which an event runs.
int sampleRunAt(Probe& p, int32_t offset) {
  EventList list;
  list.cc(16, 127, offset).sendTo(p);
  for (int s = 0; s < 400; ++s) {
    p.runSamples(1);
    if (p.getSourceValue(16) == 1.0f) return s;
  }
  return -1;
}

}  // namespace

// Offsets count down one sample at a time; late events run at the first sample.
TEST(MidiQueue, OffsetsCountDownAndLateEventsRunAtOnce) {
  const std::pair<int32_t, int> cases[] = {{0, 0},  {1, 0},   {2, 1},    {10, 9},      {300, 299},
                                           {-1, 0}, {-99, 0}, {-100, 0}, {INT_MIN, 0}};
  for (const auto& [offset, sample] : cases) {
    Fixture f;
    EXPECT_EQ(sampleRunAt(*f.p, offset), sample) << "offset " << offset;
    EXPECT_EQ(f.p->getNumPendingEvents(), 0);
  }
  // A pool filled with late events empties in one sample and takes a full block again.
  Fixture f;
  for (int i = 0; i < Probe::MIDI_POOL_SIZE; ++i) f.list.cc(17, 1, -99);
  f.list.sendTo(*f.p);
  EXPECT_EQ(f.p->getNumPendingEvents(), Probe::MIDI_POOL_SIZE);
  f.p->runSamples(1);
  EXPECT_EQ(f.p->getNumPendingEvents(), 0);
  for (int i = 0; i < Probe::MIDI_POOL_SIZE; ++i) f.list.cc(17, 2, 3);
  f.list.sendTo(*f.p);
  EXPECT_EQ(f.p->getNumPendingEvents(), Probe::MIDI_POOL_SIZE);
}

// Events beyond the block carry into the next blocks, through either process call.
TEST(MidiQueue, EventsBeyondTheBlockCarryIntoTheNextBlocks) {
  Fixture f;
  Probe& p = *f.p;
  f.list.cc(16, 127, 100).cc(17, 127, 5).sendTo(p);
  std::vector<float> in(64, 0.0f), out(64);
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  p.processReplacing(ins, outs, 64);
  EXPECT_VALUES({p.getSourceValue(17), 1.0f}, {p.getSourceValue(16), 0.0f}, {p.getNumPendingEvents(), 1});
  AEffect* e = p.getAeffect();
  e->process(e, nullptr, outs, 35);  // samples 64..98, by the old accumulating call
  EXPECT_EQ(p.getSourceValue(16), 0.0f);
  p.processReplacing(ins, outs, 1);  // sample 99
  EXPECT_VALUES({p.getSourceValue(16), 1.0f}, {p.getNumPendingEvents(), 0});
}

TEST(MidiQueue, DueOrderIsByTimeThenByArrival) {
  Fixture f;
  f.list.cc(16, 10, 3).cc(16, 20, 3).cc(16, 30, 2).sendTo(*f.p);
  int seen[3];
  for (int& v : seen) {
    f.p->runSamples(1);
    v = f.p->getLastCCValue();
  }
  EXPECT_VALUES({seen[0], -1}, {seen[1], 30}, {seen[2], 20});  // both at one sample: the earlier arrival first
}

TEST(MidiQueue, AFullPoolDropsTheRestAndIsReusedOnceRun) {
  Fixture f;
  Probe& p = *f.p;
  // 300 events: the 250th sets CC16, the 50 after it would set CC17.
  for (int i = 0; i < 249; ++i) f.list.add(midiEvent(0xA0, 60, 1, 4));
  f.list.cc(16, 127, 4);
  for (int i = 0; i < 50; ++i) f.list.cc(17, 127, 4);
  f.list.sendTo(p);
  EXPECT_EQ(p.getNumPendingEvents(), 250);
  f.list.cc(17, 127, 0).sendTo(p);  // still full: the next block's events are dropped too
  EXPECT_EQ(p.getNumPendingEvents(), 250);
  p.runSamples(3);
  EXPECT_EQ(p.getSourceValue(16), 0.0f);
  p.runSamples(1);
  EXPECT_VALUES({p.getSourceValue(16), 1.0f}, {p.getSourceValue(17), 0.0f}, {p.getNumPendingEvents(), 0});

  // Every record is free again: a record freed in the middle of the pool is reused first.
  f.list.cc(17, 64, 1).cc(16, 0, 2).sendTo(p);
  p.runSamples(1);
  EXPECT_EQ(p.getNumPendingEvents(), 1);
  for (int i = 0; i < 249; ++i) f.list.cc(17, 100, 10);
  f.list.sendTo(p);
  EXPECT_EQ(p.getNumPendingEvents(), 250);
  p.runSamples(1);
  EXPECT_EQ(p.getSourceValue(16), 0.0f);
  p.runSamples(9);
  EXPECT_VALUES({p.getSourceValue(17), unit(100)}, {p.getNumPendingEvents(), 0});
}

// A null list, null entries, other event kinds and a negative count are skipped.
TEST(MidiQueue, HostileListsAreSkipped) {
  Fixture f;
  Probe& p = *f.p;
  EXPECT_EQ(p.processEvents(nullptr), 1);
  f.list.cc(16, 127).cc(17, 127);
  EXPECT_EQ(p.processEvents(f.list.build({0, 2, 4})), 1);
  EXPECT_EQ(p.getNumPendingEvents(), 2);
  VstMidiEvent sysex = midiEvent(0xF0, 1, 2);
  sysex.type = kVstSysExType;
  EventList other;
  other.add(sysex);
  EXPECT_EQ(p.processEvents(other.build()), 1);
  VstEvents* negative = other.build();
  negative->numEvents = -5;
  EXPECT_EQ(p.processEvents(negative), 1);
  EXPECT_EQ(p.getNumPendingEvents(), 2);
  p.runSamples(1);
  EXPECT_VALUES({p.getSourceValue(16), 1.0f}, {p.getSourceValue(17), 1.0f});
}
