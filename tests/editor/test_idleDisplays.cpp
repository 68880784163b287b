// What the user sees move at the idle pass: each kind of parameter notification (from the host
// and from a MIDI controller), the modulation rings with a modulator running, the compressor
// meter, the widener display, the gate lamp, the Disrupt slider and captions, the graph screens.
#include <cmath>
#include <cstring>
#include <map>

#include "controls/pluginControls.h"
#include "controls/pluginScreens.h"
#include "editorTestUtil.h"
#include "plugin/uVocabulary.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

// A screen that counts how often the frame draws it.
template <class Screen>
struct Counted : Screen {
  using Screen::Screen;
  void draw(CDrawContext* c) override {
    ++draws;
    Screen::draw(c);
  }
  int draws = 0;
};

// Boxes a notification rebuilds.
enum Box : unsigned { D = 1, W = 2, B = 4 };

}  // namespace

class IdleDisplays : public OpenEditorTest {
 protected:
  void SetUp() override {
    OpenEditorTest::SetUp();
    plugin->setSampleRate(44100.0f);
    plugin->resume();
    pass();
  }
  // n samples of a 441 Hz sine of the given peak on both main inputs.
  void runAudio(int n, float peak) {
    std::vector<float> l(static_cast<size_t>(n)), r(l.size()), side(l.size(), 0.0f), oL(l.size()),
        oR(l.size());
    for (size_t i = 0; i < l.size(); ++i)
      l[i] = r[i] = peak * std::sin(6.2831853f * 441.0f * static_cast<float>(phase++) / 44100.0f);
    float* ins[4] = {l.data(), r.data(), side.data(), side.data()};
    float* outs[2] = {oL.data(), oR.data()};
    plugin->processReplacing(ins, outs, n);
  }
  // A MIDI controller bound to tag moves it to value (as near as 0..127 gets).
  void controller(int tag, float value) {
    constexpr int CC = 20;
    plugin->setMidiCaptureOn(false);
    plugin->setMidiCCTag(CC, tag);
    VstMidiEvent e;
    std::memset(&e, 0, sizeof e);
    e.type = kVstMidiType;
    e.byteSize = sizeof e;
    e.midiData[0] = static_cast<char>(0xB0);
    e.midiData[1] = CC;
    e.midiData[2] = static_cast<char>(std::lround(value * 127.0f));
    struct {
      int32_t numEvents = 1;
      intptr_t reserved = 0;
      VstEvent* events[2];
    } list;
    list.events[0] = reinterpret_cast<VstEvent*>(&e);
    plugin->processEvents(reinterpret_cast<VstEvents*>(&list));
    runAudio(1, 0.0f);
  }
  // The shown knob carrying tag (null when none is shown).
  TKnob* shownKnob(int tag) {
    for (int i = 0; i < editor->getRegistrySize(); ++i) {
      TKnob* k = editor->getRegistryEntry(i).knobView;
      if (k && k->getTag() == tag && k->getParentView()) return k;
    }
    return nullptr;
  }
  void showTab(int tab) {
    editor->setBottomTab(tab);
    editor->raiseRefresh(kBottomScreenRefresh);
    pass();
  }
  // The screen in member's place from the next rebuild of the boxes on.
  template <class Screen>
  Counted<Screen>* counted(Screen*& member, Counted<Screen>* replacement) {
    editortest::replaceListed(*editor, member, replacement);
    member = editor->own(replacement);
    editor->raiseRefresh(kBottomScreenRefresh | kDistortRefresh);
    pass();
    return replacement;
  }
  // The text a menu shows.
  static std::string shownText(CView* menu) {
    testing_support::RecordingDrawContext context;
    menu->draw(&context);
    std::string text;
    for (const auto& op : context.of(testing_support::RecordingDrawContext::Kind::String)) text += op.text;
    return text;
  }
  int phase = 0;
};

