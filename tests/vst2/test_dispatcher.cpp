// The record, the trampolines and both dispatchers, driven the way a host drives them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "support/fakeHost.h"
#include "vst2/aeffeditor.h"
#include "vst2/audioeffectx.h"
#include "support/expectValues.h"

using testing_support::FakeHost;

namespace {

// Remembers the last virtual operation the dispatcher reached and its arguments, and answers
// with recognisable values.
struct Recorder : AudioEffectX {
  explicit Recorder(audioMasterCallback cb = nullptr, int32_t programs = 1) : AudioEffectX(cb, programs, 8) {}

  std::vector<std::string> calls;
  intptr_t a = 0, b = 0;
  const void* p = nullptr;
  const void* q = nullptr;
  float f = 0.0f;
  bool flag = false;

  void note(const char* name) { calls.emplace_back(name); }
  std::string lastCall() const { return calls.empty() ? std::string() : calls.back(); }

  void open() override { note("open"); }
  void close() override { note("close"); }
  void suspend() override { note("suspend"); }
  void resume() override { note("resume"); }
  void setProgram(int32_t n) override { note("setProgram"), a = n; }
  int32_t getProgram() override { return note("getProgram"), -7; }
  void setProgramName(char* t) override { note("setProgramName"), p = t; }
  void getProgramName(char* t) override { note("getProgramName"), p = t; }
  void getParameterLabel(int32_t i, char* t) override { note("getParameterLabel"), a = i, p = t; }
  void getParameterDisplay(int32_t i, char* t) override { note("getParameterDisplay"), a = i, p = t; }
  void getParameterName(int32_t i, char* t) override { note("getParameterName"), a = i, p = t; }
  void setSampleRate(float r) override { note("setSampleRate"), f = r; }
  void setBlockSize(int32_t n) override { note("setBlockSize"), a = n; }
  int32_t getChunk(void** d, bool preset) override { return note("getChunk"), p = d, flag = preset, 4128; }
  int32_t setChunk(void* d, int32_t n, bool preset) override {
    return note("setChunk"), p = d, a = n, flag = preset, 1;
  }
  int32_t processEvents(VstEvents* e) override { return note("processEvents"), p = e, 1; }
  bool canParameterBeAutomated(int32_t i) override { return note("canParameterBeAutomated"), a = i, i == 3; }
  bool string2parameter(int32_t i, char* t) override { return note("string2parameter"), a = i, p = t, true; }
  bool getProgramNameIndexed(int32_t c, int32_t i, char* t) override {
    return note("getProgramNameIndexed"), a = c, b = i, p = t, true;
  }
  bool getInputProperties(int32_t i, VstPinProperties* pp) override {
    return note("getInputProperties"), a = i, p = pp, true;
  }
  bool getOutputProperties(int32_t i, VstPinProperties* pp) override {
    return note("getOutputProperties"), a = i, p = pp, true;
  }
  int32_t getPlugCategory() override { return note("getPlugCategory"), 5; }
  bool offlineNotify(VstAudioFile* af, int32_t n, bool start) override {
    return note("offlineNotify"), p = af, a = n, flag = start, true;
  }
  bool offlinePrepare(VstOfflineTask* t, int32_t n) override { return note("offlinePrepare"), p = t, a = n, true; }
  bool offlineRun(VstOfflineTask* t, int32_t n) override { return note("offlineRun"), p = t, a = n, true; }
  bool processVariableIo(VstVariableIo* v) override { return note("processVariableIo"), p = v, true; }
  bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override {
    return note("setSpeakerArrangement"), p = in, q = out, true;
  }
  bool setBypass(bool on) override { return note("setBypass"), flag = on, true; }
  bool getEffectName(char* t) override { return note("getEffectName"), p = t, true; }
  bool getVendorString(char* t) override { return note("getVendorString"), p = t, true; }
  bool getProductString(char* t) override { return note("getProductString"), p = t, true; }
  int32_t getVendorVersion() override { return note("getVendorVersion"), -3; }
  intptr_t vendorSpecific(int32_t i, intptr_t v, void* pt, float o) override {
    return note("vendorSpecific"), a = i, b = v, p = pt, f = o, static_cast<intptr_t>(1) << 40;
  }
  int32_t canDo(char* t) override { return note("canDo"), p = t, -1; }
  int32_t getGetTailSize() override { return note("getGetTailSize"), 77; }
  bool getParameterProperties(int32_t i, VstParameterProperties* pp) override {
    return note("getParameterProperties"), a = i, p = pp, true;
  }
  int32_t getVstVersion() override { return note("getVstVersion"), 2400; }
  int32_t getMidiProgramName(int32_t c, MidiProgramName* m) override { return note("getMidiProgramName"), a = c, p = m, 9; }
  int32_t getCurrentMidiProgram(int32_t c, MidiProgramName* m) override {
    return note("getCurrentMidiProgram"), a = c, p = m, 10;
  }
  int32_t getMidiProgramCategory(int32_t c, MidiProgramCategory* m) override {
    return note("getMidiProgramCategory"), a = c, p = m, 11;
  }
  bool hasMidiProgramsChanged(int32_t c) override { return note("hasMidiProgramsChanged"), a = c, true; }
  bool getMidiKeyName(int32_t c, MidiKeyName* k) override { return note("getMidiKeyName"), a = c, p = k, true; }
  bool beginSetProgram() override { return note("beginSetProgram"), true; }
  bool endSetProgram() override { return note("endSetProgram"), true; }
  bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override {
    return note("getSpeakerArrangement"), p = in, q = out, true;
  }
  int32_t getNextShellPlugin(char* t) override { return note("getNextShellPlugin"), p = t, 12; }
  int32_t startProcess() override { return note("startProcess"), 13; }
  int32_t stopProcess() override { return note("stopProcess"), 14; }
  int32_t setTotalSampleToProcess(int32_t n) override { return note("setTotalSampleToProcess"), n; }
  bool setPanLaw(int32_t t, float v) override { return note("setPanLaw"), a = t, f = v, true; }
  int32_t beginLoadBank(VstPatchChunkInfo* c) override { return note("beginLoadBank"), p = c, 15; }
  int32_t beginLoadProgram(VstPatchChunkInfo* c) override { return note("beginLoadProgram"), p = c, 16; }
  bool setProcessPrecision(int32_t v) override { return note("setProcessPrecision"), a = v, true; }
  int32_t getNumMidiInputChannels() override { return note("getNumMidiInputChannels"), 17; }
  int32_t getNumMidiOutputChannels() override { return note("getNumMidiOutputChannels"), 18; }
};

struct RecordingEditor : AEffEditor {
  explicit RecordingEditor(AudioEffect* e, int* deletions = nullptr) : AEffEditor(e), deletions(deletions) {}
  ~RecordingEditor() override {
    if (deletions) ++*deletions;
  }
  int* deletions;
  std::vector<std::string> calls;
  VstKeyCode lastKey{};
  int32_t knobMode = -1;
  ERect rect{0, 0, 300, 400};
  bool getRect(ERect** r) override { return calls.emplace_back("getRect"), *r = &rect, true; }
  bool open(void* ptr) override { return calls.emplace_back("open"), AEffEditor::open(ptr), true; }
  void close() override { calls.emplace_back("close"), AEffEditor::close(); }
  void idle() override { calls.emplace_back("idle"); }
  bool onKeyDown(VstKeyCode& k) override { return calls.emplace_back("onKeyDown"), lastKey = k, true; }
  bool onKeyUp(VstKeyCode& k) override { return calls.emplace_back("onKeyUp"), lastKey = k, true; }
  bool setKnobMode(int32_t m) override { return calls.emplace_back("setKnobMode"), knobMode = m, true; }
};

intptr_t dispatch(AudioEffect& e, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f) {
  AEffect* rec = e.getAeffect();
  return rec->dispatcher(rec, opcode, index, value, ptr, opt);
}

char gText[256];
int gToken;

}  // namespace

