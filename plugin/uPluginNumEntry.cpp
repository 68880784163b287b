// Typing a value in the parameter's own unit (GUI thread).
#include <cmath>

#include "dsp/dspCommon.h"
#include "dsp/unitLaws.h"
#include "platform/dialogs.h"
#include "platform/stringHelpers.h"
#include "uNumEntry.h"
#include "uPlugin.h"

namespace numentry {

namespace {

const float HIGHEST_HZ = units::frequencyHz(1.0f);

}  // namespace

std::string prefill(const Group& group, float v) {
  switch (group.kind) {
    case Kind::Linear:
      return getFloatStr(group.law.unitOf(v), 1);
    case Kind::Frequency:
      return "20 Hz";
    case Kind::Switch:
      return v >= 0.5f ? "On" : "Off";
    case Kind::None:
      break;
  }
  return {};
}

std::optional<float> storedValue(const Group& group, std::string answer) {
  if (group.kind == Kind::None) return std::nullopt;
  // A switch's answer without a number ("On", "Off") changes nothing; in other boxes only an
  // empty answer does, and a word reads 0.
  if (group.kind == Kind::Switch) stripAllButNum(answer);
  if (answer.empty()) return std::nullopt;
  // A frequency is read as typed: "440 Hz" reads 440. Everything else drops units and words
  // first, so "-12.5 dB" reads -12.5.
  if (group.kind == Kind::Linear) stripAllButNum(answer);
  const float x = decimalToFloat(answer);
  switch (group.kind) {
    case Kind::Linear:
      return dsp::clamp01(group.law.valueOf(x));
    case Kind::Frequency:
      // Also NaN and negatives: the logarithm has no value there.
      if (!(x > units::LOWEST_HZ)) return 0.0f;
      if (x >= HIGHEST_HZ) return 1.0f;
      return dsp::clamp01(units::frequencyValue(x));
    case Kind::Switch:
      return x < 0.5f ? 0.0f : 1.0f;
    case Kind::None:
      break;
  }
  return std::nullopt;
}

}  // namespace numentry

void APlugin::setNumValue(int t) {
  const numentry::Group& group = numentry::groupOf(t);
  if (group.kind == numentry::Kind::None) return;
  std::string text = numentry::prefill(group, getParameter(t));
  // Cancel changes nothing, also when something was typed before it.
  if (!inputBox(group.hint, getParamName(*this, t), text)) return;
  // Not automated: the host is not told of typed values.
  if (const std::optional<float> value = numentry::storedValue(group, text)) setParameter(t, *value);
}
