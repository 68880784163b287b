// The main screen's layout at every size: every show operation leaves each view inside its
// container and clear of its siblings, draws only art of its own size, and every control made is
// shown somewhere; menus, registry, the distortion-type knob memory and its tables.
//
// GRINDLE_LAYOUT_PICTURES=<folder> also writes a picture of each module box, tab and a few types.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <typeinfo>

#include "controls/pluginScreens.h"
#include "editorTestUtil.h"
#include "plugin/uVocabulary.h"

using namespace editortest;
using namespace VSTGUI;
using testing_support::RecordingDrawContext;

namespace {

std::map<std::string, std::string> sizePrefs(int mode) {
  if (mode == 1) return {{"Big150", "Y"}};
  if (mode == 2) return {{"Big200", "Y"}};
  return {};
}

std::string describe(const CView* v) {
  std::ostringstream s;
  const CRect& r = v->getViewSize();
  s << typeid(*v).name() << " (" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
  if (const auto* c = dynamic_cast<const CControl*>(v)) s << " tag " << c->getTag();
  return s.str();
}

bool inside(const CRect& inner, const CRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool overlap(const CRect& a, const CRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// What a view claims of its container: a knob its image square (its two text lines may pass
// under a neighbour), everything else its rectangle.
CRect footprint(const CView* v, int mode) {
  const CRect& r = v->getViewSize();
  const auto* knob = dynamic_cast<const TKnob*>(v);
  if (!knob) return r;
  const CCoord side = knob->getHeightOfOneImage();
  // The knob is as wide as its image plus its inset scaled; the image sits inset/2 (unscaled) in.
  const auto inset = static_cast<int>(std::lround((r.getWidth() - side) / SCALE[static_cast<size_t>(mode)]));
  const CCoord left = r.left + inset / 2;
  return CRect(left, r.top, left + side, r.top + side);
}

// What the Disrupt tab, an LFO page and so on look like as a picture, when asked for.
const char* pictureFolder() { return std::getenv("GRINDLE_LAYOUT_PICTURES"); }

}  // namespace

class EditorLayout : public EditorTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    TestArt::useFullSet();
    make(sizePrefs(GetParam()));
    ASSERT_TRUE(openEditor());
    ASSERT_EQ(editor->getScreenMode(), GetParam());
  }

  // Checks what the frame shows now; every view seen is kept in `shown`.
  void checkGeometry(const std::string& state) {
    SCOPED_TRACE(state);
    CFrame* frame = editor->getFrame();
    const CRect whole(0, 0, frame->getViewSize().getWidth(), frame->getViewSize().getHeight());
    checkChildren(*frame, whole, state);
    checkArt(state);
  }

  void checkChildren(CViewContainer& parent, const CRect& bounds, const std::string& state) {
    std::vector<CView*> children;
    for (int32_t i = 0; i < parent.getNbViews(); ++i) children.push_back(parent.getView(i));
    for (size_t i = 0; i < children.size(); ++i) {
      CView* v = children[i];
      shown.insert(v);
      EXPECT_TRUE(inside(v->getViewSize(), bounds)) << describe(v) << " leaves " << describe(&parent);
      if (auto* box = dynamic_cast<CViewContainer*>(v)) {
        const CRect& r = box->getViewSize();
        checkChildren(*box, CRect(0, 0, r.getWidth(), r.getHeight()), state);
      }
      // The settings screen's return button lies under everything on purpose.
      if (v == editor->backsideButton) continue;
      for (size_t j = i + 1; j < children.size(); ++j) {
        if (children[j] == editor->backsideButton) continue;
        EXPECT_FALSE(overlap(footprint(v, GetParam()), footprint(children[j], GetParam())))
            << describe(v) << " covers " << describe(children[j]);
      }
    }
  }

