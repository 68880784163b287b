#include "dsp/uModulator.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float ACTIVE_LIMIT = 1e-5f;

}  // namespace

// Sources whose values swing around zero: thresholds are compared in the -1..1 form.
bool TModulator::isBipolarSource(int src) noexcept {
  return getIsValidSrc(src) && MOD_SOURCES[static_cast<std::size_t>(src)].kind != SourceKind::Unipolar;
}

// Of those, the ones whose advanced slots run from -amount to +amount (no offset).
bool TModulator::isCentredSource(int src) noexcept {
  return getIsValidSrc(src) && MOD_SOURCES[static_cast<std::size_t>(src)].kind == SourceKind::Centred;
}

void TModulator::init() noexcept {
  advanced.fill(false);
  active.fill(false);
  usedCount = 0;
  usedSlots.fill(0);
  slotSource.fill(0);
  slotDest.fill(0);
  amount.fill(0.0f);
  offsetTerm.fill(0.0f);
  scaleTerm.fill(0.0f);
  lowerBipolar.fill(0.0f);
  upperBipolar.fill(0.0f);
  lowerUnipolar.fill(0.0f);
  upperUnipolar.fill(0.0f);
  for (auto& o : out) o.store(0.0f, std::memory_order_relaxed);
  for (auto& v : srcVal) v.store(0.0f, std::memory_order_relaxed);

  for (int i = 0; i < 4; ++i) slotSource[SLOT_FIRST_LFO + i] = SRC_LFO[i];
  for (int s = SLOT_FIRST_FOLLOWER; s < SLOT_FIRST_DISRUPT; ++s) slotSource[s] = SRC_FOLLOWER;
  for (int s = SLOT_FIRST_DISRUPT; s < NUM_SLOTS; ++s) slotSource[s] = SRC_DISRUPT;
  srcVal[SRC_OFFSET].store(1.0f, std::memory_order_relaxed);

  for (int src = 0; src < NUM_SOURCES; ++src) {
    bipolarSource[src] = isBipolarSource(src);
    centredSource[src] = isCentredSource(src);
  }
}

void TModulator::setSrcForSlot(int slot, int src) noexcept {
  if (getIsValidSlot(slot) && getIsValidSrc(src)) slotSource[slot] = src;
}

void TModulator::setDestForSlot(int slot, int dest) noexcept {
  if (getIsValidSlot(slot) && getIsValidDest(dest)) slotDest[slot] = dest;
}

void TModulator::setAmtForSlot(int slot, float amt, bool off) noexcept {
  if (!getIsValidSlot(slot)) return;
  if (off || std::isnan(amt))
    amount[slot] = 0.0f;
  else
    amount[slot] = std::clamp(amt, -1.0f, 1.0f);
  active[slot] = std::fabs(amount[slot]) > ACTIVE_LIMIT;
}

void TModulator::setAdvForSlot(int slot, bool adv, float offset, float lower, float upper,
                               bool off) noexcept {
  if (!getIsValidSlot(slot)) return;
  advanced[slot] = adv;
  if (off) {
    offsetTerm[slot] = 0.0f;
    lowerBipolar[slot] = -1.0f;
    upperBipolar[slot] = 1.0f;
    lowerUnipolar[slot] = 0.0f;
    upperUnipolar[slot] = 1.0f;
    return;
  }
  offsetTerm[slot] = 2.0f * offset - 1.0f;
  active[slot] = std::fabs(amount[slot]) > ACTIVE_LIMIT;
  if (centredSource[slotSource[slot]]) offsetTerm[slot] = -amount[slot];
  scaleTerm[slot] = amount[slot] - offsetTerm[slot];
  lowerBipolar[slot] = 2.0f * lower - 1.0f;
  upperBipolar[slot] = 2.0f * upper - 1.0f;
  lowerUnipolar[slot] = lower;
  upperUnipolar[slot] = upper;
}

void TModulator::setToDefaultVal() noexcept {
  for (auto& o : out) o.store(0.0f, std::memory_order_relaxed);
}

void TModulator::setSlotUsed() noexcept {
  int n = 0;
  for (int s = 0; s < NUM_SLOTS; ++s)
    if (slotDest[s] != 0 && active[s]) usedSlots[n++] = s;
  usedCount = n;
}

void TModulator::doMod() noexcept {
  const int n = usedCount;
  if (n < 1) return;
  // Only the destinations in use start again from zero; the others keep their last sum.
  for (int i = 0; i < n; ++i) out[slotDest[usedSlots[i]]].store(0.0f, std::memory_order_relaxed);
  for (int i = 0; i < n; ++i) {
    const int s = usedSlots[i];
    const int src = slotSource[s];
    const int d = slotDest[s];
    float x = srcVal[src].load(std::memory_order_relaxed);
    float sum = out[d].load(std::memory_order_relaxed);
    if (!advanced[s]) {
      sum += amount[s] * x;
    } else {
      const bool bipolar = bipolarSource[src];
      const float lo = bipolar ? lowerBipolar[s] : lowerUnipolar[s];
      const float hi = bipolar ? upperBipolar[s] : upperUnipolar[s];
      // Below the lower threshold (or with an empty window) the slot adds nothing at all.
      if (hi <= lo || !(x >= lo)) continue;
      if (std::fabs(hi - lo) > ACTIVE_LIMIT) {
        x = (x - lo) / (hi - lo);
        x = bipolar ? std::clamp(x, -1.0f, 1.0f) : std::clamp(x, 0.0f, 1.0f);
      }
      sum = offsetTerm[s] + sum + scaleTerm[s] * x;
    }
    out[d].store(sum, std::memory_order_relaxed);
  }
}
