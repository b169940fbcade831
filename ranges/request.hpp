#pragma once
// A range equity request as hosts give it: ranges, board and dead cards as
// text, and the choices of the run. The varnolith command and the range
// library both come through here, so they read text, pick the method and
// draw seeds alike.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ranges/equity.hpp"
#include "ranges/exact/suit_symmetry.hpp"
#include "ranges/spot.hpp"
#include "ranges/error.hpp"

namespace varnolith {

// Simulate until every player's standard error is at most this, when nothing
// asks for a trial count or another precision.
inline constexpr double default_range_precision = 0.0005;

// More threads than this is a typing slip, not a machine.
inline constexpr int max_run_threads = 256;

struct SpotFromText {
    RangeSpot spot;
    // The first fault, when there is one; its message is the one line for the
    // user, such as `range 2: item "QQs": ...`.
    std::optional<RangeError> error;
};

// Reads the ranges in order ("15%" from the ranking's ordering), then the
// board, then the dead cards, and stops
// at the first fault: a range that does not parse or names no combination
// (kind range, the player); a bad card, more than five board cards, a card
// given twice among the board and the dead cards (kind cards, field board or
// dead). A message names a range by its number and, when `sources` gives one,
// where its text came from: `range 2 (@opening.txt): ...`.
SpotFromText spot_from_text(const std::vector<std::string>& ranges, std::string_view board, std::string_view dead,
                            Ranking ranking = Ranking::straight, const std::vector<std::string>& sources = {});

// The rules as every front end names them: "straight", the default (a
// straight beats three of a kind), and "trips" (three of a kind beats a
// straight).
inline constexpr Ranking default_rules = Ranking::straight;
std::string_view rules_name(Ranking ranking);

// The ranking a name means; any other name is a RangeError of kind usage,
// field rules, naming both.
Ranking read_rules(std::string_view name);

struct RunChoices {
    std::optional<RangeMethod> method; // none: choose_range_method
    int threads = 0;                   // 0: every core, else 1 to max_run_threads
    int64_t trials = 0;                // Monte Carlo: this many when positive ...
    std::optional<double> precision;   // ... or until this standard error; none: default_range_precision
    std::optional<uint64_t> seed;      // Monte Carlo: none draws one
};

// The first choice no run can take, as a RangeError of kind usage naming its
// field: threads outside 0 to max_run_threads, a negative trial count, a
// precision not above 0 and below 1, a trial count and a precision both, or
// an exact run given either. Every front end asks this, in its own words.
std::optional<RangeError> run_choices_fault(const RunChoices& choices);

// The standard error a simulation runs to: 0 when it runs a trial count.
double sampling_precision(const RunChoices& choices);

// A planned run: the spot prepared once, for choosing the method and for the
// run itself, with its suit symmetry when an exact run found it.
struct RangeRun {
    RangeMethod method = RangeMethod::exact;
    RangeOptions options;
    PreparedSpot spot;
    std::optional<SuitSymmetry> symmetry;
};

// Throws RangeError (kind no_deal, saying why) for a spot with no compatible
// deal; within a few milliseconds whatever the spot.
void require_a_deal(const RangeSpot& spot);

// The method and the engine options; choosing the method may count deals.
// Choices with a fault, then a spot with no compatible deal, are refused first.
RangeRun plan_range_run(const RangeSpot& spot, const RunChoices& choices);

RangeResult run_range_equity(const RangeRun& run);

// Why no next-card table can be made for the spot with these choices (it needs
// a flop or a turn, and an exact run), or "" when one can. With no method
// chosen, a table makes the run exact.
std::string next_cards_refusal(const RangeSpot& spot, const RunChoices& choices);

} // namespace varnolith
