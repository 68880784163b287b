// The live values the editor's screens draw: meters, lamps, the follower history, the LFO
// screen and the distortion curve.
#include <bit>
#include <cmath>
#include <cstdint>

#include "dsp/unitLaws.h"
#include "uEngine.h"
#include "uPluginEngine.h"

using namespace engine_detail;

namespace {

// Copies one of the engine's wave-shaper curves while the audio thread may be rewriting it.
void copyCurve(float (&to)[WAVESHAPER_POINTS], float (&from)[WAVESHAPER_POINTS]) {
  for (int i = 0; i < WAVESHAPER_POINTS; ++i) to[i] = loadRelaxed(from[i]);
}

// The display's test waves at cycle position f (0..1).
float testWave(int wave, float f) {
  switch (wave) {
    case 0:
      return std::sin(f * 6.2831855f);
    case 1:
      return 1.0f - 2.0f * std::fabs(1.0f - 2.0f * f);
    case 2:
      return 2.0f * f - 1.0f;
    case 3:
      return 1.0f - 2.0f * f;
    case 4:
      return f > 0.5f ? 1.0f : (f < 0.5f ? -1.0f : 0.0f);
    default:
      return f;
  }
}

// The two types that draw with the wave-shaper curves, and whose DC switch acts on them.
bool drawsWithCurves(int type) {
  return type == dsp::DIST_DUAL_WAVESHAPER || type == dsp::DIST_2B_WAVESHAPER;
}

}  // namespace

float TEngine::getModDisruptAmount() const { return clampPM1(disruptValue.load(std::memory_order_relaxed)); }

float TEngine::compLevelToDisplay(float level) {
  if (!(level >= 0.001f)) return 0.0f;
  return units::THRESHOLD_DB.valueOf(20.0f * std::log10(level));
}

float TEngine::getCompVolume() const {
  if (!compOn.load(std::memory_order_relaxed)) return 0.0f;
  return compLevelToDisplay(compMeterLevel.load(std::memory_order_relaxed));
}

bool TEngine::getNoiseGateTriggered() const {
  return gateOn.load(std::memory_order_relaxed) && gateLamp.load(std::memory_order_relaxed);
}

float TEngine::getFollowerValue(float x) {
  const int i = dsp::saturatingInt(static_cast<double>(x) * FOLLOWER_INDEX_SCALE);
  const int p = dsp::saturatingInt(followerPhase.load(std::memory_order_relaxed) * FOLLOWER_INDEX_SCALE);
  const unsigned index = (static_cast<unsigned>(i) + static_cast<unsigned>(p) + 1u) & (FOLLOWER_HISTORY - 1);
  return loadRelaxed(followerHistory[index]);
}

int32_t TEngine::getLFOScreenValue(int l, float x, int height) {
  if (!isValidLFO(l)) return 0;
  const int w = getLFOWave(l);
  float v;
  if (w == TLfo::WAVE_SAMPLE_AND_HOLD) {
    v = holdDisplayValues[dsp::saturatingInt(clamp01(x) * 39.99f)];
  } else {
    float curve[WAVESHAPER_POINTS];
    copyCurve(curve, waveShaperCurves[loadRelaxed(lfoCurve[l]) ? 1 : 0]);
    screenLfo.setSym(clamp01(tagValue(LFO_SHAPE_TAGS[l])));
    screenLfo.setWave(w);
    screenLfo.setPhase(x);
    v = screenLfo.update(curve);
  }
  return dsp::saturatingInt(static_cast<float>(height) * (v * 0.5f + 0.5f));
}

int32_t TEngine::getLFOPos(int l, float width) const {
  if (!isValidLFO(l)) return 0;
  return dsp::saturatingInt(lfo[l].getPos() * width);
}

bool TEngine::distortDisplayUpdated() {
  float s = 0.0f;
  for (int j = 2; j < 8; ++j) s += tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j);
  const int type = getDistortType();
  const int64_t product = static_cast<int64_t>(dsp::saturatingInt(s * 100000.0f)) * type;
  const int32_t sig = static_cast<int32_t>(static_cast<uint32_t>(product));
  bool changed = sig != distortDisplaySignature;
  distortDisplaySignature = sig;
  // The knobs alone miss an edit of the curves or a flip of the DC switch, which redraw these
  // types as much as a knob does.
  if (drawsWithCurves(type)) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a over the point values' bits
    auto mixIn = [&h](uint32_t v) {
      for (int b = 0; b < 4; ++b) h = (h ^ ((v >> (8 * b)) & 0xFFu)) * 1099511628211ull;
    };
    for (int w = 0; w < 2; ++w)
      for (int i = 0; i < WAVESHAPER_POINTS; ++i)
        mixIn(std::bit_cast<uint32_t>(tagValue(WAVESHAPER_START_TAG[w] + i)));
    mixIn(getOnOff(DC_FILTER_TAG) ? 1u : 0u);
    if (h != distortDisplayCurveSignature) changed = true;
    distortDisplayCurveSignature = h;
  }
  return changed;
}

void TEngine::getDistortDisplay(float* out, int count, int wave, float zoom) {
  if (!out || count <= 0) return;
  displayDistort.reset();
  float k[8] = {0.5f, 0.0f};
  for (int j = 2; j < 8; ++j)
    k[j] = clamp01(tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j));
  // The curves as the parameters hold them now, by the engine's own rule: the audio thread
  // takes them over only at its next routing tick, and not at all while the host stops
  // processing, so an edit would show late or never.
  float curves[2][WAVESHAPER_POINTS];
  for (int w = 0; w < 2; ++w)
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) curves[w][i] = curvePoint(w, i);
  displayDistort.setDC(getOnOff(DC_FILTER_TAG));

  double cycles = std::exp2(4.0 * static_cast<double>(zoom));
  if (!std::isfinite(cycles)) cycles = 1.0;
  for (int i = -100; i < count; ++i) {
    const double t = static_cast<double>(i) * cycles / static_cast<double>(count) + 1000.0;
    const float f = static_cast<float>(t - std::trunc(t));
    const float s = testWave(wave, f);
    float a = s, b = s, c = s, d = s;
    displayDistort.process(a, b, c, d, 1.0f, 1.0f, getDistortType(), k[0], k[1], k[2], k[3], k[4], k[5], k[6],
                           k[7], curves[0], curves[1]);
    if (i >= 0) out[i] = (a + b + c + d) * 0.25f;
  }
}
