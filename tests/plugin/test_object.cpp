// The plug-in object as the host meets it: host identity, the editor hook and its teardown,
// edit brackets, the old process call, parameter texts through the dispatcher.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "aeffeditor.h"
#include "plugin/uParamText.h"
#include "plugin/uPlugin.h"
#include "support/fakeHost.h"
#include "support/xdgSandbox.h"
#include "support/expectValues.h"

using testing_support::FakeHost;

namespace {

intptr_t dispatch(APlugin& p, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f) {
  AEffect* e = p.getAeffect();
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

std::unique_ptr<APlugin> makeWithHost(FakeHost& host, const std::string& vendor, const std::string& product) {
  host.vendor = vendor;
  host.product = product;
  return std::make_unique<APlugin>(&FakeHost::callback);
}

// An editor that logs its life and what the plug-in tells it.
std::vector<std::string> editorLog;

struct LoggingEditor : AEffEditor, IEditorLink {
  explicit LoggingEditor(AudioEffect* effect) : AEffEditor(effect) {}
  ~LoggingEditor() override { editorLog.push_back(isOpen() ? "deleted while open" : "deleted"); }
  bool open(void* window) override {
    AEffEditor::open(window);
    editorLog.push_back("open");
    return true;
  }
  void close() override {
    editorLog.push_back("close");
    AEffEditor::close();
  }
  bool isOpen() override { return AEffEditor::isOpen(); }
  void setParameter(int tag, float) override { editorLog.push_back("parameter " + std::to_string(tag)); }
  void setVU(float, float, float, float) override {}
  void resume() override {}
  void setEditTag(int tag) override { editorLog.push_back("edit " + std::to_string(tag)); }
  bool onWheel(float distance) override {
    editorLog.push_back("wheel " + std::to_string(static_cast<int>(distance)));
    return true;
  }
  void updatePath() override {}
  void updateDistort(int) override {}
};

CreatedEditor makeLoggingEditor(APlugin& plugin) {
  auto* e = new LoggingEditor(&plugin);
  return {e, e};
}
CreatedEditor makeNothing(APlugin&) { return {}; }
CreatedEditor throwWhileMaking(APlugin&) { throw std::runtime_error("no display"); }

struct FactoryScope {
  explicit FactoryScope(EditorFactory f) {
    editorLog.clear();
    APlugin::editorFactory = f;
  }
  ~FactoryScope() { APlugin::editorFactory = nullptr; }
};

}  // namespace

TEST(HostIdentity, FlagsFollowTheHostStrings) {
  struct Case {
    const char* vendor;
    const char* product;
    bool kore, maschine, veldra, propellerhead;
  };
  const Case cases[] = {
      {"Native Instruments", "MASCHINE HOST", false, true, false, false},
      {"Native Instruments", "maschine host", false, true, false, false},
      {"Native Instruments", "Maschine Host", false, true, false, false},
      {"Native Instruments", "MASCHINE HOST 2", false, false, false, false},
      {"Native Instruments", "MASCHINE HOS", false, false, false, false},
      {"Native Instruments", " MASCHINE HOST", false, false, false, false},
      {"Native Instruments", "Kore Player", true, false, false, false},
      {"Native Instruments", "kore", true, false, false, false},
      {"Native Instruments", "KOR", false, false, false, false},
      {"Native Instruments", "AKORE", false, false, false, false},
      {"Someone", "VELDRA", false, false, true, false},
      {"Someone", "veldra", false, false, true, false},
      {"Someone", "VELDRA ", false, false, false, false},
      {"Propellerhead Software", "Reason", false, false, false, true},
      {"prop", "x", false, false, false, true},
      {"PRO", "x", false, false, false, false},
      {"Propellerhead", "KORE 2", true, false, false, true},
      {"Test Vendor", "Test Product", false, false, false, false},
      {"", "", false, false, false, false},
  };
  for (const Case& c : cases) {
    FakeHost host;
    auto p = makeWithHost(host, c.vendor, c.product);
    const std::string what = std::string(c.vendor) + " / " + c.product;
    EXPECT_EQ(p->hostQuirkFlags.kore, c.kore) << what;
    EXPECT_EQ(p->hostQuirkFlags.maschine, c.maschine) << what;
    EXPECT_EQ(p->hostQuirkFlags.veldra, c.veldra) << what;
    EXPECT_EQ(p->hostQuirkFlags.propellerhead, c.propellerhead) << what;
    // Every host, recognised or not, exchanges the state as one chunk.
    EXPECT_TRUE(p->getAeffect()->flags & kEffFlagProgramChunks) << what;
    EXPECT_EQ(host.count(kHostGetVendorString), 1) << what;
    EXPECT_EQ(host.count(kHostGetProductString), 1) << what;
  }
}

TEST(HostIdentity, HostileStringsAreReadSafely) {
  // No host at all: no flags.
  auto none = std::make_unique<APlugin>(nullptr);
  EXPECT_FALSE(none->hostQuirkFlags.any());

  // The fake host writes 63 bytes without a terminator for long strings.
  FakeHost host;
  auto longKore = makeWithHost(host, "prop" + std::string(300, 'y'), "KORE" + std::string(300, 'x'));
  EXPECT_TRUE(longKore->hostQuirkFlags.kore);
  EXPECT_TRUE(longKore->hostQuirkFlags.propellerhead);

  // Bytes above 127 are neither letters nor signs of the end; upper-casing leaves them be.
  EXPECT_TRUE(APlugin::identifyHost("prop\xE9", "").propellerhead);
  EXPECT_FALSE(APlugin::identifyHost("\xD0rop", "").propellerhead);
  EXPECT_FALSE(APlugin::identifyHost("", "MASCHINE HOST\xA0").maschine);
  EXPECT_FALSE(APlugin::identifyHost("", "v\xC9LDRA").veldra);
  EXPECT_FALSE(APlugin::identifyHost(nullptr, nullptr).any());
  // Only 255 bytes are looked at: a vendor of 300 bytes still begins with "PROP".
  EXPECT_TRUE(APlugin::identifyHost(("PROP" + std::string(400, '\xFF')).c_str(), "").propellerhead);
}

TEST(EditorHook, WithoutAFactoryThereIsNoEditor) {
  auto p = std::make_unique<APlugin>(nullptr);
  EXPECT_EQ(p->getEditor(), nullptr);
  EXPECT_FALSE(p->getAeffect()->flags & kEffFlagHasEditor);
  EXPECT_FALSE(p->isEditorOpen());
  char window = 0;
  EXPECT_EQ(dispatch(*p, kEffEditOpen, 0, 0, &window), 0);
  dispatch(*p, kEffEditClose);
  void* whee = reinterpret_cast<void*>(static_cast<intptr_t>(0x57686565));
  EXPECT_EQ(dispatch(*p, kEffVendorSpecific, 0x73744341, 0, whee, 1.0f), 0);

  FactoryScope empty(&makeNothing);
  auto q = std::make_unique<APlugin>(nullptr);
  EXPECT_EQ(q->getEditor(), nullptr);
  EXPECT_FALSE(q->getAeffect()->flags & kEffFlagHasEditor);
  FactoryScope failing(&throwWhileMaking);
  auto r = std::make_unique<APlugin>(nullptr);
  EXPECT_EQ(r->getEditor(), nullptr);
  EXPECT_FALSE(r->getAeffect()->flags & kEffFlagHasEditor);
}

TEST(EditorHook, FactoryEditorIsReachedAndClosedBeforeDeletion) {
  FactoryScope scope(&makeLoggingEditor);
  auto owned = std::make_unique<APlugin>(nullptr);
  APlugin& p = *owned;
  ASSERT_NE(p.getEditor(), nullptr);
  EXPECT_TRUE(p.getAeffect()->flags & kEffFlagHasEditor);
  ASSERT_NE(p.editorLink, nullptr);

  char window = 0;
  EXPECT_EQ(dispatch(p, kEffEditOpen, 0, 0, &window), 1);
  EXPECT_FALSE(p.isEditorOpen());  // the editor has not raised its open flag yet
  p.editorOpen = true;
  EXPECT_TRUE(p.isEditorOpen());
  p.editorOpening = true;
  EXPECT_FALSE(p.isEditorOpen());
  p.editorOpening = false;

  void* whee = reinterpret_cast<void*>(static_cast<intptr_t>(0x57686565));
  EXPECT_EQ(dispatch(p, kEffVendorSpecific, 0x73744341, 0, whee, 3.0f), 1);
  p.setParameter(1, 0.25f);
  p.beginEdit(7);
  p.endEdit(7);

  // The host closes the instance with the editor still open.
  dispatch(p, kEffClose);
  owned.release();  // the close opcode deleted it
  EXPECT_EQ(editorLog, (std::vector<std::string>{"open", "wheel 3", "parameter 1", "edit 7", "edit -1",
                                                 "close", "deleted"}));
}

TEST(EditorHook, ClosedEditorIsDeletedWithoutAnotherClose) {
  FactoryScope scope(&makeLoggingEditor);
  auto p = std::make_unique<APlugin>(nullptr);
  char window = 0;
  dispatch(*p, kEffEditOpen, 0, 0, &window);
  dispatch(*p, kEffEditClose);
  p.reset();
  EXPECT_EQ(editorLog, (std::vector<std::string>{"open", "close", "deleted"}));
}

TEST(EditBrackets, TagsOutsideTheStoreReachNeitherEditorNorHost) {
  FactoryScope scope(&makeLoggingEditor);
  FakeHost host;
  host.answers[kHostBeginEdit] = 1;
  host.answers[kHostEndEdit] = 1;
  auto p = std::make_unique<APlugin>(&FakeHost::callback);
  for (int bad : {-1, 1024, 5000, INT32_MIN}) {
    EXPECT_FALSE(p->beginEdit(bad)) << bad;
    EXPECT_FALSE(p->endEdit(bad)) << bad;
  }
  EXPECT_VALUES(
      {host.count(kHostBeginEdit), 0}, {host.count(kHostEndEdit), 0}, {editorLog.empty(), true},
      {p->beginEdit(0), true}, {p->endEdit(1023), true}, {host.last(kHostBeginEdit)->index, 0},
      {host.last(kHostEndEdit)->index, 1023});
  EXPECT_EQ(editorLog, (std::vector<std::string>{"edit 0", "edit -1"}));
}

TEST(OldProcessCall, LeavesTheHostsBuffersAlone) {
  auto p = std::make_unique<APlugin>(nullptr);
  std::vector<float> in(32, 0.7f), out0(32, 0.25f), out1(32, -0.5f);
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out0.data(), out1.data()};
  AEffect* e = p->getAeffect();
  e->process(e, ins, outs, 32);
  e->process(e, nullptr, nullptr, 32);
  e->process(e, ins, outs, -1);
  for (int i = 0; i < 32; ++i) {
    ASSERT_EQ(out0[i], 0.25f);
    ASSERT_EQ(out1[i], -0.5f);
  }
}

