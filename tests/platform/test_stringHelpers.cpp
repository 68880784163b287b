#include <gtest/gtest.h>
#include <sys/stat.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "dialogTestSupport.h"
#include "platform/stringHelpers.h"
#include "support/commaLocale.h"
#include "support/expectValues.h"

namespace {

// Both forms of an in-place helper on `text`; they must agree.
template <typename F>
std::string both(std::string text, F f) {
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  f(buffer.data());
  f(text);
  EXPECT_EQ(text, std::string(buffer.data()));
  return text;
}
auto upper = [](auto&& t) { upperCase(t); };
auto safe = [](auto&& t) { safename(t); };
auto strip = [](auto&& t) { stripAllButNum(t); };

}  // namespace

TEST(StringHelpers, CaseNamesAndNumbersAreCleanedByteForByte) {
  EXPECT_TEXTS({both("maschine host", upper), "MASCHINE HOST"},
               {both("az{`@[\xe9\xff", upper), "AZ{`@[\xe9\xff"},
               {both("Kore 2 \xc3\xa9t\xc3\xa9", upper), "KORE 2 \xc3\xa9T\xc3\xa9"},
               {both(std::string(5000, 'q'), upper), std::string(5000, 'Q')},
               // A safe name is the printable 7-bit prefix, at most 24 bytes.
               {both("abcdefghijklmnopqrstuvwxyz0123", safe), "abcdefghijklmnopqrstuvwx"},
               {both("Host\tName", safe), "Host"}, {both("Caf\xe9 Bar", safe), "Caf"},
               {both("Ab\x80", safe), "Ab"}, {both("\177del", safe), "\177del"},
               {both("\x01start", safe), ""}, {both(std::string(1000, 'y'), safe), std::string(24, 'y')},
               // Only digits, signs and points stay; a full-width digit is no digit.
               {both("-12.5 dB", strip), "-12.5"}, {both("+3 dB, 1,5", strip), "+315"},
               {both("1e-3", strip), "1-3"}, {both("\xef\xbc\x91 9", strip), "9"}, {both("", strip), ""});
  std::string withNul("ab\0cd", 5);
  safename(withNul);
  EXPECT_EQ(withNul, "ab");
  upperCase(static_cast<char*>(nullptr));
  safename(static_cast<char*>(nullptr));
  stripAllButNum(static_cast<char*>(nullptr));
}

TEST(StringHelpers, NumbersReadTheSameInEveryLocale) {
  constexpr float MAXF = std::numeric_limits<float>::max();
  constexpr int MAXI = std::numeric_limits<int>::max(), MINI = std::numeric_limits<int>::min();
  struct Case {
    const char* text;
    std::size_t used;  // by readDecimal
    float value;       // by decimalToFloat
  };
  const Case cases[] = {
      {"12.5", 4, 12.5f},    {"-5.0 dB", 4, -5.0f}, {"+3", 2, 3.0f},        {".5", 2, 0.5f},
      {"5.", 2, 5.0f},       {"-.25e1x", 6, -2.5f}, {"1E+2", 4, 100.0f},    {"2e-", 1, 2.0f},
      {"0,5", 1, 0.0f},      {"1e999", 5, MAXF},    {"-1e39", 5, -MAXF},    {"1e-999", 6, 0.0f},
      {"1000e-50", 8, 0.0f}, {"abc", 0, 0.0f},      {"", 0, 0.0f},          {"+.", 0, 0.0f},
      {".e5", 0, 0.0f},      {"nan", 0, 0.0f},      {"-infinity", 0, 0.0f}, {"0x10", 1, 0.0f},
      {" \t\n7", 0, 7.0f},
  };
  // Where the C library takes "0,5" for a half (when such a locale can be had at all).
  const testing_support::ScopedCommaLocale comma;
  for (const Case& c : cases) {
    float v = 42.0f;
    EXPECT_EQ(readDecimal(c.text, v), c.used) << c.text;
    EXPECT_EQ(v, c.used == 0 ? 42.0f : c.value) << c.text;
    EXPECT_EQ(decimalToFloat(c.text), c.value) << c.text;
  }
  EXPECT_EQ(decimalToFloat("0e99999999999"), 0.0f);
  EXPECT_EQ(decimalToFloat("3" + std::string(5000, '0')), MAXF);
  EXPECT_EQ(decimalToFloat("0." + std::string(5000, '0') + "1"), 0.0f);
  // Long mantissas with longer exponents saturate the way the two together point.
  const std::string zeros(200000, '0');
  const std::pair<std::string, float> saturating[] = {
      {"1" + zeros + "e-1500000", 0.0f},    {"0." + zeros + "1e1500000", MAXF},
      {"-1" + zeros + "e-1500000", -0.0f},  {"-0." + zeros + "1e1500000", -MAXF},
      {"1" + zeros + "e-200050", 0.0f},     {"1" + zeros + "e-199990", 1e10f},
      {"1e-99999999999999999999999", 0.0f}, {"0.1e99999999999999999999999", MAXF},
  };
  for (const auto& [text, value] : saturating) {
    float v = 42.0f;
    EXPECT_EQ(readDecimal(text, v), text.size()) << text.substr(text.size() - 12);
    EXPECT_EQ(v, value) << text.substr(text.size() - 12);
  }
  // Integers read like atoi but saturate.
  EXPECT_VALUES({decimalToInt(" \t-16x"), -16}, {decimalToInt("+7"), 7}, {decimalToInt("abc"), 0},
                {decimalToInt("-"), 0}, {decimalToInt("12.9"), 12}, {decimalToInt("2147483648"), MAXI},
                {decimalToInt("-2147483649"), MINI}, {decimalToInt("99999999999999999999"), MAXI},
                {decimalToInt("-99999999999999999999"), MINI}, {decimalToInt("00000000000000000000017"), 17});
}

TEST(PathHelpers, FoldersAndCappedReads) {
  EXPECT_TEXTS({getFileDriveDir("/home/u/a.ecs"), "/home/u/"}, {getFileDriveDir("/a.ecs"), "/"},
               {getFileDriveDir("a.ecs"), ""}, {getFileDriveDir("dir\\a.ecs"), ""},
               {getFileDriveDir("/x/y/"), "/x/y/"});
  for (const auto& [path, without] :
       {std::pair<std::string, std::string>{"/x/y/", "/x/y"}, {"/x/y", "/x/y"}, {"/", "/"}}) {
    std::string p = path;
    removeEndSlash(p);
    EXPECT_EQ(p, without);
  }
  dialogtest::TempDir root;
  EXPECT_TRUE(makeDirectory(root.file("a/b/c//")));
  EXPECT_TRUE(std::filesystem::is_directory(root.file("a/b/c")));
  EXPECT_TRUE(makeDirectory(root.file("a/b/c")));  // already there
  dialogtest::writeFile(root.file("file"), std::string(100, 'x'));
  EXPECT_VALUES({makeDirectory(root.file("file")), false}, {makeDirectory(root.file("file/sub")), false},
                {makeDirectory(""), false});

  std::string text = "old";
  EXPECT_TRUE(readFileCapped(root.file("file"), 100, text));
  EXPECT_EQ(text, std::string(100, 'x'));
  text = "old";
  ASSERT_EQ(::mkfifo(root.file("fifo").c_str(), 0600), 0);
  for (const std::string& path :
       {root.file("file"), root.file("fifo"), root.path(), std::string("/dev/null"), root.file("missing")}) {
    EXPECT_FALSE(readFileCapped(path, 99, text)) << path;
    EXPECT_EQ(text, "old");
  }
}
