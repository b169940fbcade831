#pragma once
// How a Monte Carlo run over ranges draws its deals, settled once per run.
//
// Plain rejection draws every player's combination by weight and draws all
// again while a card is held twice: its deals need no weights, so it is the
// way while most draws are accepted. Otherwise the players are drawn one after
// another (in_turn.hpp), never rejected, each deal with a weight and
// completed with several boards. A fixed pilot of plain draws tells the spots
// apart; its streams are not seeded, so the way depends on the spot alone.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "evaluator.hpp"
#include "ranges/sampling/draw.hpp"
#include "ranges/sampling/in_turn.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

struct Plan {
    const PreparedSpot& spot;
    std::vector<AliasTable> tables; // by player
    uint64_t run_key;
    std::vector<std::size_t> drawn, dealt; // players drawn from their range, players dealt any two cards
    std::vector<std::vector<int16_t>> combo_of_cards; // per dealt player: 64 * high + low card index -> combination
    bool in_turn = false;
    InTurn sequence{}; // when in_turn
    int boards_per_deal = 1; // when in_turn: boards completed for each deal drawn
};

Plan make_plan(const PreparedSpot& spot, uint64_t seed);

// The plain way's share of draws that fit, from the pilot.
double plain_acceptance(const Plan& plan);

struct Showdown {
    int32_t best = -1;
    int sharers = 0;
};

// Deals the players of any two cards and the rest of the board from the cards
// not `used`, and values every hand into `values`. Inline: the trial loops
// call it once per board.
inline Showdown show_down(const Plan& plan, TrialStream& stream, uint64_t used, std::vector<uint32_t>& chosen,
                          std::vector<int32_t>& values) {
    const PreparedSpot& spot = plan.spot;
    // A card drawn uniformly from the cards left, drawn again when already out.
    auto deal_card = [&] {
        while (true) {
            const uint8_t index = spot.deck[below(stream(), spot.deck.size())];
            const uint64_t bit = uint64_t{1} << index;
            if (used & bit) continue;
            used |= bit;
            return index;
        }
    };
    for (const std::size_t p : plan.dealt) {
        const uint8_t a = deal_card(), b = deal_card();
        chosen[p] = static_cast<uint32_t>(plan.combo_of_cards[p][std::max(a, b) * 64u + std::min(a, b)]);
    }
    HandBits board = spot.board_bits;
    for (int d = 0; d < spot.to_come; ++d) board = board + bits_of_index(deal_card());
    Showdown result;
    const bool trips = spot.ranking == Ranking::trips;
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        const HandBits hand = board + spot.live[p][chosen[p]].bits;
        values[p] = trips ? evaluate_bits<Ranking::trips>(hand) : evaluate_bits(hand);
        if (values[p] > result.best) result.best = values[p], result.sharers = 1;
        else if (values[p] == result.best) ++result.sharers;
    }
    return result;
}

} // namespace varnolith
