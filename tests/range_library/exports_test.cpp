// The range library through its C header. The figures are tested with the
// engine; here, what the C layer adds: refusals with their status and message,
// the options record read by its size, the accessors of a failed result, and
// seeded runs alike on any host thread.

#include <gtest/gtest.h>

#include <varnolith/range.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "run_program.hpp"

namespace {

using Result = std::unique_ptr<varnolith_range_result, decltype(&varnolith_range_free)>;

Result compute(const char* const* ranges, int32_t num_ranges, const char* board, const char* dead,
               const varnolith_range_options* options) {
    return {varnolith_range_compute(ranges, num_ranges, board, dead, options), varnolith_range_free};
}

// Monte Carlo of `trials` deals, seeded with `seed` when it is not 0.
varnolith_range_options simulation(int64_t trials, uint64_t seed = 0) {
    varnolith_range_options options;
    varnolith_range_options_init(&options);
    options.method = VARNOLITH_RANGE_MONTE_CARLO;
    options.trials = trials;
    options.seed_given = seed != 0;
    options.seed = seed;
    return options;
}

// Room for the fields a newer header would add after ours.
struct Grown {
    varnolith_range_options known;
    int64_t later[2];
};

struct Call {
    std::vector<const char*> ranges = {"AhKd", "QsQc"};
    const char* board = "6c7d8h";
    const char* dead = nullptr;
    std::function<void(varnolith_range_options&)> set = [](varnolith_range_options&) {};
};

// Each refusal with its status and message, and the field and player it
// concerns for a host to point at (where `field` is given).
TEST(RangeExports, RefuseBadInputWithStatusMessageFieldAndPlayer) {
    using O = varnolith_range_options&;
    const struct {
        Call call;
        int32_t num_ranges;
        int32_t status;
        std::string message; // its beginning
        const char* field = nullptr;
        int32_t player = -1;
    } cases[] = {
        {{}, 1, VARNOLITH_RANGE_ERROR_ARGUMENT, "between 2 and 15 ranges are needed, got 1"},
        {{}, 16, VARNOLITH_RANGE_ERROR_ARGUMENT, "between 2 and 15 ranges are needed, got 16"},
        {{}, -1, VARNOLITH_RANGE_ERROR_ARGUMENT, "between 2 and 15 ranges are needed, got -1"},
        {{.ranges = {}}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT, "no ranges: the pointer is null"},
        {{.ranges = {"AhKd", nullptr}}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT, "range 2: the pointer is null"},
        // The engine's refusals, each kind with its status; their words are the engine's.
        {{.ranges = {"AhKd", "QQs"}}, 2, VARNOLITH_RANGE_ERROR_RANGE, "range 2: item \"QQs\"", "ranges", 1},
        {{.board = "6c7x"}, 2, VARNOLITH_RANGE_ERROR_CARDS, "board: card \"7x\"", "board"},
        {{.dead = "9s 8h"}, 2, VARNOLITH_RANGE_ERROR_CARDS, "card 8h is given twice among the board and dead cards",
         "dead"},
        {{.ranges = {"AA", "AA", "AA"}, .board = "Ad"}, 3, VARNOLITH_RANGE_ERROR_NO_DEAL, "no compatible deal", "ranges"},
        // KhKd alone is left, and it holds Kd.
        {{.ranges = {"AhKd", "KK"}, .board = "KsKc"}, 2, VARNOLITH_RANGE_ERROR_NO_DEAL, "no compatible deal", "ranges", 1},
        {{.set = [](O o) { o.method = 3; }}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT, "options: unknown method 3"},
        {{.set = [](O o) { o.trials = -1; }}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT, "options: a negative trial count",
         "trials"},
        {{.set = [](O o) { o.trials = 0; o.precision = 1; }}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT,
         "options: the precision must be above 0 and below 1, got 1"},
        {{.set = [](O o) { o.threads = -1; }}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT, "options: -1 threads"},
        {{.set = [](O o) { o.size = 0; }}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT, "options: a record of 0 bytes"},
        {{.set = [](O o) { o.size = sizeof(std::size_t); }}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT, "options: a record of"},
        // A record from an older header is read up to its size, one from a newer header up to the fields known here.
        {{.set = [](O o) { o.size = offsetof(varnolith_range_options, seed_given); o.threads = 9'999; }}, 2,
         VARNOLITH_RANGE_OK, ""},
        {{.set = [](O o) { o.size = offsetof(varnolith_range_options, seed_given); o.trials = 0; o.precision = 2; }}, 2,
         VARNOLITH_RANGE_ERROR_ARGUMENT, "options: the precision must be above 0 and below 1, got 2"},
        {{.set = [](O o) { o.size = sizeof(Grown); o.threads = 9'999; }}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT,
         "options: 9999 threads"},
        {{.set = [](O o) { o.by_card = 1; }}, 2, VARNOLITH_RANGE_ERROR_ARGUMENT, "a next-card table is exact"},
        {{.set = [](O o) { o.rules = 2; }}, 2, VARNOLITH_RANGE_ERROR_RULES, "options: unknown rules 2", "rules"},
        // Exact reads no precision; the defaults pass.
        {{.set = [](O o) { o.method = VARNOLITH_RANGE_EXACT; o.precision = 0; }}, 2, VARNOLITH_RANGE_OK, ""},
        {{.set = [](O o) { varnolith_range_options_init(&o); }}, 2, VARNOLITH_RANGE_OK, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Grown record{simulation(100), {}};
        c.call.set(record.known);
        const Result r = compute(c.call.ranges.empty() ? nullptr : c.call.ranges.data(), c.num_ranges, c.call.board,
                                 c.call.dead, &record.known);
        EXPECT_EQ(varnolith_range_status(r.get()), c.status);
        const std::string message = varnolith_range_message(r.get());
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
        EXPECT_EQ(message.empty(), c.status == VARNOLITH_RANGE_OK);
        if (c.field != nullptr) {
            EXPECT_EQ(std::string(varnolith_range_error_field(r.get())), c.field);
            EXPECT_EQ(varnolith_range_error_player(r.get()), c.player);
        }
    }
    EXPECT_EQ(std::string(varnolith_range_error_field(nullptr)), "");
    EXPECT_EQ(varnolith_range_error_player(nullptr), -1);
}

// A host stops a long call from another thread, and hears how far it got.
TEST(RangeExports, StopWhenAskedAndTellProgress) {
    varnolith_range_stop* stop = varnolith_range_stop_new();
    ASSERT_NE(stop, nullptr);
    struct Heard {
        double last = 0;
        bool backwards = false;
        int calls = 0;
    } heard;
    varnolith_range_options options;
    varnolith_range_options_init(&options);
    options.method = VARNOLITH_RANGE_EXACT;
    options.stop = stop;
    options.progress = [](double done, void* context) {
        auto& h = *static_cast<Heard*>(context);
        h.backwards |= done < h.last;
        h.last = done;
        ++h.calls;
    };
    options.progress_context = &heard;
    const char* ranges[] = {"random", "random", "random"};
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        varnolith_range_stop_request(stop);
    });
    const auto start = std::chrono::steady_clock::now();
    const Result r = compute(ranges, 3, nullptr, nullptr, &options);
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stopper.join();
    EXPECT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_ERROR_CANCELLED);
    EXPECT_LT(waited, 2.0); // the whole run takes minutes
    EXPECT_GT(heard.calls, 0);
    EXPECT_FALSE(heard.backwards);
    // A stop once requested stays so.
    const char* quick[] = {"AhKd", "QsQc"};
    EXPECT_EQ(varnolith_range_status(compute(quick, 2, "6c7d8h", nullptr, &options).get()),
              VARNOLITH_RANGE_ERROR_CANCELLED);
    varnolith_range_stop_free(stop);
    varnolith_range_stop_request(nullptr);
    varnolith_range_stop_free(nullptr);
}

// The time a call would take, without taking it.
TEST(RangeExports, EstimateWithoutComputing) {
    varnolith_range_options options;
    varnolith_range_options_init(&options);
    options.method = VARNOLITH_RANGE_EXACT;
    const char* three[] = {"random", "random", "random"};
    double seconds = -1;
    EXPECT_EQ(varnolith_range_estimate(three, 3, nullptr, nullptr, &options, &seconds), VARNOLITH_RANGE_OK);
    EXPECT_GT(seconds, 10.0);
    const char* two[] = {"AhKd", "QsQc"};
    const char* aces[] = {"AA", "AA", "AA"};
    EXPECT_EQ(varnolith_range_estimate(aces, 3, "Ad", nullptr, &options, &seconds), VARNOLITH_RANGE_ERROR_NO_DEAL);
    EXPECT_EQ(seconds, 0.0);
    EXPECT_EQ(varnolith_range_estimate(two, 2, nullptr, nullptr, &options, nullptr), VARNOLITH_RANGE_ERROR_ARGUMENT);
}

TEST(RangeExports, FailedOrMissingResultsGiveNoFigures) {
    const char* ranges[] = {"AhKd", "QQs"};
    const Result failed = compute(ranges, 2, nullptr, nullptr, nullptr);
    for (const varnolith_range_result* r : {failed.get(), static_cast<varnolith_range_result*>(nullptr)}) {
        EXPECT_NE(varnolith_range_status(r), VARNOLITH_RANGE_OK);
        EXPECT_NE(std::string(varnolith_range_message(r)), "");
        EXPECT_EQ(varnolith_range_method(r), 0);
        EXPECT_EQ(varnolith_range_deals(r) + varnolith_range_boards(r) + varnolith_range_seed(r), 0u);
        EXPECT_EQ(varnolith_range_trials(r) + varnolith_range_players(r) + varnolith_range_combos(r, 0), 0);
        EXPECT_TRUE(std::isnan(varnolith_range_equity(r, 0)) && std::isnan(varnolith_range_win(r, 0)) &&
                    std::isnan(varnolith_range_tie(r, 0)) && std::isnan(varnolith_range_stderr(r, 0)) &&
                    std::isnan(varnolith_range_category(r, 0, 0)));
        char text[5] = "keep";
        double weight = -1;
        EXPECT_EQ(varnolith_range_hand(r, 0, 0, text, &weight, nullptr), VARNOLITH_RANGE_ERROR_ARGUMENT);
        EXPECT_EQ(std::string(text) + std::to_string(weight), "keep-1.000000");
    }
    EXPECT_EQ(varnolith_range_status(nullptr), VARNOLITH_RANGE_ERROR_MEMORY);
    varnolith_range_free(nullptr);
    varnolith_range_options_init(nullptr);
}

// The exact figures, their breakdown and the next-card table row by row; the
// ordering that percentages use.
TEST(RangeExports, GiveTheFiguresTheNextCardTableAndTheOrdering) {
    const char* ranges[] = {"AhKd", "QsQc, JJ"};
    varnolith_range_options options;
    varnolith_range_options_init(&options);
    options.by_card = 1;
    const Result result = compute(ranges, 2, "6c 7d 8h", "Jc", &options);
    varnolith_range_result* r = result.get();
    ASSERT_EQ(varnolith_range_status(r), VARNOLITH_RANGE_OK) << varnolith_range_message(r);
    EXPECT_EQ(varnolith_range_method(r), VARNOLITH_RANGE_EXACT);
    EXPECT_EQ(varnolith_range_players(r), 2);
    EXPECT_EQ(varnolith_range_combos(r, 1), 4); // QsQc and the three JJ left by the dead Jc
    char text[5];
    double weight = 0, equity = 0;
    EXPECT_EQ(varnolith_range_hand(r, 1, 0, text, &weight, &equity), VARNOLITH_RANGE_OK);
    EXPECT_EQ(std::string(text) + " " + std::to_string(weight), "QsQc 0.250000");
    // QsQc against AhKd wins 179 of the 378 turns and rivers the dead Jc leaves, never splitting.
    EXPECT_NEAR(equity, 179.0 / 378, 1e-12);
    EXPECT_EQ(varnolith_range_hand(r, 1, 4, text, &weight, &equity), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_TRUE(std::isnan(varnolith_range_equity(r, 2)) && std::isnan(varnolith_range_category(r, 0, 9)));

    ASSERT_EQ(varnolith_range_next_cards(r), 30); // 36 less the flop, the dead Jc and AhKd, held in every deal
    double total = 0, weighted = 0;
    for (int32_t i = 0; i < varnolith_range_next_cards(r); ++i) {
        double probability = 0;
        ASSERT_EQ(varnolith_range_next_card(r, i, nullptr, &probability), VARNOLITH_RANGE_OK);
        total += probability;
        weighted += probability * varnolith_range_next_card_equity(r, i, 0);
    }
    EXPECT_NEAR(total, 1.0, 1e-12);
    EXPECT_NEAR(weighted, varnolith_range_equity(r, 0), 1e-12);
    char card[3] = "";
    EXPECT_EQ(varnolith_range_next_card(r, 0, card, nullptr), VARNOLITH_RANGE_OK);
    EXPECT_EQ(std::string(card), "6d");
    EXPECT_EQ(varnolith_range_next_card(r, 30, card, nullptr), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_TRUE(std::isnan(varnolith_range_next_card_equity(r, 0, 2)));

    char name[4] = "";
    int32_t combos = 0;
    EXPECT_EQ(varnolith_range_ordering(0, name, &combos, &equity), VARNOLITH_RANGE_OK);
    EXPECT_EQ(std::string(name) + " " + std::to_string(combos), "AA 6");
    EXPECT_NEAR(equity, 0.7307578, 1e-6);
    EXPECT_EQ(varnolith_range_ordering(81, name, &combos, &equity), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_EQ(varnolith_range_ordering(-1, nullptr, nullptr, nullptr), VARNOLITH_RANGE_ERROR_ARGUMENT);
    // Each rule set has its own: pairs rise under trips.
    EXPECT_EQ(varnolith_range_rules_ordering(VARNOLITH_RANGE_RULES_TRIPS, 7, name, &combos, nullptr), VARNOLITH_RANGE_OK);
    EXPECT_EQ(std::string(name), "99");
    EXPECT_EQ(varnolith_range_rules_ordering(2, 0, name, nullptr, nullptr), VARNOLITH_RANGE_ERROR_RULES);
    EXPECT_EQ(varnolith_range_rules_ordering_report(2, VARNOLITH_RANGE_TABLE, name, sizeof name), 0u);
}

TEST(RangeExports, SeededMonteCarloIsTheSameOnManyHostThreads) {
    const char* ranges[] = {"QQ+, AKs", "random", "TT-77"};
    std::vector<std::vector<double>> figures(6);
    {
        std::vector<std::jthread> hosts;
        for (std::size_t h = 0; h < figures.size(); ++h)
            hosts.emplace_back([&, h] {
                varnolith_range_options options = simulation(20'000, 42);
                options.threads = static_cast<int32_t>(h % 3 + 1);
                const Result r = compute(ranges, 3, "Kh9c8d", nullptr, &options);
                for (int32_t p = 0; p < 3; ++p)
                    figures[h].insert(figures[h].end(), {varnolith_range_equity(r.get(), p),
                                                         varnolith_range_stderr(r.get(), p),
                                                         varnolith_range_category(r.get(), p, 1)});
                figures[h].push_back(static_cast<double>(varnolith_range_seed(r.get())));
            });
    }
    EXPECT_EQ(figures[0].back(), 42.0);
    EXPECT_FALSE(std::isnan(figures[0][0]));
    for (const auto& f : figures) EXPECT_EQ(f, figures[0]);
}

// The limits told are the ones a call is held to.
TEST(RangeExports, TellTheLimitsTheyHoldACallTo) {
    const int64_t players = varnolith_range_limit(VARNOLITH_RANGE_LIMIT_PLAYERS);
    const int64_t threads = varnolith_range_limit(VARNOLITH_RANGE_LIMIT_THREADS);
    ASSERT_GT(players, 2);
    ASSERT_GT(threads, 0);
    EXPECT_EQ(varnolith_range_limit(-1), 0);
    EXPECT_EQ(varnolith_range_limit(2), 0);
    const std::vector<const char*> ranges(static_cast<std::size_t>(players) + 1, "random");
    varnolith_range_options options = simulation(100, 1);
    double seconds = 0;
    EXPECT_EQ(varnolith_range_estimate(ranges.data(), static_cast<int32_t>(players), "", nullptr, &options, &seconds),
              VARNOLITH_RANGE_OK);
    EXPECT_EQ(varnolith_range_estimate(ranges.data(), static_cast<int32_t>(players) + 1, "", nullptr, &options,
                                       &seconds),
              VARNOLITH_RANGE_ERROR_ARGUMENT);
    for (const int64_t asked : {threads, threads + 1}) {
        options.threads = static_cast<int32_t>(asked);
        const Result r = compute(ranges.data(), 2, "6c7d8h", nullptr, &options);
        EXPECT_EQ(std::string(varnolith_range_error_field(r.get())), asked > threads ? "threads" : "") << asked;
    }
}

// User text quoted as the refusals quote it, cut to the room given.
TEST(RangeExports, ShowUserTextAsTheMessagesQuoteIt) {
    const std::string typed("Q\nQ\\\t\x1b\xc2\x85\xff\xc3\x84\0!", 13);
    const std::string expected = "Q\\nQ\\\\\\t\\x1b\\u0085\\xff\xc3\x84\\x00!";
    char out[64];
    EXPECT_EQ(varnolith_range_shown(typed.data(), typed.size(), out, sizeof out), expected.size());
    EXPECT_EQ(std::string(out), expected);
    EXPECT_EQ(varnolith_range_shown(typed.data(), typed.size(), out, 4), expected.size());
    EXPECT_EQ(std::string(out), "Q\\n");
    EXPECT_EQ(varnolith_range_shown(typed.data(), typed.size(), nullptr, 0), expected.size());
    EXPECT_EQ(varnolith_range_shown(nullptr, 5, out, sizeof out), 0u);
    EXPECT_EQ(std::string(out), "");
    // The rendering is the one a refusal quotes.
    const std::string range = "AK\x1bQ";
    const char* ranges[] = {"AA", range.c_str()};
    const varnolith_range_options options = simulation(100, 1);
    const Result r = compute(ranges, 2, nullptr, nullptr, &options);
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_ERROR_RANGE);
    varnolith_range_shown(range.data(), range.size(), out, sizeof out);
    EXPECT_NE(std::string(varnolith_range_message(r.get())).find(out), std::string::npos)
        << varnolith_range_message(r.get());
}

// What the command prints to standard output for `arguments`.
std::string command_output(const std::string& arguments) {
    return varnolith::testing::run_program(std::string("'") + VARNOLITH_COMMAND_PATH + "' " + arguments).out;
}

std::string report(const varnolith_range_result* result, int32_t form, int32_t shown) {
    std::string text(varnolith_range_report(result, form, shown, nullptr, 0), '\0');
    char* out = text.data(); // the NUL after the last character is the string's own
    EXPECT_EQ(varnolith_range_report(result, form, shown, out, text.size() + 1), text.size());
    return text;
}

// The answer, its next-card table when the call asked for it, and the ordering,
// each as the command prints it.
TEST(RangeExports, PrintAsTheCommandDoes) {
    const char* ranges[] = {"AKs", "QQ+, AK", "15%"};
    const varnolith_range_options options = simulation(2000, 5);
    const Result r = compute(ranges, 2, "6c7d8h", "Ts", &options);
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK);
    const int32_t both = VARNOLITH_RANGE_SHOW_CATEGORIES | VARNOLITH_RANGE_SHOW_BY_HAND;
    const std::string table = report(r.get(), VARNOLITH_RANGE_TABLE, both);
    EXPECT_EQ(table, command_output("--trials 2000 --seed 5 --categories --by-hand AKs 'QQ+, AK' -b 6c7d8h -d Ts |"
                                    " grep -v '^Elapsed  '"));
    // The Elapsed line when asked, and the JSON, the time in it aside.
    const std::string timed = report(r.get(), VARNOLITH_RANGE_TABLE, both | VARNOLITH_RANGE_SHOW_ELAPSED);
    EXPECT_EQ(timed.find("\nElapsed  "), table.find("\n\n"));
    EXPECT_EQ(timed.size(), table.size() + std::string("Elapsed  0.000 s\n").size());
    const std::string json = report(r.get(), VARNOLITH_RANGE_JSON, 0);
    const std::string timing = "\n  \"elapsed_seconds\": ";
    const auto untimed = [&](std::string text) {
        const std::size_t at = text.find(timing);
        return at == std::string::npos ? text : text.erase(at, text.find('\n', at + 1) - at);
    };
    ASSERT_NE(json.find(timing), std::string::npos);
    EXPECT_EQ(untimed(json), untimed(command_output("--json --trials 2000 --seed 5 AKs 'QQ+, AK' -b 6c7d8h -d Ts")));
    EXPECT_EQ(json.find("\"categories\""), std::string::npos);

    varnolith_range_options by_card;
    varnolith_range_options_init(&by_card);
    by_card.by_card = 1;
    const Result three = compute(ranges, 3, "6c7d8h", "Ts", &by_card);
    EXPECT_EQ(report(three.get(), VARNOLITH_RANGE_TABLE, VARNOLITH_RANGE_SHOW_CATEGORIES),
              command_output("--by-card --categories AKs 'QQ+, AK' 15% -b 6c7d8h -d Ts | grep -v '^Elapsed  '"));
    for (const int32_t form : {VARNOLITH_RANGE_TABLE, VARNOLITH_RANGE_JSON}) {
        std::string text(varnolith_range_ordering_report(form, nullptr, 0), '\0');
        EXPECT_EQ(varnolith_range_ordering_report(form, text.data(), text.size() + 1), text.size());
        EXPECT_EQ(text, command_output(form == VARNOLITH_RANGE_JSON ? "--ordering --json" : "--ordering"));
    }
}

TEST(RangeExports, ReportsAreSizedAsSnprintfSizesItsOutput) {
    const char* ranges[] = {"AhKd", "QsQc"};
    const Result r = compute(ranges, 2, "6c7d8h", "Ts", nullptr);
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK);
    const std::string whole = report(r.get(), VARNOLITH_RANGE_TABLE, 0);
    EXPECT_EQ(whole, "Board    6c 7d 8h\n"
                     "Dead     Ts\n"
                     "Method   exact, 1 deal of hole cards, 378 boards each\n"
                     "\n"
                     "Player  Range  Combos  Equity %   Win %  Tie %\n"
                     "     1  AhKd        1    53.175  50.000  3.175\n"
                     "     2  QsQc        1    46.825  43.651  3.175\n");
    // Too small a buffer: a terminated prefix, and the length wanted; the byte after it untouched.
    char out[12];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(varnolith_range_report(r.get(), VARNOLITH_RANGE_TABLE, 0, out, 8), whole.size());
    EXPECT_EQ(std::string(out), whole.substr(0, 7));
    EXPECT_EQ(out[8], 'x');
    EXPECT_EQ(varnolith_range_report(r.get(), VARNOLITH_RANGE_TABLE, 0, out, 1), whole.size());
    EXPECT_EQ(std::string(out), "");
    EXPECT_EQ(varnolith_range_report(r.get(), VARNOLITH_RANGE_TABLE, 0, nullptr, 0), whole.size());
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(varnolith_range_ordering_report(VARNOLITH_RANGE_TABLE, out, 6),
              varnolith_range_ordering_report(VARNOLITH_RANGE_TABLE, nullptr, 0));
    EXPECT_EQ(std::string(out), "Place");

    // Refused: no result, a failed one, an unknown form or flag; an empty text written.
    const char* bad[] = {"AhKd", "QsQs"};
    const Result failed = compute(bad, 2, nullptr, nullptr, nullptr);
    ASSERT_NE(varnolith_range_status(failed.get()), VARNOLITH_RANGE_OK);
    const auto refused = [&](const varnolith_range_result* result, int32_t form, int32_t shown) {
        std::memset(out, 'x', sizeof out);
        return varnolith_range_report(result, form, shown, out, sizeof out) == 0 && out[0] == '\0';
    };
    EXPECT_TRUE(refused(nullptr, VARNOLITH_RANGE_TABLE, 0));
    EXPECT_TRUE(refused(failed.get(), VARNOLITH_RANGE_TABLE, 0));
    EXPECT_TRUE(refused(r.get(), 2, 0));
    EXPECT_TRUE(refused(r.get(), -1, 0));
    EXPECT_TRUE(refused(r.get(), VARNOLITH_RANGE_JSON, 8));
    EXPECT_EQ(varnolith_range_report(nullptr, VARNOLITH_RANGE_TABLE, 0, nullptr, 0), 0u);
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(varnolith_range_ordering_report(2, out, sizeof out), 0u);
    EXPECT_EQ(out[0], '\0');
}

} // namespace
