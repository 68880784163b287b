// What the MIDI input does with controllers, notes and pitch bend: which modulation sources
// they set and which controller each LFO trigger setting listens to.
#pragma once

#include <array>
#include <cstdint>

#include "modulation.h"

namespace midi {

// The source and LFO mode numbers MIDI drives, under the names the MIDI code uses.
using enum ModSource;
using enum LfoMode;

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

// Controllers that are modulation sources by themselves (value / 127). Controller 1 feeds two
// sources, the combined one first.
struct CCSource {
  uint8_t cc;
  uint8_t src;
};
inline constexpr std::array<CCSource, 21> CC_SOURCES = {{
    {1, SRC_MOD_AFTER}, {1, SRC_MOD_WHEEL},   {2, SRC_BREATH}, {4, SRC_FOOT},  {11, SRC_EXPRESSION},
    {16, SRC_CC16},     {17, SRC_CC17},       {18, SRC_CC18},  {19, SRC_CC19}, {20, SRC_CC20},
    {21, SRC_CC21},     {74, SRC_BRIGHTNESS}, {84, SRC_CC84},  {85, SRC_CC85}, {86, SRC_CC86},
    {87, SRC_CC87},     {88, SRC_CC88},       {89, SRC_CC89},  {90, SRC_CC90}, {113, SRC_CC113},
    {114, SRC_CC114},
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
