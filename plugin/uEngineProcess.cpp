// The audio path: the sample loop, the four stages in the selected order at twice the host
// rate, the output section and the meters; and the MIDI queue that the loop runs per sample.
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

#include "dsp/unitLaws.h"
#include "uEngine.h"
#include "uPluginEngine.h"

using namespace engine_detail;

namespace {

// Flush-to-zero and denormals-are-zero for the duration of one block; the host's own
// control flags come back when the block ends.
class DenormalGuard {
 public:
#if defined(__SSE__) || defined(__x86_64__)
  DenormalGuard() noexcept : saved(_mm_getcsr()) { _mm_setcsr(saved | 0x8040u); }
  ~DenormalGuard() { _mm_setcsr(saved); }

 private:
  unsigned saved;
#elif defined(__aarch64__)
  DenormalGuard() noexcept {
    __asm__ __volatile__("mrs %0, fpcr" : "=r"(saved));
    const uint64_t flushed = saved | (1ull << 24);
    __asm__ __volatile__("msr fpcr, %0" : : "r"(flushed));
  }
  ~DenormalGuard() { __asm__ __volatile__("msr fpcr, %0" : : "r"(saved)); }

 private:
  uint64_t saved;
#else
  DenormalGuard() noexcept {}
#endif
};

// Host samples that are not numbers must not reach any filter state; a missing channel is
// silence. x - x is 0 exactly for finite x, so the loop needs no branch and runs four lanes at a time.
inline void readInputs(const float* channel, float* out, int32_t n) noexcept {
  if (!channel) {
    std::memset(out, 0, sizeof(float) * static_cast<std::size_t>(n));
    return;
  }
  for (int32_t k = 0; k < n; ++k) {
    const float x = channel[k];
    out[k] = x - x == 0.0f ? x : 0.0f;
  }
}
// The sample loop takes its inputs, made safe, in runs of this many samples.
constexpr int32_t INPUT_RUN = 64;

// A plain comparison: the library's fmin is a call, and this runs several times a sample.
inline float atMostOne(float x) noexcept { return x < 1.0f ? x : 1.0f; }

inline float panLeft(float m) noexcept {
  const float x = (m * 0.5f + 0.5f) * 2.0f;
  return limit01(2.0f - x);
}
inline float panRight(float m) noexcept {
  const float x = (m * 0.5f + 0.5f) * 2.0f;
  return limit01(x);
}

// The chorus is voiced at a fixed width that only modulation moves: the width knob (tag 67) is
// stored but never read, so programs made with it keep the sound they were made with.
constexpr float CHORUS_WIDTH = 0.44f;
// The editor's meters show four times the smoothed level.
constexpr float METER_SCALE = 4.0f;
// The follower history's write position moves one 65536th of the ring per sample (2^-16).
constexpr double FOLLOWER_PHASE_STEP = 1.0 / 65536.0;

constexpr float SMOOTH_KEEP = 0.9f;
constexpr float SMOOTH_KEEP_SLOW = 0.99f;

// Marks the thread running the current block, so that a reset asked for from inside the block
// (a MIDI program change) happens at once.
struct BlockMark {
  explicit BlockMark(std::atomic<std::thread::id>& slot) noexcept : slot(slot) {
    slot.store(std::this_thread::get_id(), std::memory_order_relaxed);
  }
  ~BlockMark() { slot.store(std::thread::id(), std::memory_order_relaxed); }
  std::atomic<std::thread::id>& slot;
};

}  // namespace

