#include "uEditor.h"

#include <cmath>

#include "guiTables.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

struct NotificationRow {
  int first, last;  // tags, inclusive
  uint32_t flags;
};
// What a parameter change means for the editor beyond its own controls.
constexpr NotificationRow NOTIFICATION_ROWS[] = {
    {MODULE_PATH_TAG, MODULE_PATH_TAG, kPathRefresh | kNoControlUpdate},
    {DISTORT_TYPE_TAG, DISTORT_TYPE_TAG,
     kDistortRefresh | kBottomScreenRefresh | kDistortScreenReset | kNoControlUpdate},
    {OLD_EQ_TAG, OLD_EQ_TAG, kDistortRefresh | kBottomScreenRefresh},
    {WAVESHAPER_POLAR_TAG, WAVESHAPER_POLAR_TAG, kDistortRefresh | kBottomScreenRefresh},
    {LFO_SYNC_TAGS[0], LFO_SYNC_TAGS[3], kBottomScreenRefresh},
    {LFO_SHAPE_TAGS[0], LFO_SHAPE_TAGS[3], kBottomScreenRefresh},
    {MOD_ADVANCED_TAG, MOD_ADVANCED_TAG, kBottomScreenRefresh},
    {CHORUS_MODE_TAG, CHORUS_MODE_TAG, kWidenerRefresh},
    {DISRUPT_QUANT_TAG, DISRUPT_LAZY_MODE_TAG, kDistortRefresh | kBottomScreenRefresh | kNoControlUpdate},
    {FOLLOWER_SOURCE_TAG, FOLLOWER_DEST_1_TAG + 2, kDistortRefresh | kBottomScreenRefresh | kNoControlUpdate},
    {FOLLOWER_MOD_SRC_1_TAG, LFO_TRIGGER_TAGS[3], kDistortRefresh | kBottomScreenRefresh | kNoControlUpdate},
    {WAVESHAPER_DISTORT_MODE_TAGS[0], WAVESHAPER_DISTORT_MODE_TAGS[0],
     kDistortRefresh | kBottomScreenRefresh | kNoControlUpdate},
    {WAVESHAPER_DISTORT_MODE_TAGS[1], WAVESHAPER_DISTORT_MODE_TAGS[1],
     kDistortRefresh | kBottomScreenRefresh | kNoControlUpdate},
    {WAVESHAPER_DISTORT_1_TAGS[0], WAVESHAPER_DISTORT_2_TAGS[0], kWaveShaperRefresh},
    {WAVESHAPER_DISTORT_1_TAGS[1], WAVESHAPER_DISTORT_2_TAGS[1], kWaveShaperRefresh},
};

constexpr std::array<uint32_t, NUM_PARAMS> makeNotificationTable() {
  std::array<uint32_t, NUM_PARAMS> table{};
  for (const NotificationRow& row : NOTIFICATION_ROWS)
    for (int t = row.first; t <= row.last; ++t) table[static_cast<size_t>(t)] = row.flags;
  return table;
}
constexpr std::array<uint32_t, NUM_PARAMS> NOTIFICATION_TABLE = makeNotificationTable();

// Meter levels come from the audio thread: anything outside 0..1 (or not a number) is held there.
float meterLevel(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

}  // namespace

uint32_t parameterNotification(int tag) {
  return uEditor::isValidTag(tag) ? NOTIFICATION_TABLE[static_cast<size_t>(tag)] : kNoControlUpdate;
}

// ==== Construction ====

uEditor::uEditor(APlugin* p) : AEffGUIEditor(p), plugin(p) {
  // The plug-in's tables do not exist yet: only preferences and the rectangle here.
  if (getBackRegValue("Big150", false)) screenMode = 1;
  if (getBackRegValue("Big200", false)) screenMode = 2;
  lastIdleTicks = lastStepTicks = getTicks();
  keyboardOn = getBackRegValue("Key", true);
  toolTipsOn = getBackRegValue("ToolTip", true);
  modDial = getBackRegValue("ModDial", true);
  for (bool& d : droppable) d = true;
  for (size_t i = 0; i < DEST_STR.size(); ++i) destMenuNames[i] = DEST_STR[i];
  rect = ERect{0, 0, static_cast<int16_t>(getScaled(EDITOR_HEIGHT)),
               static_cast<int16_t>(getScaled(EDITOR_WIDTH))};
}

uEditor::~uEditor() {
  if (frame || opened) close();
}

// ==== Scaling ====

int uEditor::getScaled(int v, int off150, int off200) const {
  switch (screenMode) {
    case 1:
      return static_cast<int>(static_cast<float>(v) * SCALE[1]) + off150;
    case 2:
      return static_cast<int>(static_cast<float>(v) * SCALE[2]) + off200;
    default:
      return v;
  }
}

