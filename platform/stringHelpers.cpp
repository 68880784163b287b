#include "stringHelpers.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr bool isLowerAscii(unsigned char c) noexcept { return c >= 'a' && c <= 'z'; }

constexpr bool isNumberChar(unsigned char c) noexcept {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// Length of the name safename keeps: read as a signed char, the byte must be at least 32,
// which ends the name at control bytes and at every byte of 0x80..0xFF.
template <typename Get>
std::size_t safeLength(std::size_t available, Get byteAt) noexcept {
  std::size_t n = 0;
  while (n < available && n < static_cast<std::size_t>(SAFENAME_MAX_LEN)) {
    const unsigned char c = byteAt(n);
    if (c < 0x20 || c >= 0x80) break;
    ++n;
  }
  return n;
}

bool isDirectory(const char* path) noexcept {
  struct stat st {};
  return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

void upperCase(char* text) noexcept {
  if (text == nullptr) return;
  for (char* p = text; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (isLowerAscii(c)) *p = static_cast<char>(c - 'a' + 'A');
  }
}

void upperCase(std::string& text) noexcept {
  for (char& ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (isLowerAscii(c)) ch = static_cast<char>(c - 'a' + 'A');
  }
}

void safename(char* text) noexcept {
  if (text == nullptr) return;
  // The terminator is below 32, so the scan never passes the end of the string.
  const std::size_t n = safeLength(static_cast<std::size_t>(SAFENAME_MAX_LEN),
                                   [text](std::size_t i) { return static_cast<unsigned char>(text[i]); });
  text[n] = '\0';
}

void safename(std::string& text) noexcept {
  const std::size_t n =
      safeLength(text.size(), [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); });
  text.resize(n);
}

void stripAllButNum(char* text) noexcept {
  if (text == nullptr) return;
  char* out = text;
  for (const char* in = text; *in != '\0'; ++in) {
    if (isNumberChar(static_cast<unsigned char>(*in))) *out++ = *in;
  }
  *out = '\0';
}

void stripAllButNum(std::string& text) noexcept {
  std::size_t out = 0;
  for (std::size_t in = 0; in < text.size(); ++in) {
    if (isNumberChar(static_cast<unsigned char>(text[in]))) text[out++] = text[in];
  }
  text.resize(out);
}

void removeEndSlash(std::string& path) noexcept {
  if (path.size() > 1 && path.back() == '/') path.pop_back();
}

std::string getFileDriveDir(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

bool makeDirectory(const std::string& path, mode_t mode) noexcept {
  if (path.empty()) return false;
  try {
    std::string partial;
    partial.reserve(path.size());
    std::size_t pos = 0;
    while (pos <= path.size()) {
      std::size_t next = path.find('/', pos);
      if (next == std::string::npos) next = path.size();
      partial.assign(path, 0, next);
      pos = next + 1;
      if (partial.empty() || partial.back() == '/') continue;  // root or doubled slash
      if (::mkdir(partial.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    return isDirectory(path.c_str());
  } catch (...) {
    return false;
  }
}