__attribute__((always_inline)) inline void TEngine::runStage(int stage, float* f) {
  float &a = f[0], &b = f[1], &c = f[2], &d = f[3];
  bool stageActive = true;
  switch (stage) {
    case 0: {  // distortion with its EQs, volume and gate
      if (preEqOn) preEQ.process(eqGains[0], eqFreqs[0], eqWidths[0], a, b, c, d);
      // The eight knobs and their eight destinations are neighbours: four at a time.
      static_assert(DEST_DIST_8 == DEST_DIST_1 + 7);
      TParamView::Run4 knob[2];
      params.run4(DISTORT_KNOB_1_TAG, knob[0]);
      params.run4(DISTORT_KNOB_1_TAG + 4, knob[1]);
      alignas(16) float k[8];
      for (int h = 0; h < 2; ++h) {
        alignas(16) float m[4];
        modulator.getMod4(DEST_DIST_1 + 4 * h, m);
        limit01Sum4(knob[h].v, m, k + 4 * h);
      }
      const float typeValue = tagValue(DISTORT_TYPE_TAG);
      if (typeValue != lastTypeValue) {
        lastTypeValue = typeValue;
        distortType = getDistortType();
      }
      distort.process(a, b, c, d, sideFrame[0], sideFrame[1], distortType, k, waveShaperCurves[0],
                      waveShaperCurves[1]);
      if (postEqOn) {
        if (!oldEqOn) {
          postEQ.process(eqGains[1], eqFreqs[1], eqWidths[1], a, b, c, d);
        } else {
          float g[4];
          for (int j = 0; j < 4; ++j) g[j] = limit01(smoothedOldEqGains[j] + mod(DEST_POST_EQ_GAIN_1 + j));
          oldEQ.process(g[0], g[1], g[2], g[3], a, b, c, d);
        }
      }
      if (!allFinite(f)) {
        a = b = c = d = 0.0f;
        resetRequested.store(true, std::memory_order_relaxed);
      }
      smoothedVolume = tagValue(VOLUME_TAG) * (1.0f - SMOOTH_KEEP) + smoothedVolume * SMOOTH_KEEP;
      const float v = limit01(smoothedVolume + mod(DEST_VOLUME));
      if (v != lastVolumeValue) {
        lastVolumeValue = v;
        volumeGain = v >= 0.001f ? std::pow(10.0f, units::LEVEL_DB.unitOf(v) / 20.0f) : 0.0f;
      }
      // Finite by the test above and a finite gain: never NaN here.
      // One sample at a time (a 16-byte reload of the four just stored would stall on them).
      a = limitPM1(a * volumeGain);
      b = limitPM1(b * volumeGain);
      c = limitPM1(c * volumeGain);
      d = limitPM1(d * volumeGain);
      // After the volume's clamp the four are finite: only the gate can break them again.
      stageActive = gateOn.load(std::memory_order_relaxed);
      if (stageActive) noiseGate.process(a, b, c, d);
      break;
    }
    case 1: {  // low-pass, then high-pass
      smoothedHighPassFreq =
          tagValue(HP_FREQ_TAG) * (1.0f - SMOOTH_KEEP) + smoothedHighPassFreq * SMOOTH_KEEP;
      smoothedLowPassFreq = tagValue(LP_FREQ_TAG) * (1.0f - SMOOTH_KEEP) + smoothedLowPassFreq * SMOOTH_KEEP;
      if (lowPassOn)
        lowPassFilter.process(limit01(smoothedLowPassFreq + mod(DEST_LP_FREQ)),
                              modulated(LP_Q_TAG, DEST_LP_Q), a, b, c, d, freshStart);
      if (highPassOn)
        highPassFilter.process(limit01(smoothedHighPassFreq + mod(DEST_HP_FREQ)),
                               modulated(HP_Q_TAG, DEST_HP_Q), a, b, c, d, freshStart);
      stageActive = lowPassOn || highPassOn;
      break;
    }
    case 2: {  // compressor
      if (compOn.load(std::memory_order_relaxed)) {
        compressor.process(a, b, c, d);
        dsp::storeFloatRelaxed(compMeterLevel, compressor.getCompressorVolume());
      } else {
        dsp::storeFloatRelaxed(compMeterLevel, 0.0f);
        stageActive = false;
      }
      break;
    }
    default: {  // widener or chorus
      if (widenerOn) {
        if (!chorusOn) {
          // The widener delays the right channel only; the left passes untouched.
          widener.doWidener(limit01(smoothedWidenValues[0] + mod(DEST_WIDENER_AMOUNT)),
                            limit01(smoothedWidenValues[1] + mod(DEST_WIDENER_WIDTH)),
                            modulated(WIDENER_SPEED_TAG, DEST_WIDENER_SPEED), b, d);
        } else {
          widener.doChorus(limit01(smoothedWidenValues[2] + mod(DEST_CHORUS_MIX)),
                           limit01(smoothedWidenValues[3] + mod(DEST_CHORUS_LENGTH)),
                           limit01(CHORUS_WIDTH + mod(DEST_CHORUS_WIDTH)),
                           modulated(CHORUS_SPEED_TAG, DEST_CHORUS_SPEED), a, b, c, d);
        }
      }
      stageActive = widenerOn;
      stage = 3;
      break;
    }
  }
  // A module that has gone unstable is silenced here and the chain starts afresh with the next block.
  // (A stage that is switched off passes finite samples on unchanged.)
  if (stageActive && !allFinite(f)) {
    a = b = c = d = 0.0f;
    resetRequested.store(true, std::memory_order_relaxed);
  }
  // The stage's tap: the mean of the first sub-sample, as a source and a follower feed.
  modulator.setSrcVal(SRC_STAGE_FIRST + stage, (a + b) * 0.5f);
  if (followerSource == stage + 2) setFollowerValue(a, b);
}