TEST(Record, ConstructorFillsEveryFieldAtItsOffset) {
  Recorder e(nullptr, 3);
  AEffect* rec = e.getAeffect();
  unsigned char raw[sizeof(AEffect)];
  std::memcpy(raw, rec, sizeof(raw));
  auto i32 = [&](size_t off) {
    int32_t v;
    std::memcpy(&v, raw + off, 4);
    return v;
  };
  auto ptr = [&](size_t off) {
    void* v;
    std::memcpy(&v, raw + off, 8);
    return v;
  };
  EXPECT_EQ(i32(0), 0x56737450);
  EXPECT_EQ(ptr(8), reinterpret_cast<void*>(&AudioEffect::dispatchEffectClass));
  EXPECT_EQ(ptr(16), reinterpret_cast<void*>(&AudioEffect::processClass));
  EXPECT_EQ(ptr(24), reinterpret_cast<void*>(&AudioEffect::setParameterClass));
  EXPECT_EQ(ptr(32), reinterpret_cast<void*>(&AudioEffect::getParameterClass));
  EXPECT_EQ(i32(40), 3);
  EXPECT_EQ(i32(44), 8);
  EXPECT_EQ(i32(48), 1);
  EXPECT_EQ(i32(52), 2);
  EXPECT_EQ(i32(56), 16);
  EXPECT_EQ(ptr(64), nullptr);
  EXPECT_EQ(ptr(72), nullptr);
  EXPECT_EQ(i32(80), 0);
  float ioRatio;
  std::memcpy(&ioRatio, raw + 92, 4);
  EXPECT_EQ(ioRatio, 1.0f);
  EXPECT_EQ(ptr(96), static_cast<void*>(static_cast<AudioEffect*>(&e)));
  EXPECT_EQ(ptr(104), nullptr);
  EXPECT_EQ(i32(112), 0x4E6F4566);
  EXPECT_EQ(i32(116), 1);
  EXPECT_EQ(ptr(120), reinterpret_cast<void*>(&AudioEffect::processClassReplacing));
  EXPECT_EQ(ptr(128), reinterpret_cast<void*>(&AudioEffect::processClassDoubleReplacing));
  for (size_t off = 136; off < 192; ++off) EXPECT_EQ(raw[off], 0) << off;
  EXPECT_EQ(e.getSampleRate(), 44100.0f);
  EXPECT_EQ(e.getBlockSize(), 1024);
}

