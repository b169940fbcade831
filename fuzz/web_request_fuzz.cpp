// Any request body either becomes a well-formed spot or is refused with a 400
// or 413, a one-line message and what it concerns (a player only in the
// ranges); nothing else may happen. The body is what a client of varnolith_web
// sends to POST /api/equity, and to the notation routes beside it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "equity_request.hpp"
#include "notation_api.hpp"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// A refusal any route may send: a client error with its words on one line.
void check_refusal(const varnolith::ApiError& e) {
    check(e.status == 400 || e.status == 413);
    check(!e.code.empty() && !e.message.empty() && e.message.find('\n') == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace varnolith;
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    // The notation routes take the same bytes: an answer or a refusal, nothing else.
    for (const Answered& answer : {range_answer(body), notation_answer(body), filter_answer(body), cards_answer(body),
                                   ordering_answer(body)})
        if (const auto* e = std::get_if<ApiError>(&answer)) check_refusal(*e);
    const auto read = read_equity_request(body);
    if (const auto* e = std::get_if<ApiError>(&read)) {
        check_refusal(*e);
        check(e->player < 0 || (e->field == "ranges" && e->player < max_range_players));
        check(!error_body(*e).empty());
        return 0;
    }
    const EquityRequest& r = std::get<EquityRequest>(read);
    check(r.spot.ranges.size() >= 2 && r.spot.ranges.size() <= 15 && r.spot.ranges.size() == r.ranges.size());
    check(r.spot.board.size() <= 5);
    for (const Range& range : r.spot.ranges) check(!range.empty());
    check(!(r.choices.trials > 0 && r.choices.precision));
    // The postflop asks come only where they can be answered.
    if (r.flops) check(r.spot.board.empty() && r.choices.method == RangeMethod::exact && !r.by_card);
    if (r.hits && !r.flops) check(r.spot.board.size() >= 3);
    return 0;
}