// One runner per module path, each with its four stages written out: no dispatch per stage.
template <std::size_t P>
void TEngine::runPath(float* f) {
  runStage(MODULE_PATHS[P][0], f);
  runStage(MODULE_PATHS[P][1], f);
  runStage(MODULE_PATHS[P][2], f);
  runStage(MODULE_PATHS[P][3], f);
}

template <std::size_t... P>
constexpr std::array<TEngine::PathRunner, sizeof...(P)> TEngine::pathRunners(std::index_sequence<P...>) {
  return {&TEngine::runPath<P>...};
}

const std::array<TEngine::PathRunner, NUM_MODULE_PATHS> TEngine::PATH_RUNNERS =
    TEngine::pathRunners(std::make_index_sequence<NUM_MODULE_PATHS>{});

void TEngine::process(float* const* inputs, float* const* outputs, int32_t sampleFrames,
                      const TBlockTime& time) {
  DenormalGuard guard;
  BlockMark mark(blockThread);
  processingOn.store(true, std::memory_order_relaxed);
  if (resetRequested.exchange(false, std::memory_order_acquire)) resetNow();

  blockTime = time;
  followerSource = getFollowerSource();

  if (sampleFrames <= 0) return;
  static float* const noChannels[4] = {nullptr, nullptr, nullptr, nullptr};
  float* const* in = inputs ? inputs : noChannels;
  // Read once: the channel list cannot change during the block.
  const float* const channel[4] = {in[0], in[1], in[2], in[3]};
  float* outL = outputs ? outputs[0] : nullptr;
  float* outR = outputs ? outputs[1] : nullptr;

  alignas(16) float run[4][INPUT_RUN];
  for (int32_t i = 0; i < sampleFrames; ++i) {
    const int32_t at = i % INPUT_RUN;
    if (at == 0) {
      const int32_t left = sampleFrames - i, n = left < INPUT_RUN ? left : INPUT_RUN;
      for (int c = 0; c < 4; ++c) readInputs(channel[c] ? channel[c] + i : nullptr, run[c], n);
    }
    if (numPendingEvents > 0) runDueMidi();

    const float mainL = run[0][at], mainR = run[1][at];
    const float sideL = run[2][at], sideR = run[3][at];
    sideFrame[0] = sideL;
    sideFrame[1] = sideR;

    modulator.setSrcVal(SRC_INPUT, (mainL + mainR) * 0.5f);
    modulator.setSrcVal(SRC_SIDE, (sideL + sideR) * 0.5f);
    if (followerSource == FOLLOW_MAIN)
      setFollowerValue(mainL, mainR);
    else if (followerSource == FOLLOW_SIDE)
      setFollowerValue(sideL, sideR);

    const float r = noise.next();
    modulator.setSrcVal(SRC_NOISE, 2.0f * r - 1.0f);
    modulator.setSrcVal(SRC_UNI_NOISE, r);

    // Disrupt reads last sample's sums, before the routing tick clears them.
    computeDisrupt();
    if ((sampleCounter & 255u) == 0) {
      routingTick();
      modRouted = modulator.getUsedCount() > 0;
    }
    runModSources();
    modulator.doMod();

    if (freshStart) {
      for (int k = 0; k < 4; ++k) smoothedOldEqGains[k] = tagValue(OLD_EQ_LOW_TAG + k);
      smoothedCompVolume = tagValue(COMP_VOLUME_TAG);
      for (int k = 0; k < 4; ++k) smoothedWidenValues[k] = tagValue(WIDEN_SMOOTHED_TAGS[k]);
      knobSmoothersSettled = false;
    } else {
      smoothKnobs();
    }

    if ((sampleCounter & 15u) == 0) controlTick();
    writeDisruptTag();
    if ((sampleCounter & 1023u) == 0) listener.showDisruptAmount(tagValue(DISRUPT_AMOUNT_TAG));
    refreshLfoParameters();

    // Two sub-samples per host sample: the host sample repeated.
    alignas(16) float frame[4] = {mainL, mainR, mainL, mainR};
    // The step is worked out again only when the stored value moves.
    const float pathValue = tagValue(MODULE_PATH_TAG);
    if (pathValue != lastPathValue) {
      lastPathValue = pathValue;
      pathIndex = getModulePath();
    }
    (this->*PATH_RUNNERS[pathIndex])(frame);
    const float a = frame[0], b = frame[1], c = frame[2], d = frame[3];

    // Output section. The mix follows its knob while bypassed too, so that leaving bypass starts
    // at the mix the knob shows instead of gliding there.
    smoothedMix = tagValue(MIX_TAG) * (1.0f - SMOOTH_KEEP) + smoothedMix * SMOOTH_KEEP;
    float outLeft, outRight;
    if (tagValue(BYPASS_TAG) >= 0.5f) {  // read every sample: bypass acts from the sample it is set
      outLeft = mainL;
      outRight = mainR;
    } else {
      const float pan = mod(DEST_PAN), wetPan = mod(DEST_WET_PAN), dryPan = mod(DEST_DRY_PAN);
      const float mix = limit01(smoothedMix + mod(DEST_MIX));
      const float wet = atMostOne(2.0f * mix);
      const float dry = atMostOne(2.0f - 2.0f * mix);
      const float wetL = (a + c) * 0.5f, wetR = (b + d) * 0.5f;
      if (modRouted) {
        outLeft = (wet * wetL * panLeft(wetPan) + dry * mainL * panLeft(dryPan)) * panLeft(pan);
        outRight = (wet * wetR * panRight(wetPan) + dry * mainR * panRight(dryPan)) * panRight(pan);
      } else {  // unmodulated pans are exactly 1
        outLeft = wet * wetL + dry * mainL;
        outRight = wet * wetR + dry * mainR;
      }
    }
    clipOutputs(outLeft, outRight);

    // Meters.
    if ((sampleCounter & 63u) == 0) {
      const float level[4] = {std::fabs(mainL), std::fabs(mainR), std::fabs(outLeft), std::fabs(outRight)};
      for (int k = 0; k < 4; ++k)
        meterLevels[k] = level[k] * (1.0f - SMOOTH_KEEP) + meterLevels[k] * SMOOTH_KEEP;
      // The editor reads the gate's lamp from here rather than from the gate itself.
      gateLamp.store(noiseGate.getTriggered(), std::memory_order_relaxed);
      if ((sampleCounter & 2047u) == 0)
        listener.showLevels(meterLevels[0] * METER_SCALE, meterLevels[1] * METER_SCALE,
                            meterLevels[2] * METER_SCALE, meterLevels[3] * METER_SCALE);
    }

    double phase = followerPhase.load(std::memory_order_relaxed) + FOLLOWER_PHASE_STEP;
    if (phase > 1.0) phase -= std::floor(phase);
    followerPhase.store(phase, std::memory_order_relaxed);
    // The phase stays within 0..1 (the only writers are this step and the reset): a plain
    // conversion gives the entry the saturating one would.
    followerSlot = static_cast<int32_t>(phase * FOLLOWER_INDEX_SCALE) & (FOLLOWER_HISTORY - 1);

    modulator.setSrcVal(SRC_OUTPUT, (outLeft + outRight) * 0.5f);
    if (followerSource == FOLLOW_OUTPUT) setFollowerValue(outLeft, outRight);

    ++sampleCounter;
    freshStart = false;

    if (outL) outL[i] = outLeft;
    if (outR) outR[i] = outRight;
  }
}

