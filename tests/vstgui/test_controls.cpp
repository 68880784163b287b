// Controls: values and edit gestures, film strips, knobs, buttons and option menus with pop-ups.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/expectValues.h"
#include "support/vstguiTester.h"

using namespace VSTGUI;
using testing_support::FrameTester;
using testing_support::RecordingDrawContext;

namespace {

struct Listener : IControlListener {
  void valueChanged(CControl* c) override { changes.push_back({c, c->getValue()}); }
  void controlBeginEdit(CControl*) override { ++begins; }
  int32_t controlModifierClicked(CControl*, CButtonState b) override {
    modifierClicks.push_back(b());
    return modifierAnswer;
  }
  std::vector<std::pair<CControl*, float>> changes;
  std::vector<int32_t> modifierClicks;
  int32_t modifierAnswer = 0;
  int begins = 0;
};

// The host's side of edit gestures: the tag at a begin, -1000 - tag at an end.
struct EditLog : VSTGUIEditorInterface {
  void beginEdit(int32_t index) override { log.push_back(index); }
  void endEdit(int32_t index) override { log.push_back(-1000 - index); }
  std::vector<int32_t> log;
};

// The source offset of the one bitmap a control draws.
CPoint drawnOffset(CView* v) {
  RecordingDrawContext rec;
  v->draw(&rec);
  return rec.ops.size() == 1 ? rec.ops[0].sourceOffset : CPoint(-1, -1);
}

}  // namespace

TEST(VstguiControl, ValuesStayInRangeAndNestedEditsAreOneGesture) {
  EditLog editor;
  FrameTester tester(CRect(0, 0, 100, 100), &editor);
  Listener listener;
  auto* c = new CControl(CRect(0, 0, 10, 10), &listener, 42);
  tester.frame()->addView(c);
  const float high = (c->setValue(1.5f), c->getValue());
  const float low = (c->setValue(-0.5f), c->getValue());
  c->setValue(0.8f);
  c->setMax(0.5f);
  c->bounceValue();
  EXPECT_VALUES({c->getDefaultValue(), 0.5f}, {high, 1.f}, {low, 0.f}, {c->getValue(), 0.5f});
  c->beginEdit();
  c->beginEdit();
  c->endEdit();
  EXPECT_TRUE(c->isEditing());
  c->endEdit();
  c->endEdit();  // one too many: ignored
  EXPECT_EQ(editor.log, std::vector<int32_t>({42, -1042}));
  EXPECT_EQ(listener.begins, 1);
}

TEST(VstguiFilmStrip, KnobFrameIsTruncatedAndMovieFrameRounded) {
  auto* strip = new CBitmap(40, 137 * 40);
  auto* knob = new CAnimKnob(CRect(0, 0, 40, 40), nullptr, 1, 137, 40, strip);
  knob->setValue(1.f);
  EXPECT_VALUES({knob->frameOffsetFor(0.9999f).y, 5400}, {knob->frameOffsetFor(0.f).y, 0},
                {knob->frameOffsetFor(-0.2f).y, 0}, {knob->frameOffsetFor(0.5f).y, 68 * 40},
                {knob->frameOffsetFor(1.f / 136.f).y, 40}, {drawnOffset(knob).y, 5440});
  knob->setInverseBitmap(true);
  EXPECT_VALUES({knob->frameOffsetFor(1.f).y, 0}, {knob->frameOffsetFor(0.f).y, 5440});

  auto* movie = new CMovieBitmap(CRect(0, 0, 10, 10), nullptr, 9999, new CBitmap(10, 50));
  movie->getBackground()->forget();
  EXPECT_VALUES({movie->getNumSubPixmaps(), 5}, {movie->frameFor(0.124f), 0}, {movie->frameFor(0.125f), 1},
                {movie->frameFor(0.874f), 3}, {movie->frameFor(0.875f), 4}, {movie->frameFor(7.f), 4},
                {movie->frameFor(-1.f), 0});
  auto* meter = new CMovieBitmap(CRect(0, 0, 65, 29), nullptr, 9999, 47, 29, strip);
  meter->setValue(1.f);
  EXPECT_VALUES({meter->frameFor(0.5f), 23}, {drawnOffset(meter).y, 46 * 29});
  for (CBaseObject* o : std::initializer_list<CBaseObject*>{knob, strip, movie, meter}) o->forget();
}

