#include "range_equity.hpp"

#include "range_estimate.hpp"
#include "range_spot.hpp"

namespace varnolith {

namespace {

// Exact when it is expected within about a second on the cores at hand.
constexpr double budget_seconds = 1.0;

} // namespace

RangeMethod choose_range_method(const RangeSpot& range_spot) {
    const PreparedSpot spot = prepare_spot(range_spot);
    // Either driver refuses such a spot at once.
    if (!enough_cards(spot)) return RangeMethod::exact;
    return estimate_exact_seconds(spot, 0) <= budget_seconds ? RangeMethod::exact : RangeMethod::monte_carlo;
}

} // namespace varnolith
