// The editor's bitmaps at 200 % from the build's bundle: making the objects an editor opens,
// decoding what the main screen shows, and a reopen with the process-wide cache.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

constexpr int kMode = 2;

// The build's Resources folder, found from this program (build/bench/ beside build/Grindle2/).
std::string bundleResources() {
  char self[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
  std::string path(self, n > 0 ? static_cast<size_t>(n) : 0);
  path = path.substr(0, path.find_last_of('/'));
  return path.substr(0, path.find_last_of('/')) + "/Grindle2/Resources";
}

// The 79 objects an editor makes at open: three of 10010 and of 10017, one of every other id.
std::vector<int> editorBitmapIds() {
  std::vector<int> ids = {10000, 10001, 10004, 10005, 10010, 10010, 10010};
  for (int id = 10011; id <= 10016; ++id) ids.push_back(id);
  ids.insert(ids.end(), {10017, 10017, 10017});
  for (int id = 10018; id <= 10027; ++id) ids.push_back(id);
  for (int id = 10030; id <= 10034; ++id) ids.push_back(id);
  for (int id = 10040; id <= 10063; ++id) ids.push_back(id);
  for (int id = 10070; id <= 10078; ++id) ids.push_back(id);
  for (int id = 10080; id <= 10085; ++id) ids.push_back(id);
  for (int id = 10090; id <= 10098; ++id) ids.push_back(id);
  for (int& id : ids) id += 1000 * kMode;
  return ids;
}

// What the main screen draws: its background, one background of each box and of the bottom box,
// the five knob and ring strips, the slider and the meters.
std::vector<int> mainScreenIds() {
  std::vector<int> ids = {10000, 10011, 10024, 10025, 10026, 10030, 10080,
                          10081, 10082, 10083, 10084, 10073, 10072};
  for (int& id : ids) id += 1000 * kMode;
  return ids;
}

struct Folder {
  Folder() { CBitmap::setResourceFolder(bundleResources()); }
  ~Folder() { CBitmap::setResourceFolder(""); }
};

// Makes the bitmaps, decodes them (as their first draw does) and returns the pixels touched.
double makeAndDecode(const std::vector<int>& ids, bool decode) {
  std::vector<CBitmap*> bitmaps;
  double pixels = 0;
  for (int id : ids) bitmaps.push_back(new CBitmap(id));
  for (CBitmap* b : bitmaps) {
    if (decode) benchmark::DoNotOptimize(b->getSurface());
    pixels += b->getWidth() * b->getHeight();
  }
  for (CBitmap* b : bitmaps) b->forget();
  return pixels;
}

void BM_ArtConstructEditorBitmaps(benchmark::State& state) {
  Folder folder;
  const auto ids = editorBitmapIds();
  for (auto _ : state) makeAndDecode(ids, false);
  state.counters["objects"] = static_cast<double>(ids.size());
}
BENCHMARK(BM_ArtConstructEditorBitmaps)->Unit(benchmark::kMillisecond);

// Decoding a set of bitmaps without the cache, as the first open of a process does.
void decodeSet(benchmark::State& state, const std::vector<int>& ids) {
  Folder folder;
  double pixels = 0;
  for (auto _ : state) pixels = makeAndDecode(ids, true);
  state.counters["Mpixel"] = pixels / 1e6;
  state.counters["Mpixel/s"] =
      benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ArtDecodeMainScreen(benchmark::State& state) { decodeSet(state, mainScreenIds()); }
BENCHMARK(BM_ArtDecodeMainScreen)->Unit(benchmark::kMillisecond);

// For comparison: decoding everything at open, as eager loading would.
void BM_ArtDecodeAllEagerly(benchmark::State& state) { decodeSet(state, editorBitmapIds()); }
BENCHMARK(BM_ArtDecodeAllEagerly)->Unit(benchmark::kMillisecond);

// An editor reopened while the cache is held: nothing is decoded again.
void BM_ArtReopenWithCache(benchmark::State& state) {
  Folder folder;
  CBitmap::ImageCacheOwner editor;
  const auto ids = mainScreenIds();
  makeAndDecode(ids, true);
  const auto before = CBitmap::imageCacheStats().decodes;
  for (auto _ : state) makeAndDecode(ids, true);
  const auto stats = CBitmap::imageCacheStats();
  state.counters["decodes"] = static_cast<double>(stats.decodes - before);
  state.counters["cachedMB"] = static_cast<double>(stats.bytes) / 1e6;
}
BENCHMARK(BM_ArtReopenWithCache)->Unit(benchmark::kMillisecond);

}  // namespace
