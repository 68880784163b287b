// The plug-in's dialogs as the user meets them: answers scripted per tool, then the system's
// own backend with stand-ins for the desktop's programs in a PATH of our own.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include "dialogTestSupport.h"
#include "platform/dialogs.h"
#include "platform/os/dialogBackend.h"
#include "support/expectValues.h"
#include "vstgui/cfileselector.h"

using dialogtest::exitedWith;
using dialogtest::ScopedEnv;
using dialogtest::TempDir;
using platform::DialogTool;
using platform::ProcessResult;
using Args = std::vector<std::string>;
constexpr DialogTool Z = DialogTool::zenity, K = DialogTool::kdialog, None = DialogTool::none;

namespace {

ProcessResult killed() {
  ProcessResult r;
  r.started = true;
  r.termSignal = 9;
  return r;
}

class Dialogs : public ::testing::Test {
 protected:
  // Installs `tool` answering with `answers`; returns what `call` wrote to standard error.
  template <typename F>
  std::string run(DialogTool tool, std::vector<ProcessResult> answers, F call) {
    backend.tool = tool;
    backend.answers.assign(answers.begin(), answers.end());
    backend.calls.clear();
    testing::internal::CaptureStderr();
    call();
    return testing::internal::GetCapturedStderr();
  }
  dialogtest::ScriptedBackend backend{Z};
  dialogtest::ScopedBackend installed{&backend};
};

}  // namespace

