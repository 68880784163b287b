// The plug-in's own controls: fonts and colours they share by zoom index (0 = 100 %, 1 = 150 %,
// 2 = 200 %). All of it is constant-initialised, safe to read from other units' initialisers.
#pragma once

#include <array>
#include <string_view>

#include "guiTables.h"
#include "vstgui/cfont.h"

inline constexpr int FONT_STYLE = VSTGUI::kBoldFace;

// These point at the toolkit's stock fonts, which exist before any dynamic initialisation.
inline VSTGUI::CFontRef const FONT_SIZE[NUM_SCREEN_MODES] = {VSTGUI::kNormalFontSmall, VSTGUI::kNormalFontBig,
                                                             VSTGUI::kNormalFontVeryBig};
inline VSTGUI::CFontRef const BIG_FONT_SIZE[NUM_SCREEN_MODES] = {VSTGUI::kNormalFontBig, VSTGUI::kNormalFontVeryBig,
                                                                 VSTGUI::kNormalFontVeryBig};

// EQ band fills, band 1 strongest.
inline constexpr std::array<VSTGUI::CColor, 4> GREEN_TRANS_COLOR = {GREEN_1_TRANS_COLOR, GREEN_2_TRANS_COLOR,
                                                                    GREEN_3_TRANS_COLOR, GREEN_4_TRANS_COLOR};
// EQ band handle labels.
inline constexpr std::array<std::string_view, 4> BAND_STR = {"1", "2", "3", "4"};

// Zoom index of a screen mode, limited to the three sizes.
constexpr int zoomIndex(int scale) { return scale < 0 ? 0 : (scale >= NUM_SCREEN_MODES ? NUM_SCREEN_MODES - 1 : scale); }
