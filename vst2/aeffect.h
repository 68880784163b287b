// The binary interface between a VST 2.4 host and a plug-in, declared by hand from the
// published layout (64-bit, little-endian). Only the layout is fixed; the names are ours.
#pragma once

#include <cstddef>
#include <cstdint>

struct AEffect;

// The host's side of the conversation: (effect, opcode, index, value, ptr, opt).
typedef intptr_t (*audioMasterCallback)(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                        void* ptr, float opt);

typedef intptr_t (*AEffectDispatcherProc)(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                          void* ptr, float opt);
typedef void (*AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames);
typedef void (*AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                         int32_t sampleFrames);
typedef void (*AEffectSetParameterProc)(AEffect* effect, int32_t index, float parameter);
typedef float (*AEffectGetParameterProc)(AEffect* effect, int32_t index);

// Four characters packed big-endian into one 32-bit constant.
constexpr int32_t fourCharId(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

inline constexpr int32_t kEffectMagic = fourCharId('V', 's', 't', 'P');  // 0x56737450

struct AEffect {
  int32_t magic;
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // old accumulating process
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  int32_t numPrograms;
  int32_t numParams;
  int32_t numInputs;
  int32_t numOutputs;
  int32_t flags;
  intptr_t reserved1;
  intptr_t reserved2;
  int32_t initialDelay;
  int32_t realQualities;
  int32_t offQualities;
  float ioRatio;
  void* object;
  void* user;
  int32_t uniqueID;
  int32_t version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

static_assert(sizeof(void*) == 8, "the plug-in is built for the 64-bit layout only");
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24);
static_assert(offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48);
static_assert(offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, reserved1) == 64);
static_assert(offsetof(AEffect, reserved2) == 72);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, realQualities) == 84);
static_assert(offsetof(AEffect, offQualities) == 88);
static_assert(offsetof(AEffect, ioRatio) == 92);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, processDoubleReplacing) == 128);
static_assert(offsetof(AEffect, future) == 136);
static_assert(sizeof(AEffect) == 192);

// Bits of AEffect::flags.
enum EffectFlag : int32_t {
  kEffFlagHasEditor = 1 << 0,
  kEffFlagCanReplacing = 1 << 4,
  kEffFlagProgramChunks = 1 << 5,
  kEffFlagIsSynth = 1 << 8,
  kEffFlagNoSoundInStop = 1 << 9,
  kEffFlagCanDoubleReplacing = 1 << 12,
};

// Opcodes the host sends to the plug-in's dispatcher.
enum EffectOpcode : int32_t {
  kEffOpen = 0,
  kEffClose = 1,
  kEffSetProgram = 2,
  kEffGetProgram = 3,
  kEffSetProgramName = 4,
  kEffGetProgramName = 5,
  kEffGetParamLabel = 6,
  kEffGetParamDisplay = 7,
  kEffGetParamName = 8,
  kEffGetVuOld = 9,
  kEffSetSampleRate = 10,
  kEffSetBlockSize = 11,
  kEffMainsChanged = 12,
  kEffEditGetRect = 13,
  kEffEditOpen = 14,
  kEffEditClose = 15,
  kEffEditDrawOld = 16,
  kEffEditMouseOld = 17,
  kEffEditKeyOld = 18,
  kEffEditIdle = 19,
  kEffEditTopOld = 20,
  kEffEditSleepOld = 21,
  kEffIdentifyOld = 22,
  kEffGetChunk = 23,
  kEffSetChunk = 24,
  kEffProcessEvents = 25,
  kEffCanBeAutomated = 26,
  kEffString2Parameter = 27,
  kEffGetNumProgramCategoriesOld = 28,
  kEffGetProgramNameIndexed = 29,
  kEffCopyProgramOld = 30,
  kEffConnectInputOld = 31,
  kEffConnectOutputOld = 32,
  kEffGetInputProperties = 33,
  kEffGetOutputProperties = 34,
  kEffGetPlugCategory = 35,
  kEffGetCurrentPositionOld = 36,
  kEffGetDestinationBufferOld = 37,
  kEffOfflineNotify = 38,
  kEffOfflinePrepare = 39,
  kEffOfflineRun = 40,
  kEffProcessVarIo = 41,
  kEffSetSpeakerArrangement = 42,
  kEffSetBlockSizeAndSampleRateOld = 43,
  kEffSetBypass = 44,
  kEffGetEffectName = 45,
  kEffGetErrorTextOld = 46,
  kEffGetVendorString = 47,
  kEffGetProductString = 48,
  kEffGetVendorVersion = 49,
  kEffVendorSpecific = 50,
  kEffCanDo = 51,
  kEffGetTailSize = 52,
  kEffIdleOld = 53,
  kEffGetIconOld = 54,
  kEffSetViewPositionOld = 55,
  kEffGetParameterProperties = 56,
  kEffKeysRequiredOld = 57,
  kEffGetVstVersion = 58,
  kEffEditKeyDown = 59,
  kEffEditKeyUp = 60,
  kEffSetEditKnobMode = 61,
  kEffGetMidiProgramName = 62,
  kEffGetCurrentMidiProgram = 63,
  kEffGetMidiProgramCategory = 64,
  kEffHasMidiProgramsChanged = 65,
  kEffGetMidiKeyName = 66,
  kEffBeginSetProgram = 67,
  kEffEndSetProgram = 68,
  kEffGetSpeakerArrangement = 69,
  kEffShellGetNextPlugin = 70,
  kEffStartProcess = 71,
  kEffStopProcess = 72,
  kEffSetTotalSampleToProcess = 73,
  kEffSetPanLaw = 74,
  kEffBeginLoadBank = 75,
  kEffBeginLoadProgram = 76,
  kEffSetProcessPrecision = 77,
  kEffGetNumMidiInputChannels = 78,
  kEffGetNumMidiOutputChannels = 79,
};

