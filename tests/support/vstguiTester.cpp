#include "support/vstguiTester.h"

namespace testing_support {

using namespace VSTGUI;

ManualClock::ManualClock(uint64_t startMs) : now(startMs) { Ticks::setSource(&ManualClock::read, this); }

ManualClock::~ManualClock() { Ticks::setSource(nullptr, nullptr); }

uint64_t ManualClock::read(void* self) { return static_cast<ManualClock*>(self)->now; }

namespace {

void collect(const COptionMenu& menu, int depth, std::vector<MenuLine>& lines) {
  for (int32_t i = 0; i < menu.getNbEntries(); ++i) {
    const CMenuItem* item = menu.getEntry(i);
    lines.push_back({depth, item->getTitle(), item->getFlags(), item->getSubmenu() != nullptr});
    if (item->getSubmenu()) collect(*item->getSubmenu(), depth + 1, lines);
  }
}

}  // namespace

MenuChoice TestMenuDriver::findTitle(COptionMenu& menu, const std::string& title) {
  for (int32_t i = 0; i < menu.getNbEntries(); ++i) {
    CMenuItem* item = menu.getEntry(i);
    if (item->isSelectable() && item->getTitle() == title) return {&menu, i};
    if (item->getSubmenu()) {
      const MenuChoice inner = findTitle(*item->getSubmenu(), title);
      if (inner.menu) return inner;
    }
  }
  return {};
}

std::vector<MenuLine> TestMenuDriver::snapshot(const COptionMenu& menu) {
  std::vector<MenuLine> lines;
  collect(menu, 0, lines);
  return lines;
}

MenuChoice TestMenuDriver::runMenu(CFrame&, COptionMenu& menu, const CPoint& where) {
  ++runs;
  lastWhere = where;
  lastShown = snapshot(menu);
  auto current = std::move(script);
  script = nullptr;
  return current ? current(menu) : MenuChoice{};
}

FrameTester::FrameTester(const CRect& size, VSTGUIEditorInterface* editor)
    : frame_(new CFrame(size, editor)), owned(true) {
  frame_->open(nullptr, PlatformType::kOffscreen);
  frame_->setMenuDriver(&menuDriver);
}

FrameTester::FrameTester(CFrame* existing) : frame_(existing), owned(false) {
  if (frame_) frame_->setMenuDriver(&menuDriver);
}

FrameTester::~FrameTester() {
  if (owned && frame_) frame_->close();
}

COffscreenPlatformFrame* FrameTester::platform() const {
  return dynamic_cast<COffscreenPlatformFrame*>(frame_->getPlatformFrame());
}

CMouseEventResult FrameTester::mouseDown(double x, double y, int32_t buttons) {
  CPoint p(x, y);
  return frame_->platformOnMouseDown(p, buttons);
}

CMouseEventResult FrameTester::mouseUp(double x, double y, int32_t buttons) {
  CPoint p(x, y);
  return frame_->platformOnMouseUp(p, buttons);
}

CMouseEventResult FrameTester::move(double x, double y, int32_t buttons) {
  CPoint p(x, y);
  return frame_->platformOnMouseMoved(p, buttons);
}

void FrameTester::click(double x, double y, int32_t buttons) {
  mouseDown(x, y, buttons);
  mouseUp(x, y, buttons);
}

void FrameTester::doubleClick(double x, double y, int32_t buttons) {
  click(x, y, buttons);
  click(x, y, buttons | kDoubleClick);
}

void FrameTester::drag(CPoint from, CPoint to, int steps, int32_t buttons) {
  mouseDown(from.x, from.y, buttons);
  for (int i = 1; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    move(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t, buttons);
  }
  mouseUp(to.x, to.y, buttons);
}

bool FrameTester::wheel(double x, double y, float distance, int32_t buttons) {
  return frame_->platformOnMouseWheel(CPoint(x, y), kMouseWheelAxisY, distance, buttons);
}

int32_t FrameTester::keyDown(unsigned char virt, int32_t character, unsigned char modifier) {
  VstKeyCode key{character, virt, modifier};
  return frame_->platformOnKeyDown(key);
}

int32_t FrameTester::keyUp(unsigned char virt, int32_t character, unsigned char modifier) {
  VstKeyCode key{character, virt, modifier};
  return frame_->platformOnKeyUp(key);
}

void FrameTester::idle() { frame_->idle(); }

bool FrameTester::capturePNG(const std::string& path) const { return frame_->writePNG(path); }

uint32_t FrameTester::pixel(int x, int y) const { return readFramePixel(*frame_, x, y); }

namespace {

CRect shifted(const CRect& r, const CPoint& offset) {
  CRect out(r);
  out.offset(offset);
  return out;
}

}  // namespace

void RecordingDrawContext::drawLine(const CPoint& start, const CPoint& end) {
  Op op;
  op.kind = Kind::Line;
  op.points = {start + offset, end + offset};
  op.color = frameColor;
  ops.push_back(op);
}

void RecordingDrawContext::drawPolyline(const PointList& points) {
  Op op;
  op.kind = Kind::Polyline;
  for (const CPoint& p : points) op.points.push_back(p + offset);
  op.color = frameColor;
  ops.push_back(op);
}

void RecordingDrawContext::drawPolygon(const PointList& points, CDrawStyle style) {
  Op op;
  op.kind = Kind::Polygon;
  for (const CPoint& p : points) op.points.push_back(p + offset);
  op.style = style;
  op.color = style == kDrawStroked ? frameColor : fillColor;
  ops.push_back(op);
}

void RecordingDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
  Op op;
  op.kind = Kind::Rect;
  op.rect = shifted(rect, offset);
  op.style = style;
  op.color = style == kDrawStroked ? frameColor : fillColor;
  ops.push_back(op);
}

void RecordingDrawContext::drawEllipse(const CRect& rect, CDrawStyle style) {
  Op op;
  op.kind = Kind::Ellipse;
  op.rect = shifted(rect, offset);
  op.style = style;
  op.color = style == kDrawStroked ? frameColor : fillColor;
  ops.push_back(op);
}

void RecordingDrawContext::drawString(const char* string, const CRect& rect, CHoriTxtAlign hAlign, bool) {
  Op op;
  op.kind = Kind::String;
  op.text = string ? string : "";
  op.rect = shifted(rect, offset);
  op.align = hAlign;
  op.color = fontColor;
  op.fontSize = font.getSize();
  op.fontStyle = font.getStyle();
  ops.push_back(op);
}

void RecordingDrawContext::drawString(const char* string, const CPoint& point, bool) {
  Op op;
  op.kind = Kind::String;
  op.text = string ? string : "";
  op.rect = CRect(point + offset, CPoint(0, 0));
  op.align = kLeftText;
  op.color = fontColor;
  op.fontSize = font.getSize();
  op.fontStyle = font.getStyle();
  ops.push_back(op);
}

void RecordingDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& sourceOffset,
                                      float alpha) {
  Op op;
  op.kind = Kind::Bitmap;
  op.rect = shifted(dest, offset);
  op.sourceOffset = sourceOffset;
  op.bitmapId = bitmap ? bitmap->getResourceId() : -1;
  op.alpha = alpha;
  ops.push_back(op);
}

std::vector<RecordingDrawContext::Op> RecordingDrawContext::of(Kind kind) const {
  std::vector<Op> out;
  for (const Op& op : ops)
    if (op.kind == kind) out.push_back(op);
  return out;
}

std::vector<std::string> RecordingDrawContext::strings() const {
  std::vector<std::string> out;
  for (const Op& op : ops)
    if (op.kind == Kind::String) out.push_back(op.text);
  return out;
}

}  // namespace testing_support
