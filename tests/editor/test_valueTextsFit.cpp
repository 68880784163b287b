// Every knob's value line shows the widest text its parameter can produce, whole, at each size.
#include <cairo.h>

#include <algorithm>
#include <map>
#include <set>

#include "editorTestUtil.h"
#include "plugin/uParamText.h"
#include "plugin/uVocabulary.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

struct Values : IParamTextSource {
  float v[NUM_PARAMS] = {};
  float paramValue(int tag) const override { return tag >= 0 && tag < NUM_PARAMS ? v[tag] : 0.f; }
};

// The one other setting a knob's text reads besides its own value (-1: none).
int contextTagOf(int tag) {
  if (tag >= DISTORT_KNOB_1_TAG && tag < DISTORT_KNOB_1_TAG + NUM_DISTORT_KNOBS) return DISTORT_TYPE_TAG;
  if (tag >= DISRUPT_SLOT_AMT_1_TAG && tag < DISRUPT_SLOT_AMT_1_TAG + NUM_DISRUPT_SLOTS)
    return DISRUPT_QUANT_TAG;
  if (tag == DISRUPT_LAZY_SPEED_TAG) return DISRUPT_LAZY_SYNC_TAG;
  for (size_t l = 0; l < LFO_SPEED_TAGS.size(); ++l)
    if (tag == LFO_SPEED_TAGS[l]) return LFO_SYNC_TAGS[l];
  if (tag >= WIDENER_AMOUNT_TAG && tag <= CHORUS_SPEED_TAG) return CHORUS_MODE_TAG;
  return -1;
}

// The values a tag can take: every step of a stepped one, both states of a switch, else a grid.
std::vector<float> valuesOf(int tag, bool onOff) {
  std::vector<float> out;
  if (onOff) return {0.f, 1.f};
  if (const int n = stepCountOf(tag); n > 0) {
    for (int s = 0; s < n; ++s) out.push_back((static_cast<float>(s) + 0.1f) / stepScaleOf(tag));
    return out;
  }
  for (int i = 0; i <= 1000; ++i) out.push_back(static_cast<float>(i) / 1000.f);
  return out;
}

// Every text a knob's parameter shows, with the settings of the plug-in as they stand otherwise.
std::set<std::string> textsOf(APlugin& plugin, int tag) {
  Values values;
  for (int t = 0; t < NUM_PARAMS; ++t) values.v[t] = plugin.getParameter(t);
  const int context = contextTagOf(tag);
  // Without a setting to walk, one pass that sets nothing.
  const std::vector<float> settings =
      context < 0 ? std::vector<float>{0.f} : valuesOf(context, plugin.isOnOffTag(context));
  std::set<std::string> texts;
  for (float c : settings) {
    if (context >= 0) values.v[context] = c;
    for (float x : valuesOf(tag, false)) {
      values.v[tag] = x;
      texts.insert(getParamDisplay(values, tag));
    }
  }
  return texts;
}

class ValueTextsFit : public EditorTest, public ::testing::WithParamInterface<int> {};

TEST_P(ValueTextsFit, EveryKnobShowsItsWidestTextWhole) {
  const int mode = GetParam();
  TestArt::useFullSet();
  make(mode == 0 ? std::map<std::string, std::string>{}
                 : std::map<std::string, std::string>{{mode == 1 ? "Big150" : "Big200", "Y"}});
  ASSERT_TRUE(openEditor());
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(surface);
  {
    CDrawContext context(cr);
    const auto widthAt = [&](const std::string& text, CCoord size) {
      context.setFont(FONT_SIZE[mode], size, FONT_STYLE);
      return context.getStringWidth(text.c_str());
    };
    // The texts do not depend on the size: walked once for all three.
    static std::map<int, std::set<std::string>> textsByTag;
    std::map<std::string, CCoord> naturalWidth;
    int knobs = 0;
    for (int i = 0; i < editor->getRegistrySize(); ++i) {
      TKnob* knob = editor->getRegistryEntry(i).knobView;
      if (!knob) continue;
      ++knobs;
      const int tag = knob->getTag();
      if (!textsByTag.count(tag)) textsByTag[tag] = textsOf(*plugin, tag);
      // The part of the value line inside the view, about the line's centre: what is drawn.
      const CRect line = knob->valueRect(), view = knob->getViewSize();
      const CCoord centre = (line.left + line.right) / 2;
      const CCoord room = 2 * std::min({centre - view.left, view.right - centre, line.getWidth() / 2});
      // The widest at the font's size are the widest at any: the three widest, to be safe.
      std::vector<std::pair<CCoord, std::string>> widest;
      for (const std::string& t : textsByTag[tag]) {
        if (!naturalWidth.count(t)) naturalWidth[t] = widthAt(t, 0);
        widest.emplace_back(naturalWidth[t], t);
      }
      std::sort(widest.rbegin(), widest.rend());
      widest.resize(std::min<size_t>(widest.size(), 3));
      for (const auto& [natural, text] : widest)
        EXPECT_LE(widthAt(text, knob->valueTextSize(&context, text)), room)
            << "tag " << tag << " \"" << text << "\" at " << 100 + 50 * mode << " %";
    }
    EXPECT_EQ(knobs, 82);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ValueTextsFit, ::testing::Values(0, 1, 2));

}  // namespace
