#include "uParamText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>

#include "dsp/dspCommon.h"
#include "dsp/unitLaws.h"
#include "tags.h"
#include "uNumEntry.h"
#include "uVocabulary.h"

namespace {

constexpr int FIRST_TEXT_TAG = 1;
constexpr int LAST_TEXT_TAG = 246;

// A value as the texts read it: 0..1, NaN as 0.
float valueOf(const IParamTextSource& source, int tag) { return dsp::clamp01(source.paramValue(tag)); }

bool isOn(float v) { return v >= 0.5f; }

// Truncation toward zero that cannot overflow.
int truncInt(float x) { return dsp::saturatingInt(x); }

std::string intStr(int n) {
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, n);
  return std::string(buf, res.ptr);
}

std::string percentStr(float x) { return intStr(truncInt(x)) + " %"; }

// The row of a table that v selects with the given scale, by the rule of stepped tags (the
// rows of the distortion knob menus and the synced periods are not tag steps of their own).
template <std::size_t N>
std::string rowOf(const std::array<std::string_view, N>& table, float v, float scale) {
  return std::string(table[static_cast<std::size_t>(steprule::stepOf(v, scale, static_cast<int>(N)))]);
}

// ---------------------------------------------------------------------------------------
// Names.

struct NameRange {
  int firstTag;
  int lastTag;
  std::string_view prefix;  // a range of several tags is numbered from 1: prefix + n + suffix
  std::string_view suffix;
};

