// The pop-up command menus: the parameter menu (values, MIDI learn, modulation), the settings
// menu, the EQ and matrix menus with their undo and clipboard buffers, and the destination
// menu. Each menu is made for one call at the pointer, runs modally, and is taken out of the
// frame and released before its closing steps. An entry is known by its title and by the menu
// that holds it: the same title can stand in two sub-menus with different meanings.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

#include "dsp/unitLaws.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

// Style value of every command menu (no bitmaps, shown as a pop-up list).
constexpr int32_t MENU_STYLE = 272;
constexpr CCoord DEST_MENU_HALF = 10;

std::string decimal(int n) {
  char buffer[16];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), n);
  (void)ec;  // 16 bytes hold any int
  return std::string(buffer, end);
}

std::string heading(std::string_view text) { return "-G" + std::string(text); }

void addEntries(COptionMenu& menu, std::initializer_list<std::string_view> titles) {
  for (std::string_view t : titles) menu.addEntry(std::string(t));
}

// A sub-menu of the same kind as menu.
COptionMenu* newSubMenu(const COptionMenu& menu) {
  return new COptionMenu(menu.getViewSize(), nullptr, NO_PARAM_TAG, nullptr, nullptr, MENU_STYLE);
}

// The entry keeps the sub-menu alive; our own reference goes.
void addSubMenu(COptionMenu& menu, COptionMenu* sub, std::string_view title) {
  menu.addEntry(sub, std::string(title));
  sub->forget();
}

// ---- Parameter menu ----

enum class ValueCommand {
  Default,
  Minimum,
  Maximum,
  Mid,
  Value,
  Random,
  Increase,
  Decrease,
  Latch,
  Unlatch,
  SetCC,
  ClearMidi
};
struct ValueCommandTitle {
  ValueCommand command;
  std::string_view title;
};
constexpr ValueCommandTitle VALUE_COMMANDS[] = {
    {ValueCommand::Default, "Set to Default"}, {ValueCommand::Minimum, "Set to Minimum"},
    {ValueCommand::Maximum, "Set to Maximum"}, {ValueCommand::Mid, "Set to Mid"},
    {ValueCommand::Value, "Set to Value"},     {ValueCommand::Random, "Set to Random"},
    {ValueCommand::Increase, "Increase"},      {ValueCommand::Decrease, "Decrease"},
};
constexpr ValueCommandTitle MIDI_COMMANDS[] = {
    {ValueCommand::Latch, "Latch to MIDI"},
    {ValueCommand::Unlatch, "Unlatch MIDI"},
    {ValueCommand::SetCC, "Set MIDI CC"},
    {ValueCommand::ClearMidi, "Clear All MIDI"},
};

enum class SlotCommand { DefaultAmount, Bypass, UnBypass, Clear };
struct SlotCommandTitle {
  SlotCommand command;
  std::string_view title;
};
constexpr SlotCommandTitle SLOT_COMMANDS[] = {
    {SlotCommand::DefaultAmount, "Default Modulations Slot Amount"},
    {SlotCommand::Bypass, "Bypass Modulations Slot"},
    {SlotCommand::UnBypass, "UnBypass Modulations Slot"},
    {SlotCommand::Clear, "Clear Modulation Slot"},
};

template <typename Row, size_t N>
const Row* findTitle(const Row (&rows)[N], std::string_view title) {
  for (const Row& r : rows)
    if (r.title == title) return &r;
  return nullptr;
}

constexpr std::string_view MIDI_SOURCE_MENU = "Set Modulation Matrix To MIDI Source";
constexpr std::string_view MOD_SOURCE_MENU = "Set Modulation Matrix To Mod Source";

// The built-in sources with a destination selector of their own, by sub-menu.
struct SelectorMenu {
  std::string_view menuTitle;
  std::string_view itemPrefix;  // "" takes the names of LFO_STR
  int firstTag;
  int count;
};
constexpr SelectorMenu SELECTOR_MENUS[] = {
    {"Modulate By Disrupt", "Disrupt ", DISRUPT_DEST_TAGS[0], NUM_DISRUPT_SLOTS},
    {"Modulate By Volume Follower", "Follower ", FOLLOWER_DEST_1_TAG, 3},
    {"Modulate By LFO", "", LFO_DEST_TAGS[0], static_cast<int>(LFO_DEST_TAGS.size())},
};

