// Routing from the controls to the plug-in: a control's bound action (set where the layout makes
// it), else the parameter menus by tag, else the generic row. Also the keyboard's program steps,
// the Help viewer, the wave-shaper's distortion curve and the modulation drag-and-drop by which a
// knob's parameter is dropped onto a modulation target.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <vector>

#include "controls/pluginControls.h"
#include "platform/dialogs.h"
#include "platform/os/processRunner.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"
#include "vstgui/x11keys.h"
#include "waveShaper.h"

using namespace VSTGUI;

namespace {

// The first of names[0..count-1] equal to title as a whole, or -1.
template <typename Names>
int titleIndex(const Names& names, size_t count, const std::string& title) {
  for (size_t i = 0; i < count; ++i)
    if (std::string_view(names[i]) == title) return static_cast<int>(i);
  return -1;
}

// Parameter menus are recognised by their tag (a selector's sub-menus carry the main menu's
// tag), and the chosen entry by its index or, where sub-menus hold the entries, by its title.
enum class MenuAction { Step, StepPath, StepBottom, Type, Dest, Source };
struct MenuRow {
  int first, last;  // tags, inclusive
  MenuAction action;
  bool lfoPaged;  // one menu per LFO page (first + page); only the shown page's counts
};
constexpr MenuRow MENU_ROWS[] = {
    {MODULE_PATH_TAG, MODULE_PATH_TAG, MenuAction::StepPath, false},
    {DISTORT_TYPE_TAG, DISTORT_TYPE_TAG, MenuAction::Type, false},
    {DISRUPT_QUANT_TAG, DISRUPT_SPRING_TAG, MenuAction::Step, false},
    {FOLLOWER_SOURCE_TAG, FOLLOWER_SOURCE_TAG, MenuAction::Step, false},
    {FOLLOWER_DEST_1_TAG, FOLLOWER_DEST_1_TAG + 2, MenuAction::Dest, false},
    {FOLLOWER_MOD_SRC_1_TAG, FOLLOWER_MOD_SRC_1_TAG + 2, MenuAction::Source, false},
    {LFO_WAVE_TAGS[0], LFO_WAVE_TAGS[3], MenuAction::Step, true},
    {LFO_DEST_TAGS[0], LFO_DEST_TAGS[3], MenuAction::Dest, true},
    {LFO_TRIGGER_TAGS[0], LFO_TRIGGER_TAGS[3], MenuAction::Step, true},
    {WAVESHAPER_DISTORT_MODE_TAGS[0], WAVESHAPER_DISTORT_MODE_TAGS[0], MenuAction::StepBottom, false},
    {WAVESHAPER_DISTORT_MODE_TAGS[1], WAVESHAPER_DISTORT_MODE_TAGS[1], MenuAction::StepBottom, false},
};

}  // namespace

// ==== Controls ====

void uEditor::valueChanged(CControl* control) {
  if (!frame || !plugin || !control) return;
  ControlEvent event;
  event.value = control->getValue();
  auto* menu = dynamic_cast<COptionMenu*>(control);
  if (menu) {
    event.index = menu->getCurrentIndex(true);
    if (const CMenuItem* item = menu->getCurrent()) event.title = item->getTitle();
  }
  if (registry.run(control, event)) return;
  // Every menu of the layout has an action or is a parameter menu: a menu's value is an entry
  // number, never a parameter value for the generic row.
  if (menu) {
    routeParameterMenu(control, event.index, event.title);
    return;
  }
  const int tag = control->getTag();
  const float value = event.value;
  if (tag >= DISRUPT_SLOT_AMT_1_TAG && tag < DISRUPT_SLOT_AMT_1_TAG + NUM_DISRUPT_SLOTS) {
    plugin->setParameterAutomated(tag, value);
    // A slot switches itself on as soon as its amount leaves the centre.
    if (std::abs(value - 0.5f) > 0.01f) plugin->setDisruptOn(tag - DISRUPT_SLOT_AMT_1_TAG);
    return;
  }
  // Only tags the host was told of (buttons without a parameter carry 9999 and do nothing).
  if (isValidTag(tag)) plugin->setParameterAutomated(tag, value);
}