TEST_F(Dialogs, BoxesReportTheButtonAndUnshownOnesGoToStderr) {
  struct Case {
    DialogTool tool;
    ProcessResult answer;
    int type;          // messageBox's type; -1 the input box
    int result;        // messageBox's result; the input box's as 1 or 0
    const char* text;  // the input box's text afterwards (preset "On")
    const char* err;   // what standard error holds ("" nothing)
  };
  const char* label = "0 for Off, 1 for On";
  const char* unshownInput = "Gate On: 0 for Off, 1 for On";
  const Case cases[] = {
      {Z, exitedWith(0), 2, 1, "", ""},
      {Z, exitedWith(1), 0, 1, "", ""},  // closing the window of an OK-only box is still "seen"
      {K, exitedWith(0), 1, 1, "", ""},
      {K, exitedWith(1), 1, 2, "", ""},
      {K, exitedWith(2), 1, 2, "", ""},
      {Z, exitedWith(255), 1, 2, "", "Grindle2: Sure?\n"},
      {Z, killed(), 1, 2, "", "Grindle2: Sure?\n"},
      {Z, ProcessResult{}, 0, 2, "", "Grindle2: Sure?\n"},
      {None, {}, 2, 2, "", "Grindle2: Sure?\n"},
      {Z, exitedWith(0, "12\n"), -1, 1, "12", ""},
      {Z, exitedWith(0, "\n"), -1, 1, "", ""},  // clearing the field and pressing OK is an answer too
      {Z, exitedWith(0, "a b $(c)\n"), -1, 1, "a b $(c)", ""},
      {K, exitedWith(1, "12\n"), -1, 0, "On", ""},  // kdialog may print what was typed before Cancel
      {K, exitedWith(2), -1, 0, "On", ""},
      {K, exitedWith(255, "junk\n"), -1, 0, "On", unshownInput},
      {K, killed(), -1, 0, "On", unshownInput},
      {None, {}, -1, 0, "On", unshownInput}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE("row " + std::to_string(i));
    int result = -1;
    std::string text = "On";
    const std::string err = run(c.tool, {c.answer}, [&] {
      result = c.type >= 0 ? messageBox("Sure?", c.type) : inputBox(label, "Gate On", text);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(text, c.type < 0 ? c.text : "On");
    EXPECT_TRUE(*c.err != 0 || err.empty()) << err;
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
    Args command = c.type >= 0 ? platform::messageCommand(c.tool, "Grindle2", "Sure?", c.type == 1)
                               : platform::inputCommand(c.tool, "Gate On", label, "On");
    EXPECT_EQ(backend.calls, c.tool == None ? std::vector<Args>{} : std::vector<Args>{command});
  }
}

TEST_F(Dialogs, FileSelectionsSetPathAndFolderOnlyWhenAFileIsChosen) {
  TempDir dir;
  dialogtest::writeFile(dir.file("My.ecs"), "0\n");
  const std::string d = dir.path(), k = "keep";
  const std::string hostile = "/tmp/it's \"q\" $(rm -rf ~)/line\nfeed/`x`.ecs";
  struct Case {
    DialogTool tool;
    bool save;
    std::string title, start, name;  // the initial folder; the filter, or the default name
    Args types;                      // asked for, the one selected first first
    std::vector<ProcessResult> answers;
    std::string path, folder;  // afterwards; "keep" when nothing may be chosen
  };
  const Case cases[] = {
      {Z,
       false,
       "Load ECS",
       "/Users/u/ECS",
       "*.ecs",
       {"ecs"},
       {exitedWith(0, "/Users/u/a.ecs\n")},
       "/Users/u/a.ecs",
       "/Users/u/"},
      {K, false, "", "", "*.a;*.b", {"b", "a"}, {exitedWith(0, "/a/b.b\n")}, "/a/b.b", "/a/"},
      {Z,
       false,
       "Load ECS",
       "/tmp/$(x)",
       "*.ecs",
       {"ecs"},
       {exitedWith(0, hostile + "\n")},
       hostile,
       "/tmp/it's \"q\" $(rm -rf ~)/line\nfeed/"},
      {Z, false, "Load ECS", "/d", "*.ecs", {"ecs"}, {exitedWith(1)}, k, k},
      {Z, false, "Load ECS", "/d", "*.ecs", {"ecs"}, {exitedWith(0, "\n")}, k, k},
      {Z, false, "Load ECS", "/d", "*.ecs", {"ecs"}, {exitedWith(255, "/x/y.ecs\n")}, k, k},
      {None, false, "Load ECS", "/d", "*.ecs", {}, {}, k, k},
      // The default name's extension is forced onto the chosen name; the user is asked before
      // the file the forced name hits is replaced.
      {Z, true, "Save", d, "Wave.wsr", {}, {exitedWith(0, d + "/My.Preset\n")}, d + "/My.wsr", d},
      {Z, true, "ECS Save", d, "Grindle2.ecs", {}, {exitedWith(0, d + "/My.txt\n"), exitedWith(1)}, k, k},
      {K,
       true,
       "ECS Save",
       d,
       "Grindle2.ecs",
       {},
       {exitedWith(0, d + "/My\n"), exitedWith(0)},
       d + "/My.ecs",
       d},
      // The chosen name itself exists: the desktop's dialog has already asked.
      {Z, true, "ECS Save", d, "Grindle2.ecs", {}, {exitedWith(0, d + "/My.ecs\n")}, d + "/My.ecs", d},
      {Z,
       true,
       "ECS Save",
       "",
       "Grindle2.ecs",
       {},
       {exitedWith(0, "/grindle-no-such-file\n")},
       "/grindle-no-such-file.ecs",
       "/"},
      {Z, true, "ECS Save", "/d", "Grindle2.ecs", {}, {exitedWith(1)}, k, k},
      {None, true, "ECS Save", "/d", "Grindle2.ecs", {}, {}, k, k}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE("row " + std::to_string(i));
    std::string folder = k, path = k;
    bool chosen = false;
    const std::string err = run(c.tool, c.answers, [&] {
      chosen = c.save ? fileSelectSaveDir(c.title, c.start, c.name, folder, path)
                      : fileSelectLoadDir(c.title, c.start, c.name, folder, path);
    });
    EXPECT_VALUES({chosen, c.path != k}, {backend.calls.size(), c.answers.size()});
    EXPECT_TEXTS({path, c.path}, {folder, c.folder});
    // A dialog that could not be shown is told on standard error, naming its title.
    const bool unshown = c.tool == None || c.answers[0].exitCode > 2;
    EXPECT_EQ(err.empty(), !unshown) << err;
    EXPECT_TRUE(!unshown || err.find(c.title) != std::string::npos) << err;
    if (c.tool == None) continue;
    const platform::FileDialogRequest request{c.save, c.title, c.start, c.save ? c.name : "", c.types};
    EXPECT_EQ(backend.calls[0], platform::fileCommand(c.tool, request, 3));
    const std::string question = "The file " + d + "/My.ecs already exists. Do you want to replace it?";
    EXPECT_TRUE(c.answers.size() == 1 ||
                backend.calls[1] == platform::messageCommand(c.tool, "Grindle2", question, true));
  }
}

TEST_F(Dialogs, FileSelectorPutsTheDefaultTypeFirstAndForgetsACancelledRun) {
  backend.answers = {exitedWith(0, "/p/q.wsr\n"), exitedWith(1)};
  auto* selector = VSTGUI::CNewFileSelector::create(nullptr, VSTGUI::CNewFileSelector::kSelectFile);
  selector->addFileExtension(VSTGUI::CFileExtension("ECS file", "ecs"));
  selector->addFileExtension(VSTGUI::CFileExtension("Wave", "wsr"));
  selector->setDefaultExtension(VSTGUI::CFileExtension("wsr", "wsr"));
  EXPECT_EQ(selector->runModal(), true);
  EXPECT_EQ(backend.calls[0],
            (Args{"zenity", "--file-selection", "--file-filter=wsr | *.wsr", "--file-filter=ecs | *.ecs"}));
  EXPECT_VALUES({selector->getNumSelectedFiles(), 1}, {selector->getSelectedFile(1) == nullptr, true});
  EXPECT_STREQ(selector->getSelectedFile(0), "/p/q.wsr");
  EXPECT_VALUES({selector->runModal(), false}, {selector->getNumSelectedFiles(), 0});
  selector->forget();
}

namespace {

// Shows every kind of dialog titled after `text`: what each returned, and 1 when the outputs
// of the input box and the file dialogs stayed as they were.
std::vector<int> tryEveryDialog(const std::string& text) {
  std::string typed = "keep", folder = "keep", file = "keep";
  std::vector<int> r = {messageBox(text, 0), messageBox(text, 1), inputBox("label", "Input " + text, typed)};
  r.push_back(fileSelectLoadDir("Load " + text, "/", "*.ecs", folder, file));
  r.push_back(fileSelectSaveDir("Save " + text, "/", "Grindle2.ecs", folder, file));
  r.push_back(typed == "keep" && folder == "keep" && file == "keep");
  return r;
}

}  // namespace

TEST(SystemDialogs, WithoutAToolOrADisplayEveryDialogGoesToStderr) {
  TempDir bin;
  ScopedEnv path("PATH", bin.path());
  const auto expectUnshown = [](const std::string& extra) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(tryEveryDialog("Problem <b> with ECS File"), (std::vector<int>{2, 2, 0, 0, 0, 1}));
    const std::string err = testing::internal::GetCapturedStderr();
    for (const std::string what : {"Grindle2: Problem <b> with ECS File\n", "Input Problem", "Load Problem",
                                   "Save Problem", extra.c_str()})
      EXPECT_NE(err.find(what), std::string::npos) << what << " in " << err;
  };
  {
    dialogtest::FakeDisplay display;  // no program at all
    expectUnshown("");
  }
  dialogtest::writeFakeDialogTool(bin, "zenity", "/tmp/x.ecs\n", 0);
  for (const char* display : {"", ":59123", ":59123.0", "unix:59123", "localhost:59123", "nonsense", ":x"}) {
    SCOPED_TRACE(display);
    ScopedEnv env("DISPLAY", display, display[0] == 0);
    EXPECT_FALSE(platform::displayReachable(std::getenv("DISPLAY")));
    expectUnshown("");
    EXPECT_FALSE(std::filesystem::exists(bin.file("zenity.args")));
    EXPECT_FALSE(std::filesystem::exists(bin.file("zenity.versions")));
  }
  // The display answers, but GTK still cannot use it (refused, say): zenity exits 1 and says why.
  dialogtest::FakeDisplay display;
  ASSERT_FALSE(display.name().empty());
  dialogtest::writeScript(bin.file("zenity"),
                          "echo >&2\necho \"(zenity:77): Gtk-WARNING **: 01:02:03.456: cannot open display: "
                          "$DISPLAY\" >&2\nexit 1\n");
  expectUnshown("cannot open display: " + display.name());
}

TEST(SystemDialogs, ZenityIsPreferredAndFromVersionFourSavesWithoutTheDeprecatedOption) {
  dialogtest::FakeDisplay display;
  ASSERT_FALSE(display.name().empty());
  for (const auto& [version, confirms] :
       {std::pair<std::string, bool>{"3.44.0", true}, {"4.0.1", false}, {"garbage", true}}) {
    SCOPED_TRACE(version);
    TempDir bin;
    ScopedEnv path("PATH", bin.path());
    dialogtest::writeFakeDialogTool(bin, "kdialog", "", 2);
    EXPECT_EQ(platform::findDialogTool(), K);
    dialogtest::writeFakeDialogTool(bin, "zenity", bin.file("a.ecs") + "\n", 0, version);
    EXPECT_EQ(platform::findDialogTool(), Z);
    Args expected = {"--file-selection", "--save", "--confirm-overwrite", "--title=ECS Save",
                     "--filename=" + bin.path() + "/Grindle2.ecs"};
    if (!confirms) expected.erase(expected.begin() + 2);
    for (int run = 0; run < 2; ++run) {
      std::string folder, file;
      ASSERT_TRUE(fileSelectSaveDir("ECS Save", bin.path(), "Grindle2.ecs", folder, file));
      EXPECT_EQ(file, bin.file("a.ecs"));
      EXPECT_EQ(dialogtest::splitNul(dialogtest::readFile(bin.file("zenity.args"))), expected);
    }
    // Asked once for each zenity; a version that cannot be read is asked for again.
    EXPECT_EQ(dialogtest::readFile(bin.file("zenity.versions")),
              version == "garbage" ? "asked\nasked\n" : "asked\n");
    EXPECT_FALSE(std::filesystem::exists(bin.file("kdialog.args")));
  }
}

TEST(SystemDialogs, DisplaysAreFoundWhereTheirServersListen) {
  EXPECT_FALSE(platform::displayReachable(nullptr));
  dialogtest::FakeDisplay local;
  ASSERT_FALSE(local.name().empty());
  const std::string number = local.name().substr(1);
  for (const std::string& d : {local.name(), local.name() + ".0", "unix:" + number, "unix/:" + number})
    EXPECT_TRUE(platform::displayReachable(d.c_str())) << d;
  for (const std::string& d : {local.name() + "x", local.name() + ".", std::string(":-1"), std::string(":"),
                               std::string("/nonexistent/socket")})
    EXPECT_FALSE(platform::displayReachable(d.c_str())) << d;

  // Over TCP (forwarded displays such as "localhost:10.0"): display n listens on port 6000 + n.
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);  // a free port
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const int n = ntohs(address.sin_port) - 6000;
  if (n < 0) GTEST_SKIP() << "the free port lies below 6000";
  ASSERT_EQ(::listen(listener, 4), 0);
  const std::string tcp = std::to_string(n);
  for (const std::string& d : {"127.0.0.1:" + tcp, "127.0.0.1:" + tcp + ".0", "tcp/127.0.0.1:" + tcp})
    EXPECT_TRUE(platform::displayReachable(d.c_str())) << d;
  ::close(listener);
  EXPECT_FALSE(platform::displayReachable(("127.0.0.1:" + tcp).c_str()));
}
