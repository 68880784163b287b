#include "prefsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>

#include "stringHelpers.h"

using json = nlohmann::json;

// ---------------------------------------------------------------------------------------
// String encoding

namespace prefsformat {

bool isValidUtf8(std::string_view s) noexcept {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07u;
    } else {
      return false;  // continuation byte first, overlong lead (C0, C1) or beyond F4
    }
    if (n - i < len) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0u) != 0x80u) return false;
      cp = (cp << 6) | (cc & 0x3Fu);
    }
    if (len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) return false;
    if (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) return false;
    i += len;
  }
  return true;
}

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(unsigned char c) noexcept {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

std::string base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t v = (std::uint32_t(static_cast<unsigned char>(bytes[i])) << 16) |
                            (std::uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8) |
                            std::uint32_t(static_cast<unsigned char>(bytes[i + 2]));
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    std::uint32_t v = std::uint32_t(static_cast<unsigned char>(bytes[i])) << 16;
    if (rest == 2) v |= std::uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool base64Decode(std::string_view text, std::string& out) {
  out.clear();
  if (text.size() % 4 != 0) return false;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    int v[4];
    int pad = 0;
    for (int k = 0; k < 4; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      if (c == '=' && last && k >= 2) {
        v[k] = 0;
        ++pad;
        continue;
      }
      if (pad > 0) return false;  // data after padding
      v[k] = base64Value(c);
      if (v[k] < 0) return false;
    }
    const std::uint32_t bits = (std::uint32_t(v[0]) << 18) | (std::uint32_t(v[1]) << 12) |
                               (std::uint32_t(v[2]) << 6) | std::uint32_t(v[3]);
    // Bits that padding leaves unused must be zero, so each byte string has one encoding.
    if ((pad == 1 && (bits & 0xFFu) != 0) || (pad == 2 && (bits & 0xFFFFu) != 0)) return false;
    out += static_cast<char>((bits >> 16) & 0xFF);
    if (pad < 2) out += static_cast<char>((bits >> 8) & 0xFF);
    if (pad < 1) out += static_cast<char>(bits & 0xFF);
  }
  return true;
}

}  // namespace prefsformat

// ---------------------------------------------------------------------------------------
// File access

namespace {

constexpr const char* kLockSuffix = ".lock";
constexpr const char* kTempSuffix = ".tmp";
constexpr const char* kUnreadableSuffix = ".unreadable";
constexpr const char* kBytesMember = "bytes";
// Anything larger is no preference file of ours.
constexpr off_t kMaxFileBytes = 16 * 1024 * 1024;
// Deeper nesting is refused so that writing the document back cannot exhaust the stack.
constexpr int kMaxDepth = 64;

struct FileId {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtim{};
  timespec ctim{};

  bool operator==(const FileId& o) const noexcept {
    if (exists != o.exists) return false;
    if (!exists) return true;
    return dev == o.dev && ino == o.ino && size == o.size && mtim.tv_sec == o.mtim.tv_sec &&
           mtim.tv_nsec == o.mtim.tv_nsec && ctim.tv_sec == o.ctim.tv_sec && ctim.tv_nsec == o.ctim.tv_nsec;
  }
};

FileId idOf(const struct stat& st) noexcept {
  FileId id;
  id.exists = true;
  id.dev = st.st_dev;
  id.ino = st.st_ino;
  id.size = st.st_size;
  id.mtim = st.st_mtim;
  id.ctim = st.st_ctim;
  return id;
}

FileId idOfPath(const std::string& path) noexcept {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return idOf(st);
}

using Doc = std::shared_ptr<const json>;

Doc emptyDoc() {
  static const Doc empty = std::make_shared<const json>(json::object());
  return empty;
}

enum class LoadResult { Ok, Missing, Unreadable, IoError };

struct Loaded {
  LoadResult result = LoadResult::IoError;
  Doc doc;
  FileId id;
  std::string reason;
};

bool readAll(int fd, std::string& out) {
  char chunk[16384];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    out.append(chunk, static_cast<std::size_t>(got));
    if (out.size() > static_cast<std::size_t>(kMaxFileBytes)) return true;
  }
}

