// The settings screen (back side): per-user options, the version line and the way back.
#include <charconv>

#include "controls/pluginControls.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

std::string versionText(int32_t vendorVersion) {
  std::string text = "Grindle 2 - Linux VST x86 64Bits :  Version ";
  for (int shift : {16, 8, 0}) {
    char digits[4];
    const auto r = std::to_chars(digits, digits + sizeof(digits), (vendorVersion >> shift) & 0xFF);
    text.append(digits, r.ptr);
    if (shift) text += '.';
  }
  return text;
}

void uEditor::createBackside() {
  if (!plugin || !frame) return;
  // Covers the whole window, whatever the art: a click anywhere off the options returns.
  backsideButton = own(new CKickButton(CRect(0, 0, rect.right, rect.bottom), this, NO_PARAM_TAG, nullptr));
  addControl(backsideButton, false, false, false);
  bindAction(backsideButton, [this](const ControlEvent& e) {
    if (e.pressed()) hideBackside();
  });
  setHint(backsideButton, "Show Main Screen");

  const int x = getScaled(666), y = getScaled(97);
  versionReadout = own(new TReadout(CRect(x, y, x + getScaled(359), y + getScaled(12)), this,
                                    versionText(plugin->getVendorVersion()), screenMode, false, false));

  struct SwitchRow {
    TOnOff* uEditor::*member;
    int tag, y;
  };
  static constexpr SwitchRow SWITCHES[] = {{&uEditor::keySwitch, NO_PARAM_TAG, 432},
                                           {&uEditor::midiPresetSwitch, NO_PARAM_TAG, 462},
                                           {&uEditor::midiBankSwitch, NO_PARAM_TAG, 492},
                                           {&uEditor::midiCaptureSwitch, NO_PARAM_TAG, 522},
                                           {&uEditor::dcFilterSwitch, DC_FILTER_TAG, 552}};
  for (const SwitchRow& row : SWITCHES) createOnOff(this->*row.member, row.tag, 301, row.y, switchBitmap());
  createMenu(screenSizeMenu, NO_PARAM_TAG, 221, 583, 100, 16, static_cast<int>(SHORT_SCREEN_SIZE_STR.size()),
             SHORT_SCREEN_SIZE_STR, false, false, 0, 0, 0, 0);
  bindAction(keySwitch, [this](const ControlEvent& e) {
    setBackRegValue("Key", e.pressed());
    setKeyboardOn(e.pressed());
  });
  // The audio thread reads the plug-in's copy.
  bindAction(midiPresetSwitch, [this](const ControlEvent& e) { plugin->setMidiPresetOn(e.pressed()); });
  bindAction(midiBankSwitch, [](const ControlEvent& e) { setBackRegValue("MidiBank", e.pressed()); });
  bindAction(midiCaptureSwitch, [this](const ControlEvent& e) { plugin->setMidiCaptureOn(e.pressed()); });
  bindAction(screenSizeMenu, [this](const ControlEvent& e) {
    if (e.index < 0 || e.index >= static_cast<int>(SHORT_SCREEN_SIZE_STR.size())) return;
    setScreenSize(e.index);
    screenSizeMenu->setString(std::string(SHORT_SCREEN_SIZE_STR[static_cast<size_t>(e.index)]));
  });
}

void uEditor::zeroBackside() {
  backsideButton = nullptr;
  versionReadout = nullptr;
  keySwitch = midiPresetSwitch = midiBankSwitch = midiCaptureSwitch = dcFilterSwitch = nullptr;
  screenSizeMenu = nullptr;
}

void uEditor::showBackside() {
  if (!frame || !plugin) return;
  screenState = 2;
  mainScreenShown = false;
  frame->removeAll(false);
  frame->invalid();
  frame->setBackground(settingsBackground());
  for (CView* v :
       std::initializer_list<CView*>{backsideButton, versionReadout, keySwitch, midiPresetSwitch,
                                     midiBankSwitch, midiCaptureSwitch, dcFilterSwitch, screenSizeMenu})
    if (v) frame->addView(v);
  // The switches show what the plug-in acts on: its cached MIDI flags, not the file.
  const std::pair<TOnOff*, bool> states[] = {{keySwitch, keyboardOn},
                                             {midiPresetSwitch, plugin->getMidiPresetOn()},
                                             {midiBankSwitch, getBackRegValue("MidiBank", true)},
                                             {midiCaptureSwitch, plugin->getMidiCaptureOn()}};
  for (const auto& [control, on] : states)
    if (control) control->setValue(on ? 1.0f : 0.0f);
  if (screenSizeMenu)
    screenSizeMenu->setString(std::string(SHORT_SCREEN_SIZE_STR[static_cast<size_t>(screenMode)]));
  frame->setDirty();
}

void uEditor::hideBackside() {
  if (!frame || !plugin) return;
  screenState = 0;
  frame->removeAll(false);
  frame->setBackground(mainBackground());
  showMainScreen();
  resumeNow();
  frame->setDirty();
}
