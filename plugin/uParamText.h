// Parameter names, unit labels and value texts, as the host and the editor show them.
//
// The texts only read parameter values, through IParamTextSource, so they work the same for
// the plug-in object and for anything else that holds values (tests, tools). Numbers are
// always written with '.' as the decimal point whatever the process locale is: hosts switch
// to their users' locales, and "-5,0 dB" must never appear.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "uStepRule.h"
#include "uTagMap.h"

// Where the texts read the live parameter values from.
class IParamTextSource {
 public:
  virtual ~IParamTextSource() = default;
  // The live value of a tag, normally 0..1 (anything else is clamped, NaN reads as 0);
  // 0 for a tag outside 0..1023.
  virtual float paramValue(int tag) const = 0;
};

// Longest texts: a name has at most 36 characters, a value text at most 40, each plus the NUL.
inline constexpr std::size_t PARAM_NAME_MAX = 36;
inline constexpr std::size_t PARAM_DISPLAY_MAX = 40;
inline constexpr std::size_t PARAM_NAME_BUFFER = PARAM_NAME_MAX + 1;
inline constexpr std::size_t PARAM_DISPLAY_BUFFER = PARAM_DISPLAY_MAX + 1;

// ---------------------------------------------------------------------------------------
// Stepped tags: a value v selects step min(int(v x scale + 0.1), count - 1), at least 0, and
// step n is written as (n + 0.1) / scale. Row n of the tag's vocabulary table names step n.

struct SteppedTagRange {
  int firstTag;
  int lastTag;
  int count;
  float scale;
};

namespace paramtext_detail {
constexpr std::size_t countSteppedRows() {
  std::size_t n = 0;
  for (const tagmap::Row& r : tagmap::ROWS) n += r.kind == tagmap::Kind::Stepped;
  return n;
}
template <std::size_t N>
constexpr std::array<SteppedTagRange, N> steppedRowsOfTagMap() {
  std::array<SteppedTagRange, N> out{};
  std::size_t i = 0;
  for (const tagmap::Row& r : tagmap::ROWS)
    if (r.kind == tagmap::Kind::Stepped) out[i++] = SteppedTagRange{r.first, r.last, r.steps, r.scale};
  return out;
}
}  // namespace paramtext_detail

// The stepped rows of the tag map: the menus, the stored programs and the texts share them.
inline constexpr auto STEPPED_TAGS =
    paramtext_detail::steppedRowsOfTagMap<paramtext_detail::countSteppedRows()>();

// Number of steps of a tag; -1 for a continuous tag, a switch or an invalid tag.
constexpr int stepCountOf(int tag) {
  for (const SteppedTagRange& r : STEPPED_TAGS)
    if (tag >= r.firstTag && tag <= r.lastTag) return r.count;
  return -1;
}

// Step scale of a tag; 0 for a tag that is not stepped.
constexpr float stepScaleOf(int tag) {
  for (const SteppedTagRange& r : STEPPED_TAGS)
    if (tag >= r.firstTag && tag <= r.lastTag) return r.scale;
  return 0.0f;
}

// The step that v selects: int(v x scale + 0.1), clamped to 0..count-1 (NaN gives 0); the
// engine's own rule, so a text never names a step the engine does not run.
inline int steppedValue(float v, float scale, int count) { return steprule::stepOf(v, scale, count); }
// The step of a tag with its own scale and count; 0 for a tag that is not stepped.
int steppedValue(const IParamTextSource& source, int tag);

// ---------------------------------------------------------------------------------------
// Formatting helpers.

// x in fixed-point notation with `decimals` (0..9) digits after the point: -5.0, 20.48.
std::string getFloatStr(float x, int decimals);
// A filter frequency: n = int(2^(10 v) x 20) Hz, from 20 Hz to 20.48 KHz; above 999 Hz in
// KHz with two decimals unless hzOnly.
std::string toFilterStr(float v, bool hzOnly);
// A balance of two signals: "Equal" near the middle, else "50/100 D/W", "100/50 L/H", ...
std::string getMixStr(float v, bool twoBand);
// An envelope time of floor(2^(v x range) - 1) milliseconds: "Off", "255 ms", "16.4 sec".
std::string getEnvLenStr(float v, float range, bool allowSeconds);
// A rate of 2^(range x w) x 55 / divisor: "13.75 Hz", "1.76 KHz", or "off" at 0 when allowOff.
// The empty text for a divisor that is not positive.
std::string toFreqStr(float w, float divisor, float range, bool allowOff);
// The same on the live value of a tag; the empty text for an invalid tag.
std::string toFreqStr(const IParamTextSource& source, int tag, float divisor, float range, bool allowOff);

// ---------------------------------------------------------------------------------------
// The texts.

// Name of a tag ("Volume", "Distort: Split Freq", "Disrupt 7 : Widener Amount"); the names
// of the distortion knobs follow the current distortion type and those of the Disrupt
// amounts their destinations. Empty for tags without a name.
std::string getParamName(const IParamTextSource& source, int tag);
// The current value of a tag as text, with its unit ("-5.0 dB", "Ratio 11.3:1", "Equal").
// Empty for tags without a display.
std::string getParamDisplay(const IParamTextSource& source, int tag);
// The unit label: one blank for every tag (units are part of the display text).
inline constexpr std::string_view PARAM_LABEL = " ";

// Copies text into dest, cut to capacity - 1 characters and always terminated.
// Nothing is written when dest is null or capacity is 0.
void copyParamText(std::string_view text, char* dest, std::size_t capacity);

// The host-facing forms: the text written into the caller's buffer of `capacity` bytes.
void writeParamName(const IParamTextSource& source, int tag, char* dest,
                    std::size_t capacity = PARAM_NAME_BUFFER);
void writeParamLabel(int tag, char* dest, std::size_t capacity = PARAM_NAME_BUFFER);
void writeParamDisplay(const IParamTextSource& source, int tag, char* dest,
                       std::size_t capacity = PARAM_DISPLAY_BUFFER);
