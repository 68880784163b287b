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
// Knobs whose rings each box refreshes.
constexpr int DISTORT_RING_TAGS[] = {2, 1, 6, 7, 8, 9, 10, 11, 12, 13, 230, 231, 232, 233, 41, 42, 43, 44};
constexpr int FILTER_RING_TAGS[] = {48, 49, 53, 54};
constexpr int COMPRESSOR_RING_TAGS[] = {56, 57, 58, 59, 60};
constexpr int WIDENER_RING_TAGS[] = {62, 63, 64, 65, 66, 68};
constexpr int DISRUPT_RING_TAGS[] = {70, 71, 72, 73, 74, 75, 76, 84};
constexpr int FOLLOWER_RING_TAGS[] = {86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97};
constexpr int WAVESHAPER_RING_TAGS[] = {241, 242, 244, 245};
constexpr int HEADER_RING_TAGS[] = {1};
// Tags of the first LFO's speed, humanize, shape and amount knobs; LFO L adds L.
constexpr int LFO_RING_TAGS[] = {102, 110, 114, 98};
// The compressor meter and the widener display redraw only when these many steps change.
constexpr float COMPRESSOR_STEPS = 47.0f;
constexpr float WIDENER_STEPS = 9.99f;
}  // namespace

void uEditor::setDialMod(TKnob*& knob) {
  if (plugin && knob) knob->setMod(plugin->getDialMod(knob->getTag(), modDial));
}

void uEditor::refreshRings(std::span<const int> tags, CViewContainer* box) {
  const CView* parent = box ? static_cast<CView*>(box) : frame;
  for (int tag : tags) {
    forEachControlWithTag(tag, [&](const RegistryEntry& e) {
      TKnob* knob = e.knobView;
      if (knob && knob->getParentView() == parent) setDialMod(knob);
    });
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
  refreshRings(HEADER_RING_TAGS, nullptr);
}

void uEditor::refreshDistortBox() {
  if (distortScreen) {
    if (distortScreenReset) {
      distortScreenReset = false;
      distortScreen->reset();
    }
    distortScreen->update(static_cast<int>(lastIdleTicks / 150));
  }
  refreshRings(DISTORT_RING_TAGS, distortBox);
  if (gateLamp) gateLamp->setValue(plugin->getNoiseGateTriggered() ? 1.0f : 0.0f);
}

void uEditor::refreshFilterBox() { refreshRings(FILTER_RING_TAGS, filterBox); }

void uEditor::refreshCompressorBox() {
  refreshRings(COMPRESSOR_RING_TAGS, compressorBox);
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
  refreshRings(WIDENER_RING_TAGS, widenerBox);
  const float amount = plugin->getParameter(plugin->getOnOff(CHORUS_MODE_TAG) ? CHORUS_MIX_TAG : WIDENER_AMOUNT_TAG);
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
    case 0:
      refreshRings(DISRUPT_RING_TAGS, bottomBox);
      if (disruptSlider) disruptSlider->setMod(plugin->getModDisruptAmount(), static_cast<int>(lastIdleTicks / 100));
      refreshDisruptCaptions();
      break;
    case 1:
      refreshRings(FOLLOWER_RING_TAGS, bottomBox);
      if (followerScreen) followerScreen->update(static_cast<int>(lastIdleTicks / 125));
      break;
    case 2:
      refreshRings(WAVESHAPER_RING_TAGS, bottomBox);
      if (waveShaperRefresh) {
        waveShaperRefresh = false;
        for (TWaveShaperScreen* screen : waveShaperScreens)
          if (screen) screen->setDirty();
      }
      break;
    default: {
      int tags[std::size(LFO_RING_TAGS)];
      for (size_t k = 0; k < std::size(LFO_RING_TAGS); ++k) tags[k] = LFO_RING_TAGS[k] + lfoPage;
      refreshRings(tags, bottomBox);
      if (lfoScreen) lfoScreen->update(static_cast<int>(lastIdleTicks / 100));
      break;
    }
  }
}

void uEditor::refreshDisruptCaptions() {
  const int type = plugin->getDistortType();
  constexpr int DISTORT_KNOB_DEST = 6;
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
