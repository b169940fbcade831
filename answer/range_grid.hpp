#pragma once
// A player's range as the square of hand classes: what the grid, the picture,
// the JSON and the web page all show.

#include <array>
#include <string>

#include "ranges/equity.hpp"

namespace varnolith {

struct GridCell {
    std::string name;  // "AKs"
    double weight = 0; // the class's share of the player's deals
    double equity = 0; // weighted over its combinations; NaN when none has weight
    int combos = 0;    // live combinations of the class in the range
};

// Row by row from the top left: AA, AKs, ..., A6s, AKo, KK, KQs, ...
using RangeGrid = std::array<GridCell, hand_class_count>;

RangeGrid range_grid(const RangePlayerResult& player);

} // namespace varnolith
