#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <sstream>

#include "dialogTestSupport.h"
#include "platform/os/processRunner.h"
#include "support/expectValues.h"

using dialogtest::ScopedEnv;
using dialogtest::TempDir;
using platform::ProcessResult;
using platform::runProcess;

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

}  // namespace

TEST(ProcessRunner, CapturesOutputAndEachArgumentStaysWhole) {
  const ProcessResult r = runProcess({"printf", "[%s]\\n", "a b", "it's", "$(id)", "`id`", "x\ny", "", "-n"});
  EXPECT_VALUES({r.started, true}, {r.exited, true}, {r.exitCode, 0});
  EXPECT_EQ(r.output, "[a b]\n[it's]\n[$(id)]\n[`id`]\n[x\ny]\n[]\n[-n]\n");
  EXPECT_FALSE(r.outputTruncated);
}

TEST(ProcessRunner, StandardErrorIsPassedOnAndKept) {
  TempDir dir;
  dialogtest::writeScript(dir.file("warns"), "echo out\necho 'cannot open display: :9' >&2\nexit 1\n");
  testing::internal::CaptureStderr();
  const ProcessResult r = runProcess({dir.file("warns")});
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TEXTS({r.output, "out\n"}, {r.errorOutput, "cannot open display: :9\n"}, {err, "cannot open display: :9\n"});
  EXPECT_EQ(r.exitCode, 1);
  // A flood on standard error neither blocks nor grows without end.
  const ProcessResult flood = runProcess({"sh", "-c", "head -c 300000 /dev/zero >&2; echo done"});
  EXPECT_EQ(flood.output, "done\n");
  EXPECT_EQ(flood.errorOutput.size(), 300000u);
}

TEST(ProcessRunner, ExitCodesAndSignals) {
  TempDir dir;
  dialogtest::writeScript(dir.file("seven"), "echo partial\nexit 7\n");
  dialogtest::writeScript(dir.file("killed"), "kill -KILL $$\n");
  ProcessResult r = runProcess({dir.file("seven")});
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.exitCode, 7);
  EXPECT_EQ(r.output, "partial\n");

  r = runProcess({dir.file("killed")});
  EXPECT_VALUES({r.started, true}, {r.exited, false}, {r.termSignal, SIGKILL});

  r = runProcess({"false"});
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.exitCode, 1);
}

TEST(ProcessRunner, ProgramsThatCannotRunAreNotStarted) {
  EXPECT_FALSE(runProcess({}).started);
  EXPECT_FALSE(runProcess({""}).started);
  EXPECT_FALSE(runProcess({"grindle-no-such-program-anywhere"}).started);
  EXPECT_FALSE(runProcess({"/nonexistent/bin/true"}).started);

  TempDir dir;
  dialogtest::writeFile(dir.file("notexec"), "#!/bin/sh\nexit 0\n");  // not executable
  EXPECT_FALSE(runProcess({dir.file("notexec")}).started);
  EXPECT_FALSE(runProcess({dir.path()}).started);  // a folder
}

TEST(ProcessRunner, PathLookupSkipsEmptyAndRelativeEntries) {
  TempDir dir;
  dialogtest::writeScript(dir.file("grindle-tool"), "echo found\n");
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  {
    ScopedEnv path("PATH", ":.:grindle-rel");
    EXPECT_EQ(platform::findExecutable("grindle-tool"), "");
    EXPECT_FALSE(runProcess({"grindle-tool"}).started);
  }
  {
    ScopedEnv path("PATH", "/nonexistent::" + dir.path() + "/");
    EXPECT_EQ(platform::findExecutable("grindle-tool"), dir.file("grindle-tool"));
    EXPECT_EQ(runProcess({"grindle-tool"}).output, "found\n");
  }
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
}

TEST(ProcessRunner, OutputLargerThanThePipeDoesNotBlock) {
  const ProcessResult r = runProcess({"head", "-c", "300000", "/dev/zero"});
  EXPECT_VALUES({r.exitCode, 0}, {r.output.size(), 300000u}, {r.outputTruncated, false});
}

TEST(ProcessRunner, RunawayOutputIsCappedButTheChildStillEnds) {
  const ProcessResult r = runProcess({"head", "-c", std::to_string(platform::kMaxProcessOutput + 5000), "/dev/zero"});
  EXPECT_VALUES(
      {r.exited, true}, {r.exitCode, 0}, {r.output.size(), platform::kMaxProcessOutput}, {r.outputTruncated, true});
}

TEST(ProcessRunner, ChildEnvironmentDropsOnlyTheLoaderVariables) {
  const char* env[] = {"A=1",           "LD_PRELOAD=/x.so",   "LD_PRELOAD_EXTRA=y", "LD_LIBRARY_PATH=/lib/x",
                       "LD_LIBRARY_PATHS=z", "XLD_PRELOAD=w", "LD_PRELOAD",        "B=LD_PRELOAD=2",
                       nullptr};
  EXPECT_EQ(platform::childEnvironment(env),
            (std::vector<std::string>{"A=1", "LD_PRELOAD_EXTRA=y", "LD_LIBRARY_PATHS=z", "XLD_PRELOAD=w",
                                      "B=LD_PRELOAD=2"}));
  EXPECT_TRUE(platform::childEnvironment(nullptr).empty());
}

