#include "ranges/equity.hpp"

#include "ranges/exact/estimate.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

RangeMethod choose_range_method(const RangeSpot& range_spot, int threads) {
    const PreparedSpot spot = prepare_spot(range_spot);
    // Either driver refuses such a spot at once.
    if (!enough_cards(spot)) return RangeMethod::exact;
    return choose_range_method(spot, exact_work(spot), threads);
}

} // namespace varnolith
