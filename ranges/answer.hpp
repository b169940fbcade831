#pragma once
// The answer to a range request, as every front end gives it: the method
// chosen, the figures, and the next-card table when asked.

#include <vector>

#include <optional>

#include "ranges/next_card.hpp"
#include "ranges/postflop/flop_report.hpp"
#include "ranges/postflop/hits.hpp"
#include "ranges/request.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

// What a request asks for beyond the players' figures that takes work.
struct AnswerAsked {
    bool by_card = false; // the next-card table of a flop or a turn; the run is exact
    bool hits = false;    // what each range holds on the board, or (with flops) on the flop
    bool flops = false;   // a preflop spot's flop report; the run is exact
};

struct Answer {
    RangeResult result;
    std::vector<NextCard> next_cards; // when asked for
    RangeHits hits;                   // when asked for
    std::vector<FlopRow> flops;       // when asked for
    std::vector<TextureGroup> textures;
    double elapsed_seconds = 0;
};

// The first thing asked that the spot and the choices cannot give, as a
// RangeError of kind usage: hits without a board of three or more cards or
// the flops (field hits); the flops of a spot with board cards, of a
// simulation, or with the next cards (field flops).
std::optional<RangeError> asked_fault(const RangeSpot& spot, const RunChoices& choices, const AnswerAsked& asked);

// Plans the run (with a next-card table or the flops the run is exact) and
// runs it, with the caller's progress and cancel hooks. Throws asked_fault's
// error, and what the drivers throw.
Answer compute_answer(const RangeSpot& spot, RunChoices choices, const AnswerAsked& asked, const RangeOptions& hooks);

// What compute_answer would run for these choices, and its expected wall
// time on one thread and on choices.threads (0: every core).
struct AnswerEstimate {
    RangeMethod method = RangeMethod::exact;
    double one_thread = 0;   // seconds
    double all_threads = 0;  // seconds on choices.threads
};

// The method is chosen as plan_range_run chooses it, from the same estimate;
// infinite for a precision too fine to reach. Assumes a spot with a deal.
AnswerEstimate estimate_answer(const PreparedSpot& spot, const RunChoices& choices, const AnswerAsked& asked);

} // namespace varnolith
