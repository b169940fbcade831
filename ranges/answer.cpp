#include "ranges/answer.hpp"

#include <chrono>

#include "ranges/exact/estimate.hpp"

namespace varnolith {

namespace {

// The next-card table costs about as much as the spot itself: progress runs
// over both, half each.
struct HalfProgress {
    const RangeOptions& outer;
    double first = 0;
};

void half_progress(double done, void* context) {
    const auto& p = *static_cast<const HalfProgress*>(context);
    p.outer.progress(p.first + 0.5 * done, p.outer.progress_context);
}

// A next-card table runs one exact run per next card, each a card shorter:
// together about as much again as the spot itself.
constexpr double next_cards_factor = 2.0;

} // namespace

AnswerEstimate estimate_answer(const PreparedSpot& spot, const RunChoices& choices, bool by_card) {
    AnswerEstimate estimate;
    // Asked once: finding the cores is a system call, and a batch estimates every spot.
    const Machine machine = this_machine();
    const bool may_enumerate = by_card || !choices.method || *choices.method == RangeMethod::exact;
    if (may_enumerate) {
        const ExactWork work = exact_work(spot);
        estimate.one_thread = estimate_exact_seconds(spot, work, 1, machine);
        estimate.all_threads = estimate_exact_seconds(spot, work, choices.threads, machine);
        const bool exact = by_card || choices.method || estimate.all_threads <= exact_budget_seconds;
        if (exact) {
            const double factor = by_card ? next_cards_factor : 1.0;
            return {RangeMethod::exact, factor * estimate.one_thread, factor * estimate.all_threads};
        }
    }
    const double precision = sampling_precision(choices);
    return {RangeMethod::monte_carlo, estimate_simulation_seconds(spot, choices.trials, precision, 1, machine),
            estimate_simulation_seconds(spot, choices.trials, precision, choices.threads, machine)};
}

Answer compute_answer(const RangeSpot& spot, RunChoices choices, bool by_card, const RangeOptions& hooks) {
    if (by_card) choices.method = RangeMethod::exact;
    const auto start = std::chrono::steady_clock::now();
    RangeRun run = plan_range_run(spot, choices);
    run.options.cancel = hooks.cancel;
    HalfProgress half{hooks};
    if (hooks.progress) {
        run.options.progress = by_card ? half_progress : hooks.progress;
        run.options.progress_context = by_card ? &half : hooks.progress_context;
    }
    Answer answer;
    answer.result = run_range_equity(run);
    if (by_card) {
        half.first = 0.5;
        answer.next_cards = next_card_table(spot, run.options);
    }
    answer.elapsed_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return answer;
}

} // namespace varnolith
