#pragma once
// A plain, step-by-step evaluator kept only as the yardstick for the fast one:
// every rule written out with counts, lists and sorts, nothing clever.

#include <span>

#include "card.hpp"
#include "evaluator.hpp"

namespace varnolith::testing {

HandValue reference_evaluate(std::span<const Card> cards);

} // namespace varnolith::testing