  // Everything drawn is art of the current size that exists.
  void checkArt(const std::string& state) {
    CFrame* frame = editor->getFrame();
    RecordingDrawContext context;
    context.setClipRect(frame->getViewSize());
    frame->drawRect(&context, frame->getViewSize());
    const int base = 10000 + 1000 * GetParam();
    for (const auto& op : context.of(RecordingDrawContext::Kind::Bitmap)) {
      EXPECT_GE(op.bitmapId, base) << state;
      EXPECT_LT(op.bitmapId, base + 1000) << state;
      EXPECT_TRUE(std::filesystem::exists(CBitmap::resourcePath(op.bitmapId))) << op.bitmapId;
    }
    if (const char* folder = pictureFolder(); folder && !picture.empty()) {
      frame->invalid();
      tester->idle();  // paints what is invalid into the frame's image
      tester->capturePNG(std::string(folder) + "/" + std::to_string(100 + 50 * GetParam()) + "-" + picture +
                         ".png");
      picture.clear();
    }
  }

  std::set<const CView*> shown;
  std::string picture;  // the name of a picture to take of the next state checked
};

TEST_P(EditorLayout, EveryShowOperationKeepsViewsInsideAndApart) {
  struct Step {
    std::string name;
    std::function<void()> apply;
    std::string picture;
  };
  std::vector<Step> steps = {
      {"open", [] {}, ""},
      {"main screen", [&] { editor->showMainScreen(); }, ""},
      {"filter 12/24",
       [&] {
         plugin->setParameter(HP_TYPE_TAG, 1.0f);
         editor->showFilter();
       },
       ""},
      {"filter 24/12",
       [&] {
         plugin->setParameter(HP_TYPE_TAG, 0.0f);
         plugin->setParameter(LP_TYPE_TAG, 1.0f);
         editor->showFilter();
       },
       ""},
      {"compressor", [&] { editor->showCompressor(); }, ""},
  };
  for (int path = 0; path < NUM_MODULE_PATHS; ++path)
    steps.push_back({"path " + std::to_string(path),
                     [this, path] {
                       plugin->setSteppedValue(MODULE_PATH_TAG, path);
                       editor->updatePath();
                     },
                     path == 23 ? "path24" : ""});
  for (int chorus = 0; chorus < 2; ++chorus)
    steps.push_back({chorus ? "chorus" : "widener",
                     [this, chorus] {
                       plugin->setParameter(CHORUS_MODE_TAG, static_cast<float>(chorus));
                       editor->showWidenChorus();
                     },
                     chorus ? "chorus" : ""});
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type)
    for (int oldEQ = 0; oldEQ < 2; ++oldEQ)
      for (int view = 0; view < 2; ++view)
        steps.push_back({"type " + std::to_string(type) + " old EQ " + std::to_string(oldEQ) + " view " +
                             std::to_string(view),
                         [this, type, oldEQ, view] {
                           plugin->setSteppedValue(DISTORT_TYPE_TAG, type);
                           plugin->setParameter(OLD_EQ_TAG, static_cast<float>(oldEQ));
                           editor->setSelectedEQ(view);
                           editor->showDistort();
                         },
                         (type == 4 && !oldEQ && !view) || (type == 24 && oldEQ && view) || type == 40
                             ? "type" + std::to_string(type) + "-oldEQ" + std::to_string(oldEQ) + "-view" +
                                   std::to_string(view)
                             : ""});
  for (int tab = 0; tab < 4; ++tab)
    for (int page = 0; page < 4; ++page)
      for (int advanced = 0; advanced < 2; ++advanced)
        steps.push_back({"tab " + std::to_string(tab) + " page " + std::to_string(page) + " advanced " +
                             std::to_string(advanced),
                         [this, tab, page, advanced] {
                           plugin->setParameter(MOD_ADVANCED_TAG, static_cast<float>(advanced));
                           editor->setBottomTab(tab);
                           editor->setLfoPage(page);
                           editor->showBottomScreen();
                         },
                         (tab < 3 && page == 0 && !advanced) || (tab == 3 && (page == 1 || advanced))
                             ? "tab" + std::to_string(tab) + "-lfo" + std::to_string(page + 1) + "-adv" +
                                   std::to_string(advanced)
                             : ""});
  steps.push_back({"back side", [&] { editor->showBackside(); }, "backside"});
  steps.push_back({"front again", [&] { editor->hideBackside(); }, ""});
  for (const Step& step : steps) {
    step.apply();
    picture = step.picture;
    checkGeometry(step.name);
  }

  // Every control made is shown by some operation, but the type-knob twins that no type uses.
  std::set<const CView*> unusedTwins;
  for (int k = 0; k < NUM_DISTORT_KNOBS; ++k) {
    bool plainUsed = false, centredUsed = false;
    for (int t = 1; t < NUM_DISTORT_TYPES; ++t) {
      if (k >= std::max(FX_DIALS[static_cast<size_t>(t)], 1)) continue;
      (FX_DIAL_IS_CENTERED[static_cast<size_t>(t)][static_cast<size_t>(k)] ? centredUsed : plainUsed) = true;
    }
    if (!plainUsed) unusedTwins.insert(editor->typeKnobs[k]);
    if (!centredUsed) unusedTwins.insert(editor->typeKnobsCentred[k]);
  }
  int made = 0;
  for (const CView* v : editor->getOwnedViews()) {
    if (unusedTwins.count(v)) continue;
    ++made;
    EXPECT_TRUE(shown.count(v)) << describe(v) << " is never shown";
  }
  EXPECT_GT(made, 200);
}