bool onlyWhitespace(const std::string& text) noexcept {
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
  }
  return true;
}

Loaded loadFile(const std::string& path) noexcept {
  Loaded l;
  try {
    // Non-blocking: a FIFO (or a device) in the file's place must not hang the host's scanner
    // waiting for a writer; only a regular file is read, anything else reads as no settings.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      if (errno == ENOENT || errno == ENOTDIR) {
        l.result = LoadResult::Missing;
        l.doc = emptyDoc();
      } else {
        l.reason = std::strerror(errno);
      }
      return l;
    }
    struct stat st {};
    std::string text;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const bool ok = regular && readAll(fd, text);
    ::close(fd);
    if (!ok) {
      l.reason = regular ? "read error" : "not a regular file";
      return l;
    }
    l.id = idOf(st);
    if (text.size() > static_cast<std::size_t>(kMaxFileBytes)) {
      l.result = LoadResult::Unreadable;
      l.reason = "file too large";
      return l;
    }
    if (onlyWhitespace(text)) {
      l.result = LoadResult::Ok;
      l.doc = emptyDoc();
      return l;
    }
    bool tooDeep = false;
    json::parser_callback_t depthGuard = [&tooDeep](int depth, json::parse_event_t, json&) {
      if (depth > kMaxDepth) tooDeep = true;
      return true;
    };
    json parsed = json::parse(text, depthGuard);
    if (tooDeep) {
      l.result = LoadResult::Unreadable;
      l.reason = "nested too deeply";
    } else if (!parsed.is_object()) {
      l.result = LoadResult::Unreadable;
      l.reason = "not a JSON object";
    } else {
      l.result = LoadResult::Ok;
      l.doc = std::make_shared<const json>(std::move(parsed));
    }
  } catch (const json::exception& e) {
    l.result = LoadResult::Unreadable;
    l.reason = e.what();
  } catch (...) {
    l.result = LoadResult::IoError;
    l.reason = "out of memory";
  }
  return l;
}

