#pragma once
// The answer of a run: a table for people, or one JSON object for programs.

#include <array>
#include <ostream>
#include <string_view>

#include "options.hpp"
#include "range_equity.hpp"

namespace varnolith {

// In the order of RangePlayerResult::categories.
inline constexpr std::array<std::string_view, category_count> category_names{
    "high card", "pair", "two pair", "three of a kind", "straight", "full house", "flush", "four of a kind",
    "straight flush"};

struct CommandReport {
    const CommandOptions& options; // the ranges as given and the breakdowns asked for
    const RangeSpot& spot;
    const RangeResult& result;
    double elapsed_seconds = 0;
};

void write_text_report(std::ostream& out, const CommandReport& report);
void write_json_report(std::ostream& out, const CommandReport& report);

} // namespace varnolith
