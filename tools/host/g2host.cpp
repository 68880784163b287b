// g2host: loads a VST 2.4 plug-in module offline and prints its description, renders audio
// through it, or measures how much processor time it needs.
#include <sndfile.h>

#include <algorithm>
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
  bool allPrograms = false;
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
               "  g2host bench  --plugin PATH.so [--in IN.wav] [--seconds S] [--rate HZ] [--block N]\n"
               "                [--program N | --all-programs]\n"
               "A plug-in that presents one program gets --program N as a MIDI program change, which\n"
               "it takes in one frame of silence before the render. --set values are applied after\n"
               "the program is in place, so they change the program chosen.\n");
}

template <typename T>
bool parseNumber(std::string_view text, T& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// A number option within its range; otherwise says which option and value are at fault.
template <typename T>
bool numberOption(std::string_view option, std::string_view text, T& value, T lo, T hi,
                  const char* expected) {
  T parsed{};
  if (parseNumber(text, parsed) && parsed >= lo && parsed <= hi) {
    value = parsed;
    return true;
  }
  std::fprintf(stderr, "g2host: %.*s %.*s: expected %s\n", static_cast<int>(option.size()), option.data(),
               static_cast<int>(text.size()), text.data(), expected);
  return false;
}

bool parseSet(std::string_view text, Options& o) {
  const size_t eq = text.find('=');
  int tag = 0;
  float value = 0.0f;
  if (eq == std::string_view::npos || !parseNumber(text.substr(0, eq), tag) ||
      !parseNumber(text.substr(eq + 1), value)) {
    std::fprintf(stderr, "g2host: --set %.*s: expected TAG=VALUE (a parameter number and a value)\n",
                 static_cast<int>(text.size()), text.data());
    return false;
  }
  o.sets.emplace_back(tag, value);
  return true;
}

bool parseArgs(int argc, char** argv, Options& o) {
  if (argc < 2) return false;
  o.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--all-programs") {
      o.allPrograms = true;
      continue;
    }
    static constexpr std::string_view withValue[] = {"--plugin", "--in",    "--out",   "--program", "--set",
                                                     "--rate",   "--block", "--tempo", "--seconds"};
    if (std::find(std::begin(withValue), std::end(withValue), a) == std::end(withValue)) {
      std::fprintf(stderr, "g2host: unknown option %s\n", argv[i]);
      return false;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "g2host: %s needs a value\n", argv[i]);
      return false;
    }
    const std::string_view v = argv[++i];
    bool ok = true;
    if (a == "--plugin") {
      o.plugin = v;
    } else if (a == "--in") {
      o.in = v;
    } else if (a == "--out") {
      o.out = v;
    } else if (a == "--program") {
      ok = numberOption(a, v, o.program, 0, 1 << 30, "a program number (0 or more)");
    } else if (a == "--set") {
      ok = parseSet(v, o);
    } else if (a == "--rate") {
      ok = numberOption(a, v, o.rate, 8000.0, 768000.0, "a sample rate from 8000 to 768000 Hz");
      o.rateGiven = true;
    } else if (a == "--block") {
      ok = numberOption(a, v, o.block, 1, 65536, "a block size from 1 to 65536 samples");
    } else if (a == "--tempo") {
      ok = numberOption(a, v, o.tempo, 1e-3, 999.0, "a tempo from 0.001 to 999 BPM");
    } else if (a == "--seconds") {
      ok = numberOption(a, v, o.seconds, 1e-3, 3600.0, "a length from 0.001 to 3600 seconds");
    }
    if (!ok) return false;
  }
  if (o.plugin.empty()) {
    std::fprintf(stderr, "g2host: --plugin PATH.so is missing\n");
    return false;
  }
  if (o.allPrograms && (o.command != "bench" || o.program >= 0)) {
    std::fprintf(stderr, "g2host: --all-programs: only for bench, and not with --program\n");
    return false;
  }
  return true;
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