constexpr NameRange NAMES[] = {
    {1, 1, "Volume", ""},
    {2, 2, "Wet/Dry Mix", ""},
    {3, 3, "Bypass On", ""},
    {4, 4, "Distort DC On", ""},
    {14, 14, "Pre-EQ On", ""},
    {15, 18, "Pre-EQ Band ", " Gain"},
    {19, 22, "Pre-EQ Band ", " Frequency"},
    {23, 26, "Pre-EQ Band ", " Band-Width"},
    {27, 27, "Post-EQ On", ""},
    {28, 31, "Post-EQ Band ", " Gain"},
    {32, 35, "Post-EQ Band ", " Frequency"},
    {36, 39, "Post-EQ Band ", " Band-Width"},
    {40, 40, "Noise-Gate On", ""},
    {41, 41, "Noise-Gate Threshold", ""},
    {42, 42, "Noise-Gate Attack", ""},
    {43, 43, "Noise-Gate Hold", ""},
    {44, 44, "Noise-Gate Release", ""},
    {45, 45, "High-Pass Filter On", ""},
    {46, 46, "High-Pass Filter 12/24 dB Type", ""},
    {47, 47, "High-Pass ZD Filter", ""},
    {48, 48, "High-Pass Filter Frequency", ""},
    {49, 49, "High-Pass Filter Q", ""},
    {50, 50, "Low-Pass Filter On", ""},
    {51, 51, "Low-Pass Filter 12/24 dB Type", ""},
    {52, 52, "Low-Pass ZD Filter", ""},
    {53, 53, "Low-Pass Filter Frequency", ""},
    {54, 54, "Low-Pass Filter Q", ""},
    {55, 55, "Compressor On", ""},
    {56, 56, "Compressor Threshold Limit", ""},
    {57, 57, "Compressor Ratio", ""},
    {58, 58, "Compressor Attack", ""},
    {59, 59, "Compressor Release", ""},
    {60, 60, "Compressor Volume", ""},
    {61, 61, "Widener/Chorus On", ""},
    {62, 62, "Widener Amount", ""},
    {63, 63, "Widener Width", ""},
    {64, 64, "Widener Speed", ""},
    {65, 65, "Chorus Mix", ""},
    {66, 66, "Chorus Length", ""},
    {67, 67, "Chorus Width", ""},
    {68, 68, "Chorus Speed", ""},
    {69, 69, "Disrupt Amount", ""},
    {77, 83, "Disrupt ", " On"},
    {84, 84, "Disrupt Lazy Mode Speed", ""},
    {85, 85, "Disrupt Lazy Mode Tempo Sync On", ""},
    {86, 86, "Follower Threshold", ""},
    {87, 87, "Follower Boost", ""},
    {88, 88, "Follower Smoothing", ""},
    {89, 89, "Follower Attack", ""},
    {90, 90, "Follower Hold", ""},
    {91, 91, "Follower Decay", ""},
    {92, 94, "Follower ", " Amount"},
    {95, 97, "Follower ", " Mod Control Amount"},
    {98, 101, "LFO ", " Amount"},
    {102, 105, "LFO ", " Speed"},
    {106, 109, "LFO ", " Tempo Sync On"},
    {110, 113, "LFO ", " Humanization"},
    {114, 117, "LFO ", " Shape"},
    {118, 127, "Mod ", " Amount"},
    {128, 128, "Module Path", ""},
    {129, 129, "Distort Type", ""},
    {130, 130, "Grindle 1 EQ", ""},
    {131, 131, "Widener/Chorus", ""},
    {132, 132, "Disrupt Lazy Mode On", ""},
    {133, 133, "Disrupt Quantization", ""},
    {134, 134, "Disrupt Spring Time", ""},
    {135, 135, "Disrupt Lazy Mode", ""},
    {136, 142, "Disrupt ", " Destination"},
    {143, 143, "Follower Source", ""},
    {144, 146, "Follower ", " Destination"},
    {147, 149, "Follower ", " Bypass On"},
    {150, 152, "Follower ", " Mod Control Source"},
    {153, 156, "LFO ", " Wave"},
    {157, 160, "LFO ", " Destination"},
    {161, 164, "LFO ", " Mode"},
    {165, 168, "LFO ", " Trigger"},
    {169, 169, "Basic/Advanced Mod Matrix", ""},
    {170, 179, "Mod ", " Source"},
    {180, 189, "Mod ", " Destination"},
    {190, 199, "Mod ", " Bypass On"},
    {200, 209, "Mod ", " Lower Threshold"},
    {210, 219, "Mod ", " Upper Threshold"},
    {220, 229, "Mod ", " Offset"},
    {230, 230, "EQ Low", ""},
    {231, 231, "EQ Mid 1", ""},
    {232, 232, "EQ Mid 2", ""},
    {233, 233, "EQ High", ""},
    {234, 234, "Compressor Mode", ""},
    {240, 240, "WaveShaper 1 Distortion Mode", ""},
    {241, 241, "WaveShaper 1 Amount 1", ""},
    {242, 242, "WaveShaper 1 Amount 2", ""},
    {243, 243, "WaveShaper 2 Distortion Mode", ""},
    {244, 244, "WaveShaper 2 Amount 1", ""},
    {245, 245, "WaveShaper 2 Amount 2", ""},
    {246, 246, "WaveShaper Polar Mode On", ""},
};

int distortType(const IParamTextSource& source) { return steppedValue(source, DISTORT_TYPE_TAG); }

// ---------------------------------------------------------------------------------------
// Value texts: which format each tag uses.

enum class Format : unsigned char {
  None,
  DbVolume,     // units::LEVEL_DB
  DbGain,       // units::GAIN_DB
  DbThreshold,  // units::THRESHOLD_DB
  DbBoost,      // units::BOOST_DB
  Mix,          // dry/wet balance
  OnOff,
  Percent,      // 0..100 %
  Bipolar,      // -100..100 %
  DistortKnob,  // per distortion type
  Filter,
  EnvLenShort,  // envelope time up to 255 ms
  EnvLenLong,   // envelope time up to 16.4 s
  FilterSlope,
  Ratio,
  ModRate,  // widener and chorus speed
  ChorusLength,
  DisruptAmount,
  LazySpeed,
  FollowerTime,
  LfoSpeed,
  ModulePath,
  DistortType,
  ChorusMode,
  DisruptQuant,
  DisruptSpring,
  DisruptLazyMode,
  Destination,
  FollowerSource,
  Source,
  LfoWave,
  LfoMode,
  LfoTrigger,
  MatrixMode,
  CompressorMode,
  WaveShaperMode,
  PolarMode,
};

