// Selecting a built-in program from the host's side of a plug-in: its name into the name
// tags, then a write of the load tag. Works on any AEffect, in process or from the module.
#pragma once

#include <string>
#include <string_view>

#include "plugin/uPluginPresetsBanks.h"
#include "plugin/uTagMap.h"
#include "vst2/aeffect.h"

namespace testing_support {

inline void selectBuiltInProgram(AEffect* effect, std::string_view name) {
  float values[NUM_PARAMS] = {};
  tagmap::encodeNameTags(std::string(name).c_str(), values);
  for (int k = 0; k < PROGRAM_NAME_LENGTH; ++k)
    effect->setParameter(effect, PROGRAM_NAME_FIRST_TAG + k, values[PROGRAM_NAME_FIRST_TAG + k]);
  effect->setParameter(effect, LOAD_PROGRAM_TAG, 0.0f);
}

// The program that holds every default.
inline void selectDefaultProgram(AEffect* effect) {
  selectBuiltInProgram(effect, presets::demoProgramName(DEFAULT_DEMO_PROGRAM));
}

}  // namespace testing_support