bool writeWav(const std::string& path, double rate, const std::vector<float>& left,
              const std::vector<float>& right) {
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
  std::printf("unique id:      '%s' (0x%08X)\n", fourChars(e->uniqueID).c_str(),
              static_cast<unsigned>(e->uniqueID));
  std::printf("version:        %d\n", e->version);
  std::printf("VST version:    %ld\n", static_cast<long>(plugin->dispatch(kEffGetVstVersion)));
  std::printf("flags:         ");
  const std::pair<int32_t, const char*> flagNames[] = {
      {kEffFlagHasEditor, "editor"},      {kEffFlagCanReplacing, "replacing"},
      {kEffFlagProgramChunks, "chunks"},  {kEffFlagIsSynth, "synth"},
      {kEffFlagNoSoundInStop, "no-tail"}, {kEffFlagCanDoubleReplacing, "double"}};
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

// ---- Programs ----
//
// A plug-in with programs of its own switches with the host's program call. One that presents a
// single program to hosts (and keeps a bank inside) switches on a MIDI program change, which it
// runs in the next block; its program name tells which program it took.

bool presentsOneProgram(vsthost::Plugin& plugin) { return plugin.numPrograms() <= 1; }

void sendProgramChange(vsthost::Plugin& plugin, int n) {
  VstMidiEvent change{};
  change.type = kVstMidiType;
  change.byteSize = sizeof(change);
  change.flags = kVstMidiEventIsRealtime;
  change.midiData[0] = static_cast<char>(0xC0);  // program change, channel 1
  change.midiData[1] = static_cast<char>(n & 127);
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&change);
  plugin.dispatch(kEffProcessEvents, 0, 0, &events);
}

// Asks for program n before the next block; false (and says why) when n cannot be asked for.
bool requestProgram(vsthost::Plugin& plugin, int n) {
  if (presentsOneProgram(plugin)) {
    if (n > 127) {
      std::fprintf(stderr, "g2host: --program %d: a MIDI program change goes up to 127\n", n);
      return false;
    }
    sendProgramChange(plugin, n);
  } else {
    if (n >= plugin.numPrograms()) {
      std::fprintf(stderr, "g2host: --program %d: the plug-in has programs 0 to %d\n", n,
                   plugin.numPrograms() - 1);
      return false;
    }
    plugin.setProgram(n);
  }
  return true;
}

// Runs one block of silence.
void runSilentBlock(vsthost::Plugin& plugin, int block) {
  const std::vector<float> silence(static_cast<size_t>(block), 0.0f);
  std::vector<float> outL, outR;
  vsthost::renderStereo(plugin, silence, silence, outL, outR, block);
}

// Whether a fresh instance changes its program name on a MIDI program change away from the
// program it starts on: tells "already on that program" from "ignores program changes".
bool followsProgramChanges(const Options& o, int requested) {
  auto probe = vsthost::Plugin::load(o.plugin, nullptr);
  if (!probe) return false;
  probe->start(o.rate, o.block, o.tempo);
  const std::string before = probe->programName();
  sendProgramChange(*probe, requested == 0 ? 1 : 0);
  runSilentBlock(*probe, o.block);
  const bool changed = probe->programName() != before;
  probe->stop();
  return changed;
}

// Once the plug-in has run: prints the program it took, or says that its program did not change.
bool reportProgram(const Options& o, vsthost::Plugin& plugin, const std::string& before) {
  const std::string now = plugin.programName();
  if (!presentsOneProgram(plugin) || now != before || followsProgramChanges(o, o.program)) {
    std::printf("program %d: %s\n", o.program, now.c_str());
    return true;
  }
  std::fprintf(
      stderr,
      "g2host: --program %d: the program name did not change (still \"%s\"): the plug-in has no such "
      "program or does not follow MIDI program changes on channel 1\n",
      o.program, now.c_str());
  return false;
}

// Loads the input (or the demo) and prepares the plug-in with the options; programBefore is the
// program name before any program was asked for.
bool prepare(const Options& o, vsthost::Plugin& plugin, double& rate, std::vector<float>& left,
             std::vector<float>& right, std::string& programBefore) {
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
  programBefore = plugin.programName();
  if (o.program >= 0) {
    if (!requestProgram(plugin, o.program)) return false;
    // A program change sent as MIDI is taken in the next block, and a program overwrites the
    // parameters: one frame of silence puts the program in place before the --set values.
    if (presentsOneProgram(plugin)) runSilentBlock(plugin, 1);
  }
  for (const auto& [tag, value] : o.sets) {
    if (tag < 0 || tag >= plugin.numParams()) {
      std::fprintf(stderr, "g2host: --set %d=%g: parameter %d does not exist\n", tag,
                   static_cast<double>(value), tag);
      return false;
    }
    plugin.setParameter(tag, value);
  }
  return true;
}

