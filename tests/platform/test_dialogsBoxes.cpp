#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include "dialogTestSupport.h"
#include "platform/os/dialogBackend.h"
#include "platform/dialogs.h"
#include "vstgui/cfileselector.h"
#include "support/expectValues.h"

using dialogtest::exitedWith;
using dialogtest::ScopedBackend;
using dialogtest::ScriptedBackend;
using dialogtest::TempDir;
using platform::DialogTool;
using Args = std::vector<std::string>;

namespace {

platform::ProcessResult killedBySignal() {
  platform::ProcessResult r;
  r.started = true;
  r.termSignal = 9;
  return r;
}

}  // namespace

TEST(MessageBox, OkOnlyBoxIsTitledGrindle2AndReturnsOk) {
  ScriptedBackend backend(DialogTool::zenity);
  ScopedBackend installed(&backend);
  backend.answers = {exitedWith(0), exitedWith(1)};
  EXPECT_EQ(messageBox("Problem with ECS File", 2), 1);
  // Closing the window of an OK-only box is still "seen".
  EXPECT_EQ(messageBox("When you next open Grindle 2, it'll open in 150% Screen Mode", 0), 1);
  ASSERT_EQ(backend.calls.size(), 2u);
  EXPECT_EQ(backend.calls[0],
            (Args{"zenity", "--info", "--title=Grindle2", "--no-markup", "--text=Problem with ECS File"}));
  EXPECT_EQ(backend.calls[1][1], "--info");
}

TEST(MessageBox, OkCancelBoxReportsTheButton) {
  ScriptedBackend backend(DialogTool::kdialog);
  ScopedBackend installed(&backend);
  backend.answers = {exitedWith(0), exitedWith(1), exitedWith(2)};
  EXPECT_EQ(messageBox("Sure?", 1), 1);
  EXPECT_EQ(messageBox("Sure?", 1), 2);
  EXPECT_EQ(messageBox("Sure?", 1), 2);
  ASSERT_EQ(backend.calls.size(), 3u);
  EXPECT_EQ(backend.calls[0],
            (Args{"kdialog", "--title", "Grindle2", "--yes-label", "OK", "--no-label", "Cancel", "--yesno", "<qt>Sure?</qt>"}));
}

