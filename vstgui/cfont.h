// Font descriptions and the stock fonts.
#pragma once

#include <cstring>

#include "vstguibase.h"

namespace VSTGUI {

enum CTxtFace : int32_t {
  kNormalFace = 0,
  kBoldFace = 1 << 1,
  kItalicFace = 1 << 2,
  kUnderlineFace = 1 << 3
};

// A font by family name, pixel size and style bits. The drawing context turns it into a face:
// Liberation Sans from the system fonts, or DejaVu Sans when Liberation is not installed.
class CFontDesc : public CBaseObject {
 public:
  static constexpr int kMaxNameLength = 63;

  constexpr CFontDesc(const char* fontName = "Liberation Sans", CCoord fontSize = 0, int32_t fontStyle = 0)
      : size(fontSize), style(fontStyle) {
    copyName(fontName);
  }
  constexpr CFontDesc(const CFontDesc& other) : CBaseObject(other), size(other.size), style(other.style) {
    copyName(other.name);
  }
  CFontDesc& operator=(const CFontDesc& other) {
    copyName(other.name);
    size = other.size;
    style = other.style;
    return *this;
  }

  const char* getName() const { return name; }
  CCoord getSize() const { return size; }
  int32_t getStyle() const { return style; }
  void setName(const char* fontName) { copyName(fontName); }
  void setSize(CCoord newSize) { size = newSize; }
  void setStyle(int32_t newStyle) { style = newStyle; }

  CBaseObject* newCopy() const override { return new CFontDesc(*this); }

 private:
  constexpr void copyName(const char* from) {
    int i = 0;
    for (; from && from[i] && i < kMaxNameLength; ++i) name[i] = from[i];
    for (; i <= kMaxNameLength; ++i) name[i] = 0;
  }

  char name[kMaxNameLength + 1] = {};
  CCoord size = 0;
  int32_t style = 0;
};

using CFontRef = CFontDesc*;

// The stock fonts: constant pointers to objects that exist before any dynamic initialisation,
// so other units' static tables may copy them. 11, 14 and 18 px, normal face.
extern CFontDesc* const kNormalFontSmall;
extern CFontDesc* const kNormalFontBig;
extern CFontDesc* const kNormalFontVeryBig;
extern CFontDesc* const kNormalFont;

}  // namespace VSTGUI
