#pragma once
// Keeping part of a range on a board: the combinations that fall into any of
// the named classes or draws, less those a name with '!' before it names.

#include <bitset>
#include <string_view>
#include <vector>

#include "ranges/notation/range.hpp"
#include "ranges/postflop/hand_class.hpp"

namespace varnolith {

struct HitFilter {
    std::bitset<made_class_count> keep_made, drop_made;
    std::bitset<draw_count> keep_draws, drop_draws;
};

// "set, two_pair, flush_draw", "overpair, top_pair, !flush_draw". Names are
// those of hand_class.hpp, separated by commas or blanks. With only '!' names
// everything else is kept. Throws RangeError (usage, field filter) for an
// unknown name or an empty list.
HitFilter parse_hit_filter(std::string_view text);

bool filter_keeps(const HitFilter& filter, const HandClass& hand);

// The range's combinations live on the board and dead cards that the filter
// keeps, at their weights, in the range's order. Throws RangeError (usage,
// field filter) for a board of fewer than three cards.
Range filter_range(const Range& range, const Board& board, const std::vector<Card>& dead, Ranking ranking,
                   const HitFilter& filter);

} // namespace varnolith
