// A scripted host callback for tests: records every call, answers from a table, and serves
// a time info with tempo and transport.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "vst2/aeffect.h"

namespace testing_support {

struct HostCall {
  AEffect* effect;
  int32_t opcode;
  int32_t index;
  intptr_t value;
  void* ptr;
  float opt;
};

class FakeHost {
 public:
  // Only one fake host is current at a time; the callback reaches it through a global.
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  static intptr_t callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                           float opt);

  int count(int32_t opcode) const;
  const HostCall* last(int32_t opcode) const;

  std::vector<HostCall> calls;
  std::map<int32_t, intptr_t> answers;  // answer per host opcode; 0 when missing
  intptr_t versionAnswer = 2400;
  std::string vendor = "Test Vendor";
  std::string product = "Test Product";
  VstTimeInfo timeInfo{};
  // Called on every automation call, with the parameter's value as the plug-in reports it then.
  std::vector<float> valueSeenOnAutomate;
};

}  // namespace testing_support
