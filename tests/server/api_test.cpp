// The JSON API against a server on an ephemeral loopback port: the engine's
// and the plain walk's figures, each kind of error with its code, message, field and player, the
// Host and Origin checks, routing by exact path and method, jobs that report
// progress, stop when cancelled or abandoned, and share the cores.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "library_version.hpp"
#include "ranges/equity.hpp"
#include "ranges/notation/ordering.hpp"
#include "ranges/request.hpp"
#include "reference_evaluator.hpp"
#include "test_cards.hpp"
#include "test_server.hpp"

namespace varnolith {
namespace {

using Json = nlohmann::json;
using testing::fetch;
using testing::TestServer;
using Clock = std::chrono::steady_clock;

const std::string long_spot = R"({"ranges": ["random", "random", "random"], "method": "exact"})";
const std::string small_spot = R"({"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"})";

RangeSpot spot_of(std::vector<std::string> ranges, std::string board) {
    return spot_from_text(ranges, board, "").spot;
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Starts a long exact run as a job and returns its id.
std::string long_job(int port, const std::string& body = long_spot) {
    const auto res = fetch(port, "POST", "/api/jobs", body);
    EXPECT_EQ(res.status, 202) << res.body;
    return res.status == 202 ? Json::parse(res.body)["id"].get<std::string>() : "";
}

// Waits up to ten seconds until the board runs `count` jobs; true when it does.
bool running(JobBoard& board, std::size_t count) {
    return wait_for_board(board, [&](const BoardSnapshot& now) { return now.running.size() == count; },
                          std::chrono::seconds(10));
}

// Waits up to ten seconds until the job with this id runs; true when it does.
bool running(JobBoard& board, const std::string& id) {
    return wait_for_board(board, [&](const BoardSnapshot& now) { return std::ranges::count(now.running, id) == 1; },
                          std::chrono::seconds(10));
}

// Whether a progress event tells of work done: the engine is in the midst of its run.
bool work_done(const std::string& events) {
    constexpr std::string_view progress = "event: progress\ndata: ";
    for (auto at = events.find(progress); at != std::string::npos; at = events.find(progress, at + 1)) {
        const std::size_t data = at + progress.size(), end = events.find('\n', data);
        if (end == std::string::npos) return false;
        const Json event = Json::parse(events.substr(data, end - data), nullptr, false);
        if (event.is_object() && event.value("done", 0.0) > 0.0) return true;
    }
    return false;
}

std::function<bool(const std::string&)> says(std::string text) {
    return [text = std::move(text)](const std::string& events) { return events.find(text) != std::string::npos; };
}

TEST(WebApi, AnswersWithTheEnginesFigures) {
    TestServer server;
    const auto exact = fetch(server.port, "POST", "/api/equity", small_spot);
    ASSERT_EQ(exact.status, 200) << exact.body;
    const Json e = Json::parse(exact.body);
    EXPECT_EQ(e["method"], "exact");
    // The plain walk in-process: the AhKd-QsQc flop figures the other front ends' tests write out.
    const auto plain = testing::reference_board_walk(std::vector{testing::hand("Ah Kd"), testing::hand("Qs Qc")},
                                                     testing::cards("6c 7d 8h"));
    for (std::size_t p = 0; p < 2; ++p) EXPECT_EQ(e["players"][p]["equity"].get<double>(), plain.equity(p)) << p;
    const auto simulated = fetch(
        server.port, "POST", "/api/equity",
        R"({"ranges": ["QQ+, AKs", "random", "T9s"], "board": "Kh9c8d", "trials": 20000, "seed": 7, "by_hand": true})");
    ASSERT_EQ(simulated.status, 200) << simulated.body;
    const Json s = Json::parse(simulated.body);
    const RangeResult engine = range_equity_monte_carlo(spot_of({"QQ+, AKs", "random", "T9s"}, "Kh9c8d"),
                                                        {.trials = 20000, .seed = 7});
    for (std::size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(s["players"][p]["equity"].get<double>(), engine.players[p].equity);
        EXPECT_EQ(s["players"][p]["stderr"].get<double>(), engine.players[p].standard_error);
    }
    EXPECT_EQ(s["seed"], 7);
    EXPECT_EQ(s["players"][0]["hands"].size(), engine.players[0].hands.size());

    EXPECT_EQ(Json::parse(fetch(server.port, "GET", "/api/version").body)["version"], testing::library_version());
    const auto page = fetch(server.port, "GET", "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("Content-Type"), "text/html; charset=utf-8");
    // HEAD: the same headers, no body.
    const auto head = fetch(server.port, "HEAD", "/");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("Content-Length"), std::to_string(page.body.size()));
    EXPECT_TRUE(head.body.empty());
}

TEST(WebApi, RefusesBadInputWithCodeMessageFieldAndPlayer) {
    TestServer server;
    const struct {
        std::string body;
        int status;
        std::string code, message;
        Json field, player;
    } cases[] = {
        {"not json", 400, "bad_json", "the body is not JSON", nullptr, nullptr},
        {"[1, 2]", 400, "bad_request", "the body must be a JSON object such as {\"ranges\": [\"QQ+\", \"random\"]}",
         nullptr, nullptr},
        {R"({"ranges": ["AhKd", "QQs"]})", 400, "bad_request",
         "range 2: item \"QQs\": a pair is neither suited nor offsuit", "ranges", 1},
        {R"({"ranges": ["AhKd", 7]})", 400, "bad_request", "field \"ranges\" must hold range texts (strings) only",
         "ranges", 1},
        // The engine's refusals pass with their words, field and player; one of each kind.
        {R"({"ranges": ["AA", "KK"], "board": "6c7d", "dead": "7d"})", 400, "bad_request",
         "card 7d is given twice among the board and dead cards", "dead", nullptr},
        {R"({"ranges": ["AA", "KK"], "trials": 100, "precision": 0.01})", 400, "bad_request",
         "trials and precision exclude one another: give at most one", "precision", nullptr},
        {R"({"ranges": ["AA", "KK"], "trials": 2.5})", 400, "bad_request",
         "field \"trials\" must be a whole number of at least 1, or null", "trials", nullptr},
        // Text typed into a form is read as the command reads its options, and refused in its words.
        {R"({"ranges": ["AA", "KK"], "trials": "many"})", 400, "bad_request",
         "--trials: N must be a whole number of at least 1 (got many)", "trials", nullptr},
        {R"({"ranges": ["AA", "KK"], "by_hand": 1})", 400, "bad_request", "field \"by_hand\" must be true or false",
         "by_hand", nullptr},
        // Of two unknown fields the first by name is told, in whatever order they come.
        {R"({"zoom": 2, "ranges": ["AA", "KK"], "colour": true})", 400, "bad_request", "unknown field \"colour\"",
         "colour", nullptr},
        {R"({"ranges": ["AA", "KK"], "rules": "omaha"})", 400, "bad_request",
         "rules \"omaha\": the rules are straight or trips", "rules", nullptr},
        {R"({"ranges": ["AA", "KK"], "hits": true})", 400, "bad_request",
         "hits are of a board: give a flop, a turn or a river, or ask for the flops", "hits", nullptr},
        {R"({"ranges": ["AA", "KK"], "flops": true, "method": "monte_carlo"})", 400, "bad_request",
         "the flops are exact: they go with neither trials nor a precision", "flops", nullptr},
        {R"({"ranges": ["AA", "AA", "AA"], "board": "Ad"})", 422, "no_compatible_deal",
         "no compatible deal: 3 players need 3 hands at once, and the cards their ranges hold make at most 1", "ranges",
         nullptr},
        // Runs that could only end at the time limit are refused before they start.
        {R"({"ranges": ["AA", "KK"], "precision": 1e-300})", 422, "too_long",
         "a run to this precision would not end within the server's limit of 120 s; ask for a coarser one",
         "precision", nullptr},
        {std::string(70 * 1024, ' '), 413, "payload_too_large", "the body is over 64 KiB", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 80));
        const auto res = fetch(server.port, "POST", "/api/equity", c.body);
        EXPECT_EQ(res.status, c.status);
        const Json error = Json::parse(res.body, nullptr, false);
        ASSERT_TRUE(error.is_object()) << res.body;
        EXPECT_EQ(error["error"], (Json{{"code", c.code}, {"message", c.message}, {"field", c.field}, {"player", c.player}}));
    }
    // A precision the time limit allows is run.
    EXPECT_EQ(fetch(server.port, "POST", "/api/equity", R"({"ranges": ["AA", "KK"], "precision": 0.01})").status, 200);
}

// What the page reads besides runs: card text as a run reads it, the classes
// each "N%" takes, and a job's expected time against the limit.
TEST(WebApi, ReadsCardsCountsTopSharesAndEstimatesJobs) {
    TestServer server;
    const auto cards = fetch(server.port, "POST", "/api/cards", R"({"board": "Kh9c 8d", "dead": "As"})");
    ASSERT_EQ(cards.status, 200) << cards.body;
    EXPECT_EQ(Json::parse(cards.body), (Json{{"board", {"Kh", "9c", "8d"}}, {"dead", {"As"}}}));
    const Json slip = Json::parse(fetch(server.port, "POST", "/api/cards", R"({"board": "10h"})").body);
    EXPECT_EQ(slip["error"]["message"], "board: card \"10h\": write T for ten");
    EXPECT_EQ(slip["error"]["field"], "board");

    for (const Ranking rules : {Ranking::straight, Ranking::trips}) {
        const std::string query = rules == Ranking::trips ? "?rules=trips" : "";
        const Json ordering = Json::parse(fetch(server.port, "GET", "/api/ordering" + query).body);
        EXPECT_EQ(ordering["rules"], rules_name(rules));
        ASSERT_EQ(ordering["top_class_counts"].size(), 100u);
        for (const int percent : {1, 7, 15, 100})
            EXPECT_EQ(ordering["top_class_counts"][percent - 1], top_class_count(percent, rules));
        EXPECT_EQ(ordering["classes"][7]["class"], rules == Ranking::trips ? "99" : "AKo");
    }
    const Json unknown = Json::parse(fetch(server.port, "GET", "/api/ordering?rules=omaha").body);
    EXPECT_EQ(unknown["error"]["field"], "rules");

    // The estimate alone starts nothing, and says what the job's reply says.
    const auto estimate = fetch(server.port, "POST", "/api/estimate", long_spot);
    ASSERT_EQ(estimate.status, 200) << estimate.body;
    EXPECT_TRUE(board_snapshot(server.board).queued.empty() && board_snapshot(server.board).running.empty());
    const auto job = fetch(server.port, "POST", "/api/jobs", long_spot);
    ASSERT_EQ(job.status, 202) << job.body;
    const Json reply = Json::parse(job.body);
    for (const char* key : {"method", "estimate_seconds", "limit_seconds"})
        EXPECT_EQ(Json::parse(estimate.body)[key], reply[key]) << key;
    EXPECT_EQ(reply["method"], "exact");
    EXPECT_GT(reply["estimate_seconds"].get<double>(), 0.0);
    EXPECT_EQ(reply["limit_seconds"], server.board.limits.max_seconds);
    cancel_job(server.board, *find_job(server.board, reply["id"].get<std::string>()), StopReason::cancelled);
}

// The postflop study as the page asks for it: hits on a board, the flop rows
// of a preflop spot, and a range cut to a class.
TEST(WebApi, AnswersHitsFlopsAndFilters) {
    TestServer server;
    const Json hits = Json::parse(
        fetch(server.port, "POST", "/api/equity", R"({"ranges": ["QQ", "AK"], "board": "Kh9h8d", "hits": true})").body);
    EXPECT_EQ(hits["players"][0]["hits"][10]["class"], "pocket_pair_below_top");
    EXPECT_NEAR(hits["players"][0]["hits"][10]["share"].get<double>(), 1.0, 1e-12);
    const Json flops =
        Json::parse(fetch(server.port, "POST", "/api/equity", R"({"ranges": ["AA", "KK"], "flops": true})").body);
    EXPECT_EQ(flops["method"], "exact");
    EXPECT_EQ(flops["textures"].size(), 3u + 3u + 9u + 2u);
    EXPECT_GT(flops["flops"].size(), 100u);
    const auto kept = fetch(server.port, "POST", "/api/filter",
                            R"({"range": "KK, 99, AQ", "board": "Kh9h8d", "filter": "set", "rules": "trips"})");
    ASSERT_EQ(kept.status, 200) << kept.body;
    EXPECT_EQ(Json::parse(kept.body), (Json{{"range", "KdKc, KsKc, KsKd, 9d9c, 9s9c, 9s9d"}, {"combos", 6}}));
    // The engine's refusals keep their fields; the range is this route's "range".
    for (const auto& [body, field] : {std::pair{R"({"range": "KK", "board": "Kh9h8d", "filter": "sets"})", "filter"},
                                      std::pair{R"({"range": "KQs+x", "board": "Kh9h8d", "filter": "set"})", "range"},
                                      std::pair{R"({"range": "KK", "board": "Kh9h8d", "filter": 7})", "filter"}}) {
        const auto res = fetch(server.port, "POST", "/api/filter", body);
        EXPECT_EQ(res.status, 400) << body;
        EXPECT_EQ(Json::parse(res.body)["error"]["field"], field) << body;
    }
}

// Another site's page may reach 127.0.0.1 through the browser, under its own
// name (DNS rebinding), as a cross-origin request, or as a plain GET from an
// image or a link: all are refused, reading routes included.
TEST(WebApi, AnswersOnlyItsOwnHostAndOrigin) {
    TestServer server;
    const std::string own = "127.0.0.1:" + std::to_string(server.port);
    const auto status = [&](std::string_view method, std::string_view target, testing::Headers headers) {
        return fetch(server.port, method, target, method == "POST" ? small_spot : "", headers).status;
    };
    EXPECT_EQ(status("GET", "/api/version", {{"Host", "evil.example:" + std::to_string(server.port)}}), 403);
    EXPECT_EQ(status("GET", "/api/version", {{"Host", "localhost:" + std::to_string(server.port)}}), 200);
    EXPECT_EQ(status("GET", "/api/version", {{"Host", "127.0.0.1:1"}}), 403);
    EXPECT_EQ(status("POST", "/api/equity", {{"Origin", "http://evil.example"}}), 403);
    EXPECT_EQ(status("POST", "/api/equity", {{"Origin", "http://" + own}}), 200);
    EXPECT_EQ(status("GET", "/api/version", {{"Origin", "http://evil.example"}}), 403);
    EXPECT_EQ(status("GET", "/api/version", {{"Sec-Fetch-Site", "cross-site"}}), 403);
    EXPECT_EQ(status("GET", "/api/version", {{"Sec-Fetch-Site", "same-origin"}, {"Origin", "http://" + own}}), 200);
    // The page's files are public: an image tag elsewhere may load the icon.
    EXPECT_EQ(status("GET", "/favicon.svg", {{"Sec-Fetch-Site", "cross-site"}}), 200);

    const std::string id = long_job(server.port);
    for (const std::string method : {"GET", "HEAD"})
        EXPECT_EQ(status(method, "/api/jobs/" + id + "/events", {{"Sec-Fetch-Site", "cross-site"}}), 403);
    EXPECT_EQ(status("DELETE", "/api/jobs/" + id, {{"Origin", "http://127.0.0.1:1"}}), 403);
    EXPECT_EQ(job_snapshot(server.board, *find_job(server.board, id)).stop, StopReason::none);
    EXPECT_EQ(fetch(server.port, "GET", "/api/version").header("Access-Control-Allow-Origin"), "");
}

// Only the client that queued a job knows its id, and only a GET of its
// stream follows it; POST /api/equity's own job has no id at all.
TEST(WebApi, JobsAreReachedOnlyByTheirOwnClient) {
    TestServer server;
    const std::string id = long_job(server.port, small_spot), other = long_job(server.port, small_spot);
    EXPECT_EQ(id.size(), 32u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos) << id;
    EXPECT_NE(id, other);
    for (const std::string& job : {id, other})
        ASSERT_TRUE(wait_for_job(server.board, *find_job(server.board, job), std::chrono::seconds(10)));
    // HEAD says the stream is there, and neither cancels the job nor takes its answer.
    EXPECT_EQ(fetch(server.port, "HEAD", "/api/jobs/" + id + "/events").header("Content-Type"), "text/event-stream");
    const std::string events = testing::follow(server.port, "/api/jobs/" + id + "/events", [](auto&) { return true; });
    EXPECT_NE(events.find("event: result\ndata: {\"method\":\"exact\""), std::string::npos) << events;
    // The event's data is the answer a POST gets, on one line.
    const std::string_view result = "event: result\ndata: ";
    const std::size_t at = events.find(result);
    ASSERT_NE(at, std::string::npos) << events;
    const std::size_t data = at + result.size();
    const std::size_t end = events.find('\n', data);
    ASSERT_EQ(events.compare(end, 2, "\n\n"), 0) << events;
    Json streamed = Json::parse(events.substr(data, end - data));
    Json replied = Json::parse(fetch(server.port, "POST", "/api/equity", small_spot).body);
    for (Json* answer : {&streamed, &replied}) answer->erase("elapsed_seconds");
    EXPECT_EQ(streamed, replied);
    EXPECT_EQ(fetch(server.port, "HEAD", "/api/jobs/" + id + "/events").status, 404); // delivered, forgotten

    // A synchronous run is in the board's work, but under no id.
    std::jthread sync([&] { fetch(server.port, "POST", "/api/equity", long_spot); });
    ASSERT_TRUE(running(server.board, 1));
    EXPECT_EQ(board_snapshot(server.board).running, std::vector<std::string>{""});
    stop_jobs(server.board);
}

TEST(WebApi, RoutesByExactPathAndMethod) {
    TestServer server;
    const struct {
        std::string method, target;
        int status;
        std::string allow;
    } cases[] = {
        {"GET", "/api/equity", 405, "POST"},
        {"PUT", "/api/equity", 405, "POST"},
        {"OPTIONS", "/api/range", 405, "POST"},
        {"DELETE", "/api/version", 405, "GET, HEAD"},
        {"POST", "/", 405, "GET, HEAD"},
        {"GET", "/api/jobs/" + std::string(32, 'a'), 405, "DELETE"},
        {"DELETE", "/api/jobs/j1", 404, ""}, // not an id
        {"GET", "/api/jobs/" + std::string(32, 'a') + "/events/x", 404, ""},
        {"GET", "/js/api.js?v=2", 200, ""},
        {"GET", "/js/../index.html", 404, ""},
        {"GET", "/" + std::string(2000, 'a'), 414, ""}, // refused before any lookup
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method + " " + c.target.substr(0, 60));
        const auto res = fetch(server.port, c.method, c.target, c.method == "POST" ? small_spot : "");
        EXPECT_EQ(res.status, c.status);
        EXPECT_EQ(res.header("Allow"), c.allow);
    }
    // A body is JSON only when it says so: a page elsewhere may post a form or text without asking first.
    for (const std::string type : {"text/plain", "application/x-www-form-urlencoded", ""})
        EXPECT_EQ(fetch(server.port, "POST", "/api/equity", small_spot, {{"Content-Type", type}}).status, 415) << type;
    EXPECT_EQ(fetch(server.port, "POST", "/api/equity", small_spot, {{"Content-Type", "Application/JSON; charset=utf-8"}})
                  .status,
              200);
}

TEST(WebApi, CancelsAJobAtOnce) {
    TestServer server;
    const std::string id = long_job(server.port);
    testing::EventStream stream(server.port, "/api/jobs/" + id + "/events", std::chrono::seconds(10));
    const auto job = find_job(server.board, id);
    ASSERT_TRUE(job);
    // Cancelled in the midst of the engine's run, once the stream has told of work done.
    ASSERT_TRUE(stream.read_until(work_done)) << stream.events();
    const auto sent = Clock::now();
    EXPECT_EQ(fetch(server.port, "DELETE", "/api/jobs/" + id).status, 204);
    ASSERT_TRUE(wait_for_job(server.board, *job, std::chrono::seconds(10)));
    const double stopped = seconds_since(sent);
    std::printf("cancel: the job's threads stopped %.1f ms after DELETE was sent\n", 1000 * stopped);
    EXPECT_LT(stopped, 0.5); // 0.1 s is the aim; a loaded machine gets some slack
    EXPECT_TRUE(stream.read_until(says("event: error\ndata: {\"error\":{\"code\":\"cancelled\""))) << stream.events();
    // Its cores are free again: a small spot is answered.
    EXPECT_EQ(fetch(server.port, "POST", "/api/equity", small_spot).status, 200);
}

// Nobody waits for a run whose client hung up: it stops within a fifth of a second.
TEST(WebApi, AHungUpPostStopsItsRun) {
    TestServer server;
    testing::Client client(server.port);
    client.timeout = std::chrono::milliseconds(300);
    EXPECT_FALSE(request(client, "POST", "/api/equity", long_spot)); // gives up after 0.3 s
    const auto gone = Clock::now();
    ASSERT_TRUE(running(server.board, 0));
    const double stopped = seconds_since(gone);
    std::printf("hang-up: the run stopped %.1f ms after its client closed the connection\n", 1000 * stopped);
    EXPECT_LT(stopped, 0.2);
}

TEST(WebApi, AbandonedOrOverlongJobsStopAndABusyServerSaysSo) {
    TestServer server({.cores = 1, .queued = 1, .max_seconds = 0.3});
    // A client that goes away cancels its job.
    const std::string id = long_job(server.port);
    int reads = 0;
    testing::follow(server.port, "/api/jobs/" + id + "/events", [&](const std::string&) { return ++reads < 2; });
    const auto job = find_job(server.board, id);
    ASSERT_TRUE(job && wait_for_job(server.board, *job, std::chrono::seconds(5)));
    EXPECT_NE(job_snapshot(server.board, *job).stop, StopReason::none);

    // One running, one queued: a third long one waits for nobody and is refused.
    const std::string first = long_job(server.port);
    ASSERT_TRUE(running(server.board, first));
    const std::string second = long_job(server.port);
    const auto busy = fetch(server.port, "POST", "/api/jobs", long_spot);
    EXPECT_EQ(busy.status, 503);
    EXPECT_EQ(busy.header("Retry-After"), "1");
    EXPECT_EQ(Json::parse(busy.body)["error"]["code"], "busy");
    fetch(server.port, "DELETE", "/api/jobs/" + second);

    // The time limit stops a run that is watched.
    fetch(server.port, "DELETE", "/api/jobs/" + first);
    const auto limited = fetch(server.port, "POST", "/api/equity", long_spot);
    EXPECT_EQ(limited.status, 422) << limited.body;
    EXPECT_EQ(Json::parse(limited.body)["error"]["code"], "time_limit");
}

// The watchdog sleeps until its nearest deadline: a job queued while it has
// none still has it woken in time.
TEST(WebApi, AJobNobodyAsksAboutIsCancelled) {
    TestServer server({.unwatched_seconds = 0.2});
    const auto job = find_job(server.board, long_job(server.port));
    ASSERT_TRUE(job && wait_for_job(server.board, *job, std::chrono::seconds(10)));
    EXPECT_EQ(job_snapshot(server.board, *job).stop, StopReason::cancelled);
}

int process_threads() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
    return 0;
}

