#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "platform/pages.h"

namespace {

struct Mapping {
  size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE)), size = 8 * page;
  unsigned char* p = static_cast<unsigned char*>(
      ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ~Mapping() { ::munmap(p, size); }
  // One character per page: '1' when it is mapped in.
  std::string resident() const {
    unsigned char v[8] = {};
    if (::mincore(p, size, v) != 0) return "?";
    std::string s;
    for (unsigned char c : v) s += (c & 1) ? '1' : '0';
    return s;
  }
};

}  // namespace

// Exactly the pages wholly inside the range are mapped in; nothing written is changed.
TEST(Pages, PrefaultMapsInTheWholePagesOfTheRangeAndKeepsTheirContents) {
  {
    Mapping probe;
    if (::madvise(probe.p, probe.page, MADV_POPULATE_WRITE) != 0) GTEST_SKIP() << "kernel cannot prefault";
  }
  struct Row {
    size_t from, length;  // bytes from the start of eight fresh pages
    const char* resident;
  };
  const size_t P = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  const Row rows[] = {{0, 8 * P, "11111111"}, {1, 8 * P - 1, "01111111"}, {P, 2 * P + 5, "01100000"},
                      {P + 1, P, "00000000"}, {0, 0, "00000000"},         {3 * P, P - 1, "00000000"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "from " << r.from << " length " << r.length);
    Mapping m;
    ASSERT_EQ(m.resident(), "00000000");
    prefaultForWriting(m.p + r.from, r.length);
    EXPECT_EQ(m.resident(), r.resident);
  }
  Mapping m;
  for (size_t i = 0; i < m.size; ++i) m.p[i] = static_cast<unsigned char>(i * 7 + 1);
  prefaultForWriting(m.p, m.size);
  prefaultForWriting(nullptr, 100);
  bool same = true;
  for (size_t i = 0; i < m.size; ++i) same = same && m.p[i] == static_cast<unsigned char>(i * 7 + 1);
  EXPECT_TRUE(same);
}
