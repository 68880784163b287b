// g2host: loads a VST 2.4 plug-in module offline and prints its description, renders audio
// through it, or measures how much processor time it needs.
#include <sndfile.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "tools/host/vsthost.h"

namespace {

struct Options {
  std::string command;
  std::string plugin;
  std::string in;
  std::string out;
  int program = -1;
  std::vector<std::pair<int, float>> sets;
  double rate = 44100.0;
  bool rateGiven = false;
  int block = 512;
  double tempo = 120.0;
  double seconds = 8.0;
};

void usage() {
  std::fprintf(stderr,
               "usage:\n"
               "  g2host info   --plugin PATH.so\n"
               "  g2host render --plugin PATH.so [--in IN.wav] --out OUT.wav [--program N]\n"
               "                [--set TAG=VALUE ...] [--rate HZ] [--block N] [--tempo BPM] [--seconds S]\n"
               "  g2host bench  --plugin PATH.so [--in IN.wav] [--seconds S] [--rate HZ] [--block N]\n");
}

template <typename T>
bool parseNumber(std::string_view text, T& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool parseArgs(int argc, char** argv, Options& o) {
  if (argc < 2) return false;
  o.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string_view a = argv[i];
    auto next = [&](std::string_view& v) {
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };
    std::string_view v;
    if (a == "--plugin" && next(v)) {
      o.plugin = v;
    } else if (a == "--in" && next(v)) {
      o.in = v;
    } else if (a == "--out" && next(v)) {
      o.out = v;
    } else if (a == "--program" && next(v)) {
      if (!parseNumber(v, o.program)) return false;
    } else if (a == "--set" && next(v)) {
      const size_t eq = v.find('=');
      int tag = 0;
      float value = 0.0f;
      if (eq == std::string_view::npos || !parseNumber(v.substr(0, eq), tag) ||
          !parseNumber(v.substr(eq + 1), value))
        return false;
      o.sets.emplace_back(tag, value);
    } else if (a == "--rate" && next(v)) {
      if (!parseNumber(v, o.rate) || !(o.rate >= 8000.0 && o.rate <= 768000.0)) return false;
      o.rateGiven = true;
    } else if (a == "--block" && next(v)) {
      if (!parseNumber(v, o.block) || o.block < 1 || o.block > 65536) return false;
    } else if (a == "--tempo" && next(v)) {
      if (!parseNumber(v, o.tempo) || !(o.tempo > 0.0 && o.tempo < 1000.0)) return false;
    } else if (a == "--seconds" && next(v)) {
      if (!parseNumber(v, o.seconds) || !(o.seconds > 0.0 && o.seconds < 3600.0)) return false;
    } else {
      std::fprintf(stderr, "g2host: unknown or incomplete option %s\n", argv[i]);
      return false;
    }
  }
  return !o.plugin.empty();
}

bool readWav(const std::string& path, double& rate, std::vector<float>& left, std::vector<float>& right) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    std::fprintf(stderr, "g2host: cannot read %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  std::vector<float> frames(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  const sf_count_t got = sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  rate = info.samplerate;
  left.resize(static_cast<size_t>(got));
  right.resize(static_cast<size_t>(got));
  const size_t ch = static_cast<size_t>(info.channels);
  for (size_t i = 0; i < static_cast<size_t>(got); ++i) {
    left[i] = frames[i * ch];
    right[i] = frames[i * ch + (ch > 1 ? 1 : 0)];
  }
  return true;
}

bool writeWav(const std::string& path, double rate, const std::vector<float>& left, const std::vector<float>& right) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(rate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "g2host: cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  std::vector<float> frames(left.size() * 2);
  for (size_t i = 0; i < left.size(); ++i) {
    frames[2 * i] = left[i];
    frames[2 * i + 1] = right[i];
  }
  const sf_count_t written = sf_writef_float(file, frames.data(), static_cast<sf_count_t>(left.size()));
  sf_close(file);
  return written == static_cast<sf_count_t>(left.size());
}

std::unique_ptr<vsthost::Plugin> loadPlugin(const Options& o) {
  std::string error;
  auto plugin = vsthost::Plugin::load(o.plugin, &error);
  if (!plugin) std::fprintf(stderr, "g2host: %s\n", error.c_str());
  return plugin;
}

std::string fourChars(int32_t id) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

int runInfo(const Options& o) {
  auto plugin = loadPlugin(o);
  if (!plugin) return 1;
  AEffect* e = plugin->effect();
  std::printf("effect name:    %s\n", plugin->effectName().c_str());
  std::printf("vendor:         %s\n", plugin->vendorString().c_str());
  std::printf("product:        %s\n", plugin->productString().c_str());
  std::printf("vendor version: %d\n", plugin->vendorVersion());
  std::printf("unique id:      '%s' (0x%08X)\n", fourChars(e->uniqueID).c_str(), static_cast<unsigned>(e->uniqueID));
  std::printf("version:        %d\n", e->version);
  std::printf("VST version:    %ld\n", static_cast<long>(plugin->dispatch(kEffGetVstVersion)));
  std::printf("flags:         ");
  const std::pair<int32_t, const char*> flagNames[] = {
      {kEffFlagHasEditor, "editor"},         {kEffFlagCanReplacing, "replacing"},
      {kEffFlagProgramChunks, "chunks"},     {kEffFlagIsSynth, "synth"},
      {kEffFlagNoSoundInStop, "no-tail"},    {kEffFlagCanDoubleReplacing, "double"}};
  for (const auto& [bit, name] : flagNames)
    if (e->flags & bit) std::printf(" %s", name);
  std::printf("\ninputs/outputs: %d/%d\n", e->numInputs, e->numOutputs);
  std::printf("initial delay:  %d\n", e->initialDelay);
  std::printf("programs:       %d (current \"%s\")\n", e->numPrograms, plugin->programName().c_str());
  std::printf("parameters:     %d\n", e->numParams);
  for (int32_t i = 0; i < e->numParams; ++i) {
    std::printf("  %4d  %-36s %-24s %-8s %.6f\n", i, plugin->parameterName(i).c_str(),
                plugin->parameterDisplay(i).c_str(), plugin->parameterLabel(i).c_str(),
                static_cast<double>(plugin->getParameter(i)));
  }
  return 0;
}

// Loads the input (or the demo) and prepares the plug-in with the options.
bool prepare(const Options& o, vsthost::Plugin& plugin, double& rate, std::vector<float>& left,
             std::vector<float>& right) {
  rate = o.rate;
  if (!o.in.empty()) {
    double fileRate = 0.0;
    if (!readWav(o.in, fileRate, left, right)) return false;
    if (o.rateGiven && fileRate != o.rate)
      std::fprintf(stderr, "g2host: %s is at %g Hz; rendering at that rate\n", o.in.c_str(), fileRate);
    rate = fileRate;
  } else {
    vsthost::synthesiseDemo(rate, o.seconds, left, right);
  }
  plugin.start(rate, o.block, o.tempo);
  if (o.program >= 0) plugin.setProgram(o.program);
  for (const auto& [tag, value] : o.sets) {
    if (tag < 0 || tag >= plugin.numParams()) {
      std::fprintf(stderr, "g2host: parameter %d does not exist\n", tag);
      return false;
    }
    plugin.setParameter(tag, value);
  }
  return true;
}

int runRender(const Options& o) {
  if (o.out.empty()) {
    usage();
    return 2;
  }
  auto plugin = loadPlugin(o);
  if (!plugin) return 1;
  double rate = 0.0;
  std::vector<float> inL, inR, outL, outR;
  if (!prepare(o, *plugin, rate, inL, inR)) return 1;
  vsthost::renderStereo(*plugin, inL, inR, outL, outR, o.block);
  plugin->stop();
  if (!writeWav(o.out, rate, outL, outR)) return 1;
  std::printf("rendered %zu frames at %g Hz to %s\n", outL.size(), rate, o.out.c_str());
  return 0;
}

double cpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

int runBench(const Options& o) {
  auto plugin = loadPlugin(o);
  if (!plugin) return 1;
  double rate = 0.0;
  std::vector<float> inL, inR, outL, outR;
  if (!prepare(o, *plugin, rate, inL, inR)) return 1;
  const double begin = cpuSeconds();
  vsthost::renderStereo(*plugin, inL, inR, outL, outR, o.block);
  const double used = cpuSeconds() - begin;
  plugin->stop();
  const double audio = static_cast<double>(inL.size()) / rate;
  std::printf("audio seconds:               %.3f\n", audio);
  std::printf("CPU seconds:                 %.6f\n", used);
  std::printf("CPU seconds per audio second: %.6f\n", audio > 0.0 ? used / audio : 0.0);
  std::printf("realtime factor:             %.1f\n", used > 0.0 ? audio / used : 0.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parseArgs(argc, argv, o)) {
    usage();
    return 2;
  }
  if (o.command == "info") return runInfo(o);
  if (o.command == "render") return runRender(o);
  if (o.command == "bench") return runBench(o);
  usage();
  return 2;
}
