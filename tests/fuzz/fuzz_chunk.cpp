// State chunks as hosts hand them back, through the dispatcher, for every kind of host the
// chunk rules tell apart. The first byte picks the host and the kind of chunk, the rest is the
// chunk. A refused chunk (too short, or of a kind this host is not served) changes nothing; an
// accepted one lands whole: every value in 0..1, the continuous ones exactly as saved, the
// built-in program the name tags spell, and the chunk read back is what was loaded.
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzzSupport.h"
#include "plugin/uPlugin.h"
#include "plugin/uPluginPresetsBanks.h"
#include "plugin/uTagMap.h"
#include "support/xdgSandbox.h"

using namespace fuzzsupport;

namespace {

const HostIdentity kHosts[] = {{"Fuzz Vendor", "Fuzz Host"},
                               {"Native Instruments", "Kore Player"},
                               {"Native Instruments", "Maschine Host"},
                               {"Someone", "VELDRA"},
                               {"Propellerhead Software", "Reason"}};
constexpr int kHostCount = sizeof(kHosts) / sizeof(kHosts[0]);

struct Instance {
  std::unique_ptr<APlugin> plugin;
  AEffect* effect = nullptr;
};

Instance& instanceFor(int host) {
  static std::array<Instance, kHostCount> instances;
  Instance& i = instances[static_cast<std::size_t>(host)];
  if (!i.plugin) {
    currentHost = kHosts[host];  // read once, when the plug-in is made
    i.plugin = std::make_unique<APlugin>(&hostCallback);
    i.effect = i.plugin->getAeffect();
    dispatch(i.effect, kEffSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(i.effect, kEffSetBlockSize, 0, 64);
    dispatch(i.effect, kEffMainsChanged, 0, 1);
  }
  return i;
}

struct State {
  std::vector<float> current, edited, original, stored;
  std::string name;
  int program;
  bool editChanged;
  bool operator==(const State&) const = default;
};

State stateOf(APlugin& p) {
  State s{std::vector<float>(NUM_PARAMS),
          std::vector<float>(NUM_PARAMS),
          std::vector<float>(NUM_PARAMS),
          std::vector<float>(NUM_PARAMS),
          std::string(p.programs.name, strnlen(p.programs.name, sizeof(p.programs.name))),
          p.getCurDemoProgram(),
          p.getEditChanged()};
  for (int t = 0; t < NUM_PARAMS; ++t) {
    s.current[t] = p.currentValues[t].load();
    s.edited[t] = p.editedValues[t];
    s.original[t] = p.originalValues[t];
    s.stored[t] = p.programs.values[t];
  }
  return s;
}

// Values compared by their bits, so that a stored NaN would count as a change too.
bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int host = data[0] % kHostCount;
  const bool isPreset = (data[0] >> 4) & 1;
  Instance& in = instanceFor(host);
  APlugin& p = *in.plugin;
  std::vector<uint8_t> chunk(data + 1, data + size);
  ProgramChunk saved{};
  if (!chunk.empty()) std::memcpy(&saved, chunk.data(), std::min(chunk.size(), sizeof(saved)));

  void* served = nullptr;
  const bool kindServed = dispatch(in.effect, kEffGetChunk, isPreset, 0, &served) == sizeof(ProgramChunk);
  const State before = stateOf(p);
  const intptr_t answer = dispatch(in.effect, kEffSetChunk, isPreset, static_cast<intptr_t>(chunk.size()),
                                   chunk.empty() ? nullptr : chunk.data());
  const State after = stateOf(p);
  const bool whole = chunk.size() >= sizeof(ProgramChunk);
  FUZZ_CHECK(answer == (whole ? 1 : 0));

  if (!whole || !kindServed) {
    FUZZ_CHECK(sameBits(after.current, before.current) && sameBits(after.stored, before.stored));
    FUZZ_CHECK(sameBits(after.edited, before.edited) && sameBits(after.original, before.original));
    FUZZ_CHECK(after.name == before.name && after.program == before.program &&
               after.editChanged == before.editChanged);
  } else {
    char spelt[PROGRAM_NAME_LENGTH + 1];
    tagmap::decodeNameTags(after.stored.data(), spelt);
    FUZZ_CHECK(after.program == presets::findDemoProgram(spelt));
    const float* row = presets::demoProgramRow(after.program);
    for (int t = 0; t < NUM_PARAMS; ++t) {
      FUZZ_CHECK(unitValue(after.current[t]));
      FUZZ_CHECK(after.current[t] == after.stored[t] && after.edited[t] == after.current[t]);
      FUZZ_CHECK(after.original[t] == row[t]);
      const float v = saved.values[t];
      if (!p.isOnOffTag(t) && unitValue(v)) FUZZ_CHECK(after.current[t] == v);
    }
    FUZZ_CHECK(std::strncmp(p.programs.name, saved.name, 31) == 0);
    void* back = nullptr;
    FUZZ_CHECK(dispatch(in.effect, kEffGetChunk, isPreset, 0, &back) == sizeof(ProgramChunk));
    const auto* b = static_cast<const ProgramChunk*>(back);
    FUZZ_CHECK(std::memcmp(b->values, after.stored.data(), sizeof(b->values)) == 0);
    FUZZ_CHECK(std::memchr(b->name, 0, sizeof(b->name)) != nullptr);
  }

  char name[64];
  std::memset(name, 0x5A, sizeof(name));
  dispatch(in.effect, kEffGetProgramName, 0, 0, name);
  FUZZ_CHECK(textWithin(name, sizeof(name), kVstMaxProgNameLen, 0x5A));

  // Whatever was loaded plays: a short block comes out finite and clipped.
  float inL[32], inR[32], outL[32], outR[32];
  for (int i = 0; i < 32; ++i) inL[i] = inR[i] = 0.5f * std::sin(0.2f * static_cast<float>(i));
  float* ins[4] = {inL, inR, inL, inR};
  float* outs[2] = {outL, outR};
  in.effect->processReplacing(in.effect, ins, outs, 32);
  for (int i = 0; i < 32; ++i)
    FUZZ_CHECK(std::isfinite(outL[i]) && std::fabs(outL[i]) <= 1.0f && std::isfinite(outR[i]) &&
               std::fabs(outR[i]) <= 1.0f);
  return 0;
}
