#include "run_command.hpp"

#include <chrono>
#include <exception>
#include <random>
#include <stdexcept>

#include "command_spot.hpp"
#include "options.hpp"
#include "progress.hpp"
#include "report.hpp"

namespace varnolith {

namespace {

constexpr int status_failure = 1;
constexpr int status_usage = 2;

uint64_t random_seed() {
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ device();
}

RangeMethod method_for(const CommandOptions& o, const RangeSpot& spot) {
    if (o.exact) return RangeMethod::exact;
    if (o.trials > 0 || o.precision > 0.0) return RangeMethod::monte_carlo;
    return choose_range_method(spot);
}

RangeOptions engine_options(const CommandOptions& o, RangeMethod method, ProgressLine& line) {
    RangeOptions options;
    options.threads = o.threads;
    options.trials = o.trials;
    options.precision = o.trials > 0 ? 0.0 : (o.precision > 0.0 ? o.precision : default_precision);
    if (method == RangeMethod::monte_carlo) options.seed = o.seed_given ? o.seed : random_seed();
    if (line.to != nullptr) {
        options.progress = draw_progress;
        options.progress_context = &line;
    }
    return options;
}

int complain(std::ostream& err, const std::string& message, int status) {
    err << "varnolith: " << message << '\n';
    return status;
}

} // namespace

int run_command(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool show_progress) {
    const ParsedCommandLine parsed = parse_command_line(argc, argv);
    if (parsed.outcome == CommandLineOutcome::print) {
        out << parsed.text;
        return 0;
    }
    if (parsed.outcome == CommandLineOutcome::usage_error) return complain(err, parsed.text, status_usage);
    const CommandOptions& o = parsed.options;
    ProgressLine line{show_progress ? &err : nullptr};
    try {
        const RangeSpot spot = make_command_spot(o);
        line.start = std::chrono::steady_clock::now(); // choosing the method may count deals
        const RangeMethod method = method_for(o, spot);
        const RangeOptions options = engine_options(o, method, line);
        const RangeResult result =
            method == RangeMethod::exact ? range_equity_exact(spot, options) : range_equity_monte_carlo(spot, options);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - line.start;
        erase_progress(line);
        const CommandReport report{o, spot, result, elapsed.count()};
        if (o.json)
            write_json_report(out, report);
        else
            write_text_report(out, report);
        return 0;
    } catch (const std::invalid_argument& e) {
        erase_progress(line);
        return complain(err, e.what(), status_usage);
    } catch (const std::exception& e) {
        erase_progress(line);
        return complain(err, e.what(), status_failure);
    }
}

} // namespace varnolith
