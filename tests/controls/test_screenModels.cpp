// Graph screens and pop-ups checked against a small model of what they show: the follower's
// history (its level rises upward from the bottom line) and the matrix's grouped source menu.
#include <cmath>
#include <string>
#include <vector>

#include "controlTestKit.h"
#include "plugin/uVocabulary.h"

using namespace controls_test;

namespace {

// n samples of a 441 Hz sine of the given peak on both main inputs.
void runAudio(APlugin& p, int n, float peak) {
  std::vector<float> l(static_cast<size_t>(n)), r(l.size()), side(l.size(), 0.0f), oL(l.size()), oR(l.size());
  for (size_t i = 0; i < l.size(); ++i)
    l[i] = r[i] = peak * std::sin(6.2831853f * 441.0f * static_cast<float>(i) / 44100.0f);
  float* ins[4] = {l.data(), r.data(), side.data(), side.data()};
  float* outs[2] = {oL.data(), oR.data()};
  p.processReplacing(ins, outs, n);
}

}  // namespace

// Every second column is a point at (left + x, bottom - 1 - int(level(x / W) x (H - 1))).
TEST(ScreenModels, FollowerPlotsItsHistoryUpwardFromTheBottom) {
  ControlRig rig;
  const CRect r(20, 30, 420, 110);
  auto* screen = rig.add(new TFollowerScreen(r, &rig.listener, 0));
  rig.plugin->setSampleRate(44100.0f);
  rig.plugin->resume();
  for (int block = 0; block < 40; ++block) runAudio(*rig.plugin, 512, block < 25 ? 0.9f : 0.0f);
  const auto lines = drawn(screen, Kind::Polyline);
  ASSERT_EQ(lines.size(), 1u);
  const std::vector<CPoint>& pts = lines[0].points;
  ASSERT_EQ(pts.size(), 200u);
  float low = 1.0f, high = 0.0f;
  for (size_t i = 0; i < pts.size(); ++i) {
    const int x = static_cast<int>(2 * i);
    const float level = rig.plugin->getFollowerValue(static_cast<float>(x) / 400.0f);
    low = std::min(low, level);
    high = std::max(high, level);
    EXPECT_EQ(pts[i].x, 20 + x);
    EXPECT_EQ(pts[i].y, 110 - 1 - static_cast<int>(level * 79.0f)) << x << " level " << level;
  }
  EXPECT_LT(low, 0.1f);  // the picture has both ends of the range to get wrong
  EXPECT_GT(high, 0.2f);
}

// The matrix's source pop-up: "None" alone, then the MIDI sources 1..31 and the other sources
// 32..54 each under their heading; every entry selects its own source.
TEST(ScreenModels, MatrixSourceMenuGroupsAndEntries) {
  ControlRig rig;
  rig.add(new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false));
  const double x = 20 + 100, y = 20 + 16 * 4 + 5;  // row 4, source column
  rig.tester.menus().dismiss();
  rig.tester.click(x, y);
  std::vector<std::string> want = {"0 None", "0 MIDI Source"};
  for (int s = 1; s <= 54; ++s) {
    if (s == 32) want.push_back("0 Modulation Source");
    want.push_back("1 " + std::string(SRC_STR[static_cast<size_t>(s)]));
  }
  std::vector<std::string> shown;
  for (const auto& l : rig.tester.menus().lastShown) shown.push_back(std::to_string(l.depth) + " " + l.title);
  EXPECT_EQ(shown, want);
  for (int s : {54, 0, 1, 31, 32, 12, 40}) {
    rig.tester.menus().chooseTitle(std::string(SRC_STR[static_cast<size_t>(s)]));
    rig.tester.click(x, y);
    EXPECT_EQ(rig.plugin->getSrcForModSlot(4), s);
  }
}

// Each band's curve is the peaking response of its three values (gain 40 g - 20 dB, centre
// 20 x 2^(10 f) Hz, Q 2^(4 - 10 b) at a rate of 88100), +20 dB at the top, -20 dB at the bottom.
TEST(ScreenModels, EQCurvesFollowThePeakingResponseOfEachBand) {
  ControlRig rig;
  const double W = 400, H = 80;
  auto* screen = rig.add(new TEQScreen(CRect(20, 20, 20 + W, 20 + H), nullptr, 0));
  struct Band {
    float f, g, b;
  };
  const Band bands[4] = {{0.2f, 0.9f, 0.3f}, {0.45f, 0.15f, 0.55f}, {0.7f, 0.75f, 0.1f}, {0.9f, 0.3f, 0.8f}};
  for (size_t k = 0; k < 4; ++k) {
    rig.plugin->setParameter(EQ_FREQ_TAGS[k], bands[k].f);
    rig.plugin->setParameter(EQ_GAIN_TAGS[k], bands[k].g);
    rig.plugin->setParameter(EQ_BW_TAGS[k], bands[k].b);
  }
  const auto curves = drawn(screen, Kind::Polyline);
  ASSERT_EQ(curves.size(), 4u);
  const int w = screen->getPlotWidth(), h = screen->getPlotHeight();
  for (size_t k = 0; k < 4; ++k) {
    const double pi = 3.141592653589793, dB = 40.0 * bands[k].g - 20.0;
    const double w0 = 2 * pi * 20 * std::pow(2.0, 10.0 * bands[k].f) / 88100,
                 q = std::pow(2.0, 4.0 - 10.0 * bands[k].b);
    const double A = std::pow(10.0, dB / 40), alpha = std::sin(w0) / (2 * q), d = 1 + alpha / A;
    const double b0 = (1 + alpha * A) / d, b1 = -2 * std::cos(w0) / d, b2 = (1 - alpha * A) / d, a1 = b1,
                 a2 = (1 - alpha / A) / d;
    ASSERT_EQ(curves[k].points.size(), static_cast<size_t>(w / 2 + 1));
    int off = 0;
    for (size_t i = 0; i < curves[k].points.size(); ++i) {
      const double x = 2.0 * static_cast<double>(i), wx = 2 * pi * 20 * std::pow(2.0, 10.0 * x / w) / 88100;
      const double c1 = std::cos(wx), c2 = std::cos(2 * wx);
      const double n = b0 * b0 + b1 * b1 + b2 * b2 + 2 * b1 * (b0 + b2) * c1 + 2 * b0 * b2 * c2;
      const double den = 1 + a1 * a1 + a2 * a2 + 2 * a1 * (1 + a2) * c1 + 2 * a2 * c2;
      const double r = 0.5 * std::log10(n / den);
      const double y = 20 + static_cast<int>((1 - r) * h / 2);
      EXPECT_EQ(curves[k].points[i].x, 20 + x);
      off += std::fabs(curves[k].points[i].y - y) > 1.0;  // single-precision arithmetic may round a row
    }
    EXPECT_EQ(off, 0) << "band " << k;
  }
}
