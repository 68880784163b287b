#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "dsp/uModulator.h"
#include "support/expectValues.h"

using testing_support::kUlps;

namespace {

constexpr int SRC_LFO1 = 32;  // bipolar, not centred
constexpr int MATRIX_SLOT = 4;
const float NaN = std::numeric_limits<float>::quiet_NaN();

// One matrix slot routed and armed as the engine does it: the amount first, then the form.
void route(TModulator& m, int src, int dest, float amt, bool adv = false, float offset = 0.5f,
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

// After init: Offset (52) is 1, the LFO, follower and Disrupt slots have their fixed sources, no
// slot is used. The note, Disrupt and signal sources are bipolar and centred; the LFOs and Lazy
// bipolar only; all others neither.
TEST(Modulator, InitFixesTheDedicatedSlotsAndTheSourceForms) {
  TModulator m;
  m.setSrcVal(3, 0.7f);
  m.setDestForSlot(0, 9);
  m.init();
  EXPECT_VALUES({m.getSrcVal(52), 1.0f}, {m.getSrcVal(3), 0.0f}, {m.getDestForSlot(0), 0},
                {m.getUsedCount(), 0});
  const int lfoSources[] = {32, 34, 36, 38};
  for (int s = 0; s < 24; ++s)
    EXPECT_EQ(m.getSrcForSlot(s), s < 4 ? lfoSources[s] : s < 14 ? 0 : s < 17 ? 40 : 41);
  const int centred[] = {6, 7, 9, 12, 41, 44, 45, 46, 47, 48, 49, 50, 51, 53},
            bipolar[] = {32, 34, 36, 38, 42};
  for (int src = -6; src <= 55; ++src) {
    const bool isCentred = std::count(std::begin(centred), std::end(centred), src) > 0;
    const bool isBipolar = isCentred || std::count(std::begin(bipolar), std::end(bipolar), src) > 0;
    EXPECT_EQ(TModulator::isCentredSource(src), isCentred) << src;
    EXPECT_EQ(TModulator::isBipolarSource(src), isBipolar) << src;
  }
}

TEST(Modulator, OutOfRangeNumbersAreIgnored) {
  TModulator m;
  route(m, SRC_INPUT, 10, 0.5f);
  for (int bad : {-1, std::numeric_limits<int>::min(), 1000}) {
    m.setSrcVal(bad, 5.0f);
    m.setSrcForSlot(bad, 3);
    m.setSrcForSlot(MATRIX_SLOT, bad);
    m.setDestForSlot(bad, 3);
    m.setDestForSlot(MATRIX_SLOT, bad);
    m.setAmtForSlot(bad, 1.0f, false);
    m.setAdvForSlot(bad, true, 0.5f, 0.0f, 1.0f, false);
    EXPECT_VALUES({m.getSrcVal(bad), 0.0f}, {m.getSrcForSlot(bad), 0}, {m.getIsActiveSlot(bad), false},
                  {m.getMod(bad), 0.0f});
  }
  EXPECT_VALUES({m.getSrcForSlot(MATRIX_SLOT), SRC_INPUT}, {m.getDestForSlot(MATRIX_SLOT), 10},
                {modFor(m, SRC_INPUT, 0.8f, 10), 0.4f, kUlps}, {TModulator::getIsValidDest(111), true},
                {TModulator::getIsValidDest(112), false}, {TModulator::getIsValidSrc(54), true},
                {TModulator::getIsValidSrc(55), false}, {TModulator::getIsValidSlot(23), true},
                {TModulator::getIsValidSlot(24), false});
}

// Amounts are held to -1..1; 1e-5 or less (or not a number) counts as off, as does destination
// None. Between routing ticks the used list stands: a slot muted meanwhile adds 0, a new one waits.
TEST(Modulator, AmountsAndTheUsedList) {
  TModulator m;
  const auto used = [&](float amt, int dest = 10) {
    route(m, SRC_INPUT, dest, amt);
    return m.getUsedCount();
  };
  EXPECT_VALUES({used(3.0f), 1}, {m.getAmtForSlot(MATRIX_SLOT), 1.0f}, {used(-3.0f), 1},
                {m.getAmtForSlot(MATRIX_SLOT), -1.0f}, {used(2e-5f), 1}, {used(1e-5f), 0}, {used(-1e-5f), 0},
                {used(0.0f), 0}, {used(NaN), 0}, {used(1.0f, 0), 0});
  m.setAmtForSlot(2, 1.0f, true);  // switched off
  m.setDestForSlot(2, 10);
  m.setSlotUsed();
  EXPECT_EQ(m.getUsedCount(), 0);
  route(m, SRC_INPUT, 10, 0.5f);
  m.setDestForSlot(0, 11);
  m.setAmtForSlot(0, 1.0f, false);
  m.setSrcVal(SRC_LFO1, 1.0f);
  m.setAmtForSlot(MATRIX_SLOT, 0.0f, false);
  EXPECT_VALUES({modFor(m, SRC_INPUT, 0.8f, 10), 0.0f}, {m.getMod(11), 0.0f});
  m.setSlotUsed();
  EXPECT_EQ(modFor(m, SRC_INPUT, 0.8f, 11), 1.0f);
}

// Slots sharing a destination add up, from zero again every sample; a destination no used slot
// reaches keeps its sum until the routing tick clears it.
TEST(Modulator, SlotsSharingADestinationAddUp) {
  TModulator m;
  const int slots[][2] = {{0, 20}, {17, 20}, {9, 20}, {23, 30}};  // LFO 1, Disrupt 1, matrix row 6, Disrupt 7
  const float amounts[] = {0.5f, -0.25f, 1.0f, 1.0f};
  for (int i = 0; i < 4; ++i) {
    m.setDestForSlot(slots[i][0], slots[i][1]);
    m.setAmtForSlot(slots[i][0], amounts[i], false);
  }
  m.setSrcForSlot(9, SRC_INPUT);
  m.setSlotUsed();
  m.setSrcVal(SRC_LFO1, 0.5f);
  m.setSrcVal(41, 0.8f);
  m.setSrcVal(SRC_INPUT, -0.125f);
  for (int pass = 0; pass < 3; ++pass) {
    m.doMod();
    EXPECT_VALUES({m.getUsedCount(), 4}, {m.getMod(20), 0.25f - 0.2f - 0.125f, kUlps},
                  {m.getMod(30), 0.8f, kUlps});
  }
  m.setDestForSlot(23, 31);
  m.setSlotUsed();
  m.doMod();
  EXPECT_FLOAT_EQ(m.getMod(30), 0.8f);
  m.setToDefaultVal();
  m.doMod();
  EXPECT_VALUES({m.getMod(30), 0.0f}, {m.getMod(31), 0.8f, kUlps});
}

// The advanced form: below the lower threshold (or in an empty window) the slot adds nothing;
// inside it the source runs from the offset (2v - 1) to the amount, a centred source from -amount
// to +amount; a bipolar source reads its thresholds as 2t - 1; above the window it counts as 1.
// Switching the form off leaves the full window and no offset.
TEST(Modulator, AdvancedFormThresholds) {
  TModulator m;
  const auto adv = [&](int src, float amt, float offset, float lower, float upper, float x) {
    route(m, src, 5, amt, true, offset, lower, upper);
    return modFor(m, src, x, 5);
  };
  const int U = SRC_UNI_NOISE, C = SRC_INPUT, B = SRC_LFO1;
  const double tol = 1e-6;
  EXPECT_VALUES({adv(U, 1, 0.5f, 0.2f, 0.8f, 0.1f), 0.0f}, {adv(U, 1, 0.5f, 0.2f, 0.8f, 0.5f), 0.5f, tol},
                {adv(U, 1, 0.5f, 0.2f, 0.8f, 0.9f), 1.0f}, {adv(U, 1, 0.5f, 0.2f, 0.8f, NaN), 0.0f},
                {adv(U, 0.8f, 0.75f, 0, 1, 0.0f), 0.5f, tol}, {adv(U, 0.8f, 0.75f, 0, 1, 0.5f), 0.65f, tol},
                {adv(U, 0.8f, 0.75f, 0, 1, 1.0f), 0.8f, tol}, {adv(C, 0.6f, 0.9f, 0, 1, -1.0f), -0.6f, tol},
                {adv(C, 0.6f, 0.9f, 0, 1, 0.0f), 0.0f, tol}, {adv(C, 0.6f, 0.9f, 0, 1, 1.0f), 0.6f, tol},
                {adv(C, -0.6f, 0.9f, 0, 1, 1.0f), -0.6f, tol}, {adv(B, 1, 0.25f, 0.5f, 1, -0.5f), 0.0f},
                {adv(B, 1, 0.25f, 0.5f, 1, 0.0f), -0.5f, tol}, {adv(B, 1, 0.25f, 0.5f, 1, 0.5f), 0.25f, tol},
                {adv(B, 1, 0.25f, 0.5f, 0.75f, 0.25f), 0.25f, tol},
                {adv(B, 1, 0.25f, 0.5f, 0.75f, 0.9f), 1.0f, tol}, {adv(U, 1, 0.9f, 0.6f, 0.6f, 0.7f), 0.0f});
  m.setAdvForSlot(MATRIX_SLOT, false, 0.9f, 0.6f, 0.6f, true);
  m.setAmtForSlot(MATRIX_SLOT, 0.5f, false);
  EXPECT_FLOAT_EQ(modFor(m, SRC_UNI_NOISE, 0.7f, 5), 0.35f);
}

TEST(Modulator, FourSumsAtOnceAreTheSumsOneByOne) {
  // Slots reaching neighbouring destinations with different amounts, one of them twice; every
  // run of four read at once equals the four single reads.
  TModulator m;
  const int dests[] = {DEST_DIST_1, DEST_DIST_1 + 1, DEST_DIST_1 + 3, DEST_DIST_1 + 7, DEST_DIST_1 + 7, 1};
  for (int k = 0; k < 6; ++k) {
    m.setSrcForSlot(MATRIX_SLOT + k, SRC_OFFSET);
    m.setDestForSlot(MATRIX_SLOT + k, dests[k]);
    m.setAmtForSlot(MATRIX_SLOT + k, 0.1f * static_cast<float>(k + 1) - 0.35f, false);
  }
  m.setSlotUsed();
  m.doMod();
  for (int d = 0; d + 4 <= TModulator::NUM_DESTS; ++d) {
    float four[4];
    m.getMod4(d, four);
    for (int j = 0; j < 4; ++j) ASSERT_EQ(four[j], m.getMod(d + j)) << "dest " << d + j;
  }
  EXPECT_NE(m.getMod(DEST_DIST_1 + 7), 0.0f);
}
