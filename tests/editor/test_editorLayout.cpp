// The main screen's layout at every size: every show operation leaves each view inside its
// container and clear of its siblings, shows each parameter once, draws only art of its own size,
// and every control made is shown somewhere; menus, the type knobs and their tables.
#include <filesystem>
#include <functional>
#include <map>
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
  if (mode == 0) return {};
  return {{mode == 1 ? "Big150" : "Big200", "Y"}};
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

bool isChildOf(const CViewContainer* box, const CView* view) {
  for (int32_t i = 0; i < box->getNbViews(); ++i)
    if (box->getView(i) == view) return true;
  return false;
}

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
    tags.clear();
    checkChildren(*frame, CRect(0, 0, frame->getViewSize().getWidth(), frame->getViewSize().getHeight()));
    // Each parameter has one control on screen; only the volume has two (header and box).
    for (const auto& [tag, count] : tags) EXPECT_LE(count, tag == VOLUME_TAG ? 2 : 1) << "tag " << tag;
    RecordingDrawContext context;
    context.setClipRect(frame->getViewSize());
    frame->drawRect(&context, frame->getViewSize());
    const int base = 10000 + 1000 * GetParam();
    for (const auto& op : context.of(RecordingDrawContext::Kind::Bitmap)) {
      EXPECT_GE(op.bitmapId, base);
      EXPECT_LT(op.bitmapId, base + 1000);
      EXPECT_TRUE(std::filesystem::exists(CBitmap::resourcePath(op.bitmapId))) << op.bitmapId;
    }
  }

  void checkChildren(CViewContainer& parent, const CRect& bounds) {
    std::vector<CView*> children;
    for (int32_t i = 0; i < parent.getNbViews(); ++i) children.push_back(parent.getView(i));
    for (size_t i = 0; i < children.size(); ++i) {
      CView* v = children[i];
      shown.insert(v);
      if (const auto* c = dynamic_cast<const CControl*>(v); c && c->getTag() >= 0 && c->getTag() < NUM_PARAMS)
        ++tags[c->getTag()];
      EXPECT_TRUE(inside(v->getViewSize(), bounds)) << describe(v) << " leaves " << describe(&parent);
      if (auto* box = dynamic_cast<CViewContainer*>(v)) {
        const CRect& r = box->getViewSize();
        checkChildren(*box, CRect(0, 0, r.getWidth(), r.getHeight()));
      }
      // The settings screen's return button lies under everything on purpose.
      if (v == editor->backsideButton) continue;
      for (size_t j = i + 1; j < children.size(); ++j)
        EXPECT_FALSE(children[j] != editor->backsideButton &&
                     overlap(footprint(v, GetParam()), footprint(children[j], GetParam())))
            << describe(v) << " covers " << describe(children[j]);
    }
  }

  std::set<const CView*> shown;
  std::map<int, int> tags;  // shown controls per parameter
};

TEST_P(EditorLayout, EveryShowOperationKeepsViewsInsideApartAndEachParameterOnce) {
  std::vector<std::pair<std::string, std::function<void()>>> steps = {
      {"open", [] {}},
      {"main screen", [&] { editor->showMainScreen(); }},
      {"compressor", [&] { editor->showCompressor(); }},
  };
  for (int hp = 0; hp < 2; ++hp)
    steps.emplace_back("filter " + std::to_string(hp), [this, hp] {
      plugin->setParameter(HP_TYPE_TAG, static_cast<float>(hp));
      plugin->setParameter(LP_TYPE_TAG, static_cast<float>(1 - hp));
      editor->showFilter();
    });
  for (int path = 0; path < NUM_MODULE_PATHS; ++path)
    steps.emplace_back("path " + std::to_string(path), [this, path] {
      plugin->setSteppedValue(MODULE_PATH_TAG, path);
      editor->updatePath();
    });
  for (int chorus = 0; chorus < 2; ++chorus)
    steps.emplace_back(chorus ? "chorus" : "widener", [this, chorus] {
      plugin->setParameter(CHORUS_MODE_TAG, static_cast<float>(chorus));
      editor->showWidenChorus();
    });
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type)
    for (int oldEQ = 0; oldEQ < 2; ++oldEQ)
      for (int view = 0; view < 2; ++view)
        steps.emplace_back("type " + std::to_string(type) + " old EQ " + std::to_string(oldEQ) + " view " +
                               std::to_string(view),
                           [this, type, oldEQ, view] {
                             plugin->setSteppedValue(DISTORT_TYPE_TAG, type);
                             plugin->setParameter(OLD_EQ_TAG, static_cast<float>(oldEQ));
                             editor->setSelectedEQ(view);
                             editor->showDistort();
                             // A type shows as many of its knobs as it has, whichever twin.
                             int knobs = 0;
                             for (int k = 0; k < NUM_DISTORT_KNOBS; ++k)
                               knobs += isChildOf(editor->distortBox, editor->typeKnobs[k]) +
                                        isChildOf(editor->distortBox, editor->typeKnobsCentred[k]);
                             EXPECT_EQ(knobs, FX_DIALS[static_cast<size_t>(type)]) << type;
                           });
  for (int tab = 0; tab < 4; ++tab)
    for (int page = 0; page < 4; ++page)
      for (int advanced = 0; advanced < 2; ++advanced)
        steps.emplace_back("tab " + std::to_string(tab) + " page " + std::to_string(page) + " advanced " +
                               std::to_string(advanced),
                           [this, tab, page, advanced] {
                             plugin->setParameter(MOD_ADVANCED_TAG, static_cast<float>(advanced));
                             editor->setBottomTab(tab);
                             editor->setLfoPage(page);
                             editor->showBottomScreen();
                           });
  steps.emplace_back("back side", [&] { editor->showBackside(); });
  steps.emplace_back("front again", [&] { editor->hideBackside(); });
  for (const auto& [name, apply] : steps) {
    apply();
    checkGeometry(name);
  }

  // Every control made is shown by some operation, but the type-knob twins that no type uses.
  std::set<const CView*> unusedTwins;
  for (int k = 0; k < NUM_DISTORT_KNOBS; ++k) {
    bool plainUsed = false, centredUsed = false;
    for (int t = 1; t < NUM_DISTORT_TYPES; ++t)
      if (k < std::max(FX_DIALS[static_cast<size_t>(t)], 1))
        (FX_DIAL_IS_CENTERED[static_cast<size_t>(t)][static_cast<size_t>(k)] ? centredUsed : plainUsed) =
            true;
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
  // The registry holds parameter controls only; menus are never set from a parameter value.
  for (int i = 0; i < editor->getRegistrySize(); ++i) {
    const auto& e = editor->getRegistryEntry(i);
    const int tag = e.control->getTag();
    EXPECT_TRUE(tag < NUM_PARAMS || tag == NO_PARAM_TAG || tag == COMMAND_MENU_TAG) << tag;
    EXPECT_TRUE(e.noResync || !dynamic_cast<const COptionMenu*>(e.control)) << tag;
  }
}

