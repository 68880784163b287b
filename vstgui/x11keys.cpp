#include "x11keys.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace VSTGUI::X11 {

namespace {

unsigned char virtualKeyOf(unsigned long sym) {
  switch (sym) {
    case XK_BackSpace:
      return kVKeyBack;
    case XK_Tab:
    case XK_ISO_Left_Tab:
      return kVKeyTab;
    case XK_Clear:
      return kVKeyClear;
    case XK_Return:
      return kVKeyReturn;
    case XK_Pause:
      return kVKeyPause;
    case XK_Escape:
      return kVKeyEscape;
    case XK_space:
      return kVKeySpace;
    case XK_End:
    case XK_KP_End:
      return kVKeyEnd;
    case XK_Home:
    case XK_KP_Home:
      return kVKeyHome;
    case XK_Left:
    case XK_KP_Left:
      return kVKeyLeft;
    case XK_Up:
    case XK_KP_Up:
      return kVKeyUp;
    case XK_Right:
    case XK_KP_Right:
      return kVKeyRight;
    case XK_Down:
    case XK_KP_Down:
      return kVKeyDown;
    case XK_Page_Up:
    case XK_KP_Page_Up:
      return kVKeyPageUp;
    case XK_Page_Down:
    case XK_KP_Page_Down:
      return kVKeyPageDown;
    case XK_Select:
      return kVKeySelect;
    case XK_Print:
      return kVKeyPrint;
    case XK_KP_Enter:
      return kVKeyEnter;
    case XK_Insert:
    case XK_KP_Insert:
      return kVKeyInsert;
    case XK_Delete:
    case XK_KP_Delete:
      return kVKeyDelete;
    case XK_Help:
      return kVKeyHelp;
    case XK_KP_Multiply:
      return kVKeyMultiply;
    case XK_KP_Add:
      return kVKeyAdd;
    case XK_KP_Separator:
      return kVKeySeparator;
    case XK_KP_Subtract:
      return kVKeySubtract;
    case XK_KP_Decimal:
      return kVKeyDecimal;
    case XK_KP_Divide:
      return kVKeyDivide;
    case XK_Num_Lock:
      return kVKeyNumLock;
    case XK_Scroll_Lock:
      return kVKeyScroll;
    case XK_KP_Equal:
      return kVKeyEquals;
    default:
      break;
  }
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<unsigned char>(kVKeyNumpad0 + (sym - XK_KP_0));
  if (sym >= XK_F1 && sym <= XK_F12) return static_cast<unsigned char>(kVKeyF1 + (sym - XK_F1));
  return kVKeyNone;
}

}  // namespace

VstKeyCode translateKey(unsigned long sym, unsigned int xState) {
  VstKeyCode key{};
  unsigned char modifier = 0;
  if (xState & ShiftMask) modifier |= kModifierShift;
  if (xState & Mod1Mask) modifier |= kModifierAlternate;
  if (xState & ControlMask) modifier |= kModifierCommand;
  if (xState & Mod4Mask) modifier |= kModifierControl;
  key.virt = virtualKeyOf(sym);
  if (key.virt == kVKeyNone) {
    if (sym >= 'A' && sym <= 'Z') sym += 'a' - 'A';
    if (sym > XK_space && sym <= XK_asciitilde) key.character = static_cast<int32_t>(sym);
  }
  if (key.virt == kVKeyNone && key.character == 0) return VstKeyCode{};
  key.modifier = modifier;
  return key;
}

int32_t buttonStateFromX(unsigned int xState) {
  int32_t state = 0;
  if (xState & Button1Mask) state |= kLButton;
  if (xState & Button2Mask) state |= kMButton;
  if (xState & Button3Mask) state |= kRButton;
  if (xState & ShiftMask) state |= kShift;
  if (xState & ControlMask) state |= kControl;
  if (xState & Mod1Mask) state |= kAlt;
  if (xState & Mod4Mask) state |= kApple;
  return state;
}

int32_t buttonBitFromX(unsigned int xButton) {
  switch (xButton) {
    case Button1:
      return kLButton;
    case Button2:
      return kMButton;
    case Button3:
      return kRButton;
    default:
      return 0;
  }
}

bool DoubleClickDetector::onPress(unsigned int button, uint32_t timeMs, int x, int y) {
  const bool isDouble = havePress && button == lastButton &&
                        static_cast<uint32_t>(timeMs - lastTime) <= kDoubleClickMs &&
                        x - lastX <= kDoubleClickDistance && lastX - x <= kDoubleClickDistance &&
                        y - lastY <= kDoubleClickDistance && lastY - y <= kDoubleClickDistance;
  if (isDouble) {
    havePress = false;
    return true;
  }
  havePress = true;
  lastButton = button;
  lastTime = timeMs;
  lastX = x;
  lastY = y;
  return false;
}

bool KeyEchoFilter::isEcho(Source source, const VstKeyCode& key, bool down, uint32_t nowMs, int32_t& result) {
  for (Entry& e : entries) {
    if (e.used || e.source == source || e.down != down) continue;
    if (static_cast<uint32_t>(nowMs - e.time) > kEchoWindowMs) continue;
    if (e.key.character != key.character || e.key.virt != key.virt) continue;
    e.used = true;
    result = e.result;
    return true;
  }
  return false;
}

void KeyEchoFilter::remember(Source source, const VstKeyCode& key, bool down, uint32_t nowMs,
                             int32_t result) {
  entries[next] = Entry{source, key, down, nowMs, result, false};
  next = (next + 1) % kEntries;
}

}  // namespace VSTGUI::X11
