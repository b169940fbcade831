#include "range_equity.hpp"

#include <algorithm>

#include "range_spot.hpp"

namespace varnolith {

namespace {

// Measured costs on a two-core machine, per core: an evaluation with its share
// of the heads-up sweep, an evaluation alone, and one settled deal of three or
// more players.
constexpr double heads_up_seconds = 40e-9;
constexpr double evaluation_seconds = 15e-9;
constexpr double deal_seconds = 5e-9;
constexpr double cores = 2;
constexpr double budget_seconds = 1.0;
// Counting deals to decide must itself be quick: a few milliseconds of the
// walk, after which the spot is taken to be too big to enumerate.
constexpr uint64_t counting_steps = 4'000'000;

} // namespace

RangeMethod choose_range_method(const RangeSpot& range_spot) {
    const PreparedSpot spot = prepare_spot(range_spot);
    // Either driver refuses such a spot at once.
    if (!enough_cards(spot)) return RangeMethod::exact;
    const double boards = static_cast<double>(choose(spot.deck.size(), static_cast<uint64_t>(spot.to_come)));
    double combos = 0;
    for (const auto& live : spot.live) combos += static_cast<double>(live.size());
    if (spot.players == 2)
        return boards * combos * heads_up_seconds / cores <= budget_seconds ? RangeMethod::exact : RangeMethod::monte_carlo;
    const double evaluations = boards * combos * evaluation_seconds / cores;
    if (evaluations > budget_seconds) return RangeMethod::monte_carlo;
    const double boards_per_deal = static_cast<double>(
        choose(spot.deck.size() - std::min<uint64_t>(spot.deck.size(), 2 * static_cast<uint64_t>(spot.players)),
               static_cast<uint64_t>(spot.to_come)));
    const double affordable = (budget_seconds - evaluations) * cores / (deal_seconds * std::max(boards_per_deal, 1.0));
    const uint64_t limit = static_cast<uint64_t>(std::min(affordable, 1e18)) + 1;
    return count_deals(spot, limit, counting_steps) < limit ? RangeMethod::exact : RangeMethod::monte_carlo;
}

} // namespace varnolith
