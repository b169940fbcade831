#include "job_cost.hpp"

#include "range_estimate.hpp"
#include "range_request.hpp"

namespace varnolith {

namespace {

// A next-card table runs one exact run per next card, each a card shorter:
// together about as much again as the run itself.
constexpr double next_card_factor = 2.0;

bool simulated(const RunChoices& choices) {
    return choices.method == RangeMethod::monte_carlo || choices.trials > 0 || choices.precision > 0;
}

double precision_of(const RunChoices& choices) {
    return choices.trials > 0 ? 0.0 : choices.precision > 0 ? choices.precision : default_range_precision;
}

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

std::variant<JobKind, ApiError> job_kind(const EquityRequest& request, const PreparedSpot& spot,
                                         const JobLimits& limits) {
    const RunChoices& choices = request.choices;
    const int cores = limits.cores;
    if (!simulated(choices)) {
        // "auto" runs exact whenever that is quick, so the exact estimate tells
        // quick runs; of the others, it may overstate what a simulation takes.
        const double factor = request.by_card ? next_card_factor : 1.0;
        return JobKind{.quick = factor * estimate_exact_seconds(spot, 1) < limits.quick_seconds,
                       .lasting = factor * estimate_exact_seconds(spot, cores) > limits.lasting_seconds};
    }
    const double precision = precision_of(choices);
    const double on_every_core = estimate_simulation_seconds(spot, choices.trials, precision, cores);
    // Even if it started alone, it would keep all but one core.
    const double fastest = estimate_simulation_seconds(spot, choices.trials, precision, lasting_job_cores(limits));
    if (on_every_core > limits.lasting_seconds && fastest > limits.max_seconds) return too_long(choices, limits);
    return JobKind{.quick = estimate_simulation_seconds(spot, choices.trials, precision, 1) < limits.quick_seconds,
                   .lasting = on_every_core > limits.lasting_seconds};
}

} // namespace varnolith
