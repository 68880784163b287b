// The idle pass's updates of what the main screen shows: the Edited lamp, the level meters, the
// modulation rings of the shown knobs and the moving graphs.
#include "uEditor.h"

void uEditor::refreshHeader() {}

void uEditor::refreshDistortBox() {}

void uEditor::refreshFilterBox() {}

void uEditor::refreshCompressorBox() {}

void uEditor::refreshWidenerBox() {}

void uEditor::refreshBottomBox() {}
