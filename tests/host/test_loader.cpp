// The offline host's loader and demo signal, in process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/host/vsthost.h"
#include "support/expectValues.h"

namespace {

float peak(const std::vector<float>& v) {
  float p = 0.0f;
  for (float x : v) p = std::max(p, std::fabs(x));
  return p;
}

bool allFinite(const std::vector<float>& v) {
  return std::all_of(v.begin(), v.end(), [](float x) { return std::isfinite(x); });
}

}  // namespace

TEST(Loader, LoadsOurModuleAndAnswersItsQueries) {
  std::string error;
  auto plugin = vsthost::Plugin::load(GRINDLE_SO_PATH, &error);
  ASSERT_NE(plugin, nullptr) << error;
  EXPECT_EQ(plugin->effectName(), "Grindle2");
  EXPECT_EQ(plugin->vendorString(), "Kestrune");
  EXPECT_VALUES({plugin->vendorVersion(), 65536}, {plugin->numInputs(), 4}, {plugin->numParams(), 1024});
  plugin->setParameter(2, 0.25f);
  EXPECT_EQ(plugin->getParameter(2), 0.25f);
}

TEST(Loader, HostCallbackServesTimeStringsAndAutomation) {
  auto plugin = vsthost::Plugin::load(GRINDLE_SO_PATH, nullptr);
  ASSERT_NE(plugin, nullptr);
  AEffect* e = plugin->effect();
  EXPECT_EQ(vsthost::hostCallback(nullptr, kHostVersion, 0, 0, nullptr, 0.0f), 2400);
  char text[64];
  EXPECT_EQ(vsthost::hostCallback(e, kHostGetVendorString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "Kestrune Tools");
  EXPECT_EQ(vsthost::hostCallback(e, kHostGetProductString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "g2host");

  plugin->start(48000.0, 480, 150.0);
  EXPECT_EQ(vsthost::hostCallback(e, kHostGetSampleRate, 0, 0, nullptr, 0.0f), 48000);
  EXPECT_EQ(vsthost::hostCallback(e, kHostGetBlockSize, 0, 0, nullptr, 0.0f), 480);
  auto* first = reinterpret_cast<VstTimeInfo*>(vsthost::hostCallback(e, kHostGetTime, 0, 0, nullptr, 0.0f));
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->flags & kVstTransportChanged);
  std::vector<float> in(480 * 4, 0.0f), out(480 * 2, 0.0f);
  float* ins[4] = {&in[0], &in[480], &in[960], &in[1440]};
  float* outs[2] = {&out[0], &out[480]};
  for (int b = 0; b < 100; ++b) plugin->process(ins, outs, 480);
  auto* t = reinterpret_cast<VstTimeInfo*>(vsthost::hostCallback(e, kHostGetTime, 0, 0, nullptr, 0.0f));
  ASSERT_NE(t, nullptr);
  EXPECT_VALUES({t->samplePos, 48000.0}, {t->sampleRate, 48000.0}, {t->tempo, 150.0});
  EXPECT_DOUBLE_EQ(t->ppqPos, 2.5);  // one second at 150 beats per minute
  EXPECT_VALUES(
      {t->barStartPos, 0.0}, {t->flags & kVstTransportChanged, 0}, {t->flags & kVstTransportPlaying, true},
      {t->flags & kVstTempoValid, true}, {t->flags & kVstPpqPosValid, true});

  vsthost::hostCallback(e, kHostAutomate, 12, 0, nullptr, 0.75f);
  ASSERT_EQ(plugin->host().automation.size(), 1u);
  EXPECT_EQ(plugin->host().automation[0].index, 12);
  EXPECT_EQ(plugin->host().automation[0].value, 0.75f);
}

TEST(Loader, RefusesWhatIsNotAPlugin) {
  std::string error;
  EXPECT_EQ(vsthost::Plugin::load("/nonexistent/nothing.so", &error), nullptr);
  EXPECT_FALSE(error.empty());
  for (const char* lib : {"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/x86_64-linux-gnu/libm.so.6"}) {
    if (!std::filesystem::exists(lib)) continue;
    error.clear();
    EXPECT_EQ(vsthost::Plugin::load(lib, &error), nullptr);
    EXPECT_NE(error.find("entry"), std::string::npos) << error;
    break;
  }
}

TEST(Loader, RendersThroughOurModule) {
  auto plugin = vsthost::Plugin::load(GRINDLE_SO_PATH, nullptr);
  ASSERT_NE(plugin, nullptr);
  std::vector<float> l, r, outL, outR;
  vsthost::synthesiseDemo(44100.0, 1.0, l, r);
  plugin->start(44100.0, 333, 120.0);
  vsthost::renderStereo(*plugin, l, r, outL, outR, 333);
  plugin->stop();
  ASSERT_EQ(outL.size(), l.size());
  ASSERT_EQ(outR.size(), r.size());
  EXPECT_TRUE(allFinite(outL));
  EXPECT_TRUE(allFinite(outR));
}

TEST(Loader, RendersThroughOtherPluginsExportingOnlyMain) {
  // Debian's own VST 2.4 plug-ins: mono and stereo, entry named main only.
  std::vector<std::string> found;
  for (const char* dir : {"/usr/lib/vst", "/usr/lib/lxvst"}) {
    for (const char* name : {"ZamComp-vst.so", "ZamDelay-vst.so", "ZamCompX2-vst.so", "ZamAutoSat-vst.so"}) {
      const std::string path = std::string(dir) + "/" + name;
      if (std::filesystem::exists(path)) found.push_back(path);
    }
  }
  if (found.empty()) GTEST_SKIP() << "no third-party VST 2.4 plug-ins installed";
  std::vector<float> l, r;
  vsthost::synthesiseDemo(44100.0, 1.0, l, r);
  for (const std::string& path : found) {
    std::string error;
    auto plugin = vsthost::Plugin::load(path, &error);
    ASSERT_NE(plugin, nullptr) << path << ": " << error;
    std::vector<float> outL, outR;
    plugin->start(44100.0, 512, 120.0);
    vsthost::renderStereo(*plugin, l, r, outL, outR, 512);
    plugin->stop();
    EXPECT_TRUE(allFinite(outL)) << path;
    EXPECT_TRUE(allFinite(outR)) << path;
    EXPECT_GT(peak(outL), 0.001f) << path;
    EXPECT_GT(peak(outR), 0.001f) << path;
  }
}

TEST(DemoSignal, DeterministicAudibleAndBounded) {
  std::vector<float> l1, r1, l2, r2;
  vsthost::synthesiseDemo(44100.0, 4.0, l1, r1);
  vsthost::synthesiseDemo(44100.0, 4.0, l2, r2);
  ASSERT_EQ(l1.size(), 176400u);
  EXPECT_EQ(l1, l2);
  EXPECT_EQ(r1, r2);
  EXPECT_GT(peak(l1), 0.2f);
  EXPECT_GT(peak(r1), 0.2f);
  EXPECT_LE(peak(l1), 1.0f);
  EXPECT_LE(peak(r1), 1.0f);
  EXPECT_NE(l1, r1);  // really stereo
  // Something sounds in every half second (chords and drums keep going).
  for (size_t start = 0; start + 22050 <= l1.size(); start += 22050) {
    std::vector<float> part(l1.begin() + static_cast<std::ptrdiff_t>(start),
                            l1.begin() + static_cast<std::ptrdiff_t>(start + 22050));
    EXPECT_GT(peak(part), 0.05f) << start;
  }
  std::vector<float> l3, r3;
  vsthost::synthesiseDemo(96000.0, 0.5, l3, r3);
  EXPECT_EQ(l3.size(), 48000u);
  vsthost::synthesiseDemo(44100.0, 0.0, l3, r3);
  EXPECT_TRUE(l3.empty());
}