void TEngine::smoothKnobs() {
  // The nine knobs sit in three runs of four neighbouring tags (the runs also take in tags 61
  // and 64, which only make a settled check fail once when they move): three loads and one
  // compare tell whether any of them has moved since the smoothers settled.
  static_assert(WIDENER_AMOUNT_TAG == COMP_VOLUME_TAG + 2 && WIDENER_WIDTH_TAG == COMP_VOLUME_TAG + 3 &&
                CHORUS_MIX_TAG == COMP_VOLUME_TAG + 5 && CHORUS_LENGTH_TAG == COMP_VOLUME_TAG + 6);
  TParamView::Run4 run[3];
  params.run4(OLD_EQ_LOW_TAG, run[0]);
  params.run4(COMP_VOLUME_TAG, run[1]);
  params.run4(COMP_VOLUME_TAG + 3, run[2]);
  if (knobSmoothersSettled && TParamView::sameRuns(run, settledKnobRuns)) return;
  const float t[9] = {run[0].v[0], run[0].v[1], run[0].v[2], run[0].v[3], run[1].v[0],
                      run[1].v[2], run[1].v[3], run[2].v[2], run[2].v[3]};
  uint32_t changed = 0;
  auto step = [&changed](float& y, float target, float keep) {
    const float next = target * (1.0f - keep) + y * keep;
    changed |= std::bit_cast<uint32_t>(next) ^ std::bit_cast<uint32_t>(y);
    y = next;
  };
  for (int k = 0; k < 4; ++k) step(smoothedOldEqGains[k], t[k], SMOOTH_KEEP);
  step(smoothedCompVolume, t[4], SMOOTH_KEEP);
  for (int k = 0; k < 4; ++k) step(smoothedWidenValues[k], t[5 + k], SMOOTH_KEEP_SLOW);
  knobSmoothersSettled = changed == 0;
  for (int k = 0; k < 3; ++k) settledKnobRuns[k] = run[k];
}

