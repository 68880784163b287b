#include "coptionmenu.h"

#include <cstring>

#include "cbitmap.h"
#include "cdrawcontext.h"
#include "cframe.h"

namespace VSTGUI {

//------------------------------------------------------------------------------
CMenuItem::CMenuItem(const std::string& itemTitle, int32_t itemFlags) : flags(itemFlags) {
  setTitle(itemTitle);
}

CMenuItem::CMenuItem(const std::string& itemTitle, COptionMenu* menu, int32_t itemFlags) : flags(itemFlags) {
  setTitle(itemTitle);
  setSubmenu(menu);
}

CMenuItem::~CMenuItem() { setSubmenu(nullptr); }

void CMenuItem::setTitle(const std::string& newTitle) {
  flags &= ~(kSeparator | kTitle);
  if (newTitle == "-") {
    flags |= kSeparator;
    title = newTitle;
  } else if (newTitle.size() >= 2 && newTitle[0] == '-' && newTitle[1] == 'G') {
    flags |= kTitle | kDisabled;
    title = newTitle.substr(2);
  } else {
    title = newTitle;
  }
}

void CMenuItem::setEnabled(bool state) {
  if (state)
    flags &= ~kDisabled;
  else
    flags |= kDisabled;
}

void CMenuItem::setChecked(bool state) {
  if (state)
    flags |= kChecked;
  else
    flags &= ~kChecked;
}

void CMenuItem::setSubmenu(COptionMenu* menu) {
  if (menu == submenu) return;
  if (menu) menu->remember();
  if (submenu) submenu->forget();
  submenu = menu;
}

//------------------------------------------------------------------------------
COptionMenu::COptionMenu(const CRect& viewSize, IControlListener* l, int32_t t, CBitmap* bitmap,
                         CBitmap* bkhimage, const int32_t s)
    : CParamDisplay(viewSize, bitmap, s), bgWhenClick(bkhimage) {
  listener = l;
  tag = t;
  if (bgWhenClick) bgWhenClick->remember();
  updateRange();
}

COptionMenu::COptionMenu() : COptionMenu(CRect(0, 0, 0, 0), nullptr, -1) {}

COptionMenu::COptionMenu(const COptionMenu& other) : CParamDisplay(other), bgWhenClick(other.bgWhenClick) {
  if (bgWhenClick) bgWhenClick->remember();
  updateRange();
}

COptionMenu::~COptionMenu() {
  removeAllEntry();
  if (bgWhenClick) bgWhenClick->forget();
}

void COptionMenu::updateRange() {
  vmin = 0.f;
  vmax = items.empty() ? 0.f : static_cast<float>(items.size() - 1);
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index) {
  if (!item) return nullptr;
  if (index < 0 || index >= getNbEntries())
    items.push_back(item);
  else
    items.insert(items.begin() + index, item);
  updateRange();
  return item;
}

CMenuItem* COptionMenu::addEntry(COptionMenu* submenu, const std::string& title) {
  return addEntry(new CMenuItem(title, submenu));
}

CMenuItem* COptionMenu::addEntry(const std::string& title, int32_t index, int32_t itemFlags) {
  return addEntry(new CMenuItem(title, itemFlags), index);
}

CMenuItem* COptionMenu::addSeparator(int32_t index) { return addEntry(new CMenuItem("-"), index); }

CMenuItem* COptionMenu::setEntry(int32_t index, const std::string& title) {
  CMenuItem* item = getEntry(index);
  if (item) {
    item->setTitle(title);
    setDirty();
  }
  return item;
}

bool COptionMenu::removeEntry(int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  CMenuItem* item = items[static_cast<size_t>(index)];
  items.erase(items.begin() + index);
  if (lastMenu && lastMenu == item->getSubmenu()) lastMenu = nullptr;
  item->forget();
  if (currentIndex >= getNbEntries()) currentIndex = getNbEntries() - 1;
  updateRange();
  return true;
}

bool COptionMenu::removeAllEntry() {
  for (CMenuItem* item : items) item->forget();
  items.clear();
  currentIndex = -1;
  lastMenu = nullptr;
  lastResult = -1;
  updateRange();
  return true;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const {
  if (index < 0 || index >= getNbEntries()) return nullptr;
  return items[static_cast<size_t>(index)];
}

COptionMenu* COptionMenu::getSubMenu(int32_t index) const {
  CMenuItem* item = getEntry(index);
  return item ? item->getSubmenu() : nullptr;
}

CMenuItem* COptionMenu::getCurrent() const { return getEntry(currentIndex); }

bool COptionMenu::getCurrent(char* text, bool countSeparator) const {
  return getCurrent(text, countSeparator, 256);
}

bool COptionMenu::getCurrent(char* text, bool, size_t bufferSize) const {
  if (!text || bufferSize == 0) return false;
  CMenuItem* item = getCurrent();
  if (!item) {
    text[0] = 0;
    return false;
  }
  const std::string& title = item->getTitle();
  const size_t n = std::min(title.size(), bufferSize - 1);
  std::memcpy(text, title.data(), n);
  text[n] = 0;
  return true;
}

int32_t COptionMenu::getCurrentIndex(bool countSeparator) const {
  if (countSeparator || currentIndex < 0) return currentIndex;
  int32_t separators = 0;
  for (int32_t i = 0; i < currentIndex && i < getNbEntries(); ++i)
    if (items[static_cast<size_t>(i)]->isSeparator()) ++separators;
  return currentIndex - separators;
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparator) {
  if (!countSeparator) {
    // Find the entry that is the index-th when separators are skipped.
    int32_t seen = -1;
    for (int32_t i = 0; i < getNbEntries(); ++i) {
      if (items[static_cast<size_t>(i)]->isSeparator()) continue;
      if (++seen == index) {
        index = i;
        break;
      }
    }
    if (seen != index) return false;
  }
  if (index < 0 || index >= getNbEntries()) return false;
  setValue(static_cast<float>(index));
  return true;
}

COptionMenu* COptionMenu::getLastItemMenu(int32_t& idxInMenu) const {
  idxInMenu = lastMenu ? lastResult : -1;
  return lastMenu;
}

void COptionMenu::setValue(float val) {
  const int32_t index = static_cast<int32_t>(val);
  if (!(val >= 0.f) || index >= getNbEntries()) return;
  currentIndex = index;
  value = static_cast<float>(index);
}

bool COptionMenu::ownsMenu(const COptionMenu* menu) const {
  if (menu == this) return true;
  for (CMenuItem* item : items)
    if (item->getSubmenu() && item->getSubmenu()->ownsMenu(menu)) return true;
  return false;
}

bool COptionMenu::popup() {
  lastMenu = nullptr;
  lastResult = -1;
  CFrame* frame = getFrame();
  if (!frame || inPopup) return false;
  IMenuDriver* driver = frame->getMenuDriver();
  if (!driver) return false;
  inPopup = true;
  remember();
  CPoint where(size.left, size.top);
  localToFrame(where);
  const MenuChoice choice = driver->runMenu(*frame, *this, where);
  bool chosen = false;
  // Only an entry of this menu tree that the user can choose counts; anything else is a dismissal.
  if (choice.menu && ownsMenu(choice.menu)) {
    CMenuItem* item = choice.menu->getEntry(choice.index);
    if (item && item->isSelectable()) {
      lastMenu = choice.menu;
      lastResult = choice.index;
      COptionMenu* holder = choice.menu;
      holder->remember();
      holder->setValue(static_cast<float>(choice.index));
      holder->setDirty();
      holder->valueChanged();
      holder->forget();
      chosen = true;
    }
  }
  inPopup = false;
  forget();
  return chosen;
}

bool COptionMenu::doPopup() {
  remember();
  const bool chosen = popup();
  endEdit();
  forget();
  return chosen;
}

std::string COptionMenu::getDisplayText() const {
  CMenuItem* item = getCurrent();
  return item ? item->getTitle() : std::string();
}

void COptionMenu::draw(CDrawContext* context) { CParamDisplay::draw(context); }

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons) {
  lastButton = buttons;
  if (buttons.getModifierState() && listener && listener->controlModifierClicked(this, buttons) != 0)
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  if (buttons & (kLButton | kRButton | kApple)) {
    beginEdit();
    doPopup();
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

}  // namespace VSTGUI