TEST(Record, FlagSettersTouchOnlyTheirBit) {
  Recorder e;
  AEffect* rec = e.getAeffect();
  struct Setter {
    int32_t bit;
    void (*set)(Recorder&, bool);
  };
  const Setter setters[] = {
      {kEffFlagCanReplacing, [](Recorder& r, bool s) { r.canProcessReplacing(s); }},
      {kEffFlagProgramChunks, [](Recorder& r, bool s) { r.programsAreChunks(s); }},
      {kEffFlagIsSynth, [](Recorder& r, bool s) { r.isSynth(s); }},
      {kEffFlagNoSoundInStop, [](Recorder& r, bool s) { r.noTail(s); }},
      {kEffFlagCanDoubleReplacing, [](Recorder& r, bool s) { r.canDoubleReplacing(s); }},
  };
  for (const Setter& s : setters) {
    rec->flags = ~s.bit;
    s.set(e, true);
    EXPECT_EQ(rec->flags, -1) << s.bit;
    s.set(e, false);
    EXPECT_EQ(rec->flags, ~s.bit) << s.bit;
    rec->flags = 0;
    s.set(e, true);
    EXPECT_EQ(rec->flags, s.bit);
  }
  rec->flags = 0;
  RecordingEditor* editor = new RecordingEditor(&e);
  EXPECT_EQ(rec->flags, kEffFlagHasEditor);
  EXPECT_EQ(e.getEditor(), editor);
  e.setEditor(nullptr);
  EXPECT_EQ(rec->flags, 0);
  delete editor;
  e.setUniqueID(0x12345678);
  e.setNumInputs(4);
  e.setNumOutputs(6);
  e.setInitialDelay(99);
  EXPECT_VALUES({rec->uniqueID, 0x12345678}, {rec->numInputs, 4}, {rec->numOutputs, 6}, {rec->initialDelay, 99});
}

