// Plain members that more than one thread reads and writes (tables kept as plain floats for
// their stored layout, display values of the engine): relaxed atomic access, so that a reader
// sees a whole value, old or new, never a torn one.
#pragma once

#include <atomic>

template <typename T>
inline void storeRelaxed(T& slot, T v) noexcept {
  std::atomic_ref<T>(slot).store(v, std::memory_order_relaxed);
}
template <typename T>
inline T loadRelaxed(T& slot) noexcept {
  return std::atomic_ref<T>(slot).load(std::memory_order_relaxed);
}
