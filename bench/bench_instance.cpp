// What a host pays for an instance: the first one of a fresh process and a later one beside
// it, each created, switched on and run for one second at 48 kHz (bench/instance/g2instance,
// started afresh for every repetition). The time is the processor time of all of that; the
// counters split it (create_ms, run_ms) and give the growth of the resident set in kB, all of it
// and its private (anonymous) part.
//
// The module's read-only data counts as resident once touched. How much of it a touch maps
// depends on the page cache: a module read from disk is mapped in small pages around what is
// read, while a file the linker has just written may sit in the cache in large folios, which
// the kernel maps whole. The first instance is therefore measured both with the module's pages
// as they are, and after dropping them from the cache (as a host meets it after a restart).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <sstream>
#include <string>

#include "../tests/support/childProcess.h"

namespace {

struct InstanceCosts {
  double createMs = 0, runMs = 0, residentKb = 0, anonKb = 0;
};

// Writes the module's cached pages back and drops them, so that the next load reads the disk.
void dropFromPageCache(const char* path) {
  const int fd = ::open(path, O_RDONLY);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

bool measure(bool first, InstanceCosts& c) {
  const auto r = testing_support::runChild({G2INSTANCE_PATH, GRINDLE_SO_PATH});
  if (r.exitCode != 0) return false;
  std::istringstream in(r.output);
  std::string which;
  while (in >> which >> c.createMs >> c.runMs >> c.residentKb >> c.anonKb)
    if (which == (first ? "first" : "later")) return true;
  return false;
}

void run(benchmark::State& state, bool first, bool fromDisk) {
  for (auto _ : state) {
    if (fromDisk) dropFromPageCache(GRINDLE_SO_PATH);
    InstanceCosts c;
    if (!measure(first, c)) {
      state.SkipWithError("g2instance failed");
      break;
    }
    state.SetIterationTime(1e-3 * (c.createMs + c.runMs));
    state.counters["create_ms"] = c.createMs;
    state.counters["run_ms"] = c.runMs;
    state.counters["resident_kB"] = c.residentKb;
    state.counters["private_kB"] = c.anonKb;
  }
}

}  // namespace

static void BM_FirstInstanceAsHost(benchmark::State& state) { run(state, true, state.range(0) != 0); }
BENCHMARK(BM_FirstInstanceAsHost)
    ->ArgName("module_read_from_disk")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

static void BM_LaterInstanceAsHost(benchmark::State& state) { run(state, false, false); }
BENCHMARK(BM_LaterInstanceAsHost)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
