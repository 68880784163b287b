#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "prefsTestEnv.h"
#include "support/expectValues.h"

using nlohmann::json;
using prefstest::fileJson;
using prefstest::TempXdg;

namespace {

std::string keyOf(int writer, int k) {
  std::string key = std::to_string(writer);
  key.insert(0, 1, 'w');
  key += '_';
  key += std::to_string(k);
  return key;
}

// Every key every writer wrote is in the file with its value.
void expectAllKeys(const std::string& file, int writers, int keysEach) {
  const json doc = fileJson(file);
  int found = 0;
  for (int w = 0; w < writers; ++w) {
    for (int k = 0; k < keysEach; ++k) {
      const auto it = doc.find(keyOf(w, k));
      if (it != doc.end() && *it == w * 1000 + k) ++found;
    }
  }
  EXPECT_EQ(found, writers * keysEach);
}

// Polls until the condition holds or a generous limit passes; the limit only guards
// against hanging, it is no timing requirement.
template <typename Cond>
bool eventually(Cond cond) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return cond();
}

}  // namespace

TEST(PrefsConcurrency, ThreadsWritingDistinctKeysLoseNothing) {
  TempXdg env;
  constexpr int kOwnStores = 6;
  constexpr int kSharedStoreWriters = 3;
  constexpr int kKeys = 20;
  TPrefsStore shared(env.userFile());
  std::atomic<bool> go{false};
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int w = 0; w < kOwnStores + kSharedStoreWriters; ++w) {
    threads.emplace_back([&, w] {
      TPrefsStore own(env.userFile());
      TPrefsStore& store = w < kOwnStores ? own : shared;
      while (!go.load()) std::this_thread::yield();
      for (int k = 0; k < kKeys; ++k) {
        if (!store.saveInt(keyOf(w, k), w * 1000 + k)) ++failures;
        int ignored = 0;
        store.readInt(keyOf((w + 1) % kOwnStores, k), ignored);  // readers run alongside
      }
    });
  }
  go.store(true);
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  expectAllKeys(env.userFile(), kOwnStores + kSharedStoreWriters, kKeys);
  TPrefsStore fresh(env.userFile());
  EXPECT_EQ(fresh.loadInt(keyOf(kOwnStores, kKeys - 1)), kOwnStores * 1000 + kKeys - 1);
}

TEST(PrefsConcurrency, ProcessesWritingDistinctKeysLoseNothing) {
  TempXdg env;
  constexpr int kProcesses = 6;
  constexpr int kKeys = 20;
  TPrefsStore parent(env.userFile());
  ASSERT_TRUE(parent.saveInt("before", 1));
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int status = 0;
      {
        TPrefsStore store(env.userFile());
        for (int k = 0; k < kKeys; ++k) {
          if (!store.saveInt(keyOf(p, k), p * 1000 + k)) status = 1;
        }
      }
      ::_exit(status);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  expectAllKeys(env.userFile(), kProcesses, kKeys);
  EXPECT_EQ(parent.loadInt("before"), 1);
  EXPECT_EQ(parent.loadInt(keyOf(kProcesses - 1, 0)), (kProcesses - 1) * 1000);  // the cache noticed
}

TEST(PrefsWriter, BindingFromAnotherThreadReachesTheFileWhileAlive) {
  TempXdg env;
  TPrefsStore store(env.userFile());
  TPrefsWriter writer(&store, std::chrono::milliseconds(20));
  writer.start();
  ASSERT_TRUE(writer.running());
  std::thread audio([&] {
    writer.postMidiCC(5, 99);
    writer.postMidiCC(5, 77);  // the latest binding of a controller wins
    writer.postMidiCC(127, 0);
    writer.postMidiCC(128, 3);  // no such controller
    writer.postMidiCC(6, -1);   // no binding
  });
  audio.join();
  TPrefsStore reader(env.userFile());
  EXPECT_TRUE(eventually([&] { return reader.getMidiCC(5) == 77 && !writer.hasPending(); }));
  EXPECT_TRUE(writer.running());
  const json file = fileJson(env.userFile());
  EXPECT_EQ(file, json({{"5", 77}, {"127", 0}}));
  EXPECT_EQ(writer.pendingMidiCC(5), -1);
}

TEST(PrefsWriter, PendingBindingsAreWrittenOnDestruction) {
  TempXdg env;
  TPrefsStore store(env.userFile());
  {
    TPrefsWriter writer(&store, std::chrono::hours(1));
    writer.start();
    writer.postMidiCC(3, 9);
    writer.postMidiCC(0, 1023);
    EXPECT_EQ(writer.pendingMidiCC(3), 9);
  }
  EXPECT_EQ(fileJson(env.userFile()), json({{"3", 9}, {"0", 1023}}));
  {
    TPrefsWriter neverStarted(&store);
    neverStarted.postMidiCC(3, 10);
  }
  EXPECT_EQ(store.getMidiCC(3), 10);
}

TEST(PrefsWriter, FailedWriteIsKeptForTheNextAttempt) {
  TempXdg env;
  prefstest::writeFile(env.root + "/plain", "x");
  TPrefsStore store(env.root + "/plain/sub/prefs.json");  // cannot be created
  TPrefsWriter writer(&store);
  writer.postMidiCC(10, 4);
  EXPECT_VALUES({writer.flush(), false}, {writer.hasPending(), true}, {writer.pendingMidiCC(10), 4});
  writer.postMidiCC(11, 5);
  store.setFiles(env.userFile(), std::string());
  EXPECT_TRUE(writer.flush());
  EXPECT_FALSE(writer.hasPending());
  EXPECT_EQ(fileJson(env.userFile()), json({{"10", 4}, {"11", 5}}));
}

TEST(PrefsWriter, ManyPostersAndFlushesKeepTheLatestBinding) {
  TempXdg env;
  TPrefsStore store(env.userFile());
  TPrefsWriter writer(&store, std::chrono::milliseconds(1));
  writer.start();
  std::vector<std::thread> posters;
  for (int t = 0; t < 4; ++t) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) writer.postMidiCC(t * 32 + i % 32, i);
    });
  }
  for (int i = 0; i < 5; ++i) writer.flush();
  for (auto& p : posters) p.join();
  writer.stop();
  EXPECT_FALSE(writer.running());
  // The last value posted for slot c is the largest i below 200 with i % 32 == c.
  for (int t = 0; t < 4; ++t) {
    for (int c = 0; c < 32; ++c) EXPECT_EQ(store.getMidiCC(t * 32 + c), 192 + c >= 200 ? 160 + c : 192 + c);
  }
}
