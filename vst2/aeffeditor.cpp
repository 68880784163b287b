#include "aeffeditor.h"

#include "aeffect.h"
#include "audioeffect.h"

AEffEditor::AEffEditor(AudioEffect* effect) : effect(effect), systemWindow(nullptr) {
  if (effect) effect->setEditor(this);
}

AEffEditor::~AEffEditor() = default;

AudioEffect* AEffEditor::getEffect() { return effect; }

bool AEffEditor::getRect(ERect** rect) {
  if (rect) *rect = nullptr;
  return false;
}

bool AEffEditor::open(void* ptr) {
  systemWindow = ptr;
  return false;
}

void AEffEditor::close() { systemWindow = nullptr; }
bool AEffEditor::isOpen() { return systemWindow != nullptr; }
void AEffEditor::idle() {}
void AEffEditor::draw(ERect*) {}
long AEffEditor::mouse(long, long) { return 0; }
long AEffEditor::key(long) { return 0; }
void AEffEditor::top() {}
void AEffEditor::sleep() {}
bool AEffEditor::onKeyDown(VstKeyCode&) { return false; }
bool AEffEditor::onKeyUp(VstKeyCode&) { return false; }
bool AEffEditor::onWheel(float) { return false; }
bool AEffEditor::setKnobMode(int32_t) { return false; }
