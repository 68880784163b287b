#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <memory>
#include <vector>

#include "dsp/dspCommon.h"
#include "dsp/uDelay.h"
#include "support/expectValues.h"

using testing_support::kUlps;

using dsp::TDelay;

namespace {

std::unique_ptr<TDelay> makeDelay(float rate) {
  auto d = std::make_unique<TDelay>();
  d->init(rate);
  return d;
}

// Index of the first output sample whose magnitude exceeds half of `level`, or -1.
int firstArrival(TDelay& d, int samples, int channel, float level = 1.0f) {
  for (int n = 0; n < samples; ++n) {
    float l = 0, r = 0;
    d.process(n == 0 ? 1.0f : 0.0f, n == 0 ? 1.0f : 0.0f, l, r);
    if (std::fabs(channel == 0 ? l : r) > 0.5f * level) return n;
  }
  return -1;
}

}  // namespace

TEST(Delay, ImpulseReturnsAfterTheSetLength) {
  for (double len : {1.0, 2.0, 7.0, 100.0, 4410.0, 262143.0}) {
    auto d = makeDelay(44100.0f);
    d->setDelayLenDirect(len, len);
    const int n = firstArrival(*d, static_cast<int>(len) + 10, 0);
    EXPECT_NEAR(n, len, 1.0) << len;
  }
  // Free lengths: 2^(12v) ms plus one sample. v = 0.5 at 48 kHz: 64 ms = 3072 samples, + 1.
  auto d = makeDelay(48000.0f);
  d->setDelayLen(0.5f, 0.0f);
  EXPECT_DOUBLE_EQ(d->getDelayLen(0), 3073.0);
  EXPECT_DOUBLE_EQ(d->getDelayLen(1), 49.0);
  EXPECT_NEAR(firstArrival(*d, 4000, 0), 3073, 1);
  // Clamps: lengths stay within 1 .. 262,143 samples; factors scale.
  d->setDelayLen(1.0f, 0.0f, 10.0f, 0.0f);
  EXPECT_EQ(d->getDelayLen(0), 262143.0);
  EXPECT_EQ(d->getDelayLen(1), 1.0);
  d->setDelayLenDirect(std::nan(""), -5.0);
  EXPECT_EQ(d->getDelayLen(0), 1.0);
  EXPECT_EQ(d->getDelayLen(1), 1.0);
}

TEST(Delay, SyncedLengthIsItsFractionOfTheBar) {
  auto d = makeDelay(48000.0f);
  EXPECT_DOUBLE_EQ(d->getSamplesPerBar(), 96000.0);  // 120 bpm at start
  EXPECT_TRUE(d->setTimeSync(1.0f));
  EXPECT_FALSE(d->setTimeSync(0.9f));
  d->setDelayLen(1.0f, 0.0f);
  EXPECT_DOUBLE_EQ(d->getDelayLen(0), 0.75 * 96000.0 + 1.0);
  EXPECT_DOUBLE_EQ(d->getDelayLen(1), 96000.0 / 48.0 + 1.0);
  for (int i = 0; i < dsp::TAPE_DELAY_LEN_COUNT; ++i) {
    const float v = (i + 0.5f) / 14.99f;
    d->setDelayLen(v, v);
    EXPECT_NEAR(d->getDelayLen(0), dsp::TAPE_DELAY_LEN_ARRAY[i] * 96000.0 + 1.0, 1e-9) << i;
  }
  // A tempo change follows at once while synced.
  d->setDelayLen(1.0f, 0.0f);
  d->setTempo(90.0f);
  EXPECT_DOUBLE_EQ(d->getSamplesPerBar(), 48000.0 * 240.0 / 90.0);
  EXPECT_NEAR(d->getDelayLen(0), 0.75 * 128000.0 + 1.0, 1e-6);
  d->setTempo(0.0f);  // ignored
  EXPECT_NEAR(d->getDelayLen(0), 0.75 * 128000.0 + 1.0, 1e-6);
  EXPECT_TRUE(d->setTimeSync(0.0f));
  EXPECT_DOUBLE_EQ(d->getDelayLen(0), 4096.0 * 48.0 + 1.0);
}

TEST(Delay, FeedbackAndCrossFeedbackDecayOnEachRepeat) {
  auto d = makeDelay(44100.0f);
  d->setDelayLenDirect(100.0, 100.0);
  d->setFeed(0.5f, 0.3f);
  std::vector<float> L, R;
  for (int n = 0; n < 1000; ++n) {
    float l = 0, r = 0;
    d->process(n == 0 ? 1.0f : 0.0f, 0.0f, l, r);
    L.push_back(l);
    R.push_back(r);
  }
  // Repeat k at sample 100k: left 1, 0.5, 0.25 + 0.09, ...; the right is fed only through the cross path.
  EXPECT_VALUES({L[100], 1.0, 1e-6}, {R[100], 0.0, 1e-6}, {L[200], 0.5, 1e-6}, {R[200], 0.3, 1e-6},
                {L[300], 0.5 * 0.5 + 0.3 * 0.3, 1e-6}, {R[300], 0.3 * 0.5 + 0.5 * 0.3, 1e-6});
  double prev = 2.0;
  for (int k = 1; k < 10; ++k) {
    const double e = std::fabs(L[100 * k]) + std::fabs(R[100 * k]);
    EXPECT_LT(e, prev) << k;
    prev = e;
  }
  // Full feedback and cross together are scaled so the loop gain stays under 1.
  d->setFeed(1.0f, 1.0f);
  EXPECT_NEAR(d->getFeedback(0), 1.0 / 2.0001, 1e-9);
  EXPECT_NEAR(d->getCross(), 1.0 / 2.0001, 1e-9);
  d->setFeed(-3.0f);
  EXPECT_NEAR(d->getFeedback(1), -1.0 / 1.0001, 1e-9);
  EXPECT_EQ(d->getCross(), 0.0);
}