void uEditor::routeParameterMenu(CControl* menu, int index, const std::string& title) {
  const int tag = menu->getTag();
  const auto row = std::find_if(std::begin(MENU_ROWS), std::end(MENU_ROWS),
                                [tag](const MenuRow& r) { return tag >= r.first && tag <= r.last; });
  if (row == std::end(MENU_ROWS) || (row->lfoPaged && tag - row->first != lfoPage)) return;
  // The choices below are stored without automation.
  requestHostReread();
  int n = -1;
  switch (row->action) {
    case MenuAction::Step:
    case MenuAction::StepPath:
    case MenuAction::StepBottom:
      if (index < 0) return;
      plugin->setSteppedValue(tag, index);
      pathRefresh |= row->action == MenuAction::StepPath;
      bottomPass.refresh |= row->action == MenuAction::StepBottom;
      break;
    case MenuAction::Type:
      if ((n = titleIndex(DISTORT_TYPE_STR, DISTORT_TYPE_STR.size(), title)) >= 0) updateDistort(n);
      break;
    case MenuAction::Dest:
      if ((n = titleIndex(destMenuNames, NUM_MOD_DESTS, title)) >= 0) plugin->setSteppedValue(tag, n);
      break;
    case MenuAction::Source:
      if ((n = titleIndex(SRC_STR, SRC_STR.size(), title)) >= 0) plugin->setSteppedValue(tag, n);
      break;
  }
}

// The wave-shaper screen draws this curve over the drawn one; Apply writes it into the points.
float uEditor::getWaveShaperDistortValues(int ws, int point) {
  if (!plugin || ws < 0 || ws > 1 || point < 0 || point >= WAVESHAPER_POINTS) return 0.0f;
  const auto i = static_cast<size_t>(ws);
  return waveshaper::waveShaperValue(
      plugin->getWaveShaperDistortMode(ws), plugin->getParameter(WAVESHAPER_DISTORT_1_TAGS[i]),
      plugin->getParameter(WAVESHAPER_DISTORT_2_TAGS[i]), plugin->getWaveShaperPolarMode(), point);
}

// ==== Help ====

void uEditor::openHelp() {
  if (!plugin) return;
  // The stored manual, else the copy in the bundle (a stored path outlives a moved or
  // reinstalled plug-in).
  std::vector<std::string> tried;
  for (const std::string& candidate : {plugin->helpDir, bundledManualPath()}) {
    if (candidate.empty() || std::find(tried.begin(), tried.end(), candidate) != tried.end()) continue;
    tried.push_back(candidate);
    if (!isReadableFile(candidate)) continue;
    // The absolute path is one argument: no shell sees it and a name beginning with '-' cannot
    // pass for an option.
    char* real = ::realpath(candidate.c_str(), nullptr);
    if (!real) continue;
    const std::string path(real);
    std::free(real);
    if (!platform::startDetached({"xdg-open", path}))
      messageBox("The manual " + path + " could not be shown: xdg-open did not start (package xdg-utils).",
                 2);
    return;
  }
  std::string where;
  for (const std::string& t : tried) where += (where.empty() ? "" : " or ") + t;
  messageBox("The manual could not be opened: there is no readable file at " +
                 (where.empty() ? std::string("(no path set)") : where) + ".",
             2);
}

void uEditor::reapChildren() { platform::reapDetachedChildren(); }

// ==== Keyboard and program steps ====

bool uEditor::takeProgramStep() {
  const uint32_t now = getTicks();
  // A clock that went back (a wrapped counter) must not block the keys for days.
  if (now < lastStepTicks) lastStepTicks = now - (PROGRAM_STEP_MS + 1);
  if (now - lastStepTicks < PROGRAM_STEP_MS) return false;
  lastStepTicks = now;
  return true;
}

