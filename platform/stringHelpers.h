// Small byte-string and path helpers. Every routine works on strings of any length:
// nothing is copied through fixed working buffers, so long input cannot overflow anything.
// Characters are treated as bytes; case rules are those of plain ASCII, never the locale.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

// Upper-cases the ASCII letters a..z in place; every other byte (also 0x80..0xFF) is kept.
void upperCase(char* text) noexcept;
void upperCase(std::string& text) noexcept;

// Keeps the longest prefix of at most SAFENAME_MAX_LEN bytes made only of printable
// 7-bit bytes (0x20..0x7F): a control byte or any byte of 0x80..0xFF ends the name.
inline constexpr int SAFENAME_MAX_LEN = 24;
void safename(char* text) noexcept;
void safename(std::string& text) noexcept;

// Removes every character except the digits, '+', '-' and '.', keeping the order,
// so that a typed value such as "-12.5 dB" can be parsed as a number.
void stripAllButNum(char* text) noexcept;
void stripAllButNum(std::string& text) noexcept;

// Reads the decimal number at the very start of `text` (no blanks skipped): an optional sign
// ('+' or '-'), digits with at most one '.', at least one digit, and an optional exponent
// ('e' or 'E', optional sign, digits; an 'e' without digits is not part of the number). The
// point is always '.', whatever the process locale; "nan", "inf" and hexadecimal are no
// numbers. A number past the float range saturates to the largest float of its sign, one
// below the smallest denormal becomes a zero. Returns how many characters form the number
// (0 when the text does not begin with one; `value` is then untouched).
std::size_t readDecimal(std::string_view text, float& value) noexcept;

// The number at the start of `text` by the C library's atof rules (leading blanks skipped,
// then readDecimal), but the same in every locale. Text without a leading number reads 0.
float decimalToFloat(std::string_view text) noexcept;

// The integer at the start of `text` by the C library's atoi rules (leading blanks skipped,
// an optional sign, digits), but limited to the int range instead of overflowing: a number
// too long for an int reads as the largest int of its sign. Text without a leading integer
// reads 0.
int decimalToInt(std::string_view text) noexcept;

// Drops one trailing '/' (a lone "/" stays, being the root folder).
void removeEndSlash(std::string& path) noexcept;

// The folder part of a path with its trailing '/', or "" when the path names no folder.
// Only '/' separates folders: on Linux a backslash is an ordinary byte of a file name.
std::string getFileDriveDir(std::string_view path);

// Creates the folder and every missing parent (new folders get `mode`, less the umask).
// True when the folder exists afterwards.
bool makeDirectory(const std::string& path, mode_t mode = 0755) noexcept;

// Replaces the file's contents so that a crash or a full disk never leaves it half written:
// the text goes to "<file><tempSuffix>" beside it, is flushed to disk and renamed over the
// file. A symbolic link is followed (the link stays, its target gets the text); an existing
// file keeps its permissions; anything but a regular file (a device, a folder) is refused.
// False, with the old file untouched, when any step fails.
bool writeFileAtomically(const std::string& path, std::string_view text, const char* tempSuffix = ".tmp");

// Reads a whole regular file of at most `maxBytes` bytes into `text`. Anything else is refused
// at once without waiting or reading: a FIFO or a device (the file is opened non-blocking and
// checked before any read), a folder, a larger file. False, with `text` untouched, on any
// failure.
bool readFileCapped(const std::string& path, std::size_t maxBytes, std::string& text);
