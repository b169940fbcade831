#include "enumeration.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "evaluator.hpp"
#include "monte_carlo.hpp"
#include "tally.hpp"
#include "trial.hpp"

namespace varnolith {

namespace {

constexpr uint64_t board_limit = 1'000'000;
constexpr std::size_t player_limit = 4;
constexpr int32_t fallback_trials = 2'000'000;

// The board's own part of every player's bits is built once per level of the
// walk, so each board costs one addition per player before evaluation.
struct Walk {
    const TrialPlan& plan;
    std::vector<PlayerTally>& tallies;
    int players;
    std::array<HandBits, deck_size> deck_bits{};
    int64_t boards = 0;

    Walk(const TrialPlan& p, std::vector<PlayerTally>& t) : plan(p), tallies(t), players(static_cast<int>(p.hands.size())) {
        for (int i = 0; i < plan.deck_count; ++i) deck_bits[i] = bits_of_index(plan.deck[i]);
    }

    template <int Left>
    void level(int from, HandBits partial) {
        if constexpr (Left == 0) {
            int32_t values[deck_size / 2];
            for (int p = 0; p < players; ++p) values[p] = evaluate_bits(partial + plan.hole_bits[p]);
            settle_pot(values, players, tallies.data());
            ++boards;
        } else {
            for (int i = from; i <= plan.deck_count - Left; ++i) level<Left - 1>(i + 1, partial + deck_bits[i]);
        }
    }
};

// Card lists for every board: the general road for repeated cards and over-long
// boards, where packed bits cannot stand for the hand.
struct ListWalk {
    const TrialPlan& plan;
    std::vector<PlayerTally>& tallies;
    std::vector<Card> completed;
    std::vector<Card> seven;
    std::vector<int32_t> values;
    int64_t boards = 0;

    void level(int from, int left) {
        if (left == 0) {
            for (std::size_t p = 0; p < plan.hands.size(); ++p) {
                seven.assign({plan.hands[p].first, plan.hands[p].second});
                seven.insert(seven.end(), completed.begin(), completed.end());
                values[p] = evaluate_seven(seven);
            }
            settle_pot(values.data(), static_cast<int>(values.size()), tallies.data());
            ++boards;
            return;
        }
        for (int i = from; i <= plan.deck_count - left; ++i) {
            completed.push_back(card_from_index(plan.deck[i]));
            level(i + 1, left - 1);
            completed.pop_back();
        }
    }
};

int64_t walk_boards(const TrialPlan& plan, std::vector<PlayerTally>& tallies) {
    const int players = static_cast<int>(plan.hands.size());
    if (plan.by_lists || players > deck_size / 2) {
        ListWalk walk{plan, tallies, {plan.board.begin(), plan.board.end()}, {}, std::vector<int32_t>(plan.hands.size())};
        walk.seven.reserve(walk.completed.size() + 7);
        walk.completed.reserve(walk.completed.size() + 5);
        walk.level(0, plan.to_come);
        return walk.boards;
    }
    Walk walk(plan, tallies);
    switch (plan.to_come) {
    case 0: walk.level<0>(0, plan.board_bits); break;
    case 1: walk.level<1>(0, plan.board_bits); break;
    case 2: walk.level<2>(0, plan.board_bits); break;
    case 3: walk.level<3>(0, plan.board_bits); break;
    case 4: walk.level<4>(0, plan.board_bits); break;
    default: walk.level<5>(0, plan.board_bits); break;
    }
    return walk.boards;
}

} // namespace

uint64_t completion_count(uint64_t cards_left, uint64_t cards_to_come) {
    if (cards_to_come > cards_left) return 0;
    uint64_t count = 1;
    for (uint64_t i = 0; i < cards_to_come; ++i) count = count * (cards_left - i) / (i + 1); // exact at every step
    return count;
}

EquityResult enumerate_equity(std::span<const HoleHand> hands, std::span<const Card> board) {
    const TrialPlan plan = make_trial_plan(hands, board, DeckOrder::rank_major, 0);
    std::vector<PlayerTally> tallies(hands.size());
    if (hands.empty()) return to_equity_result(tallies, 0);
    const int64_t boards = walk_boards(plan, tallies);
    return to_equity_result(tallies, boards);
}

std::vector<double> enumeration_equity_or_estimate(std::span<const HoleHand> hands, std::span<const Card> board) {
    std::vector<double> results(hands.size(), 0.0);
    if (hands.empty()) return results;
    const TrialPlan plan = make_trial_plan(hands, board, DeckOrder::rank_major, 0);
    if (plan.to_come == 0) {
        // Nothing to deal: one evaluation per player of its two cards and the
        // board (more than five board cards evaluate to 0, and everyone shares).
        std::vector<int32_t> values;
        std::vector<Card> cards;
        for (const HoleHand& h : hands) {
            cards.assign({h.first, h.second});
            cards.insert(cards.end(), board.begin(), board.end());
            values.push_back(evaluate_seven(cards));
        }
        const int32_t best = *std::max_element(values.begin(), values.end());
        const auto sharers = std::count(values.begin(), values.end(), best);
        for (std::size_t p = 0; p < hands.size(); ++p) results[p] = values[p] == best ? 1.0 / static_cast<double>(sharers) : 0.0;
        return results;
    }
    if (completion_count(plan.deck_count, plan.to_come) > board_limit || hands.size() > player_limit) {
        monte_carlo_equity(hands, board, fallback_trials, results);
        return results;
    }
    std::vector<PlayerTally> tallies(hands.size());
    const int64_t boards = walk_boards(plan, tallies);
    const EquityResult counted = to_equity_result(tallies, boards);
    for (std::size_t p = 0; p < hands.size(); ++p) results[p] = counted.equity(p);
    return results;
}

} // namespace varnolith
