// The shared lookup tables are generated at build time into read-only data: they must hold
// exactly what their formulas give (a stale table, or one filled into the wrong member, fails
// here), the formulas must mean what the modules expect, and the data must stay read-only.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>

#include "dsp/uDistortShapers.h"
#include "dsp/uEQ.h"
#include "dsp/uFilter.h"
#include "dsp/uLfo.h"
#include "dsp/uTableFormulas.h"
#include "dsp/uWidener.h"

namespace {

namespace f = dsp::tableFormula;
using dsp::TABLE_SIZE;
constexpr double PI = std::numbers::pi;

struct TableCase {
  const char* name;
  const float* data;
  float (*formula)(int) noexcept;
  int size = TABLE_SIZE;
};

const TableCase TABLES[] = {
    {"distort sine", dsp::distort::tables().sine, f::distortSine},
    {"distort cosine", dsp::distort::tables().cosine, f::distortCosine},
    {"distort driveGain", dsp::distort::tables().driveGain, f::distortDriveGain},
    {"filter freqPow2", dsp::filterTables().freqPow2, f::filterFreqPow2},
    {"filter sine", dsp::filterTables().sine, f::filterSine},
    {"filter lo24", dsp::filterTables().lo24, f::filterLo24},
    {"filter hi24", dsp::filterTables().hi24, f::filterHi24},
    {"filter zTan", dsp::filterTables().zTan, f::filterZTan},
    {"filter zQ", dsp::filterTables().zQ, f::filterZQ},
    {"eq cosine", dsp::eqTables().cosine, f::eqCosine},
    {"eq sine", dsp::eqTables().sine, f::eqSine},
    {"eq width", dsp::eqTables().width, f::eqWidth},
    {"eq gain", dsp::eqTables().gain, f::eqGain},
    {"old eq gain", dsp::oldEqGainTable(), f::oldEqGain},
    {"lfo sine", TLfo::sineTable(), f::lfoSine, TLfo::SINE_SIZE},
    {"widener sine", dsp::widenerSineTable(), f::widenerSine, f::WIDENER_SINE_SIZE},
};

}  // namespace

// Every entry, bit for bit: the generator runs the same code with the same floating-point
// options as the modules would.
TEST(SharedTables, EqualTheirFormulas) {
  for (const TableCase& t : TABLES) {
    int mismatches = 0, first = -1;
    for (int i = 0; i < t.size; ++i) {
      if (std::bit_cast<uint32_t>(t.data[i]) != std::bit_cast<uint32_t>(t.formula(i))) {
        if (first < 0) first = i;
        ++mismatches;
      }
    }
    EXPECT_EQ(mismatches, 0) << t.name << ", first at entry " << first;
  }
}

// What the entries stand for, worked out independently at a few points.
TEST(SharedTables, AnchorValues) {
  const double x1 = 262143.0 / 262143.98;  // x of the last filter and EQ entry
  const struct {
    const char* name;
    float value;
    double expected;
    double tolerance;
  } cases[] = {
      {"drive silent below 0.001", dsp::distort::tables().driveGain[262], 0.0, 0.0},
      {"drive just above 0.001", dsp::distort::tables().driveGain[263],
       std::pow(10.0, 263.0 / 131072.0 - 1.0), 1e-6},
      {"drive 0 dB at the middle", dsp::distort::tables().driveGain[131072], 1.0, 0.0},
      {"distort sine at a quarter", dsp::distort::tables().sine[65536], 1.0, 1e-7},
      {"distort cosine at a half", dsp::distort::tables().cosine[131072], -1.0, 1e-7},
      {"cutoff 20 Hz at 0", dsp::filterTables().freqPow2[0], 20.0, 0.0},
      {"cutoff near 20480 Hz at the top", dsp::filterTables().freqPow2[TABLE_SIZE - 1],
       20.0 * std::pow(2.0, 10.0 * x1), 0.01},
      {"state-variable coefficient at 0", dsp::filterTables().sine[0], 1e-15, 1e-22},
      {"state-variable coefficient at a half", dsp::filterTables().sine[131072],
       2.0 * std::sin(PI * 131072 / 262143.98), 1e-6},
      {"24 dB low at a quarter", dsp::filterTables().lo24[65536],
       1.0 / (std::tan(PI * 65536 / 262143.98) + 0.0015 / std::cos(PI * 65536 / 262143.98)), 1e-6},
      {"24 dB high at a quarter", dsp::filterTables().hi24[65536],
       std::sin(PI * 65536 / 262143.98) / (std::cos(PI * 65536 / 262143.98) + 0.0015), 1e-6},
      {"zero-delay tan at a quarter", dsp::filterTables().zTan[65536], 1.0, 1e-5},
      {"zero-delay damping at 0", dsp::filterTables().zQ[0], 0.5, 0.0},
      {"zero-delay damping at the top", dsp::filterTables().zQ[TABLE_SIZE - 1], 0.5 / std::pow(2.0, 5.0 * x1),
       1e-7},
      {"eq cosine at 0", dsp::eqTables().cosine[0], 1.0, 0.0},
      {"eq sine at a quarter", dsp::eqTables().sine[65536], 1.0, 1e-7},
      {"eq width: Q 16 at 0", dsp::eqTables().width[0], 1.0 / 32.0, 0.0},
      {"eq width: Q 1/64 at the top", dsp::eqTables().width[TABLE_SIZE - 1],
       32.0 * std::pow(2.0, -10.0 * (1.0 - x1)), 1e-4},
      {"eq gain -10 dB at 0", dsp::eqTables().gain[0], std::pow(10.0, -0.5), 1e-7},
      {"graphic eq gain -20 dB at 0", dsp::oldEqGainTable()[0], 0.1, 1e-8},
      {"graphic eq gain near +20 dB at the top", dsp::oldEqGainTable()[TABLE_SIZE - 1],
       std::pow(10.0, 2.0 * x1 - 1.0), 1e-5},
  };
  for (const auto& c : cases) EXPECT_NEAR(c.value, c.expected, c.tolerance) << c.name;
}

// The tables lie in read-only pages (file-backed data every process that loads the module
// shares), not in memory each process fills.
TEST(SharedTables, LieInReadOnlyMemory) {
  std::ifstream maps("/proc/self/maps");
  ASSERT_TRUE(maps.good());
  std::string line;
  std::string permsOf[std::size(TABLES)];
  while (std::getline(maps, line)) {
    uintptr_t from = 0, to = 0;
    char perms[5] = {};
    if (std::sscanf(line.c_str(), "%zx-%zx %4s", &from, &to, perms) != 3) continue;
    for (size_t k = 0; k < std::size(TABLES); ++k) {
      const auto begin = reinterpret_cast<uintptr_t>(TABLES[k].data);
      const auto end = reinterpret_cast<uintptr_t>(TABLES[k].data + TABLES[k].size);
      if (begin < to && end > from) permsOf[k] += perms;
    }
  }
  for (size_t k = 0; k < std::size(TABLES); ++k) {
    EXPECT_FALSE(permsOf[k].empty()) << TABLES[k].name;
    EXPECT_EQ(permsOf[k].find('w'), std::string::npos) << TABLES[k].name << ": " << permsOf[k];
  }
}
