// Controls: values and edit gestures, film strips, buttons and option menus with pop-ups.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/vstguiTester.h"
#include "support/expectValues.h"

using namespace VSTGUI;
using testing_support::FrameTester;
using testing_support::MenuLine;
using testing_support::RecordingDrawContext;

namespace {

struct Listener : IControlListener {
  void valueChanged(CControl* c) override { changes.push_back({c, c->getValue()}); }
  void controlBeginEdit(CControl*) override { ++begins; }
  void controlEndEdit(CControl*) override { ++ends; }
  int32_t controlModifierClicked(CControl*, CButtonState b) override {
    modifierClicks.push_back(b());
    return modifierAnswer;
  }
  std::vector<std::pair<CControl*, float>> changes;
  std::vector<int32_t> modifierClicks;
  int32_t modifierAnswer = 0;
  int begins = 0, ends = 0;
};

struct EditLog : VSTGUIEditorInterface {
  void beginEdit(int32_t index) override { log.push_back(index); }
  void endEdit(int32_t index) override { log.push_back(-1000 - index); }
  std::vector<int32_t> log;
};

// A temporary resource folder with film strips: frame k of a strip is filled with colours[k].
class StripFolder {
 public:
  StripFolder() {
    char pattern[] = "/tmp/grindle-vstgui-XXXXXX";
    folder = mkdtemp(pattern);
    CBitmap::setResourceFolder(folder);
  }
  ~StripFolder() {
    CBitmap::setResourceFolder("");
    std::filesystem::remove_all(folder);
  }
  void write(int id, int width, int frameHeight, const std::vector<uint32_t>& colours) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width,
                                                    frameHeight * static_cast<int>(colours.size()));
    cairo_t* cr = cairo_create(s);
    for (size_t k = 0; k < colours.size(); ++k) {
      const uint32_t c = colours[k];
      cairo_set_source_rgb(cr, ((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0, (c & 255) / 255.0);
      cairo_rectangle(cr, 0, static_cast<double>(k) * frameHeight, width, frameHeight);
      cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, CBitmap::resourcePath(id).c_str());
    cairo_surface_destroy(s);
  }
  std::string folder;
};

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kOpaqueBlack = 0xFF000000;

}  // namespace

TEST(VstguiControl, ValuesStayInRangeAndEditsAreCounted) {
  EditLog editor;
  FrameTester tester(CRect(0, 0, 100, 100), &editor);
  Listener listener;
  auto* c = new CControl(CRect(0, 0, 10, 10), &listener, 42);
  tester.frame()->addView(c);
  EXPECT_FLOAT_EQ(c->getDefaultValue(), 0.5f);
  c->setValue(1.5f);
  EXPECT_FLOAT_EQ(c->getValue(), 1.f);
  c->setValue(-0.5f);
  EXPECT_FLOAT_EQ(c->getValue(), 0.f);
  c->setValue(0.8f);
  c->setMax(0.5f);
  c->bounceValue();
  EXPECT_FLOAT_EQ(c->getValue(), 0.5f);
  c->setMax(1.f);

  c->beginEdit();
  c->beginEdit();
  c->endEdit();
  EXPECT_TRUE(c->isEditing());
  c->endEdit();
  c->endEdit();  // one too many: ignored
  EXPECT_EQ(editor.log, std::vector<int32_t>({42, -1042}));
  EXPECT_EQ(listener.begins, 1);
  EXPECT_EQ(listener.ends, 1);

  c->valueChanged();
  ASSERT_EQ(listener.changes.size(), 1u);
  EXPECT_EQ(listener.changes[0].first, c);
}

TEST(VstguiFilmStrip, KnobFrameIsTruncatedAndSnappedToAFrameStart) {
  auto* strip = new CBitmap(40, 137 * 40);
  auto* knob = new CAnimKnob(CRect(0, 0, 40, 40), nullptr, 1, 137, 40, strip);
  EXPECT_VALUES(
      {knob->frameOffsetFor(1.f).y, 5440}, {knob->frameOffsetFor(0.9999f).y, 5400}, {knob->frameOffsetFor(0.f).y, 0},
      {knob->frameOffsetFor(-0.2f).y, 0}, {knob->frameOffsetFor(0.5f).y, 68 * 40},
      {knob->frameOffsetFor(1.f / 136.f).y, 40});
  knob->setInverseBitmap(true);
  EXPECT_EQ(knob->frameOffsetFor(1.f).y, 0);
  EXPECT_EQ(knob->frameOffsetFor(0.f).y, 5440);
  knob->setInverseBitmap(false);

  knob->setValue(1.f);
  RecordingDrawContext rec;
  knob->draw(&rec);
  ASSERT_EQ(rec.ops.size(), 1u);
  EXPECT_EQ(rec.ops[0].kind, RecordingDrawContext::Kind::Bitmap);
  EXPECT_EQ(rec.ops[0].sourceOffset, CPoint(0, 5440));
  EXPECT_EQ(rec.ops[0].rect, CRect(0, 0, 40, 40));
  knob->forget();
  strip->forget();
}

