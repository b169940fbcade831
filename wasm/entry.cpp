// The page's engine in WebAssembly: what varnolith_web answers, answered here
// by the same code, for the page's Web Workers. One request at a time per
// Worker (a run's team, when the build has threads, is the engine's own), and
// ending the Worker is the cancel.

#include <emscripten/emscripten.h>

#include <nlohmann/json.hpp>

#include <array>
#include <atomic>
#include <string>
#include <string_view>
#include <variant>

#include "answer.hpp"
#include "equity_answer.hpp"
#include "equity_request.hpp"
#include "team.hpp"
#include "notation_api.hpp"
#include "ranges/answer.hpp"
#include "varnolith/varnolith.h"

// The run's progress, told to the page as the server's progress events tell it.
EM_JS(void, post_progress, (double done), {
    if (typeof postMessage === "function") postMessage({progress: done});
});

namespace varnolith {
namespace {

using Json = nlohmann::ordered_json;

struct Reply {
    int status = 200;
    std::string body;
};

Reply refused(const ApiError& e) { return {e.status, error_body(e)}; }

Reply answered(const Answered& answer) {
    if (const auto* e = std::get_if<ApiError>(&answer)) return refused(*e);
    return {200, laid_out(std::get<Json>(answer), AnswerLayout::one_line)};
}

void progress(double done, void*) { post_progress(done); }

// What stops a run, when the page shares the engine's memory (the threads
// engine): one byte per run under way in turn, the page's count of its runs
// modulo their number. The page clears a byte before it sends the run that
// takes it and sets it to stop that run, whose team then stops within
// milliseconds (ending the Worker would leave the team's Workers running).
// Several bytes, so that a run stopping late never reads the next one's.
std::array<std::atomic<bool>, 8> cancel_bytes{};
static_assert(sizeof(std::atomic<bool>) == 1, "the page writes one byte per run");

// A spot that cannot be dealt is refused as the server refuses it before a
// job, with 422, and the run's failures as its jobs report them.
Reply equity(std::string_view body, int run) {
    auto read = read_equity_request(body);
    if (const auto* e = std::get_if<ApiError>(&read)) return refused(*e);
    RangeOptions hooks;
    hooks.progress = progress;
    hooks.cancel = &cancel_bytes[static_cast<std::size_t>(run) % cancel_bytes.size()];
    try {
        require_a_deal(std::get<EquityRequest>(read).spot);
        return {200, answer_text(std::get<EquityRequest>(read), hooks, AnswerLayout::one_line)};
    } catch (const RangeCancelled&) {
        return refused({409, "cancelled", "the computation was cancelled"});
    } catch (...) {
        return refused(run_failure());
    }
}

// The run's method and expected time on the threads a run here uses; no time limit here.
Reply estimate(std::string_view body) {
    auto read = read_equity_request(body);
    if (const auto* e = std::get_if<ApiError>(&read)) return refused(*e);
    const EquityRequest& request = std::get<EquityRequest>(read);
    try {
        const PreparedSpot spot = prepare_spot(request.spot);
        require_a_deal(spot);
        const AnswerEstimate cost = estimate_answer(spot, request.choices, answer_asked(request));
        return answered(Json{{"method", method_name(cost.method)},
                             {"estimate_seconds", cost.all_threads},
                             {"limit_seconds", nullptr}});
    } catch (...) {
        return refused(run_failure());
    }
}

// As the server's, with the threads a run here may use.
Reply version() {
    return answered(Json{{"name", "varnolith"},
                         {"version", std::to_string(VARNOLITH_VERSION_MAJOR) + "." +
                                         std::to_string(VARNOLITH_VERSION_MINOR) + "." +
                                         std::to_string(VARNOLITH_VERSION_PATCH)},
                         {"threads", core_count()}});
}

Reply route(std::string_view name, std::string_view body, int run) {
    if (name == "equity") return equity(body, run);
    if (name == "estimate") return estimate(body);
    if (name == "range") return answered(range_answer(body));
    if (name == "notation") return answered(notation_answer(body));
    if (name == "filter") return answered(filter_answer(body));
    if (name == "cards") return answered(cards_answer(body));
    if (name == "ordering") return answered(ordering_answer(body)); // the query, "rules=trips"
    if (name == "version") return version();
    return refused({404, "not_found", "no such route"});
}

Reply last;

} // namespace
} // namespace varnolith

extern "C" {

// The answer's JSON text to a route ("equity", "range", ...) and its body,
// valid until the next call; varnolith_status tells its HTTP status. `run`
// numbers a run, for its cancel byte.
EMSCRIPTEN_KEEPALIVE const char* varnolith_request(const char* route, const char* body, int run) {
    try {
        varnolith::last = varnolith::route(route, body, run < 0 ? 0 : run);
    } catch (...) {
        varnolith::last = varnolith::refused(varnolith::run_failure());
    }
    return varnolith::last.body.c_str();
}

EMSCRIPTEN_KEEPALIVE int varnolith_status() { return varnolith::last.status; }

// Where the runs' cancel bytes lie in the engine's memory, and how many there are.
EMSCRIPTEN_KEEPALIVE const void* varnolith_cancel_bytes() { return varnolith::cancel_bytes.data(); }
EMSCRIPTEN_KEEPALIVE int varnolith_cancel_byte_count() { return static_cast<int>(varnolith::cancel_bytes.size()); }

} // extern "C"
