#include "dialogBackend.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

namespace platform {

namespace {

// How long a display over the network may take to accept a connection.
constexpr int kDisplayConnectTimeoutMs = 2000;

// Connects a fresh socket to `address` and closes it again; true when the connection was accepted.
bool connects(int family, const sockaddr* address, socklen_t length) {
  const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  bool ok = ::connect(fd, address, length) == 0;
  if (!ok && errno == EINPROGRESS) {
    pollfd p{fd, POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    ok = ::poll(&p, 1, kDisplayConnectTimeoutMs) == 1 &&
         ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
  }
  ::close(fd);
  return ok;
}

// A Unix socket by path, or in the abstract namespace (where X servers on Linux listen too).
bool unixSocketAnswers(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t lead = abstract ? 1 : 0;
  if (path.empty() || lead + path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + lead, path.data(), path.size());
  const auto length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + lead + path.size() + (abstract ? 0 : 1));
  return connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length);
}

bool tcpDisplayAnswers(std::string host, int number) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(6000 + number).c_str(), &hints, &found) != 0) return false;
  bool ok = false;
  for (const addrinfo* a = found; a != nullptr && !ok; a = a->ai_next)
    ok = connects(a->ai_family, a->ai_addr, a->ai_addrlen);
  ::freeaddrinfo(found);
  return ok;
}

// "3.44.0" -> 3; 0 when the text starts with no number.
int majorVersionOf(const std::string& text) {
  int major = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), major);
  return error == std::errc() && end != text.data() && major > 0 ? major : 0;
}

class SystemDialogBackend final : public IDialogBackend {
 public:
  DialogTool availableTool() override { return findDialogTool(); }

  // zenity's version, asked once for each zenity found (it needs a display even for that).
  int toolMajorVersion(DialogTool tool) override {
    if (tool != DialogTool::zenity) return 0;
    const std::string path = findExecutable("zenity");
    if (path.empty()) return 0;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (path == versionPath_) return version_;
    }
    if (!displayReachable(std::getenv("DISPLAY"))) return 0;
    const ProcessResult result = runProcess({path, "--version"});
    const int major = outcomeOf(result) == DialogOutcome::ok ? majorVersionOf(result.output) : 0;
    if (major > 0) {
      const std::lock_guard<std::mutex> lock(mutex_);
      versionPath_ = path;
      version_ = major;
    }
    return major;
  }

  ProcessResult runDialog(const std::vector<std::string>& argv) override {
    if (!displayReachable(std::getenv("DISPLAY"))) return {};  // not started: nowhere to show it
    return runProcess(argv);
  }

 private:
  std::mutex mutex_;
  std::string versionPath_;
  int version_ = 0;
};

SystemDialogBackend systemBackend;
IDialogBackend* installedBackend = nullptr;

std::string replaceAll(const std::string& text, char what, const char* with) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == what) {
      out += with;
    } else {
      out += c;
    }
  }
  return out;
}

// zenity reads escape sequences in an entry's label and underlines the letter after '_'.
std::string zenityLabel(const std::string& label) {
  return replaceAll(replaceAll(label, '\\', "\\\\"), '_', "__");
}

// kdialog reads "\n" and "\\" in message texts and file filters.
std::string kdialogText(const std::string& text) { return replaceAll(text, '\\', "\\\\"); }

// kdialog shows message texts and input box labels as rich text (a "<b>" draws bold), reads
// backslash escapes in them, and takes '&' in a label as the mark of an accelerator. The text
// goes as escaped rich text, so that every character shows as typed: backslashes doubled, the
// markup characters as entities, line feeds as line breaks, runs of blanks kept.
std::string kdialogRichText(const std::string& text, bool label) {
  std::string out = "<qt>";
  char previous = ' ';  // blanks at the start are kept too
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += label ? "&amp;&amp;" : "&amp;";
        break;
      case '\n':
        out += "<br>";
        break;
      case ' ':
        out += previous == ' ' ? "&nbsp;" : " ";
        break;
      default:
        out += c;
        break;
    }
    previous = c;
  }
  return out + "</qt>";
}

