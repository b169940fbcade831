#pragma once
// What each range holds on the board: its live combinations sorted into the
// made-hand classes and the draws of hand_class.hpp, each with its weight,
// its share of the player's deals and the player's equity within it, taken
// from the per-combination figures of the run the hits come with.

#include <vector>

#include "ranges/equity.hpp"
#include "ranges/postflop/hand_class.hpp"

namespace varnolith {

struct HitLine {
    bool is_draw = false;
    int index = 0;              // into made_class_names or draw_names
    double combos = 0;          // the combinations' weights as typed, summed
    double share = 0;           // of the player's deals, 0 to 1
    double equity = 0;          // within the class; NaN when no deal holds it
    double standard_error = 0;  // simulated runs: at most this; 0 when exact
};

// Per player: every made class in the ranking's order, strongest first, then
// every draw (none on a river), classes and draws no combination falls in
// included with zero figures.
using RangeHits = std::vector<std::vector<HitLine>>;

// The run's figures by class, on the spot's board of 3 to 5 cards. Throws
// RangeError (usage, field hits) for a shorter board.
RangeHits range_hits(const RangeSpot& spot, const RangeResult& result);

// Preflop: how often each class and draw comes on the flop. Each combination
// counts at its share of the player's deals in the run, and the flop is any
// three of the cards its hand, the board and the dead cards leave. Equity is
// NaN: the classes are of many flops at once.
RangeHits hits_over_flops(const RangeSpot& spot, const RangeResult& result);

// The name of a line: "set", "flush_draw".
std::string_view hit_name(const HitLine& line);
std::string_view hit_words(const HitLine& line);

} // namespace varnolith
