// The command lines of the desktop's dialog programs, how their exit is read, and the text
// rules of the file dialogs.
#include <gtest/gtest.h>

#include "dialogTestSupport.h"
#include "platform/dialogPaths.h"
#include "platform/os/dialogBackend.h"
#include "support/expectValues.h"

using platform::DialogOutcome;
using platform::DialogTool;
using platform::FileDialogRequest;
using Args = std::vector<std::string>;
constexpr DialogTool Z = DialogTool::zenity, K = DialogTool::kdialog;

namespace {

// Quotes, blanks, command substitution, back-ticks, a line feed and a tab: none of them may
// change how many arguments there are or what they hold.
const std::string kHostile = "it's \"quoted\" $(rm -rf ~) `id` a\nb\tc;&|";

FileDialogRequest request(bool save, std::string title, std::string dir, std::string name = {},
                          Args types = {}) {
  return {save, std::move(title), std::move(dir), std::move(name), std::move(types)};
}

}  // namespace

TEST(DialogCommands, EachToolGetsItsArgumentVector) {
  using platform::fileCommand;
  using platform::inputCommand;
  using platform::messageCommand;
  const auto load = request(false, "Load ECS", "/home/u/ECS", "", {"ecs"});
  const auto save = request(true, "ECS Save", "/home/u/ECS/", "Grindle2.ecs");
  const Args zenityLoad = {"zenity", "--file-selection", "--title=Load ECS", "--filename=/home/u/ECS/",
                           "--file-filter=ecs | *.ecs"};
  const Args zenitySave = {"zenity",           "--file-selection",
                           "--save",           "--confirm-overwrite",
                           "--title=ECS Save", "--filename=/home/u/ECS/Grindle2.ecs"};
  const Args badTypes = {"e cs", "a|b", "x(y)", "", "b\\s", "n\nl", "\x7f", "ok"};
  Args zenity4Save = zenitySave;
  zenity4Save.erase(zenity4Save.begin() + 3);
  const std::pair<Args, Args> rows[] = {
      {messageCommand(Z, "Grindle2", "Problem with ECS File", false),
       {"zenity", "--info", "--title=Grindle2", "--width=267", "--no-markup",
        "--text=Problem with ECS File"}},
      {messageCommand(Z, "Grindle2", "Replace?", true),
       {"zenity", "--question", "--title=Grindle2", "--width=176", "--no-markup", "--ok-label=OK",
        "--cancel-label=Cancel", "--text=Replace?"}},
      // zenity shows the text without markup, so "<b>" and "&" stay as typed.
      {messageCommand(Z, "Grindle2", "<b>" + kHostile, false),
       {"zenity", "--info", "--title=Grindle2", "--width=365", "--no-markup", "--text=<b>" + kHostile}},
      {messageCommand(K, "Grindle2", "Problem with ECS File", false),
       {"kdialog", "--title", "Grindle2", "--msgbox", "<qt>Problem with ECS File</qt>"}},
      {messageCommand(K, "Grindle2", "Replace?", true),
       {"kdialog", "--title", "Grindle2", "--yes-label", "OK", "--no-label", "Cancel", "--yesno",
        "<qt>Replace?</qt>"}},
      {inputCommand(Z, "MIDI CC : Volume", "MIDI CC (0 - 127)", ""),
       {"zenity", "--entry", "--title=MIDI CC : Volume", "--width=244", "--text=MIDI CC (0 - 127)",
        "--entry-text="}},
      {inputCommand(K, "Volume", "-30 to 10 dB", "-5.0"),
       {"kdialog", "--title", "Volume", "--inputbox", "<qt>-30 to 10 dB</qt>", "--", "-5.0"}},
      // zenity reads '_' as a mnemonic and backslash escapes in the label; title and preset go as they are.
      {inputCommand(Z, "a_b\\c", "x_y\\n", "p_q\\r"),
       {"zenity", "--entry", "--title=a_b\\c", "--width=155", "--text=x__y\\\\n", "--entry-text=p_q\\r"}},
      {inputCommand(Z, kHostile, "label", kHostile),
       {"zenity", "--entry", "--title=" + kHostile, "--width=451", "--text=label",
        "--entry-text=" + kHostile}},
      {inputCommand(K, kHostile, "label", kHostile),
       {"kdialog", "--title", kHostile, "--inputbox", "<qt>label</qt>", "--", kHostile}},
      // zenity 4 asks before replacing by itself and deprecates the option; older ones (and one
      // whose version is unknown, 0) need it.
      {fileCommand(Z, load, 3), zenityLoad},
      {fileCommand(Z, save, 0), zenitySave},
      {fileCommand(Z, save, 3), zenitySave},
      {fileCommand(Z, save, 4), zenity4Save},
      {fileCommand(Z, {}, 3), {"zenity", "--file-selection"}},
      {fileCommand(Z, request(true, "", "", "Wave.wsr"), 3),
       {"zenity", "--file-selection", "--save", "--confirm-overwrite", "--filename=Wave.wsr"}},
      {fileCommand(K, request(false, "Load WaveShaper Preset", "/home/u/Wave", "", {"wsr", "txt"}), 0),
       {"kdialog", "--title", "Load WaveShaper Preset", "--getopenfilename", "/home/u/Wave/", "--",
        "*.wsr|wsr\n*.txt|txt"}},
      {fileCommand(K, request(true, "Save WaveShaper Preset", "/home/u/Wave", "Wave.wsr"), 0),
       {"kdialog", "--title", "Save WaveShaper Preset", "--getsavefilename", "/home/u/Wave/Wave.wsr"}},
      {fileCommand(K, {}, 0), {"kdialog", "--getopenfilename", "."}},
      // A folder that looks like an option is made explicitly relative.
      {fileCommand(K, request(false, "", "-rf"), 0), {"kdialog", "--getopenfilename", "./-rf/"}},
      {fileCommand(Z, request(true, kHostile, "/tmp/" + kHostile, kHostile + ".ecs"), 3),
       {"zenity", "--file-selection", "--save", "--confirm-overwrite", "--title=" + kHostile,
        "--filename=/tmp/" + kHostile + "/" + kHostile + ".ecs"}},
      {fileCommand(K, request(true, kHostile, "/tmp/" + kHostile, kHostile + ".ecs"), 0),
       {"kdialog", "--title", kHostile, "--getsavefilename", "/tmp/" + kHostile + "/" + kHostile + ".ecs"}},
      // Types that would break the programs' filter syntax are left out.
      {fileCommand(Z, request(false, "", "", "", badTypes), 3),
       {"zenity", "--file-selection", "--file-filter=ok | *.ok"}},
      {fileCommand(K, request(false, "", "", "", badTypes), 0),
       {"kdialog", "--getopenfilename", ".", "--", "*.ok|ok"}},
      {messageCommand(DialogTool::none, "Grindle2", "x", true), {}},
      {inputCommand(DialogTool::none, "t", "l", "x"), {}}};
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].first, rows[i].second) << "row " << i;
}

