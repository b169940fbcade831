#include "ranges/request.hpp"

#include "card_text.hpp"
#include "user_text.hpp"
#include "ranges/exact/driver.hpp"
#include "ranges/exact/estimate.hpp"
#include "ranges/sampling/driver.hpp"
#include "ranges/spot.hpp"

#include <algorithm>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <utility>

namespace varnolith {

namespace {

std::vector<Card> read_cards(const std::string& what, ErrorField field, std::string_view text) {
    try {
        return parse_card_list(text);
    } catch (const std::invalid_argument& e) {
        throw RangeError(ErrorKind::cards, what + ": " + e.what(), field);
    }
}

// The engine refuses these too, but without naming the card.
void check_repeats(const std::vector<Card>& board, const std::vector<Card>& dead) {
    std::vector<Card> seen;
    for (const auto* cards : {&board, &dead})
        for (const Card c : *cards) {
            if (std::find(seen.begin(), seen.end(), c) != seen.end())
                throw RangeError(ErrorKind::cards, "card " + card_text(c) + " is given twice among the board and dead cards",
                                 cards == &board ? ErrorField::board : ErrorField::dead);
            seen.push_back(c);
        }
}

RangeSpot read_spot(const std::vector<std::string>& ranges, std::string_view board, std::string_view dead,
                    Ranking ranking, const std::vector<std::string>& sources) {
    RangeSpot spot;
    spot.ranking = ranking;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        std::string which = "range " + std::to_string(i + 1);
        if (i < sources.size() && !sources[i].empty()) which += " (" + shown_text(sources[i]) + ")";
        const int player = static_cast<int>(i);
        try {
            spot.ranges.push_back(parse_range(ranges[i], ranking));
        } catch (const std::invalid_argument& e) {
            throw RangeError(ErrorKind::range, which + ": " + e.what(), ErrorField::ranges, player);
        }
        if (spot.ranges.back().empty())
            throw RangeError(ErrorKind::range, which + " names no combination", ErrorField::ranges, player);
    }
    spot.board = read_cards("board", ErrorField::board, board);
    if (spot.board.size() > 5)
        throw RangeError(ErrorKind::cards,
                         "board: " + std::to_string(spot.board.size()) + " cards given, at most 5 allowed",
                         ErrorField::board);
    spot.dead = read_cards("dead cards", ErrorField::dead, dead);
    check_repeats(spot.board, spot.dead);
    return spot;
}

// Below 2^53, so that JSON readers that hold numbers as doubles (JavaScript,
// jq) read the seed back exactly and the run can be repeated from it.
uint64_t random_seed() {
    std::random_device device;
    const uint64_t bits = (static_cast<uint64_t>(device()) << 32) ^ device();
    return bits & ((uint64_t{1} << 53) - 1);
}

} // namespace

SpotFromText spot_from_text(const std::vector<std::string>& ranges, std::string_view board, std::string_view dead,
                            Ranking ranking, const std::vector<std::string>& sources) {
    try {
        return {read_spot(ranges, board, dead, ranking, sources), std::nullopt};
    } catch (const RangeError& e) {
        return {{}, e};
    }
}

std::string_view rules_name(Ranking ranking) { return ranking == Ranking::trips ? "trips" : "straight"; }

Ranking read_rules(std::string_view name) {
    for (const Ranking r : {Ranking::straight, Ranking::trips})
        if (name == rules_name(r)) return r;
    throw RangeError(ErrorKind::usage, "rules \"" + shown_text(name) + "\": the rules are straight or trips",
                     ErrorField::rules);
}

void require_a_deal(const RangeSpot& spot) { require_a_deal(prepare_spot(spot)); }

std::optional<RangeError> run_choices_fault(const RunChoices& c) {
    const auto fault = [](std::string message, ErrorField field) {
        return RangeError(ErrorKind::usage, std::move(message), field);
    };
    if (c.threads < 0 || c.threads > max_run_threads)
        return fault(std::to_string(c.threads) + " threads, 0 to " + std::to_string(max_run_threads) + " allowed",
                     ErrorField::threads);
    if (c.trials < 0) return fault("a negative trial count, " + std::to_string(c.trials), ErrorField::trials);
    if (c.precision && !(*c.precision > 0.0 && *c.precision < 1.0)) {
        char shown[32];
        std::snprintf(shown, sizeof shown, "%g", *c.precision);
        return fault(std::string("the precision must be above 0 and below 1, got ") + shown, ErrorField::precision);
    }
    if (c.trials > 0 && c.precision)
        return fault("trials and precision exclude one another: give at most one", ErrorField::precision);
    if (c.method == RangeMethod::exact && (c.trials > 0 || c.precision))
        return fault("an exact run takes neither trials nor precision",
                     c.trials > 0 ? ErrorField::trials : ErrorField::precision);
    return std::nullopt;
}

double sampling_precision(const RunChoices& choices) {
    if (choices.trials > 0) return 0.0;
    return choices.precision ? *choices.precision : default_range_precision;
}

RangeRun plan_range_run(const RangeSpot& spot, const RunChoices& choices) {
    if (auto fault = run_choices_fault(choices)) throw *fault;
    RangeRun run;
    run.spot = prepare_spot(spot);
    // A spot with no deal is refused before any estimate or count is made of it.
    require_a_deal(run.spot);
    if (!choices.method || *choices.method == RangeMethod::exact) run.symmetry = find_suit_symmetry(run.spot);
    run.method = choices.method ? *choices.method
                                : choose_range_method(run.spot, exact_work(run.spot, *run.symmetry), choices.threads);
    run.options.threads = choices.threads;
    run.options.trials = choices.trials;
    run.options.precision = sampling_precision(choices);
    if (run.method == RangeMethod::monte_carlo) run.options.seed = choices.seed ? *choices.seed : random_seed();
    return run;
}

RangeResult run_range_equity(const RangeRun& run) {
    if (run.method == RangeMethod::monte_carlo) return range_equity_monte_carlo(run.spot, run.options);
    return range_equity_exact(run.spot, run.symmetry ? *run.symmetry : find_suit_symmetry(run.spot), run.options);
}

std::string next_cards_refusal(const RangeSpot& spot, const RunChoices& choices) {
    if (spot.board.size() != 3 && spot.board.size() != 4)
        return "a next-card table needs a flop or a turn on the board, not " + std::to_string(spot.board.size()) +
               (spot.board.size() == 1 ? " card" : " cards");
    if (choices.method == RangeMethod::monte_carlo) return "a next-card table is exact: it cannot come from a simulation";
    return {};
}

} // namespace varnolith
