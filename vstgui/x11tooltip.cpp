#include "x11tooltip.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <vector>

#include "ccolor.h"
#include "cdrawcontext.h"
#include "cfont.h"
#include "x11frame.h"

namespace VSTGUI::X11 {

namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (true) {
    const auto end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace

X11Tooltip::X11Tooltip(X11Frame& frame)
    : owner(frame),
      popup(frame.getDisplay(), frame.getAtoms().wmWindowType, frame.getAtoms().typeTooltip, "Tooltip",
            true) {}

void X11Tooltip::show(const CRect& viewRect, const std::string& text) {
  const std::vector<std::string> lines = splitLines(text);
  CCoord textWidth = 0;
  for (const std::string& line : lines) textWidth = std::max(textWidth, popupTextWidth(line));
  const int w = static_cast<int>(textWidth) + 2 * kPaddingX + 1;
  const int h = static_cast<int>(lines.size()) * kLineHeight + 2 * kPaddingY;
  int x = 0;
  int y = 0;
  if (popup.isShown()) {
    x = popup.x();
    y = popup.y();
  } else if (owner.pointerOnRoot(x, y)) {
    y += kOffsetY;
  } else {
    Window child = None;
    XTranslateCoordinates(owner.getDisplay(), owner.getWindow(), DefaultRootWindow(owner.getDisplay()),
                          static_cast<int>(viewRect.left), static_cast<int>(viewRect.bottom), &x, &y, &child);
  }
  int px = 0;
  int py = 0;
  // Near the bottom of the screen the tip goes above the pointer instead of over it.
  if (!popup.isShown() && y + h > owner.screenHeight() && owner.pointerOnRoot(px, py)) y = py - h - 4;
  keepOnScreen(x, y, w, h, owner.screenWidth(), owner.screenHeight());
  popup.show(x, y, w, h, [&](CDrawContext& context) {
    const CRect all(0, 0, w, h);
    context.setFillColor(CColor(255, 255, 225, 255));
    context.fillRect(all);
    context.setFrameColor(CColor(90, 90, 90, 255));
    context.setLineWidth(1);
    context.drawRect(CRect(0, 0, w - 1, h - 1));
    context.setFont(kNormalFontSmall);
    context.setFontColor(CColor(0, 0, 0, 255));
    for (size_t i = 0; i < lines.size(); ++i) {
      const CCoord top = kPaddingY + static_cast<CCoord>(i) * kLineHeight;
      context.drawString(lines[i].c_str(), CRect(kPaddingX, top, w - kPaddingX, top + kLineHeight),
                         kLeftText);
    }
  });
}

void X11Tooltip::hide() { popup.hide(); }

bool X11Tooltip::handleEvent(const XEvent& event) { return popup.handleEvent(event); }

}  // namespace VSTGUI::X11
