// Helpers for tests of the GUI toolkit and of everything drawn with it: a frame driven by hand
// (mouse, wheel, keys, clock, idle passes, image capture), a scripted pop-up menu driver and a
// drawing context that records what is drawn instead of drawing it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vstgui/vstgui.h"

namespace testing_support {

// Replaces the toolkit's millisecond clock while it exists.
class ManualClock {
 public:
  explicit ManualClock(uint64_t startMs = 1000);
  ~ManualClock();
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;
  void advance(uint64_t ms) { now += ms; }
  void set(uint64_t ms) { now = ms; }
  uint64_t get() const { return now; }

 private:
  static uint64_t read(void* self);
  uint64_t now;
};

// One line of what a pop-up menu showed: depth 0 for the top menu, 1 for its sub-menus, ...
struct MenuLine {
  int depth;
  std::string title;
  int32_t flags;
  bool hasSubmenu;
};

// Answers pop-ups as the test scripted them, and keeps what each pop-up showed.
class TestMenuDriver : public VSTGUI::IMenuDriver {
 public:
  VSTGUI::MenuChoice runMenu(VSTGUI::CFrame& frame, VSTGUI::COptionMenu& menu,
                             const VSTGUI::CPoint& where) override;

  // Next pop-up: the first entry (depth first) with this title that the user can choose.
  void chooseTitle(const std::string& title) {
    script = [title](VSTGUI::COptionMenu& m) { return findTitle(m, title); };
  }
  // Next pop-up: the user closes it without choosing.
  void dismiss() { script = nullptr; }
  // Next pop-up: whatever the function answers (for hostile answers).
  void answer(std::function<VSTGUI::MenuChoice(VSTGUI::COptionMenu&)> f) { script = std::move(f); }

  static VSTGUI::MenuChoice findTitle(VSTGUI::COptionMenu& menu, const std::string& title);
  static std::vector<MenuLine> snapshot(const VSTGUI::COptionMenu& menu);

  int runs = 0;
  VSTGUI::CPoint lastWhere;
  std::vector<MenuLine> lastShown;

 private:
  std::function<VSTGUI::MenuChoice(VSTGUI::COptionMenu&)> script;
};

// A frame opened offscreen, with a manual clock and the test menu driver installed.
class FrameTester {
 public:
  explicit FrameTester(const VSTGUI::CRect& size, VSTGUI::VSTGUIEditorInterface* editor = nullptr);
  // Takes an existing open frame (for example one an editor made); does not close it.
  explicit FrameTester(VSTGUI::CFrame* existing);
  ~FrameTester();
  FrameTester(const FrameTester&) = delete;
  FrameTester& operator=(const FrameTester&) = delete;

  VSTGUI::CFrame* frame() const { return frame_; }
  VSTGUI::COffscreenPlatformFrame* platform() const;
  TestMenuDriver& menus() { return menuDriver; }
  ManualClock& clock() { return clock_; }

  VSTGUI::CMouseEventResult mouseDown(double x, double y, int32_t buttons = VSTGUI::kLButton);
  VSTGUI::CMouseEventResult mouseUp(double x, double y, int32_t buttons = VSTGUI::kLButton);
  VSTGUI::CMouseEventResult move(double x, double y, int32_t buttons = 0);
  void click(double x, double y, int32_t buttons = VSTGUI::kLButton);
  // A first click, then a second one carrying the double-click bit.
  void doubleClick(double x, double y, int32_t buttons = VSTGUI::kLButton);
  // Press at from, move in equal steps to to, release there.
  void drag(VSTGUI::CPoint from, VSTGUI::CPoint to, int steps = 4, int32_t buttons = VSTGUI::kLButton);
  bool wheel(double x, double y, float distance, int32_t buttons = 0);
  int32_t keyDown(unsigned char virt, int32_t character = 0, unsigned char modifier = 0);
  int32_t keyUp(unsigned char virt, int32_t character = 0, unsigned char modifier = 0);
  void advanceClock(uint64_t ms) { clock_.advance(ms); }
  void idle();
  bool capturePNG(const std::string& path) const;
  uint32_t pixel(int x, int y) const;

 private:
  ManualClock clock_;
  TestMenuDriver menuDriver;
  VSTGUI::CFrame* frame_;
  bool owned;
};

// Records drawing calls in frame coordinates (the context's offset applied).
class RecordingDrawContext : public VSTGUI::CDrawContext {
 public:
  enum class Kind { Bitmap, String, Line, Polyline, Polygon, Rect, Ellipse };
  struct Op {
    Kind kind = Kind::Line;
    VSTGUI::CRect rect;           // destination (bitmap, string, rect, ellipse)
    VSTGUI::CPoint sourceOffset;  // bitmaps
    int32_t bitmapId = -1;        // bitmaps
    float alpha = 1.f;            // bitmaps
    std::string text;             // strings
    VSTGUI::CHoriTxtAlign align = VSTGUI::kCenterText;
    std::vector<VSTGUI::CPoint> points;  // lines and polylines
    VSTGUI::CColor color;                // frame, fill or font colour in use
    VSTGUI::CDrawStyle style = VSTGUI::kDrawStroked;
    double fontSize = 0;
    int32_t fontStyle = 0;
  };

  RecordingDrawContext() : VSTGUI::CDrawContext(nullptr) {}

  void drawLine(const VSTGUI::CPoint& start, const VSTGUI::CPoint& end) override;
  void drawPolyline(const PointList& points) override;
  void drawPolygon(const PointList& points, VSTGUI::CDrawStyle style) override;
  void drawRect(const VSTGUI::CRect& rect, VSTGUI::CDrawStyle style) override;
  void drawEllipse(const VSTGUI::CRect& rect, VSTGUI::CDrawStyle style) override;
  void drawString(const char* string, const VSTGUI::CRect& rect, VSTGUI::CHoriTxtAlign hAlign,
                  bool antialias) override;
  void drawString(const char* string, const VSTGUI::CPoint& point, bool antialias) override;
  void drawBitmap(VSTGUI::CBitmap* bitmap, const VSTGUI::CRect& dest, const VSTGUI::CPoint& sourceOffset,
                  float alpha) override;
  using VSTGUI::CDrawContext::drawString;

  std::vector<Op> ops;
  std::vector<Op> of(Kind kind) const;
  std::vector<std::string> strings() const;
};

}  // namespace testing_support
