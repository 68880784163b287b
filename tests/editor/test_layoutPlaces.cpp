// The main screen's controls stand where the place table says at every size: the table the
// artwork paints its fields, seats and labels from.
#include "controls/pluginScreens.h"
#include "editorTestUtil.h"
#include "layoutPlaces.h"

using namespace editortest;
using namespace VSTGUI;

class LayoutPlaces : public EditorTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    TestArt::useFullSet();
    if (GetParam() == 0)
      make();
    else
      make({{GetParam() == 1 ? "Big150" : "Big200", "Y"}});
    ASSERT_TRUE(openEditor());
    ASSERT_EQ(editor->getScreenMode(), GetParam());
  }

  void at(const CView* v, const PixelRect& want, const char* what, bool withBottom = true) {
    ASSERT_NE(v, nullptr) << what;
    const CRect& r = v->getViewSize();
    EXPECT_EQ(r.left, want.left) << what;
    EXPECT_EQ(r.top, want.top) << what;
    EXPECT_EQ(r.right, want.right) << what;
    if (withBottom) {
      EXPECT_EQ(r.bottom, want.bottom) << what;
    }
  }
  void knob(const TKnob* k, const KnobPlace& p, const char* what) {
    ASSERT_NE(k, nullptr) << what;
    at(k, placeRect(p, GetParam(), static_cast<int>(k->getHeightOfOneImage())), what);
  }
  // The compressor's knobs are the editor's only through the registry.
  const TKnob* knobWithTag(int tag) const {
    const TKnob* k = nullptr;
    editor->forEachControlWithTag(tag, [&](const uEditor::RegistryEntry& r) {
      if (!k) k = r.knobView;
    });
    return k;
  }
  void button(const CView* v, const BitmapPlace& p, const char* what) {
    ASSERT_NE(v, nullptr) << what;
    const CRect& r = v->getViewSize();
    at(v, placeRect(p, GetParam(), static_cast<int>(r.getWidth()), static_cast<int>(r.getHeight())), what);
  }
  void area(const CView* v, const AreaPlace& p, const char* what, bool withBottom = true) {
    at(v, placeRect(p, GetParam()), what, withBottom);
  }
};

