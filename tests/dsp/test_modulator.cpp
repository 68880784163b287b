#include <gtest/gtest.h>

#include <limits>

#include "dsp/uModulator.h"
#include "support/expectValues.h"

using testing_support::kUlps;

namespace {

constexpr int SRC_LFO1 = 32;  // bipolar, not centred
constexpr int MATRIX_SLOT = 4;

// One matrix slot routed and armed the way the engine does it: amount first, then the form.
void routeMatrixSlot(TModulator& m, int src, int dest, float amt, bool adv = false, float offset = 0.5f,
                     float lower = 0.0f, float upper = 1.0f) {
  m.setSrcForSlot(MATRIX_SLOT, src);
  m.setDestForSlot(MATRIX_SLOT, dest);
  m.setAmtForSlot(MATRIX_SLOT, amt, false);
  m.setAdvForSlot(MATRIX_SLOT, adv, offset, lower, upper, false);
  m.setToDefaultVal();
  m.setSlotUsed();
}

float modFor(TModulator& m, int src, float v, int dest) {
  m.setSrcVal(src, v);
  m.doMod();
  return m.getMod(dest);
}

}  // namespace

TEST(Modulator, InitFixesSourcesOfTheDedicatedSlots) {
  TModulator m;
  m.setSrcVal(3, 0.7f);
  m.setDestForSlot(0, 9);
  m.init();
  EXPECT_VALUES({m.getSrcVal(52), 1.0f}, {m.getSrcVal(3), 0.0f}, {m.getDestForSlot(0), 0});
  const int lfoSources[] = {32, 34, 36, 38};
  for (int s = 0; s < 24; ++s) {
    const int expected = s < 4 ? lfoSources[s] : s < 14 ? 0 : s < 17 ? 40 : 41;
    EXPECT_EQ(m.getSrcForSlot(s), expected) << s;
  }
  EXPECT_EQ(m.getUsedCount(), 0);
  // Source forms: LFOs and the lazy LFO are bipolar but keep their offset; the taps,
  // noise, Disrupt and note sources are centred; unipolar sources are neither.
  for (int src : {6, 7, 9, 12, 41, 44, 45, 46, 47, 48, 49, 50, 51, 53}) {
    EXPECT_TRUE(TModulator::isBipolarSource(src)) << src;
    EXPECT_TRUE(TModulator::isCentredSource(src)) << src;
  }
  for (int src : {32, 34, 36, 38, 42}) {
    EXPECT_TRUE(TModulator::isBipolarSource(src)) << src;
    EXPECT_FALSE(TModulator::isCentredSource(src)) << src;
  }
  for (int src : {0, 1, 8, 10, 33, 40, 43, 52, 54, -6, 55})
    EXPECT_FALSE(TModulator::isBipolarSource(src) || TModulator::isCentredSource(src)) << src;
}

TEST(Modulator, OutOfRangeNumbersAreIgnored) {
  TModulator m;
  routeMatrixSlot(m, SRC_INPUT, 10, 0.5f);
  for (int bad : {-1, -1000, std::numeric_limits<int>::min(), 55, 1000}) {
    m.setSrcVal(bad, 5.0f);
    EXPECT_EQ(m.getSrcVal(bad), 0.0f);
    m.setSrcForSlot(MATRIX_SLOT, bad);
  }
  for (int bad : {-1, -1000, std::numeric_limits<int>::min(), 24}) {
    m.setSrcForSlot(bad, 3);
    m.setDestForSlot(bad, 3);
    m.setAmtForSlot(bad, 1.0f, false);
    m.setAdvForSlot(bad, true, 0.5f, 0.0f, 1.0f, false);
    EXPECT_EQ(m.getSrcForSlot(bad), 0);
    EXPECT_FALSE(m.getIsActiveSlot(bad));
  }
  for (int bad : {-1, -112, std::numeric_limits<int>::min(), 112}) {
    m.setDestForSlot(MATRIX_SLOT, bad);
    EXPECT_EQ(m.getMod(bad), 0.0f);
  }
  EXPECT_VALUES({m.getSrcForSlot(MATRIX_SLOT), SRC_INPUT}, {m.getDestForSlot(MATRIX_SLOT), 10},
                {modFor(m, SRC_INPUT, 0.8f, 10), 0.4f, kUlps});
  EXPECT_VALUES({TModulator::getIsValidDest(111), true}, {TModulator::getIsValidSrc(54), true},
                {TModulator::getIsValidSlot(23), true});
}

