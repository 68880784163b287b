// The modulation half of the engine: source values, the envelope follower, Disrupt with its
// quantiser, spring and lazy oscillator, the LFO modes (with what MIDI does to them), and the
// 16- and 256-sample ticks.
#include <bit>
#include <cmath>
#include <cstring>

#include "dsp/unitLaws.h"
#include "uEngine.h"
#include "uMidiTables.h"
#include "uPluginEngine.h"

using namespace engine_detail;

namespace {

// 2^(4 m): the speed multiplier of a modulated rate; exact 1 without modulation.
inline float speedMultiplier(float m) noexcept { return m == 0.0f ? 1.0f : std::exp2(4.0f * m); }

// Follower attack and decay: one-pole coefficients of a 2^(14 v) ms time constant.
inline float followerCoefficient(float v, float rate) noexcept {
  return std::exp(-1000.0f / (std::exp2(units::TIME_OCTAVES * std::fmax(0.0f, v)) * rate));
}

}  // namespace

void TEngine::setSlotAmount(int slot, float amount, bool off) {
  const uint64_t key = (uint64_t{std::bit_cast<uint32_t>(amount)} << 2) | (off ? 2u : 0u) | 1u;
  if (slotAmountKey[slot] == key) return;
  slotAmountKey[slot] = key;
  modulator.setAmtForSlot(slot, amount, off);
}

void TEngine::setMatrixRow(int row, float amount, bool advanced, float offset, float lower, float upper,
                           bool off) {
  const uint32_t key[5] = {std::bit_cast<uint32_t>(amount), std::bit_cast<uint32_t>(offset),
                           std::bit_cast<uint32_t>(lower), std::bit_cast<uint32_t>(upper),
                           (advanced ? 4u : 0u) | (off ? 2u : 0u) | 1u};
  if (std::memcmp(key, matrixRowKey[row], sizeof(key)) == 0) return;
  std::memcpy(matrixRowKey[row], key, sizeof(key));
  modulator.setAmtForSlot(SLOT_MOD[row], amount, off);
  modulator.setAdvForSlot(SLOT_MOD[row], advanced, offset, lower, upper, off);
}

void TEngine::forgetSlotSettings() {
  std::memset(slotAmountKey, 0, sizeof(slotAmountKey));
  std::memset(matrixRowKey, 0, sizeof(matrixRowKey));
}

void TEngine::writeDisruptAmount(float v) { listener.storeDisruptAmount(clamp01(v)); }

void TEngine::setFollowerValue(float left, float right) {
  float x = (left + right) * 0.5f;
  if (x < followerThreshold) x = 0.0f;
  followerLevel = x * followerBoost * (1.0f - followerSmooth) + followerLevel * followerSmooth;
  if (followerLevel > followerEnvelope) {
    followerEnvelope =
        followerLevel * (1.0f - followerAttack) + followerEnvelope * followerAttack + dsp::ANTI_DENORMAL;
    followerHoldCount = 0.0f;
  } else {
    followerHoldCount += followerHold;
    if (followerHoldCount >= 1.0f) {
      followerHoldCount = 2.0f;
      followerEnvelope =
          followerLevel * (1.0f - followerDecay) + followerEnvelope * followerDecay + dsp::ANTI_DENORMAL;
    }
  }
  modulator.setSrcVal(SRC_FOLLOWER, followerEnvelope);
  dsp::storeFloatRelaxed(followerHistory[followerSlot], limit01(followerEnvelope));
}

void TEngine::computeDisrupt() {
  float d = clampPM1(2.0f * tagValue(DISRUPT_AMOUNT_TAG) - 1.0f + mod(DEST_DISRUPT));
  if (disruptQuant != 0) d = std::floor(d * disruptQuantDivide + 0.5f) / disruptQuantDivide;
  const float v = (1.0f - disruptSmooth) * d + dsp::loadFloatRelaxed(disruptValue) * disruptSmooth;
  dsp::storeFloatRelaxed(disruptValue, v);
  modulator.setSrcVal(SRC_DISRUPT, v);
}

void TEngine::runModSources() {
  if (lazyOn) {
    const float w = lazyLfo.getLazyValue(TLfo::LAZY_SINE);
    modulator.setSrcVal(SRC_LAZY, w);
    modulator.setSrcVal(SRC_UNI_LAZY, w * 0.5f + 0.5f);
    modulator.setSrcVal(SRC_LAZY_SIGN, w > 0.0f ? 1.0f : (w < 0.0f ? -1.0f : 0.0f));
  }
  if (!anyLfoInUse) return;
  for (int i = 0; i < 4; ++i) {
    if (!lfoInUse[i]) continue;
    const float v = lfo[i].update(waveShaperCurves[lfoCurve[i]]);
    modulator.setSrcVal(SRC_LFO_1 + 2 * i, v);
    modulator.setSrcVal(SRC_LFO_1 + 2 * i + 1, v * 0.5f + 0.5f);
  }
}

