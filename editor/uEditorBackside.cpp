// The settings screen (back side): per-user options, the version line and the way back.
#include <cstdio>
#include <initializer_list>

#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {
// The switches stand in a column, 30 points apart: the four preferences, then the DC filter.
constexpr int SWITCH_X = 301, SWITCH_Y = 432, SWITCH_STEP = 30;
}  // namespace

std::string uEditor::versionText(int32_t vendorVersion) {
  char text[80];
  std::snprintf(text, sizeof(text), "Grindle 2 - Linux VST x86 64Bits :  Version %d.%d.%d",
                (vendorVersion >> 16) & 255, (vendorVersion >> 8) & 255, vendorVersion & 255);
  return text;
}

void uEditor::createBackside() {
  if (!plugin || !frame) return;
  // Covers the whole window, whatever the art: a click anywhere off the options returns.
  backsideButton = own(new CKickButton(CRect(0, 0, rect.right, rect.bottom), this, NO_PARAM_TAG, nullptr));
  addControl(backsideButton, false, false, false);
  setHint(backsideButton, "Show Main Screen");

  const int x = getScaled(666), y = getScaled(97);
  versionReadout = own(new TReadout(CRect(x, y, x + getScaled(359), y + getScaled(12)), this,
                                    versionText(plugin->getVendorVersion()), screenMode, false, false));
  for (int i = 0; i < 4; ++i)
    createOnOff(settingSwitches[i], NO_PARAM_TAG, SWITCH_X, SWITCH_Y + SWITCH_STEP * i, switchBitmap());
  createOnOff(dcFilterSwitch, DC_FILTER_TAG, SWITCH_X, SWITCH_Y + SWITCH_STEP * 4, switchBitmap());
  createMenu(screenSizeMenu, NO_PARAM_TAG, 221, 583, 100, 16, static_cast<int>(SHORT_SCREEN_SIZE_STR.size()),
             SHORT_SCREEN_SIZE_STR, true, false, 0, 0, 0, 0);
}

void uEditor::zeroBackside() {
  backsideButton = nullptr;
  versionReadout = nullptr;
  for (TOnOff*& s : settingSwitches) s = nullptr;
  dcFilterSwitch = nullptr;
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
       std::initializer_list<CView*>{backsideButton, versionReadout, settingSwitches[0], settingSwitches[1],
                                     settingSwitches[2], settingSwitches[3], dcFilterSwitch, screenSizeMenu})
    if (v) frame->addView(v);
  // The MIDI switches show what the plug-in acts on: its own copies of the preferences.
  const bool on[4] = {keyboardOn, plugin->getMidiPresetOn(), getBackRegValue(SETTING_SWITCH_KEYS[2], true),
                      plugin->getMidiCaptureOn()};
  for (int i = 0; i < 4; ++i)
    if (settingSwitches[i]) settingSwitches[i]->setValue(on[i] ? 1.0f : 0.0f);
  if (dcFilterSwitch) dcFilterSwitch->setValue(plugin->getParameter(DC_FILTER_TAG));
  if (screenSizeMenu) {
    screenSizeMenu->setValue(static_cast<float>(screenMode));
    screenSizeMenu->setString(std::string(SHORT_SCREEN_SIZE_STR[static_cast<size_t>(screenMode)]));
  }
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