TEST(MessageBox, ABoxThatCannotBeShownGoesToStderrAndCountsAsCancelled) {
  for (const platform::ProcessResult& failure : {exitedWith(255), killedBySignal(), platform::ProcessResult{}}) {
    ScriptedBackend backend(DialogTool::zenity);
    ScopedBackend installed(&backend);
    backend.answers = {failure};
    testing::internal::CaptureStderr();
    EXPECT_EQ(messageBox("Problem with WaveShaper Preset File", 1), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Problem with WaveShaper Preset File"), std::string::npos);
  }
  ScriptedBackend none(DialogTool::none);
  ScopedBackend installed(&none);
  testing::internal::CaptureStderr();
  EXPECT_EQ(messageBox("Problem with ECS File", 2), 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Grindle2: Problem with ECS File\n");
  EXPECT_TRUE(none.calls.empty());
}

TEST(InputBox, OkReturnsTheTypedText) {
  ScriptedBackend backend(DialogTool::zenity);
  ScopedBackend installed(&backend);
  backend.answers = {exitedWith(0, "12\n"), exitedWith(0, "\n"), exitedWith(0, "a b $(c)\n")};
  std::string text = "-5.0";
  EXPECT_TRUE(inputBox("-30 to 10 dB", "Volume", text));
  EXPECT_EQ(text, "12");
  ASSERT_EQ(backend.calls.size(), 1u);
  EXPECT_EQ(backend.calls[0], (Args{"zenity", "--entry", "--title=Volume", "--text=-30 to 10 dB", "--entry-text=-5.0"}));
  // Clearing the field and pressing OK is an answer too.
  EXPECT_TRUE(inputBox("MIDI CC (0 - 127)", "MIDI CC : Volume", text));
  EXPECT_EQ(text, "");
  EXPECT_TRUE(inputBox("label", "title", text));
  EXPECT_EQ(text, "a b $(c)");
}

TEST(InputBox, CancelAndFailuresLeaveTheTextAlone) {
  ScriptedBackend backend(DialogTool::kdialog);
  ScopedBackend installed(&backend);
  // Cancel after typing: kdialog may still print what was typed; it must not be taken.
  backend.answers = {exitedWith(1, "12\n"), exitedWith(2), exitedWith(255, "junk\n"), killedBySignal()};
  std::string text = "On";
  testing::internal::CaptureStderr();
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(inputBox("0 for Off, 1 for On", "Gate On", text));
    EXPECT_EQ(text, "On");
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Gate On: 0 for Off, 1 for On"), std::string::npos);
  EXPECT_EQ(backend.calls.size(), 4u);
  EXPECT_EQ(backend.calls[0],
            (Args{"kdialog", "--title", "Gate On", "--inputbox", "<qt>0 for Off, 1 for On</qt>", "--", "On"}));

  ScriptedBackend none(DialogTool::none);
  ScopedBackend noTool(&none);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(inputBox("Set MIDI Input Channel (0 for Omni)", "MIDI Input Channel", text));
  EXPECT_EQ(text, "On");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("MIDI Input Channel"), std::string::npos);
}

TEST(FileSelectLoad, ChosenFileGivesPathAndFolderWithSlash) {
  ScriptedBackend backend(DialogTool::zenity);
  ScopedBackend installed(&backend);
  backend.answers = {exitedWith(0, "/Users/u/a.ecs\n")};
  std::string folder = "old folder";
  std::string path = "old path";
  EXPECT_TRUE(fileSelectLoadDir("Load ECS", "/Users/u/ECS", "*.ecs", folder, path));
  EXPECT_EQ(path, "/Users/u/a.ecs");
  EXPECT_EQ(folder, "/Users/u/");
  ASSERT_EQ(backend.calls.size(), 1u);
  EXPECT_EQ(backend.calls[0],
            (Args{"zenity", "--file-selection", "--title=Load ECS", "--filename=/Users/u/ECS/", "--file-filter=ecs | *.ecs"}));
}

TEST(FileSelectLoad, TheLastFilterTypeIsSelectedFirst) {
  ScriptedBackend backend(DialogTool::kdialog);
  ScopedBackend installed(&backend);
  backend.answers = {exitedWith(0, "/a/b.b\n")};
  std::string folder, path;
  EXPECT_TRUE(fileSelectLoadDir("", "", "*.a;*.b", folder, path));
  ASSERT_EQ(backend.calls.size(), 1u);
  EXPECT_EQ(backend.calls[0], (Args{"kdialog", "--getopenfilename", ".", "--", "*.b|b\n*.a|a"}));
}

TEST(FileSelectLoad, NothingChosenLeavesTheOutputsUntouched) {
  ScriptedBackend backend(DialogTool::zenity);
  ScopedBackend installed(&backend);
  backend.answers = {exitedWith(1), exitedWith(0, "\n"), exitedWith(0, ""), exitedWith(255, "/x/y.ecs\n")};
  testing::internal::CaptureStderr();
  for (int i = 0; i < 4; ++i) {
    std::string folder = "keep folder";
    std::string path = "keep path";
    EXPECT_FALSE(fileSelectLoadDir("Load ECS", "/d", "*.ecs", folder, path));
    EXPECT_EQ(folder, "keep folder");
    EXPECT_EQ(path, "keep path");
  }
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Load ECS"), std::string::npos);

  ScriptedBackend none(DialogTool::none);
  ScopedBackend noTool(&none);
  std::string folder = "keep folder";
  std::string path = "keep path";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(fileSelectLoadDir("Load WaveShaper Preset", "/d", "*.wsr", folder, path));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Load WaveShaper Preset"), std::string::npos);
  EXPECT_EQ(path, "keep path");
  EXPECT_TRUE(none.calls.empty());
}

TEST(FileSelectLoad, HostileChosenPathComesBackWhole) {
  ScriptedBackend backend(DialogTool::zenity);
  ScopedBackend installed(&backend);
  const std::string hostile = "/tmp/it's \"q\" $(rm -rf ~)/line\nfeed/`x`.ecs";
  backend.answers = {exitedWith(0, hostile + "\n")};
  std::string folder, path;
  EXPECT_TRUE(fileSelectLoadDir("Load ECS", "/tmp/$(x)", "*.ecs", folder, path));
  EXPECT_EQ(path, hostile);
  EXPECT_EQ(folder, "/tmp/it's \"q\" $(rm -rf ~)/line\nfeed/");
  EXPECT_EQ(backend.calls[0][3], "--filename=/tmp/$(x)/");
}

TEST(FileSelectSave, ForcesTheDefaultExtension) {
  ScriptedBackend backend(DialogTool::zenity);
  ScopedBackend installed(&backend);
  TempDir dir;  // empty: no file of the forced name exists
  backend.answers = {exitedWith(0, dir.file("My.Preset") + "\n"), exitedWith(0, dir.file("Name") + "\n"),
                     exitedWith(0, dir.file("Name") + "\n")};
  std::string folder, path;
  EXPECT_TRUE(fileSelectSaveDir("Save WaveShaper Preset", dir.path(), "Wave.wsr", folder, path));
  EXPECT_EQ(path, dir.file("My.wsr"));
  EXPECT_EQ(folder, dir.path());
  EXPECT_TRUE(fileSelectSaveDir("Save WaveShaper Preset", dir.path(), "Wave.wsr", folder, path));
  EXPECT_EQ(path, dir.file("Name.wsr"));
  EXPECT_TRUE(fileSelectSaveDir("x", dir.path(), "file.data", folder, path));
  EXPECT_EQ(path, dir.file("Name"));
  ASSERT_EQ(backend.calls.size(), 3u);  // no overwrite question for names that do not exist
  EXPECT_EQ(backend.calls[0], (Args{"zenity", "--file-selection", "--save", "--confirm-overwrite",
                                    "--title=Save WaveShaper Preset", "--filename=" + dir.path() + "/Wave.wsr"}));
}

TEST(FileSelectSave, AsksBeforeReplacingTheFileTheForcedNameHits) {
  TempDir dir;
  dialogtest::writeFile(dir.file("My.ecs"), "0\n");
  std::string folder = "keep folder";
  std::string path = "keep path";
  {
    ScriptedBackend backend(DialogTool::zenity);
    ScopedBackend installed(&backend);
    backend.answers = {exitedWith(0, dir.file("My.txt") + "\n"), exitedWith(1)};
    EXPECT_FALSE(fileSelectSaveDir("ECS Save", dir.path(), "Grindle2.ecs", folder, path));
    EXPECT_EQ(folder, "keep folder");
    EXPECT_EQ(path, "keep path");
    ASSERT_EQ(backend.calls.size(), 2u);
    const Args& question = backend.calls[1];
    ASSERT_GE(question.size(), 3u);
    EXPECT_EQ(question[1], "--question");
    EXPECT_EQ(question[2], "--title=Grindle2");
    EXPECT_NE(question.back().find(dir.file("My.ecs")), std::string::npos);
  }
  {
    ScriptedBackend backend(DialogTool::kdialog);
    ScopedBackend installed(&backend);
    backend.answers = {exitedWith(0, dir.file("My") + "\n"), exitedWith(0)};
    EXPECT_TRUE(fileSelectSaveDir("ECS Save", dir.path(), "Grindle2.ecs", folder, path));
    EXPECT_EQ(path, dir.file("My.ecs"));
    EXPECT_EQ(folder, dir.path());
    ASSERT_EQ(backend.calls.size(), 2u);
    EXPECT_EQ(backend.calls[1][7], "--yesno");
  }
  {
    // The chosen name itself exists: the desktop's dialog has already asked.
    ScriptedBackend backend(DialogTool::zenity);
    ScopedBackend installed(&backend);
    backend.answers = {exitedWith(0, dir.file("My.ecs") + "\n")};
    EXPECT_TRUE(fileSelectSaveDir("ECS Save", dir.path(), "Grindle2.ecs", folder, path));
    EXPECT_EQ(path, dir.file("My.ecs"));
    EXPECT_EQ(backend.calls.size(), 1u);
  }
}

TEST(FileSelectSave, RootFolderAndCancel) {
  ScriptedBackend backend(DialogTool::zenity);
  ScopedBackend installed(&backend);
  backend.answers = {exitedWith(0, "/grindle-no-such-file\n"), exitedWith(1)};
  std::string folder, path;
  EXPECT_TRUE(fileSelectSaveDir("ECS Save", "", "Grindle2.ecs", folder, path));
  EXPECT_EQ(path, "/grindle-no-such-file.ecs");
  EXPECT_EQ(folder, "/");
  EXPECT_EQ(backend.calls[0], (Args{"zenity", "--file-selection", "--save", "--confirm-overwrite", "--title=ECS Save",
                                    "--filename=Grindle2.ecs"}));
  folder = "keep";
  path = "keep";
  EXPECT_FALSE(fileSelectSaveDir("ECS Save", "/d", "Grindle2.ecs", folder, path));
  EXPECT_EQ(folder, "keep");
  EXPECT_EQ(path, "keep");
}

TEST(FileSelector, DefaultTypeComesFirstAndSelectionIsReadable) {
  using VSTGUI::CFileExtension;
  using VSTGUI::CNewFileSelector;
  ScriptedBackend backend(DialogTool::zenity);
  ScopedBackend installed(&backend);
  backend.answers = {exitedWith(0, "/p/q.wsr\n"), exitedWith(1)};

  CNewFileSelector* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectFile);
  ASSERT_NE(selector, nullptr);
  selector->addFileExtension(CFileExtension("ECS file", "ecs"));
  selector->addFileExtension(CFileExtension("Wave", "wsr"));
  selector->setDefaultExtension(CFileExtension("wsr", "wsr"));
  selector->setDefaultSaveName("ignored when loading");
  EXPECT_EQ(selector->getSelectedFile(0), nullptr);
  EXPECT_TRUE(selector->runModal());
  selector->cancel();
  ASSERT_EQ(selector->getNumSelectedFiles(), 1u);
  EXPECT_STREQ(selector->getSelectedFile(0), "/p/q.wsr");
  EXPECT_EQ(selector->getSelectedFile(1), nullptr);
  EXPECT_EQ(backend.calls[0], (Args{"zenity", "--file-selection", "--file-filter=wsr | *.wsr", "--file-filter=ecs | *.ecs"}));

  // A second run that is cancelled drops the earlier choice.
  EXPECT_FALSE(selector->runModal());
  EXPECT_EQ(selector->getNumSelectedFiles(), 0u);
  selector->forget();
}