std::string selectorItem(const SelectorMenu& m, int i) {
  return m.itemPrefix.empty() ? std::string(LFO_STR[static_cast<size_t>(i)])
                              : std::string(m.itemPrefix) + decimal(i + 1);
}

// ---- Settings menu ----

constexpr std::string_view SET_MIDI_CHANNEL = "Set MIDI Input Channel";
constexpr std::string_view ABOUT = "About Grindle 2";
constexpr std::string_view ABOUT_TEXT =
    "Grindle 2 by Kestrune\n\n"
    "A stereo distortion multi-effect: 52 distortion types with pre- and post-EQ and noise gate, "
    "filters, compressor, widener and chorus in any order, modulated by four LFOs, an envelope "
    "follower, Disrupt and a ten-slot modulation matrix.";

std::string channelName(int channel) {
  if (channel == 0) return "Omni";
  if (channel >= 1 && channel <= 16) return std::string(channel < 10 ? "CH 0" : "CH ") + decimal(channel);
  return decimal(channel);  // a value written by other means than this menu
}

// "name: On" or "name: Off". The settings entries name the present state, except "Turn Dial
// Animation", which names what choosing it does.
std::string stateTitle(std::string_view name, bool on) { return std::string(name) + (on ? ": On" : ": Off"); }

}  // namespace

// ==== Mechanics ====

uint32_t uEditor::menuRandomSeed() {
  return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

void uEditor::resetCommandBuffers() {
  eqUndoBuffer.fill(0.0f);
  eqClipboard.fill(0.0f);
  modUndoBuffer.fill(0.0f);
  modClipboard.fill(0.0f);
  modSlotClipboard.fill(0.0f);
  waveShaperUndoBuffer.fill(0.0f);
  waveShaperClipboard.fill(0.0f);
  eqUndoValid = eqClipboardValid = modUndoValid = modClipboardValid = modSlotClipboardValid = false;
  waveShaperUndoValid = waveShaperClipboardValid = false;
}

COptionMenu* uEditor::newPopup(CCoord half) const {
  CPoint at;
  if (frame) frame->getCurrentMouseLocation(at);
  return new COptionMenu(CRect(at.x - half, at.y - half, at.x + half, at.y + half), nullptr, NO_PARAM_TAG,
                         nullptr, nullptr, MENU_STYLE);
}

uEditor::MenuPick uEditor::runPopup(COptionMenu* menu) {
  MenuPick pick;
  if (!frame || !frame->addView(menu)) {
    menu->forget();
    return pick;
  }
  menu->popup();
  frame->looseFocus();
  int32_t index = -1;
  if (COptionMenu* holder = menu->getLastItemMenu(index); holder && holder->getEntry(index)) {
    pick.index = index;
    pick.title = holder->getEntry(index)->getTitle();
    pick.chosen = holder == menu;
    for (int32_t i = 0; i < menu->getNbEntries() && !pick.chosen; ++i) {
      const CMenuItem* entry = menu->getEntry(i);
      if (entry->getSubmenu() == holder) {
        pick.subMenu = entry->getTitle();
        pick.chosen = true;
      }
    }
  }
  frame->removeView(menu, true);
  // Many commands store their values without automation; one re-read after any choice is
  // simpler and cheaper than telling them apart.
  if (pick.chosen) requestHostReread();
  return pick;
}

// ==== Parameter menu ====

void uEditor::showMIDIMenu(CControl* control, const CPoint&) {
  if (!frame || !plugin || !control) return;
  const int tag = control->getTag();
  if (tag < 1 || tag >= NUM_PARAMS) return;  // tag 0 is no parameter, and "no controller" in the map
  const int dest = plugin->getDestByTag(tag);

  COptionMenu* menu = newPopup(COMMAND_MENU_HALF);
  char name[PARAM_NAME_BUFFER] = {};
  char display[PARAM_DISPLAY_BUFFER] = {};
  plugin->getParameterName(tag, name);
  plugin->getParameterDisplay(tag, display);
  addEntries(*menu, {heading(name), heading(display), "-"});
  bool latched = false;
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) {
    if (plugin->getMidiCCTag(cc) != tag) continue;
    menu->addEntry(heading("MIDI CC :" + decimal(cc)));
    latched = true;
  }
  if (!latched) menu->addEntry(heading("Not Latched"));
  menu->addEntry("-");
  for (const ValueCommandTitle& c : VALUE_COMMANDS) menu->addEntry(std::string(c.title));
  menu->addEntry("-");
  for (const ValueCommandTitle& c : MIDI_COMMANDS) menu->addEntry(std::string(c.title));

  if (dest >= 0) {
    addEntries(*menu, {"-", heading("Modulated By :"), "-"});
    const int before = menu->getNbEntries();
    for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
      if (plugin->getDestForModSlot(s) != dest) continue;
      const int src = plugin->getSrcForModSlot(s);
      const std::string_view srcName =
          src >= 0 && src < NUM_MOD_SOURCES ? SRC_STR[static_cast<size_t>(src)] : "";
      menu->addEntry(heading("Slot " + decimal(s + 1) + ": " + std::string(srcName)));
    }
    for (const SelectorMenu& m : SELECTOR_MENUS)
      for (int i = 0; i < m.count; ++i)
        if (plugin->getDestForTag(m.firstTag + i) == dest) menu->addEntry(heading(selectorItem(m, i)));
    if (menu->getNbEntries() > before) menu->addEntry("-");

    COptionMenu* midiSources = newSubMenu(*menu);
    // The MIDI sources are the ones numbered below the first LFO.
    for (int src = 1; src < SRC_LFO_1; ++src)
      midiSources->addEntry(std::string(SRC_STR[static_cast<size_t>(src)]));
    addSubMenu(*menu, midiSources, MIDI_SOURCE_MENU);
    COptionMenu* modSources = newSubMenu(*menu);
    for (int src = SRC_LFO_1; src < NUM_MOD_SOURCES; ++src)
      modSources->addEntry(std::string(SRC_STR[static_cast<size_t>(src)]));
    addSubMenu(*menu, modSources, MOD_SOURCE_MENU);
    for (const SelectorMenu& m : SELECTOR_MENUS) {
      menu->addEntry("-");
      COptionMenu* sub = newSubMenu(*menu);
      for (int i = 0; i < m.count; ++i) sub->addEntry(selectorItem(m, i));
      addSubMenu(*menu, sub, m.menuTitle);
    }
    menu->addEntry("-");
    for (const SlotCommandTitle& c : SLOT_COMMANDS) menu->addEntry(std::string(c.title));
  }

  const MenuPick pick = runPopup(menu);
  runParameterCommand(pick, tag, dest);

  resumeNow();
  frame->invalid();
  frame->setDirty(false);
  doIdleStuff();
}

