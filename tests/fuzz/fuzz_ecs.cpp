// Controller-map (".ecs") texts, parsed alone and loaded as files by the plug-in. A refused
// text leaves the map, the plug-in's bindings and the preference file as they were and says so
// in a message box; an accepted one binds all 128 controllers as the file says, writes them
// to the preference file, and reads back the same after a round trip through the file format.
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "fuzzSupport.h"
#include "platform/dialogTestSupport.h"
#include "plugin/uMidiMapFile.h"
#include "plugin/uPlugin.h"
#include "support/xdgSandbox.h"

using namespace fuzzsupport;

namespace {

struct Setup {
  dialogtest::ScriptedBackend dialogs{platform::DialogTool::zenity};
  dialogtest::ScopedBackend installed{&dialogs};
  std::unique_ptr<APlugin> plugin = std::make_unique<APlugin>(&hostCallback);
  const std::string file = testing_support::xdgSandbox.root() + "/map.ecs";
  const std::string prefsFile = testing_support::xdgSandbox.root() + "/config/com.Qelm.Grindle2.json";
};

midimap::CCMap bindingsOf(APlugin& p) {
  midimap::CCMap m{};
  for (int cc = 0; cc < midimap::CC_COUNT; ++cc) m[static_cast<std::size_t>(cc)] = p.getMidiCCTag(cc);
  return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup s;
  const std::string text(reinterpret_cast<const char*>(data), size);

  midimap::CCMap parsed;
  parsed.fill(-7);
  const midimap::CCMap untouched = parsed;
  const bool ok = midimap::parseECS(text, parsed);
  if (!ok) {
    FUZZ_CHECK(parsed == untouched);
  } else {
    for (int32_t v : parsed) FUZZ_CHECK(v >= 0 && v <= midimap::MAX_FILE_VALUE);
    midimap::CCMap again{};
    FUZZ_CHECK(midimap::parseECS(midimap::formatECS(parsed), again) && again == parsed);
  }

  dialogtest::writeFile(s.file, text);
  const midimap::CCMap before = bindingsOf(*s.plugin);
  const std::string prefsBefore = dialogtest::readFile(s.prefsFile);
  s.dialogs.calls.clear();
  s.dialogs.answers = {dialogtest::exitedWith(0)};  // the message box's OK
  const bool loaded = s.plugin->loadECSFile(s.file);
  FUZZ_CHECK(loaded == (ok && size <= midimap::MAX_FILE_BYTES));
  FUZZ_CHECK(s.dialogs.calls.size() == (loaded ? 0u : 1u));
  if (!loaded) {
    FUZZ_CHECK(bindingsOf(*s.plugin) == before);
    FUZZ_CHECK(dialogtest::readFile(s.prefsFile) == prefsBefore);
  } else {
    FUZZ_CHECK(bindingsOf(*s.plugin) == parsed);
    const auto json = nlohmann::json::parse(dialogtest::readFile(s.prefsFile));
    for (int cc = 0; cc < midimap::CC_COUNT; ++cc) {
      // A controller left unbound may be left out: it reads as 0.
      const auto it = json.find(std::to_string(cc));
      const int stored = it == json.end() ? 0 : it->is_number_integer() ? it->get<int>() : -1;
      FUZZ_CHECK(stored == parsed[static_cast<std::size_t>(cc)]);
    }
  }
  return 0;
}
