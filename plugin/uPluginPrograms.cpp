// Built-in programs, the snapshots of the program store and the state chunk.
//
// The host sees one program. Its name, held in the name tags, picks one of the built-in
// programs. Choosing a program (the host's program call, the editor, a MIDI program change, the
// load tag) replaces all values by that built-in row; a restored chunk (a session, a host preset,
// an undo step) keeps the values it carries and only takes the built-in program's number and row
// as the original that "Original" returns to.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "uPlugin.h"
#include "uPluginPresetsBanks.h"
#include "uTagMap.h"

namespace {

// The plain tables are written by several threads (host, editor, audio through MIDI).
inline void storeRelaxed(float& slot, float v) {
  std::atomic_ref<float>(slot).store(v, std::memory_order_relaxed);
}
inline float loadRelaxed(float& slot) { return std::atomic_ref<float>(slot).load(std::memory_order_relaxed); }

// The program name is written by the host's thread (a chunk) and the audio thread (a MIDI
// program change); one character at a time, so that a reader sees each byte whole.
void storeName(char* to, const char* from, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i)
    std::atomic_ref<char>(to[i]).store(from[i], std::memory_order_relaxed);
}
void loadName(char* to, char* from, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i)
    to[i] = std::atomic_ref<char>(from[i]).load(std::memory_order_relaxed);
}

// text cut to capacity - 1 characters, terminated, the rest of the buffer untouched.
void copyCut(char* to, const char* text, std::size_t capacity) {
  const std::size_t n = std::min(std::strlen(text), capacity - 1);
  std::memcpy(to, text, n);
  to[n] = 0;
}

constexpr int32_t kChunkSize = static_cast<int32_t>(sizeof(ProgramChunk));
// Switch tags up to here are quantised in the store when a program loads.
constexpr int kLastQuantisedTag = 762;

}  // namespace

void APlugin::initPrograms() {
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const std::string_view name = presets::demoProgramName(i);
    std::memset(demoProgramNames[i], 0, sizeof(demoProgramNames[i]));
    std::memcpy(demoProgramNames[i], name.data(), std::min(name.size(), sizeof(demoProgramNames[i]) - 1));
  }
  curDemoProgram = 0;
}

const char* APlugin::getPresetName(int i) const {
  if (i < 0 || i >= NUM_DEMO_PROGRAMS) return "None";
  return demoProgramNames[i];
}

void APlugin::copyBuiltInRow(int n) {
  const float* row = presets::demoProgramRow(n);
  if (!row) return;
  for (int t = 0; t < NUM_PARAMS; ++t) {
    currentValues[t].store(row[t], std::memory_order_relaxed);
    storeRelaxed(programs.values[t], row[t]);
  }
  char name[sizeof(programs.name)] = {};
  copyCut(name, getPresetName(n), sizeof(name));
  storeName(programs.name, name, sizeof(programs.name));
}

int APlugin::builtInNamedByNameTags() {
  char name[PROGRAM_NAME_LENGTH + 1];
  int n = 0;
  for (; n < PROGRAM_NAME_LENGTH; ++n) {
    const char c = tagmap::valueToNameChar(loadRelaxed(programs.values[PROGRAM_NAME_FIRST_TAG + n]));
    if (c == 0) break;
    name[n] = c;
  }
  name[n] = 0;
  const int program = presets::findDemoProgram(name);
  curDemoProgram = program;
  return program;
}

void APlugin::loadBuiltInFromNameTags() { copyBuiltInRow(builtInNamedByNameTags()); }

void APlugin::setProgram(int32_t program) {
  if (program != 0) return;
  loadProgram(false);
}

void APlugin::loadProgram(bool keepStoredValues) {
  if (editorOpening.load(std::memory_order_relaxed)) return;
  // curProgram stays 0: no other number gets this far.
  settingPreset = true;

  const int builtIn = builtInNamedByNameTags();
  if (!keepStoredValues) copyBuiltInRow(builtIn);
  for (int t = 0; t <= kLastQuantisedTag; ++t)
    if (isOnOff[t]) storeRelaxed(programs.values[t], loadRelaxed(programs.values[t]) >= 0.5f ? 1.0f : 0.0f);

  const float* row = presets::demoProgramRow(builtIn);
  bool edited = false;
  for (int t = 0; t < NUM_PARAMS; ++t) {
    if (keepStoredValues) currentValues[t].store(loadRelaxed(programs.values[t]), std::memory_order_relaxed);
    const float v = currentValues[t].load(std::memory_order_relaxed);
    const float original = keepStoredValues ? row[t] : v;
    storeRelaxed(editedValues[t], v);
    storeRelaxed(lastValues[t], v);
    storeRelaxed(originalValues[t], original);
    edited = edited || v != original;
  }

  // Through the store operation so that an open editor follows every value. Tag 800 is among
  // them: for a choice it finds the same row again; restored values must not be replaced by
  // it, so there the editor alone hears of it.
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const float v = loadRelaxed(programs.values[t]);
    if (keepStoredValues && t == LOAD_PROGRAM_TAG) {
      if (isEditorOpen()) editorLink->setParameter(t, v);
    } else {
      setParameter(t, v);
    }
  }

  alignToLoadedProgram();
  resetEverything();
  settingPreset = false;
  // A choice leaves the edited lamp as it was (only origProgram puts it out); restored values
  // light it exactly when they are not the built-in program's.
  if (keepStoredValues) editChanged = edited;

  if (isEditorOpen() && !refreshingEditor.load(std::memory_order_relaxed)) {
    refreshingEditor = true;
    editorLink->resume();
    refreshingEditor = false;
  }
}

