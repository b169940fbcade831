#include "options.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>

#include <string_view>
#include <limits>
#include <sstream>

#include "ranges/equity.hpp"
#include "run_numbers.hpp"
#include "slips.hpp"
#include "user_text.hpp"
#include "varnolith/varnolith.h"

namespace varnolith {

namespace {


// The help is written out rather than generated: CLI11 2.1 neither wraps
// long descriptions nor lets the usage line name the ranges.
constexpr const char* help_text =
    "Usage: varnolith [options] RANGE RANGE [RANGE ...]\n"
    "       varnolith --ordering [--rules R] [--json]\n"
    "       varnolith --batch [--threads N] < SPOTS\n"
    "       varnolith --filter NAMES -b CARDS [-d CARDS] [--rules R] RANGE ...\n"
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
    "                     P, a number above 0 and below 1 (0.001, 1e-4)\n"
    "      --seed S       seed the simulation, 0 to 18446744073709551615; a seed\n"
    "                     gives the same result at any thread count. Without it a\n"
    "                     random seed below 2^53 is used and reported (JSON\n"
    "                     readers that hold numbers as doubles read it exactly)\n"
    "      --threads N    threads to use, 1 to 256 (default: every core)\n"
    "      --rules R      the hand ranking: straight (the default), a straight\n"
    "                     beats three of a kind; or trips, three of a kind beats\n"
    "                     a straight (and a hand holding both plays the three of\n"
    "                     a kind). A flush beats a full house, and A-6-7-8-9 is\n"
    "                     the lowest straight, under both. Percentages take\n"
    "                     their classes from the ranking's own ordering\n"
    "      --categories   also tell how often each player's final hand is of each\n"
    "                     category, high card to straight flush\n"
    "      --by-hand      also tell the weight and equity of every live\n"
    "                     combination of every range, and each range's equity\n"
    "                     quartiles: the equities at or below which a quarter,\n"
    "                     a half and three quarters of the player's deals fall\n"
    "      --by-card      also tell, on a flop or a turn, every card that can\n"
    "                     come next: how likely it is and each player's equity\n"
    "                     when it comes. It makes the run exact, as --exact\n"
    "                     does, and goes with neither --trials nor --precision\n"
    "      --grid         also draw each player's range as the 9 by 9 square of\n"
    "                     hand classes, AA top left, suited above the diagonal,\n"
    "                     offsuit below; a cell holds the class's equity, blank\n"
    "                     when no live combination of the range is in it. On a\n"
    "                     terminal the cells are coloured, unless NO_COLOR is set\n"
    "                     (24-bit colour when COLORTERM is truecolor or 24bit)\n"
    "      --svg FILE     also write the squares to FILE as an SVG picture, with\n"
    "                     a chart of each range's equities under them; with\n"
    "                     FILE -, write only the picture, to standard output\n"
    "      --scale KIND   the squares' colours, red through yellow to green:\n"
    "                     absolute (the default), yellow at 50%; or fair, yellow\n"
    "                     at the fair share, 1/n of the pot for n players\n"
    "      --hits         also tell, per player, how the range falls on the board\n"
    "                     into made hands (straight_flush, quads, flush,\n"
    "                     full_house, straight, set, trips, two_pair, overpair,\n"
    "                     top_pair, pocket_pair_below_top, middle_pair,\n"
    "                     weak_pair, ace_high, nothing: each combination in the\n"
    "                     strongest it makes with a hole card) and draws on a\n"
    "                     flop or turn (flush_draw, nut_flush_draw, open_ended,\n"
    "                     gutshot, combo_draw, backdoor_flush, overcards), with\n"
    "                     each one's combinations, share and equity. With\n"
    "                     --flops, how often each comes on the flop\n"
    "      --filter NAMES print each range cut to the combinations on the board\n"
    "                     that fall in any of the classes and draws named (as\n"
    "                     --hits names them, separated by commas), as notation;\n"
    "                     a name after '!' takes out what it names: \"overpair,\n"
    "                     top_pair, !flush_draw\". No equity is run\n"
    "      --flops        also tell every flop of a preflop spot, exactly: one\n"
    "                     row per flops the suits make alike, with how many it\n"
    "                     stands for, their probability and each player's\n"
    "                     equity, by player 1's equity; then by texture\n"
    "      --csv          with --flops, print only the flop rows, as CSV\n"
    "      --json         print one JSON object instead of the table\n"
    "      --ordering     print varnolith's preflop ordering of the 81 hand\n"
    "                     classes under the rules, best first, and exit; it\n"
    "                     takes no ranges and no option but --rules and --json\n"
    "      --batch        read spots from standard input, one JSON object a line\n"
    "                     with the fields of the web API's POST /api/equity\n"
    "                     ({\"ranges\": [\"AhKd\", \"QQ\"], \"board\": \"Jh Tc 6s\"}),\n"
    "                     and write one line for each, in order: the API's\n"
    "                     answer, or {\"error\": ...} for that line alone. Small\n"
    "                     spots run side by side over the threads (--threads);\n"
    "                     it takes no ranges and no option but --threads\n"
    "  -h, --help         print this help and exit\n"
    "      --version      print the version and exit\n"
    "\n"
    "--exact, --trials and --precision exclude one another. Without any of them a\n"
    "spot is enumerated when that takes about a second or less, and simulated\n"
    "otherwise until every player's standard error is at most 0.0005 (0.05\n"
    "percentage points). On a terminal a long run shows \"NN.N% done\": the boards\n"
    "settled, or the trials done of those the run expects to need; it never goes\n"
    "back. Ctrl-C stops a run at once, with no report.\n"
    "\n"
    "A range is a list of items separated by commas or line breaks; # starts a\n"
    "comment to the end of the line. A card is a rank 6789TJQKA and a suit cdhs.\n"
    "  AhKd       one combination\n"
    "  QQ         a pair: the 6 combinations of two queens\n"
    "  AKs, AKo   ace-king suited (4 combinations), offsuit (12)\n"
    "  AK         ace-king suited or offsuit (16)\n"
    "  QQ+        QQ and every higher pair: QQ, KK, AA\n"
    "  ATs+       the second rank up to just below the first: ATs, AJs, AQs, AKs\n"
    "  99-66      99, 88, 77, 66\n"
    "  AJs-A8s    AJs, ATs, A9s, A8s\n"
    "  T9s-76s    the same gap stepping down: T9s, 98s, 87s, 76s (KQo-T9o too)\n"
    "  random     all 630 combinations\n"
    "  Ah*        a card pattern: two cards, each a rank or * (any rank) and a\n"
    "             suit or * (any suit); Ah* is every hand holding Ah (35),\n"
    "             AhK* Ah with any king (4), *h*h any two hearts (36), ** random\n"
    "  A**        every hand holding at least one ace (134)\n"
    "  AxKx       suit letters x and y: the same letter is the same suit, AxKx\n"
    "             the suited ace-kings (4), AxKy the offsuit ones (12)\n"
    "  AKs:0.5    any item with a weight, 0 to 1 (default 1); 0 takes it out\n"
    "  !AK        takes AK out of what the items before hold, as AK:0 does;\n"
    "             any item takes a '!' (!QQ+, !Ah*, !15%)\n"
    "  15%        the first classes of varnolith's preflop ordering (varnolith\n"
    "             --ordering) whose combinations come nearest 15% of the 630:\n"
    "             classes are taken in order while the running count with the\n"
    "             next class added is no farther from the target (94.5) than\n"
    "             without it: 94 combinations\n"
    "  5%-15%     the classes in the top 15% that are not in the top 5%\n"
    "  20%:0.5    the top 20% at half weight, as any item is weighted\n"
    "An item named again keeps its first place and takes the last weight given\n"
    "(\"AK, AKs:0.5\": AKs at half weight). A percentage is of the whole deck, so\n"
    "it names the same classes on every board; the board and dead cards then\n"
    "block combinations as usual. A range with blanks is one argument: quote it,\n"
    "in single quotes when it holds a '!'. A range @FILE is the text of FILE:\n"
    "items on lines or separated by commas, # comments.\n"
    "Board and dead cards are written run together (6c7d8h) or separated by\n"
    "blanks or commas.\n"
    "\n"
    "Examples:\n"
    "  varnolith AhKd QsQc -b 6c7d8h\n"
    "  varnolith \"QQ+, AKs\" \"99-66, AT+\" --seed 7\n"
    "  varnolith --json --categories TT-88 \"AK, AQs\" -b Kh9c8d\n"
    "  varnolith --by-card 15% \"5%-15%\" -b Kh9c8d\n"
    "  varnolith 'random, !QQ+, !AK' AhKh\n"
    "  varnolith @examples/opening_range.txt \"A**, *h*h\" -b Kh9c8d\n"
    "  varnolith --hits 15% random -b Kh9h8d\n"
    "  varnolith --filter \"set, two_pair, flush_draw\" -b Kh9h8d 15%\n"
    "  varnolith --flops 15% 50%\n"
    "\n"
    "Exit status: 0 done; 1 no deal is possible, the SVG cannot be written, or\n"
    "another failure; 2 a usage error; 130 interrupted. With --batch: 0 when\n"
    "every line got its answer, 1 when some line got an error, 2 for a usage\n"
    "error or when not one line of the input is JSON (binary, plain text).\n";

std::string version_text() {
    std::ostringstream text;
    text << "varnolith " << VARNOLITH_VERSION_MAJOR << '.' << VARNOLITH_VERSION_MINOR << '.'
         << VARNOLITH_VERSION_PATCH;
    return text.str();
}

// Numbers are taken as text and read here, so that a bad one gets our message.
struct WholeNumbers {
    std::string trials, precision, seed, threads;
};

std::string parse_error_text(const CLI::ParseError& e, int argc, const char* const* argv) {
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
        const std::string option = option_without_value(argc, argv);
        return option.empty() ? "an option is missing its value" : option + ": a value is missing";
    }
    return shown_text(e.what());
}

std::string extra_text(const std::string& extra) {
    return extra.starts_with("-") ? "unknown option " + shown_text(extra) + " (varnolith --help lists them)"
                                  : "unexpected argument " + shown_text(extra);
}

// A mode that answers no spot of the command line: the ordering, a table of
// its own, and the batch, whose spots come on standard input. Each takes no
// ranges and no option but those it names.
struct StandAlone {
    std::string_view name, why_no_ranges;
    std::array<std::string_view, 2> goes_with; // "" for none
    std::string_view goes_with_text;
};

constexpr StandAlone ordering_mode{
    "--ordering", "it prints the preflop ordering alone", {"--rules", "--json"}, "--rules and --json"};
constexpr StandAlone batch_mode{"--batch", "it reads its spots from standard input", {"--threads", ""}, "--threads"};

// --filter runs no equity: it takes ranges, the cards and the rules alone.
std::string filter_check(const CommandOptions& o, const CLI::App& app) {
    for (const CLI::Option* option : app.get_options()) {
        const std::string given = option->get_name();
        if (option->count() > 0 && given != "--filter" && given != "RANGE" && given != "--board" && given != "--dead" &&
            given != "--rules")
            return "--filter goes with --board, --dead and --rules alone (got " + given + ")";
    }
    const auto count = static_cast<int>(o.ranges.size());
    if (count < 1 || count > max_range_players)
        return "--filter: give one to fifteen ranges (got " + std::to_string(count) + ")";
    return {};
}

std::string stand_alone_check(const StandAlone& mode, const CommandOptions& o, const CLI::App& app) {
    for (const std::string& extra : app.remaining()) return extra_text(extra);
    const std::string name(mode.name), goes_with(mode.goes_with_text);
    if (!o.ranges.empty()) return name + " takes no ranges: " + std::string(mode.why_no_ranges);
    for (const CLI::Option* option : app.get_options()) {
        const std::string given = option->get_name();
        if (option->count() > 0 && given != name && std::find(mode.goes_with.begin(), mode.goes_with.end(), given) == mode.goes_with.end())
            return name + " goes with " + goes_with + " alone (got " + given + ")";
    }
    return {};
}

// The checks CLI11 cannot say the way we want them said.
std::string value_check(CommandOptions& o, const WholeNumbers& text, const CLI::App& app, int argc,
                        const char* const* argv) {
    // Which way a run ends is one choice, judged by the engine on what was
    // given (a stand-in for each value), before any value is read.
    RunChoices given;
    if (o.exact) given.method = RangeMethod::exact;
    if (app.count("--trials") > 0) given.trials = 1;
    if (app.count("--precision") > 0) given.precision = default_range_precision;
    if (run_choices_fault(given)) return "--exact, --trials and --precision exclude one another: give at most one";
    if (app.count("--rules") > 0) {
        const std::string name = app["--rules"]->as<std::string>();
        try {
            o.rules = read_rules(name);
        } catch (const RangeError&) {
            return "--rules: must be straight or trips (got " + shown_text(name) + ")";
        }
    }
    if (o.ordering) return stand_alone_check(ordering_mode, o, app);
    if (o.batch) {
        if (std::string slip = stand_alone_check(batch_mode, o, app); !slip.empty()) return slip;
    } else if (o.filter_given) {
        if (std::string slip = range_slip(o.ranges, argc, argv); !slip.empty()) return slip;
        if (std::string slip = filter_check(o, app); !slip.empty()) return slip;
        for (const std::string& extra : app.remaining()) return extra_text(extra);
    } else {
        if (std::string slip = range_slip(o.ranges, argc, argv); !slip.empty()) return slip;
        const auto count = static_cast<int>(o.ranges.size());
        if (count < 2 || count > max_range_players)
            return "give two to fifteen ranges, one per player (got " + std::to_string(count) + ")";
        for (const std::string& extra : app.remaining()) return extra_text(extra);
    }
    if (app.count("--trials") > 0)
        if (std::string slip = read_trials(text.trials, o.trials); !slip.empty()) return slip;
    if (app.count("--precision") > 0)
        if (std::string slip = read_precision(text.precision, o.precision); !slip.empty()) return slip;
    o.seed_given = app.count("--seed") > 0;
    if (o.seed_given)
        if (std::string slip = read_seed(text.seed, o.seed); !slip.empty()) return slip;
    uint64_t threads = 0;
    if (app.count("--threads") > 0 && !read_whole_text(text.threads, 1, max_run_threads, threads))
        return "--threads: N must be a whole number from 1 to " + std::to_string(max_run_threads) + " (got " +
               shown_text(text.threads) + ")";
    o.threads = static_cast<int>(threads);
    if (o.by_card && (o.trials > 0 || o.precision > 0.0))
        return "--by-card is exact: it goes with neither --trials nor --precision";
    if (app.count("--svg") > 0 && o.svg.empty()) return "--svg: FILE must not be empty";
    if (o.csv && !o.flops) return "--csv goes with --flops: the flop rows are the table it writes";
    if (o.csv && (o.json || o.svg == "-")) return "--csv, --json and --svg - each write the whole output: give one";
    if (app.count("--scale") > 0) {
        const std::string kind = app["--scale"]->as<std::string>();
        if (kind == "fair") o.scale = ColourScale::fair;
        else if (kind != "absolute") return "--scale: must be absolute or fair (got " + shown_text(kind) + ")";
    }
    return {};
}

} // namespace

