#include "pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

void prefaultForWriting(void* p, std::size_t size) noexcept {
#ifdef MADV_POPULATE_WRITE
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pageSize <= 0 || !p) return;
  const auto page = static_cast<std::uintptr_t>(pageSize);
  const auto from = (reinterpret_cast<std::uintptr_t>(p) + page - 1) & ~(page - 1);
  const auto to = (reinterpret_cast<std::uintptr_t>(p) + size) & ~(page - 1);
  // Older kernels answer EINVAL: the pages then fault in as they are written.
  if (to > from) (void)::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
  (void)p;
  (void)size;
#endif
}
