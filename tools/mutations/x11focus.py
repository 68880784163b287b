# Breaks of the X11 keyboard focus taken on a click and of the tool-tip window's painting.
BREAKS = [
    ("vstgui/x11frame.cpp", "XSetInputFocus(display, window, RevertToParent, time);", ""),
    ("vstgui/x11frame.cpp", "    if (!windowDead) giveFocusBack();\n", ""),
    ("vstgui/x11frame.cpp", "    if (holding) giveFocusBack();  // the setting went off since the focus was taken\n", ""),
    ("vstgui/x11frame.cpp", "  if (!holdsKeyboardFocus()) return;  // someone else moved it on: leave it there\n", ""),
    ("vstgui/x11frame.cpp", "if (event.xbutton.button <= Button3 && !inputBlocked()) focusOnClick",
     "if (!inputBlocked()) focusOnClick"),
    ("vstgui/x11frame.cpp", "  if (!frame->getKeyboardFocusOnClick()) {", "  if (false) {"),
    ("vstgui/x11frame.cpp", "  if (tooltip && tooltip->handleEvent(event)) return;\n", ""),
    ("vstgui/x11popup.cpp", "  if (event.type == Expose)\n", "  if (event.type == NoExpose)\n"),
    ("vstgui/x11popup.cpp", "  XSetWindowBackgroundPixmap(display, window, pixmap);\n", ""),
    ("vstgui/x11popup.cpp", "  repaint(0, 0, w, h);\n  XFlush(display);", "  XFlush(display);"),
    ("vstgui/x11popup.cpp", "    draw(context);\n", ""),
    ("vstgui/x11frame.cpp", "focusBefore != None && focusBefore != PointerRoot ? focusBefore : parent;",
     "parent;"),
    ("editor/uEditor.cpp", "  f->setKeyboardFocusOnClick(keyboardOn);\n", ""),
    ("editor/uEditorControls.cpp", "  if (frame) frame->setKeyboardFocusOnClick(on);\n", ""),
]