TEST_P(EditorLayout, RectanglesFollowTheCorrectionsOfTheSize) {
  const int mode = GetParam();
  const int typeKnobLeft[3] = {149, 224, 307}, eqScreenLeft[3] = {6, 7, 14};
  EXPECT_EQ(editor->typeKnobs[0]->getViewSize().left, typeKnobLeft[mode]);
  EXPECT_EQ(editor->typeKnobsCentred[0]->getViewSize().left, typeKnobLeft[mode]);
  EXPECT_EQ(editor->eqScreen->getViewSize().left, eqScreenLeft[mode]);
  // The knobs the artwork draws seats for sit on them: image square where the shared table says.
  const auto onSeat = [&](const TKnob* k, const KnobPlace& p) {
    const CRect image = footprint(k, mode);
    EXPECT_EQ(image.left, knobImageLeft(p, mode)) << describe(k);
    EXPECT_EQ(image.top, knobImageTop(p, mode)) << describe(k);
  };
  for (size_t i = 0; i < 8; ++i) onSeat(editor->typeKnobs[i], TYPE_KNOB_PLACES[i]);
  for (size_t i = 0; i < 4; ++i) onSeat(editor->oldEQKnobs[i], OLD_EQ_KNOB_PLACES[i]);
  for (size_t i = 0; i < 7; ++i) onSeat(editor->disruptKnobs[i], DISRUPT_KNOB_PLACES[i]);
  // Box left edges: the boxes before it in the path's stage order, from the left margin.
  struct Row {
    int path;
    int order[4];  // distortion, filter, compressor, widener as 0..3, left to right
  };
  const Row rows[] = {{0, {0, 1, 2, 3}}, {1, {0, 1, 3, 2}}, {2, {0, 2, 1, 3}}, {23, {3, 2, 1, 0}}};
  CViewContainer* boxes[4] = {editor->distortBox, editor->filterBox, editor->compressorBox,
                              editor->widenerBox};
  for (const Row& row : rows) {
    plugin->setSteppedValue(MODULE_PATH_TAG, row.path);
    editor->updatePath();
    CCoord left = editor->getScaled(29);
    for (int stage : row.order) {
      EXPECT_EQ(boxes[stage]->getViewSize().left, left) << "path " << row.path << " stage " << stage;
      EXPECT_EQ(boxes[stage]->getViewSize().top, editor->getScaled(117));
      left += boxes[stage]->getViewSize().getWidth();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, EditorLayout, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return std::to_string(100 + 50 * info.param); });

// ---- One size is enough for what follows ----

class EditorLayoutState : public OpenEditorTest {
 protected:
  std::vector<const CView*> distortViews() const {
    std::vector<const CView*> v;
    for (int32_t i = 0; i < editor->distortBox->getNbViews(); ++i)
      v.push_back(editor->distortBox->getView(i));
    return v;
  }
  bool inDistortBox(const CView* view) const {
    const auto v = distortViews();
    return std::find(v.begin(), v.end(), view) != v.end();
  }
};

TEST_F(EditorLayoutState, MenusHoldTheirEntries) {
  auto* preset = editor->presetMenu;
  ASSERT_EQ(preset->getNbEntries(), 17);
  const int subSizes[8] = {32, 18, 0, 0, 0, 0, 0, 0};
  for (int j = 0; j < 8; ++j) {
    COptionMenu* sub = preset->getSubMenu(j);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub, editor->presetSubMenus[j]);
    EXPECT_EQ(sub->getNbEntries(), subSizes[j]) << j;
  }
  EXPECT_EQ(preset->getEntry(0)->getTitle(), "Preset 1-32");
  EXPECT_EQ(preset->getSubMenu(1)->getEntry(17)->getTitle(), plugin->getPresetName(49));
  EXPECT_EQ(preset->getEntry(16)->getTitle(), "Set To 200% Screen");

  // Type menu: "None", then the five groups in the order of the type names.
  auto* types = editor->distortTypeMenu;
  ASSERT_EQ(types->getNbEntries(), 6);
  EXPECT_EQ(types->getEntry(0)->getTitle(), DISTORT_TYPE_STR[0]);
  const int groupSizes[5] = {30, 12, 2, 5, 2};
  size_t next = 1;
  for (int g = 0; g < 5; ++g) {
    COptionMenu* sub = types->getSubMenu(g + 1);
    ASSERT_EQ(sub->getNbEntries(), groupSizes[g]);
    for (int32_t i = 0; i < sub->getNbEntries(); ++i)
      EXPECT_EQ(sub->getEntry(i)->getTitle(), DISTORT_TYPE_STR[next++]);
  }
  EXPECT_EQ(next, DISTORT_TYPE_STR.size());

  // Selectors: "None" and one sub-menu per group of destinations or sources.
  const int destSizes[8] = {5, 12, 24, 16, 12, 12, 20, 10};
  std::vector<const DestSelector*> dests;
  for (auto& s : editor->followerDestMenus) dests.push_back(&s);
  for (auto& s : editor->lfoDestMenus) dests.push_back(&s);
  for (const DestSelector* s : dests) {
    ASSERT_EQ(s->main->getNbEntries(), 9);
    EXPECT_EQ(s->main->getEntry(0)->getTitle(), "None");
    for (int j = 0; j < 8; ++j) EXPECT_EQ(s->main->getSubMenu(j + 1)->getNbEntries(), destSizes[j]);
  }
  for (const SrcSelector& s : editor->followerSourceMenus) {
    ASSERT_EQ(s.main->getNbEntries(), 3);
    EXPECT_EQ(s.main->getEntry(0)->getTitle(), "None");
    EXPECT_EQ(s.main->getSubMenu(1)->getNbEntries(), 31);
    EXPECT_EQ(s.main->getSubMenu(2)->getNbEntries(), 23);
    EXPECT_EQ(s.main->getSubMenu(2)->getEntry(22)->getTitle(), SRC_STR[54]);
  }

  // Menus of a parameter's steps: as many entries as the parameter has steps, and texts for all.
  struct ByTag {
    TOptionMenu* menu;
    size_t tableSize;
  };
  std::vector<ByTag> byTag = {{editor->pathMenu, MODULE_PATH_STR.size()},
                              {editor->disruptSpringMenu, DISRUPT_SPRING_TIME_STR.size()},
                              {editor->disruptQuantMenu, DISRUPT_QUANT_STR.size()},
                              {editor->followerSourceMenu, FOLLOWER_SRC_STR.size()},
                              {editor->waveShaperModeMenus[0], WAVESHAPER_DISTORT_MODE_STR.size()},
                              {editor->waveShaperModeMenus[1], WAVESHAPER_DISTORT_MODE_STR.size()}};
  for (int l = 0; l < 4; ++l) {
    byTag.push_back({editor->lfoWaveMenus[l], LFO_WAVE_STR.size()});
    byTag.push_back({editor->lfoTriggerMenus[l], LFO_TRIGGER_STR.size()});
  }
  for (const ByTag& m : byTag) {
    ASSERT_NE(m.menu, nullptr);
    EXPECT_EQ(m.menu->getNbEntries(), plugin->getMenuNum(m.menu->getTag())) << m.menu->getTag();
    EXPECT_EQ(static_cast<size_t>(m.menu->getNbEntries()), m.tableSize) << m.menu->getTag();
  }
}

