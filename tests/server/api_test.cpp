// The JSON API against a server on an ephemeral loopback port: the engine's answers, each kind of refusal with
// its code, message, field and player, the Host and Origin checks, routing by exact path and method, jobs that
// report progress, stop when cancelled or abandoned, and share the cores.

#include <algorithm>

#include "library_version.hpp"
#include "ranges/notation/ordering.hpp"
#include "test_server.hpp"

namespace varnolith {
namespace {

using namespace testing;

const std::string small_spot = R"({"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"})";

// Starts a job and returns its id.
std::string long_job(int port, const std::string& body = long_spot) {
    const auto res = fetch(port, "POST", "/api/jobs", body);
    EXPECT_EQ(res.status, 202) << res.body;
    return res.status == 202 ? Json::parse(res.body)["id"].get<std::string>() : "";
}

// Waits up to ten seconds until the board runs just these jobs; true when it does.
bool runs(JobBoard& board, const std::vector<std::string>& ids) {
    return wait_for_board(board, [&](const BoardSnapshot& b) { return b.running == ids; }, std::chrono::seconds(10));
}

// The data of each whole event of this name read so far.
std::vector<std::string> event_data(const std::string& events, const std::string& name) {
    std::vector<std::string> found;
    const std::string head = "event: " + name + "\ndata: ";
    for (auto at = events.find(head); at != std::string::npos; at = events.find(head, at + 1)) {
        const std::size_t data = at + head.size(), end = events.find('\n', data);
        if (end == std::string::npos || end + 1 == events.size()) break;
        EXPECT_EQ(events[end + 1], '\n') << "an event's data is one line: " << events;
        found.push_back(events.substr(data, end - data));
    }
    return found;
}

// Whether a progress event tells of work done: the engine is in the midst of its run.
bool work_done(const std::string& events) {
    return std::ranges::any_of(event_data(events, "progress"),
                               [](const std::string& data) { return Json::parse(data).value("done", 0.0) > 0; });
}

// Each answer is the engine's for what was asked: the options are read, and reach the run.
TEST(WebApi, AnswersWithTheEnginesFigures) {
    TestServer server;
    const std::string bodies[] = {
        small_spot,
        R"({"ranges": ["QQ+, AKs", "random", "T9s"], "board": "Kh9c8d", "trials": 20000, "seed": 7, "by_hand": true})",
        R"({"ranges": ["QQ", "AK"], "board": "Kh9h8d", "hits": true, "rules": "trips"})",
        R"({"ranges": ["AA", "KK"], "flops": true})"};
    std::vector<Json> answers;
    for (const std::string& body : bodies) {
        const auto res = fetch(server.port, "POST", "/api/equity", body);
        ASSERT_EQ(res.status, 200) << res.body;
        const auto read = read_equity_request(body);
        answers.push_back(without_time(res.body));
        EXPECT_EQ(answers.back(), without_time(answer_text(std::get<EquityRequest>(read), {}, AnswerLayout::indented)));
    }
    EXPECT_EQ(Json({answers[1]["seed"], answers[1]["trials"], answers[2]["rules"]}), Json({7, 20000, "trips"}));
    EXPECT_TRUE(answers[1]["players"][0].contains("hands") && answers[2]["players"][0].contains("hits") &&
                answers[3].contains("textures") && answers[3].contains("flops"));

    EXPECT_EQ(Json::parse(fetch(server.port, "GET", "/api/version").body)["version"], testing::library_version());
    const auto page = fetch(server.port, "GET", "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("Content-Type"), "text/html; charset=utf-8");
    // HEAD: the same headers (the client reads no body after it).
    const auto head = fetch(server.port, "HEAD", "/");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("Content-Length"), std::to_string(page.body.size()));
}

// Bad JSON, bad notation and no deal are the reading's, checked by command/batch_test.cpp and request_test.cpp.
TEST(WebApi, RefusesBadInputWithCodeMessageFieldAndPlayer) {
    TestServer server;
    const struct {
        std::string body, message;
        Json field = nullptr, player = nullptr;
        int status = 400;
        std::string code = "bad_request";
    } cases[] = {
        {"[1, 2]", "the body must be a JSON object such as {\"ranges\": [\"QQ+\", \"random\"]}"},
        {R"({"ranges": ["AhKd", 7]})", "field \"ranges\" must hold range texts (strings) only", "ranges", 1},
        // The engine's refusals pass with their words and field; one for each place the reading asks it.
        {R"({"ranges": ["AA", "KK"], "trials": 100, "precision": 0.01})",
         "trials and precision exclude one another: give at most one", "precision"},
        {R"({"ranges": ["AA", "KK"], "trials": 2.5})", "field \"trials\" must be a whole number of at least 1, or null",
         "trials"},
        // Text typed into a form is read as the command reads its options, and refused in its words.
        {R"({"ranges": ["AA", "KK"], "trials": "many"})", "--trials: N must be a whole number of at least 1 (got many)",
         "trials"},
        {R"({"ranges": ["AA", "KK"], "by_hand": 1})", "field \"by_hand\" must be true or false", "by_hand"},
        // Of two unknown fields the first by name is told, in whatever order they come.
        {R"({"zoom": 2, "ranges": ["AA", "KK"], "colour": true})", "unknown field \"colour\"", "colour"},
        {R"({"ranges": ["AA", "KK"], "rules": "omaha"})", "rules \"omaha\": the rules are straight or trips", "rules"},
        {R"({"ranges": ["AA", "KK"], "hits": true})",
         "hits are of a board: give a flop, a turn or a river, or ask for the flops", "hits"},
        // Runs that could only end at the time limit are refused before they start.
        {R"({"ranges": ["AA", "KK"], "precision": 1e-300})",
         "a run to this precision would not end within the server's limit of 120 s; ask for a coarser one",
         "precision", nullptr, 422, "too_long"},
    };
    for (const auto& c : cases) {
        const auto res = fetch(server.port, "POST", "/api/equity", c.body);
        EXPECT_EQ(res.status, c.status) << c.body;
        const Json want{{"code", c.code}, {"message", c.message}, {"field", c.field}, {"player", c.player}};
        EXPECT_EQ(Json::parse(res.body, nullptr, false)["error"], want) << res.body;
    }
    // A precision the time limit allows is run.
    EXPECT_EQ(fetch(server.port, "POST", "/api/equity", R"({"ranges": ["AA", "KK"], "precision": 0.01})").status, 200);
}

// What the page reads besides runs: cards, the classes each "N%" takes, a range cut to a class, a job's estimate.
TEST(WebApi, ReadsCardsCountsTopSharesFiltersAndEstimatesJobs) {
    TestServer server;
    const auto post = [&](const auto& to, const auto& body) { return fetch(server.port, "POST", to, body); };
    EXPECT_EQ(Json::parse(post("/api/cards", R"({"board": "Kh9c 8d", "dead": "As"})").body),
              (Json{{"board", {"Kh", "9c", "8d"}}, {"dead", {"As"}}}));
    const Json slip = Json::parse(post("/api/cards", R"({"board": "10h"})").body)["error"];
    EXPECT_EQ(Json({slip["message"], slip["field"]}), Json({"board: card \"10h\": write T for ten", "board"}));

    for (const Ranking rules : {Ranking::straight, Ranking::trips}) {
        const std::string query = rules == Ranking::trips ? "?rules=trips" : "";
        const Json ordering = Json::parse(fetch(server.port, "GET", "/api/ordering" + query).body);
        EXPECT_EQ(ordering["rules"], rules_name(rules));
        ASSERT_EQ(ordering["top_class_counts"].size(), 100u);
        for (const int percent : {1, 7, 15, 100})
            EXPECT_EQ(ordering["top_class_counts"][percent - 1], top_class_count(percent, rules));
        EXPECT_EQ(ordering["classes"][7]["class"], rules == Ranking::trips ? "99" : "AKo");
    }
    EXPECT_EQ(Json::parse(fetch(server.port, "GET", "/api/ordering?rules=omaha").body)["error"]["field"], "rules");

    const auto kept = post("/api/filter", R"({"range": "KK, 99, AQ", "board": "Kh9h8d", "filter": "set",
                                              "rules": "trips"})");
    EXPECT_EQ(Json::parse(kept.body), (Json{{"range", "KdKc, KsKc, KsKd, 9d9c, 9s9c, 9s9d"}, {"combos", 6}}));
    // The engine's refusals keep their fields; the range is this route's "range".
    for (const auto& [body, field] : {std::pair{R"({"range": "KK", "board": "Kh9h8d", "filter": "sets"})", "filter"},
                                      std::pair{R"({"range": "KQs+x", "board": "Kh9h8d", "filter": "set"})", "range"},
                                      std::pair{R"({"range": "KK", "board": "Kh9h8d", "filter": 7})", "filter"}}) {
        const auto res = post("/api/filter", body);
        EXPECT_EQ(res.status, 400) << body;
        EXPECT_EQ(Json::parse(res.body)["error"]["field"], field) << body;
    }

