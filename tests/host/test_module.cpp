// The built module as a host sees it: its exported symbols, its entry points and every built-in
// program rendered from the demo signal; the offline host and its g2host tool that load it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "hostTestUtil.h"
#include "plugin/uPluginPresetsBanks.h"
#include "support/builtInPrograms.h"
#include "support/childProcess.h"
#include "support/expectValues.h"
#include "support/fakeHost.h"
#include "tools/host/vsthost.h"

using testing_support::FakeHost;
using testing_support::runChild;
using testing_support::TempDir;

namespace {

using Entry = AEffect* (*)(audioMasterCallback);

struct Module {
  void* handle = dlopen(GRINDLE_SO_PATH, RTLD_NOW | RTLD_LOCAL);
  ~Module() {
    if (handle) dlclose(handle);
  }
  Entry entry(const char* name) const { return reinterpret_cast<Entry>(dlsym(handle, name)); }
};

using hosttest::kHostTool;
using hosttest::readFile;

}  // namespace

TEST(Module, ExportsExactlyTheTwoEntryPoints) {
  const auto result = runChild({"nm", "-D", "--defined-only", GRINDLE_SO_PATH});
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
    EXPECT_VALUES({first.opcode, kHostVersion}, {first.index, 0}, {first.value, 0}, {first.opt, 0.0f},
                  {e->magic, kEffectMagic}, {e->numPrograms, 1}, {e->numParams, 1024}, {e->numInputs, 4},
                  {e->numOutputs, 2}, {e->uniqueID, fourCharId('M', 'v', '3', 'k')},
                  {e->flags & kEffFlagCanReplacing, true});
    // A scanner's life cycle: open, query, close without ever switching on.
    char text[64] = {};
    EXPECT_VALUES({e->dispatcher(e, kEffOpen, 0, 0, nullptr, 0.0f), 0},
                  {e->dispatcher(e, kEffGetEffectName, 0, 0, text, 0.0f), 1},
                  {std::strcmp(text, "Grindle2"), 0}, {e->dispatcher(e, kEffClose, 0, 0, nullptr, 0.0f), 1});

    host.calls.clear();
    host.versionAnswer = 0;
    EXPECT_EQ(entry(&FakeHost::callback), nullptr);
    EXPECT_EQ(host.calls.size(), 1u);  // only the version query
    EXPECT_EQ(entry(nullptr), nullptr);
  }
}

