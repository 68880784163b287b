#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/stringHelpers.h"
#include "support/expectValues.h"

namespace {
// The char* form on a writable copy.
template <typename F>
std::string inPlace(std::string text, F f) {
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  f(buffer.data());
  return std::string(buffer.data());
}
}  // namespace

TEST(StringHelpers, UpperCaseTouchesOnlyAsciiLetters) {
  EXPECT_TEXTS({inPlace("midi", [](char* t) { upperCase(t); }), "MIDI"},
               {inPlace("maschine host", [](char* t) { upperCase(t); }), "MASCHINE HOST"},
               {inPlace("", [](char* t) { upperCase(t); }), ""},
               {inPlace("az{`@[\xe9\xff", [](char* t) { upperCase(t); }), "AZ{`@[\xe9\xff"});
  std::string s = "Kore 2 \xc3\xa9t\xc3\xa9";
  upperCase(s);
  EXPECT_EQ(s, "KORE 2 \xc3\xa9T\xc3\xa9");
  const std::string longText(5000, 'q');
  EXPECT_EQ(inPlace(longText, [](char* t) { upperCase(t); }), std::string(5000, 'Q'));
  upperCase(static_cast<char*>(nullptr));
}

TEST(StringHelpers, SafenameKeepsAShortPrintablePrefix) {
  const auto safe = [](const std::string& in) {
    std::string s = in;
    safename(s);
    const std::string c = inPlace(in, [](char* t) { safename(t); });
    EXPECT_EQ(s, c) << "forms differ for " << in;
    return s;
  };
  EXPECT_TEXTS({safe("Preset"), "Preset"},
               {safe("abcdefghijklmnopqrstuvwxyz0123"), "abcdefghijklmnopqrstuvwx"},
               {safe("Host\tName"), "Host"}, {safe("Caf\xe9 Bar"), "Caf"});
  EXPECT_EQ(safe("Ab\x80"), "Ab");  // the first byte above ASCII
  EXPECT_EQ(safe("\x7f"
                 "del"),
            "\x7f"
            "del");
  EXPECT_EQ(safe("\x01start"), "");
  EXPECT_EQ(safe(""), "");
  EXPECT_EQ(safe(std::string(24, 'x')), std::string(24, 'x'));
  EXPECT_EQ(safe(std::string(1000, 'y')), std::string(24, 'y'));
  std::string withNul("ab\0cd", 5);
  safename(withNul);
  EXPECT_EQ(withNul, "ab");
  safename(static_cast<char*>(nullptr));
}

TEST(StringHelpers, StripAllButNumKeepsDigitsSignsAndPoints) {
  const auto strip = [](const std::string& in) {
    std::string s = in;
    stripAllButNum(s);
    EXPECT_EQ(s, inPlace(in, [](char* t) { stripAllButNum(t); })) << in;
    return s;
  };
  EXPECT_TEXTS({strip("-12.5 dB"), "-12.5"}, {strip("Hz"), ""}, {strip(""), ""},
               {strip("+3 dB, 1,5"), "+315"}, {strip("1e-3"), "1-3"});
  EXPECT_EQ(strip("\xef\xbc\x91 9"), "9");  // a full-width digit is no digit
  std::string longText;
  for (int i = 0; i < 2000; ++i) longText += "x7";
  EXPECT_EQ(strip(longText), std::string(2000, '7'));
  stripAllButNum(static_cast<char*>(nullptr));
}

