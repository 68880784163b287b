#include "audioeffect.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "aeffeditor.h"

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : audioMaster(audioMaster),
      editor(nullptr),
      sampleRate(44100.0f),
      blockSize(1024),
      numPrograms(numPrograms),
      numParams(numParams),
      curProgram(0) {
  std::memset(&cEffect, 0, sizeof(cEffect));
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchEffectClass;
  cEffect.process = processClass;
  cEffect.setParameter = setParameterClass;
  cEffect.getParameter = getParameterClass;
  cEffect.numPrograms = numPrograms;
  cEffect.numParams = numParams;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.flags = kEffFlagCanReplacing;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = fourCharId('N', 'o', 'E', 'f');
  cEffect.version = 1;
  cEffect.processReplacing = processClassReplacing;
  cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect() {
  delete editor;
  editor = nullptr;
}

// ---- Trampolines ----

static AudioEffect* objectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

intptr_t AudioEffect::dispatchEffectClass(AEffect* e, int32_t opcode, int32_t index, intptr_t value,
                                          void* ptr, float opt) {
  AudioEffect* object = objectOf(e);
  if (!object) return 0;
  if (opcode == kEffClose) {
    object->dispatcher(opcode, index, value, ptr, opt);
    delete object;
    return 1;
  }
  return object->dispatcher(opcode, index, value, ptr, opt);
}

float AudioEffect::getParameterClass(AEffect* e, int32_t index) {
  AudioEffect* object = objectOf(e);
  return object ? object->getParameter(index) : 0.0f;
}

void AudioEffect::setParameterClass(AEffect* e, int32_t index, float value) {
  if (AudioEffect* object = objectOf(e)) object->setParameter(index, value);
}

void AudioEffect::processClass(AEffect* e, float** inputs, float** outputs, int32_t sampleFrames) {
  if (AudioEffect* object = objectOf(e)) object->__processDeprecated(inputs, outputs, sampleFrames);
}

void AudioEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs, int32_t sampleFrames) {
  if (AudioEffect* object = objectOf(e)) object->processReplacing(inputs, outputs, sampleFrames);
}

void AudioEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                              int32_t sampleFrames) {
  if (AudioEffect* object = objectOf(e)) object->processDoubleReplacing(inputs, outputs, sampleFrames);
}

// ---- Dispatcher ----

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  // Opcodes that read or write through ptr answer 0 to a host that passes none.
  switch (opcode) {
    case kEffSetProgramName:
    case kEffGetProgramName:
    case kEffGetParamLabel:
    case kEffGetParamDisplay:
    case kEffGetParamName:
    case kEffEditGetRect:
    case kEffGetChunk:
    case kEffSetChunk:
      if (!ptr) return 0;
      break;
    default:
      break;
  }

  switch (opcode) {
    case kEffOpen:
      open();
      return 0;
    case kEffClose:
      close();
      return 0;
    case kEffSetProgram:
      if (value < numPrograms) setProgram(static_cast<int32_t>(value));
      return 0;
    case kEffGetProgram:
      return getProgram();
    case kEffSetProgramName:
      setProgramName(static_cast<char*>(ptr));
      return 0;
    case kEffGetProgramName:
      getProgramName(static_cast<char*>(ptr));
      return 0;
    case kEffGetParamLabel:
      getParameterLabel(index, static_cast<char*>(ptr));
      return 0;
    case kEffGetParamDisplay:
      getParameterDisplay(index, static_cast<char*>(ptr));
      return 0;
    case kEffGetParamName:
      getParameterName(index, static_cast<char*>(ptr));
      return 0;
    case kEffSetSampleRate:
      setSampleRate(opt);
      return 0;
    case kEffSetBlockSize:
      setBlockSize(static_cast<int32_t>(value));
      return 0;
    case kEffMainsChanged:
      if (value)
        resume();
      else
        suspend();
      return 0;
    case kEffEditGetRect:
      return editor ? (editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0) : 0;
    case kEffEditOpen:
      return editor ? (editor->open(ptr) ? 1 : 0) : 0;
    case kEffEditClose:
      if (editor) editor->close();
      return 0;
    case kEffEditIdle:
      if (editor) editor->idle();
      return 0;
    case kEffIdentifyOld:
      return fourCharId('N', 'v', 'E', 'f');
    case kEffGetChunk:
      return getChunk(static_cast<void**>(ptr), index != 0);
    case kEffSetChunk:
      return setChunk(ptr, static_cast<int32_t>(value), index != 0);
    default:
      return 0;
  }
}

