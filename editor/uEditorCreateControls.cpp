// The main screen's layout: every control of the main screen, made once per open by the builder
// of its box or tab, which lists what the box shows (and when) where the controls are made.
// Nothing is added to the frame or the containers here: the show operations add what is listed.
//
// Positions and their per-size corrections come from the shared place tables, which the artwork
// generator paints its fields, seats and labels from.
#include <array>
#include <string>

#include "controls/pluginScreens.h"
#include "guiTables.h"
#include "layoutPlaces.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

constexpr std::array<std::string_view, 8> PRESET_SUB_HEADER_STRING = {
    "Preset 1-32",    "Preset 33-64",   "Preset 65-96",   "Preset 97-128",
    "Preset 129-160", "Preset 161-192", "Preset 193-224", "Preset 225-256"};
// The preset menu's commands after its sub-menus ("-" is a separator, which does nothing): the
// menu is built from the titles and a choice is recognised by its title.
struct PresetCommand {
  std::string_view title;
  void (*program)(APlugin&);  // the program it recalls, if any
  int screenSize;             // the screen size it chooses, else -1
};
constexpr PresetCommand PRESET_COMMANDS[] = {
    {"-", nullptr, -1},
    {"Default Preset", [](APlugin& p) { p.defaultProgram(); }, -1},
    {"-", nullptr, -1},
    {"Revert to Original Preset", [](APlugin& p) { p.origProgram(); }, -1},
    {"Revert to Edited Preset", [](APlugin& p) { p.editProgram(); }, -1},
    {"-", nullptr, -1},
    {"Set To 100% Screen", nullptr, 0},
    {"Set To 150% Screen", nullptr, 1},
    {"Set To 200% Screen", nullptr, 2}};
// The ECS menu: entry i runs command i.
struct EcsCommand {
  std::string_view title;
  void (*run)(APlugin&);
};
constexpr EcsCommand ECS_COMMANDS[] = {{"Load ECS", [](APlugin& p) { p.loadECS(); }},
                                       {"Save ECS", [](APlugin& p) { p.saveECS(); }},
                                       {"Clear All MIDI", [](APlugin& p) { p.resetMidi(); }}};
constexpr std::array<std::string_view, std::size(ECS_COMMANDS)> ECS_TITLES = [] {
  std::array<std::string_view, std::size(ECS_COMMANDS)> t{};
  for (size_t i = 0; i < t.size(); ++i) t[i] = ECS_COMMANDS[i].title;
  return t;
}();
constexpr int STYLE_PRESET_SUB_MENU = kNoDrawStyle + 24;

// Knob rows: the caption shifts at 150 % and 200 %.
struct KnobRow {
  TKnob** out;
  int tag;
  const KnobPlace& at;
  int style;
  const char* caption;
  int shift150 = -4, shift200 = -11;
};
struct OnOffRow {
  TOnOff** out;
  int tag;
  const BitmapPlace& at;
};
struct RadioRow {
  TRadioButton** out;
  const BitmapPlace& at;
};
// Menus of a parameter's steps (their left edge is never corrected).
struct MenuRow {
  TOptionMenu** out;
  int tag;
  const AreaPlace& at;
  std::span<const std::string_view> texts;
};

void knobs(uEditor& e, std::initializer_list<KnobRow> rows) {
  for (const KnobRow& r : rows)
    e.createKnob(*r.out, r.tag, r.at.x, r.at.y, r.style, r.caption, r.at.size, r.at.dx150, r.at.dy150,
                 r.shift150, r.at.dx200, r.at.dy200, r.shift200);
}
void onOffs(uEditor& e, std::initializer_list<OnOffRow> rows) {
  for (const OnOffRow& r : rows)
    e.createOnOff(*r.out, r.tag, r.at.x, r.at.y, e.bitmap(r.at.bitmap), r.at.dx150, r.at.dy150, r.at.dx200,
                  r.at.dy200);
}
void radios(uEditor& e, std::initializer_list<RadioRow> rows) {
  for (const RadioRow& r : rows)
    e.createRadio(*r.out, r.at.x, r.at.y, e.bitmap(r.at.bitmap), r.at.dx150, r.at.dy150, r.at.dx200,
                  r.at.dy200);
}
// Centred step menus with arrows at both ends.
void menus(uEditor& e, std::initializer_list<MenuRow> rows) {
  for (const MenuRow& r : rows)
    e.createMenu(*r.out, r.tag, r.at.x, r.at.y, r.at.w, r.at.h, r.texts, true, true, r.at.dy150, r.at.dw150,
                 r.at.dy200, r.at.dw200);
}
CRect screenRect(const uEditor& e, const AreaPlace& a) {
  const PixelRect r = placeRect(a, e.getScreenMode());
  return CRect(r.left, r.top, r.right, r.bottom);
}
void kick(uEditor& e, CKickButton*& out, const BitmapPlace& at) {
  e.createKickButton(out, at.x, at.y, e.bitmap(at.bitmap), at.dx150, at.dy150, at.dx200, at.dy200);
}
void kickArea(uEditor& e, CKickButton*& out, const AreaPlace& a) {
  e.createKickButton(out, a.x, a.y, a.w, a.h, a.dx150, a.dy150, a.dx200, a.dy200);
}
// A knob on a seat the artwork draws for it (its caption shifts as every knob's does).
void seated(uEditor& e, TKnob*& out, int tag, const KnobPlace& p, int style, const char* caption) {
  e.createKnob(out, tag, p.x, p.y, style, caption, p.size, p.dx150, p.dy150, -4, p.dx200, p.dy200, -11);
}
// A meter or display: frames of one bitmap stacked from the top.
CMovieBitmap* movie(uEditor& e, const AreaPlace& at, int bitmapId, int frames) {
  CBitmap* strip = e.bitmap(bitmapId);
  if (!strip) return nullptr;
  return e.own(new CMovieBitmap(screenRect(e, at), &e, NO_PARAM_TAG, frames, strip->getHeight() / frames,
                                strip, CPoint(0, 0)));
}

