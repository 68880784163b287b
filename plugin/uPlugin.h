// The plug-in object: every setting, the parameter store and the host-facing operations.
// Large (several hundred kilobytes once complete): always allocate it on the heap.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "audioeffectx.h"
#include "dsp/dspCommon.h"
#include "platform/prefsWriter.h"
#include "tags.h"
#include "uEditorLink.h"
#include "uEngine.h"
#include "uParamText.h"
#include "uPluginPresetsBanks.h"
#include "uShared.h"

inline constexpr const char* PRODUCT_NAME_STR = "Grindle2";
inline constexpr const char* VENDOR_STR = "Kestrune";
inline constexpr int32_t VENDOR_VERSION = 0x10000;
inline constexpr int32_t UNIQUE_ID = fourCharId('M', 'v', '3', 'k');

// One program as stored and as exchanged with the host: values in tag order, then the name.
struct ProgramChunk {
  float values[NUM_PARAMS];
  char name[32];
};
static_assert(sizeof(ProgramChunk) == 4128);

class APlugin;

// ==== Host and preferences: types ====

// Hosts that get special treatment, recognised from the host's vendor and product strings.
struct HostQuirkFlags {
  bool kore = false;           // product begins with "KORE"
  bool maschine = false;       // product is exactly "MASCHINE HOST"
  bool veldra = false;         // product is exactly "VELDRA"
  bool propellerhead = false;  // vendor begins with "PROP"
  bool any() const { return kore || maschine || veldra || propellerhead; }
};

// What an editor factory hands back: the editor the host drives and the link the plug-in
// talks to (normally the same object).
struct CreatedEditor {
  AEffEditor* editor = nullptr;
  IEditorLink* link = nullptr;
};
using EditorFactory = CreatedEditor (*)(APlugin& plugin);

inline constexpr int NUM_MIDI_CC = 128;
// Size of the buffers the host identity is read into (hosts write at most 64 bytes).
inline constexpr int HOST_STRING_BUFFER = 256;

class APlugin : public AudioEffectX, public IParamTextSource, protected IEngineListener {
 public:
  explicit APlugin(audioMasterCallback audioMaster);
  ~APlugin() override;
  // An instance is large (the widener's rings alone are 384 KB) and all of it is written as it
  // is built: its pages are mapped in with one call rather than by one page fault each.
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  // ---- Host-facing operations ----
  // Switching on and off needs no work: the engine restarts itself when needed.
  void suspend() override;
  void resume() override;
  void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
  void __processDeprecated(float** inputs, float** outputs, int32_t sampleFrames) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  int32_t getVendorVersion() override;
  int32_t canDo(char* text) override;
  bool getInputProperties(int32_t index, VstPinProperties* properties) override;
  bool getOutputProperties(int32_t index, VstPinProperties* properties) override;
  intptr_t vendorSpecific(int32_t lArg, intptr_t lArg2, void* ptrArg, float floatArg) override;
  bool beginEdit(int32_t index) override;
  bool endEdit(int32_t index) override;
  void getParameterName(int32_t index, char* text) override;
  void getParameterLabel(int32_t index, char* label) override;
  void getParameterDisplay(int32_t index, char* text) override;

  // ---- Parameter store ----
  static bool isValidTag(int t) { return static_cast<unsigned>(t) < static_cast<unsigned>(NUM_PARAMS); }
  float getParameter(int32_t t) override;
  void setParameter(int32_t t, float v) override;

  bool getOnOff(int t);
  static bool getOnOff(float v) { return v >= 0.5f; }
  bool getRevOnOff(int t);
  static bool getRevOnOff(float v) { return v <= 0.5f; }
  void setOnOff(int t, bool on);
  void setOn(int t) { setOnOff(t, true); }
  void setOff(int t) { setOnOff(t, false); }
  void toggleOnOff(int t);

  int32_t getMenuNum(int t);
  float getMenuRange(int t);
  static int getSteppedValue(float v, float scale, int count);
  int getSteppedValue(int t, float scale, int count);
  int getSteppedValue(int t);
  void setSteppedValue(int t, int n);
  void setSteppedValue(int t, int n, float scale, int count);

