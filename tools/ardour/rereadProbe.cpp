// A two-parameter VST 2.4 probe for host-reread.sh: setting parameter 0 to v makes the plug-in
// itself write parameter 1 = 1 - v, as Grindle2's editor writes the knobs of a recalled
// distortion type; when v > 0.5 it then asks the host to read its values again
// (audioMasterUpdateDisplay). Built by the script, never part of the plug-in.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vst2/aeffect.h"

namespace {

audioMasterCallback host;
AEffect effect{};
float values[2] = {0.5f, 0.5f};

intptr_t dispatch(AEffect*, int32_t opcode, int32_t index, intptr_t, void* ptr, float) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case kEffGetEffectName:
    case kEffGetProductString:
      std::strcpy(text, "G2RereadProbe");
      return 1;
    case kEffGetVendorString:
      std::strcpy(text, "Probe");
      return 1;
    case kEffGetParamName:
      std::snprintf(text, 8, "P%d", index);
      return 0;
    case kEffGetParamDisplay:
      std::snprintf(text, 8, "%.3f", static_cast<double>(values[index & 1]));
      return 0;
    case kEffGetParamLabel:
      text[0] = 0;
      return 0;
    case kEffGetVstVersion:
      return 2400;
    case kEffGetPlugCategory:
      return 1;
    default:
      return 0;
  }
}

void setParameter(AEffect* e, int32_t index, float v) {
  values[index & 1] = v;
  if (index != 0) return;
  values[1] = 1.0f - v;
  if (v > 0.5f) {
    const intptr_t answer = host(e, kHostUpdateDisplay, 0, 0, nullptr, 0.0f);
    std::printf("probe: audioMasterUpdateDisplay answered %ld\n", static_cast<long>(answer));
    std::fflush(stdout);
  }
}

float getParameter(AEffect*, int32_t index) { return values[index & 1]; }

void process(AEffect*, float** in, float** out, int32_t n) {
  for (int c = 0; c < 2; ++c) std::memcpy(out[c], in[c], sizeof(float) * static_cast<size_t>(n));
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback callback) {
  host = callback;
  effect.magic = kEffectMagic;
  effect.dispatcher = dispatch;
  effect.setParameter = setParameter;
  effect.getParameter = getParameter;
  effect.processReplacing = process;
  effect.numPrograms = 1;
  effect.numParams = 2;
  effect.numInputs = 2;
  effect.numOutputs = 2;
  effect.flags = 1 << 4;  // processReplacing
  effect.uniqueID = fourCharId('G', '2', 'R', 'r');
  effect.version = 1;
  return &effect;
}
