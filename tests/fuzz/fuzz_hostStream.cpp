// A host's whole conversation with a fresh instance, as the input spells it: automation with
// any float (also NaN and infinities) for any index, MIDI lists of any length and content,
// time info with any tempo and position, any sample rate and block size, suspend and resume,
// program calls, and blocks of audio (also with NaN, infinities and denormals in the input).
// Every parameter stays finite and in 0..1, program names stay within the host's buffer, and
// the output is finite and clipped whenever the effect is not bypassed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "fuzzSupport.h"
#include "plugin/uPlugin.h"
#include "support/xdgSandbox.h"

using namespace fuzzsupport;

namespace {

constexpr int kMaxBlock = 2048;

float anyFloat(FuzzedDataProvider& in) {
  constexpr float kSpecial[] = {
      std::numeric_limits<float>::quiet_NaN(), INFINITY, -INFINITY, 1e-40f, -0.0f, 0.5f, 1.0f, 0.0f};
  if (in.ConsumeBool()) return in.PickValueInArray(kSpecial);
  return in.ConsumeFloatingPoint<float>();
}

double anyDouble(FuzzedDataProvider& in) {
  constexpr double kSpecial[] = {
      std::numeric_limits<double>::quiet_NaN(), INFINITY, -INFINITY, 0.0, 120.0, 1e300};
  if (in.ConsumeBool()) return in.PickValueInArray(kSpecial);
  return in.ConsumeFloatingPoint<double>();
}

// The list as a host lays it out: the header, then numEvents pointers.
struct EventList {
  std::vector<VstMidiEvent> events;
  std::vector<intptr_t> storage;
  VstEvents* build(FuzzedDataProvider& in) {
    const int count = in.ConsumeIntegralInRange(0, 40);
    events.assign(static_cast<std::size_t>(count), VstMidiEvent{});
    storage.assign(2 + static_cast<std::size_t>(count) + 2, 0);
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = count;
    VstEvent** entries = eventEntries(*list);
    for (int k = 0; k < count; ++k) {
      VstMidiEvent& e = events[static_cast<std::size_t>(k)];
      constexpr int32_t kTypes[] = {kVstMidiType, kVstMidiType, kVstMidiType, kVstSysExType, 0};
      e.type = in.PickValueInArray(kTypes);
      e.byteSize = sizeof(e);
      e.deltaFrames = in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 600) : in.ConsumeIntegral<int32_t>();
      e.flags = in.ConsumeIntegral<int32_t>();
      for (char& c : e.midiData) c = static_cast<char>(in.ConsumeIntegral<uint8_t>());
      entries[k] = in.ConsumeIntegralInRange(0, 15) == 0 ? nullptr : reinterpret_cast<VstEvent*>(&e);
    }
    return list;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  hostServesTime = false;
  hostTime = VstTimeInfo{};
  auto plugin = std::make_unique<APlugin>(&hostCallback);
  AEffect* e = plugin->getAeffect();
  dispatch(e, kEffOpen);
  dispatch(e, kEffSetSampleRate, 0, 0, nullptr, 44100.0f);
  dispatch(e, kEffSetBlockSize, 0, 512);
  dispatch(e, kEffMainsChanged, 0, 1);

  static std::vector<float> inL(kMaxBlock), inR(kMaxBlock), sideL(kMaxBlock), sideR(kMaxBlock),
      outL(kMaxBlock), outR(kMaxBlock);
  EventList events;
  int blockSize = 512;
  for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange(0, 8)) {
      case 0:
        e->setParameter(e, in.ConsumeIntegralInRange(-2, NUM_PARAMS + 1), anyFloat(in));
        break;
      case 1:
        dispatch(e, kEffSetSampleRate, 0, 0, nullptr, anyFloat(in));
        break;
      case 2:
        blockSize =
            in.ConsumeBool() ? in.ConsumeIntegralInRange(-1, kMaxBlock) : in.ConsumeIntegral<int32_t>();
        dispatch(e, kEffSetBlockSize, 0, blockSize);
        break;
      case 3:
        dispatch(e, kEffMainsChanged, 0, in.ConsumeBool() ? 1 : 0);
        break;
      case 4:
        FUZZ_CHECK(dispatch(e, kEffProcessEvents, 0, 0, events.build(in)) == 1);
        break;
      case 5:
        hostServesTime = in.ConsumeBool();
        hostTime.samplePos = anyDouble(in);
        hostTime.sampleRate = anyDouble(in);
        hostTime.ppqPos = anyDouble(in);
        hostTime.tempo = anyDouble(in);
        hostTime.barStartPos = anyDouble(in);
        hostTime.timeSigNumerator = in.ConsumeIntegral<int32_t>();
        hostTime.timeSigDenominator = in.ConsumeIntegral<int32_t>();
        hostTime.flags = in.ConsumeIntegral<int32_t>();
        break;
      case 6: {
        dispatch(e, kEffSetProgram, 0, in.ConsumeIntegral<int32_t>());
        char name[64];
        std::memset(name, 0x5A, sizeof(name));
        dispatch(e, kEffGetProgramName, 0, 0, name);
        FUZZ_CHECK(textWithin(name, sizeof(name), kVstMaxProgNameLen, 0x5A));
        std::memset(name, 0x5A, sizeof(name));
        dispatch(e, kEffGetProgramNameIndexed, in.ConsumeIntegralInRange(-1, 2), 0, name);
        FUZZ_CHECK(name[0] == 0x5A || textWithin(name, sizeof(name), kVstMaxProgNameLen, 0x5A));
        break;
      }
      default: {
        // Hosts keep to the block size they announced.
        const int limit = blockSize > 0 && blockSize < kMaxBlock ? blockSize : kMaxBlock;
        const int n = in.ConsumeIntegralInRange(0, limit);
        const bool hostile = in.ConsumeBool();
        for (int i = 0; i < n; ++i) {
          const float x = 0.7f * std::sin(0.03f * static_cast<float>(i));
          inL[i] = inR[i] = sideL[i] = sideR[i] = x;
        }
        if (hostile && n > 0) inL[in.ConsumeIntegralInRange(0, n - 1)] = anyFloat(in);
        float* ins[4] = {inL.data(), inR.data(), sideL.data(), sideR.data()};
        float* outs[2] = {outL.data(), outR.data()};
        if (in.ConsumeIntegralInRange(0, 7) == 0) {
          std::fill(outL.begin(), outL.begin() + n, 0.0f);
          std::fill(outR.begin(), outR.begin() + n, 0.0f);
          e->process(e, ins, outs, n);
        } else {
          e->processReplacing(e, ins, outs, n);
        }
        if (e->getParameter(e, BYPASS_TAG) < 0.5f)
          for (int i = 0; i < n; ++i)
            FUZZ_CHECK(std::isfinite(outL[i]) && std::isfinite(outR[i]) && std::fabs(outL[i]) <= 1.0f &&
                       std::fabs(outR[i]) <= 1.0f);
        break;
      }
    }
    for (int t = 0; t < NUM_PARAMS; ++t) FUZZ_CHECK(unitValue(e->getParameter(e, t)));
  }
  dispatch(e, kEffMainsChanged, 0, 0);
  dispatch(e, kEffClose);  // the instance deletes itself
  plugin.release();
  return 0;
}
