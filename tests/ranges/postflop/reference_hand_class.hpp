#pragma once
// A plain classifier written straight from the definitions beside the
// engine's classify_hand, kept only as its yardstick: every hand valued as the
// best of its five-card hands, every draw counted card by card.

#include "ranges/postflop/hand_class.hpp"

namespace varnolith::testing {

HandClass reference_classify(const HoleHand& hand, const Board& board, Ranking ranking);

} // namespace varnolith::testing