std::string_view sourceText(int source) {
  return SRC_STR[static_cast<size_t>(std::clamp(source, 0, static_cast<int>(SRC_STR.size()) - 1))];
}

// Listed views: always shown, shown while `when` holds, or a radio button lit while `on` holds.
uEditor::ListedView always(CView* v) { return {v, {}, {}}; }
uEditor::ListedView shownWhen(CView* v, std::function<bool()> when) { return {v, std::move(when), {}}; }
uEditor::ListedView lit(CControl* radio, std::function<bool()> on, std::function<bool()> when = {}) {
  return {radio, std::move(when), [radio, on = std::move(on)] {
            radio->setValue(on() ? 1.0f : 0.0f);
            radio->setDirty();
          }};
}
// A step menu shown with its current step.
uEditor::ListedView resumed(uEditor& e, TOptionMenu* m, std::function<bool()> when = {}) {
  return {m, std::move(when), [&e, m] { e.setMenuResume(m); }};
}

}  // namespace

void uEditor::createControls() {
  if (!plugin || !frame) return;
  shownModulePath = -1;  // the first updatePath lays the boxes out
  createHeader();
  createDistortBox();
  createFilterBox();
  createCompressorBox();
  createWidenerBox();
  createDisruptTab();
  createFollowerTab();
  createWaveShaperTab();
  createModTab();
  // Captions are given again by the first idle pass; nothing of an earlier window is kept.
  for (std::string& c : disruptCaptions) c.clear();
  addLayoutHints();
}

void uEditor::createPresetMenus() {
  const CRect r = screenRect(*this, PRESET_MENU_PLACE);
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
    bindAction(sub, [this, j](const ControlEvent& e) {
      if (e.index >= 0) plugin->setDemoProgram(PRESETS_PER_SUB_MENU * j + e.index);
    });
  }
  for (const PresetCommand& c : PRESET_COMMANDS) presetMenu->addEntry(std::string(c.title));
  bindAction(presetMenu, [this](const ControlEvent& e) { runPresetCommand(e.title); });
  presetMenu->setPresetMenu();
  presetMenu->setTextOffset(screenMode);

  folderMenu = own(new TOptionMenu(screenRect(*this, FOLDER_MENU_PLACE), this, NO_PARAM_TAG, nullptr, nullptr,
                                   kNoDrawStyle, screenMode, false, false));
  folderMenu->addEntry("Introduction Bank");
  folderMenu->setFolderMenu();
  folderMenu->setTextOffset(screenMode);
}

void uEditor::createHeader() {
  createPresetMenus();
  kick(*this, editedButton, EDITED_BUTTON_PLACE);
  kick(*this, originalButton, ORIGINAL_BUTTON_PLACE);
  for (auto [button, program] :
       {std::pair<CKickButton*, void (*)(APlugin&)>{originalButton, [](APlugin& p) { p.origProgram(); }},
        std::pair<CKickButton*, void (*)(APlugin&)>{editedButton, [](APlugin& p) { p.editProgram(); }}}) {
    bindAction(button, [this, step = program](const ControlEvent& e) {
      if (!e.pressed()) return;
      step(*plugin);
      pathRefresh = true;
      resume();
    });
  }
  kick(*this, helpButton, HELP_BUTTON_PLACE);
  bindAction(helpButton, [this](const ControlEvent& e) {
    if (e.pressed()) openHelp();
  });
  kickArea(*this, managerButton, MANAGER_AREA_PLACE);
  {
    const AreaPlace& a = ECS_MENU_PLACE;
    createMenu(ecsMenu, COMMAND_MENU_TAG, a.x, a.y, a.w, a.h, static_cast<int>(ECS_TITLES.size()), ECS_TITLES,
               true, false, a.dy150, a.dw150, a.dy200, a.dw200);
    bindAction(ecsMenu, [this](const ControlEvent& e) {
      if (e.index >= 0 && e.index < static_cast<int>(std::size(ECS_COMMANDS)))
        ECS_COMMANDS[static_cast<size_t>(e.index)].run(*plugin);
    });
  }
  onOffs(*this, {{&headerSwitch, BYPASS_TAG, HEADER_SWITCH_PLACE}});
  kickArea(*this, settingsButton, SETTINGS_AREA_PLACE);
  bindAction(settingsButton, [this](const ControlEvent& e) {
    if (e.pressed()) showBackside();
  });
  controlMenuArea = own(new TControlMenu(screenRect(*this, CONTROL_MENU_AREA_PLACE), this));
  if (CBitmap* vu = vuBitmap()) {
    for (int i = 0; i < 4; ++i) {
      const PixelRect r = placeRect(VU_METER_PLACES[static_cast<size_t>(i)], screenMode,
                                    static_cast<int>(vu->getWidth()), static_cast<int>(vu->getHeight()));
      vuMeters[i] = own(new TVu(CRect(r.left, r.top, r.right, r.bottom), this));
    }
  }
  knobs(*this, {{&headerVolumeKnob, VOLUME_TAG, HEADER_VOLUME_KNOB_PLACE, 0, "Volume"}});
  for (int i = 0; i < NUM_BOTTOM_TABS; ++i) {
    radios(*this, {{&tabButtons[i], TAB_BUTTON_PLACES[static_cast<size_t>(i)]}});
    bindAction(tabButtons[i], [this, i](const ControlEvent&) {
      setBottomTab(i);
      resume();
    });
  }
  menus(*this, {{&pathMenu, MODULE_PATH_TAG, PATH_MENU_PLACE, MODULE_PATH_STR}});

  // The frame shows them over the boxes, in this order.
  mainShown = {{presetMenu, {}, [this] { showCurrentPresetMenu(); }},
               {folderMenu, {}, [this] { folderMenu->setString("Introduction Bank"); }}};
  for (CView* v : std::initializer_list<CView*>{
           ecsMenu, controlMenuArea, helpButton, editedButton, originalButton, headerSwitch, managerButton,
           settingsButton, vuMeters[0], vuMeters[1], vuMeters[2], vuMeters[3], headerVolumeKnob})
    mainShown.push_back(always(v));
  for (int i = 0; i < NUM_BOTTOM_TABS; ++i)
    mainShown.push_back(lit(tabButtons[i], [this, i] { return bottomTab == i; }));
  mainShown.push_back(always(pathMenu));
}

