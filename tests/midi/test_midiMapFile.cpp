// The controller-map file: its text, loading and saving through the file dialogs, and
// failures that leave the map as it was.
#include <sys/stat.h>

#include <filesystem>

#include "midiTestUtil.h"
#include "platform/dialogTestSupport.h"
#include "platform/platform.h"
#include "plugin/uMidiMapFile.h"

using namespace miditest;
using midimap::CCMap;

namespace {

std::string lines(int count, const std::string& value = "0") {
  std::string text;
  for (int i = 0; i < count; ++i) text += value + "\n";
  return text;
}

CCMap sample() {
  CCMap m{};
  for (int i = 0; i < 128; ++i) m[static_cast<std::size_t>(i)] = (i * 37) % 1025;
  return m;
}

struct ScriptedDialogs {
  dialogtest::ScriptedBackend backend{platform::DialogTool::zenity};
  platform::IDialogBackend* old = platform::setDialogBackend(&backend);
  ~ScriptedDialogs() { platform::setDialogBackend(old); }
  int problemsShown() const {
    int n = 0;
    for (const auto& argv : backend.calls)
      for (const auto& a : argv)
        if (a.find("Problem with ECS File") != std::string::npos) ++n;
    return n;
  }
};

CCMap mapOf(const APlugin& p) {
  CCMap m{};
  for (int cc = 0; cc < 128; ++cc) m[static_cast<std::size_t>(cc)] = p.getMidiCCTag(cc);
  return m;
}

}  // namespace

TEST(EcsText, FormatsOneNumberALineAndParsesItBack) {
  const CCMap m = sample();
  const std::string text = midimap::formatECS(m);
  EXPECT_EQ(text.substr(0, 11), "0\n37\n74\n111");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 128);
  CCMap back{};
  ASSERT_TRUE(midimap::parseECS(text, back));
  EXPECT_EQ(back, m);
}

TEST(EcsText, AcceptsWhatTheLineFormatAllows) {
  CCMap m{};
  EXPECT_TRUE(midimap::parseECS(lines(128, "1024"), m));
  EXPECT_EQ(m[127], 1024);
  EXPECT_TRUE(midimap::parseECS(lines(127, "3") + "3", m));          // no final line break
  EXPECT_TRUE(midimap::parseECS(lines(128, "0005\r") + "\n\n", m));  // CR LF, blank lines at the end
  EXPECT_EQ(m[0], 5);
  EXPECT_TRUE(midimap::parseECS("  " + lines(128, "+2 "), m));
  EXPECT_EQ(m[64], 2);
}

TEST(EcsText, RefusesAnythingElseAndKeepsTheOldValues) {
  const CCMap old = sample();
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"127 lines", lines(127)},
      {"129 lines", lines(129)},
      {"empty", ""},
      {"2000", lines(60) + "2000\n" + lines(67)},
      {"1025", lines(127) + "1025\n"},
      {"negative", "-1\n" + lines(127)},
      {"huge", lines(5) + "99999999999999999999999\n" + lines(122)},
      {"word", lines(10) + "abc\n" + lines(117)},
      {"number then word", lines(10) + "12abc\n" + lines(117)},
      {"decimal", lines(10) + "1.5\n" + lines(117)},
      {"sign alone", lines(10) + "-\n" + lines(117)},
      {"trailing text", lines(128) + "x"},
      {"NUL", lines(127) + std::string("0\0", 2)},
  };
  for (const auto& [name, text] : bad) {
    CCMap m = old;
    EXPECT_FALSE(midimap::parseECS(text, m)) << name;
    EXPECT_EQ(m, old) << name;
  }
}

TEST(EcsFile, SavedFilesLoadBackAndTheCaptureStartsAfresh) {
  Fixture f;
  Probe& p = *f.p;
  ScriptedDialogs dialogs;
  dialogtest::TempDir dir;
  for (int cc = 0; cc < 128; ++cc) p.setMidiCCTag(cc, (cc * 7) % 1024);
  const CCMap saved = mapOf(p);
  ASSERT_TRUE(p.saveECSFile(dir.file("a.ecs")));
  EXPECT_EQ(dialogtest::readFile(dir.file("a.ecs")), midimap::formatECS(saved));

  p.resetMidi();
  p.setParameter(7, 0.25f);
  ASSERT_TRUE(p.loadECSFile(dir.file("a.ecs")));
  EXPECT_EQ(mapOf(p), saved);
  EXPECT_EQ(getMidiCC(1), 7);
  EXPECT_EQ(getMidiCC(127), (127 * 7) % 1024);
  EXPECT_FLOAT_EQ(p.getMidiCaptureValue(7), 0.25f);
  EXPECT_EQ(dialogs.problemsShown(), 0);

  // 1024 is kept but binds nothing.
  dialogtest::writeFile(dir.file("b.ecs"), lines(128, "1024"));
  ASSERT_TRUE(p.loadECSFile(dir.file("b.ecs")));
  EXPECT_EQ(p.getMidiCCTag(16), 1024);
  EventList list;
  list.cc(16, 127);
  play(p, list);
  EXPECT_EQ(p.getSourceValue(16), 1.0f);
}

