// Show operations: the frame and each box rebuilt as a whole from what its builder listed when a
// setting they depend on changes (the background follows the settings too), and the
// distortion-type knob memory.
#include <algorithm>
#include <initializer_list>

#include "controls/pluginScreens.h"
#include "layoutPlaces.h"
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

// Adds the listed views shown now, each brought up to date first.
template <typename Add>
void addListed(const uEditor::ViewList& list, Add&& add) {
  for (const uEditor::ListedView& v : list) {
    if (!v.view || (v.when && !v.when())) continue;
    if (v.before) v.before();
    add(v.view);
  }
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

int clampType(int type) { return std::clamp(type, 0, NUM_DISTORT_TYPES - 1); }

}  // namespace

std::vector<uEditor::ViewList*> uEditor::shownLists() {
  std::vector<ViewList*> lists{&mainShown};
  for (BoxPass* box : boxPasses()) lists.push_back(&box->shown);
  for (ViewList& tab : bottomTabShown) lists.push_back(&tab);
  return lists;
}

// ==== Main screen ====

void uEditor::showMainScreen() {
  if (!plugin || !frame) return;
  mainScreenShown = false;
  frame->removeAll(false);
  frame->setBackground(mainBackground());
  for (CViewContainer* box : {distortBox, filterBox, compressorBox, widenerBox, bottomBox})
    if (box) frame->addView(box);
  updatePath();
  addListed(mainShown, [this](CView* v) { frame->addView(v); });
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
  selectRadio(
      {tabButtons[DISRUPT_TAB], tabButtons[FOLLOWER_TAB], tabButtons[WAVESHAPER_TAB], tabButtons[MOD_TAB]},
      bottomTab);
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
  int left = getScaled(MODULE_BOX_ORIGINS[0].x);
  const int top = getScaled(MODULE_BOX_ORIGINS[0].y);
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

int uEditor::shownDistortType() const { return plugin ? clampType(plugin->getDistortType()) : 0; }

bool uEditor::oldEQShown() const { return plugin && plugin->getOnOff(OLD_EQ_TAG) && selectedEQ == 1; }

void uEditor::showDistort() {
  if (!plugin) return;
  const int type = shownDistortType();
  rebuildBox(distortBox, distortPass.busy,
             distortBoxBitmap(FX_DIALS[static_cast<size_t>(type)], oldEQShown()), [&](auto add) {
               nameTypeKnobDestinations(type);
               addListed(distortPass.shown, add);
             });
}

// The destination selectors name the type knobs after the current type.
void uEditor::nameTypeKnobDestinations(int type) {
  for (size_t i = 0; i < NUM_DISTORT_KNOBS; ++i)
    destMenuNames[DEST_DISTORT_AMT[i]] = DISTORT_DEST_STR[static_cast<size_t>(type) * NUM_DISTORT_KNOBS + i];
  for (const DestSelector* s : {&followerDestMenus[0], &followerDestMenus[1], &followerDestMenus[2],
                                &lfoDestMenus[0], &lfoDestMenus[1], &lfoDestMenus[2], &lfoDestMenus[3]})
    if (TOptionMenu* knobDests = s->subs[1])
      for (size_t i = 0; i < NUM_DISTORT_KNOBS; ++i)
        knobDests->setEntry(static_cast<int32_t>(i), destMenuNames[DEST_DISTORT_AMT[i]]);
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
  rebuildBox(filterBox, filterPass.busy, bitmap(FILTER_BOX_BMP),
             [&](auto add) { addListed(filterPass.shown, add); });
}

void uEditor::showCompressor() {
  if (!plugin) return;
  rebuildBox(compressorBox, compressorPass.busy, bitmap(COMPRESSOR_BOX_BMP),
             [&](auto add) { addListed(compressorPass.shown, add); });
}

void uEditor::showWidenChorus() {
  if (!plugin) return;
  CBitmap* background = bitmap(plugin->getOnOff(CHORUS_MODE_TAG) ? CHORUS_BOX_BMP : WIDENER_BOX_BMP);
  rebuildBox(widenerBox, widenerPass.busy, background, [&](auto add) { addListed(widenerPass.shown, add); });
}

// ==== Bottom box ====

void uEditor::showBottomScreen() {
  if (!plugin) return;
  setBottomTab(bottomTab);
  lfoPage = std::clamp(lfoPage, 0, 3);
  selectRadio(
      {tabButtons[DISRUPT_TAB], tabButtons[FOLLOWER_TAB], tabButtons[WAVESHAPER_TAB], tabButtons[MOD_TAB]},
      bottomTab);
  // The advanced matrix has a background of its own, after the four tabs'.
  constexpr int ADVANCED_MOD_BACKGROUND = NUM_BOTTOM_TABS;
  const bool advanced = bottomTab == MOD_TAB && plugin->getOnOff(MOD_ADVANCED_TAG);
  rebuildBox(bottomBox, bottomPass.busy, bottomBitmap(advanced ? ADVANCED_MOD_BACKGROUND : bottomTab),
             [&](auto add) { addListed(bottomTabShown[static_cast<size_t>(bottomTab)], add); });
}