TEST(ParameterTexts, ThroughTheDispatcher) {
  auto p = std::make_unique<APlugin>(nullptr);
  char text[128];
  auto ask = [&](int32_t opcode, int32_t tag) {
    std::memset(text, 'Z', sizeof(text));
    EXPECT_EQ(dispatch(*p, opcode, tag, 0, text), 0);
    return std::string(text);
  };
  EXPECT_TEXTS(
      {ask(kEffGetParamName, 1), "Volume"}, {ask(kEffGetParamName, 2), "Wet/Dry Mix"},
      {ask(kEffGetParamLabel, 1), " "});
  p->setParameter(1, 0.625f);
  EXPECT_EQ(ask(kEffGetParamDisplay, 1), "-5.0 dB");
  p->setParameter(129, 0.001f);
  EXPECT_EQ(ask(kEffGetParamDisplay, 129), "None");
  p->setParameter(2, 0.75f);
  EXPECT_EQ(ask(kEffGetParamDisplay, 2), "50/100 D/W");
  p->setParameter(3, 1.0f);
  EXPECT_EQ(ask(kEffGetParamDisplay, 3), "On");
  for (int bad : {-1, 1024, 99999}) {
    EXPECT_EQ(ask(kEffGetParamName, bad), "") << bad;
    EXPECT_EQ(ask(kEffGetParamDisplay, bad), "") << bad;
  }
  EXPECT_EQ(ask(kEffGetParamName, 0), "");  // an unused tag
}

