// The step of a stepped tag: the host's text must name the step the engine runs, also at values
// an ulp or two from a step boundary, where a host's automation curve can land.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "plugin/uParamText.h"
#include "plugin/uParamView.h"
#include "plugin/uPlugin.h"
#include "plugin/uStepRule.h"
#include "plugin/uTagMap.h"

namespace {

std::string hostText(APlugin& p, int tag) {
  char text[PARAM_DISPLAY_BUFFER] = {};
  p.getParameterDisplay(tag, text);
  return text;
}

// The step the engine selects from the live value, read as the engine reads it.
int engineStep(const APlugin& p, int tag) {
  return TParamView{p.currentValues, p.menuNum, p.menuRange}.step(tag);
}

TEST(StepRule, HostTextNamesTheStepTheEngineRunsAtEveryBoundary) {
  auto p = std::make_unique<APlugin>(nullptr);
  auto canonical = std::make_unique<APlugin>(nullptr);  // holds each step at its own stored value
  int tags = 0, walked = 0, disagreements = 0;
  for (const tagmap::Row& r : tagmap::ROWS) {
    if (r.kind != tagmap::Kind::Stepped) continue;
    for (int t = r.first; t <= r.last; ++t, ++tags) {
      // Boundary n: v x scale + 0.1 = n; past the last step (while v <= 1) only the clamp acts.
      for (int n = 1; (n - 0.1) / r.scale <= 1.0; ++n) {
        float v = static_cast<float>((n - 0.1) / r.scale);
        for (int k = 0; k < 3; ++k) v = std::nextafter(v, 0.0f);
        for (int k = 0; k < 7; ++k, v = std::nextafter(v, 2.0f), ++walked) {
          p->setParameter(t, v);
          const int step = engineStep(*p, t);
          ASSERT_TRUE(step == n - 1 || step == std::min(n, r.steps - 1)) << t << " at " << v;
          canonical->setSteppedValue(t, step);
          const bool agree = hostText(*p, t) == hostText(*canonical, t) && steppedValue(*p, t) == step &&
                             p->getSteppedValue(t) == step;
          if (!agree && ++disagreements <= 5)
            ADD_FAILURE() << "tag " << t << " at " << v << ": the engine runs step " << step
                          << ", the host reads \"" << hostText(*p, t) << "\"";
        }
      }
    }
  }
  EXPECT_EQ(disagreements, 0);
  EXPECT_EQ(tags, 57);
  EXPECT_EQ(walked, 38066);
}

// The two values a host was seen to land on, the rule's constant on both sides of a boundary,
// and the stored value of a step reading back as that step for every stepped tag.
TEST(StepRule, KnownBoundaryValuesAndStoredSteps) {
  EXPECT_EQ(steprule::stepOf(0.0089f, 99.99f, 52), 0);  // 0.98991: 0.15 would make it step 1
  EXPECT_EQ(steprule::stepOf(0.0091f, 99.99f, 52), 1);
  EXPECT_EQ(steprule::stepOf(0.999f, 23.99f, 24), 23);  // 24.07 before the clamp
  auto p = std::make_unique<APlugin>(nullptr);
  struct Case {
    int tag;
    float v;
    const char* text;
  };
  for (const Case& c : {Case{MODULE_PATH_TAG, 0.0791996643f, "Path 03: Distort > Comp > Filter > Widen"},
                        Case{DISTORT_TYPE_TAG, 0.0090009f, "And"}}) {
    p->setParameter(c.tag, c.v);
    EXPECT_EQ(hostText(*p, c.tag), c.text);
  }
  for (const tagmap::Row& r : tagmap::ROWS)
    for (int n = 0; r.kind == tagmap::Kind::Stepped && n < r.steps; ++n) {
      const float v = (static_cast<float>(n) + 0.1f) / r.scale;
      EXPECT_EQ(steprule::stepOf(v, r.scale, r.steps), n) << r.first;
      EXPECT_EQ(steprule::stepOf(std::nextafter(v, 0.0f), r.scale, r.steps), n) << r.first;
    }
}

}  // namespace
