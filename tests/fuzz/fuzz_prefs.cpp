// The preference file as anyone may have left it, and a machine-wide file beside it. A file
// that is no JSON object is moved aside whole (to ".unreadable") and reads as defaults; a
// readable one gives back every string and integer it holds, texts cut to the caller's buffer,
// and a write keeps every other key exactly.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "fuzzSupport.h"
#include "platform/dialogTestSupport.h"
#include "platform/prefsStore.h"
#include "support/xdgSandbox.h"

using namespace fuzzsupport;
using nlohmann::json;

namespace {

const std::string kFolder = testing_support::xdgSandbox.root() + "/prefs";
const std::string kUser = kFolder + "/com.Qelm.Grindle2.json";
const std::string kMachine = kFolder + "/machine.json";
const std::string kStringKeys[] = {"ECSDir", "HelpDir", "Big150", "WaveShaperDir"};

// The file as an independent reader sees it: null when it is no JSON object (or too deep).
bool readAsObject(const std::string& text, json& out, int& depth) {
  depth = 0;
  try {
    json::parser_callback_t deepest = [&depth](int d, json::parse_event_t, json&) {
      depth = std::max(depth, d);
      return true;
    };
    out = json::parse(text, deepest);
    return out.is_object();
  } catch (const json::exception&) {
    return false;
  }
}

bool onlyBlanks(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string userText = in.ConsumeRandomLengthString(1 << 16);
  const int bufferLength = in.ConsumeIntegralInRange(-1, 40);
  const std::string machineText = in.ConsumeRemainingBytesAsString();

  std::error_code ec;
  std::filesystem::remove_all(kFolder, ec);
  std::filesystem::create_directories(kFolder);
  dialogtest::writeFile(kUser, userText);
  dialogtest::writeFile(kMachine, machineText);

  json doc;
  int depth = 0;
  const bool object = readAsObject(userText, doc, depth);
  TPrefsStore store(kUser, kMachine);

  // Every string and integer in a readable file reads back as it is.
  int n = 0;
  const bool readable = object || onlyBlanks(userText);
  if (object && depth < 60) {
    for (const auto& [key, value] : doc.items()) {
      std::string s;
      int i = 0;
      if (value.is_string()) FUZZ_CHECK(store.readString(key, s) && s == value.get<std::string>());
      if (value.is_number_integer() && value >= INT32_MIN && value <= INT32_MAX)
        FUZZ_CHECK(store.readInt(key, i) && i == value.get<int>());
      if (!value.is_number_integer()) FUZZ_CHECK(!store.readInt(key, i));
      if (++n == 8) break;
    }
  }
  // A file that is none is moved aside whole, and reads as nothing.
  if (!readable) {
    std::string s;
    FUZZ_CHECK(!store.readString("Big150", s) && store.loadInt("MidiChannel") == 0);
    FUZZ_CHECK(!std::filesystem::exists(kUser));
    FUZZ_CHECK(dialogtest::readFile(kUser + ".unreadable") == userText);
  }

  // Texts are cut to the caller's buffer.
  for (const std::string& key : kStringKeys) {
    char buffer[48];
    std::memset(buffer, 0x5A, sizeof(buffer));
    store.loadString(key, buffer, bufferLength);
    if (bufferLength > 0)
      FUZZ_CHECK(textWithin(buffer, sizeof(buffer), static_cast<std::size_t>(bufferLength), 0x5A));
    else
      FUZZ_CHECK(buffer[0] == 0x5A);
  }
  for (int cc : {-1, 0, 64, 127, 128}) {
    const int tag = store.getMidiCC(cc);
    if (cc < 0 || cc > 127) FUZZ_CHECK(tag == 0);
  }
  (void)store.getRegisterIsOn("Big200", false);

  // A write keeps everything else the file held.
  FUZZ_CHECK(store.saveInt("FuzzWritten", 7));
  json written;
  int ignored = 0;
  FUZZ_CHECK(readAsObject(dialogtest::readFile(kUser), written, ignored));
  FUZZ_CHECK(written["FuzzWritten"] == 7);
  if (object && depth < 60) {
    written.erase("FuzzWritten");
    doc.erase("FuzzWritten");
    // The string settings read above may have taken the machine-wide value in its place.
    for (const auto& [key, value] : doc.items()) {
      if (std::find(std::begin(kStringKeys), std::end(kStringKeys), key) != std::end(kStringKeys)) continue;
      FUZZ_CHECK(written.contains(key) && written[key] == value);
    }
  }
  return 0;
}
