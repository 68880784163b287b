// Translation of X11 keyboard and pointer state into the toolkit's vocabulary: VST virtual key
// codes with their modifier bits, and the button-state word of mouse events.
#pragma once

#include <cstdint>

#include "vstguibase.h"

namespace VSTGUI::X11 {

// VST virtual key codes (the values hosts use in their key calls).
enum VirtualKey : unsigned char {
  kVKeyNone = 0,
  kVKeyBack = 1,
  kVKeyTab = 2,
  kVKeyClear = 3,
  kVKeyReturn = 4,
  kVKeyPause = 5,
  kVKeyEscape = 6,
  kVKeySpace = 7,
  kVKeyNext = 8,
  kVKeyEnd = 9,
  kVKeyHome = 10,
  kVKeyLeft = 11,
  kVKeyUp = 12,
  kVKeyRight = 13,
  kVKeyDown = 14,
  kVKeyPageUp = 15,
  kVKeyPageDown = 16,
  kVKeySelect = 17,
  kVKeyPrint = 18,
  kVKeyEnter = 19,
  kVKeySnapshot = 20,
  kVKeyInsert = 21,
  kVKeyDelete = 22,
  kVKeyHelp = 23,
  kVKeyNumpad0 = 24,  // .. 33 for 9
  kVKeyMultiply = 34,
  kVKeyAdd = 35,
  kVKeySeparator = 36,
  kVKeySubtract = 37,
  kVKeyDecimal = 38,
  kVKeyDivide = 39,
  kVKeyF1 = 40,  // .. 51 for F12
  kVKeyNumLock = 52,
  kVKeyScroll = 53,
  kVKeyShift = 54,
  kVKeyControl = 55,
  kVKeyAlt = 56,
  kVKeyEquals = 57
};

// Modifier bits of VstKeyCode::modifier. Ctrl is the "command" modifier on this platform, the
// Super key the "control" one, as for the mouse.
enum KeyModifier : unsigned char {
  kModifierShift = 1 << 0,
  kModifierAlternate = 1 << 1,
  kModifierCommand = 1 << 2,
  kModifierControl = 1 << 3
};

// The VST key of an X key sym with the X modifier state (ShiftMask, ControlMask, Mod1Mask,
// Mod4Mask). Keys with a virtual code get that code and character 0; printable ASCII keys get
// their character (letters in lower case, as hosts send them) and virtual code 0. Anything
// else (modifier keys alone, dead keys, other scripts) gives a key with both zero, which the
// caller does not deliver.
VstKeyCode translateKey(unsigned long keySym, unsigned int xState);

// The toolkit's button-state word for an X modifier/button state (left 2, middle 4, right 8,
// Shift 16, Ctrl 32, Alt 64, Super 128).
int32_t buttonStateFromX(unsigned int xState);
// The toolkit bit of an X pointer button (1 left, 2 middle, 3 right), 0 for any other.
int32_t buttonBitFromX(unsigned int xButton);

// Decides which presses are double-clicks: the second press of the same button within
// kDoubleClickMs and kDoubleClickDistance pixels (each way) of the first. A third press starts
// over.
class DoubleClickDetector {
 public:
  static constexpr uint32_t kDoubleClickMs = 400;
  static constexpr int kDoubleClickDistance = 4;
  // timeMs is the event's server time (wraps at 2^32).
  bool onPress(unsigned int button, uint32_t timeMs, int x, int y);
  void reset() { havePress = false; }

 private:
  bool havePress = false;
  unsigned int lastButton = 0;
  uint32_t lastTime = 0;
  int lastX = 0;
  int lastY = 0;
};

// Keys can reach an editor twice: as X events of its window and through the host's key calls
// (the host saw the key first, or we handed an unused key back to it). The filter remembers
// the keys of the last moments with the answer they got, so the second copy of a key is not
// handled again and gets the first copy's answer.
class KeyEchoFilter {
 public:
  static constexpr uint32_t kEchoWindowMs = 250;
  enum class Source { kWindow, kHost };
  // True when key (down or up) came from the other source within the window; result then
  // holds the answer the first copy got. The matching entry is used up.
  bool isEcho(Source source, const VstKeyCode& key, bool down, uint32_t nowMs, int32_t& result);
  void remember(Source source, const VstKeyCode& key, bool down, uint32_t nowMs, int32_t result);

 private:
  struct Entry {
    Source source;
    VstKeyCode key;
    bool down;
    uint32_t time;
    int32_t result;
    bool used;
  };
  static constexpr int kEntries = 8;
  Entry entries[kEntries]{};
  int next = 0;
};

}  // namespace VSTGUI::X11
