// Typed values: the parameter menu's entry box answered with any text (or cancelled) for any
// tag, and the step commands with any step. Whatever is typed, every value stays finite and in
// 0..1; a cancelled box or a tag without a box changes nothing; typed values never reach the
// host as automation; the box's title and texts are the parameter's, within their buffers.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzzSupport.h"
#include "platform/dialogTestSupport.h"
#include "plugin/uPlugin.h"
#include "support/fakeEditorLink.h"
#include "support/xdgSandbox.h"

using namespace fuzzsupport;

namespace {

struct Setup {
  Setup() {
    plugin->editorLink = &link;
    plugin->editorOpen = true;
  }
  dialogtest::ScriptedBackend dialogs{platform::DialogTool::zenity};
  dialogtest::ScopedBackend installed{&dialogs};
  std::unique_ptr<APlugin> plugin = std::make_unique<APlugin>(&hostCallback);
  testing_support::FakeEditorLink link;
};

std::array<float, NUM_PARAMS> valuesOf(APlugin& p) {
  std::array<float, NUM_PARAMS> v{};
  for (int t = 0; t < NUM_PARAMS; ++t) v[static_cast<std::size_t>(t)] = p.getParameter(t);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup s;
  FuzzedDataProvider in(data, size);
  const int tag = in.ConsumeIntegralInRange(-2, NUM_PARAMS + 1);
  const float start = in.ConsumeFloatingPoint<float>();
  const int exitCode = in.PickValueInArray({0, 0, 0, 1, 5, -1});
  const int delta = in.ConsumeIntegralInRange(-3, 3);
  const std::string answer = in.ConsumeRemainingBytesAsString();

  if (APlugin::isValidTag(tag)) s.plugin->setParameter(tag, start);
  const auto before = valuesOf(*s.plugin);
  s.dialogs.calls.clear();
  s.dialogs.answers = {dialogtest::exitedWith(exitCode, answer)};
  s.link.parameters.clear();
  hostAutomations = 0;
  s.plugin->setNumValue(tag);
  const auto after = valuesOf(*s.plugin);

  FUZZ_CHECK(hostAutomations == 0);
  FUZZ_CHECK(s.dialogs.calls.size() <= 1);
  const bool boxShown = s.dialogs.calls.size() == 1;
  if (boxShown) {
    FUZZ_CHECK(tag >= 1 && tag <= 246);
    char name[256];
    std::memset(name, 0x5A, sizeof(name));
    s.plugin->getParameterName(tag, name);
    FUZZ_CHECK(textWithin(name, sizeof(name), 128, 0x5A));
    bool titled = false;
    for (const std::string& arg : s.dialogs.calls[0])
      titled = titled || arg == "--title=" + std::string(name);
    FUZZ_CHECK(titled);
  }
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const std::size_t i = static_cast<std::size_t>(t);
    FUZZ_CHECK(unitValue(after[i]));
    // Only the tag asked for can change, and only when its box was answered.
    if (t != tag || !boxShown || exitCode != 0) FUZZ_CHECK(after[i] == before[i]);
  }

  s.plugin->changeDelta(tag, delta);
  for (int t = 0; t < NUM_PARAMS; ++t) FUZZ_CHECK(unitValue(s.plugin->getParameter(t)));
  return 0;
}
