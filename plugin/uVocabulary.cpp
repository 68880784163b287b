#include "uVocabulary.h"

namespace {

int clampType(int distortType) {
  if (distortType < 0) return 0;
  if (distortType >= NUM_DISTORT_TYPES) return NUM_DISTORT_TYPES - 1;
  return distortType;
}

constexpr int FIRST_DISTORT_DEST = DEST_DIST_1;
constexpr int LAST_DISTORT_DEST = FIRST_DISTORT_DEST + NUM_DISTORT_KNOBS - 1;

}  // namespace

std::string_view destText(int dest, int distortType) {
  if (dest < 0 || dest >= static_cast<int>(DEST_STR.size())) return {};
  if (dest >= FIRST_DISTORT_DEST && dest <= LAST_DISTORT_DEST)
    return DISTORT_READOUT_STR[clampType(distortType) * NUM_DISTORT_KNOBS + dest - FIRST_DISTORT_DEST];
  return DEST_STR[dest];
}

std::string_view shortDestText(int dest, int distortType) {
  if (dest < 0 || dest >= static_cast<int>(SHORT_DEST_STR.size())) return {};
  if (dest >= FIRST_DISTORT_DEST && dest <= LAST_DISTORT_DEST)
    return DISTORT_DEST_STR[clampType(distortType) * NUM_DISTORT_KNOBS + dest - FIRST_DISTORT_DEST];
  return SHORT_DEST_STR[dest];
}
