#pragma once
// The chart under the squares: each range's live combinations weakest first,
// x their running share of the player's deals, y their equity.

#include <string>

#include "report.hpp"

namespace varnolith {

inline constexpr const char* equity_chart_style =
    ".chart-title{font-size:13px;font-weight:bold}"
    ".axis{stroke:#444;stroke-width:1}"
    ".gridline{stroke:#ddd;stroke-width:1}"
    ".tick{font-size:11px;fill:#555}"
    ".axis-title{font-size:12px;fill:#333;text-anchor:middle}"
    ".curve{fill:none;stroke-width:2;stroke-linejoin:round}"
    ".legend{font-size:12px}";

int equity_chart_height(std::size_t players);

// The chart with its top left corner at (left, top) of the picture.
std::string equity_chart(const CommandReport& report, int left, int top);

} // namespace varnolith