TEST(Modulator, AmountsAndTheUsedList) {
  TModulator m;
  routeMatrixSlot(m, SRC_INPUT, 10, 3.0f);
  EXPECT_EQ(m.getAmtForSlot(MATRIX_SLOT), 1.0f);
  routeMatrixSlot(m, SRC_INPUT, 10, -3.0f);
  EXPECT_EQ(m.getAmtForSlot(MATRIX_SLOT), -1.0f);
  for (float tiny : {1e-5f, -1e-5f, 0.0f, std::numeric_limits<float>::quiet_NaN()}) {
    routeMatrixSlot(m, SRC_INPUT, 10, tiny);
    EXPECT_EQ(m.getUsedCount(), 0) << tiny;
  }
  routeMatrixSlot(m, SRC_INPUT, 10, 2e-5f);
  EXPECT_EQ(m.getUsedCount(), 1);
  routeMatrixSlot(m, SRC_INPUT, 0, 1.0f);  // destination None is never used
  EXPECT_EQ(m.getUsedCount(), 0);
  m.setAmtForSlot(2, 1.0f, true);  // switched off
  m.setDestForSlot(2, 10);
  m.setSlotUsed();
  EXPECT_EQ(m.getUsedCount(), 0);

  // Between routing ticks the list stands: a slot muted meanwhile adds 0, a new one waits.
  routeMatrixSlot(m, SRC_INPUT, 10, 0.5f);
  m.setDestForSlot(0, 11);
  m.setAmtForSlot(0, 1.0f, false);
  m.setSrcVal(SRC_LFO1, 1.0f);
  m.setAmtForSlot(MATRIX_SLOT, 0.0f, false);
  m.setSrcVal(SRC_INPUT, 0.8f);
  m.doMod();
  EXPECT_EQ(m.getMod(10), 0.0f);
  EXPECT_EQ(m.getMod(11), 0.0f);
  m.setSlotUsed();
  m.doMod();
  EXPECT_EQ(m.getMod(11), 1.0f);
}

TEST(Modulator, SlotsSharingADestinationAddUp) {
  TModulator m;
  m.setDestForSlot(0, 20);  // LFO 1
  m.setAmtForSlot(0, 0.5f, false);
  m.setDestForSlot(17, 20);  // Disrupt 1
  m.setAmtForSlot(17, -0.25f, false);
  m.setSrcForSlot(9, SRC_INPUT);
  m.setDestForSlot(9, 20);
  m.setAmtForSlot(9, 1.0f, false);
  m.setDestForSlot(23, 30);  // Disrupt 7 elsewhere
  m.setAmtForSlot(23, 1.0f, false);
  m.setSlotUsed();
  EXPECT_EQ(m.getUsedCount(), 4);
  m.setSrcVal(32, 0.5f);
  m.setSrcVal(41, 0.8f);
  m.setSrcVal(SRC_INPUT, -0.125f);
  for (int pass = 0; pass < 3; ++pass) {  // each sample starts the sums from zero again
    m.doMod();
    EXPECT_FLOAT_EQ(m.getMod(20), 0.25f - 0.2f - 0.125f);
    EXPECT_FLOAT_EQ(m.getMod(30), 0.8f);
  }
  // A destination that no used slot reaches keeps its sum until the routing tick clears it.
  m.setDestForSlot(23, 31);
  m.setSlotUsed();
  m.doMod();
  EXPECT_FLOAT_EQ(m.getMod(30), 0.8f);
  m.setToDefaultVal();
  m.doMod();
  EXPECT_EQ(m.getMod(30), 0.0f);
  EXPECT_FLOAT_EQ(m.getMod(31), 0.8f);
}

