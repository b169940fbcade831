#pragma once
// A varnolith_web server in the test's own process, on 127.0.0.1 and a port
// the system picks, stopped and joined when the test ends.

#include <httplib.h>

#include <string>
#include <thread>
#include <vector>

#include "listening.hpp"
#include "routes.hpp"

namespace varnolith::testing {

struct TestServer {
    httplib::Server server;
    JobBoard board;
    int port = 0;
    std::vector<std::jthread> threads;

    explicit TestServer(JobLimits limits = {}) {
        board.limits = limits;
        const int pool = server_threads(limits);
        server.new_task_queue = [pool] { return new httplib::ThreadPool(static_cast<std::size_t>(pool)); };
        port = bind_server(server, "127.0.0.1", 0);
        install_routes(server, board, {"127.0.0.1", port});
        for (int i = 0; i < limits.running; ++i) threads.emplace_back([this] { work_jobs(board, answer_text); });
        threads.emplace_back([this] { watch_jobs(board); });
        threads.emplace_back([this] { server.listen_after_bind(); });
    }

    ~TestServer() {
        stop_jobs(board);
        server.stop();
    }

    httplib::Client client() const {
        httplib::Client c("127.0.0.1", port);
        c.set_read_timeout(60, 0);
        return c;
    }
};

} // namespace varnolith::testing
