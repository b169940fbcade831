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

// The job's kind (quick by its estimate on one core, lasting by its estimate
// on every core); 422 too_long (field "trials" or "precision") for a
// simulation expected to run past limits.max_seconds on all the cores a
// lasting job may hold. `limits.cores` is resolved (open_board).
std::variant<JobKind, ApiError> job_kind(const EquityRequest& request, const PreparedSpot& spot,
                                         const JobLimits& limits);

} // namespace varnolith
