// What the rebuilt boxes show for each setting: the distortion box's background for every knob
// count with and without the old EQ, which EQ controls it holds, the LFO page's own mode, and
// controls that follow host changes however small.
#include <utility>
#include <vector>

#include "controls/pluginScreens.h"
#include "editorTestUtil.h"
#include "support/expectValues.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

// Type knobs per distortion type.
constexpr int KNOBS_OF_TYPE[52] = {0, 5, 4, 6, 8, 4, 5, 4, 6, 4, 4, 4, 5, 4, 6, 4, 4, 5,
                                   4, 7, 4, 4, 5, 4, 3, 5, 5, 5, 7, 4, 7, 8, 8, 8, 8, 8,
                                   8, 8, 8, 8, 8, 8, 8, 4, 4, 7, 7, 5, 8, 3, 4, 8};

int backgroundId(const CViewContainer* box) {
  const CBitmap* b = box ? box->getBackground() : nullptr;
  return b ? b->getResourceId() : -1;
}

}  // namespace

class BoxesAndPages : public OpenEditorTest {};

// The background has a picture for every knob count: the first three counts share one, the
// later ones have one each; the old EQ (switched on and viewed) has a second set, and its four
// knobs take the graph's place.
TEST_F(BoxesAndPages, TheDistortionBoxFitsItsKnobsAndTheOldEQ) {
  for (int type = 0; type < 52; ++type) {
    for (int oldEQ = 0; oldEQ < 2; ++oldEQ) {
      for (int view = 0; view < 2; ++view) {
        plugin->setSteppedValue(DISTORT_TYPE_TAG, type);
        plugin->setParameter(OLD_EQ_TAG, static_cast<float>(oldEQ));
        editor->setSelectedEQ(view);
        editor->showDistort();
        const bool oldShown = oldEQ == 1 && view == 1;
        const int k = KNOBS_OF_TYPE[type];
        const int want = (oldShown ? 10017 : 10010) + (k < 3 ? 0 : k - 2);
        SCOPED_TRACE("type " + std::to_string(type) + " old EQ " + std::to_string(oldEQ) + " view " +
                     std::to_string(view));
        EXPECT_VALUES({backgroundId(editor->distortBox), want},
                      {editor->distortBox->isChild(editor->eqScreen), !oldShown},
                      {editor->distortBox->isChild(editor->oldEQSwitch), view == 1});
        for (TKnob* knob : editor->oldEQKnobs) EXPECT_EQ(editor->distortBox->isChild(knob), oldShown);
      }
    }
  }
}

// Each LFO page's mode buttons light that LFO's own mode.
TEST_F(BoxesAndPages, TheModeButtonsOfEachLfoPageShowThatLfosMode) {
  const int modes[4] = {1, 3, 0, 2};
  for (int l = 0; l < 4; ++l) plugin->setSteppedValue(LFO_MODE_TAGS[static_cast<size_t>(l)], modes[l]);
  editor->setBottomTab(3);
  for (int page : {0, 1, 2, 3, 1}) {
    editor->setLfoPage(page);
    editor->showBottomScreen();
    for (int l = 0; l < 4; ++l) {
      for (int k = 0; k < 4; ++k) {
        TRadioButton* b = editor->lfoModeButtons[l][k];
        SCOPED_TRACE("page " + std::to_string(page) + " LFO " + std::to_string(l) + " mode " +
                     std::to_string(k));
        EXPECT_EQ(editor->bottomBox->isChild(b), l == page);
        if (l == page) {
          EXPECT_EQ(b->getValue(), k == modes[l] ? 1.0f : 0.0f);
        }
      }
    }
  }
}

// A host change moves its control at the next pass whatever its size; a resume moves every
// control more than its tolerance away.
TEST_F(BoxesAndPages, HostChangesOfAnySizeMoveTheirControls) {
  pass();
  const std::pair<CControl*, int> controls[] = {{editor->headerVolumeKnob, 1},
                                                {editor->mainMixKnob, 2},
                                                {editor->filterKnobs[0], 48},
                                                {editor->gateKnobs[1], 42}};
  for (const auto& [control, tag] : controls) {
    for (float delta : {0.25f, 0.001f, 0.00002f, 0.000001f}) {
      const float v = control->getValue() > 0.5f ? control->getValue() - delta : control->getValue() + delta;
      plugin->setParameter(tag, v);
      pass();
      EXPECT_EQ(control->getValue(), plugin->getParameter(tag)) << tag << " by " << delta;
    }
    const float v = plugin->getParameter(tag);
    control->setValue(v > 0.5f ? v - 0.00003f : v + 0.00003f);
    editor->resume();
    pass();
    EXPECT_EQ(control->getValue(), v) << tag << " after a resume";
  }
}