int uEditor::getScaled(float v, int off150, int off200) const {
  switch (screenMode) {
    case 1:
      return static_cast<int>(v * SCALE[1]) + off150;
    case 2:
      return static_cast<int>(v * SCALE[2]) + off200;
    default:
      return static_cast<int>(v);
  }
}

// ==== Bitmaps ====

CBitmap* uEditor::bitmap(int32_t base, int copy) const {
  const int slot = bitmapSlot(base, copy);
  return slot < 0 ? nullptr : bitmaps[static_cast<size_t>(slot)];
}

CBitmap* uEditor::distortBoxBitmap(int k, bool oldEQ) const {
  if (k < 0 || k > 8) return nullptr;
  const int32_t base = oldEQ ? DISTORT_BOX_OLD_EQ_BMP : DISTORT_BOX_BMP;
  return k < 3 ? bitmap(base, k) : bitmap(base + k - 2);
}

void uEditor::createBitmaps() {
  size_t slot = 0;
  for (const BitmapRow& row : BITMAP_TABLE) {
    for (int c = 0; c < row.copies; ++c, ++slot) {
      auto* b = new CBitmap(CResourceDescription(getScaledBitmap(row.base)));
      // Art that did not load is absent: whatever needs it is not made.
      if (b->getWidth() < 1 || b->getHeight() < 1) {
        b->forget();
        b = nullptr;
      }
      bitmaps[slot] = b;
    }
  }
}

void uEditor::removeBitmaps() {
  for (CBitmap*& b : bitmaps) {
    if (b) b->forget();
    b = nullptr;
  }
}

// ==== Opening and closing ====

bool uEditor::open(void* parentWindow) {
  if (!plugin) return false;
  // A second open without a close in between: the first window goes.
  if (frame || opened) close();
  AEffGUIEditor::open(parentWindow);
  if (openNow(parentWindow)) return true;
  AEffEditor::close();  // forgets the parent
  return false;
}

bool uEditor::openNow(void* parentWindow) {
  // editorOpening stays down: a program load during the build must still be applied (the
  // resume at the end brings the controls in line with it).
  plugin->editorOpen.store(false, std::memory_order_relaxed);
  opened = false;
  modDrag = ModDrag{};
  editControl = nullptr;
  screenState = 0;
  selectedEQ = 0;
  editLampShown = false;  // the first pass sets the Edited lamp, whatever the state
  lastStepTicks = getTicks();
  // Whatever was recorded while closed is covered by the resume that ends the open.
  pendingRefresh.store(0, std::memory_order_relaxed);
  resumeRequested.store(false, std::memory_order_relaxed);
  for (auto& word : dirtyTags) word.store(0, std::memory_order_relaxed);

  createBitmaps();
  auto* f = new CFrame(CRect(0, 0, rect.right, rect.bottom), this);
  f->setBackground(mainBackground());
  if (!f->open(parentWindow)) {
    f->close();  // releases the frame
    removeBitmaps();
    return false;
  }
  frame = f;
  f->registerKeyboardHook(this);
  f->setKeyboardFocusOnClick(keyboardOn);
  CFrame::kDefaultKnobMode = kLinearMode;
  new CTooltipSupport(f, 100);  // the frame owns it

  createContainers();
  registry.reserve(256);
  for (bool& d : droppable) d = true;
  pathBusy = pathRefresh = distortScreenReset = waveShaperRefresh = false;
  for (BoxPass* b : boxPasses()) b->refresh = b->busy = false;
  lastCompressorStep = lastWidenerStep = -1;
  resetCommandBuffers();

  createControls();
  createBackside();
  showMainScreen();

  plugin->editorOpen.store(true, std::memory_order_relaxed);
  opened = true;
  resuming = false;
  openState.store(true, std::memory_order_release);
  resumeNow();
  return true;
}

void uEditor::createContainers() {
  struct BoxRow {
    CViewContainer* uEditor::*box;
    BoxOrigin at;
    CBitmap* size;
  };
  const BoxRow rows[] = {
      {&uEditor::distortBox, MODULE_BOX_ORIGINS[0], distortBoxBitmap(0, false)},
      {&uEditor::filterBox, MODULE_BOX_ORIGINS[1], bitmap(FILTER_BOX_BMP)},
      {&uEditor::compressorBox, MODULE_BOX_ORIGINS[2], bitmap(COMPRESSOR_BOX_BMP)},
      {&uEditor::widenerBox, MODULE_BOX_ORIGINS[3], bitmap(WIDENER_BOX_BMP)},
      {&uEditor::bottomBox, BOTTOM_BOX_ORIGIN, bitmap(BOTTOM_BOX_SIZE_BMP)},
  };
  for (const BoxRow& row : rows) {
    const int x = getScaled(row.at.x), y = getScaled(row.at.y);
    const CCoord w = row.size ? row.size->getWidth() : 0, h = row.size ? row.size->getHeight() : 0;
    auto* box = own(new CViewContainer(CRect(x, y, x + w, y + h)));
    box->useOffscreen(false);
    this->*row.box = box;
  }
}

