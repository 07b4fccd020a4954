// The main window's chart as an image file, without a window toolkit: the
// core's chart drawn onto a pixel surface written as PNG, or onto SVG
// elements written by hand. Text takes the chart's face (Times New Roman,
// or Liberation Serif with the same metrics), read with stb_truetype.
#pragma once

#include <optional>
#include <string>

#include "core/tables/table.h"

namespace yex::cli {

// Picture1's drawing area in pixels (its user scale: kChartUserScale).
constexpr int kChartPixels = 525;

// The font file the chart's text is drawn with: $YEX_FONT, else Liberation
// Serif or Times New Roman where the system keeps them; nothing when none.
std::optional<std::string> ChartFontFile();

// The chart of a table as the bytes of a PNG of `pixels` square; Io error
// when no font is found.
std::string ChartPng(const RowValues& x, const RowValues& f, const RowValues& s, int pixels);
// The same as an SVG document titled `title`.
std::string ChartSvg(const RowValues& x, const RowValues& f, const RowValues& s, int pixels,
                     const std::string& title);

}  // namespace yex::cli
