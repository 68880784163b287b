// Every entry of the EQ, parameter, settings and wave-shaper menus, run alone on the same
// starting state, changes exactly what its title says: the clipboard and the undo step hold a
// state different from the present one, so an entry that ran a neighbour's action (or refreshed
// its undo step first) leaves a different parameter store, preference file or dialog behind.
#include <functional>
#include <map>

#include "editor/waveShaper.h"
#include "menuTestUtil.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

using Values = std::array<float, NUM_PARAMS>;
float& at(Values& v, int tag) { return v[static_cast<size_t>(tag)]; }

}  // namespace

class AllMenuEntries : public MenuTest {
 protected:
  void set(const Values& v) {
    // Only what differs: storing some tags has side effects on others.
    for (int t = 0; t < NUM_PARAMS; ++t)
      if (plugin->getParameter(t) != v[static_cast<size_t>(t)])
        plugin->setParameter(t, v[static_cast<size_t>(t)]);
  }
  void expectValues(const Values& expected, const std::string& what) {
    const Values now = values();
    for (int t = 0; t < NUM_PARAMS; ++t)
      EXPECT_FLOAT_EQ(now[static_cast<size_t>(t)], expected[static_cast<size_t>(t)]) << what << ": tag " << t;
  }
  float def(int tag) const { return plugin->getDefault(tag); }
};

TEST_F(AllMenuEntries, EQMenu) {
  // U is copied and is the undo step; S is the state every entry starts from.
  Values U = values(), S = values();
  for (int i = 0; i < 12; ++i) {
    const float f = static_cast<float>(i);
    at(U, EQ_VAR_TAGS[0][i]) = 0.05f + 0.01f * f;
    at(U, EQ_VAR_TAGS[1][i]) = 0.25f + 0.01f * f;
    at(S, EQ_VAR_TAGS[0][i]) = 0.45f + 0.01f * f;
    at(S, EQ_VAR_TAGS[1][i]) = 0.65f + 0.01f * f;
  }
  const auto both = [](Values& v, const std::function<void(int, int)>& f) {
    for (int i = 0; i < 12; ++i) f(EQ_VAR_TAGS[0][i], EQ_VAR_TAGS[1][i]);
  };
  struct Entry {
    const char* title;
    std::function<void(Values&, int, int)> expect;  // values, this EQ's row, the other's
  };
  const Entry entries[] = {
      {"Clear EQ",
       [&](Values& v, int t, int) {
         for (int g : EQ_VAR_TAGS[t]) at(v, g) = def(g);
       }},
      {"Clear Both EQ",
       [&](Values& v, int, int) { both(v, [&](int a, int b) { at(v, a) = def(a), at(v, b) = def(b); }); }},
      {"Copy EQ", [](Values&, int, int) {}},
      {"Paste EQ",
       [&](Values& v, int t, int o) {
         for (int i = 0; i < 12; ++i) at(v, EQ_VAR_TAGS[t][i]) = at(U, EQ_VAR_TAGS[o][i]);
       }},
      {"Copy to other EQ",
       [](Values& v, int t, int o) {
         for (int i = 0; i < 12; ++i) at(v, EQ_VAR_TAGS[o][i]) = at(v, EQ_VAR_TAGS[t][i]);
       }},
      {"Swap with other EQ",
       [](Values& v, int t, int o) {
         for (int i = 0; i < 12; ++i) std::swap(at(v, EQ_VAR_TAGS[o][i]), at(v, EQ_VAR_TAGS[t][i]));
       }},
      {"Undo", [&](Values& v, int,
                   int) { both(v, [&](int a, int b) { at(v, a) = at(U, a), at(v, b) = at(U, b); }); }},
  };
  for (const Entry& e : entries)
    for (int eq : {0, 1}) {
      set(U);
      choose("Copy EQ");
      editor->showEQMenu(CPoint(10, 10), 1 - eq);
      set(S);
      Values expected = S;
      e.expect(expected, eq, 1 - eq);
      choose(e.title);
      editor->showEQMenu(CPoint(10, 10), eq);
      expectValues(expected, std::string(e.title) + " on EQ " + std::to_string(eq));
    }
}

