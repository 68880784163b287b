#include "ctooltipsupport.h"

#include "cframe.h"

namespace VSTGUI {

CTooltipSupport::CTooltipSupport(CFrame* owner, uint32_t delayMs) : frame(owner), delay(delayMs) {
  if (frame) frame->setTooltipSupport(this);
}

CTooltipSupport::~CTooltipSupport() {
  hideTooltip();
  setHovered(nullptr);
}

void CTooltipSupport::setHovered(CView* view) {
  if (view) view->remember();
  if (hovered) hovered->forget();
  hovered = view;
}

void CTooltipSupport::hideTooltip() {
  if (visible && frame && frame->getPlatformFrame()) frame->getPlatformFrame()->hideTooltip();
  visible = false;
  shownText.clear();
}

void CTooltipSupport::onMouseMoved(CView* viewUnderMouse, uint32_t now) {
  if (viewUnderMouse == hovered) return;
  hideTooltip();
  setHovered(viewUnderMouse);
  hoverStart = now;
  armed = viewUnderMouse != nullptr;
}

void CTooltipSupport::onMouseDown() {
  hideTooltip();
  armed = false;
}

void CTooltipSupport::onViewRemoved(CView* view) {
  if (view != hovered) return;
  hideTooltip();
  setHovered(nullptr);
  armed = false;
}

void CTooltipSupport::onIdle(uint32_t now) {
  if (!frame || !hovered) return;
  IPlatformFrame* platform = frame->getPlatformFrame();
  if (visible) {
    // The editor rewrites tool-tip texts while one is shown (live parameter values).
    const std::string text = hovered->getTooltipText();
    if (text.empty())
      hideTooltip();
    else if (text != shownText && platform) {
      shownText = text;
      platform->showTooltip(hovered->getFrameRect(), shownText);
    }
    return;
  }
  if (!armed || static_cast<uint32_t>(now - hoverStart) < delay) return;
  const std::string text = hovered->getTooltipText();
  if (text.empty() || !platform) return;
  shownText = text;
  visible = true;
  armed = false;
  platform->showTooltip(hovered->getFrameRect(), shownText);
}

}  // namespace VSTGUI