void uEditor::runParameterCommand(const MenuPick& pick, int tag, int dest) {
  if (!pick.chosen) return;
  if (pick.subMenu.empty()) {
    const ValueCommandTitle* c = findTitle(VALUE_COMMANDS, pick.title);
    if (!c) c = findTitle(MIDI_COMMANDS, pick.title);
    if (c) {
      switch (c->command) {
        case ValueCommand::Default:
          plugin->setParameterAutomated(tag, plugin->getDefault(tag));
          break;
        case ValueCommand::Minimum:
          plugin->setParameterAutomated(tag, 0.0f);
          break;
        case ValueCommand::Maximum:
          plugin->setParameterAutomated(tag, 1.0f);
          break;
        case ValueCommand::Mid:
          plugin->setParameterAutomated(tag, 0.5f);
          break;
        case ValueCommand::Value:
          plugin->setNumValue(tag);
          break;
        case ValueCommand::Random:
          plugin->setParameterAutomated(tag, static_cast<float>(menuRandom.nextInt()) / 32767.0f);
          break;
        case ValueCommand::Increase:
          plugin->changeDelta(tag, 1);
          break;
        case ValueCommand::Decrease:
          plugin->changeDelta(tag, -1);
          break;
        case ValueCommand::Latch:
          plugin->setMidiLatch(tag, true);
          break;
        case ValueCommand::Unlatch:
          plugin->setMidiLatch(tag, false);
          break;
        case ValueCommand::SetCC:
          plugin->setMidiCCNum(tag);
          break;
        case ValueCommand::ClearMidi:
          plugin->resetMidi();
          break;
      }
    }
  }
  if (dest < 0) return;
  if (pick.subMenu.empty()) {
    runSlotCommand(pick.title, dest);
  } else if (pick.subMenu == MIDI_SOURCE_MENU || pick.subMenu == MOD_SOURCE_MENU) {
    // A new route in the first free slot; with all ten in use nothing happens.
    const auto src = std::find(SRC_STR.begin(), SRC_STR.end(), pick.title);
    if (src == SRC_STR.end()) return;
    for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
      if (plugin->getDestForModSlot(s) != 0) continue;
      plugin->setModSlotVariables(s, false, 0.5f, static_cast<int>(src - SRC_STR.begin()), dest);
      break;
    }
  } else {
    for (const SelectorMenu& m : SELECTOR_MENUS) {
      if (pick.subMenu != m.menuTitle) continue;
      for (int i = 0; i < m.count; ++i) {
        if (pick.title != selectorItem(m, i)) continue;
        plugin->setDestForTag(m.firstTag + i, dest);
        // A Disrupt aimed at this parameter is of no use switched off.
        for (int d = 0; d < NUM_DISRUPT_SLOTS; ++d)
          if (plugin->getDestForTag(DISRUPT_DEST_TAGS[static_cast<size_t>(d)]) == dest)
            plugin->setOn(DISRUPT_ON_TAGS[static_cast<size_t>(d)]);
      }
    }
  }
  raiseRefresh(kBottomScreenRefresh);
}

