#include "routes.hpp"

#include <nlohmann/json.hpp>

#include <array>
#include <cctype>
#include <chrono>

#include "answer.hpp"
#include "host_guard.hpp"
#include "job_cost.hpp"
#include "notation_api.hpp"
#include "page_files.hpp"
#include "ranges/request.hpp"
#include "ranges/spot.hpp"
#include "user_text.hpp"
#include "varnolith/varnolith.h"

namespace varnolith {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* json_type = "application/json";
constexpr std::string_view jobs_prefix = "/api/jobs/";
constexpr std::size_t job_id_digits = 32;

enum class Resource { none, version, ordering, equity, estimate, jobs, job, job_events, range, notation, filter, cards, page_file };

// What a path names: found by exact comparison, a job's id by plain string
// operations, never by a pattern run over what the client sent.
struct Resolved {
    Resource resource = Resource::none;
    std::string job_id;
    const PageFile* file = nullptr;
};

constexpr std::array<std::pair<std::string_view, Resource>, 9> api_paths{{
    {"/api/version", Resource::version},
    {"/api/ordering", Resource::ordering},
    {"/api/equity", Resource::equity},
    {"/api/estimate", Resource::estimate},
    {"/api/jobs", Resource::jobs},
    {"/api/range", Resource::range},
    {"/api/notation", Resource::notation},
    {"/api/filter", Resource::filter},
    {"/api/cards", Resource::cards},
}};

bool is_job_id(std::string_view text) {
    return text.size() == job_id_digits &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

Resolved resolve(std::string_view path) {
    for (const auto& [known, resource] : api_paths)
        if (path == known) return {resource, {}, nullptr};
    if (path.starts_with(jobs_prefix)) {
        const std::string_view rest = path.substr(jobs_prefix.size());
        const std::string_view id = rest.substr(0, job_id_digits), after = rest.substr(id.size());
        if (!is_job_id(id) || (!after.empty() && after != "/events")) return {};
        return {after.empty() ? Resource::job : Resource::job_events, std::string(id), nullptr};
    }
    if (path.starts_with("/api/")) return {};
    const PageFile* file = find_page_file(path);
    return file != nullptr ? Resolved{Resource::page_file, {}, file} : Resolved{};
}

// The methods each resource answers, as an Allow header says them.
std::string_view allowed(Resource resource) {
    switch (resource) {
    case Resource::equity:
    case Resource::estimate:
    case Resource::jobs:
    case Resource::range:
    case Resource::notation:
    case Resource::filter:
    case Resource::cards: return "POST";
    case Resource::job: return "DELETE";
    case Resource::version:
    case Resource::ordering:
    case Resource::job_events:
    case Resource::page_file: return "GET, HEAD";
    case Resource::none: break;
    }
    return "";
}

bool method_allowed(std::string_view method, Resource resource) {
    const std::string_view allow = allowed(resource);
    if (method == "HEAD") return allow.starts_with("GET");
    return allow.starts_with(method) && (allow.size() == method.size() || allow[method.size()] == ',');
}

// application/json, in any case, with or without parameters such as charset.
bool is_json_type(std::string_view type) {
    type = type.substr(0, type.find(';'));
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) type.remove_suffix(1);
    constexpr std::string_view json = "application/json";
    if (type.size() != json.size()) return false;
    for (std::size_t i = 0; i < json.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(type[i])) != json[i]) return false;
    return true;
}

Reply json_reply(int status, std::string body) { return {status, json_type, std::move(body), {}}; }

std::string event(const std::string& name, const std::string& data) {
    return "event: " + name + "\ndata: " + data + "\n\n";
}

// Read, refused at once when it cannot be dealt (so that the client gets 422
// rather than a job that fails) or would outlast the time limit, and judged
// quick or long.
std::variant<std::pair<EquityRequest, JobCost>, ApiError> checked_request(std::string_view body, const JobLimits& limits) {
    auto read = read_equity_request(body);
    if (auto* e = std::get_if<ApiError>(&read)) return std::move(*e);
    auto& request = std::get<EquityRequest>(read);
    try {
        const PreparedSpot prepared = prepare_spot(request.spot);
        require_a_deal(prepared);
        auto cost = job_cost(request, prepared, limits);
        if (auto* e = std::get_if<ApiError>(&cost)) return std::move(*e);
        return std::pair{std::move(request), std::get<JobCost>(cost)};
    } catch (const RangeError& e) {
        return api_error(e);
    }
}