TEST_F(IdleDisplays, EachNotificationDoesWhatItsKindOfTagAsks) {
  struct Row {
    std::vector<int> tags;
    unsigned rebuilt;  // boxes
    bool controls;     // the tag's controls follow
    bool reset;        // the distortion picture starts again
    bool shapers;      // the wave-shaper screens are redrawn
  };
  const std::vector<int> others = {1,   105, 110, 113, 118, 132, 136, 142,
                                   147, 149, 170, 239, 247, 250, 761, 1023};
  std::vector<int> modules = {133, 134, 135, 143, 144, 145, 146, 240, 243};
  for (int t = 150; t <= 168; ++t) modules.push_back(t);
  const Row rows[] = {
      {{129}, D | B, false, true, false},
      {{130, 246}, D | B, true, false, false},
      {{106, 107, 108, 109, 114, 115, 116, 117, 169}, B, true, false, false},
      {{131}, W, true, false, false},
      {modules, D | B, false, false, false},
      {{241, 242, 244, 245}, 0, true, false, true},
      {others, 0, true, false, false},
  };
  auto* shaper =
      counted(editor->waveShaperScreens[0],
              new Counted<TWaveShaperScreen>(editor->waveShaperScreens[0]->getViewSize(), editor, 0, 0));
  showTab(2);
  CViewContainer* const boxes[] = {editor->distortBox, editor->widenerBox, editor->bottomBox,
                                   editor->filterBox, editor->compressorBox};
  for (const Row& row : rows) {
    for (int tag : row.tags) {
      for (bool midi : {false, true}) {
        SCOPED_TRACE(testing::Message() << "tag " << tag << (midi ? " by MIDI" : " by the host"));
        // A picture zoomed out by a drag, a view in each box, a control that does not show the tag.
        CPoint at = editor->distortScreen->getViewSize().getCenter();
        editor->distortScreen->localToFrame(at);
        tester->mouseDown(at.x, at.y);
        tester->move(at.x, at.y + 25, kLButton);
        tester->mouseUp(at.x, at.y + 25);
        const float gain = editor->distortScreen->getGain();
        ASSERT_LT(gain, 0.9f);
        CView* sentinels[5];
        for (size_t b = 0; b < 5; ++b)
          boxes[b]->addView(sentinels[b] = editor->own(new CView(CRect(0, 0, 1, 1))));
        CControl* control = testControl(*editor, tag);
        control->setValue(0.33f);
        const int drawsBefore = shaper->draws;

        const float value = plugin->getParameter(tag) < 0.5f ? 0.9f : 0.1f;
        midi ? controller(tag, value) : plugin->setParameter(tag, value);
        pass();
        pass();  // a rebuilt box updates its displays from the next pass on
        for (size_t b = 0; b < 5; ++b) {
          const bool expected = b < 3 && (row.rebuilt & (1u << b));
          EXPECT_EQ(!boxes[b]->isChild(sentinels[b]), expected) << "box " << b;
          boxes[b]->removeView(sentinels[b], false);
        }
        EXPECT_EQ(control->getValue(), row.controls ? plugin->getParameter(tag) : 0.33f);
        EXPECT_EQ(editor->distortScreen->getGain() != gain, row.reset);
        EXPECT_EQ(shaper->draws > drawsBefore, row.shapers || (row.rebuilt & B));
      }
    }
  }
  // The module path: the boxes line up in the new order and the path menu names it.
  CViewContainer* const d = editor->distortBox;
  CViewContainer* const f = editor->filterBox;
  CViewContainer* const c = editor->compressorBox;
  CViewContainer* const w = editor->widenerBox;
  struct PathRow {
    bool midi;
    float value;
    std::vector<CViewContainer*> order;
    const char* name;
  };
  for (const PathRow& p :
       {PathRow{false, 1.5f / 24, {d, f, w, c}, "Path 02: Distort > Filter > Widen > Comp"},
        PathRow{true, 1.0f, {w, c, f, d}, "Path 24: Widen > Comp > Filter > Distort"}}) {
    CControl* control = testControl(*editor, MODULE_PATH_TAG);
    control->setValue(0.33f);
    p.midi ? controller(MODULE_PATH_TAG, p.value) : plugin->setParameter(MODULE_PATH_TAG, p.value);
    EXPECT_NE(shownText(editor->pathMenu), p.name);  // not before the pass
    pass();
    for (size_t i = 0; i + 1 < p.order.size(); ++i)
      EXPECT_LT(p.order[i]->getViewSize().left, p.order[i + 1]->getViewSize().left) << p.name << " " << i;
    EXPECT_EQ(p.order[0]->getViewSize().left, 29);
    EXPECT_EQ(shownText(editor->pathMenu), p.name);
    EXPECT_EQ(control->getValue(), 0.33f);
  }
}

