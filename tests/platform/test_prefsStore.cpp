#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/platform.h"
#include "prefsTestEnv.h"
#include "support/expectValues.h"

using nlohmann::json;
using prefstest::fileJson;
using prefstest::readFile;
using prefstest::TempXdg;
using prefstest::writeFile;

namespace {

std::string numberedKey(std::size_t i) {
  std::string key = std::to_string(i);
  key.insert(0, 1, 's');
  return key;
}

class PrefsStoreTest : public ::testing::Test {
 protected:
  TempXdg env;
  TPrefsStore store{env.userFile(), env.machineFile()};
};

}  // namespace

TEST(PrefsKeys, LookUpIsExact) {
  for (const PrefKeyInfo& row : PREF_KEYS) EXPECT_EQ(findPrefKey(row.key), &row) << row.key;
  EXPECT_EQ(findPrefKey("helpdir"), nullptr);
  EXPECT_EQ(findPrefKey(""), nullptr);
}

TEST(PrefsLocations, FollowTheXdgVariables) {
  TempXdg env;
  EXPECT_EQ(prefsUserFilePath(), env.config + "/com.Qelm.Grindle2.json");
  EXPECT_EQ(prefsMachineFilePath(), env.etc1 + "/com.Qelm.Grindle2.json");
  EXPECT_EQ(defaultDataFolder(), env.data + "/Kestrune/Grindle2/");

  // Unset or relative values fall back to the home folder and /etc/xdg.
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("XDG_DATA_HOME", "relative/data", 1);
  ::setenv("XDG_CONFIG_DIRS", "", 1);
  EXPECT_EQ(prefsUserFilePath(), env.home + "/.config/com.Qelm.Grindle2.json");
  EXPECT_EQ(defaultDataFolder(), env.home + "/.local/share/Kestrune/Grindle2/");
  EXPECT_EQ(prefsMachineFilePath(), "/etc/xdg/com.Qelm.Grindle2.json");
  ::setenv("XDG_CONFIG_DIRS", "::relative:/machine/a/:/machine/b", 1);
  EXPECT_EQ(prefsMachineFilePath(), "/machine/a/com.Qelm.Grindle2.json");
  ::setenv("XDG_CONFIG_HOME", (env.config + "/").c_str(), 1);
  EXPECT_EQ(prefsUserFilePath(), env.config + "/com.Qelm.Grindle2.json");
}

TEST(PrefsFolders, EmptyFoldersGetTheirDefaultsWrittenBack) {
  TempXdg env;
  const std::string base = env.data + "/Kestrune/Grindle2/";
  EXPECT_EQ(defaultFolderPref("HelpDir"), base + "Help/Grindle2_Manual.pdf");
  EXPECT_EQ(defaultFolderPref("ECSDir"), base + "ECS/");
  EXPECT_EQ(defaultFolderPref("WaveShaperDir"), base + "WaveShapers/");
  EXPECT_EQ(defaultFolderPref("Key"), "");

  saveStringToPrefs("ECSDir", "");               // stored but empty: replaced
  saveStringToPrefs("WaveShaperDir", "/mine/");  // set by the user: kept
  EXPECT_EQ(loadFolderFromPrefs("HelpDir"), base + "Help/Grindle2_Manual.pdf");
  EXPECT_EQ(loadFolderFromPrefs("ECSDir"), base + "ECS/");
  EXPECT_EQ(loadFolderFromPrefs("WaveShaperDir"), "/mine/");

  const json file = fileJson(env.userFile());
  EXPECT_EQ(file.at("HelpDir"), base + "Help/Grindle2_Manual.pdf");
  EXPECT_EQ(file.at("ECSDir"), base + "ECS/");
  EXPECT_EQ(file.at("WaveShaperDir"), "/mine/");

  // The written-back default is fixed: a later change of the data folder does not move it.
  ::setenv("XDG_DATA_HOME", (env.root + "/elsewhere").c_str(), 1);
  EXPECT_EQ(loadFolderFromPrefs("ECSDir"), base + "ECS/");
}

