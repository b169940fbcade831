#pragma once
// Exact equity: every completion of the board from the cards nobody holds.

#include <span>
#include <vector>

#include "card.hpp"
#include "equity_result.hpp"

namespace varnolith {

// Settles every completion of the board and counts wins and split shares per
// player, on the calling thread. With five board cards exactly the one given
// board is settled. Throws std::invalid_argument for a card outside the deck
// or for more cards to come than the deck holds.
EquityResult enumerate_equity(std::span<const HoleHand> hands, std::span<const Card> board);

// The library's form: one equity fraction per player. A board of five or more
// cards is evaluated once (more than five: every hand is "not evaluated" and
// all share); more than 1,000,000 boards or more than four players with cards
// to come run 2,000,000 Monte Carlo trials instead. No players: empty result.
std::vector<double> enumeration_equity_or_estimate(std::span<const HoleHand> hands, std::span<const Card> board);

// The number of k-card completions of N cards, 0 when k > N.
uint64_t completion_count(uint64_t cards_left, uint64_t cards_to_come);

} // namespace varnolith
