// The event queue (when events run, what is queued, the pool always freed again) and what each
// MIDI message does: modulation sources, held notes and the LFOs they start and stop, the
// receive channel and program changes.
#include <algorithm>
#include <array>
#include <climits>
#include <tuple>

#include "midiTestUtil.h"
#include "platform/platform.h"
#include "plugin/uMidiTables.h"
#include "support/expectValues.h"

using testing_support::kUlps;

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
  const std::pair<int32_t, int> cases[] = {{0, 0},  {1, 0},   {2, 1},    {10, 9},     {300, 299},
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

// Hosts allocate as many entries as the list holds, past the two its type declares.
TEST(MidiQueue, ListsOfAnyLengthComeThroughTheDispatcher) {
  Fixture f;
  Probe& p = *f.p;
  for (int note : {60, 64, 67}) f.list.note(note, 100);
  for (int cc = 16; cc <= 19; ++cc) f.list.cc(cc, 127, cc - 14);
  AEffect* e = p.getAeffect();
  EXPECT_EQ(e->dispatcher(e, kEffProcessEvents, 0, 0, f.list.build(), 0.0f), 1);
  EXPECT_EQ(p.getNumPendingEvents(), 7);
  p.runSamples(1);
  EXPECT_VALUES({p.isNoteHeld(60), true}, {p.isNoteHeld(64), true}, {p.isNoteHeld(67), true},
                {p.getSourceValue(19), 0.0f});
  p.runSamples(4);
  for (int cc = 16; cc <= 19; ++cc) EXPECT_EQ(p.getSourceValue(cc), 1.0f) << cc;
  EXPECT_EQ(p.getNumPendingEvents(), 0);
}

TEST(MidiMessages, ControllersThatAreSourcesSetTheirSources) {
  // Source index per controller number (0 = none); controller 1 also sets source 2.
  std::array<int, 128> expected{};
  expected[1] = 1;
  expected[2] = 13;
  expected[4] = 14;
  expected[11] = 15;
  for (int c = 16; c <= 21; ++c) expected[c] = c;
  expected[74] = 22;
  for (int c = 84; c <= 90; ++c) expected[c] = c - 61;
  expected[113] = 30;
  expected[114] = 31;
  Fixture f;
  for (int cc = 0; cc < 128; ++cc) {
    f.list.cc(cc, 127);
    f.play();
    for (int src = 1; src <= 31; ++src) {
      const bool set = src == expected[cc] || (cc == 1 && src == 2);
      EXPECT_EQ(f.p->getSourceValue(src), set ? 1.0f : 0.0f) << "cc " << cc << " source " << src;
    }
    EXPECT_VALUES({f.p->getLastCC(), cc}, {f.p->getLastCCValue(), 127});
    f.list.cc(cc, 0);
    f.play();
  }
  f.list.cc(85, 64);
  f.play();
  EXPECT_FLOAT_EQ(f.p->getSourceValue(24), 64.0f / 127.0f);
}

// Pitch bend is -1..1 around its centre; poly pressure takes the second byte, channel pressure
// the first, and both feed the common pressure source.
TEST(MidiMessages, PitchBendAndPressure) {
  Fixture f;
  const float top = static_cast<float>((16383.0 / 16384.0 - 0.5) * 2.0);
  for (auto [lsb, msb, value] :
       {std::tuple{0, 64, 0.0f}, std::tuple{127, 127, top}, std::tuple{0, 0, -1.0f}}) {
    f.list.add(midiEvent(0xE0, lsb, msb));
    f.play();
    EXPECT_FLOAT_EQ(f.p->getSourceValue(midi::SRC_PITCHBEND), value) << lsb << " " << msb;
  }
  f.list.add(midiEvent(0xA0, 60, 100));
  f.play();
  EXPECT_FLOAT_EQ(f.p->getSourceValue(midi::SRC_MOD_AFTER), unit(100));
  f.list.add(midiEvent(0xD0, 30, 99));
  f.play();
  EXPECT_VALUES({f.p->getSourceValue(midi::SRC_CHANNEL_AFTER), unit(30), kUlps},
                {f.p->getSourceValue(midi::SRC_MOD_AFTER), unit(30), kUlps},
                {f.p->getSourceValue(midi::SRC_POLY_AFTER), unit(100), kUlps});
}

TEST(MidiMessages, NotesSetSourcesAndHeldNotes) {
  Fixture f;
  Probe& p = *f.p;
  f.list.note(69, 100);
  f.play();
  EXPECT_VALUES({p.getSourceValue(midi::SRC_NOTE), unit(69), kUlps},
                {p.getSourceValue(midi::SRC_NOTE_CENTER), 1.0f, kUlps},  // an octave above 57
                {p.getSourceValue(midi::SRC_VELOCITY), unit(100), kUlps}, {p.isNoteHeld(69), true});

  // The random values lie in 0..1 and the uni forms follow them; every note draws anew.
  std::vector<float> draws;
  for (int n = 0; n < 20; ++n) {
    f.list.note(40 + n, 90);
    f.play();
    for (int src : {midi::SRC_NOTE_RND_1, midi::SRC_NOTE_RND_2}) {
      const float r = p.getSourceValue(src);
      EXPECT_TRUE(r >= 0.0f && r <= 1.0f) << r;
      EXPECT_FLOAT_EQ(p.getSourceValue(src + 1), 0.5f * r + 0.5f);
      draws.push_back(r);
    }
  }
  std::sort(draws.begin(), draws.end());
  EXPECT_GT(std::unique(draws.begin(), draws.end()) - draws.begin(), 30);

  // Velocity 0 is a note off and leaves the note sources alone.
  const float note = p.getSourceValue(midi::SRC_NOTE);
  f.list.note(69, 0).add(midiEvent(0x80, 41, 0));
  f.play();
  EXPECT_VALUES({p.isNoteHeld(69), false}, {p.isNoteHeld(41), false},
                {p.getSourceValue(midi::SRC_NOTE), note}, {p.isNoteHeld(40), true});
}

// Note-mode LFOs run while any note is held; MIDI-mode LFOs follow their trigger controller
// (the pitch wheel its distance from the centre); only MIDI mode listens.
TEST(MidiMessages, LfosFollowNotesAndTriggers) {
  Fixture f;
  Probe& p = *f.p;
  const int modes[4] = {midi::LFO_MODE_NOTE, midi::LFO_MODE_MIDI, midi::LFO_MODE_NOTE, 0};
  for (int i = 0; i < 4; ++i) {
    p.setSteppedValue(LFO_MODE_TAGS[i], modes[i]);
    p.stopLfo(i);
  }
  f.list.note(60, 100).note(64, 100);
  f.play();
  EXPECT_VALUES({p.lfoRunning(0), true}, {p.lfoRunning(1), false}, {p.lfoRunning(2), true},
                {p.lfoRunning(3), false});
  f.list.add(midiEvent(0x80, 60, 0));
  f.play();
  EXPECT_TRUE(p.lfoRunning(0));
  f.list.note(64, 0);
  f.play();
  EXPECT_VALUES({p.lfoRunning(0), false}, {p.lfoRunning(2), false});

  const int triggers[4] = {1, 2, 12, 0};  // controller 1, pitch bend, controller 84, none
  for (int i = 0; i < 4; ++i) {
    p.setSteppedValue(LFO_MODE_TAGS[i], midi::LFO_MODE_MIDI);
    p.setSteppedValue(LFO_TRIGGER_TAGS[i], triggers[i]);
    p.stopLfo(i);
  }
  struct Step {
    int status, data1, data2, lfo;
    bool running;
  };
  const Step steps[] = {{0xB0, 1, 64, 0, true},    {0xB0, 1, 64, 2, false},   {0xB0, 1, 0, 0, false},
                        {0xB0, 85, 127, 2, false}, {0xB0, 84, 1, 2, true},    {0xB0, 84, 1, 3, false},
                        {0xE0, 0, 10, 1, true},    {0xE0, 127, 64, 1, false}, {0xE0, 0, 65, 1, true},
                        {0xB0, 1, 64, 3, false}};
  for (const Step& s : steps) {
    f.list.add(midiEvent(s.status, s.data1, s.data2));
    f.play();
    EXPECT_EQ(p.lfoRunning(s.lfo), s.running) << s.status << " " << s.data1 << " " << s.data2;
  }
  p.setSteppedValue(LFO_MODE_TAGS[2], 0);
  f.list.cc(84, 0);
  f.play();
  EXPECT_TRUE(p.lfoRunning(2));
}

TEST(MidiMessages, TheReceiveChannelFiltersEveryMessage) {
  Fixture f;
  Probe& p = *f.p;
  EXPECT_EQ(p.getMidiChannel(), -1);
  p.setMidiChannelSetting(2);
  p.updateMidiChannel();
  EXPECT_EQ(p.getMidiChannel(), 1);
  f.list.cc(16, 127, 0, 0).cc(17, 127, 0, 1).cc(18, 127, 0, 15).note(60, 100, 0, 2).note(61, 100, 0, 1);
  f.play();
  EXPECT_VALUES({p.getSourceValue(16), 0.0f}, {p.getSourceValue(17), 1.0f}, {p.getSourceValue(18), 0.0f},
                {p.isNoteHeld(60), false}, {p.isNoteHeld(61), true},
                {p.getNumPendingEvents(), 0});  // dropped ones freed too
  p.setMidiChannelSetting(0);
  p.updateMidiChannel();
  f.list.cc(16, 127, 0, 9);
  f.play();
  EXPECT_EQ(p.getSourceValue(16), 1.0f);
  // A new instance picks the setting up from the preferences: 16 is the last index, a stored
  // 17 names a channel no message carries, anything beyond is read as every channel.
  for (auto [setting, channel] :
       {std::pair{16, 15}, std::pair{17, 16}, std::pair{18, -1}, std::pair{-1, -1}}) {
    saveIntToPrefs("Midi Channel", setting);
    EXPECT_EQ(std::make_unique<Probe>()->getMidiChannel(), channel) << setting;
  }
}

// Data bytes where a status belongs and system messages mean nothing; data bytes are masked.
TEST(MidiMessages, StatusBytesWithoutMeaningChangeNothing) {
  Fixture f;
  f.list.add(midiEvent(0x40, 16, 127))
      .add(midiEvent(0xF8, 17, 127))
      .add(midiEvent(0xB0, 18 | 0x80, 127 | 0x80));
  f.play();
  for (int src = 1; src <= 31; ++src) EXPECT_EQ(f.p->getSourceValue(src), src == 18 ? 1.0f : 0.0f) << src;
}

// A program change selects a built-in program only when allowed and only within the bank; it
// restarts the pick-up of bound controllers and forgets held notes.
TEST(MidiMessages, ProgramChangesLoadBuiltInProgramsWhenAllowed) {
  Fixture f;
  Probe& p = *f.p;
  ASSERT_TRUE(p.getMidiPresetOn());
  p.setMidiCCTag(7, 1);
  p.setParameter(1, 0.5f);
  p.resetMidiCapture();
  f.list.cc(7, 64).note(60, 100);
  f.play();
  ASSERT_TRUE(p.getMidiCaptureFlag(1) && p.isNoteHeld(60));
  f.list.add(midiEvent(0xC0, 3, 0));
  f.play();
  char name[kVstMaxProgNameLen + 1] = {};
  p.getProgramName(name);
  EXPECT_STREQ(name, "Default");
  EXPECT_VALUES({p.getCurDemoProgram(), 3}, {p.isNoteHeld(60), false}, {p.getMidiCaptureFlag(1), false},
                {p.getMidiCaptureValue(1), p.getParameter(1)});
  const std::tuple<int, bool, int> changes[] = {{50, true, 3}, {127, true, 3}, {7, false, 3}, {49, true, 49}};
  for (const auto& [program, allowed, expected] : changes) {
    p.setMidiPresetOn(allowed);
    f.list.add(midiEvent(0xC0, program, 0));
    f.play();
    EXPECT_EQ(p.getCurDemoProgram(), expected) << program;
  }
}
