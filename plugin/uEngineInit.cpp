// Start-up state of the signal chain, sample-rate changes and the full re-initialisation.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "uEngine.h"
#include "uPluginEngine.h"

using namespace engine_detail;

namespace {
// Distinct noise sequences for the instances of one process, as two tracks would expect.
uint32_t nextNoiseSeed() {
  static std::atomic<uint32_t> counter{1};
  return counter.fetch_add(0x9E3779B9u, std::memory_order_relaxed);
}
}  // namespace

void TEngine::initModules() {
  // Every module at the working rate, in declaration order; no routing and no follower
  // coefficients until the ticks compute them afresh.
  distort.init(lastSampleRate);
  displayDistort.init(lastSampleRate);
  preEQ.init(lastSampleRate);
  postEQ.init(lastSampleRate);
  oldEQ.init(lastSampleRate);
  noiseGate.init(lastSampleRate);
  highPassFilter.init(lastSampleRate);
  lowPassFilter.init(lastSampleRate);
  compressor.init(lastSampleRate);
  widener.init(lastSampleRate);
  for (TLfo& l : lfo) l.init(lastSampleRate);
  screenLfo.init(lastSampleRate);
  modulator.init();
  forgetSlotSettings();
  modRouted = false;
  for (float& v : followerInputs) v = std::numeric_limits<float>::quiet_NaN();
}

void TEngine::init() {
  for (auto& r : midiPool) {
    std::memset(&r, 0, sizeof(r));
    r.type = kVstMidiType;
    r.deltaFrames = MIDI_RECORD_FREE;
  }
  midiPoolEnd = 0;
  numPendingEvents = 0;

  sampleCounter = 0;
  freshStart = true;
  lastSampleRate = 44100.0f;
  tempo.store(120.0f, std::memory_order_relaxed);
  samplesPerBar.store(lastSampleRate * 240.0f / 120.0f, std::memory_order_relaxed);
  lastTransportPlaying = -1;
  noise.seed(nextNoiseSeed());

  distort.setRandSeed(&randSeed);
  initModules();

  for (float& v : sideFrame) v = 0.0f;
  for (float& v : meterLevels) v = 0.0f;
  smoothedVolume = smoothedMix = 0.0f;
  smoothedHighPassFreq = smoothedLowPassFreq = 0.0f;
  lastVolumeValue = -1.0f;
  volumeGain = 0.0f;
  compMeterLevel.store(0.0f, std::memory_order_relaxed);

  dsp::TFilter::setGlobalArrays();
  lazyLfo.init(lastSampleRate);
  lazyLfo.setWave(TLfo::WAVE_TRIANGLE);

  lazyOn = lazySync = false;
  disruptSpringActive.store(false, std::memory_order_relaxed);
  disruptSpringStep.store(0.0f, std::memory_order_relaxed);
  // Taken from the store, so that only a real change away from "Off" starts the spring.
  disruptSpringTime = getDisruptSpringTime();
  disruptQuant = 0;
  lazyMode = 0;
  disruptQuantDivide = 0.0f;
  disruptValue.store(0.0f, std::memory_order_relaxed);
  disruptSmooth = 0.0f;

  // The sample-and-hold picture of the LFO screen: fixed values drawn once from the
  // instance's sequence (the distortion stage continues the same sequence).
  for (float& v : holdDisplayValues) v = randSeed.next();

  for (auto& curve : waveShaperCurves)
    for (float& v : curve) v = 0.0f;
  for (int i = 0; i < 4; ++i) {
    lfoInUse[i] = false;
    lfoCurve[i] = 0;
    lastLfoMode[i] = -1;
  }
  distortDisplaySignature = 0;
  distortDisplayCurveSignature = 0;

  resetNow();
}

bool TEngine::setSampleRate(float rate) {
  if (!std::isfinite(rate)) return false;
  if (std::fabs(lastSampleRate - rate) < 1e-5f) return false;
  lastSampleRate = std::max(rate, 100.0f);
  samplesPerBar.store(lastSampleRate * 240.0f / tempo.load(std::memory_order_relaxed),
                      std::memory_order_relaxed);

  initModules();
  lazyLfo.init(lastSampleRate);
  lazyLfo.start();

  // The oscillators lost their state: free-running ones start again at once, and the
  // host-triggered ones at the next block in which the host reports playing.
  for (int i = 0; i < 4; ++i) {
    lastLfoMode[i] = getLFOMode(i);
    lfo[i].reset();
    if (lastLfoMode[i] == LFO_MODE_FREE) lfo[i].start();
  }
  lastTransportPlaying = -1;
  freshStart = true;
  return true;
}