RouteOutcome equity_route(std::string_view body, JobBoard& board) {
    auto read = checked_request(body, board.limits);
    if (auto* e = std::get_if<ApiError>(&read)) return error_reply(*e);
    auto& [request, cost] = std::get<0>(read);
    cost.kind.listed = false; // its work belongs to this connection alone: no id names it
    auto submitted = submit_job(board, std::move(request), cost.kind);
    if (auto* e = std::get_if<ApiError>(&submitted)) return error_reply(*e);
    return AwaitAnswer{std::get<std::shared_ptr<Job>>(submitted)};
}

// What a run of the request would be, and how long it would take, without
// running it: the page asks before it starts an exact run the time limit would stop.
Json run_estimate(const JobCost& cost, const JobBoard& board) {
    return Json{{"method", method_name(cost.method)},
                {"estimate_seconds", cost.seconds},
                {"limit_seconds", board.limits.max_seconds}};
}

RouteOutcome estimate_route(std::string_view body, JobBoard& board) {
    auto read = checked_request(body, board.limits);
    if (auto* e = std::get_if<ApiError>(&read)) return error_reply(*e);
    return json_reply(200, run_estimate(std::get<0>(read).second, board).dump());
}

RouteOutcome job_route(std::string_view body, JobBoard& board) {
    auto read = checked_request(body, board.limits);
    if (auto* e = std::get_if<ApiError>(&read)) return error_reply(*e);
    auto& [request, cost] = std::get<0>(read);
    cost.kind.listed = true;
    auto submitted = submit_job(board, std::move(request), cost.kind);
    if (auto* e = std::get_if<ApiError>(&submitted)) return error_reply(*e);
    const auto& job = std::get<std::shared_ptr<Job>>(submitted);
    // The estimate lets a client tell of the time left, and warn of an exact
    // run that the time limit would stop.
    Json reply_body{{"id", job->id}, {"events", "/api/jobs/" + job->id + "/events"}};
    reply_body.update(run_estimate(cost, board));
    Reply reply = json_reply(202, reply_body.dump());
    reply.headers.emplace_back("Location", "/api/jobs/" + job->id);
    return reply;
}

// HEAD says whether the stream is there and opens nothing: only a GET follows
// the job, and only a stream given up cancels it.
RouteOutcome events_route(const HttpRequest& req, JobBoard& board, const std::string& id) {
    const auto job = find_job(board, id);
    if (!job) return error_reply({404, "not_found", "no such job"});
    if (req.method == "HEAD") return Reply{200, "text/event-stream", {}, {{"Cache-Control", "no-cache"}}};
    if (const auto busy = open_stream(board)) return error_reply(*busy);
    return StreamEvents{job};
}

RouteOutcome cancel_route(JobBoard& board, const std::string& id) {
    const auto job = find_job(board, id);
    if (!job) return error_reply({404, "not_found", "no such job"});
    cancel_job(board, *job, StopReason::cancelled);
    return Reply{204, {}, {}, {}};
}

// A notation request's answer, laid out as each route has always sent it.
Reply notation_reply(const std::variant<Json, ApiError>& answer, AnswerLayout layout) {
    if (const auto* e = std::get_if<ApiError>(&answer)) return error_reply(*e);
    return json_reply(200, laid_out(std::get<Json>(answer), layout));
}

Reply version_reply() {
    const std::string version = std::to_string(VARNOLITH_VERSION_MAJOR) + "." + std::to_string(VARNOLITH_VERSION_MINOR) +
                                "." + std::to_string(VARNOLITH_VERSION_PATCH);
    return json_reply(200, Json{{"name", "varnolith"}, {"version", version}}.dump());
}

