// The base class of the plug-in object: holds the record handed to the host, answers the
// basic opcodes and wraps the basic host calls.
#pragma once

#include <cstdint>

#include "aeffect.h"

class AEffEditor;

class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
  virtual ~AudioEffect();

  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

  // ---- Life cycle ----
  virtual void open() {}
  virtual void close() {}
  virtual void suspend() {}
  virtual void resume() {}

  // ---- Processing ----
  virtual void setSampleRate(float sampleRate) { this->sampleRate = sampleRate; }
  virtual void setBlockSize(int32_t blockSize) { this->blockSize = blockSize; }
  virtual float getSampleRate() { return sampleRate; }
  virtual int32_t getBlockSize() { return blockSize; }
  virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {}
  virtual void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames) {}
  virtual void __processDeprecated(float** inputs, float** outputs, int32_t sampleFrames) {}

  // ---- Parameters ----
  virtual void setParameter(int32_t index, float value) {}
  virtual float getParameter(int32_t index) { return 0.0f; }
  // Stores the value like the host would, then tells the host.
  virtual void setParameterAutomated(int32_t index, float value);
  virtual float __getVuDeprecated() { return 0.0f; }

  // ---- Programs and chunks ----
  virtual int32_t getProgram() { return curProgram; }
  virtual void setProgram(int32_t program) { curProgram = program; }
  virtual void setProgramName(char* name) {}
  virtual void getProgramName(char* name) { *name = 0; }
  virtual void getParameterLabel(int32_t index, char* label) { *label = 0; }
  virtual void getParameterDisplay(int32_t index, char* text) { *text = 0; }
  virtual void getParameterName(int32_t index, char* text) { *text = 0; }
  virtual int32_t getChunk(void** data, bool isPreset = false) { return 0; }
  virtual int32_t setChunk(void* data, int32_t byteSize, bool isPreset = false) { return 0; }

  // ---- Record fields ----
  virtual void setUniqueID(int32_t iD) { cEffect.uniqueID = iD; }
  virtual void setNumInputs(int32_t inputs) { cEffect.numInputs = inputs; }
  virtual void setNumOutputs(int32_t outputs) { cEffect.numOutputs = outputs; }
  virtual void canProcessReplacing(bool state = true) { setFlag(kEffFlagCanReplacing, state); }
  virtual void canDoubleReplacing(bool state = true) { setFlag(kEffFlagCanDoubleReplacing, state); }
  virtual void programsAreChunks(bool state = true) { setFlag(kEffFlagProgramChunks, state); }
  virtual void setInitialDelay(int32_t delay) { cEffect.initialDelay = delay; }

  // ---- Editor ----
  // Stores the editor (owned from now on) and sets or clears the has-editor flag.
  virtual void setEditor(AEffEditor* editor);
  virtual AEffEditor* getEditor() { return editor; }
  virtual AEffect* getAeffect() { return &cEffect; }

  // ---- Host calls ----
  virtual int32_t getMasterVersion();
  virtual int32_t getCurrentUniqueId();
  virtual void masterIdle();
  virtual bool isInputConnected(int32_t input);
  virtual bool isOutputConnected(int32_t output);

  // ---- Text formatting (text must hold maxLen + 1 bytes) ----
  virtual void dB2string(float value, char* text, int32_t maxLen);
  virtual void Hz2string(float samples, char* text, int32_t maxLen);
  virtual void ms2string(float samples, char* text, int32_t maxLen);
  virtual void float2string(float value, char* text, int32_t maxLen);
  virtual void int2string(int32_t value, char* text, int32_t maxLen);

  audioMasterCallback getHostCallback() const { return audioMaster; }

  // The record's trampolines; public so that tests and hosts of the record can reach them.
  static intptr_t dispatchEffectClass(AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                      float opt);
  static float getParameterClass(AEffect* e, int32_t index);
  static void setParameterClass(AEffect* e, int32_t index, float value);
  static void processClass(AEffect* e, float** inputs, float** outputs, int32_t sampleFrames);
  static void processClassReplacing(AEffect* e, float** inputs, float** outputs, int32_t sampleFrames);
  static void processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                          int32_t sampleFrames);

 protected:
  void setFlag(int32_t bit, bool state) {
    if (state)
      cEffect.flags |= bit;
    else
      cEffect.flags &= ~bit;
  }
  // Calls the host when there is one; 0 otherwise.
  intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);

  audioMasterCallback audioMaster;
  AEffEditor* editor;
  float sampleRate;
  int32_t blockSize;
  int32_t numPrograms;
  int32_t numParams;
  int32_t curProgram;
  AEffect cEffect;
};

// Made by the plug-in layer; the entry calls it.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
