// A control that shows its value as text.
#pragma once

#include <string>

#include "ccolor.h"
#include "ccontrol.h"
#include "cfont.h"

namespace VSTGUI {

// Style bits of text controls.
enum : int32_t { kNoDrawStyle = 1 << 8 };

class CParamDisplay : public CControl {
 public:
  CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
  CParamDisplay(const CParamDisplay& other);
  ~CParamDisplay() override;

  // With kNoDrawStyle nothing is drawn; otherwise background, then the text.
  void draw(CDrawContext* context) override;
  // The text shown for the current value.
  virtual std::string getDisplayText() const;

  void setFont(CFontDesc* font);
  CFontDesc* getFont() const { return fontID; }
  void setFontColor(const CColor& c) {
    fontColor = c;
    setDirty();
  }
  const CColor& getFontColor() const { return fontColor; }
  void setBackColor(const CColor& c) {
    backColor = c;
    setDirty();
  }
  const CColor& getBackColor() const { return backColor; }
  void setFrameColor(const CColor& c) {
    frameColor = c;
    setDirty();
  }
  const CColor& getFrameColor() const { return frameColor; }
  void setHoriAlign(CHoriTxtAlign a) {
    horiTxtAlign = a;
    setDirty();
  }
  CHoriTxtAlign getHoriAlign() const { return horiTxtAlign; }
  void setStyle(int32_t s) {
    style = s;
    setDirty();
  }
  int32_t getStyle() const { return style; }
  void setAntialias(bool state) { antialias = state; }
  CBaseObject* newCopy() const override { return new CParamDisplay(*this); }

 protected:
  void drawBack(CDrawContext* context);
  void drawText(CDrawContext* context, const std::string& text);

  CFontDesc* fontID;
  CColor fontColor = kWhiteCColor;
  CColor backColor = kBlackCColor;
  CColor frameColor = kBlackCColor;
  CHoriTxtAlign horiTxtAlign = kCenterText;
  int32_t style;
  bool antialias = true;
};

}  // namespace VSTGUI
