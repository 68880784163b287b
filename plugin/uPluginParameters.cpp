#include <atomic>
#include <cmath>

#include "dsp/dspCommon.h"
#include "uPlugin.h"
#include "uStepRule.h"
#include "uTagMap.h"

namespace {

using dsp::clamp01;

constexpr float kChangeEpsilon = 1e-5f;

}  // namespace

void APlugin::initTagTables() {
  tagmap::fillDefaults(defaultValues);
  for (float& v : lastValues) v = -1.0f;
  tagmap::fillSteps(menuNum, menuRange);
  tagmap::fillSwitches(isOnOff);
  tagmap::fillDestinations(destByTag);
}

float APlugin::getParameter(int32_t t) {
  if (!isValidTag(t)) return 0.0f;
  return clamp01(currentValues[t].load(std::memory_order_relaxed));
}

void APlugin::setParameter(int32_t t, float v) {
  if (!isValidTag(t)) return;
  if (!std::isfinite(v)) return;  // a broken host value must not reach the store
  float x = clamp01(v);

  if (t == LOAD_PROGRAM_TAG) loadBuiltInFromNameTags();

  if (isOnOff[t]) x = x >= 0.5f ? 1.0f : 0.0f;

  currentValues[t].store(x, std::memory_order_relaxed);
  storeRelaxed(programValues()[t], x);
  storeRelaxed(editedValues[t], x);

  if (std::fabs(x - loadRelaxed(lastValues[t])) > kChangeEpsilon) {
    storeRelaxed(lastValues[t], x);
    if (std::fabs(x - loadRelaxed(originalValues[t])) > kChangeEpsilon)
      editChanged.store(true, std::memory_order_relaxed);
  }

  if (isEditorOpen()) editorLink->setParameter(t, x);
}

bool APlugin::getOnOff(int t) {
  return isValidTag(t) && currentValues[t].load(std::memory_order_relaxed) >= 0.5f;
}

bool APlugin::getRevOnOff(int t) {
  return !isValidTag(t) || currentValues[t].load(std::memory_order_relaxed) <= 0.5f;
}

void APlugin::setOnOff(int t, bool on) {
  if (isValidTag(t)) setParameterAutomated(t, on ? 1.0f : 0.0f);
}

void APlugin::toggleOnOff(int t) {
  if (isValidTag(t))
    setParameterAutomated(t, currentValues[t].load(std::memory_order_relaxed) < 0.5f ? 1.0f : 0.0f);
}

int32_t APlugin::getMenuNum(int t) { return isValidTag(t) ? menuNum[t] : -1; }

float APlugin::getMenuRange(int t) { return isValidTag(t) ? menuRange[t] : 1.0f; }

int APlugin::getSteppedValue(float v, float scale, int count) { return steprule::stepOf(v, scale, count); }

int APlugin::getSteppedValue(int t, float scale, int count) {
  if (!isValidTag(t)) return 0;
  return getSteppedValue(currentValues[t].load(std::memory_order_relaxed), scale, count);
}

int APlugin::getSteppedValue(int t) {
  if (!isValidTag(t) || menuNum[t] < 0) return 0;
  return getSteppedValue(t, menuRange[t], menuNum[t]);
}

void APlugin::setSteppedValue(int t, int n) {
  if (!isValidTag(t) || menuNum[t] < 0) return;
  setSteppedValue(t, n, menuRange[t], menuNum[t]);
}

void APlugin::setSteppedValue(int t, int n, float scale, int count) {
  if (!isValidTag(t) || count <= 0 || !(scale > 0.0f)) return;
  if (n < 0) n = 0;
  if (n > count - 1) n = count - 1;
  setParameterAutomated(t, steprule::valueOfStep(n, scale));
}

void APlugin::changeDelta(int t, int delta) {
  if (!isValidTag(t)) return;
  if (t == DISTORT_TYPE_TAG) {
    // The editor owns the type change (it also recalls the type's knob settings).
    if (editorLink) editorLink->updateDistort(getDistortType() + delta);
    return;
  }
  if (t == MODULE_PATH_TAG) {
    setSteppedValue(t, getModulePath() + delta);
    if (editorLink) editorLink->updatePath();
    return;
  }
  if (menuNum[t] >= 0) {
    const int count = menuNum[t];
    int n = getSteppedValue(t) + delta;
    if (n > count - 1) n = count - 1;
    if (n < 0) n = 0;
    setParameter(t, steprule::valueOfStep(n, menuRange[t]));
  } else if (isOnOff[t]) {
    setOnOff(t, delta >= 0);
  } else {
    setParameter(t, dsp::clamp01(getParameter(t) + 0.01f * static_cast<float>(delta)));
  }
}

void APlugin::copyParameter(int from, int to) {
  if (isValidTag(from) && isValidTag(to)) setParameterAutomated(to, getParameter(from));
}

void APlugin::swapParameter(int a, int b) {
  if (!isValidTag(a) || !isValidTag(b)) return;
  const float oldA = getParameter(a);
  const float oldB = getParameter(b);
  setParameterAutomated(a, oldB);
  setParameterAutomated(b, oldA);
}

float APlugin::getDefault(int t) { return isValidTag(t) ? defaultValues[t] : 0.0f; }

void APlugin::setToDefault(int t) {
  if (isValidTag(t)) setParameterAutomated(t, defaultValues[t]);
}

float APlugin::getDialMod(int t, bool on) {
  if (!isValidTag(t)) return 0.0f;
  if (!on) return getParameter(t);
  if (t == WAVESHAPER_DISTORT_1_TAGS[0] || t == WAVESHAPER_DISTORT_2_TAGS[0] ||
      t == WAVESHAPER_DISTORT_1_TAGS[1] || t == WAVESHAPER_DISTORT_2_TAGS[1])
    return getParameter(t);
  const int d = destByTag[t];
  if (d < 0) return getParameter(t);
  return clamp01(getParameter(t) + engine.getMod(d));
}