TEST(FileSelector, ExtensionsCompareByWhatTheyMatch) {
  using VSTGUI::CFileExtension;
  EXPECT_EQ(CFileExtension("ECS", "ecs"), CFileExtension("ecs", "ecs"));
  EXPECT_FALSE(CFileExtension("ecs", "ecs") == CFileExtension("ecs", "wsr"));
  EXPECT_FALSE(CFileExtension("ecs", "ecs", "text/plain") == CFileExtension("ecs", "ecs"));
}

// The system's own backend, with stand-ins for the desktop's programs in a PATH of our own.
TEST(SystemDialogs, NoToolInPathMeansStderrAndCancel) {
  TempDir empty;
  dialogtest::ScopedEnv path("PATH", empty.path());
  EXPECT_EQ(platform::findDialogTool(), DialogTool::none);
  testing::internal::CaptureStderr();
  EXPECT_EQ(messageBox("Problem with ECS File", 1), 2);
  std::string text = "keep";
  EXPECT_FALSE(inputBox("MIDI CC (0 - 127)", "MIDI CC : Drive", text));
  std::string folder = "keep", file = "keep";
  EXPECT_FALSE(fileSelectLoadDir("Load ECS", "/", "*.ecs", folder, file));
  EXPECT_FALSE(fileSelectSaveDir("ECS Save", "/", "Grindle2.ecs", folder, file));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Problem with ECS File"), std::string::npos);
  EXPECT_NE(err.find("MIDI CC : Drive"), std::string::npos);
  EXPECT_NE(err.find("Load ECS"), std::string::npos);
  EXPECT_NE(err.find("ECS Save"), std::string::npos);
  EXPECT_EQ(text, "keep");
  EXPECT_EQ(file, "keep");

  dialogtest::ScopedEnv emptyPath("PATH", "");
  EXPECT_EQ(platform::findDialogTool(), DialogTool::none);
}

