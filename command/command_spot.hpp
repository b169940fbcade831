#pragma once
// From the text of the command line to the spot the engine computes.

#include "options.hpp"
#include "ranges/equity.hpp"

namespace varnolith {

// Throws std::invalid_argument with the line to show the user: a bad range
// item or card, more than five board cards, a card given twice among the
// board and the dead cards, --by-card without a flop or a turn.
RangeSpot make_command_spot(const CommandOptions& options);

} // namespace varnolith