TEST_F(AllMenuEntries, ParameterMenuValueAndMidiEntries) {
  constexpr int KNOB = WIDENER_WIDTH_TAG, OTHER = 1;
  struct Midi {
    std::array<int, 128> ccTag;
    bool latch;
    int latchTag;
    bool operator==(const Midi&) const = default;
  };
  const auto midi = [&] {
    Midi m{{}, plugin->isMidiLatchOn(), plugin->isMidiLatchOn() ? plugin->getMidiLatchTag() : -1};
    for (int cc = 0; cc < 128; ++cc) m.ccTag[static_cast<size_t>(cc)] = plugin->getMidiCCTag(cc);
    return m;
  };
  plugin->resetMidi();
  plugin->setParameter(KNOB, 0.3f);
  plugin->setMidiCCTag(7, KNOB);
  plugin->setMidiCCTag(8, OTHER);
  const Values S = values();
  const Midi M = midi();
  CControl* control = testControl(*editor, KNOB);
  constexpr float ANY = -1.0f;  // a value in 0..1 other than the start
  struct Entry {
    const char* title;
    float knob;
    std::function<void(Midi&)> midi;
    int dialogs;
  };
  const auto none = [](Midi&) {};
  const Entry entries[] = {
      {"Set to Default", def(KNOB), none, 0},
      {"Set to Minimum", 0.0f, none, 0},
      {"Set to Maximum", 1.0f, none, 0},
      {"Set to Mid", 0.5f, none, 0},
      {"Set to Value", 0.3f, none, 1},  // the input box is cancelled
      {"Set to Random", ANY, none, 0},
      {"Increase", 0.31f, none, 0},
      {"Decrease", 0.29f, none, 0},
      {"Unlatch MIDI", 0.3f, [](Midi& m) { m.ccTag[7] = 0; }, 0},
      {"Set MIDI CC", 0.3f, none, 1},  // cancelled too
      {"Clear All MIDI", 0.3f, [](Midi& m) { m.ccTag.fill(0); }, 0},
      {"Latch to MIDI", 0.3f, [](Midi& m) { m.latch = true, m.latchTag = KNOB; },
       0},  // last: only a controller ends a latch
  };
  for (const Entry& e : entries) {
    plugin->resetMidi();
    plugin->setMidiCCTag(7, KNOB);
    plugin->setMidiCCTag(8, OTHER);
    ASSERT_EQ(midi(), M);
    set(S);
    dialogs.calls.clear();
    choose(e.title);
    editor->showMIDIMenu(control, CPoint(100, 100));
    Midi expectedMidi = M;
    e.midi(expectedMidi);
    EXPECT_TRUE(midi() == expectedMidi) << e.title;
    EXPECT_EQ(static_cast<int>(dialogs.calls.size()), e.dialogs) << e.title;
    Values expected = S;
    const float knob = plugin->getParameter(KNOB);
    if (e.knob == ANY) {
      EXPECT_TRUE(knob >= 0.0f && knob <= 1.0f && knob != 0.3f) << knob;
      at(expected, KNOB) = knob;
    } else {
      EXPECT_NEAR(knob, e.knob, 1e-5f) << e.title;
      at(expected, KNOB) = knob;
    }
    expectValues(expected, e.title);
  }
}

TEST_F(AllMenuEntries, SettingsMenu) {
  using Facts = std::map<std::string, std::string>;
  const char* const KEYS[] = {"Big100", "Big150",     "Big200",   "ModDial",    "ToolTip",
                              "Key",    "MidiPreset", "MidiBank", "MidiCapture"};
  const auto facts = [&] {
    Facts f;
    for (const char* k : KEYS) f[k] = pref(k);
    f["Midi Channel"] = std::to_string(loadIntFromPrefs("Midi Channel"));
    f["modDial"] = std::to_string(editor->getModDial());
    f["tips"] = std::to_string(editor->getToolTipsOn());
    f["keys"] = std::to_string(editor->getKeyboardOn());
    f["preset"] = std::to_string(plugin->getMidiPresetOn());
    f["capture"] = std::to_string(plugin->getMidiCaptureOn());
    f["channel"] = std::to_string(plugin->getMidiChannelSetting());
    return f;
  };
  plugin->setParameter(VOLUME_TAG, 0.25f);
  struct Entry {
    const char* title;
    Facts changes;       // besides the tool-tip and key preferences every pass writes
    const char* dialog;  // text the single dialog shows; null: no dialog
  };
  const Entry entries[] = {
      {"Set to 100% Screen Size", {{"Big100", "Y"}, {"Big150", "N"}, {"Big200", "N"}}, "100% Screen Mode"},
      {"Set to 150% Screen Size", {{"Big100", "N"}, {"Big150", "Y"}, {"Big200", "N"}}, "150% Screen Mode"},
      {"Set to 200% Screen Size", {{"Big100", "N"}, {"Big150", "N"}, {"Big200", "Y"}}, "200% Screen Mode"},
      {"Turn Dial Animation: Off", {{"ModDial", "N"}, {"modDial", "0"}}, nullptr},
      {"Tool-Tips: On", {{"ToolTip", "N"}, {"tips", "0"}}, nullptr},
      {"Computer Keyboard: On", {{"Key", "N"}, {"keys", "0"}}, nullptr},
      {"MIDI Preset: On", {{"MidiPreset", "N"}, {"preset", "0"}}, nullptr},
      {"MIDI Bank: On", {{"MidiBank", "N"}}, nullptr},
      {"Set MIDI Input Channel", {{"Midi Channel", "7"}, {"channel", "7"}}, "Set MIDI Input Channel"},
      {"External MIDI Capture Mode: On", {{"MidiCapture", "N"}, {"capture", "0"}}, nullptr},
      {"Reset Everything", {}, nullptr},
      {"About Grindle 2", {}, "Grindle 2"},
  };
  // The entries touch different settings, so each runs from where the one before left off.
  for (const Entry& e : entries) {
    const Values start = values();
    Facts expected = facts();
    for (const auto& [k, v] : e.changes) expected[k] = v;
    expected["ToolTip"] = expected["tips"] == "1" ? "Y" : "N";
    expected["Key"] = expected["keys"] == "1" ? "Y" : "N";
    dialogs.calls.clear();
    dialogs.answers.clear();
    answerDialog("7");
    choose(e.title);
    editor->showControlMenu(CPoint(10, 10));
    EXPECT_EQ(facts(), expected) << e.title;
    EXPECT_EQ(dialogs.calls.size(), e.dialog ? 1u : 0u) << e.title;
    if (e.dialog) {
      EXPECT_TRUE(dialogMentioned(e.dialog)) << e.title;
    }
    expectValues(start, e.title);
  }
}

