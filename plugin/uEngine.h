// The audio engine: the modules, the per-sample state and the sample loop, the modulation
// sources, LFO modes, Disrupt and the envelope follower, the meters and the values the editor's
// screens draw. It reads the parameter store through a read-only view and is told the host's
// time once per block; it knows nothing of the VST object, the preferences or the editor, and
// tells its owner what it must through IEngineListener.
//
// Threads: process, the MIDI queue and the reset run on the audio thread. The display
// operations and the Disrupt spring switches are for the GUI thread; they read what the audio
// thread writes through atomics (a display may mix two samples, never tear a value).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>
#include <utility>

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
#include "uParamView.h"
#include "uPluginEngine.h"
#include "vst2/aeffect.h"

// What the host says about time for one block.
struct TBlockTime {
  bool known = false;       // the host answered the time query at all
  bool tempoValid = false;  // tempo below holds the host's tempo
  double tempo = 120.0;
  bool playing = false;  // the transport runs
};

// What the engine tells the object around it. Every call comes from the audio thread, inside
// process (or a reset it runs), and must not block or allocate.
class IEngineListener {
 public:
  virtual ~IEngineListener() = default;
  // A queued MIDI event has come due at the current sample.
  virtual void midiEventDue(const VstMidiEvent& event) = 0;
  // Disrupt moved its amount by itself (lazy oscillator or spring): the store takes value
  // (0..1) as tag 69, and the engine reads it back from there.
  virtual void storeDisruptAmount(float value) = 0;
  // Every 1024 samples: the Disrupt amount, for an editor that shows it.
  virtual void showDisruptAmount(float value) = 0;
  // Every 2048 samples: the smoothed input and output levels, in the meters' scale.
  virtual void showLevels(float inL, float inR, float outL, float outR) = 0;
  // The engine has just been reset (modules re-initialised).
  virtual void engineReset() = 0;
};

class TEngine {
 public:
  TEngine(const TParamView& params, IEngineListener& listener) : params(params), listener(listener) {}
  TEngine(const TEngine&) = delete;
  TEngine& operator=(const TEngine&) = delete;

  // Start-up: every module at the start-up rate, fresh state, then a reset. Once, after the
  // parameter values are in place.
  void init();

  // ---- Audio thread ----
  // One block: inputs[0..3] main left/right and side left/right, outputs[0..1]; a null list or
  // channel is silence (or not written). Empty blocks only pick up a pending reset.
  void process(float* const* inputs, float* const* outputs, int32_t sampleFrames, const TBlockTime& time);
  // Takes a new working rate (at least 100 Hz); false when rate is not finite or no change.
  bool setSampleRate(float rate);

  // ---- Switching and resets (any thread) ----
  // Processing switched on or off by the host; process switches it on by itself.
  void setProcessing(bool on) { processingOn.store(on, std::memory_order_release); }
  // Re-initialises the signal chain. From the audio thread, or while processing is switched off,
  // it happens at once; otherwise it is carried out at the start of the next block.
  void requestReset();
  // A program was loaded: the next reset first brings the working values (smoothed volume, mix,
  // filter frequencies, Disrupt, oscillator speeds) in line with it.
  void requestAlign() { alignRequested.store(true, std::memory_order_release); }

  // ---- MIDI queue (audio thread) ----
  static constexpr int MIDI_POOL_SIZE = 250;
  static constexpr int32_t MIDI_RECORD_FREE = -99;
  // Queues the MIDI events of the coming block; other event kinds, a null list and null entries
  // are skipped, and what does not fit the pool is dropped.
  void queueMidi(const VstEvents* events);
  // One sample's step of the queue: every waiting event counts down, and the due ones go to the
  // listener in pool order. process runs it at each sample while events wait.
  void runDueMidi();
  int getNumPendingEvents() const { return numPendingEvents; }
  // What MIDI messages do to the engine: set a source, start or stop the Note-mode LFOs, trigger
  // the MIDI-mode LFOs listening to a controller (or the pitch wheel).
  void setSourceValue(int src, float v) { modulator.setSrcVal(src, v); }
  void startNoteLfos();
  void stopNoteLfos();
  void triggerMidiLfos(int trigger, int value);

