#pragma once
// A range equity request as hosts give it: ranges, board and dead cards as
// text, and the choices of the run. The varnolith command and the range
// library both come through here, so they read text, pick the method and
// draw seeds alike.

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "range_equity.hpp"

namespace varnolith {

// Simulate until every player's standard error is at most this, when nothing
// asks for a trial count or another precision.
inline constexpr double default_range_precision = 0.0005;

enum class SpotTextFault { none, range, cards };

struct SpotFromText {
    RangeSpot spot;
    SpotTextFault fault = SpotTextFault::none;
    std::string message; // the one line for the user, such as `range 2: item "QQs": ...`
};

// Reads the ranges in order, then the board, then the dead cards, and stops
// at the first fault: a range that does not parse or names no combination; a
// bad card, more than five board cards, a card given twice among the board and
// the dead cards.
SpotFromText spot_from_text(const std::vector<std::string>& ranges, std::string_view board, std::string_view dead);

struct RunChoices {
    std::optional<RangeMethod> method; // none: choose_range_method
    int threads = 0;                   // 0: every core
    int64_t trials = 0;                // Monte Carlo: this many when positive ...
    double precision = 0.0;            // ... else until this standard error; 0: default_range_precision
    std::optional<uint64_t> seed;      // Monte Carlo: none draws one
};

struct RangeRun {
    RangeMethod method = RangeMethod::exact;
    RangeOptions options;
};

// The method and the engine options; choosing the method may count deals.
RangeRun plan_range_run(const RangeSpot& spot, const RunChoices& choices);

RangeResult run_range_equity(const RangeSpot& spot, const RangeRun& run);

// Why no next-card table can be made for the spot with these choices (it needs
// a flop or a turn, and an exact run), or "" when one can. With no method
// chosen, a table makes the run exact.
std::string next_cards_refusal(const RangeSpot& spot, const RunChoices& choices);

// Whether a driver's std::runtime_error says that no compatible deal exists,
// rather than that a worker failed.
bool is_no_deal(const std::exception& e);

} // namespace varnolith
