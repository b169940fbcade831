#pragma once
// Whether the ranges of a spot can be dealt at all: one hand per player, no
// card held twice, and enough cards left to complete the board. Settled before
// a method is chosen, so that a spot with no deal is refused at once instead
// of being estimated, enumerated or sampled in vain.

#include <cstdint>
#include <string>

#include "ranges/spot.hpp"

namespace varnolith {

enum class DealVerdict { found, none, undecided };

struct DealSearch {
    DealVerdict verdict = DealVerdict::undecided;
    std::string why; // when none: what rules every deal out, for the user
    uint64_t steps = 0;
};

// A search for one deal, the narrowest range first, the cards used as a mask.
// Dead ends are remembered by the players dealt and the cards they hold;
// players with the same live combinations take them in increasing order, so
// that a search for none does not try them in every order; and no branch goes
// on once the cards still free cannot make a hand for every player left
// (by the largest matching of their combinations). After `budget`
// steps it stops and answers undecided; the default keeps it within a few
// milliseconds.
DealSearch search_a_deal(const PreparedSpot& spot, uint64_t budget = 20'000'000);

} // namespace varnolith
