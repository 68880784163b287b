// Shared pieces of the command-menu tests: an opened editor whose pop-ups a script answers,
// dialogs answered by a scripted backend, and snapshots of the parameter store.
#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "editorTestUtil.h"
#include "platform/dialogTestSupport.h"

namespace editortest {

class MenuTest : public OpenEditorTest {
 protected:
  void reopen() {
    tester.reset();
    editor->close();
    ASSERT_TRUE(openEditor());
  }

  testing_support::TestMenuDriver& menus() { return tester->menus(); }
  void choose(const std::string& title) { menus().chooseTitle(title); }
  // The entry titled `title` inside the top menu's sub-menu titled `sub`.
  void chooseIn(const std::string& sub, const std::string& title) {
    menus().answer([sub, title](VSTGUI::COptionMenu& m) -> VSTGUI::MenuChoice {
      for (int32_t i = 0; i < m.getNbEntries(); ++i) {
        VSTGUI::CMenuItem* item = m.getEntry(i);
        if (item->getTitle() == sub && item->getSubmenu())
          return testing_support::TestMenuDriver::findTitle(*item->getSubmenu(), title);
      }
      return {};
    });
  }
  // Titles of what the last pop-up showed at `depth` (headings without their "-G").
  std::vector<std::string> shown(bool headingsOnly, int depth = 0) {
    std::vector<std::string> out;
    for (const testing_support::MenuLine& l : menus().lastShown)
      if (l.depth == depth && (!headingsOnly || (l.flags & VSTGUI::CMenuItem::kTitle)))
        out.push_back(l.title);
    return out;
  }
  // The entries of the sub-menu titled `sub` in the last pop-up.
  std::vector<std::string> subMenuShown(const std::string& sub) {
    std::vector<std::string> out;
    const auto& lines = menus().lastShown;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].depth != 0 || lines[i].title != sub) continue;
      for (size_t k = i + 1; k < lines.size() && lines[k].depth > 0; ++k) out.push_back(lines[k].title);
    }
    return out;
  }

  std::array<float, NUM_PARAMS> values() const {
    std::array<float, NUM_PARAMS> v{};
    for (int t = 0; t < NUM_PARAMS; ++t) v[static_cast<size_t>(t)] = plugin->getParameter(t);
    return v;
  }
  std::set<int> changedSince(const std::array<float, NUM_PARAMS>& before) const {
    std::set<int> tags;
    for (int t = 0; t < NUM_PARAMS; ++t)
      if (plugin->getParameter(t) != before[static_cast<size_t>(t)]) tags.insert(t);
    return tags;
  }
  // Moves the tag well away from its default.
  void awayFromDefault(int tag) { plugin->setParameter(tag, plugin->getDefault(tag) < 0.5f ? 0.9f : 0.1f); }

  // Dialogs: every box and file dialog is answered from `dialogs.answers` (unscripted: Cancel).
  void answerDialog(const std::string& text) {
    dialogs.answers.push_back(dialogtest::exitedWith(0, text + "\n"));
  }
  void cancelDialog() { dialogs.answers.push_back(dialogtest::exitedWith(1)); }
  // Whether any recorded dialog command had an argument containing `text`.
  bool dialogMentioned(const std::string& text) const {
    for (const auto& call : dialogs.calls)
      for (const std::string& arg : call)
        if (arg.find(text) != std::string::npos) return true;
    return false;
  }

  dialogtest::ScriptedBackend dialogs{platform::DialogTool::zenity};
  dialogtest::ScopedBackend dialogScope{&dialogs};
};

}  // namespace editortest
