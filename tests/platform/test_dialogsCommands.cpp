#include <gtest/gtest.h>

#include "platform/os/dialogBackend.h"

using platform::DialogOutcome;
using platform::DialogTool;
using platform::FileDialogRequest;
using platform::ProcessResult;
using Args = std::vector<std::string>;

namespace {

// Quotes, blanks, command substitution, back-ticks, a line feed and a tab: none of them may
// change how many arguments there are or what they hold.
const std::string kHostile = "it's \"quoted\" $(rm -rf ~) `id` a\nb\tc;&|";

}  // namespace

TEST(DialogCommands, MessageBoxes) {
  EXPECT_EQ(platform::messageCommand(DialogTool::zenity, "Grindle2", "Problem with ECS File", false),
            (Args{"zenity", "--info", "--title=Grindle2", "--no-markup", "--text=Problem with ECS File"}));
  EXPECT_EQ(platform::messageCommand(DialogTool::zenity, "Grindle2", "Replace?", true),
            (Args{"zenity", "--question", "--title=Grindle2", "--no-markup", "--ok-label=OK", "--cancel-label=Cancel",
                  "--text=Replace?"}));
  EXPECT_EQ(platform::messageCommand(DialogTool::kdialog, "Grindle2", "Problem with ECS File", false),
            (Args{"kdialog", "--title", "Grindle2", "--msgbox", "<qt>Problem with ECS File</qt>"}));
  EXPECT_EQ(platform::messageCommand(DialogTool::kdialog, "Grindle2", "Replace?", true),
            (Args{"kdialog", "--title", "Grindle2", "--yes-label", "OK", "--no-label", "Cancel", "--yesno",
                  "<qt>Replace?</qt>"}));
  EXPECT_TRUE(platform::messageCommand(DialogTool::none, "Grindle2", "x", true).empty());
}

TEST(DialogCommands, MessageTextsArriveVerbatim) {
  // zenity shows the text without markup, so "<b>" and "&" stay as typed.
  EXPECT_EQ(platform::messageCommand(DialogTool::zenity, "Grindle2", "<b>" + kHostile, false).back(),
            "--text=<b>" + kHostile);
}

