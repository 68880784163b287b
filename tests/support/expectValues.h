// Many numeric checks as one table: each row a value, what it must be and how close, so a
// test lists its exact values three or four to a line instead of one assertion each.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace testing_support {

// Tolerance of a row: 0 exact, kUlps within four units in the last place of a float,
// anything else an absolute bound.
inline constexpr double kUlps = -1.0;

struct Value {
  // A row whose wanted value is true or false checks the truth of the value, as EXPECT_TRUE would.
  template <class A, class B>
  Value(const A& got, const B& want, double tol = 0.0)
      : got(std::is_same_v<B, bool> ? static_cast<double>(static_cast<bool>(got)) : static_cast<double>(got)),
        want(static_cast<double>(want)),
        tol(tol) {}
  double got, want, tol;
};

inline void expectValues(std::initializer_list<Value> rows, const char* file, int line) {
  int i = 0;
  for (const Value& r : rows) {
    const ::testing::ScopedTrace trace(file, line, "row " + std::to_string(i++));
    if (r.tol == 0.0) {
      EXPECT_EQ(r.got, r.want);
    } else if (r.tol == kUlps) {
      EXPECT_FLOAT_EQ(static_cast<float>(r.got), static_cast<float>(r.want));
    } else {
      EXPECT_NEAR(r.got, r.want, r.tol);
    }
  }
}

}  // namespace testing_support

#define EXPECT_VALUES(...) ::testing_support::expectValues({__VA_ARGS__}, __FILE__, __LINE__)

namespace testing_support {

// The same for texts: each row a text and what it must read.
struct Text {
  Text(std::string_view got, std::string_view want) : got(got), want(want) {}
  std::string got, want;
};

inline void expectTexts(std::initializer_list<Text> rows, const char* file, int line) {
  int i = 0;
  for (const Text& r : rows) {
    const ::testing::ScopedTrace trace(file, line, "row " + std::to_string(i++));
    EXPECT_EQ(r.got, r.want);
  }
}

}  // namespace testing_support

#define EXPECT_TEXTS(...) ::testing_support::expectTexts({__VA_ARGS__}, __FILE__, __LINE__)