struct FormatRange {
  int firstTag;
  int lastTag;
  Format format;
};

constexpr FormatRange FORMATS[] = {
    {1, 1, Format::DbVolume},
    {60, 60, Format::DbVolume},
    {6, 6, Format::DbGain},
    {15, 18, Format::DbGain},
    {28, 31, Format::DbGain},
    {230, 233, Format::DbGain},
    {41, 41, Format::DbThreshold},
    {56, 56, Format::DbThreshold},
    {86, 86, Format::DbThreshold},
    {87, 87, Format::DbBoost},
    {2, 2, Format::Mix},
    {65, 65, Format::Mix},
    {3, 4, Format::OnOff},
    {14, 14, Format::OnOff},
    {27, 27, Format::OnOff},
    {40, 40, Format::OnOff},
    {45, 45, Format::OnOff},
    {47, 47, Format::OnOff},
    {50, 50, Format::OnOff},
    {52, 52, Format::OnOff},
    {55, 55, Format::OnOff},
    {61, 61, Format::OnOff},
    {77, 83, Format::OnOff},
    {85, 85, Format::OnOff},
    {106, 109, Format::OnOff},
    {130, 130, Format::OnOff},
    {132, 132, Format::OnOff},
    {147, 149, Format::OnOff},
    {190, 199, Format::OnOff},
    {7, 7, Format::Percent},
    {23, 26, Format::Percent},
    {36, 39, Format::Percent},
    {49, 49, Format::Percent},
    {54, 54, Format::Percent},
    {62, 63, Format::Percent},
    {67, 67, Format::Percent},
    {88, 88, Format::Percent},
    {110, 117, Format::Percent},
    {241, 242, Format::Percent},
    {244, 245, Format::Percent},
    {8, 13, Format::DistortKnob},
    {19, 22, Format::Filter},
    {32, 35, Format::Filter},
    {48, 48, Format::Filter},
    {53, 53, Format::Filter},
    {42, 42, Format::EnvLenShort},
    {58, 58, Format::EnvLenShort},
    {43, 44, Format::EnvLenLong},
    {59, 59, Format::EnvLenLong},
    {46, 46, Format::FilterSlope},
    {51, 51, Format::FilterSlope},
    {57, 57, Format::Ratio},
    {64, 64, Format::ModRate},
    {68, 68, Format::ModRate},
    {66, 66, Format::ChorusLength},
    {69, 69, Format::DisruptAmount},
    {70, 76, Format::Bipolar},
    {92, 101, Format::Bipolar},
    {118, 127, Format::Bipolar},
    {200, 229, Format::Bipolar},
    {84, 84, Format::LazySpeed},
    {89, 91, Format::FollowerTime},
    {102, 105, Format::LfoSpeed},
    {128, 128, Format::ModulePath},
    {129, 129, Format::DistortType},
    {131, 131, Format::ChorusMode},
    {133, 133, Format::DisruptQuant},
    {134, 134, Format::DisruptSpring},
    {135, 135, Format::DisruptLazyMode},
    {136, 142, Format::Destination},
    {144, 146, Format::Destination},
    {157, 160, Format::Destination},
    {180, 189, Format::Destination},
    {143, 143, Format::FollowerSource},
    {150, 152, Format::Source},
    {170, 179, Format::Source},
    {153, 156, Format::LfoWave},
    {161, 164, Format::LfoMode},
    {165, 168, Format::LfoTrigger},
    {169, 169, Format::MatrixMode},
    {234, 234, Format::CompressorMode},
    {240, 240, Format::WaveShaperMode},
    {243, 243, Format::WaveShaperMode},
    {246, 246, Format::PolarMode},
};

