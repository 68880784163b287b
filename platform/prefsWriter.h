// Background writer of controller bindings. The audio thread learns a binding and must not
// touch the preference file, so it only leaves the binding in a slot here; a thread owned
// by the plug-in writes the slots to the store within a fraction of a second, and whatever
// is still pending is written when the writer is stopped or destroyed.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class TPrefsStore;

class TPrefsWriter {
 public:
  static constexpr int NUM_SLOTS = 128;
  static constexpr std::chrono::milliseconds DEFAULT_POLL{200};

  // store: where bindings go; nullptr writes to the process default store of the free
  // preference functions. The thread is not started here (hosts create instances just to
  // scan them); call start() from a non-audio thread, e.g. when processing is resumed.
  explicit TPrefsWriter(TPrefsStore* store = nullptr, std::chrono::milliseconds poll = DEFAULT_POLL);
  ~TPrefsWriter();  // stop(): writes what is pending and joins the thread
  TPrefsWriter(const TPrefsWriter&) = delete;
  TPrefsWriter& operator=(const TPrefsWriter&) = delete;

  // Starts the thread if it is not running. Not for the audio thread.
  void start() noexcept;
  // Writes everything pending and ends the thread. Not for the audio thread.
  void stop() noexcept;
  bool running() const noexcept;

  // Any thread, the audio thread included: two atomic stores, no lock, no system call.
  // The latest binding posted for a controller wins. cc outside 0..127 or tag < 0: ignored.
  void postMidiCC(int cc, int tag) noexcept;

  // Writes everything pending now, on the caller's thread (blocks on file I/O); true when
  // nothing is left pending. Not for the audio thread.
  bool flush() noexcept;
  // Asks the thread to write at once instead of at its next poll. Not for the audio thread.
  void wake() noexcept;

  bool hasPending() const noexcept { return dirty_.load(std::memory_order_acquire); }
  // The binding waiting for controller cc, or -1.
  int pendingMidiCC(int cc) const noexcept;

 private:
  void run() noexcept;

  TPrefsStore* store_;
  std::chrono::milliseconds poll_;
  static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
                "the audio thread may only touch lock-free atomics");
  std::array<std::atomic<int>, NUM_SLOTS> slots_;
  std::atomic<bool> dirty_{false};

  std::mutex drainMutex_;  // keeps the order of writes when flush() and the thread overlap
  std::mutex threadMutex_;
  std::condition_variable wakeUp_;
  bool stopRequested_ = false;  // guarded by threadMutex_
  bool wakeRequested_ = false;  // guarded by threadMutex_
  std::mutex lifeMutex_;        // serialises start() and stop()
  std::thread thread_;
  std::atomic<bool> running_{false};
};