// zenity's boxes are opened wide enough for the whole title (window managers cut a long one in
// the middle: "Distor…Boost") and the text's longest line, within a maximum.
TEST(DialogCommands, ZenityBoxesAreWideEnoughForTheirTitleAndText) {
  const std::string longest(36, 'W');  // parameter names are at most 36 characters
  const struct {
    std::string title, text;
    int width;
  } cases[] = {{"Grindle2", "", 172},                                 // the title alone
               {"Distortion Bass Boost", "-100 to 100%", 289},        // the title decides
               {"Grindle2", "MIDI Input Channel (0 for Omni)", 337},  // the text decides
               {longest, "", 424},
               {"Grindle2", "short\n" + std::string(50, 'x') + "\nshort", 470},  // the longest line
               {"Grindle2", std::string(300, 'x'), 560},       // a message wraps beyond this
               {"\u00c9galiseur \u00e9l\u00e9ment", "", 253},  // characters, not bytes
               {std::string(500, 'T'), "", platform::kDialogMaxWidth}};
  for (const auto& c : cases) {
    EXPECT_EQ(platform::dialogWidth(c.title, c.text), c.width) << c.title << " / " << c.text;
    EXPECT_EQ(platform::inputCommand(Z, c.title, c.text, "")[3], "--width=" + std::to_string(c.width));
  }
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
      {"", "<qt></qt>", "<qt></qt>"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(platform::messageCommand(K, "Grindle2", c.text, false).back(), c.message);
    EXPECT_EQ(platform::messageCommand(K, "Grindle2", c.text, true).back(), c.message);
    EXPECT_EQ(platform::inputCommand(K, "Title", c.text, c.text),
              (Args{"kdialog", "--title", "Title", "--inputbox", c.label, "--", c.text}));
  }
}

