// The distortion screen's use of the type's knobs Dist3..Dist8: the redraw signature sums all six
// with their modulation (times the type), and the drawn curve reads each of them, modulated and
// limited to 0..1.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engineTestUtil.h"

using namespace engine_test;

namespace {

constexpr int kClipper2 = 4;  // a type that reads all six knobs
constexpr float kRest[6] = {0.25f, 0.25f, 0.625f, 0.875f, 0.125f, 0.625f};

int knobTag(int dist) { return DISTORT_KNOB_1_TAG + dist - 1; }

// Offset into the knob's destination through matrix slot 0: amount tag 0.5 + m / 2 gives m.
void modulate(Probe& p, int dist, float m) {
  p.setStep(MOD_SLOT_SRC_TAGS[0], SRC_OFFSET);
  p.setStep(MOD_SLOT_DEST_TAGS[0], DEST_DIST_1 + dist - 1);
  p.setParameter(MOD_SLOT_AMT_TAGS[0], 0.5f + 0.5f * m);
  p.run(1024);
}

std::unique_ptr<Probe> clipper2AtRest() {
  auto p = makeProbe();
  p->setStep(DISTORT_TYPE_TAG, kClipper2);
  for (int d = 3; d <= 8; ++d) p->setParameter(knobTag(d), kRest[d - 3]);
  p->run(1024);
  return p;
}

// The curve drawn twice: the second drawing starts from knobs settled at their values, whatever
// the drawing before the first had (the stage drawing it smooths its knobs from one to the next).
std::vector<float> curve(Probe& p) {
  std::vector<float> out(64);
  p.getDistortDisplay(out.data(), 64, 0, 0.0f);
  p.getDistortDisplay(out.data(), 64, 0, 0.0f);
  return out;
}

double largestDifference(const std::vector<float>& a, const std::vector<float>& b) {
  double d = 0.0;
  for (size_t i = 0; i < a.size(); ++i) d = std::fmax(d, std::fabs(a[i] - b[i]));
  return d;
}

}  // namespace

// Each edit against the signature of the edit before: knobs 3..8 and their modulation count, Dist1
// and Dist2 do not, a knob's gain balanced by another's loss leaves the sum, and so the picture, as
// it was; the type multiplies the sum, and type 0 always signs 0.
TEST(DistortRefSingleDisplay, RedrawSignatureSumsTheTypesKnobsWithTheirModulation) {
  struct Edit {
    int dist;  // 0: the type; otherwise the knob (a negative one is modulated instead)
    float value, other;
    int otherDist;
    bool redraw;
  };
  const Edit edits[] = {
      {3, 0.375f, 0, 0, true}, {4, 0.375f, 0, 0, true}, {5, 0.75f, 0, 0, true},
      {6, 0.75f, 0, 0, true},  {7, 0.25f, 0, 0, true},  {8, 0.75f, 0, 0, true},
      {1, 0.75f, 0, 0, false}, {2, 0.75f, 0, 0, false}, {3, 0.5f, 0.625f, 8, false},  // +0.125 and -0.125
      {-3, 0.25f, 0, 0, true}, {-5, 0.5f, 0, 0, true},  {-8, 0.25f, 0, 0, true},
      {-8, 0.0f, 0, 0, true},  // modulation gone
      {0, 2, 0, 0, true},      {0, 2, 0, 0, false},     {0, 0, 0, 0, true},
      {5, 0.0f, 0, 0, false}};
  auto p = clipper2AtRest();
  p->distortDisplayUpdated();
  for (const Edit& e : edits) {
    SCOPED_TRACE(testing::Message() << "Dist" << e.dist << " to " << e.value);
    if (e.dist == 0)
      p->setStep(DISTORT_TYPE_TAG, static_cast<int>(e.value));
    else if (e.dist < 0)
      modulate(*p, -e.dist, e.value);
    else
      p->setParameter(knobTag(e.dist), e.value);
    if (e.otherDist) p->setParameter(knobTag(e.otherDist), e.other);
    EXPECT_EQ(p->distortDisplayUpdated(), e.redraw);
  }
}

// Every knob 3..8 moves the drawn curve; the same knob set lower by 0.25 and modulated by +0.25 draws
// the same curve; a modulation past the top draws as the top.
TEST(DistortRefSingleDisplay, CurveReadsEveryKnobWithItsModulation) {
  for (int dist = 3; dist <= 8; ++dist) {
    SCOPED_TRACE(testing::Message() << "Dist" << dist);
    auto p = clipper2AtRest();
    const float rest = kRest[dist - 3], moved = rest < 0.5f ? rest + 0.375f : rest - 0.375f;
    const std::vector<float> atRest = curve(*p);
    p->setParameter(knobTag(dist), moved);
    const std::vector<float> byTag = curve(*p);
    EXPECT_GT(largestDifference(atRest, byTag), 0.01);
    p->setParameter(knobTag(dist), moved - 0.25f);
    modulate(*p, dist, 0.25f);
    EXPECT_LT(largestDifference(curve(*p), byTag), 1e-6);
    p->setParameter(knobTag(dist), 1.0f);
    const std::vector<float> top = curve(*p);
    p->setParameter(knobTag(dist), 0.875f);
    modulate(*p, dist, 0.5f);
    EXPECT_LT(largestDifference(curve(*p), top), 1e-6);
  }
}
