// Memory pages of large objects.
#pragma once

#include <cstddef>

// Maps in, ready for writing, every page that lies wholly inside [p, p + size), in one call
// instead of one page fault per page as they are first written. Contents are unchanged; where
// the system cannot do it, nothing happens and the pages fault in as before.
void prefaultForWriting(void* p, std::size_t size) noexcept;
