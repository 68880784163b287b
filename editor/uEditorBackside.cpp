// The settings screen (back side): per-user options, the version line and the way back.
#include "plugin/uPlugin.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

void uEditor::createBackside() {
  if (!plugin || !frame) return;
  // Covers the whole window, whatever the art: a click anywhere off the options returns.
  backsideButton = own(new CKickButton(CRect(0, 0, rect.right, rect.bottom), this, NO_PARAM_TAG, nullptr));
  addControl(backsideButton, false, false, false);
  setHint(backsideButton, "Show Main Screen");
}

void uEditor::zeroBackside() {
  backsideButton = nullptr;
  for (TOnOff*& s : settingSwitches) s = nullptr;
  screenSizeMenu = nullptr;
}

void uEditor::showBackside() {
  if (!frame || !plugin) return;
  screenState = 2;
  mainScreenShown = false;
  frame->removeAll(false);
  frame->invalid();
  frame->setBackground(settingsBackground());
  if (backsideButton) frame->addView(backsideButton);
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
