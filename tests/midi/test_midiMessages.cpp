// What each MIDI message does: modulation sources, held notes and the LFOs they start and
// stop, the receive channel and program changes.
#include <algorithm>
#include <cmath>

#include "midiTestUtil.h"
#include "platform/platform.h"
#include "plugin/uMidiTables.h"
#include "support/expectValues.h"

using testing_support::kUlps;

using namespace miditest;

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

  for (int cc = 0; cc < 128; ++cc) {
    Fixture f;
    EventList list;
    list.cc(cc, 127);
    play(*f.p, list);
    for (int src = 1; src <= 31; ++src) {
      const bool set = src == expected[cc] || (cc == 1 && src == 2);
      EXPECT_EQ(f.p->getSourceValue(src), set ? 1.0f : 0.0f) << "cc " << cc << " source " << src;
    }
    EXPECT_EQ(f.p->getLastCC(), cc);
    EXPECT_EQ(f.p->getLastCCValue(), 127);
  }

  Fixture f;
  EventList list;
  list.cc(85, 64);
  play(*f.p, list);
  EXPECT_FLOAT_EQ(f.p->getSourceValue(24), 64.0f / 127.0f);
}

TEST(MidiMessages, PitchBendAndPressure) {
  Fixture f;
  Probe& p = *f.p;
  EventList list;
  list.bend(0, 64);
  play(p, list);
  EXPECT_EQ(p.getSourceValue(midi::SRC_PITCHBEND), 0.0f);
  list.bend(127, 127);
  play(p, list);
  EXPECT_NEAR(p.getSourceValue(midi::SRC_PITCHBEND), (16383.0 / 16384.0 - 0.5) * 2.0, 1e-6);
  list.bend(0, 0);
  play(p, list);
  EXPECT_EQ(p.getSourceValue(midi::SRC_PITCHBEND), -1.0f);

  list.add(midiEvent(0xA0, 60, 100));  // poly pressure: the value is the second byte
  play(p, list);
  EXPECT_FLOAT_EQ(p.getSourceValue(midi::SRC_POLY_AFTER), unit(100));
  EXPECT_FLOAT_EQ(p.getSourceValue(midi::SRC_MOD_AFTER), unit(100));
  list.add(midiEvent(0xD0, 30, 99));  // channel pressure: the first byte
  play(p, list);
  EXPECT_VALUES(
      {p.getSourceValue(midi::SRC_CHANNEL_AFTER), unit(30), kUlps},
      {p.getSourceValue(midi::SRC_MOD_AFTER), unit(30), kUlps},
      {p.getSourceValue(midi::SRC_POLY_AFTER), unit(100), kUlps});
}

TEST(MidiMessages, NotesSetSourcesAndHeldNotes) {
  Fixture f;
  Probe& p = *f.p;
  EventList list;
  list.note(69, 100);
  play(p, list);
  EXPECT_FLOAT_EQ(p.getSourceValue(midi::SRC_NOTE), unit(69));
  EXPECT_FLOAT_EQ(p.getSourceValue(midi::SRC_NOTE_CENTER), 1.0f);  // an octave above 57
  EXPECT_FLOAT_EQ(p.getSourceValue(midi::SRC_VELOCITY), unit(100));
  EXPECT_TRUE(p.isNoteHeld(69));

  // The random values lie in 0..1 and the uni forms follow them; two notes draw anew.
  std::vector<float> draws;
  for (int n = 0; n < 20; ++n) {
    list.note(40 + n, 90);
    play(p, list);
    for (int src : {midi::SRC_NOTE_RND_1, midi::SRC_NOTE_RND_2}) {
      const float r = p.getSourceValue(src);
      EXPECT_GE(r, 0.0f);
      EXPECT_LE(r, 1.0f);
      EXPECT_FLOAT_EQ(p.getSourceValue(src + 1), 0.5f * r + 0.5f);
      draws.push_back(r);
    }
  }
  std::sort(draws.begin(), draws.end());
  EXPECT_GT(std::unique(draws.begin(), draws.end()) - draws.begin(), 30);

  // Velocity 0 is a note off and leaves the note sources alone.
  const float note = p.getSourceValue(midi::SRC_NOTE);
  list.note(69, 0);
  play(p, list);
  EXPECT_VALUES({p.isNoteHeld(69), false}, {p.getSourceValue(midi::SRC_NOTE), note}, {p.isNoteHeld(40), true});
  list.noteOff(40);
  play(p, list);
  EXPECT_FALSE(p.isNoteHeld(40));
}

