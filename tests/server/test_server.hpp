#pragma once
// A server in the test's own process on 127.0.0.1 and a free port, stopped at the end; and what the tests share.

#include <gtest/gtest.h>
#include <malloc.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "http_client.hpp"
#include "http_server.hpp"

namespace varnolith::testing {

using Json = nlohmann::json;

struct TestServer {
    Server server;
    JobBoard& board = server.board;
    int port = 0;

    explicit TestServer(JobLimits jobs = {}, HttpLimits http = {}) {
        server.board.limits = jobs;
        server.limits = http;
        EXPECT_FALSE(bind_server(server, "127.0.0.1", 0));
        port = server.place.port;
        start_server(server);
    }

    ~TestServer() { stop_server(server); }
};

// A run that lasts minutes: a job to cancel, abandon or stop.
inline const std::string long_spot = R"({"ranges": ["random", "random", "random"], "method": "exact"})";

// Whether an event stream (or any text) has told this yet.
inline std::function<bool(const std::string&)> says(std::string text) {
    return [text = std::move(text)](const std::string& told) { return told.find(text) != std::string::npos; };
}

// An answer as JSON, without the one figure that differs from run to run.
inline Json without_time(const std::string& answer) {
    Json json = Json::parse(answer);
    json.erase("elapsed_seconds");
    return json;
}

inline double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A number this process's /proc status tells ("VmRSS:", "Threads:").
inline long process_status(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
    return 0;
}

// Resident memory once the allocator has handed back what it keeps free for reuse: what is left is what is held.
inline long resident_kib() {
    ::malloc_trim(0);
    return process_status("VmRSS:");
}

} // namespace varnolith::testing