// The one program's name is the built-in program's: it cannot be renamed.
void APlugin::setProgramName(char*) {}

void APlugin::getProgramName(char* name) {
  if (!name) return;
  copyCut(name, getPresetName(getCurDemoProgram()), kVstMaxProgNameLen);
}

bool APlugin::getProgramNameIndexed(int32_t, int32_t index, char* text) {
  if (index != 0 || !text) return false;
  getProgramName(text);
  return true;
}

void APlugin::setDemoProgram(int n) {
  if (n < 0 || n >= NUM_DEMO_PROGRAMS) return;
  curDemoProgram = n;
  copyBuiltInRow(n);
  setProgram(0);
}

void APlugin::changeDemoProgramDelta(int d) {
  const long long n =
      std::clamp<long long>(static_cast<long long>(getCurDemoProgram()) + d, 0, NUM_DEMO_PROGRAMS - 1);
  setDemoProgram(static_cast<int>(n));
}

void APlugin::defaultProgram() {
  for (int t = 0; t < NUM_PROGRAM_VALUES; ++t) {
    const float v = defaultValues[t];
    storeRelaxed(editedValues[t], v);
    currentValues[t].store(v, std::memory_order_relaxed);
    storeRelaxed(programs.values[t], v);
  }
  editChanged = true;
}

// The current values and the store take a whole snapshot (no setParameter, no reset: the engine
// picks the values up, the editor that asked redraws itself).
static void recallSnapshot(float (&snapshot)[NUM_PARAMS], std::atomic<float> (&current)[NUM_PARAMS],
                           float (&store)[NUM_PARAMS]) {
  for (int t = 0; t < NUM_PARAMS; ++t) {
    const float v = loadRelaxed(snapshot[t]);
    current[t].store(v, std::memory_order_relaxed);
    storeRelaxed(store[t], v);
  }
}

void APlugin::editProgram() {
  recallSnapshot(editedValues, currentValues, programs.values);
  editChanged = true;
}

void APlugin::origProgram() {
  recallSnapshot(originalValues, currentValues, programs.values);
  editChanged = false;
}

// A host matching more than one row: Maschine's rules come first, then Propellerhead's (which
// serve what VELDRA's and Kore's would refuse).
APlugin::ChunkHost APlugin::chunkHostFor(const HostQuirkFlags& host) {
  if (host.maschine) return ChunkHost::Maschine;
  if (host.propellerhead) return ChunkHost::Propellerhead;
  if (host.veldra) return ChunkHost::Veldra;
  if (host.kore) return ChunkHost::Kore;
  return ChunkHost::Other;
}

// Which of the two chunk buffers serves a request; null when this host gets no chunk of that kind.
static ProgramChunk* chunkBufferFor(APlugin::ChunkHost host, bool isPreset, ProgramChunk& bank,
                                    ProgramChunk& program) {
  switch (host) {
    case APlugin::ChunkHost::Kore:
      return nullptr;  // declared as chunks, never served
    case APlugin::ChunkHost::Maschine:
      return isPreset ? nullptr : &program;
    case APlugin::ChunkHost::Veldra:
      return isPreset ? nullptr : &bank;
    case APlugin::ChunkHost::Propellerhead:
    case APlugin::ChunkHost::Other:
      return isPreset ? &program : &bank;
  }
  return nullptr;
}

int32_t APlugin::getChunk(void** data, bool isPreset) {
  if (!data) return 0;
  ProgramChunk* buffer = chunkBufferFor(chunkHost(), isPreset, bankChunkBuffer, programChunkBuffer);
  if (!buffer) return 0;
  for (int t = 0; t < NUM_PARAMS; ++t) buffer->values[t] = loadRelaxed(programs.values[t]);
  loadName(buffer->name, programs.name, sizeof(buffer->name));
  buffer->name[sizeof(buffer->name) - 1] = 0;
  *data = buffer;
  return kChunkSize;
}

int32_t APlugin::setChunk(void* data, int32_t byteSize, bool isPreset) {
  // Nothing to restore from: say so and keep the state.
  if (!data || byteSize < kChunkSize) return 0;
  ProgramChunk* buffer = chunkBufferFor(chunkHost(), isPreset, bankChunkBuffer, programChunkBuffer);
  if (!buffer) return 1;
  // Hosts may hand back the very buffer getChunk gave them.
  std::memmove(buffer, data, sizeof(ProgramChunk));
  buffer->name[sizeof(buffer->name) - 1] = 0;
  for (int t = 0; t < NUM_PARAMS; ++t) storeRelaxed(programs.values[t], dsp::clamp01(buffer->values[t]));
  storeName(programs.name, buffer->name, sizeof(programs.name));
  loadProgram(true);
  return 1;
}
