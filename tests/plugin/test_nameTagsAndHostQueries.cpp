// Program names held in tags, and the plug-in's answers to the host's descriptive queries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "plugin/uPlugin.h"
#include "plugin/uTagMap.h"
#include "support/fakeEditorLink.h"
#include "support/fakeHost.h"
#include "support/expectValues.h"

using testing_support::FakeEditorLink;
using testing_support::FakeHost;

namespace {

std::string decode(const float* values) {
  char text[PROGRAM_NAME_LENGTH + 1];
  std::memset(text, 'q', sizeof(text));
  tagmap::decodeNameTags(values, text);
  return text;
}

intptr_t dispatch(APlugin& p, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f) {
  AEffect* e = p.getAeffect();
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

}  // namespace

TEST(NameTags, CharactersRoundTrip) {
  for (int c = 32; c <= 127; ++c) {
    EXPECT_EQ(tagmap::valueToNameChar(tagmap::nameCharToValue(static_cast<char>(c))), static_cast<char>(c)) << c;
    EXPECT_EQ(tagmap::nameCharToValue(static_cast<char>(c)), (static_cast<float>(c) + 0.5f) / 255.99f);
  }
  // Control characters and bytes above 127 are stored as 0.
  for (int c : {0, 1, 10, 31, 128, 200, 255}) EXPECT_EQ(tagmap::nameCharToValue(static_cast<char>(c)), 0.0f) << c;
}

TEST(NameTags, NamesEndAtZeroOrAfterTwentyEightCharacters) {
  std::vector<float> values(NUM_PARAMS, 0.0f);
  tagmap::encodeNameTags("Default", values.data());
  EXPECT_EQ(decode(values.data()), "Default");
  EXPECT_EQ(values[912 + 7], 0.0f);
  const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01";  // exactly 28
  tagmap::encodeNameTags(full.c_str(), values.data());
  EXPECT_EQ(decode(values.data()), full);
  values[940] = tagmap::nameCharToValue('!');  // beyond the name tags: never read
  EXPECT_EQ(decode(values.data()), full);
  const std::string longer = full + "TAIL";
  tagmap::encodeNameTags(longer.c_str(), values.data());
  EXPECT_EQ(decode(values.data()), full);
  // A zero tag in the middle ends the name.
  values[912 + 3] = 0.0f;
  EXPECT_EQ(decode(values.data()), "ABC");
  // A control character ends it too.
  tagmap::encodeNameTags("ab\x01" "cd", values.data());
  EXPECT_EQ(decode(values.data()), "ab");
}

TEST(NameTags, HostileValuesAreClampedBeforeBecomingCharacters) {
  EXPECT_VALUES(
      {tagmap::valueToNameChar(std::numeric_limits<float>::quiet_NaN()), 0}, {tagmap::valueToNameChar(-3.0f), 0},
      {tagmap::valueToNameChar(1e30f), tagmap::valueToNameChar(1.0f)},
      {tagmap::valueToNameChar(std::numeric_limits<float>::infinity()), tagmap::valueToNameChar(1.0f)});
  std::vector<float> values(NUM_PARAMS, 0.0f);
  values[912] = tagmap::nameCharToValue('X');
  values[913] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(decode(values.data()), "X");
}

TEST(NameTags, WritingTheLoadTagKeepsTheValue) {
  auto p = std::make_unique<APlugin>(nullptr);
  p->setParameter(LOAD_PROGRAM_TAG, 0.5f);
  EXPECT_EQ(p->getParameter(LOAD_PROGRAM_TAG), 0.5f);
  p->setParameter(912, tagmap::nameCharToValue('Z'));
  EXPECT_EQ(tagmap::valueToNameChar(p->getParameter(912)), 'Z');
}

TEST(HostQueries, IdentityStrings) {
  auto p = std::make_unique<APlugin>(nullptr);
  char text[256];
  EXPECT_EQ(dispatch(*p, kEffGetEffectName, 0, 0, text), 1);
  EXPECT_STREQ(text, "Grindle2");
  EXPECT_EQ(dispatch(*p, kEffGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "Grindle2");
  EXPECT_EQ(dispatch(*p, kEffGetVendorString, 0, 0, text), 1);
  EXPECT_STREQ(text, "Kestrune");
  EXPECT_EQ(dispatch(*p, kEffGetVendorVersion), 65536);
  EXPECT_EQ(dispatch(*p, kEffGetVstVersion), 2400);
}

TEST(HostQueries, CanDo) {
  auto p = std::make_unique<APlugin>(nullptr);
  for (const char* yes : {"plugAsChannelInsert", "1in1out", "1in2out", "2in2out", "receiveVstTimeInfo",
                          "receiveVstEvents", "receiveVstMidiEvent"}) {
    std::string s = yes;
    EXPECT_EQ(dispatch(*p, kEffCanDo, 0, 0, s.data()), 1) << yes;
  }
  for (const char* no : {"sendVstMidiEvent", "", "receiveVstMidiEvents", "2in2ou", "bypass"}) {
    std::string s = no;
    EXPECT_EQ(dispatch(*p, kEffCanDo, 0, 0, s.data()), 0) << no;
  }
}

TEST(HostQueries, PinProperties) {
  auto p = std::make_unique<APlugin>(nullptr);
  VstPinProperties pin;
  std::memset(&pin, 'u', sizeof(pin));
  EXPECT_EQ(dispatch(*p, kEffGetInputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "In 1 + 2");
  EXPECT_EQ(pin.flags, 3);
  EXPECT_EQ(dispatch(*p, kEffGetInputProperties, 2, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "In 3 + 4");
  std::memset(&pin, 'u', sizeof(pin));
  EXPECT_EQ(dispatch(*p, kEffGetInputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 3);
  EXPECT_EQ(pin.label[0], 'u');  // odd pins keep their label
  EXPECT_VALUES(
      {dispatch(*p, kEffGetInputProperties, 4, 0, &pin), 0}, {dispatch(*p, kEffGetInputProperties, -1, 0, &pin), 0},
      {dispatch(*p, kEffGetOutputProperties, 0, 0, &pin), 1});
  EXPECT_STREQ(pin.label, "Grindle2 1");
  EXPECT_EQ(pin.flags, 3);
  EXPECT_EQ(dispatch(*p, kEffGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Grindle2 2");
  EXPECT_EQ(dispatch(*p, kEffGetOutputProperties, 2, 0, &pin), 0);
}

TEST(HostQueries, WheelQueryReachesTheEditorOnly) {
  auto p = std::make_unique<APlugin>(nullptr);
  void* whee = reinterpret_cast<void*>(static_cast<intptr_t>(0x57686565));
  EXPECT_EQ(dispatch(*p, kEffVendorSpecific, 0x73744341, 0, whee, 1.0f), 0);  // no editor
  FakeEditorLink link;
  link.wheelAnswer = true;
  p->editorLink = &link;
  EXPECT_EQ(dispatch(*p, kEffVendorSpecific, 0x73744341, 0, whee, -2.0f), 1);
  ASSERT_EQ(link.wheels.size(), 1u);
  EXPECT_VALUES(
      {link.wheels[0], -2.0f}, {dispatch(*p, kEffVendorSpecific, 0x73744342, 0, whee, 1.0f), 0},
      {dispatch(*p, kEffVendorSpecific, 0x73744341, 0, nullptr, 1.0f), 0}, {link.wheels.size(), 1u});
  link.wheelAnswer = false;
  EXPECT_EQ(dispatch(*p, kEffVendorSpecific, 0x73744341, 0, whee, 1.0f), 0);
}

TEST(HostQueries, SwitchingOnAsksTheHostForNothing) {
  FakeHost host;
  auto p = std::make_unique<APlugin>(&FakeHost::callback);
  host.calls.clear();
  dispatch(*p, kEffMainsChanged, 0, 1);
  dispatch(*p, kEffMainsChanged, 0, 0);
  EXPECT_TRUE(host.calls.empty());
}

TEST(HostQueries, EditBracketsTellEditorThenHost) {
  FakeHost host;
  auto p = std::make_unique<APlugin>(&FakeHost::callback);
  FakeEditorLink link;
  p->beginEdit(17);  // no editor: only the host hears
  p->editorLink = &link;
  p->beginEdit(18);
  p->endEdit(18);
  EXPECT_EQ(link.editTags, (std::vector<int>{18, -1}));
  EXPECT_EQ(host.count(kHostBeginEdit), 2);
  EXPECT_EQ(host.count(kHostEndEdit), 1);
  EXPECT_EQ(host.last(kHostEndEdit)->index, 18);
}

TEST(HostQueries, ProcessingIsSafeUntilTheEngineArrives) {
  auto p = std::make_unique<APlugin>(nullptr);
  std::vector<float> in0(64, 0.5f), in1(64, -0.5f), side(64, 0.9f), out0(64, 9.0f), out1(64, 9.0f);
  float* ins[4] = {in0.data(), in1.data(), side.data(), side.data()};
  float* outs[2] = {out0.data(), out1.data()};
  AEffect* e = p->getAeffect();
  e->processReplacing(e, ins, outs, 64);
  for (int i = 0; i < 64; ++i) {
    ASSERT_TRUE(std::isfinite(out0[i]));
    ASSERT_TRUE(std::isfinite(out1[i]));
  }
  e->process(e, ins, outs, 64);  // the old accumulating call produces no audio
  for (int i = 0; i < 64; ++i) ASSERT_EQ(out0[i] + out1[i], 0.0f);
  e->processReplacing(e, ins, outs, 0);
  e->processReplacing(e, ins, outs, -5);
}
