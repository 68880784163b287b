#include "dsp/uDelay.h"

#include <cmath>

#include "dsp/dspCommon.h"
#include "dsp/unitLaws.h"

namespace dsp {

namespace {
constexpr double DENORMAL = 1e-15;
// Stamps are moved back by this much once the write position passes twice of it, so their
// double precision stays fine after hours of running. A power of two keeps the shift exact.
constexpr double REBASE = 1048576.0;

double clampLen(double v) noexcept {
  if (!(v >= 1.0)) return 1.0;  // also NaN
  return v > TDelay::MAX_LEN ? TDelay::MAX_LEN : v;
}
}  // namespace

float TDelay::hiLimiter(float x) noexcept {
  if (!(x == x)) return 0.0f;
  return x > 100.0f ? 100.0f : (x < -100.0f ? -100.0f : x);
}

float TDelay::sign(float x) noexcept { return x > 1e-15f ? 1.0f : (x < -1e-15f ? -1.0f : 0.0f); }

float TDelay::clamp(float v, float lo, float hi) noexcept {
  if (!(v > lo)) return lo;  // NaN reads as the lower end
  return v > hi ? hi : v;
}

void TDelay::init(float sampleRate) {
  rate = sampleRate >= 1000.0f ? static_cast<double>(sampleRate) : 1000.0;
  invRate = 1.0 / rate;
  samplesPerMs = rate / 1000.0;
  samplesPerBar = rate * 240.0 / tempo;
  if (!storage) storage = std::make_unique<Entry[]>(2 * static_cast<size_t>(CAPACITY));
  line[0].ring = storage.get();
  line[1].ring = storage.get() + CAPACITY;
  clear();
  updateLengths();
}

void TDelay::clear() noexcept {
  for (Line& l : line) {
    l.head = 0;
    l.count = 0;
    l.pos = 0.0;
    l.low = 0.0;
    l.high = 0.0;
  }
}

void TDelay::setTempo(float bpm) noexcept {
  if (!(bpm > 0.0f) || !std::isfinite(bpm)) return;
  tempo = bpm;
  samplesPerBar = rate * 240.0 / tempo;
  if (timeSync) updateLengths();
}

bool TDelay::getStateAndChanged(float v, bool old, bool& changedOut) noexcept {
  const bool now = v > 0.5f;
  changedOut = now != old;
  return now;
}

bool TDelay::setTimeSync(float v) noexcept {
  bool ch = false;
  timeSync = getStateAndChanged(v, timeSync, ch);
  if (ch) updateLengths();
  return ch;
}

bool TDelay::setEqual(float v) noexcept {
  bool ch = false;
  equal = getStateAndChanged(v, equal, ch);
  if (ch) {
    changed = true;
    updateFeed();
  }
  return ch;
}

void TDelay::updateLengths() noexcept {
  if (!lenFromValues) return;
  for (int c = 0; c < 2; ++c) {
    const float v = clamp01(lenValue[c]);
    double base;
    if (timeSync) {
      int idx = saturatingInt(v * 14.99f);
      if (idx > TAPE_DELAY_LEN_COUNT - 1) idx = TAPE_DELAY_LEN_COUNT - 1;
      base = TAPE_DELAY_LEN_ARRAY[idx] * samplesPerBar;
    } else {
      base = std::pow(2.0, 12.0 * v) * samplesPerMs;
    }
    len[c] = clampLen((base + 1.0) * static_cast<double>(lenFactor[c]));
    inc[c] = SPAN / len[c];
  }
  changed = true;
  updateFeed();
}

void TDelay::setDelayLen(float left, float right, float factorLeft, float factorRight) noexcept {
  lenValue[0] = left;
  lenValue[1] = right;
  lenFactor[0] = factorLeft;
  lenFactor[1] = factorRight;
  lenFromValues = true;
  updateLengths();
}

void TDelay::setDelayLenDirect(double left, double right) noexcept {
  lenFromValues = false;
  len[0] = clampLen(left);
  len[1] = clampLen(right);
  inc[0] = SPAN / len[0];
  inc[1] = SPAN / len[1];
  changed = true;
  updateFeed();
}

void TDelay::setFeed(float fb, float cr) noexcept {
  feedRaw = clamp(fb, -1.0f, 1.0f);
  crossRaw = clamp(cr, -1.0f, 1.0f);
  updateFeed();
}

void TDelay::updateFeed() noexcept {
  // The loop gain stays below 1 so that the repeats always die away.
  const double s = std::fmax(1.0, std::fabs(feedRaw) + std::fabs(crossRaw) + 0.0001);
  const double fb = feedRaw / s;
  cross = crossRaw / s;
  feedback[0] = feedback[1] = fb;
  if (!equal || len[0] == len[1]) return;
  // Equal decay: the shorter line repeats more often, so it gets a feedback that loses the same
  // level per second as the longer line does.
  const int shorter = len[0] < len[1] ? 0 : 1;
  const double ratio = len[shorter] / (len[1 - shorter] + 1.0);
  double mag = std::pow(std::fabs(fb) + 0.0001, ratio);
  const double cap = std::fmax(std::fabs(fb), 1.0 - std::fabs(cross) - 0.0001);
  if (mag > cap) mag = cap;
  feedback[shorter] = static_cast<double>(sign(static_cast<float>(fb))) * mag;
}

float TDelay::getFeedFilterFreq(float v) const noexcept {
  const double f = units::frequencyHz(static_cast<double>(clamp01(v))) * invRate;
  const double lo = 20.0 * invRate;
  return static_cast<float>(f < lo ? lo : (f > 0.2 ? 0.2 : f));
}

void TDelay::setFeedFilter(float low, float high) noexcept {
  filterOn = !(low > 0.999f && high < 0.0001f);
  c1 = 2.0 * getFeedFilterFreq(low);
  c2 = 2.0 * getFeedFilterFreq(high);
}

double TDelay::readLine(Line& l) noexcept {
  if (l.pos < SPAN || l.count == 0) return 0.0;  // still filling
  const double rp = l.pos - SPAN;
  // Drop what the read point has passed, keeping the pair that brackets it.
  while (l.count > 2) {
    uint32_t second = l.head + 1;
    if (second >= CAPACITY) second -= CAPACITY;
    if (l.ring[second].stamp > rp) break;
    l.head = second;
    --l.count;
  }
  const Entry& e0 = l.ring[l.head];
  if (l.count == 1 || rp <= e0.stamp) return e0.value;
  uint32_t second = l.head + 1;
  if (second >= CAPACITY) second -= CAPACITY;
  const Entry& e1 = l.ring[second];
  if (rp >= e1.stamp || !(e1.stamp > e0.stamp)) return e1.value;
  const double t = (rp - e0.stamp) / (e1.stamp - e0.stamp);
  return e0.value + t * (e1.value - e0.value);
}

void TDelay::writeLine(Line& l, double stamp, double value) noexcept {
  if (l.count == CAPACITY) {  // cannot happen within the length bounds; never overrun
    l.head = l.head + 1 == CAPACITY ? 0 : l.head + 1;
    --l.count;
  }
  uint32_t idx = l.head + l.count;
  if (idx >= CAPACITY) idx -= CAPACITY;
  l.ring[idx] = Entry{stamp, value};
  ++l.count;
}

void TDelay::rebase(Line& l) noexcept {
  l.pos -= REBASE;
  uint32_t idx = l.head;
  for (uint32_t k = 0; k < l.count; ++k) {
    l.ring[idx].stamp -= REBASE;
    if (++idx == CAPACITY) idx = 0;
  }
}

void TDelay::process(float inL, float inR, float& outL, float& outR) noexcept {
  if (!storage) {  // not initialised: pass nothing through
    outL = outR = 0.0f;
    return;
  }
  line[0].pos += inc[0];
  line[1].pos += inc[1];
  const double d[2] = {readLine(line[0]), readLine(line[1])};
  const double in[2] = {inL, inR};
  for (int c = 0; c < 2; ++c) {
    Line& l = line[c];
    double w = in[c] + feedback[c] * d[c] + cross * d[1 - c] + DENORMAL;
    // The same bound as hiLimiter, kept in double precision.
    w = !(w == w) ? 0.0 : (w > 100.0 ? 100.0 : (w < -100.0 ? -100.0 : w));
    if (filterOn) {
      l.low = (1.0 - c1) * l.low + c1 * w + DENORMAL;
      l.high = (1.0 - c2) * l.high + c2 * l.low + DENORMAL;
      w = l.low - l.high;
    }
    writeLine(l, l.pos, w);
    if (l.pos > 2.0 * REBASE) rebase(l);
  }
  outL = static_cast<float>(d[0]);
  outR = static_cast<float>(d[1]);
}

}  // namespace dsp
