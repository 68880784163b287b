// The MIDI tables entry by entry: which controller each LFO trigger setting listens to, and
// unlearning a parameter over the whole controller range.
#include <string>
#include <vector>

#include "midiTestUtil.h"
#include "platform/platform.h"
#include "support/expectValues.h"
#include "tags.h"

using namespace miditest;

namespace {
constexpr int PITCH_BEND = -2;
constexpr int NONE = -1;
constexpr int MIDI_MODE = 3;
}  // namespace

// Trigger step n of an LFO in MIDI mode restarts it on exactly one message; every controller
// that is a source by itself, and a few that are not, is played against every step.
TEST(MidiTables, EachLfoTriggerStepListensToItsOwnController) {
  const int expected[19] = {NONE, 1,  PITCH_BEND, 2,  4,  11, 16, 17, 18, 19,
                            20,   21, 84,         85, 86, 87, 88, 89, 90};
  std::vector<int> played = {PITCH_BEND, 0, 3, 7, 64, 74, 113, 114, 127};
  for (int c : expected)
    if (c >= 0) played.push_back(c);
  Fixture f;
  Probe& p = *f.p;
  for (int step = 0; step < 19; ++step) {
    const int lfo = step % 4;  // all four LFOs read their own trigger
    p.setSteppedValue(LFO_MODE_TAGS[static_cast<size_t>(lfo)], MIDI_MODE);
    p.setSteppedValue(LFO_TRIGGER_TAGS[static_cast<size_t>(lfo)], step);
    for (int c : played) {
      p.stopLfo(lfo);
      if (c == PITCH_BEND)
        f.list.add(midiEvent(0xE0, 0, 100));
      else
        f.list.cc(c, 64);
      f.play();
      EXPECT_EQ(p.lfoRunning(lfo), c == expected[step]) << "step " << step << " controller " << c;
    }
  }
}

// Unlearning a tag frees every controller bound to it, the lowest and highest numbers too, in
// the map and in the stored preferences, and leaves the other bindings alone. (Each binding is
// a preference write, so the ends and a few inner numbers stand for the range.)
TEST(MidiTables, UnlearningFreesEveryControllerBoundToTheTag) {
  struct Binding {
    int cc, tag;
  };
  const Binding bindings[] = {{0, 40},  {1, 40},   {2, 41},   {63, 40}, {64, 41},
                              {65, 40}, {125, 41}, {126, 40}, {127, 40}};
  Fixture f;
  Probe& p = *f.p;
  for (const Binding& b : bindings) p.setMidiCCTag(b.cc, b.tag);
  p.setMidiLatch(40, false);
  for (int cc = 0; cc < 128; ++cc) {
    int want = 0;
    for (const Binding& b : bindings)
      if (b.cc == cc && b.tag == 41) want = 41;
    SCOPED_TRACE("controller " + std::to_string(cc));
    EXPECT_VALUES({p.getMidiCCTag(cc), want}, {getMidiCC(cc), want});
  }
}
