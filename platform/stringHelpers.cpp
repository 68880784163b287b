#include "stringHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>

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

namespace {

constexpr bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }
constexpr bool isBlank(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::size_t readDecimal(std::string_view text, float& value) noexcept {
  const std::size_t n = text.size();
  std::size_t i = 0;
  const bool negative = i < n && text[i] == '-';
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t start = i;

  // Decimal position of the first significant digit, so that a result out of the float range
  // can be told apart as too large or too small.
  long magnitude = 0;
  bool significant = false;
  std::size_t digits = 0;
  for (; i < n && isDigit(text[i]); ++i, ++digits) {
    significant = significant || text[i] != '0';
    if (significant) ++magnitude;
  }
  if (i < n && text[i] == '.') {
    for (++i; i < n && isDigit(text[i]); ++i, ++digits) {
      if (significant) continue;
      if (text[i] != '0')
        significant = true;
      else
        --magnitude;
    }
  }
  if (digits == 0) return 0;

  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    const bool negativeExponent = j < n && text[j] == '-';
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && isDigit(text[j])) {
      // Capped far above any count of digits a text can hold, so that the sum with the position
      // of the first significant digit keeps the sign that tells too large from too small.
      constexpr long EXPONENT_CAP = 100000000000000000L;
      long exponent = 0;
      for (; j < n && isDigit(text[j]); ++j)
        if (exponent < EXPONENT_CAP) exponent = exponent * 10 + (text[j] - '0');
      magnitude += negativeExponent ? -exponent : exponent;
      i = j;
    }
  }

  float x = 0.0f;
  const auto [end, ec] = std::from_chars(text.data() + start, text.data() + i, x, std::chars_format::general);
  (void)end;  // the text was checked above: all of it is one number
  if (ec == std::errc::result_out_of_range) {
    x = magnitude > 0 ? std::numeric_limits<float>::max() : 0.0f;
  } else if (ec != std::errc()) {
    return 0;
  }
  value = negative ? -x : x;
  return i;
}

float decimalToFloat(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  float x = 0.0f;
  return readDecimal(text.substr(i), x) > 0 ? x : 0.0f;
}

int decimalToInt(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Gathered as the negative value, whose range holds INT_MIN.
  constexpr int lowest = std::numeric_limits<int>::min();
  int value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    value = value < (lowest + digit) / 10 ? lowest : value * 10 - digit;
  }
  if (!negative) return value == lowest ? std::numeric_limits<int>::max() : -value;
  return value;
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

namespace {

bool writeFully(int fd, std::string_view text) noexcept {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void syncFolder(const std::string& folder) noexcept {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The file a write replaces: a symbolic link (a managed dotfile) is followed so that the
// link survives and its target receives the new contents.
std::string writeTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      std::string target(resolved);
      std::free(resolved);
      return target;
    }
  }
  return path;
}

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view text, const char* tempSuffix) {
  const std::string target = writeTarget(path);
  // Only regular files are replaced: renaming over a device or a folder would destroy it.
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) return false;
  const std::string temp = target + tempSuffix;
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  bool ok = writeFully(fd, text) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  syncFolder(getFileDriveDir(target));
  return true;
}

bool readFileCapped(const std::string& path, std::size_t maxBytes, std::string& text) {
  // Non-blocking, so that opening a FIFO without a writer returns at once instead of hanging
  // the editor; the type check then refuses it before anything is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
            static_cast<unsigned long long>(st.st_size) <= maxBytes;
  std::string content;
  if (ok) {
    try {
      // One byte more than the file held tells a file that grew since fstat: refused.
      content.resize(static_cast<std::size_t>(st.st_size) + 1);
      std::size_t done = 0;
      while (done < content.size()) {
        const ssize_t got = ::read(fd, content.data() + done, content.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
      }
      ok = ok && done <= static_cast<std::size_t>(st.st_size);
      content.resize(done);
    } catch (...) {
      ok = false;
    }
  }
  ::close(fd);
  if (ok) text = std::move(content);
  return ok;
}
