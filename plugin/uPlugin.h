// The plug-in object: every setting, the parameter store and the host-facing operations.
// Large (several hundred kilobytes once complete): always allocate it on the heap.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "audioeffectx.h"
#include "dsp/dspCommon.h"
#include "dsp/uCompressor.h"
#include "dsp/uDistort.h"
#include "dsp/uEQ.h"
#include "dsp/uFilter.h"
#include "dsp/uLfo.h"
#include "dsp/uModulator.h"
#include "dsp/uNoiseGate.h"
#include "dsp/uWidener.h"
#include "tags.h"
#include "uEditorLink.h"

inline constexpr const char* PRODUCT_NAME_STR = "Grindle2";
inline constexpr const char* VENDOR_STR = "Kestrune";
inline constexpr int32_t VENDOR_VERSION = 0x10000;
inline constexpr int32_t UNIQUE_ID = fourCharId('M', 'v', '3', 'k');

// One program as stored and as exchanged with the host: values in tag order, then the name.
struct ProgramChunk {
  float values[NUM_PARAMS];
  char name[32];
};
static_assert(sizeof(ProgramChunk) == 4128);

class APlugin : public AudioEffectX {
 public:
  explicit APlugin(audioMasterCallback audioMaster);
  ~APlugin() override;

  // ---- Host-facing operations ----
  // Switching on and off needs no work: the engine restarts itself when needed.
  void suspend() override;
  void resume() override;
  void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
  void __processDeprecated(float** inputs, float** outputs, int32_t sampleFrames) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  int32_t getVendorVersion() override;
  int32_t canDo(char* text) override;
  bool getInputProperties(int32_t index, VstPinProperties* properties) override;
  bool getOutputProperties(int32_t index, VstPinProperties* properties) override;
  intptr_t vendorSpecific(int32_t lArg, intptr_t lArg2, void* ptrArg, float floatArg) override;
  bool beginEdit(int32_t index) override;
  bool endEdit(int32_t index) override;

  // ---- Parameter store ----
  static bool isValidTag(int t) { return static_cast<unsigned>(t) < static_cast<unsigned>(NUM_PARAMS); }
  float getParameter(int32_t t) override;
  void setParameter(int32_t t, float v) override;

  bool getOnOff(int t);
  static bool getOnOff(float v) { return v >= 0.5f; }
  bool getRevOnOff(int t);
  static bool getRevOnOff(float v) { return v <= 0.5f; }
  void setOnOff(int t, bool on);
  void setOn(int t) { setOnOff(t, true); }
  void setOff(int t) { setOnOff(t, false); }
  void toggleOnOff(int t);

  int32_t getMenuNum(int t);
  float getMenuRange(int t);
  static int getSteppedValue(float v, float scale, int count);
  int getSteppedValue(int t, float scale, int count);
  int getSteppedValue(int t);
  void setSteppedValue(int t, int n);
  void setSteppedValue(int t, int n, float scale, int count);

  void copyParameter(int from, int to);
  void swapParameter(int a, int b);
  float getDefault(int t);
  void setToDefault(int t);
  // The value a knob shows as its modulation ring; on = the "ModDial" preference.
  float getDialMod(int t, bool on);
  bool getEditChanged() const { return editChanged.load(std::memory_order_relaxed); }
  int32_t getDestByTag(int t) { return isValidTag(t) ? destByTag[t] : -1; }
  bool isOnOffTag(int t) const { return isValidTag(t) && isOnOff[t]; }

  // True only while an editor is fully open (see setParameter's editor forward).
  bool isEditorOpen();

  // ---- Tables (indexed by tag) ----
  std::atomic<float> currentValues[NUM_PARAMS];
  float defaultValues[NUM_PARAMS];
  float editedValues[NUM_PARAMS];
  float originalValues[NUM_PARAMS];
  float lastValues[NUM_PARAMS];
  int32_t menuNum[NUM_PARAMS];
  float menuRange[NUM_PARAMS];
  bool isOnOff[NUM_PARAMS];
  int32_t destByTag[NUM_PARAMS];
  ProgramChunk programs;  // the one program's store (program 0)
  std::atomic<bool> editChanged{false};

  // ---- Editor link (set by the editor; tests install a fake) ----
  std::atomic<bool> editorOpening{false};
  std::atomic<bool> editorOpen{false};
  IEditorLink* editorLink = nullptr;

