// Control factories, the control registry and the preference switches of the editor.
#include <algorithm>

#include "controls/pluginControls.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

// ==== Registry ====

void uEditor::addControl(CControl* control, bool knob, bool onOff, bool noResync) {
  if (!plugin || !frame || !control) return;
  const int tag = control->getTag();
  if (!registry.add(control, tag, knob, onOff, noResync)) return;
  if (isValidTag(tag)) {
    control->setDefaultValue(plugin->defaultValues[static_cast<size_t>(tag)]);
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

CRect uEditor::bitmapRect(int x, int y, CBitmap* bmp, int frames, int dx150, int dy150, int dx200,
                          int dy200) const {
  const int left = getScaled(x, dx150, dx200), top = getScaled(y, dy150, dy200);
  return CRect(left, top, left + bmp->getWidth(), top + static_cast<int>(bmp->getHeight()) / frames);
}

CRect uEditor::menuRect(int x, int y, int width, int height, int dy150, int dw150, int dy200,
                        int dw200) const {
  const int left = getScaled(x), top = getScaled(y, dy150, dy200);
  return CRect(left, top, left + getScaled(width, dw150, dw200), top + getScaled(height));
}

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
  auto* button = own(new CKickButton(bitmapRect(x, y, bmp, 2, dx150, dy150, dx200, dy200), this, NO_PARAM_TAG,
                                     bmp, CPoint(0, 0)));
  addControl(button, false, false, false);
  out = button;
}

void uEditor::createOnOff(TOnOff*& out, int tag, int x, int y, CBitmap* bmp, int dx150, int dy150, int dx200,
                          int dy200) {
  if (!bmp) return;
  auto* button = own(new TOnOff(bitmapRect(x, y, bmp, 2, dx150, dy150, dx200, dy200), this, tag, bmp));
  addControl(button, false, true, false);
  out = button;
}

void uEditor::createRadio(TRadioButton*& out, int x, int y, CBitmap* bmp, int dx150, int dy150, int dx200,
                          int dy200) {
  if (!bmp) return;
  out = own(new TRadioButton(bitmapRect(x, y, bmp, 2, dx150, dy150, dx200, dy200), this, bmp));
}

void uEditor::createRocker(TRockerButton*& out, int tag, int x, int y, CBitmap* bmp, int frames,
                           float stepScale, int dx150, int dy150, int dx200, int dy200) {
  if (!bmp || frames < 1) return;
  auto* rocker = own(new TRockerButton(bitmapRect(x, y, bmp, frames, dx150, dy150, dx200, dy200), this, tag,
                                       bmp, frames, stepScale));
  addControl(rocker, false, false, false);
  out = rocker;
}

void uEditor::createKnob(TKnob*& out, int tag, int x, int y, int style, const std::string& caption, int size,
                         int dx150, int dy150, int shift150, int dx200, int dy200, int shift200) {
  if (!isValidTag(tag) || style < 0 || style > 3) return;
  // Strips by style: knob 0 or 3 of the six, ring 1, 2, 4 or 5 (odd styles centred).
  static constexpr int RING_OF_STYLE[4] = {1, 2, 4, 5};
  CBitmap* knob = knobBitmap(style < 2 ? 0 : 3);
  CBitmap* ring = knobBitmap(RING_OF_STYLE[style]);
  CBitmap* sizeRing = knobBitmap(style < 2 ? 1 : 4);  // the plain ring of the size gives the geometry
  if (!knob || !ring || !sizeRing) return;
  const int frameHeight = static_cast<int>(sizeRing->getHeight() / static_cast<double>(KNOB_FRAMES));
  if (frameHeight < 1) return;  // a strip shorter than its frame count shows nothing
  const int w = static_cast<int>(sizeRing->getWidth());
  int left = x - size / 2, top = y, width = w + size, height = frameHeight + 24, shift = 0;
  if (screenMode != 0) {
    const int k = getScaled(size);
    width = w + k;
    height = frameHeight + getScaled(24);
    left = getScaled(x, dx150, dx200) - k / 2;
    top = getScaled(y, dy150, dy200);
    shift = screenMode == 1 ? shift150 : shift200;
  }
  auto* made = own(new TKnob(CRect(left, top, left + width, top + height), frameHeight, this, tag, knob, ring,
                             screenMode, size, shift));
  made->setString(caption);
  addControl(made, true, false, false);
  out = made;
}

TOptionMenu* uEditor::newMenu(int tag, const CRect& r, bool centred, bool deltaButtons) {
  return new TOptionMenu(r, this, tag, nullptr, nullptr, kNoDrawStyle, screenMode, centred, deltaButtons);
}

void uEditor::createMenu(TOptionMenu*& out, int tag, int x, int y, int width, int height, int count,
                         std::span<const std::string_view> texts, bool centred, bool deltaButtons, int dy150,
                         int dw150, int dy200, int dw200) {
  auto* menu =
      own(newMenu(tag, menuRect(x, y, width, height, dy150, dw150, dy200, dw200), centred, deltaButtons));
  const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), texts.size());
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

void uEditor::createSrcMenu(TOptionMenu*& main, TOptionMenu*& sub1, TOptionMenu*& sub2, int tag, int x, int y,
                            int width, int height, bool centred, bool deltaButtons, int dy150, int dw150,
                            int dy200, int dw200) {
  if (!plugin || !isValidTag(tag)) return;
  const CRect r = menuRect(x, y, width, height, dy150, dw150, dy200, dw200);
  auto* menu = own(newMenu(tag, r, centred, deltaButtons));
  menu->addEntry("None");
  TOptionMenu* subs[2] = {newMenu(tag, r, centred, deltaButtons), newMenu(tag, r, centred, deltaButtons)};
  for (size_t i = 1; i < SRC_STR.size(); ++i) subs[i < 32 ? 0 : 1]->addEntry(std::string(SRC_STR[i]));
  for (int k = 0; k < 2; ++k) {
    menu->addEntry(subs[k], std::string(SRC_HEADER_STR[static_cast<size_t>(k)]));
    subs[k]->forget();  // the main menu keeps it; the pointer stays for comparisons
  }
  addControl(menu, false, false, true);
  main = menu;
  sub1 = subs[0];
  sub2 = subs[1];
}

void uEditor::createDestMenu(TOptionMenu*& main, std::array<TOptionMenu*, 8>& subs, int tag, int x, int y,
                             int width, int height, bool centred, bool deltaButtons, int dy150, int dw150,
                             int dy200, int dw200) {
  if (!plugin || !isValidTag(tag)) return;
  const CRect r = menuRect(x, y, width, height, dy150, dw150, dy200, dw200);
  auto* menu = own(newMenu(tag, r, centred, deltaButtons));
  menu->addEntry("None");
  for (size_t j = 0; j < subs.size(); ++j) {
    TOptionMenu* sub = newMenu(tag, r, centred, deltaButtons);
    for (int d = DEST_SUB_MENU_START[j]; d < DEST_SUB_MENU_START[j + 1]; ++d)
      sub->addEntry(std::string(DEST_STR[static_cast<size_t>(d)]));
    menu->addEntry(sub, std::string(DEST_HEADER_STR[j]));
    sub->forget();
    subs[j] = sub;
  }
  addControl(menu, false, false, true);
  main = menu;
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
