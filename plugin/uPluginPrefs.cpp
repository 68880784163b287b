// The plug-in object's host identity, editor creation, random seed and preferences.
#include <chrono>
#include <cstring>

#include "platform/platform.h"
#include "uPlugin.h"

#if defined(__SANITIZE_ADDRESS__)
#define GRINDLE_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define GRINDLE_LEAK_CHECKER 1
#endif
#endif
#ifdef GRINDLE_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// Copies a host string into a zeroed buffer, cut so that it always ends in a terminator.
void copyHostString(const char* from, char (&to)[HOST_STRING_BUFFER]) {
  std::memset(to, 0, sizeof(to));
  if (from) std::memcpy(to, from, strnlen(from, HOST_STRING_BUFFER - 1));
}

bool beginsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

bool isStoredBinding(int tag) { return tag >= 0 && tag <= NUM_PARAMS; }

// The process's preference store is kept alive on purpose until the very end (instances may
// outlive the library's static objects); when a host unloads the module the leak checker
// would see it as lost, so it is told that the store is meant to stay.
void keepDefaultStore() {
#ifdef GRINDLE_LEAK_CHECKER
  static const bool marked = (__lsan_ignore_object(&defaultPrefsStore()), true);
  (void)marked;
#endif
}

}  // namespace

HostQuirkFlags APlugin::identifyHost(const char* vendor, const char* product) {
  char v[HOST_STRING_BUFFER];
  char p[HOST_STRING_BUFFER];
  copyHostString(vendor, v);
  copyHostString(product, p);
  upperCase(v);
  upperCase(p);
  HostQuirkFlags flags;
  flags.kore = beginsWith(p, "KORE");
  flags.maschine = std::strcmp(p, "MASCHINE HOST") == 0;
  flags.veldra = std::strcmp(p, "VELDRA") == 0;
  flags.propellerhead = beginsWith(v, "PROP");
  return flags;
}

void APlugin::identifyHostFromCallback() {
  // Zeroed and oversized: a host that writes no terminator within its 64 bytes is still read
  // as a terminated string.
  char product[HOST_STRING_BUFFER] = {};
  char vendor[HOST_STRING_BUFFER] = {};
  getHostProductString(product);
  getHostVendorString(vendor);
  product[HOST_STRING_BUFFER - 1] = 0;
  vendor[HOST_STRING_BUFFER - 1] = 0;
  hostQuirkFlags = identifyHost(vendor, product);
}

uint32_t APlugin::clockSeed() {
  // The clock alone can repeat for instances made in one tick; the counter keeps them apart.
  static std::atomic<uint32_t> instances{0};
  uint64_t x = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  x += 0x9E3779B97F4A7C15ull * (instances.fetch_add(1, std::memory_order_relaxed) + 1ull);
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>(x ^ (x >> 31));
}

void APlugin::createEditor() {
  const EditorFactory factory = editorFactory.load(std::memory_order_acquire);
  if (!factory) return;
  CreatedEditor made;
  try {
    made = factory(*this);
  } catch (...) {
    return;  // the plug-in works without its editor
  }
  if (!made.editor) return;
  setEditor(made.editor);
  editorLink = made.link;
}

void APlugin::initPreferenceVariables() {
  keepDefaultStore();
  helpDir = loadFolderFromPrefs("HelpDir");
  ecsDir = loadFolderFromPrefs("ECSDir");
  waveShaperDir = loadFolderFromPrefs("WaveShaperDir");
  loadMidiPreferences();
}

void APlugin::loadMidiPreferences() {
  // A binding still waiting for the writer is newer than the file.
  prefsWriter.flush();
  TPrefsStore& store = defaultPrefsStore();
  midiCaptureOn.store(store.getRegisterIsOn("MidiCapture", true), std::memory_order_relaxed);
  midiPresetOn.store(store.getRegisterIsOn("MidiPreset", true), std::memory_order_relaxed);
  midiChannelSetting.store(store.loadInt("Midi Channel"), std::memory_order_relaxed);
  int stored[NUM_MIDI_CC];
  store.getMidiCCs(stored);
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) {
    // Learnt while this ran: the writer has the newer binding and the map already shows it.
    if (prefsWriter.pendingMidiCC(cc) >= 0) continue;
    const int tag = stored[cc];
    // A number no binding can hold (an edited or damaged file) means no binding.
    MidiCCMap[cc].store(isStoredBinding(tag) ? tag : 0, std::memory_order_relaxed);
  }
}

void APlugin::setMidiCaptureOn(bool on) {
  midiCaptureOn.store(on, std::memory_order_relaxed);
  setRegisterIsOn("MidiCapture", on);
}

void APlugin::setMidiPresetOn(bool on) {
  midiPresetOn.store(on, std::memory_order_relaxed);
  setRegisterIsOn("MidiPreset", on);
}

void APlugin::setMidiChannelSetting(int channel) {
  if (channel < 0 || channel > 16) return;
  midiChannelSetting.store(channel, std::memory_order_relaxed);
  saveIntToPrefs("Midi Channel", channel);
}

void APlugin::learnMidiCC(int cc, int tag) {
  if (static_cast<unsigned>(cc) >= static_cast<unsigned>(NUM_MIDI_CC) || !isValidTag(tag)) return;
  MidiCCMap[cc].store(tag, std::memory_order_relaxed);
  prefsWriter.postMidiCC(cc, tag);
}

void APlugin::setMidiCCTag(int cc, int tag) {
  if (static_cast<unsigned>(cc) >= static_cast<unsigned>(NUM_MIDI_CC) || !isStoredBinding(tag)) return;
  MidiCCMap[cc].store(tag, std::memory_order_relaxed);
  // Through the writer, so that an older binding still waiting there cannot land later.
  prefsWriter.postMidiCC(cc, tag);
  prefsWriter.flush();
}

void APlugin::setAllMidiCCTags(const int32_t (&tags)[NUM_MIDI_CC]) {
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) {
    const int tag = isStoredBinding(tags[cc]) ? tags[cc] : 0;
    MidiCCMap[cc].store(tag, std::memory_order_relaxed);
    prefsWriter.postMidiCC(cc, tag);
  }
  prefsWriter.flush();
}
