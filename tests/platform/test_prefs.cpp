// The preference file: where it lives, what each kind of value reads as, broken and foreign
// files, files that are no readable regular file, any bytes round-tripping, and writers in
// several threads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

#include "platform/platform.h"
#include "prefsTestEnv.h"
#include "support/expectValues.h"

using dialogtest::ScopedEnv;
using nlohmann::json;
using prefstest::fileJson;
using prefstest::readFile;
using prefstest::TempXdg;
using prefstest::writeFile;

namespace {

class Prefs : public ::testing::Test {
 protected:
  json file() const { return fileJson(env.userFile()); }
  // Runs `f` and returns what it wrote to standard error.
  template <typename F>
  static std::string stderrOf(F f) {
    testing::internal::CaptureStderr();
    f();
    return testing::internal::GetCapturedStderr();
  }
  // The store's complaint: said once, naming the plug-in.
  static void expectOneReport(const std::string& err) {
    ASSERT_NE(err.find("Grindle2:"), std::string::npos);
    EXPECT_EQ(err.find("Grindle2:"), err.rfind("Grindle2:")) << err;
  }
  TempXdg env;
  TPrefsStore store{env.userFile(), env.machineFile()};
};

}  // namespace

TEST_F(Prefs, LocationsFollowTheXdgVariables) {
  EXPECT_EQ(findPrefKey("HelpDir"), &PREF_KEYS[0]);
  EXPECT_EQ(findPrefKey("helpdir"), nullptr);
  EXPECT_EQ(findPrefKey(""), nullptr);
  EXPECT_TEXTS({prefsUserFilePath(), env.userFile()}, {prefsMachineFilePath(), env.machineFile()},
               {defaultDataFolder(), env.data + "/Kestrune/Grindle2/"});
  // Unset or relative values fall back to the home folder and /etc/xdg.
  ScopedEnv config("XDG_CONFIG_HOME", "", true), data("XDG_DATA_HOME", "relative/data"),
      dirs("XDG_CONFIG_DIRS", "");
  EXPECT_TEXTS({prefsUserFilePath(), env.home + "/.config/com.Qelm.Grindle2.json"},
               {defaultDataFolder(), env.home + "/.local/share/Kestrune/Grindle2/"},
               {prefsMachineFilePath(), "/etc/xdg/com.Qelm.Grindle2.json"});
  ScopedEnv dirs2("XDG_CONFIG_DIRS", "::relative:/machine/a/:/machine/b"),
      config2("XDG_CONFIG_HOME", env.config + "/");
  EXPECT_TEXTS({prefsMachineFilePath(), "/machine/a/com.Qelm.Grindle2.json"},
               {prefsUserFilePath(), env.userFile()});
}

TEST_F(Prefs, EmptyFoldersGetTheirDefaultsWrittenBackAndLongOnesAreKeptWhole) {
  const std::string base = env.data + "/Kestrune/Grindle2/";
  // The manual ships in the bundle: beside the module, which here is the test program.
  const std::string manual = std::filesystem::canonical("/proc/self/exe").parent_path().string() +
                             "/Resources/Help/Grindle2_Manual.html";
  saveStringToPrefs("ECSDir", "");               // stored but empty: replaced
  saveStringToPrefs("WaveShaperDir", "/mine/");  // set by the user: kept
  EXPECT_TEXTS({loadFolderFromPrefs("HelpDir"), manual}, {loadFolderFromPrefs("ECSDir"), base + "ECS/"},
               {loadFolderFromPrefs("WaveShaperDir"), "/mine/"}, {defaultFolderPref("Key"), ""});
  EXPECT_EQ(file(), json({{"HelpDir", manual}, {"ECSDir", base + "ECS/"}, {"WaveShaperDir", "/mine/"}}));
  // The written-back default is fixed: a later change of the data folder does not move it.
  ScopedEnv elsewhere("XDG_DATA_HOME", env.root + "/elsewhere");
  EXPECT_EQ(loadFolderFromPrefs("ECSDir"), base + "ECS/");

  // A long folder is kept whole; reads into a caller's buffer are cut and always terminated.
  const std::string longDir = "/" + std::string(300, 'd') + "/";
  saveStringToPrefs("ECSDir", longDir);
  EXPECT_EQ(loadFolderFromPrefs("ECSDir"), longDir);
  char buffer[PREF_STRING_LEN];
  std::string out;
  loadStringFromPrefs("ECSDir", buffer, PREF_STRING_LEN);
  loadStringFromPrefs("ECSDir", out, 5);  // len counts the terminator
  EXPECT_TEXTS({buffer, longDir.substr(0, PREF_STRING_LEN - 1)}, {out, "/ddd"});
  loadStringFromPrefs("ECSDir", nullptr, 10);  // must not crash
  loadStringFromPrefs("ECSDir", buffer, 0);    // no room: untouched
  EXPECT_EQ(buffer[0], '/');
  loadStringFromPrefs("ECSDir", buffer, 1);
  EXPECT_STREQ(buffer, "");
}