void TEngine::writeDisruptTag() {
  if (lazyOn) {
    lazyLfo.setSym(mod(DEST_LAZY_SHAPE) * 0.5f + 0.5f);
    lazyLfo.setPhase(mod(DEST_LAZY_PHASE));
    lazyLfo.setSpeed(tagValue(DISRUPT_LAZY_SPEED_TAG), lazySync, dsp::loadFloatRelaxed(tempo),
                     speedMultiplier(mod(DEST_LAZY_SPEED)));
    writeDisruptAmount(lazyLfo.getLazyValue(lazyMode));
    return;
  }
  if (!disruptSpringActive.load(std::memory_order_acquire)) return;
  const float step = disruptSpringStep.load(std::memory_order_relaxed);
  const float x = tagValue(DISRUPT_AMOUNT_TAG);
  // Home, or a step that cannot bring it home: the spring has nothing to do.
  if (x == 0.5f || !(x < 0.5f ? step > 0.0f : step < 0.0f)) {
    disruptSpringActive.store(false, std::memory_order_relaxed);
    return;
  }
  float y = x + step;
  bool done = false;
  if ((x < 0.5f && y >= 0.5f) || (x > 0.5f && y <= 0.5f)) {
    y = 0.5f;
    done = true;
  } else if (!(y > 0.0f) || y >= 1.0f) {
    y = y >= 1.0f ? 1.0f : 0.0f;
    done = true;
  }
  if (done) disruptSpringActive.store(false, std::memory_order_relaxed);
  writeDisruptAmount(y);
}

void TEngine::setDisruptSpringOn() {
  const int t = getDisruptSpringTime();
  float step = 0.0f;
  if (t == 0) {
    disruptSpringStep.store(0.0f, std::memory_order_relaxed);
    disruptSpringActive.store(false, std::memory_order_release);
    return;
  }
  const float v = tagValue(DISRUPT_AMOUNT_TAG);
  if (t == 1) {
    if (v > 0.49f && v < 0.51f)
      step = 0.0f;
    else
      step = v < 0.501f ? 1.0f : -1.0f;
  } else {
    step = (0.5f - v) / (DISRUPT_SPRING_TIME_ARRAY[t] * samplesPerBar.load(std::memory_order_relaxed));
  }
  // The step first: the audio thread reads it only after it sees the spring active.
  disruptSpringStep.store(step, std::memory_order_relaxed);
  disruptSpringActive.store(true, std::memory_order_release);
}

void TEngine::setDisruptSpringOff() { disruptSpringActive.store(false, std::memory_order_release); }

void TEngine::refreshLfoParameters() {
  if (!anyLfoInUse) return;
  const float bpm = dsp::loadFloatRelaxed(tempo);
  for (int i = 0; i < 4; ++i) {
    if (!lfoInUse[i]) continue;
    TLfo& l = lfo[i];
    l.setSym(tagValue(LFO_SHAPE_TAGS[i]) + mod(DEST_LFO_SHAPE_1 + i));
    l.setPhase(mod(DEST_LFO_PHASE_1 + i));
    l.setSmooth(mod(DEST_LFO_SMOOTH_1 + i));
    l.setSpeed(tagValue(LFO_SPEED_TAGS[i]), tagValue(LFO_SYNC_TAGS[i]) >= 0.5f, bpm,
               speedMultiplier(mod(DEST_LFO_SPEED_1 + i)));
  }
}

