// The offline host: its loader, its callback, its demo signal and the g2host tool's command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/uPluginPresetsBanks.h"
#include "support/childProcess.h"
#include "support/expectValues.h"
#include "tools/host/vsthost.h"

using testing_support::runChild;
using testing_support::TempDir;

namespace {

// The largest magnitude in [from, to); a sample that is not finite counts as infinitely loud.
float peak(const std::vector<float>& v, size_t from = 0, size_t to = SIZE_MAX) {
  float p = 0.0f;
  for (size_t i = from; i < std::min(to, v.size()); ++i)
    p = std::max(p, std::isfinite(v[i]) ? std::fabs(v[i]) : INFINITY);
  return p;
}

const std::string kHostTool = std::string(GRINDLE_BINARY_DIR) + "/tools/g2host";

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(Loader, LoadsOurModuleAndServesItsTimeStringsAndAutomation) {
  std::string error;
  auto plugin = vsthost::Plugin::load(GRINDLE_SO_PATH, &error);
  ASSERT_NE(plugin, nullptr) << error;
  EXPECT_EQ(plugin->effectName(), "Grindle2");
  EXPECT_EQ(plugin->vendorString(), "Kestrune");
  EXPECT_VALUES({plugin->vendorVersion(), 65536}, {plugin->numInputs(), 4}, {plugin->numParams(), 1024});
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

TEST(DemoSignal, DeterministicAudibleAndBounded) {
  std::vector<float> l1, r1, l2, r2;
  vsthost::synthesiseDemo(44100.0, 4.0, l1, r1);
  vsthost::synthesiseDemo(44100.0, 4.0, l2, r2);
  ASSERT_EQ(l1.size(), 176400u);
  EXPECT_TRUE(l1 == l2 && r1 == r2);
  EXPECT_NE(l1, r1);  // really stereo
  EXPECT_VALUES({peak(l1), 0.6, 0.4}, {peak(r1), 0.6, 0.4});  // within 0.2 .. 1
  // Something sounds in every half second (chords and drums keep going).
  for (size_t start = 0; start + 22050 <= l1.size(); start += 22050)
    EXPECT_GT(peak(l1, start, start + 22050), 0.05f) << start;
  vsthost::synthesiseDemo(96000.0, 0.5, l2, r2);
  EXPECT_EQ(l2.size(), 48000u);
  vsthost::synthesiseDemo(44100.0, 0.0, l2, r2);
  EXPECT_TRUE(l2.empty());
}

TEST(HostTool, RendersInfoAndBench) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool)) << "build the g2host target first";
  TempDir dir;
  const std::string out = dir.path() + "/out.wav", again = dir.path() + "/again.wav";
  const auto r = runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out, "--seconds", "1",
                           "--block", "100", "--set", "1=0.5", "--program", "0", "--tempo", "90"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string wav = readFile(out);
  ASSERT_GE(wav.size(), 44u + 44100u * 2u * 4u);
  EXPECT_TRUE(wav.substr(0, 4) == "RIFF" && wav.substr(8, 4) == "WAVE");
  // The rendered file can be fed back in.
  const auto r2 = runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--in", out, "--out", again});
  ASSERT_EQ(r2.exitCode, 0) << r2.output;
  EXPECT_EQ(readFile(again).size(), wav.size());

  const auto info = runChild({kHostTool, "info", "--plugin", GRINDLE_SO_PATH});
  ASSERT_EQ(info.exitCode, 0);
  for (const char* text : {"Grindle2", "Kestrune", "'Mv3k'", "1023"})
    EXPECT_NE(info.output.find(text), std::string::npos) << text;

  // Every program benched, then the summary.
  const auto bench =
      runChild({kHostTool, "bench", "--plugin", GRINDLE_SO_PATH, "--seconds", "0.05", "--all-programs"});
  ASSERT_EQ(bench.exitCode, 0) << bench.output;
  for (int i = 0; i < NUM_DEMO_PROGRAMS; i += 7) {
    const std::string number = std::to_string(i), name(presets::demoProgramName(i));
    const std::string line = "\n" + number + std::string(5 - number.size(), ' ') + name;
    EXPECT_NE(bench.output.find(line), std::string::npos) << line;
  }
  EXPECT_NE(bench.output.find("\nprograms: 50\nmin:"), std::string::npos) << bench.output;
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
      {{"--rate", "abc"}, 2, "--rate abc:"}, {{"--rate", "nan"}, 2, "--rate nan:"},
      {{"--rate", "0"}, 2, "--rate 0:"}, {{"--block", "0"}, 2, "--block 0:"},
      {{"--block", "1e3"}, 2, "--block 1e3:"}, {{"--set", "foo"}, 2, "--set foo:"},
      {{"--set", "3=x"}, 2, "--set 3=x:"}, {{"--set", "x=1"}, 2, "--set x=1:"},
      {{"--program", "-1"}, 2, "--program -1:"}, {{"--tempo", "0"}, 2, "--tempo 0:"},
      {{"--seconds", "x"}, 2, "--seconds x:"}, {{"--block"}, 2, "--block needs a value"},
      {{"--frob", "1"}, 2, "unknown option --frob"}, {{"--all-programs"}, 2, "--all-programs:"},
      {{"--set", "5000=1"}, 1, "--set 5000=1:"}, {{"--program", "50"}, 1, "--program 50:"},
      {{"--program", "127"}, 1, "--program 127:"}, {{"--program", "128"}, 1, "--program 128:"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--out", out};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const auto r = runChild(argv, true);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
    EXPECT_NE(r.output.find("g2host: " + c.message), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
  }
  EXPECT_EQ(runChild({kHostTool}).exitCode, 2);
  EXPECT_EQ(runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH}).exitCode, 2);  // no --out
  EXPECT_EQ(runChild({kHostTool, "info", "--plugin", dir.path() + "/missing.so"}).exitCode, 1);
  EXPECT_EQ(runChild({kHostTool, "frobnicate", "--plugin", GRINDLE_SO_PATH}).exitCode, 2);
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
  const auto bench =
      runChild({kHostTool, "bench", "--plugin", GRINDLE_SO_PATH, "--seconds", "0.2", "--program", "3"});
  EXPECT_EQ(bench.exitCode, 0);
  EXPECT_NE(bench.output.find("program 3: Default\n"), std::string::npos) << bench.output;
}
