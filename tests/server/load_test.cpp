// A bounded load on a loopback server: 16 clients, 2,000 mixed requests
// (small spots, bad input, long runs cancelled midway, clients that hang up).
// Every answer must be the engine's, every bad input its 4xx, no 5xx but 503,
// and the server alive, its memory not grown by more than a fifth.

#include <gtest/gtest.h>
#include <malloc.h>

#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <fstream>
#include <map>
#include <mutex>
#include <string>

#include "answer.hpp"
#include "test_server.hpp"

namespace varnolith {
namespace {

using Json = nlohmann::json;
using testing::TestServer;

constexpr int clients = 16;
constexpr int requests = 2000;

// Waits, for at most ten seconds, until no job is queued or running: a
// cancelled job still unwinding holds its buffers, which is not memory kept.
void wait_until_idle(JobBoard& board) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::unique_lock lock(board.mutex);
    board.changed.wait_until(lock, until, [&] {
        if (!board.queue.empty()) return false;
        for (const auto& [id, job] : board.jobs)
            if (job->started && !job->finished) return false;
        return true;
    });
}

// Resident memory once the allocator has handed back what it keeps free for
// reuse: what is left is what is held.
long resident_kib() {
    ::malloc_trim(0);
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

struct Valid {
    std::string body;
    std::vector<double> equity; // the engine's, computed here
};

std::vector<Valid> valid_spots() {
    const std::vector<std::pair<std::vector<std::string>, std::string>> spots = {
        {{"AhKd", "QsQc"}, "6c7d8h"},
        {{"AA", "KK"}, "6c7d8h9s"},
        {{"AKs", "QQ+, AK"}, "Kh9c8dTs"},
        {{"JJ", "T9s", "AhKh"}, "6c7d8h"},
    };
    std::vector<Valid> valid;
    for (const auto& [ranges, board] : spots) {
        const RangeSpot spot = spot_from_text(ranges, board, "").spot;
        RunChoices exact;
        exact.method = RangeMethod::exact;
        const Answer answer = compute_answer(spot, exact, false, {});
        Valid v{Json{{"ranges", ranges}, {"board", board}, {"method", "exact"}}.dump(), {}};
        for (const auto& p : answer.result.players) v.equity.push_back(p.equity);
        valid.push_back(std::move(v));
    }
    return valid;
}

struct Tally {
    std::mutex mutex;
    std::map<int, int> statuses;
    std::vector<std::string> faults;

    void note(int status, const std::string& fault = {}) {
        const std::lock_guard lock(mutex);
        ++statuses[status];
        if (!fault.empty() && faults.size() < 20) faults.push_back(fault);
    }
};

void one_request(int n, TestServer& server, const std::vector<Valid>& valid, Tally& tally) {
    auto client = server.client();
    const int kind = n % 10;
    if (kind < 6) {
        const Valid& v = valid[static_cast<std::size_t>(n) % valid.size()];
        // A busy server says so; a client tries again a little later, a few times.
        auto res = client.Post("/api/equity", v.body, "application/json");
        for (int retry = 0; retry < 20 && res && res->status == 503; ++retry) {
            tally.note(503);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            res = client.Post("/api/equity", v.body, "application/json");
        }
        if (!res) return tally.note(-1, "no answer: " + httplib::to_string(res.error()));
        if (res->status == 200) {
            const Json j = Json::parse(res->body);
            for (std::size_t p = 0; p < v.equity.size(); ++p)
                if (j["players"][p]["equity"].get<double>() != v.equity[p]) tally.note(0, "figures differ: " + v.body);
        }
        return tally.note(res->status, res->status == 200 || res->status == 503 ? "" : res->body);
    }
    if (kind < 8) {
        const char* bad[] = {R"({"ranges": ["QQs", "AA"]})", "{", R"({"ranges": ["AA", "AA", "AA"], "board": "Ad"})",
                             R"({"ranges": ["AA"]})"};
        const int expected[] = {400, 400, 422, 400};
        const int which = n % 4;
        const auto res = client.Post("/api/equity", bad[which], "application/json");
        if (!res) return tally.note(-1, "no answer to bad input: " + httplib::to_string(res.error()));
        return tally.note(res->status, res->status == expected[which] ? "" : "bad input got " + res->body);
    }
    // A long run, cancelled after its first progress event or left by its client.
    const auto res = client.Post("/api/jobs", R"({"ranges": ["random", "random", "random"], "method": "exact"})",
                                 "application/json");
    if (!res) return tally.note(-1, "no answer to a job: " + httplib::to_string(res.error()));
    tally.note(res->status, res->status == 202 || res->status == 503 ? "" : res->body);
    if (res->status != 202) return;
    const std::string id = Json::parse(res->body)["id"];
    auto events = server.client();
    std::string seen;
    events.Get("/api/jobs/" + id + "/events", [&](const char* data, std::size_t size) {
        seen.append(data, size);
        if (seen.find("event: progress") == std::string::npos) return true;
        if (kind == 9) return false; // hangs up
        client.Delete("/api/jobs/" + id);
        return seen.find("event: error") == std::string::npos;
    });
    if (kind == 8 && seen.find("\"code\":\"cancelled\"") == std::string::npos)
        tally.note(0, "a cancelled job said: " + seen.substr(seen.size() > 300 ? seen.size() - 300 : 0));
}

TEST(WebLoad, SixteenClientsTwoThousandMixedRequests) {
    // The clients share this process with the server, and glibc gives threads
    // arenas of their own as they first meet contention, late in a run too:
    // resident memory then grows without anything being kept. With two arenas
    // what grows is what is held.
    ::mallopt(M_ARENA_MAX, 2);
    TestServer server;
    const std::vector<Valid> valid = valid_spots();
    Tally tally;
    std::atomic<int> next{0};
    const auto run = [&](int until) {
        std::vector<std::jthread> team;
        for (int c = 0; c < clients; ++c)
            team.emplace_back([&] {
                for (int n; (n = next.fetch_add(1)) < until;) one_request(n, server, valid, tally);
            });
    };
    // Warm up first: threads, pools, caches and the allocator's arenas at their
    // working size, which a few hundred requests do not yet reach.
    constexpr int warm_up = 600;
    run(warm_up);
    wait_until_idle(server.board);
    const long warm = resident_kib();
    const auto start = std::chrono::steady_clock::now();
    run(warm_up + requests);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    wait_until_idle(server.board);
    const long after = resident_kib();

    std::string statuses;
    for (const auto& [status, count] : tally.statuses)
        statuses.append(" ").append(std::to_string(status)).append(":").append(std::to_string(count));
    std::printf("load: %d requests from %d clients in %.2f s; statuses%s; resident %ld KiB -> %ld KiB\n", requests,
                clients, seconds, statuses.c_str(), warm, after);
    for (const std::string& f : tally.faults) ADD_FAILURE() << f;
    for (const auto& [status, count] : tally.statuses) EXPECT_TRUE(status < 500 || status == 503) << status;
    EXPECT_EQ(server.client().Get("/api/version")->status, 200);
#ifndef __SANITIZE_ADDRESS__ // AddressSanitizer holds freed memory back on purpose
    EXPECT_LE(after, warm * 6 / 5);
#endif
}

} // namespace
} // namespace varnolith
