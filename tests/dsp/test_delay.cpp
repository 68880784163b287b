#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "dsp/uDelay.h"
#include "dspTestUtil.h"
#include "support/expectValues.h"

namespace {

std::unique_ptr<dsp::TDelay> makeDelay(double left, double right, float feed = 0.0f, float cross = 0.0f) {
  auto d = std::make_unique<dsp::TDelay>();
  d->init(44100.0f);
  d->setDelayLenDirect(left, right);
  d->setFeed(feed, cross);
  return d;
}

// Left and right outputs, interleaved, of `samples` samples after an impulse into the left input.
std::vector<float> impulse(dsp::TDelay& d, int samples) {
  std::vector<float> out(2 * samples);
  for (int n = 0; n < samples; ++n) d.process(n == 0 ? 1.0f : 0.0f, 0.0f, out[2 * n], out[2 * n + 1]);
  return out;
}

}  // namespace

// An impulse returns after the length (clamped to 1..262,143 samples). Free lengths are 2^(12 v) ms
// plus one sample, times the factors (v = 0.5 at 48 kHz: 3072 + 1); synced ones a bar fraction of
// rate 240 / tempo (120 at start) plus one, following a tempo change at once (0 is ignored).
TEST(Delay, Lengths) {
  for (double len : {1.0, 7.0, 4410.0, 262143.0}) {
    const std::vector<float> out = impulse(*makeDelay(len, len), static_cast<int>(len) + 10);
    EXPECT_NEAR((std::find_if(out.begin(), out.end(), [](float v) { return v > 0.5f; }) - out.begin()) / 2,
                len, 1.0);
  }
  dsp::TDelay d;
  d.init(48000.0f);
  const auto left = [&](float l, float r, float factor = 1.0f) {
    d.setDelayLen(l, r, factor, factor);
    return d.getDelayLen(0);
  };
  EXPECT_VALUES({left(0.5f, 0.0f), 3073.0}, {d.getDelayLen(1), 49.0}, {left(1.0f, 0.0f, 100), 262143.0},
                {d.getDelayLen(1), 4900.0}, {d.getSamplesPerBar(), 96000.0}, {d.setTimeSync(1.0f), true},
                {d.setTimeSync(0.9f), false});
  const double fractions[] = {1 / 48., 1 / 32., 3 / 64., 1 / 24., 1 / 16., 3 / 32., 1 / 12., 1 / 8.,
                              3 / 16., 1 / 6.,  1 / 4.,  3 / 8.,  1 / 3.,  1 / 2.,  3 / 4.};
  for (int i = 0; i < 15; ++i)
    EXPECT_NEAR(left((i + 0.5f) / 14.99f, 1.0f), fractions[i] * 96000 + 1, 1e-6) << i;
  d.setTempo(90.0f);
  d.setTempo(0.0f);
  EXPECT_VALUES({d.getDelayLen(1), 0.75 * 128000.0 + 1.0, 1e-6}, {d.setTimeSync(0.0f), true},
                {d.getDelayLen(1), 4096.0 * 48.0 + 1.0});
  d.setDelayLenDirect(std::nan(""), -5.0);
  EXPECT_VALUES({d.getDelayLen(0), 1.0}, {d.getDelayLen(1), 1.0});
}

// Repeat k arrives at 100 k: left 1, 0.5, 0.25 + 0.09; the right only through the cross path.
// Feedback and cross together are scaled so the loop gain stays under 1. With equal times the
// shorter line gets (|fb| + 0.0001)^(shorter / (longer + 1)) with the feedback's sign.
TEST(Delay, FeedbackCrossFeedbackAndEqualDecay) {
  const std::vector<float> out = impulse(*makeDelay(100.0, 100.0, 0.5f, 0.3f), 301);
  EXPECT_VALUES({out[200], 1.0, 1e-6}, {out[201], 0.0, 1e-6}, {out[400], 0.5, 1e-6}, {out[401], 0.3, 1e-6},
                {out[600], 0.34, 1e-6}, {out[601], 0.3, 1e-6});
  auto d = makeDelay(1000.0, 250.0, 1.0f, 1.0f);
  EXPECT_VALUES({d->getFeedback(0), 1.0 / 2.0001, 1e-9}, {d->getCross(), 1.0 / 2.0001, 1e-9});
  d->setFeed(-3.0f);
  EXPECT_VALUES({d->getFeedback(1), -1.0 / 1.0001, 1e-9}, {d->getCross(), 0.0});
  const double shorter = std::pow(0.5001, 250.0 / 1001.0);
  d->setFeed(0.5f, 0.0f);
  EXPECT_VALUES({d->getFeedback(1), 0.5}, {d->setEqual(1.0f), true}, {d->getFeedback(0), 0.5},
                {d->getFeedback(1), shorter, 1e-12});
  d->setFeed(-0.5f, 0.0f);
  EXPECT_NEAR(d->getFeedback(1), -shorter, 1e-12);
}

