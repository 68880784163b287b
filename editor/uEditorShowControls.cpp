// Show operations: which controls of the layout are in the frame and in each box, rebuilt as a
// whole when a setting they depend on changes, and the distortion-type knob memory.
#include <algorithm>
#include <initializer_list>

#include "controls/pluginScreens.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

// A box starts again from its background, gets its views from `fill` (which receives an add
// function; missing views are skipped) and is redrawn. A box already being rebuilt is left alone.
template <typename Fill>
void rebuildBox(CViewContainer* box, bool& busy, CBitmap* background, Fill&& fill) {
  if (!box || busy) return;
  busy = true;
  box->removeAll(false);
  box->invalid();
  box->setBackground(background);
  fill([box](CView* v) {
    if (v) box->addView(v);
  });
  box->setDirty();
  busy = false;
}

// A group of radio buttons: the one at `selected` on, the others off.
void selectRadio(std::initializer_list<CControl*> buttons, int selected) {
  int i = 0;
  for (CControl* b : buttons) {
    if (b) {
      b->setValue(i == selected ? 1.0f : 0.0f);
      b->setDirty();
    }
    ++i;
  }
}

template <typename T, size_t N>
std::string_view at(const std::array<T, N>& table, int i) {
  return table[static_cast<size_t>(std::clamp(i, 0, static_cast<int>(N) - 1))];
}

int clampType(int type) { return std::clamp(type, 0, NUM_DISTORT_TYPES - 1); }

}  // namespace

// ==== Main screen ====

void uEditor::showMainScreen() {
  if (!plugin || !frame) return;
  mainScreenShown = false;
  frame->removeAll(false);
  frame->setBackground(mainBackground());
  for (CViewContainer* box : {distortBox, filterBox, compressorBox, widenerBox, bottomBox})
    if (box) frame->addView(box);
  updatePath();
  const auto add = [this](CView* v) {
    if (v) frame->addView(v);
  };
  add(presetMenu);
  showCurrentPresetMenu();
  add(folderMenu);
  if (folderMenu) folderMenu->setString("Introduction Bank");
  for (CView* v : std::initializer_list<CView*>{ecsMenu, controlMenuArea, helpButton, editedButton,
                                                originalButton, headerSwitch, managerButton, settingsButton})
    add(v);
  for (TVu* vu : vuMeters) add(vu);
  add(headerVolumeKnob);
  selectRadio({tabButtons[0], tabButtons[1], tabButtons[2], tabButtons[3]}, bottomTab);
  for (TRadioButton* tab : tabButtons) add(tab);
  add(pathMenu);
  mainScreenShown = true;
  frame->invalid();
}

void uEditor::updatePresetMenu() {
  if (!plugin || !presetMenu) return;
  char name[64] = {};  // the program name is at most 28 characters
  plugin->getProgramName(name);
  presetMenu->setString(name);
  presetMenu->setDirty();
}

void uEditor::resumeLayout() {
  updatePresetMenu();
  setMenuResume(pathMenu);
  selectRadio({tabButtons[0], tabButtons[1], tabButtons[2], tabButtons[3]}, bottomTab);
}

// ==== Module boxes ====

void uEditor::updatePath() {
  if (!plugin || pathBusy) return;
  const int path = std::clamp(static_cast<int>(plugin->getModulePath()), 0, NUM_MODULE_PATHS - 1);
  if (path == shownModulePath) return;
  pathBusy = true;
  shownModulePath = path;
  // Stages in engine order: distortion, filter, compressor, widener; each box sized by its art.
  CViewContainer* const boxes[4] = {distortBox, filterBox, compressorBox, widenerBox};
  CBitmap* const sizes[4] = {distortBoxBitmap(0, false), bitmap(FILTER_BOX_BMP), bitmap(COMPRESSOR_BOX_BMP),
                             bitmap(WIDENER_BOX_BMP)};
  int left = getScaled(29);
  const int top = getScaled(117);
  for (int stage : MODULE_PATHS[path]) {
    CBitmap* size = sizes[stage];
    const int w = size ? static_cast<int>(size->getWidth()) : 0,
              h = size ? static_cast<int>(size->getHeight()) : 0;
    if (CViewContainer* box = boxes[stage]) {
      const CRect r(left, top, left + w, top + h);
      box->setViewSize(r, true);
      box->setMouseableArea(r);
    }
    left += w;
  }
  if (pathMenu) pathMenu->setString(std::string(MODULE_PATH_STR[static_cast<size_t>(path)]));
  pathBusy = false;
}

