#include "cframe.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>

#include "cdrawcontext.h"
#include "ctooltipsupport.h"
#include "offscreenframe.h"

namespace VSTGUI {

int32_t CFrame::kDefaultKnobMode = kCircularMode;

namespace {
std::atomic<PlatformFrameFactory> gNativeFactory{nullptr};
}  // namespace

void setNativePlatformFrameFactory(PlatformFrameFactory factory) { gNativeFactory.store(factory); }
PlatformFrameFactory getNativePlatformFrameFactory() { return gNativeFactory.load(); }

CFrame::CFrame(const CRect& frameSize, VSTGUIEditorInterface* owner)
    : CViewContainer(CRect(0, 0, frameSize.getWidth(), frameSize.getHeight())), editor(owner) {
  parentFrame = this;
  attachedFlag = true;
  backgroundColor = kBlackCColor;
}

CFrame::~CFrame() {
  closing = true;
  removeAll(true);
  setTooltipSupport(nullptr);
  platformFrame.reset();
  destroyImage();
}

bool CFrame::createImage() {
  destroyImage();
  const int w = std::max(1, static_cast<int>(size.getWidth()));
  const int h = std::max(1, static_cast<int>(size.getHeight()));
  image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    destroyImage();
    return false;
  }
  return true;
}

void CFrame::destroyImage() {
  if (image) cairo_surface_destroy(image);
  image = nullptr;
}

bool CFrame::open(void* parentWindow, PlatformType type) {
  if (platformFrame || !createImage()) return false;
  PlatformFrameFactory factory = getNativePlatformFrameFactory();
  if (type == PlatformType::kOffscreen || !factory) {
    platformFrame = std::make_unique<COffscreenPlatformFrame>();
  } else {
    IPlatformFrame* native = factory(this, parentWindow);
    if (!native) {
      destroyImage();
      return false;
    }
    platformFrame.reset(native);
  }
  platformFrame->setSize(size);
  invalid();
  return true;
}

void CFrame::close() {
  closing = true;
  setTooltipSupport(nullptr);
  removeAll(true);
  keyboardHooks.clear();
  focusView = nullptr;
  platformFrame.reset();
  destroyImage();
  invalidRegions.clear();
  forget();
}

IMenuDriver* CFrame::getMenuDriver() const {
  if (menuDriver) return menuDriver;
  return platformFrame ? platformFrame->getMenuDriver() : nullptr;
}

