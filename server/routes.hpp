#pragma once
// The server's routes: they read the request, call the engine through the
// job board, and say what to answer; nothing more. The transport (connection.cpp)
// reads and writes HTTP and does the waiting.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "jobs.hpp"

namespace varnolith {

struct ServerPlace {
    std::string host; // as bound
    int port = 0;     // as bound (the real one when 0 was asked)
};

// What the routes need of a request, as read by the transport.
struct HttpRequest {
    std::string_view method; // "GET", "HEAD", "POST", ...
    std::string_view target; // the path with its query, as sent
    std::string_view host, origin, fetch_site, content_type;
    std::string_view body;
};

struct Reply {
    int status = 200;
    std::string content_type;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers; // Allow, Location, Retry-After, ...
};

// POST /api/equity: the reply once the job ends (answer_reply).
struct AwaitAnswer {
    std::shared_ptr<Job> job;
};

// GET /api/jobs/ID/events: progress, then the final event. An event stream
// has been counted in (open_stream); the transport counts it out.
struct StreamEvents {
    std::shared_ptr<Job> job;
};

struct Deferred;

using RouteOutcome = std::variant<Reply, AwaitAnswer, StreamEvents, Deferred>;

// Work too slow for the threads that serve every connection: the transport
// runs it on a thread of its own, then goes on with what it returns.
struct Deferred {
    std::function<RouteOutcome()> work;
};

// Paths longer than this are refused (414) before any routing.
inline constexpr std::size_t max_path_bytes = 1024;

// Checks the request (path length, Host, Origin, method, content type) and
// routes it by exact lookup.
RouteOutcome route(const HttpRequest& request, JobBoard& board, const ServerPlace& place);

// The JSON error reply; 503 carries Retry-After.
Reply error_reply(const ApiError& e);

// A finished job's reply: 200 and its answer, or its error.
Reply answer_reply(const Job& job);

// Server-Sent Events of a job: its progress now, and its last event (the
// answer or the error) once finished, when nothing changes it any more.
std::string progress_event(JobBoard& board, const Job& job);
std::string final_event(const Job& job);

} // namespace varnolith
