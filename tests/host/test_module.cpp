// The built module as a host sees it: its exported symbols, its entry points and every built-in
// program rendered from the demo signal.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/uPluginPresetsBanks.h"
#include "support/builtInPrograms.h"
#include "support/childProcess.h"
#include "support/expectValues.h"
#include "support/fakeHost.h"
#include "tools/host/vsthost.h"

using testing_support::FakeHost;

namespace {

using Entry = AEffect* (*)(audioMasterCallback);

struct Module {
  void* handle = dlopen(GRINDLE_SO_PATH, RTLD_NOW | RTLD_LOCAL);
  ~Module() {
    if (handle) dlclose(handle);
  }
  Entry entry(const char* name) const { return reinterpret_cast<Entry>(dlsym(handle, name)); }
};

}  // namespace

TEST(Module, ExportsExactlyTheTwoEntryPoints) {
  const auto result = testing_support::runChild({"nm", "-D", "--defined-only", GRINDLE_SO_PATH});
  ASSERT_EQ(result.exitCode, 0) << "nm failed";
  std::set<std::string> names;
  std::istringstream lines(result.output);
  for (std::string line; std::getline(lines, line);) names.insert(line.substr(line.find_last_of(' ') + 1));
  EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main"}));
}

// "main" is the same entry under the name older hosts look for. The entry only asks for the
// host's version, and an old host (or none) gets nothing.
TEST(Module, EitherEntryAsksForTheVersionThenCreatesTheInstance) {
  Module m;
  ASSERT_NE(m.handle, nullptr) << dlerror();
  for (const char* name : {"VSTPluginMain", "main"}) {
    SCOPED_TRACE(name);
    Entry entry = m.entry(name);
    ASSERT_NE(entry, nullptr);
    FakeHost host;
    AEffect* e = entry(&FakeHost::callback);
    ASSERT_NE(e, nullptr);
    ASSERT_FALSE(host.calls.empty());
    const auto& first = host.calls.front();
    EXPECT_TRUE(first.effect == nullptr && first.ptr == nullptr);
    EXPECT_VALUES(
        {first.opcode, kHostVersion}, {first.index, 0}, {first.value, 0}, {first.opt, 0.0f},
        {e->magic, kEffectMagic}, {e->numPrograms, 1}, {e->numParams, 1024}, {e->numInputs, 4},
        {e->numOutputs, 2}, {e->uniqueID, fourCharId('M', 'v', '3', 'k')},
        {e->flags & kEffFlagCanReplacing, true});
    // A scanner's life cycle: open, query, close without ever switching on.
    char text[64] = {};
    EXPECT_VALUES(
        {e->dispatcher(e, kEffOpen, 0, 0, nullptr, 0.0f), 0},
        {e->dispatcher(e, kEffGetEffectName, 0, 0, text, 0.0f), 1}, {std::strcmp(text, "Grindle2"), 0},
        {e->dispatcher(e, kEffClose, 0, 0, nullptr, 0.0f), 1});

    host.calls.clear();
    host.versionAnswer = 0;
    EXPECT_EQ(entry(&FakeHost::callback), nullptr);
    EXPECT_EQ(host.calls.size(), 1u);  // only the version query
    EXPECT_EQ(entry(nullptr), nullptr);
  }
}

// Every built-in program rendered from the demo signal stays finite, audible and free of
// constant clipping. The loudness relative to "Default" is printed for the level-matching of
// the bank.
TEST(Module, EveryBuiltInProgramSoundsAndStaysBounded) {
  std::vector<float> l, r;
  vsthost::synthesiseDemo(44100.0, 3.0, l, r);
  std::vector<double> rmsDb(NUM_DEMO_PROGRAMS), clipped(NUM_DEMO_PROGRAMS);
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    auto plugin = vsthost::Plugin::load(GRINDLE_SO_PATH, nullptr);
    ASSERT_NE(plugin, nullptr);
    plugin->start(44100.0, 512, 120.0);
    testing_support::selectBuiltInProgram(plugin->effect(), presets::demoProgramName(i));
    std::vector<float> outL, outR;
    vsthost::renderStereo(*plugin, l, r, outL, outR, 512);
    double sum = 0.0;
    for (const auto* out : {&outL, &outR})
      for (float x : *out) {
        ASSERT_TRUE(std::isfinite(x)) << presets::demoProgramName(i);
        sum += static_cast<double>(x) * x;
        clipped[i] += std::fabs(x) >= 0.99f;
      }
    rmsDb[i] = 10.0 * std::log10(sum / static_cast<double>(2 * l.size()) + 1e-30);
    clipped[i] /= static_cast<double>(2 * l.size());
  }
  std::printf("%-24s %10s %9s\n", "program", "vs Default", "clipped");
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const std::string name(presets::demoProgramName(i));
    const double vsDefault = rmsDb[i] - rmsDb[DEFAULT_DEMO_PROGRAM];
    std::printf("%-24s %+8.1f dB %8.2f%%\n", name.c_str(), vsDefault, 100.0 * clipped[i]);
    EXPECT_GT(rmsDb[i], -60.0) << name;
    EXPECT_LT(clipped[i], 0.01) << name;
  }
}