// Running jobs never hold more threads than the cores, whatever they ask for;
// a lasting one leaves a core to quick spots, which are answered beside it
// even when the long jobs' queue is full.
TEST(WebApi, JobsShareTheCoresAndQuickSpotsGoFirst) {
    TestServer server({.cores = 2, .queued = 1});
    const int before = process_threads();
    const std::string greedy = R"({"ranges": ["random", "random", "random"], "method": "exact", "threads": 256})";
    // One after the other: the queue holds one, and a loaded machine may not have started the first yet.
    const std::string first = long_job(server.port, greedy);
    testing::EventStream stream(server.port, "/api/jobs/" + first + "/events", std::chrono::seconds(10));
    // The engine's threads are up once the stream tells of work done.
    ASSERT_TRUE(stream.read_until(work_done)) << stream.events();
    long_job(server.port, greedy); // waits: a lasting job leaves the other core to quick spots
    std::printf("threads: %d before, %d while a job asks for 256 on 2 cores\n", before, process_threads());
    EXPECT_LE(process_threads(), before + 1);
    EXPECT_EQ(job_snapshot(server.board, *find_job(server.board, first)).threads, 1);
    EXPECT_EQ(fetch(server.port, "POST", "/api/jobs", long_spot).status, 503); // the long queue is full
    const auto sent = Clock::now();
    EXPECT_EQ(fetch(server.port, "POST", "/api/equity", small_spot).status, 200);
    std::printf("a small spot beside a long run: answered in %.1f ms\n", 1000 * seconds_since(sent));
    EXPECT_LT(seconds_since(sent), 2.0);
    stop_jobs(server.board);
}

} // namespace
} // namespace varnolith
