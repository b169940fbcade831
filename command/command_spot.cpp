#include "command_spot.hpp"

#include <stdexcept>
#include <utility>

#include "range_request.hpp"

namespace varnolith {

RangeSpot make_command_spot(const CommandOptions& options) {
    SpotFromText read = spot_from_text(options.ranges, options.board, options.dead);
    if (read.fault != SpotTextFault::none) throw std::invalid_argument(read.message);
    return std::move(read.spot);
}

} // namespace varnolith