  // Moves a parameter by delta natural steps: a menu entry, on/off, or 0.01 of the range. The
  // module path and the distortion type also update the editor. GUI thread.
  void changeDelta(int t, int delta);
  // Asks for the value in the parameter's unit ("-30 to 10 dB", "0 to 100%") and stores the
  // answer (not automated); Cancel changes nothing. Blocks the GUI thread while the box is open.
  void setNumValue(int t);

  void copyParameter(int from, int to);
  void swapParameter(int a, int b);
  float getDefault(int t);
  void setToDefault(int t);
  // The value a knob shows as its modulation ring; on = the "ModDial" preference.
  float getDialMod(int t, bool on);
  bool getEditChanged() const { return editChanged.load(std::memory_order_relaxed); }
  int32_t getDestByTag(int t) { return isValidTag(t) ? destByTag[t] : -1; }
  bool isOnOffTag(int t) const { return isValidTag(t) && isOnOff[t]; }

  // True only while an editor is fully open (see setParameter's editor forward).
  bool isEditorOpen();

  // ---- Tables (indexed by tag) ----
  std::atomic<float> currentValues[NUM_PARAMS];
  float defaultValues[NUM_PARAMS];
  float editedValues[NUM_PARAMS];
  float originalValues[NUM_PARAMS];
  float lastValues[NUM_PARAMS];
  int32_t menuNum[NUM_PARAMS];
  float menuRange[NUM_PARAMS];
  bool isOnOff[NUM_PARAMS];
  int32_t destByTag[NUM_PARAMS];
  ProgramChunk programs;  // the one program's store (program 0)
  std::atomic<bool> editChanged{false};

  // ---- Editor link (set by the editor; tests install a fake) ----
  std::atomic<bool> editorOpening{false};
  std::atomic<bool> editorOpen{false};
  IEditorLink* editorLink = nullptr;

  // ==== Host and preferences ====
  // Makes the editor of each new instance; none while unset (the plug-in then runs without an
  // editor and the has-editor flag stays clear). Set before instances are created.
  static inline std::atomic<EditorFactory> editorFactory{nullptr};

  // Host identity. identifyHost reads the strings as the host wrote them (any case).
  static HostQuirkFlags identifyHost(const char* vendor, const char* product);
  // Set once by the constructor; what depends on the host (the chunk rules) is derived from it.
  HostQuirkFlags hostQuirkFlags;

  // Texts of the parameter for the host and the editor: live values of the store.
  float paramValue(int tag) const override;

  // Folders from the preferences ("HelpDir", "ECSDir", "WaveShaperDir"). GUI thread only.
  std::string helpDir;
  std::string ecsDir;
  std::string waveShaperDir;

  // Preference values the audio thread needs, kept here so that it never touches the store.
  // Readers: any thread. Setters: not the audio thread (they write the preference file).
  bool getMidiCaptureOn() const { return midiCaptureOn.load(std::memory_order_relaxed); }
  bool getMidiPresetOn() const { return midiPresetOn.load(std::memory_order_relaxed); }
  // The stored "Midi Channel" number: 0 = all channels, n = channel n.
  int getMidiChannelSetting() const { return midiChannelSetting.load(std::memory_order_relaxed); }
  void setMidiCaptureOn(bool on);
  void setMidiPresetOn(bool on);
  // Only 0..16 are stored; anything else is ignored.
  void setMidiChannelSetting(int channel);
  // Re-reads all of them (and the controller map) from the store. Not the audio thread.
  void loadMidiPreferences();

  // The controller map: the tag bound to controller cc (0 = none; 0 for cc outside 0..127).
  int getMidiCCTag(int cc) const {
    return static_cast<unsigned>(cc) < static_cast<unsigned>(NUM_MIDI_CC)
               ? MidiCCMap[cc].load(std::memory_order_relaxed)
               : 0;
  }
  // Audio-thread safe: binds controller cc to tag (0..1023, 0 unbinds) with atomic stores only;
  // the preference writer stores it within a fraction of a second. Invalid input is ignored.
  void learnMidiCC(int cc, int tag);
  // Not the audio thread: binds and writes the preference file before returning. Tags
  // 0..NUM_PARAMS are kept (NUM_PARAMS is stored but never acts).
  void setMidiCCTag(int cc, int tag);
  // Not the audio thread: all 128 bindings at once, in one write of the file.
  void setAllMidiCCTags(const int32_t (&tags)[NUM_MIDI_CC]);
  // Not the audio thread: writes the bindings still waiting for the writer now.
  bool flushPreferences() { return prefsWriter.flush(); }