TEST_F(EditorLayoutState, RegistryHoldsParameterControlsAndTheSameCountAtEverySize) {
  std::vector<int> counts;
  for (int mode = 0; mode < 3; ++mode) {
    plugin.reset();
    std::filesystem::remove(prefsUserFilePath());
    make(sizePrefs(mode));
    ASSERT_TRUE(openEditor());
    counts.push_back(editor->getRegistrySize());
    for (int i = 0; i < editor->getRegistrySize(); ++i) {
      const auto& e = editor->getRegistryEntry(i);
      const int tag = e.control->getTag();
      EXPECT_TRUE(tag < NUM_PARAMS || tag == NO_PARAM_TAG || tag == COMMAND_MENU_TAG) << tag;
      if (dynamic_cast<const COptionMenu*>(e.control)) {
        EXPECT_TRUE(e.noResync) << tag;
      }
    }
    tester.reset();
  }
  EXPECT_EQ(counts[0], counts[1]);
  EXPECT_EQ(counts[0], counts[2]);
  EXPECT_GT(counts[0], 140);
}

TEST_F(EditorLayoutState, TypeKnobsAreRememberedPerType) {
  const auto setType = [&](int t) { plugin->setSteppedValue(DISTORT_TYPE_TAG, t); };
  setType(3);
  for (int i = 0; i < NUM_DISTORT_VARS; ++i)
    plugin->setParameter(DISTORT_VAR_TAGS[static_cast<size_t>(i)], 0.05f * static_cast<float>(i + 1));
  editor->updateDistort(8);
  EXPECT_EQ(plugin->getDistortType(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_FLOAT_EQ(plugin->getParameter(6 + i), DISTORT_TYPE_DEFAULTS[8][static_cast<size_t>(i)]) << i;
    EXPECT_FLOAT_EQ(editor->typeKnobs[i]->getDefaultValue(),
                    DISTORT_TYPE_DEFAULTS[8][static_cast<size_t>(i)]);
    EXPECT_FLOAT_EQ(editor->typeKnobsCentred[i]->getValue(), plugin->getParameter(6 + i));
  }
  EXPECT_FLOAT_EQ(plugin->getParameter(MIX_TAG), DISTORT_TYPE_DEFAULTS[8][9]);
  plugin->setParameter(VOLUME_TAG, 0.9f);
  plugin->setParameter(9, 0.33f);
  editor->updateDistort(3);
  for (int i = 0; i < 8; ++i)
    EXPECT_FLOAT_EQ(plugin->getParameter(6 + i), 0.05f * static_cast<float>(i + 1)) << i;
  EXPECT_FLOAT_EQ(plugin->getParameter(MIX_TAG), 0.5f);
  EXPECT_FLOAT_EQ(editor->mainMixKnob->getValue(), 0.5f);
  EXPECT_FLOAT_EQ(plugin->getParameter(VOLUME_TAG), 0.9f);  // stored, not recalled
  EXPECT_FLOAT_EQ(editor->getDistortTypeMemory(8)[3], 0.33f);
  EXPECT_FLOAT_EQ(editor->getDistortTypeMemory(8)[8], 0.9f);

  // Leaving type 0 keeps nothing; the wave-shaper types open their tab.
  setType(0);
  plugin->setParameter(6, 0.01f);
  const DistortRecord before = editor->getDistortTypeMemory(0);
  editor->updateDistort(50);
  EXPECT_EQ(editor->getDistortTypeMemory(0), before);
  EXPECT_EQ(editor->getBottomTab(), 2);
  editor->setBottomTab(0);
  editor->updateDistort(51);
  EXPECT_EQ(editor->getBottomTab(), 2);
  editor->setBottomTab(1);
  editor->updateDistort(49);
  EXPECT_EQ(editor->getBottomTab(), 1);

  // Out of range: limited to the first and last type.
  editor->updateDistort(-1);
  EXPECT_EQ(plugin->getDistortType(), 0);
  editor->updateDistort(52);
  EXPECT_EQ(plugin->getDistortType(), 51);
}

TEST_F(EditorLayoutState, ThreeKnobTypeShowsThreeKnobsOnItsBackgrounds) {
  plugin->setSteppedValue(DISTORT_TYPE_TAG, 24);
  editor->showDistort();
  EXPECT_EQ(editor->distortBox->getBackground()->getResourceId(), 10011);
  for (int k = 0; k < 8; ++k)
    EXPECT_EQ(inDistortBox(editor->typeKnobs[k]) || inDistortBox(editor->typeKnobsCentred[k]), k < 3) << k;
  EXPECT_TRUE(inDistortBox(editor->eqScreen));
  EXPECT_FALSE(inDistortBox(editor->oldEQSwitch));
  plugin->setParameter(OLD_EQ_TAG, 1.0f);
  editor->setSelectedEQ(1);
  editor->showDistort();
  EXPECT_EQ(editor->distortBox->getBackground()->getResourceId(), 10018);
  EXPECT_FALSE(inDistortBox(editor->eqScreen));
  EXPECT_TRUE(inDistortBox(editor->oldEQSwitch));
  for (TKnob* k : editor->oldEQKnobs) EXPECT_TRUE(inDistortBox(k));
  // Type 0: no type knobs.
  plugin->setSteppedValue(DISTORT_TYPE_TAG, 0);
  editor->showDistort();
  for (int k = 0; k < 8; ++k)
    EXPECT_FALSE(inDistortBox(editor->typeKnobs[k]) || inDistortBox(editor->typeKnobsCentred[k]));
}

TEST_F(EditorLayoutState, DestinationNamesFollowTheType) {
  std::vector<const DestSelector*> dests;
  for (auto& s : editor->followerDestMenus) dests.push_back(&s);
  for (auto& s : editor->lfoDestMenus) dests.push_back(&s);
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    plugin->setSteppedValue(DISTORT_TYPE_TAG, t);
    editor->showDistort();
    for (const DestSelector* s : dests)
      for (int i = 0; i < 8; ++i)
        ASSERT_EQ(s->subs[1]->getEntry(i)->getTitle(), DISTORT_DEST_STR[static_cast<size_t>(t * 8 + i)]) << t;
    std::set<std::string> names;
    for (int d = 0; d < NUM_MOD_DESTS; ++d) names.insert(editor->getDestMenuName(d));
    EXPECT_EQ(names.size(), static_cast<size_t>(NUM_MOD_DESTS)) << t;
    // The shown knobs carry the type's captions.
    for (int i = 0; i < FX_DIALS[static_cast<size_t>(t)]; ++i)
      EXPECT_EQ(editor->typeKnobs[i]->getString(), DISTORT_LABEL_STR[static_cast<size_t>(t * 8 + i)]);
  }
}

