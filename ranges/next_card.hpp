#pragma once
// The next-card table of a flop or a turn: for each card that can come next,
// how likely it is to come and every player's exact equity when it does.

#include <vector>

#include "ranges/equity.hpp"

namespace varnolith {

struct NextCard {
    Card card;
    // Among the compatible deals: a card some deals hold comes less often
    // than one nobody can hold. The probabilities add up to 1.
    double probability = 0;
    std::vector<double> equity; // per player, with the card on the board
};

// Every card that can come next, in deck order (6c 6d ... As); cards that no
// compatible deal leaves in the deck are not listed. The probability-weighted
// equities add up to the spot's own. Throws RangeError (kind usage) unless
// the board has three or four cards, and what range_equity_exact throws.
std::vector<NextCard> next_card_table(const RangeSpot& spot, const RangeOptions& options = {});

} // namespace varnolith