  // Per-instance random numbers instead of the C library's shared, locking generator.
  dsp::Rand15 random;

  // ======================= Engine (uEngine.h) =======================
  // The audio engine works on its own; the plug-in hands it the host's blocks, time and MIDI and
  // keeps the names its editor and the parameter texts call, forwarding them.
 public:
  void setSampleRate(float rate) override;
  // Re-initialises the signal chain. From the audio thread, or while processing is switched off,
  // it happens at once; otherwise it is carried out at the start of the next block.
  void resetEverything() { engine.requestReset(); }

  // Selections read from the parameter store.
  int32_t getModulePath() { return engine.getModulePath(); }
  int32_t getDistortType() { return engine.getDistortType(); }
  int32_t getDisruptQuant() { return engine.getDisruptQuant(); }
  int32_t getDisruptSpringTime() { return engine.getDisruptSpringTime(); }
  int32_t getDisruptLazyMode() { return engine.getDisruptLazyMode(); }
  int32_t getFollowerSource() { return engine.getFollowerSource(); }
  int32_t getLFOWave(int i) { return engine.getLFOWave(i); }
  int32_t getLFOMode(int i) { return engine.getLFOMode(i); }
  int32_t getLFOTrigger(int i) { return engine.getLFOTrigger(i); }
  int32_t getLFOWaveByTag(int t) { return getSteppedValue(t); }
  int32_t getLFOModeByTag(int t) { return getSteppedValue(t); }
  int32_t getLFOTriggerByTag(int t) { return getSteppedValue(t); }
  static bool isValidLFO(int i) { return TEngine::isValidLFO(i); }
  int32_t getSrcForModSlot(int s);
  int32_t getDestForModSlot(int s);
  static bool isValidModSlot(int s) {
    return static_cast<unsigned>(s) < static_cast<unsigned>(NUM_MOD_SLOTS);
  }
  int32_t getSrcForTag(int t) { return getSteppedValue(t); }
  int32_t getDestForTag(int t) { return getSteppedValue(t); }
  void setSrcForTag(int t, int n) { setSteppedValue(t, n); }
  void setDestForTag(int t, int n) { setSteppedValue(t, n); }
  void setSrcForModSlot(int s, int n);
  void setDestForModSlot(int s, int n);
  bool getFilterType(int t) { return getOnOff(t); }
  bool getWaveShaperPolarMode() { return getOnOff(WAVESHAPER_POLAR_TAG); }
  int32_t getWaveShaperDistortMode(int i);
  int32_t getWaveShaperDistortModeByTag(int t) { return getSteppedValue(t); }
  static int32_t getSyncedPeriod(float v);
  void setDisruptOn(int n);
  void setModSlotVariables(int s, bool bypass, float amount, int src, int dest);

  // Live values for the editor (safe from the GUI thread).
  float getModDisruptAmount() { return engine.getModDisruptAmount(); }
  float getCompVolume() { return engine.getCompVolume(); }
  // The compressor meter's display value for a level: 1 at 0 dB, 0 at -40 dB, and 0 below level 0.001.
  static float compLevelToDisplay(float level) { return TEngine::compLevelToDisplay(level); }
  bool getNoiseGateTriggered() { return engine.getNoiseGateTriggered(); }
  float getFollowerValue(float x) { return engine.getFollowerValue(x); }
  float getSourceValue(int src) const { return engine.getSourceValue(src); }
  float getTempo() const { return engine.getTempo(); }
  float getSamplesPerBar() const { return engine.getSamplesPerBar(); }
  float getWorkingSampleRate() const { return engine.getWorkingSampleRate(); }

  // The Disrupt slider's spring: off while the slider is held, on when it is let go.
  void setDisruptSpringOn() { engine.setDisruptSpringOn(); }
  void setDisruptSpringOff() { engine.setDisruptSpringOff(); }
  // Feeds the envelope follower one frame.
  void setFollowerValue(float left, float right) { engine.setFollowerValue(left, right); }

