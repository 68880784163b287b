// The record, the trampolines and both dispatchers, driven the way a host drives them. Opcodes
// are written as numbers: they are what a host sends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "support/expectValues.h"
#include "vst2/aeffeditor.h"
#include "vst2/audioeffectx.h"

namespace {

// Remembers the last virtual operation the dispatcher reached with its arguments (pointers and
// flags as numbers, floats in thousandths), and answers with recognisable values.
struct Recorder : AudioEffectX {
  explicit Recorder(int32_t programs = 1) : AudioEffectX(nullptr, programs, 8) {}
  std::string call;
  std::vector<intptr_t> args;
  int calls = 0;

  template <class T>
  static intptr_t number(T v) {
    if constexpr (std::is_pointer_v<T>)
      return reinterpret_cast<intptr_t>(v);
    else if constexpr (std::is_floating_point_v<T>)
      return std::lround(v * 1000.0);
    else
      return static_cast<intptr_t>(v);
  }
  template <class... A>
  void note(const char* name, A... a) {
    call = name;
    args = {number(a)...};
    ++calls;
  }

  // Operations the plug-in object overrides whose opcodes its own tests do not send, and those
  // with flags or several arguments to place.
  void suspend() override { note("suspend"); }
  void resume() override { note("resume"); }
  void setProgram(int32_t n) override { note("setProgram", n); }
  void getParameterLabel(int32_t i, char* t) override { note("getParameterLabel", i, t); }
  void setSampleRate(float r) override { note("setSampleRate", r); }
  int32_t getChunk(void** d, bool preset) override { return note("getChunk", d, preset), 4128; }
  int32_t setChunk(void* d, int32_t n, bool preset) override { return note("setChunk", d, n, preset), 1; }
  int32_t processEvents(VstEvents* e) override { return note("processEvents", e), 1; }
  bool getProgramNameIndexed(int32_t c, int32_t i, char* t) override {
    return note("getProgramNameIndexed", c, i, t), true;
  }
  intptr_t vendorSpecific(int32_t i, intptr_t v, void* p, float o) override {
    return note("vendorSpecific", i, v, p, o), static_cast<intptr_t>(1) << 40;
  }
  int32_t canDo(char* t) override { return note("canDo", t), -1; }
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
void* const P = gText;
const intptr_t PV = reinterpret_cast<intptr_t>(gText);

}  // namespace

TEST(Record, ConstructorFillsEveryFieldAtItsOffset) {
  Recorder e(3);
  ASSERT_EQ(sizeof(AEffect), 192u);
  unsigned char raw[sizeof(AEffect)];
  std::memcpy(raw, e.getAeffect(), sizeof(raw));
  auto fn = [](auto f) { return reinterpret_cast<uint64_t>(f); };
  using A = AudioEffect;
  const float one = 1.0f;
  uint32_t oneBits;
  std::memcpy(&oneBits, &one, 4);
  struct Field {
    size_t offset, size;
    uint64_t value;
  };
  const Field fields[] = {{0, 4, 0x56737450},
                          {8, 8, fn(&A::dispatchEffectClass)},
                          {16, 8, fn(&A::processClass)},
                          {24, 8, fn(&A::setParameterClass)},
                          {32, 8, fn(&A::getParameterClass)},
                          {40, 4, 3},
                          {44, 4, 8},
                          {48, 4, 1},
                          {52, 4, 2},
                          {56, 4, 16},
                          {80, 4, 0},
                          {92, 4, oneBits},
                          {96, 8, fn(static_cast<AudioEffect*>(&e))},
                          {104, 8, 0},
                          {112, 4, 0x4E6F4566},
                          {116, 4, 1},
                          {120, 8, fn(&A::processClassReplacing)},
                          {128, 8, fn(&A::processClassDoubleReplacing)}};
  for (const Field& f : fields) {
    uint64_t v = 0;
    std::memcpy(&v, raw + f.offset, f.size);
    EXPECT_EQ(v, f.value) << "offset " << f.offset;
  }
  for (size_t off = 64; off < 80; ++off) EXPECT_EQ(raw[off], 0) << off;
  for (size_t off = 136; off < 192; ++off) EXPECT_EQ(raw[off], 0) << off;
  EXPECT_VALUES({e.getSampleRate(), 44100.0f}, {e.getBlockSize(), 1024});
}

// Each flag setter touches its bit alone (written as the numbers a host reads).
TEST(Record, FlagSettersTouchOnlyTheirBit) {
  Recorder e;
  AEffect* rec = e.getAeffect();
  const std::pair<int32_t, void (AudioEffectX::*)(bool)> setters[] = {
      {16, &AudioEffectX::canProcessReplacing},
      {32, &AudioEffectX::programsAreChunks},
      {256, &AudioEffectX::isSynth},
      {512, &AudioEffectX::noTail},
      {4096, &AudioEffectX::canDoubleReplacing}};
  for (const auto& [bit, set] : setters) {
    for (int32_t before : {0, ~bit}) {
      rec->flags = before;
      (e.*set)(true);
      EXPECT_EQ(rec->flags, before | bit) << bit;
      (e.*set)(false);
      EXPECT_EQ(rec->flags, before) << bit;
    }
  }
}

TEST(Dispatcher, OperationsAreReachedWithTheirArguments) {
  Recorder e(2);
  struct Row {
    int32_t opcode, index;
    intptr_t value;
    void* ptr;
    float opt;
    const char* call;
    std::vector<intptr_t> args;
    intptr_t result;
  };
  const Row rows[] = {
      {2, 0, 1, nullptr, 0, "setProgram", {1}, 0},
      {6, 5, 0, P, 0, "getParameterLabel", {5, PV}, 0},
      {10, 0, 0, nullptr, 48000.0f, "setSampleRate", {48000000}, 0},
      {12, 0, 1, nullptr, 0, "resume", {}, 0},
      {12, 0, 0, nullptr, 0, "suspend", {}, 0},
      {23, 7, 0, P, 0, "getChunk", {PV, 1}, 4128},  // any index but 0 asks for a program
      {24, 0, 4128, P, 0, "setChunk", {PV, 4128, 0}, 1},
      {25, 0, 0, P, 0, "processEvents", {PV}, 1},
      {29, 4, 2, P, 0, "getProgramNameIndexed", {2, 4, PV}, 1},  // category from value, index from index
      {50, 9, 8, P, 0.5f, "vendorSpecific", {9, 8, PV, 500}, static_cast<intptr_t>(1) << 40},
      {51, 0, 0, P, 0, "canDo", {PV}, -1},
  };

  for (const Row& r : rows) {
    e.call.clear();
    e.args.clear();
    EXPECT_EQ(dispatch(e, r.opcode, r.index, r.value, r.ptr, r.opt), r.result) << r.opcode;
    EXPECT_EQ(e.call, r.call) << r.opcode;
    EXPECT_EQ(e.args, r.args) << r.opcode;
  }
}

// The program number is compared signed against the count: a negative one passes through.
TEST(Dispatcher, ProgramNumberIsComparedSigned) {
  Recorder e(1);
  EXPECT_EQ(dispatch(e, 2, 0, 1), 0);  // equal to the count: ignored
  EXPECT_EQ(e.calls, 0);
  dispatch(e, 2, 0, -1);
  EXPECT_EQ(e.args, std::vector<intptr_t>{-1});
  AudioEffectX plain(nullptr, 1, 1);
  EXPECT_EQ(dispatch(plain, 3), 0);
  dispatch(plain, 2, 0, -1);
  EXPECT_EQ(dispatch(plain, 3), -1);
}

// Unlisted and retired opcodes, opcodes that need a pointer given none, and editor opcodes
// without an editor: all answer 0 and reach nothing.
TEST(Dispatcher, WhatCannotBeServedAnswersZeroAndCallsNothing) {
  Recorder e;
  std::vector<int32_t> unlisted = {9,
                                   16,
                                   17,
                                   18,
                                   20,
                                   21,
                                   28,
                                   30,
                                   31,
                                   32,
                                   36,
                                   37,
                                   43,
                                   46,
                                   53,
                                   54,
                                   55,
                                   57,
                                   -1,
                                   std::numeric_limits<int32_t>::min(),
                                   std::numeric_limits<int32_t>::max()};
  for (int32_t op = 80; op < 300; ++op) unlisted.push_back(op);
  for (int32_t op : unlisted) EXPECT_EQ(dispatch(e, op, 1, 1, P, 1.0f), 0) << op;
  for (int32_t op : {4, 5, 6, 7, 8, 23, 24, 25, 29, 33, 34, 45, 47, 48, 51})
    EXPECT_EQ(dispatch(e, op, 0, 0, nullptr), 0) << op;
  ERect* rect = reinterpret_cast<ERect*>(gText);
  for (int32_t op : {13, 14, 15, 19, 59, 60, 61}) EXPECT_EQ(dispatch(e, op, 'a', 2, &rect, 1.0f), 0) << op;
  EXPECT_EQ(rect, reinterpret_cast<ERect*>(gText));  // untouched
  EXPECT_EQ(e.calls, 0) << e.call;
  // Identify answers the same whatever it is given.
  EXPECT_EQ(dispatch(e, 22), 0x4E764566);
  EXPECT_EQ(dispatch(e, 22, -5, 123, P, 2.0f), 0x4E764566);
}

TEST(Dispatcher, EditorOpcodesReachTheEditorAndKeyCodesAreBuilt) {
  Recorder e;
  auto* editor = new RecordingEditor(&e);
  EXPECT_EQ(e.getAeffect()->flags & 1, 1);  // the editor flag
  ERect* rect = nullptr;
  EXPECT_EQ(dispatch(e, 13, 0, 0, &rect), 1);
  EXPECT_EQ(rect, &editor->rect);
  int window = 0;
  EXPECT_VALUES({dispatch(e, 14, 0, 0, &window), 1}, {editor->isOpen(), true}, {dispatch(e, 19), 0},
                {dispatch(e, 15), 0}, {editor->isOpen(), false}, {dispatch(e, 61, 0, 2), 1},
                {editor->knobMode, 2});
  const std::vector<std::string> expected = {"getRect", "open", "idle", "close", "setKnobMode"};
  EXPECT_EQ(editor->calls, expected);
  // The retired editor opcodes never reach it, nor does a null rectangle pointer.
  for (int32_t op : {16, 17, 18, 20, 21}) EXPECT_EQ(dispatch(e, op, 1, 1, &window, 1.0f), 0);
  EXPECT_EQ(dispatch(e, 13, 0, 0, nullptr), 0);
  EXPECT_EQ(editor->calls, expected);

  // The key modifier is one byte, whatever float the host sends.
  struct Key {
    int32_t opcode, character;
    intptr_t value;
    float opt;
    const char* call;
    int virt, modifier;
  };
  const Key keys[] = {
      {59, 'x', 0x1234, 3.7f, "onKeyDown", 0x34, 3}, {60, 7, 2, 1e9f, "onKeyUp", 2, 255},
      {59, 7, 2, -40.0f, "onKeyDown", 2, 0},         {59, 7, 2, std::nanf(""), "onKeyDown", 2, 0},
      {60, 7, 2, INFINITY, "onKeyUp", 2, 255},       {59, 7, 2, 255.0f, "onKeyDown", 2, 255},
  };
  for (const Key& k : keys) {
    EXPECT_EQ(dispatch(e, k.opcode, k.character, k.value, nullptr, k.opt), 1);
    EXPECT_EQ(editor->calls.back(), k.call);
    EXPECT_VALUES({editor->lastKey.character, k.character}, {editor->lastKey.virt, k.virt},
                  {editor->lastKey.modifier, k.modifier});
  }
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
  EXPECT_VALUES({rec->dispatcher(rec, 1, 0, 0, nullptr, 0.0f), 1}, {objectDeletions, 1},
                {editorDeletions, 1});
  // Without the trampoline, close is an ordinary operation and deletes nothing.
  auto* f = new Counted(&objectDeletions);
  EXPECT_VALUES({f->dispatcher(1, 0, 0, nullptr, 0.0f), 0}, {f->closes, 1}, {objectDeletions, 1});
  delete f;
  EXPECT_EQ(objectDeletions, 2);
}

TEST(Dispatcher, DefaultsOfTheExtendedBase) {
  AudioEffectX e(nullptr, 1, 4);
  EXPECT_EQ(dispatch(e, 35), kPlugCategUnknown);
  e.isSynth(true);
  EXPECT_VALUES({dispatch(e, 35), kPlugCategSynth}, {dispatch(e, 58), 2400}, {dispatch(e, 63, 0, 0, P), -1},
                {dispatch(e, 26, 3), 1}, {dispatch(e, 73, 0, 4410), 4410}, {dispatch(e, 23, 0, 0, P), 0},
                {dispatch(e, 24, 0, 4, P), 0}, {e.__getNumCategoriesDeprecated(), 1});
  VstSpeakerArrangement dummy{};
  VstSpeakerArrangement* in = &dummy;
  VstSpeakerArrangement* out = &dummy;
  EXPECT_EQ(dispatch(e, 69, 0, reinterpret_cast<intptr_t>(&in), &out), 0);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(out, nullptr);
  // Queries without an answer leave what they are given alone.
  std::memset(gText, 'z', sizeof(gText));
  for (int32_t op : {27, 29, 45, 47, 48, 51, 66, 70}) EXPECT_EQ(dispatch(e, op, 0, 0, P), 0) << op;
  for (char c : gText) ASSERT_EQ(c, 'z');
  dispatch(e, 10, 0, 0, nullptr, 96000.0f);
  dispatch(e, 11, 0, 256);
  EXPECT_VALUES({e.getBlockSize(), 256}, {e.getSampleRate(), 96000.0f});
  e.__setBlockSizeAndSampleRateDeprecated(64, 22050.0f);
  EXPECT_VALUES({e.getBlockSize(), 64}, {e.getSampleRate(), 22050.0f});
  // The base's text queries write empty strings; its parameter trampolines store nothing.
  dispatch(e, 8, 0, 0, P);
  EXPECT_EQ(gText[0], 0);
  AEffect* rec = e.getAeffect();
  rec->setParameter(rec, 0, 0.5f);
  EXPECT_EQ(rec->getParameter(rec, 0), 0.0f);
}