TEST(SystemDialogs, ZenityIsPreferredAndGetsEveryArgumentIntact) {
  dialogtest::FakeDisplay display;
  ASSERT_FALSE(display.name().empty());
  TempDir bin;
  dialogtest::writeFakeDialogTool(bin, "zenity", "typed $(x) 'y'\n", 0);
  dialogtest::writeFakeDialogTool(bin, "kdialog", "wrong tool\n", 0);
  dialogtest::ScopedEnv path("PATH", bin.path());
  EXPECT_EQ(platform::findDialogTool(), DialogTool::zenity);

  const std::string hostile = "it's \"q\" $(touch " + bin.file("pwned") + ") `id`\nnext line";
  std::string text = hostile;
  EXPECT_TRUE(inputBox("label_" + hostile, "title " + hostile, text));
  EXPECT_EQ(text, "typed $(x) 'y'");
  EXPECT_EQ(dialogtest::splitNul(dialogtest::readFile(bin.file("zenity.args"))),
            (Args{"--entry", "--title=title " + hostile, "--text=label__" + hostile, "--entry-text=" + hostile}));
  EXPECT_FALSE(std::filesystem::exists(bin.file("pwned")));
  EXPECT_FALSE(std::filesystem::exists(bin.file("kdialog.args")));
}

