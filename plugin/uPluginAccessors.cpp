// Small typed views of the parameter store: the matrix rows, the wave-shaper modes, Disrupt's
// slots and the tempo-synced period texts.
#include <cstdint>

#include "uPlugin.h"
#include "uStepRule.h"
#include "uVocabulary.h"

int32_t APlugin::getSrcForModSlot(int s) {
  return isValidModSlot(s) ? getSteppedValue(MOD_SLOT_SRC_TAGS[s]) : 0;
}
int32_t APlugin::getDestForModSlot(int s) {
  return isValidModSlot(s) ? getSteppedValue(MOD_SLOT_DEST_TAGS[s]) : 0;
}

void APlugin::setSrcForModSlot(int s, int n) {
  if (isValidModSlot(s)) setSteppedValue(MOD_SLOT_SRC_TAGS[s], n);
}

void APlugin::setDestForModSlot(int s, int n) {
  if (isValidModSlot(s)) setSteppedValue(MOD_SLOT_DEST_TAGS[s], n);
}

int32_t APlugin::getWaveShaperDistortMode(int i) {
  return static_cast<unsigned>(i) < 2u ? getSteppedValue(WAVESHAPER_DISTORT_MODE_TAGS[i]) : 0;
}

int32_t APlugin::getSyncedPeriod(float v) {
  return steprule::stepOf(v, SYNC_PERIOD_SCALE, static_cast<int>(PERIOD_STR.size()));
}

void APlugin::setDisruptOn(int n) {
  if (static_cast<unsigned>(n) < static_cast<unsigned>(NUM_DISRUPT_SLOTS)) setOn(DISRUPT_ON_TAGS[n]);
}

void APlugin::setModSlotVariables(int s, bool bypass, float amount, int src, int dest) {
  if (!isValidModSlot(s)) return;
  // Plain stores: the caller decides what the host hears about.
  auto setStep = [this](int t, int n) {
    const int count = menuNum[t];
    if (n < 0) n = 0;
    if (n > count - 1) n = count - 1;
    setParameter(t, steprule::valueOfStep(n, menuRange[t]));
  };
  setParameter(MOD_SLOT_BY_TAGS[s], bypass ? 1.0f : 0.0f);
  setParameter(MOD_SLOT_AMT_TAGS[s], amount);
  for (int t : {MOD_SLOT_OFFSET_TAGS[s], MOD_SLOT_LOWER_THRESH_TAGS[s], MOD_SLOT_UPPER_THRESH_TAGS[s]})
    setParameter(t, getDefault(t));
  if (src != -1) setStep(MOD_SLOT_SRC_TAGS[s], src);
  setStep(MOD_SLOT_DEST_TAGS[s], dest);
}