  // Editor displays (GUI thread).
  int32_t getLFOScreenValue(int lfo, float x, int height) { return engine.getLFOScreenValue(lfo, x, height); }
  int32_t getLFOPos(int lfo, float width) { return engine.getLFOPos(lfo, width); }
  bool distortDisplayUpdated() { return engine.distortDisplayUpdated(); }
  void getDistortDisplay(float* out, int count, int wave, float zoom) {
    engine.getDistortDisplay(out, count, wave, zoom);
  }

 protected:
  // The per-sample call point of the MIDI input: due events run (also without the engine's loop).
  void processMidi() { engine.runDueMidi(); }

  // What the engine tells the plug-in (audio thread).
  void midiEventDue(const VstMidiEvent& event) override { runMidiMessage(event); }
  void storeDisruptAmount(float value) override;
  void showDisruptAmount(float value) override;
  void showLevels(float inL, float inR, float outL, float outR) override;
  void engineReset() override { updateMidiChannel(); }

  TEngine engine;
  // ===================== end of engine =====================

  // ======== MIDI input, MIDI learn and the controller-map file (uPluginMidi.cpp) ========
 public:
  // Audio thread. Queues the MIDI events of the coming block; other event kinds, a null list
  // and null entries are skipped. Always answers 1.
  int32_t processEvents(VstEvents* events) override;
  // Any thread: "Midi Channel" n selects channel n (index n - 1); 0 or anything outside
  // 0..17 lets every channel through.
  void updateMidiChannel();
  // GUI thread: unbinds every controller (map and preferences); no controller drives any
  // parameter until it has been learnt again.
  void resetMidi();
  // GUI thread: every bound controller must first come near the parameter's present value.
  void resetMidiCapture();
  // GUI thread. on: the next controller (not 120, 121 or 123) is bound to tag. off: every
  // controller bound to tag is unbound. Tags outside 0..1023 are ignored.
  void setMidiLatch(int tag, bool on);
  // GUI thread: asks for a controller number and binds it to tag.
  void setMidiCCNum(int tag);
  // GUI thread: the controller map from or to a file chosen in a file dialog.
  void loadECS();
  void saveECS();
  // GUI thread: the same without the dialog; false (after telling the user) on failure, and
  // then the map is unchanged.
  bool loadECSFile(const std::string& path);
  bool saveECSFile(const std::string& path);

  bool isMidiLatchOn() const { return midiLatchOn.load(std::memory_order_acquire); }
  int getMidiLatchTag() const { return midiLatchTag.load(std::memory_order_relaxed); }
  // Receive channel index 0..15, 16 for none, -1 for all.
  int getMidiChannel() const { return midiChannel.load(std::memory_order_relaxed); }
  int getNumPendingEvents() const { return engine.getNumPendingEvents(); }
  bool isNoteHeld(int note) const {
    return static_cast<unsigned>(note) < 128u && heldNotes[note].load(std::memory_order_relaxed);
  }
  int getLastCC() const { return lastCC.load(std::memory_order_relaxed); }
  int getLastCCValue() const { return lastCCValue.load(std::memory_order_relaxed); }
  bool getMidiCaptureFlag(int tag) const {
    return isValidTag(tag) && midiCaptureFlags[tag].load(std::memory_order_relaxed);
  }
  float getMidiCaptureValue(int tag) const {
    return isValidTag(tag) ? midiCaptureValues[tag].load(std::memory_order_relaxed) : -1.0f;
  }

  static constexpr int MIDI_POOL_SIZE = TEngine::MIDI_POOL_SIZE;

 protected:
  // Start-up state of the MIDI input (the map itself comes with the preferences).
  void initMidiVariables();
  // After a program load: no held notes, and every bound controller must catch the new value.
  void alignMidiToLoadedProgram();
  // One message of a due record.
  void runMidiMessage(const VstMidiEvent& event);
  void runMidiController(int cc, int value);

