#pragma once
// The answer to a range request, as every front end gives it: the method
// chosen, the figures, and the next-card table when asked.

#include <vector>

#include "range_next_card.hpp"
#include "range_request.hpp"

namespace varnolith {

struct Answer {
    RangeResult result;
    std::vector<NextCard> next_cards; // when asked for
    double elapsed_seconds = 0;
};

// Plans the run (with a next-card table the run is exact) and runs it, with
// the caller's progress and cancel hooks. Throws what the drivers throw.
Answer compute_answer(const RangeSpot& spot, RunChoices choices, bool by_card, const RangeOptions& hooks);

} // namespace varnolith
