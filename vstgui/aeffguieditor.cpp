#include "aeffguieditor.h"

#include "vst2/audioeffectx.h"

namespace VSTGUI {

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {}

AEffGUIEditor::~AEffGUIEditor() {
  if (frame) {
    CFrame* f = frame;
    frame = nullptr;
    f->close();
  }
}

void AEffGUIEditor::setParameter(int32_t, float) {}

bool AEffGUIEditor::getRect(ERect** ppRect) {
  if (!ppRect) return false;
  *ppRect = &rect;
  return true;
}

bool AEffGUIEditor::open(void* ptr) {
  AEffEditor::open(ptr);
  return true;
}

void AEffGUIEditor::close() {
  if (frame) {
    CFrame* f = frame;
    frame = nullptr;
    f->close();
  }
  AEffEditor::close();
}

void AEffGUIEditor::idle() {
  if (inIdle || !frame) return;
  inIdle = true;
  frame->idle();
  inIdle = false;
}

void AEffGUIEditor::draw(ERect*) {
  if (frame) frame->invalid();
}

bool AEffGUIEditor::hostKey(VstKeyCode& keyCode, bool down) {
  if (!frame) return false;
  IPlatformFrame* platform = frame->getPlatformFrame();
  int32_t result = -1;
  if (platform && platform->filterHostKey(keyCode, down, result)) return result != -1;
  CFrame* f = frame;
  f->remember();
  result = down ? f->platformOnKeyDown(keyCode) : f->platformOnKeyUp(keyCode);
  if (IPlatformFrame* p = f->getPlatformFrame()) p->noteHostKey(keyCode, down, result);
  f->forget();
  return result != -1;
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) { return hostKey(keyCode, true); }

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) { return hostKey(keyCode, false); }

void AEffGUIEditor::pumpEvents() {
  if (!frame || inIdle) return;
  if (IPlatformFrame* platform = frame->getPlatformFrame()) platform->onIdle();
}

bool AEffGUIEditor::onWheel(float distance) {
  if (!frame) return false;
  CPoint where;
  frame->getCurrentMouseLocation(where);
  return frame->platformOnMouseWheel(where, kMouseWheelAxisY, distance, frame->getCurrentMouseButtons());
}

bool AEffGUIEditor::setKnobMode(int32_t val) {
  knobMode = val;
  return true;
}

void AEffGUIEditor::doIdleStuff() {
  if (frame) frame->idle();
}

void AEffGUIEditor::beginEdit(int32_t index) {
  if (auto* fx = dynamic_cast<AudioEffectX*>(effect)) fx->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
  if (auto* fx = dynamic_cast<AudioEffectX*>(effect)) fx->endEdit(index);
}

bool AEffGUIEditor::beforeSizeChange(const CRect&, const CRect&) { return true; }

}  // namespace VSTGUI