TEST_F(EditorLayoutState, DisruptTabShowsTheLazyModeRocker) {
  editor->setBottomTab(0);
  editor->showBottomScreen();
  std::vector<const CView*> views;
  for (int32_t i = 0; i < editor->bottomBox->getNbViews(); ++i)
    views.push_back(editor->bottomBox->getView(i));
  const auto at = [&](const CView* v) { return std::find(views.begin(), views.end(), v) - views.begin(); };
  ASSERT_NE(editor->disruptRocker, nullptr);
  EXPECT_EQ(at(editor->disruptRocker), at(editor->disruptSwitch132) + 1);
  EXPECT_EQ(editor->disruptRocker->getTag(), DISRUPT_LAZY_MODE_TAG);
}

// ---- Tables ----

TEST(DistortTypeTables, KnobCountsMatchTheNamedKnobs) {
  for (int t = 1; t < NUM_DISTORT_TYPES; ++t) {
    int named = 0;
    for (const auto& cell : vocab_detail::DISTORT_KNOB_CELLS[t]) named += cell.caption.empty() ? 0 : 1;
    EXPECT_EQ(FX_DIALS[static_cast<size_t>(t)], 2 + named) << t;
  }
  EXPECT_EQ(FX_DIALS[0], 0);
}

TEST(DistortTypeTables, DefaultsAreTheTypesStartingPoints) {
  struct Row {
    int type, tag;
    float value;
  };
  // A sample of the starting points, and the common ones.
  const Row rows[] = {{1, 9, 0.98f},       {2, 8, 0.3f},   {4, 13, 0.5f},  {13, 9, 0.25f},
                      {25, 10, 0.9f},      {28, 12, 0.1f}, {36, 13, 0.5f}, {43, 8, 0.2504174f},
                      {44, 8, 0.3759398f}, {51, 12, 1.f},  {0, 6, 0.5f},   {17, 1, 0.75f},
                      {30, 2, 1.0f},       {0, 13, 0.f}};
  for (const Row& r : rows) {
    const auto entry = static_cast<size_t>(
        std::find(DISTORT_VAR_TAGS.begin(), DISTORT_VAR_TAGS.end(), r.tag) - DISTORT_VAR_TAGS.begin());
    EXPECT_EQ(DISTORT_TYPE_DEFAULTS[static_cast<size_t>(r.type)][entry], r.value) << r.type << " " << r.tag;
  }
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t)
    for (int k = 0; k < NUM_DISTORT_KNOBS; ++k) {
      const float v = DISTORT_TYPE_DEFAULTS[static_cast<size_t>(t)][static_cast<size_t>(k)];
      // Knobs a type does not show start at 0; its bipolar knobs start in the middle, but the
      // two rectifiers.
      if (k >= FX_DIALS[static_cast<size_t>(t)] && k > 0) {
        EXPECT_EQ(v, 0.0f) << t << " " << k;
      }
      const bool rectifier = (t == 21 && k == 2) || (t == 28 && k == 3);
      if (FX_DIAL_IS_CENTERED[static_cast<size_t>(t)][static_cast<size_t>(k)] && !rectifier) {
        EXPECT_EQ(v, 0.5f) << t << " " << k;
      }
    }
  EXPECT_EQ(DEST_DISTORT_AMT.front(), DISTORT_KNOB_1_TAG);
}

// A knob is drawn centred exactly when its value text reads the middle of its range at 0.5.
TEST(DistortTypeTables, CentredKnobsAreThoseWhoseTextIsCentred) {
  APlugin plugin(nullptr);
  int ones = 0;
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    plugin.setSteppedValue(DISTORT_TYPE_TAG, t);
    for (int k = 0; k < NUM_DISTORT_KNOBS; ++k) {
      plugin.setParameter(6 + k, 0.5f);
      char text[64] = {};
      plugin.getParameterDisplay(6 + k, text);
      const std::string s(text);
      const bool middle = t != 0 && (s == "0.0 dB" || s == "0 dB" || s == "0 %" || s == "Equal");
      const int cell = FX_DIAL_IS_CENTERED[static_cast<size_t>(t)][static_cast<size_t>(k)];
      EXPECT_EQ(cell, middle ? 1 : 0) << "type " << t << " knob " << k << " shows " << s;
      ones += cell;
    }
  }
  EXPECT_EQ(ones, 74);
}