void uEditor::createDistortTypeMenu() {
  const CRect r = screenRect(*this, DISTORT_TYPE_MENU_PLACE);
  distortTypeMenu = own(newMenu(DISTORT_TYPE_TAG, r, true, true));
  distortTypeMenu->addEntry(std::string(DISTORT_TYPE_STR[0]));
  for (size_t g = 0; g < DISTORT_GROUP_STR.size(); ++g) {
    TOptionMenu* sub = newMenu(DISTORT_TYPE_TAG, r, true, true);
    for (int t = DISTORT_GROUP_START[g]; t < DISTORT_GROUP_START[g + 1]; ++t)
      sub->addEntry(std::string(DISTORT_TYPE_STR[static_cast<size_t>(t)]));
    distortTypeMenu->addEntry(sub, std::string(DISTORT_GROUP_STR[g]));
    sub->forget();  // the menu keeps it
    distortTypeSubMenus[g] = sub;
  }
  addControl(distortTypeMenu, false, false, true);
}

void uEditor::createDistortBox() {
  knobs(*this, {{&mainMixKnob, MIX_TAG, MAIN_MIX_KNOB_PLACE, 1, "Main Mix"},
                {&distortVolumeKnob, VOLUME_TAG, DISTORT_VOLUME_KNOB_PLACE, 0, "Volume"}});
  createDistortTypeMenu();
  // The eight type knobs, plain and centred (the type decides which of the pair is shown), and
  // the old EQ's knobs, on the seats the artwork draws for them.
  static constexpr const char* TYPE_CAPTIONS[8] = {"Pre", "Norm", "2", "3", "4", "5", "6", "7"};
  for (int centred = 0; centred < 2; ++centred)
    for (int i = 0; i < NUM_DISTORT_KNOBS; ++i)
      seated(*this, (centred ? typeKnobsCentred : typeKnobs)[i], DISTORT_KNOB_1_TAG + i,
             (centred ? TYPE_KNOB_CENTRED_PLACES : TYPE_KNOB_PLACES)[static_cast<size_t>(i)], centred,
             TYPE_CAPTIONS[i]);
  static constexpr const char* OLD_EQ_CAPTIONS[4] = {"EQ Low", "EQ Mid 1", "EQ Mid 2", "EQ High"};
  for (int i = 0; i < 4; ++i)
    seated(*this, oldEQKnobs[i], OLD_EQ_LOW_TAG + i, OLD_EQ_KNOB_PLACES[static_cast<size_t>(i)], 1,
           OLD_EQ_CAPTIONS[i]);
  static constexpr const char* GATE_CAPTIONS[4] = {"Thresh", "Attack", "Hold", "Release"};
  for (int i = 0; i < 4; ++i)
    knobs(*this, {{&gateKnobs[i], GATE_THRESHOLD_TAG + i, GATE_KNOB_PLACES[static_cast<size_t>(i)], 0,
                   GATE_CAPTIONS[i]}});
  distortScreen = own(new TDistortScreen(screenRect(*this, DISTORT_SCREEN_PLACE), this, screenMode));
  eqScreen = own(new TEQScreen(screenRect(*this, EQ_SCREEN_PLACE), this, screenMode));
  onOffs(*this, {{&preEQSwitch, PRE_EQ_ON_TAG, PRE_EQ_SWITCH_PLACE},
                 {&postEQSwitch, POST_EQ_ON_TAG, POST_EQ_SWITCH_PLACE},
                 {&oldEQSwitch, OLD_EQ_TAG, OLD_EQ_SWITCH_PLACE}});
  radios(*this,
         {{&eqViewButtons[0], EQ_VIEW_BUTTON_PLACES[0]}, {&eqViewButtons[1], EQ_VIEW_BUTTON_PLACES[1]}});
  for (int i = 0; i < 2; ++i) {
    bindAction(eqViewButtons[i], [this, i](const ControlEvent&) {
      setSelectedEQ(i);
      resume();
    });
  }
  onOffs(*this, {{&gateSwitch, GATE_ON_TAG, GATE_SWITCH_PLACE}});
  if (CBitmap* lamp = bitmap(GATE_LAMP_BMP))
    gateLamp =
        own(new CMovieBitmap(screenRect(*this, GATE_LAMP_PLACE), this, NO_PARAM_TAG, lamp, CPoint(0, 0)));
  listDistortBox();
}