TEST(DialogOutcome, OnlyAnOrdinaryExitCountsAsAnAnswer) {
  using O = DialogOutcome;
  using dialogtest::exitedWith;
  platform::ProcessResult killed, flood = exitedWith(0), noDisplay = exitedWith(1), warned = exitedWith(1);
  killed.started = true;
  killed.termSignal = 9;
  flood.outputTruncated = true;  // a flood of output is no path or answer
  // zenity without a display: exit 1 as for Cancel, but GTK says why on standard error.
  noDisplay.errorOutput = "\n(zenity:14019): Gtk-WARNING **: 00:23:22.324: cannot open display: :77\n";
  warned.errorOutput = "(zenity:1): Gtk-WARNING **: some other warning\n";
  const std::pair<platform::ProcessResult, O> cases[] = {{{}, O::failed},
                                                         {killed, O::failed},
                                                         {exitedWith(0), O::ok},
                                                         {exitedWith(1), O::cancelled},
                                                         {exitedWith(2), O::cancelled},
                                                         {exitedWith(5), O::failed},
                                                         {exitedWith(255), O::failed},
                                                         {flood, O::failed},
                                                         {noDisplay, O::failed},
                                                         {warned, O::cancelled}};
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(platform::outcomeOf(cases[i].first), cases[i].second) << "row " << i;
}

TEST(DialogPaths, FilterTypesForcedExtensionsAndFolders) {
  const auto types = [](const char* filter) {
    std::string joined;
    for (const std::string& type : platform::filterExtensions(filter)) joined += type + ",";
    return joined;
  };
  EXPECT_TEXTS({types("*.ecs"), "ecs,"}, {types("*.a;*.b;*.c"), "a,b,c,"}, {types("*.a;"), "a,"},
               // Without a semicolon the search goes on inside the type.
               {types("*.tar.gz"), "tar.gz,gz,"}, {types("x.a.b.c"), "a.b.c,b.c,c,"},
               {types("*.tar.gz;*.zip"), "tar.gz,zip,"},
               // Empty types and filters without dots give nothing.
               {types(""), ""}, {types("*"), ""}, {types("*."), ""}, {types(";;;"), ""},
               {types("*.;*.;"), ""}, {types("*.;*.b"), "b,"});
  using platform::forceExtension;
  using platform::loadFolderOf;
  using platform::saveFolderOf;
  EXPECT_TEXTS({forceExtension("/x/My.Preset", "Wave.wsr"), "/x/My.wsr"},
               {forceExtension("/x/a.b.txt", "Grindle2.ecs"), "/x/a.ecs"},
               {forceExtension("/x/a.ecs", "Grindle2.ecs"), "/x/a.ecs"},
               {forceExtension("Name.txt", "Wave.wsr"), "Name.wsr"},
               // Dots in folder names are not the file's; a name without a dot gets it appended.
               {forceExtension("/my.dir/sub.d/Name", "Wave.wsr"), "/my.dir/sub.d/Name.wsr"},
               {forceExtension("/my.dir/Name.x", "Wave.wsr"), "/my.dir/Name.wsr"},
               {forceExtension("Name", "Grindle2.ecs"), "Name.ecs"},
               // Only a four-character extension (dot included), from the default's first dot, is forced.
               {forceExtension("/x/Name", "file.data"), "/x/Name"},
               {forceExtension("/x/My.Preset", "file.data"), "/x/My.Preset"},
               {forceExtension("/x/Name", "file.ab"), "/x/Name"},
               {forceExtension("/x/Name", "noext"), "/x/Name"}, {forceExtension("/x/Name", ""), "/x/Name"},
               {forceExtension("/x/Name", "a.b.c"), "/x/Name.b.c"},
               {forceExtension("/x/Name", "a.b.cd"), "/x/Name"});
  // A load keeps the folder's slash, a save drops it; the root and bare names stay.
  EXPECT_TEXTS({loadFolderOf("/Users/u/a.ecs"), "/Users/u/"}, {saveFolderOf("/x/My.wsr"), "/x"},
               {loadFolderOf("/a b/c'd/$(x).ecs"), "/a b/c'd/"},
               {saveFolderOf("/a b/c'd/$(x).ecs"), "/a b/c'd"}, {loadFolderOf("/a.ecs"), "/"},
               {saveFolderOf("/a.ecs"), "/"}, {loadFolderOf("a.ecs"), "a.ecs"},
               {saveFolderOf("a.ecs"), "a.ecs"}, {loadFolderOf(""), ""}, {saveFolderOf(""), ""});
}
