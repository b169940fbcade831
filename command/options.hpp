#pragma once
// The command line, read and checked for form; cards and ranges are still text.

#include <cstdint>
#include <string>
#include <vector>

#include "ranges/answer.hpp"
#include "ranges/request.hpp"

namespace varnolith {

// How the grid's colours run: yellow at one half, or at the fair share 1/n.
enum class ColourScale { absolute, fair };

struct CommandOptions {
    std::vector<std::string> ranges; // as given, one per player
    std::string board;
    std::string dead;
    bool exact = false;
    int64_t trials = 0;     // positive when given
    double precision = 0.0; // positive when given
    bool seed_given = false;
    uint64_t seed = 0;
    int threads = 0; // 0: every core
    bool categories = false;
    bool by_hand = false;
    bool by_card = false; // the next-card table of a flop or a turn; makes the run exact
    bool grid = false;
    std::string svg; // the picture's file, "-" for standard output; empty when not asked for
    ColourScale scale = ColourScale::absolute;
    bool json = false;
    bool ordering = false; // the preflop ordering alone, no spot
    Ranking rules = default_rules;
    bool batch = false;    // spots as JSON lines on standard input, an answer line each
    bool hits = false;     // what each range holds on the board, or with flops on the flop
    bool flops = false;    // every flop of a preflop spot
    bool csv = false;      // the flop rows as CSV instead of the table
    bool filter_given = false;
    std::string filter;    // the classes and draws each range is cut to, printed as notation
};

// What the options ask the answer for beyond the players' figures.
AnswerAsked answer_asked(const CommandOptions& o);

enum class CommandLineOutcome { run, print, usage_error };

struct ParsedCommandLine {
    CommandLineOutcome outcome = CommandLineOutcome::run;
    CommandOptions options;
    std::string text; // print: the help or version text; usage_error: one line
};

ParsedCommandLine parse_command_line(int argc, const char* const* argv);

// The run the options ask the range engine for.
RunChoices run_choices(const CommandOptions& o);

} // namespace varnolith
