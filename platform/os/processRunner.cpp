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
std::atomic<ProgramFilter> programFilter{nullptr};
thread_local bool insidePump = false;

bool isStrippedVariable(std::string_view entry) {
  const std::string_view name = entry.substr(0, entry.find('='));
  return name == "LD_PRELOAD" || name == "LD_LIBRARY_PATH";
}

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(path.c_str(), X_OK) != 0)
    return false;
  const ProgramFilter filter = programFilter.load();
  return filter == nullptr || filter(path);
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

// Reads whatever the pipe holds right now into `into` (up to kMaxProcessOutput bytes; the rest
// is read and dropped, noted in `truncated`), also writing it to our standard error when
// `echo` is set. Returns false at end of file.
bool drainPipe(int fd, std::string& into, bool& truncated, bool echo) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      if (echo) {
        for (ssize_t done = 0; done < n;) {
          const ssize_t w = ::write(STDERR_FILENO, buffer + done, static_cast<std::size_t>(n - done));
          if (w > 0) {
            done += w;
          } else if (w < 0 && errno == EINTR) {
            continue;
          } else {
            break;  // our standard error is gone; the child's text is still kept
          }
        }
      }
      const std::size_t room = kMaxProcessOutput - into.size();
      const std::size_t keep = static_cast<std::size_t>(n) < room ? static_cast<std::size_t>(n) : room;
      into.append(buffer, keep);
      if (keep < static_cast<std::size_t>(n)) truncated = true;
      continue;
    }
    if (n == 0) return false;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;  // any other error ends reading
  }
}

// The child's two output pipes, read as they fill.
struct OutputPipes {
  int fd[2];  // standard output, standard error
  bool open[2];
  bool errorTruncated = false;
  void drain(int k, ProcessResult& result) {
    if (!open[k]) return;
    open[k] = k == 0 ? drainPipe(fd[0], result.output, result.outputTruncated, false)
                     : drainPipe(fd[1], result.errorOutput, errorTruncated, true);
  }
};

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

// Starts the child with the pipes' write ends as its standard output and standard error;
// returns its pid or -1. With write ends of -1 (a detached child) the output goes to
// /dev/null, the error stays ours and the child gets a session of its own.
pid_t spawnChild(const std::string& program, const std::vector<std::string>& argv, const int (&readFds)[2],
                 const int (&writeFds)[2]) {
  const bool detached = writeFds[0] < 0;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }

  bool ok = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
            (detached ? posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0) == 0
                      : posix_spawn_file_actions_adddup2(&actions, writeFds[0], 1) == 0 &&
                            posix_spawn_file_actions_adddup2(&actions, writeFds[1], 2) == 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // The host's own descriptors (audio devices, sockets) are none of the dialog's business.
  ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
#else
  if (!detached) {
    for (const int fd : {readFds[0], readFds[1], writeFds[0], writeFds[1]})
      ok = ok && posix_spawn_file_actions_addclose(&actions, fd) == 0;
  }
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
       posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                                 (detached ? POSIX_SPAWN_SETSID : 0)) == 0;

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

ProgramFilter setProgramFilter(ProgramFilter filter) { return programFilter.exchange(filter); }

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

  int readFds[2] = {-1, -1};
  int writeFds[2] = {-1, -1};
  auto closeAll = [&] {
    for (int* fd : {&readFds[0], &readFds[1], &writeFds[0], &writeFds[1]}) {
      if (*fd >= 0) ::close(*fd);
      *fd = -1;
    }
  };
  for (int k = 0; k < 2; ++k) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
      closeAll();
      return result;
    }
    readFds[k] = fds[0];
    writeFds[k] = fds[1];
    if (!moveAboveStdio(readFds[k]) || !moveAboveStdio(writeFds[k])) {
      closeAll();
      return result;
    }
  }
  const pid_t pid = spawnChild(program, argv, readFds, writeFds);
  // Only the child writes; the read ends see end of file once it is done.
  ::close(writeFds[0]);
  ::close(writeFds[1]);
  writeFds[0] = writeFds[1] = -1;
  if (pid < 0) {
    closeAll();
    return result;
  }
  result.started = true;
  OutputPipes pipes{{readFds[0], readFds[1]}, {true, true}};
  for (const int fd : readFds) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);

  RunningGuard running;
  for (;;) {
    pollfd p[2] = {{readFds[0], POLLIN, 0}, {readFds[1], POLLIN, 0}};
    // A closed pipe is left out of the poll (a negative descriptor is ignored).
    for (int k = 0; k < 2; ++k)
      if (!pipes.open[k]) p[k].fd = -1;
    if (::poll(p, 2, kPumpIntervalMs) > 0) {
      for (int k = 0; k < 2; ++k)
        if (p[k].revents != 0) pipes.drain(k, result);
    }

    int status = 0;
    const pid_t w = ::waitpid(pid, &status, WNOHANG);
    if (w == pid || (w < 0 && errno != EINTR)) {
      // A child that has ended wrote everything it will write; whatever a grandchild keeps
      // open must not hold us here. With w < 0 (a host that reaps children itself) the
      // status is lost and the result reports neither exit nor signal.
      if (w == pid) recordStatus(status, result);
      pipes.drain(0, result);
      pipes.drain(1, result);
      break;
    }
    callPumpHook();
  }
  closeAll();
  return result;
}

namespace {

// Detached children not yet reaped. GUI thread only; the lock guards a host that calls from
// more than one thread anyway.
std::mutex detachedMutex;
std::vector<pid_t> detachedChildren;

int reapLocked() {
  std::erase_if(detachedChildren, [](pid_t pid) {
    int status = 0;
    pid_t w;
    do {
      w = ::waitpid(pid, &status, WNOHANG);
    } while (w < 0 && errno == EINTR);
    // Gone too when the host reaps children itself (ECHILD).
    return w == pid || w < 0;
  });
  return static_cast<int>(detachedChildren.size());
}

}  // namespace

bool startDetached(const std::vector<std::string>& argv) {
  std::lock_guard<std::mutex> lock(detachedMutex);
  reapLocked();
  if (argv.empty()) return false;
  const std::string program = findExecutable(argv[0]);
  if (program.empty()) return false;
  const int none[2] = {-1, -1};
  const pid_t pid = spawnChild(program, argv, none, none);
  if (pid < 0) return false;
  detachedChildren.push_back(pid);
  return true;
}

int reapDetachedChildren() {
  std::lock_guard<std::mutex> lock(detachedMutex);
  return reapLocked();
}

void setModalPumpHook(ModalPumpHook hook) {
  std::lock_guard<std::mutex> lock(hookMutex);
  pumpHook = std::move(hook);
}

bool isModalChildRunning() { return childrenRunning.load() > 0; }

}  // namespace platform
