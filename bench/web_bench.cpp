// varnolith_web over loopback: a small exact spot per request round trip on a
// kept-alive connection, the page's files fetched one after another (what the
// server adds to a page load), and a heads-up range spot before the flop as
// the page asks for it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "../tests/server/http_client.hpp" // the tests' client: kept-alive connections over Beast
#include "http_server.hpp"
#include "page_files.hpp"

namespace varnolith {
namespace {

struct BenchServer {
    Server server;
    int port = 0;

    BenchServer() {
        bind_server(server, "127.0.0.1", 0);
        port = server.place.port;
        start_server(server);
    }
    ~BenchServer() { stop_server(server); }
};

BenchServer& bench_server() {
    static BenchServer server;
    return server;
}

// Each round trip is timed on its own too: the counter median_ms is their median.
void post(benchmark::State& state, const char* body) {
    testing::Client client(bench_server().port);
    std::vector<double> trips;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto res = testing::request(client, "POST", "/api/equity", body);
        trips.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (res.status != 200) state.SkipWithError("the server did not answer 200");
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
    testing::Client client(bench_server().port);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const PageFile& f : page_files()) {
            const auto res = testing::request(client, "GET", f.path);
            if (res.status != 200) state.SkipWithError("a page file was not served");
            bytes += res.body.size();
        }
    }
    state.counters["files"] = static_cast<double>(page_files().size());
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(page_files_in_turn)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnolith

BENCHMARK_MAIN();
