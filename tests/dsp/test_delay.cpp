#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "dsp/uDelay.h"
#include "support/expectValues.h"

using dsp::TDelay;

namespace {

std::unique_ptr<TDelay> makeDelay(float rate) {
  auto d = std::make_unique<TDelay>();
  d->init(rate);
  return d;
}

// The outputs of `samples` samples with an impulse of 1 into the left input at sample 0.
std::vector<float> impulse(TDelay& d, int samples, std::vector<float>* right = nullptr) {
  std::vector<float> left;
  for (int n = 0; n < samples; ++n) {
    float l = 0, r = 0;
    d.process(n == 0 ? 1.0f : 0.0f, 0.0f, l, r);
    left.push_back(l);
    if (right) right->push_back(r);
  }
  return left;
}

}  // namespace

// Lengths in samples are clamped to 1..262,143; free lengths are 2^(12 v) ms plus one sample
// (v = 0.5 at 48 kHz: 3072 + 1), scaled by the factors; an impulse returns after the length.
TEST(Delay, ImpulseReturnsAfterTheSetLength) {
  for (double len : {1.0, 2.0, 7.0, 100.0, 4410.0, 262143.0}) {
    auto d = makeDelay(44100.0f);
    d->setDelayLenDirect(len, len);
    const std::vector<float> out = impulse(*d, static_cast<int>(len) + 10);
    EXPECT_NEAR(std::find_if(out.begin(), out.end(), [](float v) { return v > 0.5f; }) - out.begin(), len,
                1.0);
  }
  auto d = makeDelay(48000.0f);
  d->setDelayLen(0.5f, 0.0f);
  EXPECT_VALUES({d->getDelayLen(0), 3073.0}, {d->getDelayLen(1), 49.0});
  d->setDelayLen(1.0f, 0.0f, 10.0f, 0.0f);
  EXPECT_VALUES({d->getDelayLen(0), 262143.0}, {d->getDelayLen(1), 1.0});
  d->setDelayLenDirect(std::nan(""), -5.0);
  EXPECT_VALUES({d->getDelayLen(0), 1.0}, {d->getDelayLen(1), 1.0});
}

// Synced: the length is a bar fraction times rate 240 / tempo (120 at start), plus one; a tempo
// change follows at once, a tempo of 0 is ignored; the switch reports changes only.
TEST(Delay, SyncedLengthIsItsFractionOfTheBar) {
  const double fractions[dsp::TAPE_DELAY_LEN_COUNT] = {1.0 / 48, 1.0 / 32, 3.0 / 64, 1.0 / 24, 1.0 / 16,
                                                       3.0 / 32, 1.0 / 12, 1.0 / 8,  3.0 / 16, 1.0 / 6,
                                                       1.0 / 4,  3.0 / 8,  1.0 / 3,  1.0 / 2,  3.0 / 4};
  auto d = makeDelay(48000.0f);
  EXPECT_VALUES({d->getSamplesPerBar(), 96000.0}, {d->setTimeSync(1.0f), true},
                {d->setTimeSync(0.9f), false});
  for (int i = 0; i < dsp::TAPE_DELAY_LEN_COUNT; ++i) {
    const float v = (i + 0.5f) / 14.99f;
    d->setDelayLen(v, v);
    EXPECT_NEAR(d->getDelayLen(0), fractions[i] * 96000.0 + 1.0, 1e-6) << i;
  }
  d->setDelayLen(1.0f, 1.0f);
  d->setTempo(90.0f);
  d->setTempo(0.0f);
  EXPECT_VALUES({d->getSamplesPerBar(), 48000.0 * 240.0 / 90.0, 1e-9},
                {d->getDelayLen(0), 0.75 * 128000.0 + 1.0, 1e-6}, {d->setTimeSync(0.0f), true},
                {d->getDelayLen(0), 4096.0 * 48.0 + 1.0});
}

// Repeat k arrives at 100 k: left 1, 0.5, 0.25 + 0.09; the right only through the cross path.
// Feedback and cross together are scaled so the loop gain stays under 1.
TEST(Delay, FeedbackAndCrossFeedback) {
  auto d = makeDelay(44100.0f);
  d->setDelayLenDirect(100.0, 100.0);
  d->setFeed(0.5f, 0.3f);
  std::vector<float> R;
  const std::vector<float> L = impulse(*d, 1000, &R);
  EXPECT_VALUES({L[100], 1.0, 1e-6}, {R[100], 0.0, 1e-6}, {L[200], 0.5, 1e-6}, {R[200], 0.3, 1e-6},
                {L[300], 0.5 * 0.5 + 0.3 * 0.3, 1e-6}, {R[300], 0.3 * 0.5 + 0.5 * 0.3, 1e-6});
  for (int k = 2; k < 10; ++k)
    EXPECT_LT(std::fabs(L[100 * k]) + std::fabs(R[100 * k]), L[100 * k - 100] + R[100 * k - 100]);
  d->setFeed(1.0f, 1.0f);
  EXPECT_VALUES({d->getFeedback(0), 1.0 / 2.0001, 1e-9}, {d->getCross(), 1.0 / 2.0001, 1e-9});
  d->setFeed(-3.0f);
  EXPECT_VALUES({d->getFeedback(1), -1.0 / 1.0001, 1e-9}, {d->getCross(), 0.0});
}

