// Wave-shaper preset (".wsr") texts, parsed alone and loaded by the editor's Load command
// through a scripted file dialog. A refused file changes no parameter and says so in a message
// box; an accepted one sets the polar mode and all 512 curve points, each limited to 0..1, and
// nothing else. What is written back reads the same again (to the six decimals of the format).
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "editor/uEditor.h"
#include "editor/waveShaper.h"
#include "fuzzSupport.h"
#include "platform/dialogTestSupport.h"
#include "plugin/uPlugin.h"
#include "support/xdgSandbox.h"

using namespace fuzzsupport;

namespace {

// The editor (never opened) with its Load command within reach.
struct LoadingEditor : uEditor {
  using uEditor::loadWaveShaperPreset;
  using uEditor::uEditor;
};

CreatedEditor makeLoadingEditor(APlugin& plugin) {
  auto* editor = new LoadingEditor(&plugin);
  return {editor, editor};
}

constexpr int FIRST_POINT = WAVESHAPER_START_TAG[0];

struct Setup {
  Setup() {
    APlugin::editorFactory.store(&makeLoadingEditor);
    plugin = std::make_unique<APlugin>(&hostCallback);
    editor = dynamic_cast<LoadingEditor*>(plugin->getEditor());
    FUZZ_CHECK(editor != nullptr);
  }
  dialogtest::ScriptedBackend dialogs{platform::DialogTool::zenity};
  dialogtest::ScopedBackend installed{&dialogs};
  std::unique_ptr<APlugin> plugin;
  LoadingEditor* editor = nullptr;
  const std::string file = testing_support::xdgSandbox.root() + "/curves.wsr";
};

float limited(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup s;
  const std::string text(reinterpret_cast<const char*>(data), size);

  waveshaper::Preset parsed;
  parsed.polar = -3.0f;
  parsed.points.fill(-3.0f);
  const bool ok = waveshaper::parseWaveShaperFile(text, parsed);
  if (!ok) {
    FUZZ_CHECK(parsed.polar == -3.0f);
    for (float v : parsed.points) FUZZ_CHECK(v == -3.0f);
  } else {
    FUZZ_CHECK(std::isfinite(parsed.polar));
    for (float v : parsed.points) FUZZ_CHECK(std::isfinite(v));
    waveshaper::Preset again;
    FUZZ_CHECK(waveshaper::parseWaveShaperFile(waveshaper::formatWaveShaperFile(parsed), again));
    FUZZ_CHECK(std::fabs(again.polar - limited(parsed.polar)) <= 6e-7f);
    for (std::size_t i = 0; i < parsed.points.size(); ++i)
      FUZZ_CHECK(std::fabs(again.points[i] - limited(parsed.points[i])) <= 6e-7f);
  }

  dialogtest::writeFile(s.file, text);
  std::array<float, NUM_PARAMS> before{};
  for (int t = 0; t < NUM_PARAMS; ++t) before[static_cast<std::size_t>(t)] = s.plugin->getParameter(t);
  s.dialogs.calls.clear();
  s.dialogs.answers = {dialogtest::exitedWith(0, s.file + "\n"), dialogtest::exitedWith(0)};
  s.editor->loadWaveShaperPreset();
  const bool loaded = ok && size <= waveshaper::MAX_FILE_BYTES;
  FUZZ_CHECK(s.dialogs.calls.size() == (loaded ? 1u : 2u));  // the file dialog, then any message
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const float v = s.plugin->getParameter(t);
    FUZZ_CHECK(unitValue(v));
    float expected = before[static_cast<std::size_t>(t)];
    if (loaded && t == WAVESHAPER_POLAR_TAG) expected = limited(parsed.polar);
    if (loaded && t >= FIRST_POINT && t < FIRST_POINT + 2 * WAVESHAPER_POINTS)
      expected = limited(parsed.points[static_cast<std::size_t>(t - FIRST_POINT)]);
    FUZZ_CHECK(v == expected);
  }
  return 0;
}
