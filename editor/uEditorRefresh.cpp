// The idle pass's updates of what the main screen shows: the Edited lamp, the level meters, the
// modulation rings of the shown knobs and the moving displays.
#include <algorithm>

#include "controls/pluginControls.h"
#include "controls/pluginScreens.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {
// The compressor meter and the widener display redraw only when these many steps change.
constexpr float COMPRESSOR_STEPS = 47.0f;
constexpr float WIDENER_STEPS = 9.99f;
}  // namespace

void uEditor::setDialMod(TKnob*& knob) {
  if (plugin && knob) knob->setMod(plugin->getDialMod(knob->getTag(), modDial));
}

// The knobs a box shows are the registered knobs it holds now (one LFO page's, one tab's, the
// type's set), so a knob placed in a box gets its ring with no list to keep.
void uEditor::refreshRings(CViewContainer* box) {
  const CView* parent = box ? static_cast<CView*>(box) : frame;
  for (const RegistryEntry& e : registry) {
    TKnob* knob = e.knobView;
    if (knob && knob->getParentView() == parent) setDialMod(knob);
  }
}

void uEditor::refreshHeader() {
  const bool edited = getEditChanged();
  if (!editLampShown || edited != lastEditChanged) {
    if (editedButton) {
      editedButton->setBackground(bitmap(edited ? EDITED_ON_BMP : EDITED_OFF_BMP));
      editedButton->setDirty();
    }
    lastEditChanged = edited;
    editLampShown = true;
  }
  for (size_t i = 0; i < std::size(vuMeters); ++i)
    if (vuMeters[i]) vuMeters[i]->setVuValue(vuValues[i]);
  refreshRings(nullptr);
}

void uEditor::refreshDistortBox() {
  if (distortScreen) {
    if (distortScreenReset) {
      distortScreenReset = false;
      distortScreen->reset();
    }
    distortScreen->update(static_cast<int>(lastIdleTicks / 150));
  }
  refreshRings(distortBox);
  if (gateLamp) gateLamp->setValue(plugin->getNoiseGateTriggered() ? 1.0f : 0.0f);
}

void uEditor::refreshFilterBox() { refreshRings(filterBox); }

void uEditor::refreshCompressorBox() {
  refreshRings(compressorBox);
  const float level = plugin->getCompVolume();
  const int step = static_cast<int>(level * COMPRESSOR_STEPS);
  if (step != lastCompressorStep) {
    if (compressorMeter) {
      compressorMeter->setValue(level);
      compressorMeter->bounceValue();
      compressorMeter->setDirty();
    }
    lastCompressorStep = step;
  }
}

void uEditor::refreshWidenerBox() {
  refreshRings(widenerBox);
  const float amount =
      plugin->getParameter(plugin->getOnOff(CHORUS_MODE_TAG) ? CHORUS_MIX_TAG : WIDENER_AMOUNT_TAG);
  const int step = static_cast<int>(amount * WIDENER_STEPS);
  if (step != lastWidenerStep) {
    if (widenerDisplay) {
      widenerDisplay->setValue(std::clamp(amount * 1.1f, 0.0f, 1.0f));
      widenerDisplay->setDirty();
    }
    lastWidenerStep = step;
  }
}

void uEditor::refreshBottomBox() {
  switch (bottomTab) {
    case DISRUPT_TAB:
      refreshRings(bottomBox);
      if (disruptSlider)
        disruptSlider->setMod(plugin->getModDisruptAmount(), static_cast<int>(lastIdleTicks / 100));
      refreshDisruptCaptions();
      break;
    case FOLLOWER_TAB:
      refreshRings(bottomBox);
      if (followerScreen) followerScreen->update(static_cast<int>(lastIdleTicks / 125));
      break;
    case WAVESHAPER_TAB:
      refreshRings(bottomBox);
      if (waveShaperRefresh) {
        waveShaperRefresh = false;
        for (TWaveShaperScreen* screen : waveShaperScreens)
          if (screen) screen->setDirty();
      }
      break;
    default:
      refreshRings(bottomBox);
      if (lfoScreen) lfoScreen->update(static_cast<int>(lastIdleTicks / 100));
      break;
  }
}

void uEditor::refreshDisruptCaptions() {
  const int type = plugin->getDistortType();
  constexpr int DISTORT_KNOB_DEST = DEST_DIST_1;
  for (size_t i = 0; i < std::size(disruptKnobs); ++i) {
    const int d = plugin->getDestForTag(DISRUPT_DEST_TAGS[i]);
    // The full destination names, except the distortion type's knobs, which go by their short names.
    const bool typeKnob = d >= DISTORT_KNOB_DEST && d < DISTORT_KNOB_DEST + NUM_DISTORT_KNOBS;
    const std::string_view name = typeKnob ? shortDestText(d, type) : destText(d, type);
    if (disruptCaptions[i] == name) continue;
    disruptCaptions[i] = name;
    if (disruptKnobs[i]) disruptKnobs[i]->setString(disruptCaptions[i]);
  }
}

// ==== The host's view ====

void uEditor::tellHostToReread() {
  if (!plugin || !hostRereadRequested.load(std::memory_order_relaxed)) return;
  // A screen still being dragged writes more; the host reads once the gesture is over.
  if (frame && frame->getMouseDownView()) return;
  hostRereadRequested.store(false, std::memory_order_relaxed);
  plugin->updateDisplay();
}
