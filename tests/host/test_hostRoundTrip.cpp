// The offline host's file path: a WAV file in, the plug-in bypassed, the same samples out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "hostTestUtil.h"
#include "support/childProcess.h"

using testing_support::runChild;
using testing_support::TempDir;

namespace {

using hosttest::kHostTool;
using hosttest::readFile;

// A 32-bit float WAV file of interleaved frames.
std::string floatWav(int rate, int channels, const std::vector<float>& frames) {
  std::string s;
  const auto u32 = [&s](uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
  const auto u16 = [&s](uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
  const auto bytes = static_cast<uint32_t>(frames.size() * 4);
  s += "RIFF";
  u32(36 + bytes);
  s += "WAVEfmt ";
  u32(16);
  u16(3);
  u16(static_cast<uint16_t>(channels));
  u32(static_cast<uint32_t>(rate));
  u32(static_cast<uint32_t>(rate * channels * 4));
  u16(static_cast<uint16_t>(channels * 4));
  u16(32);
  s += "data";
  u32(bytes);
  s.append(reinterpret_cast<const char*>(frames.data()), bytes);
  return s;
}

// The rate and the interleaved frames of a float WAV file (chunks found by name).
std::pair<uint32_t, std::vector<float>> readFloatWav(const std::string& wav) {
  const size_t fmt = wav.find("fmt "), data = wav.find("data");
  if (fmt == std::string::npos || data == std::string::npos) return {};
  uint32_t rate = 0, bytes = 0;
  std::memcpy(&rate, wav.data() + fmt + 12, 4);
  std::memcpy(&bytes, wav.data() + data + 4, 4);
  std::vector<float> frames(std::min<size_t>(bytes, wav.size() - data - 8) / 4);
  std::memcpy(frames.data(), wav.data() + data + 8, frames.size() * 4);
  return {rate, frames};
}

}  // namespace

// Bypassed, a stereo file comes back as it went in, each channel on its own side and at the
// file's own rate; a mono file feeds both sides.
TEST(HostTool, AStereoFileRoundTripsAtItsOwnRate) {
  ASSERT_TRUE(std::filesystem::exists(kHostTool));
  TempDir dir;
  struct Case {
    int rate, channels;
  };
  for (const Case c : {Case{32000, 2}, Case{48000, 2}, Case{22050, 1}}) {
    const int n = c.rate / 10;
    std::vector<float> in;
    for (int i = 0; i < n; ++i) {
      in.push_back(0.25f * std::sin(0.05f * static_cast<float>(i)));
      if (c.channels == 2) in.push_back(i % 64 < 32 ? 0.5f : -0.5f);
    }
    const std::string name = dir.path() + "/in" + std::to_string(c.rate) + ".wav", out = name + ".out.wav";
    std::ofstream(name, std::ios::binary) << floatWav(c.rate, c.channels, in);
    const auto r = runChild({kHostTool, "render", "--plugin", GRINDLE_SO_PATH, "--in", name, "--out", out,
                             "--set", "3=1", "--block", "256"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    const auto [rate, frames] = readFloatWav(readFile(out));
    EXPECT_EQ(rate, static_cast<uint32_t>(c.rate));
    ASSERT_EQ(frames.size(), static_cast<size_t>(2 * n));
    int wrong = 0;
    for (int i = 0; i < n; ++i) {
      const float left = in[static_cast<size_t>(i * c.channels)];
      const float right = in[static_cast<size_t>(i * c.channels + c.channels - 1)];
      wrong += std::fabs(frames[static_cast<size_t>(2 * i)] - left) > 1e-6f ||
               std::fabs(frames[static_cast<size_t>(2 * i + 1)] - right) > 1e-6f;
    }
    EXPECT_EQ(wrong, 0) << c.rate << " Hz, " << c.channels << " channels";
  }
}