// The distortion box shows the type's knobs (each slot's plain or centred knob, named after the
// type), then its fixed controls, and either the EQ screen or, for the old EQ, its knobs.
void uEditor::listDistortBox() {
  ViewList& list = distortPass.shown;
  for (int i = 0; i < NUM_DISTORT_KNOBS; ++i) {
    for (int centred = 0; centred < 2; ++centred) {
      TKnob* knob = (centred ? typeKnobsCentred : typeKnobs)[i];
      const auto slot = static_cast<size_t>(i);
      list.push_back({knob,
                      [this, slot, centred] {
                        const auto type = static_cast<size_t>(shownDistortType());
                        return type != 0 && slot < static_cast<size_t>(std::max(FX_DIALS[type], 1)) &&
                               (FX_DIAL_IS_CENTERED[type][slot] != 0) == (centred != 0);
                      },
                      [this, slot] {
                        // Both knobs of the slot carry the type's caption, ready for the next type.
                        const auto type = static_cast<size_t>(shownDistortType());
                        const std::string caption(DISTORT_LABEL_STR[type * NUM_DISTORT_KNOBS + slot]);
                        for (TKnob* k : {typeKnobs[slot], typeKnobsCentred[slot]})
                          if (k) k->setString(caption);
                      }});
    }
  }
  list.push_back(always(mainMixKnob));
  list.push_back(always(distortVolumeKnob));
  list.push_back({distortTypeMenu, {}, [this] {
                    distortTypeMenu->setString(
                        std::string(DISTORT_TYPE_STR[static_cast<size_t>(shownDistortType())]));
                  }});
  list.push_back(always(distortScreen));
  list.push_back(shownWhen(oldEQSwitch, [this] { return selectedEQ == 1; }));
  list.push_back(always(preEQSwitch));
  list.push_back(always(postEQSwitch));
  for (int i = 0; i < 2; ++i) list.push_back(lit(eqViewButtons[i], [this, i] { return selectedEQ == i; }));
  list.push_back({eqScreen, [this] { return !oldEQShown(); }, [this] { eqScreen->setEQ(selectedEQ); }});
  for (TKnob* k : oldEQKnobs) list.push_back(shownWhen(k, [this] { return oldEQShown(); }));
  list.push_back(always(gateSwitch));
  for (TKnob* k : gateKnobs) list.push_back(always(k));
  list.push_back(always(gateLamp));
}

void uEditor::createFilterBox() {
  knobs(*this, {{&filterKnobs[0], HP_FREQ_TAG, FILTER_KNOB_PLACES[0], 0, "Freq"},
                {&filterKnobs[1], HP_Q_TAG, FILTER_KNOB_PLACES[1], 0, "Q"},
                {&filterKnobs[2], LP_FREQ_TAG, FILTER_KNOB_PLACES[2], 0, "Freq"},
                {&filterKnobs[3], LP_Q_TAG, FILTER_KNOB_PLACES[3], 0, "Q"}});
  onOffs(*this, {{&highPassSwitch, HP_ON_TAG, HIGH_PASS_SWITCH_PLACE},
                 {&highPassZDSwitch, HP_ZD_TAG, HIGH_PASS_ZD_SWITCH_PLACE},
                 {&lowPassSwitch, LP_ON_TAG, LOW_PASS_SWITCH_PLACE},
                 {&lowPassZDSwitch, LP_ZD_TAG, LOW_PASS_ZD_SWITCH_PLACE}});
  radios(*this, {{&highPassTypeButtons[0], HIGH_PASS_TYPE_PLACES[0]},
                 {&highPassTypeButtons[1], HIGH_PASS_TYPE_PLACES[1]},
                 {&lowPassTypeButtons[0], LOW_PASS_TYPE_PLACES[0]},
                 {&lowPassTypeButtons[1], LOW_PASS_TYPE_PLACES[1]}});
  ViewList& list = filterPass.shown;
  for (auto [buttons, tag] :
       {std::pair{highPassTypeButtons, HP_TYPE_TAG}, std::pair{lowPassTypeButtons, LP_TYPE_TAG}}) {
    for (int i = 0; i < 2; ++i) {
      bindAction(buttons[i], [this, i, typeTag = tag](const ControlEvent&) {
        plugin->setParameter(typeTag, static_cast<float>(i));
        resume();
      });
      list.push_back(lit(buttons[i],
                         [this, i, typeTag = tag] { return (plugin->getFilterType(typeTag) ? 1 : 0) == i; }));
    }
  }
  for (CView* v :
       std::initializer_list<CView*>{highPassSwitch, highPassZDSwitch, lowPassSwitch, lowPassZDSwitch,
                                     filterKnobs[0], filterKnobs[1], filterKnobs[2], filterKnobs[3]})
    list.push_back(always(v));
}

