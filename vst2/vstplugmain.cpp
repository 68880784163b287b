// The module's entry points. Scanners call them out of process, so they only ask the host
// for its version and construct the plug-in object; nothing else happens here.
#include "aeffect.h"
#include "audioeffect.h"

extern "C" {

__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  if (!audioMaster) return nullptr;
  if (audioMaster(nullptr, kHostVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;  // host too old
  AudioEffect* effect = createEffectInstance(audioMaster);
  return effect ? effect->getAeffect() : nullptr;
}

// Older Linux hosts look the entry up as "main". A C++ ::main must return int, so the
// alias gets its symbol name from an assembler label instead.
__attribute__((visibility("default"))) AEffect* vstMainAlias(audioMasterCallback audioMaster) __asm__("main");
AEffect* vstMainAlias(audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }

}  // extern "C"