// Renames without ever replacing an existing file.
bool renameNoReplace(const std::string& from, const std::string& to) noexcept {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the flag: the caller holds the lock, so no cooperating writer
  // can create the target between the test and the rename.
  if (::access(to.c_str(), F_OK) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// Moves an unreadable file aside; the new name, or "" on failure.
std::string moveAside(const std::string& path) {
  const std::string base = path + kUnreadableSuffix;
  for (int n = 0; n < 1000; ++n) {
    const std::string candidate = n == 0 ? base : base + "." + std::to_string(n);
    if (renameNoReplace(path, candidate)) return candidate;
    if (errno != EEXIST) return {};
  }
  return {};
}

void report(const std::string& message) noexcept {
  const std::string line = "Grindle2: " + message + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

// An exclusive flock on "<file>.lock", held for the object's lifetime.
class FileLock {
 public:
  explicit FileLock(const std::string& lockPath) noexcept {
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const noexcept { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Writes the document next to its target, flushes it to disk and renames it into place.
bool replaceFile(const std::string& path, const json& doc) {
  return writeFileAtomically(path, doc.dump(2, ' ', false, json::error_handler_t::strict) + "\n",
                             kTempSuffix);
}

// ---------------------------------------------------------------------------------------
// Values

bool getString(const json& doc, const std::string& key, std::string& out) {
  const auto it = doc.find(key);
  if (it == doc.end()) return false;
  if (it->is_string()) {
    out = it->get_ref<const std::string&>();
    return true;
  }
  if (it->is_object() && it->size() == 1) {
    const auto bytes = it->find(kBytesMember);
    if (bytes != it->end() && bytes->is_string())
      return prefsformat::base64Decode(bytes->get_ref<const std::string&>(), out);
  }
  return false;
}

bool getInt(const json& doc, const std::string& key, int& out) {
  const auto it = doc.find(key);
  if (it == doc.end()) return false;
  if (it->is_number_unsigned()) {
    const auto v = it->get<std::uint64_t>();
    if (v > static_cast<std::uint64_t>(INT_MAX)) return false;
    out = static_cast<int>(v);
    return true;
  }
  if (it->is_number_integer()) {
    const auto v = it->get<std::int64_t>();
    if (v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
  }
  return false;
}

json encodeString(std::string_view value) {
  if (prefsformat::isValidUtf8(value)) return json(std::string(value));
  json wrapped = json::object();
  wrapped[kBytesMember] = prefsformat::base64Encode(value);
  return wrapped;
}

// Sets one member; false when it already held exactly that value.
bool setMember(json& doc, const std::string& key, json value) {
  const auto it = doc.find(key);
  if (it != doc.end() && *it == value) return false;
  doc[key] = std::move(value);
  return true;
}

std::string ccKey(int cc) {
  char text[8];
  const auto res = std::to_chars(text, text + sizeof text, cc);
  return std::string(text, res.ptr);
}

std::string capped(std::string s, int maxBytes) {
  if (maxBytes > 0 && s.size() > static_cast<std::size_t>(maxBytes - 1))
    s.resize(static_cast<std::size_t>(maxBytes - 1));
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The store

struct TPrefsStore::Impl {
  struct Layer {
    std::string path;
    Doc doc;    // null until loaded
    FileId id;  // identity of the file doc was read from
    // doc holds what the file holds (or the file is missing). False when defaults stand in
    // for a file that could not be read: such a cache must never be the base of a write.
    bool faithful = false;
    bool reported = false;
    FileId reportedId;  // the broken file last reported, so each is reported once
  };

  std::mutex cacheMutex;  // guards both layers
  std::mutex writeMutex;  // one writer of this object at a time; the flock orders the rest
  Layer user;
  Layer machine;

  // Reports a problem with a file unless this very file was reported already.
  void reportOnce(Layer& layer, const FileId& id, const std::string& message) {
    {
      std::lock_guard<std::mutex> g(cacheMutex);
      if (layer.reported && layer.reportedId == id) return;
      layer.reported = true;
      layer.reportedId = id;
    }
    report(message);
  }

  // Called with the file lock held: a readable document of the user file, moving an
  // unreadable file aside first. Null when the file can neither be read nor moved.
  Loaded loadForUpdate(const std::string& path) {
    FileId current = idOfPath(path);
    {
      std::lock_guard<std::mutex> g(cacheMutex);
      if (user.path == path && user.doc && user.faithful && user.id == current)
        return Loaded{LoadResult::Ok, user.doc, current, {}};
    }
    Loaded l = loadFile(path);
    if (l.result != LoadResult::Unreadable) return l;
    const std::string aside = moveAside(path);
    if (aside.empty()) {
      reportOnce(user, l.id,
                 "the preference file \"" + path + "\" could not be read (" + l.reason +
                     ") nor moved aside; settings are not saved until it is repaired or removed.");
      l.result = LoadResult::IoError;
      return l;
    }
    report("the preference file \"" + path + "\" could not be read (" + l.reason + "); it was moved to \"" +
           aside + "\" and default settings apply.");
    return Loaded{LoadResult::Missing, emptyDoc(), FileId{}, {}};
  }

  // The cached document of a layer, reloaded when its file changed.
  Doc snapshot(Layer& layer, bool isUser) {
    std::string path;
    {
      std::lock_guard<std::mutex> g(cacheMutex);
      path = layer.path;
    }
    if (path.empty()) return emptyDoc();
    const FileId current = idOfPath(path);
    {
      std::lock_guard<std::mutex> g(cacheMutex);
      if (layer.path == path && layer.doc && layer.id == current) return layer.doc;
    }
    Loaded l = loadFile(path);
    if (l.result == LoadResult::Unreadable) {
      if (isUser) {
        std::lock_guard<std::mutex> w(writeMutex);
        FileLock lock(path + kLockSuffix);
        if (lock.held()) {
          l = loadForUpdate(path);
        } else {
          reportOnce(layer, l.id,
                     "the preference file \"" + path + "\" could not be read (" + l.reason +
                         ") and its lock file could not be taken; default settings apply.");
        }
      } else {
        reportOnce(layer, l.id,
                   "the machine-wide preference file \"" + path + "\" could not be read (" + l.reason +
                       "); it is ignored.");
      }
    }
    if (l.result == LoadResult::IoError) {
      // No permission, or no regular file: the user's settings fall back to defaults, and
      // the file is left exactly as it is (writes refuse it too), so say so once.
      reportOnce(layer, l.id,
                 std::string(isUser ? "the preference file \"" : "the machine-wide preference file \"") +
                     path + "\" could not be read (" + l.reason +
                     "); default settings apply and it is left as it is.");
    }
    const bool faithful = l.result == LoadResult::Ok || l.result == LoadResult::Missing;
    if (!l.doc) {
      l.doc = emptyDoc();
      if (l.id == FileId{}) l.id = current;
    }
    std::lock_guard<std::mutex> g(cacheMutex);
    if (layer.path == path) {
      layer.doc = l.doc;
      layer.id = l.id;
      layer.faithful = faithful;
    }
    return l.doc;
  }

  // Applies `change` to the freshly read user file under the file lock and replaces the
  // file when something changed.
  bool update(const std::function<bool(json&)>& change) {
    std::lock_guard<std::mutex> w(writeMutex);
    std::string path;
    {
      std::lock_guard<std::mutex> g(cacheMutex);
      path = user.path;
    }
    if (path.empty()) return false;
    const std::string folder = getFileDriveDir(path);
    if (!folder.empty() && !makeDirectory(folder, 0700)) return false;
    FileLock lock(path + kLockSuffix);
    if (!lock.held()) return false;
    Loaded l = loadForUpdate(path);
    if (l.result == LoadResult::IoError || !l.doc) return false;
    json doc = *l.doc;
    Doc result = l.doc;
    FileId id = l.id;
    if (change(doc)) {
      if (!replaceFile(path, doc)) return false;
      result = std::make_shared<const json>(std::move(doc));
      id = idOfPath(path);
    }
    std::lock_guard<std::mutex> g(cacheMutex);
    if (user.path == path) {
      user.doc = std::move(result);
      user.id = id;
      user.faithful = true;
    }
    return true;
  }
};

TPrefsStore::TPrefsStore(std::string userFile, std::string machineFile) : impl_(std::make_unique<Impl>()) {
  impl_->user.path = std::move(userFile);
  impl_->machine.path = std::move(machineFile);
}

TPrefsStore::~TPrefsStore() = default;

void TPrefsStore::setFiles(std::string userFile, std::string machineFile) {
  {
    // The common case (nothing moved) must not wait for a write in progress.
    std::lock_guard<std::mutex> g(impl_->cacheMutex);
    if (impl_->user.path == userFile && impl_->machine.path == machineFile) return;
  }
  std::lock_guard<std::mutex> w(impl_->writeMutex);
  std::lock_guard<std::mutex> g(impl_->cacheMutex);
  if (impl_->user.path != userFile)
    impl_->user = Impl::Layer{std::move(userFile), nullptr, {}, false, false, {}};
  if (impl_->machine.path != machineFile)
    impl_->machine = Impl::Layer{std::move(machineFile), nullptr, {}, false, false, {}};
}

std::string TPrefsStore::userFile() const {
  std::lock_guard<std::mutex> g(impl_->cacheMutex);
  return impl_->user.path;
}

std::string TPrefsStore::machineFile() const {
  std::lock_guard<std::mutex> g(impl_->cacheMutex);
  return impl_->machine.path;
}

bool TPrefsStore::readString(const std::string& key, std::string& out) noexcept {
  try {
    return getString(*impl_->snapshot(impl_->user, true), key, out);
  } catch (...) {
    return false;
  }
}

bool TPrefsStore::readInt(const std::string& key, int& out) noexcept {
  try {
    return getInt(*impl_->snapshot(impl_->user, true), key, out);
  } catch (...) {
    return false;
  }
}

bool TPrefsStore::readMachineString(const std::string& key, std::string& out) noexcept {
  try {
    return getString(*impl_->snapshot(impl_->machine, false), key, out);
  } catch (...) {
    return false;
  }
}

std::string TPrefsStore::loadString(const std::string& key, int maxBytes) noexcept {
  try {
    std::string value;
    if (readString(key, value) && !value.empty()) return capped(std::move(value), maxBytes);
    // One-time copy of a machine-wide setting into the user's file.
    if (!readMachineString(key, value)) return {};
    if (!value.empty()) saveString(key, value);
    return capped(std::move(value), maxBytes);
  } catch (...) {
    return {};
  }
}

void TPrefsStore::loadString(const std::string& key, char* buffer, int len) noexcept {
  if (buffer == nullptr || len <= 0) return;
  buffer[0] = '\0';
  const std::string value = loadString(key, len);
  std::memcpy(buffer, value.data(), value.size());
  buffer[value.size()] = '\0';
}

int TPrefsStore::loadInt(const std::string& key) noexcept {
  int value = 0;
  return readInt(key, value) ? value : 0;
}

bool TPrefsStore::getRegisterIsOn(const std::string& key, bool defaultOn) noexcept {
  const std::string value = loadString(key, 127);
  if (value == "Y") return true;
  if (value == "N") return false;
  return defaultOn;
}

bool TPrefsStore::setRegisterIsOn(const std::string& key, bool on) noexcept {
  return saveString(key, on ? "Y" : "N");
}

bool TPrefsStore::saveString(const std::string& key, std::string_view value) noexcept {
  if (!prefsformat::isValidUtf8(key)) return false;
  try {
    json encoded = encodeString(value);
    return impl_->update([&](json& doc) { return setMember(doc, key, std::move(encoded)); });
  } catch (...) {
    return false;
  }
}

bool TPrefsStore::saveInt(const std::string& key, int value) noexcept {
  if (!prefsformat::isValidUtf8(key)) return false;
  try {
    return impl_->update([&](json& doc) { return setMember(doc, key, json(value)); });
  } catch (...) {
    return false;
  }
}

bool TPrefsStore::saveInts(const std::vector<std::pair<std::string, int>>& values) noexcept {
  for (const auto& kv : values) {
    if (!prefsformat::isValidUtf8(kv.first)) return false;
  }
  if (values.empty()) return true;
  try {
    return impl_->update([&](json& doc) {
      bool changed = false;
      for (const auto& kv : values) changed = setMember(doc, kv.first, json(kv.second)) || changed;
      return changed;
    });
  } catch (...) {
    return false;
  }
}

int TPrefsStore::getMidiCC(int cc) noexcept {
  if (cc < 0 || cc > 127) return 0;
  try {
    return loadInt(ccKey(cc));
  } catch (...) {
    return 0;
  }
}

void TPrefsStore::getMidiCCs(int (&tags)[128]) noexcept {
  for (int& t : tags) t = 0;
  try {
    const Doc doc = impl_->snapshot(impl_->user, true);
    for (int cc = 0; cc < 128; ++cc)
      if (!getInt(*doc, ccKey(cc), tags[cc])) tags[cc] = 0;
  } catch (...) {
    for (int& t : tags) t = 0;
  }
}

bool TPrefsStore::setMidiCC(int cc, int tag) noexcept {
  if (cc < 0 || cc > 127) return false;
  try {
    return saveInt(ccKey(cc), tag);
  } catch (...) {
    return false;
  }
}

std::string TPrefsStore::loadFolder(const std::string& key, const std::string& fallback) noexcept {
  try {
    std::string value = loadString(key);
    if (!value.empty() || fallback.empty()) return value;
    saveString(key, fallback);
    return fallback;
  } catch (...) {
    return {};
  }
}