TEST_F(Prefs, YesNoReadsOnlyExactYAndN) {
  const std::pair<const char*, bool> stored[] = {{"Y", true},  {"N", false},   {"Y ", false}, {"y", false},
                                                 {"n", false}, {"Yes", false}, {"", false},   {" Y", false}};
  for (const auto& [text, on] : stored) {
    ASSERT_TRUE(store.saveString("ToolTip", text));
    EXPECT_EQ(store.getRegisterIsOn("ToolTip", true), on || text != std::string("N")) << text;
    EXPECT_EQ(store.getRegisterIsOn("ToolTip", false), on) << text;
  }
  EXPECT_VALUES({store.getRegisterIsOn("Big150", true), true},
                {store.getRegisterIsOn("Big150", false), false});
  ASSERT_TRUE(store.setRegisterIsOn("MidiBank", false));
  EXPECT_EQ(file().at("MidiBank"), "N");
  ASSERT_TRUE(store.setRegisterIsOn("MidiBank", true));
  EXPECT_EQ(file().at("MidiBank"), "Y");
}

TEST_F(Prefs, ValuesOfTheWrongKindReadAsMissingAndSurviveOtherWrites) {
  writeFile(env.userFile(), R"({
    "HelpDir": 5, "ECSDir": ["/a/"], "WaveShaperDir": null,
    "5": "12", "6": 3.0, "7": true, "8": 4294967296, "9": -2147483648, "10": [1], "11": {"v": 2},
    "12": 2147483647, "13": -2147483649,
    "ToolTip": 1, "Key": {"bytes": "Tg=="}, "MidiBank": {"bytes": "!!"},
    "MidiPreset": {"bytes": "Tg==", "more": 1}, "ModDial": {"bytes": 78},
    "Midi Channel": "3"
  })");
  std::string s = "untouched";
  EXPECT_FALSE(store.readString("HelpDir", s));
  EXPECT_TEXTS({store.loadString("HelpDir"), ""}, {store.loadString("ECSDir"), ""},
               {store.loadString("WaveShaperDir"), ""});
  EXPECT_VALUES({store.getMidiCC(5), 0}, {store.getMidiCC(6), 0}, {store.getMidiCC(7), 0},
                {store.getMidiCC(8), 0}, {store.getMidiCC(9), INT_MIN}, {store.getMidiCC(10), 0},
                {store.getMidiCC(11), 0}, {store.getMidiCC(12), INT_MAX}, {store.getMidiCC(13), 0},
                {store.loadInt("Midi Channel"), 0});
  // The whole map read at once reads every controller as one at a time does (0..4 are missing).
  int map[128];
  std::fill(std::begin(map), std::end(map), 99);
  store.getMidiCCs(map);
  for (int cc = 0; cc < 128; ++cc) EXPECT_EQ(map[cc], store.getMidiCC(cc)) << cc;
  EXPECT_VALUES({map[9], INT_MIN}, {map[12], INT_MAX}, {map[13], 0}, {map[0], 0});
  EXPECT_VALUES(
      {store.getRegisterIsOn("ToolTip", true), true}, {store.getRegisterIsOn("ToolTip", false), false},
      {store.getRegisterIsOn("Key", true), false},  // the byte form of "N" is a string
      {store.getRegisterIsOn("MidiBank", true), true}, {store.getRegisterIsOn("MidiPreset", true), true},
      {store.getRegisterIsOn("ModDial", true), true});
  // Writing one key keeps every other value exactly as it was, odd ones included.
  json expected = file();
  expected["5"] = 40;
  ASSERT_TRUE(store.setMidiCC(5, 40));
  EXPECT_EQ(file(), expected);
}