void uEditor::runSlotCommand(const std::string& title, int dest) {
  const SlotCommandTitle* c = findTitle(SLOT_COMMANDS, title);
  if (!c) return;
  const SlotCommand cmd = c->command;
  for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
    if (plugin->getDestForModSlot(s) != dest) continue;
    const auto i = static_cast<size_t>(s);
    switch (cmd) {
      case SlotCommand::Clear:
        plugin->setModSlotVariables(s, false, 0.5f, 0, 0);
        break;
      case SlotCommand::DefaultAmount:
        plugin->setToDefault(MOD_SLOT_AMT_TAGS[i]);
        plugin->setOff(MOD_SLOT_BY_TAGS[i]);
        break;
      case SlotCommand::Bypass:
        plugin->setOn(MOD_SLOT_BY_TAGS[i]);
        break;
      case SlotCommand::UnBypass:
        plugin->setOff(MOD_SLOT_BY_TAGS[i]);
        break;
    }
  }
  for (int d = 0; d < NUM_DISRUPT_SLOTS; ++d) {
    const auto i = static_cast<size_t>(d);
    if (plugin->getDestForTag(DISRUPT_DEST_TAGS[i]) != dest) continue;
    const int amount = DISRUPT_SLOT_AMT_1_TAG + d, on = DISRUPT_ON_TAGS[i];
    switch (cmd) {
      case SlotCommand::Clear:
        for (int t : {DISRUPT_DEST_TAGS[i], amount, on}) plugin->setToDefault(t);
        break;
      case SlotCommand::DefaultAmount:
        for (int t : {amount, on}) plugin->setToDefault(t);
        break;
      case SlotCommand::Bypass:
        plugin->setOff(on);
        break;
      case SlotCommand::UnBypass:
        plugin->setOn(on);
        break;
    }
  }
  for (int k = 0; k < 3; ++k) {
    const int selector = FOLLOWER_DEST_1_TAG + k, amount = FOLLOWER_AMT_1_TAG + k,
              bypass = FOLLOWER_BYPASS_1_TAG + k;
    if (plugin->getDestForTag(selector) != dest) continue;
    switch (cmd) {
      case SlotCommand::Clear:
        for (int t : {selector, amount, bypass, FOLLOWER_MOD_SRC_1_TAG + k, FOLLOWER_MOD_AMT_1_TAG + k})
          plugin->setToDefault(t);
        break;
      case SlotCommand::DefaultAmount:
        plugin->setToDefault(amount);
        plugin->setOff(bypass);
        break;
      case SlotCommand::Bypass:
        plugin->setOn(bypass);
        break;
      case SlotCommand::UnBypass:
        plugin->setOff(bypass);
        break;
    }
  }
  for (size_t j = 0; j < LFO_DEST_TAGS.size(); ++j) {
    if (plugin->getDestForTag(LFO_DEST_TAGS[j]) != dest) continue;
    // An LFO has no bypass of its own.
    if (cmd == SlotCommand::Clear) plugin->setToDefault(LFO_DEST_TAGS[j]);
    if (cmd == SlotCommand::Clear || cmd == SlotCommand::DefaultAmount) plugin->setToDefault(LFO_AMT_TAGS[j]);
  }
}

