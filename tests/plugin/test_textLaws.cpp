// Every display law as the host reads it, at both ends of the range and one point inside, for
// every tag it covers: the expected texts are worked out by hand from each law, so a changed
// scale, offset, unit or table row in any tag shows up here.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/prefsTestEnv.h"
#include "plugin/uPlugin.h"

namespace {

struct Law {
  std::vector<int> tags;
  std::vector<std::pair<int, float>> with;  // values set first (tag, value)
  std::vector<std::pair<float, const char*>> texts;
};

std::vector<int> span(int first, int last, std::vector<int> more = {}) {
  for (int t = first; t <= last; ++t) more.push_back(t);
  return more;
}

class TextLaws : public ::testing::Test {
 protected:
  std::string display(int tag, float v) {
    p->setParameter(tag, v);
    char text[128] = {};
    p->getParameterDisplay(tag, text);
    return text;
  }
  void check(const std::vector<Law>& laws) {
    for (const Law& law : laws) {
      for (int tag : law.tags) {
        for (const auto& [t, v] : law.with) p->setParameter(t, v);
        for (const auto& [v, text] : law.texts)
          EXPECT_EQ(display(tag, v), text) << "tag " << tag << " at " << v;
      }
    }
  }
  float type(int t) const { return (static_cast<float>(t) + 0.1f) / 99.99f; }

  prefstest::TempXdg env;
  std::unique_ptr<APlugin> p = std::make_unique<APlugin>(nullptr);
};

const std::vector<std::pair<float, const char*>> ON_OFF = {{0.0f, "Off"}, {0.5f, "On"}, {1.0f, "On"}};
const std::vector<std::pair<float, const char*>> PERCENT = {{0.0f, "0 %"}, {0.375f, "37 %"}, {1.0f, "100 %"}};
const std::vector<std::pair<float, const char*>> BIPOLAR = {
    {0.0f, "-100 %"}, {0.375f, "-25 %"}, {1.0f, "100 %"}};
const std::vector<std::pair<float, const char*>> FILTER = {
    {0.0f, "20 Hz"}, {0.5f, "640 Hz"}, {0.75f, "3.62 KHz"}, {1.0f, "20.48 KHz"}};

}  // namespace

TEST_F(TextLaws, ContinuousTags) {
  check({
      {{1, 60}, {}, {{0.0f, "-30.0 dB"}, {0.375f, "-15.0 dB"}, {1.0f, "10.0 dB"}}},
      {{6, 15, 16, 17, 18, 28, 29, 30, 31, 230, 231, 232, 233},
       {},
       {{0.0f, "-20.0 dB"}, {0.375f, "-5.0 dB"}, {1.0f, "20.0 dB"}}},
      {{41, 56, 86}, {}, {{0.0f, "-40.0 dB"}, {0.375f, "-25.0 dB"}, {1.0f, "0.0 dB"}}},
      {{87}, {}, {{0.0f, "-30.0 dB"}, {0.375f, "-7.5 dB"}, {1.0f, "30.0 dB"}}},
      {{2, 65},
       {},
       {{0.0f, "100/0 D/W"},
        {0.375f, "100/75 D/W"},
        {0.5f, "Equal"},
        {0.75f, "50/100 D/W"},
        {1.0f, "0/100 D/W"}}},
      {{7,  23,  24,  25,  26,  36,  37,  38,  39,  49,  54,  62,  63, 67,
        88, 110, 111, 112, 113, 114, 115, 116, 117, 241, 242, 244, 245},
       {},
       PERCENT},
      {span(70, 76, span(92, 101, span(118, 127, span(200, 229)))), {}, BIPOLAR},
      {{19, 20, 21, 22, 32, 33, 34, 35, 48, 53}, {}, FILTER},
      {{42, 58}, {}, {{0.0f, "Off"}, {0.5f, "15 ms"}, {1.0f, "255 ms"}}},
      {{43, 44, 59}, {}, {{0.0f, "Off"}, {0.5f, "127 ms"}, {0.75f, "1.4 sec"}, {1.0f, "16.4 sec"}}},
      {{57}, {}, {{0.0f, "None"}, {0.5f, "Ratio 11.3:1"}, {1.0f, "Limiter"}}},
      {{64, 68}, {}, {{0.0f, "off"}, {0.5f, "0.43 Hz"}, {1.0f, "13.75 Hz"}}},
      {{66}, {}, {{0.0f, "0.0 ms"}, {0.25f, "12.5 ms"}, {1.0f, "50.0 ms"}}},
      {{69}, {{133, 0.0f}}, BIPOLAR},
      {{84}, {{85, 0.0f}}, {{0.0f, "off"}, {0.5f, "0.86 Hz"}, {1.0f, "27.50 Hz"}}},
      {{84}, {{85, 1.0f}}, {{0.0f, "Off"}, {0.5f, "1/1T"}, {1.0f, "1/32T"}}},
      {{89, 90, 91}, {}, {{0.0f, "1 ms"}, {0.5f, "128 ms"}, {1.0f, "16384 ms"}}},
  });
  // Each LFO speed follows its own LFO's sync switch.
  for (int l = 0; l < 4; ++l) {
    check({{{102 + l}, {{106 + l, 0.0f}}, {{0.0f, "off"}, {0.5f, "0.86 Hz"}, {1.0f, "27.50 Hz"}}},
           {{102 + l}, {{106 + l, 1.0f}}, {{0.0f, "Off"}, {0.5f, "1/1T"}, {1.0f, "1/32T"}}}});
  }
}