// Its contents never change: the box shows what is listed here, in that order.
void uEditor::createCompressorBox() {
  TKnob* k[5] = {};
  knobs(*this, {{&k[0], COMP_THRESHOLD_TAG, COMPRESSOR_KNOB_PLACES[0], 0, "Threshold"},
                {&k[1], COMP_RATIO_TAG, COMPRESSOR_KNOB_PLACES[1], 0, "Ratio"},
                {&k[2], COMP_ATTACK_TAG, COMPRESSOR_KNOB_PLACES[2], 0, "Attack"},
                {&k[3], COMP_RELEASE_TAG, COMPRESSOR_KNOB_PLACES[3], 0, "Release"},
                {&k[4], COMP_VOLUME_TAG, COMPRESSOR_KNOB_PLACES[4], 0, "Volume"}});
  TOnOff *on = nullptr, *mode = nullptr;
  onOffs(*this,
         {{&on, COMP_ON_TAG, COMPRESSOR_SWITCH_PLACE}, {&mode, COMP_MODE_TAG, COMPRESSOR_MODE_SWITCH_PLACE}});
  constexpr int METER_FRAMES = 47;
  compressorMeter = movie(*this, COMPRESSOR_METER_PLACE, COMPRESSOR_METER_BMP, METER_FRAMES);
  for (CView* v : std::initializer_list<CView*>{on, mode, k[0], k[1], k[2], k[3], k[4], compressorMeter})
    compressorPass.shown.push_back(always(v));
}

// The chorus knobs sit where the widener's do; the mode decides which set is shown.
void uEditor::createWidenerBox() {
  knobs(*this, {{&widenerKnobs[0], WIDENER_AMOUNT_TAG, WIDENER_KNOB_PLACES[0], 0, "Amount"},
                {&widenerKnobs[1], WIDENER_WIDTH_TAG, WIDENER_KNOB_PLACES[1], 0, "Width"},
                {&widenerKnobs[2], WIDENER_SPEED_TAG, WIDENER_KNOB_PLACES[2], 0, "Speed"},
                {&chorusKnobs[0], CHORUS_MIX_TAG, WIDENER_KNOB_PLACES[0], 1, "Mix"},
                {&chorusKnobs[1], CHORUS_LENGTH_TAG, WIDENER_KNOB_PLACES[1], 0, "Length"},
                {&chorusKnobs[2], CHORUS_SPEED_TAG, WIDENER_KNOB_PLACES[2], 0, "Speed"}});
  onOffs(*this, {{&widenerOnSwitch, WIDENER_ON_TAG, WIDENER_ON_SWITCH_PLACE},
                 {&chorusOnSwitch, WIDENER_ON_TAG, CHORUS_ON_SWITCH_PLACE},
                 {&widenerModeSwitch, CHORUS_MODE_TAG, WIDENER_MODE_SWITCH_PLACE}});
  constexpr int DISPLAY_FRAMES = 5;
  widenerDisplay = movie(*this, WIDENER_DISPLAY_PLACE, WIDENER_DISPLAY_BMP, DISPLAY_FRAMES);
  ViewList& list = widenerPass.shown;
  const auto chorus = [this] { return plugin->getOnOff(CHORUS_MODE_TAG); };
  const auto widener = [this] { return !plugin->getOnOff(CHORUS_MODE_TAG); };
  for (TKnob* k : widenerKnobs) list.push_back(shownWhen(k, widener));
  for (TKnob* k : chorusKnobs) list.push_back(shownWhen(k, chorus));
  list.push_back(shownWhen(widenerOnSwitch, widener));
  list.push_back(shownWhen(chorusOnSwitch, chorus));
  list.push_back(always(widenerModeSwitch));
  list.push_back(always(widenerDisplay));
}