TEST(PrefsFolders, LongFoldersAreKeptWholeButBufferReadsAreCut) {
  TempXdg env;
  const std::string longDir = "/" + std::string(300, 'd') + "/";
  saveStringToPrefs("ECSDir", longDir);
  EXPECT_EQ(loadFolderFromPrefs("ECSDir"), longDir);
  char buffer[PREF_STRING_LEN];
  std::memset(buffer, 'x', sizeof buffer);
  loadStringFromPrefs("ECSDir", buffer, PREF_STRING_LEN);
  EXPECT_EQ(std::strlen(buffer), static_cast<std::size_t>(PREF_STRING_LEN - 1));
  EXPECT_EQ(std::string(buffer), longDir.substr(0, PREF_STRING_LEN - 1));
  std::string out = "old";
  loadStringFromPrefs("ECSDir", out, 5);
  EXPECT_EQ(out, "/ddd");  // len counts the terminator
  loadStringFromPrefs("ECSDir", buffer, 1);
  EXPECT_STREQ(buffer, "");
  loadStringFromPrefs("ECSDir", nullptr, 10);  // must not crash
  buffer[0] = 'z';
  loadStringFromPrefs("ECSDir", buffer, 0);  // no room: untouched
  EXPECT_EQ(buffer[0], 'z');
}

TEST_F(PrefsStoreTest, YesNoRuleAcceptsOnlyExactYAndN) {
  struct Case {
    const char* stored;
    bool withDefaultOn;
    bool withDefaultOff;
  };
  const Case cases[] = {{"Y", true, true},   {"N", false, false},  {"Y ", true, false}, {"y", true, false},
                        {"n", true, false},  {"Yes", true, false}, {"No", true, false}, {"", true, false},
                        {" Y", true, false}, {"YN", true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("stored \"") + c.stored + "\"");
    ASSERT_TRUE(store.saveString("ToolTip", c.stored));
    EXPECT_EQ(store.getRegisterIsOn("ToolTip", true), c.withDefaultOn);
    EXPECT_EQ(store.getRegisterIsOn("ToolTip", false), c.withDefaultOff);
  }
  EXPECT_TRUE(store.getRegisterIsOn("Big150", true));  // missing
  EXPECT_FALSE(store.getRegisterIsOn("Big150", false));

  ASSERT_TRUE(store.setRegisterIsOn("MidiBank", false));
  EXPECT_EQ(fileJson(env.userFile()).at("MidiBank"), "N");
  EXPECT_FALSE(store.getRegisterIsOn("MidiBank", true));
  ASSERT_TRUE(store.setRegisterIsOn("MidiBank", true));
  EXPECT_EQ(fileJson(env.userFile()).at("MidiBank"), "Y");
}

TEST_F(PrefsStoreTest, ValuesOfTheWrongKindReadAsMissing) {
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
  EXPECT_TEXTS(
      {store.loadString("HelpDir"), ""}, {store.loadString("ECSDir"), ""}, {store.loadString("WaveShaperDir"), ""});
  EXPECT_VALUES(
      {store.getMidiCC(5), 0}, {store.getMidiCC(6), 0}, {store.getMidiCC(7), 0}, {store.getMidiCC(8), 0},
      {store.getMidiCC(9), INT_MIN}, {store.getMidiCC(10), 0}, {store.getMidiCC(11), 0},
      {store.getMidiCC(12), INT_MAX}, {store.getMidiCC(13), 0});
  EXPECT_EQ(store.loadInt("Midi Channel"), 0);
  EXPECT_TRUE(store.getRegisterIsOn("ToolTip", true));
  EXPECT_FALSE(store.getRegisterIsOn("ToolTip", false));
  EXPECT_FALSE(store.getRegisterIsOn("Key", true));  // the byte form of "N" is a string
  EXPECT_TRUE(store.getRegisterIsOn("MidiBank", true));
  EXPECT_TRUE(store.getRegisterIsOn("MidiPreset", true));
  EXPECT_TRUE(store.getRegisterIsOn("ModDial", true));

  // Writing one key keeps every other value exactly as it was, odd ones included.
  ASSERT_TRUE(store.setMidiCC(5, 40));
  const json file = fileJson(env.userFile());
  EXPECT_EQ(file.at("5"), 40);
  EXPECT_EQ(file.at("ECSDir"), json::array({"/a/"}));
  EXPECT_EQ(file.at("11"), json({{"v", 2}}));
  EXPECT_EQ(file.at("Midi Channel"), "3");
}

