// Shared pieces of the X11 tests: an X server (started when none answers), a second connection
// that plays the user through XTest, a parent window standing in for the host's, and a view
// that records what reaches it.
#pragma once

#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool, ...) would break its headers.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <functional>
#include <string>
#include <vector>

#include "vstgui/vstgui.h"
#include "vstgui/x11frame.h"

namespace x11test {

struct MouseRecord {
  enum Kind { kDown, kMoved, kUp, kWheel } kind;
  VSTGUI::CPoint where;
  int32_t buttons;
  float distance;
};

// Paints a solid colour and records every mouse and wheel event it receives.
class RecordingView : public VSTGUI::CView {
 public:
  RecordingView(const VSTGUI::CRect& size, VSTGUI::CColor colour) : CView(size), colour(colour) {}
  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const VSTGUI::CMouseWheelAxis& axis, const float& distance,
               const VSTGUI::CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& key) override;
  int32_t onKeyUp(VstKeyCode& key) override;

  std::vector<MouseRecord> events;
  std::vector<VstKeyCode> keysDown;
  std::vector<VstKeyCode> keysUp;
  // Keys with these virtual codes are used (1); all others are not (-1).
  std::vector<unsigned char> usedKeys;
  VSTGUI::CColor colour;
};

// Viewable override-redirect windows on the root carrying this _NET_WM_WINDOW_TYPE.
std::vector<Window> windowsOfType(Display* display, const char* typeName);
// XTest input on any connection (root coordinates), synchronised.
void fakeMove(Display* display, int rootX, int rootY);
void fakeButton(Display* display, unsigned int button, bool press);
void fakeKey(Display* display, KeySym sym, bool press);

// A window of the test's own connection inside which frames open, and the injection tools.
class X11Fixture : public ::testing::Test {
 protected:
  static constexpr int kParentX = 40;
  static constexpr int kParentY = 30;
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 200;

  void SetUp() override;
  void TearDown() override;

  Window makeParent(int x, int y, int w, int h);
  // A frame of kWidth x kHeight in parent with one recording view at (20, 20, 120, 100).
  VSTGUI::CFrame* openFrame(Window parent, RecordingView** view = nullptr);
  static VSTGUI::X11::X11Frame* x11(VSTGUI::CFrame* frame);

  // Input as the user would give it (root coordinates).
  void moveTo(int rootX, int rootY);
  void button(unsigned int button, bool press);
  void click(unsigned int button);
  void key(KeySym sym, bool press);
  // Root position of a frame point.
  void frameToRoot(VSTGUI::CFrame* frame, int x, int y, int& rootX, int& rootY);

  // Runs frame idle passes until pred holds or timeoutMs passed.
  bool pumpUntil(VSTGUI::CFrame* frame, const std::function<bool()>& pred, int timeoutMs = 3000);
  // Pumps until the frame has seen the pointer at (x, y) in its own coordinates.
  bool pointerReached(VSTGUI::CFrame* frame, int x, int y);

  std::vector<Window> windowsOfType(const char* typeName) { return x11test::windowsOfType(user, typeName); }
  // The window's pixels as 0xRRGGBB (row-major), through the test connection.
  std::vector<uint32_t> windowPixels(Window w, int width, int height);

  Display* user = nullptr;  // the test's own connection
  Window parent = None;
  bool skipped = false;
};

// Pixels of the frame's image as 0xRRGGBB.
std::vector<uint32_t> framePixels(VSTGUI::CFrame* frame);
void sleepMs(int ms);

}  // namespace x11test