TEST_P(LayoutPlaces, EveryControlStandsOnItsPlace) {
  uEditor& e = *editor;
  // Header.
  area(e.presetMenu, PRESET_MENU_PLACE, "preset menu");
  area(e.folderMenu, FOLDER_MENU_PLACE, "folder menu");
  area(e.ecsMenu, ECS_MENU_PLACE, "ECS menu");
  area(e.managerButton, MANAGER_AREA_PLACE, "manager area");
  area(e.settingsButton, SETTINGS_AREA_PLACE, "settings area");
  area(e.pathMenu, PATH_MENU_PLACE, "path menu");
  button(e.originalButton, ORIGINAL_BUTTON_PLACE, "Original");
  button(e.helpButton, HELP_BUTTON_PLACE, "Help");
  button(e.headerSwitch, HEADER_SWITCH_PLACE, "bypass");
  knob(e.headerVolumeKnob, HEADER_VOLUME_KNOB_PLACE, "header volume");
  for (size_t i = 0; i < 4; ++i) button(e.tabButtons[i], TAB_BUTTON_PLACES[i], "tab");
  // Distortion box: both type-knob sets, old EQ, gate, EQ row, screens.
  for (size_t i = 0; i < 8; ++i) {
    knob(e.typeKnobs[i], TYPE_KNOB_PLACES[i], "type knob");
    knob(e.typeKnobsCentred[i], TYPE_KNOB_CENTRED_PLACES[i], "centred type knob");
  }
  for (size_t i = 0; i < 4; ++i) {
    knob(e.oldEQKnobs[i], OLD_EQ_KNOB_PLACES[i], "old EQ knob");
    knob(e.gateKnobs[i], GATE_KNOB_PLACES[i], "gate knob");
  }
  knob(e.mainMixKnob, MAIN_MIX_KNOB_PLACE, "main mix");
  area(e.distortTypeMenu, DISTORT_TYPE_MENU_PLACE, "type menu");
  area(e.eqScreen, EQ_SCREEN_PLACE, "EQ screen");
  button(e.preEQSwitch, PRE_EQ_SWITCH_PLACE, "pre-EQ switch");
  button(e.postEQSwitch, POST_EQ_SWITCH_PLACE, "post-EQ switch");
  button(e.oldEQSwitch, OLD_EQ_SWITCH_PLACE, "old EQ switch");
  for (size_t i = 0; i < 2; ++i) button(e.eqViewButtons[i], EQ_VIEW_BUTTON_PLACES[i], "EQ view");
  // Filter, compressor, widener.
  for (size_t i = 0; i < 4; ++i) knob(e.filterKnobs[i], FILTER_KNOB_PLACES[i], "filter knob");
  for (size_t i = 0; i < 2; ++i) {
    button(e.highPassTypeButtons[i], HIGH_PASS_TYPE_PLACES[i], "high-pass type");
    button(e.lowPassTypeButtons[i], LOW_PASS_TYPE_PLACES[i], "low-pass type");
  }
  button(e.lowPassZDSwitch, LOW_PASS_ZD_SWITCH_PLACE, "low-pass ZD");
  for (size_t i = 0; i < 5; ++i)
    knob(knobWithTag(COMP_THRESHOLD_TAG + static_cast<int>(i)), COMPRESSOR_KNOB_PLACES[i], "compressor knob");
  for (size_t i = 0; i < 3; ++i) {
    knob(e.widenerKnobs[i], WIDENER_KNOB_PLACES[i], "widener knob");
    knob(e.chorusKnobs[i], WIDENER_KNOB_PLACES[i], "chorus knob");
  }
  button(e.chorusOnSwitch, CHORUS_ON_SWITCH_PLACE, "chorus on");
  // Disrupt tab.
  for (size_t i = 0; i < 7; ++i) {
    knob(e.disruptKnobs[i], DISRUPT_KNOB_PLACES[i], "Disrupt knob");
    button(e.disruptOnSwitches[i], DISRUPT_ON_SWITCH_PLACES[i], "Disrupt on");
  }
  button(e.disruptRocker, DISRUPT_ROCKER_PLACE, "lazy rocker");
  button(e.disruptLazyOnSwitch, DISRUPT_LAZY_ON_SWITCH_PLACE, "lazy on");
  area(e.disruptSpringMenu, DISRUPT_SPRING_MENU_PLACE, "spring menu");
  area(e.disruptSlider, DISRUPT_SLIDER_PLACE, "Disrupt slider", false);
  // Follower, WaveShaper and Mod/LFO tabs.
  for (size_t j = 0; j < 3; ++j) {
    area(e.followerDestMenus[j].main, FOLLOWER_DEST_MENU_PLACES[j], "follower destination");
    area(e.followerSourceMenus[j].main, FOLLOWER_MOD_SOURCE_MENU_PLACES[j], "follower mod source");
    button(e.followerOnSwitches[j], FOLLOWER_ON_SWITCH_PLACES[j], "follower bypass");
    knob(e.followerModAmountKnobs[j], FOLLOWER_MOD_AMOUNT_KNOB_PLACES[j], "follower mod amount");
  }
  for (size_t k = 0; k < 2; ++k)
    area(e.waveShaperModeMenus[k], WAVESHAPER_MODE_MENU_PLACES[k], "distort mode");
  for (size_t k = 0; k < 3; ++k) button(e.drawModeButtons[k], DRAW_MODE_BUTTON_PLACES[k], "draw mode");
  button(e.advancedSwitch, ADVANCED_SWITCH_PLACE, "advanced");
  area(e.modScreens[1], MOD_SCREEN_PLACE, "advanced matrix");
  for (size_t l = 0; l < 4; ++l) {
    area(e.lfoWaveMenus[l], LFO_WAVE_MENU_PLACE, "LFO wave");
    area(e.lfoDestMenus[l].main, LFO_DEST_MENU_PLACE, "LFO destination");
    knob(e.lfoShapeKnobs[l], LFO_SHAPE_KNOB_PLACE, "LFO shape");
    button(e.lfoModeButtons[l][3], LFO_MODE_BUTTON_PLACES[3], "LFO mode");
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LayoutPlaces, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return std::to_string(100 + 50 * info.param); });