constexpr std::array<Format, LAST_TEXT_TAG + 1> buildFormatByTag() {
  std::array<Format, LAST_TEXT_TAG + 1> byTag{};
  for (const FormatRange& r : FORMATS)
    for (int t = r.firstTag; t <= r.lastTag; ++t) byTag[t] = r.format;
  return byTag;
}

constexpr std::array<Format, LAST_TEXT_TAG + 1> FORMAT_BY_TAG = buildFormatByTag();

// The linear law a format shows a value in; none for the others. (Values, not addresses: a
// sanitised build does not take the address of a constant in a constant expression.)
constexpr std::optional<units::LinearLaw> lawOf(Format f) {
  switch (f) {
    case Format::DbVolume:
      return units::LEVEL_DB;
    case Format::DbGain:
      return units::GAIN_DB;
    case Format::DbThreshold:
      return units::THRESHOLD_DB;
    case Format::DbBoost:
      return units::BOOST_DB;
    case Format::Bipolar:
      return units::BIPOLAR_PERCENT;
    default:
      return std::nullopt;
  }
}

constexpr bool isDbLaw(const units::LinearLaw& law) {
  return law == units::LEVEL_DB || law == units::GAIN_DB || law == units::THRESHOLD_DB ||
         law == units::BOOST_DB;
}

// The texts follow the tag map and typed entry: a tag has a name and a text exactly when it is
// no internal tag, and a value shown in dB or as a bipolar share is typed in the same law (a tag
// typed in dB is also shown in that law). A tag added to the tag map fails here until it has
// its name and format.
constexpr bool textsAgreeWithTagMap() {
  for (int t = FIRST_TEXT_TAG; t <= LAST_TEXT_TAG; ++t) {
    const bool internal = tagmap::kindOf(t) == tagmap::Kind::Internal;
    bool named = (t >= DISTORT_KNOB_1_TAG && t < DISTORT_KNOB_1_TAG + NUM_DISTORT_KNOBS) ||
                 (t >= DISRUPT_SLOT_AMT_1_TAG && t < DISRUPT_SLOT_AMT_1_TAG + NUM_DISRUPT_SLOTS);
    for (const NameRange& r : NAMES) named = named || (t >= r.firstTag && t <= r.lastTag);
    if (named == internal || (FORMAT_BY_TAG[t] == Format::None) != internal) return false;
    const std::optional<units::LinearLaw> shown = lawOf(FORMAT_BY_TAG[t]);
    const numentry::Group& typed = numentry::groupOf(t);
    const bool typedLinear = typed.kind == numentry::Kind::Linear;
    if (shown && !(typedLinear && typed.law == *shown)) return false;
    if (typedLinear && isDbLaw(typed.law) && !(shown && *shown == typed.law)) return false;
  }
  return true;
}
static_assert(textsAgreeWithTagMap(),
              "every tag the tag map uses needs a name and a format that fit its typed unit");

// Formats of the distortion knobs 2..7 (tags 8..13); a percentage unless a type says otherwise.
enum class KnobFormat : unsigned char {
  Percent,
  Bipolar,
  BoostDb,  // -30..30 dB, whole numbers
  Filter,
  Bits,      // 16.0 .. 0.0 Bits
  Samples,   // 1.0 .. 1024.0 Smps
  Multiply,  // x64 .. x65536
  BandMix,   // low/high balance
  AmpModel,
  CabModel,
  Wave,
};

struct KnobFormatCell {
  int type;
  int knob;
  KnobFormat format;
};

