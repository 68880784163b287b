#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "editor/waveShaper.h"
#include "support/childProcess.h"
#include "support/commaLocale.h"

using namespace waveshaper;

namespace {

using Points = std::array<float, WAVESHAPER_POINTS>;

constexpr float A_AT_ONE = 0.99198395f;  // "2 Point": 0.998 a + 0.01 is exactly 1 in float

Points filled(float (*f)(int)) {
  Points c{};
  for (int i = 0; i < WAVESHAPER_POINTS; ++i) c[static_cast<std::size_t>(i)] = f(i);
  return c;
}

Preset samplePreset() {
  Preset p;
  p.polar = 1.0f;
  for (std::size_t i = 0; i < p.points.size(); ++i)
    p.points[i] = static_cast<float>((i * 7919) % 1000) / 999.0f;
  return p;
}

std::string numbers(int count, const std::string& each = "0.25") {
  std::string text;
  for (int i = 0; i < count; ++i) text += each + "\n";
  return text;
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

// ---- Generator ----

TEST(WaveShaperGenerator, ValuesAtChosenPoints) {
  struct Case {
    int mode;
    float a, b;
    bool polar;
    int point;
    float expected;
  };
  const Case cases[] = {
      {0, 0.3f, 0.7f, false, 0, 0.0f},  // "None"
      {0, 0.3f, 0.7f, false, 128, 0.5f},
      {0, 0.3f, 0.7f, true, 255, 0.99609375f},
      {5, 0.0f, 0.0f, false, 128, 0.5f},  // "Atan" at x = 0 whatever the amounts
      {5, 1.0f, 0.3f, true, 128, 0.5f},
      {5, 0.6f, 1.0f, false, 128, 0.5f},
      {29, 1.0f, 0.0f, false, 127, 0.0f},  // "Square": q = -1 just below zero ...
      {29, 1.0f, 0.0f, false, 128, 0.5f},  // ... and 0 at zero
      {29, 0.0f, 1.0f, true, 127, 0.0f},   // below zero b shapes under polarity
      {24, 1.0f, 0.0f, false, 0, 1.0f},    // "Rectifier" a = 1 flips the negative half
      {17, 0.0f, 1.0f, false, 64, 0.0f},   // "Octave 1" uses b below zero without polarity
      {10, 1.0f, 0.0f, false, 192, 0.5f},  // "Cross 2": hi from a without polarity ...
      {10, 1.0f, 0.0f, true, 192,
       0.5f + 0.5f * (0.5f - 0.95f / 256.0f) / (1.0f - 0.95f / 256.0f)},  // ... b with it
      {30, 0.0f, 1.0f, false, 136, 1.0f},   // "Trans" reaches y = 19.75: the value stays in range
      {20, 1.0f, 1.0f, false, 255, 1.0f},   // "Or" reaches beyond 1
      {1, A_AT_ONE, 0.5f, false, 0, 0.0f},  // "2 Point" with A = 1 at |x| = 1: no 0/0
      {33, 0.5f, 0.5f, false, 100, 0.5f},   // unknown modes give y = 0
      {-1, 0.5f, 0.5f, false, 100, 0.5f},
      {0, 0.5f, 0.5f, false, 256, 0.0f},  // points outside the curve
      {0, 0.5f, 0.5f, false, -1, 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(waveShaperValue(c.mode, c.a, c.b, c.polar, c.point), c.expected, 1e-6f)
        << "mode " << c.mode << " a " << c.a << " b " << c.b << " polar " << c.polar << " point " << c.point;
  }
  EXPECT_NEAR(waveShaperY(30, 0.0f, 1.0f, false, pointInput(136)), 19.75f, 1e-4f);
}

TEST(WaveShaperGenerator, TwoPointAtTheMiddleIsTheIdentity) {
  for (int p = 0; p < WAVESHAPER_POINTS; ++p)
    EXPECT_NEAR(waveShaperValue(1, 0.5f, 0.5f, false, p), waveShaperValue(0, 0.0f, 0.0f, false, p), 1e-6f)
        << p;
}

TEST(WaveShaperGenerator, CubicPassesThroughItsPoints) {
  for (float a : {0.0f, 0.2f, 0.5f, 0.9f, 1.0f}) {
    for (float b : {0.0f, 0.35f, 0.8f, 1.0f}) {
      for (float s : {1.0f, -1.0f}) {
        EXPECT_NEAR(waveShaperY(3, a, b, false, s / 3.0f), s * a, 1e-6f) << a << " " << b;
        EXPECT_NEAR(waveShaperY(3, a, b, false, s * 2.0f / 3.0f), s * b, 1e-6f) << a << " " << b;
        EXPECT_NEAR(waveShaperY(3, a, b, false, s), s, 1e-6f) << a << " " << b;
      }
    }
  }
}

TEST(WaveShaperGenerator, EveryModeStaysFiniteAndInRange) {
  const float amounts[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f, A_AT_ONE, -3.0f, 7.0f, NAN, INFINITY};
  for (int mode = 0; mode < NUM_MODES; ++mode) {
    for (float a : amounts) {
      for (float b : amounts) {
        for (bool polar : {false, true}) {
          for (int p = 0; p < WAVESHAPER_POINTS; ++p) {
            const float y = waveShaperY(mode, a, b, polar, pointInput(p));
            const float v = waveShaperValue(mode, a, b, polar, p);
            ASSERT_TRUE(std::isfinite(y)) << mode << " " << a << " " << b << " " << polar << " " << p;
            ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << mode << " " << a << " " << b << " " << polar << " " << p;
          }
          ASSERT_TRUE(std::isfinite(waveShaperY(mode, a, b, polar, 1.0f))) << mode;
        }
      }
    }
  }
}

// ---- Commands ----

TEST(WaveShaperCommands, NormalizeBoostAndReduce) {
  Points flat{};
  zeroCurve(flat);
  normalizeCurve(flat);
  for (float v : flat) EXPECT_EQ(v, 0.5f);

  // Largest |y| among points 1..254 is 0.5; the end points (|y| = 1) are not searched.
  Points c = filled([](int i) { return 0.5f + 0.25f * std::sin(static_cast<float>(i) * 0.05f); });
  c[10] = 0.75f;
  c[0] = 0.0f;
  c[255] = 1.0f;
  const Points before = c;
  normalizeCurve(c);
  for (std::size_t i = 1; i < 255; ++i) EXPECT_NEAR(c[i] - 0.5f, 2.0f * (before[i] - 0.5f), 1e-6f) << i;
  EXPECT_EQ(c[10], 1.0f);
  EXPECT_EQ(c[0], 0.0f);
  EXPECT_EQ(c[255], 1.0f);

  Points ends{};
  ends.fill(1.0f);
  scaleCurve(ends, BOOST_FACTOR);
  EXPECT_EQ(ends[0], 1.0f);
  scaleCurve(ends, REDUCE_FACTOR);
  EXPECT_EQ(ends[0], 0.95454544f);

  Points inner = filled([](int i) { return 0.3f + 0.4f * static_cast<float>(i) / 255.0f; });
  const Points original = inner;
  scaleCurve(inner, BOOST_FACTOR);
  scaleCurve(inner, REDUCE_FACTOR);
  for (std::size_t i = 0; i < inner.size(); ++i) EXPECT_NEAR(inner[i], original[i], 1e-6f);
}

TEST(WaveShaperCommands, MirrorSmoothAndReverse) {
  Points c{};
  clearCurve(c);
  EXPECT_EQ(c[0], 0.0f);
  EXPECT_EQ(c[51], 51.0f / 255.0f);
  EXPECT_EQ(c[255], 1.0f);

  Points upper = filled([](int i) { return i < 128 ? 0.7f : 1.0f; });
  mirrorCurve(upper);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(upper[static_cast<std::size_t>(i)], i < 128 ? 0.0f : 1.0f) << i;

  Points step = filled([](int i) { return i < 128 ? 0.0f : 1.0f; });
  smoothCurve(step);
  EXPECT_EQ(step[0], 0.0f);
  EXPECT_EQ(step[126], 0.0f);
  EXPECT_EQ(step[127], 0.5f);   // old neighbours 0 and 1
  EXPECT_EQ(step[128], 0.75f);  // the smoothed 0.5 and the old 1
  EXPECT_EQ(step[255], 1.0f);

  const Points ramp = filled([](int i) { return static_cast<float>(i) / 255.0f; });
  Points full = ramp;
  reverseCurve(full, true);
  Points uni = ramp;
  reverseCurve(uni, false);
  for (std::size_t i = 0; i < 256; ++i) {
    EXPECT_EQ(full[i], ramp[255 - i]);
    EXPECT_EQ(uni[i], i < 128 ? ramp[i] : ramp[255 - (i - 128)]);
  }

  Points other{};
  zeroCurve(other);
  swapCurves(full, other);
  EXPECT_EQ(full[3], 0.5f);
  EXPECT_EQ(other[3], ramp[252]);
}

// ---- Preset file ----

TEST(WaveShaperFile, FormatIsVersionAndSixDecimalLines) {
  Preset p;
  p.polar = 1.0f;
  p.points.fill(0.5f);
  p.points[0] = 0.0f;
  p.points[1] = 1.0f / 3.0f;
  p.points[2] = NAN;  // the store never holds these; a file must still read back
  p.points[3] = 1.5f;
  p.points[4] = -0.0f;
  const std::string text = formatWaveShaperFile(p);
  EXPECT_EQ(text.size(), 5u + 513u * 9u);
  EXPECT_EQ(text.substr(0, 5 + 9 * 7),
            "V1.0\n1.000000\n0.000000\n0.333333\n0.000000\n1.000000\n0.000000\n0.500000\n");
}

TEST(WaveShaperFile, RoundTripsAlsoUnderACommaLocale) {
  const Preset p = samplePreset();
  const auto expectSame = [&](const Preset& back) {
    EXPECT_EQ(back.polar, p.polar);
    for (std::size_t i = 0; i < p.points.size(); ++i) ASSERT_NEAR(back.points[i], p.points[i], 1e-6f) << i;
  };
  const std::string plain = formatWaveShaperFile(p);
  Preset back;
  ASSERT_TRUE(parseWaveShaperFile(plain, back));
  expectSame(back);

  std::string underComma;
  Preset backUnderComma;
  bool parsedUnderComma = false;
  char probe[16] = "";
  {
    const testing_support::ScopedCommaLocale comma;
    if (!comma.active())
      GTEST_SKIP() << "no locale with a comma decimal point is installed or can be generated";
    std::snprintf(probe, sizeof probe, "%f", 0.5);
    underComma = formatWaveShaperFile(p);
    parsedUnderComma = parseWaveShaperFile(plain, backUnderComma);
  }
  ASSERT_STREQ(probe, "0,500000");  // the locale really was in force
  EXPECT_EQ(underComma, plain);
  ASSERT_TRUE(parsedUnderComma);
  expectSame(backUnderComma);
}

TEST(WaveShaperFile, ParsesOnlyWholeFiles) {
  const std::string body = numbers(513);
  struct Case {
    std::string text;
    bool ok;
  };
  const Case cases[] = {
      {"V1.0\n" + body, true},
      {std::string(300, 'V') + "\n" + body, true},         // any first token, however long
      {"V1.0 " + numbers(513, "+.5e0"), true},             // sign, point and exponent
      {"V1.0\n" + body + "trailing words 1 2 3\n", true},  // what follows is ignored
      {"V1.0\r\n" + numbers(513, "0.25\r"), true},
      {"", false},
      {"  \n\t", false},
      {"V1.0", false},
      {"V1.0\n" + numbers(512), false},
      {"V1.0\n" + numbers(512) + "nan\n", false},
      {"V1.0\n" + numbers(512) + "inf\n", false},
      {"V1.0\n0,5\n" + numbers(512), false},
      {"V1.0\n0.5abc\n" + numbers(512), false},
      {"V1.0\n0x1p-1\n" + numbers(512), false},
      {"V1.0\n" + numbers(200) + "1e\n" + numbers(312), false},
      {"V1.0\n" + numbers(300) + std::string("\0\x01\xff", 3) + numbers(213), false},
  };
  for (const Case& c : cases) {
    Preset out;
    out.polar = 0.75f;
    out.points.fill(0.75f);
    EXPECT_EQ(parseWaveShaperFile(c.text, out), c.ok) << c.text.substr(0, 40);
    const float expected = c.ok ? (c.text.find("+.5e0") != std::string::npos ? 0.5f : 0.25f) : 0.75f;
    EXPECT_EQ(out.polar, expected);
    EXPECT_EQ(out.points[511], expected);
  }
  Preset out;
  ASSERT_TRUE(parseWaveShaperFile("V1.0\n-2\n1e30\n" + numbers(511), out));
  EXPECT_EQ(out.polar, -2.0f);  // kept as read: the parameter store limits it
  EXPECT_EQ(out.points[0], 1e30f);
}

TEST(WaveShaperFile, LoadRefusesAnythingButASmallRegularFile) {
  testing_support::TempDir dir;
  ASSERT_FALSE(dir.path().empty());
  const std::string good = dir.path() + "/good.wsr";
  ASSERT_TRUE(saveWaveShaperFile(good, samplePreset()));
  Preset back;
  ASSERT_TRUE(loadWaveShaperFile(good, back));
  EXPECT_NEAR(back.points[100], samplePreset().points[100], 1e-6f);

  const std::string valid = formatWaveShaperFile(samplePreset());
  writeText(dir.path() + "/empty.wsr", "");
  writeText(dir.path() + "/big.wsr", valid + std::string(70 * 1024, ' '));
  std::filesystem::create_directory(dir.path() + "/folder.wsr");
  ASSERT_EQ(::mkfifo((dir.path() + "/fifo.wsr").c_str(), 0600), 0);
  for (const char* name : {"empty.wsr", "big.wsr", "folder.wsr", "fifo.wsr", "missing.wsr"}) {
    const std::string path = dir.path() + "/" + name;
    auto loading = std::async(std::launch::async, [path] {
      Preset p;
      p.polar = 0.75f;
      return !loadWaveShaperFile(path, p) && p.polar == 0.75f;
    });
    if (loading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      // Blocked opening the FIFO: a writer lets it go, then the test fails.
      const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
      ADD_FAILURE() << name << " blocked the loader";
    }
    EXPECT_TRUE(loading.get()) << name;
  }
  Preset p;
  EXPECT_FALSE(loadWaveShaperFile("/dev/zero", p));
}

TEST(WaveShaperFile, SaveIntoAMissingFolderLeavesNoFile) {
  testing_support::TempDir dir;
  const std::string path = dir.path() + "/missing/Wave.wsr";
  EXPECT_FALSE(saveWaveShaperFile(path, samplePreset()));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/missing"));
}
