// The fifty built-in programs. Each is written as the settings it changes from the defaults,
// in the units the user sees where that reads better (dB, Hz, step numbers); the expansion
// below turns them into stored values once per process.
//
// Together they walk through what the effect does: every distortion type but two (Cross
// Type 1 and Two Band Cos, close relatives of Cross Type 2 and Cos 1/2), the amp and cabinet
// models, both filters with their slopes, the compressor, widener and chorus, the EQs, the
// gate, all 24 module paths, the LFOs in free, synced and host modes, the follower, the
// modulation matrix and Disrupt with its lazy oscillator. Output volumes are set low rather
// than loud; "Norm" (level compensation) keeps most of them near the input's loudness.
#include "uPluginPresetsBanks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "dsp/dspCommon.h"
#include "dsp/unitLaws.h"
#include "uStepRule.h"
#include "uTagMap.h"

namespace presets {

namespace {

// ---- Building blocks of the table ----

constexpr Change val(int tag, float v) { return {tag, v, Unit::Value}; }
constexpr Change on(int tag) { return {tag, 1.0f, Unit::Value}; }
constexpr Change step(int tag, int n) { return {tag, static_cast<float>(n), Unit::Step}; }
constexpr Change hz(int tag, float f) { return {tag, f, Unit::Hz}; }

// Output volume in dB (LEVEL_DB) and the wet share of the dry/wet mix.
constexpr Change volume(float db) { return val(VOLUME_TAG, units::LEVEL_DB.valueOf(db)); }
constexpr Change mix(float wet) { return val(MIX_TAG, wet); }
// Module path as the menu numbers it: Path 01 .. Path 24.
constexpr Change path(int number) { return step(MODULE_PATH_TAG, number - 1); }
constexpr Change type(int n) { return step(DISTORT_TYPE_TAG, n); }

// Distortion knobs: drive ("Pre", GAIN_DB), level compensation ("Norm") and the type's
// own knobs Dist3..Dist8.
constexpr Change drive(float db) { return val(DISTORT_KNOB_1_TAG, units::GAIN_DB.valueOf(db)); }
constexpr Change norm(float v) { return val(DISTORT_KNOB_1_TAG + 1, v); }
constexpr Change dist(int k, float v) { return val(DISTORT_KNOB_1_TAG + k - 1, v); }
constexpr Change distHz(int k, float f) { return hz(DISTORT_KNOB_1_TAG + k - 1, f); }
// Selectors read from the raw Dist3: amp model of 6, cabinet model of 4, oscillator wave of 4.
constexpr Change ampModel(int m) { return dist(3, (static_cast<float>(m) + 0.5f) / 5.99f); }
constexpr Change cabModel(int c) { return dist(3, (static_cast<float>(c) + 0.5f) / 3.99f); }
constexpr Change oscWave(int w) { return dist(3, (static_cast<float>(w) + 0.5f) / 3.99f); }

// Levels in dB: EQ gains (GAIN_DB), thresholds (THRESHOLD_DB), compressor make-up (LEVEL_DB).
constexpr Change gainDb(int tag, float db) { return val(tag, units::GAIN_DB.valueOf(db)); }
constexpr Change thresholdDb(int tag, float db) { return val(tag, units::THRESHOLD_DB.valueOf(db)); }
constexpr Change makeUpDb(float db) { return val(COMP_VOLUME_TAG, units::LEVEL_DB.valueOf(db)); }
constexpr Change ratio(float r) { return {COMP_RATIO_TAG, r, Unit::Ratio}; }

// A bipolar amount -1..1 (LFO, follower, matrix and Disrupt amounts).
constexpr Change amount(int tag, float a) { return val(tag, 0.5f + 0.5f * a); }

// Tempo-synced lengths, rows of the period list.
enum Period : int { P_2_1 = 11, P_1_1 = 14, P_1_2 = 17, P_1_4 = 20, P_1_8 = 23, P_1_8T = 24, P_1_16 = 26 };
constexpr Change period(int tag, int row) { return val(tag, (static_cast<float>(row) + 0.3f) / 30.99f); }

enum Wave : int { SINE = 0, TRIANGLE = 1, SAW_DOWN = 3, SQUARE = 4, SAMPLE_HOLD = 5 };

// LFO i (0..3).
constexpr Change lfoWave(int i, int w) { return step(LFO_WAVE_TAGS[static_cast<std::size_t>(i)], w); }
constexpr Change lfoDest(int i, int d) { return step(LFO_DEST_TAGS[static_cast<std::size_t>(i)], d); }
constexpr Change lfoAmount(int i, float a) { return amount(LFO_AMT_TAGS[static_cast<std::size_t>(i)], a); }
constexpr Change lfoHz(int i, float f) {
  return {LFO_SPEED_TAGS[static_cast<std::size_t>(i)], f, Unit::LfoHz};
}
constexpr Change lfoSync(int i) { return on(LFO_SYNC_TAGS[static_cast<std::size_t>(i)]); }
constexpr Change lfoPeriod(int i, int row) {
  return period(LFO_SPEED_TAGS[static_cast<std::size_t>(i)], row);
}
constexpr Change lfoMode(int i, int m) { return step(LFO_MODE_TAGS[static_cast<std::size_t>(i)], m); }

// Matrix row s (0..9).
constexpr Change slotSource(int s, int src) {
  return step(MOD_SLOT_SRC_TAGS[static_cast<std::size_t>(s)], src);
}
constexpr Change slotDest(int s, int d) { return step(MOD_SLOT_DEST_TAGS[static_cast<std::size_t>(s)], d); }
constexpr Change slotAmount(int s, float a) {
  return amount(MOD_SLOT_AMT_TAGS[static_cast<std::size_t>(s)], a);
}

// Disrupt slot j (0..6).
constexpr Change disruptDest(int j, int d) { return step(DISRUPT_DEST_TAGS[static_cast<std::size_t>(j)], d); }
constexpr Change disruptAmount(int j, float a) { return amount(DISRUPT_SLOT_AMT_1_TAG + j, a); }
// A Disrupt slot carries nothing until its switch is on, whatever its destination and amount.
constexpr Change disruptOn(int j) { return on(DISRUPT_ON_TAGS[static_cast<std::size_t>(j)]); }

// Follower output j (0..2).
constexpr Change followerDest(int j, int d) { return step(FOLLOWER_DEST_1_TAG + j, d); }
constexpr Change followerAmount(int j, float a) { return amount(FOLLOWER_AMT_1_TAG + j, a); }
constexpr Change followerMs(int tag, float ms) { return {tag, ms, Unit::FollowerMs}; }

// Whole wave-shaper curves (which = 0 or 1).
constexpr Change curve(int which, Unit shape, float k) {
  return {WAVESHAPER_START_TAG[static_cast<std::size_t>(which)], k, shape};
}

// Module switches with their usual settings.
constexpr Change lowPass(float f) { return hz(LP_FREQ_TAG, f); }
constexpr Change highPass(float f) { return hz(HP_FREQ_TAG, f); }

using D = Design;

// Sorted by name without regard to case; "Default" (no changes) stays at index 3.
constexpr std::array<Design, NUM_DEMO_PROGRAMS> BANK = {{
    D{"Amp Combo Crunch",
      {type(43), path(1), ampModel(4), dist(4, 0.45f), drive(4.0f), norm(0.85f), on(HP_ON_TAG),
       highPass(70.0f), on(POST_EQ_ON_TAG), gainDb(30, 2.5f), hz(34, 2500.0f), gainDb(31, -3.0f),
       hz(35, 8000.0f), volume(-9.5f)}},
    D{"Bass Two Band Drive",  // clean lows, driven highs, squeezed first
      {type(38), path(13), distHz(3, 180.0f), dist(4, 0.2f), dist(5, 0.35f), dist(6, 0.65f), dist(7, 0.9f),
       dist(8, 0.5f), norm(0.8f), on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -20.0f), ratio(4.0f),
       val(COMP_ATTACK_TAG, 0.3f), val(COMP_RELEASE_TAG, 0.5f), makeUpDb(2.0f), on(LP_ON_TAG),
       lowPass(5000.0f), volume(-4.5f)}},
    D{"Cabinet Off Axis Crunch",
      {type(44), path(2), cabModel(3), dist(4, 0.5f), drive(6.0f), norm(0.85f), on(LP_ON_TAG),
       on(LP_TYPE_TAG), lowPass(7000.0f), on(WIDENER_ON_TAG), val(WIDENER_AMOUNT_TAG, 0.35f),
       val(WIDENER_WIDTH_TAG, 0.5f), val(WIDENER_SPEED_TAG, 0.2f), volume(-6.0f)}},
    D{"Default", {}},
    D{"Disrupt Filter Jumps",  // the lazy oscillator drives Disrupt in quantised steps
      {type(23),
       path(7),
       dist(3, 0.5f),
       dist(4, 0.8f),
       drive(3.0f),
       norm(0.8f),
       on(LP_ON_TAG),
       on(LP_TYPE_TAG),
       on(LP_ZD_TAG),
       lowPass(1200.0f),
       val(LP_Q_TAG, 0.45f),
       on(DISRUPT_LAZY_ON_TAG),
       step(DISRUPT_LAZY_MODE_TAG, 0),
       period(DISRUPT_LAZY_SPEED_TAG, P_1_8),
       step(DISRUPT_QUANT_TAG, 11),
       disruptOn(0),
       disruptDest(0, DEST_LP_FREQ),
       disruptAmount(0, 0.7f),
       disruptOn(1),
       disruptAmount(1, 0.4f),
       disruptOn(2),
       disruptAmount(2, 0.3f),
       volume(-7.5f)}},
    D{"Drum Bus Glue",  // parallel soft limiting after the compressor
      {type(24), path(14), dist(3, 0.6f), drive(2.0f), norm(0.9f), on(COMP_ON_TAG),
       thresholdDb(COMP_THRESHOLD_TAG, -16.0f), ratio(3.0f), val(COMP_ATTACK_TAG, 0.45f),
       val(COMP_RELEASE_TAG, 0.5f), makeUpDb(1.0f), on(HP_ON_TAG), highPass(30.0f), mix(0.85f),
       volume(-9.0f)}},
    D{"Drum Crusher",
      {type(14), path(8), dist(3, 0.55f), dist(4, 0.25f), dist(5, 0.15f), dist(6, 0.8f), norm(0.7f),
       on(HP_ON_TAG), highPass(60.0f), on(WIDENER_ON_TAG), val(WIDENER_AMOUNT_TAG, 0.3f), volume(-8.0f)}},
    D{"Dual Shaper Asymmetry",  // LFO 1 sweeps between a soft and a lopsided curve
      {type(50), path(3), curve(0, Unit::CurveSoft, 3.0f), curve(1, Unit::CurveAsym, 4.0f), dist(3, 0.5f),
       dist(4, 0.9f), drive(4.0f), norm(0.85f), lfoWave(0, TRIANGLE), lfoDest(0, DEST_DIST_3),
       lfoAmount(0, 0.8f), lfoHz(0, 0.25f), on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -14.0f),
       ratio(2.0f), volume(-5.0f)}},
    D{"Edge Of Breakup",  // a touch of valve through the first-generation EQ
      {type(29), path(4), dist(3, 0.35f), dist(4, 0.7f), drive(2.0f), norm(0.8f), on(POST_EQ_ON_TAG),
       on(OLD_EQ_TAG), gainDb(230, 2.0f), gainDb(232, 1.5f), gainDb(233, -2.0f), on(COMP_ON_TAG),
       thresholdDb(COMP_THRESHOLD_TAG, -12.0f), ratio(2.0f), volume(-4.0f)}},
    D{"Fizzy Octave Up",
      {type(15), path(5), dist(3, 0.8f), dist(4, 0.8f), drive(6.0f), norm(0.85f), on(HP_ON_TAG),
       highPass(100.0f), on(LP_ON_TAG), lowPass(6000.0f), on(WIDENER_ON_TAG), val(WIDENER_AMOUNT_TAG, 0.25f),
       volume(-10.0f)}},
    D{"FM Growl Bass",  // the follower deepens the modulation as the input gets louder
      {type(45), path(6), oscWave(0), dist(4, 0.3f), dist(5, 0.35f), dist(6, 0.45f), dist(7, 0.6f),
       norm(0.8f), followerDest(0, DEST_DIST_6), followerAmount(0, 0.5f), on(LP_ON_TAG), lowPass(3000.0f),
       on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -18.0f), ratio(3.0f), volume(-1.0f)}},
    D{"Follower Fuzz Wah",  // an envelope-following low-pass in front of the fuzz
      {type(10), path(9), dist(3, 0.45f), dist(4, 0.7f), drive(2.0f), norm(0.85f), on(LP_ON_TAG),
       on(LP_ZD_TAG), lowPass(500.0f), val(LP_Q_TAG, 0.6f), followerDest(0, DEST_LP_FREQ),
       followerAmount(0, 0.6f), followerMs(FOLLOWER_ATTACK_TAG, 8.0f), followerMs(FOLLOWER_DECAY_TAG, 200.0f),
       val(FOLLOWER_BOOST_TAG, 0.7f), on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -15.0f), ratio(2.0f),
       volume(-4.0f)}},
    D{"Gapper Sputter",
      {type(11), path(10), dist(3, 0.5f), dist(4, 0.8f), norm(0.6f), lfoWave(0, SAMPLE_HOLD),
       lfoDest(0, DEST_DIST_3), lfoAmount(0, 0.5f), lfoSync(0), lfoPeriod(0, P_1_16), on(HP_ON_TAG),
       highPass(80.0f), on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -14.0f), ratio(3.0f),
       volume(-0.5f)}},
    D{"Glitch Bit Mask",  // synced mask changes, noise on the mix, Disrupt springs back
      {type(1),
       path(11),
       dist(3, 0.2f),
       dist(4, 0.6f),
       dist(5, 0.7f),
       norm(0.8f),
       lfoWave(0, SQUARE),
       lfoDest(0, DEST_DIST_4),
       lfoAmount(0, 0.4f),
       lfoSync(0),
       lfoPeriod(0, P_1_8),
       slotSource(0, SRC_NOISE),
       slotDest(0, DEST_DIST_5),
       slotAmount(0, 0.2f),
       disruptOn(0),
       disruptDest(0, DEST_DIST_4),
       disruptAmount(0, 0.8f),
       step(DISRUPT_SPRING_TAG, 9),
       on(WIDENER_ON_TAG),
       val(WIDENER_AMOUNT_TAG, 0.3f),
       volume(-4.0f)}},
    D{"Half Wave Rectifier",
      {type(21), path(15), dist(3, 0.5f), dist(4, 0.8f), norm(0.9f), on(HP_ON_TAG), highPass(60.0f),
       on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -16.0f), ratio(3.0f), volume(-1.0f)}},
    D{"Hard Clip Guitar",  // lopsided clipping with a gate in front
      {type(3), path(16), dist(3, 0.3f), dist(4, 0.22f), dist(5, 1.0f), dist(6, 0.62f), drive(8.0f),
       norm(0.6f), on(HP_ON_TAG), on(HP_TYPE_TAG), highPass(90.0f), on(GATE_ON_TAG),
       val(GATE_THRESHOLD_TAG, 0.1f), on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -18.0f), ratio(4.0f),
       volume(-3.0f)}},
    D{"Hard Distort Riff",
      {type(12), path(17), dist(3, 0.5f), dist(4, 0.5f), dist(5, 0.5f), drive(6.0f), norm(0.75f),
       on(GATE_ON_TAG), val(GATE_THRESHOLD_TAG, 0.15f), val(GATE_HOLD_TAG, 0.3f), on(LP_ON_TAG),
       on(LP_TYPE_TAG), lowPass(5500.0f), volume(-4.0f)}},
    D{"Harmonic Sweep",  // two LFOs move the start and end of the cosine harmonics
      {type(6), path(18), dist(3, 0.3f), dist(4, 0.4f), dist(5, 0.6f), norm(0.85f), lfoDest(0, DEST_DIST_4),
       lfoAmount(0, 0.5f), lfoSync(0), lfoPeriod(0, P_1_1), lfoWave(1, TRIANGLE), lfoDest(1, DEST_DIST_3),
       lfoAmount(1, 0.3f), lfoHz(1, 0.13f), on(WIDENER_ON_TAG), val(WIDENER_AMOUNT_TAG, 0.3f),
       volume(-5.5f)}},
    D{"Lazy Ring Wobble",  // the lazy oscillator sweeps the ring frequency and the pan
      {type(47), path(19), oscWave(0), dist(4, 0.45f), dist(5, 0.7f), norm(0.7f), on(DISRUPT_LAZY_ON_TAG),
       step(DISRUPT_LAZY_MODE_TAG, 3), period(DISRUPT_LAZY_SPEED_TAG, P_1_4), disruptOn(0),
       disruptDest(0, DEST_DIST_4), disruptAmount(0, 0.4f), disruptOn(1), disruptDest(1, DEST_PAN),
       disruptAmount(1, 0.5f), on(WIDENER_ON_TAG), val(WIDENER_AMOUNT_TAG, 0.25f), volume(-5.0f)}},
    D{"Limiter Slam",
      {type(13), path(20), dist(3, 0.35f), dist(4, 0.85f), norm(0.9f), on(COMP_ON_TAG),
       thresholdDb(COMP_THRESHOLD_TAG, -10.0f), ratio(8.0f), val(COMP_ATTACK_TAG, 0.2f), volume(-5.5f)}},
    D{"Metallic Cosine",
      {type(5), path(21), dist(3, 0.55f), dist(4, 0.6f), norm(0.85f), on(WIDENER_ON_TAG), on(CHORUS_MODE_TAG),
       val(CHORUS_MIX_TAG, 0.5f), val(CHORUS_LENGTH_TAG, 0.4f), val(CHORUS_WIDTH_TAG, 0.6f),
       val(CHORUS_SPEED_TAG, 0.4f), on(HP_ON_TAG), highPass(120.0f), volume(-6.5f)}},
    D{"Octave Fold Lead",
      {type(16), path(22), dist(3, 0.35f), dist(4, 0.7f), drive(4.0f), norm(0.85f), on(LP_ON_TAG),
       lowPass(4000.0f), val(LP_Q_TAG, 0.3f), volume(-8.5f)}},
    D{"Octave Shimmer Pad",  // half wet, with a wide chorus
      {type(17),
       path(23),
       dist(3, 0.25f),
       dist(4, 0.5f),
       dist(5, 0.45f),
       norm(0.9f),
       on(WIDENER_ON_TAG),
       on(CHORUS_MODE_TAG),
       val(CHORUS_MIX_TAG, 0.6f),
       val(CHORUS_LENGTH_TAG, 0.5f),
       val(CHORUS_WIDTH_TAG, 0.7f),
       val(CHORUS_SPEED_TAG, 0.35f),
       lfoDest(0, DEST_CHORUS_WIDTH),
       lfoAmount(0, 0.2f),
       lfoHz(0, 0.2f),
       on(LP_ON_TAG),
       on(LP_TYPE_TAG),
       lowPass(5000.0f),
       mix(0.85f),
       volume(-9.5f)}},
    D{"Overdrive Blues",  // a mid hump in front of the overdrive
      {type(18), path(24), dist(3, 0.4f), dist(4, 0.85f), drive(4.0f), norm(0.8f), on(PRE_EQ_ON_TAG),
       gainDb(16, 3.0f), hz(20, 700.0f), on(LP_ON_TAG), lowPass(6000.0f), volume(-9.0f)}},
    D{"Peak Remover Hollow",
      {type(19), path(12), dist(3, 0.45f), dist(4, 0.6f), dist(5, 0.8f), dist(6, 0.85f), dist(7, 0.55f),
       norm(0.85f), volume(-7.0f)}},
    D{"Phase Mod Grind",
      {type(46), path(1), oscWave(3), dist(4, 0.5f), dist(5, 0.5f), dist(6, 0.35f), dist(7, 0.65f),
       norm(0.8f), lfoDest(0, DEST_DIST_4), lfoAmount(0, 0.2f), lfoHz(0, 0.2f), on(HP_ON_TAG),
       highPass(80.0f), volume(-8.0f)}},
    D{"Power Chord Drive",  // scooped mids after the distortion
      {type(20), path(1), dist(3, 0.8f), dist(4, 0.9f), drive(6.0f), norm(0.8f), on(POST_EQ_ON_TAG),
       gainDb(29, -4.0f), hz(33, 600.0f), on(GATE_ON_TAG), val(GATE_THRESHOLD_TAG, 0.1f), on(HP_ON_TAG),
       highPass(80.0f), on(LP_ON_TAG), on(LP_TYPE_TAG), lowPass(6500.0f), volume(-9.0f)}},
    D{"Resonant Rez Buzz",
      {type(22), path(2), dist(3, 0.6f), dist(4, 0.8f), dist(5, 0.75f), norm(0.85f), lfoWave(0, TRIANGLE),
       lfoDest(0, DEST_DIST_3), lfoAmount(0, 0.3f), lfoSync(0), lfoPeriod(0, P_1_2), on(LP_ON_TAG),
       lowPass(8000.0f), volume(-7.5f)}},
    D{"Side Chain Ring Mod",  // the side input rings the main one and widens it
      {type(49), path(1), dist(3, 0.6f), norm(0.9f), step(FOLLOWER_SOURCE_TAG, 1),
       followerDest(0, DEST_WIDENER_AMOUNT), followerAmount(0, 0.5f), on(WIDENER_ON_TAG),
       val(WIDENER_AMOUNT_TAG, 0.2f), volume(-4.5f)}},
    D{"Smooth Atan Warmth",
      {type(2), path(3), dist(3, 0.4f), dist(4, 0.7f), drive(2.0f), norm(0.9f), on(POST_EQ_ON_TAG),
       gainDb(28, 2.0f), hz(32, 120.0f), gainDb(31, -2.0f), hz(35, 9000.0f), on(WIDENER_ON_TAG),
       val(WIDENER_AMOUNT_TAG, 0.2f), volume(-5.5f)}},
    D{"Snarling Crossover",
      {type(8), path(4), dist(3, 0.45f), dist(4, 0.5f), dist(5, 0.8f), dist(6, 0.55f), drive(6.0f),
       norm(0.8f), on(GATE_ON_TAG), val(GATE_THRESHOLD_TAG, 0.12f), volume(-7.5f)}},
    D{"Split Band Folder",
      {type(32), path(5), distHz(3, 300.0f), dist(4, 0.2f), dist(5, 0.3f), dist(6, 0.55f), dist(7, 0.8f),
       dist(8, 0.55f), norm(0.85f), on(LP_ON_TAG), lowPass(9000.0f), volume(-9.5f)}},
    D{"Split Fuzz Bass",
      {type(33), path(13), distHz(3, 150.0f), dist(4, 0.2f), dist(5, 0.3f), dist(6, 0.5f), dist(7, 0.8f),
       dist(8, 0.45f), norm(0.85f), on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -18.0f), ratio(3.0f),
       on(LP_ON_TAG), lowPass(4500.0f), volume(-3.5f)}},
    D{"Split Gapper Rhythm",  // a synced square moves between the two bands
      {type(34), path(7), distHz(3, 500.0f), dist(4, 0.3f), dist(5, 0.3f), dist(6, 0.6f), dist(7, 0.7f),
       dist(8, 0.5f), norm(0.8f), lfoWave(0, SQUARE), lfoDest(0, DEST_DIST_8), lfoAmount(0, 0.4f), lfoSync(0),
       lfoPeriod(0, P_1_8), volume(-5.5f)}},
    D{"Split Limiter Master",
      {type(35), path(1), distHz(3, 250.0f), dist(4, 0.25f), dist(5, 0.5f), dist(6, 0.3f), dist(7, 0.5f),
       dist(8, 0.5f), drive(2.0f), norm(0.95f), on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -10.0f),
       ratio(2.0f), on(WIDENER_ON_TAG), val(WIDENER_AMOUNT_TAG, 0.2f), volume(-3.5f)}},
    D{"Split Lo-Fi Hats",  // clean lows, crushed highs
      {type(36), path(8), distHz(3, 2000.0f), dist(4, 0.15f), dist(5, 0.0f), dist(6, 0.6f), dist(7, 0.35f),
       dist(8, 0.5f), norm(0.8f), on(HP_ON_TAG), highPass(150.0f), volume(-5.5f)}},
    D{"Split Octave Synth",
      {type(37), path(9), distHz(3, 400.0f), dist(4, 0.1f), dist(5, 0.2f), dist(6, 0.4f), dist(7, 0.6f),
       dist(8, 0.5f), norm(0.85f), on(WIDENER_ON_TAG), on(CHORUS_MODE_TAG), val(CHORUS_MIX_TAG, 0.4f),
       volume(-6.0f)}},
    D{"Split Power Chords",
      {type(39), path(1), distHz(3, 250.0f), dist(4, 0.5f), dist(5, 0.6f), dist(6, 0.85f), dist(7, 0.9f),
       dist(8, 0.55f), drive(4.0f), norm(0.8f), on(GATE_ON_TAG), val(GATE_THRESHOLD_TAG, 0.1f), on(HP_ON_TAG),
       highPass(70.0f), on(LP_ON_TAG), on(LP_TYPE_TAG), lowPass(7000.0f), volume(-9.5f)}},
    D{"Split Rectified Keys",
      {type(40), path(10), distHz(3, 600.0f), dist(4, 0.3f), dist(5, 0.4f), dist(6, 0.6f), dist(7, 0.7f),
       dist(8, 0.5f), norm(0.85f), on(WIDENER_ON_TAG), on(CHORUS_MODE_TAG), val(CHORUS_MIX_TAG, 0.4f),
       volume(-5.5f)}},
    D{"Split Ring Bells",
      {type(48), path(11), distHz(3, 800.0f), dist(4, 0.35f), dist(5, 0.3f), dist(6, 0.62f), dist(7, 0.7f),
       dist(8, 0.5f), norm(0.8f), lfoDest(0, DEST_DIST_6), lfoAmount(0, 0.15f), lfoHz(0, 0.3f),
       on(WIDENER_ON_TAG), val(WIDENER_AMOUNT_TAG, 0.3f), volume(-5.5f)}},
    D{"Split Saturated Mix",  // gentle two-band saturation, blended in
      {type(41), path(1), distHz(3, 200.0f), dist(4, 0.45f), dist(5, 0.6f), dist(6, 0.3f), dist(7, 0.5f),
       dist(8, 0.5f), norm(0.95f), on(COMP_ON_TAG), thresholdDb(COMP_THRESHOLD_TAG, -12.0f), ratio(1.5f),
       mix(0.85f), volume(-9.0f)}},
    D{"Split Shaper Stereo",
      {type(51), path(12), curve(0, Unit::CurveSoft, 2.0f), curve(1, Unit::CurveFold, 2.0f),
       distHz(3, 350.0f), dist(4, 0.2f), dist(5, 0.6f), dist(6, 0.8f), dist(7, 0.8f), dist(8, 0.5f),
       norm(0.85f), on(WIDENER_ON_TAG), val(WIDENER_AMOUNT_TAG, 0.5f), val(WIDENER_WIDTH_TAG, 0.6f),
       volume(-6.5f)}},
    D{"Split Valve Vocal",
      {type(42), path(14), distHz(3, 1000.0f), dist(4, 0.3f), dist(5, 0.4f), dist(6, 0.45f), dist(7, 0.6f),
       dist(8, 0.5f), norm(0.9f), on(HP_ON_TAG), highPass(100.0f), on(COMP_ON_TAG),
       thresholdDb(COMP_THRESHOLD_TAG, -18.0f), ratio(3.0f), val(COMP_ATTACK_TAG, 0.2f), mix(0.8f),
       volume(-5.5f)}},
    D{"Square Synth Bass",
      {type(25), path(15), dist(3, 0.9f), dist(4, 0.9f), dist(5, 0.4f), norm(0.85f), on(LP_ON_TAG),
       on(LP_TYPE_TAG), lowPass(2500.0f), val(LP_Q_TAG, 0.3f), on(COMP_ON_TAG),
       thresholdDb(COMP_THRESHOLD_TAG, -16.0f), ratio(3.0f), volume(-3.5f)}},
    D{"Tone Clipper Pedal",
      {type(4), path(16), dist(3, 0.55f), dist(4, 0.3f), dist(5, 0.5f), dist(6, 0.75f), dist(7, 0.2f),
       dist(8, 0.62f), drive(6.0f), norm(0.7f), volume(-4.0f)}},
    D{"Transient Click",
      {type(26), path(17), dist(3, 0.4f), dist(4, 0.6f), dist(5, 0.5f), norm(0.5f), on(COMP_ON_TAG),
       thresholdDb(COMP_THRESHOLD_TAG, -14.0f), ratio(2.0f), volume(-12.5f)}},
    D{"Transient Snap",
      {type(27), path(18), dist(3, 0.35f), dist(4, 0.7f), dist(5, 0.6f), norm(0.6f), on(HP_ON_TAG),
       highPass(40.0f), volume(-9.0f)}},
    D{"Tube Preamp",
      {type(28), path(19), dist(3, 0.85f), dist(4, 0.4f), dist(5, 0.4f), dist(6, 0.75f), dist(7, 0.2f),
       drive(3.0f), norm(0.85f), on(PRE_EQ_ON_TAG), gainDb(15, -4.0f), hz(19, 80.0f), volume(-7.0f)}},
    D{"Wavefolder Synth",  // the mod wheel folds harder; LFO 2 closes the filter each beat
      {type(9),
       path(20),
       dist(3, 0.4f),
       dist(4, 0.85f),
       norm(0.85f),
       lfoWave(0, TRIANGLE),
       lfoDest(0, DEST_DIST_3),
       lfoAmount(0, 0.35f),
       lfoHz(0, 0.4f),
       lfoWave(1, SAW_DOWN),
       lfoDest(1, DEST_LP_FREQ),
       lfoAmount(1, -0.4f),
       lfoSync(1),
       lfoPeriod(1, P_1_4),
       on(MOD_ADVANCED_TAG),
       slotSource(0, SRC_MOD_WHEEL),
       slotDest(0, DEST_DIST_3),
       slotAmount(0, 0.6f),
       on(LP_ON_TAG),
       lowPass(6000.0f),
       volume(-7.0f)}},
    D{"Waveshaper Bells",  // LFO 1 follows the host's transport
      {type(30), path(21), dist(3, 0.45f), dist(4, 0.55f), dist(5, 0.3f), dist(6, 0.7f), dist(7, 0.5f),
       norm(0.85f), lfoMode(0, 1), lfoDest(0, DEST_DIST_5), lfoAmount(0, 0.3f), lfoSync(0),
       lfoPeriod(0, P_1_2), on(WIDENER_ON_TAG), on(CHORUS_MODE_TAG), val(CHORUS_WIDTH_TAG, 0.8f),
       on(HP_ON_TAG), highPass(150.0f), volume(-4.5f)}},
}};