// A session restored from a damaged or hostile chunk keeps only values a host may read back:
// what the next save hands out lies within 0..1.
TEST(Module, AHostileChunkIsCleanedBeforeTheNextSaveHandsItOut) {
  FakeHost host;
  Module m;
  ASSERT_NE(m.handle, nullptr);
  AEffect* e = m.entry("VSTPluginMain")(&FakeHost::callback);
  ASSERT_NE(e, nullptr);
  auto call = [&](int32_t opcode, int32_t index, intptr_t value, void* ptr) {
    return e->dispatcher(e, opcode, index, value, ptr, 0.0f);
  };
  call(kEffOpen, 0, 0, nullptr);
  const float hostile[] = {std::nanf(""), INFINITY, -INFINITY, 1e30f, -7.0f, 1.5f};
  std::vector<float> chunk(1032, 0.0f);  // 4128 bytes: the values, then the name
  for (int t = 0; t < 1024; ++t) chunk[t] = hostile[t % 6];
  ASSERT_EQ(call(kEffSetChunk, 0, 4128, chunk.data()), 1);
  void* data = nullptr;
  ASSERT_EQ(call(kEffGetChunk, 0, 0, &data), 4128);
  const float* saved = static_cast<const float*>(data);
  for (int t = 0; t < 1024; ++t) ASSERT_TRUE(saved[t] >= 0.0f && saved[t] <= 1.0f) << t << ": " << saved[t];
  call(kEffClose, 0, 0, nullptr);
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

// The offline host's callback: its strings, its transport and what it hears of automation.
TEST(Loader, ServesTimeStringsAndAutomation) {
  std::string error;
  auto plugin = vsthost::Plugin::load(GRINDLE_SO_PATH, &error);
  ASSERT_NE(plugin, nullptr) << error;
  EXPECT_VALUES({plugin->vendorString() == "Kestrune", true}, {plugin->vendorVersion(), 65536});
  AEffect* e = plugin->effect();
  char text[64];
  EXPECT_EQ(vsthost::hostCallback(e, kHostGetVendorString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "Kestrune Tools");
  EXPECT_EQ(vsthost::hostCallback(e, kHostGetProductString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "g2host");

  plugin->start(48000.0, 480, 150.0);
  auto time = [&] {
    return reinterpret_cast<VstTimeInfo*>(vsthost::hostCallback(e, kHostGetTime, 0, 0, nullptr, 0.0f));
  };
  ASSERT_NE(time(), nullptr);
  EXPECT_TRUE(time()->flags & kVstTransportChanged);
  std::vector<float> in(480 * 4, 0.0f), out(480 * 2, 0.0f);
  float* ins[4] = {&in[0], &in[480], &in[960], &in[1440]};
  float* outs[2] = {&out[0], &out[480]};
  for (int b = 0; b < 100; ++b) plugin->process(ins, outs, 480);
  const VstTimeInfo* t = time();
  EXPECT_VALUES(
      {vsthost::hostCallback(nullptr, kHostVersion, 0, 0, nullptr, 0.0f), 2400},
      {vsthost::hostCallback(e, kHostGetSampleRate, 0, 0, nullptr, 0.0f), 48000},
      {vsthost::hostCallback(e, kHostGetBlockSize, 0, 0, nullptr, 0.0f), 480}, {t->samplePos, 48000.0},
      {t->sampleRate, 48000.0}, {t->tempo, 150.0}, {t->ppqPos, 2.5, 1e-12},  // one second at 150 BPM
      {t->barStartPos, 0.0}, {t->flags & kVstTransportChanged, 0}, {t->flags & kVstTransportPlaying, true},
      {t->flags & kVstTempoValid, true}, {t->flags & kVstPpqPosValid, true});

  vsthost::hostCallback(e, kHostAutomate, 12, 0, nullptr, 0.75f);
  ASSERT_EQ(plugin->host().automation.size(), 1u);
  EXPECT_VALUES({plugin->host().automation[0].index, 12}, {plugin->host().automation[0].value, 0.75f});
}

TEST(HostTool, RendersAndDescribesThePlugin) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool)) << "build the g2host target first";
  TempDir dir;
  const std::string out = dir.path() + "/out.wav";
  const auto r = runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--seconds", "1",
                           "--block", "100", "--set", "1=0.5", "--program", "0", "--tempo", "90"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string wav = readFile(out);
  ASSERT_GE(wav.size(), 44u + 44100u * 2u * 4u);
  EXPECT_TRUE(wav.substr(0, 4) == "RIFF" && wav.substr(8, 4) == "WAVE");
  const auto info = runChild({kHostTool, "info", "--plugin", GRINDLE_SO_PATH});
  ASSERT_EQ(info.exitCode, 0);
  for (const char* text : {"Grindle2", "Kestrune", "'Mv3k'", "1023"})
    EXPECT_NE(info.output.find(text), std::string::npos) << text;
}