void TEngine::requestReset() {
  // Never under a running block: the audio thread itself (a MIDI program change) and a
  // switched-off instance reset at once, any other thread leaves it to the next block.
  if (blockThread.load(std::memory_order_relaxed) == std::this_thread::get_id() ||
      !processingOn.load(std::memory_order_acquire))
    resetNow();
  else
    resetRequested.store(true, std::memory_order_release);
}

void TEngine::alignWorkingValuesNow() {
  // A loaded program starts at its own volume, mix and filter frequencies instead of gliding
  // there from the previous program's, and its oscillators start at phase 0 at their speeds.
  smoothedVolume = tagValue(VOLUME_TAG);
  smoothedMix = tagValue(MIX_TAG);
  smoothedHighPassFreq = tagValue(HP_FREQ_TAG);
  smoothedLowPassFreq = tagValue(LP_FREQ_TAG);
  disruptValue.store(2.0f * tagValue(DISRUPT_AMOUNT_TAG) - 1.0f, std::memory_order_relaxed);
  const float bpm = tempo.load(std::memory_order_relaxed);
  lazyLfo.setSym(0.5f);
  lazyLfo.setPhase(0.0f);
  lazyLfo.setSpeed(tagValue(DISRUPT_LAZY_SPEED_TAG), getOnOff(DISRUPT_LAZY_SYNC_TAG), bpm, 1.0f);
  for (int i = 0; i < 4; ++i) {
    lfo[i].setSym(tagValue(LFO_SHAPE_TAGS[i]));
    lfo[i].setPhase(0.0f);
    lfo[i].setSmooth(0.0f);
    lfo[i].setSpeed(tagValue(LFO_SPEED_TAGS[i]), getOnOff(LFO_SYNC_TAGS[i]), bpm, 1.0f);
  }
}

void TEngine::resetNow() {
  resetRequested.store(false, std::memory_order_relaxed);
  if (alignRequested.exchange(false, std::memory_order_acquire)) alignWorkingValuesNow();
  lastTransportPlaying = -1;
  listener.engineReset();

  distort.init(lastSampleRate);
  noiseGate.init(lastSampleRate);
  preEQ.init(lastSampleRate);
  postEQ.init(lastSampleRate);
  oldEQ.init(lastSampleRate);
  for (int k = 0; k < 4; ++k) smoothedOldEqGains[k] = tagValue(OLD_EQ_LOW_TAG + k);
  lowPassFilter.init(lastSampleRate);
  highPassFilter.init(lastSampleRate);
  compressor.init(lastSampleRate);
  smoothedCompVolume = tagValue(COMP_VOLUME_TAG);
  widener.init(lastSampleRate);
  for (int k = 0; k < 4; ++k) smoothedWidenValues[k] = tagValue(WIDEN_SMOOTHED_TAGS[k]);

  for (int i = 0; i < 4; ++i) {
    lastLfoMode[i] = getLFOMode(i);
    lfo[i].reset();
    if (lastLfoMode[i] == LFO_MODE_FREE) lfo[i].start();
  }

  lazyLfo.reset();
  lazyLfo.start();
  // The screen oscillator is left alone: it belongs to the editor's thread and, never started,
  // has nothing to reset (it draws the wave as a pure function of phase).
  modulator.init();
  forgetSlotSettings();
  modRouted = false;

  disruptValue.store(0.0f, std::memory_order_relaxed);
  disruptSpringActive.store(false, std::memory_order_relaxed);
  disruptSpringStep.store(0.0f, std::memory_order_relaxed);

  followerPhase.store(0.0, std::memory_order_relaxed);
  followerSlot = 0;
  followerLevel = followerEnvelope = followerHoldCount = 0.0f;
  for (float& v : followerHistory) storeRelaxed(v, 0.0f);

  freshStart = true;
}