// ==== Settings menu ====

void uEditor::showControlMenu(const CPoint&) {
  if (!frame || !plugin) return;
  COptionMenu* menu = newPopup(COMMAND_MENU_HALF);
  const std::string_view size = SCREEN_SIZE_STR[static_cast<size_t>(std::clamp(screenMode, 0, 2))];
  addEntries(*menu, {heading("Control Menu"), "-", heading("Screen Size: " + std::string(size))});
  for (std::string_view s : SCREEN_SIZE_STR) menu->addEntry(std::string(s));
  addEntries(*menu, {"-", heading("Dial Animation"), stateTitle("Turn Dial Animation", !modDial)});
  addEntries(*menu, {"-", heading("Tool-Tips"), stateTitle("Tool-Tips", getBackRegValue("ToolTip", true))});
  addEntries(*menu, {"-", heading("Computer Keyboard"), stateTitle("Computer Keyboard", keyboardOn)});
  addEntries(*menu,
             {"-", heading("MIDI Preset Change"), stateTitle("MIDI Preset", plugin->getMidiPresetOn())});
  addEntries(*menu,
             {"-", heading("MIDI Bank Change"), stateTitle("MIDI Bank", getRegisterIsOn("MidiBank", true))});
  addEntries(*menu, {"-", heading("MIDI Input Channel: " + channelName(plugin->getMidiChannelSetting())),
                     SET_MIDI_CHANNEL});
  addEntries(*menu, {"-", heading("External MIDI Capture Mode"),
                     stateTitle("External MIDI Capture Mode", plugin->getMidiCaptureOn())});
  addEntries(*menu, {"-", "Reset Everything", ABOUT});

  const MenuPick pick = runPopup(menu);
  if (pick.chosen) runControlCommand(pick.title);
  setBackRegValue("ToolTip", toolTipsOn);
  setBackRegValue("Key", keyboardOn);

  frame->invalid();
  doIdleStuff();
}

void uEditor::runControlCommand(const std::string& title) {
  for (int mode = 0; mode < 3; ++mode)
    if (title == SCREEN_SIZE_STR[static_cast<size_t>(mode)]) setScreenSize(mode);
  for (const bool on : {true, false}) {
    if (title != stateTitle("Turn Dial Animation", on)) continue;
    modDial = on;
    setBackRegValue("ModDial", modDial);
    resumeNow();
  }
  if (title == stateTitle("Tool-Tips", true)) toolTipsOn = false;
  if (title == stateTitle("Tool-Tips", false)) toolTipsOn = true;
  if (title == stateTitle("Computer Keyboard", true)) setKeyboardOn(false);
  if (title == stateTitle("Computer Keyboard", false)) setKeyboardOn(true);
  if (title == stateTitle("MIDI Preset", true)) plugin->setMidiPresetOn(false);
  if (title == stateTitle("MIDI Preset", false)) plugin->setMidiPresetOn(true);
  if (title == stateTitle("MIDI Bank", true)) setRegisterIsOn("MidiBank", false);
  if (title == stateTitle("MIDI Bank", false)) setRegisterIsOn("MidiBank", true);
  if (title == SET_MIDI_CHANNEL) askMidiChannel();
  for (const bool on : {true, false}) {
    if (title != stateTitle("External MIDI Capture Mode", on)) continue;
    plugin->setMidiCaptureOn(!on);
    plugin->resetMidiCapture();
  }
  if (title == "Reset Everything") plugin->resetEverything();
  if (title == ABOUT) messageBox(std::string(ABOUT_TEXT), 2);
}

void uEditor::askMidiChannel() {
  std::string text = decimal(plugin->getMidiChannelSetting());
  if (inputBox("Set MIDI Input Channel (0 for Omni)", "MIDI Input Channel", text)) {
    // Text that is no number selects Omni; numbers outside 0..16 (however long) are ignored.
    const int channel = decimalToInt(text);
    if (channel >= 0 && channel <= 16) plugin->setMidiChannelSetting(channel);
  }
  plugin->updateMidiChannel();
}

