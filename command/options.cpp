#include "options.hpp"

#include <CLI/CLI.hpp>

#include <charconv>
#include <limits>
#include <sstream>

#include "range_equity.hpp"
#include "varnolith/varnolith.h"

namespace varnolith {

namespace {

// More threads than this is a typing slip, not a machine.
constexpr int max_threads = 256;

// Written out rather than generated: CLI11 2.1 neither wraps long
// descriptions nor lets the usage line name the ranges.
constexpr const char* help_text =
    "Usage: varnolith [options] RANGE RANGE [RANGE ...]\n"
    "\n"
    "Equity of Short-Deck Hold'em ranges against one another: one range per\n"
    "player, two to fifteen players. Equity, win and tie are printed in percent;\n"
    "tie is the share of the pot won through split pots.\n"
    "\n"
    "Options:\n"
    "  -b, --board CARDS  community cards, 0 to 5\n"
    "  -d, --dead CARDS   cards out of play: held by nobody, never dealt\n"
    "      --exact        enumerate every deal and board, however long it takes\n"
    "      --trials N     simulate exactly N deals (N >= 1)\n"
    "      --precision P  simulate until every player's standard error is at most\n"
    "                     P, a fraction (0 < P < 1)\n"
    "      --seed S       seed the simulation, 0 to 18446744073709551615; a seed\n"
    "                     gives the same result at any thread count. Without it a\n"
    "                     random seed is used and reported\n"
    "      --threads N    threads to use, 1 to 256 (default: every core)\n"
    "      --categories   also tell how often each player's final hand is of each\n"
    "                     category, high card to straight flush\n"
    "      --by-hand      also tell the weight and equity of every live\n"
    "                     combination of every range\n"
    "      --grid         also draw each player's range as the 9 by 9 square of\n"
    "                     hand classes, AA top left, suited above the diagonal,\n"
    "                     offsuit below; a cell holds the class's equity, blank\n"
    "                     when no live combination of the range is in it. On a\n"
    "                     terminal the cells are coloured, unless NO_COLOR is set\n"
    "      --svg FILE     also write the squares to FILE as an SVG picture\n"
    "      --json         print one JSON object instead of the table\n"
    "  -h, --help         print this help and exit\n"
    "      --version      print the version and exit\n"
    "\n"
    "--exact, --trials and --precision exclude one another. Without any of them a\n"
    "spot is enumerated when that takes about a second or less, and simulated\n"
    "otherwise until every player's standard error is at most 0.0005 (0.05\n"
    "percentage points).\n"
    "\n"
    "A range is a list of items separated by commas. A card is a rank 6789TJQKA\n"
    "and a suit cdhs.\n"
    "  AhKd       one combination\n"
    "  QQ         a pair: the 6 combinations of two queens\n"
    "  AKs, AKo   ace-king suited (4 combinations), offsuit (12)\n"
    "  AK         ace-king suited or offsuit (16)\n"
    "  QQ+        QQ and every higher pair: QQ, KK, AA\n"
    "  ATs+       the second rank up to just below the first: ATs, AJs, AQs, AKs\n"
    "  99-66      99, 88, 77, 66\n"
    "  AJs-A8s    AJs, ATs, A9s, A8s\n"
    "  random     all 630 combinations\n"
    "  AKs:0.5    any item with a weight, above 0 and at most 1 (default 1)\n"
    "A range with blanks is one argument: quote it. Board and dead cards are\n"
    "written run together (6c7d8h) or separated by blanks or commas.\n"
    "\n"
    "Examples:\n"
    "  varnolith AhKd QsQc -b 6c7d8h\n"
    "  varnolith \"QQ+, AKs\" \"99-66, AT+\" --seed 7\n"
    "  varnolith --json --categories TT-88 \"AK, AQs\" -b Kh9c8d\n"
    "\n"
    "Exit status: 0 done; 1 no deal is possible, the SVG cannot be written, or\n"
    "another failure; 2 a usage error.\n";

std::string version_text() {
    std::ostringstream text;
    text << "varnolith " << VARNOLITH_VERSION_MAJOR << '.' << VARNOLITH_VERSION_MINOR << '.'
         << VARNOLITH_VERSION_PATCH;
    return text.str();
}

// Plain decimal digits only: CLI11 would take "-1" as the largest seed and
// "010" as eight.
template <typename T>
bool read_whole(const std::string& text, T low, T high, T& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc{} && stop == end && value >= low && value <= high;
}

struct WholeNumbers {
    std::string trials, seed, threads;
};

// The checks CLI11 cannot say the way we want them said.
std::string value_check(CommandOptions& o, const WholeNumbers& text, const CLI::App& app) {
    const auto count = static_cast<int>(o.ranges.size());
    if (count < 2 || count > max_range_players)
        return "give two to fifteen ranges, one per player (got " + std::to_string(count) + ")";
    const auto most_trials = std::numeric_limits<int64_t>::max();
    if (app.count("--trials") > 0 && !read_whole(text.trials, int64_t{1}, most_trials, o.trials))
        return "--trials: N must be a whole number of at least 1 (got " + text.trials + ")";
    if (app.count("--precision") > 0 && !(o.precision > 0.0 && o.precision < 1.0))
        return "--precision: P must be above 0 and below 1 (got " + app["--precision"]->as<std::string>() + ")";
    o.seed_given = app.count("--seed") > 0;
    if (o.seed_given && !read_whole(text.seed, uint64_t{0}, std::numeric_limits<uint64_t>::max(), o.seed))
        return "--seed: S must be a whole number from 0 to 18446744073709551615 (got " + text.seed + ")";
    if (app.count("--threads") > 0 && !read_whole(text.threads, 1, max_threads, o.threads))
        return "--threads: N must be a whole number from 1 to " + std::to_string(max_threads) + " (got " +
               text.threads + ")";
    if (app.count("--svg") > 0 && o.svg.empty()) return "--svg: FILE must not be empty";
    return {};
}

} // namespace

ParsedCommandLine parse_command_line(int argc, const char* const* argv) {
    ParsedCommandLine parsed;
    CommandOptions& o = parsed.options;
    CLI::App app{"", "varnolith"};
    app.set_version_flag("--version", version_text());
    app.add_option("RANGE", o.ranges);
    app.add_option("-b,--board", o.board);
    app.add_option("-d,--dead", o.dead);
    WholeNumbers whole;
    auto* exact = app.add_flag("--exact", o.exact);
    auto* trials = app.add_option("--trials", whole.trials);
    auto* precision = app.add_option("--precision", o.precision);
    exact->excludes(trials);
    exact->excludes(precision);
    trials->excludes(precision);
    app.add_option("--seed", whole.seed);
    app.add_option("--threads", whole.threads);
    app.add_flag("--categories", o.categories);
    app.add_flag("--by-hand", o.by_hand);
    app.add_flag("--grid", o.grid);
    app.add_option("--svg", o.svg);
    app.add_flag("--json", o.json);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return {CommandLineOutcome::print, {}, help_text};
    } catch (const CLI::CallForVersion& e) {
        return {CommandLineOutcome::print, {}, std::string(e.what()) + "\n"};
    } catch (const CLI::ParseError& e) {
        return {CommandLineOutcome::usage_error, {}, e.what()};
    }
    parsed.text = value_check(o, whole, app);
    if (!parsed.text.empty()) parsed.outcome = CommandLineOutcome::usage_error;
    return parsed;
}

} // namespace varnolith
