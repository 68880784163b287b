// Helpers of the MIDI tests: an instance whose per-sample MIDI step can be run by itself, event
// lists built the way a host hands them over, and scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogTestSupport.h"
#include "platform/prefsTestEnv.h"
#include "plugin/uPlugin.h"

namespace miditest {

class Probe : public APlugin {
 public:
  Probe() : APlugin(nullptr) {}
  bool lfoRunning(int i) const { return engine.getLfo(i).isRunning(); }
  void stopLfo(int i) { engine.getLfo(i).stop(); }
  // Runs the MIDI step of n samples without the rest of the engine.
  void runSamples(int n) {
    for (int i = 0; i < n; ++i) processMidi();
  }
};

inline VstMidiEvent midiEvent(int status, int data1, int data2, int32_t offset = 0) {
  VstMidiEvent e;
  std::memset(&e, 0, sizeof(e));
  e.type = kVstMidiType;
  e.byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
  e.deltaFrames = offset;
  e.midiData[0] = static_cast<char>(status);
  e.midiData[1] = static_cast<char>(data1);
  e.midiData[2] = static_cast<char>(data2);
  return e;
}

// A host's event list: owns the events and the pointer array the list points into.
class EventList {
 public:
  EventList& add(const VstMidiEvent& e) {
    events_.push_back(e);
    return *this;
  }
  EventList& cc(int cc, int value, int32_t offset = 0, int channel = 0) {
    return add(midiEvent(0xB0 | channel, cc, value, offset));
  }
  EventList& note(int note, int velocity, int32_t offset = 0, int channel = 0) {
    return add(midiEvent(0x90 | channel, note, velocity, offset));
  }

  // The list as the host passes it, valid until the next change; null entries spliced in at nullAt.
  VstEvents* build(std::vector<int> nullAt = {}) {
    pointers_.clear();
    for (auto& e : events_) pointers_.push_back(reinterpret_cast<VstEvent*>(&e));
    for (int k : nullAt) pointers_.insert(pointers_.begin() + k, nullptr);
    storage_.assign((sizeof(VstEvents) + pointers_.size() * sizeof(VstEvent*)) / sizeof(intptr_t) + 1, 0);
    auto* list = reinterpret_cast<VstEvents*>(storage_.data());
    list->numEvents = static_cast<int32_t>(pointers_.size());
    std::memcpy(list->events, pointers_.data(), pointers_.size() * sizeof(VstEvent*));
    return list;
  }

  // Queues the list in the plug-in and forgets it.
  void sendTo(APlugin& p) {
    EXPECT_EQ(p.processEvents(build()), 1);
    events_.clear();
  }

 private:
  std::vector<VstMidiEvent> events_;
  std::vector<VstEvent*> pointers_;
  std::vector<intptr_t> storage_;  // aligned for the pointer array
};

// Every test gets its own preference folders and scripted dialogs; the instance lives on the heap.
struct Fixture {
  prefstest::TempXdg env;
  dialogtest::ScriptedBackend dialogs{platform::DialogTool::zenity};
  dialogtest::ScopedBackend installed{&dialogs};
  std::unique_ptr<Probe> p = std::make_unique<Probe>();
  EventList list;

  // Queues what the list holds at offset 0 and runs it at once.
  void play() {
    list.sendTo(*p);
    p->runSamples(1);
  }
  // The problem boxes the map file showed.
  int problemsShown() const {
    int n = 0;
    for (const auto& argv : dialogs.calls)
      for (const auto& a : argv) n += a.find("Problem with ECS File") != std::string::npos;
    return n;
  }
};

inline float unit(int v) { return static_cast<float>(v) / 127.0f; }

}  // namespace miditest