TEST_F(Prefs, ControllerMapUsesDecimalKeys) {
  ASSERT_TRUE(store.setMidiCC(127, 0));
  ASSERT_TRUE(store.setMidiCC(5, 321));
  ASSERT_TRUE(store.saveInts({{"1", 11}, {"2", 22}, {"0", 1023}}));
  // Controller numbers outside 0..127 are no keys of the map.
  EXPECT_VALUES({store.setMidiCC(128, 7), false}, {store.setMidiCC(-1, 7), false}, {store.getMidiCC(-1), 0},
                {store.getMidiCC(5), 321}, {store.loadInt("5"), 321}, {store.getMidiCC(4), 0},
                {store.getMidiCC(2), 22});
  EXPECT_EQ(file(), json({{"127", 0}, {"5", 321}, {"1", 11}, {"2", 22}, {"0", 1023}}));
}

TEST_F(Prefs, MachineWideStringsMoveToTheUserOnce) {
  writeFile(env.machineFile(), R"({"HelpDir": "/opt/g2/manual.pdf", "ECSDir": "/opt/ecs/",
                                   "Midi Channel": 3, "Key": "N", "MidiBank": 7})");
  writeFile(env.etc2 + "/com.Qelm.Grindle2.json", R"({"WaveShaperDir": "/second/"})");
  writeFile(env.userFile(), R"({"ECSDir": "/mine/", "ModDial": ""})");
  EXPECT_TEXTS({store.loadString("HelpDir"), "/opt/g2/manual.pdf"},
               {store.loadString("ECSDir"), "/mine/"},    // the user's own value wins
               {store.loadString("WaveShaperDir"), ""});  // only the first machine folder counts
  EXPECT_EQ(store.loadInt("Midi Channel"), 0);            // integers are never migrated
  EXPECT_FALSE(store.getRegisterIsOn("Key", true));       // yes/no values are strings: migrated
  EXPECT_TRUE(store.getRegisterIsOn("MidiBank", true));   // wrong kind there too
  EXPECT_EQ(file(),
            json({{"ECSDir", "/mine/"}, {"ModDial", ""}, {"HelpDir", "/opt/g2/manual.pdf"}, {"Key", "N"}}));
  // Once copied, the user's value stands on its own; the machine file is never written.
  writeFile(env.machineFile(), R"({"HelpDir": "/changed.pdf", "ModDial": "N"})");
  EXPECT_EQ(store.loadString("HelpDir"), "/opt/g2/manual.pdf");
  EXPECT_EQ(readFile(env.machineFile()), R"({"HelpDir": "/changed.pdf", "ModDial": "N"})");
  // An empty user string does not hide a machine-wide one.
  EXPECT_FALSE(store.getRegisterIsOn("ModDial", true));
  EXPECT_EQ(file().at("ModDial"), "N");

  // An unreadable machine file is reported once and left in place.
  writeFile(env.machineFile(), "{broken");
  const std::string err =
      stderrOf([&] { EXPECT_EQ(store.loadString("WaveShaperDir") + store.loadString("Big100"), ""); });
  EXPECT_NE(err.find(env.machineFile()), std::string::npos);
  EXPECT_EQ(err.find(env.machineFile()), err.rfind(env.machineFile()));
  EXPECT_EQ(readFile(env.machineFile()), "{broken");
}

