// What creating plug-in instances costs, measured as a host does it: load the module
// (dlopen, VSTPluginMain, effOpen), switch it on at 48 kHz and run 94 blocks of 512 (one
// second) of the demo signal. The first instance of this fresh process is measured, then a
// later one beside it:
//
//     g2instance PATH.so
//
// prints one line per instance: "first" or "later", the processor milliseconds of creating and
// switching on, of the 94 blocks, then the growth of the resident set in kB, all of it and its
// anonymous (private) part. Processor time is the process's (every thread); resident figures
// come from /proc/self/statm, so they count the module's pages as they are touched.
// bench/bench_instance.cpp runs it; under callgrind, --toggle-collect='*firstInstance*' counts
// the first instance's instructions alone.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/host/vsthost.h"

namespace {

constexpr double RATE = 48000.0;
constexpr int BLOCK = 512;
constexpr int BLOCKS = 94;

struct Signal {
  std::vector<float> left, right, outLeft, outRight;
};

struct Sample {
  double cpu;
  long resident, anon;  // bytes
};

Sample sample() {
  Sample r{};
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  r.cpu = static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
  long size = 0, resident = 0, shared = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld %ld", &size, &resident, &shared) != 3) resident = shared = 0;
    std::fclose(f);
  }
  const long page = sysconf(_SC_PAGESIZE);
  r.resident = resident * page;
  r.anon = (resident - shared) * page;
  return r;
}

void report(const char* which, const Sample& a, const Sample& b, const Sample& c) {
  std::printf("%s %.3f %.3f %ld %ld\n", which, 1e3 * (b.cpu - a.cpu), 1e3 * (c.cpu - b.cpu),
              (c.resident - a.resident) / 1024, (c.anon - a.anon) / 1024);
}

// Creates and switches on an instance, then runs the blocks; sampled after either phase.
std::unique_ptr<vsthost::Plugin> runInstance(const std::string& path, Signal& s, Sample& created,
                                             Sample& ran) {
  std::string error;
  auto plugin = vsthost::Plugin::load(path, &error);
  if (!plugin) {
    std::fprintf(stderr, "g2instance: %s\n", error.c_str());
    return nullptr;
  }
  plugin->start(RATE, BLOCK, 120.0);
  created = sample();
  for (int b = 0; b < BLOCKS; ++b) {
    const size_t at = static_cast<size_t>(b) * BLOCK;
    float* in[8];
    for (int c = 0; c < 8; ++c) in[c] = (c & 1 ? s.right.data() : s.left.data()) + at;
    float* out[8];
    for (int c = 0; c < 8; ++c) out[c] = c & 1 ? s.outRight.data() : s.outLeft.data();
    plugin->process(in, out, BLOCK);
  }
  ran = sample();
  return plugin;
}

// Two names (never merged into one), so that callgrind can count either alone.
__attribute__((noipa)) std::unique_ptr<vsthost::Plugin> firstInstance(const std::string& path, Signal& s,
                                                                      Sample& created, Sample& ran) {
  return runInstance(path, s, created, ran);
}
__attribute__((noipa)) std::unique_ptr<vsthost::Plugin> laterInstance(const std::string& path, Signal& s,
                                                                      Sample& created, Sample& ran) {
  return runInstance(path, s, created, ran);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: g2instance PATH.so\n");
    return 2;
  }
  const std::string path = argv[1];
  Signal s;
  vsthost::synthesiseDemo(RATE, static_cast<double>(BLOCK) * BLOCKS / RATE + 0.1, s.left, s.right);
  s.outLeft.assign(BLOCK, 0.0f);
  s.outRight.assign(BLOCK, 0.0f);

  Sample start1{}, created1{}, ran1{}, start2{}, created2{}, ran2{};
  start1 = sample();
  auto first = firstInstance(path, s, created1, ran1);
  start2 = sample();
  auto later = laterInstance(path, s, created2, ran2);
  if (!first || !later) return 1;
  report("first", start1, created1, ran1);
  report("later", start2, created2, ran2);
  return 0;
}