constexpr KnobFormatCell KNOB_FORMATS[] = {
    {1, 2, KnobFormat::Multiply}, {3, 5, KnobFormat::BoostDb},   {8, 5, KnobFormat::BoostDb},
    {4, 2, KnobFormat::Filter},   {4, 4, KnobFormat::Bipolar},   {4, 5, KnobFormat::Filter},
    {4, 6, KnobFormat::Filter},   {4, 7, KnobFormat::BoostDb},   {12, 4, KnobFormat::Bipolar},
    {14, 2, KnobFormat::Bits},    {14, 3, KnobFormat::Samples},  {19, 6, KnobFormat::BoostDb},
    {30, 6, KnobFormat::BoostDb}, {21, 2, KnobFormat::Bipolar},  {25, 4, KnobFormat::Filter},
    {28, 3, KnobFormat::Bipolar}, {28, 5, KnobFormat::Filter},   {31, 2, KnobFormat::Filter},
    {31, 7, KnobFormat::BandMix}, {32, 2, KnobFormat::Filter},   {32, 7, KnobFormat::BandMix},
    {33, 2, KnobFormat::Filter},  {33, 7, KnobFormat::BandMix},  {34, 2, KnobFormat::Filter},
    {34, 7, KnobFormat::BandMix}, {35, 2, KnobFormat::Filter},   {35, 7, KnobFormat::BandMix},
    {36, 2, KnobFormat::Filter},  {36, 3, KnobFormat::Bits},     {36, 4, KnobFormat::Samples},
    {36, 5, KnobFormat::Bits},    {36, 6, KnobFormat::Samples},  {37, 2, KnobFormat::Filter},
    {37, 7, KnobFormat::BandMix}, {38, 2, KnobFormat::Filter},   {38, 7, KnobFormat::BandMix},
    {39, 2, KnobFormat::Filter},  {39, 7, KnobFormat::BandMix},  {40, 2, KnobFormat::Filter},
    {40, 3, KnobFormat::Bipolar}, {40, 5, KnobFormat::Bipolar},  {40, 7, KnobFormat::BandMix},
    {41, 2, KnobFormat::Filter},  {41, 7, KnobFormat::BandMix},  {42, 2, KnobFormat::Filter},
    {42, 7, KnobFormat::BandMix}, {43, 2, KnobFormat::AmpModel}, {44, 2, KnobFormat::CabModel},
    {45, 2, KnobFormat::Wave},    {45, 3, KnobFormat::Filter},   {45, 4, KnobFormat::Filter},
    {46, 2, KnobFormat::Wave},    {46, 3, KnobFormat::Filter},   {46, 4, KnobFormat::Filter},
    {47, 2, KnobFormat::Wave},    {47, 3, KnobFormat::Filter},   {48, 2, KnobFormat::Filter},
    {48, 3, KnobFormat::Filter},  {48, 5, KnobFormat::Filter},   {48, 7, KnobFormat::BandMix},
};

constexpr int FIRST_FORMATTED_KNOB = 2;

constexpr std::array<std::array<KnobFormat, 6>, NUM_DISTORT_TYPES> buildKnobFormats() {
  std::array<std::array<KnobFormat, 6>, NUM_DISTORT_TYPES> formats{};
  for (const KnobFormatCell& c : KNOB_FORMATS) formats[c.type][c.knob - FIRST_FORMATTED_KNOB] = c.format;
  return formats;
}

constexpr auto KNOB_FORMAT_BY_TYPE = buildKnobFormats();

std::string distortKnobStr(int type, int knob, float v) {
  switch (KNOB_FORMAT_BY_TYPE[type][knob - FIRST_FORMATTED_KNOB]) {
    case KnobFormat::Percent:
      return percentStr(units::PERCENT.unitOf(v));
    case KnobFormat::Bipolar:
      return percentStr(units::BIPOLAR_PERCENT.unitOf(v));
    case KnobFormat::BoostDb:
      return intStr(truncInt(units::BOOST_DB.unitOf(v))) + " dB";
    case KnobFormat::Filter:
      return toFilterStr(v, false);
    case KnobFormat::Bits:
      return getFloatStr(16.0f - 16.0f * v, 1) + " Bits";
    case KnobFormat::Samples:
      return getFloatStr(units::holdSamples(v), 1) + " Smps";
    case KnobFormat::Multiply:
      return "x" + intStr(truncInt(units::andScale(v)));
    case KnobFormat::BandMix:
      return getMixStr(v, true);
    case KnobFormat::AmpModel:
      return rowOf(AMP_MODEL_STR, v, 5.99f);
    case KnobFormat::CabModel:
      return rowOf(CAB_MODEL_STR, v, 3.99f);
    case KnobFormat::Wave:
      return rowOf(DISTORT_WAVE_STR, v, 3.99f);
  }
  return {};
}