void uEditor::showDistort() {
  if (!plugin) return;
  const int type = clampType(plugin->getDistortType());
  const int knobs = FX_DIALS[static_cast<size_t>(type)];
  const bool oldEQShown = plugin->getOnOff(OLD_EQ_TAG) && selectedEQ == 1;
  rebuildBox(distortBox, distortPass.busy, distortBoxBitmap(knobs, oldEQShown), [&](auto add) {
    if (type != 0) {
      for (int i = 0; i < std::max(knobs, 1); ++i) {
        const bool centred = FX_DIAL_IS_CENTERED[static_cast<size_t>(type)][static_cast<size_t>(i)] != 0;
        add(centred ? typeKnobsCentred[i] : typeKnobs[i]);
        const std::string caption(DISTORT_LABEL_STR[static_cast<size_t>(type * NUM_DISTORT_KNOBS + i)]);
        for (TKnob* k : {typeKnobs[i], typeKnobsCentred[i]})
          if (k) k->setString(caption);
      }
    }
    // The destination selectors name the type knobs after the current type.
    for (size_t i = 0; i < NUM_DISTORT_KNOBS; ++i)
      destMenuNames[DEST_DISTORT_AMT[i]] =
          DISTORT_DEST_STR[static_cast<size_t>(type) * NUM_DISTORT_KNOBS + i];
    for (const DestSelector* s : {&followerDestMenus[0], &followerDestMenus[1], &followerDestMenus[2],
                                  &lfoDestMenus[0], &lfoDestMenus[1], &lfoDestMenus[2], &lfoDestMenus[3]})
      if (TOptionMenu* knobDests = s->subs[1])
        for (size_t i = 0; i < NUM_DISTORT_KNOBS; ++i)
          knobDests->setEntry(static_cast<int32_t>(i), destMenuNames[DEST_DISTORT_AMT[i]]);
    add(mainMixKnob);
    add(distortVolumeKnob);
    if (distortTypeMenu) distortTypeMenu->setString(std::string(DISTORT_TYPE_STR[static_cast<size_t>(type)]));
    add(distortTypeMenu);
    add(distortScreen);
    if (selectedEQ == 1) add(oldEQSwitch);
    add(preEQSwitch);
    add(postEQSwitch);
    selectRadio({eqViewButtons[0], eqViewButtons[1]}, selectedEQ);
    add(eqViewButtons[0]);
    add(eqViewButtons[1]);
    if (!oldEQShown) {
      if (eqScreen) eqScreen->setEQ(selectedEQ);
      add(eqScreen);
    } else {
      for (TKnob* k : oldEQKnobs) add(k);
    }
    add(gateSwitch);
    for (TKnob* k : gateKnobs) add(k);
    add(gateLamp);
  });
}