TEST_F(IdleDisplays, RingsFollowTheRunningModulation) {
  // Knob tag, the bottom tab and LFO page that show it; a matrix slot drives its destination
  // from the constant source "Offset" (52) by the amount.
  struct Case {
    int tag, tab, page;
  };
  const Case cases[] = {{1, 0, 0},  {2, 0, 0},  {48, 0, 0},  {56, 0, 0},  {62, 0, 0},
                        {70, 0, 0}, {86, 1, 0}, {104, 3, 2}, {100, 3, 2}, {9, 0, 0}};
  plugin->setSteppedValue(DISTORT_TYPE_TAG, 4);  // six type knobs
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    editor->setLfoPage(c.page);
    showTab(c.tab);
    pass();
    TKnob* knob = shownKnob(c.tag);
    ASSERT_NE(knob, nullptr);
    const int dest = plugin->getDestByTag(c.tag);
    ASSERT_GT(dest, 0);
    plugin->setParameter(c.tag, 0.5f);
    int lastFrame = -1;
    for (float amount : {0.5f, 0.7f, 0.9f, 0.3f}) {
      plugin->setModSlotVariables(0, false, amount, 52, dest);
      runAudio(1024, 0.0f);
      pass();
      const float shown = plugin->getDialMod(c.tag, true);
      EXPECT_EQ(knob->getModFrame(), static_cast<int>(136 * shown + 0.1f)) << amount;
      // Above the knob's value for a positive amount, below for a negative one, more for more.
      const int valueFrame = static_cast<int>(136 * 0.5f + 0.1f);
      if (amount == 0.5f) {
        EXPECT_EQ(knob->getModFrame(), valueFrame);
      } else if (amount > 0.5f) {
        EXPECT_GT(knob->getModFrame(), std::max(valueFrame, lastFrame)) << amount;
      } else {
        EXPECT_LT(knob->getModFrame(), valueFrame);
      }
      lastFrame = knob->getModFrame();
    }
    plugin->setModSlotVariables(0, false, 0.5f, 0, 0);
  }
}

TEST_F(IdleDisplays, CompressorMeterWidenerDisplayAndGateLamp) {
  // The meter shows the compressor's level; off, it shows nothing.
  for (bool on : {false, true, false}) {
    plugin->setOnOff(55, on);
    runAudio(8192, 0.8f);
    pass();
    EXPECT_EQ(plugin->getCompVolume() > 0.1f, on);
    EXPECT_EQ(editor->compressorMeter->getValue(), plugin->getCompVolume()) << on;
  }

  // The display shows 1.1 x the widener amount (tag 62) or the chorus mix (65), and moves only
  // when a tenth of the range is crossed.
  struct WidenerRow {
    bool chorus;
    float amount, mix, shown;
  };
  for (const WidenerRow& r : {WidenerRow{false, 0.5f, 0.2f, 0.55f}, WidenerRow{false, 0.45f, 0.2f, 0.55f},
                              WidenerRow{false, 0.95f, 0.2f, 1.0f}, WidenerRow{true, 0.95f, 0.2f, 0.22f},
                              WidenerRow{true, 0.5f, 0.6f, 0.66f}, WidenerRow{true, 0.5f, 0.0f, 0.0f}}) {
    plugin->setOnOff(CHORUS_MODE_TAG, r.chorus);
    plugin->setParameter(62, r.amount);
    plugin->setParameter(65, r.mix);
    pass();
    pass();
    EXPECT_FLOAT_EQ(editor->widenerDisplay->getValue(), r.shown)
        << r.chorus << " " << r.amount << " " << r.mix;
  }

  // The gate lamp is lit while the gate reports it triggered.
  bool seen[2] = {};
  for (bool on : {false, true}) {
    plugin->setOnOff(40, on);
    for (float peak : {0.9f, 0.0f}) {
      runAudio(8192, peak);
      pass();
      const bool triggered = plugin->getNoiseGateTriggered();
      seen[triggered] = true;
      EXPECT_EQ(editor->gateLamp->getValue(), triggered ? 1.0f : 0.0f) << on << " " << peak;
    }
  }
  EXPECT_TRUE(seen[0] && seen[1]);
}