// ---- Host calls ----

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(int32_t index, float value) {
  setParameter(index, value);
  callHost(kHostAutomate, index, 0, nullptr, value);
}

int32_t AudioEffect::getMasterVersion() {
  intptr_t version = callHost(kHostVersion);
  return version ? static_cast<int32_t>(version) : 1;
}

int32_t AudioEffect::getCurrentUniqueId() { return static_cast<int32_t>(callHost(kHostCurrentId)); }

void AudioEffect::masterIdle() { callHost(kHostIdle); }

bool AudioEffect::isInputConnected(int32_t input) { return callHost(kHostPinConnectedOld, input, 0) == 0; }

bool AudioEffect::isOutputConnected(int32_t output) { return callHost(kHostPinConnectedOld, output, 1) == 0; }

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(kEffFlagHasEditor, newEditor != nullptr);
}

// ---- Text formatting ----

namespace {

void writeClipped(const char* source, size_t length, char* text, int32_t maxLen) {
  if (!text) return;
  if (maxLen < 0) maxLen = 0;
  size_t n = length < static_cast<size_t>(maxLen) ? length : static_cast<size_t>(maxLen);
  std::memcpy(text, source, n);
  text[n] = 0;
}

void writeClipped(const char* source, char* text, int32_t maxLen) {
  writeClipped(source, std::strlen(source), text, maxLen);
}

}  // namespace

void AudioEffect::float2string(float value, char* text, int32_t maxLen) {
  if (!std::isfinite(value) || double(value) > 99999999.0 || double(value) < -9999999.0) {
    writeClipped("Huge!", text, maxLen);
    return;
  }
  constexpr int kWidth = 8;  // sign, digits and point together
  char out[16] = {};
  int n = 0;
  double v = value;
  if (v < 0) {
    out[n++] = '-';
    v = -v;
  }
  double integral = std::floor(v);
  double fraction = v - integral;
  char digits[16] = {};
  auto res = std::to_chars(digits, digits + sizeof(digits), static_cast<long long>(integral));
  int numDigits = static_cast<int>(res.ptr - digits);
  for (int i = 0; i < numDigits && n < kWidth; ++i) out[n++] = digits[i];
  if (n < kWidth) {
    out[n++] = '.';
    while (n < kWidth) {
      fraction *= 10.0;
      int d = static_cast<int>(fraction);
      if (d > 9) d = 9;
      if (d < 0) d = 0;
      fraction -= d;
      out[n++] = static_cast<char>('0' + d);
    }
  }
  writeClipped(out, static_cast<size_t>(n), text, maxLen);
}

void AudioEffect::int2string(int32_t value, char* text, int32_t maxLen) {
  if (value >= 100000000) {
    writeClipped("Huge!", text, maxLen);
    return;
  }
  char out[16] = {};
  auto res = std::to_chars(out, out + sizeof(out), value);
  writeClipped(out, static_cast<size_t>(res.ptr - out), text, maxLen);
}

void AudioEffect::dB2string(float value, char* text, int32_t maxLen) {
  if (value <= 0.0f)
    writeClipped("-oo", text, maxLen);
  else
    float2string(20.0f * std::log10(value), text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, int32_t maxLen) {
  float2string(samples == 0.0f ? 0.0f : sampleRate / samples, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, int32_t maxLen) {
  float2string(samples * 1000.0f / sampleRate, text, maxLen);
}
