// Control factories, the control registry and the preference switches of the editor.
#include <algorithm>

#include "knobPlaces.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

// ==== Registry ====

void uEditor::addControl(CControl* control, bool knob, bool onOff, bool noResync) {
  if (!plugin || !frame || !control || getRegistrySize() >= MAX_REGISTERED_CONTROLS) return;
  RegistryEntry entry;
  entry.control = control;
  entry.noResync = noResync;
  entry.toolTip = knob || onOff || noResync;
  entry.knob = knob;
  entry.onOff = onOff;
  const int tag = control->getTag();
  const auto index = static_cast<int16_t>(controlRegistry.size());
  controlRegistry.push_back(entry);
  if (isValidTag(tag)) {
    const auto t = static_cast<size_t>(tag);
    if (lastByTag[t] >= 0)
      controlRegistry[static_cast<size_t>(lastByTag[t])].nextSameTag = index;
    else
      firstByTag[t] = index;
    lastByTag[t] = index;
    control->setDefaultValue(plugin->defaultValues[t]);
    control->setValue(plugin->getParameter(tag));
  } else {
    control->setDefaultValue(0.0f);
    control->setValue(0.0f);
  }
}

void uEditor::setMenuResume(CControl* menu) {
  if (!plugin || !menu || !isValidTag(menu->getTag())) return;
  menu->setValue(static_cast<float>(plugin->getSteppedValue(menu->getTag())));
}

// ==== Factories ====

void uEditor::createKickButton(CKickButton*& out, int x, int y, int width, int height, int dx150, int dy150,
                               int dx200, int dy200) {
  const int left = getScaled(x, dx150, dx200), top = getScaled(y, dy150, dy200);
  auto* button = own(new CKickButton(CRect(left, top, left + getScaled(width), top + getScaled(height)), this,
                                     NO_PARAM_TAG, nullptr, CPoint(0, 0)));
  addControl(button, false, false, false);
  out = button;
}

void uEditor::createKickButton(CKickButton*& out, int x, int y, CBitmap* bmp, int dx150, int dy150, int dx200,
                               int dy200) {
  if (!bmp) return;
  const int left = getScaled(x, dx150, dx200), top = getScaled(y, dy150, dy200);
  auto* button = own(new CKickButton(CRect(left, top, left + bmp->getWidth(), top + bmp->getHeight() / 2),
                                     this, NO_PARAM_TAG, bmp, CPoint(0, 0)));
  addControl(button, false, false, false);
  out = button;
}

namespace {
// Left and top of a control at the current size: the 100 % point scaled, then corrected.
CRect placed(const uEditor& e, int x, int y, CCoord width, CCoord height, int dx150, int dy150, int dx200,
             int dy200) {
  const int left = e.getScaled(x, dx150, dx200), top = e.getScaled(y, dy150, dy200);
  return CRect(left, top, left + width, top + height);
}
}  // namespace

void uEditor::createKnob(TKnob*& out, int tag, int x, int y, int style, const char* caption, int size,
                         int dx150, int dy150, int shift150, int dx200, int dy200, int shift200) {
  if (!isValidTag(tag) || style < 0 || style > 3) return;
  // Styles 0 and 1 are the small knob, 2 and 3 the large one; odd styles take the centred ring.
  const int strip = style < 2 ? 0 : 3;
  CBitmap* knob = knobBitmap(strip);
  CBitmap* ring = knobBitmap(strip + 1 + (style & 1));
  CBitmap* sizeRing = knobBitmap(strip + 1);
  if (!knob || !ring || !sizeRing) return;
  const auto w = static_cast<int>(sizeRing->getWidth());
  const auto frameHeight = static_cast<int>(sizeRing->getHeight() / static_cast<double>(KNOB_FRAMES));
  if (frameHeight < 1) return;
  const int k = screenMode == 0
                    ? size
                    : static_cast<int>(static_cast<float>(size) * SCALE[static_cast<size_t>(screenMode)]);
  const int left = knobLeft(x, size, screenMode, dx150, dx200);
  const int top = getScaled(y, dy150, dy200);
  const int labelShift = screenMode == 0 ? 0 : (screenMode == 1 ? shift150 : shift200);
  const CRect r(left, top, left + w + k, top + frameHeight + getScaled(24));
  auto* knobControl = own(new TKnob(r, frameHeight, this, tag, knob, ring, screenMode, size, labelShift));
  knobControl->setString(caption ? caption : "");
  addControl(knobControl, true, false, false);
  out = knobControl;
}

void uEditor::createOnOff(TOnOff*& out, int tag, int x, int y, CBitmap* bmp, int dx150, int dy150, int dx200,
                          int dy200) {
  if (!bmp) return;
  auto* button =
      own(new TOnOff(placed(*this, x, y, bmp->getWidth(), bmp->getHeight() / 2, dx150, dy150, dx200, dy200),
                     this, tag, bmp));
  addControl(button, false, true, false);
  out = button;
}

void uEditor::createRadio(TRadioButton*& out, int x, int y, CBitmap* bmp, int dx150, int dy150, int dx200,
                          int dy200) {
  if (!bmp) return;
  out = own(new TRadioButton(
      placed(*this, x, y, bmp->getWidth(), bmp->getHeight() / 2, dx150, dy150, dx200, dy200), this, bmp));
}

