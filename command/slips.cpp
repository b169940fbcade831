#include "slips.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "card_text.hpp"
#include "ranges/notation/range.hpp"
#include "user_text.hpp"

namespace varnolith {

namespace {

// The options that take a value, each with its other spelling.
constexpr std::array<std::pair<std::string_view, std::string_view>, 8> valued{{{"-b", "--board"},
                                                                                {"-d", "--dead"},
                                                                                {"--trials", ""},
                                                                                {"--precision", ""},
                                                                                {"--seed", ""},
                                                                                {"--threads", ""},
                                                                                {"--svg", ""},
                                                                                {"--scale", ""}}};

// The option's place in `valued` and whether its value is in the same
// argument (--board=6c7d), or -1.
struct Valued {
    int option = -1;
    bool inline_value = false;
};

Valued valued_option(std::string_view arg) {
    for (std::size_t i = 0; i < valued.size(); ++i)
        for (const std::string_view name : {valued[i].first, valued[i].second}) {
            if (name.empty() || !arg.starts_with(name)) continue;
            if (arg.size() == name.size()) return {static_cast<int>(i), false};
            if (name.starts_with("--") && arg[name.size()] == '=') return {static_cast<int>(i), true};
        }
    return {};
}

std::string spelling(std::string_view arg) { return std::string(arg.substr(0, arg.find('='))); }

bool is_card_run(std::string_view text) {
    if (text.empty()) return false;
    try {
        return !parse_card_list(text).empty();
    } catch (const std::invalid_argument&) {
        return false;
    }
}

// A range of one card never parses: a hand is two.
bool is_one_card(std::string_view text) { return text.size() == 2 && is_card_run(text); }

// The command line with the cards after `-b 6c` joined to it: "-b 6c7d8h".
std::string joined_cards(int argc, const char* const* argv, int option_at) {
    std::string text = std::string(argv[option_at]) + " " + argv[option_at + 1];
    for (int i = option_at + 2; i < argc && is_one_card(argv[i]); ++i) text += argv[i];
    return text;
}

} // namespace

std::string option_without_value(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const Valued v = valued_option(argv[i]);
        if (v.option >= 0 && !v.inline_value && (i + 1 == argc || std::string_view(argv[i + 1]).starts_with("--")))
            return argv[i];
    }
    return {};
}

std::string repeated_option(int argc, const char* const* argv) {
    std::array<std::string, valued.size()> seen;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        const Valued v = valued_option(arg);
        if (v.option < 0) continue;
        std::string& first = seen[static_cast<std::size_t>(v.option)];
        const std::string typed = spelling(arg);
        if (!first.empty())
            return first == typed ? typed + " is given twice: give each option once"
                                  : first + " and " + typed + " are one option, given twice: give it once";
        first = typed;
        if (!v.inline_value) ++i; // its value, whatever it looks like
    }
    return {};
}

std::string range_slip(const std::vector<std::string>& ranges, int argc, const char* const* argv) {
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        const std::string which = "range " + std::to_string(r + 1) + " (\"" + shown_text(ranges[r]) + "\")";
        const std::string_view text = ranges[r];
        const auto last = text.find_last_not_of(" \t");
        if (last != std::string_view::npos && text[last] == ',' && r + 1 < ranges.size())
            return which + " ends with a comma: a range with blanks is one argument, so quote it, as in \"" +
                   shown_text(ranges[r]) + " " + shown_text(ranges[r + 1]) + "\"";
        if (!is_one_card(text)) continue;
        // A card the shell split off the board or the dead cards: the cards
        // before it lead back to -b or -d.
        for (int i = 2; i < argc; ++i) {
            if (text != argv[i]) continue;
            int option_at = i - 1;
            while (option_at > 1 && is_card_run(argv[option_at]) && valued_option(argv[option_at]).option < 0)
                --option_at;
            const Valued v = valued_option(argv[option_at]);
            if (option_at == i - 1 || v.option < 0 || v.option > 1 || v.inline_value) continue;
            return which + " is a card, not a range: " + std::string(v.option == 0 ? "board" : "dead") +
                   " cards go together, as in " + joined_cards(argc, argv, option_at);
        }
    }
    return {};
}

} // namespace varnolith
