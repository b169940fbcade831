#pragma once
// A plain, step-by-step evaluator kept only as the yardstick for the fast one.

#include <span>

#include "evaluator.hpp"

namespace varnolith::testing {

HandValue reference_evaluate(std::span<const Card> cards);

} // namespace varnolith::testing