TEST(ParameterTexts, NeverWriteBeyondTheirBuffers) {
  auto p = std::make_unique<APlugin>(nullptr);
  char text[96];
  for (float v : {0.0f, 0.123f, 0.5f, 0.999f, 1.0f}) {
    for (int t = 0; t < NUM_PARAMS; ++t) p->setParameter(t, v);
    for (int t = 0; t < NUM_PARAMS; ++t) {
      std::memset(text, 'Z', sizeof(text));
      dispatch(*p, kEffGetParamName, t, 0, text);
      ASSERT_LE(std::strlen(text), PARAM_NAME_MAX) << t;
      for (std::size_t i = PARAM_NAME_BUFFER; i < sizeof(text); ++i) ASSERT_EQ(text[i], 'Z') << t;
      std::memset(text, 'Z', sizeof(text));
      dispatch(*p, kEffGetParamDisplay, t, 0, text);
      ASSERT_LE(std::strlen(text), PARAM_DISPLAY_MAX) << t;
      for (std::size_t i = PARAM_DISPLAY_BUFFER; i < sizeof(text); ++i) ASSERT_EQ(text[i], 'Z') << t;
    }
  }
}

TEST(RandomNumbers, EachInstanceHasItsOwnSequence) {
  auto a = std::make_unique<APlugin>(nullptr);
  auto b = std::make_unique<APlugin>(nullptr);
  std::vector<int> fromA, fromB;
  for (int i = 0; i < 8; ++i) {
    fromA.push_back(a->random.nextInt());
    fromB.push_back(b->random.nextInt());
  }
  EXPECT_NE(fromA, fromB);
  // Drawing from one instance does not move the other.
  dsp::Rand15 copyOfB = b->random;
  for (int i = 0; i < 100; ++i) a->random.nextInt();
  EXPECT_EQ(b->random.nextInt(), copyOfB.nextInt());
}