// ---- Expansion ----

constexpr float kPi = 3.14159265358979f;

float curvePoint(Unit shape, float k, float x) {
  switch (shape) {
    case Unit::CurveSoft:
      return std::tanh(k * x) / std::tanh(k);
    case Unit::CurveFold:
      return std::sin(k * 0.5f * kPi * x);
    case Unit::CurveAsym: {
      const float y = std::tanh(k * x) / std::tanh(k);
      return x >= 0.0f ? y : 0.4f * y;
    }
    case Unit::CurveSteps: {
      const float levels = std::max(2.0f, k) - 1.0f;
      return -1.0f + 2.0f * std::round((x + 1.0f) * 0.5f * levels) / levels;
    }
    default:
      return x;
  }
}

bool isCurve(Unit u) {
  return u == Unit::CurveSoft || u == Unit::CurveFold || u == Unit::CurveAsym || u == Unit::CurveSteps;
}

// The stored value of one (non-curve) change.
float storedValue(const Change& c) {
  switch (c.unit) {
    case Unit::Step:
      return steprule::valueOfStep(c.value, tagmap::rowOf(c.tag).scale);
    case Unit::Hz:
      return units::frequencyValue(c.value);
    case Unit::Ratio:
      return units::ratioValue(c.value);
    case Unit::LfoHz:
      return units::lfoRateValue(c.value);
    case Unit::FollowerMs:
      return units::followerMsValue(c.value);
    default:
      return c.value;
  }
}

