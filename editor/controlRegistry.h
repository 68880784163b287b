// The editor's controls in creation order, found by tag, and what each does when the user
// changes it. The idle pass resynchronises, rings and tool-tips from the entries; valueChanged
// runs the bound actions.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tags.h"

class TKnob;
namespace VSTGUI {
class CControl;
}

// What the user did to a control: its value, and for a menu the chosen entry's index and title.
struct ControlEvent {
  float value = 0.0f;
  int index = -1;
  std::string title;
  // Kick buttons and switches report press and release; the press is the value's upper half.
  bool pressed() const { return value > 0.5f; }
};
using ControlAction = std::function<void(const ControlEvent&)>;

// Registration stops here (the main screen registers about 150 controls).
inline constexpr int MAX_REGISTERED_CONTROLS = 10000;

class ControlRegistry {
 public:
  struct Entry {
    VSTGUI::CControl* control = nullptr;
    bool noResync = false;  // skipped by resume and notifications (menus: their value is a step)
    bool toolTip = false;   // idle may give it the parameter's name and value as tool-tip
    bool knob = false;
    bool onOff = false;
    int16_t nextSameTag = -1;
    TKnob* knobView = nullptr;  // set for knobs: idle gives them their modulation ring
  };

  ControlRegistry() { clear(); }

  // Appends control with the tag it carries; false (nothing added) when full.
  bool add(VSTGUI::CControl* control, int tag, bool knob, bool onOff, bool noResync);
  int size() const { return static_cast<int>(entries.size()); }
  const Entry& entry(int i) const { return entries[static_cast<size_t>(i)]; }
  std::vector<Entry>::const_iterator begin() const { return entries.begin(); }
  std::vector<Entry>::const_iterator end() const { return entries.end(); }
  // Every registered control with this tag, in creation order.
  template <typename F>
  void forEachWithTag(int tag, F&& f) const {
    if (static_cast<unsigned>(tag) >= static_cast<unsigned>(NUM_PARAMS)) return;
    for (int i = firstByTag[static_cast<size_t>(tag)]; i >= 0;
         i = entries[static_cast<size_t>(i)].nextSameTag)
      f(entries[static_cast<size_t>(i)]);
  }

  // What a control does when the user changes it, bound where the control is made (registered
  // or not: radio buttons and the preset menus are bound only).
  void bind(const VSTGUI::CControl* control, ControlAction action);
  // Runs the control's action; false when none is bound to it.
  bool run(const VSTGUI::CControl* control, const ControlEvent& event) const;

  void reserve(size_t n) { entries.reserve(n); }
  // Forgets every entry and action (the views are released by their owner).
  void clear();

 private:
  struct BoundAction {
    const VSTGUI::CControl* control;
    ControlAction action;
  };
  std::vector<Entry> entries;
  std::vector<BoundAction> actions;
  std::array<int16_t, NUM_PARAMS> firstByTag{};
  std::array<int16_t, NUM_PARAMS> lastByTag{};
};
