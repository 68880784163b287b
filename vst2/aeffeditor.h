// The editor base the plug-in's editor derives from. The host reaches it through the
// editor opcodes of the dispatcher; the effect owns it and deletes it.
#pragma once

#include <cstdint>

class AudioEffect;
struct ERect;
struct VstKeyCode;

class AEffEditor {
 public:
  // Registers itself as the effect's editor when an effect is given.
  explicit AEffEditor(AudioEffect* effect = nullptr);
  virtual ~AEffEditor();

  virtual AudioEffect* getEffect();
  // The editor's size. The base has none: *rect becomes null and the answer is false.
  virtual bool getRect(ERect** rect);
  // Remembers the host's parent window; the base draws nothing and answers false.
  virtual bool open(void* ptr);
  virtual void close();
  virtual bool isOpen();
  virtual void idle();

  // Operations of the old interface: nothing happens.
  virtual void draw(ERect* rect);
  virtual long mouse(long x, long y);
  virtual long key(long keyCode);
  virtual void top();
  virtual void sleep();

  // Keys, wheel and knob mode: not used by the base (false).
  virtual bool onKeyDown(VstKeyCode& keyCode);
  virtual bool onKeyUp(VstKeyCode& keyCode);
  virtual bool onWheel(float distance);
  virtual bool setKnobMode(int32_t mode);

 protected:
  AudioEffect* effect;
  void* systemWindow;
};