  // ---- Selections read from the parameter store (any thread) ----
  int32_t getModulePath() const { return params.step(MODULE_PATH_TAG); }
  int32_t getDistortType() const { return params.step(DISTORT_TYPE_TAG); }
  int32_t getDisruptQuant() const { return params.step(DISRUPT_QUANT_TAG); }
  int32_t getDisruptSpringTime() const { return params.step(DISRUPT_SPRING_TAG); }
  int32_t getDisruptLazyMode() const { return params.step(DISRUPT_LAZY_MODE_TAG); }
  int32_t getFollowerSource() const { return params.step(FOLLOWER_SOURCE_TAG); }
  static bool isValidLFO(int i) { return static_cast<unsigned>(i) < 4u; }
  int32_t getLFOWave(int i) const { return isValidLFO(i) ? params.step(LFO_WAVE_TAGS[i]) : 0; }
  int32_t getLFOMode(int i) const { return isValidLFO(i) ? params.step(LFO_MODE_TAGS[i]) : 0; }
  int32_t getLFOTrigger(int i) const { return isValidLFO(i) ? params.step(LFO_TRIGGER_TAGS[i]) : 0; }

  // ---- Live values for the editor (safe from the GUI thread) ----
  float getModDisruptAmount() const;
  float getCompVolume() const;
  // The compressor meter's display value for a level: 1 at 0 dB, 0 at -40 dB, and 0 below level 0.001.
  static float compLevelToDisplay(float level);
  bool getNoiseGateTriggered() const;
  float getFollowerValue(float x);
  float getSourceValue(int src) const { return modulator.getSrcVal(src); }
  // The modulation currently applied to destination d.
  float getMod(int d) const { return modulator.getMod(d); }
  float getTempo() const { return tempo.load(std::memory_order_relaxed); }
  float getSamplesPerBar() const { return samplesPerBar.load(std::memory_order_relaxed); }
  float getWorkingSampleRate() const { return lastSampleRate; }
  // LFO i (of 0..3; other numbers wrap).
  const TLfo& getLfo(int i) const { return lfo[i & 3]; }
  TLfo& getLfo(int i) { return lfo[i & 3]; }

  // The Disrupt slider's spring: off while the slider is held, on when it is let go.
  void setDisruptSpringOn();
  void setDisruptSpringOff();
  // True while the spring pulls the Disrupt amount home.
  bool isDisruptSpringActive() const { return disruptSpringActive.load(std::memory_order_relaxed); }
  // Feeds the envelope follower one frame.
  void setFollowerValue(float left, float right);

  // Editor displays (GUI thread).
  int32_t getLFOScreenValue(int lfo, float x, int height);
  int32_t getLFOPos(int lfo, float width) const;
  bool distortDisplayUpdated();
  void getDistortDisplay(float* out, int count, int wave, float zoom);

 protected:
  const TParamView params;
  IEngineListener& listener;

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

  // Every module at the working rate (start-up and rate changes).
  void initModules();
  // The full re-initialisation itself; only on the audio thread or while processing is off.
  void resetNow();
  void alignWorkingValuesNow();