  // ======================= Engine: audio modules, sample loop, modulation =======================
  // (uPluginInit.cpp, uPluginProcess.cpp, uPluginMod.cpp, uPluginAccessors.cpp)
 public:
  void setSampleRate(float rate) override;
  // Re-initialises the signal chain. From the audio thread, or while processing is switched off,
  // it happens at once; otherwise it is carried out at the start of the next block.
  void resetEverything();

  // Selections read from the parameter store.
  int32_t getModulePath();
  int32_t getDistortType();
  int32_t getDisruptQuant();
  int32_t getDisruptSpringTime();
  int32_t getDisruptLazyMode();
  int32_t getFollowerSource();
  int32_t getLFOWave(int i);
  int32_t getLFOMode(int i);
  int32_t getLFOTrigger(int i);
  int32_t getLFOWaveByTag(int t) { return getSteppedValue(t); }
  int32_t getLFOModeByTag(int t) { return getSteppedValue(t); }
  int32_t getLFOTriggerByTag(int t) { return getSteppedValue(t); }
  static bool isValidLFO(int i) { return static_cast<unsigned>(i) < 4u; }
  int32_t getSrcForModSlot(int s);
  int32_t getDestForModSlot(int s);
  static bool isValidModSlot(int s) { return static_cast<unsigned>(s) < static_cast<unsigned>(NUM_MOD_SLOTS); }
  int32_t getSrcForTag(int t) { return getSteppedValue(t); }
  int32_t getDestForTag(int t) { return getSteppedValue(t); }
  void setSrcForTag(int t, int n) { setSteppedValue(t, n); }
  void setDestForTag(int t, int n) { setSteppedValue(t, n); }
  void setSrcForModSlot(int s, int n);
  void setDestForModSlot(int s, int n);
  bool getFilterType(int t) { return getOnOff(t); }
  bool getWaveShaperPolarMode() { return getOnOff(WAVESHAPER_POLAR_TAG); }
  int32_t getWaveShaperDistortMode(int i);
  int32_t getWaveShaperDistortModeByTag(int t) { return getSteppedValue(t); }
  static int32_t getSyncedPeriod(float v);
  void setDisruptOn(int n);
  void setModSlotVariables(int s, bool bypass, float amount, int src, int dest);

  // Live values for the editor (safe from the GUI thread).
  float getModDisruptAmount();
  float getCompVolume();
  // The compressor meter's display value for a level: 1 at 0 dB, 0 at -40 dB, and 0 below level 0.001.
  static float compLevelToDisplay(float level);
  bool getNoiseGateTriggered();
  float getFollowerValue(float x);
  float getSourceValue(int src) const { return modulator.getSrcVal(src); }
  float getTempo() const { return tempo.load(std::memory_order_relaxed); }
  float getSamplesPerBar() const { return samplesPerBar.load(std::memory_order_relaxed); }
  float getWorkingSampleRate() const { return lastSampleRate; }

  // The Disrupt slider's spring: off while the slider is held, on when it is let go.
  void setDisruptSpringOn();
  void setDisruptSpringOff();
  // Feeds the envelope follower one frame.
  void setFollowerValue(float left, float right);

  // Editor displays (GUI thread).
  int32_t getLFOScreenValue(int lfo, float x, int height);
  int32_t getLFOPos(int lfo, float width);
  bool distortDisplayUpdated();
  void getDistortDisplay(float* out, int count, int wave, float zoom);

  // The audio modules, owned by value.
  dsp::RandSeed randSeed;  // shared by the distortion stage and the LFO screen's hold values
  dsp::TDistort distort;
  dsp::TDistort displayDistort;
  dsp::TEQ preEQ;
  dsp::TEQ postEQ;
  dsp::TOldEQ oldEQ;
  dsp::TNoiseGate noiseGate;
  dsp::TFilter highPassFilter;
  dsp::TFilter lowPassFilter;
  dsp::TCompressor compressor;
  dsp::TWidener widener;
  TLfo lazyLfo;
  TLfo lfo[4];
  TLfo screenLfo;
  TModulator modulator;

 protected:
  // The signal-state and engine steps of the start-up initialisation.
  void initEngineVariables();
  // The full re-initialisation itself; only on the audio thread or while processing is off.
  void resetEverythingNow();
  // Due MIDI events; the per-sample call point of the MIDI input.
  void processMidi();
  int32_t numPendingEvents = 0;