  std::atomic<int32_t> midiChannel{-1};
  std::atomic<bool> heldNotes[128];
  std::atomic<int32_t> lastCC{-1};
  std::atomic<int32_t> lastCCValue{-1};
  // Learn: the GUI thread stores the tag, then the flag (release); the audio thread sees the
  // flag (acquire), reads the tag, binds it and clears the flag (release).
  std::atomic<bool> midiLatchOn{false};
  std::atomic<int32_t> midiLatchTag{0};
  std::atomic<bool> midiCaptureFlags[NUM_PARAMS];
  std::atomic<float> midiCaptureValues[NUM_PARAMS];
  // ======== end of MIDI ========

 protected:
  // ==== Host and preferences: construction steps ====
  void identifyHostFromCallback();
  // Folders with their defaults written back, and the MIDI preferences.
  void initPreferenceVariables();
  static uint32_t clockSeed();
  void createEditor();

  std::atomic<bool> midiCaptureOn{true};
  std::atomic<bool> midiPresetOn{true};
  std::atomic<int32_t> midiChannelSetting{0};
  std::atomic<int32_t> MidiCCMap[NUM_MIDI_CC];
  // Writes bindings learnt on the audio thread; started by resume(), flushed on destruction.
  TPrefsWriter prefsWriter;

  // Fills the tag tables from the tag map (defaults, steps, switches, destinations).
  void initTagTables();
  // Loads the built-in program named by the name tags of the program store into the current
  // values and the store (row 0 when the name matches none).
  void loadBuiltInFromNameTags();
  // Makes the built-in program the name tags spell current (row 0 when none matches) and
  // answers its number.
  int builtInNamedByNameTags();
  // The store of the current program number.
  float* programValues() { return programs.values; }

  // ======== Programs and state chunk ========
 public:
  // The host sees one program, number 0; what it sounds like is the built-in program its name
  // tags spell. Choosing it loads that built-in row; a restored chunk keeps its own values.
  void setProgram(int32_t program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;
  // Bank and program chunks: 4128 bytes, the values in tag order then the name.
  int32_t getChunk(void** data, bool isPreset) override;
  int32_t setChunk(void* data, int32_t byteSize, bool isPreset) override;

  // Name of built-in program i, "None" outside 0..49.
  const char* getPresetName(int i) const;
  // Selects built-in program n (0..49) and loads it; others do nothing. Also the MIDI
  // program change.
  void setDemoProgram(int n);
  // The built-in program d places away, held inside the bank.
  void changeDemoProgramDelta(int d);
  // Switch between the snapshots: defaults (not the name), the edited values, the values as loaded.
  void defaultProgram();
  void editProgram();
  void origProgram();
  int getCurDemoProgram() const { return curDemoProgram.load(std::memory_order_relaxed); }
  // True while a load runs or makes the editor redraw itself.
  bool getIsSettingPreset() const {
    return settingPreset.load(std::memory_order_relaxed) || refreshingEditor.load(std::memory_order_relaxed);
  }
  // How chunks are exchanged, decided by the host's identity alone. Hosts recognised by their
  // strings keep their own rules; every other host exchanges bank and program chunks.
  enum class ChunkHost : uint8_t { Other, Kore, Maschine, Veldra, Propellerhead };
  static ChunkHost chunkHostFor(const HostQuirkFlags& host);
  ChunkHost chunkHost() const { return chunkHostFor(hostQuirkFlags); }

  std::atomic<int32_t> curDemoProgram{0};
  char demoProgramNames[NUM_DEMO_PROGRAMS][64] = {};
  std::atomic<bool> settingPreset{false};
  std::atomic<bool> refreshingEditor{false};
  ProgramChunk bankChunkBuffer{};
  ProgramChunk programChunkBuffer{};

 protected:
  void initPrograms();
  // Copies built-in row n into the current values and the store, with its name.
  void copyBuiltInRow(int n);
  // The load behind setProgram(0) and setChunk: snapshots, working values, reset and editor
  // redraw. keepStoredValues: the store holds restored values that stay; otherwise the built-in
  // row the name tags spell replaces them. Nothing happens while the editor is opening.
  void loadProgram(bool keepStoredValues);
  // Brings the engine's working values (smoothed volume, mix, filter frequencies, Disrupt,
  // LFO speeds), the MIDI pick-up values and the held notes in line with a loaded program
  // (supplied by the engine and MIDI code).
  void alignToLoadedProgram();
  // ======== end of programs and state chunk ========
};

AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