TEST(VstguiFilmStrip, FramesComeUnscaledFromTheResourceFolderAndBadFilesGiveEmptyBitmaps) {
  char pattern[] = "/tmp/grindle-vstgui-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  CBitmap::setResourceFolder(folder);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 30);
  cairo_t* cr = cairo_create(s);
  for (int k = 0; k < 3; ++k) {  // frames red, green, blue
    cairo_set_source_rgb(cr, k == 0, k == 1, k == 2);
    cairo_rectangle(cr, 0, 10 * k, 10, 10);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  cairo_surface_write_to_png(s, CBitmap::resourcePath(10080).c_str());
  cairo_surface_destroy(s);
  FILE* f = std::fopen(CBitmap::resourcePath(10996).c_str(), "wb");
  std::fputs("\x89PNG\r\n\x1a\nnot really a picture", f);
  std::fclose(f);

  testing::internal::CaptureStderr();
  auto* strip = new CBitmap(10080);
  auto* missing = new CBitmap(10998);
  auto* again = new CBitmap(10998);
  auto* broken = new CBitmap(10996);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << "each bad id reported once:\n" << log;
  EXPECT_VALUES({strip->getWidth(), 10}, {strip->getHeight(), 30}, {missing->isLoaded(), false},
                {missing->getWidth(), 0}, {broken->isLoaded(), false}, {broken->getHeight(), 0});
  CDrawContext nothing(nullptr);
  broken->draw(&nothing, CRect(0, 0, 10, 10));  // drawing it is harmless

  FrameTester tester(CRect(0, 0, 60, 20));
  auto* knob = new CAnimKnob(CRect(5, 5, 15, 15), nullptr, 1, 3, 10, strip);
  auto* movie = new CMovieBitmap(CRect(25, 5, 35, 15), nullptr, 2, strip);
  for (CView* v : {static_cast<CView*>(knob), static_cast<CView*>(movie),
                   static_cast<CView*>(new CMovieBitmap(CRect(45, 5, 55, 15), nullptr, 3, missing))})
    tester.frame()->addView(v);
  knob->setValue(0.5f);   // frame 1
  movie->setValue(0.8f);  // frame 2
  tester.idle();
  const uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, black = 0xFF000000;
  EXPECT_VALUES({tester.pixel(5, 5), green}, {tester.pixel(14, 14), green}, {tester.pixel(15, 15), black},
                {tester.pixel(30, 10), blue}, {tester.pixel(50, 10), black});
  knob->setValue(0.49f);  // truncates to frame 0
  tester.idle();
  EXPECT_EQ(tester.pixel(10, 10), red);
  for (CBitmap* b : {strip, missing, again, broken}) b->forget();
  CBitmap::setResourceFolder("");
  std::filesystem::remove_all(folder);
}

TEST(VstguiKnob, DragsWheelAndResetsMoveTheValueInOneGestureEach) {
  enum Action { kDrag, kDoubleClick, kClick, kWheel };
  const struct {
    Action action;
    float start;
    double amount;  // pixels dragged down, or wheel steps
    int32_t buttons;
    float expected;
  } cases[] = {{kDrag, 0.5f, -20, kLButton, 0.6f},
               {kDrag, 0.5f, 40, kLButton, 0.3f},
               {kDrag, 0.5f, -20, kLButton | kShift, 0.51f},
               {kDrag, 0.9f, -100, kLButton, 1.f},
               {kDrag, 0.5f, -20, kRButton, 0.5f},
               {kDoubleClick, 0.2f, 0, kLButton, 0.5f},
               {kClick, 0.2f, 0, kLButton | kControl, 0.5f},
               {kClick, 0.2f, 0, kLButton, 0.2f},
               {kWheel, 0.5f, 1, 0, 0.6f},
               {kWheel, 0.5f, -1, kShift, 0.49f},
               {kWheel, 0.05f, -1, 0, 0.f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "action " << c.action << " from " << c.start << " by " << c.amount);
    EditLog editor;
    FrameTester tester(CRect(0, 0, 100, 300), &editor);
    auto* knob = new CAnimKnob(CRect(0, 100, 40, 140), nullptr, 8, 2, 20, nullptr);
    tester.frame()->addView(knob);
    knob->setValue(c.start);
    tester.idle();  // shown at its start
    if (c.action == kDrag) tester.drag(CPoint(20, 120), CPoint(20, 120 + c.amount), 4, c.buttons);
    if (c.action == kDoubleClick) tester.doubleClick(20, 120, c.buttons);
    if (c.action == kClick) tester.click(20, 120, c.buttons);
    if (c.action == kWheel) tester.wheel(20, 120, static_cast<float>(c.amount), c.buttons);
    EXPECT_NEAR(knob->getValue(), c.expected, 1e-5);
    for (size_t i = 0; i < editor.log.size(); ++i)
      EXPECT_EQ(editor.log[i], i % 2 ? -1008 : 8) << "every begin is followed by its end";
    EXPECT_EQ(editor.log.size() % 2, 0u);
    EXPECT_EQ(editor.log.empty(), c.buttons == kRButton) << "the left button always makes a gesture";
  }
}

TEST(VstguiButtons, OnOffTogglesAndKickReportsPressAndRelease) {
  EditLog editor;
  FrameTester tester(CRect(0, 0, 200, 100), &editor);
  Listener listener;
  auto* switchBitmap = new CBitmap(20, 40);
  auto* onOff = new COnOffButton(CRect(0, 0, 20, 20), &listener, 3, switchBitmap);
  auto* kick = new CKickButton(CRect(100, 0, 120, 20), &listener, 9999, switchBitmap);
  tester.frame()->addView(onOff);
  tester.frame()->addView(kick);
  tester.click(5, 5);
  EXPECT_EQ(drawnOffset(onOff), CPoint(0, 20)) << "the lower half is \"on\"";
  tester.click(5, 5);
  EXPECT_EQ(tester.mouseDown(5, 5, kRButton), kMouseEventNotHandled);
  tester.mouseDown(105, 5);
  EXPECT_EQ(drawnOffset(kick), CPoint(0, 20)) << "pressed picture";
  tester.move(150, 50, kLButton);  // off the button: picture only
  const size_t whilePressed = listener.changes.size();
  tester.mouseUp(150, 50);
  std::vector<float> values;
  for (const auto& change : listener.changes) values.push_back(change.second);
  EXPECT_EQ(values, std::vector<float>({1.f, 0.f, 1.f, 0.f}));
  EXPECT_EQ(whilePressed, 3u);
  EXPECT_EQ(editor.log, std::vector<int32_t>({3, -1003, 3, -1003, 9999, -10999}));
  switchBitmap->forget();
}

TEST(VstguiOptionMenu, TitleRulesIndexesAndNoDrawStyle) {
  auto* menu = new COptionMenu(CRect(0, 0, 100, 20), nullptr, 9998, nullptr, nullptr, kNoDrawStyle);
  for (const char* title : {"-GVolume", "-", "Set to Default", "-G", "-Gap", "- G"}) menu->addEntry(title);
  // Title, and whether a heading, a separator, selectable: "-G" starts a heading, "-" alone separates.
  const struct {
    const char* title;
    bool isTitle, separator, selectable;
  } entries[] = {
      {"Volume", true, false, false}, {"", false, true, false},   {"Set to Default", false, false, true},
      {"", true, false, false},       {"ap", true, false, false}, {"- G", false, false, true}};
  ASSERT_EQ(menu->getNbEntries(), 6);
  for (int i = 0; i < 6; ++i) {
    CMenuItem* item = menu->getEntry(i);
    EXPECT_TEXTS({item->isSeparator() ? "" : item->getTitle(), entries[i].title});
    EXPECT_VALUES({item->isTitle(), entries[i].isTitle}, {item->isSeparator(), entries[i].separator},
                  {item->isSelectable(), entries[i].selectable}, {item->isEnabled(), !entries[i].isTitle});
  }
  menu->setValue(2.f);
  char text[256], small[7];
  ASSERT_TRUE(menu->getCurrent(text, false) && menu->getCurrent(small, false, sizeof(small)));
  EXPECT_TEXTS({text, "Set to Default"}, {small, "Set to"});  // cut to the buffer
  // Only separators before the current entry count out of the index without them.
  EXPECT_VALUES({menu->getCurrentIndex(true), 2}, {menu->getCurrentIndex(), 1});
  menu->setValue(6.f);  // out of range: ignored
  menu->setEntry(2, "-");
  EXPECT_VALUES({menu->getCurrentIndex(true), 2}, {menu->getCurrentIndex(), 1});
  menu->setEntry(2, "Set to Minimum");
  menu->setValue(5.f);
  menu->removeEntry(5);  // the current entry goes: the last one left becomes current
  EXPECT_EQ(menu->getCurrentIndex(true), 4);
  menu->setValue(2.f);
  RecordingDrawContext rec;
  menu->draw(&rec);
  EXPECT_TRUE(rec.ops.empty());
  menu->setStyle(0);
  menu->draw(&rec);
  EXPECT_EQ(rec.strings(), std::vector<std::string>({"Set to Minimum"}));
  menu->forget();
}

TEST(VstguiOptionMenu, PopupChoiceReachesTheHoldingMenuAndItsListenerAndNothingElse) {
  EditLog editor;
  FrameTester tester(CRect(0, 0, 300, 300), &editor);
  Listener topListener, subListener;
  auto* top = new COptionMenu(CRect(100, 50, 116, 66), &topListener, 9999, nullptr, nullptr, 272);
  auto* sub = new COptionMenu(CRect(0, 0, 0, 0), &subListener, 157);
  for (const char* title : {"-GShape", "Set to Default"}) top->addEntry(title);
  for (const char* title : {"LFO 1", "LFO 2"}) sub->addEntry(title);
  top->addEntry(sub, "Modulate By LFO");
  sub->forget();
  tester.frame()->addView(top);

  tester.menus().chooseTitle("LFO 2");
  EXPECT_TRUE(top->popup());
  EXPECT_EQ(tester.menus().lastWhere, CPoint(100, 50));
  const std::vector<testing_support::MenuLine>& shown = tester.menus().lastShown;
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_TEXTS({shown[0].title, "Shape"}, {shown[4].title, "LFO 2"},
               {sub->getCurrent()->getTitle(), "LFO 2"});
  int32_t index = -1;
  EXPECT_EQ(top->getLastItemMenu(index), sub);
  EXPECT_VALUES({shown[2].hasSubmenu, true}, {shown[4].depth, 1}, {index, 1});
  tester.menus().chooseTitle("Set to Default");
  EXPECT_TRUE(top->popup());
  EXPECT_EQ(top->getLastItemMenu(index), top);
  using Change = std::pair<CControl*, float>;
  EXPECT_EQ(subListener.changes, std::vector<Change>({{sub, 1.f}}));
  EXPECT_EQ(topListener.changes, std::vector<Change>({{top, 1.f}}));

  // Dismissed, or answers the user could not have given: no choice, nobody told.
  auto* stranger = new COptionMenu(CRect(0, 0, 0, 0), &subListener, 1);
  stranger->addEntry("LFO 1");
  tester.menus().dismiss();
  EXPECT_FALSE(top->popup());
  EXPECT_EQ(top->getLastItemMenu(index), nullptr);
  EXPECT_EQ(index, -1);
  for (MenuChoice bad : {MenuChoice{top, 0}, MenuChoice{top, 2}, MenuChoice{top, 7}, MenuChoice{sub, -1},
                         MenuChoice{stranger, 0}}) {
    tester.menus().answer([bad](COptionMenu&) { return bad; });
    EXPECT_FALSE(top->popup());
    EXPECT_EQ(top->getLastItemMenu(), nullptr);
  }
  EXPECT_EQ(topListener.changes.size() + subListener.changes.size(), 2u);
  stranger->forget();

  // A click opens the pop-up inside one edit gesture; with a modifier the listener is asked first.
  editor.log.clear();
  tester.menus().chooseTitle("LFO 1");
  tester.click(105, 55);
  EXPECT_EQ(editor.log, std::vector<int32_t>({9999, -10999}));
  topListener.modifierAnswer = 1;
  tester.click(105, 55, kLButton | kShift);
  EXPECT_EQ(topListener.modifierClicks, std::vector<int32_t>({kLButton | kShift}));
  EXPECT_EQ(tester.menus().runs, 9) << "the listener took the modifier click";
  auto* loose = new COptionMenu(CRect(0, 0, 50, 20), nullptr, 13);
  EXPECT_FALSE(loose->popup()) << "not in a frame";
  loose->forget();
  tester.frame()->setMenuDriver(nullptr);
  EXPECT_FALSE(top->popup()) << "the offscreen platform has no menus: dismissed";
}

// The host must end where the knob ends: a step that moves the value is reported even when it
// comes back to the value last drawn before the next idle pass redraws the knob.
TEST(VstguiKnob, StepsBackToTheDrawnValueStillReachTheListener) {
  using Steps = void (*)(CAnimKnob&);
  const std::pair<const char*, Steps> cases[] = {
      {"wheel up, wheel down",
       [](CAnimKnob& k) {
         k.onWheel(CPoint(), 1.f, CButtonState()), k.onWheel(CPoint(), -1.f, CButtonState());
       }},
      {"drag away and back",
       [](CAnimKnob& k) {
         CPoint start(5, 20), away(5, 0);
         k.onMouseDown(start, kLButton);
         k.onMouseMoved(away, kLButton);
         k.onMouseMoved(start, kLButton);
         k.onMouseUp(start, kLButton);
       }},
      {"wheel up, reset",
       [](CAnimKnob& k) {
         CPoint at(5, 5);
         k.onWheel(at, 1.f, CButtonState());
         k.onMouseDown(at, CButtonState(kLButton | kDoubleClick));
       }},
  };
  for (const auto& [name, steps] : cases) {
    Listener listener;
    CAnimKnob knob(CRect(0, 0, 40, 40), &listener, 1, 137, 40, new CBitmap(40, 137 * 40));
    knob.getBackground()->forget();
    knob.setValue(0.5f);
    drawnOffset(&knob);
    steps(knob);
    ASSERT_FALSE(listener.changes.empty()) << name;
    EXPECT_EQ(listener.changes.back().second, 0.5f) << name;
    EXPECT_EQ(knob.getValue(), 0.5f) << name;
  }
}
