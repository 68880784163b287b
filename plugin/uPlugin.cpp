#include "uPlugin.h"

#include <charconv>
#include <cstring>

#include "aeffeditor.h"
#include "platform/pages.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) { return new APlugin(audioMaster); }

APlugin::APlugin(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, 1, NUM_PARAMS),
      random(clockSeed()),
      engine(TParamView{currentValues, menuNum, menuRange}, *this) {
  for (auto& v : currentValues) v.store(0.0f, std::memory_order_relaxed);
  for (auto& m : MidiCCMap) m.store(0, std::memory_order_relaxed);
  std::memset(&programs, 0, sizeof(programs));
  isSynth(false);
  editorOpening = false;
  createEditor();
  setNumInputs(4);  // main left/right and side-chain left/right
  setNumOutputs(2);
  canProcessReplacing(true);
  identifyHostFromCallback();
  programsAreChunks(true);  // hosts exchange the whole state as one chunk
  setUniqueID(UNIQUE_ID);
  editChanged = false;

  initTagTables();
  initPreferenceVariables();
  for (int t = 0; t < NUM_PARAMS; ++t) {
    currentValues[t].store(defaultValues[t], std::memory_order_relaxed);
    programs.values[t] = defaultValues[t];
    editedValues[t] = defaultValues[t];
    originalValues[t] = defaultValues[t];
  }
  engine.init();
  initMidiVariables();

  initPrograms();
  setProgram(0);
  curDemoProgram = 0;
}

void* APlugin::operator new(std::size_t size) {
  void* p = ::operator new(size);
  prefaultForWriting(p, size);
  return p;
}

void APlugin::operator delete(void* p) noexcept { ::operator delete(p); }

APlugin::~APlugin() {
  // An open editor is closed while the plug-in it draws is still whole, and deleted here
  // rather than by the base, whose destructor runs after this object's members are gone.
  editorOpen.store(false, std::memory_order_relaxed);
  editorLink = nullptr;
  if (AEffEditor* e = editor) {
    if (e->isOpen()) e->close();
    setEditor(nullptr);
    delete e;
  }
  // Bindings learnt just before the host closed us still reach the preference file.
  prefsWriter.stop();
}

void APlugin::suspend() { engine.setProcessing(false); }
// The writer thread starts only once processing is switched on: hosts create many instances
// just to scan them, and those need no thread.
void APlugin::resume() {
  prefsWriter.start();
  engine.setProcessing(true);
}

void APlugin::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
  TBlockTime time;
  if (const VstTimeInfo* ti = getTimeInfo(kVstTempoValid | kVstPpqPosValid)) {
    time.known = true;
    time.tempoValid = (ti->flags & kVstTempoValid) != 0;
    time.tempo = ti->tempo;
    time.playing = (ti->flags & kVstTransportPlaying) != 0;
  }
  engine.process(inputs, outputs, sampleFrames, time);
}

// The old accumulating call: the host's buffers hold its own mix, so nothing is written; queued
// MIDI events still come due at their samples.
void APlugin::__processDeprecated(float**, float**, int32_t sampleFrames) {
  for (int32_t i = 0; i < sampleFrames && engine.getNumPendingEvents() > 0; ++i) processMidi();
}

void APlugin::setSampleRate(float rate) {
  if (engine.setSampleRate(rate)) AudioEffectX::setSampleRate(rate);
}

void APlugin::alignToLoadedProgram() {
  // The MIDI side follows at once (atomics only); the engine's working values with the reset.
  alignMidiToLoadedProgram();
  engine.requestAlign();
}

void APlugin::storeDisruptAmount(float value) {
  currentValues[DISRUPT_AMOUNT_TAG].store(value, std::memory_order_relaxed);
  storeRelaxed(programValues()[DISRUPT_AMOUNT_TAG], value);
}

void APlugin::showDisruptAmount(float value) {
  if (isEditorOpen()) editorLink->setParameter(DISRUPT_AMOUNT_TAG, value);
}

void APlugin::showLevels(float inL, float inR, float outL, float outR) {
  if (isEditorOpen()) editorLink->setVU(inL, inR, outL, outR);
}

