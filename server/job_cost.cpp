#include "job_cost.hpp"

#include "ranges/answer.hpp"

namespace varnolith {

namespace {

ApiError too_long(const RunChoices& choices, const JobLimits& limits) {
    const std::string limit = std::to_string(static_cast<int>(limits.max_seconds)) + " s";
    if (choices.trials > 0)
        return {422, "too_long",
                "a run of this many trials would not end within the server's limit of " + limit + "; ask for fewer",
                "trials"};
    return {422, "too_long",
            "a run to this precision would not end within the server's limit of " + limit + "; ask for a coarser one",
            "precision"};
}

} // namespace

std::variant<JobCost, ApiError> job_cost(const EquityRequest& request, const PreparedSpot& spot,
                                         const JobLimits& limits) {
    RunChoices on_every_core = request.choices;
    on_every_core.threads = limits.cores;
    const AnswerEstimate estimate = estimate_answer(spot, on_every_core, answer_asked(request));
    const bool lasting = estimate.all_threads > limits.lasting_seconds;
    // A lasting job keeps all but one core, and a simulation's time shares out
    // over its threads. Exact estimates are rougher: those run to the limit.
    const double seconds = lasting ? estimate.one_thread / lasting_job_cores(limits) : estimate.all_threads;
    if (estimate.method == RangeMethod::monte_carlo && lasting && seconds > limits.max_seconds)
        return too_long(request.choices, limits);
    return JobCost{.kind = {.quick = estimate.one_thread < limits.quick_seconds, .lasting = lasting},
                   .method = estimate.method,
                   .seconds = seconds};
}

} // namespace varnolith
