#include "vstguibase.h"

#include <atomic>
#include <chrono>

namespace VSTGUI::Ticks {

namespace {
std::atomic<Source> gSource{nullptr};
std::atomic<void*> gContext{nullptr};
}  // namespace

uint64_t now64() {
  if (Source source = gSource.load(std::memory_order_acquire))
    return source(gContext.load(std::memory_order_acquire));
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void setSource(Source source, void* context) {
  gSource.store(nullptr, std::memory_order_release);
  gContext.store(context, std::memory_order_release);
  gSource.store(source, std::memory_order_release);
}

}  // namespace VSTGUI::Ticks