TEST_F(Prefs, UnreadableFilesAreSetAsideNeverOverwritten) {
  const std::string aside = env.userFile() + ".unreadable";
  const std::string garbage = "{\"Key\": \"N\", oops";
  const std::string deep = "{\"a\": " + std::string(200, '[') + std::string(200, ']') + "}";
  // Text that is not JSON, JSON that is no object, text that is not UTF-8, and absurd nesting;
  // a later broken file does not replace one set aside earlier.
  const std::pair<std::string, std::string> broken[] = {{garbage, aside},
                                                        {"[1, 2, 3]", aside + ".1"},
                                                        {"{\"Key\": \"\xff\"}", aside + ".2"},
                                                        {deep, aside + ".3"}};
  for (const auto& [text, setAside] : broken) {
    writeFile(env.userFile(), text);
    const std::string err = stderrOf([&] {
      EXPECT_TRUE(store.getRegisterIsOn("Key", true));  // defaults apply
      EXPECT_EQ(store.getMidiCC(3), 0);
      ASSERT_TRUE(store.setMidiCC(3, 9));
    });
    expectOneReport(err);
    EXPECT_NE(err.find(setAside), std::string::npos) << err;
    EXPECT_EQ(readFile(setAside), text);
    EXPECT_EQ(file(), json({{"3", 9}}));
  }
  EXPECT_EQ(readFile(aside), garbage);

  // An empty file is no settings, and nothing to complain about.
  writeFile(env.userFile(), " \n");
  EXPECT_EQ(stderrOf([&] { ASSERT_TRUE(store.setMidiCC(1, 2)); }), "");
  EXPECT_EQ(file(), json({{"1", 2}}));
}

TEST_F(Prefs, AnUnreadableFileThatCannotBeSetAsideIsKeptAndWritesFail) {
  const std::string broken = "{\"5\": 1,";
  writeFile(env.userFile(), broken);
  writeFile(env.userFile() + ".unreadable", "old");  // every name for setting it aside is taken
  for (int n = 1; n < 1000; ++n) writeFile(env.userFile() + ".unreadable." + std::to_string(n), "old");
  expectOneReport(stderrOf([&] {
    EXPECT_EQ(store.getMidiCC(5), 0);  // defaults, read first so that they are cached
    EXPECT_FALSE(store.setMidiCC(6, 2));
    EXPECT_FALSE(store.saveString("HelpDir", "/x"));
  }));
  EXPECT_EQ(readFile(env.userFile()), broken);

  // The same when the lock cannot be taken at all.
  TempXdg other;
  TPrefsStore locked(other.userFile());
  writeFile(other.userFile(), broken);
  std::filesystem::create_directories(other.userFile() + ".lock");
  expectOneReport(stderrOf([&] {
    EXPECT_TRUE(locked.getRegisterIsOn("Key", true));
    EXPECT_TRUE(locked.getRegisterIsOn("Key", true));
    EXPECT_FALSE(locked.setRegisterIsOn("Key", false));
  }));
  EXPECT_EQ(readFile(other.userFile()), broken);
}

TEST_F(Prefs, AnyBytesRoundTrip) {
  const std::string values[] = {"\xff\xfe",              // never UTF-8
                                "/home/u/caf\xe9/",      // Latin-1 path
                                "\xc0\xaf",              // overlong '/'
                                "\xed\xa0\x80",          // a lone surrogate
                                "\xf4\x90\x80\x80",      // beyond U+10FFFF
                                "abc\xe2\x82",           // cut in the middle of a character
                                std::string("a\0b", 3),  // an embedded NUL: valid UTF-8 from here on
                                "Gr\xc3\xbc\xc3\x9f"
                                "e \xe2\x82\xac \xf0\x9f\x8e\xb8",
                                "\xf4\x8f\xbf\xbf",
                                ""};
  for (std::size_t i = 0; i < std::size(values); ++i)
    ASSERT_TRUE(store.saveString("s" + std::to_string(i), values[i]));
  TPrefsStore fresh(env.userFile());
  const json stored = file();
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const std::string key = "s" + std::to_string(i);
    std::string back;
    ASSERT_TRUE(fresh.readString(key, back)) << key;
    EXPECT_EQ(back, values[i]) << key;
    EXPECT_EQ(stored.at(key).is_string(), i >= 6) << key;
  }
  EXPECT_EQ(stored.at("s0"), json({{"bytes", "//4="}}));
  char buffer[8];
  fresh.loadString("s1", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "/home/u");
}

