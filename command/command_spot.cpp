#include "command_spot.hpp"

#include <stdexcept>
#include <string>
#include <utility>

#include "ranges/request.hpp"

namespace varnolith {

RangeSpot make_command_spot(const CommandOptions& options) {
    SpotFromText read = spot_from_text(options.ranges, options.board, options.dead, options.rules);
    if (read.error) throw *read.error;
    const std::size_t board = read.spot.board.size();
    if (options.by_card && board != 3 && board != 4)
        throw RangeError(ErrorKind::usage,
                         "--by-card needs a flop or a turn: three or four board cards (got " + std::to_string(board) + ")",
                         ErrorField::by_card);
    return std::move(read.spot);
}

} // namespace varnolith
