// The main screen's layout: every control of the main screen, made once per open. Nothing is
// added to the frame or the containers here; the show operations decide what is shown where.
//
// Positions are 100 % points relative to the control's container (the frame for the header);
// the corrections after them are added at 150 % and 200 %, where truncated scaling alone would
// leave a control off its artwork.
#include <array>
#include <string>

#include "controls/pluginScreens.h"
#include "knobPlaces.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

constexpr std::array<std::string_view, 8> PRESET_SUB_HEADER_STRING = {
    "Preset 1-32",    "Preset 33-64",   "Preset 65-96",   "Preset 97-128",
    "Preset 129-160", "Preset 161-192", "Preset 193-224", "Preset 225-256"};
constexpr int PRESETS_PER_SUB_MENU = 32;
// The preset menu's commands after its sub-menus ("-" is a separator).
constexpr std::array<std::string_view, 9> PRESET_COMMANDS = {"-",
                                                             "Default Preset",
                                                             "-",
                                                             "Revert to Original Preset",
                                                             "Revert to Edited Preset",
                                                             "-",
                                                             "Set To 100% Screen",
                                                             "Set To 150% Screen",
                                                             "Set To 200% Screen"};
constexpr std::array<std::string_view, 3> ECS_COMMANDS = {"Load ECS", "Save ECS", "Clear All MIDI"};
// The type menu's groups: first type of each, then one past the last type.
constexpr std::array<int, 6> DISTORT_GROUP_START = {1, 31, 43, 45, 50, 52};
constexpr std::array<std::string_view, 5> DISTORT_GROUP_STR = {"Distortion", "2 Band Distortion", "Amp/Cab",
                                                               "Modulation", "WaveShaper"};
constexpr int STYLE_PRESET_SUB_MENU = kNoDrawStyle + 24;

// Knob rows: corrections (dx, dy, caption shift) at 150 % and at 200 %.
struct KnobRow {
  TKnob** out;
  int tag, x, y, style;
  const char* caption;
  int size;
  int dx150, dy150, shift150, dx200, dy200, shift200;
};
// Switches, radios and buttons with a bitmap: corrections (dx, dy) at 150 % and 200 %.
struct ButtonRow {
  int x, y;
  int32_t bitmap;
  int dx150 = 0, dy150 = 0, dx200 = 0, dy200 = 0;
};
struct OnOffRow {
  TOnOff** out;
  int tag;
  ButtonRow at;
};
struct RadioRow {
  TRadioButton** out;
  ButtonRow at;
};
// Menus of a parameter's steps: corrections of the top and the width.
struct MenuRow {
  TOptionMenu** out;
  int tag, x, y, width, height;
  std::span<const std::string_view> texts;
  int dy150, dw150, dy200, dw200;
};

}  // namespace

