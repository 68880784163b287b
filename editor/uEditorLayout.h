// The main screen's controls: one pointer per control of the layout, null while the editor is
// closed. The editor holds them as a base so that closing forgets them all in one assignment;
// the views themselves are released by the editor (sub-menus by the menu they belong to).
#pragma once

#include <array>

class TControlMenu;
class TEQScreen;
class TKnob;
class TModScreen;
class TOnOff;
class TOptionMenu;
class TRadioButton;
class TRockerButton;
namespace VSTGUI {
class CKickButton;
}  // namespace VSTGUI

// Modulation source and destination selectors: a main menu and its sub-menus on one rectangle.
struct SrcSelector {
  TOptionMenu* main = nullptr;
  TOptionMenu* subs[2] = {};  // kept alive by the main menu
};
struct DestSelector {
  TOptionMenu* main = nullptr;
  std::array<TOptionMenu*, 8> subs{};  // kept alive by the main menu
};

// The views the idle pass also updates (meters, graphs, the Edited lamp, the Disrupt amount knobs
// and slider) are the editor's own members.
struct LayoutControls {
  // Header.
  TOptionMenu* presetMenu = nullptr;
  TOptionMenu* presetSubMenus[8] = {};  // kept alive by presetMenu
  TOptionMenu* folderMenu = nullptr;
  VSTGUI::CKickButton *originalButton = nullptr, *helpButton = nullptr, *managerButton = nullptr,
                      *settingsButton = nullptr;
  TOptionMenu* ecsMenu = nullptr;
  TOnOff* headerSwitch = nullptr;
  TControlMenu* controlMenuArea = nullptr;
  TKnob* headerVolumeKnob = nullptr;
  TRadioButton* tabButtons[4] = {};
  TOptionMenu* pathMenu = nullptr;
  // Distortion box.
  TKnob *mainMixKnob = nullptr, *distortVolumeKnob = nullptr;
  TOptionMenu* distortTypeMenu = nullptr;
  TOptionMenu* distortTypeSubMenus[5] = {};  // kept alive by distortTypeMenu
  TKnob* typeKnobs[8] = {};
  TKnob* typeKnobsCentred[8] = {};
  TKnob* oldEQKnobs[4] = {};
  TKnob* gateKnobs[4] = {};
  TEQScreen* eqScreen = nullptr;
  TOnOff *preEQSwitch = nullptr, *postEQSwitch = nullptr, *oldEQSwitch = nullptr, *gateSwitch = nullptr;
  TRadioButton* eqViewButtons[2] = {};
  // Filter box.
  TKnob* filterKnobs[4] = {};
  TOnOff *highPassSwitch = nullptr, *highPassZDSwitch = nullptr, *lowPassSwitch = nullptr,
         *lowPassZDSwitch = nullptr;
  TRadioButton* highPassTypeButtons[2] = {};
  TRadioButton* lowPassTypeButtons[2] = {};
  // Widener box.
  TKnob* widenerKnobs[3] = {};
  TKnob* chorusKnobs[3] = {};
  TOnOff *widenerOnSwitch = nullptr, *chorusOnSwitch = nullptr, *widenerModeSwitch = nullptr;
  // Bottom box, Disrupt tab.
  TKnob* disruptSpeedKnob = nullptr;
  TOnOff* disruptOnSwitches[7] = {};
  TOnOff *disruptLazySyncSwitch = nullptr, *disruptLazyOnSwitch = nullptr;
  TRockerButton* disruptRocker = nullptr;
  VSTGUI::CKickButton* disruptResetButton = nullptr;
  TOptionMenu *disruptSpringMenu = nullptr, *disruptQuantMenu = nullptr;
  // Follower tab.
  TKnob* followerKnobs[6] = {};
  TKnob* followerAmountKnobs[3] = {};
  TKnob* followerModAmountKnobs[3] = {};
  TOnOff* followerOnSwitches[3] = {};
  TOptionMenu* followerSourceMenu = nullptr;
  DestSelector followerDestMenus[3];
  SrcSelector followerSourceMenus[3];
  // WaveShaper tab.
  TKnob* waveShaperKnobs[4] = {};
  TRadioButton* polarityButtons[2] = {};
  TRadioButton* drawModeButtons[3] = {};
  TOptionMenu* waveShaperModeMenus[2] = {};
  // Mod/LFO tab; the LFO controls exist once per page.
  TOnOff* advancedSwitch = nullptr;
  TModScreen* modScreens[2] = {};  // basic, advanced
  TRadioButton* lfoModeButtons[4][4] = {};
  TKnob *lfoSpeedKnobs[4] = {}, *lfoHumanizeKnobs[4] = {}, *lfoShapeKnobs[4] = {}, *lfoAmountKnobs[4] = {};
  TOnOff* lfoSyncSwitches[4] = {};
  TOptionMenu *lfoWaveMenus[4] = {}, *lfoTriggerMenus[4] = {};
  DestSelector lfoDestMenus[4];
};