TEST_F(TextLaws, SwitchesAndSteppedTags) {
  check({
      {span(77, 83,
            span(106, 109,
                 span(147, 149, span(190, 199, {3, 4, 14, 27, 40, 45, 47, 50, 52, 55, 61, 85, 130, 132})))),
       {},
       ON_OFF},
      {{46, 51}, {}, {{0.0f, "12 dB"}, {0.5f, "24 dB"}, {1.0f, "24 dB"}}},
      {{131}, {}, {{0.0f, "Widener"}, {0.5f, "Chorus"}, {1.0f, "Chorus"}}},
      {{169}, {}, {{0.0f, "Basic Modulation Matrix"}, {1.0f, "Advanced Modulation Matrixs"}}},
      {{234}, {}, {{0.0f, "Compressor Mode 1"}, {0.49f, "Compressor Mode 1"}, {0.5f, "Compressor Mode 2"}}},
      {{246}, {}, {{0.0f, "Absolute WaveShaper"}, {0.5f, "Polar WaveShaper"}, {1.0f, "Polar WaveShaper"}}},
      {{128},
       {},
       {{0.0f, "Path 01: Distort > Filter > Comp > Widen"},
        {0.5f, "Path 13: Comp > Distort > Filter > Widen"},
        {1.0f, "Path 24: Widen > Comp > Filter > Distort"}}},
      {{129}, {}, {{0.0f, "None"}, {0.5f, "Dual Wave-Shaper"}, {1.0f, "Two Band Wave-Shaper"}}},
      {{133}, {}, {{0.0f, "Off"}, {0.5f, "10"}, {1.0f, "2"}}},
      {{134}, {}, {{0.0f, "Off"}, {0.5f, "1/8 QB"}, {1.0f, "1 QB"}}},
      {{135}, {}, {{0.0f, "Left/Right"}, {0.5f, "Right"}, {1.0f, "Right Saw"}}},
      {span(136, 142, span(144, 146, span(157, 160, span(180, 189)))),
       {},
       {{0.0f, "None"}, {0.5f, "Disrupt 5"}, {1.0f, "Mod 10 Amount"}}},
      {{143}, {}, {{0.0f, "Input"}, {0.5f, "Widen/Chorus"}, {1.0f, "Output"}}},
      {span(150, 152, span(170, 179)), {}, {{0.0f, "None"}, {0.25f, "LFO 1"}, {1.0f, "Uni-Noise"}}},
      {{153, 154, 155, 156}, {}, {{0.0f, "Sine"}, {0.5f, "Square"}, {1.0f, "WaveShaper2"}}},
      {{161, 162, 163, 164}, {}, {{0.0f, "Free"}, {0.5f, "Note"}, {1.0f, "MIDI"}}},
      {{165, 166, 167, 168}, {}, {{0.0f, "None"}, {0.04f, "Foot"}, {0.15f, "CC87"}, {1.0f, "CC90"}}},
      {{240, 243}, {}, {{0.0f, "None"}, {0.6f, "Rectifier"}, {1.0f, "Valve"}}},
  });
}

// Knobs 2..7 of every distortion type (tags 8..13), one letter per knob naming its law.
TEST_F(TextLaws, DistortionKnobsOfEveryType) {
  struct KnobLaw {
    char code;
    std::vector<std::pair<float, const char*>> texts;
  };
  const std::vector<KnobLaw> laws = {
      {'P', PERCENT},
      {'S', BIPOLAR},
      {'F', FILTER},
      {'B', {{0.0f, "-30 dB"}, {0.375f, "-7 dB"}, {1.0f, "30 dB"}}},
      {'X', {{0.0f, "x64"}, {0.5f, "x2048"}, {1.0f, "x65536"}}},
      {'T', {{0.0f, "16.0 Bits"}, {0.375f, "10.0 Bits"}, {1.0f, "0.0 Bits"}}},
      {'R', {{0.0f, "1.0 Smps"}, {0.5f, "32.0 Smps"}, {1.0f, "1024.0 Smps"}}},
      {'M', {{0.0f, "100/0 L/H"}, {0.375f, "100/75 L/H"}, {0.5f, "Equal"}, {1.0f, "0/100 L/H"}}},
      {'A', {{0.0f, "None"}, {0.5f, "Bass"}, {1.0f, "Radio"}}},
      {'C', {{0.0f, "None"}, {0.5f, "Marshall"}, {1.0f, "Off Axis"}}},
      {'W', {{0.0f, "Sine"}, {0.5f, "Square"}, {1.0f, "Triangle"}}},
  };
  std::vector<std::string> knobs(52, "PPPPPP");
  knobs[1] = "XPPPPP";
  knobs[3] = knobs[8] = "PPPBPP";
  knobs[4] = "FPSFFB";
  knobs[12] = "PPSPPP";
  knobs[14] = "TRPPPP";
  knobs[19] = knobs[30] = "PPPPBP";
  knobs[21] = "SPPPPP";
  knobs[25] = "PPFPPP";
  knobs[28] = "PSPFPP";
  for (int t : {31, 32, 33, 34, 35, 37, 38, 39, 41, 42}) knobs[static_cast<size_t>(t)] = "FPPPPM";
  knobs[36] = "FTRTRP";
  knobs[40] = "FSPSPM";
  knobs[43] = "APPPPP";
  knobs[44] = "CPPPPP";
  knobs[45] = knobs[46] = "WFFPPP";
  knobs[47] = "WFPPPP";
  knobs[48] = "FFPFPM";
  for (int t = 0; t < 52; ++t) {
    for (int k = 0; k < 6; ++k) {
      const char code = knobs[static_cast<size_t>(t)][static_cast<size_t>(k)];
      for (const KnobLaw& law : laws) {
        if (law.code != code) continue;
        SCOPED_TRACE("type " + std::to_string(t) + " law " + code);
        check({{{8 + k}, {{129, type(t)}}, law.texts}});
      }
    }
  }
}
