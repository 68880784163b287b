// Children started without waiting (the manual viewer): started like the dialogs, returned
// from at once, and reaped later without a thread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "dialogTestSupport.h"
#include "platform/os/processRunner.h"

using dialogtest::ScopedEnv;
using dialogtest::TempDir;

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
  dialogtest::writeScript(dir.file("viewer"),
                          "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > " + dialogtest::shellQuoted(dir.file("args")) +
                              "\nfds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1)\necho \"$fds\" > " + dialogtest::shellQuoted(dir.file("fds")) +
                              "\necho \"${LD_LIBRARY_PATH-unset}\" > " + dialogtest::shellQuoted(dir.file("env")) +
                              "\nread x < " + dialogtest::shellQuoted(dir.file("gate")) + "\n");
  const ScopedEnv path("PATH", dir.path() + ":/usr/bin:/bin");
  const ScopedEnv loader("LD_LIBRARY_PATH", "/host/bundled/libs");
  const std::vector<std::string> odd = {"/tmp/it's \"quoted\" $(id)", "-x", std::string(300, 'a')};

  ASSERT_TRUE(platform::startDetached({"viewer", odd[0], odd[1], odd[2]}));  // returns with the child held
  EXPECT_EQ(platform::reapDetachedChildren(), 1);
  // Opening the gate succeeds once the child waits at it.
  int gate = -1;
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
}

TEST(DetachedProcess, LaterStartsReapEndedChildren) {
  TempDir dir;
  ASSERT_TRUE(allReaped());
  dialogtest::writeScript(dir.file("quick"), "exit 3\n");
  const ScopedEnv path("PATH", dir.path());
  ASSERT_TRUE(platform::startDetached({"quick"}));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(platform::startDetached({"quick"}));  // reaps the first one on its way
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(platform::reapDetachedChildren(), 0);

  EXPECT_FALSE(platform::startDetached({"no-such-viewer"}));
  EXPECT_FALSE(platform::startDetached({}));
  EXPECT_EQ(platform::reapDetachedChildren(), 0);
}
