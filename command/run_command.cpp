#include "run_command.hpp"

#include <chrono>
#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

#include "command_spot.hpp"
#include "options.hpp"
#include "progress.hpp"
#include "range_next_card.hpp"
#include "range_request.hpp"
#include "report.hpp"

namespace varnolith {

namespace {

constexpr int status_failure = 1;
constexpr int status_usage = 2;

RunChoices run_choices(const CommandOptions& o) {
    RunChoices choices;
    if (o.exact || o.by_card) choices.method = RangeMethod::exact;
    else if (o.trials > 0 || o.precision > 0.0) choices.method = RangeMethod::monte_carlo;
    choices.threads = o.threads;
    choices.trials = o.trials;
    choices.precision = o.precision;
    if (o.seed_given) choices.seed = o.seed;
    return choices;
}

int complain(std::ostream& err, const std::string& message, int status) {
    err << "varnolith: " << message << '\n';
    return status;
}

} // namespace

int run_command(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool show_progress,
                TerminalColour colour, const std::atomic<bool>* interrupt) {
    const ParsedCommandLine parsed = parse_command_line(argc, argv);
    if (parsed.outcome == CommandLineOutcome::print) {
        out << parsed.text;
        return 0;
    }
    if (parsed.outcome == CommandLineOutcome::usage_error) return complain(err, parsed.text, status_usage);
    const CommandOptions& o = parsed.options;
    if (o.ordering) {
        if (o.json) write_ordering_json(out);
        else write_ordering_text(out);
        return 0;
    }
    ProgressLine line{show_progress ? &err : nullptr};
    try {
        const RangeSpot spot = make_command_spot(o);
        line.start = std::chrono::steady_clock::now(); // choosing the method may count deals
        RangeRun run = plan_range_run(spot, run_choices(o));
        // The next-card runs together settle about as many boards as the spot's own.
        ProgressStage stage{&line, 0, o.by_card ? 0.5 : 1};
        if (line.to != nullptr) {
            run.options.progress = draw_stage_progress;
            run.options.progress_context = &stage;
        }
        run.options.cancel = interrupt;
        const RangeResult result = run_range_equity(spot, run);
        std::vector<NextCard> next_cards;
        if (o.by_card) {
            stage.first = 0.5;
            next_cards = next_card_table(spot, run.options);
        }
        if (interrupt != nullptr && interrupt->load()) throw RangeCancelled{};
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - line.start;
        erase_progress(line);
        const CommandReport report{o, spot, result, elapsed.count(), colour, std::move(next_cards)};
        if (o.svg == "-") {
            out << svg_picture(report); // the picture alone, for a pipe
            return 0;
        }
        if (!o.svg.empty()) write_svg_file(o.svg, report); // a failure leaves no report
        if (o.json)
            write_json_report(out, report);
        else
            write_text_report(out, report);
        return 0;
    } catch (const RangeCancelled&) {
        erase_progress(line);
        return status_interrupted;
    } catch (const std::invalid_argument& e) {
        erase_progress(line);
        return complain(err, e.what(), status_usage);
    } catch (const std::exception& e) {
        erase_progress(line);
        return complain(err, e.what(), status_failure);
    }
}

} // namespace varnolith