void TEngine::controlTick() {
  // 1. LFO modes: a new mode restarts the oscillator's cycle; only Free runs at once.
  for (int i = 0; i < 4; ++i) {
    const int m = getLFOMode(i);
    if (m == lastLfoMode[i]) continue;
    lastLfoMode[i] = m;
    lfo[i].reset();
    if (m == LFO_MODE_FREE) lfo[i].start();
  }

  // 2. Host tempo and transport.
  if (blockTime.known) {
    if (blockTime.tempoValid) {
      const float bpm = static_cast<float>(blockTime.tempo);
      if (std::isfinite(bpm) && bpm > 0.0f) tempo.store(bpm, std::memory_order_relaxed);
    }
    samplesPerBar.store(lastSampleRate * 240.0f / dsp::loadFloatRelaxed(tempo), std::memory_order_relaxed);
    const int32_t playing = blockTime.playing ? 1 : 0;
    if (playing && playing != lastTransportPlaying) {
      for (int i = 0; i < 4; ++i)
        if (getLFOMode(i) == LFO_MODE_HOST) lfo[i].start();
      lazyLfo.start();
      followerLevel = followerEnvelope = followerHoldCount = 0.0f;
    }
    lastTransportPlaying = playing;
  }

  // 3. Switches and settings of the stages.
  latchStageSettings();

  // 4-7. Disrupt: quantiser, smoothing, spring time, lazy mode.
  disruptQuant = getDisruptQuant();
  disruptQuantDivide = DISRUPT_QUANT_DIVIDE[disruptQuant];
  const float smoothMod = clamp01(mod(DEST_DISRUPT_SMOOTH));
  disruptSmooth = smoothMod == 0.0f ? 0.0f : 1.0f - std::exp2(-16.0f * smoothMod);
  const int springTime = getDisruptSpringTime();
  if (disruptSpringTime == 0 && springTime != 0) setDisruptSpringOn();
  disruptSpringTime = springTime;
  const bool lazy = getOnOff(DISRUPT_LAZY_ON_TAG);
  if (lazy != lazyOn) {
    if (!lazy) {
      setDisruptSpringOn();
    } else {
      lazyLfo.reset();
      lazyLfo.start();
    }
    lazyOn = lazy;
  }

  // 8. Disrupt slots (a slot is off while its switch is off).
  for (int j = 0; j < NUM_DISRUPT_SLOTS; ++j)
    setSlotAmount(TModulator::SLOT_FIRST_DISRUPT + j,
                  2.0f * tagValue(DISRUPT_SLOT_AMT_1_TAG + j) - 1.0f + mod(DEST_DISRUPT_1 + j),
                  params.revOn(DISRUPT_ON_TAGS[j]));

  // 9. Follower coefficients at the host rate, recomputed only when their knobs move.
  const float h = lastSampleRate;
  const float in[6] = {tagValue(FOLLOWER_ATTACK_TAG) + mod(DEST_FOLLOWER_ATTACK),
                       std::fmax(0.0f, tagValue(FOLLOWER_HOLD_TAG) + mod(DEST_FOLLOWER_HOLD)),
                       tagValue(FOLLOWER_DECAY_TAG) + mod(DEST_FOLLOWER_DECAY),
                       tagValue(FOLLOWER_SMOOTH_TAG) + mod(DEST_FOLLOWER_SMOOTH),
                       modulated(FOLLOWER_THRESHOLD_TAG, DEST_FOLLOWER_THRESHOLD),
                       modulated(FOLLOWER_BOOST_TAG, DEST_FOLLOWER_BOOST)};
  if (in[0] != followerInputs[0]) followerAttack = followerCoefficient(in[0], h);
  if (in[1] != followerInputs[1])
    followerHold = 1000.0f / (std::exp2(units::TIME_OCTAVES * in[1] - 1.0f) * h + 4.0f);
  if (in[2] != followerInputs[2]) followerDecay = followerCoefficient(in[2], h);
  if (in[3] != followerInputs[3])
    followerSmooth = in[3] < 0.0f ? std::exp2(-8.0f) : 1.0f - std::exp2(-8.0f * clamp01(in[3]) - 8.0f);
  if (in[4] != followerInputs[4])
    followerThreshold = in[4] < 0.001f ? 0.0f : std::pow(10.0f, units::THRESHOLD_DB.unitOf(in[4]) / 20.0f);
  if (in[5] != followerInputs[5])
    followerBoost = in[5] < 0.001f ? 0.0f : std::pow(10.0f, units::BOOST_DB.unitOf(in[5]) / 20.0f);
  for (int k = 0; k < 6; ++k) followerInputs[k] = in[k];

  // 10. Follower outputs, their amounts modulated by a chosen source.
  for (int j = 0; j < 3; ++j) {
    const float amount = clampPM1(
        (2.0f * tagValue(FOLLOWER_AMT_1_TAG + j) - 1.0f) + mod(DEST_FOLLOWER_AMT_1 + j) +
        (2.0f * tagValue(FOLLOWER_MOD_AMT_1_TAG + j) - 1.0f) * modulator.getSrcVal(followerModSources[j]));
    setSlotAmount(TModulator::SLOT_FIRST_FOLLOWER + j, amount, getOnOff(FOLLOWER_BYPASS_1_TAG + j));
  }

  // 11. LFO amounts.
  for (int i = 0; i < 4; ++i) {
    lfo[i].setHum(tagValue(LFO_HUM_TAGS[i]));
    setSlotAmount(TModulator::SLOT_FIRST_LFO + i,
                  2.0f * tagValue(LFO_AMT_TAGS[i]) - 1.0f + mod(DEST_LFO_AMT_1 + i), false);
  }

  // 12. Matrix rows.
  const bool advanced = getOnOff(MOD_ADVANCED_TAG);
  for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
    const bool bypassed = getOnOff(MOD_SLOT_BY_TAGS[s]);
    setMatrixRow(s, 2.0f * tagValue(MOD_SLOT_AMT_TAGS[s]) - 1.0f + mod(DEST_MOD_AMT_1 + s), advanced,
                 tagValue(MOD_SLOT_OFFSET_TAGS[s]), tagValue(MOD_SLOT_LOWER_THRESH_TAGS[s]),
                 tagValue(MOD_SLOT_UPPER_THRESH_TAGS[s]), bypassed);
  }
}

