// A small plug-in with an editor of a few controls, to see the X11 windows of the toolkit at
// work before the real editor exists: a drive bar (drag, wheel, tool-tip), a mode menu with a
// sub-menu, a readout, and the arrow keys stepping the mode.
#include <cstdio>
#include <cstring>

#include "vst2/audioeffectx.h"
#include "vstgui/aeffguieditor.h"
#include "vstgui/vstgui.h"
#include "vstgui/x11frame.h"

namespace {

using namespace VSTGUI;

enum { kDrive = 0, kMode, kNumParams };
constexpr int32_t kMoreMenuTag = 9999;
const char* const kModeNames[] = {"Warm", "Crunch", "Fuzz", "Fold"};

class DriveBar : public CControl {
 public:
  DriveBar(const CRect& size, IControlListener* listener, int32_t tag) : CControl(size, listener, tag) {}
  void draw(CDrawContext* context) override {
    const CRect r = getViewSize();
    context->setFillColor(CColor(40, 40, 48));
    context->fillRect(r);
    CRect bar(r);
    bar.right = r.left + (r.getWidth() * getValue());
    context->setFillColor(CColor(230, 120, 30));
    context->fillRect(bar);
    context->setFrameColor(CColor(200, 200, 200));
    context->drawRect(r);
    setDirty(false);
  }
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
    if (buttons.isDoubleClick() || buttons == (kLButton | kControl)) {
      setValue(0.5f);
      valueChanged();
      return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    beginEdit();
    return onMouseMoved(where, buttons);
  }
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    const CRect r = getViewSize();
    float v = static_cast<float>((where.x - r.left) / r.getWidth());
    setValue(v < 0.f ? 0.f : (v > 1.f ? 1.f : v));
    valueChanged();
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override {
    endEdit();
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint&, const CMouseWheelAxis&, const float& distance, const CButtonState&) override {
    float v = getValue() + distance * 0.05f;
    setValue(v < 0.f ? 0.f : (v > 1.f ? 1.f : v));
    valueChanged();
    return true;
  }
};

class DemoEditor : public AEffGUIEditor, public IControlListener, public IKeyboardHook {
 public:
  explicit DemoEditor(AudioEffect* fx) : AEffGUIEditor(fx) {
    X11::install();
    rect = ERect{0, 0, 180, 360};
  }
  bool open(void* parent) override {
    AEffGUIEditor::open(parent);
    auto* f = new CFrame(CRect(0, 0, 360, 180), this);
    f->setBackgroundColor(CColor(24, 26, 32));
    drive = new DriveBar(CRect(20, 40, 340, 70), this, kDrive);
    drive->setTooltipText("Drive: drag, scroll, double-click to reset");
    f->addView(drive);
    mode = new COptionMenu(CRect(20, 100, 180, 124), this, kMode);
    for (const char* name : kModeNames) mode->addEntry(name);
    auto* more = new COptionMenu(CRect(), this, kMoreMenuTag);
    more->addEntry("Reset drive");
    more->addEntry("-GNothing else");
    mode->addEntry(more, "More");
    more->forget();
    mode->setFontColor(CColor(240, 240, 240));
    mode->setBackColor(CColor(60, 64, 80));
    mode->setTooltipText("Mode (Up/Down keys step it)");
    f->addView(mode);
    readout = new CParamDisplay(CRect(200, 100, 340, 124));
    readout->setFontColor(CColor(240, 240, 240));
    readout->setBackColor(CColor(40, 40, 48));
    f->addView(readout);
    if (!f->open(parent)) {
      f->forget();
      drive = nullptr;
      mode = nullptr;
      readout = nullptr;
      return false;
    }
    frame = f;
    f->registerKeyboardHook(this);
    f->enableTooltips(true, 300);
    sync();
    return true;
  }
  void close() override {
    drive = nullptr;
    mode = nullptr;
    readout = nullptr;
    AEffGUIEditor::close();
  }
  void valueChanged(CControl* control) override {
    if (control == drive) {
      effect->setParameterAutomated(kDrive, drive->getValue());
    } else if (control == mode) {
      effect->setParameterAutomated(kMode, mode->getValue() / 3.f);
    } else if (control && control->getTag() == kMoreMenuTag && control->getValue() == 0.f) {
      effect->setParameterAutomated(kDrive, 0.5f);  // "Reset drive"
    }
    sync();
  }
  int32_t onKeyDown(const VstKeyCode& key, CFrame*) override {
    if (key.virt != 12 && key.virt != 14) return -1;
    int32_t m = static_cast<int32_t>(effect->getParameter(kMode) * 3.f + 0.5f) + (key.virt == 12 ? -1 : 1);
    m = m < 0 ? 0 : (m > 3 ? 3 : m);
    effect->setParameterAutomated(kMode, static_cast<float>(m) / 3.f);
    sync();
    return 1;
  }
  int32_t onKeyUp(const VstKeyCode& key, CFrame*) override {
    return key.virt == 12 || key.virt == 14 ? 1 : -1;
  }
  void setParameter(int32_t, float) override { sync(); }

 private:
  void sync() {
    if (!frame || !drive) return;
    drive->setValue(effect->getParameter(kDrive));
    mode->setValue(static_cast<float>(static_cast<int32_t>(effect->getParameter(kMode) * 3.f + 0.5f)));
    readout->setValue(effect->getParameter(kDrive));
    drive->setDirty();
    mode->setDirty();
    readout->setDirty();
  }
  DriveBar* drive = nullptr;
  COptionMenu* mode = nullptr;
  CParamDisplay* readout = nullptr;
};

class DemoEffect : public AudioEffectX {
 public:
  explicit DemoEffect(audioMasterCallback master) : AudioEffectX(master, 1, kNumParams) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(0x4732646D);  // "G2dm"
    canProcessReplacing();
    setEditor(new DemoEditor(this));
  }
  void setParameter(int32_t index, float value) override {
    if (index >= 0 && index < kNumParams) params[index] = value;
    if (auto* e = static_cast<DemoEditor*>(editor)) e->setParameter(index, value);
  }
  float getParameter(int32_t index) override {
    return index >= 0 && index < kNumParams ? params[index] : 0.f;
  }
  void getParameterName(int32_t index, char* text) override {
    std::snprintf(text, 8, "%s", index == kDrive ? "Drive" : "Mode");
  }
  void getParameterDisplay(int32_t index, char* text) override {
    if (index == kDrive)
      std::snprintf(text, 8, "%d %%", static_cast<int>(params[kDrive] * 100.f + 0.5f));
    else
      std::snprintf(text, 8, "%s", kModeNames[static_cast<int>(params[kMode] * 3.f + 0.5f) & 3]);
  }
  bool getEffectName(char* name) override {
    std::snprintf(name, 32, "Toolkit Demo");
    return true;
  }
  void processReplacing(float** in, float** out, int32_t n) override {
    for (int c = 0; c < 2; ++c)
      if (in[c] != out[c]) std::memmove(out[c], in[c], sizeof(float) * static_cast<size_t>(n));
  }

 private:
  float params[kNumParams] = {0.5f, 0.f};
};

}  // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) { return new DemoEffect(audioMaster); }