void TEngine::latchStageSettings() {
  distort.setDC(getOnOff(DC_FILTER_TAG));
  preEqOn = getOnOff(PRE_EQ_ON_TAG);
  postEqOn = getOnOff(POST_EQ_ON_TAG);
  oldEqOn = getOnOff(OLD_EQ_TAG);

  // An equaliser that is off is not read; it is latched again in the tick that switches it on.
  const int gainDest[2] = {DEST_PRE_EQ_GAIN_1, DEST_POST_EQ_GAIN_1};
  const int freqDest[2] = {DEST_PRE_EQ_FREQ_1, DEST_POST_EQ_FREQ_1};
  const int widthDest[2] = {DEST_PRE_EQ_BW_1, DEST_POST_EQ_BW_1};
  const bool eqOn[2] = {preEqOn, postEqOn && !oldEqOn};
  for (int e = 0; e < 2; ++e)
    for (int k = 0; eqOn[e] && k < 4; ++k) {
      const int i = 4 * e + k;
      eqGains[e][k] = modulated(EQ_GAIN_TAGS[i], gainDest[e] + k);
      eqFreqs[e][k] = modulated(EQ_FREQ_TAGS[i], freqDest[e] + k);
      eqWidths[e][k] = modulated(EQ_BW_TAGS[i], widthDest[e] + k);
    }

  const bool gate = getOnOff(GATE_ON_TAG);
  gateOn.store(gate, std::memory_order_relaxed);
  if (gate)
    noiseGate.setParams(
        modulated(GATE_THRESHOLD_TAG, DEST_GATE_THRESHOLD), modulated(GATE_ATTACK_TAG, DEST_GATE_ATTACK),
        modulated(GATE_HOLD_TAG, DEST_GATE_HOLD), modulated(GATE_RELEASE_TAG, DEST_GATE_RELEASE));

  const bool comp = getOnOff(COMP_ON_TAG);
  compOn.store(comp, std::memory_order_relaxed);
  if (comp)
    compressor.setParams(
        modulated(COMP_THRESHOLD_TAG, DEST_COMP_THRESHOLD), modulated(COMP_RATIO_TAG, DEST_COMP_RATIO),
        modulated(COMP_ATTACK_TAG, DEST_COMP_ATTACK), modulated(COMP_RELEASE_TAG, DEST_COMP_RELEASE),
        limit01(smoothedCompVolume + mod(DEST_COMP_VOLUME)), getOnOff(COMP_MODE_TAG));

  lowPassOn = getOnOff(LP_ON_TAG);
  highPassOn = getOnOff(HP_ON_TAG);
  highPassFilter.setType(getOnOff(HP_TYPE_TAG) ? dsp::TFilter::kHigh24 : dsp::TFilter::kSvfHigh,
                         getOnOff(HP_ZD_TAG));
  lowPassFilter.setType(getOnOff(LP_TYPE_TAG) ? dsp::TFilter::kLow24 : dsp::TFilter::kSvfLow,
                        getOnOff(LP_ZD_TAG));

  widenerOn = getOnOff(WIDENER_ON_TAG);
  chorusOn = getOnOff(CHORUS_MODE_TAG);
}