TEST_F(IdleDisplays, DisruptSliderAndCaptions) {
  showTab(0);
  // The slider's marker shows the live Disrupt value, not the parameter, at most every 100 ms.
  tester->clock().set(100000);
  pass();
  plugin->setParameter(DISRUPT_AMOUNT_TAG, 0.9f);
  const float live = plugin->getModDisruptAmount();
  ASSERT_NE(live, 0.8f);
  tester->clock().set(100200);
  editor->idle();
  EXPECT_FLOAT_EQ(editor->disruptSlider->getModValue(), live);
  runAudio(4096, 0.0f);
  ASSERT_NE(plugin->getModDisruptAmount(), live);
  tester->clock().set(100260);  // the same tenth of a second
  editor->idle();
  EXPECT_FLOAT_EQ(editor->disruptSlider->getModValue(), live);
  tester->clock().set(100300);
  editor->idle();
  EXPECT_FLOAT_EQ(editor->disruptSlider->getModValue(), plugin->getModDisruptAmount());

  // Captions: the destinations' names, the type knobs by their short names of the current type.
  struct CaptionRow {
    int type, slot, dest;
    const char* caption;
  };
  for (const CaptionRow& r : {CaptionRow{48, 0, 8, "Dist: Split"}, CaptionRow{49, 0, 8, "Dist: Amount"},
                              CaptionRow{49, 1, 6, "Dist: Pre"}, CaptionRow{49, 2, 13, "Dist: H"},
                              CaptionRow{3, 6, 14, "Gate Threshold"}, CaptionRow{3, 5, 1, "Volume"}}) {
    plugin->setSteppedValue(DISTORT_TYPE_TAG, r.type);
    plugin->setDestForTag(136 + r.slot, r.dest);
    tester->advanceClock(100);
    pass();
    pass();
    EXPECT_EQ(editor->disruptKnobs[r.slot]->getString(), r.caption) << r.type << " " << r.dest;
  }
}

TEST_F(IdleDisplays, GraphScreensRedrawAtTheirOwnPace) {
  // The distortion picture is taken again each 150 ms and redrawn when the type's knobs moved,
  // the follower's each 125 ms, the LFO's each 100 ms when its dot moved; clock times (after a
  // knob move for the distortion) and whether that pass redraws.
  auto* distort = counted(editor->distortScreen,
                          new Counted<TDistortScreen>(editor->distortScreen->getViewSize(), editor, 0));
  for (auto [at, knob, redrawn] : {std::tuple{3000, 0.2f, true},
                                   {3140, 0.3f, false},
                                   {3200, 0.3f, true},
                                   {3340, 0.3f, false},
                                   {3450, 0.4f, true}}) {
    plugin->setParameter(8, knob);
    tester->clock().set(static_cast<uint64_t>(at) + 1500000);
    const int before = distort->draws;
    editor->idle();
    EXPECT_EQ(distort->draws > before, redrawn) << at;
  }
  auto* follower = counted(editor->followerScreen,
                           new Counted<TFollowerScreen>(editor->followerScreen->getViewSize(), editor, 0));
  showTab(1);
  for (auto [at, redrawn] :
       {std::pair{1000, true}, {1120, false}, {1250, true}, {1370, false}, {1375, false}}) {
    tester->clock().set(static_cast<uint64_t>(at) + 1500000);
    const int before = follower->draws;
    editor->idle();
    EXPECT_EQ(follower->draws > before, redrawn) << at;
  }
  auto* lfo =
      counted(editor->lfoScreen, new Counted<TLFOScreen>(editor->lfoScreen->getViewSize(), editor, 0, 0));
  plugin->setParameter(102, 0.8f);  // LFO 1 running fast, aimed at the mix
  plugin->setOff(106);
  plugin->setDestForTag(157, 2);
  showTab(3);
  for (auto [at, redrawn] :
       {std::pair{2000, true}, {2060, false}, {2100, true}, {2210, true}, {2250, false}, {2299, false}}) {
    runAudio(2048, 0.0f);
    tester->clock().set(static_cast<uint64_t>(at) + 1500000);
    const int before = lfo->draws;
    editor->idle();
    EXPECT_EQ(lfo->draws > before, redrawn) << at << " " << plugin->getLFOPos(0, 100.0f);
  }
}
