#include "xvfbServer.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace testing_support {

namespace {

bool displayAnswers(const char* name) {
  if (!name || !*name) return false;
  Display* d = XOpenDisplay(name);
  if (!d) return false;
  XCloseDisplay(d);
  return true;
}

struct OwnedServer {
  int pid = -1;
  std::string display;
  ~OwnedServer() {
    if (pid > 0) stopXvfb(pid);
  }
};

OwnedServer gServer;

}  // namespace

std::string startXvfb(int& pid, int timeoutMs, std::string* why) {
  pid = -1;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    if (why) *why = "pipe failed";
    return "";
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The server writes its display number to descriptor 3; its output is not ours to show.
  posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> args = {"Xvfb",         "-displayfd", "3",   "-screen", "0",
                                   "1280x1024x24", "-nolisten",  "tcp", "-noreset"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = -1;
  const int rc = posix_spawnp(&child, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    if (why) *why = std::string("Xvfb could not be started: ") + std::strerror(rc);
    return "";
  }
  std::string number;
  int waited = 0;
  while (waited < timeoutMs) {
    pollfd p{fds[0], POLLIN, 0};
    const int n = poll(&p, 1, 50);
    waited += 50;
    if (n > 0) {
      char buf[32];
      const ssize_t got = read(fds[0], buf, sizeof buf);
      if (got <= 0) break;
      number.append(buf, static_cast<size_t>(got));
      if (number.find('\n') != std::string::npos) break;
    }
  }
  close(fds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
  if (number.empty()) {
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    if (why) *why = "Xvfb did not report a display";
    return "";
  }
  pid = child;
  return ":" + number;
}

void stopXvfb(int pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

bool ensureXServer(std::string* why) {
  if (!gServer.display.empty()) return true;
  // A private server first: tests play the user with real pointer moves and clicks, which must
  // never land on somebody's desktop, and parallel test processes must not share a pointer.
  int pid = -1;
  std::string failure;
  std::string name = startXvfb(pid, 10000, &failure);
  if (!name.empty() && displayAnswers(name.c_str())) {
    gServer.pid = pid;
    gServer.display = name;
    setenv("DISPLAY", name.c_str(), 1);
    return true;
  }
  if (pid > 0) stopXvfb(pid);
  if (failure.empty()) failure = "Xvfb started but does not answer on " + name;
  if (displayAnswers(std::getenv("DISPLAY"))) {
    gServer.display = std::getenv("DISPLAY");
    return true;
  }
  if (why) *why = failure + ", and DISPLAY names no reachable server";
  return false;
}

}  // namespace testing_support