// kdialog reads message texts and input box labels as rich text with backslash escapes, and a
// label's '&' as an accelerator mark: each text goes escaped so that it shows as typed (checked
// on the real kdialog 22.12 by eye).
TEST(DialogCommands, KdialogTextsAreEscapedRichText) {
  struct Case {
    const char* text;
    const char* message;  // as sent for --msgbox and --yesno
    const char* label;    // as sent for --inputbox
  };
  const Case cases[] = {
      {"<b>bold</b>", "<qt>&lt;b&gt;bold&lt;/b&gt;</qt>", "<qt>&lt;b&gt;bold&lt;/b&gt;</qt>"},
      {"Drive & Tone", "<qt>Drive &amp; Tone</qt>", "<qt>Drive &amp;&amp; Tone</qt>"},
      {"C:\\new\\s \\\\x", "<qt>C:\\\\new\\\\s \\\\\\\\x</qt>", "<qt>C:\\\\new\\\\s \\\\\\\\x</qt>"},
      {"one\ntwo", "<qt>one<br>two</qt>", "<qt>one<br>two</qt>"},
      {" a  b", "<qt>&nbsp;a &nbsp;b</qt>", "<qt>&nbsp;a &nbsp;b</qt>"},
      {"-rf", "<qt>-rf</qt>", "<qt>-rf</qt>"},
      {"", "<qt></qt>", "<qt></qt>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(platform::messageCommand(DialogTool::kdialog, "Grindle2", c.text, false).back(), c.message);
    EXPECT_EQ(platform::messageCommand(DialogTool::kdialog, "Grindle2", c.text, true).back(), c.message);
    EXPECT_EQ(platform::inputCommand(DialogTool::kdialog, "Title", c.text, c.text),
              (Args{"kdialog", "--title", "Title", "--inputbox", c.label, "--", c.text}));
  }
}

TEST(DialogCommands, InputBoxes) {
  EXPECT_EQ(platform::inputCommand(DialogTool::zenity, "MIDI CC : Volume", "MIDI CC (0 - 127)", ""),
            (Args{"zenity", "--entry", "--title=MIDI CC : Volume", "--text=MIDI CC (0 - 127)", "--entry-text="}));
  EXPECT_EQ(platform::inputCommand(DialogTool::kdialog, "Volume", "-30 to 10 dB", "-5.0"),
            (Args{"kdialog", "--title", "Volume", "--inputbox", "<qt>-30 to 10 dB</qt>", "--", "-5.0"}));
  EXPECT_TRUE(platform::inputCommand(DialogTool::none, "t", "l", "x").empty());
}

TEST(DialogCommands, ZenityInputBoxLabelsAreEscaped) {
  // zenity treats '_' as a mnemonic marker and reads backslash escapes in the label; the preset
  // text and the title are taken as they are.
  EXPECT_EQ(platform::inputCommand(DialogTool::zenity, "a_b\\c", "x_y\\n", "p_q\\r"),
            (Args{"zenity", "--entry", "--title=a_b\\c", "--text=x__y\\\\n", "--entry-text=p_q\\r"}));
  EXPECT_EQ(platform::inputCommand(DialogTool::kdialog, kHostile, "label", kHostile),
            (Args{"kdialog", "--title", kHostile, "--inputbox", "<qt>label</qt>", "--", kHostile}));
  EXPECT_EQ(platform::inputCommand(DialogTool::zenity, kHostile, "label", kHostile),
            (Args{"zenity", "--entry", "--title=" + kHostile, "--text=label", "--entry-text=" + kHostile}));
}

TEST(DialogCommands, ZenityFileDialogs) {
  FileDialogRequest load;
  load.title = "Load ECS";
  load.initialDir = "/home/u/ECS";
  load.extensions = {"ecs"};
  EXPECT_EQ(platform::fileCommand(DialogTool::zenity, load, 3),
            (Args{"zenity", "--file-selection", "--title=Load ECS", "--filename=/home/u/ECS/", "--file-filter=ecs | *.ecs"}));

  FileDialogRequest save;
  save.save = true;
  save.title = "ECS Save";
  save.initialDir = "/home/u/ECS/";
  save.defaultName = "Grindle2.ecs";
  // zenity 4 asks before replacing by itself and deprecates the option; older ones (and one
  // whose version is unknown, 0) need it.
  for (const int version : {0, 2, 3, 4, 5}) {
    Args expected = {"zenity", "--file-selection", "--save", "--confirm-overwrite", "--title=ECS Save",
                     "--filename=/home/u/ECS/Grindle2.ecs"};
    if (version >= 4) expected.erase(expected.begin() + 3);
    EXPECT_EQ(platform::fileCommand(DialogTool::zenity, save, version), expected) << version;
    EXPECT_EQ(platform::fileCommand(DialogTool::zenity, load, version),
              (Args{"zenity", "--file-selection", "--title=Load ECS", "--filename=/home/u/ECS/", "--file-filter=ecs | *.ecs"}));
  }

  FileDialogRequest bare;  // no title, no folder, no types
  EXPECT_EQ(platform::fileCommand(DialogTool::zenity, bare, 3), (Args{"zenity", "--file-selection"}));
  bare.save = true;
  bare.defaultName = "Wave.wsr";
  EXPECT_EQ(platform::fileCommand(DialogTool::zenity, bare, 3),
            (Args{"zenity", "--file-selection", "--save", "--confirm-overwrite", "--filename=Wave.wsr"}));
}

TEST(DialogCommands, KdialogFileDialogs) {
  FileDialogRequest load;
  load.title = "Load WaveShaper Preset";
  load.initialDir = "/home/u/Wave";
  load.extensions = {"wsr", "txt"};
  EXPECT_EQ(platform::fileCommand(DialogTool::kdialog, load, 0),
            (Args{"kdialog", "--title", "Load WaveShaper Preset", "--getopenfilename", "/home/u/Wave/", "--",
                  "*.wsr|wsr\n*.txt|txt"}));

  FileDialogRequest save;
  save.save = true;
  save.title = "Save WaveShaper Preset";
  save.initialDir = "/home/u/Wave";
  save.defaultName = "Wave.wsr";
  EXPECT_EQ(platform::fileCommand(DialogTool::kdialog, save, 0),
            (Args{"kdialog", "--title", "Save WaveShaper Preset", "--getsavefilename", "/home/u/Wave/Wave.wsr"}));

  FileDialogRequest bare;
  EXPECT_EQ(platform::fileCommand(DialogTool::kdialog, bare, 0), (Args{"kdialog", "--getopenfilename", "."}));
  // A folder that looks like an option is made explicitly relative.
  bare.initialDir = "-rf";
  EXPECT_EQ(platform::fileCommand(DialogTool::kdialog, bare, 0), (Args{"kdialog", "--getopenfilename", "./-rf/"}));
}

TEST(DialogCommands, HostilePathsStayOneArgumentEach) {
  FileDialogRequest save;
  save.save = true;
  save.title = kHostile;
  save.initialDir = "/tmp/" + kHostile;
  save.defaultName = kHostile + ".ecs";
  EXPECT_EQ(platform::fileCommand(DialogTool::zenity, save, 3),
            (Args{"zenity", "--file-selection", "--save", "--confirm-overwrite", "--title=" + kHostile,
                  "--filename=/tmp/" + kHostile + "/" + kHostile + ".ecs"}));
  EXPECT_EQ(platform::fileCommand(DialogTool::kdialog, save, 0),
            (Args{"kdialog", "--title", kHostile, "--getsavefilename", "/tmp/" + kHostile + "/" + kHostile + ".ecs"}));
}

TEST(DialogCommands, TypesThatWouldBreakTheFilterSyntaxAreLeftOut) {
  FileDialogRequest load;
  load.extensions = {"e cs", "a|b", "x(y)", "", "back\\slash", "new\nline", "ok"};
  EXPECT_EQ(platform::fileCommand(DialogTool::zenity, load, 3), (Args{"zenity", "--file-selection", "--file-filter=ok | *.ok"}));
  EXPECT_EQ(platform::fileCommand(DialogTool::kdialog, load, 0), (Args{"kdialog", "--getopenfilename", ".", "--", "*.ok|ok"}));
}

TEST(DialogOutcome, OnlyAnOrdinaryExitCountsAsAnAnswer) {
  ProcessResult r;
  EXPECT_EQ(platform::outcomeOf(r), DialogOutcome::failed);  // never started
  r.started = true;
  r.termSignal = 9;
  EXPECT_EQ(platform::outcomeOf(r), DialogOutcome::failed);  // killed
  r.exited = true;
  const std::pair<int, DialogOutcome> statuses[] = {{0, DialogOutcome::ok},
                                                    {1, DialogOutcome::cancelled},
                                                    {2, DialogOutcome::cancelled},
                                                    {5, DialogOutcome::failed},
                                                    {255, DialogOutcome::failed}};
  for (const auto& [code, outcome] : statuses) {
    r.exitCode = code;
    EXPECT_EQ(platform::outcomeOf(r), outcome) << code;
  }
  r.exitCode = 0;
  r.outputTruncated = true;  // a flood of output is no path or answer
  EXPECT_EQ(platform::outcomeOf(r), DialogOutcome::failed);
  // zenity without a display: exit 1 as for Cancel, but GTK says why on standard error.
  r.outputTruncated = false;
  r.exitCode = 1;
  r.errorOutput = "\n(zenity:14019): Gtk-WARNING **: 00:23:22.324: cannot open display: :77\n";
  EXPECT_EQ(platform::outcomeOf(r), DialogOutcome::failed);
  r.errorOutput = "(zenity:1): Gtk-WARNING **: some other warning\n";
  EXPECT_EQ(platform::outcomeOf(r), DialogOutcome::cancelled);
}
