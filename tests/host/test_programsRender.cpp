// Every built-in program rendered from the demo signal through the built module: its output
// stays finite, audible and free of constant clipping. The loudness of each program relative
// to "Default" is printed for the level-matching of the bank.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "plugin/uPluginPresetsBanks.h"
#include "support/builtInPrograms.h"
#include "tools/host/vsthost.h"

namespace {

struct Level {
  double rmsDb;
  double clippedShare;
  bool finite;
};

Level render(int program, const std::vector<float>& l, const std::vector<float>& r) {
  auto plugin = vsthost::Plugin::load(GRINDLE_SO_PATH, nullptr);
  if (!plugin) return {-200.0, 0.0, false};
  plugin->start(44100.0, 512, 120.0);
  testing_support::selectBuiltInProgram(plugin->effect(), presets::demoProgramName(program));
  std::vector<float> outL, outR;
  vsthost::renderStereo(*plugin, l, r, outL, outR, 512);
  plugin->stop();

  Level level{0.0, 0.0, true};
  double sum = 0.0;
  std::size_t clipped = 0;
  for (const auto* out : {&outL, &outR})
    for (float x : *out) {
      if (!std::isfinite(x)) level.finite = false;
      sum += static_cast<double>(x) * x;
      if (std::fabs(x) >= 0.99f) ++clipped;
    }
  const double n = static_cast<double>(outL.size() + outR.size());
  level.rmsDb = 10.0 * std::log10(sum / n + 1e-30);
  level.clippedShare = static_cast<double>(clipped) / n;
  return level;
}

}  // namespace

TEST(BankRender, EveryProgramSoundsAndStaysBounded) {
  std::vector<float> l, r;
  vsthost::synthesiseDemo(44100.0, 3.0, l, r);
  std::vector<Level> levels;
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) levels.push_back(render(i, l, r));
  const double reference = levels[DEFAULT_DEMO_PROGRAM].rmsDb;
  std::printf("%-24s %10s %9s\n", "program", "vs Default", "clipped");
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const std::string name(presets::demoProgramName(i));
    SCOPED_TRACE(name);
    std::printf("%-24s %+8.1f dB %8.2f%%\n", name.c_str(), levels[i].rmsDb - reference, 100.0 * levels[i].clippedShare);
    EXPECT_TRUE(levels[i].finite);
    EXPECT_GT(levels[i].rmsDb, -60.0);
    EXPECT_LT(levels[i].clippedShare, 0.01);
  }
}
