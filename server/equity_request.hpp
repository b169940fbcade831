#pragma once
// The body of POST /api/equity (or /api/jobs) read into a spot and the run's
// choices. Pure: no server, no engine run, so that it can be fuzzed.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "api_error.hpp"
#include "json_body.hpp"
#include "ranges/answer.hpp"
#include "ranges/request.hpp"

namespace varnolith {

struct EquityRequest {
    std::vector<std::string> ranges; // as given, one per player
    std::string board, dead;
    RangeSpot spot;
    RunChoices choices; // the method, trials or precision, the seed, the threads asked for
    bool by_hand = false;
    bool categories = false;
    bool grid = false;
    bool by_card = false;
    bool hits = false;
    bool flops = false;
};

inline AnswerAsked answer_asked(const EquityRequest& request) {
    return {request.by_card, request.hits, request.flops};
}

// Reads and checks the body: a JSON object with "ranges" (2 to 15 range
// texts) and optionally "board", "dead" (card texts), "method" ("auto",
// "exact", "monte_carlo"), "trials", "precision", "seed" (numbers, or the
// text typed for them, read as the command reads its options), "threads"
// (a number or null), "by_hand", "categories", "grid", "by_card", "hits",
// "flops" (booleans),
// "rules" ("straight", the default, or "trips"). Any other
// field, a field given twice or of the wrong type, bad notation, a bad card or
// options that exclude one another is a 400 with the command's message and the
// field (and player) it concerns; a body over max_body_bytes is a 413.
std::variant<EquityRequest, ApiError> read_equity_request(std::string_view body);

} // namespace varnolith