// With equal times on, the shorter line gets (|fb| + 0.0001)^(shorter / (longer + 1)) with the
// feedback's sign, so both sides decay alike over time.
TEST(Delay, EqualDecayGivesTheShorterLineMoreFeedback) {
  auto d = makeDelay(44100.0f);
  d->setDelayLenDirect(1000.0, 250.0);
  d->setFeed(0.5f, 0.0f);
  EXPECT_DOUBLE_EQ(d->getFeedback(1), 0.5);
  EXPECT_TRUE(d->setEqual(1.0f));
  EXPECT_VALUES({d->getFeedback(0), 0.5}, {d->getFeedback(1), std::pow(0.5001, 250.0 / 1001.0), 1e-12});
  d->setFeed(-0.5f, 0.0f);
  EXPECT_NEAR(d->getFeedback(1), -std::pow(0.5001, 250.0 / 1001.0), 1e-12);
}

// The feedback filter is off only with low above 0.999 and high below 0.0001; its corners are
// clamp(20 * 2^(10 v) / rate, 20 / rate, 0.2). With a high-pass corner DC dies away in the loop.
TEST(Delay, FeedbackFilterSwitchAndBand) {
  auto d = makeDelay(44100.0f);
  const float switches[][3] = {{1.0f, 0.0f, 0}, {0.5f, 0.0f, 1}, {1.0f, 0.5f, 1}};
  for (const auto& s : switches) {
    d->setFeedFilter(s[0], s[1]);
    EXPECT_EQ(d->isFilterOn(), s[2] != 0) << s[0] << " " << s[1];
  }
  EXPECT_VALUES({d->getFeedFilterFreq(0.0f), 20.0f / 44100.0f, testing_support::kUlps},
                {d->getFeedFilterFreq(0.5f), 640.0f / 44100.0f, testing_support::kUlps},
                {d->getFeedFilterFreq(1.0f), 0.2f, testing_support::kUlps});
  for (bool filtered : {true, false}) {
    auto e = makeDelay(44100.0f);
    e->setDelayLenDirect(50.0, 50.0);
    e->setFeed(0.9f, 0.0f);
    e->setFeedFilter(1.0f, filtered ? 0.5f : 0.0f);
    float l = 0, r = 0;
    for (int n = 0; n < 200000; ++n) e->process(0.5f, 0.5f, l, r);
    EXPECT_NEAR(l, filtered ? 0.0f : 0.5f / (1.0f - 0.9f), 1e-3f) << filtered;
  }
}

// Halving the length plays the line twice as fast for a while instead of jumping: the largest step
// of a delayed sine at most doubles.
TEST(Delay, LengthChangeGlidesWithoutAJump) {
  auto d = makeDelay(44100.0f);
  d->setDelayLenDirect(2000.0, 2000.0);
  double before = 0, after = 0;
  float prev = 0;
  for (int n = 0; n < 20000; ++n) {
    if (n == 10000) d->setDelayLenDirect(1000.0, 1000.0);
    float l = 0, r = 0;
    d->process(static_cast<float>(std::sin(2.0 * M_PI * 100.0 * n / 44100.0)), 0.0f, l, r);
    if (n > 2100) {
      double& largest = n < 10000 ? before : after;
      largest = std::fmax(largest, std::fabs(l - prev));
    }
    prev = l;
  }
  EXPECT_GT(before, 0.0);
  EXPECT_LT(after, 2.2 * before);
  EXPECT_GT(after, 1.5 * before);
}

// Running, changing lengths and feeding back allocate nothing; an uninitialised delay is silent.
// Hostile input with full feedback stays bounded and dies away.
TEST(Delay, NoAllocationAndHostileInput) {
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
  EXPECT_VALUES({after.uordblks, before.uordblks}, {after.hblkhd, before.hblkhd});
  TDelay raw;
  raw.process(1.0f, 1.0f, l, r);
  EXPECT_EQ(l, 0.0f);
  for (float v : {1000.0f, 1e30f}) {
    auto h = makeDelay(44100.0f);
    h->setDelayLenDirect(300.0, 170.0);
    h->setFeed(1.0f, 1.0f);
    h->setFeedFilter(0.8f, 0.1f);
    double peak = 0, tail = 0;
    for (int n = 0; n < 403000; ++n) {
      h->process(n >= 3000 ? 0.0f : (n & 1) ? v : -v, n >= 3000 ? 0.0f : v, l, r);
      ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << v << " " << n;
      if (n < 3000) peak = std::fmax(peak, std::fabs(l));
      if (n > 402000) tail = std::fmax(tail, std::fmax(std::fabs(l), std::fabs(r)));
    }
    EXPECT_LE(peak, 200.0);
    EXPECT_LT(tail, 1e-6);
  }
}
