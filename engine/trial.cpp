#include "trial.hpp"

#include <algorithm>
#include <stdexcept>

#include "evaluator.hpp"

namespace varnolith {

namespace {

void require_valid(Card c) {
    if (!is_valid_card(c)) throw std::invalid_argument("card outside the 36-card deck");
}

} // namespace

TrialPlan make_trial_plan(std::span<const HoleHand> hands, std::span<const Card> board, DeckOrder order,
                          uint64_t run_key) {
    TrialPlan plan;
    plan.hands.assign(hands.begin(), hands.end());
    plan.board.assign(board.begin(), board.end());
    plan.run_key = run_key;
    uint64_t in_play = 0;
    bool repeated = false;
    auto take = [&](Card c) {
        require_valid(c);
        const uint64_t bit = uint64_t{1} << card_index(c);
        repeated |= (in_play & bit) != 0;
        in_play |= bit;
    };
    for (const HoleHand& h : hands) {
        take(h.first);
        take(h.second);
        plan.hole_bits.push_back(bits_of(h.first) + bits_of(h.second));
    }
    for (const Card c : board) {
        take(c);
        plan.board_bits = plan.board_bits + bits_of(c);
    }
    const std::vector<Card> listing = order == DeckOrder::rank_major ? full_deck() : suit_major_deck();
    for (const Card c : listing)
        if (!(in_play & (uint64_t{1} << card_index(c))))
            plan.deck[plan.deck_count++] = static_cast<uint8_t>(card_index(c));
    plan.to_come = std::max(0, 5 - static_cast<int>(board.size()));
    if (plan.to_come > plan.deck_count) throw std::invalid_argument("more cards to come than the deck holds");
    for (int d = 0; d < plan.to_come; ++d) plan.modulo[d] = FastModulo(static_cast<uint32_t>(plan.deck_count - d));
    plan.by_lists = repeated || board.size() > 5;
    return plan;
}

TrialScratch::TrialScratch(const TrialPlan& plan) : deck(plan.deck), values(plan.hands.size()) {
    if (plan.by_lists) seven.reserve(2 + std::max<std::size_t>(plan.board.size(), 5));
}

void play_trials(const TrialPlan& plan, int64_t first, int64_t last, TrialScratch& scratch, PlayerTally* tallies) {
    const int players = static_cast<int>(plan.hands.size());
    const int to_come = plan.to_come;
    uint8_t* deck = scratch.deck.data();
    int32_t* values = scratch.values.data();
    for (int64_t trial = first; trial < last; ++trial) {
        // Only the dealt cards matter, so the shuffle stops after them: the first
        // draws of a full Fisher-Yates from the end of the deck deal exactly
        // the same distribution. The swaps are undone after the trial so that
        // every trial starts from the same order.
        uint32_t swapped_with[5];
        HandBits dealt = plan.board_bits;
        uint64_t word = 0;
        for (int d = 0; d < to_come; ++d) {
            const int last_slot = plan.deck_count - 1 - d;
            if (d % 2 == 0) word = trial_word(plan.run_key, static_cast<uint64_t>(trial), static_cast<uint32_t>(d / 2));
            const uint32_t x = static_cast<uint32_t>(d % 2 == 0 ? word >> 32 : word);
            const uint32_t j = plan.modulo[d](x);
            swapped_with[d] = j;
            std::swap(deck[last_slot], deck[j]);
            dealt = dealt + bits_of_index(deck[last_slot]);
        }
        if (!plan.by_lists) {
            for (int p = 0; p < players; ++p) values[p] = evaluate_bits(dealt + plan.hole_bits[p]);
        } else {
            for (int p = 0; p < players; ++p) {
                scratch.seven.assign({plan.hands[p].first, plan.hands[p].second});
                scratch.seven.insert(scratch.seven.end(), plan.board.begin(), plan.board.end());
                for (int d = 0; d < to_come; ++d) scratch.seven.push_back(card_from_index(deck[plan.deck_count - 1 - d]));
                values[p] = evaluate_seven(scratch.seven);
            }
        }
        if (players > 0) settle_pot(values, players, tallies);
        for (int d = to_come - 1; d >= 0; --d) std::swap(deck[plan.deck_count - 1 - d], deck[swapped_with[d]]);
    }
}

} // namespace varnolith