TEST(VstguiFilmStrip, MovieBitmapRoundsToTheNearestFrame) {
  auto* strip = new CBitmap(10, 50);
  auto* movie = new CMovieBitmap(CRect(0, 0, 10, 10), nullptr, 9999, strip);
  EXPECT_VALUES(
      {movie->getNumSubPixmaps(), 5}, {movie->frameFor(0.f), 0}, {movie->frameFor(0.124f), 0},
      {movie->frameFor(0.125f), 1}, {movie->frameFor(0.874f), 3}, {movie->frameFor(0.875f), 4},
      {movie->frameFor(1.f), 4}, {movie->frameFor(7.f), 4}, {movie->frameFor(-1.f), 0});
  auto* meter = new CMovieBitmap(CRect(0, 0, 65, 29), nullptr, 9999, 47, 29, strip);
  EXPECT_EQ(meter->frameFor(1.f), 46);
  EXPECT_EQ(meter->frameFor(0.5f), 23);
  meter->setValue(1.f);
  RecordingDrawContext rec;
  meter->draw(&rec);
  ASSERT_EQ(rec.ops.size(), 1u);
  EXPECT_EQ(rec.ops[0].sourceOffset, CPoint(0, 46 * 29));
  meter->forget();
  movie->forget();
  strip->forget();
}

TEST(VstguiFilmStrip, FramesAreCopiedUnscaledFromTheResourceFolder) {
  StripFolder resources;
  resources.write(10080, 10, 10, {kRed, kGreen, kBlue});
  FrameTester tester(CRect(0, 0, 60, 20));
  auto* strip = new CBitmap(10080);
  ASSERT_TRUE(strip->isLoaded());
  EXPECT_EQ(strip->getWidth(), 10);
  EXPECT_EQ(strip->getHeight(), 30);
  auto* knob = new CAnimKnob(CRect(5, 5, 15, 15), nullptr, 1, 3, 10, strip);
  auto* movie = new CMovieBitmap(CRect(25, 5, 35, 15), nullptr, 2, strip);
  auto* missing = new CBitmap(10999);
  auto* empty = new CMovieBitmap(CRect(45, 5, 55, 15), nullptr, 3, missing);
  EXPECT_FALSE(missing->isLoaded());
  EXPECT_EQ(missing->getWidth(), 0);
  tester.frame()->addView(knob);
  tester.frame()->addView(movie);
  tester.frame()->addView(empty);
  knob->setValue(0.5f);   // frame 1
  movie->setValue(0.8f);  // frame 2
  tester.idle();
  EXPECT_EQ(tester.pixel(5, 5), kGreen);
  EXPECT_EQ(tester.pixel(14, 14), kGreen);
  EXPECT_EQ(tester.pixel(15, 15), kOpaqueBlack);  // nothing outside the view
  EXPECT_EQ(tester.pixel(30, 10), kBlue);
  EXPECT_EQ(tester.pixel(50, 10), kOpaqueBlack);  // a missing bitmap draws nothing
  knob->setValue(0.49f);                          // truncates to frame 0
  tester.idle();
  EXPECT_EQ(tester.pixel(10, 10), kRed);
  missing->forget();
  strip->forget();
}

TEST(VstguiFilmStrip, AMissingBitmapIsReportedOncePerId) {
  StripFolder resources;
  testing::internal::CaptureStderr();
  auto* first = new CBitmap(10998);
  auto* second = new CBitmap(10998);
  auto* other = new CBitmap(10997);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
  EXPECT_NE(log.find("10998"), std::string::npos);
  EXPECT_NE(log.find("10997"), std::string::npos);
  EXPECT_EQ(first->getHeight(), 0);
  first->forget();
  second->forget();
  other->forget();
}

