// The graph screens of the editor: envelope follower, wave-shaper curves, modulation matrix,
// LFO shape, EQ response and distortion curve. Each is bound to no single parameter (tag 9999)
// and writes the parameters it edits straight into the plug-in, which it reaches through its
// frame's editor every time (controlContext); without one it draws nothing and ignores clicks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/uControlEditor.h"
#include "vstgui/ccontrol.h"
#include "vstgui/cdrawcontext.h"

// What the six screens share: font by zoom, the host gesture they may hold open, the mouse
// conventions and the two shaded help bands.
class TGraphScreen : public VSTGUI::CControl {
 public:
  // Screens are bound to no single parameter.
  static constexpr int32_t TAG = 9999;

  // A drag value that follows the pointer distance from the mouse-down point. A change of the
  // step (Shift pressed or let go) moves the anchor so that the value continues without a jump.
  struct DragAxis {
    float anchor = 0.0f;
    float perPixel = 0.0f;
    void start(float value, float step) {
      anchor = value;
      perPixel = step;
    }
    float follow(float distance, float step) {
      anchor += (perPixel - step) * distance;
      perPixel = step;
      return step * distance + anchor;
    }
  };

  // A screen taken away in the middle of a drag (the editor rebuilds its box) closes the
  // gesture, so the host sees every begin matched by an end.
  bool removed(VSTGUI::CView* parent) override;

  // Ends the drag (the follower, EQ and distortion screens keep no more than that).
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  // Without a plug-in: not handled. Otherwise the screen's wheel step for the distance's sign
  // (none for a distance of 0), and handled.
  bool onWheel(const VSTGUI::CPoint& where, const float& distance,
               const VSTGUI::CButtonState& buttons) override;

  bool isDragging() const { return dragging; }
  // The parameter whose host gesture is open, -1 when none.
  int32_t getGestureTag() const { return gestureTag; }

  // Reset click: exactly Command with the left button, or any double-click.
  static bool isResetClick(const VSTGUI::CButtonState& buttons) {
    return buttons == (VSTGUI::kLButton | VSTGUI::kControl) || buttons.isDoubleClick();
  }
  static int wheelSign(float distance) { return distance > 0.0f ? 1 : (distance < 0.0f ? -1 : 0); }

 protected:
  TGraphScreen(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int scale);
  // A copy starts idle: the gesture belongs to the original.
  TGraphScreen(const TGraphScreen& other);

  void beginGesture(int32_t tag);
  void endGesture();
  // The help bands at the top and the bottom of the view (follower, LFO, distortion).
  void drawHelpBands(VSTGUI::CDrawContext* context, const std::string& top, const std::string& bottom) const;
  // where (the parent's coordinates) in frame coordinates, as the editor's menus take it.
  VSTGUI::CPoint toFrame(const VSTGUI::CPoint& where) const;
  // A drag's first event and its repeats: true when where is new.
  bool takePoint(const VSTGUI::CPoint& where);
  void startDrag(const VSTGUI::CPoint& where);
  // The wheel moved by distance (sign -1 or +1) with the pointer at where.
  virtual void wheelStep(const ControlContext& c, const VSTGUI::CPoint& where, float distance, int sign) = 0;

  int zoomIdx;
  VSTGUI::CFontRef font;
  bool dragging = false;
  int32_t gestureTag = -1;
  VSTGUI::CPoint firstPoint;
  VSTGUI::CPoint lastPoint{-1, -1};
};

// The envelope follower's recent output; a drag edits boost (up/down) and smooth (left/right).
class TFollowerScreen : public TGraphScreen {
 public:
  TFollowerScreen(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int scale);

  // The editor's idle refresh: redraws when the counter moved on.
  void update(int counter);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CBaseObject* newCopy() const override { return new TFollowerScreen(*this); }

 private:
  void wheelStep(const ControlContext& c, const VSTGUI::CPoint& where, float distance, int sign) override;
  int32_t refreshCount = 0;
  float plotHeight;
  float plotWidth;
  DragAxis boostDrag;
  DragAxis smoothDrag;
  std::vector<VSTGUI::CPoint> points;  // reused by every draw
};