// ==== EQ menu ====

void uEditor::setEQUndo() {
  if (!plugin) return;
  // The screens take this snapshot before every edit they store without automation.
  requestHostReread();
  for (size_t i = 0; i < eqUndoBuffer.size(); ++i)
    eqUndoBuffer[i] = plugin->getParameter(EQ_VAR_TAGS[i / 12][i % 12]);
  eqUndoValid = true;
}

void uEditor::showEQMenu(const CPoint&, int eq) {
  if (!frame || !plugin || eq < 0 || eq > 1) return;
  COptionMenu* menu = newPopup(COMMAND_MENU_HALF);
  addEntries(*menu, {heading("EQ Menu"), "-", "Clear EQ", "Clear Both EQ", "Copy EQ", "Paste EQ",
                     "Copy to other EQ", "Swap with other EQ", "-", "Undo"});
  const MenuPick pick = runPopup(menu);

  const int* own = EQ_VAR_TAGS[eq];
  const int* other = EQ_VAR_TAGS[1 - eq];
  const std::string& title = pick.title;
  if (title != "Undo") setEQUndo();
  if (title == "Clear EQ" || title == "Clear Both EQ")
    for (int i = 0; i < 12; ++i) plugin->setToDefault(own[i]);
  if (title == "Clear Both EQ")
    for (int i = 0; i < 12; ++i) plugin->setToDefault(other[i]);
  if (title == "Copy EQ") {
    for (int i = 0; i < 12; ++i) eqClipboard[static_cast<size_t>(i)] = plugin->getParameter(own[i]);
    eqClipboardValid = true;
  }
  if (title == "Paste EQ" && eqClipboardValid)
    for (int i = 0; i < 12; ++i) plugin->setParameter(own[i], eqClipboard[static_cast<size_t>(i)]);
  if (title == "Copy to other EQ")
    for (int i = 0; i < 12; ++i) plugin->copyParameter(own[i], other[i]);
  if (title == "Swap with other EQ")
    for (int i = 0; i < 12; ++i) plugin->swapParameter(own[i], other[i]);
  // The buffer stays: a second Undo restores the same values again.
  if (title == "Undo" && eqUndoValid)
    for (size_t i = 0; i < eqUndoBuffer.size(); ++i)
      plugin->setParameter(EQ_VAR_TAGS[i / 12][i % 12], eqUndoBuffer[i]);

  frame->invalid();
  doIdleStuff();
}

// ==== Modulation-matrix menu ====

void uEditor::setModUndo() {
  if (!plugin) return;
  // The screens take this snapshot before every edit they store without automation.
  requestHostReread();
  for (size_t i = 0; i < MOD_COMMANDS_TAGS.size(); ++i)
    modUndoBuffer[i] = plugin->getParameter(MOD_COMMANDS_TAGS[i]);
  modUndoValid = true;
}

