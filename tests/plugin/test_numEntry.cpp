// Typed values: the box each tag opens, the conversion of the answer, Cancel, and the same
// results under a comma-decimal locale. The dialogs are scripted; the host counts automation.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogTestSupport.h"
#include "plugin/uNumEntry.h"
#include "plugin/uPlugin.h"
#include "support/commaLocale.h"
#include "support/fakeEditorLink.h"
#include "support/fakeHost.h"

using dialogtest::exitedWith;

namespace {

struct Fixture {
  testing_support::FakeHost host;
  std::unique_ptr<APlugin> p = std::make_unique<APlugin>(&testing_support::FakeHost::callback);
  testing_support::FakeEditorLink link;
  dialogtest::ScriptedBackend dialogs{platform::DialogTool::zenity};
  dialogtest::ScopedBackend installed{&dialogs};

  Fixture() {
    p->editorLink = &link;
    p->editorOpen = true;
  }

  struct Result {
    std::vector<std::string> box;  // the dialog's command; empty when no box opened
    int stores = 0;                // values reaching the store (through the editor forward)
    float value = 0.0f;
  };

  // Sets `start`, answers the box with `answer` (nullopt: Cancel after typing "12") and reports.
  Result enter(int tag, float start, const std::optional<std::string>& answer) {
    if (APlugin::isValidTag(tag)) p->setParameter(tag, start);
    dialogs.calls.clear();
    dialogs.answers = {answer ? exitedWith(0, *answer + "\n") : exitedWith(1, "12\n")};
    link.parameters.clear();
    host.calls.clear();
    p->setNumValue(tag);
    EXPECT_EQ(host.count(kHostAutomate), 0) << "typed values are not automated (tag " << tag << ")";
    Result r;
    if (!dialogs.calls.empty()) r.box = dialogs.calls[0];
    r.stores = static_cast<int>(link.parameters.size());
    r.value = p->getParameter(tag);
    return r;
  }
};

std::vector<std::string> box(const std::string& title, const std::string& hint, const std::string& text) {
  return {"zenity", "--entry", "--title=" + title, "--text=" + hint, "--entry-text=" + text};
}

}  // namespace

TEST(NumEntry, BoxesAndConvertedAnswers) {
  Fixture f;
  struct Case {
    int tag;
    float start;
    const char* answer;
    const char* hint;
    const char* prefill;
    float expected;  // NAN: nothing stored
  };
  const Case cases[] = {
      {1, 0.625f, "0", "-30 to 10 dB", "-5.0", 0.75f},
      {1, 0.625f, "20", "-30 to 10 dB", "-5.0", 1.0f},
      {1, 0.625f, "-40", "-30 to 10 dB", "-5.0", 0.0f},
      {1, 0.625f, "-12.5 dB", "-30 to 10 dB", "-5.0", 0.4375f},
      {1, 0.625f, "abc", "-30 to 10 dB", "-5.0", 0.75f},  // no number reads 0
      {1, 0.625f, "1e3", "-30 to 10 dB", "-5.0", 1.0f},   // stripped first: 13 dB
      {1, 0.625f, "", "-30 to 10 dB", "-5.0", NAN},
      {230, 0.5f, "10", "-20 to 20 dB", "0.0", 0.75f},
      {41, 0.5f, "-10", "-40 to 0 dB", "-20.0", 0.75f},
      {87, 0.25f, "+15", "-30 to 30 dB", "-15.0", 0.75f},
      {2, 0.25f, "abc", "-100 to 100%", "-50.0", 0.5f},
      {229, 0.25f, "50%", "-100 to 100%", "-50.0", 0.75f},
      {7, 0.333f, "abc", "0 to 100%", "33.3", 0.0f},
      {245, 0.333f, "12.5", "0 to 100%", "33.3", 0.125f},
      {19, 0.3f, "640", "20 Hz to 20000 Hz", "20 Hz", 0.5f},
      {19, 0.3f, "20000", "20 Hz to 20000 Hz", "20 Hz", 0.99658f},
      {53, 0.3f, "440 Hz", "20 Hz to 20000 Hz", "20 Hz", 0.44594f},
      {48, 0.3f, "nan", "20 Hz to 20000 Hz", "20 Hz", 0.0f},
      {48, 0.3f, "-5", "20 Hz to 20000 Hz", "20 Hz", 0.0f},
      {48, 0.3f, "0", "20 Hz to 20000 Hz", "20 Hz", 0.0f},
      {48, 0.3f, "20.0001", "20 Hz to 20000 Hz", "20 Hz", 0.0f},
      {48, 0.3f, "20480", "20 Hz to 20000 Hz", "20 Hz", 1.0f},
      {48, 0.3f, "1e999", "20 Hz to 20000 Hz", "20 Hz", 1.0f},
      {48, 0.3f, "Hz 440", "20 Hz to 20000 Hz", "20 Hz", 0.0f},  // read as typed: no leading number
      {3, 1.0f, "On", "0 for Off, 1 for On", "On", NAN},         // the unchanged pre-fill
      {3, 1.0f, "0", "0 for Off, 1 for On", "On", 0.0f},
      {3, 0.0f, "0.7", "0 for Off, 1 for On", "Off", 1.0f},
      {246, 0.0f, "1", "0 for Off, 1 for On", "Off", 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.tag) + " \"" + c.answer + "\"");
    const Fixture::Result r = f.enter(c.tag, c.start, std::string(c.answer));
    EXPECT_EQ(r.box, box(getParamName(*f.p, c.tag), c.hint, c.prefill));
    if (std::isnan(c.expected)) {
      EXPECT_EQ(r.stores, 0);
      EXPECT_EQ(r.value, c.start);
    } else {
      EXPECT_EQ(r.stores, 1);
      EXPECT_NEAR(r.value, c.expected, 1e-5f);
    }
  }
}

