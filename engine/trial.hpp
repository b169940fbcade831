#pragma once
// One piece of code for dealing the missing board cards, evaluating every
// player and splitting the pot, shared by both Monte Carlo drivers; they differ
// only in how they split the trials among threads and report the tallies.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "card.hpp"
#include "hand_bits.hpp"
#include "random.hpp"
#include "tally.hpp"

namespace varnolith {

enum class DeckOrder { rank_major, suit_major };

// Everything a trial reads, fixed once per run and shared read-only by all threads.
struct TrialPlan {
    std::vector<HoleHand> hands;
    Board board;                    // the given board, in order
    std::vector<HandBits> hole_bits; // per player
    HandBits board_bits;
    std::array<uint8_t, deck_size> deck{}; // card indices of the cards nobody holds
    int deck_count = 0;
    int to_come = 0;                       // cards dealt per trial
    std::array<FastModulo, 5> modulo{};    // draw d is reduced mod deck_count - d
    bool by_lists = false; // a repeated card or an over-long board: evaluate card lists
    uint64_t run_key = 0;
};

// Builds the plan. Throws std::invalid_argument for a card outside the deck and
// for more cards to come than the deck still holds.
TrialPlan make_trial_plan(std::span<const HoleHand> hands, std::span<const Card> board, DeckOrder order,
                          uint64_t run_key);

// Per-thread working data, made once per run: nothing is allocated per trial.
struct TrialScratch {
    std::array<uint8_t, deck_size> deck{};
    std::vector<int32_t> values;
    std::vector<Card> seven; // only for card-list evaluation
    explicit TrialScratch(const TrialPlan& plan);
};

// Plays trials [first, last) into tallies[0 .. players-1]. Each trial starts from
// the same deck order, so its outcome depends on its index alone.
void play_trials(const TrialPlan& plan, int64_t first, int64_t last, TrialScratch& scratch, PlayerTally* tallies);

} // namespace varnolith
