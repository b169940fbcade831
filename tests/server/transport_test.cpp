// The server against careless and hostile clients: headers without end, requests no HTTP client should send,
// clients that send a line now and then or nothing at all, more connections than it serves, requests slow to plan.
// Every bound holds, and the others are still answered.

#include <algorithm>
#include <memory>

#include "test_server.hpp"

namespace varnolith {
namespace {

using namespace testing;

std::size_t open_connections(Server& server) {
    const std::lock_guard lock(server.mutex);
    return server.connections.size();
}

// Probes `port` every 20 ms while `busy` holds; the median and the slowest, in ms.
template <class Busy>
std::pair<double, double> probe(int port, Busy busy) {
    std::vector<double> ms;
    while (busy()) {
        const auto sent = Clock::now();
        EXPECT_EQ(testing::fetch(port, "GET", "/api/version").status, 200);
        ms.push_back(1000 * seconds_since(sent));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

TEST(WebTransport, RequestsPastTheBoundsAreAnsweredThenClosed) {
    TestServer server;
    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port) + "\r\n";
    const std::string start = "GET /api/version HTTP/1.1\r\n" + host;
    std::string lines;
    while (lines.size() < 20 * 1024) lines += "X-Line: " + std::string(40, 'a') + "\r\n";
    const std::pair<std::string, int> cases[] = {
        {start + lines + "\r\n", 431},
        {start + lines.substr(0, 15 * 1024 - 15 * 1024 % 50) + "\r\n", 200}, // whole lines, under the bound
        {"POST /api/equity HTTP/1.1\r\n" + host + "Content-Length: abc\r\n\r\n", 400}, // any parse error
        {"POST /api/equity HTTP/1.1\r\n" + host + "Content-Length: 100000\r\n\r\n", 413},
        {start + host + "\r\n", 403}, // two Hosts name none
    };
    for (const auto& [request, status] : cases)
        EXPECT_EQ(testing::send_raw(server.port, request).status, status) << request.substr(0, 80);

    // 50 MB of header lines cost the server no more than its bound.
    const long before = testing::resident_kib();
    testing::Client flood(server.port);
    const auto write = [&](const std::string& bytes) {
        return testing::step(flood, [&](auto done) { net::async_write(flood.stream, net::buffer(bytes), done); });
    };
    std::string block;
    while (block.size() < 64 * 1024) block += "X-Flood: " + std::string(100, 'f') + "\r\n";
    std::size_t sent = start.size();
    for (bool open = testing::connect(flood) && write(start); open && sent < 50u * 1024 * 1024; sent += block.size())
        open = write(block);
    const long after = testing::resident_kib();
    std::printf("header flood: closed after %zu KiB; resident %ld KiB -> %ld KiB\n", sent / 1024, before, after);
    EXPECT_LT(sent, 20u * 1024 * 1024); // the bound, a mebibyte read to close cleanly, and the sockets' buffers
    EXPECT_LT(after - before, 8 * 1024);
}

// Clients that never finish a request hold a connection each, for a bounded time; others are answered all along.
TEST(WebTransport, SlowClientsDoNotStarveOthers) {
    TestServer server;
    net::io_context io;
    std::vector<testing::tcp::socket> silent, slow;
    for (int i = 0; i < 30; ++i) {
        silent.push_back(testing::raw_socket(io, server.port));
        slow.push_back(testing::raw_socket(io, server.port, "GET /api/version HTTP/1.1\r\n"));
    }
    testing::Client kept(server.port); // idle after its answer
    EXPECT_EQ(testing::request(kept, "GET", "/api/version").status, 200);
    const auto start = Clock::now();
    int line = 0;
    const auto [median, slowest] = probe(server.port, [&] {
        if (seconds_since(start) > 2 * line) {
            ++line;
            for (auto& socket : slow) {
                boost::system::error_code ignored;
                net::write(socket, net::buffer("X-Slow-" + std::to_string(line) + ": 1\r\n"), ignored);
            }
        }
        return seconds_since(start) < 11.5;
    });
    std::printf("60 slow clients: probes answered in %.2f ms (median), %.2f ms at the slowest\n", median, slowest);
    EXPECT_LT(slowest, 500.0);
    // The idle ones were closed after 5 s, the slow ones at their request's deadline of 10 s.
    EXPECT_TRUE(testing::closed_by_server(kept.stream.socket()));
    for (auto* group : {&silent, &slow})
        for (auto& socket : *group) EXPECT_TRUE(testing::closed_by_server(socket));
    EXPECT_EQ(open_connections(server.server), 0u);
}

TEST(WebTransport, ConnectionsPastTheCapAreRefusedAtOnce) {
    TestServer server({}, {.connections = 8});
    // Each kept open after an answer, which says the server counts it.
    std::vector<std::unique_ptr<testing::Client>> held;
    for (int i = 0; i < 8; ++i) {
        held.push_back(std::make_unique<testing::Client>(server.port));
        ASSERT_EQ(testing::request(*held.back(), "GET", "/api/version").status, 200);
    }
    const auto sent = Clock::now();
    const auto refused = testing::fetch(server.port, "GET", "/api/version");
    EXPECT_LT(seconds_since(sent), 0.5);
    EXPECT_EQ(refused.status, 503);
    EXPECT_EQ(refused.header("Retry-After"), "1");
    held.clear();
    for (int i = 0; i < 1000 && open_connections(server.server) > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(testing::fetch(server.port, "GET", "/api/version").status, 200);
}

// Reading and estimating fifteen wide ranges takes a tenth of a second: asking that over and over holds up nobody.
TEST(WebTransport, SlowToPlanRequestsDoNotHoldUpOthers) {
    TestServer server({.queued = 0}); // every long job is refused, after its estimate
    const std::string wide = Json{{"method", "exact"}, {"ranges", std::vector<std::string>(15, "random")}}.dump();
    const auto until = Clock::now() + std::chrono::seconds(2);
    std::vector<std::jthread> heavy;
    for (int i = 0; i < 3; ++i)
        heavy.emplace_back([&] {
            testing::Client client(server.port);
            while (Clock::now() < until) EXPECT_EQ(testing::request(client, "POST", "/api/jobs", wide).status, 503);
        });
    const auto [median, slowest] = probe(server.port, [&] { return Clock::now() < until; });
    std::printf("beside wide spots being planned: probes answered in %.2f ms (median), %.2f ms at the slowest\n",
                median, slowest);
    EXPECT_LT(median, 10.0);
}

} // namespace
} // namespace varnolith
