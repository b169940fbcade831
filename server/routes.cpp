#include "routes.hpp"

#include <nlohmann/json.hpp>

#include <chrono>

#include "answer.hpp"
#include "host_guard.hpp"
#include "page_files.hpp"
#include "range_notation.hpp"
#include "range_spot.hpp"
#include "user_text.hpp"
#include "varnolith/varnolith.h"

namespace varnolith {

namespace {

using Json = nlohmann::ordered_json;
using namespace std::chrono_literals;

constexpr const char* json_type = "application/json";

void send_json(httplib::Response& res, int status, const std::string& body) {
    res.status = status;
    res.set_content(body, json_type);
}

void send_error(httplib::Response& res, const ApiError& e) {
    if (e.status == 503) res.set_header("Retry-After", "1");
    send_json(res, e.status, error_body(e));
}

std::string dumped(const Json& json) { return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n"; }

// Read, and refused at once when it cannot be dealt, so that the client gets
// 422 rather than a job that fails.
std::variant<EquityRequest, ApiError> checked_request(const std::string& body) {
    auto read = read_equity_request(body);
    if (auto* request = std::get_if<EquityRequest>(&read)) {
        try {
            const PreparedSpot prepared = prepare_spot(request->spot);
            require_a_deal(prepared);
        } catch (const RangeError& e) {
            return api_error(e);
        }
    }
    return read;
}

std::string event(const std::string& name, const std::string& data) {
    return "event: " + name + "\ndata: " + data + "\n\n";
}

std::string progress_data(const Job& job, JobBoard& board) {
    const std::lock_guard lock(board.mutex);
    const double elapsed = job.started ? std::chrono::duration<double>(Clock::now() - job.started_at).count() : 0.0;
    return Json{{"done", job.progress.load()}, {"queued", !job.started}, {"elapsed_seconds", elapsed}}.dump();
}

// The job's last event: its answer, or its error.
std::string final_event(const Job& job, JobBoard& board) {
    const std::lock_guard lock(board.mutex);
    if (job.error) return event("error", error_body(*job.error));
    std::string compact = Json::parse(job.answer).dump(); // one line: an event's data may not hold newlines
    return event("result", compact);
}

void equity_route(JobBoard& board, const httplib::Request& req, httplib::Response& res) {
    auto read = checked_request(req.body);
    if (auto* e = std::get_if<ApiError>(&read)) return send_error(res, *e);
    auto submitted = submit_job(board, std::move(std::get<EquityRequest>(read)));
    if (auto* e = std::get_if<ApiError>(&submitted)) return send_error(res, *e);
    const auto job = std::get<std::shared_ptr<Job>>(submitted);
    while (!wait_for_job(board, *job, 100ms)) {
    }
    forget_job(board, job->id);
    if (job->error) return send_error(res, *job->error); // finished: nothing writes to it any more
    send_json(res, 200, job->answer);
}

void job_route(JobBoard& board, const httplib::Request& req, httplib::Response& res) {
    auto read = checked_request(req.body);
    if (auto* e = std::get_if<ApiError>(&read)) return send_error(res, *e);
    auto submitted = submit_job(board, std::move(std::get<EquityRequest>(read)));
    if (auto* e = std::get_if<ApiError>(&submitted)) return send_error(res, *e);
    const auto& job = std::get<std::shared_ptr<Job>>(submitted);
    res.set_header("Location", "/api/jobs/" + job->id);
    send_json(res, 202, Json{{"id", job->id}, {"events", "/api/jobs/" + job->id + "/events"}}.dump());
}

// Server-Sent Events: "progress" every tenth of a second, then "result" or
// "error". A client that goes away cancels the job.
void events_route(JobBoard& board, const httplib::Request& req, httplib::Response& res) {
    const auto job = find_job(board, req.matches[1]);
    if (!job) return send_error(res, {404, "not_found", "no such job"});
    if (const auto busy = open_stream(board)) return send_error(res, *busy);
    res.set_header("Cache-Control", "no-cache");
    res.set_chunked_content_provider(
        "text/event-stream",
        [&board, job](std::size_t, httplib::DataSink& sink) {
            const bool finished = wait_for_job(board, *job, 100ms);
            const std::string text = finished ? final_event(*job, board) : event("progress", progress_data(*job, board));
            if (!sink.write(text.data(), text.size())) return false;
            if (finished) {
                sink.done();
                forget_job(board, job->id);
            }
            return true;
        },
        [&board, job](bool delivered) {
            if (!delivered) cancel_job(board, *job, "cancelled");
            close_stream(board);
        });
}

void cancel_route(JobBoard& board, const httplib::Request& req, httplib::Response& res) {
    const auto job = find_job(board, req.matches[1]);
    if (!job) return send_error(res, {404, "not_found", "no such job"});
    cancel_job(board, *job, "cancelled");
    res.status = 204;
}

// {"range": "QQ+, AKs"} -> the live combinations it names, with weights, and
// the notation written back short; the page's square reads it.
void range_route(const httplib::Request& req, httplib::Response& res) {
    const Json body = Json::parse(req.body, nullptr, false);
    if (!body.is_object() || !body.contains("range") || !body["range"].is_string())
        return send_error(res, {400, "bad_request", "the body must be {\"range\": \"notation\"}"});
    try {
        const Range range = parse_range(body["range"].get<std::string>());
        Json hands = Json::array();
        for (const WeightedCombo& c : range) hands.push_back(Json{{"hand", hand_text(c.hand)}, {"weight", c.weight}});
        send_json(res, 200, dumped(Json{{"combos", range.size()}, {"notation", range_notation(range)}, {"hands", hands}}));
    } catch (const std::invalid_argument& e) {
        send_error(res, {400, "bad_request", e.what()});
    }
}

// {"hands": [{"hand": "AhKd", "weight": 1}, ...]} -> {"range": "short notation"}.
void notation_route(const httplib::Request& req, httplib::Response& res) {
    const Json body = Json::parse(req.body, nullptr, false);
    if (!body.is_object() || !body.contains("hands") || !body["hands"].is_array())
        return send_error(res, {400, "bad_request", "the body must be {\"hands\": [{\"hand\": \"AhKd\", \"weight\": 1}]}"});
    try {
        Range range;
        for (const Json& h : body["hands"]) {
            if (!h.is_object() || !h.contains("hand") || !h["hand"].is_string())
                throw std::invalid_argument("each hand is {\"hand\": \"AhKd\", \"weight\": w}");
            const double weight = h.contains("weight") && h["weight"].is_number() ? h["weight"].get<double>() : -1.0;
            if (!(weight > 0.0 && weight <= 1.0)) throw std::invalid_argument("a weight is above 0 and at most 1");
            const Range one = parse_range(h["hand"].get<std::string>());
            if (one.size() != 1) throw std::invalid_argument("a hand is one combination such as AhKd");
            range.push_back({one[0].hand, weight});
        }
        send_json(res, 200, dumped(Json{{"range", range_notation(range)}}));
    } catch (const std::invalid_argument& e) {
        send_error(res, {400, "bad_request", e.what()});
    }
}

// The Host check for every request, the Origin check for those that change
// something. httplib compresses every text answer at brotli's slowest setting,
// 5 to 40 ms a file on each request, which on loopback costs far more than the
// bytes: answers go out plain. The request is httplib's own, not const.
httplib::Server::HandlerResponse guard(const ServerPlace& place, const httplib::Request& req, httplib::Response& res) {
    const_cast<httplib::Request&>(req).headers.erase("Accept-Encoding");
    if (!host_allowed(req.get_header_value("Host"), place.host, place.port)) {
        send_error(res, {403, "forbidden_host", "this server answers only to its own address, not to Host \"" +
                                                    shown_text(req.get_header_value("Host")) + "\""});
        return httplib::Server::HandlerResponse::Handled;
    }
    const bool changes = req.method == "POST" || req.method == "DELETE";
    if (changes && !origin_allowed(req.get_header_value("Origin"), req.get_header_value("Host"))) {
        send_error(res, {403, "cross_origin", "requests from another site's pages are refused"});
        return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
}

} // namespace

std::string answer_text(const EquityRequest& request, const RangeOptions& hooks) {
    const Answer answer = compute_answer(request.spot, request.choices, request.by_card, hooks);
    const AnswerShown shown{request.categories, request.by_hand, request.grid, request.by_card};
    return dumped(answer_json(request.ranges, request.spot, answer, shown));
}

void install_routes(httplib::Server& server, JobBoard& board, const ServerPlace& place) {
    server.set_payload_max_length(max_body_bytes);
    server.set_pre_routing_handler([place](const auto& req, auto& res) { return guard(place, req, res); });
    server.Get("/api/version", [](const auto&, auto& res) {
        const std::string version = std::to_string(VARNOLITH_VERSION_MAJOR) + "." +
                                    std::to_string(VARNOLITH_VERSION_MINOR) + "." +
                                    std::to_string(VARNOLITH_VERSION_PATCH);
        send_json(res, 200, Json{{"name", "varnolith"}, {"version", version}}.dump());
    });
    server.Get("/api/ordering", [](const auto&, auto& res) { send_json(res, 200, dumped(ordering_json())); });
    server.Post("/api/equity", [&board](const auto& req, auto& res) { equity_route(board, req, res); });
    server.Post("/api/jobs", [&board](const auto& req, auto& res) { job_route(board, req, res); });
    server.Get(R"(/api/jobs/(j[0-9]+)/events)", [&board](const auto& req, auto& res) { events_route(board, req, res); });
    server.Delete(R"(/api/jobs/(j[0-9]+))", [&board](const auto& req, auto& res) { cancel_route(board, req, res); });
    server.Post("/api/range", [](const auto& req, auto& res) { range_route(req, res); });
    server.Post("/api/notation", [](const auto& req, auto& res) { notation_route(req, res); });
    server.Get(R"(/.*)", [](const httplib::Request& req, httplib::Response& res) {
        const PageFile* file = find_page_file(req.path);
        if (file == nullptr) {
            if (req.path.starts_with("/api/")) return send_error(res, {404, "not_found", "no such route"});
            res.status = 404;
            return res.set_content("not found\n", "text/plain; charset=utf-8");
        }
        res.set_content(reinterpret_cast<const char*>(file->bytes), file->size, std::string(file->content_type));
    });
    // What httplib answers itself (a body over the limit, an unknown method) gets our JSON too.
    server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        if (res.status == 413) send_error(res, {413, "payload_too_large", "the body is over 64 KiB"});
        else send_error(res, {res.status, "bad_request", "the request is not one this server answers"});
        return httplib::Server::HandlerResponse::Handled;
    }));
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        send_error(res, {500, "internal", "an internal fault"});
    });
}

} // namespace varnolith