Reply page_reply(const PageFile& file) {
    return {200, std::string(file.content_type), std::string(reinterpret_cast<const char*>(file.bytes), file.size), {}};
}

} // namespace

Reply error_reply(const ApiError& e) {
    Reply reply = json_reply(e.status, error_body(e));
    if (e.status == 503) reply.headers.emplace_back("Retry-After", "1");
    return reply;
}

RouteOutcome route(const HttpRequest& req, JobBoard& board, const ServerPlace& place) {
    if (req.target.size() > max_path_bytes)
        return error_reply({414, "uri_too_long", "the path is over " + std::to_string(max_path_bytes) + " bytes"});
    if (!host_allowed(req.host, place.host, place.port))
        return error_reply({403, "forbidden_host",
                            "this server answers only to its own address, not to Host \"" + shown_text(req.host) + "\""});
    const std::string_view path = req.target.substr(0, req.target.find('?'));
    const bool api = path.starts_with("/api/");
    if (api && !origin_allowed(req.origin, req.fetch_site, req.host))
        return error_reply({403, "cross_origin", "requests from another site's pages are refused"});
    const Resolved found = resolve(path);
    if (found.resource == Resource::none) {
        if (api) return error_reply({404, "not_found", "no such route"});
        return Reply{404, "text/plain; charset=utf-8", "not found\n", {}};
    }
    if (!method_allowed(req.method, found.resource)) {
        Reply reply = error_reply({405, "method_not_allowed",
                                   "this route answers " + std::string(allowed(found.resource)) + ", not " +
                                       shown_text(req.method)});
        reply.headers.emplace_back("Allow", allowed(found.resource));
        return reply;
    }
    // A page elsewhere can post a form or text/plain without asking first;
    // JSON it cannot, so only JSON is read.
    if (req.method == "POST" && !is_json_type(req.content_type))
        return error_reply({415, "unsupported_media_type", "the body must be sent as Content-Type: application/json"});
    switch (found.resource) {
    case Resource::version: return version_reply();
    case Resource::ordering:
        return notation_reply(ordering_answer(path.size() < req.target.size()
                                                  ? std::string_view(req.target).substr(path.size() + 1)
                                                  : std::string_view{}),
                              AnswerLayout::indented);
    // Reading a spot and estimating its run takes up to a tenth of a second
    // for fifteen wide ranges: done off the connections' threads.
    case Resource::equity: return Deferred{[&board, body = std::string(req.body)] { return equity_route(body, board); }};
    case Resource::estimate:
        return Deferred{[&board, body = std::string(req.body)] { return estimate_route(body, board); }};
    case Resource::jobs: return Deferred{[&board, body = std::string(req.body)] { return job_route(body, board); }};
    case Resource::job: return cancel_route(board, found.job_id);
    case Resource::job_events: return events_route(req, board, found.job_id);
    case Resource::range: return notation_reply(range_answer(req.body), AnswerLayout::indented);
    case Resource::notation: return notation_reply(notation_answer(req.body), AnswerLayout::indented);
    case Resource::filter: return notation_reply(filter_answer(req.body), AnswerLayout::indented);
    case Resource::cards: return notation_reply(cards_answer(req.body), AnswerLayout::one_line);
    case Resource::page_file: return page_reply(*found.file);
    case Resource::none: break;
    }
    return error_reply({404, "not_found", "no such route"});
}

Reply answer_reply(const Job& job) {
    if (job.error) return error_reply(*job.error);
    return json_reply(200, job.answer);
}

std::string progress_event(JobBoard& board, const Job& job) {
    const JobSnapshot now = job_snapshot(board, job);
    const double elapsed = std::chrono::duration<double>(now.running_for).count();
    return event("progress",
                 Json{{"done", now.done}, {"queued", now.stage == JobStage::queued}, {"elapsed_seconds", elapsed}}.dump());
}

std::string final_event(const Job& job) {
    if (job.error) return event("error", error_body(*job.error));
    return event("result", job.answer); // a listed job's answer is on one line
}

} // namespace varnolith
