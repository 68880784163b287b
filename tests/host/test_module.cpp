// The built module as a host sees it: its exported symbols, its entry points and the
// offline host tool that loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/childProcess.h"
#include "support/fakeHost.h"
#include "plugin/uPluginPresetsBanks.h"
#include "tools/host/vsthost.h"
#include "support/expectValues.h"

using testing_support::FakeHost;
using testing_support::runChild;
using testing_support::TempDir;

namespace {

typedef AEffect* (*Entry)(audioMasterCallback);

struct Module {
  void* handle = dlopen(GRINDLE_SO_PATH, RTLD_NOW | RTLD_LOCAL);
  ~Module() {
    if (handle) dlclose(handle);
  }
  Entry entry(const char* name) const { return reinterpret_cast<Entry>(dlsym(handle, name)); }
};

const std::string kHostTool = std::string(GRINDLE_BINARY_DIR) + "/tools/g2host";

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(Module, ExportsExactlyTheTwoEntryPoints) {
  const auto result = runChild({"nm", "-D", "--defined-only", GRINDLE_SO_PATH});
  ASSERT_EQ(result.exitCode, 0) << "nm failed";
  std::set<std::string> names;
  std::istringstream lines(result.output);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t space = line.find_last_of(' ');
    if (space != std::string::npos && space + 1 < line.size()) names.insert(line.substr(space + 1));
  }
  EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main"}));
}

// "main" is the same entry under the name older hosts look for.
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
    EXPECT_EQ(first.effect, nullptr);
    EXPECT_VALUES({first.opcode, kHostVersion}, {first.index, 0}, {first.value, 0});
    EXPECT_EQ(first.ptr, nullptr);
    EXPECT_VALUES(
        {first.opt, 0.0f}, {e->magic, kEffectMagic}, {e->numPrograms, 1}, {e->numParams, 1024}, {e->numInputs, 4},
        {e->numOutputs, 2}, {e->uniqueID, fourCharId('M', 'v', '3', 'k')});
    EXPECT_TRUE(e->flags & kEffFlagCanReplacing);
    EXPECT_NE(e->object, nullptr);
    char text[64] = {};
    EXPECT_EQ(e->dispatcher(e, kEffGetEffectName, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "Grindle2");
    e->setParameter(e, 1, 0.3f);
    EXPECT_EQ(e->getParameter(e, 1), 0.3f);
    // A scanner's life cycle: open, query, close without ever switching on.
    EXPECT_EQ(e->dispatcher(e, kEffOpen, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(e->dispatcher(e, kEffClose, 0, 0, nullptr, 0.0f), 1);
  }
}

TEST(Module, OldHostsGetNothing) {
  Module m;
  ASSERT_NE(m.handle, nullptr);
  for (const char* name : {"VSTPluginMain", "main"}) {
    SCOPED_TRACE(name);
    ASSERT_NE(m.entry(name), nullptr);
    FakeHost host;
    host.versionAnswer = 0;
    EXPECT_EQ(m.entry(name)(&FakeHost::callback), nullptr);
    EXPECT_EQ(host.calls.size(), 1u);  // only the version query
    EXPECT_EQ(m.entry(name)(nullptr), nullptr);
  }
}

TEST(HostTool, RendersTheDemoThroughThePlugin) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool)) << "build the g2host target first";
  TempDir dir;
  const std::string out = dir.path() + "/out.wav";
  const auto r = runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--seconds", "1",
                           "--block", "100", "--set", "1=0.5", "--program", "0", "--tempo", "90"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string wav = readFile(out);
  ASSERT_GE(wav.size(), 44u + 44100u * 2u * 4u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 4), "WAVE");
  // The rendered file can be fed back in.
  const std::string again = dir.path() + "/again.wav";
  const auto r2 = runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--in", out, "--out", again});
  ASSERT_EQ(r2.exitCode, 0) << r2.output;
  EXPECT_EQ(readFile(again).size(), wav.size());
}

TEST(HostTool, InfoAndBench) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool));
  const auto info = runChild({kHostTool, "info", "--plugin", GRINDLE_SO_PATH});
  ASSERT_EQ(info.exitCode, 0);
  EXPECT_NE(info.output.find("Grindle2"), std::string::npos);
  EXPECT_NE(info.output.find("Kestrune"), std::string::npos);
  EXPECT_NE(info.output.find("'Mv3k'"), std::string::npos);
  EXPECT_NE(info.output.find("1023"), std::string::npos);
  const auto bench = runChild({kHostTool, "bench", "--plugin", GRINDLE_SO_PATH, "--seconds", "1"});
  ASSERT_EQ(bench.exitCode, 0);
  EXPECT_NE(bench.output.find("CPU seconds per audio second"), std::string::npos);
}