  // Per-sample engine pieces.
  void controlTick();
  void routingTick();
  void latchStageSettings();
  void computeDisrupt();
  void runModSources();
  void writeDisruptTag();
  void refreshLfoParameters();
  // f holds the two sub-samples' frames {left 0, right 0, left 1, right 1} side by side.
  void runStage(int stage, float* f);
  // The four stages of module path P in their order.
  template <std::size_t P>
  void runPath(float* f);
  using PathRunner = void (TEngine::*)(float*);
  template <std::size_t... P>
  static constexpr std::array<PathRunner, sizeof...(P)> pathRunners(std::index_sequence<P...>);
  static const std::array<PathRunner, NUM_MODULE_PATHS> PATH_RUNNERS;
  void writeDisruptAmount(float v);
  float tagValue(int t) const { return params.value(t); }
  // Point i of wave-shaper curve w (0, 1) as the distortion uses it: -1..1.
  float curvePoint(int w, int i) const { return 2.0f * tagValue(WAVESHAPER_START_TAG[w] + i) - 1.0f; }
  bool getOnOff(int t) const { return params.on(t); }
  // The modulation sum of destination d. Without any routed slot every sum is +0 (the routing
  // tick and the modulator's init clear them), so the plain read needs no test of modRouted.
  float mod(int d) const { return modulator.getMod(d); }
  // A module setting: the tag's value plus its destination's modulation, limited to 0..1.
  float modulated(int t, int d) const { return engine_detail::limit01(tagValue(t) + mod(d)); }
  bool modRouted = false;
  // The modulator's slot setters depend only on what they are given (and, for a matrix row,
  // the row's source): the control tick hands a slot over again only when that has changed.
  // Bits, so that NaN and -0 count as settings of their own; a key of 0 is "not known".
  void setSlotAmount(int slot, float amount, bool off);
  void setMatrixRow(int row, float amount, bool advanced, float offset, float lower, float upper, bool off);
  void forgetSlotSettings();
  uint64_t slotAmountKey[TModulator::NUM_SLOTS] = {};
  uint32_t matrixRowKey[NUM_MOD_SLOTS][5] = {};
  float lastPathValue = -1.0f, lastTypeValue = -1.0f;  // the stored values the two steps below belong to
  int32_t pathIndex = 0, distortType = 0;
  bool anyLfoInUse = false;

  // Processing state: set while the host has switched processing on (or blocks arrive).
  std::atomic<bool> processingOn{false};
  std::atomic<bool> resetRequested{false};
  // Set by a program load: the next reset first brings the working values in line with the
  // loaded program (done with the reset, so on the audio thread whenever a block is running).
  std::atomic<bool> alignRequested{false};
  std::atomic<std::thread::id> blockThread{};  // the thread inside process, if any

  // Host and timing.
  TBlockTime blockTime;
  float lastSampleRate = 44100.0f;
  std::atomic<float> tempo{120.0f};
  std::atomic<float> samplesPerBar{88200.0f};
  int32_t lastTransportPlaying = -1;  // -1 unknown, else 0 or 1
  uint32_t sampleCounter = 0;
  bool freshStart = true;

  // MIDI queue: records whose frame offset is MIDI_RECORD_FREE are free. midiPoolEnd is one past
  // the last record in use, so the per-sample scan stops early.
  VstMidiEvent midiPool[MIDI_POOL_SIZE];
  int32_t midiPoolEnd = 0;
  int32_t numPendingEvents = 0;

  // Signal frames.
  float sideFrame[2] = {};  // the side input's sample, for the distortion stage
  float meterLevels[4] = {};

  // Smoothed values.
  float smoothedVolume = 0.0f;
  float smoothedMix = 0.0f;
  float smoothedOldEqGains[4] = {};
  float smoothedCompVolume = 0.0f;
  float smoothedWidenValues[4] = {};
  // The nine smoothers above stand still once one step has left every one of them exactly where
  // it was: while their knobs keep those values, further steps cannot move them either.
  void smoothKnobs();
  bool knobSmoothersSettled = false;
  TParamView::Run4 settledKnobRuns[3] = {};  // the knob values they settled at
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
  alignas(16) float waveShaperCurves[2][WAVESHAPER_POINTS] = {};

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
  int32_t followerSlot = 0;  // the history entry of followerPhase, worked out once per sample

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
  uint64_t distortDisplayCurveSignature = 0;  // curves and DC switch, for the types drawn with them
  float holdDisplayValues[40] = {};
};