TEST(SystemDialogs, KdialogWhenZenityIsMissing) {
  dialogtest::FakeDisplay display;
  ASSERT_FALSE(display.name().empty());
  TempDir bin;
  dialogtest::writeFakeDialogTool(bin, "kdialog", "", 2);
  dialogtest::ScopedEnv path("PATH", bin.path());
  EXPECT_EQ(platform::findDialogTool(), DialogTool::kdialog);
  EXPECT_EQ(messageBox("Replace -rf?", 1), 2);
  EXPECT_EQ(dialogtest::splitNul(dialogtest::readFile(bin.file("kdialog.args"))),
            (Args{"--title", "Grindle2", "--yes-label", "OK", "--no-label", "Cancel", "--yesno", "<qt>Replace -rf?</qt>"}));
}

TEST(SystemDialogs, FileDialogThroughTheRealRunner) {
  dialogtest::FakeDisplay display;
  ASSERT_FALSE(display.name().empty());
  TempDir bin;
  const std::string chosen = "/tmp/a b/it's.ecs";
  dialogtest::writeFakeDialogTool(bin, "zenity", chosen + "\n", 0);
  dialogtest::ScopedEnv path("PATH", bin.path());
  std::string folder, file;
  EXPECT_TRUE(fileSelectLoadDir("Load ECS", "/tmp/a b", "*.ecs", folder, file));
  EXPECT_EQ(file, chosen);
  EXPECT_EQ(folder, "/tmp/a b/");
  EXPECT_EQ(dialogtest::splitNul(dialogtest::readFile(bin.file("zenity.args"))),
            (Args{"--file-selection", "--title=Load ECS", "--filename=/tmp/a b/", "--file-filter=ecs | *.ecs"}));
}

namespace {

// Every kind of dialog, for the no-display cases: what each returned.
struct Shown {
  int ok;
  int okCancel;
  bool input;
  bool load;
  bool save;
};

Shown tryEveryDialog(const std::string& text) {
  Shown r{};
  r.ok = messageBox(text, 0);
  r.okCancel = messageBox(text, 1);
  std::string typed = "keep";
  r.input = inputBox("label", "Input " + text, typed);
  std::string folder, file;
  r.load = fileSelectLoadDir("Load " + text, "/", "*.ecs", folder, file);
  r.save = fileSelectSaveDir("Save " + text, "/", "Grindle2.ecs", folder, file);
  return r;
}

}  // namespace

TEST(SystemDialogs, WithoutADisplayNothingIsStartedAndTheTextGoesToStderr) {
  TempDir bin;
  dialogtest::writeFakeDialogTool(bin, "zenity", "/tmp/x.ecs\n", 0);
  dialogtest::ScopedEnv path("PATH", bin.path());
  for (const char* display : {"", ":59123", ":59123.0", "unix:59123", "localhost:59123", "nonsense", ":x"}) {
    SCOPED_TRACE(display);
    dialogtest::ScopedEnv env("DISPLAY", display, display[0] == 0);
    EXPECT_FALSE(platform::displayReachable(std::getenv("DISPLAY")));
    testing::internal::CaptureStderr();
    const Shown r = tryEveryDialog("Problem <b> with ECS File");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_VALUES({r.ok, 2}, {r.okCancel, 2}, {r.input || r.load || r.save, false});
    for (const char* what : {"Grindle2: Problem <b> with ECS File\n", "Input Problem", "Load Problem", "Save Problem"})
      EXPECT_NE(err.find(what), std::string::npos) << what << " in " << err;
    EXPECT_FALSE(std::filesystem::exists(bin.file("zenity.args")));
    EXPECT_FALSE(std::filesystem::exists(bin.file("zenity.versions")));
  }
}