void apply(const Change& c, float* row) {
  if (isCurve(c.unit)) {
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) {
      const float x = 2.0f * static_cast<float>(i) / 255.0f - 1.0f;
      row[c.tag + i] = dsp::clamp01(0.5f * curvePoint(c.unit, c.value, x) + 0.5f);
    }
    return;
  }
  row[c.tag] = dsp::clamp01(storedValue(c));
}

struct Bank {
  float rows[NUM_DEMO_PROGRAMS][NUM_PARAMS];
  char names[NUM_DEMO_PROGRAMS][DEMO_NAME_MAX + 1];
};

std::unique_ptr<Bank> expand() {
  auto bank = std::make_unique<Bank>();
  for (int p = 0; p < NUM_DEMO_PROGRAMS; ++p) {
    const Design& d = BANK[static_cast<std::size_t>(p)];
    float(&row)[NUM_PARAMS] = bank->rows[p];
    tagmap::fillDefaults(row);
    for (std::size_t i = 0; i < d.count; ++i) apply(d.changes[i], row);
    char* name = bank->names[p];
    const std::size_t n = std::min<std::size_t>(d.name.size(), DEMO_NAME_MAX);
    std::memcpy(name, d.name.data(), n);
    name[n] = 0;
    tagmap::encodeNameTags(name, row);
  }
  return bank;
}

