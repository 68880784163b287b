// The fixed hints the layout gives its controls, and that the idle pass shows them as tool-tips.
#include "controls/pluginControls.h"
#include "controls/pluginScreens.h"
#include "editorTestUtil.h"

using namespace editortest;
using namespace VSTGUI;

TEST_F(OpenEditorTest, EveryFixedHintReadsAsWritten) {
  uEditor& e = *editor;
  struct Row {
    const CView* view;
    const char* label;
    const char* hint;
  };
  const std::vector<Row> rows = {
      {e.presetMenu, "Preset Menu", ""},
      {e.folderMenu, "Folder Menu", ""},
      {e.helpButton, "Open Help", ""},
      {e.editedButton, "Edited Preset", ""},
      {e.originalButton, "Original Preset", ""},
      {e.ecsMenu, "ECS Menu", ""},
      {e.controlMenuArea, "Control Menu", ""},
      {e.vuMeters[0], "Left Input Level", ""},
      {e.vuMeters[1], "Right Input Level", ""},
      {e.vuMeters[2], "Left Output Level", ""},
      {e.vuMeters[3], "Right Output Level", ""},
      {e.settingsButton, "Show Back Screen", ""},
      {e.managerButton, "Show Manager Screen", ""},
      {e.backsideButton, "Show Main Screen", ""},
      {e.distortScreen, "Distort Screen",
       "L/R - Freq, U/D - Amp, R Click/Scroll - Wave, Ctrl/Double Click - Reset"},
      {e.eqViewButtons[0], "Selected EQ", "Show Pre-EQ"},
      {e.eqViewButtons[1], "Selected EQ", "Show Post-EQ"},
      {e.eqScreen, "EQ Screen", "L/R - Freq, U/D - Gain, R Click/Scroll - BandWidth"},
      {e.highPassTypeButtons[0], "Selected HighPass Filter Type", "Select 12 dB HighPass Filter"},
      {e.highPassTypeButtons[1], "Selected HighPass Filter Type", "Select 24 dB HighPass Filter"},
      {e.lowPassTypeButtons[0], "Selected LowPass Filter Type", "Select 12 dB LowPass Filter"},
      {e.lowPassTypeButtons[1], "Selected LowPass Filter Type", "Select 24 dB LowPass Filter"},
      {e.compressorMeter, "Compressor Display", ""},
      {e.widenerDisplay, "Widener/Chorus Display", ""},
      {e.tabButtons[0], "Selected Bottom Screen", "Select Disrupt Screen"},
      {e.tabButtons[1], "Selected Bottom Screen", "Select Follower Screen"},
      {e.tabButtons[2], "Selected Bottom Screen", "Select WaveShaper Screen"},
      {e.tabButtons[3], "Selected Bottom Screen", "Select Mod/LFO Screen"},
      {e.disruptResetButton, "Reset Disrupt to Center", ""},
      {e.followerScreen, "Follower Display",
       "U/D - Boost , L/R - Smooth, Ctrl/Dbl - Reset, Right/Src - Source"},
      {e.modScreens[0], "Basic Mod Screen", ""},
      {e.modScreens[1], "Advanced Mod Screen", ""},
      {lfoPageButton(e, 0), "Selected LFO", "Select LFO LFO 1"},
      {lfoPageButton(e, 3), "Selected LFO", "Select LFO LFO 4"},
      {e.lfoModeButtons[0][0], "Selected LFO Mode", "Select Free Mode"},
      {e.lfoModeButtons[2][1], "Selected LFO Mode", "Select Host Mode"},
      {e.lfoModeButtons[3][3], "Selected LFO Mode", "Select MIDI Mode"},
      {e.lfoScreen, "LFO Screen", "L/R - Shape, Ctrl/Double Click - Default, Scroll - Wave"},
      {applyButton(e, 0), "Apply WaveShaper 1 Distortion", ""},
      {applyButton(e, 1), "Apply WaveShaper 2 Distortion", ""},
      {e.waveShaperScreens[0], "WaveShaper 1 Screen",
       "Right Click for Menu, Ctrl/Double Click - Default, Scroll for Distort Mode"},
      {e.waveShaperScreens[1], "WaveShaper 2 Screen",
       "Right Click for Menu, Ctrl/Double Click - Default, Scroll for Distort Mode"},
      {e.drawModeButtons[0], "Selected WaveShaper Draw Mode", "Select Point"},
      {e.drawModeButtons[1], "Selected WaveShaper Draw Mode", "Select Line"},
      {e.drawModeButtons[2], "Selected WaveShaper Draw Mode", "Select Erase"},
      {e.polarityButtons[0], "Selected WaveShaper Mode", "Select Uni-Polar Mode"},
      {e.polarityButtons[1], "Selected WaveShaper Mode", "Select Polar Mode"},
  };
  for (const Row& r : rows) {
    ASSERT_NE(r.view, nullptr) << r.label;
    EXPECT_EQ(e.hintFor(r.view), std::string(r.label) + " : " + r.hint) << r.label << " " << r.hint;
  }
  // Shown over the view by the idle pass: a button inside a box, and a screen of the tab shown.
  e.setBottomTab(2);
  e.raiseRefresh(kBottomScreenRefresh);
  pass();
  for (const Row& r : {rows[19], rows[41], rows[45]}) {
    CPoint at = r.view->getViewSize().getCenter();
    r.view->localToFrame(at);
    tester->move(at.x, at.y);
    pass();
    EXPECT_EQ(const_cast<CView*>(r.view)->getTooltipText(), std::string(r.label) + " : " + r.hint);
  }
}
