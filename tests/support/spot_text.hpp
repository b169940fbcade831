#pragma once
// A range spot written as text in a test table.

#include <vector>

#include "card_text.hpp"
#include "ranges/equity.hpp"

namespace varnolith::testing {

struct Spot {
    std::vector<const char*> ranges;
    const char* board;
    const char* dead;
};

inline RangeSpot make(const Spot& s) {
    RangeSpot spot{{}, parse_card_list(s.board), parse_card_list(s.dead)};
    for (const char* r : s.ranges) spot.ranges.push_back(parse_range(r));
    return spot;
}

} // namespace varnolith::testing