static void copyText(char* to, const char* from, size_t capacity) {
  std::strncpy(to, from, capacity - 1);
  to[capacity - 1] = 0;
}

bool APlugin::getEffectName(char* name) {
  copyText(name, PRODUCT_NAME_STR, kVstMaxEffectNameLen);
  return true;
}

bool APlugin::getVendorString(char* text) {
  copyText(text, VENDOR_STR, kVstMaxVendorStrLen);
  return true;
}

bool APlugin::getProductString(char* text) {
  copyText(text, PRODUCT_NAME_STR, kVstMaxProductStrLen);
  return true;
}

int32_t APlugin::getVendorVersion() { return VENDOR_VERSION; }

int32_t APlugin::canDo(char* text) {
  static constexpr const char* kCanDo[] = {
      "plugAsChannelInsert", "1in1out", "1in2out", "2in2out", "receiveVstTimeInfo", "receiveVstEvents",
      "receiveVstMidiEvent"};
  if (!text) return 0;
  for (const char* c : kCanDo)
    if (std::strcmp(text, c) == 0) return 1;
  return 0;
}

bool APlugin::getInputProperties(int32_t index, VstPinProperties* properties) {
  if (index < 0 || index > 3 || !properties) return false;
  properties->flags = kVstPinIsActive | kVstPinIsStereo;
  if (index % 2 == 0) {
    // "In 1 + 2" for the main pair, "In 3 + 4" for the side chain.
    char* p = properties->label;
    std::memcpy(p, "In ", 3);
    p += 3;
    p = std::to_chars(p, p + 4, index + 1).ptr;
    std::memcpy(p, " + ", 3);
    p += 3;
    p = std::to_chars(p, p + 4, index + 2).ptr;
    *p = 0;
  }
  return true;
}

bool APlugin::getOutputProperties(int32_t index, VstPinProperties* properties) {
  if (index < 0 || index > 1 || !properties) return false;
  const size_t n = std::strlen(PRODUCT_NAME_STR);
  char* p = properties->label;
  std::memcpy(p, PRODUCT_NAME_STR, n);
  p += n;
  *p++ = ' ';
  p = std::to_chars(p, p + 4, index + 1).ptr;
  *p = 0;
  properties->flags = kVstPinIsActive | kVstPinIsStereo;
  return true;
}

intptr_t APlugin::vendorSpecific(int32_t lArg, intptr_t lArg2, void* ptrArg, float floatArg) {
  // The mouse-wheel query some hosts send for the editor under the pointer.
  if (lArg == fourCharId('s', 't', 'C', 'A') &&
      reinterpret_cast<intptr_t>(ptrArg) == fourCharId('W', 'h', 'e', 'e') && editorLink)
    return editorLink->onWheel(floatArg) ? 1 : 0;
  return 0;
}

bool APlugin::beginEdit(int32_t index) {
  if (!isValidTag(index)) return false;
  if (editorLink) editorLink->setEditTag(index);
  return AudioEffectX::beginEdit(index);
}

bool APlugin::endEdit(int32_t index) {
  if (!isValidTag(index)) return false;
  if (editorLink) editorLink->setEditTag(-1);
  return AudioEffectX::endEdit(index);
}

float APlugin::paramValue(int tag) const {
  return isValidTag(tag) ? currentValues[tag].load(std::memory_order_relaxed) : 0.0f;
}

void APlugin::getParameterName(int32_t index, char* text) {
  writeParamName(*this, index, text, PARAM_NAME_BUFFER);
}

void APlugin::getParameterLabel(int32_t index, char* label) {
  writeParamLabel(index, label, PARAM_NAME_BUFFER);
}

void APlugin::getParameterDisplay(int32_t index, char* text) {
  writeParamDisplay(*this, index, text, PARAM_DISPLAY_BUFFER);
}

bool APlugin::isEditorOpen() {
  return editorLink && editorOpen.load(std::memory_order_relaxed) &&
         !editorOpening.load(std::memory_order_relaxed) && editorLink->isOpen();
}