TEST(HostTool, RefusesBadCommandLines) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool));
  TempDir dir;
  const std::string out = dir.path() + "/x.wav";
  EXPECT_EQ(runChild({kHostTool}).exitCode, 2);
  EXPECT_EQ(runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH}).exitCode, 2);  // no --out
  EXPECT_EQ(runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--set", "x=1"}).exitCode, 2);
  EXPECT_EQ(runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--rate", "0"}).exitCode, 2);
  EXPECT_EQ(runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--set", "5000=1"}).exitCode,
            1);
  EXPECT_EQ(runChild({kHostTool, "info", "--plugin", dir.path() + "/missing.so"}).exitCode, 1);
  EXPECT_EQ(runChild({kHostTool, "frobnicate", "--plugin", GRINDLE_SO_PATH}).exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(HostTool, BadArgumentsNameTheArgumentAtFault) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool));
  TempDir dir;
  const std::string out = dir.path() + "/x.wav";
  struct Case {
    std::vector<std::string> args;
    const char* named;
  };
  const Case cases[] = {
      {{"--rate", "abc"}, "--rate abc:"},       {{"--rate", "nan"}, "--rate nan:"},
      {{"--block", "0"}, "--block 0:"},         {{"--block", "1e3"}, "--block 1e3:"},
      {{"--set", "foo"}, "--set foo:"},         {{"--set", "3=x"}, "--set 3=x:"},
      {{"--program", "-1"}, "--program -1:"},   {{"--tempo", "0"}, "--tempo 0:"},
      {{"--seconds", "x"}, "--seconds x:"},     {{"--block"}, "--block needs a value"},
      {{"--frob", "1"}, "unknown option --frob"}, {{"--all-programs"}, "--all-programs:"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const auto r = runChild(argv, true);
    EXPECT_EQ(r.exitCode, 2) << c.named;
    EXPECT_EQ(r.output.rfind(std::string("g2host: ") + c.named, 0), 0u) << r.output;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  const auto noPlugin = runChild({kHostTool, "bench", "--seconds", "1"}, true);
  EXPECT_EQ(noPlugin.exitCode, 2);
  EXPECT_NE(noPlugin.output.find("--plugin"), std::string::npos);
}

// The plug-in presents one program: --program reaches its bank by a MIDI program change.
TEST(HostTool, ProgramNumbersBecomeMidiProgramChanges) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool));
  TempDir dir;
  struct Case {
    int program;
    int exitCode;
  };
  const Case cases[] = {{7, 0}, {0, 0}, {NUM_DEMO_PROGRAMS - 1, 0}, {NUM_DEMO_PROGRAMS, 1}, {127, 1}, {128, 1}};
  std::vector<std::string> rendered;
  for (const Case& c : cases) {
    const std::string n = std::to_string(c.program);
    SCOPED_TRACE(n);
    const std::string out = dir.path() + "/p" + n + ".wav";
    const auto r = runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--seconds", "0.5",
                             "--program", n},
                            true);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.output;
    if (c.exitCode == 0) {
      EXPECT_NE(r.output.find("program " + n + ": " + std::string(presets::demoProgramName(c.program)) + "\n"),
                std::string::npos)
          << r.output;
      rendered.push_back(readFile(out));
    } else {
      EXPECT_NE(r.output.find("g2host: --program " + n + ":"), std::string::npos) << r.output;
      EXPECT_FALSE(std::filesystem::exists(out));
    }
  }
  ASSERT_EQ(rendered.size(), 3u);
  EXPECT_NE(rendered[0], rendered[1]);  // program 7 does not sound like program 0

  const auto bench = runChild({kHostTool, "bench", "--plugin", GRINDLE_SO_PATH, "--seconds", "0.2", "--program", "3"});
  EXPECT_EQ(bench.exitCode, 0);
  EXPECT_NE(bench.output.find("program 3: Default\n"), std::string::npos) << bench.output;
}

TEST(HostTool, BenchOfEveryProgram) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool));
  const auto r = runChild({kHostTool, "bench", "--plugin", GRINDLE_SO_PATH, "--seconds", "0.05", "--all-programs"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  std::istringstream lines(r.output);
  std::string line;
  std::getline(lines, line);  // heading
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    ASSERT_TRUE(std::getline(lines, line));
    std::istringstream fields(line);
    int number = -1;
    fields >> number;
    EXPECT_EQ(number, i);
    const std::string name(presets::demoProgramName(i));
    EXPECT_EQ(line.find(name), 5u) << line;
    double factor = 0.0;
    std::istringstream(line.substr(5 + name.size())) >> factor;
    EXPECT_GT(factor, 0.0) << line;
  }
  for (const char* summary : {"programs: 50", "min:", "median:", "max:"}) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind(summary, 0), 0u) << line;
  }
}
