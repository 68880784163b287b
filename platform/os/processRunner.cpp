#include "processRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

extern char** environ;

namespace platform {

namespace {

std::mutex hookMutex;
ModalPumpHook pumpHook;
std::atomic<int> childrenRunning{0};
thread_local bool insidePump = false;

bool isStrippedVariable(std::string_view entry) {
  const std::string_view name = entry.substr(0, entry.find('='));
  return name == "LD_PRELOAD" || name == "LD_LIBRARY_PATH";
}

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Moves a descriptor to 3 or above, so that placing the pipe's write end on standard output
// in the child is always a real move (a descriptor already on 0..2 would keep its
// close-on-exec flag and the child would start without an output).
bool moveAboveStdio(int& fd) {
  if (fd > 2) return true;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (moved < 0) return false;
  ::close(fd);
  fd = moved;
  return true;
}

// Reads whatever the pipe holds right now. Returns false at end of file.
bool drainPipe(int fd, ProcessResult& result) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      const std::size_t room = kMaxProcessOutput - result.output.size();
      const std::size_t keep = static_cast<std::size_t>(n) < room ? static_cast<std::size_t>(n) : room;
      result.output.append(buffer, keep);
      if (keep < static_cast<std::size_t>(n)) result.outputTruncated = true;
      continue;
    }
    if (n == 0) return false;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;  // any other error ends reading
  }
}

void callPumpHook() {
  if (insidePump) return;
  ModalPumpHook hook;
  {
    std::lock_guard<std::mutex> lock(hookMutex);
    hook = pumpHook;
  }
  if (!hook) return;
  insidePump = true;
  try {
    hook();
  } catch (...) {
    // The child must still be waited for and reaped; a failing pump only loses a redraw.
  }
  insidePump = false;
}

void recordStatus(int status, ProcessResult& result) {
  if (WIFEXITED(status)) {
    result.exited = true;
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.termSignal = WTERMSIG(status);
  }
}

struct RunningGuard {
  RunningGuard() { ++childrenRunning; }
  ~RunningGuard() { --childrenRunning; }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;
};

// Starts the child with the pipe's write end as its standard output; returns its pid or -1.
pid_t spawnChild(const std::string& program, const std::vector<std::string>& argv, int readFd, int writeFd) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }

  bool ok = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
            posix_spawn_file_actions_adddup2(&actions, writeFd, 1) == 0;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // The host's own descriptors (audio devices, sockets) are none of the dialog's business.
  ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
#else
  ok = ok && posix_spawn_file_actions_addclose(&actions, readFd) == 0 &&
       posix_spawn_file_actions_addclose(&actions, writeFd) == 0;
#endif

  // Hosts block or ignore signals on their GUI thread; the dialog must start with defaults.
  sigset_t noSignals;
  sigemptyset(&noSignals);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGALRM, SIGUSR1, SIGUSR2}) {
    sigaddset(&defaults, sig);
  }
  ok = ok && posix_spawnattr_setsigmask(&attributes, &noSignals) == 0 &&
       posix_spawnattr_setsigdefault(&attributes, &defaults) == 0 &&
       posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;

  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  const std::vector<std::string> envStrings = childEnvironment(environ);
  std::vector<char*> env;
  env.reserve(envStrings.size() + 1);
  for (const std::string& e : envStrings) env.push_back(const_cast<char*>(e.c_str()));
  env.push_back(nullptr);

  pid_t pid = -1;
  if (ok && posix_spawnp(&pid, program.c_str(), &actions, &attributes, args.data(), env.data()) != 0) {
    pid = -1;
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return ok ? pid : -1;
}

}  // namespace

std::vector<std::string> childEnvironment(const char* const* env) {
  std::vector<std::string> out;
  if (env == nullptr) return out;
  for (; *env != nullptr; ++env) {
    if (!isStrippedVariable(*env)) out.emplace_back(*env);
  }
  return out;
}

std::string findExecutable(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return isExecutableFile(name) ? name : std::string();
  const char* pathVar = std::getenv("PATH");
  const std::string path = pathVar != nullptr ? pathVar : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string dir = path.substr(start, end - start);
    if (!dir.empty() && dir[0] == '/') {
      std::string candidate = dir;
      if (candidate.back() != '/') candidate += '/';
      candidate += name;
      if (isExecutableFile(candidate)) return candidate;
    }
    start = end + 1;
  }
  return {};
}

ProcessResult runProcess(const std::vector<std::string>& argv) {
  ProcessResult result;
  if (argv.empty()) return result;
  const std::string program = findExecutable(argv[0]);
  if (program.empty()) return result;

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return result;
  if (!moveAboveStdio(fds[0]) || !moveAboveStdio(fds[1])) {
    ::close(fds[0]);
    ::close(fds[1]);
    return result;
  }
  const int readFd = fds[0];
  const pid_t pid = spawnChild(program, argv, readFd, fds[1]);
  ::close(fds[1]);  // only the child writes; the read end sees end of file once it is done
  if (pid < 0) {
    ::close(readFd);
    return result;
  }
  result.started = true;
  ::fcntl(readFd, F_SETFL, ::fcntl(readFd, F_GETFL) | O_NONBLOCK);

  RunningGuard running;
  bool pipeOpen = true;
  for (;;) {
    if (pipeOpen) {
      pollfd p{readFd, POLLIN, 0};
      if (::poll(&p, 1, kPumpIntervalMs) > 0) pipeOpen = drainPipe(readFd, result);
    } else {
      ::poll(nullptr, 0, kPumpIntervalMs);
    }

    int status = 0;
    const pid_t w = ::waitpid(pid, &status, WNOHANG);
    if (w == pid || (w < 0 && errno != EINTR)) {
      // A child that has ended wrote everything it will write; whatever a grandchild keeps
      // open must not hold us here. With w < 0 (a host that reaps children itself) the
      // status is lost and the result reports neither exit nor signal.
      if (w == pid) recordStatus(status, result);
      if (pipeOpen) drainPipe(readFd, result);
      break;
    }
    callPumpHook();
  }
  ::close(readFd);
  return result;
}

void setModalPumpHook(ModalPumpHook hook) {
  std::lock_guard<std::mutex> lock(hookMutex);
  pumpHook = std::move(hook);
}

bool isModalChildRunning() { return childrenRunning.load() > 0; }

}  // namespace platform
