// The extended base: answers the opcodes added after the first interface and wraps the
// extended host calls. Adds no data members.
#pragma once

#include "audioeffect.h"

class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
  ~AudioEffectX() override;

  intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) override;

  void resume() override;

  // ---- Flags ----
  virtual void isSynth(bool state = true) { setFlag(kEffFlagIsSynth, state); }
  virtual void noTail(bool state = true) { setFlag(kEffFlagNoSoundInStop, state); }

  // ---- Queries answered to the host (defaults: 0 or false, arguments untouched) ----
  virtual int32_t processEvents(VstEvents* events) { return 0; }
  virtual bool canParameterBeAutomated(int32_t index) { return true; }
  virtual bool string2parameter(int32_t index, char* text) { return false; }
  virtual bool getParameterProperties(int32_t index, VstParameterProperties* p) { return false; }
  virtual bool getProgramNameIndexed(int32_t category, int32_t index, char* text) { return false; }
  virtual bool beginSetProgram() { return false; }
  virtual bool endSetProgram() { return false; }
  virtual int32_t beginLoadBank(VstPatchChunkInfo* ptr) { return 0; }
  virtual int32_t beginLoadProgram(VstPatchChunkInfo* ptr) { return 0; }
  virtual bool getInputProperties(int32_t index, VstPinProperties* properties) { return false; }
  virtual bool getOutputProperties(int32_t index, VstPinProperties* properties) { return false; }
  virtual bool setSpeakerArrangement(VstSpeakerArrangement* pluginInput,
                                     VstSpeakerArrangement* pluginOutput) {
    return false;
  }
  virtual bool getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                     VstSpeakerArrangement** pluginOutput);
  virtual bool setBypass(bool onOff) { return false; }
  virtual bool setPanLaw(int32_t type, float val) { return false; }
  virtual bool setProcessPrecision(int32_t precision) { return false; }
  virtual int32_t getNumMidiInputChannels() { return 0; }
  virtual int32_t getNumMidiOutputChannels() { return 0; }
  virtual int32_t getMidiProgramName(int32_t channel, MidiProgramName* name) { return 0; }
  virtual int32_t getCurrentMidiProgram(int32_t channel, MidiProgramName* current) { return -1; }
  virtual int32_t getMidiProgramCategory(int32_t channel, MidiProgramCategory* category) { return 0; }
  virtual bool hasMidiProgramsChanged(int32_t channel) { return false; }
  virtual bool getMidiKeyName(int32_t channel, MidiKeyName* keyName) { return false; }
  virtual int32_t getPlugCategory();
  virtual int32_t getVstVersion() { return 2400; }
  virtual int32_t startProcess() { return 0; }
  virtual int32_t stopProcess() { return 0; }
  virtual bool processVariableIo(VstVariableIo* varIo) { return false; }
  virtual int32_t setTotalSampleToProcess(int32_t value) { return value; }
  virtual int32_t getGetTailSize() { return 0; }
  virtual bool getEffectName(char* name) { return false; }
  virtual bool getVendorString(char* text) { return false; }
  virtual bool getProductString(char* text) { return false; }
  virtual int32_t getVendorVersion() { return 0; }
  virtual intptr_t vendorSpecific(int32_t lArg, intptr_t lArg2, void* ptrArg, float floatArg) { return 0; }
  virtual int32_t canDo(char* text) { return 0; }
  virtual int32_t getNextShellPlugin(char* name) { return 0; }
  virtual bool offlineNotify(VstAudioFile* ptr, int32_t numAudioFiles, bool start) { return false; }
  virtual bool offlinePrepare(VstOfflineTask* offline, int32_t count) { return false; }
  virtual bool offlineRun(VstOfflineTask* offline, int32_t count) { return false; }
  virtual int32_t offlineGetNumPasses() { return 0; }
  virtual int32_t offlineGetNumMetaPasses() { return 0; }
  virtual int32_t __getNumCategoriesDeprecated() { return 1; }
  virtual bool __copyProgramDeprecated(int32_t destination) { return false; }
  virtual bool __getErrorTextDeprecated(char* text) { return false; }
  virtual bool __keysRequiredDeprecated() { return false; }
  virtual int32_t __reportCurrentPositionDeprecated() { return 0; }
  virtual float* __reportDestinationBufferDeprecated() { return nullptr; }
  virtual void __setBlockSizeAndSampleRateDeprecated(int32_t blockSize, float sampleRate) {
    this->blockSize = blockSize;
    this->sampleRate = sampleRate;
  }

  // ---- Host calls ----
  virtual void __wantEventsDeprecated(int32_t filter = 1);
  virtual VstTimeInfo* getTimeInfo(int32_t filter);
  virtual bool sendVstEventsToHost(VstEvents* events);
  virtual int32_t __tempoAtDeprecated(int32_t pos);
  virtual int32_t __getNumAutomatableParametersDeprecated();
  virtual int32_t __getParameterQuantizationDeprecated();
  virtual bool ioChanged();
  virtual bool __needIdleDeprecated();
  virtual bool sizeWindow(int32_t width, int32_t height);
  virtual double updateSampleRate();
  virtual int32_t updateBlockSize();
  virtual int32_t getInputLatency();
  virtual int32_t getOutputLatency();
  virtual AEffect* __getPreviousPlugDeprecated(int32_t input);
  virtual AEffect* __getNextPlugDeprecated(int32_t output);
  virtual int32_t __willProcessReplacingDeprecated();
  virtual int32_t getCurrentProcessLevel();
  virtual int32_t getAutomationState();
  virtual bool offlineStart(VstAudioFile* ptr, int32_t numAudioFiles, int32_t numNewAudioFiles);
  virtual bool offlineRead(VstOfflineTask* offline, int32_t option, bool readSource = true);
  virtual bool offlineWrite(VstOfflineTask* offline, int32_t option);
  virtual int32_t offlineGetCurrentPass();
  virtual int32_t offlineGetCurrentMetaPass();
  virtual void __setOutputSampleRateDeprecated(float samplerate);
  virtual VstSpeakerArrangement* __getOutputSpeakerArrangementDeprecated();
  virtual bool getHostVendorString(char* text);
  virtual bool getHostProductString(char* text);
  virtual int32_t getHostVendorVersion();
  virtual intptr_t hostVendorSpecific(int32_t lArg1, intptr_t lArg2, void* ptrArg, float floatArg);
  virtual int32_t canHostDo(char* text);
  virtual int32_t getHostLanguage();
  virtual void* __openWindowDeprecated(void* window);
  virtual bool __closeWindowDeprecated(void* window);
  virtual void* getDirectory();
  virtual bool updateDisplay();
  virtual bool beginEdit(int32_t index);
  virtual bool endEdit(int32_t index);
  virtual bool openFileSelector(VstFileSelect* ptr);
  virtual bool closeFileSelector(VstFileSelect* ptr);
  virtual bool __getChunkFileDeprecated(void* nativePath);
  virtual VstSpeakerArrangement* __getInputSpeakerArrangementDeprecated();

  // ---- Speaker arrangements ----
  // Frees any old arrangement and allocates a zeroed one with room for numChannels speakers.
  virtual bool allocateArrangement(VstSpeakerArrangement** arrangement, int32_t numChannels);
  virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement);
  virtual bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from);
  virtual bool matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from);
};
