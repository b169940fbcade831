#pragma once
// A varnolith_web server in the test's own process, on 127.0.0.1 and a port
// the system picks, stopped and joined when the test ends.

#include <gtest/gtest.h>
#include <malloc.h>

#include <fstream>
#include <string>

#include "http_client.hpp"
#include "http_server.hpp"

namespace varnolith::testing {

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

    Client client() const { return Client(port); }
};

// Resident memory once the allocator has handed back what it keeps free for
// reuse: what is left is what is held.
inline long resident_kib() {
    ::malloc_trim(0);
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

} // namespace varnolith::testing
