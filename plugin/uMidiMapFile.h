// The controller-map file (".ecs") and the controller number typed by the user, as plain
// text functions: the plug-in reads and writes the files, these decide what the text means.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tags.h"

namespace midimap {

inline constexpr int CC_COUNT = 128;
// The largest value a file may hold: one past the last tag, kept but never acting.
inline constexpr int32_t MAX_FILE_VALUE = NUM_PARAMS;
// Larger files are refused unread: a valid one is under a kilobyte.
inline constexpr std::size_t MAX_FILE_BYTES = 64 * 1024;

using CCMap = std::array<int32_t, CC_COUNT>;

// A file's text: exactly 128 decimal numbers 0..MAX_FILE_VALUE, one a line, blanks and line
// breaks around them being free. Anything else (fewer or more numbers, a word, a number out
// of range however long) fails: false, and `out` is untouched.
bool parseECS(std::string_view text, CCMap& out);

// The text of a file: the 128 values, each on its own line.
std::string formatECS(const CCMap& map);

// The controller number typed into the "Set MIDI CC" box: its leading integer (after blanks,
// with an optional sign) clamped to 0..127. nullopt when the text does not begin with one.
std::optional<int> parseControllerNumber(std::string_view text);

}  // namespace midimap
