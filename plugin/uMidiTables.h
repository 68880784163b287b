// What the MIDI input does with controllers, notes and pitch bend: which modulation sources
// they set and which controller each LFO trigger setting listens to.
#pragma once

#include <array>
#include <cstdint>

namespace midi {

// Modulation sources written by MIDI messages (indices of SRC_STR).
enum MidiSrc : int {
  SRC_MOD_WHEEL = 1,
  SRC_MOD_AFTER = 2,
  SRC_CHANNEL_AFTER = 3,
  SRC_POLY_AFTER = 4,
  SRC_NOTE = 5,
  SRC_NOTE_CENTER = 6,
  SRC_NOTE_RND_1 = 7,
  SRC_NOTE_UNI_RND_1 = 8,
  SRC_NOTE_RND_2 = 9,
  SRC_NOTE_UNI_RND_2 = 10,
  SRC_VELOCITY = 11,
  SRC_PITCHBEND = 12,
};

// Status bytes without their channel.
enum MidiStatus : int {
  NOTE_OFF = 0x80,
  NOTE_ON = 0x90,
  POLY_PRESSURE = 0xA0,
  CONTROLLER = 0xB0,
  PROGRAM_CHANGE = 0xC0,
  CHANNEL_PRESSURE = 0xD0,
  PITCH_BEND = 0xE0,
};

// LFO mode numbers that MIDI drives.
inline constexpr int LFO_MODE_NOTE = 2;
inline constexpr int LFO_MODE_MIDI = 3;

// Controllers that are modulation sources by themselves (value / 127). Controller 1 feeds two
// sources, the combined one first.
struct CCSource {
  uint8_t cc;
  uint8_t src;
};
inline constexpr std::array<CCSource, 21> CC_SOURCES = {{
    {1, 2},   {1, 1},   {2, 13},  {4, 14},  {11, 15}, {16, 16},  {17, 17},
    {18, 18}, {19, 19}, {20, 20}, {21, 21}, {74, 22}, {84, 23},  {85, 24},
    {86, 25}, {87, 26}, {88, 27}, {89, 28}, {90, 29}, {113, 30}, {114, 31},
}};

// The controller each LFO trigger step listens to in MIDI mode; TRIGGER_NONE for step 0 and
// TRIGGER_PITCH_BEND for the pitch wheel.
inline constexpr int TRIGGER_NONE = -1;
inline constexpr int TRIGGER_PITCH_BEND = -2;
inline constexpr std::array<int, 19> LFO_TRIGGER_CC = {
    TRIGGER_NONE, 1, TRIGGER_PITCH_BEND, 2, 4, 11, 16, 17, 18, 19, 20, 21, 84, 85, 86, 87, 88, 89, 90};

// Controllers never learnt: all sound off, reset all controllers, all notes off.
inline constexpr bool isUnlearnableCC(int cc) { return cc == 120 || cc == 121 || cc == 123; }

// Pitch wheel position -1 .. almost +1, 0 at the centre (data1 0, data2 64).
inline constexpr float pitchBendValue(int data1, int data2) {
  return ((static_cast<float>(data1) / 128.0f + static_cast<float>(data2)) / 128.0f - 0.5f) * 2.0f;
}

// Pick-up rule: a bound controller takes over once it is this close to the value it must catch.
inline constexpr float CAPTURE_DISTANCE = 0.01f;

}  // namespace midi