TEST(ProcessRunner, LoaderVariablesAreRemovedInTheChildOnly) {
  // A library that does not exist: if it reached the child, the loader would complain.
  ScopedEnv preload("LD_PRELOAD", "/nonexistent/grindle-test-preload.so");
  ScopedEnv libraryPath("LD_LIBRARY_PATH", "/nonexistent/grindle-test-libs");
  ScopedEnv mark("GRINDLE_TEST_MARK", "passed through");
  const ProcessResult r = runProcess({"env"});
  ASSERT_EQ(r.exitCode, 0);
  bool sawMark = false;
  for (const std::string& line : lines(r.output)) {
    EXPECT_NE(line.rfind("LD_PRELOAD=", 0), 0u) << line;
    EXPECT_NE(line.rfind("LD_LIBRARY_PATH=", 0), 0u) << line;
    if (line == "GRINDLE_TEST_MARK=passed through") sawMark = true;
  }
  EXPECT_TRUE(sawMark);
  ASSERT_NE(std::getenv("LD_PRELOAD"), nullptr);
  EXPECT_STREQ(std::getenv("LD_PRELOAD"), "/nonexistent/grindle-test-preload.so");
  EXPECT_STREQ(std::getenv("LD_LIBRARY_PATH"), "/nonexistent/grindle-test-libs");
}

TEST(ProcessRunner, ChildGetsNullInputAndNoneOfOurDescriptors) {
  const ProcessResult in = runProcess({"readlink", "/proc/self/fd/0"});
  EXPECT_EQ(in.output, "/dev/null\n");

  // A descriptor the host left open without close-on-exec.
  const int fd = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(fd, 3);
  const ProcessResult leaked = runProcess({"readlink", "/proc/self/fd/" + std::to_string(fd)});
  ::close(fd);
  EXPECT_TRUE(leaked.exited);
  EXPECT_NE(leaked.exitCode, 0);
  EXPECT_EQ(leaked.output, "");
}

TEST(ProcessRunner, IgnoredSignalsAreResetForTheChild) {
  // Hosts ignore signals such as SIGPIPE; the dialog program must get the default actions back.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction old {};
  ASSERT_EQ(::sigaction(SIGTERM, &ignore, &old), 0);
  TempDir dir;
  dialogtest::writeScript(dir.file("term-self"), "kill -TERM $$\nexit 3\n");
  const ProcessResult r = runProcess({dir.file("term-self")});
  ::sigaction(SIGTERM, &old, nullptr);
  EXPECT_FALSE(r.exited);
  EXPECT_EQ(r.termSignal, SIGTERM);
}

TEST(ProcessRunner, AGrandchildHoldingTheOutputDoesNotHoldTheCaller) {
  TempDir dir;
  // The background sleep inherits standard output; without the fix the caller waits for it.
  dialogtest::writeScript(dir.file("spawner"),
                          "sleep 600 &\necho $! > " + dialogtest::shellQuoted(dir.file("pid")) + "\necho done\n");
  const ProcessResult r = runProcess({dir.file("spawner")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "done\n");
  const int pid = std::atoi(dialogtest::readFile(dir.file("pid")).c_str());
  if (pid > 0) ::kill(pid, SIGKILL);
}

TEST(ProcessRunner, PumpHookRunsWhileTheChildRunsAndNeverNests) {
  int calls = 0;
  int nestedCalls = 0;
  bool inHook = false;
  bool sawRunning = false;
  int nestedExit = -1;
  platform::setModalPumpHook([&] {
    if (inHook) ++nestedCalls;
    inHook = true;
    ++calls;
    sawRunning = sawRunning || platform::isModalChildRunning();
    if (calls == 1) nestedExit = runProcess({"sleep", "0.1"}).exitCode;  // a dialog opened from an event
    inHook = false;
  });
  const ProcessResult r = runProcess({"sleep", "0.3"});
  platform::setModalPumpHook({});

  EXPECT_EQ(r.exitCode, 0);
  EXPECT_GE(calls, 2);
  EXPECT_VALUES({nestedCalls, 0}, {nestedExit, 0}, {sawRunning, true}, {platform::isModalChildRunning(), false});

  // Once removed, the hook is not called any more.
  const int before = calls;
  EXPECT_EQ(runProcess({"sleep", "0.05"}).exitCode, 0);
  EXPECT_EQ(calls, before);
}

TEST(ProcessRunner, AThrowingPumpHookDoesNotLoseTheChild) {
  int calls = 0;
  platform::setModalPumpHook([&] {
    ++calls;
    throw std::runtime_error("redraw failed");
  });
  TempDir dir;
  dialogtest::writeScript(dir.file("slow"), "sleep 0.1\necho end\n");
  const ProcessResult r = runProcess({dir.file("slow")});
  platform::setModalPumpHook({});
  EXPECT_GE(calls, 1);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.output, "end\n");
}