// A FIFO nobody writes in place of the user's and the machine-wide preference file: the module
// loads and answers at once (a scanner would otherwise hang), settings at their defaults.
TEST(HostTool, LoadsWithFifosInPlaceOfBothPreferenceFiles) {
  TempDir dir;
  for (const char* folder : {"/config", "/etc"}) {
    std::filesystem::create_directories(dir.path() + folder);
    ASSERT_EQ(::mkfifo((dir.path() + folder + "/com.Qelm.Grindle2.json").c_str(), 0600), 0);
  }
  const auto info =
      runChild({"timeout", "20", "env", "XDG_CONFIG_HOME=" + dir.path() + "/config",
                "XDG_CONFIG_DIRS=" + dir.path() + "/etc", kHostTool, "info", "--plugin", GRINDLE_SO_PATH},
               true);
  ASSERT_EQ(info.exitCode, 0) << info.output;  // 124: timed out
  EXPECT_NE(info.output.find("Grindle2"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("not a regular file"), std::string::npos) << info.output;
}

// A bad command line is refused with exit code 2 (1 when it is well formed but cannot be
// served), a message naming the argument at fault, and no output file.
TEST(HostTool, RefusesBadCommandLinesNamingTheArgumentAtFault) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool));
  TempDir dir;
  const std::string out = dir.path() + "/x.wav";
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  };
  const Case cases[] = {
      {{"--rate", "abc"}, 2, "--rate abc:"},
      {{"--rate", "nan"}, 2, "--rate nan:"},
      {{"--rate", "0"}, 2, "--rate 0:"},
      {{"--block", "0"}, 2, "--block 0:"},
      {{"--block", "1e3"}, 2, "--block 1e3:"},
      {{"--set", "foo"}, 2, "--set foo:"},
      {{"--set", "3=x"}, 2, "--set 3=x:"},
      {{"--set", "x=1"}, 2, "--set x=1:"},
      {{"--program", "-1"}, 2, "--program -1:"},
      {{"--tempo", "0"}, 2, "--tempo 0:"},
      {{"--seconds", "x"}, 2, "--seconds x:"},
      {{"--block"}, 2, "--block needs a value"},
      {{"--frob", "1"}, 2, "unknown option --frob"},
      {{"--all-programs"}, 2, "--all-programs:"},
      {{"--set", "5000=1"}, 1, "--set 5000=1:"},
      {{"--program", "50"}, 1, "--program 50:"},
      {{"--program", "127"}, 1, "--program 127:"},
      {{"--program", "128"}, 1, "--program 128:"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const auto r = runChild(argv, true);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
    EXPECT_NE(r.output.find("g2host: " + c.message), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
  }
  const struct {
    std::vector<std::string> argv;
    int exitCode;
    std::string message;
  } refused[] = {
      {{kHostTool}, 2, "usage:"},
      {{kHostTool, "render", "--plugin", GRINDLE_SO_PATH}, 2, "g2host: render needs --out OUT.wav"},
      {{kHostTool, "info", "--plugin", dir.path() + "/missing.so"},
       1,
       "missing.so: cannot open shared object"},
      {{kHostTool, "frobnicate", "--plugin", GRINDLE_SO_PATH}, 2, "usage:"},
  };
  for (const auto& c : refused) {
    const auto r = runChild(c.argv, true);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
  }
  const auto noPlugin = runChild({kHostTool, "bench", "--seconds", "1"}, true);
  EXPECT_EQ(noPlugin.exitCode, 2);
  EXPECT_NE(noPlugin.output.find("--plugin"), std::string::npos);
}

// The plug-in presents one program: --program reaches its bank by a MIDI program change.
TEST(HostTool, ProgramNumbersBecomeMidiProgramChanges) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool));
  TempDir dir;
  std::vector<std::string> rendered;
  for (int program : {7, 0, NUM_DEMO_PROGRAMS - 1}) {
    const std::string n = std::to_string(program), out = dir.path() + "/p" + n + ".wav";
    const auto r = runChild(
        {kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--seconds", "0.5", "--program", n},
        true);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const std::string line = "program " + n + ": " + std::string(presets::demoProgramName(program)) + "\n";
    EXPECT_NE(r.output.find(line), std::string::npos) << r.output;
    rendered.push_back(readFile(out));
  }
  EXPECT_NE(rendered[0], rendered[1]);  // program 7 does not sound like program 0
  // --set acts on the program chosen: bypassed, programs 7 and 0 both give the dry signal.
  std::vector<std::string> bypassed;
  for (const char* n : {"7", "0"}) {
    const std::string out = dir.path() + "/bypassed" + n + ".wav";
    const auto r = runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--seconds",
                             "0.5", "--program", n, "--set", "3=1"},
                            true);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    // The samples only: the header's peak chunk carries the time of writing.
    const std::string wav = readFile(out);
    const size_t data = wav.find("data");
    ASSERT_NE(data, std::string::npos);
    bypassed.push_back(wav.substr(data));
  }
  EXPECT_TRUE(bypassed[0] == bypassed[1]) << "the --set value did not reach both programs";
  EXPECT_TRUE(bypassed[0] != rendered[0].substr(rendered[0].find("data")));
  const auto bench =
      runChild({kHostTool, "bench", "--plugin", GRINDLE_SO_PATH, "--seconds", "0.2", "--program", "3"});
  EXPECT_EQ(bench.exitCode, 0);
  EXPECT_NE(bench.output.find("program 3: Default\n"), std::string::npos) << bench.output;
}
