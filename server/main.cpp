// varnolith_web: the calculator page and its JSON API, served on this machine.

#include <CLI/CLI.hpp>
#include <signal.h>
#include <unistd.h>

#include <boost/asio/error.hpp>

#include <cmath>
#include <ctime>
#include <iostream>
#include <limits>
#include <string>
#include <string_view>

#include "http_server.hpp"
#include "user_text.hpp"
#include "varnolith/varnolith.h"

namespace {

constexpr int status_failure = 1;
constexpr int status_usage = 2;
// A second signal while stopping: the user does not want to wait.
constexpr int status_interrupted = 130;

struct WebOptions {
    std::string host = "127.0.0.1";
    int port = 8080;
    double max_seconds = 120;
};

bool is_loopback(const std::string& host) {
    return host == "127.0.0.1" || host == "localhost" || host == "::1" || host.starts_with("127.");
}

int complain(const std::string& message, int status) {
    std::cerr << "varnolith_web: " << message << '\n';
    return status;
}

// The option a missing value belongs to: the first that takes one and has
// none after it.
std::string option_without_value(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool takes_value = arg == "--host" || arg == "--port" || arg == "--max-seconds";
        if (takes_value && (i + 1 == argc || std::string_view(argv[i + 1]).starts_with("--"))) return std::string(arg);
    }
    return "an option";
}

// Reads the options as text so that a bad one is told in our words: one line,
// exit status 2. Returns -1 to go on, or the exit status.
int read_options(int argc, char** argv, WebOptions& o) {
    CLI::App app{"The varnolith calculator page and its JSON API, served on this machine.", "varnolith_web"};
    app.set_version_flag("--version", "varnolith_web " + std::to_string(VARNOLITH_VERSION_MAJOR) + "." +
                                          std::to_string(VARNOLITH_VERSION_MINOR) + "." +
                                          std::to_string(VARNOLITH_VERSION_PATCH));
    std::string port, max_seconds;
    app.add_option("--host", o.host, "address to listen on (default 127.0.0.1: this machine only)")
        ->type_name("ADDRESS");
    app.add_option("--port", port, "port to listen on, 0 for any free one (default 8080)")->type_name("PORT");
    app.add_option("--max-seconds", max_seconds, "time limit of each computation (default 120)")->type_name("SECONDS");
    app.allow_extras();
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ArgumentMismatch&) {
        return complain(option_without_value(argc, argv) + ": a value is missing", status_usage);
    } catch (const CLI::ParseError& e) {
        return complain(varnolith::shown_text(e.what()), status_usage);
    }
    for (const std::string& extra : app.remaining())
        return complain((extra.starts_with("-") ? "unknown option " : "unexpected argument ") +
                            varnolith::shown_text(extra) + " (varnolith_web --help lists the options)",
                        status_usage);
    if (app.count("--port") > 0) {
        std::size_t used = 0;
        long value = -1;
        try {
            value = std::stol(port, &used);
        } catch (const std::exception&) {
        }
        if (used != port.size() || value < 0 || value > 65535)
            return complain("--port: must be a whole number from 0 to 65535 (got " + varnolith::shown_text(port) + ")",
                            status_usage);
        o.port = static_cast<int>(value);
    }
    if (app.count("--max-seconds") > 0) {
        std::size_t used = 0;
        double value = 0;
        try {
            value = std::stod(max_seconds, &used);
        } catch (const std::exception&) {
        }
        if (used != max_seconds.size() || !(value > 0) || !std::isfinite(value))
            return complain("--max-seconds: must be a number above 0 (got " + varnolith::shown_text(max_seconds) + ")",
                            status_usage);
        o.max_seconds = value;
    }
    return -1;
}

// SIGINT and SIGTERM are taken by this thread with sigwait, so that stopping
// runs as ordinary code.
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

    varnolith::Server server;
    server.board.limits.max_seconds = o.max_seconds;
    if (const auto ec = varnolith::bind_server(server, o.host, o.port)) {
        const std::string where = "cannot listen on " + o.host + " port " + std::to_string(o.port) + ": ";
        if (ec == boost::asio::error::address_in_use)
            return complain(where + "another program uses that port; --port 0 picks any free one", status_failure);
        return complain(where + ec.message(), status_failure);
    }
    varnolith::start_server(server);

    const std::string shown_host = o.host.find(':') != std::string::npos ? "[" + o.host + "]" : o.host;
    if (!is_loopback(o.host))
        std::cerr << "varnolith_web: warning: listening on " << o.host
                  << ", so other machines can reach this server; it has no login\n";
    std::cout << "varnolith_web: open http://" << shown_host << ':' << server.place.port << "/ (Ctrl-C stops it)"
              << std::endl;

    int received = 0;
    sigwait(&signals, &received);
    varnolith::begin_stop(server);
    // Answers under way get a moment to go out; a second signal ends at once.
    const auto until = varnolith::Clock::now() + server.limits.stop_time;
    const timespec look{0, 10'000'000};
    while (!varnolith::stopped_serving(server) && varnolith::Clock::now() < until)
        if (sigtimedwait(&signals, nullptr, &look) > 0) _exit(status_interrupted);
    varnolith::finish_stop(server);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    WebOptions o;
    if (const int status = read_options(argc, argv, o); status >= 0) return status;
    return serve(o);
}
