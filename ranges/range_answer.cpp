#include "range_answer.hpp"

#include <chrono>

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

} // namespace

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
    answer.result = run_range_equity(spot, run);
    if (by_card) {
        half.first = 0.5;
        answer.next_cards = next_card_table(spot, run.options);
    }
    answer.elapsed_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return answer;
}

} // namespace varnolith
