// MIDI input: the event pool, sample-accurate dispatch, notes, controllers and pitch bend as
// modulation sources, LFO note and controller triggers, program changes, MIDI learn with its
// pick-up rule, and the controller-map file.
//
// Threads: processEvents and the due messages run on the audio thread and never allocate, lock or
// touch a file; bindings they learn reach the preference file through the preference writer.
// Everything else here runs on the GUI thread.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/dialogs.h"
#include "platform/stringHelpers.h"
#include "uMidiMapFile.h"
#include "uMidiTables.h"
#include "uPlugin.h"

namespace {

constexpr const char* kECSProblem = "Problem with ECS File";
constexpr int kMessageOk = 2;  // a message box with OK only

float midiUnit(int v) { return static_cast<float>(v) / 127.0f; }

}  // namespace

// ---- Start-up and program loads ----

void APlugin::initMidiVariables() {
  for (auto& n : heldNotes) n.store(false, std::memory_order_relaxed);
  lastCC.store(-1, std::memory_order_relaxed);
  lastCCValue.store(-1, std::memory_order_relaxed);
  midiLatchTag.store(0, std::memory_order_relaxed);
  midiLatchOn.store(false, std::memory_order_relaxed);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    midiCaptureFlags[t].store(false, std::memory_order_relaxed);
    midiCaptureValues[t].store(-1.0f, std::memory_order_relaxed);
  }
  updateMidiChannel();
}

void APlugin::alignMidiToLoadedProgram() {
  for (auto& n : heldNotes) n.store(false, std::memory_order_relaxed);
  resetMidiCapture();
}

void APlugin::updateMidiChannel() {
  const int n = getMidiChannelSetting();
  midiChannel.store(n >= 0 && n <= 17 ? n - 1 : -1, std::memory_order_relaxed);
}

// ---- Queue ----

int32_t APlugin::processEvents(VstEvents* events) {
  engine.queueMidi(events);
  return 1;
}

// ---- Messages ----

void APlugin::runMidiMessage(const VstMidiEvent& event) {
  using namespace midi;
  const int byte0 = static_cast<unsigned char>(event.midiData[0]);
  const int status = byte0 & 0xF0;
  const int data1 = event.midiData[1] & 127;
  const int data2 = event.midiData[2] & 127;

  const int channel = midiChannel.load(std::memory_order_relaxed);
  if (channel != -1 && (byte0 & 0x0F) != channel) return;

  switch (status) {
    case NOTE_ON:
      if (data2 > 0) {
        engine.setSourceValue(SRC_NOTE, midiUnit(data1));
        engine.setSourceValue(SRC_NOTE_CENTER, static_cast<float>(data1 - 57) / 12.0f);
        engine.setSourceValue(SRC_VELOCITY, midiUnit(data2));
        const float r1 = random.next();
        const float r2 = random.next();
        engine.setSourceValue(SRC_NOTE_RND_1, r1);
        engine.setSourceValue(SRC_NOTE_UNI_RND_1, 0.5f * r1 + 0.5f);
        engine.setSourceValue(SRC_NOTE_RND_2, r2);
        engine.setSourceValue(SRC_NOTE_UNI_RND_2, 0.5f * r2 + 0.5f);
        heldNotes[data1].store(true, std::memory_order_relaxed);
        engine.startNoteLfos();
        break;
      }
      [[fallthrough]];  // velocity 0 is a note off
    case NOTE_OFF: {
      heldNotes[data1].store(false, std::memory_order_relaxed);
      bool anyHeld = false;
      for (const auto& n : heldNotes)
        if (n.load(std::memory_order_relaxed)) {
          anyHeld = true;
          break;
        }
      if (!anyHeld) engine.stopNoteLfos();
      break;
    }
    case POLY_PRESSURE:
      engine.setSourceValue(SRC_POLY_AFTER, midiUnit(data2));
      engine.setSourceValue(SRC_MOD_AFTER, midiUnit(data2));
      break;
    case CONTROLLER:
      runMidiController(data1, data2);
      break;
    case PROGRAM_CHANGE:
      // Numbers past the bank are ignored by the program loader itself.
      if (getMidiPresetOn()) setDemoProgram(data1);
      break;
    case CHANNEL_PRESSURE:
      engine.setSourceValue(SRC_CHANNEL_AFTER, midiUnit(data1));
      engine.setSourceValue(SRC_MOD_AFTER, midiUnit(data1));
      break;
    case PITCH_BEND:
      engine.setSourceValue(SRC_PITCHBEND, pitchBendValue(data1, data2));
      engine.triggerMidiLfos(TRIGGER_PITCH_BEND, data2 - 64);
      break;
    default:
      break;
  }
}