TEST_F(PrefsStoreTest, ControllerMapUsesDecimalKeys) {
  ASSERT_TRUE(store.setMidiCC(127, 0));
  ASSERT_TRUE(store.setMidiCC(5, 321));
  ASSERT_TRUE(store.setMidiCC(0, 1023));
  const json file = fileJson(env.userFile());
  EXPECT_EQ(file.at("127"), 0);
  EXPECT_TRUE(file.at("127").is_number_integer());
  EXPECT_EQ(file.at("5"), 321);
  EXPECT_EQ(file.at("0"), 1023);
  EXPECT_FALSE(file.contains("005"));
  EXPECT_EQ(store.getMidiCC(5), 321);
  EXPECT_EQ(store.loadInt("5"), 321);
  EXPECT_EQ(store.getMidiCC(4), 0);
  // Controller numbers outside 0..127 are no keys of the map.
  EXPECT_VALUES({store.setMidiCC(128, 7), false}, {store.setMidiCC(-1, 7), false}, {store.getMidiCC(-1), 0});
  EXPECT_FALSE(fileJson(env.userFile()).contains("128"));

  ASSERT_TRUE(store.saveInts({{"1", 11}, {"2", 22}, {"127", 33}}));
  EXPECT_VALUES({store.getMidiCC(1), 11}, {store.getMidiCC(2), 22}, {store.getMidiCC(127), 33});
}

TEST_F(PrefsStoreTest, MachineWideStringsMoveToTheUserOnce) {
  const std::string machineText = R"({"HelpDir": "/opt/g2/manual.pdf", "ECSDir": "/opt/ecs/",
                                      "Midi Channel": 3, "Key": "N", "MidiBank": 7})";
  writeFile(env.machineFile(), machineText);
  writeFile(env.etc2 + "/com.Qelm.Grindle2.json", R"({"WaveShaperDir": "/second/"})");
  writeFile(env.userFile(), R"({"ECSDir": "/mine/", "ModDial": ""})");

  EXPECT_EQ(store.loadString("HelpDir"), "/opt/g2/manual.pdf");
  EXPECT_EQ(fileJson(env.userFile()).at("HelpDir"), "/opt/g2/manual.pdf");
  EXPECT_EQ(store.loadString("ECSDir"), "/mine/");   // the user's own value wins
  EXPECT_EQ(store.loadString("WaveShaperDir"), "");  // only the first machine folder counts
  EXPECT_EQ(store.loadInt("Midi Channel"), 0);       // integers are never migrated
  EXPECT_FALSE(fileJson(env.userFile()).contains("Midi Channel"));
  EXPECT_FALSE(store.getRegisterIsOn("Key", true));  // yes/no values are strings: migrated
  EXPECT_EQ(fileJson(env.userFile()).at("Key"), "N");
  EXPECT_TRUE(store.getRegisterIsOn("MidiBank", true));  // wrong kind there too

  // Once copied, the user's value stands on its own; the machine file is never written.
  writeFile(env.machineFile(), R"({"HelpDir": "/changed.pdf"})");
  EXPECT_EQ(store.loadString("HelpDir"), "/opt/g2/manual.pdf");
  EXPECT_EQ(readFile(env.machineFile()), R"({"HelpDir": "/changed.pdf"})");

  // An empty user string does not hide a machine-wide one.
  writeFile(env.machineFile(), R"({"ModDial": "N"})");
  EXPECT_FALSE(store.getRegisterIsOn("ModDial", true));
  EXPECT_EQ(fileJson(env.userFile()).at("ModDial"), "N");
}

