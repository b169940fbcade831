#pragma once
// Monte Carlo over deals drawn one player after another, each deal with its
// weight (in_turn.hpp) and plan.boards_per_deal boards. The result's
// trials are the deals completed; a run of N trials completes N deals.

#include "ranges/equity.hpp"
#include "ranges/sampling/plan.hpp"

namespace varnolith {

RangeResult run_in_turn(const Plan& plan, const RangeOptions& options, int threads);

} // namespace varnolith
