#pragma once
// Equity of ranges against ranges. Each player's hand is drawn from the
// player's range in proportion to its weight, among the deals in which no card
// is held twice (by two players, or by a player and the board or the dead
// cards); the board is then completed uniformly from the cards left.

#include <array>
#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "card.hpp"
#include "evaluator.hpp"
#include "ranges/notation/range.hpp"

namespace varnolith {

inline constexpr int max_range_players = 15;

struct RangeSpot {
    std::vector<Range> ranges; // one per player, 2 to 15
    Board board;               // 0 to 5 cards
    std::vector<Card> dead;    // held by nobody, never dealt to the board
    Ranking ranking = Ranking::straight;
};

enum class RangeMethod { exact, monte_carlo };

struct HandEquity {
    HoleHand hand;
    double weight = 0; // probability that the player holds it, among the compatible deals
    double equity = 0; // against the other ranges; NaN when no compatible deal allows it
};

struct RangePlayerResult {
    int combos = 0;             // live combinations: not blocked by the board or the dead cards
    double equity = 0;          // expected share of the pot; a split among m gives 1/m
    double win = 0;             // probability of winning alone
    double tie = 0;             // expected share from split pots
    double standard_error = 0;  // of the equity; 0 when exact
    // How often the final hand is of each category, by category (3 three of a
    // kind, 4 straight) whatever the ranking.
    std::array<double, category_count> categories{};
    std::vector<HandEquity> hands; // every live combination, in the order of the range
};

struct RangeResult {
    RangeMethod method = RangeMethod::exact;
    uint64_t deals = 0;  // exact: compatible deals of hands, ordered per player, unweighted
    uint64_t boards = 0; // exact: board completions settled for each deal
    int64_t trials = 0;  // Monte Carlo: completed deals (rejected draws not counted)
    uint64_t seed = 0;   // Monte Carlo: the seed the run used
    // Exact: the weights of the compatible deals summed over their boards. Two
    // spots with the same number of boards per deal compare by it as by their
    // probabilities.
    double deal_weight = 0;
    std::vector<RangePlayerResult> players;
};

// The progress hook is called now and then from one thread with the fraction
// of the work done, never smaller than the last. Exact: boards settled. Monte
// Carlo to a precision: trials done of the trials the run now expects to need (0 until
// the first batch has given an estimate).
using RangeProgress = void (*)(double done, void* context);

struct RangeOptions {
    int threads = 0;         // 0: every core
    int64_t trials = 0;      // Monte Carlo: this many trials when positive ...
    double precision = 0.0;  // ... else until every player's standard error is at most this
    uint64_t seed = 0;       // Monte Carlo: the same seed gives the same result at any thread count
    RangeProgress progress = nullptr;
    void* progress_context = nullptr;
    // When it turns true the drivers stop within a few milliseconds and throw
    // RangeCancelled; read, never written.
    const std::atomic<bool>* cancel = nullptr;
};

struct RangeCancelled : std::runtime_error {
    RangeCancelled() : std::runtime_error("the computation was cancelled") {}
};

inline bool cancelled(const RangeOptions& options) {
    return options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed);
}

// Every compatible deal with every completion of the board.
RangeResult range_equity_exact(const RangeSpot& spot, const RangeOptions& options = {});

// Deals drawn from exactly the distribution above: a whole draw with a card
// held twice is drawn again, or, where few whole draws would fit, the players
// are drawn one after another with importance weights.
RangeResult range_equity_monte_carlo(const RangeSpot& spot, const RangeOptions& options);

// An exact run expected within this is the default method's choice.
inline constexpr double exact_budget_seconds = 1.0;

// Exact when estimate_exact_seconds (exact/estimate.hpp) expects it within
// exact_budget_seconds on `threads` threads (0: every core), Monte Carlo otherwise.
RangeMethod choose_range_method(const RangeSpot& spot, int threads = 0);

// Both drivers throw RangeError (error.hpp) for a spot that is not well
// formed (fewer than 2 or more than 15 players, an empty range, more than five
// board cards, a card outside the deck, a card both on the board and dead),
// with kind no_deal when no compatible deal exists, and with kind internal
// when a worker thread failed.

} // namespace varnolith