TEST_F(PrefsStoreTest, UnreadableMachineFileIsIgnoredAndLeftInPlace) {
  writeFile(env.machineFile(), "{broken");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(store.loadString("HelpDir"), "");
  EXPECT_EQ(store.loadString("ECSDir"), "");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(env.machineFile()), std::string::npos);
  EXPECT_EQ(err.find(env.machineFile()), err.rfind(env.machineFile()));  // reported once
  EXPECT_EQ(readFile(env.machineFile()), "{broken");
}

TEST_F(PrefsStoreTest, UnreadableFileIsMovedAsideReportedOnceAndNeverOverwritten) {
  const std::string garbage = "{\"Key\": \"N\", oops";
  writeFile(env.userFile(), garbage);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(store.getRegisterIsOn("Key", true));  // defaults apply
  EXPECT_EQ(store.getMidiCC(3), 0);
  ASSERT_TRUE(store.setMidiCC(3, 9));
  const std::string err = ::testing::internal::GetCapturedStderr();
  const std::string aside = env.userFile() + ".unreadable";
  EXPECT_EQ(readFile(aside), garbage);
  EXPECT_NE(err.find(aside), std::string::npos);
  EXPECT_EQ(err.find("Grindle2:"), err.rfind("Grindle2:"));  // one report
  EXPECT_EQ(fileJson(env.userFile()), json({{"3", 9}}));

  // A second broken file does not replace the first one set aside.
  writeFile(env.userFile(), "[1, 2, 3]");  // valid JSON, but no object
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(store.setMidiCC(4, 1));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(readFile(aside), garbage);
  EXPECT_EQ(readFile(aside + ".1"), "[1, 2, 3]");
  EXPECT_EQ(fileJson(env.userFile()), json({{"4", 1}}));

  // Text that is not UTF-8, and absurd nesting, count as unreadable too.
  const std::string deep = "{\"a\": " + std::string(200, '[') + std::string(200, ']') + "}";
  for (const std::string& bad : {std::string("{\"Key\": \"\xff\"}"), deep}) {
    writeFile(env.userFile(), bad);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(store.getRegisterIsOn("Key", true));
    ::testing::internal::GetCapturedStderr();
  }
  EXPECT_EQ(readFile(aside + ".2"), "{\"Key\": \"\xff\"}");
  EXPECT_EQ(readFile(aside + ".3"), deep);
}

TEST_F(PrefsStoreTest, EmptyFileReadsAsNoSettings) {
  writeFile(env.userFile(), " \n");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(store.getMidiCC(1), 0);
  ASSERT_TRUE(store.setMidiCC(1, 2));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(std::filesystem::exists(env.userFile() + ".unreadable"));
  EXPECT_EQ(store.getMidiCC(1), 2);
}

TEST_F(PrefsStoreTest, UnmovableUnreadableFileStopsWrites) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
  writeFile(env.userFile(), "{broken");
  writeFile(env.userFile() + ".lock", "");
  std::filesystem::permissions(env.config,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  ::testing::internal::CaptureStderr();
  EXPECT_VALUES({store.getMidiCC(1), 0}, {store.setMidiCC(1, 2), false}, {store.setMidiCC(1, 2), false});
  const std::string err = ::testing::internal::GetCapturedStderr();
  std::filesystem::permissions(env.config, std::filesystem::perms::owner_all);
  EXPECT_EQ(readFile(env.userFile()), "{broken");
  ASSERT_NE(err.find("Grindle2:"), std::string::npos);
  EXPECT_EQ(err.find("Grindle2:"), err.rfind("Grindle2:"));
}

