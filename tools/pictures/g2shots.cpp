// g2shots: pictures of Grindle2's editor in its different states: every bottom tab, every LFO
// page, the advanced matrix, the settings screen and a few distortion types, at any of the three
// sizes. The editor is the plug-in's own code drawn into an offscreen frame by the same toolkit
// that draws it on screen, so no X server is needed; the artwork is the build's.
//
//   g2shots OUT_FOLDER [--art FOLDER] [--sizes 100,150,200] [--list]
//
// Writes OUT_FOLDER/<size>-<state>.png (for example 150-tab-follower.png). --art names the
// folder of the bitmaps (default: the Resources folder of the build this tool belongs to).
// --list prints the states and writes nothing. The preferences are kept in a private folder, so
// the user's own settings neither shape the pictures nor change.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dsp/uDistort.h"
#include "editor/uEditor.h"
#include "include/tags.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
#include "vstgui/vstgui.h"

namespace {

CreatedEditor makeEditor(APlugin& plugin) {
  auto* editor = new uEditor(&plugin);
  return {editor, editor};
}

struct Shot {
  const char* name;
  std::function<void(APlugin&, uEditor&)> apply;
};

void tab(uEditor& e, int t, int page = 0) {
  e.setBottomTab(t);
  e.setLfoPage(page);
  e.resume();
}

void type(APlugin&, uEditor& e, int t) { e.updateDistort(t); }

// In the order the manual shows them; each state starts from the default program.
const std::vector<Shot>& shots() {
  static const std::vector<Shot> list = {
      {"main", [](APlugin&, uEditor&) {}},
      {"tab-disrupt", [](APlugin&, uEditor& e) { tab(e, 0); }},
      {"tab-follower", [](APlugin&, uEditor& e) { tab(e, 1); }},
      {"tab-waveshaper", [](APlugin&, uEditor& e) { tab(e, 2); }},
      {"lfo-1", [](APlugin&, uEditor& e) { tab(e, 3, 0); }},
      {"lfo-2", [](APlugin&, uEditor& e) { tab(e, 3, 1); }},
      {"lfo-3", [](APlugin&, uEditor& e) { tab(e, 3, 2); }},
      {"lfo-4", [](APlugin&, uEditor& e) { tab(e, 3, 3); }},
      {"matrix-advanced",
       [](APlugin& p, uEditor& e) {
         p.setParameter(MOD_ADVANCED_TAG, 1.0f);
         tab(e, 3);
       }},
      {"settings", [](APlugin&, uEditor& e) { e.showBackside(); }},
      {"type-clipper2", [](APlugin& p, uEditor& e) { type(p, e, dsp::DIST_CLIPPER_2); }},
      {"type-amp", [](APlugin& p, uEditor& e) { type(p, e, dsp::DIST_AMP); }},
      {"type-2b-overdrive", [](APlugin& p, uEditor& e) { type(p, e, dsp::DIST_2B_OVERDRIVE); }},
      {"type-dual-waveshaper", [](APlugin& p, uEditor& e) { type(p, e, dsp::DIST_DUAL_WAVESHAPER); }},
  };
  return list;
}

void usage() {
  std::fprintf(stderr, "usage: g2shots OUT_FOLDER [--art FOLDER] [--sizes 100,150,200] [--list]\n");
}

// Idle passes long enough for the editor's throttle to let each one through.
void settle(uEditor& editor, int passes = 3) {
  for (int i = 0; i < passes; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(IDLE_INTERVAL_MS + 5));
    editor.idle();
  }
}

bool take(int mode, const Shot& shot, const std::string& out) {
  saveStringToPrefs("Big150", mode == 1 ? "Y" : "N");
  saveStringToPrefs("Big200", mode == 2 ? "Y" : "N");
  auto plugin = std::make_unique<APlugin>(nullptr);
  auto* editor = dynamic_cast<uEditor*>(plugin->getEditor());
  if (!editor || editor->getScreenMode() != mode || !editor->open(nullptr)) return false;
  settle(*editor);
  shot.apply(*plugin, *editor);
  settle(*editor);
  VSTGUI::CFrame* frame = editor->getFrame();
  frame->invalid();
  frame->idle();  // paints what is invalid into the frame's image
  const bool ok = frame->writePNG(out);
  editor->close();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outFolder;
  std::string art = GRINDLE_BUILD_ART;
  std::vector<int> modes = {0, 1, 2};
  bool list = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--art" && i + 1 < argc) {
      art = argv[++i];
    } else if (arg == "--sizes" && i + 1 < argc) {
      modes.clear();
      const std::string s = std::string(",") + argv[++i] + ",";
      for (int m = 0; m < 3; ++m)
        if (s.find("," + std::to_string(100 + 50 * m) + ",") != std::string::npos) modes.push_back(m);
      if (modes.empty()) {
        usage();
        return 2;
      }
    } else if (arg == "--list") {
      list = true;
    } else if (!arg.empty() && arg[0] != '-' && outFolder.empty()) {
      outFolder = arg;
    } else {
      usage();
      return 2;
    }
  }
  if (list) {
    for (const Shot& s : shots()) std::printf("%s\n", s.name);
    return 0;
  }
  if (outFolder.empty()) {
    usage();
    return 2;
  }
  if (!std::filesystem::exists(art + "/bmp10000.png")) {
    std::fprintf(stderr, "g2shots: no artwork in %s (build the plug-in first, or name it with --art)\n",
                 art.c_str());
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(outFolder, error);

  // Private preferences: the size choice below must not reach the user's own settings.
  char prefs[] = "/tmp/g2shots-XXXXXX";
  if (!mkdtemp(prefs)) {
    std::perror("g2shots: mkdtemp");
    return 1;
  }
  setenv("XDG_CONFIG_HOME", prefs, 1);
  setenv("XDG_CONFIG_DIRS", prefs, 1);
  setenv("XDG_DATA_HOME", prefs, 1);
  VSTGUI::CBitmap::setResourceFolder(art);
  APlugin::editorFactory.store(&makeEditor);

  int status = 0;
  for (int mode : modes) {
    for (const Shot& shot : shots()) {
      const std::string out = outFolder + "/" + std::to_string(100 + 50 * mode) + "-" + shot.name + ".png";
      if (!take(mode, shot, out)) {
        std::fprintf(stderr, "g2shots: could not picture %s\n", out.c_str());
        status = 1;
      }
    }
  }
  std::filesystem::remove_all(prefs, error);
  return status;
}