bool CFrame::writePNG(const std::string& path) const {
  if (!image) return false;
  cairo_surface_flush(image);
  return cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void CFrame::enableTooltips(bool state, uint32_t delayMs) {
  if (state)
    new CTooltipSupport(this, delayMs);  // installs itself
  else
    setTooltipSupport(nullptr);
}

void CFrame::setTooltipSupport(CTooltipSupport* support) {
  if (support == tooltipSupport) return;
  if (tooltipSupport) {
    CTooltipSupport* old = tooltipSupport;
    tooltipSupport = nullptr;
    old->hideTooltip();
    old->detachFromFrame();
    old->forget();
  }
  tooltipSupport = support;
}

void CFrame::invalid() { invalidRect(size); }

void CFrame::invalidRect(const CRect& rect) {
  if (closing) return;
  addRegion(invalidRegions, rect);
}

void CFrame::setViewSize(const CRect& newSize, bool invalidate) {
  CViewContainer::setViewSize(CRect(0, 0, newSize.getWidth(), newSize.getHeight()), false);
  if (image) createImage();
  if (platformFrame) platformFrame->setSize(size);
  if (invalidate) invalid();
}

void CFrame::addRegion(std::vector<CRect>& regions, CRect rect) const {
  rect.makeIntegral();
  rect.bound(size);
  if (rect.isEmpty()) return;
  // Merge with every region it overlaps, repeatedly, so the list stays disjoint.
  bool merged = true;
  while (merged) {
    merged = false;
    for (auto it = regions.begin(); it != regions.end(); ++it) {
      if (it->rectOverlap(rect)) {
        rect.unite(*it);
        regions.erase(it);
        merged = true;
        break;
      }
    }
  }
  regions.push_back(rect);
}

void CFrame::collectDirty(CViewContainer* container, std::vector<CRect>& regions) {
  for (int32_t i = 0; i < container->getNbViews(); ++i) {
    CView* view = container->getView(i);
    if (!view->isVisible()) continue;
    if (view->isDirty()) {
      addRegion(regions, view->getFrameRect());
      view->setDirty(false);
    }
    if (CViewContainer* inner = view->asViewContainer()) collectDirty(inner, regions);
  }
}

void CFrame::paint(const CRect& region) {
  cairo_t* cr = cairo_create(image);
  {
    CDrawContext context(cr);
    context.setClipRect(region);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    drawRect(&context, region);
  }
  cairo_destroy(cr);
  cairo_surface_flush(image);
}

void CFrame::idle() {
  if (inIdle || !image || !platformFrame) return;
  inIdle = true;
  remember();
  platformFrame->onIdle();
  if (tooltipSupport) tooltipSupport->onIdle(Ticks::now());
  std::vector<CRect> regions;
  for (const CRect& r : invalidRegions) addRegion(regions, r);
  invalidRegions.clear();
  if (isDirty()) {
    addRegion(regions, size);
    setDirty(false);
  }
  collectDirty(this, regions);
  for (const CRect& r : regions) {
    if (!image || !platformFrame) break;
    paint(r);
    platformFrame->present(image, r);
  }
  inIdle = false;
  forget();
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
  where = mouseLocation;
  return true;
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint& where, const CButtonState& buttons) {
  mouseLocation = where;
  mouseButtons = buttons;
  if (tooltipSupport) tooltipSupport->onMouseDown();
  remember();
  CPoint p(where);
  const CMouseEventResult result = onMouseDown(p, buttons);
  forget();
  return result;
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint& where, const CButtonState& buttons) {
  mouseLocation = where;
  mouseButtons = buttons;
  remember();
  CMouseEventResult result = kMouseEventNotHandled;
  if (mouseDownView) {
    CPoint p(where);
    result = onMouseMoved(p, buttons);
  } else if (tooltipSupport) {
    // No tool-tips come up during a drag; hovering starts again after the release.
    tooltipSupport->onMouseMoved(getViewAt(where, true), Ticks::now());
  }
  forget();
  return result;
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint& where, const CButtonState& buttons) {
  mouseLocation = where;
  remember();
  CPoint p(where);
  const CMouseEventResult result = onMouseUp(p, buttons);
  mouseButtons = CButtonState();
  forget();
  return result;
}

bool CFrame::platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                                  const CButtonState& buttons) {
  mouseLocation = where;
  remember();
  const bool handled = onWheel(where, axis, distance, buttons);
  forget();
  return handled;
}

int32_t CFrame::platformOnKeyDown(VstKeyCode& keyCode) {
  const std::vector<IKeyboardHook*> hooks(keyboardHooks);
  for (IKeyboardHook* hook : hooks) {
    const int32_t result = hook->onKeyDown(keyCode, this);
    if (result != -1) return result;
  }
  return focusView ? focusView->onKeyDown(keyCode) : -1;
}

int32_t CFrame::platformOnKeyUp(VstKeyCode& keyCode) {
  const std::vector<IKeyboardHook*> hooks(keyboardHooks);
  for (IKeyboardHook* hook : hooks) {
    const int32_t result = hook->onKeyUp(keyCode, this);
    if (result != -1) return result;
  }
  return focusView ? focusView->onKeyUp(keyCode) : -1;
}

void CFrame::registerKeyboardHook(IKeyboardHook* hook) {
  if (hook && std::find(keyboardHooks.begin(), keyboardHooks.end(), hook) == keyboardHooks.end())
    keyboardHooks.push_back(hook);
}

void CFrame::unregisterKeyboardHook(IKeyboardHook* hook) {
  keyboardHooks.erase(std::remove(keyboardHooks.begin(), keyboardHooks.end(), hook), keyboardHooks.end());
}

void CFrame::beginEdit(int32_t tag) {
  if (editor) editor->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
  if (editor) editor->endEdit(tag);
}

void CFrame::onViewRemoved(CView* view) {
  if (focusView == view) focusView = nullptr;
  if (tooltipSupport) tooltipSupport->onViewRemoved(view);
}

}  // namespace VSTGUI