TEST(Dispatcher, EveryListedOpcodeReachesItsOperation) {
  Recorder e(nullptr, 2);
  struct Row {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
    const char* call;
    intptr_t result;
  };
  const Row rows[] = {
      {kEffProcessEvents, 0, 0, &gToken, 0, "processEvents", 1},
      {kEffCanBeAutomated, 3, 0, nullptr, 0, "canParameterBeAutomated", 1},
      {kEffCanBeAutomated, 4, 0, nullptr, 0, "canParameterBeAutomated", 0},
      {kEffString2Parameter, 2, 0, gText, 0, "string2parameter", 1},
      {kEffGetProgramNameIndexed, 0, 0, gText, 0, "getProgramNameIndexed", 1},
      {kEffGetInputProperties, 1, 0, &gToken, 0, "getInputProperties", 1},
      {kEffGetOutputProperties, 1, 0, &gToken, 0, "getOutputProperties", 1},
      {kEffGetPlugCategory, 0, 0, nullptr, 0, "getPlugCategory", 5},
      {kEffOfflineNotify, 1, 3, &gToken, 0, "offlineNotify", 1},
      {kEffOfflinePrepare, 0, 3, &gToken, 0, "offlinePrepare", 1},
      {kEffOfflineRun, 0, 3, &gToken, 0, "offlineRun", 1},
      {kEffProcessVarIo, 0, 0, &gToken, 0, "processVariableIo", 1},
      {kEffSetSpeakerArrangement, 0, 0, nullptr, 0, "setSpeakerArrangement", 1},
      {kEffSetBypass, 0, 1, nullptr, 0, "setBypass", 1},
      {kEffGetEffectName, 0, 0, gText, 0, "getEffectName", 1},
      {kEffGetVendorString, 0, 0, gText, 0, "getVendorString", 1},
      {kEffGetProductString, 0, 0, gText, 0, "getProductString", 1},
      {kEffGetVendorVersion, 0, 0, nullptr, 0, "getVendorVersion", -3},
      {kEffVendorSpecific, 9, 8, &gToken, 0.5f, "vendorSpecific", static_cast<intptr_t>(1) << 40},
      {kEffCanDo, 0, 0, gText, 0, "canDo", -1},
      {kEffGetTailSize, 0, 0, nullptr, 0, "getGetTailSize", 77},
      {kEffGetParameterProperties, 4, 0, &gToken, 0, "getParameterProperties", 1},
      {kEffGetVstVersion, 0, 0, nullptr, 0, "getVstVersion", 2400},
      {kEffGetMidiProgramName, 2, 0, &gToken, 0, "getMidiProgramName", 9},
      {kEffGetCurrentMidiProgram, 2, 0, &gToken, 0, "getCurrentMidiProgram", 10},
      {kEffGetMidiProgramCategory, 2, 0, &gToken, 0, "getMidiProgramCategory", 11},
      {kEffHasMidiProgramsChanged, 2, 0, nullptr, 0, "hasMidiProgramsChanged", 1},
      {kEffGetMidiKeyName, 2, 0, &gToken, 0, "getMidiKeyName", 1},
      {kEffBeginSetProgram, 0, 0, nullptr, 0, "beginSetProgram", 1},
      {kEffEndSetProgram, 0, 0, nullptr, 0, "endSetProgram", 1},
      {kEffGetSpeakerArrangement, 0, 0, nullptr, 0, "getSpeakerArrangement", 1},
      {kEffShellGetNextPlugin, 0, 0, gText, 0, "getNextShellPlugin", 12},
      {kEffStartProcess, 0, 0, nullptr, 0, "startProcess", 13},
      {kEffStopProcess, 0, 0, nullptr, 0, "stopProcess", 14},
      {kEffSetTotalSampleToProcess, 0, 12345, nullptr, 0, "setTotalSampleToProcess", 12345},
      {kEffSetPanLaw, 0, 1, nullptr, 0.7f, "setPanLaw", 1},
      {kEffBeginLoadBank, 0, 0, &gToken, 0, "beginLoadBank", 15},
      {kEffBeginLoadProgram, 0, 0, &gToken, 0, "beginLoadProgram", 16},
      {kEffSetProcessPrecision, 0, 1, nullptr, 0, "setProcessPrecision", 1},
      {kEffGetNumMidiInputChannels, 0, 0, nullptr, 0, "getNumMidiInputChannels", 17},
      {kEffGetNumMidiOutputChannels, 0, 0, nullptr, 0, "getNumMidiOutputChannels", 18},
      {kEffOpen, 0, 0, nullptr, 0, "open", 0},
      {kEffSetProgram, 0, 1, nullptr, 0, "setProgram", 0},
      {kEffGetProgram, 0, 0, nullptr, 0, "getProgram", -7},
      {kEffSetProgramName, 0, 0, gText, 0, "setProgramName", 0},
      {kEffGetProgramName, 0, 0, gText, 0, "getProgramName", 0},
      {kEffGetParamLabel, 5, 0, gText, 0, "getParameterLabel", 0},
      {kEffGetParamDisplay, 5, 0, gText, 0, "getParameterDisplay", 0},
      {kEffGetParamName, 5, 0, gText, 0, "getParameterName", 0},
      {kEffSetSampleRate, 0, 0, nullptr, 48000.0f, "setSampleRate", 0},
      {kEffSetBlockSize, 0, 256, nullptr, 0, "setBlockSize", 0},
      {kEffMainsChanged, 0, 1, nullptr, 0, "resume", 0},
      {kEffMainsChanged, 0, 0, nullptr, 0, "suspend", 0},
      {kEffGetChunk, 1, 0, &gToken, 0, "getChunk", 4128},
      // Last: the checks below read its arguments.
      {kEffSetChunk, 0, 4128, &gToken, 0, "setChunk", 1},
  };
  for (const Row& r : rows) {
    e.calls.clear();
    EXPECT_EQ(dispatch(e, r.opcode, r.index, r.value, r.ptr, r.opt), r.result) << r.opcode;
    EXPECT_EQ(e.lastCall(), r.call) << r.opcode;
    if (r.ptr) {
      EXPECT_EQ(e.p, r.ptr) << r.opcode;
    }
  }
  EXPECT_EQ(e.a, 4128);
  EXPECT_FALSE(e.flag);  // index 0: not a preset
  dispatch(e, kEffSetSampleRate, 0, 0, nullptr, 96000.0f);
  EXPECT_EQ(e.f, 96000.0f);
  dispatch(e, kEffGetParamName, 42, 0, gText);
  EXPECT_EQ(e.a, 42);
}