void uEditor::close() {
  if (!frame && !opened) {
    AEffEditor::close();
    return;
  }
  openState.store(false, std::memory_order_release);
  if (plugin) plugin->editorOpen.store(false, std::memory_order_relaxed);
  opened = false;
  mainScreenShown = false;
  editControl = nullptr;
  modDrag = ModDrag{};
  if (frame) frame->unregisterKeyboardHook(this);
  removeControls();
  zeroControls();
  zeroBackside();
  AEffGUIEditor::close();
  removeBitmaps();
}

void uEditor::removeControls() {
  // Out of every container first, so that releasing a container releases no child.
  for (CView* v : ownedViews)
    if (auto* box = dynamic_cast<CViewContainer*>(v)) box->removeAll(false);
  if (frame) frame->removeAll(false);
  for (CView* v : ownedViews) v->forget();
  ownedViews.clear();
  ownedViews.shrink_to_fit();
  distortBox = filterBox = compressorBox = widenerBox = bottomBox = nullptr;
  // What the idle pass updates is gone with the views.
  editedButton = nullptr;
  gateLamp = compressorMeter = widenerDisplay = nullptr;
  disruptSlider = nullptr;
  distortScreen = nullptr;
  followerScreen = nullptr;
  lfoScreen = nullptr;
  for (TVu*& meter : vuMeters) meter = nullptr;
  for (TKnob*& knob : disruptKnobs) knob = nullptr;
  for (TWaveShaperScreen*& screen : waveShaperScreens) screen = nullptr;
  for (std::string& caption : disruptCaptions) caption.clear();
  registry.clear();
  hints.clear();
  hints.shrink_to_fit();
  dropTargetList.clear();
  dropTargetList.shrink_to_fit();
}

// ==== Notifications (any thread) ====

void uEditor::setParameter(int32_t tag, float) {
  if (!isValidTag(tag) || !openState.load(std::memory_order_relaxed)) return;
  const uint32_t flags = NOTIFICATION_TABLE[static_cast<size_t>(tag)];
  if (flags & ~kNoControlUpdate)
    pendingRefresh.fetch_or(flags & ~kNoControlUpdate, std::memory_order_relaxed);
  if (!(flags & kNoControlUpdate))
    dirtyTags[static_cast<size_t>(tag) >> 6].fetch_or(uint64_t{1} << (tag & 63), std::memory_order_relaxed);
}

void uEditor::setVU(float inL, float inR, float outL, float outR) {
  vuLevels[0].store(inL, std::memory_order_relaxed);
  vuLevels[1].store(inR, std::memory_order_relaxed);
  vuLevels[2].store(outL, std::memory_order_relaxed);
  vuLevels[3].store(outR, std::memory_order_relaxed);
}

float uEditor::getVuValue(int i) const { return i >= 0 && i < 4 ? vuValues[i] : 0.0f; }

void uEditor::resume() {
  if (!openState.load(std::memory_order_relaxed)) return;
  resumeRequested.store(true, std::memory_order_relaxed);
  // A program change (menu, keys, MIDI) rewrote the values behind the host's sliders too.
  requestHostReread();
}

void uEditor::raiseRefresh(uint32_t flags) { pendingRefresh.fetch_or(flags, std::memory_order_relaxed); }

void uEditor::takeNotifications() {
  const uint32_t f = pendingRefresh.exchange(0, std::memory_order_relaxed);
  pathRefresh |= (f & kPathRefresh) != 0;
  distortScreenReset |= (f & kDistortScreenReset) != 0;
  for (BoxPass* b : boxPasses()) b->refresh |= (f & b->raisedBy) != 0;
  waveShaperRefresh |= (f & kWaveShaperRefresh) != 0;
  for (size_t w = 0; w < dirtyTags.size(); ++w) {
    uint64_t bits = dirtyTags[w].exchange(0, std::memory_order_relaxed);
    while (bits) {
      const int tag = static_cast<int>(w * 64) + __builtin_ctzll(bits);
      bits &= bits - 1;
      // The value is read from the plug-in, not taken from the notification.
      forEachControlWithTag(tag, [&](const RegistryEntry& e) {
        if (e.control && !e.noResync) e.control->setValue(plugin->getParameter(tag));
      });
    }
  }
  for (int i = 0; i < 4; ++i)
    vuValues[i] = meterLevel(vuLevels[static_cast<size_t>(i)].load(std::memory_order_relaxed));
  if (resumeRequested.exchange(false, std::memory_order_relaxed)) resumeNow();
}

