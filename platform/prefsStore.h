// The per-user preference store: one JSON file shared by every instance of the plug-in
// in every host process of the user, plus a read-only machine-wide file of the same name
// whose string values are copied to the user once (the first time a key is missing there).
//
// File format: one JSON object. Integers are JSON integers. A string that is valid UTF-8
// is a JSON string; any other string (a path can be any bytes) is stored as the object
// {"bytes": "<base64 of the raw bytes>"}, so every string round-trips unchanged. A value
// of any other shape reads like a missing one.
//
// Writers serialise on an exclusive flock of "<file>.lock", re-read the file, change only
// their keys, write "<file>.tmp", fsync it and rename it over the file, so no writer loses
// another's keys and a crash never leaves a half-written file. Reads come from a cache
// that is reloaded whenever the file's identity (inode, size, times) changes.
//
// A file that cannot be parsed is renamed to "<file>.unreadable" (or ".unreadable.N" when
// that exists), reported once on stderr, and reads see defaults. No exception leaves this
// class; failures read as missing values and writes answer false.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TPrefsStore {
 public:
  // userFile: the read-write file. machineFile: the read-only machine-wide file, "" for none.
  explicit TPrefsStore(std::string userFile, std::string machineFile = {});
  ~TPrefsStore();
  TPrefsStore(const TPrefsStore&) = delete;
  TPrefsStore& operator=(const TPrefsStore&) = delete;

  // Points the store at other files (the cache is dropped). Safe while other threads use it.
  void setFiles(std::string userFile, std::string machineFile);
  std::string userFile() const;
  std::string machineFile() const;

  // The user's own value only, no migration. False when missing or of another kind.
  bool readString(const std::string& key, std::string& out) noexcept;
  bool readInt(const std::string& key, int& out) noexcept;
  // The machine-wide value only.
  bool readMachineString(const std::string& key, std::string& out) noexcept;

  // A string value: the user's when it is a non-empty string; otherwise the machine-wide
  // string, which is then written to the user's file; otherwise "". With maxBytes > 0 the
  // text is cut to maxBytes - 1 bytes (room for a terminator, as in a caller's buffer).
  std::string loadString(const std::string& key, int maxBytes = 0) noexcept;
  // The same into a caller's buffer of len bytes, always terminated (nothing when len <= 0).
  void loadString(const std::string& key, char* buffer, int len) noexcept;
  // The user's integer value; 0 when missing or not an integer in the int range.
  int loadInt(const std::string& key) noexcept;

  // Yes/no values: exactly "Y" is on, exactly "N" is off, anything else the default.
  bool getRegisterIsOn(const std::string& key, bool defaultOn) noexcept;
  bool setRegisterIsOn(const std::string& key, bool on) noexcept;

  // Writes that answer true when the value is in the file afterwards.
  bool saveString(const std::string& key, std::string_view value) noexcept;
  bool saveInt(const std::string& key, int value) noexcept;
  // Several integers under one lock and one file replacement.
  bool saveInts(const std::vector<std::pair<std::string, int>>& values) noexcept;

  // The controller map: key "0".."127", value the parameter tag (0 = none).
  // A controller number outside 0..127 reads 0 and is never written.
  int getMidiCC(int cc) noexcept;
  bool setMidiCC(int cc, int tag) noexcept;
  // The whole map from one look at the file: an instance reads all 128 as it starts, and one
  // check of the file instead of 128 is most of what a later instance's start costs.
  void getMidiCCs(int (&tags)[128]) noexcept;

  // A folder setting: the stored string, or, when that is empty, `fallback`, which is
  // then written back. Not cut to any buffer length.
  std::string loadFolder(const std::string& key, const std::string& fallback) noexcept;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Encoding of string values in the file (exposed for tests and tools).
namespace prefsformat {
bool isValidUtf8(std::string_view text) noexcept;
std::string base64Encode(std::string_view bytes);
// False on any character outside the alphabet, wrong padding or wrong length.
bool base64Decode(std::string_view text, std::string& out);
}  // namespace prefsformat
