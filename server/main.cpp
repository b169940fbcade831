// varnolith_web: the calculator page and its JSON API, served on this machine.

#include <CLI/CLI.hpp>
#include <httplib.h>
#include <omp.h>
#include <signal.h>

#include <cstdio>
#include <iostream>
#include <thread>
#include <vector>

#include "listening.hpp"
#include "routes.hpp"
#include "varnolith/varnolith.h"

namespace {

struct WebOptions {
    std::string host = "127.0.0.1";
    int port = 8080;
    double max_seconds = 120;
};

bool is_loopback(const std::string& host) {
    return host == "127.0.0.1" || host == "localhost" || host == "::1" || host.starts_with("127.");
}

// SIGINT and SIGTERM are taken by one thread with sigwait, so that stopping
// runs as ordinary code: cancel the computations, then stop the server.
sigset_t stop_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

int serve(const WebOptions& o) {
    const sigset_t signals = stop_signals();
    // A shell starts a background job with SIGINT ignored, and an ignored
    // signal never reaches sigwait.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr); // every thread started from here on inherits it
    signal(SIGPIPE, SIG_IGN);                       // a client gone mid-answer is a failed write, not a death

    httplib::Server server;
    const int port = varnolith::bind_server(server, o.host, o.port);
    if (port < 0) {
        std::cerr << "varnolith_web: cannot listen on " << o.host << " port " << o.port << '\n';
        return 1;
    }
    varnolith::JobBoard board;
    board.limits.running = std::max(1, omp_get_num_procs());
    board.limits.queued = 4 * board.limits.running;
    board.limits.max_seconds = o.max_seconds;
    const int pool = varnolith::server_threads(board.limits);
    server.new_task_queue = [pool] { return new httplib::ThreadPool(static_cast<std::size_t>(pool)); };
    varnolith::install_routes(server, board, {o.host, port});

    std::vector<std::jthread> threads;
    for (int i = 0; i < board.limits.running; ++i)
        threads.emplace_back([&board] { varnolith::work_jobs(board, varnolith::answer_text); });
    threads.emplace_back([&board] { varnolith::watch_jobs(board); });
    std::jthread stopper([&] {
        int received = 0;
        sigwait(&signals, &received);
        varnolith::stop_jobs(board);
        server.stop();
    });

    const std::string shown_host = o.host.find(':') != std::string::npos ? "[" + o.host + "]" : o.host;
    if (!is_loopback(o.host))
        std::cerr << "varnolith_web: warning: listening on " << o.host
                  << ", so other machines can reach this server; it has no login\n";
    std::cout << "varnolith_web: open http://" << shown_host << ':' << port << "/ (Ctrl-C stops it)" << std::endl;
    server.listen_after_bind();
    // The server stopped on a signal: wake the stopper if it did not stop it.
    varnolith::stop_jobs(board);
    pthread_kill(stopper.native_handle(), SIGTERM);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    WebOptions o;
    CLI::App app{"The varnolith calculator page and its JSON API, served on this machine.", "varnolith_web"};
    app.set_version_flag("--version", "varnolith_web " + std::to_string(VARNOLITH_VERSION_MAJOR) + "." +
                                          std::to_string(VARNOLITH_VERSION_MINOR) + "." +
                                          std::to_string(VARNOLITH_VERSION_PATCH));
    app.add_option("--host", o.host, "address to listen on (default 127.0.0.1: this machine only)");
    app.add_option("--port", o.port, "port to listen on, 0 for any free one (default 8080)")->check(CLI::Range(0, 65535));
    app.add_option("--max-seconds", o.max_seconds, "time limit of each computation (default 120)")
        ->check(CLI::PositiveNumber);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    return serve(o);
}
