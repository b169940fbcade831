#pragma once
// The Monte Carlo driver on a spot already prepared: a planned run prepares
// the spot once, for choosing the method and for the run.

#include "ranges/equity.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

// As range_equity_monte_carlo, for a spot known to have a compatible deal.
RangeResult range_equity_monte_carlo(const PreparedSpot& spot, const RangeOptions& options);

} // namespace varnolith