void uEditor::updateDistort(int newType) {
  if (!plugin) return;
  const int old = clampType(plugin->getDistortType());
  // Type 0 has no knobs of its own: leaving it keeps nothing.
  if (old != 0)
    for (size_t i = 0; i < NUM_DISTORT_VARS; ++i)
      distortTypeMemory[static_cast<size_t>(old)][i] = plugin->getParameter(DISTORT_VAR_TAGS[i]);
  plugin->setSteppedValue(DISTORT_TYPE_TAG, clampType(newType));
  const auto t = static_cast<size_t>(clampType(plugin->getDistortType()));
  const DistortRecord& now = distortTypeMemory[t];
  const DistortRecord& defaults = DISTORT_TYPE_DEFAULTS[t];
  const auto recall = [&](size_t i, std::initializer_list<TKnob*> shown) {
    plugin->setParameter(DISTORT_VAR_TAGS[i], now[i]);
    for (TKnob* k : shown) {
      if (!k) continue;
      k->setValue(now[i]);
      k->setDefaultValue(defaults[i]);
    }
  };
  for (size_t i = 0; i < NUM_DISTORT_KNOBS; ++i) recall(i, {typeKnobs[i], typeKnobsCentred[i]});
  // The main mix comes back with the type; the volume (entry 8) is kept but stays as it is.
  constexpr size_t MIX_ENTRY = 9;
  recall(MIX_ENTRY, {mainMixKnob});
  // The recall is not automation, so the host's own view of the knobs must be told.
  requestHostReread();
  distortPass.refresh = true;
  // The wave-shaper types are drawn on the WaveShaper tab.
  if (static_cast<int>(t) >= DISTORT_GROUP_START[WAVESHAPER_GROUP]) {
    bottomTab = WAVESHAPER_TAB;
    bottomPass.refresh = true;
  }
}

const DistortRecord& uEditor::getDistortTypeMemory(int type) const {
  return distortTypeMemory[static_cast<size_t>(clampType(type))];
}

const std::string& uEditor::getDestMenuName(int dest) const {
  return destMenuNames[std::clamp(dest, 0, static_cast<int>(std::size(destMenuNames)) - 1)];
}

void uEditor::showFilter() {
  if (!plugin) return;
  rebuildBox(filterBox, filterPass.busy, bitmap(FILTER_BOX_BMP), [&](auto add) {
    selectRadio({highPassTypeButtons[0], highPassTypeButtons[1]}, plugin->getFilterType(HP_TYPE_TAG) ? 1 : 0);
    selectRadio({lowPassTypeButtons[0], lowPassTypeButtons[1]}, plugin->getFilterType(LP_TYPE_TAG) ? 1 : 0);
    for (CView* v : std::initializer_list<CView*>{
             highPassTypeButtons[0], highPassTypeButtons[1], lowPassTypeButtons[0], lowPassTypeButtons[1],
             highPassSwitch, highPassZDSwitch, lowPassSwitch, lowPassZDSwitch})
      add(v);
    for (TKnob* k : filterKnobs) add(k);
  });
}

void uEditor::showCompressor() {
  if (!plugin) return;
  rebuildBox(compressorBox, compressorPass.busy, bitmap(COMPRESSOR_BOX_BMP), [&](auto add) {
    for (CView* v : compressorPass.shown) add(v);
  });
}

void uEditor::showWidenChorus() {
  if (!plugin) return;
  const bool chorus = plugin->getOnOff(CHORUS_MODE_TAG);
  rebuildBox(widenerBox, widenerPass.busy, bitmap(chorus ? CHORUS_BOX_BMP : WIDENER_BOX_BMP), [&](auto add) {
    for (TKnob* k : chorus ? chorusKnobs : widenerKnobs) add(k);
    add(chorus ? chorusOnSwitch : widenerOnSwitch);
    add(widenerModeSwitch);
    add(widenerDisplay);
  });
}

// ==== Bottom box ====

