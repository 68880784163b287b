// Shared pieces of the X11 tests: a private X server, a second connection that plays the user
// through XTest, a parent window standing in for the host's, and a view that records what
// reaches it.
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

// Paints a solid colour and logs the mouse and wheel events it receives, one word each: "d2@30,57"
// a press with the button word 2 at (30, 57), "u" a release, "m" a move, "w+" / "w-" a wheel step.
class RecordingView : public VSTGUI::CView {
 public:
  using CPoint = VSTGUI::CPoint;
  using CButtonState = VSTGUI::CButtonState;
  using Result = VSTGUI::CMouseEventResult;
  RecordingView(const VSTGUI::CRect& size, VSTGUI::CColor colour) : CView(size), colour(colour) {}
  void draw(VSTGUI::CDrawContext* context) override {
    context->setFillColor(colour);
    context->fillRect(getViewSize());
    setDirty(false);
  }
  Result onMouseDown(CPoint& where, const CButtonState& b) override { return note("d", where, b); }
  Result onMouseUp(CPoint& where, const CButtonState& b) override { return note("u", where, b); }
  Result onMouseMoved(CPoint& where, const CButtonState& b) override { return note("m", where, b); }
  bool onWheel(const CPoint& where, const VSTGUI::CMouseWheelAxis&, const float& distance,
               const CButtonState& b) override {
    note(distance > 0 ? "w+" : "w-", where, b);
    return true;
  }
  Result note(const char* kind, const CPoint& where, const CButtonState& b) {
    log += (log.empty() ? "" : " ") + std::string(kind) + std::to_string(b()) + "@" +
           std::to_string(static_cast<int>(where.x)) + "," + std::to_string(static_cast<int>(where.y));
    return VSTGUI::kMouseEventHandled;
  }
  std::string log;
  VSTGUI::CColor colour;
};

// Viewable override-redirect windows on the root carrying this _NET_WM_WINDOW_TYPE.
std::vector<Window> windowsOfType(Display* display, const char* typeName);
// XTest input on any connection (root coordinates), synchronised.
void fakeMove(Display* display, int rootX, int rootY);
void fakeButton(Display* display, unsigned int button, bool press);
void fakeKey(Display* display, KeySym sym, bool press);
void fakeClick(Display* display, unsigned int button);
void fakeTap(Display* display, KeySym sym);
void sleepMs(int ms);
inline void* windowArg(Window w) { return reinterpret_cast<void*>(static_cast<uintptr_t>(w)); }

// A window of the test's own connection inside which frames open, and the injection tools.
class X11Fixture : public ::testing::Test {
 protected:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 200;

  void SetUp() override;
  void TearDown() override;

  Window makeParent(int x, int y, int w, int h);
  // A frame of kWidth x kHeight in parent with one recording view at (20, 20, 120, 100).
  VSTGUI::CFrame* openFrame(Window parent, RecordingView** view = nullptr);
  // Opens frame and view in the parent; false when it failed.
  bool openMain() { return (frame = openFrame(parent, &view)) != nullptr; }
  static VSTGUI::X11::X11Frame* x11(VSTGUI::CFrame* f);

  // Input as the user would give it, at a point of a frame.
  VSTGUI::CPoint rootOf(VSTGUI::CFrame* f, int x, int y);
  void pointAt(VSTGUI::CFrame* f, int x, int y);
  // Runs frame idle passes until pred holds or three seconds passed.
  bool pumpUntil(VSTGUI::CFrame* f, const std::function<bool()>& pred);
  // Points at (x, y) and pumps until the frame has seen the pointer there: every event sent
  // before has been read by then.
  bool settleAt(VSTGUI::CFrame* f, int x, int y);

  std::vector<Window> windowsOfType(const char* typeName) { return x11test::windowsOfType(user, typeName); }
  // The window's pixels as 0xRRGGBB (row-major), through the test connection.
  std::vector<uint32_t> windowPixels(Window w, int width, int height);
  // Children of w, and the window w is a child of.
  std::vector<Window> childrenOf(Window w, Window* parentOfW = nullptr);

  Display* user = nullptr;  // the test's own connection
  Window parent = None;
  VSTGUI::CFrame* frame = nullptr;  // closed by TearDown
  RecordingView* view = nullptr;
};

}  // namespace x11test
