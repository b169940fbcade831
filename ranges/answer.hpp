#pragma once
// The answer to a range request, as every front end gives it: the method
// chosen, the figures, and the next-card table when asked.

#include <vector>

#include "ranges/next_card.hpp"
#include "ranges/request.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

struct Answer {
    RangeResult result;
    std::vector<NextCard> next_cards; // when asked for
    double elapsed_seconds = 0;
};

// Plans the run (with a next-card table the run is exact) and runs it, with
// the caller's progress and cancel hooks. Throws what the drivers throw.
Answer compute_answer(const RangeSpot& spot, RunChoices choices, bool by_card, const RangeOptions& hooks);

// What compute_answer would run for these choices, and its expected wall
// time on one thread and on choices.threads (0: every core).
struct AnswerEstimate {
    RangeMethod method = RangeMethod::exact;
    double one_thread = 0;   // seconds
    double all_threads = 0;  // seconds on choices.threads
};

// The method is chosen as plan_range_run chooses it, from the same estimate;
// infinite for a precision too fine to reach. Assumes a spot with a deal.
AnswerEstimate estimate_answer(const PreparedSpot& spot, const RunChoices& choices, bool by_card);

} // namespace varnolith
