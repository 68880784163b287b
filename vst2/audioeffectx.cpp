#include "audioeffectx.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "aeffeditor.h"

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : AudioEffect(audioMaster, numPrograms, numParams) {}

AudioEffectX::~AudioEffectX() = default;

namespace {

// The key modifier is one byte; a host's float may be anything.
unsigned char modifierByte(float opt) {
  if (!(opt > 0.0f)) return 0;  // also NaN
  if (opt >= 255.0f) return 255;
  return static_cast<unsigned char>(static_cast<int>(opt));
}

}  // namespace

intptr_t AudioEffectX::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  switch (opcode) {
    case kEffProcessEvents:
    case kEffGetProgramNameIndexed:
    case kEffGetInputProperties:
    case kEffGetOutputProperties:
    case kEffGetEffectName:
    case kEffGetVendorString:
    case kEffGetProductString:
    case kEffCanDo:
      if (!ptr) return 0;
      break;
    default:
      break;
  }

  switch (opcode) {
    case kEffProcessEvents:
      return processEvents(static_cast<VstEvents*>(ptr));
    case kEffCanBeAutomated:
      return canParameterBeAutomated(index) ? 1 : 0;
    case kEffString2Parameter:
      return string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0;
    case kEffGetProgramNameIndexed:
      return getProgramNameIndexed(static_cast<int32_t>(value), index, static_cast<char*>(ptr)) ? 1 : 0;
    case kEffGetInputProperties:
      return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case kEffGetOutputProperties:
      return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case kEffGetPlugCategory:
      return getPlugCategory();
    case kEffOfflineNotify:
      return offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<int32_t>(value), index != 0) ? 1 : 0;
    case kEffOfflinePrepare:
      return offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<int32_t>(value)) ? 1 : 0;
    case kEffOfflineRun:
      return offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<int32_t>(value)) ? 1 : 0;
    case kEffProcessVarIo:
      return processVariableIo(static_cast<VstVariableIo*>(ptr)) ? 1 : 0;
    case kEffSetSpeakerArrangement:
      return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                   static_cast<VstSpeakerArrangement*>(ptr))
                 ? 1
                 : 0;
    case kEffSetBypass:
      return setBypass(value != 0) ? 1 : 0;
    case kEffGetEffectName:
      return getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
    case kEffGetVendorString:
      return getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
    case kEffGetProductString:
      return getProductString(static_cast<char*>(ptr)) ? 1 : 0;
    case kEffGetVendorVersion:
      return getVendorVersion();
    case kEffVendorSpecific:
      return vendorSpecific(index, value, ptr, opt);
    case kEffCanDo:
      return canDo(static_cast<char*>(ptr));
    case kEffGetTailSize:
      return getGetTailSize();
    case kEffGetParameterProperties:
      return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
    case kEffGetVstVersion:
      return getVstVersion();
    case kEffEditKeyDown:
    case kEffEditKeyUp: {
      if (!editor) return 0;
      VstKeyCode key{};
      key.character = index;
      key.virt = static_cast<unsigned char>(value & 0xFF);
      key.modifier = modifierByte(opt);
      bool used = opcode == kEffEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
      return used ? 1 : 0;
    }
    case kEffSetEditKnobMode:
      return editor ? (editor->setKnobMode(static_cast<int32_t>(value)) ? 1 : 0) : 0;
    case kEffGetMidiProgramName:
      return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case kEffGetCurrentMidiProgram:
      return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case kEffGetMidiProgramCategory:
      return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case kEffHasMidiProgramsChanged:
      return hasMidiProgramsChanged(index) ? 1 : 0;
    case kEffGetMidiKeyName:
      return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)) ? 1 : 0;
    case kEffBeginSetProgram:
      return beginSetProgram() ? 1 : 0;
    case kEffEndSetProgram:
      return endSetProgram() ? 1 : 0;
    case kEffGetSpeakerArrangement:
      return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                   static_cast<VstSpeakerArrangement**>(ptr))
                 ? 1
                 : 0;
    case kEffShellGetNextPlugin:
      return getNextShellPlugin(static_cast<char*>(ptr));
    case kEffStartProcess:
      return startProcess();
    case kEffStopProcess:
      return stopProcess();
    case kEffSetTotalSampleToProcess:
      return setTotalSampleToProcess(static_cast<int32_t>(value));
    case kEffSetPanLaw:
      return setPanLaw(static_cast<int32_t>(value), opt) ? 1 : 0;
    case kEffBeginLoadBank:
      return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case kEffBeginLoadProgram:
      return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case kEffSetProcessPrecision:
      return setProcessPrecision(static_cast<int32_t>(value)) ? 1 : 0;
    case kEffGetNumMidiInputChannels:
      return getNumMidiInputChannels();
    case kEffGetNumMidiOutputChannels:
      return getNumMidiOutputChannels();
    default:
      return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

