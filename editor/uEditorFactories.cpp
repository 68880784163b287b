// Control factories, the control registry and the preference switches of the editor.
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
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
  auto* button =
      own(new CKickButton(CRect(left, top, left + getScaled(width), top + getScaled(height)), this, NO_PARAM_TAG,
                          nullptr, CPoint(0, 0)));
  addControl(button, false, false, false);
  out = button;
}

void uEditor::createKickButton(CKickButton*& out, int x, int y, CBitmap* bmp, int dx150, int dy150, int dx200,
                               int dy200) {
  if (!bmp) return;
  const int left = getScaled(x, dx150, dx200), top = getScaled(y, dy150, dy200);
  auto* button = own(new CKickButton(CRect(left, top, left + bmp->getWidth(), top + bmp->getHeight() / 2), this,
                                     NO_PARAM_TAG, bmp, CPoint(0, 0)));
  addControl(button, false, false, false);
  out = button;
}

// ==== Preferences ====

bool uEditor::getBackRegValue(const std::string& key, bool defaultOn) { return getRegisterIsOn(key, defaultOn); }

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
