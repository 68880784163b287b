#include "cparamdisplay.h"

#include <charconv>

#include "cbitmap.h"
#include "cdrawcontext.h"

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& viewSize, CBitmap* bitmap, int32_t s)
    : CControl(viewSize, nullptr, -1, bitmap), fontID(kNormalFontSmall), style(s) {
  fontID->remember();
}

CParamDisplay::CParamDisplay(const CParamDisplay& other)
    : CControl(other),
      fontID(other.fontID),
      fontColor(other.fontColor),
      backColor(other.backColor),
      frameColor(other.frameColor),
      horiTxtAlign(other.horiTxtAlign),
      style(other.style),
      antialias(other.antialias) {
  fontID->remember();
}

CParamDisplay::~CParamDisplay() { fontID->forget(); }

void CParamDisplay::setFont(CFontDesc* font) {
  if (!font || font == fontID) return;
  font->remember();
  fontID->forget();
  fontID = font;
  setDirty();
}

std::string CParamDisplay::getDisplayText() const {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 2);
  return std::string(buffer, result.ptr);
}

void CParamDisplay::drawBack(CDrawContext* context) {
  if (background) {
    background->draw(context, size);
  } else if (backColor.alpha > 0) {
    context->setFillColor(backColor);
    context->fillRect(size);
  }
}

void CParamDisplay::drawText(CDrawContext* context, const std::string& text) {
  if (text.empty()) return;
  context->setFont(fontID);
  context->setFontColor(fontColor);
  context->drawString(text.c_str(), size, horiTxtAlign, antialias);
}

void CParamDisplay::draw(CDrawContext* context) {
  if (context && !(style & kNoDrawStyle)) {
    drawBack(context);
    drawText(context, getDisplayText());
  }
  setDirty(false);
}

}  // namespace VSTGUI
