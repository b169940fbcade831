#pragma once
// Ranges of hole hands: the notation players write ("QQ+, AKs, AhKd:0.5",
// "A**, !AK") and the weighted two-card combinations it names.

#include <string>
#include <string_view>
#include <vector>

#include "card.hpp"
#include "evaluator.hpp"

namespace varnolith {

// One combination of a range. The higher card (by card index) comes first, so
// a combination has exactly one form whichever order it was written in.
struct WeightedCombo {
    HoleHand hand;
    double weight = 1.0; // 0 < weight <= 1
};

// The combinations in the order they were first named; each at most once.
using Range = std::vector<WeightedCombo>;

// Parses a list of items separated by commas or line breaks, '#' starting a
// comment to the end of its line, so the text of a file reads as it stands.
// A combination named by several items keeps its first place and takes the
// weight of the last; weight 0 (":0", or "!" before the item) takes it out,
// so the range may end up empty. Throws std::invalid_argument for the first
// bad item, with a message of the form `item "QQs": a pair is neither suited
// nor offsuit`. "15%" takes its classes from the ranking's preflop ordering.
Range parse_range(std::string_view text, Ranking ranking = Ranking::straight);

// The square players draw a range as: ranks A down to 6 along both sides,
// pairs on the diagonal, suited classes above it, offsuit below.
inline constexpr int hand_class_count = 81;

// "AKs", "QQ", "T9o": the higher rank first, whichever card comes first.
std::string hand_class(const HoleHand& h);

// Row * 9 + column of the class in the square: AA 0, AKs 1, AKo 9, 66 80.
int hand_class_index(const HoleHand& h);

// The class at an index of the square, 0 to 80.
std::string hand_class_name(int index);

} // namespace varnolith