TEST(Dispatcher, ProgramNumberIsComparedSigned) {
  Recorder e(nullptr, 1);
  dispatch(e, kEffSetProgram, 0, 1);  // equal to the count: ignored
  EXPECT_TRUE(e.calls.empty());
  dispatch(e, kEffSetProgram, 0, 0);
  EXPECT_EQ(e.lastCall(), "setProgram");
  e.calls.clear();
  dispatch(e, kEffSetProgram, 0, -1);  // negative passes through
  EXPECT_EQ(e.lastCall(), "setProgram");
  EXPECT_EQ(e.a, -1);
  AudioEffectX plain(nullptr, 1, 1);
  EXPECT_EQ(dispatch(plain, kEffGetProgram), 0);
  dispatch(plain, kEffSetProgram, 0, -1);
  EXPECT_EQ(dispatch(plain, kEffGetProgram), -1);
}

TEST(Dispatcher, ArgumentsArriveInTheRightPlaces) {
  Recorder e;
  dispatch(e, kEffGetProgramNameIndexed, 4, 2, gText);
  EXPECT_EQ(e.a, 2);  // category = value
  EXPECT_EQ(e.b, 4);  // index
  dispatch(e, kEffOfflineNotify, 0, 6, &gToken);
  EXPECT_EQ(e.a, 6);
  EXPECT_FALSE(e.flag);
  dispatch(e, kEffOfflineNotify, 1, 6, &gToken);
  EXPECT_TRUE(e.flag);
  VstSpeakerArrangement in{}, out{};
  dispatch(e, kEffSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out);
  EXPECT_EQ(e.p, &in);
  EXPECT_EQ(e.q, &out);
  dispatch(e, kEffSetBypass, 0, 0);
  EXPECT_FALSE(e.flag);
  dispatch(e, kEffVendorSpecific, 9, 8, &gToken, 0.5f);
  EXPECT_VALUES({e.a, 9}, {e.b, 8}, {e.f, 0.5f});
  dispatch(e, kEffSetPanLaw, 0, 1, nullptr, 0.7f);
  EXPECT_EQ(e.a, 1);
  EXPECT_EQ(e.f, 0.7f);
  dispatch(e, kEffGetChunk, 7, 0, &gToken);
  EXPECT_TRUE(e.flag);
}