void APlugin::runMidiController(int cc, int value) {
  using namespace midi;
  lastCC.store(cc, std::memory_order_relaxed);
  lastCCValue.store(value, std::memory_order_relaxed);
  const float v = midiUnit(value);

  for (const CCSource& s : CC_SOURCES)
    if (s.cc == cc) engine.setSourceValue(s.src, v);

  if (!isUnlearnableCC(cc)) {
    // Seeing the flag (acquire) makes the tag stored before it visible. The flag is cleared
    // (release) only once the binding is in the map, so whoever sees the learn finished sees
    // its binding too.
    if (midiLatchOn.load(std::memory_order_acquire)) {
      const int tag = midiLatchTag.load(std::memory_order_relaxed);
      if (isValidTag(tag)) {
        midiCaptureValues[tag].store(getParameter(tag), std::memory_order_relaxed);
        midiCaptureFlags[tag].store(false, std::memory_order_relaxed);
        learnMidiCC(cc, tag);  // the map at once, the preference file by the writer
      }
      midiLatchOn.store(false, std::memory_order_release);
    }

    const int tag = getMidiCCTag(cc);
    if (tag != 0 && isValidTag(tag)) {
      if (!getMidiCaptureOn() || midiCaptureFlags[tag].load(std::memory_order_relaxed)) {
        setParameter(tag, v);
      } else if (std::fabs(v - midiCaptureValues[tag].load(std::memory_order_relaxed)) < CAPTURE_DISTANCE) {
        midiCaptureFlags[tag].store(true, std::memory_order_relaxed);
        setParameter(tag, v);
      }
    }
  }

  engine.triggerMidiLfos(cc, value);
}

// ---- Learn and the map (GUI thread) ----

void APlugin::resetMidi() {
  const int32_t none[NUM_MIDI_CC] = {};
  setAllMidiCCTags(none);
  for (int t = 0; t < NUM_PARAMS; ++t) {
    midiCaptureFlags[t].store(false, std::memory_order_relaxed);
    midiCaptureValues[t].store(-1.0f, std::memory_order_relaxed);
  }
}

void APlugin::resetMidiCapture() {
  for (int t = 0; t < NUM_PARAMS; ++t) {
    midiCaptureValues[t].store(getParameter(t), std::memory_order_relaxed);
    midiCaptureFlags[t].store(false, std::memory_order_relaxed);
  }
}

void APlugin::setMidiLatch(int tag, bool on) {
  if (!isValidTag(tag)) return;
  midiLatchTag.store(tag, std::memory_order_relaxed);
  if (on) {
    midiLatchOn.store(true, std::memory_order_release);
    return;
  }
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc)
    if (getMidiCCTag(cc) == tag) setMidiCCTag(cc, 0);
}

void APlugin::setMidiCCNum(int tag) {
  if (!isValidTag(tag)) return;
  char name[PARAM_NAME_BUFFER] = {};
  getParameterName(tag, name);
  std::string answer;
  if (!inputBox("MIDI CC (0 - 127)", std::string("MIDI CC : ") + name, answer)) return;
  if (answer.empty()) return;
  const auto cc = midimap::parseControllerNumber(answer);
  if (!cc) return;  // no number: nothing is bound
  setMidiCCTag(*cc, tag);
}

// ---- The controller-map file (GUI thread) ----

bool APlugin::loadECSFile(const std::string& path) {
  std::string text;
  const bool ok = readFileCapped(path, midimap::MAX_FILE_BYTES, text);
  midimap::CCMap values{};
  if (!ok || !midimap::parseECS(text, values)) {
    messageBox(kECSProblem, kMessageOk);
    return false;
  }
  int32_t tags[NUM_MIDI_CC];
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) tags[cc] = values[static_cast<std::size_t>(cc)];
  setAllMidiCCTags(tags);
  resetMidiCapture();
  return true;
}

bool APlugin::saveECSFile(const std::string& path) {
  midimap::CCMap values{};
  for (int cc = 0; cc < NUM_MIDI_CC; ++cc) values[static_cast<std::size_t>(cc)] = getMidiCCTag(cc);
  // Written beside the old file and renamed over it, so a failed save never leaves a half map.
  const bool ok = writeFileAtomically(path, midimap::formatECS(values));
  if (!ok) messageBox(kECSProblem, kMessageOk);
  return ok;
}

void APlugin::loadECS() {
  std::string folder, path;
  if (!fileSelectLoadDir("Load ECS", ecsDir, "*.ecs", folder, path)) return;
  loadECSFile(path);
}

void APlugin::saveECS() {
  std::string folder, path;
  if (!fileSelectSaveDir("ECS Save", ecsDir, "Grindle2.ecs", folder, path)) return;
  saveECSFile(path);
}
