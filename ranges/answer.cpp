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

// A flop report is the exact run with each board's sums kept and shared out.
constexpr double flops_factor = 1.1;

} // namespace

std::optional<RangeError> asked_fault(const RangeSpot& spot, const RunChoices& choices, const AnswerAsked& asked) {
    if (asked.flops) {
        if (!spot.board.empty())
            return RangeError(ErrorKind::usage, "the flops are of a preflop spot: give no board cards", ErrorField::flops);
        if (choices.method == RangeMethod::monte_carlo)
            return RangeError(ErrorKind::usage, "the flops are exact: they go with neither trials nor a precision",
                              ErrorField::flops);
        if (asked.by_card)
            return RangeError(ErrorKind::usage, "the flops are a table of their own: they do not go with the next cards",
                              ErrorField::flops);
    } else if (asked.hits && spot.board.size() < 3) {
        return RangeError(ErrorKind::usage, "hits are of a board: give a flop, a turn or a river, or ask for the flops",
                          ErrorField::hits);
    }
    return std::nullopt;
}

AnswerEstimate estimate_answer(const PreparedSpot& spot, const RunChoices& choices, const AnswerAsked& asked) {
    const bool by_card = asked.by_card || asked.flops; // both make the run exact
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
            const double factor = asked.by_card ? next_cards_factor : asked.flops ? flops_factor : 1.0;
            return {RangeMethod::exact, factor * estimate.one_thread, factor * estimate.all_threads};
        }
    }
    const double precision = sampling_precision(choices);
    return {RangeMethod::monte_carlo, estimate_simulation_seconds(spot, choices.trials, precision, 1, machine),
            estimate_simulation_seconds(spot, choices.trials, precision, choices.threads, machine)};
}

Answer compute_answer(const RangeSpot& spot, RunChoices choices, const AnswerAsked& asked, const RangeOptions& hooks) {
    if (const std::optional<RangeError> fault = asked_fault(spot, choices, asked)) throw *fault;
    const bool by_card = asked.by_card;
    if (by_card || asked.flops) choices.method = RangeMethod::exact;
    const auto start = std::chrono::steady_clock::now();
    RangeRun run = plan_range_run(spot, choices);
    run.options.cancel = hooks.cancel;
    HalfProgress half{hooks};
    if (hooks.progress) {
        run.options.progress = by_card ? half_progress : hooks.progress;
        run.options.progress_context = by_card ? &half : hooks.progress_context;
    }
    Answer answer;
    if (asked.flops) {
        FlopReport report = flop_report(run.spot, run.symmetry ? *run.symmetry : find_suit_symmetry(run.spot), run.options);
        answer.result = std::move(report.preflop);
        answer.flops = std::move(report.rows);
        answer.textures = std::move(report.textures);
        if (asked.hits) answer.hits = hits_over_flops(spot, answer.result);
    } else {
        answer.result = run_range_equity(run);
        if (asked.hits) answer.hits = range_hits(spot, answer.result);
    }
    if (by_card) {
        half.first = 0.5;
        answer.next_cards = next_card_table(spot, run.options);
    }
    answer.elapsed_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return answer;
}

} // namespace varnolith
