// Cost of the MIDI input on the audio thread: queueing a host block of events, the per-sample
// scan of the pool while events wait, and dispatching controller messages.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "../tests/support/xdgSandbox.h"
#include "plugin/uPlugin.h"

namespace {

class MidiBench : public APlugin {
 public:
  MidiBench() : APlugin(nullptr) {}
  using APlugin::processMidi;
};

struct HostBlock {
  explicit HostBlock(int count, int32_t spacing) : events(static_cast<std::size_t>(count)) {
    for (int i = 0; i < count; ++i) {
      VstMidiEvent& e = events[static_cast<std::size_t>(i)];
      std::memset(&e, 0, sizeof(e));
      e.type = kVstMidiType;
      e.byteSize = sizeof(VstMidiEvent);
      e.deltaFrames = i * spacing;
      e.midiData[0] = static_cast<char>(0xB0);
      e.midiData[1] = static_cast<char>(16 + i % 6);
      e.midiData[2] = static_cast<char>(i & 127);
    }
    storage.assign(2 + events.size() + 1, 0);
    list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = count;
    VstEvent** entries = eventEntries(*list);
    for (int i = 0; i < count; ++i)
      entries[i] = reinterpret_cast<VstEvent*>(&events[static_cast<std::size_t>(i)]);
  }
  std::vector<VstMidiEvent> events;
  std::vector<intptr_t> storage;
  VstEvents* list = nullptr;
};

}  // namespace

// One host block of events queued and run to the end (events one sample apart).
static void BM_MidiQueueAndRunBlock(benchmark::State& state) {
  auto p = std::make_unique<MidiBench>();
  const int count = static_cast<int>(state.range(0));
  HostBlock block(count, 1);
  for (auto _ : state) {
    p->processEvents(block.list);
    while (p->getNumPendingEvents() > 0) p->processMidi();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_MidiQueueAndRunBlock)->Arg(16)->Arg(250);

// The scan of one sample while a full pool waits for samples far ahead.
static void BM_MidiScanFullPool(benchmark::State& state) {
  auto p = std::make_unique<MidiBench>();
  HostBlock block(APlugin::MIDI_POOL_SIZE, 0);
  for (auto& e : block.events) e.deltaFrames = 1 << 30;
  p->processEvents(block.list);
  for (auto _ : state) p->processMidi();
}
BENCHMARK(BM_MidiScanFullPool);
