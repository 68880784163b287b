// Many numeric checks as one table: each row a value, what it must be and how close, so a
// test lists its exact values three or four to a line instead of one assertion each.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

namespace testing_support {

// Tolerance of a row: 0 exact, kUlps within four units in the last place of a float,
// anything else an absolute bound.
inline constexpr double kUlps = -1.0;

struct Value {
  template <class A, class B>
  Value(A got, B want, double tol = 0.0) : got(static_cast<double>(got)), want(static_cast<double>(want)), tol(tol) {}
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
