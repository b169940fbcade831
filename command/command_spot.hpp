#pragma once
// From the text of the command line to the spot the engine computes.

#include "options.hpp"
#include "ranges/equity.hpp"

namespace varnolith {

// A range argument "@PATH" is the text of that file. Throws RangeError with
// the line to show the user: a range file that cannot be read, a bad range
// item or card, more than five board cards, a card given twice among the
// board and the dead cards, --by-card without a flop or a turn.
RangeSpot make_command_spot(const CommandOptions& options);

} // namespace varnolith