    // The estimate alone starts nothing, and says what the job's reply says.
    const auto estimate = post("/api/estimate", long_spot);
    ASSERT_EQ(estimate.status, 200) << estimate.body;
    EXPECT_TRUE(board_snapshot(server.board).queued.empty() && board_snapshot(server.board).running.empty());
    const auto job = post("/api/jobs", long_spot);
    ASSERT_EQ(job.status, 202) << job.body;
    const Json reply = Json::parse(job.body);
    for (const char* key : {"method", "estimate_seconds", "limit_seconds"})
        EXPECT_EQ(Json::parse(estimate.body)[key], reply[key]) << key;
    EXPECT_EQ(reply["method"], "exact");
    EXPECT_GT(reply["estimate_seconds"].get<double>(), 0.0);
    EXPECT_EQ(reply["limit_seconds"], server.board.limits.max_seconds);
    stop_jobs(server.board);
}

// Only the client that queued a job knows its id, and only a GET of its stream follows it.
TEST(WebApi, JobsAreReachedOnlyByTheirOwnClient) {
    TestServer server;
    const std::string id = long_job(server.port, small_spot), other = long_job(server.port, small_spot);
    EXPECT_NE(id, other); // and each an id the routes take: its stream is read below
    for (const std::string& job : {id, other})
        ASSERT_TRUE(wait_for_job(server.board, *find_job(server.board, job), std::chrono::seconds(10)));
    // HEAD says the stream is there, and neither cancels the job nor takes its answer.
    const std::string target = "/api/jobs/" + id + "/events";
    EXPECT_EQ(fetch(server.port, "HEAD", target).header("Content-Type"), "text/event-stream");
    testing::EventStream stream(server.port, target);
    stream.read_until([](const std::string&) { return false; }); // to its end
    // The event's data is the answer a POST gets, on one line.
    const auto result = event_data(stream.events(), "result");
    ASSERT_EQ(result.size(), 1u) << stream.events();
    EXPECT_EQ(without_time(result[0]), without_time(fetch(server.port, "POST", "/api/equity", small_spot).body));
    EXPECT_EQ(fetch(server.port, "HEAD", target).status, 404); // delivered, forgotten

    // A synchronous run is in the board's work, but under no id.
    std::jthread sync([&] { fetch(server.port, "POST", "/api/equity", long_spot); });
    EXPECT_TRUE(runs(server.board, {""}));
    stop_jobs(server.board);
}

// Routing by exact path and method, a body read only when typed JSON, and only our own Host and Origin (which are
// ours is request_test.cpp's; here, that the routes ask).
TEST(WebApi, RoutesByPathMethodTypeHostAndOrigin) {
    TestServer server;
    const std::string port = std::to_string(server.port), id = long_job(server.port);
    const testing::Headers cross = {{"Sec-Fetch-Site", "cross-site"}};
    const struct {
        std::string method, target;
        testing::Headers headers;
        int status;
        std::string allow = "";
    } cases[] = {
        {"OPTIONS", "/api/range", {}, 405, "POST"},
        {"DELETE", "/api/version", {}, 405, "GET, HEAD"},
        {"POST", "/", {}, 405, "GET, HEAD"},
        {"GET", "/api/jobs/" + std::string(32, 'a'), {}, 405, "DELETE"},
        {"DELETE", "/api/jobs/j1", {}, 404}, // not an id
        {"GET", "/api/jobs/" + std::string(32, 'a') + "/events/x", {}, 404},
        {"GET", "/js/api.js?v=2", {}, 200},
        {"GET", "/js/../index.html", {}, 404},
        {"GET", "/" + std::string(2000, 'a'), {}, 414}, // refused before any lookup
        {"POST", "/api/equity", {{"Content-Type", "text/plain"}}, 415},
        {"POST", "/api/equity", {{"Content-Type", "Application/JSON; charset=utf-8"}}, 200},
        {"GET", "/api/version", {{"Host", "evil.example:" + port}}, 403},
        {"POST", "/api/equity", {{"Origin", "http://evil.example"}}, 403},
        {"POST", "/api/equity", {{"Origin", "http://127.0.0.1:" + port}}, 200},
        {"GET", "/api/version", cross, 403},
        {"GET", "/favicon.svg", cross, 200}, // the page's files are public: an image tag elsewhere may load the icon
        {"DELETE", "/api/jobs/" + id, {{"Origin", "http://127.0.0.1:1"}}, 403}, // and the job runs on
    };
    for (const auto& c : cases) {
        const auto res = fetch(server.port, c.method, c.target, c.method == "POST" ? small_spot : "", c.headers);
        SCOPED_TRACE(c.method + " " + c.target.substr(0, 60) + (c.headers.empty() ? "" : " " + c.headers[0].second));
        EXPECT_EQ(res.status, c.status);
        EXPECT_EQ(res.header("Allow"), c.allow);
    }
    EXPECT_EQ(job_snapshot(server.board, *find_job(server.board, id)).stop, StopReason::none);
    EXPECT_EQ(fetch(server.port, "GET", "/api/version").header("Access-Control-Allow-Origin"), "");
}

TEST(WebApi, CancelsAJobAtOnce) {
    TestServer server;
    const std::string id = long_job(server.port);
    testing::EventStream stream(server.port, "/api/jobs/" + id + "/events", std::chrono::seconds(10));
    const auto job = find_job(server.board, id);
    // Cancelled in the midst of the engine's run, once the stream has told of work done.
    ASSERT_TRUE(job && stream.read_until(work_done)) << stream.events();
    const auto sent = Clock::now();
    EXPECT_EQ(fetch(server.port, "DELETE", "/api/jobs/" + id).status, 204);
    ASSERT_TRUE(wait_for_job(server.board, *job, std::chrono::seconds(10)));
    const double stopped = seconds_since(sent);
    std::printf("cancel: the job's threads stopped %.1f ms after DELETE was sent\n", 1000 * stopped);
    EXPECT_LT(stopped, 0.5); // 0.1 s is the aim; a loaded machine gets some slack
    EXPECT_TRUE(stream.read_until(testing::says("event: error\ndata: {\"error\":{\"code\":\"cancelled\"")))
        << stream.events();
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
    ASSERT_TRUE(runs(server.board, {}));
    const double stopped = seconds_since(gone);
    std::printf("hang-up: the run stopped %.1f ms after its client closed the connection\n", 1000 * stopped);
    EXPECT_LT(stopped, 0.2);
}

TEST(WebApi, AbandonedOrOverlongJobsStopAndABusyServerSaysSo) {
    TestServer server({.cores = 1, .queued = 1, .max_seconds = 0.3});
    // A client that goes away cancels its job.
    const std::string id = long_job(server.port);
    testing::EventStream(server.port, "/api/jobs/" + id + "/events").read_until(testing::says("event: "));
    const auto job = find_job(server.board, id);
    ASSERT_TRUE(job && wait_for_job(server.board, *job, std::chrono::seconds(5)));
    EXPECT_NE(job_snapshot(server.board, *job).stop, StopReason::none);

    // One running, one queued: a third long one waits for nobody and is refused.
    const std::string first = long_job(server.port);
    ASSERT_TRUE(runs(server.board, {first}));
    const std::string second = long_job(server.port);
    const auto busy = fetch(server.port, "POST", "/api/jobs", long_spot);
    EXPECT_EQ(busy.status, 503);
    EXPECT_EQ(busy.header("Retry-After"), "1");
    EXPECT_EQ(Json::parse(busy.body)["error"]["code"], "busy");
    for (const std::string& queued : {second, first}) fetch(server.port, "DELETE", "/api/jobs/" + queued);

    // The time limit stops a run that is watched.
    const auto limited = fetch(server.port, "POST", "/api/equity", long_spot);
    EXPECT_EQ(limited.status, 422) << limited.body;
    EXPECT_EQ(Json::parse(limited.body)["error"]["code"], "time_limit");
}

// The watchdog sleeps until its nearest deadline: a job queued while it has none still has it woken in time.
TEST(WebApi, AJobNobodyAsksAboutIsCancelled) {
    TestServer server({.unwatched_seconds = 0.2});
    const auto job = find_job(server.board, long_job(server.port));
    ASSERT_TRUE(job && wait_for_job(server.board, *job, std::chrono::seconds(10)));
    EXPECT_EQ(job_snapshot(server.board, *job).stop, StopReason::cancelled);
}

// Jobs hold no more threads than the cores; a lasting one leaves a core to quick spots, even with the queue full.
TEST(WebApi, JobsShareTheCoresAndQuickSpotsGoFirst) {
    TestServer server({.cores = 2, .queued = 1});
    const long before = testing::process_status("Threads:");
    const std::string greedy = R"({"ranges": ["random", "random", "random"], "method": "exact", "threads": 256})";
    // One after the other: the queue holds one, and a loaded machine may not have started the first yet.
    const std::string first = long_job(server.port, greedy);
    testing::EventStream stream(server.port, "/api/jobs/" + first + "/events", std::chrono::seconds(10));
    // The engine's threads are up once the stream tells of work done.
    ASSERT_TRUE(stream.read_until(work_done)) << stream.events();
    long_job(server.port, greedy); // waits: a lasting job leaves the other core to quick spots
    const long threads = testing::process_status("Threads:");
    std::printf("threads: %ld before, %ld while a job asks for 256 on 2 cores\n", before, threads);
    EXPECT_LE(threads, before + 1);
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
