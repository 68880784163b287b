// Cost of the texts a host asks for when it refreshes its generic parameter view:
// name and value text of every named tag.
#include <benchmark/benchmark.h>

#include <array>

#include "plugin/uParamText.h"

namespace {

class Values : public IParamTextSource {
 public:
  Values() {
    for (int t = 0; t < 1024; ++t) values[t] = static_cast<float>((t * 37) % 101) / 100.0f;
  }
  float paramValue(int tag) const override { return tag >= 0 && tag < 1024 ? values[tag] : 0.0f; }
  std::array<float, 1024> values{};
};

void BM_AllNamesAndDisplays(benchmark::State& state) {
  const Values source;
  char name[PARAM_NAME_BUFFER];
  char text[PARAM_DISPLAY_BUFFER];
  for (auto _ : state) {
    for (int tag = 1; tag <= 246; ++tag) {
      writeParamName(source, tag, name);
      writeParamDisplay(source, tag, text);
      benchmark::DoNotOptimize(name);
      benchmark::DoNotOptimize(text);
    }
  }
  state.SetItemsProcessed(state.iterations() * 246);
}
BENCHMARK(BM_AllNamesAndDisplays);

}  // namespace