void uEditor::createDisruptTab() {
  ViewList& list = bottomTabShown[DISRUPT_TAB];
  for (int i = 0; i < NUM_DISRUPT_SLOTS; ++i) {
    const KnobPlace& p = DISRUPT_KNOB_PLACES[static_cast<size_t>(i)];
    const std::string caption = "Dis " + std::to_string(i + 1);
    createKnob(disruptKnobs[i], DISRUPT_SLOT_AMT_1_TAG + i, p.x, p.y, 1, caption.c_str(), p.size, p.dx150,
               p.dy150, -12, p.dx200, p.dy200, -23);
    list.push_back(always(disruptKnobs[i]));
  }
  knobs(*this, {{&disruptSpeedKnob, DISRUPT_LAZY_SPEED_TAG, DISRUPT_SPEED_KNOB_PLACE, 2, "Speed"}});
  list.push_back(always(disruptSpeedKnob));
  for (int i = 0; i < NUM_DISRUPT_SLOTS; ++i) {
    onOffs(*this, {{&disruptOnSwitches[i], DISRUPT_ON_TAGS[static_cast<size_t>(i)],
                    DISRUPT_ON_SWITCH_PLACES[static_cast<size_t>(i)]}});
    list.push_back(always(disruptOnSwitches[i]));
  }
  onOffs(*this, {{&disruptLazySyncSwitch, DISRUPT_LAZY_SYNC_TAG, DISRUPT_SYNC_SWITCH_PLACE},
                 {&disruptLazyOnSwitch, DISRUPT_LAZY_ON_TAG, DISRUPT_LAZY_ON_SWITCH_PLACE}});
  // Lazy mode's rocker: the only control of that setting.
  const BitmapPlace& b = DISRUPT_ROCKER_PLACE;
  createRocker(disruptRocker, DISRUPT_LAZY_MODE_TAG, b.x, b.y, bitmap(b.bitmap), 5, 4.99f, b.dx150, b.dy150,
               b.dx200, b.dy200);
  kick(*this, disruptResetButton, DISRUPT_RESET_BUTTON_PLACE);
  bindAction(disruptResetButton, [this](const ControlEvent& e) {
    if (e.pressed()) plugin->setParameterAutomated(DISRUPT_AMOUNT_TAG, 0.5f);
  });
  menus(*this, {{&disruptSpringMenu, DISRUPT_SPRING_TAG, DISRUPT_SPRING_MENU_PLACE, DISRUPT_SPRING_TIME_STR},
                {&disruptQuantMenu, DISRUPT_QUANT_TAG, DISRUPT_QUANT_MENU_PLACE, DISRUPT_QUANT_STR}});
  if (CBitmap* handle = sliderModBitmap()) {
    const PixelRect r = placeRect(DISRUPT_SLIDER_PLACE, screenMode);
    disruptSlider =
        own(new THorizontalSlider(CRect(r.left, r.top, r.right, r.top + handle->getHeight()), this,
                                  DISRUPT_AMOUNT_TAG, static_cast<int32_t>(handle->getWidth())));
    addControl(disruptSlider, false, false, false);
  }
  for (CView* v : std::initializer_list<CView*>{disruptLazySyncSwitch, disruptLazyOnSwitch, disruptRocker})
    list.push_back(always(v));
  list.push_back(resumed(*this, disruptSpringMenu));
  list.push_back(resumed(*this, disruptQuantMenu));
  list.push_back(always(disruptSlider));
  list.push_back(always(disruptResetButton));
}

void uEditor::createFollowerTab() {
  static constexpr const char* FOLLOWER_CAPTIONS[6] = {"Thresh", "Boost", "Smooth",
                                                       "Attack", "Hold",  "Decay"};
  for (int i = 0; i < 6; ++i)
    knobs(*this, {{&followerKnobs[i], FOLLOWER_THRESHOLD_TAG + i,
                   FOLLOWER_KNOB_PLACES[static_cast<size_t>(i)], i == 1 ? 1 : 0, FOLLOWER_CAPTIONS[i]}});
  static constexpr const char* AMOUNT_CAPTIONS[3] = {"Amount 1", "Amount 2", "Amount 3"};
  static constexpr const char* MOD_AMOUNT_CAPTIONS[3] = {"Mod Amt 1", "Mod Amt 2", "Mod Amt 3"};
  for (int j = 0; j < 3; ++j)
    knobs(*this, {{&followerAmountKnobs[j], FOLLOWER_AMT_1_TAG + j,
                   FOLLOWER_AMOUNT_KNOB_PLACES[static_cast<size_t>(j)], 1, AMOUNT_CAPTIONS[j]}});
  for (int j = 0; j < 3; ++j)
    knobs(*this, {{&followerModAmountKnobs[j], FOLLOWER_MOD_AMT_1_TAG + j,
                   FOLLOWER_MOD_AMOUNT_KNOB_PLACES[static_cast<size_t>(j)], 1, MOD_AMOUNT_CAPTIONS[j]}});
  for (int j = 0; j < 3; ++j)
    onOffs(*this, {{&followerOnSwitches[j], FOLLOWER_BYPASS_1_TAG + j,
                    FOLLOWER_ON_SWITCH_PLACES[static_cast<size_t>(j)]}});
  menus(*this, {{&followerSourceMenu, FOLLOWER_SOURCE_TAG, FOLLOWER_SOURCE_MENU_PLACE, FOLLOWER_SRC_STR}});
  followerScreen = own(new TFollowerScreen(screenRect(*this, FOLLOWER_SCREEN_PLACE), this, screenMode));
  for (int j = 0; j < 3; ++j) {
    const AreaPlace& d = FOLLOWER_DEST_MENU_PLACES[static_cast<size_t>(j)];
    const AreaPlace& s = FOLLOWER_MOD_SOURCE_MENU_PLACES[static_cast<size_t>(j)];
    createDestMenu(followerDestMenus[j].main, followerDestMenus[j].subs, FOLLOWER_DEST_1_TAG + j, d.x, d.y,
                   d.w, d.h, true, true, d.dy150, d.dw150, d.dy200, d.dw200);
    createSrcMenu(followerSourceMenus[j].main, followerSourceMenus[j].subs[0], followerSourceMenus[j].subs[1],
                  FOLLOWER_MOD_SRC_1_TAG + j, s.x, s.y, s.w, s.h, true, true, s.dy150, s.dw150, s.dy200,
                  s.dw200);
  }
  listFollowerTab();
}