void uEditor::changeProgramDelta(int delta) {
  if (plugin && takeProgramStep()) plugin->changeDemoProgramDelta(delta);
}

void uEditor::changeFolderDelta(int) {}

void uEditor::setKeyboardOn(bool on) {
  keyboardOn = on;
  // Hosts that pass no keys to the editor (Ardour) leave the window system's focus as the only
  // way in; without the setting the editor has no use for keys and never takes the focus.
  if (frame) frame->setKeyboardFocusOnClick(on);
}

int32_t uEditor::onKeyDown(const VstKeyCode& code, CFrame*) {
  if (!keyboardOn) return -1;
  switch (code.virt) {
    case X11::kVKeyUp:
      changeProgramDelta(-1);
      return 1;
    case X11::kVKeyDown:
      changeProgramDelta(1);
      return 1;
    case X11::kVKeyPageUp:
    case X11::kVKeyPageDown:
      return 1;  // kept from the host, without effect
    default:
      return -1;
  }
}

int32_t uEditor::onKeyUp(const VstKeyCode&, CFrame*) { return -1; }

// ==== The control under edit ====

void uEditor::setEditTag(int tag) {
  if (!isValidTag(tag)) {
    editControl = nullptr;
    return;
  }
  // Two controls may share a tag (two volume knobs, a type knob and its hidden twin): the one
  // the user holds, else the first on screen, so tool-tips and drops follow what is seen.
  CControl* edited = nullptr;
  CControl* shown = nullptr;
  bool any = false;
  forEachControlWithTag(tag, [&](const RegistryEntry& e) {
    if (!e.control) return;
    any = true;
    if (!edited && e.control->isEditing()) edited = e.control;
    if (!shown && e.control->isAttached()) shown = e.control;
  });
  if (any) editControl = edited ? edited : shown;
}

// ==== Modulation drag-and-drop ====

void uEditor::setDropTag(int tag) {
  if (!plugin) return;
  modDrag = {tag, false, isValidTag(tag) ? plugin->getParameter(tag) : 0.0f};
}

void uEditor::releasedDropDial() { modDrag.released = true; }

bool uEditor::isDroppable(int tag) { return isValidTag(tag) && droppable[tag]; }

bool uEditor::takeDrop(int& tag, float& value) {
  // While the knob is still held nothing happens: the drop is the release.
  if (!plugin || !modDrag.released || !isDroppable(modDrag.tag)) return false;
  tag = modDrag.tag;
  value = modDrag.value;
  modDrag = ModDrag{};
  return true;
}

void uEditor::dropMod() {
  int tag = -1;
  float value = 0.0f;
  if (!takeDrop(tag, value)) return;
  // The knob goes back to where the drag began; its parameter becomes a new route instead.
  plugin->setParameterAutomated(tag, value);
  const int dest = plugin->getDestByTag(tag);
  if (dest < 1) return;
  for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
    if (plugin->getDestForModSlot(s) != 0) continue;
    plugin->setModSlotVariables(s, false, 0.5f, -1, dest);
    bottomPass.refresh = true;
    return;
  }
}

void uEditor::dropMod(int destinationTag, int amountTag) {
  int tag = -1;
  float value = 0.0f;
  if (!takeDrop(tag, value)) return;
  // A Disrupt amount knob is a target itself: a click on it is no drop onto itself.
  if (amountTag == tag) return;
  plugin->setParameterAutomated(tag, value);
  const int dest = plugin->getDestByTag(tag);
  if (dest < 1) return;
  plugin->setDestForTag(destinationTag, dest);
  plugin->setParameterAutomated(amountTag, 1.0f);
  bottomPass.refresh = true;
  const int slot = destinationTag - DISRUPT_DEST_TAGS[0];
  if (slot >= 0 && slot < NUM_DISRUPT_SLOTS) plugin->setOn(DISRUPT_ON_TAGS[static_cast<size_t>(slot)]);
}
