// Every knob the editor shows draws a knob strip and the ring strip of the same size, and the
// ring is the centred one exactly where the parameter is bipolar: for every knob position of the
// distortion box under every type, and for the knobs of every other box, tab and page.
#include <map>
#include <set>

#include "controls/pluginControls.h"
#include "editor/distortTypeTables.h"
#include "editorTestUtil.h"
#include "support/vstguiTester.h"

using namespace editortest;
using namespace VSTGUI;
using testing_support::RecordingDrawContext;

namespace {

enum Strip { SmallPlain, SmallCentred, LargePlain, LargeCentred, Other };

// The strips a knob draws, read from what it paints.
Strip stripOf(TKnob* knob) {
  RecordingDrawContext context;
  knob->draw(&context);
  std::set<int32_t> ids;
  for (const auto& op : context.of(RecordingDrawContext::Kind::Bitmap)) ids.insert(op.bitmapId);
  const std::map<std::set<int32_t>, Strip> strips = {{{10080, 10081}, SmallPlain},
                                                     {{10080, 10082}, SmallCentred},
                                                     {{10083, 10084}, LargePlain},
                                                     {{10083, 10085}, LargeCentred}};
  const auto it = strips.find(ids);
  return it == strips.end() ? Other : it->second;
}

void knobsIn(CViewContainer* box, std::vector<TKnob*>& out) {
  for (int32_t i = 0; box && i < box->getNbViews(); ++i) {
    CView* v = box->getView(i);
    if (auto* k = dynamic_cast<TKnob*>(v)) out.push_back(k);
    if (auto* c = dynamic_cast<CViewContainer*>(v)) knobsIn(c, out);
  }
}

}  // namespace

class KnobBitmaps : public OpenEditorTest {};

TEST_F(KnobBitmaps, EveryDistortionKnobPositionUnderEveryType) {
  for (int type = 1; type < NUM_DISTORT_TYPES; ++type) {
    plugin->setSteppedValue(DISTORT_TYPE_TAG, type);
    editor->showDistort();
    std::vector<TKnob*> knobs;
    knobsIn(editor->distortBox, knobs);
    int position = 0;
    for (TKnob* k : knobs) {
      const int i = k->getTag() - DISTORT_KNOB_1_TAG;
      if (i < 0 || i >= NUM_DISTORT_KNOBS) continue;
      EXPECT_EQ(i, position++) << "type " << type;
      const bool centred = FX_DIAL_IS_CENTERED[static_cast<size_t>(type)][static_cast<size_t>(i)] != 0;
      EXPECT_EQ(stripOf(k), centred ? SmallCentred : SmallPlain) << "type " << type << " knob " << i + 1;
    }
    EXPECT_EQ(position, std::max(FX_DIALS[static_cast<size_t>(type)], 1)) << "type " << type;
  }
}

TEST_F(KnobBitmaps, KnobsOfEveryBoxTabAndPage) {
  // Parameters with a fixed look; every other knob only needs a matching pair.
  const std::map<int, Strip> known = {{VOLUME_TAG, SmallPlain},
                                      {MIX_TAG, SmallCentred},
                                      {HP_FREQ_TAG, SmallPlain},
                                      {COMP_VOLUME_TAG, SmallPlain},
                                      {WIDENER_AMOUNT_TAG, SmallPlain},
                                      {CHORUS_MIX_TAG, SmallCentred},
                                      {DISRUPT_SLOT_AMT_1_TAG + 6, SmallCentred},
                                      {DISRUPT_LAZY_SPEED_TAG, LargePlain},
                                      {LFO_SHAPE_TAGS[3], SmallCentred},
                                      {LFO_AMT_TAGS[2], SmallCentred},
                                      {LFO_SPEED_TAGS[1], SmallPlain},
                                      {OLD_EQ_LOW_TAG + 3, SmallCentred}};
  std::set<int> seen;
  plugin->setParameter(OLD_EQ_TAG, 1.0f);
  editor->setSelectedEQ(1);
  for (float chorus : {0.0f, 1.0f})
    for (int tab = 0; tab < 4; ++tab)
      for (int page = 0; page < 4; ++page) {
        plugin->setParameter(CHORUS_MODE_TAG, chorus);
        editor->setBottomTab(tab);
        editor->setLfoPage(page);
        editor->showDistort();
        editor->showFilter();
        editor->showCompressor();
        editor->showWidenChorus();
        editor->showBottomScreen();
        std::vector<TKnob*> knobs;
        for (CViewContainer* box :
             {static_cast<CViewContainer*>(editor->getFrame()), editor->distortBox, editor->filterBox,
              editor->compressorBox, editor->widenerBox, editor->bottomBox})
          knobsIn(box, knobs);
        for (TKnob* k : knobs) {
          const Strip s = stripOf(k);
          EXPECT_NE(s, Other) << "tag " << k->getTag();
          if (const auto it = known.find(k->getTag()); it != known.end()) {
            EXPECT_EQ(s, it->second) << "tag " << k->getTag();
            seen.insert(k->getTag());
          }
        }
      }
  EXPECT_EQ(seen.size(), known.size());
}