TEST_F(PrefsStoreTest, UnreadableFileThatCannotBeSetAsideIsKept) {
  const std::string broken = "{\"5\": 1,";
  writeFile(env.userFile(), broken);
  // Every name for setting it aside is taken.
  writeFile(env.userFile() + ".unreadable", "old");
  for (int n = 1; n < 1000; ++n) writeFile(env.userFile() + ".unreadable." + std::to_string(n), "old");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(store.getMidiCC(5), 0);  // defaults, read first so that they are cached
  EXPECT_FALSE(store.setMidiCC(6, 2));
  EXPECT_FALSE(store.saveString("HelpDir", "/x"));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(readFile(env.userFile()), broken);
  ASSERT_NE(err.find("Grindle2:"), std::string::npos);
  EXPECT_EQ(err.find("Grindle2:"), err.rfind("Grindle2:"));

  // The same when the lock cannot be taken at all.
  TempXdg other;
  TPrefsStore locked(other.userFile());
  writeFile(other.userFile(), broken);
  std::filesystem::create_directories(other.userFile() + ".lock");
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(locked.getRegisterIsOn("Key", true));
  EXPECT_TRUE(locked.getRegisterIsOn("Key", true));
  EXPECT_FALSE(locked.setRegisterIsOn("Key", false));
  err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(readFile(other.userFile()), broken);
  ASSERT_NE(err.find("Grindle2:"), std::string::npos);
  EXPECT_EQ(err.find("Grindle2:"), err.rfind("Grindle2:"));
}

TEST_F(PrefsStoreTest, AnyBytesRoundTrip) {
  const std::string values[] = {
      "\xff\xfe",              // never UTF-8
      "/home/u/caf\xe9/",      // Latin-1 path
      "\xc0\xaf",              // overlong '/'
      "\xed\xa0\x80",          // a lone surrogate
      "\xf4\x90\x80\x80",      // beyond U+10FFFF
      "abc\xe2\x82",           // cut in the middle of a character
      std::string("a\0b", 3),  // an embedded NUL
      "Gr\xc3\xbc\xc3\x9f"
      "e \xe2\x82\xac \xf0\x9f\x8e\xb8",  // valid UTF-8
      "",
  };
  for (std::size_t i = 0; i < std::size(values); ++i) {
    ASSERT_TRUE(store.saveString(numberedKey(i), values[i]));
  }
  TPrefsStore fresh(env.userFile());
  const json file = fileJson(env.userFile());
  for (std::size_t i = 0; i < std::size(values); ++i) {
    SCOPED_TRACE(i);
    const std::string key = numberedKey(i);
    std::string back;
    ASSERT_TRUE(fresh.readString(key, back));
    EXPECT_EQ(back, values[i]);
    const bool utf8 = i >= 6;
    EXPECT_EQ(file.at(key).is_string(), utf8);
  }
  EXPECT_EQ(file.at("s0"), json({{"bytes", "//4="}}));
  EXPECT_EQ(file.at("s7"), values[7]);
  char buffer[8];
  fresh.loadString("s1", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "/home/u");
}

TEST(PrefsFormat, Base64IsStrictAndReversible) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  for (std::size_t len = 0; len <= 7; ++len) {
    const std::string part = bytes.substr(250 - len, len);
    std::string back;
    ASSERT_TRUE(prefsformat::base64Decode(prefsformat::base64Encode(part), back));
    EXPECT_EQ(back, part);
  }
  std::string back;
  ASSERT_TRUE(prefsformat::base64Decode(prefsformat::base64Encode(bytes), back));
  EXPECT_EQ(back, bytes);
  EXPECT_TEXTS(
      {prefsformat::base64Encode("Man"), "TWFu"}, {prefsformat::base64Encode("Ma"), "TWE="},
      {prefsformat::base64Encode("M"), "TQ=="});
  for (const char* bad : {"TWF", "TW=u", "T===", "TQ=A", "TR==", "TW!u", "TWFu====", "=QQQ"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(prefsformat::base64Decode(bad, back));
  }
  EXPECT_TRUE(prefsformat::isValidUtf8(""));
  EXPECT_TRUE(prefsformat::isValidUtf8("\xf4\x8f\xbf\xbf"));
  EXPECT_FALSE(prefsformat::isValidUtf8("\xf8\x88\x80\x80\x80"));
  EXPECT_FALSE(prefsformat::isValidUtf8("\xe0\x9f\xbf"));  // overlong three-byte form
  EXPECT_FALSE(prefsformat::isValidUtf8("\x80"));
}