// A tempo-synced speed: the period row; otherwise a free rate.
std::string syncedOrFreeRate(const IParamTextSource& source, int tag, int syncTag, float v) {
  if (isOn(valueOf(source, syncTag))) return rowOf(PERIOD_STR, v, SYNC_PERIOD_SCALE);
  return toFreqStr(source, tag, units::LFO_RATE_DIVISOR, units::LFO_OCTAVES, true);
}

std::string disruptAmountStr(const IParamTextSource& source, float v) {
  float x = 2.0f * v - 1.0f;
  // The divisor comes from the live quantisation setting, the same one that says whether
  // quantisation is on, so it can never be the 0 of the "Off" row.
  const int quant = steppedValue(source, DISRUPT_QUANT_TAG);
  if (quant != 0) {
    const float divisor = DISRUPT_QUANT_DIVIDE[quant];
    x = std::floor(x * divisor + 0.5f) / divisor;
  }
  return percentStr(100.0f * x);
}

// Row n of a stepped tag's table names step n: a type or path appended to a table but not to the
// tag map (or the other way round) fails here instead of showing the wrong name.
template <std::size_t N>
constexpr bool rowsFit(const std::array<std::string_view, N>&, int tag) {
  return stepCountOf(tag) == static_cast<int>(N);
}
static_assert(rowsFit(MODULE_PATH_STR, MODULE_PATH_TAG) && rowsFit(DISTORT_TYPE_STR, DISTORT_TYPE_TAG) &&
                  rowsFit(DISRUPT_QUANT_STR, DISRUPT_QUANT_TAG) &&
                  rowsFit(DISRUPT_SPRING_TIME_STR, DISRUPT_SPRING_TAG) &&
                  rowsFit(DISRUPT_LAZY_MODE_STR, DISRUPT_LAZY_MODE_TAG) &&
                  rowsFit(FOLLOWER_SRC_STR, FOLLOWER_SOURCE_TAG) && rowsFit(SRC_STR, MOD_SLOT_SRC_TAGS[0]) &&
                  rowsFit(SRC_STR, FOLLOWER_MOD_SRC_1_TAG) && rowsFit(LFO_WAVE_STR, LFO_WAVE_TAGS[0]) &&
                  rowsFit(LFO_MODE_STR, LFO_MODE_TAGS[0]) && rowsFit(LFO_TRIGGER_STR, LFO_TRIGGER_TAGS[0]) &&
                  rowsFit(WAVESHAPER_DISTORT_MODE_STR, WAVESHAPER_DISTORT_MODE_TAGS[0]) &&
                  stepCountOf(DISTORT_TYPE_TAG) == NUM_DISTORT_TYPES,
              "a stepped tag's step count must equal its table's rows");

template <std::size_t N>
std::string stepRow(const std::array<std::string_view, N>& table, const IParamTextSource& source, int tag) {
  // Bounded by the table too: a tag's step count and its table's row count are two facts.
  const auto n = static_cast<std::size_t>(steppedValue(source, tag));
  return std::string(table[n < N ? n : N - 1]);
}

}  // namespace

// ---------------------------------------------------------------------------------------

int steppedValue(const IParamTextSource& source, int tag) {
  const int count = stepCountOf(tag);
  if (count < 0) return 0;
  return steprule::stepOf(valueOf(source, tag), stepScaleOf(tag), count);
}

std::string getFloatStr(float x, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 9) decimals = 9;
  char buf[64];  // the widest float in fixed notation has 39 digits before the point
  const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
  if (res.ec != std::errc()) return {};
  return std::string(buf, res.ptr);
}

std::string toFilterStr(float v, bool hzOnly) {
  const int n = truncInt(units::frequencyHz(v));
  if (n > 999 && !hzOnly) return getFloatStr(static_cast<float>(n) / 1000.0f, 2) + " KHz";
  return intStr(n) + " Hz";
}

