// An editor stand-in for control and screen tests: a toolkit editor over a real plug-in that
// records every call the controls make on their editor.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "controls/uControlEditor.h"
#include "plugin/uPlugin.h"
#include "vstgui/vstgui.h"

namespace testing_support {

class FakeControlEditor : public VSTGUI::AEffGUIEditor, public IControlEditor {
 public:
  explicit FakeControlEditor(APlugin* plugin) : AEffGUIEditor(nullptr), plugin_(plugin) {}

  APlugin* getPlugin() override { return plugin_; }
  void changeProgramDelta(int delta) override { log("programDelta", delta); }
  void changeFolderDelta(int delta) override { log("folderDelta", delta); }
  void updateDistort(int type) override { log("updateDistort", type); }
  void setDropTag(int tag) override { log("setDropTag", tag); }
  void releasedDropDial() override { log("releasedDropDial"); }
  bool isDroppable(int tag) override { return droppable && tag >= 0 && tag < 1024; }
  bool getModDial() override { return modDial; }
  float getWaveShaperDistortValues(int ws, int point) override {
    return waveShaperValue ? waveShaperValue(ws, point) : 0.0f;
  }
  VSTGUI::CBitmap* menuLeftArrowBitmap() override { return leftArrow; }
  VSTGUI::CBitmap* menuRightArrowBitmap() override { return rightArrow; }
  VSTGUI::CBitmap* vuBitmap() override { return vu; }
  VSTGUI::CBitmap* sliderBitmap() override { return slider; }
  VSTGUI::CBitmap* sliderModBitmap() override { return sliderMod; }
  VSTGUI::CBitmap* waveShaperDotBitmap() override { return waveShaperDot; }
  void showMIDIMenu(VSTGUI::CControl* control, const VSTGUI::CPoint& p) override {
    log("showMIDIMenu", control ? control->getTag() : -1, p);
  }
  void showControlMenu(const VSTGUI::CPoint& p) override { log("showControlMenu", 0, p); }
  void showDestMenu(const VSTGUI::CPoint& p, int tag) override { log("showDestMenu", tag, p); }
  void showModMenu(const VSTGUI::CPoint& p, int row) override { log("showModMenu", row, p); }
  void showEQMenu(const VSTGUI::CPoint& p, int eq) override { log("showEQMenu", eq, p); }
  void showWaveShaperMenu(const VSTGUI::CPoint& p, int shaper) override {
    log("showWaveShaperMenu", shaper, p);
  }
  void setEQUndo() override { log("setEQUndo"); }
  void setModUndo() override { log("setModUndo"); }
  void setWaveShaperUndo() override { log("setWaveShaperUndo"); }

  // Edit gestures reach the plug-in (and through it the host) as the real editor's do.
  void beginEdit(int32_t tag) override {
    ++begins;
    if (plugin_) plugin_->beginEdit(tag);
  }
  void endEdit(int32_t tag) override {
    ++ends;
    if (plugin_) plugin_->endEdit(tag);
  }
  int begins = 0;
  int ends = 0;

  struct Call {
    std::string name;
    int arg = 0;
    VSTGUI::CPoint where;
  };
  std::vector<Call> calls;
  // Names of the calls made, in order.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const Call& c : calls) out.push_back(c.name);
    return out;
  }
  int count(const std::string& name) const {
    int n = 0;
    for (const Call& c : calls) n += c.name == name;
    return n;
  }

  bool droppable = true;
  bool modDial = true;
  float (*waveShaperValue)(int, int) = nullptr;
  VSTGUI::CBitmap* leftArrow = nullptr;
  VSTGUI::CBitmap* rightArrow = nullptr;
  VSTGUI::CBitmap* vu = nullptr;
  VSTGUI::CBitmap* slider = nullptr;
  VSTGUI::CBitmap* sliderMod = nullptr;
  VSTGUI::CBitmap* waveShaperDot = nullptr;

 private:
  void log(const char* name, int arg = 0, VSTGUI::CPoint where = {}) { calls.push_back({name, arg, where}); }
  APlugin* plugin_;
};

}  // namespace testing_support