// One of the two drawn 256-point curves (tags 250..505 or 506..761). With switch 246 off the
// curve is odd-symmetric and the screen shows and edits its upper half.
class TWaveShaperScreen : public TGraphScreen {
 public:
  TWaveShaperScreen(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int shaper, int scale);

  enum DrawMode { kFreehand = 0, kLine = 1, kErase = 2 };
  void setDrawMode(int mode);
  int getDrawMode() const { return drawMode; }
  int getShaper() const { return shaper; }

  // The curve at pixel column x: the raw point value when independent, else the output level
  // -1..1 of the upper half. 0 without a plug-in.
  float getPointValue(int x);
  // Point i = v (independent, i 0..255); or, symmetric (i 0..127), point 128 + i = v / 2 + 0.5
  // and point 127 - i its mirror. Not automated.
  void setPointValue(int i, float v);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CBaseObject* newCopy() const override { return new TWaveShaperScreen(*this); }

 private:
  void wheelStep(const ControlContext& c, const VSTGUI::CPoint& where, float distance, int sign) override;
  // The point under pixel column c (0..W) in the current mode.
  int pointAt(int column) const;
  // Writes the points between two samples (columns ordered), as a stroke or a finished line.
  void writeSpan(int loColumn, float loLevel, int hiColumn, float hiLevel, bool line);
  float levelAt(double y) const;
  int columnAt(double x) const;

  int32_t shaper;
  int32_t drawMode = kFreehand;
  bool independent = false;
  bool lineActive = false;
  VSTGUI::CPoint lineStart;
  VSTGUI::CPoint lineEnd;
  int32_t lastColumn = 0, previousColumn = 0;
  float lastLevel = 0.0f, previousLevel = 0.0f;
  float plotWidth, plotHeight;
  float zoom;
  std::vector<VSTGUI::CPoint> points;
};

// The ten modulation-matrix slots, in a basic (5 columns) or advanced (8 columns) table.
class TModScreen : public TGraphScreen {
 public:
  TModScreen(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int scale, bool advanced);

  // The row under y (view-relative), 0..9.
  int getSlot(double y) const;
  // The column whose edges strictly enclose the view-relative x, -1 on an edge or outside.
  int columnAt(double x) const;
  int getColumnEdge(int j) const { return columnEdges[j]; }
  int getColumnCount() const { return columnCount; }
  // The text of a matrix cell: kind 0..7 of row r.
  std::string cellText(APlugin& plugin, int row, int kind, int distortType) const;
  // An amount, offset or threshold value as the matrix shows it.
  static std::string percentText(float value, bool exponential);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CBaseObject* newCopy() const override { return new TModScreen(*this); }

 private:
  void wheelStep(const ControlContext& c, const VSTGUI::CPoint& where, float distance, int sign) override;
  void chooseSource(int row);

  int32_t columnCount;
  int32_t columnEdges[9] = {};
  int32_t columnWidths[8] = {};
  float rowHeight;
  int32_t dragTag = -1;
  int32_t activeRow = 0;
  DragAxis drag;
};

// The shape of one LFO with its moving position dot; a drag edits the LFO's shape parameter.
class TLFOScreen : public TGraphScreen {
 public:
  TLFOScreen(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int lfoIndex, int scale);

  // Selects LFO 0..3 (others are ignored).
  void setLFO(int index);
  int getLFO() const { return lfoIndex; }
  // The editor's idle refresh: redraws when the dot moved by a pixel or the wave changed.
  void update(int counter);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CBaseObject* newCopy() const override { return new TLFOScreen(*this); }

 private:
  void wheelStep(const ControlContext& c, const VSTGUI::CPoint& where, float distance, int sign) override;
  int32_t dotSize;
  // The plot area, inset by twice the dot size, relative to the view's top-left.
  int32_t plotLeft, plotRight, plotTop, plotBottom;
  int32_t plotWidth;
  float plotWidthF;
  int32_t plotHeight;
  int32_t lfoIndex;
  int32_t lastWave = -1;
  int32_t lastPosition = -1;
  int32_t refreshCount = 0;
  DragAxis drag;
  std::vector<VSTGUI::CPoint> points;
};

// The response of one of the two four-band EQs; a band's handle is dragged to edit it.
class TEQScreen : public TGraphScreen {
 public:
  TEQScreen(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int scale);

