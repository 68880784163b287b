// The plug-in's editor window. The plug-in object creates one in its constructor (before its own
// tables exist, so construction only reads preferences and sets the rectangle); the host then
// opens and closes it, drives it with idle calls and forwards keys.
//
// Threads: setParameter, setVU and resume may arrive on the audio thread. They only record what
// happened (per-tag dirty bits, refresh flags, a resume request, meter levels, all atomics); the
// idle pass on the GUI thread applies the records first and does every view update itself.
// Everything else runs on the GUI thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bitmapIds.h"
#include "controls/pluginControls.h"
#include "controls/uControlEditor.h"
#include "dsp/dspCommon.h"
#include "editor/controlRegistry.h"
#include "editor/distortTypeTables.h"
#include "editor/uEditorLayout.h"
#include "plugin/uEditorLink.h"
#include "tags.h"
#include "vstgui/aeffguieditor.h"
#include "vstgui/cbitmap.h"
#include "vstgui/ccontrol.h"

class APlugin;
class TKnob;
class TOnOff;
class TOptionMenu;
class TRadioButton;
class TReadout;
class TRockerButton;
class TDistortScreen;
class TFollowerScreen;
class THorizontalSlider;
class TLFOScreen;
class TVu;
class TWaveShaperScreen;
namespace VSTGUI {
class CKickButton;
class CMovieBitmap;
class COptionMenu;
class CViewContainer;
}  // namespace VSTGUI

// Refresh flags: raised from any thread, applied by the next idle pass.
enum EditorRefresh : uint32_t {
  kPathRefresh = 1u << 0,
  kDistortRefresh = 1u << 1,
  kDistortScreenReset = 1u << 2,
  kWidenerRefresh = 1u << 5,
  kBottomScreenRefresh = 1u << 6,
  kWaveShaperRefresh = 1u << 7,
};

// What a parameter notification does besides moving the controls of its tag: the refresh flags
// it raises, and whether its controls follow at all (kNoControlUpdate).
inline constexpr uint32_t kNoControlUpdate = 1u << 31;
uint32_t parameterNotification(int tag);

// The settings screen's product and version line for a vendor version 0x00MMmmpp.
std::string versionText(int32_t vendorVersion);

// The editor's size at 100 %.
inline constexpr int EDITOR_WIDTH = 1100;
inline constexpr int EDITOR_HEIGHT = 712;

// The idle pass runs at most this often.
inline constexpr uint32_t IDLE_INTERVAL_MS = 40;

