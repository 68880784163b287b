#include "controlRegistry.h"

#include "controls/pluginControls.h"
#include "vstgui/ccontrol.h"

bool ControlRegistry::add(VSTGUI::CControl* control, int tag, bool knob, bool onOff, bool noResync) {
  if (!control || size() >= MAX_REGISTERED_CONTROLS) return false;
  Entry e;
  e.control = control;
  e.noResync = noResync;
  e.toolTip = knob || onOff || noResync;
  e.knob = knob;
  e.onOff = onOff;
  // Found once here, so that the idle pass reaches the ring without a cast per knob and pass.
  e.knobView = knob ? dynamic_cast<TKnob*>(control) : nullptr;
  const auto index = static_cast<int16_t>(entries.size());
  entries.push_back(e);
  if (static_cast<unsigned>(tag) < static_cast<unsigned>(NUM_PARAMS)) {
    const auto t = static_cast<size_t>(tag);
    if (lastByTag[t] >= 0)
      entries[static_cast<size_t>(lastByTag[t])].nextSameTag = index;
    else
      firstByTag[t] = index;
    lastByTag[t] = index;
  }
  return true;
}

void ControlRegistry::bind(const VSTGUI::CControl* control, ControlAction action) {
  if (control && action) actions.push_back({control, std::move(action)});
}

bool ControlRegistry::run(const VSTGUI::CControl* control, const ControlEvent& event) const {
  for (const BoundAction& b : actions) {
    if (b.control != control) continue;
    b.action(event);
    return true;
  }
  return false;
}

void ControlRegistry::clear() {
  entries.clear();
  entries.shrink_to_fit();
  actions.clear();
  actions.shrink_to_fit();
  firstByTag.fill(-1);
  lastByTag.fill(-1);
}