TEST_F(AllMenuEntries, WaveShaperMenu) {
  constexpr int FIRST = WAVESHAPER_START_TAG[0], N = WAVESHAPER_POINTS;
  Values U = values(), S = values();
  for (int i = 0; i < N; ++i) {
    const float x = static_cast<float>(i) / 255.0f;
    at(U, FIRST + i) = 0.5f + 0.3f * x * (1.0f - x);
    at(U, FIRST + N + i) = 0.1f + 0.2f * x;
    at(S, FIRST + i) = 0.2f + 0.5f * x * x;
    at(S, FIRST + N + i) = 0.9f - 0.6f * x;
  }
  at(U, WAVESHAPER_POLAR_TAG) = at(S, WAVESHAPER_POLAR_TAG) = 1.0f;
  using namespace waveshaper;
  const auto curve = [](Values& v, int ws) { return Curve(&at(v, FIRST + ws * N), N); };
  const auto fromU = [&](Values& v, int ws) {
    for (int i = 0; i < N; ++i) at(v, FIRST + ws * N + i) = at(U, FIRST + ws * N + i);
  };
  struct Entry {
    const char* title;
    std::function<void(Values&, int)> expect;  // values and the shaper under the pointer
    const char* dialog;
  };
  const Entry entries[] = {
      {"Clear WaveShaper 1", [&](Values& v, int) { clearCurve(curve(v, 0)); }, nullptr},
      {"Clear WaveShaper 2", [&](Values& v, int) { clearCurve(curve(v, 1)); }, nullptr},
      {"Clear Both WaveShapers", [&](Values& v, int) { clearCurve(curve(v, 0)), clearCurve(curve(v, 1)); },
       nullptr},
      {"Zero WaveShaper 1", [&](Values& v, int) { zeroCurve(curve(v, 0)); }, nullptr},
      {"Zero WaveShaper 2", [&](Values& v, int) { zeroCurve(curve(v, 1)); }, nullptr},
      {"Zero Both WaveShapers", [&](Values& v, int) { zeroCurve(curve(v, 0)), zeroCurve(curve(v, 1)); },
       nullptr},
      {"Copy WaveShaper 1 to 2", [&](Values& v, int) { copyCurve(curve(v, 0), curve(v, 1)); }, nullptr},
      {"Copy WaveShaper 2 to 1", [&](Values& v, int) { copyCurve(curve(v, 1), curve(v, 0)); }, nullptr},
      {"Copy WaveShapers", [](Values&, int) {}, nullptr},
      {"Paste WaveShapers", [&](Values& v, int) { fromU(v, 0), fromU(v, 1); }, nullptr},
      {"Swap", [&](Values& v, int) { swapCurves(curve(v, 0), curve(v, 1)); }, nullptr},
      {"Reverse", [&](Values& v, int ws) { reverseCurve(curve(v, ws), true); }, nullptr},
      {"Mirror", [&](Values& v, int ws) { mirrorCurve(curve(v, ws)); }, nullptr},
      {"Smooth", [&](Values& v, int ws) { smoothCurve(curve(v, ws)); }, nullptr},
      {"Normalize", [&](Values& v, int ws) { normalizeCurve(curve(v, ws)); }, nullptr},
      {"Boost", [&](Values& v, int ws) { scaleCurve(curve(v, ws), BOOST_FACTOR); }, nullptr},
      {"Reduce", [&](Values& v, int ws) { scaleCurve(curve(v, ws), REDUCE_FACTOR); }, nullptr},
      {"Load", [](Values&, int) {}, "Load WaveShaper Preset"},  // the file dialog is cancelled
      {"Save", [](Values&, int) {}, "Save WaveShaper Preset"},
      {"Undo", [&](Values& v, int) { fromU(v, 0), fromU(v, 1); }, nullptr},
  };
  for (const Entry& e : entries)
    for (int ws : {0, 1}) {
      set(U);
      choose("Copy WaveShapers");
      editor->showWaveShaperMenu(CPoint(10, 10), 1 - ws);
      set(S);
      Values expected = S;
      e.expect(expected, ws);
      dialogs.calls.clear();
      choose(e.title);
      editor->showWaveShaperMenu(CPoint(10, 10), ws);
      expectValues(expected, std::string(e.title) + " on shaper " + std::to_string(ws + 1));
      EXPECT_EQ(dialogs.calls.size(), e.dialog ? 1u : 0u) << e.title;
      if (e.dialog) {
        EXPECT_TRUE(dialogMentioned(e.dialog)) << e.title;
      }
    }
}