TEST(PrefsFormat, Base64IsStrictAndReversible) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  for (std::size_t len : {0, 1, 2, 3, 4, 5, 6, 7, 256}) {
    const std::string part = bytes.substr(256 - len, len);
    std::string back;
    ASSERT_TRUE(prefsformat::base64Decode(prefsformat::base64Encode(part), back)) << len;
    EXPECT_EQ(back, part) << len;
  }
  EXPECT_TEXTS({prefsformat::base64Encode("Man"), "TWFu"}, {prefsformat::base64Encode("Ma"), "TWE="},
               {prefsformat::base64Encode("M"), "TQ=="});
  std::string back;
  for (const char* bad : {"TWF", "TW=u", "T===", "TQ=A", "TR==", "TW!u", "TWFu====", "=QQQ"})
    EXPECT_FALSE(prefsformat::base64Decode(bad, back)) << bad;
  EXPECT_VALUES({prefsformat::isValidUtf8(""), true},
                {prefsformat::isValidUtf8("\xf8\x88\x80\x80\x80"), false},
                {prefsformat::isValidUtf8("\xe0\x9f\xbf"), false}, {prefsformat::isValidUtf8("\x80"), false});
}

TEST_F(Prefs, ChangesByOthersAreSeen) {
  TPrefsStore other(env.userFile());
  ASSERT_TRUE(store.setRegisterIsOn("Key", false));
  EXPECT_FALSE(other.getRegisterIsOn("Key", true));
  ASSERT_TRUE(other.setRegisterIsOn("Key", true));
  EXPECT_TRUE(store.getRegisterIsOn("Key", false));
  // A program that replaces the file by its own means is noticed as well.
  writeFile(env.userFile() + ".new", R"({"Key": "N", "Midi Channel": 4})");
  std::filesystem::rename(env.userFile() + ".new", env.userFile());
  EXPECT_FALSE(store.getRegisterIsOn("Key", true));
  EXPECT_EQ(store.loadInt("Midi Channel"), 4);
  std::filesystem::remove(env.userFile());
  EXPECT_EQ(store.loadInt("Midi Channel"), 0);
}

TEST_F(Prefs, WritesKeepLinksAndFailQuietlyWhereTheyCannot) {
  const std::string real = env.root + "/dotfiles/grindle.json";
  writeFile(real, R"({"Key": "N"})");
  std::filesystem::create_directories(env.config);
  std::filesystem::create_symlink(real, env.userFile());
  ASSERT_TRUE(store.setMidiCC(1, 2));
  EXPECT_TRUE(std::filesystem::is_symlink(env.userFile()));
  EXPECT_EQ(fileJson(real), json({{"Key", "N"}, {"1", 2}}));

  writeFile(env.root + "/plain", "x");
  TPrefsStore blocked(env.root + "/plain/sub/com.Qelm.Grindle2.json"), nowhere{std::string()};
  EXPECT_VALUES({blocked.saveInt("1", 2), false}, {blocked.loadInt("1"), 0},
                {nowhere.saveString("HelpDir", "/x"), false},
                // A key that is not UTF-8 cannot be written to the file; nothing else is disturbed.
                {store.saveString("bad\xff", "v"), false}, {store.saveInts({{"1", 1}, {"\xc0", 2}}), false},
                {store.getMidiCC(1), 2});
  EXPECT_EQ(nowhere.loadFolder("HelpDir", "/default"), "/default");
}

TEST(PrefsConcurrency, ThreadsWritingDistinctKeysLoseNothing) {
  TempXdg env;
  TPrefsStore shared(env.userFile());
  const auto key = [](int w, int k) { return "w" + std::to_string(w) + "_" + std::to_string(k); };
  std::atomic<bool> go{false};
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  json expected;
  for (int w = 0; w < 9; ++w) {
    for (int k = 0; k < 20; ++k) expected[key(w, k)] = w * 1000 + k;
    threads.emplace_back([&, w] {
      TPrefsStore own(env.userFile());
      TPrefsStore& store = w < 6 ? own : shared;  // six instances, and three threads of one
      while (!go.load()) std::this_thread::yield();
      for (int k = 0; k < 20; ++k) {
        failures += !store.saveInt(key(w, k), w * 1000 + k);
        int ignored = 0;
        store.readInt(key((w + 1) % 6, k), ignored);  // readers run alongside
      }
    });
  }
  go.store(true);
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(fileJson(env.userFile()), expected);
}