// kdialog takes the start folder as the value of its dialog option; "." stands for "none",
// and a path that looks like an option is made explicitly relative.
std::string kdialogPath(const std::string& path) {
  if (path.empty()) return ".";
  if (path[0] == '-') return "./" + path;
  return path;
}

std::string withTrailingSlash(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + '/';
}

// An extension must not carry the separators of the programs' filter syntax.
bool usableExtension(const std::string& ext) {
  if (ext.empty()) return false;
  for (unsigned char c : ext) {
    if (c <= ' ' || c == 0x7F || c == '|' || c == '(' || c == ')' || c == '\\') return false;
  }
  return true;
}

std::string startPath(const FileDialogRequest& request) {
  if (!request.save) return withTrailingSlash(request.initialDir);
  if (request.defaultName.empty()) return withTrailingSlash(request.initialDir);
  return withTrailingSlash(request.initialDir) + request.defaultName;
}

}  // namespace

IDialogBackend& dialogBackend() { return installedBackend != nullptr ? *installedBackend : systemBackend; }

IDialogBackend* setDialogBackend(IDialogBackend* backend) {
  IDialogBackend* previous = installedBackend;
  installedBackend = backend;
  return previous;
}

DialogTool findDialogTool() {
  if (!findExecutable("zenity").empty()) return DialogTool::zenity;
  if (!findExecutable("kdialog").empty()) return DialogTool::kdialog;
  return DialogTool::none;
}

bool displayReachable(const char* display) {
  if (display == nullptr || *display == 0) return false;
  const std::string text = display;
  if (text[0] == '/') return unixSocketAnswers(text, false);  // a socket path
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos) return false;
  std::string host = text.substr(0, colon);
  std::string protocol;
  if (const std::size_t slash = host.find('/'); slash != std::string::npos) {
    protocol = host.substr(0, slash);
    host = host.substr(slash + 1);
  }
  // The display number, then an optional ".screen".
  const std::string rest = text.substr(colon + 1);
  const std::size_t dot = rest.find('.');
  const std::string screen = dot == std::string::npos ? "0" : rest.substr(dot + 1);
  const std::string digits = rest.substr(0, dot);
  int number = -1;
  const auto isNumber = [](const std::string& t) {
    return !t.empty() && t.size() <= 5 && t.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!isNumber(digits) || !isNumber(screen)) return false;
  std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (number > 59535) return false;  // no TCP port for it
  if (protocol == "unix" || (protocol.empty() && (host.empty() || host == "unix"))) {
    const std::string socketPath = "/tmp/.X11-unix/X" + std::to_string(number);
    return unixSocketAnswers(socketPath, false) || unixSocketAnswers(socketPath, true);
  }
  return !host.empty() && tcpDisplayAnswers(host, number);
}

int dialogWidth(const std::string& title, const std::string& text) {
  // Characters, not bytes: UTF-8 continuation bytes take no room of their own.
  const auto characters = [](std::string_view line) {
    return static_cast<int>(
        std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  };
  int longestLine = 0;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    longestLine = std::max(longestLine, characters(std::string_view(text).substr(start, end - start)));
    start = end + 1;
  }
  // About 9 px a character of a bold title plus the bar's buttons; 7 px a character of the
  // text plus the icon and margins, up to the width past which a message wraps anyway.
  const int forTitle = 9 * std::min(characters(title), 200) + 100;
  const int forText = std::min(7 * std::min(longestLine, 200) + 120, 560);
  return std::min(std::max(forTitle, forText), kDialogMaxWidth);
}

std::vector<std::string> messageCommand(DialogTool tool, const std::string& title, const std::string& text,
                                        bool withCancel) {
  const std::string width = "--width=" + std::to_string(dialogWidth(title, text));
  switch (tool) {
    case DialogTool::zenity:
      if (withCancel) {
        return {"zenity",      "--question",    "--title=" + title,      width,
                "--no-markup", "--ok-label=OK", "--cancel-label=Cancel", "--text=" + text};
      }
      return {"zenity", "--info", "--title=" + title, width, "--no-markup", "--text=" + text};
    case DialogTool::kdialog:
      if (withCancel) {
        return {"kdialog",     "--title", title,
                "--yes-label", "OK",      "--no-label",
                "Cancel",      "--yesno", kdialogRichText(text, false)};
      }
      return {"kdialog", "--title", title, "--msgbox", kdialogRichText(text, false)};
    case DialogTool::none:
      break;
  }
  return {};
}