void uEditor::createRocker(TRockerButton*& out, int tag, int x, int y, CBitmap* bmp, int frames,
                           float stepScale, int dx150, int dy150, int dx200, int dy200) {
  if (!bmp || frames < 1) return;
  auto* rocker = own(new TRockerButton(
      placed(*this, x, y, bmp->getWidth(), bmp->getHeight() / frames, dx150, dy150, dx200, dy200), this, tag,
      bmp, frames, stepScale));
  addControl(rocker, false, false, false);
  out = rocker;
}

namespace {
// The menu's rectangle: position scaled, top and width corrected, height scaled.
CRect menuRect(const uEditor& e, int x, int y, int width, int height, int dy150, int dw150, int dy200,
               int dw200) {
  const int left = e.getScaled(x), top = e.getScaled(y, dy150, dy200);
  return CRect(left, top, left + e.getScaled(width, dw150, dw200), top + e.getScaled(height));
}
}  // namespace

void uEditor::createMenu(TOptionMenu*& out, int tag, int x, int y, int width, int height, int count,
                         std::span<const std::string_view> texts, bool centred, bool deltaButtons, int dy150,
                         int dw150, int dy200, int dw200) {
  auto* menu = own(new TOptionMenu(menuRect(*this, x, y, width, height, dy150, dw150, dy200, dw200), this,
                                   tag, nullptr, nullptr, kNoDrawStyle, screenMode, centred, deltaButtons));
  const size_t n = count < 0 ? 0 : std::min(static_cast<size_t>(count), texts.size());
  for (size_t i = 0; i < n; ++i) menu->addEntry(std::string(texts[i]));
  addControl(menu, false, false, true);
  out = menu;
}

void uEditor::createMenu(TOptionMenu*& out, int tag, int x, int y, int width, int height,
                         std::span<const std::string_view> texts, bool centred, bool deltaButtons, int dy150,
                         int dw150, int dy200, int dw200) {
  if (!plugin || !isValidTag(tag)) return;
  const int count = plugin->getMenuNum(tag);
  if (count < 0) return;
  createMenu(out, tag, x, y, width, height, count, texts, centred, deltaButtons, dy150, dw150, dy200, dw200);
}

TOptionMenu* uEditor::createGroupedMenu(const CRect& r, int tag, bool centred, bool deltaButtons,
                                        std::span<const std::string_view> texts, std::span<const int> starts,
                                        std::span<const std::string_view> headings,
                                        std::span<TOptionMenu*> subs) {
  auto* main =
      own(new TOptionMenu(r, this, tag, nullptr, nullptr, kNoDrawStyle, screenMode, centred, deltaButtons));
  main->addEntry(std::string(texts[0]));
  for (size_t g = 0; g < subs.size(); ++g) {
    auto* sub =
        new TOptionMenu(r, this, tag, nullptr, nullptr, kNoDrawStyle, screenMode, centred, deltaButtons);
    for (int i = starts[g]; i < starts[g + 1]; ++i) sub->addEntry(std::string(texts[static_cast<size_t>(i)]));
    main->addEntry(sub, std::string(headings[g]));
    sub->forget();  // the menu keeps it
    subs[g] = sub;
  }
  addControl(main, false, false, true);
  return main;
}

namespace {
// Sources: the MIDI ones, then the modulation ones.
constexpr std::array<int, 3> SRC_SUB_MENU_START = {1, 32, 55};
}  // namespace

void uEditor::createSrcMenu(SrcSelector& out, int tag, int x, int y, int width, int height, bool centred,
                            bool deltaButtons, int dy150, int dw150, int dy200, int dw200) {
  if (!plugin || !isValidTag(tag)) return;
  out.main = createGroupedMenu(menuRect(*this, x, y, width, height, dy150, dw150, dy200, dw200), tag, centred,
                               deltaButtons, SRC_STR, SRC_SUB_MENU_START, SRC_HEADER_STR, out.subs);
}

void uEditor::createDestMenu(DestSelector& out, int tag, int x, int y, int width, int height, bool centred,
                             bool deltaButtons, int dy150, int dw150, int dy200, int dw200) {
  if (!plugin || !isValidTag(tag)) return;
  out.main = createGroupedMenu(menuRect(*this, x, y, width, height, dy150, dw150, dy200, dw200), tag, centred,
                               deltaButtons, DEST_STR, DEST_SUB_MENU_START, DEST_HEADER_STR, out.subs);
}

// ==== Preferences ====

bool uEditor::getBackRegValue(const std::string& key, bool defaultOn) {
  return getRegisterIsOn(key, defaultOn);
}

void uEditor::setBackRegValue(const std::string& key, bool on) { setRegisterIsOn(key, on); }

void uEditor::setScreenSize(int mode) {
  static constexpr const char* KEYS[3] = {"Big100", "Big150", "Big200"};
  static constexpr const char* MESSAGES[3] = {"When you next open Grindle 2, it'll open in 100% Screen Mode",
                                              "When you next open Grindle 2, it'll open in 150% Screen Mode",
                                              "When you next open Grindle 2, it'll open in 200% Screen Mode"};
  for (const char* key : KEYS) setBackRegValue(key, false);
  if (mode < 0 || mode > 2) return;
  setBackRegValue(KEYS[mode], true);
  messageBox(MESSAGES[mode], 2);
}
