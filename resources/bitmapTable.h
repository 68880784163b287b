// The table of the editor's bitmaps (bitmapSizes.csv): read by the artwork generator, its tests
// and its benchmark.
#pragma once

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "include/guiTables.h"

namespace art {

struct BitmapSize {
  int id = 0;
  int width = 0;  // one frame at 100 %
  int height = 0;
  int frames = 1;
  std::string role;  // background, twoState, strip or unused
};

// One frame's side at screen mode m (0, 1, 2 for 100, 150, 200 %): the 100 % side times the zoom,
// truncated, as the editor scales its layout.
inline int scaledSide(int side, int mode) { return static_cast<int>(std::trunc(side * SCALE[mode])); }

// The file name of a base id at screen mode m.
inline std::string bitmapFileName(int id, int mode) {
  return "bmp" + std::to_string(id + 1000 * mode) + ".png";
}

// Reads the table; comment lines (#) and the header line are skipped. On a malformed row the
// result is empty and error says where.
inline std::vector<BitmapSize> readBitmapSizes(const std::string& path, std::string& error) {
  std::vector<BitmapSize> rows;
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return {};
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#' || line.rfind("id,", 0) == 0) continue;
    std::istringstream fields(line);
    BitmapSize row;
    char c1 = 0, c2 = 0, c3 = 0, c4 = 0;
    fields >> row.id >> c1 >> row.width >> c2 >> row.height >> c3 >> row.frames >> c4;
    std::getline(fields, row.role);
    if (!fields.eof() && fields.fail()) row.role.clear();
    const bool known =
        row.role == "background" || row.role == "twoState" || row.role == "strip" || row.role == "unused";
    if (c1 != ',' || c2 != ',' || c3 != ',' || c4 != ',' || !known || row.width < 1 || row.height < 1 ||
        row.frames < 1 || row.id < 10000 || row.id > 10999) {
      error = path + ":" + std::to_string(number) + ": bad row \"" + line + "\"";
      return {};
    }
    rows.push_back(row);
  }
  if (rows.empty()) error = path + ": no rows";
  return rows;
}

}  // namespace art
