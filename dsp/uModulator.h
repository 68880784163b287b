// The modulation core: the current value of each of the 55 modulation sources, 24 slots
// that each carry one source to one destination with an amount, and the summed modulation
// of each of the 112 destinations. Nothing here allocates.
//
// Slot roles as the engine wires them: 0..3 LFO 1..4, 4..13 matrix rows 1..10 (the only
// ones in the advanced threshold form), 14..16 follower outputs, 17..23 Disrupt 1..7.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

#include "dsp/dspCommon.h"
#include "modulation.h"

class TModulator {
 public:
  static constexpr int NUM_SLOTS = 24;
  static constexpr int NUM_SOURCES = NUM_MOD_SOURCES;
  static constexpr int NUM_DESTS = NUM_MOD_DESTS;
  // First slot of each group.
  static constexpr int SLOT_FIRST_LFO = 0;
  static constexpr int SLOT_FIRST_MATRIX = 4;
  static constexpr int SLOT_FIRST_FOLLOWER = 14;
  static constexpr int SLOT_FIRST_DISRUPT = 17;

  TModulator() noexcept { init(); }
  TModulator(const TModulator&) = delete;
  TModulator& operator=(const TModulator&) = delete;

  // Clears everything, fixes the sources of the LFO, follower and Disrupt slots and sets
  // the constant Offset source to 1.
  void init() noexcept;

  // Range checks; negative numbers are invalid.
  static bool getIsValidSlot(int slot) noexcept { return static_cast<unsigned>(slot) < NUM_SLOTS; }
  static bool getIsValidSrc(int src) noexcept { return static_cast<unsigned>(src) < NUM_SOURCES; }
  static bool getIsValidDest(int dest) noexcept { return static_cast<unsigned>(dest) < NUM_DESTS; }

  // Source values; written by the audio thread, readable from the editor thread.
  void setSrcVal(int src, float v) noexcept {
    if (getIsValidSrc(src)) dsp::storeFloatRelaxed(srcVal[src], v);
  }
  float getSrcVal(int src) const noexcept {
    return getIsValidSrc(src) ? dsp::loadFloatRelaxed(srcVal[src]) : 0.0f;
  }

  // Routing; out-of-range slots, sources or destinations change nothing.
  void setSrcForSlot(int slot, int src) noexcept;
  void setDestForSlot(int slot, int dest) noexcept;
  // amt is limited to -1..1; an "off" slot gets amount 0. |amount| <= 1e-5 counts as inactive.
  void setAmtForSlot(int slot, float amt, bool off) noexcept;
  // Threshold form of a slot: offset, lower and upper are 0..1 knob values. Call after
  // setAmtForSlot for the same slot, since the scale is derived from the amount.
  void setAdvForSlot(int slot, bool adv, float offset, float lower, float upper, bool off) noexcept;

  // Zeroes every destination's sum (routing tick, before setSlotUsed).
  void setToDefaultVal() noexcept;
  // Rebuilds the list of slots doMod visits: active slots with a destination, in slot order.
  void setSlotUsed() noexcept;
  // Recomputes the sums of the destinations reached by used slots from the current sources.
  void doMod() noexcept;
  // Sum of destination dest, 0 for an invalid number; safe from the editor thread.
  float getMod(int dest) const noexcept {
    return getIsValidDest(dest) ? dsp::loadFloatRelaxed(out[dest]) : 0.0f;
  }

  // The sums of the four neighbouring destinations dest..dest + 3 (all valid) into to[0..3]: on
  // x86 one 16-byte load, where each atomic load takes two instructions. Each sum is read whole
  // (naturally aligned 4-byte lanes), though the four may come from different steps, as four
  // loads from another thread could; on the audio thread they are the current sums.
  void getMod4(int dest, float* to) const noexcept {
    static_assert(sizeof(std::atomic<float>) == sizeof(float) && std::atomic<float>::is_always_lock_free);
#if defined(__SSE__) || defined(__x86_64__)
    _mm_storeu_ps(to, _mm_loadu_ps(reinterpret_cast<const float*>(out.data() + dest)));
#else
    for (int k = 0; k < 4; ++k) to[k] = out[dest + k].load(std::memory_order_relaxed);
#endif
  }

  // Read-only views of the routing, for displays and tests.
  int getSrcForSlot(int slot) const noexcept { return getIsValidSlot(slot) ? slotSource[slot] : 0; }
  int getDestForSlot(int slot) const noexcept { return getIsValidSlot(slot) ? slotDest[slot] : 0; }
  float getAmtForSlot(int slot) const noexcept { return getIsValidSlot(slot) ? amount[slot] : 0.0f; }
  bool getIsActiveSlot(int slot) const noexcept { return getIsValidSlot(slot) && active[slot]; }
  int getUsedCount() const noexcept { return usedCount; }

  // Per-source forms of the threshold test: bipolar sources compare against thresholds
  // mapped to -1..1; centred ones swing -amount..+amount instead of offset..amount.
  static bool isBipolarSource(int src) noexcept;
  static bool isCentredSource(int src) noexcept;

 private:
  std::array<bool, NUM_SLOTS> advanced{};
  std::array<bool, NUM_SLOTS> active{};
  std::array<bool, NUM_SOURCES> bipolarSource{};
  std::array<bool, NUM_SOURCES> centredSource{};
  int32_t usedCount = 0;
  std::array<int32_t, NUM_SLOTS> usedSlots{};
  std::array<int32_t, NUM_SLOTS> slotSource{};
  std::array<int32_t, NUM_SLOTS> slotDest{};
  std::array<float, NUM_SLOTS> amount{};
  std::array<float, NUM_SLOTS> offsetTerm{};
  std::array<float, NUM_SLOTS> scaleTerm{};
  std::array<float, NUM_SLOTS> lowerBipolar{};
  std::array<float, NUM_SLOTS> upperBipolar{};
  std::array<float, NUM_SLOTS> lowerUnipolar{};
  std::array<float, NUM_SLOTS> upperUnipolar{};
  std::array<std::atomic<float>, NUM_DESTS> out{};
  std::array<std::atomic<float>, NUM_SOURCES> srcVal{};
};