void uEditor::resumeNow() {
  if (!plugin || !opened || resuming || !frame) return;
  resuming = true;
  resumeLayout();
  for (const RegistryEntry& e : registry) {
    if (!e.control || e.noResync) continue;
    const int tag = e.control->getTag();
    if (!isValidTag(tag)) continue;
    const float v = plugin->getParameter(tag);
    if (std::fabs(e.control->getValue() - v) > 1e-5f) e.control->setValue(v);
  }
  for (BoxPass* b : boxPasses()) b->refresh = true;
  resuming = false;
}

bool uEditor::getEditChanged() { return plugin && plugin->getEditChanged(); }

// ==== Idle ====

void uEditor::idle() {
  if (!frame || !plugin || !opened || resuming) return;
  reapChildren();
  const uint32_t now = getTicks();
  if (plugin->getIsSettingPreset() || now - lastIdleTicks < IDLE_INTERVAL_MS) {
    pumpEvents();  // the window keeps answering at the host's rate
    return;
  }
  lastIdleTicks = now;
  takeNotifications();
  if (!frame) return;
  tellHostToReread();

  CView* hover = hoverView();
  if (mainScreenShown && screenState == 0) refreshMainScreen();
  dropTargets(hover);
  showTooltips(hover);
  AEffGUIEditor::idle();
}

CView* uEditor::hoverView() const {
  if (editControl) return editControl;
  CPoint where;
  if (!frame || !frame->getCurrentMouseLocation(where)) return nullptr;
  CView* v = frame->getViewAt(where);
  for (CViewContainer* box : {distortBox, filterBox, compressorBox, widenerBox, bottomBox}) {
    if (box && v == box) {
      CPoint local(where);
      box->frameToLocal(local);
      return box->getViewAt(local);
    }
  }
  return v;
}

bool uEditor::takeRefresh(bool& flag, CViewContainer* box) {
  if (!flag) return false;
  if (box && frame && frame->getMouseDownView() == box) return false;
  flag = false;
  return true;
}

void uEditor::refreshMainScreen() {
  refreshHeader();
  if (pathRefresh) {
    pathRefresh = false;
    updatePath();
  }
  if (pathBusy) return;
  // Each box in turn: rebuilt when its flag is up, else its live contents refreshed.
  for (BoxPass* b : boxPasses()) {
    if (takeRefresh(b->refresh, this->*b->view))
      (this->*b->show)();
    else if (!b->busy)
      (this->*b->update)();
  }
}

void uEditor::setDropTarget(const CView* view, int destinationTag, int amountTag) {
  if (view) dropTargetList.push_back({view, destinationTag, amountTag});
}

void uEditor::dropTargets(CView* hover) {
  if (hover) {
    for (const DropTarget& t : dropTargetList) {
      if (t.view != hover) continue;
      if (t.destinationTag < 0)
        dropMod();
      else
        dropMod(t.destinationTag, t.amountTag);
      break;
    }
  }
  if (modDrag.released) {
    modDrag.tag = -1;
    modDrag.released = false;
  }
}

void uEditor::setHint(const CView* view, std::string label, std::string hint) {
  if (view) hints.push_back({view, std::move(label), std::move(hint)});
}

std::string uEditor::hintFor(const CView* view) const {
  if (!view) return {};
  for (auto it = hints.rbegin(); it != hints.rend(); ++it)
    if (it->view == view) return it->label + " : " + it->hint;
  return {};
}

void uEditor::showTooltips(CView* hover) {
  if (!hover || !toolTipsOn) return;
  std::string text;
  for (const RegistryEntry& e : registry) {
    if (e.control != hover) continue;
    const int tag = e.control->getTag();
    if (e.toolTip && isValidTag(tag)) {
      char name[64] = {}, display[64] = {};
      plugin->getParameterName(tag, name);
      plugin->getParameterDisplay(tag, display);
      text = std::string(name) + ": " + display;
    }
    break;
  }
  if (std::string hint = hintFor(hover); !hint.empty()) text = std::move(hint);
  if (!text.empty() && hover->getTooltipText() != text) hover->setTooltipText(text);
}
