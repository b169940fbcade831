#pragma once
// A player's range as the square of hand classes, and the one colour scale
// that every picture of it shares.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "options.hpp"
#include "range_grid.hpp"
#include "text_table.hpp" // grouped, as the pictures write counts
#include "ranges/equity.hpp"

namespace varnolith {

// The weight the range itself gives each class's live combinations, averaged:
// 1 for "AKs", 0.5 for "AKs:0.5", 0 for a class without any.
std::array<double, hand_class_count> range_weights(const RangePlayerResult& player, const Range& range);

// The rank at a row or column of the square: 'A' at 0 down to '6' at 8.
char grid_rank(int line);

// The equity drawn yellow: one half, or the fair share 1/n of the pot.
double scale_middle(ColourScale scale, std::size_t players);

// Where an equity sits on the scale, 0 to 1: the middle at one half, the ends
// at 0 and 1, straight lines between.
double scale_position(double equity, double middle);

// The equity at a position of the scale, for its labels.
double scale_equity(double position, double middle);

// What a legend adds on the fair scale, "yellow at the fair share, 1/3"; on
// the absolute one nothing: yellow at 50% needs no saying.
std::string scale_note(ColourScale scale, std::size_t players);

// 0.3333 -> "33.3", 0.5 -> "50": a percentage with a tenth only when it has one.
std::string short_percent(double fraction);

struct Rgb {
    int red = 0, green = 0, blue = 0;
};

// Red at 0 through yellow at one half to green at 1.
Rgb scale_colour(double position);

// "#rrggbb", as SVG and CSS write a colour.
std::string hex_colour(Rgb c);

// A 256-colour terminal's colour for a position: the cube step of the nearest
// tenth of the scale, a different one for each tenth.
int cube_colour(double position);

enum class TerminalColour {
    none, // plain text
    cube, // the 216 colours of a 256-colour terminal
    rgb,  // 24-bit colour
};

// Colour only for a terminal, and not when NO_COLOR is set to anything;
// 24-bit when COLORTERM says the terminal has it.
TerminalColour terminal_colour(bool output_is_terminal, const char* no_color, const char* colorterm);

} // namespace varnolith
