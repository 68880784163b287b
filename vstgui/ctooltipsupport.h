// Shows the tool-tip of the view under the mouse after a delay; hides it on a click or when the
// mouse moves to another view.
#pragma once

#include <string>

#include "cgeometry.h"

namespace VSTGUI {

class CTooltipSupport : public CBaseObject {
 public:
  // Installs itself in frame, which takes over the creator's reference and releases the
  // support when it closes (or when another support replaces it).
  CTooltipSupport(CFrame* frame, uint32_t delayMs = 1000);
  ~CTooltipSupport() override;

  uint32_t getDelay() const { return delay; }
  bool isVisible() const { return visible; }
  const std::string& getShownText() const { return shownText; }
  CView* getHoveredView() const { return hovered; }

  // Called by the frame.
  void onMouseMoved(CView* viewUnderMouse, uint32_t now);
  void onMouseDown();
  void onIdle(uint32_t now);
  void onViewRemoved(CView* view);
  void hideTooltip();
  void detachFromFrame() { frame = nullptr; }

 private:
  void setHovered(CView* view);

  CFrame* frame;
  uint32_t delay;
  CView* hovered = nullptr;
  uint32_t hoverStart = 0;
  bool armed = false;
  bool visible = false;
  std::string shownText;
};

}  // namespace VSTGUI