void uEditor::createControls() {
  if (!plugin || !frame) return;
  shownModulePath = -1;  // the first updatePath lays the boxes out
  CBitmap* sw = switchBitmap();
  const auto knobs = [this](std::initializer_list<KnobRow> rows) {
    for (const KnobRow& r : rows)
      createKnob(*r.out, r.tag, r.x, r.y, r.style, r.caption, r.size, r.dx150, r.dy150, r.shift150, r.dx200,
                 r.dy200, r.shift200);
  };
  const auto onOffs = [this](std::initializer_list<OnOffRow> rows) {
    for (const OnOffRow& r : rows)
      createOnOff(*r.out, r.tag, r.at.x, r.at.y, bitmap(r.at.bitmap), r.at.dx150, r.at.dy150, r.at.dx200,
                  r.at.dy200);
  };
  const auto radios = [this](std::initializer_list<RadioRow> rows) {
    for (const RadioRow& r : rows)
      createRadio(*r.out, r.at.x, r.at.y, bitmap(r.at.bitmap), r.at.dx150, r.at.dy150, r.at.dx200,
                  r.at.dy200);
  };
  // Centred step menus with arrows at both ends.
  const auto menus = [this](std::initializer_list<MenuRow> rows) {
    for (const MenuRow& r : rows)
      createMenu(*r.out, r.tag, r.x, r.y, r.width, r.height, r.texts, true, true, r.dy150, r.dw150, r.dy200,
                 r.dw200);
  };
  const auto screenRect = [this](int x, int y, int w, int h, int dx150 = 0, int dy150 = 0, int dx200 = 0,
                                 int dy200 = 0) {
    const int left = getScaled(x, dx150, dx200), top = getScaled(y, dy150, dy200);
    return CRect(left, top, left + getScaled(w), top + getScaled(h));
  };

  // ---- Header ----
  {
    const CRect r = screenRect(97, 37, 213, 22, 0, 1, 0, -1);
    presetMenu =
        own(new TOptionMenu(r, this, NO_PARAM_TAG, nullptr, nullptr, kNoDrawStyle, screenMode, false, false));
    for (int j = 0; j < 8; ++j) {
      auto* sub = new TOptionMenu(r, this, NO_PARAM_TAG, nullptr, nullptr, STYLE_PRESET_SUB_MENU, screenMode,
                                  true, false);
      for (int n = j * PRESETS_PER_SUB_MENU; n < (j + 1) * PRESETS_PER_SUB_MENU && n < NUM_DEMO_PROGRAMS; ++n)
        sub->addEntry(plugin->getPresetName(n));
      presetMenu->addEntry(sub, std::string(PRESET_SUB_HEADER_STRING[static_cast<size_t>(j)]));
      sub->forget();  // the menu keeps it
      presetSubMenus[j] = sub;
    }
    for (std::string_view t : PRESET_COMMANDS) presetMenu->addEntry(std::string(t));
    presetMenu->setPresetMenu();
    presetMenu->setTextOffset(screenMode);

    folderMenu = own(new TOptionMenu(screenRect(95, 69, 215, 22, 0, 1, 0, -1), this, NO_PARAM_TAG, nullptr,
                                     nullptr, kNoDrawStyle, screenMode, false, false));
    folderMenu->addEntry("Introduction Bank");
    folderMenu->setFolderMenu();
    folderMenu->setTextOffset(screenMode);
  }
  createKickButton(editedButton, 336, 35, bitmap(10055));
  createKickButton(originalButton, 332, 61, bitmap(10056));
  createKickButton(helpButton, 415, 34, bitmap(10057));
  createKickButton(managerButton, 482, 71, 90, 15);
  createMenu(ecsMenu, COMMAND_MENU_TAG, 412, 66, 60, 24, static_cast<int>(ECS_COMMANDS.size()), ECS_COMMANDS,
             true, false, 0, 0, 0, 0);
  onOffs({{&headerSwitch, BYPASS_TAG, {504, 32, 10058}}});
  createKickButton(settingsButton, 710, 26, 345, 81);
  controlMenuArea = own(new TControlMenu(screenRect(1058, 26, 16, 10), this));
  if (CBitmap* vu = vuBitmap()) {
    static constexpr int VU_X[4] = {584, 591, 612, 619};
    for (int i = 0; i < 4; ++i) {
      const int left = getScaled(VU_X[i]), top = getScaled(30);
      vuMeters[i] = own(new TVu(CRect(left, top, left + vu->getWidth(), top + vu->getHeight()), this));
    }
  }
  knobs({{&headerVolumeKnob, VOLUME_TAG, 648, 33, 0, "Volume", 16, 5, 2, -4, 9, 1, -11}});
  radios({{&tabButtons[0], {564, 448, TAB_BMP}},
          {&tabButtons[1], {690, 448, TAB_BMP + 1}},
          {&tabButtons[2], {816, 448, TAB_BMP + 2}},
          {&tabButtons[3], {943, 448, TAB_BMP + 3}}});
  menus({{&pathMenu, MODULE_PATH_TAG, 79, 442, 456, 19, MODULE_PATH_STR, 0, 1, 0, 0}});

  // ---- Distortion box ----
  knobs({{&mainMixKnob, MIX_TAG, 453, 30, 1, "Main Mix", 16, 4, 2, -4, 10, 2, -11},
         {&distortVolumeKnob, VOLUME_TAG, 453, 104, 0, "Volume", 16, 4, 2, -4, 10, 2, -11}});
  {
    const int left = getScaled(174, -4, 0), top = getScaled(6, 0, -1);
    const CRect r(left, top, left + getScaled(171, 2, 0), top + getScaled(19));
    distortTypeMenu = createGroupedMenu(r, DISTORT_TYPE_TAG, true, true, DISTORT_TYPE_STR,
                                        DISTORT_GROUP_START, DISTORT_GROUP_STR, distortTypeSubMenus);
  }
  // The eight type knobs, plain and centred (the type decides which of the pair is shown), and
  // the old EQ's knobs, on the seats the artwork draws for them.
  static constexpr const char* TYPE_CAPTIONS[8] = {"Pre", "Norm", "2", "3", "4", "5", "6", "7"};
  const auto seated = [this](TKnob*& out, int tag, const KnobPlace& p, int style, const char* caption) {
    createKnob(out, tag, p.x, p.y, style, caption, p.size, p.dx150, p.dy150, -4, p.dx200, p.dy200, -11);
  };
  for (int centred = 0; centred < 2; ++centred)
    for (int i = 0; i < NUM_DISTORT_KNOBS; ++i) {
      KnobPlace p = TYPE_KNOB_PLACES[static_cast<size_t>(i)];
      if (centred && i == 4) p.dx150 = 5, p.dy200 = 2;  // the centred knob 4 sits apart from its twin
      seated((centred ? typeKnobsCentred : typeKnobs)[i], DISTORT_KNOB_1_TAG + i, p, centred,
             TYPE_CAPTIONS[i]);
    }
  static constexpr const char* OLD_EQ_CAPTIONS[4] = {"EQ Low", "EQ Mid 1", "EQ Mid 2", "EQ High"};
  for (int i = 0; i < 4; ++i)
    seated(oldEQKnobs[i], OLD_EQ_LOW_TAG + i, OLD_EQ_KNOB_PLACES[static_cast<size_t>(i)], 1,
           OLD_EQ_CAPTIONS[i]);
  knobs({{&gateKnobs[0], 41, 554, 30, 0, "Thresh", 16, 1, 2, -4, 10, 2, -11},
         {&gateKnobs[1], 42, 554, 104, 0, "Attack", 16, 1, 2, -4, 10, 2, -11},
         {&gateKnobs[2], 43, 554, 178, 0, "Hold", 16, 1, 2, -4, 10, 2, -11},
         {&gateKnobs[3], 44, 554, 252, 0, "Release", 16, 1, 2, -4, 10, 2, -11}});
  distortScreen = own(new TDistortScreen(screenRect(22, 66, 100, 101, -4, 0, 0, 1), this, screenMode));
  eqScreen = own(new TEQScreen(screenRect(6, 229, 505, 89, -2, 0, 2, 0), this, screenMode));
  onOffs({{&preEQSwitch, PRE_EQ_ON_TAG, {157, 208, SWITCH_BMP, -7, 0, -4, 0}},
          {&postEQSwitch, POST_EQ_ON_TAG, {354, 208, SWITCH_BMP, -5, 0, -1, 0}},
          {&oldEQSwitch, OLD_EQ_TAG, {390, 208, 10078, -4, 0, 0, 0}}});
  radios({{&eqViewButtons[0], {110, 208, SWITCH_BMP, -6, 0, -3, 0}},
          {&eqViewButtons[1], {307, 208, SWITCH_BMP, -3, 0, 0, 0}}});
  onOffs({{&gateSwitch, GATE_ON_TAG, {522, 0, 10091}}});
  if (CBitmap* lamp = bitmap(10098))
    gateLamp = own(new CMovieBitmap(screenRect(601, 14, 6, 6), this, NO_PARAM_TAG, lamp, CPoint(0, 0)));

  // ---- Filter box ----
  knobs({{&filterKnobs[0], 48, 18, 30, 0, "Freq", 16, 4, 2, -4, 8, 2, -11},
         {&filterKnobs[1], 49, 86, 30, 0, "Q", 16, 5, 2, -4, 8, 2, -11},
         {&filterKnobs[2], 53, 18, 178, 0, "Freq", 16, 4, 2, -4, 8, 3, -11},
         {&filterKnobs[3], 54, 86, 178, 0, "Q", 16, 5, 2, -4, 8, 3, -11}});
  onOffs({{&highPassSwitch, HP_ON_TAG, {0, 0, 10092}},
          {&highPassZDSwitch, HP_ZD_TAG, {113, 117, SWITCH_BMP}},
          {&lowPassSwitch, LP_ON_TAG, {0, 148, 10093}},
          {&lowPassZDSwitch, LP_ZD_TAG, {113, 266, SWITCH_BMP}}});
  radios({{&highPassTypeButtons[0], {49, 107, SWITCH_BMP}},
          {&highPassTypeButtons[1], {49, 127, SWITCH_BMP}},
          {&lowPassTypeButtons[0], {49, 256, SWITCH_BMP}},
          {&lowPassTypeButtons[1], {49, 276, SWITCH_BMP}}});

  // ---- Compressor box ----
  knobs({{&compressorKnobs[0], 56, 51, 104, 0, "Threshold", 16, 5, 1, -4, 8, 4, -11},
         {&compressorKnobs[1], 57, 18, 178, 0, "Ratio", 16, 4, 2, -4, 8, 3, -11},
         {&compressorKnobs[2], 58, 86, 178, 0, "Attack", 16, 4, 2, -4, 8, 2, -11},
         {&compressorKnobs[3], 59, 18, 252, 0, "Release", 16, 4, 2, -4, 8, 2, -11},
         {&compressorKnobs[4], 60, 86, 252, 0, "Volume", 16, 4, 2, -4, 8, 2, -11}});
  onOffs(
      {{&compressorSwitch, COMP_ON_TAG, {0, 0, 10094}}, {&compressorSwitch2, COMP_MODE_TAG, {0, 80, 10052}}});
  if (CBitmap* meter = bitmap(10071)) {
    constexpr int METER_FRAMES = 47;
    compressorMeter =
        own(new CMovieBitmap(screenRect(43, 46, 65, 29, -1, 0, 0, 0), this, NO_PARAM_TAG, METER_FRAMES,
                             meter->getHeight() / METER_FRAMES, meter, CPoint(0, 0)));
  }

  // ---- Widener box ----
  knobs({{&widenerKnobs[0], 62, 27, 104, 0, "Amount", 16, 6, 2, -4, 8, 2, -11},
         {&widenerKnobs[1], 63, 27, 178, 0, "Width", 16, 6, 2, -4, 8, 3, -11},
         {&widenerKnobs[2], 64, 27, 252, 0, "Speed", 16, 6, 2, -4, 8, 2, -11},
         {&chorusKnobs[0], 65, 27, 104, 1, "Mix", 16, 6, 2, -4, 8, 2, -11},
         {&chorusKnobs[1], 66, 27, 178, 0, "Length", 16, 6, 2, -4, 8, 3, -11},
         {&chorusKnobs[2], 68, 27, 252, 0, "Speed", 16, 6, 2, -4, 8, 2, -11}});
  onOffs({{&widenerOnSwitch, WIDENER_ON_TAG, {70, 2, 10095}},
          {&chorusOnSwitch, WIDENER_ON_TAG, {70, 24, 10096}},
          {&widenerModeSwitch, CHORUS_MODE_TAG, {0, 0, 10097}}});
  if (CBitmap* display = bitmap(10070)) {
    constexpr int DISPLAY_FRAMES = 5;
    widenerDisplay =
        own(new CMovieBitmap(screenRect(27, 55, 50, 32, 1, 2, -1, 0), this, NO_PARAM_TAG, DISPLAY_FRAMES,
                             display->getHeight() / DISPLAY_FRAMES, display, CPoint(0, 0)));
  }

  // ---- Bottom box, Disrupt tab ----
  for (int i = 0; i < NUM_DISRUPT_SLOTS; ++i) {
    const KnobPlace& p = DISRUPT_KNOB_PLACES[static_cast<size_t>(i)];
    const std::string caption = "Dis " + std::to_string(i + 1);
    createKnob(disruptKnobs[i], DISRUPT_SLOT_AMT_1_TAG + i, p.x, p.y, 1, caption.c_str(), p.size, p.dx150,
               p.dy150, -12, p.dx200, p.dy200, -23);
  }
  knobs({{&disruptSpeedKnob, DISRUPT_LAZY_SPEED_TAG, 937, 44, 2, "Speed", 16, 5, 0, -4, 9, 0, -11}});
  {
    static constexpr int ON_X[NUM_DISRUPT_SLOTS] = {143, 274, 407, 539, 675, 815, 952};
    for (int i = 0; i < NUM_DISRUPT_SLOTS; ++i)
      onOffs({{&disruptOnSwitches[i], DISRUPT_ON_TAGS[static_cast<size_t>(i)], {ON_X[i], 144, SWITCH_BMP}}});
  }
  onOffs({{&disruptSwitch85, DISRUPT_LAZY_SYNC_TAG, {919, 18, 10076}},
          {&disruptSwitch132, DISRUPT_LAZY_ON_TAG, {986, 18, 10076, -1, 0, -1, 0}}});
  createRocker(disruptRocker, DISRUPT_LAZY_MODE_TAG, 983, 89, bitmap(10077), 5, 4.99f, 0, -4, 0, -6);
  createKickButton(disruptResetButton, 512, 14, sw);
  menus({{&disruptSpringMenu, DISRUPT_SPRING_TAG, 35, 25, 87, 14, DISRUPT_SPRING_TIME_STR, 1, 2, 0, 0},
         {&disruptQuantMenu, DISRUPT_QUANT_TAG, 35, 71, 87, 14, DISRUPT_QUANT_STR, 1, 2, 0, 0}});
  if (CBitmap* handle = sliderModBitmap()) {
    const int left = getScaled(131), top = getScaled(26);
    disruptSlider =
        own(new THorizontalSlider(CRect(left, top, left + getScaled(783), top + handle->getHeight()), this,
                                  DISRUPT_AMOUNT_TAG, static_cast<int32_t>(handle->getWidth())));
    addControl(disruptSlider, false, false, false);
  }

  // ---- Bottom box, Follower tab ----
  knobs({{&followerKnobs[0], 86, 27, 137, 0, "Thresh", 16, 5, 2, -4, 9, 3, -11},
         {&followerKnobs[1], 87, 97, 137, 1, "Boost", 16, 5, 2, -4, 9, 3, -11},
         {&followerKnobs[2], 88, 168, 137, 0, "Smooth", 16, 5, 2, -4, 9, 3, -11},
         {&followerKnobs[3], 89, 237, 137, 0, "Attack", 16, 5, 2, -4, 9, 3, -11},
         {&followerKnobs[4], 90, 307, 137, 0, "Hold", 16, 5, 2, -4, 9, 3, -11},
         {&followerKnobs[5], 91, 377, 137, 0, "Decay", 16, 5, 2, -4, 9, 3, -11},
         {&followerAmountKnobs[0], 92, 655, 3, 1, "Amount 1", 16, 6, 3, -4, 9, 3, -11},
         {&followerAmountKnobs[1], 93, 655, 71, 1, "Amount 2", 16, 6, 3, -4, 9, 3, -11},
         {&followerAmountKnobs[2], 94, 655, 139, 1, "Amount 3", 16, 6, 3, -4, 9, 3, -11},
         {&followerModAmountKnobs[0], 95, 976, 3, 1, "Mod Amt 1", 16, 4, 4, -4, 9, 3, -11},
         {&followerModAmountKnobs[1], 96, 976, 71, 1, "Mod Amt 2", 16, 4, 4, -4, 9, 3, -11},
         {&followerModAmountKnobs[2], 97, 976, 139, 1, "Mod Amt 3", 16, 4, 4, -4, 9, 3, -11}});
  onOffs({{&followerOnSwitches[0], 147, {729, 17, SWITCH_BMP, 0, 1, 0, 0}},
          {&followerOnSwitches[1], 148, {729, 85, SWITCH_BMP, 0, 1, 0, 0}},
          {&followerOnSwitches[2], 149, {729, 154, SWITCH_BMP, 0, 1, 0, 0}}});
  menus({{&followerSourceMenu, FOLLOWER_SOURCE_TAG, 136, 107, 175, 19, FOLLOWER_SRC_STR, 0, 0, -1, 0}});
  followerScreen = own(new TFollowerScreen(screenRect(20, 17, 407, 83), this, screenMode));
  for (int j = 0; j < 3; ++j) {
    const int y = 18 + 69 * j;
    createDestMenu(followerDestMenus[j], FOLLOWER_DEST_1_TAG + j, 475, y, 154, 19, true, true, 0, 2, -1, 0);
    createSrcMenu(followerSourceMenus[j], FOLLOWER_MOD_SRC_1_TAG + j, 796, y, 154, 19, true, true, 0, 1, -1,
                  0);
  }

  // ---- Bottom box, WaveShaper tab ----
  knobs({{&waveShaperKnobs[0], 241, 493, 63, 0, "Amount 1", 16, 5, 1, -4, 9, 2, -11},
         {&waveShaperKnobs[1], 242, 493, 139, 0, "Amount 2", 16, 5, 1, -4, 9, 2, -11},
         {&waveShaperKnobs[2], 244, 917, 63, 0, "Amount 1", 16, 5, 1, -4, 9, 2, -11},
         {&waveShaperKnobs[3], 245, 917, 139, 0, "Amount 2", 16, 5, 1, -4, 9, 2, -11}});
  radios({{&polarityButtons[0], {124, 15, SWITCH_BMP}},
          {&polarityButtons[1], {124, 45, SWITCH_BMP}},
          {&drawModeButtons[0], {124, 93, SWITCH_BMP}},
          {&drawModeButtons[1], {124, 133, SWITCH_BMP}},
          {&drawModeButtons[2], {124, 173, SWITCH_BMP}}});
  createKickButton(applyButtons[0], 557, 174, sw);
  createKickButton(applyButtons[1], 981, 174, sw);
  menus({{&waveShaperModeMenus[0], WAVESHAPER_DISTORT_MODE_TAGS[0], 453, 14, 130, 19,
          WAVESHAPER_DISTORT_MODE_STR, 0, 3, 0, 0},
         {&waveShaperModeMenus[1], WAVESHAPER_DISTORT_MODE_TAGS[1], 876, 14, 130, 19,
          WAVESHAPER_DISTORT_MODE_STR, 0, 3, 0, 0}});
  waveShaperScreens[0] = own(new TWaveShaperScreen(screenRect(238, 16, 186, 186), this, 0, screenMode));
  waveShaperScreens[1] = own(new TWaveShaperScreen(screenRect(661, 16, 186, 186), this, 1, screenMode));

  // ---- Bottom box, Mod/LFO tab ----
  onOffs({{&advancedSwitch, MOD_ADVANCED_TAG, {494, 3, SWITCH_BMP, 4, 0, 2, 0}}});
  modScreens[0] = own(new TModScreen(screenRect(14, 45, 500, 160, 0, 1, 0, 0), this, screenMode, false));
  modScreens[1] = own(new TModScreen(screenRect(14, 45, 500, 160, 0, 1, 0, 0), this, screenMode, true));
  for (int l = 0; l < 4; ++l) {
    const auto L = static_cast<size_t>(l);
    radios({{&lfoPageButtons[l], {548, 23 + 28 * l, SWITCH_BMP}}});
    for (int k = 0; k < 4; ++k) radios({{&lfoModeButtons[l][k], {979, 101 + 22 * k, SWITCH_BMP}}});
    knobs({{&lfoSpeedKnobs[l], LFO_SPEED_TAGS[L], 596, 25, 0, "Speed", 16, 5, 1, -4, 9, 2, -11},
           {&lfoHumanizeKnobs[l], LFO_HUM_TAGS[L], 712, 25, 0, "Humanize", 16, 5, 1, -4, 9, 2, -11},
           {&lfoShapeKnobs[l], LFO_SHAPE_TAGS[L], 712, 110, 1, "Shape", 16, 5, 1, -4, 9, 3, -11},
           {&lfoAmountKnobs[l], LFO_AMT_TAGS[L], 965, 25, 1, "Amount", 16, 6, 1, -4, 9, 2, -11}});
    onOffs({{&lfoSyncSwitches[l], LFO_SYNC_TAGS[L], {668, 37, SWITCH_BMP}}});
    menus({{&lfoWaveMenus[l], LFO_WAVE_TAGS[L], 580, 176, 80, 19, LFO_WAVE_STR, 0, 1, -1, 0},
           {&lfoTriggerMenus[l], LFO_TRIGGER_TAGS[L], 848, 168, 126, 19, LFO_TRIGGER_STR, 0, 0, -1, 0}});
    createDestMenu(lfoDestMenus[l], LFO_DEST_TAGS[L], 822, 38, 125, 19, true, true, 0, 0, -1, 0);
  }
  lfoScreen = own(new TLFOScreen(screenRect(581, 92, 77, 77), this, lfoPage, screenMode));

  // Captions are given again by the first idle pass; nothing of an earlier window is kept.
  for (std::string& c : disruptCaptions) c.clear();
  addLayoutHints();
}

