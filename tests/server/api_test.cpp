// The JSON API against a server on an ephemeral loopback port: figures equal
// to the engine's, every error with its code and message, the Host and Origin
// checks, jobs that report progress and stop when cancelled or abandoned.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <string>

#include "range_equity.hpp"
#include "range_request.hpp"
#include "test_server.hpp"

namespace varnolith {
namespace {

using Json = nlohmann::json;
using testing::TestServer;
using Clock = std::chrono::steady_clock;

RangeSpot spot_of(std::vector<std::string> ranges, std::string board) {
    return spot_from_text(ranges, board, "").spot;
}

TEST(WebApi, AnswersWithTheEnginesFigures) {
    TestServer server;
    auto client = server.client();
    const auto exact = client.Post("/api/equity", R"({"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"})", "application/json");
    ASSERT_TRUE(exact);
    ASSERT_EQ(exact->status, 200) << exact->body;
    const Json e = Json::parse(exact->body);
    EXPECT_EQ(e["method"], "exact");
    EXPECT_EQ(e["players"][0]["equity"].get<double>(), 209.0 / 406.0);

    const auto simulated = client.Post(
        "/api/equity", R"({"ranges": ["QQ+, AKs", "random", "T9s"], "board": "Kh9c8d", "trials": 20000, "seed": 7, "by_hand": true})",
        "application/json");
    ASSERT_EQ(simulated->status, 200) << simulated->body;
    const Json s = Json::parse(simulated->body);
    const RangeResult engine = range_equity_monte_carlo(spot_of({"QQ+, AKs", "random", "T9s"}, "Kh9c8d"),
                                                        {.trials = 20000, .seed = 7});
    for (std::size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(s["players"][p]["equity"].get<double>(), engine.players[p].equity);
        EXPECT_EQ(s["players"][p]["stderr"].get<double>(), engine.players[p].standard_error);
    }
    EXPECT_EQ(s["seed"], 7);
    EXPECT_EQ(s["players"][0]["hands"].size(), engine.players[0].hands.size());

    const auto version = client.Get("/api/version");
    EXPECT_EQ(Json::parse(version->body)["version"], "1.0.0");
    const auto page = client.Get("/");
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
}

TEST(WebApi, RefusesBadInputWithCodeAndMessage) {
    TestServer server;
    auto client = server.client();
    const struct {
        std::string body;
        int status;
        std::string code, message;
    } cases[] = {
        {"not json", 400, "bad_json", "the body is not JSON"},
        {"[1, 2]", 400, "bad_request", "the body must be a JSON object such as {\"ranges\": [\"QQ+\", \"random\"]}"},
        {R"({"ranges": ["AhKd", "QQs"]})", 400, "bad_request",
         "range 2: item \"QQs\": a pair is neither suited nor offsuit"},
        {R"({"ranges": ["AA", "KK"], "board": "6c7x"})", 400, "bad_request", "board: card \"7x\": 'x' is not a suit"},
        {R"({"ranges": ["AA", "KK"], "board": "6c7d8h9sTcJc"})", 400, "bad_request",
         "board: 6 cards given, at most 5 allowed"},
        {R"({"ranges": ["AA","KK","QQ","JJ","TT","99","88","77","66","AK","AQ","AJ","AT","A9","A8","A7"]})", 400,
         "bad_request", "give two to fifteen ranges, one per player (got 16)"},
        {R"({"ranges": ["AA", "KK"], "method": "exact", "trials": 100})", 400, "bad_request",
         "an exact run takes neither trials nor precision"},
        {R"({"ranges": ["AA", "KK"], "trials": 100, "precision": 0.01})", 400, "bad_request",
         "trials and precision exclude one another: give at most one"},
        {R"({"ranges": ["AA", "KK"], "trials": "many"})", 400, "bad_request",
         "field \"trials\" must be a whole number of at least 1, or null"},
        {R"({"ranges": ["AA", "KK"], "by_hand": 1})", 400, "bad_request", "field \"by_hand\" must be true or false"},
        {R"({"ranges": ["AA", "KK"], "colour": true})", 400, "bad_request", "unknown field \"colour\""},
        {R"({"ranges": ["AA", "KK"], "by_card": true})", 400, "bad_request",
         "a next-card table needs a flop or a turn on the board, not 0 cards"},
        {R"({"ranges": ["AA", "AA", "AA"], "board": "Ad"})", 422, "no_compatible_deal",
         "no compatible deal: 3 players need 3 hands at once, and the cards their ranges hold make at most 1"},
        {std::string(70 * 1024, ' '), 413, "payload_too_large", "the body is over 64 KiB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 80));
        const auto res = client.Post("/api/equity", c.body, "application/json");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.status);
        const Json error = Json::parse(res->body, nullptr, false);
        ASSERT_TRUE(error.is_object()) << res->body;
        EXPECT_EQ(error["error"]["code"], c.code);
        EXPECT_EQ(error["error"]["message"], c.message);
    }
    EXPECT_EQ(client.Get("/api/nothing")->status, 404);
    EXPECT_EQ(client.Delete("/api/jobs/j999")->status, 404);
}

// Another site's page may reach 127.0.0.1 through the browser, under its own
// name (DNS rebinding) or as a cross-origin request: both are refused.
TEST(WebApi, AnswersOnlyItsOwnHostAndOrigin) {
    TestServer server;
    auto client = server.client();
    const std::string own = "127.0.0.1:" + std::to_string(server.port);
    const std::string body = R"({"ranges": ["AA", "KK"]})";
    EXPECT_EQ(client.Get("/api/version", {{"Host", "evil.example:" + std::to_string(server.port)}})->status, 403);
    EXPECT_EQ(client.Get("/api/version", {{"Host", "localhost:" + std::to_string(server.port)}})->status, 200);
    EXPECT_EQ(client.Get("/api/version", {{"Host", "127.0.0.1:1"}})->status, 403);
    EXPECT_EQ(client.Post("/api/equity", {{"Origin", "http://evil.example"}}, body, "application/json")->status, 403);
    EXPECT_EQ(client.Post("/api/equity", {{"Origin", "http://" + own}}, body, "application/json")->status, 200);
    const auto res = client.Get("/api/version");
    EXPECT_FALSE(res->has_header("Access-Control-Allow-Origin"));
}

// Whether the job has left the queue; the board's mutex is held.
bool find_job_started(JobBoard& board, const std::string& id) {
    const auto at = board.jobs.find(id);
    return at != board.jobs.end() && at->second->started;
}

// Starts a long exact run as a job and returns its id.
std::string long_job(httplib::Client& client) {
    const auto res = client.Post("/api/jobs", R"({"ranges": ["random", "random", "random"], "method": "exact"})",
                                 "application/json");
    EXPECT_EQ(res->status, 202) << res->body;
    return Json::parse(res->body)["id"];
}

TEST(WebApi, CancelsAJobAtOnce) {
    TestServer server;
    auto client = server.client();
    const std::string id = long_job(client);
    std::string events;
    std::jthread listener([&] {
        auto own = server.client();
        own.Get("/api/jobs/" + id + "/events", [&](const char* data, std::size_t size) {
            events.append(data, size);
            return true;
        });
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto job = find_job(server.board, id);
    ASSERT_TRUE(job);
    const auto sent = Clock::now();
    EXPECT_EQ(client.Delete("/api/jobs/" + id)->status, 204);
    while (!wait_for_job(server.board, *job, std::chrono::milliseconds(1))) {
    }
    const double stopped = std::chrono::duration<double>(Clock::now() - sent).count();
    std::printf("cancel: the job's threads stopped %.1f ms after DELETE was sent\n", 1000 * stopped);
    EXPECT_LT(stopped, 0.5); // 0.1 s is the aim; a loaded machine gets some slack
    listener.join();
    EXPECT_NE(events.find("event: progress"), std::string::npos);
    EXPECT_NE(events.find("event: error\ndata: {\"error\":{\"code\":\"cancelled\""), std::string::npos) << events;
    // Its thread is free again: a small spot is answered.
    EXPECT_EQ(client.Post("/api/equity", R"({"ranges": ["AA", "KK"], "board": "6c7d8h"})", "application/json")->status,
              200);
}

TEST(WebApi, AbandonedOrOverlongJobsStopAndABusyServerSaysSo) {
    TestServer server({.running = 1, .queued = 1, .max_seconds = 0.3});
    auto client = server.client();
    // A client that goes away cancels its job.
    const std::string id = long_job(client);
    int reads = 0;
    server.client().Get("/api/jobs/" + id + "/events", [&](const char*, std::size_t) { return ++reads < 2; });
    const auto job = find_job(server.board, id);
    ASSERT_TRUE(job);
    for (int i = 0; i < 100 && !wait_for_job(server.board, *job, std::chrono::milliseconds(50));) ++i;
    EXPECT_TRUE(job->cancel.load());

    // One running, one queued: a third waits for nobody and is refused.
    const std::string first = long_job(client);
    const auto started = [&] {
        const std::lock_guard lock(server.board.mutex);
        return find_job_started(server.board, first);
    };
    for (int i = 0; i < 200 && !started(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::string second = long_job(client);
    const auto busy = client.Post("/api/jobs", R"({"ranges": ["AA", "KK"]})", "application/json");
    EXPECT_EQ(busy->status, 503);
    EXPECT_EQ(busy->get_header_value("Retry-After"), "1");
    EXPECT_EQ(Json::parse(busy->body)["error"]["code"], "busy");
    client.Delete("/api/jobs/" + second);

    // The time limit stops a run that is watched.
    const auto limited = client.Post("/api/equity", R"({"ranges": ["random", "random", "random"], "method": "exact"})",
                                     "application/json");
    client.Delete("/api/jobs/" + first);
    ASSERT_TRUE(limited);
    EXPECT_EQ(limited->status, 422) << limited->body;
    EXPECT_EQ(Json::parse(limited->body)["error"]["code"], "time_limit");
}

} // namespace
} // namespace varnolith