  static constexpr int MAX_WIDTH = 2047;
  static constexpr int NUM_BANDS = 4;

  // Shows EQ 0 (pre) or 1 (post); other values are ignored.
  void setEQ(int e);
  int getEQ() const { return eq; }
  int getSelectedBand() const { return selectedBand; }
  int getPlotWidth() const { return plotWidth; }
  int getPlotHeight() const { return plotHeight; }
  int getHandleRadius() const { return handleRadius; }

  // Brings the band responses up to date with the parameters (only changed bands are
  // recomputed); the rows and responses of band k then hold columns 0..W.
  void computeResponses(APlugin& plugin);
  const int32_t* bandRows(int k) const { return bandY[k].data(); }
  const float* bandResponses(int k) const { return bandResponse[k].data(); }
  int middleRow() const { return plotHeight / 2; }

  // The outline, placed at origin, of the pixels that vertical 1-px lines from row middle to
  // rows[x] cover for columns 0..count-1; a column whose row is the middle covers none. Empty
  // when no column covers anything.
  static void fillOutline(const int32_t* rows, int count, int middle, const VSTGUI::CPoint& origin,
                          std::vector<VSTGUI::CPoint>& out);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CBaseObject* newCopy() const override { return new TEQScreen(*this); }

 private:
  void wheelStep(const ControlContext& c, const VSTGUI::CPoint& where, float distance, int sign) override;
  struct Coefficients {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0, gainDB = 0;
  };
  struct BandValues {
    float freq = -1, gain = -1, width = -1;
    bool operator==(const BandValues&) const = default;
  };
  int tagOf(const std::array<int, 8>& tags, int band) const {
    return tags[static_cast<size_t>(eq * 4 + band)];
  }
  double pointerU(double x) const;
  double pointerV(double y) const;

  int32_t eq = 0;
  int32_t selectedBand = 0;
  int32_t plotWidth, plotHeight;
  int32_t handleRadius;
  float zoom;
  std::array<double, MAX_WIDTH + 1> cosTable{};
  std::array<double, MAX_WIDTH + 1> cos2Table{};
  std::array<Coefficients, NUM_BANDS> bandCoefficients{};
  std::array<BandValues, NUM_BANDS> bandValues{};  // what each band's response belongs to
  std::array<std::array<float, MAX_WIDTH + 1>, NUM_BANDS> bandResponse{};
  std::array<std::array<int32_t, MAX_WIDTH + 1>, NUM_BANDS> bandY{};
  float bandLevel = 0.0f;
  std::vector<VSTGUI::CPoint> points;
};

// The current distortion type's output for a test wave. A drag scales the picture (up/down)
// and the test frequency (left/right); these are display settings, never parameters.
class TDistortScreen : public TGraphScreen {
 public:
  TDistortScreen(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int scale);

  static constexpr int MAX_POINTS = 512;
  static constexpr std::array<const char*, 5> WAVE_NAMES = {"Sin", "Tri", "Saw", "RSaw", "Sqr"};

  // Back to full size (the editor calls it when the distortion type changed).
  void reset();
  // The editor's idle refresh: recomputes the curve when the counter moved on and redraws
  // when the curve, its size or the test wave changed.
  void update(int counter);
  // The largest gain whose picture of a curve peaking at peak stays within 0.95.
  static float limitGain(float gain, float peak);

  int getTestWave() const { return testWave; }
  float getFrequency() const { return frequency; }
  float getGain() const { return gain; }
  int getPlotWidth() const { return plotWidth; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CBaseObject* newCopy() const override { return new TDistortScreen(*this); }

 private:
  void wheelStep(const ControlContext& c, const VSTGUI::CPoint& where, float distance, int sign) override;
  // Relative to the view's top-left.
  int32_t plotLeft, plotTop, plotRight, plotBottom;
  int32_t plotWidth;
  float plotHeight;
  int32_t testWave = 0;
  int32_t lastWave = -1;
  float frequency = 0.0f;
  float gain = 1.0f;
  float peak = 1.0f;
  DragAxis frequencyDrag;
  DragAxis gainDrag;
  int32_t refreshCount = 0;
  std::array<float, MAX_POINTS> samples{};
  std::vector<VSTGUI::CPoint> points;
};