  // Per-sample engine pieces.
  void controlTick();
  void routingTick();
  void latchStageSettings();
  void computeDisrupt();
  void runModSources();
  void writeDisruptTag();
  void refreshLfoParameters();
  void runStage(int stage, float& a, float& b, float& c, float& d);
  void writeTag69(float v);
  float tagValue(int t) const { return currentValues[t].load(std::memory_order_relaxed); }
  // Without any routed slot every sum is 0 (the routing tick clears them).
  float mod(int d) const { return modRouted ? modulator.getMod(d) : 0.0f; }
  bool modRouted = false;
  float lastPathValue = -1.0f, lastTypeValue = -1.0f;  // the stored values the two steps below belong to
  int32_t pathIndex = 0, distortType = 0;
  bool anyLfoInUse = false;

  // Processing state: set while the host has switched processing on (or blocks arrive).
  std::atomic<bool> processingOn{false};
  std::atomic<bool> resetRequested{false};
  std::atomic<std::thread::id> blockThread{};  // the thread inside processReplacing, if any

  // Host and timing.
  float lastSampleRate = 44100.0f;
  std::atomic<float> tempo{120.0f};
  std::atomic<float> samplesPerBar{88200.0f};
  int32_t lastTransportPlaying = -1;
  uint32_t sampleCounter = 0;
  bool freshStart = true;

  // Signal frames.
  float inputFrame[4] = {};
  float outputFrame[2] = {};
  float meterLevels[4] = {};

  // Smoothed values.
  float smoothedVolume = 0.0f;
  float smoothedMix = 0.0f;
  float smoothedOldEqGains[4] = {};
  float smoothedCompVolume = 0.0f;
  float smoothedWidenValues[4] = {};
  float smoothedHighPassFreq = 0.0f;
  float smoothedLowPassFreq = 0.0f;
  float lastVolumeValue = -1.0f;  // the gain below belongs to this volume value
  float volumeGain = 0.0f;

  // Stage settings latched on the control tick.
  bool preEqOn = false, postEqOn = false, oldEqOn = false;
  float eqGains[2][4] = {}, eqFreqs[2][4] = {}, eqWidths[2][4] = {};
  std::atomic<bool> gateOn{false};
  std::atomic<bool> compOn{false};
  bool lowPassOn = false, highPassOn = false, widenerOn = false, chorusOn = false;
  std::atomic<float> compMeterLevel{0.0f};
  std::atomic<bool> gateLamp{false};  // the gate's state for the editor, taken with the meters
  float waveShaperCurves[2][WAVESHAPER_POINTS] = {};

  // LFOs.
  bool lfoInUse[4] = {};
  int32_t lfoCurve[4] = {};
  int32_t lastLfoMode[4] = {-1, -1, -1, -1};

  // Follower.
  int32_t followerSource = 0;
  int32_t followerModSources[3] = {};
  float followerAttack = 0.0f, followerHold = 0.0f, followerDecay = 0.0f, followerSmooth = 0.0f;
  float followerBoost = 0.0f, followerThreshold = 0.0f;
  float followerInputs[6] = {};  // the knob values the coefficients belong to (NaN: none yet)
  float followerLevel = 0.0f, followerEnvelope = 0.0f, followerHoldCount = 0.0f;
  float followerHistory[512] = {};
  std::atomic<double> followerPhase{0.0};

  // Disrupt.
  std::atomic<bool> disruptSpringActive{false};
  std::atomic<float> disruptSpringStep{0.0f};
  bool lazyOn = false, lazySync = false;
  int32_t disruptSpringTime = 0, disruptQuant = 0, lazyMode = 0;
  float disruptQuantDivide = 0.0f;
  std::atomic<float> disruptValue{0.0f};
  float disruptSmooth = 0.0f;

  // Noise sources.
  dsp::Rand15 noise{1};

  // Displays.
  int32_t distortDisplaySignature = 0;
  float holdDisplayValues[40] = {};
  // ===================== end of engine =====================


 protected:
  // Fills the tag tables from the tag map (defaults, steps, switches, destinations).
  void initTagTables();
  // Loads the built-in program named by the name tags of the program store into the current
  // values and the store. Does nothing until the built-in bank exists.
  void loadBuiltInFromNameTags();
  // The modulation currently applied to destination d; 0 until the modulator exists.
  float currentModulation(int d);
  // The store of the current program number.
  float* programValues() { return programs.values; }
};

AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