TEST(PathHelpers, FolderPartsAndFolderCreation) {
  EXPECT_TEXTS({getFileDriveDir("/home/u/a.ecs"), "/home/u/"}, {getFileDriveDir("/a.ecs"), "/"},
               {getFileDriveDir("a.ecs"), ""}, {getFileDriveDir("dir\\a.ecs"), ""},
               {getFileDriveDir("/x/y/"), "/x/y/"});
  std::string p = "/x/y/";
  removeEndSlash(p);
  EXPECT_EQ(p, "/x/y");
  removeEndSlash(p);
  EXPECT_EQ(p, "/x/y");
  p = "/";
  removeEndSlash(p);
  EXPECT_EQ(p, "/");

  const auto root = std::filesystem::temp_directory_path() / ("grindle-mkdir-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  const std::string deep = (root / "a" / "b" / "c").string();
  EXPECT_TRUE(makeDirectory(deep + "//"));
  EXPECT_TRUE(std::filesystem::is_directory(deep));
  EXPECT_TRUE(makeDirectory(deep));  // already there
  { std::ofstream((root / "file").string()) << "x"; }
  EXPECT_FALSE(makeDirectory((root / "file").string()));
  EXPECT_FALSE(makeDirectory((root / "file" / "sub").string()));
  EXPECT_FALSE(makeDirectory(""));
  std::filesystem::remove_all(root);
}

TEST(NumberReader, ReadsDecimalsByAtofRulesInEveryLocale) {
  constexpr float MAXF = std::numeric_limits<float>::max();
  struct Case {
    const char* text;
    std::size_t used;  // by readDecimal
    float value;       // by decimalToFloat
  };
  const Case cases[] = {
      {"12.5", 4, 12.5f},       {"-5.0 dB", 4, -5.0f},  {"+3", 2, 3.0f},       {".5", 2, 0.5f},
      {"5.", 2, 5.0f},          {"-.25e1x", 6, -2.5f},  {"1e3", 3, 1000.0f},   {"1E+2", 4, 100.0f},
      {"2e", 1, 2.0f},          {"2e-", 1, 2.0f},       {"440 Hz", 3, 440.0f}, {"0,5", 1, 0.0f},
      {"1e999", 5, MAXF},       {"-1e39", 5, -MAXF},    {"1e-999", 6, 0.0f},   {"0e99999999999", 13, 0.0f},
      {"0.0001e-50", 10, 0.0f}, {"1000e-50", 8, 0.0f},  {"abc", 0, 0.0f},      {"", 0, 0.0f},
      {"-", 0, 0.0f},           {"+.", 0, 0.0f},        {".e5", 0, 0.0f},      {"nan", 0, 0.0f},
      {"inf", 0, 0.0f},         {"-infinity", 0, 0.0f}, {"0x10", 1, 0.0f},     {" \t\n7", 0, 7.0f},
  };
  for (const Case& c : cases) {
    float v = 42.0f;
    EXPECT_EQ(readDecimal(c.text, v), c.used) << c.text;
    if (c.used == 0) {
      EXPECT_EQ(v, 42.0f) << c.text;
    }
    EXPECT_EQ(decimalToFloat(c.text), c.value) << c.text;
  }
  EXPECT_EQ(decimalToFloat("3" + std::string(5000, '0')), MAXF);
  EXPECT_EQ(decimalToFloat("0." + std::string(5000, '0') + "1"), 0.0f);
}

TEST(NumberHelpers, DecimalToIntReadsLikeAtoiButSaturates) {
  constexpr int MAXI = std::numeric_limits<int>::max(), MINI = std::numeric_limits<int>::min();
  const std::pair<const char*, int> cases[] = {
      {"5", 5},
      {" \t-16x", -16},
      {"+7", 7},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"12.9", 12},
      {"2147483647", MAXI},
      {"2147483648", MAXI},
      {"-2147483648", MINI},
      {"-2147483649", MINI},
      {"99999999999999999999", MAXI},
      {"-99999999999999999999", MINI},
      {"00000000000000000000017", 17},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(decimalToInt(text), value) << text;
}

TEST(FileHelpers, ReadFileCappedTakesOnlySmallRegularFiles) {
  const auto root = std::filesystem::temp_directory_path() / ("grindle-read-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
  const std::string exact = (root / "exact").string();
  { std::ofstream(exact) << std::string(100, 'x'); }
  std::string text = "old";
  EXPECT_TRUE(readFileCapped(exact, 100, text));
  EXPECT_EQ(text, std::string(100, 'x'));
  text = "old";
  EXPECT_FALSE(readFileCapped(exact, 99, text));
  EXPECT_EQ(text, "old");
  ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
  for (const std::string& path :
       {(root / "fifo").string(), root.string(), std::string("/dev/null"), (root / "missing").string()}) {
    EXPECT_FALSE(readFileCapped(path, 100, text)) << path;
    EXPECT_EQ(text, "old");
  }
  std::filesystem::remove_all(root);
}
