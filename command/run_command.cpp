#include "run_command.hpp"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "batch_input.hpp"
#include "command_spot.hpp"
#include "options.hpp"
#include "progress.hpp"
#include "answer.hpp"
#include "ranges/notation/writer.hpp"
#include "ranges/postflop/filter.hpp"
#include "report.hpp"

namespace varnolith {

namespace {

constexpr int status_failure = 1;
constexpr int status_usage = 2;

// The command warns before a run that will take longer than this, so that
// nobody waits blind; the run goes ahead all the same. The default method never chooses one.
constexpr double long_run_seconds = 10;

void warn_of_a_long_run(const CommandOptions& o, const RangeSpot& spot, std::ostream& err) {
    if (!o.exact && !o.by_card && !o.flops && o.trials == 0 && o.precision == 0.0) return;
    const AnswerEstimate expected = estimate_answer(prepare_spot(spot), run_choices(o), answer_asked(o));
    if (expected.all_threads <= long_run_seconds) return;
    if (expected.method == RangeMethod::exact)
        err << "varnolith: this exact run is expected to take " << rough_duration(expected.all_threads)
            << "; --precision P simulates instead\n" << std::flush;
    else
        err << "varnolith: this simulation is expected to take " << rough_duration(expected.all_threads) << "; "
            << (o.trials > 0 ? "fewer --trials" : "a larger --precision") << " shortens it\n" << std::flush;
}

int complain(std::ostream& err, const std::string& message, int status) {
    err << "varnolith: " << message << '\n';
    return status;
}

// Output that cannot be written (a full disk, a closed pipe) is a failure,
// not a silent success.
int finish_output(std::ostream& out, std::ostream& err) {
    if (out) errno = 0;
    out.flush();
    if (out) return 0;
    const int reason = errno;
    return complain(err, reason != 0 ? std::string("cannot write the output: ") + std::strerror(reason)
                                     : std::string("cannot write the output"),
                    status_failure);
}

// Every line answered, some refused, or none of them JSON: input that is not
// JSON lines at all (binary, plain text) is a slip of the whole command.
int batch_status(const BatchTally& tally, std::ostream& out, std::ostream& err) {
    if (tally.interrupted) return status_interrupted;
    if (const int failed = finish_output(out, err); failed != 0) return failed;
    if (!tally.unreadable.empty())
        return complain(err, "cannot read standard input: " + tally.unreadable, status_failure);
    if (tally.lines > 0 && tally.not_json == tally.lines)
        return complain(err, "standard input is not JSON lines: not one of its lines is JSON", status_usage);
    return tally.refused > 0 ? status_failure : 0;
}

// Each range cut to what the filter keeps on the board, one line of notation
// per range: an empty line for a range that keeps nothing.
void write_filtered(std::ostream& out, const RangeSpot& spot, const HitFilter& filter) {
    for (const Range& range : spot.ranges)
        out << range_notation(filter_range(range, spot.board, spot.dead, spot.ranking, filter)) << '\n';
}

} // namespace

int run_command(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool show_progress,
                TerminalColour colour, const std::atomic<bool>* interrupt, int input) {
    const ParsedCommandLine parsed = parse_command_line(argc, argv);
    if (parsed.outcome == CommandLineOutcome::print) {
        out << parsed.text;
        return 0;
    }
    if (parsed.outcome == CommandLineOutcome::usage_error) return complain(err, parsed.text, status_usage);
    const CommandOptions& o = parsed.options;
    if (o.batch) return batch_status(run_batch(input, out, o.threads, interrupt), out, err);
    if (o.ordering) {
        if (o.json) out << ordering_json(o.rules).dump(2) << '\n';
        else write_ordering_text(out, o.rules);
        return finish_output(out, err);
    }
    ProgressLine line{show_progress ? &err : nullptr};
    try {
        const RangeSpot spot = make_command_spot(o);
        if (o.filter_given) {
            write_filtered(out, spot, parse_hit_filter(o.filter));
            return finish_output(out, err);
        }
        if (const auto fault = asked_fault(spot, run_choices(o), answer_asked(o))) throw *fault;
        require_a_deal(spot);
        warn_of_a_long_run(o, spot, err);
        line.start = std::chrono::steady_clock::now();
        RangeOptions hooks;
        if (line.to != nullptr) {
            hooks.progress = draw_progress;
            hooks.progress_context = &line;
        }
        hooks.cancel = interrupt;
        const Answer answer = compute_answer(spot, run_choices(o), answer_asked(o), hooks);
        if (interrupt != nullptr && interrupt->load()) throw RangeCancelled{};
        erase_progress(line);
        const CommandReport report{o, spot, answer, colour};
        if (o.svg == "-") {
            out << svg_picture(report); // the picture alone, for a pipe
            return finish_output(out, err);
        }
        if (!o.svg.empty()) write_svg_file(o.svg, report); // a failure leaves no report
        if (o.json)
            out << answer_json(o.ranges, spot, answer, {o.categories, o.by_hand, o.grid, o.by_card, o.hits, o.flops})
                       .dump(2)
                << '\n';
        else if (o.csv)
            write_flops_csv(out, answer);
        else
            write_text_report(out, report);
        return finish_output(out, err);
    } catch (const RangeCancelled&) {
        erase_progress(line);
        return status_interrupted;
    } catch (const RangeError& e) {
        erase_progress(line);
        const bool slip = e.kind == ErrorKind::usage || e.kind == ErrorKind::range || e.kind == ErrorKind::cards;
        return complain(err, e.what(), slip ? status_usage : status_failure);
    } catch (const std::exception& e) {
        erase_progress(line);
        return complain(err, e.what(), status_failure);
    }
}

} // namespace varnolith
