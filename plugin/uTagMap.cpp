#include "uTagMap.h"

#include "dspCommon.h"

namespace tagmap {

void fillDefaults(float (&defaultValues)[NUM_PARAMS]) {
  for (float& v : defaultValues) v = 0.0f;
  for (const Row& r : ROWS)
    for (int t = r.first; t <= r.last; ++t) defaultValues[t] = r.defaultOf(t);
}

void fillSteps(int32_t (&menuNum)[NUM_PARAMS], float (&menuRange)[NUM_PARAMS]) {
  for (int t = 0; t < NUM_PARAMS; ++t) {
    menuNum[t] = -1;
    menuRange[t] = 0.0f;
  }
  for (const Row& r : ROWS) {
    if (r.kind != Kind::Stepped) continue;
    for (int t = r.first; t <= r.last; ++t) {
      menuNum[t] = r.steps;
      menuRange[t] = r.scale;
    }
  }
}

void fillSwitches(bool (&isOnOff)[NUM_PARAMS]) {
  for (const Row& r : ROWS)
    for (int t = r.first; t <= r.last; ++t) isOnOff[t] = r.kind == Kind::Switch;
}

void fillDestinations(int32_t (&destByTag)[NUM_PARAMS]) {
  for (int32_t& d : destByTag) d = -1;
  for (const Row& r : ROWS)
    for (int t = r.first; t <= r.last; ++t) destByTag[t] = r.destOf(t);
}

const Row& rowOf(int t) {
  for (const Row& r : ROWS)
    if (t >= r.first && t <= r.last) return r;
  return ROWS[0];
}

float nameCharToValue(char c) {
  const int code = static_cast<signed char>(c);
  if (code < 32) return 0.0f;  // control characters and everything above 127 (negative)
  return (static_cast<float>(code) + 0.5f) / 255.99f;
}

char valueToNameChar(float value) {
  // Clamped first: a hostile value must not become an arbitrary character.
  if (!(value > 0.0f)) value = 0.0f;
  if (value > 1.0f) value = 1.0f;
  const int code = dsp::saturatingInt(value * 255.99f + 0.1f);
  return static_cast<char>(static_cast<signed char>(code));
}

void decodeNameTags(const float* values, char* text) {
  int n = 0;
  for (; n < PROGRAM_NAME_LENGTH; ++n) {
    const char c = valueToNameChar(values[PROGRAM_NAME_FIRST_TAG + n]);
    if (c == 0) break;
    text[n] = c;
  }
  text[n] = 0;
}

void encodeNameTags(const char* name, float* values) {
  bool ended = false;
  for (int n = 0; n < PROGRAM_NAME_LENGTH; ++n) {
    if (!ended && name[n] == 0) ended = true;
    values[PROGRAM_NAME_FIRST_TAG + n] = ended ? 0.0f : nameCharToValue(name[n]);
  }
}

}  // namespace tagmap