TEST(SystemDialogs, ZenityThatCannotOpenTheDisplayShowedNothing) {
  // The display answers, but GTK still cannot use it (refused, say): zenity exits 1.
  dialogtest::FakeDisplay display;
  ASSERT_FALSE(display.name().empty());
  TempDir bin;
  dialogtest::writeScript(bin.file("zenity"),
                          "echo >&2\necho \"(zenity:77): Gtk-WARNING **: 01:02:03.456: cannot open display: $DISPLAY\" >&2\n"
                          "exit 1\n");
  dialogtest::ScopedEnv path("PATH", bin.path());
  testing::internal::CaptureStderr();
  const Shown r = tryEveryDialog("Replace it?");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_VALUES({r.ok, 2}, {r.okCancel, 2}, {r.input || r.load || r.save, false});
  EXPECT_NE(err.find("Grindle2: Replace it?\n"), std::string::npos) << err;
  EXPECT_NE(err.find("cannot open display: " + display.name()), std::string::npos) << err;  // zenity's own words
  EXPECT_NE(err.find("Input Replace it?"), std::string::npos) << err;
}

TEST(SystemDialogs, ZenityFourSavesWithoutTheDeprecatedOption) {
  dialogtest::FakeDisplay display;
  ASSERT_FALSE(display.name().empty());
  for (const auto& [version, confirms] : {std::pair<const char*, bool>{"3.44.0", true}, {"4.0.1", false}, {"garbage", true}}) {
    SCOPED_TRACE(version);
    TempDir bin;
    dialogtest::writeFakeDialogTool(bin, "zenity", bin.file("a.ecs") + "\n", 0, version);
    dialogtest::ScopedEnv path("PATH", bin.path());
    for (int run = 0; run < 2; ++run) {
      std::string folder, file;
      ASSERT_TRUE(fileSelectSaveDir("ECS Save", bin.path(), "Grindle2.ecs", folder, file));
      EXPECT_EQ(file, bin.file("a.ecs"));
      Args expected = {"--file-selection", "--save", "--confirm-overwrite", "--title=ECS Save",
                       "--filename=" + bin.path() + "/Grindle2.ecs"};
      if (!confirms) expected.erase(expected.begin() + 2);
      EXPECT_EQ(dialogtest::splitNul(dialogtest::readFile(bin.file("zenity.args"))), expected);
    }
    // Asked once for each zenity; a version that cannot be read is asked for again.
    const std::string asked = dialogtest::readFile(bin.file("zenity.versions"));
    EXPECT_EQ(asked, std::string(version) == "garbage" ? "asked\nasked\n" : "asked\n");
  }
}

TEST(SystemDialogs, DisplaysAreFoundWhereTheirServersListen) {
  EXPECT_FALSE(platform::displayReachable(nullptr));
  dialogtest::FakeDisplay local;
  ASSERT_FALSE(local.name().empty());
  const std::string number = local.name().substr(1);
  for (const std::string& d : {local.name(), local.name() + ".0", "unix:" + number, "unix/:" + number})
    EXPECT_TRUE(platform::displayReachable(d.c_str())) << d;
  for (const std::string& d : std::vector<std::string>{local.name() + "x", local.name() + ".", ":-1", ":", "/nonexistent/socket"})
    EXPECT_FALSE(platform::displayReachable(d.c_str())) << d;

  // Over TCP: display n listens on port 6000 + n.
  int listener = -1;
  int n = 0;
  for (n = 3100; n < 3200 && listener < 0; ++n) {
    listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(6000 + n));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 4) != 0) {
      ::close(listener);
      listener = -1;
    }
  }
  ASSERT_GE(listener, 0);
  const std::string tcp = std::to_string(n - 1);
  for (const std::string& d : {"127.0.0.1:" + tcp, "127.0.0.1:" + tcp + ".0", "tcp/127.0.0.1:" + tcp})
    EXPECT_TRUE(platform::displayReachable(d.c_str())) << d;
  ::close(listener);
  EXPECT_FALSE(platform::displayReachable(("127.0.0.1:" + tcp).c_str()));
}
