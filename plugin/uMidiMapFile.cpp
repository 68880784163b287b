#include "uMidiMapFile.h"

#include <charconv>

namespace midimap {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && isBlank(text[i])) ++i;
  return i;
}

}  // namespace

bool parseECS(std::string_view text, CCMap& out) {
  CCMap values{};
  std::size_t i = skipBlanks(text, 0);
  for (int n = 0; n < CC_COUNT; ++n) {
    if (i >= text.size()) return false;  // too few lines
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
      negative = text[i] == '-';
      ++i;
    }
    const std::size_t digits = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    if (i == digits) return false;  // not a number
    // Leading zeros would make a long but small number; strip them before the range check.
    std::size_t first = digits;
    while (first + 1 < i && text[first] == '0') ++first;
    if (i - first > 4) return false;  // out of range, whatever the digits
    int value = 0;
    std::from_chars(text.data() + first, text.data() + i, value);
    if (negative) value = -value;
    if (value < 0 || value > MAX_FILE_VALUE) return false;
    // A number must end its line: "12abc" is no number.
    if (i < text.size() && !isBlank(text[i])) return false;
    values[static_cast<std::size_t>(n)] = value;
    i = skipBlanks(text, i);
  }
  if (i != text.size()) return false;  // more than 128 lines
  out = values;
  return true;
}

std::string formatECS(const CCMap& map) {
  std::string text;
  text.reserve(CC_COUNT * 6);
  char buffer[16];
  for (const int32_t v : map) {
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), v);
    (void)ec;  // 16 bytes hold any 32-bit number
    text.append(buffer, end);
    text.push_back('\n');
  }
  return text;
}

std::optional<int> parseControllerNumber(std::string_view text) {
  std::size_t i = skipBlanks(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || !isDigit(text[i])) return std::nullopt;
  int value = 0;
  // Saturates early: anything past 127 is 127 (or 0 when negative).
  while (i < text.size() && isDigit(text[i])) {
    if (value <= 127) value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (negative) return 0;
  return value > 127 ? 127 : value;
}

}  // namespace midimap