int runRender(const Options& o) {
  if (o.out.empty()) {
    std::fprintf(stderr, "g2host: render needs --out OUT.wav\n");
    usage();
    return 2;
  }
  auto plugin = loadPlugin(o);
  if (!plugin) return 1;
  double rate = 0.0;
  std::vector<float> inL, inR, outL, outR;
  std::string programBefore;
  if (!prepare(o, *plugin, rate, inL, inR, programBefore)) return 1;
  vsthost::renderStereo(*plugin, inL, inR, outL, outR, o.block);
  plugin->stop();
  if (o.program >= 0 && !reportProgram(o, *plugin, programBefore)) return 1;
  if (!writeWav(o.out, rate, outL, outR)) return 1;
  std::printf("rendered %zu frames at %g Hz to %s\n", outL.size(), rate, o.out.c_str());
  return 0;
}

double cpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// One timed render of the input: seconds of audio and of processor time.
struct Timing {
  double audio = 0.0;
  double used = 0.0;
  double factor() const { return used > 0.0 ? audio / used : 0.0; }
};

Timing timeRender(vsthost::Plugin& plugin, double rate, const std::vector<float>& inL,
                  const std::vector<float>& inR, int block) {
  std::vector<float> outL, outR;
  const double begin = cpuSeconds();
  vsthost::renderStereo(plugin, inL, inR, outL, outR, block);
  return {static_cast<double>(inL.size()) / rate, cpuSeconds() - begin};
}

// Every program of the plug-in in turn: its name and realtime factor, then min, median and max.
// A plug-in with one program is walked by MIDI program changes 0, 1, ... until the name stops
// changing (the end of its bank).
int benchAllPrograms(const Options& o, vsthost::Plugin& plugin, double rate, const std::vector<float>& inL,
                     const std::vector<float>& inR, const std::string& programBefore) {
  struct Result {
    std::string name;
    double factor;
  };
  std::vector<Result> results;
  const bool viaMidi = presentsOneProgram(plugin);
  const int last = viaMidi ? 127 : plugin.numPrograms() - 1;
  std::printf("%-4s %-28s %s\n", "#", "program", "realtime factor");
  for (int n = 0; n <= last; ++n) {
    if (viaMidi)
      sendProgramChange(plugin, n);
    else
      plugin.setProgram(n);
    const double factor = timeRender(plugin, rate, inL, inR, o.block).factor();
    const std::string name = plugin.programName();
    if (viaMidi && !results.empty() && name == results.back().name) break;
    results.push_back({name, factor});
    std::printf("%-4d %-28s %.1f\n", n, name.c_str(), factor);
    std::fflush(stdout);
  }
  if (viaMidi && results.size() == 1 && results[0].name == programBefore) {
    std::fprintf(stderr,
                 "g2host: --all-programs: the program name never changed (\"%s\"): the plug-in did not "
                 "follow MIDI program changes on channel 1\n",
                 programBefore.c_str());
    return 1;
  }
  std::vector<Result> sorted = results;
  std::sort(sorted.begin(), sorted.end(),
            [](const Result& a, const Result& b) { return a.factor < b.factor; });
  const size_t count = sorted.size();
  const double median =
      count % 2 ? sorted[count / 2].factor : 0.5 * (sorted[count / 2 - 1].factor + sorted[count / 2].factor);
  std::printf("programs: %zu\n", count);
  std::printf("min:    %.1f (%s)\n", sorted.front().factor, sorted.front().name.c_str());
  std::printf("median: %.1f\n", median);
  std::printf("max:    %.1f (%s)\n", sorted.back().factor, sorted.back().name.c_str());
  return 0;
}

int runBench(const Options& o) {
  auto plugin = loadPlugin(o);
  if (!plugin) return 1;
  double rate = 0.0;
  std::vector<float> inL, inR;
  std::string programBefore;
  if (!prepare(o, *plugin, rate, inL, inR, programBefore)) return 1;
  if (o.allPrograms) {
    const int result = benchAllPrograms(o, *plugin, rate, inL, inR, programBefore);
    plugin->stop();
    return result;
  }
  const Timing t = timeRender(*plugin, rate, inL, inR, o.block);
  plugin->stop();
  if (o.program >= 0 && !reportProgram(o, *plugin, programBefore)) return 1;
  std::printf("audio seconds:               %.3f\n", t.audio);
  std::printf("CPU seconds:                 %.6f\n", t.used);
  std::printf("CPU seconds per audio second: %.6f\n", t.audio > 0.0 ? t.used / t.audio : 0.0);
  std::printf("realtime factor:             %.1f\n", t.factor());
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