void AudioEffectX::resume() {
  char receive[] = "receiveVstMidiEvent";
  if ((cEffect.flags & kEffFlagIsSynth) || canDo(receive) == 1) __wantEventsDeprecated(1);
}

int32_t AudioEffectX::getPlugCategory() {
  return (cEffect.flags & kEffFlagIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                         VstSpeakerArrangement** pluginOutput) {
  if (pluginInput) *pluginInput = nullptr;
  if (pluginOutput) *pluginOutput = nullptr;
  return false;
}

// ---- Host calls ----

void AudioEffectX::__wantEventsDeprecated(int32_t filter) { callHost(kHostWantMidiOld, 0, filter); }

VstTimeInfo* AudioEffectX::getTimeInfo(int32_t filter) {
  return reinterpret_cast<VstTimeInfo*>(callHost(kHostGetTime, 0, filter));
}

bool AudioEffectX::sendVstEventsToHost(VstEvents* events) {
  return callHost(kHostProcessEvents, 0, 0, events) == 1;
}

int32_t AudioEffectX::__tempoAtDeprecated(int32_t pos) {
  return static_cast<int32_t>(callHost(kHostTempoAtOld, 0, pos));
}

int32_t AudioEffectX::__getNumAutomatableParametersDeprecated() {
  return static_cast<int32_t>(callHost(kHostGetNumAutomatableParametersOld));
}

int32_t AudioEffectX::__getParameterQuantizationDeprecated() {
  return static_cast<int32_t>(callHost(kHostGetParameterQuantizationOld));
}

bool AudioEffectX::ioChanged() { return callHost(kHostIoChanged) != 0; }

bool AudioEffectX::__needIdleDeprecated() { return callHost(kHostNeedIdleOld) != 0; }

bool AudioEffectX::sizeWindow(int32_t width, int32_t height) {
  return callHost(kHostSizeWindow, width, height) != 0;
}

double AudioEffectX::updateSampleRate() {
  intptr_t answer = callHost(kHostGetSampleRate);
  if (answer) sampleRate = static_cast<float>(answer);
  return sampleRate;
}

int32_t AudioEffectX::updateBlockSize() {
  intptr_t answer = callHost(kHostGetBlockSize);
  if (answer) blockSize = static_cast<int32_t>(answer);
  return blockSize;
}

int32_t AudioEffectX::getInputLatency() { return static_cast<int32_t>(callHost(kHostGetInputLatency)); }

int32_t AudioEffectX::getOutputLatency() { return static_cast<int32_t>(callHost(kHostGetOutputLatency)); }

AEffect* AudioEffectX::__getPreviousPlugDeprecated(int32_t input) {
  return reinterpret_cast<AEffect*>(callHost(kHostGetPreviousPlugOld, 0, input));
}

AEffect* AudioEffectX::__getNextPlugDeprecated(int32_t output) {
  return reinterpret_cast<AEffect*>(callHost(kHostGetNextPlugOld, 0, output));
}

int32_t AudioEffectX::__willProcessReplacingDeprecated() {
  return static_cast<int32_t>(callHost(kHostWillReplaceOrAccumulateOld));
}

int32_t AudioEffectX::getCurrentProcessLevel() {
  return static_cast<int32_t>(callHost(kHostGetCurrentProcessLevel));
}

int32_t AudioEffectX::getAutomationState() { return static_cast<int32_t>(callHost(kHostGetAutomationState)); }

bool AudioEffectX::offlineStart(VstAudioFile* ptr, int32_t numAudioFiles, int32_t numNewAudioFiles) {
  return callHost(kHostOfflineStart, numNewAudioFiles, numAudioFiles, ptr) != 0;
}

bool AudioEffectX::offlineRead(VstOfflineTask* offline, int32_t option, bool readSource) {
  return callHost(kHostOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool AudioEffectX::offlineWrite(VstOfflineTask* offline, int32_t option) {
  return callHost(kHostOfflineWrite, 0, option, offline) != 0;
}

int32_t AudioEffectX::offlineGetCurrentPass() { return callHost(kHostOfflineGetCurrentPass) != 0 ? 1 : 0; }

int32_t AudioEffectX::offlineGetCurrentMetaPass() {
  return callHost(kHostOfflineGetCurrentMetaPass) != 0 ? 1 : 0;
}

void AudioEffectX::__setOutputSampleRateDeprecated(float samplerate) {
  callHost(kHostSetOutputSampleRateOld, 0, 0, nullptr, samplerate);
}

VstSpeakerArrangement* AudioEffectX::__getOutputSpeakerArrangementDeprecated() {
  return reinterpret_cast<VstSpeakerArrangement*>(callHost(kHostGetOutputSpeakerArrangementOld));
}

bool AudioEffectX::getHostVendorString(char* text) {
  if (text) *text = 0;
  return callHost(kHostGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) {
  if (text) *text = 0;
  return callHost(kHostGetProductString, 0, 0, text) != 0;
}

int32_t AudioEffectX::getHostVendorVersion() { return static_cast<int32_t>(callHost(kHostGetVendorVersion)); }

intptr_t AudioEffectX::hostVendorSpecific(int32_t lArg1, intptr_t lArg2, void* ptrArg, float floatArg) {
  return callHost(kHostVendorSpecific, lArg1, lArg2, ptrArg, floatArg);
}

int32_t AudioEffectX::canHostDo(char* text) { return callHost(kHostCanDo, 0, 0, text) != 0 ? 1 : 0; }

int32_t AudioEffectX::getHostLanguage() { return static_cast<int32_t>(callHost(kHostGetLanguage)); }

void* AudioEffectX::__openWindowDeprecated(void* window) {
  return reinterpret_cast<void*>(callHost(kHostOpenWindowOld, 0, 0, window));
}

bool AudioEffectX::__closeWindowDeprecated(void* window) {
  return callHost(kHostCloseWindowOld, 0, 0, window) != 0;
}

void* AudioEffectX::getDirectory() { return reinterpret_cast<void*>(callHost(kHostGetDirectory)); }

bool AudioEffectX::updateDisplay() { return callHost(kHostUpdateDisplay) != 0; }

bool AudioEffectX::beginEdit(int32_t index) { return callHost(kHostBeginEdit, index) != 0; }

bool AudioEffectX::endEdit(int32_t index) { return callHost(kHostEndEdit, index) != 0; }

bool AudioEffectX::openFileSelector(VstFileSelect* ptr) {
  return ptr && callHost(kHostOpenFileSelector, 0, 0, ptr) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* ptr) {
  return ptr && callHost(kHostCloseFileSelector, 0, 0, ptr) != 0;
}

bool AudioEffectX::__getChunkFileDeprecated(void* nativePath) {
  return callHost(kHostGetChunkFileOld, 0, 0, nativePath) != 0;
}

VstSpeakerArrangement* AudioEffectX::__getInputSpeakerArrangementDeprecated() {
  return reinterpret_cast<VstSpeakerArrangement*>(callHost(kHostGetInputSpeakerArrangementOld));
}

// ---- Speaker arrangements ----

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, int32_t numChannels) {
  if (!arrangement || numChannels < 0) return false;
  deallocateArrangement(arrangement);
  size_t size = sizeof(VstSpeakerArrangement);
  if (numChannels > 8) size += static_cast<size_t>(numChannels - 8) * sizeof(VstSpeakerProperties);
  auto* fresh = static_cast<VstSpeakerArrangement*>(std::calloc(1, size));
  if (!fresh) return false;
  fresh->numChannels = numChannels;
  *arrangement = fresh;
  return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
  if (!arrangement) return false;
  std::free(*arrangement);
  *arrangement = nullptr;
  return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
  if (!to || !from) return false;
  std::memcpy(to, from, sizeof(VstSpeakerProperties));
  return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
  if (!to || !from || from == *to) return false;
  if (!allocateArrangement(to, from->numChannels)) return false;
  (*to)->type = from->type;
  // The speaker list runs past the declared eight entries when there are more channels.
  VstSpeakerProperties* target = (*to)->speakers;
  VstSpeakerProperties* source = from->speakers;
  for (int32_t i = 0; i < from->numChannels; ++i) copySpeaker(target + i, source + i);
  return true;
}