TEST(Delay, EqualDecayGivesTheShorterLineMoreFeedback) {
  auto d = makeDelay(44100.0f);
  d->setDelayLenDirect(1000.0, 250.0);
  d->setFeed(0.5f, 0.0f);
  EXPECT_DOUBLE_EQ(d->getFeedback(1), 0.5);
  EXPECT_TRUE(d->setEqual(1.0f));
  EXPECT_DOUBLE_EQ(d->getFeedback(0), 0.5);
  EXPECT_NEAR(d->getFeedback(1), std::pow(0.5001, 250.0 / 1001.0), 1e-12);
  d->setFeed(-0.5f, 0.0f);
  EXPECT_NEAR(d->getFeedback(1), -std::pow(0.5001, 250.0 / 1001.0), 1e-12);
  // Levels after one second of repeats are alike on both sides.
  d->setFeed(0.5f, 0.0f);
  const double left = std::pow(0.5, 44100.0 / 1000.0);
  const double right = std::pow(d->getFeedback(1), 44100.0 / 250.0);
  EXPECT_NEAR(std::log(right) / std::log(left), 1.0, 0.01);
}

TEST(Delay, FeedbackFilterSwitchAndBand) {
  auto d = makeDelay(44100.0f);
  d->setFeedFilter(1.0f, 0.0f);
  EXPECT_FALSE(d->isFilterOn());
  d->setFeedFilter(0.5f, 0.0f);
  EXPECT_TRUE(d->isFilterOn());
  EXPECT_VALUES({d->getFeedFilterFreq(0.0f), 20.0f / 44100.0f, kUlps},
                {d->getFeedFilterFreq(0.5f), 640.0f / 44100.0f, kUlps},
                {d->getFeedFilterFreq(1.0f), 0.2f, kUlps});
  // With a high-pass corner in the loop, DC fed into the line dies away instead of piling up.
  d->setDelayLenDirect(50.0, 50.0);
  d->setFeed(0.9f, 0.0f);
  d->setFeedFilter(1.0f, 0.5f);
  float l = 0, r = 0;
  for (int n = 0; n < 200000; ++n) d->process(0.5f, 0.5f, l, r);
  EXPECT_LT(std::fabs(l), 1e-3f);
  auto plain = makeDelay(44100.0f);
  plain->setDelayLenDirect(50.0, 50.0);
  plain->setFeed(0.9f, 0.0f);
  for (int n = 0; n < 20000; ++n) plain->process(0.5f, 0.5f, l, r);
  EXPECT_NEAR(l, 0.5f / (1.0f - 0.9f), 1e-3f);
}

TEST(Delay, LengthChangeGlidesWithoutAJump) {
  auto d = makeDelay(44100.0f);
  d->setDelayLenDirect(2000.0, 2000.0);
  const double w = 2.0 * 3.14159265358979 * 100.0 / 44100.0;
  double maxStep = 0, before = 0;
  float prev = 0;
  for (int n = 0; n < 20000; ++n) {
    if (n == 10000) d->setDelayLenDirect(1000.0, 1000.0);  // halve: plays twice as fast for a while
    float l = 0, r = 0;
    d->process(static_cast<float>(std::sin(w * n)), 0.0f, l, r);
    if (n > 2100) {
      const double step = std::fabs(l - prev);
      if (n < 10000) before = std::fmax(before, step);
      maxStep = std::fmax(maxStep, step);
    }
    prev = l;
  }
  // A jump would show a step up to 2; a glide at double speed at most doubles the sine's slope.
  EXPECT_GT(before, 0.0);
  EXPECT_LT(maxStep, 2.2 * before);
  EXPECT_GT(maxStep, 1.5 * before);  // the speed-up did happen
}

TEST(Delay, ProcessDoesNotAllocate) {
  auto d = makeDelay(44100.0f);
  d->setDelayLenDirect(262143.0, 5.0);
  d->setFeed(0.7f, 0.2f);
  const struct mallinfo2 before = mallinfo2();
  float l = 0, r = 0;
  for (int n = 0; n < 300000; ++n) {
    if (n == 150000) d->setDelayLen(0.2f, 0.9f);
    d->process(std::sin(n * 0.01f), 0.3f, l, r);
  }
  const struct mallinfo2 after = mallinfo2();
  EXPECT_EQ(after.uordblks, before.uordblks);
  EXPECT_EQ(after.hblkhd, before.hblkhd);
  // Not initialised: silent, no crash.
  TDelay raw;
  raw.process(1.0f, 1.0f, l, r);
  EXPECT_EQ(l, 0.0f);
}

TEST(Delay, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f, -1e30f}) {
    auto d = makeDelay(44100.0f);
    d->setDelayLenDirect(300.0, 170.0);
    d->setFeed(1.0f, 1.0f);
    d->setFeedFilter(0.8f, 0.1f);
    bool finite = true;
    float l = 0, r = 0;
    for (int n = 0; n < 3000; ++n) {
      d->process(n & 1 ? v : -v, v, l, r);
      finite = finite && std::isfinite(l) && std::isfinite(r);
      ASSERT_LE(std::fabs(l), 200.0f);
    }
    double tail = 0;
    for (int n = 0; n < 400000; ++n) {
      d->process(0.0f, 0.0f, l, r);
      finite = finite && std::isfinite(l) && std::isfinite(r);
      if (n > 399000) tail = std::fmax(tail, std::fmax(std::fabs(l), std::fabs(r)));
    }
    EXPECT_TRUE(finite);
    EXPECT_LT(tail, 1e-6);
  }
}