TEST(Dispatcher, UnlistedOpcodesAnswerZeroAndCallNothing) {
  Recorder e;
  std::vector<int32_t> unlisted = {9, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57, -1,
                                   std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
  for (int32_t op = 80; op < 300; ++op) unlisted.push_back(op);
  for (int32_t op : unlisted) {
    e.calls.clear();
    EXPECT_EQ(dispatch(e, op, 1, 1, gText, 1.0f), 0) << op;
    EXPECT_TRUE(e.calls.empty()) << op;
  }
  // Identify answers the same whatever it is given.
  EXPECT_EQ(dispatch(e, kEffIdentifyOld), 0x4E764566);
  EXPECT_EQ(dispatch(e, kEffIdentifyOld, -5, 123, gText, 2.0f), 0x4E764566);
}

TEST(Dispatcher, NullPointerOpcodesAnswerZeroWithoutCalling) {
  Recorder e;
  const int32_t opcodes[] = {4, 5, 6, 7, 8, 23, 24, 25, 29, 33, 34, 45, 47, 48, 51};
  for (int32_t op : opcodes) {
    e.calls.clear();
    EXPECT_EQ(dispatch(e, op, 0, 0, nullptr), 0) << op;
    EXPECT_TRUE(e.calls.empty()) << op << " reached " << e.lastCall();
  }
}

TEST(Dispatcher, EditorOpcodesWithoutEditorAnswerZero) {
  Recorder e;
  ERect* rect = reinterpret_cast<ERect*>(&gToken);
  EXPECT_EQ(dispatch(e, kEffEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, reinterpret_cast<ERect*>(&gToken));  // untouched
  EXPECT_VALUES(
      {dispatch(e, kEffEditOpen, 0, 0, &gToken), 0}, {dispatch(e, kEffEditClose), 0}, {dispatch(e, kEffEditIdle), 0},
      {dispatch(e, kEffEditKeyDown, 'a', 1, nullptr, 1.0f), 0},
      {dispatch(e, kEffEditKeyUp, 'a', 1, nullptr, 1.0f), 0}, {dispatch(e, kEffSetEditKnobMode, 0, 2), 0});
  EXPECT_TRUE(e.calls.empty());
}

TEST(Dispatcher, EditorOpcodesReachTheEditor) {
  Recorder e;
  auto* editor = new RecordingEditor(&e);
  ERect* rect = nullptr;
  EXPECT_EQ(dispatch(e, kEffEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect, &editor->rect);
  int window = 0;
  EXPECT_VALUES(
      {dispatch(e, kEffEditOpen, 0, 0, &window), 1}, {editor->isOpen(), true}, {dispatch(e, kEffEditIdle), 0},
      {dispatch(e, kEffEditClose), 0}, {editor->isOpen(), false}, {dispatch(e, kEffSetEditKnobMode, 0, 2), 1},
      {editor->knobMode, 2});
  const std::vector<std::string> expected = {"getRect", "open", "idle", "close", "setKnobMode"};
  EXPECT_EQ(editor->calls, expected);
  // The deprecated editor opcodes never reach it.
  for (int32_t op : {16, 17, 18, 20, 21}) EXPECT_EQ(dispatch(e, op, 1, 1, &window, 1.0f), 0);
  EXPECT_EQ(editor->calls.size(), expected.size());
  // A null rectangle pointer is refused before the editor could write through it.
  EXPECT_EQ(dispatch(e, kEffEditGetRect, 0, 0, nullptr), 0);
  EXPECT_EQ(editor->calls.size(), expected.size());
}

TEST(Dispatcher, KeyCodesAreBuiltAndTheModifierClamped) {
  Recorder e;
  auto* editor = new RecordingEditor(&e);
  EXPECT_VALUES(
      {dispatch(e, kEffEditKeyDown, 'x', 0x1234, nullptr, 3.7f), 1}, {editor->lastKey.character, 'x'},
      {editor->lastKey.virt, 0x34}, {editor->lastKey.modifier, 3},
      {dispatch(e, kEffEditKeyUp, 7, 2, nullptr, 1e9f), 1});
  EXPECT_EQ(editor->calls.back(), "onKeyUp");
  EXPECT_EQ(editor->lastKey.modifier, 255);
  dispatch(e, kEffEditKeyDown, 7, 2, nullptr, -40.0f);
  EXPECT_EQ(editor->lastKey.modifier, 0);
  dispatch(e, kEffEditKeyDown, 7, 2, nullptr, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(editor->lastKey.modifier, 0);
  dispatch(e, kEffEditKeyDown, 7, 2, nullptr, std::numeric_limits<float>::infinity());
  EXPECT_EQ(editor->lastKey.modifier, 255);
}

namespace {
struct Counted : AudioEffectX {
  explicit Counted(int* deletions) : AudioEffectX(nullptr, 1, 1), deletions(deletions) {}
  ~Counted() override { ++*deletions; }
  void close() override { ++closes; }
  int* deletions;
  int closes = 0;
};
}  // namespace

TEST(Dispatcher, CloseCallsCloseThenDeletesObjectAndEditorOnce) {
  int objectDeletions = 0, editorDeletions = 0;
  auto* e = new Counted(&objectDeletions);
  new RecordingEditor(e, &editorDeletions);
  AEffect* rec = e->getAeffect();
  EXPECT_VALUES(
      {rec->dispatcher(rec, kEffClose, 0, 0, nullptr, 0.0f), 1}, {objectDeletions, 1}, {editorDeletions, 1});
  // Without the trampoline, close is an ordinary operation and deletes nothing.
  auto* f = new Counted(&objectDeletions);
  EXPECT_VALUES({f->dispatcher(kEffClose, 0, 0, nullptr, 0.0f), 0}, {f->closes, 1}, {objectDeletions, 1});
  delete f;
  EXPECT_EQ(objectDeletions, 2);
}

TEST(Dispatcher, DefaultsOfTheExtendedBase) {
  AudioEffectX e(nullptr, 1, 4);
  EXPECT_EQ(dispatch(e, kEffGetPlugCategory), kPlugCategUnknown);
  e.isSynth(true);
  EXPECT_VALUES(
      {dispatch(e, kEffGetPlugCategory), kPlugCategSynth}, {dispatch(e, kEffGetVstVersion), 2400},
      {dispatch(e, kEffGetCurrentMidiProgram, 0, 0, &gToken), -1}, {dispatch(e, kEffCanBeAutomated, 3), 1},
      {dispatch(e, kEffSetTotalSampleToProcess, 0, 4410), 4410});
  VstSpeakerArrangement dummy{};
  VstSpeakerArrangement* in = &dummy;
  VstSpeakerArrangement* out = &dummy;
  EXPECT_EQ(dispatch(e, kEffGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 0);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(out, nullptr);
  // Queries without an answer leave what they are given alone.
  std::memset(gText, 'z', sizeof(gText));
  for (int32_t op : {27, 29, 45, 47, 48, 51, 66, 70}) EXPECT_EQ(dispatch(e, op, 0, 0, gText), 0) << op;
  for (char c : gText) ASSERT_EQ(c, 'z');
  EXPECT_VALUES(
      {dispatch(e, kEffGetChunk, 0, 0, &gToken), 0}, {dispatch(e, kEffSetChunk, 0, 4, &gToken), 0},
      {e.__getNumCategoriesDeprecated(), 1});
  e.__setBlockSizeAndSampleRateDeprecated(64, 22050.0f);
  EXPECT_EQ(e.getBlockSize(), 64);
  EXPECT_EQ(e.getSampleRate(), 22050.0f);
  // The base's text queries write empty strings.
  std::memset(gText, 'z', 8);
  dispatch(e, kEffGetParamName, 0, 0, gText);
  EXPECT_EQ(gText[0], 0);
  // Parameter trampolines of the base: nothing stored, 0 read.
  AEffect* rec = e.getAeffect();
  rec->setParameter(rec, 0, 0.5f);
  EXPECT_EQ(rec->getParameter(rec, 0), 0.0f);
}