std::string getMixStr(float v, bool twoBand) {
  const char* suffix = twoBand ? "L/H" : "D/W";
  if (std::fabs(v - 0.5f) < 0.01f) return "Equal";
  if (v >= 0.5f) return intStr(truncInt((1.0f - v) * 200.0f)) + "/100 " + suffix;
  return "100/" + intStr(truncInt(v * 200.0f)) + " " + suffix;
}

std::string getEnvLenStr(float v, float range, bool allowSeconds) {
  const float t = std::floor(std::pow(2.0f, v * range) - 1.0f);
  if (!(t > 0.5f)) return "Off";
  if (t > 1000.0f && allowSeconds) return getFloatStr(t / 1000.0f, 1) + " sec";
  return intStr(truncInt(t)) + " ms";
}

std::string toFreqStr(float w, float divisor, float range, bool allowOff) {
  if (!(divisor > 0.0f)) return {};
  if (w < 0.00001f && allowOff) return "off";
  const float f = std::pow(2.0f, range * w) * (55.0f / divisor);
  if (f < 1000.0f) return getFloatStr(f, 2) + " Hz";
  return getFloatStr(f / 1000.0f, 2) + " KHz";
}

std::string toFreqStr(const IParamTextSource& source, int tag, float divisor, float range, bool allowOff) {
  if (tag < 0 || tag >= NUM_PARAMS) return {};
  return toFreqStr(valueOf(source, tag), divisor, range, allowOff);
}

std::string getParamName(const IParamTextSource& source, int tag) {
  if (tag < FIRST_TEXT_TAG || tag > LAST_TEXT_TAG) return {};
  if (tag >= DISTORT_KNOB_1_TAG && tag < DISTORT_KNOB_1_TAG + NUM_DISTORT_KNOBS)
    return std::string(
        DISTORT_READOUT_STR[distortType(source) * NUM_DISTORT_KNOBS + tag - DISTORT_KNOB_1_TAG]);
  if (tag >= DISRUPT_SLOT_AMT_1_TAG && tag < DISRUPT_SLOT_AMT_1_TAG + NUM_DISRUPT_SLOTS) {
    const int slot = tag - DISRUPT_SLOT_AMT_1_TAG;
    const int dest = steppedValue(source, DISRUPT_DEST_TAGS[slot]);
    // The knob's long name, since "Dist3" would not tell the user what it moves.
    const std::string_view destName = (dest >= DEST_DIST_1 && dest <= DEST_DIST_8)
                                          ? destText(dest, distortType(source))
                                          : SHORT_DEST_STR[dest];
    return "Disrupt " + intStr(slot + 1) + " : " + std::string(destName);
  }
  for (const NameRange& r : NAMES) {
    if (tag < r.firstTag || tag > r.lastTag) continue;
    std::string name(r.prefix);
    if (r.lastTag > r.firstTag) name += intStr(tag - r.firstTag + 1);
    name += r.suffix;
    return name;
  }
  return {};
}

