// varnolith_web over loopback: a small exact spot per request round trip on a
// kept-alive connection, the page's files fetched one after another (what the
// server adds to a page load), and a heads-up range spot before the flop as
// the page asks for it.

#include <benchmark/benchmark.h>

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "listening.hpp"
#include "page_files.hpp"
#include "routes.hpp"

namespace varnolith {
namespace {

struct BenchServer {
    httplib::Server server;
    JobBoard board;
    int port = 0;
    std::vector<std::jthread> threads;

    BenchServer() {
        port = bind_server(server, "127.0.0.1", 0);
        install_routes(server, board, {"127.0.0.1", port});
        for (int i = 0; i < board.limits.running; ++i) threads.emplace_back([this] { work_jobs(board, answer_text); });
        threads.emplace_back([this] { watch_jobs(board); });
        threads.emplace_back([this] { server.listen_after_bind(); });
    }
    ~BenchServer() {
        stop_jobs(board);
        server.stop();
    }
};

BenchServer& bench_server() {
    static BenchServer server;
    return server;
}

// Each round trip is timed on its own too: the counter median_ms is their median.
void post(benchmark::State& state, const char* body) {
    httplib::Client client("127.0.0.1", bench_server().port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    std::vector<double> trips;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto res = client.Post("/api/equity", body, "application/json");
        trips.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!res || res->status != 200) state.SkipWithError("the server did not answer 200");
    }
    std::nth_element(trips.begin(), trips.begin() + static_cast<std::ptrdiff_t>(trips.size() / 2), trips.end());
    state.counters["median_ms"] = trips[trips.size() / 2];
}
BENCHMARK_CAPTURE(post, small_exact_AhKd_vs_QsQc_on_6c7d8h, R"({"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"})")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000);
BENCHMARK_CAPTURE(post, heads_up_range_preflop_QQplus_AKs_vs_random_auto,
                  R"({"ranges": ["QQ+, AKs", "random"], "grid": true, "categories": true})")
    ->Unit(benchmark::kMillisecond);

void page_files_in_turn(benchmark::State& state) {
    httplib::Client client("127.0.0.1", bench_server().port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const PageFile& f : page_files()) {
            const auto res = client.Get(std::string(f.path));
            if (!res || res->status != 200) state.SkipWithError("a page file was not served");
            bytes += res ? res->body.size() : 0;
        }
    }
    state.counters["files"] = static_cast<double>(page_files().size());
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(page_files_in_turn)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnolith

BENCHMARK_MAIN();