void TEngine::routingTick() {
  // 1. The wave-shaper curves, -1..1. Four points at a time, each lane as `curvePoint`: the
  // 512 points cost as much as the rest of the tick. Each lane is read and written whole (naturally
  // aligned 4-byte lanes), as the editor's relaxed loads need. ThreadSanitizer sees only the
  // scalar form.
  static_assert(WAVESHAPER_POINTS % 4 == 0);
  for (int w = 0; w < 2; ++w) {
    float* curve = waveShaperCurves[w];
#if defined(__SSE2__) && !defined(__SANITIZE_THREAD__)
    const int first = WAVESHAPER_START_TAG[w];
    for (int i = 0; i < WAVESHAPER_POINTS; i += 4) {
      TParamView::Run4 r;
      params.run4(first + i, r);
      const __m128 v = _mm_load_ps(r.v);
      _mm_store_ps(curve + i, _mm_sub_ps(_mm_mul_ps(v, _mm_set1_ps(2.0f)), _mm_set1_ps(1.0f)));
    }
#else
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) storeRelaxed(curve[i], curvePoint(w, i));
#endif
  }

  // 2. LFOs: stepped only while something listens to them.
  int rowSource[NUM_MOD_SLOTS];
  for (int s = 0; s < NUM_MOD_SLOTS; ++s) rowSource[s] = params.step(MOD_SLOT_SRC_TAGS[s]);
  anyLfoInUse = false;
  for (int i = 0; i < 4; ++i) {
    const int dest = params.step(LFO_DEST_TAGS[i]);
    bool used = dest != 0;
    for (int s = 0; s < NUM_MOD_SLOTS && !used; ++s)
      used = rowSource[s] == SRC_LFO[i] || rowSource[s] == SRC_LFO_UNI[i];
    lfoInUse[i] = used;
    anyLfoInUse |= used;
    const int wave = getLFOWave(i);
    lfo[i].setWave(wave);
    storeRelaxed(lfoCurve[i], wave == TLfo::WAVE_SHAPER_2 ? 1 : 0);
    modulator.setDestForSlot(TModulator::SLOT_FIRST_LFO + i, dest);
  }

  // 3. Follower outputs.
  for (int j = 0; j < 3; ++j) {
    modulator.setDestForSlot(TModulator::SLOT_FIRST_FOLLOWER + j, params.step(FOLLOWER_DEST_1_TAG + j));
    followerModSources[j] = params.step(FOLLOWER_MOD_SRC_1_TAG + j);
  }

  // 4. Disrupt destinations.
  for (int j = 0; j < NUM_DISRUPT_SLOTS; ++j)
    modulator.setDestForSlot(TModulator::SLOT_FIRST_DISRUPT + j, params.step(DISRUPT_DEST_TAGS[j]));

  // 5. Lazy oscillator form.
  lazySync = getOnOff(DISRUPT_LAZY_SYNC_TAG);
  lazyMode = getDisruptLazyMode();

  // 6. Matrix rows.
  for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
    // A row's offset depends on its source: a new source sets the row again at the next tick.
    if (modulator.getSrcForSlot(SLOT_MOD[s]) != rowSource[s]) matrixRowKey[s][4] = 0;
    modulator.setSrcForSlot(SLOT_MOD[s], rowSource[s]);
    modulator.setDestForSlot(SLOT_MOD[s], params.step(MOD_SLOT_DEST_TAGS[s]));
  }

  // 7. Fresh sums over the slots now in use.
  modulator.setToDefaultVal();
  modulator.setSlotUsed();
}

void TEngine::startNoteLfos() {
  for (int i = 0; i < 4; ++i)
    if (getLFOMode(i) == LFO_MODE_NOTE) lfo[i].start();
}

void TEngine::stopNoteLfos() {
  for (int i = 0; i < 4; ++i)
    if (getLFOMode(i) == LFO_MODE_NOTE) lfo[i].stop();
}

void TEngine::triggerMidiLfos(int trigger, int value) {
  for (int i = 0; i < 4; ++i) {
    if (getLFOMode(i) != LFO_MODE_MIDI) continue;
    const int step = getLFOTrigger(i);
    if (step < 0 || step >= static_cast<int>(midi::LFO_TRIGGER_CC.size())) continue;
    if (midi::LFO_TRIGGER_CC[static_cast<std::size_t>(step)] == trigger) lfo[i].trigger(value);
  }
}
