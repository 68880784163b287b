// Drawing context over a cairo context. Coordinates are those of the view being drawn: the
// context adds the current offset (its container's position) to every coordinate.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ccolor.h"
#include "cfont.h"
#include "cgeometry.h"

namespace VSTGUI {

// kNonIntegralMode: coordinates are used as given, without aligning lines to pixel centres.
enum CDrawModeFlags : int32_t { kAliasing = 0, kAntiAliasing = 1, kNonIntegralMode = 0xF000 };

class CDrawContext {
 public:
  using PointList = std::vector<CPoint>;
  using LinePair = std::pair<CPoint, CPoint>;
  using LineList = std::vector<LinePair>;

  // The context does not own cr; with a null cr every drawing call does nothing (recording
  // contexts in tests derive from this).
  explicit CDrawContext(cairo_t* cr);
  virtual ~CDrawContext();
  CDrawContext(const CDrawContext&) = delete;
  CDrawContext& operator=(const CDrawContext&) = delete;

  void setFrameColor(const CColor& color) { frameColor = color; }
  const CColor& getFrameColor() const { return frameColor; }
  void setFillColor(const CColor& color) { fillColor = color; }
  const CColor& getFillColor() const { return fillColor; }
  void setFontColor(const CColor& color) { fontColor = color; }
  const CColor& getFontColor() const { return fontColor; }
  void setLineWidth(CCoord width) { lineWidth = width; }
  CCoord getLineWidth() const { return lineWidth; }
  void setDrawMode(int32_t mode) { drawMode = mode; }
  int32_t getDrawMode() const { return drawMode; }
  void setGlobalAlpha(float alpha) { globalAlpha = alpha; }
  float getGlobalAlpha() const { return globalAlpha; }

  // size 0 takes the descriptor's size, style -1 the descriptor's style.
  void setFont(const CFontDesc* font, const CCoord& size = 0, const int32_t& style = -1);
  const CFontDesc* getFont() const { return &font; }

  // Clipping, in the current view coordinates.
  void setClipRect(const CRect& clip);
  CRect& getClipRect(CRect& clip) const;
  void resetClipRect();

  // The translation added to all coordinates (the position of the container being drawn).
  const CPoint& getOffset() const { return offset; }
  void setOffset(const CPoint& newOffset) { offset = newOffset; }

  virtual void moveTo(const CPoint& point);
  virtual void lineTo(const CPoint& point);
  virtual void drawLine(const CPoint& start, const CPoint& end);
  void drawLine(const LinePair& line) { drawLine(line.first, line.second); }
  virtual void drawLines(const LineList& lines);
  // Open line through the points.
  virtual void drawPolyline(const PointList& points);
  // Filled area (closed), or with kDrawStroked an open line through the points.
  virtual void drawPolygon(const PointList& points, CDrawStyle style = kDrawStroked);
  virtual void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
  void fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }
  virtual void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);

  // Text in the font colour, vertically centred in rect, aligned left, centred or right.
  virtual void drawString(const char* string, const CRect& rect, CHoriTxtAlign hAlign = kCenterText,
                          bool antialias = true);
  void drawString(const std::string& string, const CRect& rect, CHoriTxtAlign hAlign = kCenterText,
                  bool antialias = true) {
    drawString(string.c_str(), rect, hAlign, antialias);
  }
  // Text with its baseline starting at point.
  virtual void drawString(const char* string, const CPoint& point, bool antialias = true);
  virtual CCoord getStringWidth(const char* string);

  virtual void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& sourceOffset = CPoint(0, 0),
                          float alpha = 1.f);

  cairo_t* getCairo() const { return cr; }

 protected:
  void setSource(const CColor& color);
  void applyFont(bool antialias);
  // Half a pixel for odd integral line widths, so that lines cover whole pixels.
  CCoord strokeAdjust() const;

  cairo_t* cr;
  CColor frameColor = kBlackCColor;
  CColor fillColor = kWhiteCColor;
  CColor fontColor = kWhiteCColor;
  CCoord lineWidth = 1;
  int32_t drawMode = kAntiAliasing;
  float globalAlpha = 1.f;
  CFontDesc font{"Liberation Sans", 12, kNormalFace};
  CPoint offset;
  CPoint penPosition;
  CRect clipRect{-1e9, -1e9, 1e9, 1e9};  // device coordinates
};

}  // namespace VSTGUI