void TEngine::queueMidi(const VstEvents* events) {
  if (!events) return;
  const int32_t count = events->numEvents;
  VstEvent* const* entries = eventEntries(*events);
  int32_t searchFrom = 0;
  for (int32_t k = 0; k < count; ++k) {
    const VstEvent* e = entries[k];
    if (!e || e->type != kVstMidiType) continue;
    if (numPendingEvents >= MIDI_POOL_SIZE) break;  // the rest of the block is dropped
    while (searchFrom < MIDI_POOL_SIZE && midiPool[searchFrom].deltaFrames != MIDI_RECORD_FREE) ++searchFrom;
    if (searchFrom >= MIDI_POOL_SIZE) break;
    VstMidiEvent& record = midiPool[searchFrom];
    static_assert(sizeof(VstEvent) == sizeof(VstMidiEvent));
    std::memcpy(&record, e, sizeof(record));
    // A late event runs at once; left negative it would never come due (and -99 reads as free).
    if (record.deltaFrames < 0) record.deltaFrames = 0;
    ++numPendingEvents;
    if (searchFrom >= midiPoolEnd) midiPoolEnd = searchFrom + 1;
  }
}

void TEngine::runDueMidi() {
  int32_t inUse = 0;
  int32_t end = 0;
  for (int32_t k = 0; k < midiPoolEnd; ++k) {
    VstMidiEvent& record = midiPool[k];
    if (record.deltaFrames == MIDI_RECORD_FREE) continue;
    if (record.deltaFrames > 0) --record.deltaFrames;
    if (record.deltaFrames != 0) {
      ++inUse;
      end = k + 1;
      continue;
    }
    const VstMidiEvent due = record;
    record.deltaFrames = MIDI_RECORD_FREE;
    listener.midiEventDue(due);
  }
  midiPoolEnd = end;
  // Counted afresh on every pass, so the count and the pool can never disagree.
  numPendingEvents = inUse;
}