// The fixed hints shown over the main screen's controls, and where a dragged knob may drop its
// modulation. Later hints win over earlier ones for the same view.
void uEditor::addLayoutHints() {
  setHint(presetMenu, "Preset Menu");
  setHint(folderMenu, "Folder Menu");
  setHint(helpButton, "Open Help");
  setHint(editedButton, "Edited Preset");
  setHint(originalButton, "Original Preset");
  setHint(ecsMenu, "ECS Menu");
  setHint(controlMenuArea, "Control Menu");
  static constexpr const char* VU_HINTS[4] = {"Left Input Level", "Right Input Level", "Left Output Level",
                                              "Right Output Level"};
  for (int i = 0; i < 4; ++i) setHint(vuMeters[i], VU_HINTS[i]);
  setHint(settingsButton, "Show Back Screen");
  setHint(managerButton, "Show Manager Screen");
  setHint(distortScreen, "Distort Screen",
          "L/R - Freq, U/D - Amp, R Click/Scroll - Wave, Ctrl/Double Click - Reset");
  setHint(eqViewButtons[0], "Selected EQ", "Show Pre-EQ");
  setHint(eqViewButtons[1], "Selected EQ", "Show Post-EQ");
  setHint(eqScreen, "EQ Screen", "L/R - Freq, U/D - Gain, R Click/Scroll - BandWidth");
  setHint(highPassTypeButtons[0], "Selected HighPass Filter Type", "Select 12 dB HighPass Filter");
  setHint(highPassTypeButtons[1], "Selected HighPass Filter Type", "Select 24 dB HighPass Filter");
  setHint(lowPassTypeButtons[0], "Selected LowPass Filter Type", "Select 12 dB LowPass Filter");
  setHint(lowPassTypeButtons[1], "Selected LowPass Filter Type", "Select 24 dB LowPass Filter");
  setHint(compressorMeter, "Compressor Display");
  setHint(widenerDisplay, "Widener/Chorus Display");
  static constexpr const char* TAB_HINTS[4] = {"Select Disrupt Screen", "Select Follower Screen",
                                               "Select WaveShaper Screen", "Select Mod/LFO Screen"};
  for (int i = 0; i < 4; ++i) setHint(tabButtons[i], "Selected Bottom Screen", TAB_HINTS[i]);
  setHint(disruptResetButton, "Reset Disrupt to Center");
  setHint(followerScreen, "Follower Display",
          "U/D - Boost , L/R - Smooth, Ctrl/Dbl - Reset, Right/Src - Source");
  setHint(modScreens[0], "Basic Mod Screen");
  setHint(modScreens[1], "Advanced Mod Screen");
  for (size_t l = 0; l < 4; ++l) {
    setHint(lfoPageButtons[l], "Selected LFO", "Select LFO " + std::string(LFO_STR[l]));
    for (size_t k = 0; k < 4; ++k)
      setHint(lfoModeButtons[l][k], "Selected LFO Mode", "Select " + std::string(LFO_MODE_STR[k]) + " Mode");
  }
  setHint(lfoScreen, "LFO Screen", "L/R - Shape, Ctrl/Double Click - Default, Scroll - Wave");
  setHint(applyButtons[0], "Apply WaveShaper 1 Distortion");
  setHint(applyButtons[1], "Apply WaveShaper 2 Distortion");
  for (int i = 0; i < 2; ++i)
    setHint(waveShaperScreens[i], i == 0 ? "WaveShaper 1 Screen" : "WaveShaper 2 Screen",
            "Right Click for Menu, Ctrl/Double Click - Default, Scroll for Distort Mode");
  static constexpr const char* DRAW_HINTS[3] = {"Select Point", "Select Line", "Select Erase"};
  for (int i = 0; i < 3; ++i) setHint(drawModeButtons[i], "Selected WaveShaper Draw Mode", DRAW_HINTS[i]);
  setHint(polarityButtons[0], "Selected WaveShaper Mode", "Select Uni-Polar Mode");
  setHint(polarityButtons[1], "Selected WaveShaper Mode", "Select Polar Mode");

  // A matrix screen takes a drop as a new route; the other targets set a destination and amount.
  setDropTarget(modScreens[0], -1, -1);
  setDropTarget(modScreens[1], -1, -1);
  for (int i = 0; i < NUM_DISRUPT_SLOTS; ++i)
    setDropTarget(disruptKnobs[i], DISRUPT_DEST_TAGS[static_cast<size_t>(i)], DISRUPT_SLOT_AMT_1_TAG + i);
  for (int j = 0; j < 3; ++j)
    setDropTarget(followerDestMenus[j].main, FOLLOWER_DEST_1_TAG + j, FOLLOWER_AMT_1_TAG + j);
  for (size_t l = 0; l < 4; ++l) setDropTarget(lfoDestMenus[l].main, LFO_DEST_TAGS[l], LFO_AMT_TAGS[l]);
}

// After removeControls released every view: the layout's own pointers are forgotten.
void uEditor::zeroControls() { static_cast<LayoutControls&>(*this) = LayoutControls{}; }