TEST(EcsFile, BadFilesChangeNothingAndSaySo) {
  Fixture f;
  Probe& p = *f.p;
  ScriptedDialogs dialogs;
  dialogtest::TempDir dir;
  p.setMidiCCTag(3, 33);
  const CCMap before = mapOf(p);
  int expectedProblems = 0;
  for (const std::string& text : {lines(127), lines(129), lines(20) + "2000\n" + lines(107),
                                  lines(20) + "x\n" + lines(107), std::string(70000, '\n')}) {
    dialogtest::writeFile(dir.file("bad.ecs"), text);
    EXPECT_FALSE(p.loadECSFile(dir.file("bad.ecs")));
    EXPECT_EQ(mapOf(p), before);
    EXPECT_EQ(getMidiCC(3), 33);
    EXPECT_EQ(dialogs.problemsShown(), ++expectedProblems);
  }
  EXPECT_FALSE(p.loadECSFile(dir.file("missing.ecs")));
  EXPECT_FALSE(p.loadECSFile(dir.path()));  // a folder
  ASSERT_EQ(::mkfifo(dir.file("fifo.ecs").c_str(), 0600), 0);
  EXPECT_FALSE(p.loadECSFile(dir.file("fifo.ecs")));  // refused at once, no writer needed
  EXPECT_EQ(dialogs.problemsShown(), expectedProblems + 3);
  EXPECT_EQ(mapOf(p), before);
}

TEST(EcsFile, FailedSavesSaySo) {
  Fixture f;
  Probe& p = *f.p;
  ScriptedDialogs dialogs;
  dialogtest::TempDir dir;
  EXPECT_FALSE(p.saveECSFile(dir.file("no/such/folder/a.ecs")));
  EXPECT_EQ(dialogs.problemsShown(), 1);
  // A folder or a device in the file's place is never replaced.
  EXPECT_FALSE(p.saveECSFile(dir.file("")));
  EXPECT_EQ(dialogs.problemsShown(), 2);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("")));
  EXPECT_FALSE(p.saveECSFile("/dev/null"));
  EXPECT_EQ(dialogs.problemsShown(), 3);
  EXPECT_FALSE(std::filesystem::is_regular_file("/dev/null"));
}

TEST(EcsFile, ASaveReplacesTheWholeFileOrNothing) {
  Fixture f;
  Probe& p = *f.p;
  ScriptedDialogs dialogs;
  dialogtest::TempDir dir;
  const std::string path = dir.file("map.ecs");
  p.setMidiCCTag(7, 42);
  ASSERT_TRUE(p.saveECSFile(path));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  CCMap before = mapOf(p);
  p.setMidiCCTag(7, 0);
  ASSERT_TRUE(p.loadECSFile(path));
  EXPECT_EQ(mapOf(p), before);
  EXPECT_EQ(dialogs.problemsShown(), 0);
}

TEST(EcsFile, TheDialogsChooseTheFiles) {
  Fixture f;
  Probe& p = *f.p;
  ScriptedDialogs dialogs;
  dialogtest::TempDir dir;
  auto& answers = dialogs.backend.answers;
  p.setMidiCCTag(10, 100);
  const CCMap saved = mapOf(p);

  answers.push_back(dialogtest::exitedWith(0, dir.file("mine") + "\n"));
  p.saveECS();
  ASSERT_FALSE(dialogs.backend.calls.empty());
  EXPECT_EQ(dialogtest::readFile(dir.file("mine.ecs")), midimap::formatECS(saved));
  bool proposed = false;
  for (const auto& a : dialogs.backend.calls[0])
    proposed = proposed || a.find("Grindle2.ecs") != std::string::npos;
  EXPECT_TRUE(proposed);

  p.resetMidi();
  answers.push_back(dialogtest::exitedWith(1));  // cancelled: nothing happens
  p.loadECS();
  EXPECT_EQ(p.getMidiCCTag(10), 0);
  answers.push_back(dialogtest::exitedWith(0, dir.file("mine.ecs") + "\n"));
  p.loadECS();
  EXPECT_EQ(mapOf(p), saved);
  EXPECT_EQ(dialogs.problemsShown(), 0);
}