// The follower's knobs, then each output's switch and its destination and source menus named
// after their current choice, then the source menu and the screen.
void uEditor::listFollowerTab() {
  ViewList& list = bottomTabShown[FOLLOWER_TAB];
  for (TKnob* k : followerKnobs) list.push_back(always(k));
  for (TKnob* k : followerAmountKnobs) list.push_back(always(k));
  for (TKnob* k : followerModAmountKnobs) list.push_back(always(k));
  for (int j = 0; j < 3; ++j) {
    list.push_back(always(followerOnSwitches[j]));
    TOptionMenu *dest = followerDestMenus[j].main, *source = followerSourceMenus[j].main;
    list.push_back({dest, {}, [this, dest, j] {
                      dest->setString(getDestMenuName(plugin->getDestForTag(FOLLOWER_DEST_1_TAG + j)));
                    }});
    list.push_back({source, {}, [this, source, j] {
                      source->setString(
                          std::string(sourceText(plugin->getSrcForTag(FOLLOWER_MOD_SRC_1_TAG + j))));
                    }});
  }
  list.push_back(resumed(*this, followerSourceMenu));
  list.push_back(always(followerScreen));
}

void uEditor::createWaveShaperTab() {
  knobs(*this,
        {{&waveShaperKnobs[0], WAVESHAPER_DISTORT_1_TAGS[0], WAVESHAPER_KNOB_PLACES[0], 0, "Amount 1"},
         {&waveShaperKnobs[1], WAVESHAPER_DISTORT_2_TAGS[0], WAVESHAPER_KNOB_PLACES[1], 0, "Amount 2"},
         {&waveShaperKnobs[2], WAVESHAPER_DISTORT_1_TAGS[1], WAVESHAPER_KNOB_PLACES[2], 0, "Amount 1"},
         {&waveShaperKnobs[3], WAVESHAPER_DISTORT_2_TAGS[1], WAVESHAPER_KNOB_PLACES[3], 0, "Amount 2"}});
  ViewList& list = bottomTabShown[WAVESHAPER_TAB];
  // The wave-shaper's buttons act on the press only.
  for (int i = 0; i < 2; ++i) {
    radios(*this, {{&polarityButtons[i], POLARITY_BUTTON_PLACES[static_cast<size_t>(i)]}});
    bindAction(polarityButtons[i], [this, i](const ControlEvent& e) {
      if (!e.pressed()) return;
      plugin->setParameterAutomated(WAVESHAPER_POLAR_TAG, static_cast<float>(i));
      bottomPass.refresh = true;
    });
    list.push_back(
        lit(polarityButtons[i], [this, i] { return (plugin->getWaveShaperPolarMode() ? 1 : 0) == i; }));
  }
  for (int i = 0; i < 3; ++i) {
    radios(*this, {{&drawModeButtons[i], DRAW_MODE_BUTTON_PLACES[static_cast<size_t>(i)]}});
    bindAction(drawModeButtons[i], [this, i](const ControlEvent& e) {
      if (!e.pressed()) return;
      waveShaperDrawMode = i;
      bottomPass.refresh = true;
    });
    list.push_back(lit(drawModeButtons[i], [this, i] { return waveShaperDrawMode == i; }));
  }
  CKickButton* apply[2] = {};
  for (int i = 0; i < 2; ++i) {
    kick(*this, apply[i], APPLY_BUTTON_PLACES[static_cast<size_t>(i)]);
    setHint(apply[i], i == 0 ? "Apply WaveShaper 1 Distortion" : "Apply WaveShaper 2 Distortion");
    // Apply writes the distortion curve the screen draws into the shaper's points.
    bindAction(apply[i], [this, i](const ControlEvent& e) {
      if (!e.pressed()) return;
      for (int p = 0; p < WAVESHAPER_POINTS; ++p)
        plugin->setParameter(WAVESHAPER_START_TAG[static_cast<size_t>(i)] + p,
                             getWaveShaperDistortValues(i, p));
      requestHostReread();
      bottomPass.refresh = true;
    });
  }
  menus(*this, {{&waveShaperModeMenus[0], WAVESHAPER_DISTORT_MODE_TAGS[0], WAVESHAPER_MODE_MENU_PLACES[0],
                 WAVESHAPER_DISTORT_MODE_STR},
                {&waveShaperModeMenus[1], WAVESHAPER_DISTORT_MODE_TAGS[1], WAVESHAPER_MODE_MENU_PLACES[1],
                 WAVESHAPER_DISTORT_MODE_STR}});
  for (int i = 0; i < 2; ++i)
    waveShaperScreens[i] = own(new TWaveShaperScreen(
        screenRect(*this, WAVESHAPER_SCREEN_PLACES[static_cast<size_t>(i)]), this, i, screenMode));
  for (TKnob* k : waveShaperKnobs) list.push_back(always(k));
  for (TWaveShaperScreen* screen : waveShaperScreens)
    list.push_back({screen, {}, [this, screen] { screen->setDrawMode(waveShaperDrawMode); }});
  for (TOptionMenu* m : waveShaperModeMenus) list.push_back(resumed(*this, m));
  for (CKickButton* button : apply) list.push_back(always(button));
}