// Opcodes the plug-in sends to the host callback.
enum HostOpcode : int32_t {
  kHostAutomate = 0,
  kHostVersion = 1,
  kHostCurrentId = 2,
  kHostIdle = 3,
  kHostPinConnectedOld = 4,
  kHostWantMidiOld = 6,
  kHostGetTime = 7,
  kHostProcessEvents = 8,
  kHostSetTimeOld = 9,
  kHostTempoAtOld = 10,
  kHostGetNumAutomatableParametersOld = 11,
  kHostGetParameterQuantizationOld = 12,
  kHostIoChanged = 13,
  kHostNeedIdleOld = 14,
  kHostSizeWindow = 15,
  kHostGetSampleRate = 16,
  kHostGetBlockSize = 17,
  kHostGetInputLatency = 18,
  kHostGetOutputLatency = 19,
  kHostGetPreviousPlugOld = 20,
  kHostGetNextPlugOld = 21,
  kHostWillReplaceOrAccumulateOld = 22,
  kHostGetCurrentProcessLevel = 23,
  kHostGetAutomationState = 24,
  kHostOfflineStart = 25,
  kHostOfflineRead = 26,
  kHostOfflineWrite = 27,
  kHostOfflineGetCurrentPass = 28,
  kHostOfflineGetCurrentMetaPass = 29,
  kHostSetOutputSampleRateOld = 30,
  kHostGetOutputSpeakerArrangementOld = 31,
  kHostGetVendorString = 32,
  kHostGetProductString = 33,
  kHostGetVendorVersion = 34,
  kHostVendorSpecific = 35,
  kHostSetIconOld = 36,
  kHostCanDo = 37,
  kHostGetLanguage = 38,
  kHostOpenWindowOld = 39,
  kHostCloseWindowOld = 40,
  kHostGetDirectory = 41,
  kHostUpdateDisplay = 42,
  kHostBeginEdit = 43,
  kHostEndEdit = 44,
  kHostOpenFileSelector = 45,
  kHostCloseFileSelector = 46,
  kHostEditFileOld = 47,
  kHostGetChunkFileOld = 48,
  kHostGetInputSpeakerArrangementOld = 49,
};

// Plug-in categories answered to opcode 35.
enum PlugCategory : int32_t { kPlugCategUnknown = 0, kPlugCategEffect = 1, kPlugCategSynth = 2 };

// String buffer sizes of the interface (characters including the terminator).
inline constexpr int kVstMaxProgNameLen = 24;
inline constexpr int kVstMaxParamStrLen = 8;
inline constexpr int kVstMaxVendorStrLen = 64;
inline constexpr int kVstMaxProductStrLen = 64;
inline constexpr int kVstMaxEffectNameLen = 32;

// ---- Events ----

enum VstEventType : int32_t { kVstMidiType = 1, kVstSysExType = 6 };

struct VstEvent {
  int32_t type;
  int32_t byteSize;  // size of the event after these first two fields
  int32_t deltaFrames;
  int32_t flags;
  char data[16];
};
static_assert(sizeof(VstEvent) == 32);

struct VstEvents {
  int32_t numEvents;
  intptr_t reserved;
  VstEvent* events[2];  // really numEvents entries
};
static_assert(offsetof(VstEvents, numEvents) == 0);
static_assert(offsetof(VstEvents, reserved) == 8);
static_assert(offsetof(VstEvents, events) == 16);
static_assert(sizeof(VstEvents) == 32);