const Bank& bank() {
  static const std::unique_ptr<Bank> b = expand();
  return *b;
}

std::string describe(const Design& d, const Change& c, const char* what) {
  return std::string(d.name) + ": tag " + std::to_string(c.tag) + " " + what;
}

}  // namespace

const std::array<Design, NUM_DEMO_PROGRAMS>& bankDesigns() { return BANK; }

std::string_view demoProgramName(int i) {
  if (i < 0 || i >= NUM_DEMO_PROGRAMS) return {};
  return bank().names[i];
}

const float* demoProgramRow(int i) {
  if (i < 0 || i >= NUM_DEMO_PROGRAMS) return nullptr;
  return bank().rows[i];
}

int findDemoProgram(const char* text) {
  int found = 0;
  if (!text) return found;
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i)
    if (std::strcmp(text, bank().names[i]) == 0) found = i;
  return found;
}

std::string checkDesign(const Design& d) {
  if (d.name.empty() || d.name.size() > static_cast<std::size_t>(DEMO_NAME_MAX))
    return std::string(d.name) + ": name length";
  for (char ch : d.name)
    if (ch < 32 || ch > 126) return std::string(d.name) + ": name character";
  for (std::size_t i = 0; i < d.count; ++i) {
    const Change& c = d.changes[i];
    // Programs hold settings only: tag 0, the spare tags, the load tag and the name are not theirs.
    if (c.tag < 1 || c.tag > 761) return describe(d, c, "is not a setting");
    for (std::size_t j = 0; j < i; ++j)
      if (d.changes[j].tag == c.tag) return describe(d, c, "is changed twice");
    const tagmap::Row& row = tagmap::rowOf(c.tag);
    if (isCurve(c.unit)) {
      if (c.tag != WAVESHAPER_START_TAG[0] && c.tag != WAVESHAPER_START_TAG[1])
        return describe(d, c, "starts no curve");
      if (!(c.value > 0.0f)) return describe(d, c, "has no curve amount");
      continue;
    }
    if ((c.unit == Unit::Step) != (row.kind == tagmap::Kind::Stepped))
      return describe(d, c, "step on a tag without steps");
    if (c.unit == Unit::Step &&
        (c.value != std::floor(c.value) || c.value < 0.0f || c.value >= static_cast<float>(row.steps)))
      return describe(d, c, "selects no step");
    const float v = storedValue(c);
    if (!(v >= 0.0f && v <= 1.0f)) return describe(d, c, "lies outside 0..1");
    if (row.kind == tagmap::Kind::Switch && v != 0.0f && v != 1.0f)
      return describe(d, c, "half-sets a switch");
  }
  return {};
}

}  // namespace presets
