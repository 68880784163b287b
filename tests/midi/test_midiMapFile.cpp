// The controller-map file: its text, loading and saving through the file dialogs, and failures
// that leave the map as it was.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "midiTestUtil.h"
#include "platform/platform.h"
#include "plugin/uMidiMapFile.h"
#include "support/expectValues.h"

using namespace miditest;
using midimap::CCMap;

namespace {

std::string lines(int count, const std::string& value = "0") {
  std::string text;
  for (int i = 0; i < count; ++i) text += value + "\n";
  return text;
}

CCMap mapOf(const APlugin& p) {
  CCMap m{};
  for (int cc = 0; cc < 128; ++cc) m[static_cast<std::size_t>(cc)] = p.getMidiCCTag(cc);
  return m;
}

}  // namespace

// One number a line, 128 lines; what the line format allows is read, anything else refused
// with the old values kept.
TEST(EcsText, RoundTripAndWhatTheLineFormatAllows) {
  CCMap m{};
  for (int i = 0; i < 128; ++i) m[static_cast<std::size_t>(i)] = (i * 37) % 1025;
  const std::string text = midimap::formatECS(m);
  EXPECT_EQ(text.substr(0, 11), "0\n37\n74\n111");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 128);
  CCMap back{};
  ASSERT_TRUE(midimap::parseECS(text, back));
  EXPECT_EQ(back, m);

  const std::pair<std::string, int> good[] = {{lines(128, "1024"), 1024},
                                              {lines(127, "3") + "3", 3},            // no final line break
                                              {lines(128, "0005\r") + "\n\n", 5},    // CR LF, blank lines at the end
                                              {"  " + lines(128, "+2 "), 2}};
  for (const auto& [goodText, value] : good) {
    EXPECT_TRUE(midimap::parseECS(goodText, back)) << value;
    EXPECT_VALUES({back[0], value}, {back[127], value});
  }
  const std::string bad[] = {lines(127), lines(129), "", lines(60) + "2000\n" + lines(67), lines(127) + "1025\n",
                             "-1\n" + lines(127), lines(5) + "99999999999999999999999\n" + lines(122),
                             lines(10) + "abc\n" + lines(117), lines(10) + "12abc\n" + lines(117),
                             lines(10) + "1.5\n" + lines(117), lines(10) + "-\n" + lines(117), lines(128) + "x",
                             lines(127) + std::string("0\0", 2)};
  for (const std::string& badText : bad) {
    CCMap kept = m;
    EXPECT_FALSE(midimap::parseECS(badText, kept)) << badText.size();
    EXPECT_EQ(kept, m) << badText.size();
  }
}

// Saved files load back whole (replacing the file or nothing) and the pick-up starts afresh; a
// 1024 is kept but binds nothing.
TEST(EcsFile, SavedFilesLoadBack) {
  Fixture f;
  Probe& p = *f.p;
  dialogtest::TempDir dir;
  for (int cc = 0; cc < 128; ++cc) p.setMidiCCTag(cc, (cc * 7) % 1024);
  const CCMap saved = mapOf(p);
  ASSERT_TRUE(p.saveECSFile(dir.file("a.ecs")));
  EXPECT_EQ(dialogtest::readFile(dir.file("a.ecs")), midimap::formatECS(saved));
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.ecs.tmp")));
  p.resetMidi();
  p.setParameter(7, 0.25f);
  ASSERT_TRUE(p.loadECSFile(dir.file("a.ecs")));
  EXPECT_EQ(mapOf(p), saved);
  EXPECT_EQ(getMidiCC(127), (127 * 7) % 1024);
  EXPECT_FLOAT_EQ(p.getMidiCaptureValue(7), 0.25f);

  dialogtest::writeFile(dir.file("b.ecs"), lines(128, "1024"));
  ASSERT_TRUE(p.loadECSFile(dir.file("b.ecs")));
  EXPECT_EQ(p.getMidiCCTag(16), 1024);
  f.list.cc(16, 127);
  f.play();
  EXPECT_EQ(p.getSourceValue(16), 1.0f);
  EXPECT_EQ(f.problemsShown(), 0);
}

// Bad or unreadable files and failed saves change nothing and say so; a folder or a device in
// the file's place is never replaced.
TEST(EcsFile, FailuresChangeNothingAndSaySo) {
  Fixture f;
  Probe& p = *f.p;
  dialogtest::TempDir dir;
  p.setMidiCCTag(3, 33);
  const CCMap before = mapOf(p);
  ASSERT_EQ(::mkfifo(dir.file("fifo.ecs").c_str(), 0600), 0);
  int problems = 0;
  for (const std::string& text : {lines(127), lines(20) + "x\n" + lines(107), std::string(70000, '\n')}) {
    dialogtest::writeFile(dir.file("bad.ecs"), text);
    EXPECT_FALSE(p.loadECSFile(dir.file("bad.ecs")));
    EXPECT_EQ(f.problemsShown(), ++problems);
  }
  // A pipe is refused at once, no writer needed.
  for (const std::string& path : {dir.file("missing.ecs"), dir.path(), dir.file("fifo.ecs")}) {
    EXPECT_FALSE(p.loadECSFile(path)) << path;
    EXPECT_EQ(f.problemsShown(), ++problems) << path;
  }
  for (const std::string& path : {dir.file("no/such/folder/a.ecs"), dir.file(""), std::string("/dev/null")}) {
    EXPECT_FALSE(p.saveECSFile(path)) << path;
    EXPECT_EQ(f.problemsShown(), ++problems) << path;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
  EXPECT_FALSE(std::filesystem::is_regular_file("/dev/null"));
  EXPECT_EQ(mapOf(p), before);
  EXPECT_EQ(getMidiCC(3), 33);
}

TEST(EcsFile, TheDialogsChooseTheFiles) {
  Fixture f;
  Probe& p = *f.p;
  dialogtest::TempDir dir;
  p.setMidiCCTag(10, 100);
  const CCMap saved = mapOf(p);
  f.dialogs.answers.push_back(dialogtest::exitedWith(0, dir.file("mine") + "\n"));
  p.saveECS();
  ASSERT_FALSE(f.dialogs.calls.empty());
  EXPECT_EQ(dialogtest::readFile(dir.file("mine.ecs")), midimap::formatECS(saved));
  EXPECT_NE(testing::PrintToString(f.dialogs.calls[0]).find("Grindle2.ecs"), std::string::npos);  // proposed

  p.resetMidi();
  f.dialogs.answers.push_back(dialogtest::exitedWith(1));  // cancelled: nothing happens
  p.loadECS();
  EXPECT_EQ(p.getMidiCCTag(10), 0);
  f.dialogs.answers.push_back(dialogtest::exitedWith(0, dir.file("mine.ecs") + "\n"));
  p.loadECS();
  EXPECT_EQ(mapOf(p), saved);
  EXPECT_EQ(f.problemsShown(), 0);
}
