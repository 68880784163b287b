// Child processes: the dialogs' runner that waits without freezing the caller, and the children
// started without waiting (the manual viewer), reaped later without a thread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "dialogTestSupport.h"
#include "platform/os/processRunner.h"
#include "support/expectValues.h"

using dialogtest::ScopedEnv;
using dialogtest::TempDir;
using dialogtest::writeScript;
using platform::ProcessResult;
using platform::runProcess;

TEST(ProcessRunner, ExitsSignalsAndOutputsEachArgumentWhole) {
  // Hosts ignore signals such as SIGTERM or SIGPIPE; the dialog program must get the default
  // actions back.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction old {};
  ASSERT_EQ(::sigaction(SIGTERM, &ignore, &old), 0);
  TempDir dir;
  writeScript(dir.file("seven"), "echo partial\nexit 7\n");
  writeScript(dir.file("killed"), "kill -KILL $$\n");
  writeScript(dir.file("term-self"), "kill -TERM $$\nexit 3\n");
  const std::size_t cap = platform::kMaxProcessOutput;
  struct Case {
    std::vector<std::string> argv;
    bool exited;
    int code, signal;
    bool truncated;
    const char* output;  // nullptr: only its size is checked
    std::size_t outputSize = 0;
  };
  const Case cases[] = {
      {{dir.file("seven")}, true, 7, 0, false, "partial\n"},
      {{"false"}, true, 1, 0, false, ""},
      {{dir.file("killed")}, false, -1, SIGKILL, false, ""},
      {{dir.file("term-self")}, false, -1, SIGTERM, false, ""},
      // Output larger than the pipe does not block; runaway output is capped but the child ends.
      {{"head", "-c", "300000", "/dev/zero"}, true, 0, 0, false, nullptr, 300000},
      {{"head", "-c", std::to_string(cap + 5000), "/dev/zero"}, true, 0, 0, true, nullptr, cap},
      // Standard input is /dev/null.
      {{"readlink", "/proc/self/fd/0"}, true, 0, 0, false, "/dev/null\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argv[0]);
    const ProcessResult r = runProcess(c.argv);
    EXPECT_VALUES({r.started, true}, {r.exited, c.exited}, {r.exitCode, c.code}, {r.termSignal, c.signal},
                  {r.outputTruncated, c.truncated});
    if (c.output) {
      EXPECT_EQ(r.output, c.output);
    } else {
      EXPECT_EQ(r.output.size(), c.outputSize);
    }
  }
  ::sigaction(SIGTERM, &old, nullptr);
  EXPECT_EQ(runProcess({"printf", "[%s]\\n", "a b", "it's", "$(id)", "`id`", "x\ny", "", "-n"}).output,
            "[a b]\n[it's]\n[$(id)]\n[`id`]\n[x\ny]\n[]\n[-n]\n");
}

TEST(ProcessRunner, StandardErrorIsPassedOnAndKept) {
  TempDir dir;
  writeScript(dir.file("warns"), "echo out\necho 'cannot open display: :9' >&2\nexit 1\n");
  testing::internal::CaptureStderr();
  const ProcessResult r = runProcess({dir.file("warns")});
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TEXTS({r.output, "out\n"}, {r.errorOutput, "cannot open display: :9\n"},
               {err, "cannot open display: :9\n"});
  // A flood on standard error neither blocks nor grows without end.
  testing::internal::CaptureStderr();
  const ProcessResult flood = runProcess({"sh", "-c", "head -c 300000 /dev/zero >&2; echo done"});
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(flood.output, "done\n");
  EXPECT_EQ(flood.errorOutput.size(), 300000u);
}

TEST(ProcessRunner, OnlyRealProgramsFromAbsolutePathEntriesStart) {
  TempDir dir;
  dialogtest::writeFile(dir.file("notexec"), "#!/bin/sh\nexit 0\n");  // not executable
  EXPECT_VALUES({runProcess({}).started, false}, {runProcess({""}).started, false},
                {runProcess({"grindle-no-such-program-anywhere"}).started, false},
                {runProcess({"/nonexistent/bin/true"}).started, false},
                {runProcess({dir.file("notexec")}).started, false},
                {runProcess({dir.path()}).started, false});

  // Empty and relative PATH entries are skipped: never a program from the host's working folder.
  writeScript(dir.file("grindle-tool"), "echo found\n");
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  {
    ScopedEnv path("PATH", ":.:grindle-rel");
    EXPECT_EQ(platform::findExecutable("grindle-tool"), "");
    EXPECT_FALSE(runProcess({"grindle-tool"}).started);
  }
  ScopedEnv path("PATH", "/nonexistent::" + dir.path() + "/");
  EXPECT_EQ(platform::findExecutable("grindle-tool"), dir.file("grindle-tool"));
  EXPECT_EQ(runProcess({"grindle-tool"}).output, "found\n");
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
}

// Test programs never start the desktop's dialog tools or browser launcher: only stand-ins in a
// temporary folder are found (a real zenity waits for a person).
TEST(ProcessRunner, TestsFindOnlyStandInsOfTheDesktopsPrograms) {
  const std::string outside = std::string(GRINDLE_BINARY_DIR) + "/tests/not-a-stand-in";
  dialogtest::TempDir inside;
  std::filesystem::create_directories(outside);
  for (const std::string& folder : {outside, inside.path()})
    for (const char* name : {"zenity", "kdialog", "xdg-open", "grindle-tool"})
      writeScript(folder + "/" + name, "echo ran\n");
  for (const std::string& folder : {outside, inside.path()}) {
    ScopedEnv path("PATH", folder);
    const bool standIns = folder == inside.path();
    for (const char* name : {"zenity", "kdialog", "xdg-open"}) {
      EXPECT_EQ(platform::findExecutable(name).empty(), !standIns) << folder << " " << name;
      EXPECT_EQ(runProcess({name}).started, standIns) << folder << " " << name;
    }
    EXPECT_EQ(runProcess({"grindle-tool"}).output, "ran\n") << folder;  // any other program starts
  }
  std::filesystem::remove_all(outside);
}

// The host's bundled libraries break the desktop's tools (the detached child below shows the
// variables gone in a real child).
TEST(ProcessRunner, ChildGetsNoLoaderVariablesAndNoneOfOurDescriptors) {
  const char* env[] = {"A=1",
                       "LD_PRELOAD=/x.so",
                       "LD_PRELOAD_EXTRA=y",
                       "LD_LIBRARY_PATH=/lib/x",
                       "LD_LIBRARY_PATHS=z",
                       "XLD_PRELOAD=w",
                       "LD_PRELOAD",
                       "B=LD_PRELOAD=2",
                       nullptr};
  EXPECT_EQ(platform::childEnvironment(env),
            (std::vector<std::string>{"A=1", "LD_PRELOAD_EXTRA=y", "LD_LIBRARY_PATHS=z", "XLD_PRELOAD=w",
                                      "B=LD_PRELOAD=2"}));
  EXPECT_TRUE(platform::childEnvironment(nullptr).empty());

  const int fd = ::open("/dev/null", O_RDONLY);  // left open by the host without close-on-exec
  ASSERT_GE(fd, 3);
  const ProcessResult leaked = runProcess({"readlink", "/proc/self/fd/" + std::to_string(fd)});
  ::close(fd);
  EXPECT_VALUES({leaked.exited, true}, {leaked.exitCode != 0, true}, {leaked.output.size(), 0});
}

TEST(ProcessRunner, AGrandchildHoldingTheOutputDoesNotHoldTheCaller) {
  TempDir dir;
  writeScript(dir.file("spawner"),
              "sleep 600 &\necho $! > " + dialogtest::shellQuoted(dir.file("pid")) + "\necho done\n");
  const ProcessResult r = runProcess({dir.file("spawner")});
  EXPECT_EQ(r.output, "done\n");
  const int pid = std::atoi(dialogtest::readFile(dir.file("pid")).c_str());
  if (pid > 0) ::kill(pid, SIGKILL);
}

TEST(ProcessRunner, PumpHookRunsWhileTheChildRunsNeverNestsAndMayThrow) {
  int calls = 0, nestedCalls = 0, nestedExit = -1;
  bool inHook = false, sawRunning = false;
  platform::setModalPumpHook([&] {
    if (inHook) ++nestedCalls;
    inHook = true;
    ++calls;
    sawRunning = sawRunning || platform::isModalChildRunning();
    if (calls == 1) nestedExit = runProcess({"sleep", "0.1"}).exitCode;  // a dialog opened from an event
    inHook = false;
  });
  EXPECT_EQ(runProcess({"sleep", "0.3"}).exitCode, 0);
  platform::setModalPumpHook({});
  EXPECT_VALUES({calls >= 2, true}, {nestedCalls, 0}, {nestedExit, 0}, {sawRunning, true},
                {platform::isModalChildRunning(), false});
  const int before = calls;  // once removed, the hook is not called any more
  EXPECT_EQ(runProcess({"sleep", "0.05"}).exitCode, 0);
  EXPECT_EQ(calls, before);

  platform::setModalPumpHook([&] {
    ++calls;
    throw std::runtime_error("redraw failed");
  });
  const ProcessResult r = runProcess({"sh", "-c", "sleep 0.1; echo end"});
  platform::setModalPumpHook({});
  EXPECT_GT(calls, before);
  EXPECT_EQ(r.output, "end\n");
}

namespace {

// Polls the reaper until no detached child is left; false after about five seconds.
bool allReaped() {
  for (int i = 0; i < 500; ++i) {
    if (platform::reapDetachedChildren() == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace

TEST(DetachedProcess, ReturnsAtOnceAndIsReapedLater) {
  TempDir dir;
  ASSERT_TRUE(allReaped());
  ASSERT_EQ(::mkfifo(dir.file("gate").c_str(), 0600), 0);
  // The child records its arguments, descriptors and environment, then waits at the gate.
  const auto q = [&](const char* name) { return dialogtest::shellQuoted(dir.file(name)); };
  writeScript(dir.file("viewer"), "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > " + q("args") +
                                      "\nfds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1)\necho \"$fds\" > " +
                                      q("fds") + "\necho \"${LD_LIBRARY_PATH-unset}\" > " + q("env") +
                                      "\nread x < " + q("gate") + "\n");
  const ScopedEnv path("PATH", dir.path() + ":/usr/bin:/bin");
  const ScopedEnv loader("LD_LIBRARY_PATH", "/host/bundled/libs");
  const std::vector<std::string> odd = {"/tmp/it's \"quoted\" $(id)", "-x", std::string(300, 'a')};

  ASSERT_TRUE(platform::startDetached({"viewer", odd[0], odd[1], odd[2]}));  // returns with the child held
  EXPECT_EQ(platform::reapDetachedChildren(), 1);
  int gate = -1;  // opening the gate succeeds once the child waits at it
  for (int i = 0; i < 500 && gate < 0; ++i) {
    gate = ::open(dir.file("gate").c_str(), O_WRONLY | O_NONBLOCK);
    if (gate < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_GE(gate, 0) << "the child never reached the gate";
  ::close(gate);
  EXPECT_TRUE(allReaped());
  EXPECT_EQ(dialogtest::splitNul(dialogtest::readFile(dir.file("args"))), odd);
  EXPECT_EQ(dialogtest::readFile(dir.file("fds")), "/dev/null\n/dev/null\n");
  EXPECT_EQ(dialogtest::readFile(dir.file("env")), "unset\n");

  EXPECT_FALSE(platform::startDetached({"no-such-viewer"}));
  EXPECT_FALSE(platform::startDetached({}));
  EXPECT_EQ(platform::reapDetachedChildren(), 0);
}