TEST_P(EditorLayout, KnobsSitOnTheirSeatsAndBoxesFollowThePath) {
  const int mode = GetParam();
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
  // Stages: distortion, filter, compressor, widener as 0..3, left to right.
  const std::pair<int, std::array<int, 4>> rows[] = {
      {0, {0, 1, 2, 3}}, {1, {0, 1, 3, 2}}, {2, {0, 2, 1, 3}}, {23, {3, 2, 1, 0}}};
  CViewContainer* boxes[4] = {editor->distortBox, editor->filterBox, editor->compressorBox,
                              editor->widenerBox};
  for (const auto& [path, order] : rows) {
    plugin->setSteppedValue(MODULE_PATH_TAG, path);
    editor->updatePath();
    CCoord left = editor->getScaled(29);
    for (int stage : order) {
      EXPECT_EQ(boxes[stage]->getViewSize().left, left) << "path " << path << " stage " << stage;
      EXPECT_EQ(boxes[stage]->getViewSize().top, editor->getScaled(117));
      left += boxes[stage]->getViewSize().getWidth();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, EditorLayout, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return std::to_string(100 + 50 * info.param); });

// ---- One size is enough for what follows ----

namespace {
// Titles of the entries of menu and its sub-menus, depth first.
std::vector<std::string> flatTitles(COptionMenu* menu, bool withSubMenuTitles = false) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
    if (COptionMenu* sub = menu->getSubMenu(i)) {
      if (withSubMenuTitles) out.push_back(menu->getEntry(i)->getTitle());
      for (std::string& t : flatTitles(sub)) out.push_back(std::move(t));
    } else {
      out.push_back(menu->getEntry(i)->getTitle());
    }
  }
  return out;
}
}  // namespace

TEST_F(OpenEditorTest, MenusHoldEveryChoiceOnceInOrder) {
  std::vector<std::string> names;
  for (int n = 0; n < NUM_DEMO_PROGRAMS; ++n) names.push_back(plugin->getPresetName(n));
  std::vector<std::string> presets = flatTitles(editor->presetMenu);
  presets.resize(names.size());
  EXPECT_EQ(presets, names);
  EXPECT_EQ(flatTitles(editor->distortTypeMenu),
            std::vector<std::string>(DISTORT_TYPE_STR.begin(), DISTORT_TYPE_STR.end()));
  std::vector<const DestSelector*> dests;
  for (auto& s : editor->followerDestMenus) dests.push_back(&s);
  for (auto& s : editor->lfoDestMenus) dests.push_back(&s);
  for (const DestSelector* s : dests)
    EXPECT_EQ(flatTitles(s->main).size(), static_cast<size_t>(NUM_MOD_DESTS));
  for (const SrcSelector& s : editor->followerSourceMenus)
    EXPECT_EQ(flatTitles(s.main), std::vector<std::string>(SRC_STR.begin(), SRC_STR.end()));
  // Menus of a parameter's steps: as many entries as the parameter has steps.
  std::vector<TOptionMenu*> byTag = {
      editor->pathMenu,           editor->disruptSpringMenu,      editor->disruptQuantMenu,
      editor->followerSourceMenu, editor->waveShaperModeMenus[0], editor->waveShaperModeMenus[1]};
  for (int l = 0; l < 4; ++l)
    byTag.insert(byTag.end(), {editor->lfoWaveMenus[l], editor->lfoTriggerMenus[l]});
  for (TOptionMenu* m : byTag) EXPECT_EQ(m->getNbEntries(), plugin->getMenuNum(m->getTag())) << m->getTag();
}