std::vector<std::string> inputCommand(DialogTool tool, const std::string& title, const std::string& label,
                                      const std::string& text) {
  switch (tool) {
    case DialogTool::zenity:
      return {"zenity",
              "--entry",
              "--title=" + title,
              "--width=" + std::to_string(dialogWidth(title, label)),
              "--text=" + zenityLabel(label),
              "--entry-text=" + text};
    case DialogTool::kdialog:
      // The preset text is a positional argument: after "--" a text such as "-5.0" is no option.
      return {"kdialog", "--title", title, "--inputbox", kdialogRichText(label, true), "--", text};
    case DialogTool::none:
      break;
  }
  return {};
}

std::vector<std::string> fileCommand(DialogTool tool, const FileDialogRequest& request,
                                     int toolMajorVersion) {
  std::vector<std::string> extensions;
  for (const std::string& ext : request.extensions) {
    if (usableExtension(ext)) extensions.push_back(ext);
  }
  const std::string start = startPath(request);
  std::vector<std::string> cmd;
  switch (tool) {
    case DialogTool::zenity:
      cmd = {"zenity", "--file-selection"};
      if (request.save) {
        cmd.emplace_back("--save");
        if (toolMajorVersion < 4) cmd.emplace_back("--confirm-overwrite");
      }
      if (!request.title.empty()) cmd.push_back("--title=" + request.title);
      if (!start.empty()) cmd.push_back("--filename=" + start);
      for (const std::string& ext : extensions) cmd.push_back("--file-filter=" + ext + " | *." + ext);
      break;
    case DialogTool::kdialog: {
      cmd = {"kdialog"};
      if (!request.title.empty()) {
        cmd.emplace_back("--title");
        cmd.push_back(request.title);
      }
      cmd.emplace_back(request.save ? "--getsavefilename" : "--getopenfilename");
      cmd.push_back(kdialogPath(start));
      if (!extensions.empty()) {
        std::string filter;
        for (const std::string& ext : extensions) {
          if (!filter.empty()) filter += '\n';
          filter += "*." + ext + "|" + ext;
        }
        cmd.emplace_back("--");
        cmd.push_back(kdialogText(filter));
      }
      break;
    }
    case DialogTool::none:
      break;
  }
  return cmd;
}

DialogOutcome outcomeOf(const ProcessResult& result) {
  if (!result.started || !result.exited || result.outputTruncated) return DialogOutcome::failed;
  // GTK's words when it finds no X server (zenity then exits 1, as for Cancel).
  if (result.errorOutput.find("cannot open display") != std::string::npos) return DialogOutcome::failed;
  if (result.exitCode == 0) return DialogOutcome::ok;
  if (result.exitCode == 1 || result.exitCode == 2) return DialogOutcome::cancelled;
  return DialogOutcome::failed;
}

std::string answerText(const std::string& output) {
  if (!output.empty() && output.back() == '\n') return output.substr(0, output.size() - 1);
  return output;
}

bool runFileDialog(const FileDialogRequest& request, std::string& chosenPath) {
  IDialogBackend& backend = dialogBackend();
  const DialogTool tool = backend.availableTool();
  const std::string what = request.title.empty() ? std::string("File dialog") : request.title;
  if (tool == DialogTool::none) {
    reportUnshown(what + ": no file dialog can be shown (install zenity or kdialog)");
    return false;
  }
  const ProcessResult result = backend.runDialog(fileCommand(tool, request, backend.toolMajorVersion(tool)));
  const DialogOutcome outcome = outcomeOf(result);
  if (outcome == DialogOutcome::failed) {
    reportUnshown(what + ": the file dialog could not be shown");
    return false;
  }
  if (outcome != DialogOutcome::ok) return false;
  std::string path = answerText(result.output);
  if (path.empty()) return false;
  chosenPath = std::move(path);
  return true;
}

void reportUnshown(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", kMessageBoxTitle, text.c_str());
  std::fflush(stderr);
}

}  // namespace platform