TEST(Modulator, AdvancedFormThresholds) {
  TModulator m;
  // Unipolar source, thresholds 0.2 and 0.8, offset 0, amount 1.
  routeMatrixSlot(m, SRC_UNI_NOISE, 5, 1.0f, true, 0.5f, 0.2f, 0.8f);
  EXPECT_VALUES({modFor(m, SRC_UNI_NOISE, 0.1f, 5), 0.0f}, {modFor(m, SRC_UNI_NOISE, 0.5f, 5), 0.5f, 1e-6},
                {modFor(m, SRC_UNI_NOISE, 0.9f, 5), 1.0f},
                {modFor(m, SRC_UNI_NOISE, std::numeric_limits<float>::quiet_NaN(), 5), 0.0f});
  // A non-centred source runs from the offset to the amount.
  routeMatrixSlot(m, SRC_UNI_NOISE, 5, 0.8f, true, 0.75f, 0.0f, 1.0f);
  EXPECT_VALUES({modFor(m, SRC_UNI_NOISE, 0.0f, 5), 0.5f, kUlps},
                {modFor(m, SRC_UNI_NOISE, 0.5f, 5), 0.65f, kUlps},
                {modFor(m, SRC_UNI_NOISE, 1.0f, 5), 0.8f, kUlps});
  // A centred source swings -amount..+amount; its thresholds are read in the -1..1 form.
  routeMatrixSlot(m, SRC_INPUT, 5, 0.6f, true, 0.9f, 0.0f, 1.0f);
  EXPECT_VALUES({modFor(m, SRC_INPUT, -1.0f, 5), -0.6f, kUlps}, {modFor(m, SRC_INPUT, 0.0f, 5), 0.0f, 1e-7},
                {modFor(m, SRC_INPUT, 1.0f, 5), 0.6f, kUlps});
  // A bipolar LFO keeps its offset: thresholds 0.5..1 are 0..1 in its form.
  routeMatrixSlot(m, SRC_LFO1, 5, 1.0f, true, 0.25f, 0.5f, 1.0f);
  EXPECT_VALUES({modFor(m, SRC_LFO1, -0.5f, 5), 0.0f}, {modFor(m, SRC_LFO1, 0.0f, 5), -0.5f, kUlps},
                {modFor(m, SRC_LFO1, 0.5f, 5), 0.25f, kUlps});
  // An upper threshold below the top narrows the window from above: 0.5..0.75 is 0..0.5.
  routeMatrixSlot(m, SRC_LFO1, 5, 1.0f, true, 0.25f, 0.5f, 0.75f);
  EXPECT_FLOAT_EQ(modFor(m, SRC_LFO1, 0.25f, 5), 0.25f);
  EXPECT_FLOAT_EQ(modFor(m, SRC_LFO1, 0.9f, 5), 1.0f);
  // An empty window adds nothing.
  routeMatrixSlot(m, SRC_UNI_NOISE, 5, 1.0f, true, 0.9f, 0.6f, 0.6f);
  EXPECT_EQ(modFor(m, SRC_UNI_NOISE, 0.7f, 5), 0.0f);
  // Switching the form off leaves the full window and no offset; the simple form ignores it.
  m.setAdvForSlot(MATRIX_SLOT, false, 0.9f, 0.6f, 0.6f, true);
  m.setAmtForSlot(MATRIX_SLOT, 0.5f, false);
  EXPECT_FLOAT_EQ(modFor(m, SRC_UNI_NOISE, 0.7f, 5), 0.35f);
}
