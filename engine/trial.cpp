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

namespace {

// The number of cards to come is a template argument so that the deal unrolls:
// the trial's draws are all computed before any swap, which lets them overlap.
template <int ToCome, bool ByLists>
void play_fixed(const TrialPlan& plan, int64_t first, int64_t last, TrialScratch& scratch, PlayerTally* tallies) {
    const int players = static_cast<int>(plan.hands.size());
    uint8_t* deck = scratch.deck.data();
    int32_t* values = scratch.values.data();
    const int top = plan.deck_count - 1;
    for (int64_t trial = first; trial < last; ++trial) {
        // Only the dealt cards matter, so the shuffle stops after them: the first
        // draws of a full Fisher-Yates from the end of the deck deal exactly
        // the same distribution. The swaps are undone after the trial so that
        // every trial starts from the same order.
        uint32_t swapped_with[5];
        for (int d = 0; d < ToCome; d += 2) {
            const uint64_t word = trial_word(plan.run_key, static_cast<uint64_t>(trial), static_cast<uint32_t>(d / 2));
            swapped_with[d] = plan.modulo[d](static_cast<uint32_t>(word >> 32));
            if (d + 1 < ToCome) swapped_with[d + 1] = plan.modulo[d + 1](static_cast<uint32_t>(word));
        }
        HandBits dealt = plan.board_bits;
        for (int d = 0; d < ToCome; ++d) {
            std::swap(deck[top - d], deck[swapped_with[d]]);
            dealt = dealt + bits_of_index(deck[top - d]);
        }
        if constexpr (!ByLists) {
            for (int p = 0; p < players; ++p) values[p] = evaluate_bits(dealt + plan.hole_bits[p]);
        } else {
            for (int p = 0; p < players; ++p) {
                scratch.seven.assign({plan.hands[p].first, plan.hands[p].second});
                scratch.seven.insert(scratch.seven.end(), plan.board.begin(), plan.board.end());
                for (int d = 0; d < ToCome; ++d) scratch.seven.push_back(card_from_index(deck[top - d]));
                values[p] = evaluate_seven(scratch.seven);
            }
        }
        if (players > 0) settle_pot(values, players, tallies);
        for (int d = ToCome - 1; d >= 0; --d) std::swap(deck[top - d], deck[swapped_with[d]]);
    }
}

template <bool ByLists>
void play_by_count(const TrialPlan& plan, int64_t first, int64_t last, TrialScratch& scratch, PlayerTally* tallies) {
    switch (plan.to_come) {
    case 0: return play_fixed<0, ByLists>(plan, first, last, scratch, tallies);
    case 1: return play_fixed<1, ByLists>(plan, first, last, scratch, tallies);
    case 2: return play_fixed<2, ByLists>(plan, first, last, scratch, tallies);
    case 3: return play_fixed<3, ByLists>(plan, first, last, scratch, tallies);
    case 4: return play_fixed<4, ByLists>(plan, first, last, scratch, tallies);
    default: return play_fixed<5, ByLists>(plan, first, last, scratch, tallies);
    }
}

} // namespace

void play_trials(const TrialPlan& plan, int64_t first, int64_t last, TrialScratch& scratch, PlayerTally* tallies) {
    if (plan.by_lists) play_by_count<true>(plan, first, last, scratch, tallies);
    else play_by_count<false>(plan, first, last, scratch, tallies);
}

} // namespace varnolith