AnswerAsked answer_asked(const CommandOptions& o) { return {o.by_card, o.hits, o.flops}; }

RunChoices run_choices(const CommandOptions& o) {
    RunChoices choices;
    if (o.exact) choices.method = RangeMethod::exact;
    else if (o.trials > 0 || o.precision > 0.0) choices.method = RangeMethod::monte_carlo;
    choices.threads = o.threads;
    choices.trials = o.trials;
    if (o.precision > 0.0) choices.precision = o.precision;
    if (o.seed_given) choices.seed = o.seed;
    return choices;
}

ParsedCommandLine parse_command_line(int argc, const char* const* argv) {
    ParsedCommandLine parsed;
    CommandOptions& o = parsed.options;
    CLI::App app{"", "varnolith"};
    app.allow_extras(); // an unknown option is named in our words, below
    app.set_version_flag("--version", version_text());
    app.add_option("RANGE", o.ranges);
    app.add_option("-b,--board", o.board);
    app.add_option("-d,--dead", o.dead);
    WholeNumbers whole;
    app.add_flag("--exact", o.exact);
    app.add_option("--trials", whole.trials);
    app.add_option("--precision", whole.precision);
    app.add_option("--seed", whole.seed);
    app.add_option("--threads", whole.threads);
    app.add_flag("--categories", o.categories);
    app.add_flag("--by-hand", o.by_hand);
    app.add_flag("--by-card", o.by_card);
    app.add_flag("--grid", o.grid);
    app.add_option("--svg", o.svg);
    app.add_option("--scale");
    app.add_option("--rules");
    app.add_flag("--json", o.json);
    app.add_flag("--ordering", o.ordering);
    app.add_flag("--batch", o.batch);
    app.add_flag("--hits", o.hits);
    app.add_flag("--flops", o.flops);
    app.add_flag("--csv", o.csv);
    app.add_option("--filter", o.filter);
    if (std::string repeated = repeated_option(argc, argv); !repeated.empty())
        return {CommandLineOutcome::usage_error, {}, repeated};
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return {CommandLineOutcome::print, {}, help_text};
    } catch (const CLI::CallForVersion& e) {
        return {CommandLineOutcome::print, {}, std::string(e.what()) + "\n"};
    } catch (const CLI::ParseError& e) {
        return {CommandLineOutcome::usage_error, {}, parse_error_text(e, argc, argv)};
    }
    o.filter_given = app.count("--filter") > 0;
    parsed.text = value_check(o, whole, app, argc, argv);
    if (!parsed.text.empty()) parsed.outcome = CommandLineOutcome::usage_error;
    return parsed;
}

} // namespace varnolith