std::string getParamDisplay(const IParamTextSource& source, int tag) {
  if (tag < FIRST_TEXT_TAG || tag > LAST_TEXT_TAG) return {};
  const float v = valueOf(source, tag);
  switch (FORMAT_BY_TAG[tag]) {
    case Format::None:
      return {};
    case Format::DbVolume:
      return getFloatStr(units::LEVEL_DB.unitOf(v), 1) + " dB";
    case Format::DbGain:
      return getFloatStr(units::GAIN_DB.unitOf(v), 1) + " dB";
    case Format::DbThreshold:
      return getFloatStr(units::THRESHOLD_DB.unitOf(v), 1) + " dB";
    case Format::DbBoost:
      return getFloatStr(units::BOOST_DB.unitOf(v), 1) + " dB";
    case Format::Mix:
      return getMixStr(v, false);
    case Format::OnOff:
      return isOn(v) ? "On" : "Off";
    case Format::Percent:
      return percentStr(units::PERCENT.unitOf(v));
    case Format::Bipolar:
      return percentStr(units::BIPOLAR_PERCENT.unitOf(v));
    case Format::DistortKnob:
      return distortKnobStr(distortType(source), tag - DISTORT_KNOB_1_TAG, v);
    case Format::Filter:
      return toFilterStr(v, false);
    case Format::EnvLenShort:
      return getEnvLenStr(v, units::ATTACK_OCTAVES, true);
    case Format::EnvLenLong:
      return getEnvLenStr(v, units::TIME_OCTAVES, true);
    case Format::FilterSlope:
      return isOn(v) ? "24 dB" : "12 dB";
    case Format::Ratio:
      if (v < 0.00001f) return "None";
      if (v > 0.9999f) return "Limiter";
      return "Ratio " + getFloatStr(units::ratioOf(v), 1) + ":1";
    case Format::ModRate:
      return toFreqStr(source, tag, 4096.0f, 10.0f, true);
    case Format::ChorusLength:
      return getFloatStr(50.0f * v, 1) + " ms";
    case Format::DisruptAmount:
      return disruptAmountStr(source, v);
    case Format::LazySpeed:
      return syncedOrFreeRate(source, tag, DISRUPT_LAZY_SYNC_TAG, v);
    case Format::FollowerTime:
      return intStr(truncInt(std::pow(2.0f, units::TIME_OCTAVES * v))) + " ms";
    case Format::LfoSpeed:
      return syncedOrFreeRate(source, tag, LFO_SYNC_TAGS[tag - LFO_SPEED_TAGS[0]], v);
    case Format::ModulePath:
      return stepRow(MODULE_PATH_STR, source, tag);
    case Format::DistortType:
      return stepRow(DISTORT_TYPE_STR, source, tag);
    case Format::ChorusMode:
      return isOn(v) ? "Chorus" : "Widener";
    case Format::DisruptQuant:
      return stepRow(DISRUPT_QUANT_STR, source, tag);
    case Format::DisruptSpring:
      return stepRow(DISRUPT_SPRING_TIME_STR, source, tag);
    case Format::DisruptLazyMode:
      return stepRow(DISRUPT_LAZY_MODE_STR, source, tag);
    case Format::Destination:
      return std::string(destText(steppedValue(source, tag), distortType(source)));
    case Format::FollowerSource:
      return stepRow(FOLLOWER_SRC_STR, source, tag);
    case Format::Source:
      return stepRow(SRC_STR, source, tag);
    case Format::LfoWave:
      return stepRow(LFO_WAVE_STR, source, tag);
    case Format::LfoMode:
      return stepRow(LFO_MODE_STR, source, tag);
    case Format::LfoTrigger:
      return stepRow(LFO_TRIGGER_STR, source, tag);
    case Format::MatrixMode:
      return isOn(v) ? "Advanced Modulation Matrixs" : "Basic Modulation Matrix";
    case Format::CompressorMode:
      return v < 0.5f ? "Compressor Mode 1" : "Compressor Mode 2";
    case Format::WaveShaperMode:
      return stepRow(WAVESHAPER_DISTORT_MODE_STR, source, tag);
    case Format::PolarMode:
      return isOn(v) ? "Polar WaveShaper" : "Absolute WaveShaper";
  }
  return {};
}

void copyParamText(std::string_view text, char* dest, std::size_t capacity) {
  if (dest == nullptr || capacity == 0) return;
  const std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

void writeParamName(const IParamTextSource& source, int tag, char* dest, std::size_t capacity) {
  copyParamText(getParamName(source, tag), dest, capacity);
}

void writeParamLabel(int /*tag*/, char* dest, std::size_t capacity) {
  copyParamText(PARAM_LABEL, dest, capacity);
}

void writeParamDisplay(const IParamTextSource& source, int tag, char* dest, std::size_t capacity) {
  copyParamText(getParamDisplay(source, tag), dest, capacity);
}
