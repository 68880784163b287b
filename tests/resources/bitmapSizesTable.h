// The bitmap table as the build reads it, parsed once for the suite.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/bitmapTable.h"

inline const std::vector<art::BitmapSize>& bitmapSizesTable() {
  static const std::vector<art::BitmapSize> rows = [] {
    std::string error;
    auto read = art::readBitmapSizes(std::string(GRINDLE_SOURCE_DIR) + "/resources/bitmapSizes.csv", error);
    EXPECT_EQ(error, "");
    return read;
  }();
  return rows;
}
