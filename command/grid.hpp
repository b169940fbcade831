#pragma once
// A player's range as the square of hand classes, and the one colour scale
// that every picture of it shares.

#include <array>
#include <string>

#include "range_equity.hpp"

namespace varnolith {

struct GridCell {
    std::string name;  // "AKs"
    double weight = 0; // the class's share of the player's deals
    double equity = 0; // weighted over its combinations; NaN when none has weight
};

// Row by row from the top left: AA, AKs, ..., A6s, AKo, KK, KQs, ...
using RangeGrid = std::array<GridCell, hand_class_count>;

RangeGrid range_grid(const RangePlayerResult& player);

// The rank at a row or column of the square: 'A' at 0 down to '6' at 8.
char grid_rank(int line);

struct Rgb {
    int red = 0, green = 0, blue = 0;
};

// Red at 0 through yellow at one half to green at 1.
Rgb equity_colour(double equity);

// The nearest of the 216 colours of a 256-colour terminal's cube.
int terminal_colour(Rgb colour);

// Colour only for a terminal, and not when NO_COLOR is set to anything.
bool colour_wanted(bool output_is_terminal, const char* no_color);

} // namespace varnolith