TEST_F(PrefsStoreTest, ChangesByOthersAreSeen) {
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

TEST_F(PrefsStoreTest, WritesLeaveOnlyTheFileAndItsLock) {
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(store.setMidiCC(i, i + 1));
  ASSERT_TRUE(store.setMidiCC(0, 1));  // no change
  EXPECT_EQ(prefstest::folderEntries(env.config),
            (std::vector<std::string>{"com.Qelm.Grindle2.json", "com.Qelm.Grindle2.json.lock"}));
}

TEST_F(PrefsStoreTest, LinkedFileStaysALink) {
  const std::string real = env.root + "/dotfiles/grindle.json";
  writeFile(real, R"({"Key": "N"})");
  std::filesystem::create_directories(env.config);
  std::filesystem::create_symlink(real, env.userFile());
  ASSERT_TRUE(store.setMidiCC(7, 70));
  EXPECT_TRUE(std::filesystem::is_symlink(env.userFile()));
  EXPECT_EQ(fileJson(real), json({{"Key", "N"}, {"7", 70}}));
}

TEST_F(PrefsStoreTest, UnusableLocationFailsQuietly) {
  writeFile(env.root + "/plain", "x");
  TPrefsStore blocked(env.root + "/plain/sub/com.Qelm.Grindle2.json");
  EXPECT_FALSE(blocked.saveInt("1", 2));
  EXPECT_EQ(blocked.loadInt("1"), 0);
  EXPECT_EQ(blocked.loadString("HelpDir"), "");
  // A key that is not UTF-8 cannot be written to the file; nothing else is disturbed.
  EXPECT_FALSE(store.saveString("bad\xff", "v"));
  EXPECT_FALSE(store.saveInts({{"1", 1}, {"\xc0", 2}}));
  EXPECT_FALSE(std::filesystem::exists(env.userFile()));
  TPrefsStore nowhere{std::string()};
  EXPECT_FALSE(nowhere.saveString("HelpDir", "/x"));
  EXPECT_EQ(nowhere.loadFolder("HelpDir", "/default"), "/default");
}

TEST(PrefsFunctions, DefaultStoreFollowsTheEnvironment) {
  {
    TempXdg env;
    saveIntToPrefs("Midi Channel", 5);
    saveStringToPrefs("HelpDir", std::string("/a.pdf"));
    char path[] = "/b/";
    saveStringToPrefs("ECSDir", path);
    setMidiCC(64, 12);
    setRegisterIsOn("Big200", true);
    EXPECT_EQ(loadIntFromPrefs("Midi Channel"), 5);
    EXPECT_EQ(getMidiCC(64), 12);
    EXPECT_TRUE(getRegisterIsOn("Big200", false));
    EXPECT_EQ(
        fileJson(env.userFile()),
        json({{"Midi Channel", 5}, {"HelpDir", "/a.pdf"}, {"ECSDir", "/b/"}, {"64", 12}, {"Big200", "Y"}}));
  }
  TempXdg other;
  EXPECT_EQ(loadIntFromPrefs("Midi Channel"), 0);
  EXPECT_EQ(getMidiCC(64), 0);
  EXPECT_EQ(defaultPrefsStore().userFile(), other.userFile());
}