TEST(VstguiFilmStrip, AnUnreadableFileGivesAnEmptyBitmap) {
  StripFolder resources;
  {
    FILE* f = std::fopen(CBitmap::resourcePath(10996).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("\x89PNG\r\n\x1a\nnot really a picture", f);
    std::fclose(f);
  }
  testing::internal::CaptureStderr();
  auto* broken = new CBitmap(10996);
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(broken->isLoaded());
  EXPECT_EQ(broken->getWidth(), 0);
  RecordingDrawContext rec;
  broken->draw(&rec, CRect(0, 0, 10, 10));  // drawing it is harmless
  CDrawContext nothing(nullptr);
  broken->draw(&nothing, CRect(0, 0, 10, 10));
  broken->forget();
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
  tester.click(5, 5);
  EXPECT_EQ(tester.mouseDown(5, 5, kRButton), kMouseEventNotHandled);
  ASSERT_EQ(listener.changes.size(), 2u);
  EXPECT_FLOAT_EQ(listener.changes[0].second, 1.f);
  EXPECT_FLOAT_EQ(listener.changes[1].second, 0.f);
  EXPECT_EQ(editor.log, std::vector<int32_t>({3, -1003, 3, -1003}));

  RecordingDrawContext rec;
  onOff->setValue(1.f);
  onOff->draw(&rec);
  EXPECT_EQ(rec.ops.back().sourceOffset, CPoint(0, 20));  // the lower half is "on"

  listener.changes.clear();
  editor.log.clear();
  tester.mouseDown(105, 5);
  ASSERT_EQ(listener.changes.size(), 1u);
  EXPECT_FLOAT_EQ(listener.changes[0].second, 1.f);
  kick->draw(&rec);
  EXPECT_EQ(rec.ops.back().sourceOffset, CPoint(0, 20));  // pressed picture
  tester.move(150, 50, kLButton);                         // off the button: picture only
  EXPECT_EQ(listener.changes.size(), 1u);
  tester.mouseUp(150, 50);
  ASSERT_EQ(listener.changes.size(), 2u);
  EXPECT_FLOAT_EQ(listener.changes[1].second, 0.f);
  EXPECT_EQ(editor.log, std::vector<int32_t>({9999, -10999}));
  switchBitmap->forget();
}

TEST(VstguiOptionMenu, TitleRulesIndexesAndNoDrawStyle) {
  auto* menu = new COptionMenu(CRect(0, 0, 100, 20), nullptr, 9998, nullptr, nullptr, kNoDrawStyle);
  menu->addEntry("-GVolume");
  menu->addEntry("-");
  menu->addEntry("Set to Default");
  menu->addEntry("-G");
  menu->addEntry("-Gap");
  menu->addEntry("- G");
  EXPECT_VALUES(
      {menu->getNbEntries(), 6}, {menu->getEntry(0)->isTitle(), true}, {menu->getEntry(0)->isEnabled(), false});
  EXPECT_EQ(menu->getEntry(0)->getTitle(), "Volume");
  EXPECT_TRUE(menu->getEntry(1)->isSeparator());
  EXPECT_TRUE(menu->getEntry(2)->isSelectable());
  EXPECT_EQ(menu->getEntry(3)->getTitle(), "");
  EXPECT_EQ(menu->getEntry(4)->getTitle(), "ap");  // any title starting "-G"
  EXPECT_TRUE(menu->getEntry(5)->isSelectable());  // only the exact prefix counts
  EXPECT_EQ(menu->getEntry(5)->getTitle(), "- G");

  menu->setValue(2.f);
  char text[256];
  ASSERT_TRUE(menu->getCurrent(text, false));
  EXPECT_STREQ(text, "Set to Default");
  char small[7];
  ASSERT_TRUE(menu->getCurrent(small, false, sizeof(small)));
  EXPECT_STREQ(small, "Set to");  // cut to the buffer
  EXPECT_EQ(menu->getCurrentIndex(true), 2);
  EXPECT_EQ(menu->getCurrentIndex(), 1);  // the separator before it is not counted
  menu->setValue(6.f);                    // out of range: ignored
  EXPECT_EQ(menu->getCurrentIndex(true), 2);
  menu->setEntry(2, "-");
  EXPECT_TRUE(menu->getEntry(2)->isSeparator());
  EXPECT_EQ(menu->getCurrentIndex(), 1);  // only separators before the current entry count
  menu->setEntry(2, "Set to Minimum");
  EXPECT_TRUE(menu->getEntry(2)->isSelectable());
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

TEST(VstguiOptionMenu, PopupChoiceReachesTheHoldingMenuAndItsListener) {
  EditLog editor;
  FrameTester tester(CRect(0, 0, 300, 300), &editor);
  Listener topListener, subListener;
  auto* top = new COptionMenu(CRect(100, 50, 116, 66), &topListener, 9999, nullptr, nullptr, 272);
  auto* sub = new COptionMenu(CRect(0, 0, 0, 0), &subListener, 157);
  top->addEntry("-GShape");
  top->addEntry("Set to Default");
  sub->addEntry("LFO 1");
  sub->addEntry("LFO 2");
  top->addEntry(sub, "Modulate By LFO");
  sub->forget();
  tester.frame()->addView(top);

  tester.menus().chooseTitle("LFO 2");
  EXPECT_TRUE(top->popup());
  EXPECT_EQ(tester.menus().lastWhere, CPoint(100, 50));
  const std::vector<MenuLine>& shown = tester.menus().lastShown;
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[0].title, "Shape");
  EXPECT_TRUE(shown[2].hasSubmenu);
  EXPECT_EQ(shown[4].depth, 1);
  EXPECT_EQ(shown[4].title, "LFO 2");
  ASSERT_EQ(subListener.changes.size(), 1u);
  EXPECT_EQ(subListener.changes[0].first, sub);
  EXPECT_FLOAT_EQ(subListener.changes[0].second, 1.f);
  EXPECT_TRUE(topListener.changes.empty());
  int32_t index = -1;
  EXPECT_EQ(top->getLastItemMenu(index), sub);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(sub->getCurrent()->getTitle(), "LFO 2");

  tester.menus().chooseTitle("Set to Default");
  EXPECT_TRUE(top->popup());
  ASSERT_EQ(topListener.changes.size(), 1u);
  EXPECT_FLOAT_EQ(topListener.changes[0].second, 1.f);
  EXPECT_EQ(top->getLastItemMenu(index), top);

  // Dismissed: no choice, nobody told.
  tester.menus().dismiss();
  EXPECT_FALSE(top->popup());
  EXPECT_EQ(top->getLastItemMenu(index), nullptr);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(topListener.changes.size() + subListener.changes.size(), 2u);

  // Answers the user could not have given count as dismissals.
  auto* stranger = new COptionMenu(CRect(0, 0, 0, 0), &subListener, 1);
  stranger->addEntry("LFO 1");
  for (MenuChoice bad : {MenuChoice{top, 0}, MenuChoice{top, 2}, MenuChoice{top, 7}, MenuChoice{sub, -1},
                         MenuChoice{stranger, 0}}) {
    tester.menus().answer([bad](COptionMenu&) { return bad; });
    EXPECT_FALSE(top->popup());
    EXPECT_EQ(top->getLastItemMenu(), nullptr);
  }
  EXPECT_EQ(topListener.changes.size() + subListener.changes.size(), 2u);
  stranger->forget();

  // A click opens the pop-up inside one edit gesture.
  editor.log.clear();
  tester.menus().chooseTitle("LFO 1");
  tester.click(105, 55);
  EXPECT_EQ(editor.log, std::vector<int32_t>({9999, -10999}));
  EXPECT_EQ(subListener.changes.size(), 2u);
  EXPECT_EQ(tester.menus().runs, 9);
}

TEST(VstguiOptionMenu, ModifierClicksAskTheListenerFirstAndMenusNeedAFrame) {
  FrameTester tester(CRect(0, 0, 100, 100));
  Listener listener;
  listener.modifierAnswer = 1;
  auto* menu = new COptionMenu(CRect(0, 0, 50, 20), &listener, 12);
  menu->addEntry("One");
  auto* loose = new COptionMenu(CRect(0, 0, 50, 20), &listener, 13);
  loose->addEntry("One");
  tester.frame()->addView(menu);
  tester.menus().chooseTitle("One");
  tester.click(5, 5, kLButton | kShift);
  EXPECT_EQ(listener.modifierClicks, std::vector<int32_t>({kLButton | kShift}));
  EXPECT_EQ(tester.menus().runs, 0);
  listener.modifierAnswer = 0;
  tester.click(5, 5, kLButton | kShift);
  EXPECT_EQ(tester.menus().runs, 1);
  EXPECT_FALSE(loose->popup());  // not in a frame
  tester.frame()->setMenuDriver(nullptr);
  EXPECT_FALSE(menu->popup());  // the offscreen platform has no menus: dismissed
  loose->forget();
}
