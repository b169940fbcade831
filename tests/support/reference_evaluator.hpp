#pragma once
// A plain, step-by-step evaluator kept only as the yardstick for the fast one,
// and a plain walk over the boards of a heads-up or multiway spot built on it.

#include <cstdint>
#include <span>
#include <vector>

#include "evaluator.hpp"

namespace varnolith::testing {

HandValue reference_evaluate(std::span<const Card> cards);

// The best of the 21 five-card hands among seven cards, each valued on its
// own under the ranking: the yardstick for the trips ranking, worked out
// another way than the seven-card rules above. Values are encoded as the
// engine's are under that ranking.
HandValue reference_best_five(std::span<const Card> seven, Ranking ranking);

// Each player's pot shares summed over every completion of the board (a split
// among m gives each 1/m), and the number of completions.
struct ReferenceShares {
    std::vector<double> shares;
    int64_t boards = 0;

    double equity(std::size_t player) const { return shares.at(player) / static_cast<double>(boards); }
};

// Every completion of the board from the cards neither held, on the board nor
// dead, each hand valued by reference_evaluate.
ReferenceShares reference_board_walk(std::span<const HoleHand> hands, std::span<const Card> board,
                                     std::span<const Card> dead = {}, Ranking ranking = Ranking::straight);

} // namespace varnolith::testing