TEST_F(OpenEditorTest, TypeKnobsAreRememberedPerType) {
  plugin->setSteppedValue(DISTORT_TYPE_TAG, 3);
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
  for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(plugin->getParameter(6 + i), 0.05f * static_cast<float>(i + 1));
  EXPECT_FLOAT_EQ(plugin->getParameter(MIX_TAG), 0.5f);
  EXPECT_FLOAT_EQ(editor->mainMixKnob->getValue(), 0.5f);
  EXPECT_FLOAT_EQ(plugin->getParameter(VOLUME_TAG), 0.9f);  // stored, not recalled
  EXPECT_FLOAT_EQ(editor->getDistortTypeMemory(8)[3], 0.33f);
  EXPECT_FLOAT_EQ(editor->getDistortTypeMemory(8)[8], 0.9f);
  // Leaving type 0 keeps nothing; the wave-shaper types open their tab; out of range is limited.
  plugin->setSteppedValue(DISTORT_TYPE_TAG, 0);
  plugin->setParameter(6, 0.01f);
  const DistortRecord before = editor->getDistortTypeMemory(0);
  editor->updateDistort(50);
  EXPECT_EQ(editor->getDistortTypeMemory(0), before);
  for (auto [tab, type, shownTab] : {std::tuple{0, 51, 2}, {1, 49, 1}}) {
    editor->setBottomTab(tab);
    editor->updateDistort(type);
    EXPECT_EQ(editor->getBottomTab(), shownTab) << type;
  }
  for (auto [type, limited] : {std::pair{-1, 0}, {52, 51}}) {
    editor->updateDistort(type);
    EXPECT_EQ(plugin->getDistortType(), limited);
  }
}

TEST_F(OpenEditorTest, DestinationNamesAndCaptionsFollowTheType) {
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    plugin->setSteppedValue(DISTORT_TYPE_TAG, t);
    editor->showDistort();
    for (const DestSelector& s : editor->lfoDestMenus)
      for (int i = 0; i < 8; ++i)
        ASSERT_EQ(s.subs[1]->getEntry(i)->getTitle(), DISTORT_DEST_STR[static_cast<size_t>(t * 8 + i)]) << t;
    std::set<std::string> names;
    for (int d = 0; d < NUM_MOD_DESTS; ++d) names.insert(editor->getDestMenuName(d));
    EXPECT_EQ(names.size(), static_cast<size_t>(NUM_MOD_DESTS)) << t;
    for (int i = 0; i < FX_DIALS[static_cast<size_t>(t)]; ++i)
      EXPECT_EQ(editor->typeKnobs[i]->getString(), DISTORT_LABEL_STR[static_cast<size_t>(t * 8 + i)]);
  }
}

// ---- The distortion types' tables agree with each other ----

TEST(DistortTypeTables, KnobCountsDefaultsAndCentringAgree) {
  APlugin plugin(nullptr);
  int centred = 0;
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    int named = 0;
    for (const auto& cell : vocab_detail::DISTORT_KNOB_CELLS[t]) named += cell.caption.empty() ? 0 : 1;
    EXPECT_EQ(FX_DIALS[static_cast<size_t>(t)], t == 0 ? 0 : 2 + named) << t;
    plugin.setSteppedValue(DISTORT_TYPE_TAG, t);
    for (int k = 0; k < NUM_DISTORT_KNOBS; ++k) {
      const float v = DISTORT_TYPE_DEFAULTS[static_cast<size_t>(t)][static_cast<size_t>(k)];
      const int cell = FX_DIAL_IS_CENTERED[static_cast<size_t>(t)][static_cast<size_t>(k)];
      // Knobs a type does not show start at 0; its centred knobs in the middle, but the rectifiers'.
      EXPECT_TRUE(k < FX_DIALS[static_cast<size_t>(t)] || k == 0 || v == 0.0f) << t << " " << k;
      EXPECT_TRUE(!cell || v == 0.5f || (t == 21 && k == 2) || (t == 28 && k == 3)) << t << " " << k;
      // A knob is drawn centred exactly when its value text reads the middle of its range at 0.5.
      plugin.setParameter(6 + k, 0.5f);
      char text[64] = {};
      plugin.getParameterDisplay(6 + k, text);
      const std::string s(text);
      const bool middle = t != 0 && (s == "0.0 dB" || s == "0 dB" || s == "0 %" || s == "Equal");
      EXPECT_EQ(cell, middle ? 1 : 0) << "type " << t << " knob " << k << " shows " << s;
      centred += cell;
    }
  }
  EXPECT_EQ(centred, 74);
}