void uEditor::showBottomScreen() {
  if (!plugin) return;
  bottomTab = std::clamp(bottomTab, 0, 3);
  lfoPage = std::clamp(lfoPage, 0, 3);
  selectRadio({tabButtons[0], tabButtons[1], tabButtons[2], tabButtons[3]}, bottomTab);
  const bool advanced = plugin->getOnOff(MOD_ADVANCED_TAG);
  CBitmap* background = bottomBitmap(bottomTab == 3 && advanced ? 4 : bottomTab);
  rebuildBox(bottomBox, bottomPass.busy, background, [&](auto add) {
    switch (bottomTab) {
      case 0:
        for (TKnob* k : disruptKnobs) add(k);
        add(disruptSpeedKnob);
        for (TOnOff* s : disruptOnSwitches) add(s);
        add(disruptSwitch85);
        add(disruptSwitch132);
        // Lazy mode's rocker: the only control of that setting.
        add(disruptRocker);
        for (TOptionMenu* m : {disruptSpringMenu, disruptQuantMenu}) {
          add(m);
          setMenuResume(m);
        }
        add(disruptSlider);
        add(disruptResetButton);
        break;
      case 1:
        for (TKnob* k : followerKnobs) add(k);
        for (TKnob* k : followerAmountKnobs) add(k);
        for (TKnob* k : followerModAmountKnobs) add(k);
        for (int j = 0; j < 3; ++j) {
          add(followerOnSwitches[j]);
          if (TOptionMenu* m = followerDestMenus[j].main) {
            m->setString(getDestMenuName(plugin->getDestForTag(FOLLOWER_DEST_1_TAG + j)));
            add(m);
          }
          if (TOptionMenu* m = followerSourceMenus[j].main) {
            m->setString(std::string(at(SRC_STR, plugin->getSrcForTag(FOLLOWER_MOD_SRC_1_TAG + j))));
            add(m);
          }
        }
        add(followerSourceMenu);
        setMenuResume(followerSourceMenu);
        add(followerScreen);
        break;
      case 2:
        selectRadio({polarityButtons[0], polarityButtons[1]}, plugin->getWaveShaperPolarMode() ? 1 : 0);
        for (TRadioButton* b : polarityButtons) add(b);
        selectRadio({drawModeButtons[0], drawModeButtons[1], drawModeButtons[2]}, waveShaperDrawMode);
        for (TRadioButton* b : drawModeButtons) add(b);
        for (TKnob* k : waveShaperKnobs) add(k);
        for (TWaveShaperScreen* s : waveShaperScreens) {
          if (s) s->setDrawMode(waveShaperDrawMode);
          add(s);
        }
        for (int i = 0; i < 2; ++i) {
          add(waveShaperModeMenus[i]);
          setMenuResume(waveShaperModeMenus[i]);
        }
        break;
      default: {
        const int l = lfoPage;
        const auto L = static_cast<size_t>(l);
        add(modScreens[advanced ? 1 : 0]);
        add(advancedSwitch);
        TRadioButton* const* modes = lfoModeButtons[l];
        selectRadio({modes[0], modes[1], modes[2], modes[3]}, plugin->getLFOMode(l));
        for (int k = 0; k < 4; ++k) add(modes[k]);
        for (CView* v : std::initializer_list<CView*>{lfoSpeedKnobs[l], lfoHumanizeKnobs[l], lfoShapeKnobs[l],
                                                      lfoAmountKnobs[l], lfoSyncSwitches[l], lfoWaveMenus[l],
                                                      lfoTriggerMenus[l]})
          add(v);
        if (TOptionMenu* m = lfoDestMenus[l].main) {
          add(m);
          m->setString(getDestMenuName(plugin->getDestForTag(LFO_DEST_TAGS[L])));
        }
        setMenuResume(lfoWaveMenus[l]);
        setMenuResume(lfoTriggerMenus[l]);
        if (lfoScreen) lfoScreen->setLFO(l);
        add(lfoScreen);
        break;
      }
    }
    // Then the views the tab shows every time, on top.
    for (const TabView& t : bottomTabShown[static_cast<size_t>(bottomTab)]) {
      if (auto* radio = dynamic_cast<CControl*>(t.view); radio && t.selected)
        selectRadio({radio}, t.selected() ? 0 : -1);
      add(t.view);
    }
  });
}
