// The text helpers on any bytes. Names and stripped numbers stay within their buffers and the
// char and string forms agree; numbers read as the C library reads the same characters in the
// "C" locale, except that they saturate instead of overflowing; controller numbers stay 0..127.
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fuzzSupport.h"
#include "platform/stringHelpers.h"
#include "plugin/uMidiMapFile.h"

using namespace fuzzsupport;

namespace {

// What strtof makes of exactly these characters, saturated as readDecimal promises.
float cReading(const std::string& number) {
  const float x = std::strtof(number.c_str(), nullptr);
  if (std::isinf(x)) return std::copysign(std::numeric_limits<float>::max(), x);
  return x;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool cLocale = std::setlocale(LC_ALL, "C") != nullptr;
  FUZZ_CHECK(cLocale);
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string terminated(text.c_str());  // as far as a C string reaches

  // upperCase: only a..z change, the length stays.
  std::string upper = text;
  upperCase(upper);
  std::vector<char> cUpper(terminated.begin(), terminated.end());
  cUpper.push_back(0);
  upperCase(cUpper.data());
  FUZZ_CHECK(upper.size() == text.size() && std::string(cUpper.data()) == upper.substr(0, terminated.size()));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    FUZZ_CHECK(upper[i] == (c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c));
  }

  // safename: a printable prefix of at most SAFENAME_MAX_LEN bytes, the same in both forms; the
  // char form never writes past the name's terminator slot.
  std::string safe = text;
  safename(safe);
  FUZZ_CHECK(safe.size() <= static_cast<std::size_t>(SAFENAME_MAX_LEN) &&
             text.compare(0, safe.size(), safe) == 0);
  for (char c : safe) FUZZ_CHECK(c >= 0x20 && static_cast<unsigned char>(c) < 0x80);
  std::vector<char> cSafe(terminated.begin(), terminated.end());
  cSafe.push_back(0);
  const std::size_t room = std::min(cSafe.size(), static_cast<std::size_t>(SAFENAME_MAX_LEN) + 1);
  std::vector<char> guard(cSafe.begin() + static_cast<std::ptrdiff_t>(room), cSafe.end());
  safename(cSafe.data());
  FUZZ_CHECK(std::string(cSafe.data()) == safe.substr(0, std::min(safe.size(), terminated.size())));
  FUZZ_CHECK(std::equal(guard.begin(), guard.end(), cSafe.begin() + static_cast<std::ptrdiff_t>(room)));

  // stripAllButNum: the digits, signs and points in order, the same in both forms.
  std::string strip = text;
  stripAllButNum(strip);
  std::string expected;
  for (char c : text)
    if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') expected += c;
  FUZZ_CHECK(strip == expected);
  std::vector<char> cStrip(terminated.begin(), terminated.end());
  cStrip.push_back(0);
  stripAllButNum(cStrip.data());
  std::string cExpected;
  for (char c : terminated)
    if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') cExpected += c;
  FUZZ_CHECK(std::string(cStrip.data()) == cExpected);

  // readDecimal: the characters it takes are a number the C library reads to the same float.
  float value = 42.0f;
  const std::size_t used = readDecimal(text, value);
  FUZZ_CHECK(used <= text.size());
  if (used == 0) {
    FUZZ_CHECK(value == 42.0f);
  } else {
    FUZZ_CHECK(!std::isnan(value) && std::isfinite(value));
    const std::string number = text.substr(0, used);
    FUZZ_CHECK(number.find('\0') == std::string::npos);
    FUZZ_CHECK(value == cReading(number));
  }
  FUZZ_CHECK(std::isfinite(decimalToFloat(text)));

  // decimalToInt: atoi's reading, saturated to the int range.
  const int i = decimalToInt(text);
  {
    std::size_t k = 0;
    while (k < terminated.size() && std::strchr(" \t\n\v\f\r", terminated[k])) ++k;
    std::size_t end = k + (k < terminated.size() && (terminated[k] == '+' || terminated[k] == '-'));
    while (end < terminated.size() && terminated[end] >= '0' && terminated[end] <= '9') ++end;
    const long long wide = std::strtoll(terminated.substr(k, end - k).c_str(), nullptr, 10);
    const long long saturated = std::max<long long>(INT32_MIN, std::min<long long>(INT32_MAX, wide));
    FUZZ_CHECK(i == saturated);
  }

  // Paths: the folder part ends at the last '/', and is a prefix.
  const std::string folder = getFileDriveDir(text);
  FUZZ_CHECK(text.compare(0, folder.size(), folder) == 0 && (folder.empty() || folder.back() == '/'));
  std::string trimmed = text;
  removeEndSlash(trimmed);
  FUZZ_CHECK(trimmed.size() + 1 >= text.size());

  // The controller number typed into its box.
  if (const auto cc = midimap::parseControllerNumber(text)) FUZZ_CHECK(*cc >= 0 && *cc <= 127);
  return 0;
}