// The feedback filter is off only with low above 0.999 and high below 0.0001; its corners are
// clamp(20 * 2^(10 v) / rate, 20 / rate, 0.2). With a high-pass corner DC dies away in the loop.
TEST(Delay, FeedbackFilter) {
  auto d = makeDelay(50.0, 50.0, 0.9f);
  const auto on = [&](float low, float high) {
    d->setFeedFilter(low, high);
    return d->isFilterOn();
  };
  EXPECT_VALUES({on(0.5f, 0.0f), true}, {on(1.0f, 0.5f), true}, {on(1.0f, 0.0f), false},
                {d->getFeedFilterFreq(0.0f), 20.0 / 44100, 1e-7},
                {d->getFeedFilterFreq(0.5f), 640.0 / 44100, 1e-7}, {d->getFeedFilterFreq(1.0f), 0.2, 1e-7});
  for (bool filtered : {false, true}) {
    float l = 0, r = 0;
    for (int n = 0; n < 200000; ++n) d->process(0.5f, 0.5f, l, r);
    EXPECT_NEAR(l, filtered ? 0.0f : 0.5f / (1.0f - 0.9f), 1e-3f) << filtered;
    d->setFeedFilter(1.0f, 0.5f);
  }
}

// Halving the length plays the line twice as fast for a while instead of jumping: the largest step
// of a delayed sine at most doubles. Nothing is allocated meanwhile; an uninitialised delay is silent.
TEST(Delay, LengthChangeGlidesWithoutAJumpOrAllocation) {
  auto d = makeDelay(2000.0, 262143.0);
  double before = 0, after = 0;
  float prev = 0;
  const struct mallinfo2 heap = mallinfo2();
  for (int n = 0; n < 20000; ++n) {
    if (n == 10000) d->setDelayLenDirect(1000.0, 5.0);
    float l = 0, r = 0;
    d->process(static_cast<float>(std::sin(2.0 * M_PI * 100.0 * n / 44100.0)), 0.3f, l, r);
    double& largest = n < 10000 ? before : after;
    if (n > 2100) largest = std::fmax(largest, std::fabs(l - prev));
    prev = l;
  }
  dsp::TDelay raw;
  float l = 1.0f, r = 1.0f;
  raw.process(1.0f, 1.0f, l, r);
  EXPECT_VALUES({before > 0.0, true}, {after < 2.2 * before, true}, {after > 1.5 * before, true},
                {mallinfo2().uordblks, heap.uordblks}, {mallinfo2().hblkhd, heap.hblkhd}, {l, 0.0f});
}

// Absurd input with full feedback and cross stays bounded (the loop clamps at +-100) and dies away.
TEST(Delay, HostileInputStaysBoundedAndDecays) {
  for (float v : {1000.0f, 1e30f}) {
    auto d = makeDelay(300.0, 170.0, 1.0f, 1.0f);
    d->setFeedFilter(0.8f, 0.1f);
    const auto run = [&](float& a, float& b, float& c, float& e) {
      d->process(a, b, a, b);
      d->process(c, e, c, e);
      EXPECT_TRUE(std::fabs(a) <= 200.0f && std::fabs(c) <= 200.0f);
    };
    double tail = 0;
    EXPECT_VALUES({dsptest::hostileThenSilence(run, v, true, 1500, 200000, tail), true}, {tail < 1e-6, true});
  }
}