class uEditor : public VSTGUI::AEffGUIEditor,
                public VSTGUI::IControlListener,
                public VSTGUI::IKeyboardHook,
                public IEditorLink,
                public IControlEditor,
                public LayoutControls {
 public:
  explicit uEditor(APlugin* plugin);
  ~uEditor() override;
  uEditor(const uEditor&) = delete;
  uEditor& operator=(const uEditor&) = delete;

  // ---- Host's editor calls (GUI thread) ----
  bool open(void* parentWindow) override;
  void close() override;
  void idle() override;
  // Any thread: true from the end of a successful open until close.
  bool isOpen() override { return openState.load(std::memory_order_acquire); }

  // ---- Notifications from the plug-in (any thread, audio included): recorded only ----
  void setParameter(int32_t tag, float value) override;
  void setVU(float inL, float inR, float outL, float outR) override;
  // Asks the next idle pass to bring every control in line with the plug-in.
  void resume() override;

  // ---- Layers built by the routing and layout sources ----
  void valueChanged(VSTGUI::CControl* control) override;
  using AEffGUIEditor::onKeyDown;
  using AEffGUIEditor::onKeyUp;
  int32_t onKeyDown(const VstKeyCode& code, VSTGUI::CFrame* frame) override;
  int32_t onKeyUp(const VstKeyCode& code, VSTGUI::CFrame* frame) override;
  void setEditTag(int tag) override;
  bool onWheel(float distance) override { return AEffGUIEditor::onWheel(distance); }
  void updatePath() override;
  void updateDistort(int type) override;

  // ---- What the controls ask of their editor ----
  APlugin* getPlugin() override { return plugin; }
  void changeProgramDelta(int delta) override;
  void changeFolderDelta(int delta = 0) override;
  void setDropTag(int tag) override;
  void releasedDropDial() override;
  bool isDroppable(int tag) override;
  bool getModDial() override { return modDial; }
  float getWaveShaperDistortValues(int ws, int point) override;
  VSTGUI::CBitmap* menuLeftArrowBitmap() override { return bitmap(MENU_LEFT_ARROW_BMP); }
  VSTGUI::CBitmap* menuRightArrowBitmap() override { return bitmap(MENU_RIGHT_ARROW_BMP); }
  VSTGUI::CBitmap* vuBitmap() override { return bitmap(VU_BMP); }
  VSTGUI::CBitmap* sliderBitmap() override { return bitmap(SLIDER_BMP); }
  VSTGUI::CBitmap* sliderModBitmap() override { return bitmap(SLIDER_MOD_BMP); }
  VSTGUI::CBitmap* waveShaperDotBitmap() override { return bitmap(WAVESHAPER_DOT_BMP); }
  void showMIDIMenu(VSTGUI::CControl* control, const VSTGUI::CPoint& p) override;
  void showControlMenu(const VSTGUI::CPoint& p) override;
  void showDestMenu(const VSTGUI::CPoint& p, int tag) override;
  void showModMenu(const VSTGUI::CPoint& p, int row) override;
  void showEQMenu(const VSTGUI::CPoint& p, int eq) override;
  void showWaveShaperMenu(const VSTGUI::CPoint& p, int shaper) override;
  void setEQUndo() override;
  void setModUndo() override;
  void setWaveShaperUndo() override;

  // ---- Scaling ----
  int getScreenMode() const { return screenMode; }
  // 100 % coordinate v at the current size: trunc(v x SCALE) plus the correction of the size.
  int getScaled(int v, int off150 = 0, int off200 = 0) const;
  int getScaled(float v, int off150 = 0, int off200 = 0) const;
  int getScaledBitmap(int base) const { return screenMode * 1000 + base; }
  static bool isValidTag(int tag) { return static_cast<unsigned>(tag) < static_cast<unsigned>(NUM_PARAMS); }

  // ---- Bitmaps (null while closed or when the art did not load) ----
  VSTGUI::CBitmap* bitmap(int32_t base, int copy = 0) const;
  VSTGUI::CBitmap* mainBackground() const { return bitmap(MAIN_BACKGROUND_BMP); }
  VSTGUI::CBitmap* settingsBackground() const { return bitmap(SETTINGS_BACKGROUND_BMP); }
  VSTGUI::CBitmap* switchBitmap() const { return bitmap(SWITCH_BMP); }
  // Entry k of the nine distortion-box backgrounds (0..2 share one image), plain or old EQ.
  VSTGUI::CBitmap* distortBoxBitmap(int k, bool oldEQ) const;
  VSTGUI::CBitmap* bottomBitmap(int k) const { return bitmap(BOTTOM_BOX_BMP + k); }
  VSTGUI::CBitmap* knobBitmap(int k) const { return bitmap(KNOB_BMP + k); }

  // ---- Control factories (x, y at 100 %; corrections at 150 % and 200 %) ----
  // Each makes nothing (out keeps its value) when a bitmap it needs is missing or a tag is not a
  // parameter's; what it makes is released at close.
  // Style 0, 1: small knob, 2, 3: large knob; the odd styles have the centred ring. size widens
  // the view for the value text; the caption moves by shift at 150 % and 200 %.
  void createKnob(TKnob*& out, int tag, int x, int y, int style, const std::string& caption, int size,
                  int dx150, int dy150, int shift150, int dx200, int dy200, int shift200);
  void createOnOff(TOnOff*& out, int tag, int x, int y, VSTGUI::CBitmap* bmp, int dx150 = 0, int dy150 = 0,
                   int dx200 = 0, int dy200 = 0);
  // Radio buttons carry no tag and are not registered (the editor routes them by pointer).
  void createRadio(TRadioButton*& out, int x, int y, VSTGUI::CBitmap* bmp, int dx150 = 0, int dy150 = 0,
                   int dx200 = 0, int dy200 = 0);
  void createRocker(TRockerButton*& out, int tag, int x, int y, VSTGUI::CBitmap* bmp, int frames,
                    float stepScale, int dx150 = 0, int dy150 = 0, int dx200 = 0, int dy200 = 0);
  // Menus: entries are the first min(count, texts.size()) texts; the by-tag form takes the
  // tag's menu size as count (nothing for tags without a menu).
  void createMenu(TOptionMenu*& out, int tag, int x, int y, int width, int height, int count,
                  std::span<const std::string_view> texts, bool centred, bool deltaButtons, int dy150 = 0,
                  int dw150 = 0, int dy200 = 0, int dw200 = 0);
  void createMenu(TOptionMenu*& out, int tag, int x, int y, int width, int height,
                  std::span<const std::string_view> texts, bool centred, bool deltaButtons, int dy150 = 0,
                  int dw150 = 0, int dy200 = 0, int dw200 = 0);
  // A source selector: "None", then the MIDI sources and the other sources in two sub-menus.
  void createSrcMenu(TOptionMenu*& main, TOptionMenu*& sub1, TOptionMenu*& sub2, int tag, int x, int y,
                     int width, int height, bool centred, bool deltaButtons, int dy150 = 0, int dw150 = 0,
                     int dy200 = 0, int dw200 = 0);
  // A destination selector: "None", then the destinations in eight sub-menus under their headings.
  void createDestMenu(TOptionMenu*& main, std::array<TOptionMenu*, 8>& subs, int tag, int x, int y, int width,
                      int height, bool centred, bool deltaButtons, int dy150 = 0, int dw150 = 0,
                      int dy200 = 0, int dw200 = 0);
  // The area form: a button without a bitmap covering width x height.
  void createKickButton(VSTGUI::CKickButton*& out, int x, int y, int width, int height, int dx150 = 0,
                        int dy150 = 0, int dx200 = 0, int dy200 = 0);
  // The bitmap form: as large as one of the bitmap's two frames (stacked vertically).
  void createKickButton(VSTGUI::CKickButton*& out, int x, int y, VSTGUI::CBitmap* bmp, int dx150 = 0,
                        int dy150 = 0, int dx200 = 0, int dy200 = 0);

  // ---- Control registry (controlRegistry.h) ----
  using RegistryEntry = ControlRegistry::Entry;
  using ControlEvent = ::ControlEvent;
  using ControlAction = ::ControlAction;
  // Appends control (creation order) and loads its default and current value.
  void addControl(VSTGUI::CControl* control, bool knob, bool onOff, bool noResync);
  // What a control does when the user changes it, bound where the control is made. Controls
  // without one are parameter menus (routed by tag) or parameter controls (their value is set).
  void bindAction(const VSTGUI::CControl* control, ControlAction action) {
    registry.bind(control, std::move(action));
  }
  // What the frame, a box or a bottom tab shows, listed by the builder that makes the views, in
  // the order they are added: `when` (if set) says whether the view is shown at this rebuild,
  // `before` (if set) brings it up to date first (a radio button's light, a menu's text).
  struct ListedView {
    VSTGUI::CView* view = nullptr;
    std::function<bool()> when{};
    std::function<void()> before{};
  };
  using ViewList = std::vector<ListedView>;
  // The bottom box's tabs, in the order of their buttons.
  enum BottomTab : int { DISRUPT_TAB, FOLLOWER_TAB, WAVESHAPER_TAB, MOD_TAB, NUM_BOTTOM_TABS };
  // Each tab's views; the frame's own (the header over the boxes).
  std::array<ViewList, NUM_BOTTOM_TABS> bottomTabShown{};
  ViewList mainShown{};
  // Every such list.
  std::vector<ViewList*> shownLists();
  int getRegistrySize() const { return registry.size(); }
  const RegistryEntry& getRegistryEntry(int i) const { return registry.entry(i); }
  // Every registered control with this tag, in creation order.
  template <typename F>
  void forEachControlWithTag(int tag, F&& f) const {
    registry.forEachWithTag(tag, std::forward<F>(f));
  }
  // Views the editor made and releases at close (registered or not). Sub-menus are not kept:
  // their parent menu keeps them alive.
  template <typename T>
  T* own(T* view) {
    if (view) ownedViews.push_back(view);
    return view;
  }
  // The knob's ring shows the plug-in's modulation of its tag.
  void setDialMod(TKnob*& knob);
  // A menu's value becomes its tag's step index.
  void setMenuResume(VSTGUI::CControl* menu);

  // ---- Fixed hints: the label and hint shown as tool-tip over a view; later entries win ----
  void setHint(const VSTGUI::CView* view, std::string label, std::string hint = {});
  // "label : hint", or "" for a view without one.
  std::string hintFor(const VSTGUI::CView* view) const;

  // ---- Modulation drop targets: while a dragged knob is over one, idle offers it the drop ----
  // destinationTag < 0 marks a matrix screen (the drop makes a new route there).
  void setDropTarget(const VSTGUI::CView* view, int destinationTag, int amountTag);

  // Raises refresh flags (any thread); the next idle pass acts on them.
  void raiseRefresh(uint32_t flags);

  // ---- Preferences ----
  static bool getBackRegValue(const std::string& key, bool defaultOn);
  static void setBackRegValue(const std::string& key, bool on);
  // Chooses the size the editor has when next constructed; 0..2, anything else clears all.
  void setScreenSize(int mode);
  bool getKeyboardOn() const { return keyboardOn; }
  // The setting also decides whether a click into the editor takes the keyboard focus.
  void setKeyboardOn(bool on);
  bool getToolTipsOn() const { return toolTipsOn; }

  // ---- Screens ----
  void showBackside();
  void hideBackside();
  bool isMainScreenShown() const { return mainScreenShown; }
  int getScreenState() const { return screenState; }
  bool getEditChanged();
  void updatePresetMenu();
  void showCurrentPresetMenu() { updatePresetMenu(); }

  // Recorded but not yet applied (tests and benchmarks).
  uint32_t pendingRefreshFlags() const { return pendingRefresh.load(std::memory_order_relaxed); }
  bool isResumePending() const { return resumeRequested.load(std::memory_order_relaxed); }
  bool isHostRereadPending() const { return hostRereadRequested.load(std::memory_order_relaxed); }

  // The editor wrote values the host was not told of (plain setParameter: a type recall, a
  // menu command, a screen edit, a program step): the next idle pass asks the host to read
  // every value again (audioMasterUpdateDisplay), on the GUI thread and without automation.
  // Any thread may ask.
  void requestHostReread() { hostRereadRequested.store(true, std::memory_order_relaxed); }
  float getVuValue(int i) const;

  // The five containers (null while closed).
  VSTGUI::CViewContainer* distortBox = nullptr;
  VSTGUI::CViewContainer* filterBox = nullptr;
  VSTGUI::CViewContainer* compressorBox = nullptr;
  VSTGUI::CViewContainer* widenerBox = nullptr;
  VSTGUI::CViewContainer* bottomBox = nullptr;

  // Settings screen.
  VSTGUI::CKickButton* backsideButton = nullptr;
  TReadout* versionReadout = nullptr;
  TOnOff* keySwitch = nullptr;
  TOnOff* midiPresetSwitch = nullptr;
  TOnOff* midiBankSwitch = nullptr;
  TOnOff* midiCaptureSwitch = nullptr;
  TOnOff* dcFilterSwitch = nullptr;
  TOptionMenu* screenSizeMenu = nullptr;

  // Main-screen controls the idle pass updates (the layout makes them; null when it did not).
  VSTGUI::CKickButton* editedButton = nullptr;
  TVu* vuMeters[4] = {};
  VSTGUI::CMovieBitmap* gateLamp = nullptr;
  VSTGUI::CMovieBitmap* compressorMeter = nullptr;
  VSTGUI::CMovieBitmap* widenerDisplay = nullptr;
  THorizontalSlider* disruptSlider = nullptr;
  TKnob* disruptKnobs[7] = {};
  std::string disruptCaptions[7];  // the captions last given to the Disrupt amount knobs
  TDistortScreen* distortScreen = nullptr;
  TFollowerScreen* followerScreen = nullptr;
  TWaveShaperScreen* waveShaperScreens[2] = {};
  TLFOScreen* lfoScreen = nullptr;

  // The view being edited counts as the one under the mouse (routing sets it).
  VSTGUI::CControl* editControl = nullptr;
  struct ModDrag {
    int tag = -1;
    bool released = false;
    float value = 0.0f;
  } modDrag;

  // ==== Layout: the main screen's controls and the show operations ====
  // Puts the header, the boxes in path order and the bottom box into the frame.
  void showMainScreen();
  // Rebuild one container from the settings it depends on.
  void showDistort();
  void showFilter();
  void showCompressor();
  void showWidenChorus();
  void showBottomScreen();
  // What the show operations lay out (routing changes them; each is limited to its range).
  int getBottomTab() const { return bottomTab; }
  int getLfoPage() const { return lfoPage; }
  int getSelectedEQ() const { return selectedEQ; }
  void setBottomTab(int tab) {
    bottomTab = tab < 0 ? 0 : (tab >= NUM_BOTTOM_TABS ? NUM_BOTTOM_TABS - 1 : tab);
  }
  void setLfoPage(int page) { lfoPage = page < 0 ? 0 : (page > 3 ? 3 : page); }
  void setSelectedEQ(int eq) { selectedEQ = eq == 1 ? 1 : 0; }
  // The type knobs' values per distortion type while the editor lives (not saved with the state).
  const DistortRecord& getDistortTypeMemory(int type) const;
  const std::string& getDestMenuName(int dest) const;
  // Every view the editor made and releases at close.
  const std::vector<VSTGUI::CView*>& getOwnedViews() const { return ownedViews; }
  // ==== End of layout ====

  // ==== Routing: controls to parameters, keyboard, program steps, Help, modulation drops ====
  // (uEditorControls.cpp; GUI thread)
  // Program steps by key or by the preset menu's arrows are taken at most this often.
  static constexpr uint32_t PROGRAM_STEP_MS = 333;
  // Preset sub-menus hold this many program numbers each.
  static constexpr int PRESETS_PER_SUB_MENU = 32;
  int getPresetsInColumns() const { return PRESETS_PER_SUB_MENU; }
  // Shows the manual ("HelpDir", else the copy in the bundle) in the desktop's viewer; a
  // message box naming the paths tried when neither can be read.
  void openHelp();

 protected:
  // ---- Life-cycle steps ----
  bool openNow(void* parentWindow);
  void createBitmaps();
  void removeBitmaps();
  void createContainers();
  // Takes every view out of the frame and the containers, releases each object once.
  void removeControls();
  // Layout: makes the main screen's controls (nothing is added to the frame here).
  void createControls();
  // One builder per box and tab: it makes the views and lists what the box shows.
  void createHeader();
  void createPresetMenus();
  void createDistortBox();
  void createDistortTypeMenu();
  void listDistortBox();
  void createFilterBox();
  void createCompressorBox();
  void createWidenerBox();
  void createDisruptTab();
  void createFollowerTab();
  void listFollowerTab();
  void createWaveShaperTab();
  void createModTab();
  void createLfoPage(int l);
  // What the distortion box is shown for: the type, and whether the old EQ's knobs stand in
  // the EQ screen's place.
  int shownDistortType() const;
  bool oldEQShown() const;
  void nameTypeKnobDestinations(int type);
  // Layout: forgets the layout's own control pointers after removeControls released them.
  void zeroControls();
  void createBackside();
  void zeroBackside();

  // ---- Idle steps ----
  // Applies what the other threads recorded: flags, a resume request, the dirty tags.
  void takeNotifications();
  void resumeNow();
  // The idle pass's half of requestHostReread.
  void tellHostToReread();
  VSTGUI::CView* hoverView() const;
  void refreshMainScreen();
  // The per-pass updates of what is on the main screen: Edited lamp, meters, rings, graphs.
  void refreshHeader();
  void refreshDistortBox();
  void refreshFilterBox();
  void refreshCompressorBox();
  void refreshWidenerBox();
  void refreshBottomBox();
  // The Disrupt amount knobs are captioned with their destinations' names.
  void refreshDisruptCaptions();
  // Layout: the menus and tab buttons a resume brings in line.
  void resumeLayout();
  // Rings of the registered knobs shown in box (the frame itself for null).
  void refreshRings(VSTGUI::CViewContainer* box);
  VSTGUI::CRect bitmapRect(int x, int y, VSTGUI::CBitmap* bmp, int frames, int dx150, int dy150, int dx200,
                           int dy200) const;
  VSTGUI::CRect menuRect(int x, int y, int width, int height, int dy150, int dw150, int dy200,
                         int dw200) const;
  TOptionMenu* newMenu(int tag, const VSTGUI::CRect& r, bool centred, bool deltaButtons);
  // Runs a box's refresh when its flag is up, unless the user is dragging inside that box:
  // rebuilding it would take the dragged view away mid-gesture, so the flag waits.
  bool takeRefresh(bool& flag, VSTGUI::CViewContainer* box);
  void dropTargets(VSTGUI::CView* hover);
  void dropMod();
  void dropMod(int destinationTag, int amountTag);
  void showTooltips(VSTGUI::CView* hover);
  // Routing: children it started and that have finished are collected here.
  void reapChildren();
  // Routing: true when a program step may be taken now (then the time is noted).
  bool takeProgramStep();
  // Routing: the menus recognised by their parameter tag; any other menu does nothing.
  void routeParameterMenu(VSTGUI::CControl* control, int index, const std::string& title);
  // The preset menu's commands (built and recognised from one table).
  void runPresetCommand(const std::string& title);
  // Routing: a released drag of a droppable parameter is taken (and cleared); false otherwise.
  bool takeDrop(int& tag, float& value);

  APlugin* plugin;
  // Every editor of the process shares one decoded copy of each image, kept while any editor
  // exists: a reopen decodes nothing.
  VSTGUI::CBitmap::ImageCacheOwner imageCacheOwner;
  int screenMode = 0;
  bool modDial = true;
  bool keyboardOn = true;
  bool toolTipsOn = true;

  // GUI-thread state.
  bool opened = false;
  bool resuming = false;
  bool mainScreenShown = false;
  int screenState = 0;
  bool lastEditChanged = false;
  bool editLampShown = false;
  // The module path: laid out again at the next pass when refresh is up; busy while that runs.
  bool pathRefresh = false, pathBusy = false;
  // Inside the distortion and bottom boxes: the distortion picture starts again, the wave-shaper
  // screens redraw.
  bool distortScreenReset = false, waveShaperRefresh = false;
  // One record per container: the idle pass rebuilds it with its show operation when refresh is
  // up (a drag inside it makes the rebuild wait) and otherwise updates its live contents; busy
  // while the show operation runs. raisedBy is the refresh flag that sets refresh from any thread.
  // shown: what the box shows when it is rebuilt, listed by its builder (the bottom box's lists
  // are its tabs').
  struct BoxPass {
    VSTGUI::CViewContainer* uEditor::*view;
    uint32_t raisedBy;
    void (uEditor::*show)();
    void (uEditor::*update)();
    bool refresh = false;
    bool busy = false;
    ViewList shown{};
  };
  BoxPass distortPass{&uEditor::distortBox, kDistortRefresh, &uEditor::showDistort,
                      &uEditor::refreshDistortBox};
  BoxPass filterPass{&uEditor::filterBox, 0, &uEditor::showFilter, &uEditor::refreshFilterBox};
  BoxPass compressorPass{&uEditor::compressorBox, 0, &uEditor::showCompressor,
                         &uEditor::refreshCompressorBox};
  BoxPass widenerPass{&uEditor::widenerBox, kWidenerRefresh, &uEditor::showWidenChorus,
                      &uEditor::refreshWidenerBox};
  BoxPass bottomPass{&uEditor::bottomBox, kBottomScreenRefresh, &uEditor::showBottomScreen,
                     &uEditor::refreshBottomBox};
  // In the order the idle pass takes them.
  std::array<BoxPass*, 5> boxPasses() {
    return {&distortPass, &filterPass, &compressorPass, &widenerPass, &bottomPass};
  }
  uint32_t lastIdleTicks = 0;
  uint32_t lastStepTicks = 0;
  int lastCompressorStep = -1;
  int lastWidenerStep = -1;
  float vuValues[4] = {};
  bool droppable[NUM_PARAMS];
  std::string destMenuNames[256];
  int selectedEQ = 0;
  int bottomTab = 0;
  int lfoPage = 0;
  int waveShaperDrawMode = 0;  // 0 point, 1 line, 2 erase
  // Layout: the module path the boxes are laid out for (-1: none yet); the type-knob memory.
  int shownModulePath = -1;
  std::array<DistortRecord, NUM_DISTORT_TYPES> distortTypeMemory = DISTORT_TYPE_DEFAULTS;
  // Layout: the fixed hints and drop targets of the main screen's controls.
  void addLayoutHints();

  // Records of the other threads.
  std::atomic<bool> openState{false};
  std::atomic<uint32_t> pendingRefresh{0};
  std::atomic<bool> resumeRequested{false};
  std::atomic<bool> hostRereadRequested{false};
  std::array<std::atomic<uint64_t>, NUM_PARAMS / 64> dirtyTags{};
  std::array<std::atomic<float>, 4> vuLevels{};

  ControlRegistry registry;
  std::vector<VSTGUI::CView*> ownedViews;
  std::array<VSTGUI::CBitmap*, NUM_BITMAP_OBJECTS> bitmaps{};
  struct HintEntry {
    const VSTGUI::CView* view;
    std::string label;
    std::string hint;
  };
  std::vector<HintEntry> hints;
  struct DropTarget {
    const VSTGUI::CView* view;
    int destinationTag;
    int amountTag;
  };
  std::vector<DropTarget> dropTargetList;

  // ==== Command menus: pop-ups, undo and clipboards (uEditorCommandMenu.cpp,
  // uEditorWaveShaperMenu.cpp) ====
 public:
  // What the user chose in a pop-up: the entry's title, its index in the menu holding it and
  // which menu that is (the title of its entry in the top menu, "" for the top menu itself).
  struct MenuPick {
    bool chosen = false;
    std::string subMenu;
    int32_t index = -1;
    std::string title;
  };

 protected:
  // Empties every undo buffer and clipboard; each controls build starts without any.
  void resetCommandBuffers();
  // A pop-up for one call: half x half around the pointer, no listener, tag NO_PARAM_TAG.
  VSTGUI::COptionMenu* newPopup(VSTGUI::CCoord half) const;
  static constexpr VSTGUI::CCoord COMMAND_MENU_HALF = 8;  // the command menus: 16 x 16
  // Runs menu modally in the frame, then takes it out of the frame and releases it.
  MenuPick runPopup(VSTGUI::COptionMenu* menu);
  // The parameter menu's commands for the chosen entry.
  void runParameterCommand(const MenuPick& pick, int tag, int dest);
  void runSlotCommand(const std::string& title, int dest);
  void runControlCommand(const std::string& title);
  void askMidiChannel();
  void enterModAmount(int slot);
  void runWaveShaperCommand(const std::string& title, int ws);
  void loadWaveShaperPreset();
  void saveWaveShaperPreset();

  // Random values of "Set to Random" (the plug-in's own generator belongs to the audio thread).
  dsp::Rand15 menuRandom{menuRandomSeed()};
  static uint32_t menuRandomSeed();

  // One undo step and one clipboard per menu; a buffer acts only once it has been filled.
  std::array<float, 24> eqUndoBuffer{};
  std::array<float, 12> eqClipboard{};
  std::array<float, MOD_COMMANDS_TAGS.size()> modUndoBuffer{};
  std::array<float, MOD_COMMANDS_TAGS.size()> modClipboard{};
  std::array<float, 7> modSlotClipboard{};
  std::array<float, 2 * WAVESHAPER_POINTS> waveShaperUndoBuffer{};
  std::array<float, 2 * WAVESHAPER_POINTS> waveShaperClipboard{};
  bool eqUndoValid = false, eqClipboardValid = false, modUndoValid = false, modClipboardValid = false,
       modSlotClipboardValid = false, waveShaperUndoValid = false, waveShaperClipboardValid = false;
  // ==== end of command menus ====
};