// The entries of a list. Hosts allocate numEvents of them past the two declared, so they are
// reached through a pointer to the first: indexing the declared array past two is undefined.
inline VstEvent* const* eventEntries(const VstEvents& list) noexcept { return list.events; }
inline VstEvent** eventEntries(VstEvents& list) noexcept { return list.events; }

enum VstMidiEventFlag : int32_t { kVstMidiEventIsRealtime = 1 };

struct VstMidiEvent {
  int32_t type;  // kVstMidiType
  int32_t byteSize;
  int32_t deltaFrames;
  int32_t flags;
  int32_t noteLength;
  int32_t noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8);
static_assert(offsetof(VstMidiEvent, noteLength) == 16);
static_assert(offsetof(VstMidiEvent, midiData) == 24);
static_assert(offsetof(VstMidiEvent, detune) == 28);
static_assert(sizeof(VstMidiEvent) == 32);

// ---- Time information ----

enum VstTimeInfoFlag : int32_t {
  kVstTransportChanged = 1,
  kVstTransportPlaying = 1 << 1,
  kVstTransportCycleActive = 1 << 2,
  kVstTransportRecording = 1 << 3,
  kVstAutomationWriting = 1 << 6,
  kVstAutomationReading = 1 << 7,
  kVstNanosValid = 1 << 8,
  kVstPpqPosValid = 1 << 9,
  kVstTempoValid = 1 << 10,
  kVstBarsValid = 1 << 11,
  kVstCyclePosValid = 1 << 12,
  kVstTimeSigValid = 1 << 13,
  kVstSmpteValid = 1 << 14,
  kVstClockValid = 1 << 15,
};

struct VstTimeInfo {
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  int32_t timeSigNumerator;
  int32_t timeSigDenominator;
  int32_t smpteOffset;
  int32_t smpteFrameRate;
  int32_t samplesToNextClock;
  int32_t flags;
};
static_assert(offsetof(VstTimeInfo, ppqPos) == 24);
static_assert(offsetof(VstTimeInfo, tempo) == 32);
static_assert(offsetof(VstTimeInfo, cycleEndPos) == 56);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, samplesToNextClock) == 80);
static_assert(offsetof(VstTimeInfo, flags) == 84);
static_assert(sizeof(VstTimeInfo) == 88);

// ---- Pins, keys, rectangles ----

enum VstPinPropertiesFlag : int32_t {
  kVstPinIsActive = 1 << 0,
  kVstPinIsStereo = 1 << 1,
  kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties {
  char label[64];
  int32_t flags;
  int32_t arrangementType;
  char shortLabel[8];
  char future[48];
};
static_assert(offsetof(VstPinProperties, flags) == 64);
static_assert(offsetof(VstPinProperties, arrangementType) == 68);
static_assert(offsetof(VstPinProperties, shortLabel) == 72);
static_assert(sizeof(VstPinProperties) == 128);

struct VstKeyCode {
  int32_t character;
  unsigned char virt;      // virtual key code
  unsigned char modifier;  // modifier key bits
};
static_assert(offsetof(VstKeyCode, virt) == 4);
static_assert(offsetof(VstKeyCode, modifier) == 5);
static_assert(sizeof(VstKeyCode) == 8);

struct ERect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};
static_assert(sizeof(ERect) == 8);

// ---- Parameter properties (opcode 56) ----

struct VstParameterProperties {
  float stepFloat;
  float smallStepFloat;
  float largeStepFloat;
  char label[64];
  int32_t flags;
  int32_t minInteger;
  int32_t maxInteger;
  int32_t stepInteger;
  int32_t largeStepInteger;
  char shortLabel[8];
  int16_t displayIndex;
  int16_t category;
  int16_t numParametersInCategory;
  int16_t reserved;
  char categoryLabel[24];
  char future[16];
};
static_assert(offsetof(VstParameterProperties, label) == 12);
static_assert(offsetof(VstParameterProperties, flags) == 76);
static_assert(offsetof(VstParameterProperties, shortLabel) == 96);
static_assert(offsetof(VstParameterProperties, displayIndex) == 104);
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112);
static_assert(sizeof(VstParameterProperties) == 152);

// ---- Speaker arrangements ----

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  int32_t type;
  char future[28];
};
static_assert(offsetof(VstSpeakerProperties, name) == 16);
static_assert(offsetof(VstSpeakerProperties, type) == 80);
static_assert(sizeof(VstSpeakerProperties) == 112);

struct VstSpeakerArrangement {
  int32_t type;
  int32_t numChannels;
  VstSpeakerProperties speakers[8];  // really numChannels entries
};
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4);
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * 112);

// Structures of the offline and file-selector interfaces are passed through untouched.
struct VstAudioFile;
struct VstOfflineTask;
struct VstFileSelect;
struct VstVariableIo;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
struct VstPatchChunkInfo;
