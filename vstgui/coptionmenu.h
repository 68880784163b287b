// Pop-up menus. Title rules: a title that is exactly "-" is a separator; a title beginning with
// "-G" is a disabled heading shown without those two characters.
#pragma once

#include <string>
#include <vector>

#include "cparamdisplay.h"

namespace VSTGUI {

class CMenuItem : public CBaseObject {
 public:
  enum Flags : int32_t {
    kNoFlags = 0,
    kDisabled = 1 << 0,
    kTitle = 1 << 1,
    kChecked = 1 << 2,
    kSeparator = 1 << 3
  };

  explicit CMenuItem(const std::string& title, int32_t flags = kNoFlags);
  // Keeps submenu alive (one reference) for as long as the item holds it.
  CMenuItem(const std::string& title, COptionMenu* submenu, int32_t flags = kNoFlags);
  ~CMenuItem() override;
  CMenuItem(const CMenuItem&) = delete;
  CMenuItem& operator=(const CMenuItem&) = delete;

  // Applies the title rules.
  void setTitle(const std::string& title);
  const std::string& getTitle() const { return title; }
  int32_t getFlags() const { return flags; }
  bool isEnabled() const { return !(flags & kDisabled); }
  bool isTitle() const { return (flags & kTitle) != 0; }
  bool isSeparator() const { return (flags & kSeparator) != 0; }
  bool isChecked() const { return (flags & kChecked) != 0; }
  void setEnabled(bool state);
  void setChecked(bool state);
  // Whether the user can choose this item (not a separator, heading, disabled item or sub-menu).
  bool isSelectable() const { return !(flags & (kDisabled | kTitle | kSeparator)) && !submenu; }
  COptionMenu* getSubmenu() const { return submenu; }
  void setSubmenu(COptionMenu* menu);
  int32_t getTag() const { return tag; }
  void setTag(int32_t t) { tag = t; }

 private:
  std::string title;
  int32_t flags;
  COptionMenu* submenu = nullptr;
  int32_t tag = -1;
};

class COptionMenu : public CParamDisplay {
 public:
  COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background = nullptr,
              CBitmap* bkhimage = nullptr, const int32_t style = 0);
  COptionMenu();
  // Copies the settings, not the entries.
  COptionMenu(const COptionMenu& other);
  ~COptionMenu() override;

  // Takes over the caller's reference to item.
  CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
  // The new item keeps the sub-menu alive; the caller may forget its own reference.
  CMenuItem* addEntry(COptionMenu* submenu, const std::string& title);
  CMenuItem* addEntry(const std::string& title, int32_t index = -1, int32_t itemFlags = CMenuItem::kNoFlags);
  CMenuItem* addSeparator(int32_t index = -1);
  CMenuItem* setEntry(int32_t index, const std::string& title);
  bool removeEntry(int32_t index);
  bool removeAllEntry();

  int32_t getNbEntries() const { return static_cast<int32_t>(items.size()); }
  CMenuItem* getEntry(int32_t index) const;
  COptionMenu* getSubMenu(int32_t index) const;
  // The entry of the current value (index counting separators), or null.
  CMenuItem* getCurrent() const;
  // Copies the current entry's title (at most 255 characters and the NUL); false without one.
  bool getCurrent(char* text, bool countSeparator = true) const;
  // The same into a buffer of bufferSize bytes (the title is cut to fit).
  bool getCurrent(char* text, bool countSeparator, size_t bufferSize) const;
  // Without countSeparator, separators before the current entry are not counted.
  int32_t getCurrentIndex(bool countSeparator = false) const;
  bool setCurrent(int32_t index, bool countSeparator = true);

  // The menu (this or a sub-menu) holding the entry chosen at the last pop-up, with the entry's
  // index; null when the pop-up was dismissed.
  COptionMenu* getLastItemMenu(int32_t& idxInMenu) const;
  COptionMenu* getLastItemMenu() const { return lastMenu; }
  int32_t getLastResult() const { return lastResult; }

  // Runs the pop-up modally at the menu's position; returns after the user chose or
  // dismissed. The menu holding the chosen entry takes the entry's index as value and tells
  // its own listener. The menu must be in a frame. True when an entry was chosen.
  bool popup();
  // Pop-up of the click: popup(), then the end of the edit begun by the click.
  bool doPopup();

  void setValue(float val) override;
  void draw(CDrawContext* context) override;
  std::string getDisplayText() const override;
  // A click with the left or right button or the Control key opens the pop-up.
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  const CButtonState& getLastButtons() const { return lastButton; }

  CBaseObject* newCopy() const override { return new COptionMenu(*this); }

 protected:
  bool ownsMenu(const COptionMenu* menu) const;
  void updateRange();

  std::vector<CMenuItem*> items;
  int32_t currentIndex = -1;
  COptionMenu* lastMenu = nullptr;
  int32_t lastResult = -1;
  CButtonState lastButton;
  CBitmap* bgWhenClick = nullptr;
  bool inPopup = false;
};

}  // namespace VSTGUI
