// Base definitions of the GUI toolkit layer: coordinates, reference counting, mouse and key
// event vocabulary, and the millisecond clock shared by the editor binding and the tool-tips.
#pragma once

#include <cstdint>

#include "vst2/aeffect.h"

// Cairo types appear only as opaque pointers in the public headers, so that code using the
// toolkit does not need cairo's include path.
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace VSTGUI {

using CCoord = double;

class CView;
class CViewContainer;
class CFrame;
class CControl;
class CBitmap;
class CDrawContext;
class COptionMenu;
class CMenuItem;
class VSTGUIEditorInterface;

//-----------------------------------------------------------------------------
// Reference counting: an object starts with one reference held by its creator; forget() drops
// one and deletes the object when none is left.
class CBaseObject {
 public:
  constexpr CBaseObject() noexcept = default;
  constexpr CBaseObject(const CBaseObject&) noexcept : nbReference(1) {}
  CBaseObject& operator=(const CBaseObject&) noexcept { return *this; }
  virtual ~CBaseObject() = default;

  virtual void remember() { ++nbReference; }
  virtual void forget();
  int32_t getNbReference() const { return nbReference; }

  // A new object of the same class with the same settings (one reference), or null when the
  // class cannot be copied.
  virtual CBaseObject* newCopy() const { return nullptr; }

 private:
  int32_t nbReference = 1;
};

//-----------------------------------------------------------------------------
enum CMouseEventResult {
  kMouseEventNotHandled = 0,
  kMouseEventHandled,
  kMouseEventNotImplemented,
  kMouseDownEventHandledButDontNeedMovedOrUpEvents,
  kMouseMoveEventHandledButDontNeedMoreEvents
};

enum CButton : int32_t {
  kLButton = 1 << 1,
  kMButton = 1 << 2,
  kRButton = 1 << 3,
  kShift = 1 << 4,
  kControl = 1 << 5,
  kAlt = 1 << 6,
  kApple = 1 << 7,
  kButton4 = 1 << 8,
  kButton5 = 1 << 9,
  kDoubleClick = 1 << 10
};

class CButtonState {
 public:
  constexpr CButtonState(int32_t s = 0) noexcept : state(s) {}
  constexpr int32_t getButtonState() const {
    return state & (kLButton | kMButton | kRButton | kButton4 | kButton5);
  }
  constexpr int32_t getModifierState() const { return state & (kShift | kControl | kAlt | kApple); }
  constexpr bool isLeftButton() const { return (state & kLButton) != 0; }
  constexpr bool isRightButton() const { return (state & kRButton) != 0; }
  constexpr bool isDoubleClick() const { return (state & kDoubleClick) != 0; }
  constexpr int32_t operator()() const { return state; }
  constexpr int32_t operator&(int32_t mask) const { return state & mask; }
  constexpr CButtonState operator|(int32_t mask) const { return CButtonState(state | mask); }
  constexpr bool operator==(int32_t s) const { return state == s; }
  constexpr bool operator!=(int32_t s) const { return state != s; }
  constexpr bool operator==(const CButtonState& o) const { return state == o.state; }
  constexpr bool operator!=(const CButtonState& o) const { return state != o.state; }

 private:
  int32_t state;
};

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

// Keys as the VST host reports them: character, virtual key code and modifier bits.
using ::VstKeyCode;

enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

// Knob modes of CFrame::kDefaultKnobMode.
enum { kCircularMode = 0, kRelativCircularMode, kLinearMode };

//-----------------------------------------------------------------------------
// Monotonic milliseconds. The source can be replaced (tests drive time by hand); getTicks()
// gives the low 32 bits, so users compare times by unsigned difference.
namespace Ticks {
using Source = uint64_t (*)(void* context);
uint64_t now64();
inline uint32_t now() { return static_cast<uint32_t>(now64()); }
// Installs a source; null restores the system's monotonic clock.
void setSource(Source source, void* context);
}  // namespace Ticks

}  // namespace VSTGUI