void uEditor::showModMenu(const CPoint&, int slot) {
  if (!frame || !plugin) return;
  COptionMenu* menu = newPopup(COMMAND_MENU_HALF);
  addEntries(*menu, {heading("Mod Matrix Menu"),
                     "-",
                     "Clear",
                     "Copy",
                     "Paste",
                     "Reset Mod Amount",
                     "Bypass All",
                     "UnBypass All",
                     "-",
                     "Copy Slot",
                     "Paste Slot",
                     "Clear Slot",
                     "Swap Slot With Next",
                     "Swap Slot With Previous",
                     "Reset Slot Amount",
                     "Enter Amount",
                     "Bypass Slot",
                     "UnBypass Slot",
                     "-",
                     "Undo"});
  const MenuPick pick = runPopup(menu);
  const std::string& title = pick.title;
  if (title != "Undo") setModUndo();

  for (size_t i = 0; i < MOD_COMMANDS_TAGS.size(); ++i) {
    const int t = MOD_COMMANDS_TAGS[i];
    if (title == "Clear") plugin->setToDefault(t);
    if (title == "Copy") modClipboard[i] = plugin->getParameter(t);
    if (title == "Paste" && modClipboardValid) plugin->setParameter(t, modClipboard[i]);
    if (title == "Undo" && modUndoValid) plugin->setParameter(t, modUndoBuffer[i]);
  }
  if (title == "Copy") modClipboardValid = true;
  // A slot's amount, offset and thresholds back to their defaults.
  const auto resetAmounts = [this](size_t s) {
    for (int t : {MOD_SLOT_AMT_TAGS[s], MOD_SLOT_OFFSET_TAGS[s], MOD_SLOT_LOWER_THRESH_TAGS[s],
                  MOD_SLOT_UPPER_THRESH_TAGS[s]})
      plugin->setToDefault(t);
  };
  for (size_t s = 0; s < static_cast<size_t>(NUM_MOD_SLOTS); ++s) {
    if (title == "Reset Mod Amount") resetAmounts(s);
    if (title == "Bypass All" || title == "UnBypass All")
      plugin->setOnOff(MOD_SLOT_BY_TAGS[s], title == "Bypass All");
  }

  if (APlugin::isValidModSlot(slot)) {
    const auto s = static_cast<size_t>(slot);
    const int* row = MOD_SLOT_ROW_TAGS[s];
    for (size_t k = 0; k < 7; ++k) {
      if (title == "Copy Slot") modSlotClipboard[k] = plugin->getParameter(row[k]);
      if (title == "Paste Slot" && modSlotClipboardValid) plugin->setParameter(row[k], modSlotClipboard[k]);
      if (title == "Clear Slot") plugin->setToDefault(row[k]);
      if (title == "Swap Slot With Next" && slot < NUM_MOD_SLOTS - 1)
        plugin->swapParameter(row[k], MOD_SLOT_ROW_TAGS[s + 1][k]);
      if (title == "Swap Slot With Previous" && slot > 0)
        plugin->swapParameter(row[k], MOD_SLOT_ROW_TAGS[s - 1][k]);
    }
    if (title == "Copy Slot") modSlotClipboardValid = true;
    if (title == "Reset Slot Amount") resetAmounts(s);
    if (title == "Enter Amount") enterModAmount(slot);
    if (title == "Bypass Slot") plugin->setOn(MOD_SLOT_BY_TAGS[s]);
    if (title == "UnBypass Slot") plugin->setOff(MOD_SLOT_BY_TAGS[s]);
  }

  frame->invalid();
  doIdleStuff();
}

void uEditor::enterModAmount(int slot) {
  const int tag = MOD_SLOT_AMT_TAGS[static_cast<size_t>(slot)];
  // The amount in percent, -100..100, cut toward zero.
  std::string text = decimal(static_cast<int>(units::BIPOLAR_PERCENT.unitOf(plugin->getParameter(tag))));
  char name[PARAM_NAME_BUFFER] = {};
  plugin->getParameterName(tag, name);
  if (!inputBox("-100 to 100%", name, text) || text.empty()) return;
  plugin->setParameter(tag, std::clamp(units::BIPOLAR_PERCENT.valueOf(decimalToFloat(text)), 0.0f, 1.0f));
}

// ==== Destination menu ====

void uEditor::showDestMenu(const CPoint&, int tag) {
  if (!frame || !plugin || !isValidTag(tag)) return;
  const int type = plugin->getDistortType();
  COptionMenu* menu = newPopup(DEST_MENU_HALF);
  menu->addEntry(std::string(destText(0, type)));
  for (size_t g = 0; g < DEST_HEADER_STR.size(); ++g) {
    COptionMenu* sub = newSubMenu(*menu);
    for (int d = DEST_SUB_MENU_START[g]; d < DEST_SUB_MENU_START[g + 1]; ++d)
      sub->addEntry(std::string(destText(d, type)));
    addSubMenu(*menu, sub, DEST_HEADER_STR[g]);
  }
  const MenuPick pick = runPopup(menu);
  if (pick.chosen) {
    // The group and the place in it say which destination it is, whatever its name.
    int dest = pick.subMenu.empty() && pick.index == 0 ? 0 : -1;
    for (size_t g = 0; g < DEST_HEADER_STR.size(); ++g)
      if (pick.subMenu == DEST_HEADER_STR[g]) dest = DEST_SUB_MENU_START[g] + pick.index;
    if (dest >= 0 && dest < NUM_MOD_DESTS) {
      plugin->setDestForTag(tag, dest);
      if (dest != 0) plugin->setDisruptOn(tag - DISRUPT_DEST_TAGS[0]);
    }
  }
  frame->invalid();
}