TEST(PrefsWriter, BindingsPostedFromOtherThreadsReachTheFileLatestFirst) {
  TempXdg env;
  TPrefsStore store(env.userFile());
  TPrefsWriter writer(&store, std::chrono::milliseconds(1));
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
  // The limit only guards against hanging, it is no timing requirement.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while ((reader.getMidiCC(5) != 77 || writer.hasPending()) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(fileJson(env.userFile()), json({{"5", 77}, {"127", 0}}));
  EXPECT_EQ(writer.pendingMidiCC(5), -1);

  // Many posters while flushes run: the last value posted for slot c (i < 200, i % 32 == c) stays.
  std::vector<std::thread> posters;
  for (int t = 0; t < 4; ++t)
    posters.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) writer.postMidiCC(t * 32 + i % 32, i);
    });
  for (int i = 0; i < 5; ++i) writer.flush();
  for (auto& p : posters) p.join();
  writer.stop();
  EXPECT_FALSE(writer.running());
  for (int cc = 0; cc < 128; ++cc)
    EXPECT_EQ(store.getMidiCC(cc), 192 + cc % 32 >= 200 ? 160 + cc % 32 : 192 + cc % 32);
}

TEST(PrefsWriter, PendingBindingsAreWrittenOnDestructionOrKeptWhenTheWriteFails) {
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

  writeFile(env.root + "/plain", "x");
  store.setFiles(env.root + "/plain/sub/prefs.json", "");  // cannot be created
  TPrefsWriter writer(&store);
  writer.postMidiCC(10, 4);
  EXPECT_VALUES({writer.flush(), false}, {writer.hasPending(), true}, {writer.pendingMidiCC(10), 4});
  writer.postMidiCC(11, 5);
  store.setFiles(env.root + "/new.json", "");
  EXPECT_TRUE(writer.flush());
  EXPECT_FALSE(writer.hasPending());
  EXPECT_EQ(fileJson(env.root + "/new.json"), json({{"10", 4}, {"11", 5}}));
}

// Something other than a readable regular file in either file's place (a FIFO nobody writes,
// a folder, a file without read permission) reads as no settings at once, is reported once,
// and is never renamed or replaced: writes fail instead.
TEST_F(Prefs, WhatIsNoReadableRegularFileReadsAsDefaultsAndIsLeftAlone) {
  enum Kind { Fifo, Folder, NoPermission };
  const struct {
    Kind kind;
    bool user;
  } cases[] = {{Fifo, true}, {Fifo, false}, {Folder, true}, {Folder, false}, {NoPermission, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << (c.user ? " user" : " machine"));
    if (c.kind == NoPermission && ::geteuid() == 0) continue;  // root reads it anyway
    TempXdg xdg;
    TPrefsStore prefs{xdg.userFile(), xdg.machineFile()};
    const std::string path = c.user ? xdg.userFile() : xdg.machineFile();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (c.kind == Fifo) {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    }
    if (c.kind == Folder) std::filesystem::create_directory(path);
    if (c.kind == NoPermission) {
      writeFile(path, R"({"HelpDir": "/mine"})");
      std::filesystem::permissions(path, std::filesystem::perms::none);
    }
    // The read runs in a thread of its own, so that a regression hangs only that thread: a
    // writer opened on the FIFO afterwards releases it.
    std::promise<std::string> read;
    auto done = read.get_future();
    std::string err;
    std::thread reader([&] {
      testing::internal::CaptureStderr();
      std::string value = prefs.loadString("HelpDir");
      err = testing::internal::GetCapturedStderr();
      read.set_value(value);
    });
    const bool returned = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!returned && c.kind == Fifo) ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
    reader.join();
    ASSERT_TRUE(returned) << "the read waited for a writer";
    EXPECT_EQ(done.get(), "");
    expectOneReport(err);
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_EQ(stderrOf([&] { EXPECT_EQ(prefs.loadString("HelpDir"), ""); }), "");  // said once
    if (c.user) {
      EXPECT_FALSE(prefs.setMidiCC(3, 9));
    }
    const auto type = std::filesystem::symlink_status(path).type();
    EXPECT_EQ(type, c.kind == Fifo     ? std::filesystem::file_type::fifo
                    : c.kind == Folder ? std::filesystem::file_type::directory
                                       : std::filesystem::file_type::regular);
    EXPECT_FALSE(std::filesystem::exists(path + ".unreadable"));
    if (c.kind == NoPermission) std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }
}