// One set of LFO controls per page, on the same places; the tab shows the shown page's set.
void uEditor::createLfoPage(int l) {
  ViewList& list = bottomTabShown[MOD_TAB];
  const auto L = static_cast<size_t>(l);
  const auto onPage = [this, l] { return lfoPage == l; };
  for (int k = 0; k < 4; ++k) {
    radios(*this, {{&lfoModeButtons[l][k], LFO_MODE_BUTTON_PLACES[static_cast<size_t>(k)]}});
    // Only the shown page's buttons count.
    bindAction(lfoModeButtons[l][k], [this, l, k](const ControlEvent&) {
      if (l != lfoPage) return;
      plugin->setSteppedValue(LFO_MODE_TAGS[static_cast<size_t>(l)], k);
      resume();
    });
    list.push_back(lit(
        lfoModeButtons[l][k], [this, l, k] { return plugin->getLFOMode(l) == k; }, onPage));
  }
  knobs(*this, {{&lfoSpeedKnobs[l], LFO_SPEED_TAGS[L], LFO_SPEED_KNOB_PLACE, 0, "Speed"},
                {&lfoHumanizeKnobs[l], LFO_HUM_TAGS[L], LFO_HUMANIZE_KNOB_PLACE, 0, "Humanize"},
                {&lfoShapeKnobs[l], LFO_SHAPE_TAGS[L], LFO_SHAPE_KNOB_PLACE, 1, "Shape"},
                {&lfoAmountKnobs[l], LFO_AMT_TAGS[L], LFO_AMOUNT_KNOB_PLACE, 1, "Amount"}});
  onOffs(*this, {{&lfoSyncSwitches[l], LFO_SYNC_TAGS[L], LFO_SYNC_SWITCH_PLACE}});
  menus(*this, {{&lfoWaveMenus[l], LFO_WAVE_TAGS[L], LFO_WAVE_MENU_PLACE, LFO_WAVE_STR},
                {&lfoTriggerMenus[l], LFO_TRIGGER_TAGS[L], LFO_TRIGGER_MENU_PLACE, LFO_TRIGGER_STR}});
  const AreaPlace& d = LFO_DEST_MENU_PLACE;
  createDestMenu(lfoDestMenus[l].main, lfoDestMenus[l].subs, LFO_DEST_TAGS[L], d.x, d.y, d.w, d.h, true, true,
                 d.dy150, d.dw150, d.dy200, d.dw200);
  for (CView* v : std::initializer_list<CView*>{lfoSpeedKnobs[l], lfoHumanizeKnobs[l], lfoShapeKnobs[l],
                                                lfoAmountKnobs[l], lfoSyncSwitches[l]})
    list.push_back(shownWhen(v, onPage));
  list.push_back(resumed(*this, lfoWaveMenus[l], onPage));
  list.push_back(resumed(*this, lfoTriggerMenus[l], onPage));
  TOptionMenu* dest = lfoDestMenus[l].main;
  list.push_back({dest, onPage, [this, dest, L] {
                    dest->setString(getDestMenuName(plugin->getDestForTag(LFO_DEST_TAGS[L])));
                  }});
}

void uEditor::createModTab() {
  ViewList& list = bottomTabShown[MOD_TAB];
  onOffs(*this, {{&advancedSwitch, MOD_ADVANCED_TAG, ADVANCED_SWITCH_PLACE}});
  for (int advanced = 0; advanced < 2; ++advanced) {
    modScreens[advanced] =
        own(new TModScreen(screenRect(*this, MOD_SCREEN_PLACE), this, screenMode, advanced != 0));
    list.push_back(shownWhen(modScreens[advanced], [this, advanced] {
      return plugin->getOnOff(MOD_ADVANCED_TAG) == (advanced != 0);
    }));
  }
  list.push_back(always(advancedSwitch));
  for (int l = 0; l < 4; ++l) createLfoPage(l);
  lfoScreen = own(new TLFOScreen(screenRect(*this, LFO_SCREEN_PLACE), this, lfoPage, screenMode));
  list.push_back({lfoScreen, {}, [this] { lfoScreen->setLFO(lfoPage); }});
  // The page buttons, the shown page's on.
  for (int l = 0; l < 4; ++l) {
    TRadioButton* page = nullptr;
    radios(*this, {{&page, LFO_PAGE_BUTTON_PLACES[static_cast<size_t>(l)]}});
    setHint(page, "Selected LFO", "Select LFO " + std::string(LFO_STR[static_cast<size_t>(l)]));
    list.push_back(lit(page, [this, l] { return lfoPage == l; }));
    bindAction(page, [this, l](const ControlEvent&) {
      setLfoPage(l);
      bottomPass.refresh = true;
    });
  }
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
    for (size_t k = 0; k < 4; ++k)
      setHint(lfoModeButtons[l][k], "Selected LFO Mode", "Select " + std::string(LFO_MODE_STR[k]) + " Mode");
  }
  setHint(lfoScreen, "LFO Screen", "L/R - Shape, Ctrl/Double Click - Default, Scroll - Wave");
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

void uEditor::runPresetCommand(const std::string& title) {
  for (const PresetCommand& c : PRESET_COMMANDS) {
    if (c.title != title) continue;
    if (c.program) c.program(*plugin);
    if (c.screenSize >= 0) setScreenSize(c.screenSize);
    break;
  }
  updatePresetMenu();
  pathRefresh = true;
  // The snapshots are switched without a parameter notification: the controls follow here.
  resume();
}

// After removeControls released every view: the layout's own pointers are forgotten.
void uEditor::zeroControls() {
  static_cast<LayoutControls&>(*this) = LayoutControls{};
  for (ViewList* list : shownLists()) list->clear();
}