TEST(MidiMessages, NoteModeLfosRunWhileAnyNoteIsHeld) {
  Fixture f;
  Probe& p = *f.p;
  p.setLfoMode(0, midi::LFO_MODE_NOTE);
  p.setLfoMode(1, midi::LFO_MODE_MIDI);
  p.setLfoMode(2, midi::LFO_MODE_NOTE);
  for (int i = 0; i < 4; ++i) p.stopLfo(i);
  EventList list;
  list.note(60, 100).note(64, 100);
  play(p, list);
  EXPECT_VALUES({p.lfoRunning(0), true}, {p.lfoRunning(1), false}, {p.lfoRunning(2), true}, {p.lfoRunning(3), false});
  list.noteOff(60);
  play(p, list);
  EXPECT_TRUE(p.lfoRunning(0));
  list.note(64, 0);
  play(p, list);
  EXPECT_FALSE(p.lfoRunning(0));
  EXPECT_FALSE(p.lfoRunning(2));
}

TEST(MidiMessages, MidiModeLfosFollowTheirTriggerController) {
  Fixture f;
  Probe& p = *f.p;
  for (int i = 0; i < 4; ++i) {
    p.setLfoMode(i, midi::LFO_MODE_MIDI);
    p.stopLfo(i);
  }
  p.setLfoTrigger(0, 1);   // controller 1
  p.setLfoTrigger(1, 2);   // pitch bend
  p.setLfoTrigger(2, 12);  // controller 84
  p.setLfoTrigger(3, 0);   // none
  EventList list;
  list.cc(1, 64);
  play(p, list);
  EXPECT_VALUES({p.lfoRunning(0), true}, {p.lfoRunning(1), false}, {p.lfoRunning(2), false});
  list.cc(1, 0);
  play(p, list);
  EXPECT_FALSE(p.lfoRunning(0));

  list.cc(84, 1).cc(85, 127).cc(0, 127);
  play(p, list);
  EXPECT_VALUES({p.lfoRunning(2), true}, {p.lfoRunning(0), false}, {p.lfoRunning(3), false});

  // The pitch wheel passes its distance from the centre: off centre starts, the centre stops.
  list.bend(0, 10);
  play(p, list);
  EXPECT_TRUE(p.lfoRunning(1));
  list.bend(127, 64);
  play(p, list);
  EXPECT_FALSE(p.lfoRunning(1));
  list.bend(0, 65);
  play(p, list);
  EXPECT_TRUE(p.lfoRunning(1));

  // Only MIDI mode listens.
  p.setLfoMode(2, 0);
  list.cc(84, 0);
  play(p, list);
  EXPECT_TRUE(p.lfoRunning(2));
}

