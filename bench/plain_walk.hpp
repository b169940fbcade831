#pragma once
// The combination walk done the plain way: build each completed board and each
// player's seven-card list, evaluate it with evaluate_seven, add 1.0/m per split.
// The yardstick for the engine's shared-work walk.

#include <span>

#include "card.hpp"
#include "equity_result.hpp"

namespace varnolith::testing {

EquityResult plain_enumerate(std::span<const HoleHand> hands, std::span<const Card> board);

} // namespace varnolith::testing
