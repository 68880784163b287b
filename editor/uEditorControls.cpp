// Routing from the controls to the plug-in, the keyboard, and modulation drag-and-drop.
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

void uEditor::valueChanged(CControl* control) {
  if (!frame || !plugin || !control) return;
  // Kick buttons report press and release; only the press acts.
  if (control == backsideButton && control->getValue() > 0.5f) hideBackside();
}

int32_t uEditor::onKeyDown(const VstKeyCode&, CFrame*) { return -1; }

int32_t uEditor::onKeyUp(const VstKeyCode&, CFrame*) { return -1; }

void uEditor::setEditTag(int) {}

void uEditor::changeProgramDelta(int) {}

void uEditor::changeFolderDelta(int) {}

void uEditor::setDropTag(int) {}

void uEditor::releasedDropDial() {}

bool uEditor::isDroppable(int tag) { return isValidTag(tag) && droppable[tag]; }

void uEditor::dropMod() {}

void uEditor::dropMod(int, int) {}

void uEditor::reapChildren() {}