TEST(MidiMessages, TheReceiveChannelFiltersEveryMessage) {
  Fixture f;
  Probe& p = *f.p;
  EXPECT_EQ(p.getMidiChannel(), -1);
  p.setMidiChannelSetting(2);
  p.updateMidiChannel();
  EXPECT_EQ(p.getMidiChannel(), 1);
  EventList list;
  list.cc(16, 127, 0, 0).cc(17, 127, 0, 1).cc(18, 127, 0, 15).note(60, 100, 0, 2).note(61, 100, 0, 1);
  play(p, list);
  EXPECT_VALUES({p.getSourceValue(16), 0.0f}, {p.getSourceValue(17), 1.0f}, {p.getSourceValue(18), 0.0f});
  EXPECT_FALSE(p.isNoteHeld(60));
  EXPECT_TRUE(p.isNoteHeld(61));
  EXPECT_EQ(p.getNumPendingEvents(), 0);  // dropped events are freed too

  p.setMidiChannelSetting(0);
  p.updateMidiChannel();
  list.cc(16, 127, 0, 9);
  play(p, list);
  EXPECT_EQ(p.getSourceValue(16), 1.0f);

  // Channel 16 is the last index; a new instance picks the setting up from the preferences.
  p.setMidiChannelSetting(16);
  auto q = std::make_unique<Probe>();
  EXPECT_EQ(q->getMidiChannel(), 15);
  // A stored 17 names a channel no message carries; anything beyond is read as every channel.
  for (auto [setting, channel] : {std::pair{17, 16}, std::pair{18, -1}, std::pair{-1, -1}}) {
    saveIntToPrefs("Midi Channel", setting);
    EXPECT_EQ(std::make_unique<Probe>()->getMidiChannel(), channel) << setting;
  }
}

TEST(MidiMessages, ProgramChangesSelectBuiltInProgramsOnlyWhenAllowed) {
  Fixture f;
  Probe& p = *f.p;
  ASSERT_TRUE(p.getMidiPresetOn());
  EventList list;
  list.add(midiEvent(0xC0, 3, 0));
  play(p, list);
  EXPECT_EQ(p.getCurDemoProgram(), 3);
  list.add(midiEvent(0xC0, 50, 0)).add(midiEvent(0xC0, 127, 0));
  play(p, list);
  EXPECT_EQ(p.getCurDemoProgram(), 3);
  p.setMidiPresetOn(false);
  list.add(midiEvent(0xC0, 7, 0));
  play(p, list);
  EXPECT_EQ(p.getCurDemoProgram(), 3);
  p.setMidiPresetOn(true);
  list.add(midiEvent(0xC0, 49, 0));
  play(p, list);
  EXPECT_EQ(p.getCurDemoProgram(), 49);
}

TEST(MidiMessages, StatusBytesWithoutMeaningChangeNothing) {
  Fixture f;
  Probe& p = *f.p;
  EventList list;
  // Data bytes where a status belongs, system messages, and data bytes with the top bit set.
  list.add(midiEvent(0x40, 16, 127))
      .add(midiEvent(0xF8, 16, 127))
      .add(midiEvent(0xB0, 16 | 0x80, 127 | 0x80));
  play(p, list);
  EXPECT_EQ(p.getSourceValue(16), 1.0f);  // the last one, its data bytes masked: controller 16, 127
  for (int src = 1; src <= 31; ++src) {
    if (src != 16) {
      EXPECT_EQ(p.getSourceValue(src), 0.0f) << src;
    }
  }
}

TEST(MidiMessages, AProgramChangeLoadsTheProgramAndRestartsPickUpAndHeldNotes) {
  Fixture f;
  Probe& p = *f.p;
  p.setMidiCCTag(7, 1);
  p.setParameter(1, 0.5f);
  p.resetMidiCapture();
  EventList list;
  list.cc(7, 64).note(60, 100);
  play(p, list);
  ASSERT_TRUE(p.getMidiCaptureFlag(1));
  ASSERT_TRUE(p.isNoteHeld(60));

  list.add(midiEvent(0xC0, 3, 0));
  play(p, list);
  char name[kVstMaxProgNameLen + 1] = {};
  p.getProgramName(name);
  EXPECT_STREQ(name, "Default");
  EXPECT_VALUES(
      {p.isNoteHeld(60), false}, {p.getMidiCaptureFlag(1), false}, {p.getMidiCaptureValue(1), p.getParameter(1)});
}
