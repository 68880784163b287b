#include "prefsWriter.h"

#include <string>
#include <utility>
#include <vector>

#include "platform.h"
#include "prefsStore.h"

namespace {
constexpr int kEmpty = -1;
// After a failed write (full disk, unwritable folder) the next attempt waits this long.
constexpr std::chrono::milliseconds kRetryDelay{1000};
}  // namespace

TPrefsWriter::TPrefsWriter(TPrefsStore* store, std::chrono::milliseconds poll) : store_(store), poll_(poll) {
  for (auto& slot : slots_) slot.store(kEmpty, std::memory_order_relaxed);
  if (poll_.count() <= 0) poll_ = DEFAULT_POLL;
}

TPrefsWriter::~TPrefsWriter() { stop(); }

void TPrefsWriter::start() noexcept {
  std::lock_guard<std::mutex> life(lifeMutex_);
  if (thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> g(threadMutex_);
    stopRequested_ = false;
  }
  try {
    thread_ = std::thread([this] { run(); });
    running_.store(true, std::memory_order_release);
  } catch (...) {
    // Without a thread, bindings are still written by flush() and by the destructor.
  }
}

void TPrefsWriter::stop() noexcept {
  std::lock_guard<std::mutex> life(lifeMutex_);
  if (thread_.joinable()) {
    {
      std::lock_guard<std::mutex> g(threadMutex_);
      stopRequested_ = true;
    }
    wakeUp_.notify_all();
    thread_.join();
    running_.store(false, std::memory_order_release);
  }
  flush();
}

bool TPrefsWriter::running() const noexcept { return running_.load(std::memory_order_acquire); }

void TPrefsWriter::postMidiCC(int cc, int tag) noexcept {
  if (cc < 0 || cc >= NUM_SLOTS || tag < 0) return;
  slots_[static_cast<std::size_t>(cc)].store(tag, std::memory_order_release);
  dirty_.store(true, std::memory_order_release);
}

int TPrefsWriter::pendingMidiCC(int cc) const noexcept {
  if (cc < 0 || cc >= NUM_SLOTS) return kEmpty;
  return slots_[static_cast<std::size_t>(cc)].load(std::memory_order_acquire);
}

void TPrefsWriter::wake() noexcept {
  {
    std::lock_guard<std::mutex> g(threadMutex_);
    wakeRequested_ = true;
  }
  wakeUp_.notify_all();
}

bool TPrefsWriter::flush() noexcept {
  std::lock_guard<std::mutex> drain(drainMutex_);
  // The flag is cleared before the slots are read: a binding posted meanwhile raises it
  // again and is taken by the next pass.
  if (!dirty_.exchange(false, std::memory_order_acq_rel)) return true;
  std::vector<std::pair<std::string, int>> batch;
  std::vector<std::pair<int, int>> taken;
  try {
    batch.reserve(NUM_SLOTS);
    taken.reserve(NUM_SLOTS);
  } catch (...) {
    dirty_.store(true, std::memory_order_release);
    return false;
  }
  for (int cc = 0; cc < NUM_SLOTS; ++cc) {
    const int tag = slots_[static_cast<std::size_t>(cc)].exchange(kEmpty, std::memory_order_acq_rel);
    if (tag == kEmpty) continue;
    taken.emplace_back(cc, tag);
    batch.emplace_back(std::to_string(cc), tag);
  }
  TPrefsStore& store = store_ != nullptr ? *store_ : defaultPrefsStore();
  if (store.saveInts(batch)) return true;
  // Put back what was not written, unless a newer binding took the slot meanwhile.
  for (const auto& [cc, tag] : taken) {
    int expected = kEmpty;
    slots_[static_cast<std::size_t>(cc)].compare_exchange_strong(expected, tag, std::memory_order_acq_rel);
  }
  dirty_.store(true, std::memory_order_release);
  return false;
}

void TPrefsWriter::run() noexcept {
  std::chrono::milliseconds wait = poll_;
  for (;;) {
    bool stopping = false;
    {
      std::unique_lock<std::mutex> lock(threadMutex_);
      // The audio thread never notifies (no system call there): a binding is found by the
      // next poll of the flag; wake() and stop() cut the wait short.
      wakeUp_.wait_for(lock, wait, [this] { return stopRequested_ || wakeRequested_; });
      wakeRequested_ = false;
      stopping = stopRequested_;
    }
    if (stopping) return;  // stop() flushes after the join
    if (dirty_.load(std::memory_order_acquire)) wait = flush() ? poll_ : kRetryDelay;
  }
}