TEST(NumEntry, TagsWithoutABoxAndCancelChangeNothing) {
  Fixture f;
  for (int tag : {0, 5, 66, 128, 129, 133, 240, 243, 247, 761, 1023, 1024, -1}) {
    const Fixture::Result r = f.enter(tag, 0.3f, std::string("0.5"));
    EXPECT_TRUE(r.box.empty()) << tag;
    EXPECT_EQ(r.stores, 0) << tag;
  }
  for (const numentry::Group& g : numentry::GROUPS) {
    for (int i = 0; i < g.tags.n; ++i) {
      const int tag = g.tags.v[static_cast<std::size_t>(i)].first;
      const Fixture::Result r = f.enter(tag, 0.3f, std::nullopt);
      EXPECT_EQ(r.box.empty(), g.kind == numentry::Kind::None) << tag;
      EXPECT_EQ(r.stores, 0) << tag;
      EXPECT_EQ(r.value, f.p->isOnOffTag(tag) ? 0.0f : 0.3f) << tag;
    }
  }
}

TEST(NumEntry, CommaLocaleReadsAndWritesPoints) {
  Fixture f;
  const testing_support::ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a comma decimal point is installed or can be generated";
  EXPECT_NEAR(f.enter(7, 0.0f, std::string("12.5")).value, 0.125f, 1e-6f);
  EXPECT_NEAR(f.enter(1, 0.0f, std::string("-5.0")).value, 0.625f, 1e-6f);

  // Confirming the pre-fill moves a value by at most its rounding to 0.1 of the unit.
  int checked = 0;
  for (int tag = 1; tag <= numentry::LAST_ENTRY_TAG; ++tag) {
    const numentry::Group& g = numentry::groupOf(tag);
    if (g.kind != numentry::Kind::Linear && g.kind != numentry::Kind::Switch) continue;
    const float start = f.p->isOnOffTag(tag) ? 1.0f : 0.3337f;
    const std::string text = numentry::prefill(g, start);
    const Fixture::Result r = f.enter(tag, start, text);
    ASSERT_EQ(r.box.size(), 5u) << tag;
    EXPECT_EQ(r.box[4], "--entry-text=" + text) << tag;
    EXPECT_EQ(text.find(','), std::string::npos) << tag;
    const float tolerance = g.kind == numentry::Kind::Linear ? 0.05f / g.scale + 1e-6f : 0.0f;
    EXPECT_NEAR(r.value, start, tolerance) << tag << " " << text;
    ++checked;
  }
  EXPECT_EQ(checked, 246 - 10 - 64);  // all but the ten frequencies and the tags without a box
}
