#pragma once
// What a request will cost, judged from the engine's estimates before it is
// queued: quick (taken first, never counted against the long jobs' queue),
// long, lasting (leaving a core to the quick ones), or refused when even every
// core it could get would not finish it within the time limit.

#include <variant>

#include "api_error.hpp"
#include "equity_request.hpp"
#include "jobs.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

struct JobCost {
    JobKind kind;
    RangeMethod method = RangeMethod::exact; // the one the run will use
    double seconds = 0; // expected on the cores the job may hold, so a client can warn of a run past the limit
};

// The job's kind (quick by its estimate on one core, lasting by its estimate
// on every core) and its expected time; 422 too_long (field "trials" or
// "precision") for a simulation expected to run past limits.max_seconds on
// all the cores a lasting job may hold. `limits.cores` is resolved (open_board).
std::variant<JobCost, ApiError> job_cost(const EquityRequest& request, const PreparedSpot& spot,
                                         const JobLimits& limits);

} // namespace varnolith
