// Cost of the preference store: reads served from the cache (one stat of the file),
// writes (lock, re-read, temporary file, fsync, rename), and the audio thread's hand-over
// of a controller binding to the background writer. Runs in a private temporary folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "grindle-bench-prefs-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    root_ = ::mkdtemp(buffer.data()) != nullptr ? buffer.data() : std::string();
  }
  ~BenchFolder() {
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
  }
  std::string file() const { return root_ + "/com.Qelm.Grindle2.json"; }

 private:
  std::string root_;
};

// A file the size of a real one: the folders, the switches and the whole controller map.
void fillTypical(TPrefsStore& store) {
  store.saveString("HelpDir", "/home/user/.local/share/Kestrune/Grindle2/Help/Grindle2_Manual.pdf");
  store.saveString("ECSDir", "/home/user/.local/share/Kestrune/Grindle2/ECS/");
  store.saveString("WaveShaperDir", "/home/user/.local/share/Kestrune/Grindle2/WaveShapers/");
  for (const char* key : {"MidiCapture", "MidiPreset", "MidiBank", "Key", "ToolTip", "ModDial"})
    store.saveString(key, "Y");
  std::vector<std::pair<std::string, int>> map;
  for (int cc = 0; cc < 128; ++cc) map.emplace_back(std::to_string(cc), cc * 3);
  store.saveInts(map);
}

void BM_PrefsCachedReadInt(benchmark::State& state) {
  BenchFolder folder;
  TPrefsStore store(folder.file());
  fillTypical(store);
  int cc = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(store.getMidiCC(cc));
    cc = (cc + 1) & 127;
  }
}
BENCHMARK(BM_PrefsCachedReadInt);

void BM_PrefsCachedReadYesNo(benchmark::State& state) {
  BenchFolder folder;
  TPrefsStore store(folder.file());
  fillTypical(store);
  for (auto _ : state) benchmark::DoNotOptimize(store.getRegisterIsOn("ToolTip", true));
}
BENCHMARK(BM_PrefsCachedReadYesNo);

void BM_PrefsReadAfterOtherWriter(benchmark::State& state) {
  BenchFolder folder;
  TPrefsStore store(folder.file());
  TPrefsStore other(folder.file());
  fillTypical(store);
  int v = 0;
  for (auto _ : state) {
    state.PauseTiming();
    other.setMidiCC(1, ++v);
    state.ResumeTiming();
    benchmark::DoNotOptimize(store.getMidiCC(1));  // reload and parse of the changed file
  }
}
BENCHMARK(BM_PrefsReadAfterOtherWriter)->Unit(benchmark::kMicrosecond);

void BM_PrefsWriteInt(benchmark::State& state) {
  BenchFolder folder;
  TPrefsStore store(folder.file());
  fillTypical(store);
  int v = 0;
  for (auto _ : state) benchmark::DoNotOptimize(store.setMidiCC(7, ++v));
}
BENCHMARK(BM_PrefsWriteInt)->Unit(benchmark::kMicrosecond);

void BM_PrefsWriteUnchanged(benchmark::State& state) {
  BenchFolder folder;
  TPrefsStore store(folder.file());
  fillTypical(store);
  for (auto _ : state) benchmark::DoNotOptimize(store.setMidiCC(7, 21));
}
BENCHMARK(BM_PrefsWriteUnchanged)->Unit(benchmark::kMicrosecond);

void BM_PrefsWriteWholeMap(benchmark::State& state) {
  BenchFolder folder;
  TPrefsStore store(folder.file());
  fillTypical(store);
  int v = 0;
  std::vector<std::pair<std::string, int>> map;
  for (int cc = 0; cc < 128; ++cc) map.emplace_back(std::to_string(cc), 0);
  for (auto _ : state) {
    ++v;
    for (auto& kv : map) kv.second = v;
    benchmark::DoNotOptimize(store.saveInts(map));
  }
}
BENCHMARK(BM_PrefsWriteWholeMap)->Unit(benchmark::kMicrosecond);

void BM_PrefsWriterPost(benchmark::State& state) {
  BenchFolder folder;
  TPrefsStore store(folder.file());
  TPrefsWriter writer(&store);
  int i = 0;
  for (auto _ : state) {
    writer.postMidiCC(i & 127, i & 1023);
    ++i;
  }
}
BENCHMARK(BM_PrefsWriterPost);

}  // namespace
