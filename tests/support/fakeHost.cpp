#include "fakeHost.h"

#include <cstring>

namespace testing_support {

namespace {
FakeHost* current = nullptr;
}

FakeHost::FakeHost() {
  current = this;
  timeInfo.sampleRate = 44100.0;
  timeInfo.tempo = 120.0;
  timeInfo.timeSigNumerator = 4;
  timeInfo.timeSigDenominator = 4;
  timeInfo.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
}

FakeHost::~FakeHost() {
  if (current == this) current = nullptr;
}

intptr_t FakeHost::callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                            float opt) {
  FakeHost* h = current;
  if (!h) return 0;
  h->calls.push_back({effect, opcode, index, value, ptr, opt});
  switch (opcode) {
    case kHostVersion:
      return h->versionAnswer;
    case kHostAutomate:
      if (effect && effect->getParameter)
        h->valueSeenOnAutomate.push_back(effect->getParameter(effect, index));
      break;
    case kHostGetTime:
      return reinterpret_cast<intptr_t>(&h->timeInfo);
    case kHostGetVendorString:
      if (ptr) std::strncpy(static_cast<char*>(ptr), h->vendor.c_str(), 63);
      return 1;
    case kHostGetProductString:
      if (ptr) std::strncpy(static_cast<char*>(ptr), h->product.c_str(), 63);
      return 1;
    default:
      break;
  }
  auto it = h->answers.find(opcode);
  return it == h->answers.end() ? 0 : it->second;
}

int FakeHost::count(int32_t opcode) const {
  int n = 0;
  for (const HostCall& c : calls) n += c.opcode == opcode;
  return n;
}

const HostCall* FakeHost::last(int32_t opcode) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it)
    if (it->opcode == opcode) return &*it;
  return nullptr;
}

}  // namespace testing_support
