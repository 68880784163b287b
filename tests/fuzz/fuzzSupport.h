// Shared pieces of the libFuzzer harnesses: a stop that names the broken promise, a host
// callback that answers as a chosen host, and a plug-in with scripted dialogs and private
// preference folders.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "vst2/aeffect.h"

namespace fuzzsupport {

// A broken promise is a finding like a sanitizer's: say which and stop.
#define FUZZ_CHECK(cond)                                                              \
  do {                                                                                \
    if (!(cond)) {                                                                    \
      std::fprintf(stderr, "%s:%d: promise broken: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                   \
    }                                                                                 \
  } while (0)

inline bool unitValue(float v) { return std::isfinite(v) && v >= 0.0f && v <= 1.0f; }

// Whether the text written into `buffer` ends within its first `room` bytes (the rest of the
// buffer, filled with `fill` before the call, untouched).
inline bool textWithin(const char* buffer, std::size_t size, std::size_t room, char fill) {
  if (std::memchr(buffer, 0, room) == nullptr) return false;
  for (std::size_t i = room; i < size; ++i)
    if (buffer[i] != fill) return false;
  return true;
}

// The identity the host callback answers with, and the time info it serves.
struct HostIdentity {
  std::string vendor = "Fuzz Vendor";
  std::string product = "Fuzz Host";
};
inline HostIdentity currentHost;
inline VstTimeInfo hostTime{};
inline bool hostServesTime = false;
inline int hostAutomations = 0;

inline intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
  switch (opcode) {
    case kHostAutomate:
      ++hostAutomations;
      return 0;
    case kHostVersion:
      return 2400;
    case kHostGetVendorString:
    case kHostGetProductString: {
      const std::string& s = opcode == kHostGetVendorString ? currentHost.vendor : currentHost.product;
      if (ptr) std::snprintf(static_cast<char*>(ptr), 64, "%s", s.c_str());
      return 1;
    }
    case kHostGetTime:
      return hostServesTime ? reinterpret_cast<intptr_t>(&hostTime) : 0;
    default:
      return 0;
  }
}

inline intptr_t dispatch(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

}  // namespace fuzzsupport
