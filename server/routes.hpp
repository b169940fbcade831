#pragma once
// The server's routes: they read the request, call the engine through the
// job board, and write the answer; nothing more.

#include <httplib.h>

#include <string>

#include "jobs.hpp"

namespace varnolith {

struct ServerPlace {
    std::string host; // as bound
    int port = 0;     // as bound (the real one when 0 was asked)
};

// Installs every route, the Host and Origin checks and the JSON errors.
void install_routes(httplib::Server& server, JobBoard& board, const ServerPlace& place);

// Runs a request to its answer's JSON text: the work of every job.
std::string answer_text(const EquityRequest& request, const RangeOptions& hooks);

} // namespace varnolith
