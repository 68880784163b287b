// The state chunk as a host exchanges it with the built module: through the dispatcher.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugin/uPluginPresetsBanks.h"
#include "support/builtInPrograms.h"
#include "support/fakeHost.h"

using testing_support::FakeHost;

namespace {

typedef AEffect* (*Entry)(audioMasterCallback);

struct Instance {
  void* handle = dlopen(GRINDLE_SO_PATH, RTLD_NOW | RTLD_LOCAL);
  AEffect* effect = nullptr;
  Instance() {
    if (!handle) return;
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "VSTPluginMain"));
    if (entry) effect = entry(&FakeHost::callback);
    if (effect) call(kEffOpen);
  }
  ~Instance() {
    if (effect) call(kEffClose);
    if (handle) dlclose(handle);
  }
  intptr_t call(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
  }
  std::string programName() {
    char text[kVstMaxProgNameLen] = {};
    call(kEffGetProgramName, 0, 0, text);
    return text;
  }
};

}  // namespace

TEST(ModuleChunk, HostRoundTripThroughTheDispatcher) {
  FakeHost host;
  for (const int32_t isPreset : {0, 1}) {
    SCOPED_TRACE(isPreset ? "program chunk" : "bank chunk");
    Instance a;
    ASSERT_NE(a.effect, nullptr);
    EXPECT_TRUE(a.effect->flags & kEffFlagProgramChunks);
    const int program = 20;
    testing_support::selectBuiltInProgram(a.effect, presets::demoProgramName(program));
    EXPECT_EQ(a.programName(), presets::demoProgramName(program));
    a.effect->setParameter(a.effect, 62, 0.77f);  // an edit the restore brings back

    void* data = nullptr;
    ASSERT_EQ(a.call(kEffGetChunk, isPreset, 0, &data), 4128);
    ASSERT_NE(data, nullptr);
    std::vector<unsigned char> saved(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + 4128);
    EXPECT_STREQ(reinterpret_cast<const char*>(saved.data() + 4096),
                 std::string(presets::demoProgramName(program)).c_str());

    Instance b;
    ASSERT_NE(b.effect, nullptr);
    EXPECT_EQ(b.programName(), presets::demoProgramName(0));
    EXPECT_EQ(b.call(kEffSetChunk, isPreset, 4127, saved.data()), 0);  // too short: refused
    EXPECT_EQ(b.programName(), presets::demoProgramName(0));
    EXPECT_EQ(b.call(kEffSetChunk, isPreset, static_cast<intptr_t>(saved.size()), saved.data()), 1);
    EXPECT_EQ(b.programName(), presets::demoProgramName(program));
    for (int t = 0; t < NUM_PARAMS; ++t)
      ASSERT_EQ(b.effect->getParameter(b.effect, t), a.effect->getParameter(a.effect, t)) << t;
    EXPECT_EQ(b.effect->getParameter(b.effect, 62), 0.77f);
    void* again = nullptr;
    ASSERT_EQ(b.call(kEffGetChunk, isPreset, 0, &again), 4128);
    EXPECT_EQ(std::memcmp(again, saved.data(), saved.size()), 0);
  }
}
