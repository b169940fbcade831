// The range library through its C header. The figures are tested with the engine; here, what the C layer adds:
// refusals with their status, message, field and player, the accessors and their bounds, the stop and progress,
// and reports sized as snprintf sizes and alike with the command's.

#include <gtest/gtest.h>

#include <varnolith/range.h>

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "run_program.hpp"

namespace {

using Result = std::unique_ptr<varnolith_range_result, decltype(&varnolith_range_free)>;
using O = varnolith_range_options&;
using Set = std::function<void(O)>;
using Write = std::function<std::size_t(char* out, std::size_t size)>;

Result compute(const char* const* ranges, int32_t num_ranges, const char* board, const char* dead,
               const varnolith_range_options* options) {
    return {varnolith_range_compute(ranges, num_ranges, board, dead, options), varnolith_range_free};
}

// The defaults as `set` changes them.
varnolith_range_options with(const Set& set) {
    varnolith_range_options options;
    varnolith_range_options_init(&options);
    set(options);
    return options;
}

// Monte Carlo of `trials` deals seeded with `seed`.
varnolith_range_options simulation(int64_t trials, uint64_t seed) {
    return with([&](O o) {
        o.method = VARNOLITH_RANGE_MONTE_CARLO, o.trials = trials, o.seed_given = 1, o.seed = seed;
    });
}

// Each refusal with its status, message, field and player; the estimate refuses alike; the limits told hold.
TEST(RangeExports, RefuseBadInputWithStatusMessageFieldAndPlayer) {
    const auto players = static_cast<int32_t>(varnolith_range_limit(VARNOLITH_RANGE_LIMIT_PLAYERS));
    const auto threads = static_cast<int32_t>(varnolith_range_limit(VARNOLITH_RANGE_LIMIT_THREADS));
    EXPECT_EQ(varnolith_range_limit(2), 0); // no such limit
    enum : int32_t { ok = VARNOLITH_RANGE_OK, argument = VARNOLITH_RANGE_ERROR_ARGUMENT };
    struct Call {
        std::vector<const char*> ranges = {"AhKd", "QsQc"};
        int32_t count = 2;
        const char* board = "6c7d8h";
        const char* dead = nullptr;
        varnolith_range_options record = simulation(100, 1);
        int64_t later[2] = {}; // room for the fields a newer header would add after ours
        O o() { return record; }
    };
    const struct {
        std::function<void(Call&)> set;
        int32_t status;
        std::string message; // its beginning
        std::string field = "";
        int32_t player = -1;
    } cases[] = {
        {[](Call& c) { c.count = 1; }, argument, "between 2 and 15 ranges are needed, got 1", "ranges"},
        {[&](Call& c) { c.ranges.assign(players, "random"), c.count = players; }, ok, ""},
        {[&](Call& c) { c.ranges.assign(players + 1, "random"), c.count = players + 1; }, argument,
         "between 2 and 15 ranges are needed, got 16", "ranges"},
        {[](Call& c) { c.ranges.clear(); }, argument, "no ranges: the pointer is null", "ranges"},
        {[](Call& c) { c.ranges[1] = nullptr; }, argument, "range 2: the pointer is null", "ranges", 1},
        // The engine's refusals (its own tests hold each), a kind for each status; user text quoted.
        {[](Call& c) { c.ranges[1] = "AK\x1bQ"; }, VARNOLITH_RANGE_ERROR_RANGE, "range 2: item \"AK\\x1bQ\"", "ranges",
         1},
        {[](Call& c) { c.board = "6c7x"; }, VARNOLITH_RANGE_ERROR_CARDS, "board: card \"7x\"", "board"},
        {[](Call& c) { c.ranges[1] = "KK", c.board = "KsKc"; }, VARNOLITH_RANGE_ERROR_NO_DEAL, "no compatible deal",
         "ranges", 1}, // KhKd alone is left, and it holds Kd
        {[](Call& c) { c.o().method = 3; }, argument, "options: unknown method 3", "method"},
        {[](Call& c) { c.o().size = sizeof(std::size_t); }, argument, "options: a record of"},
        // A record from an older header is read up to its size (the options record's tests show no further),
        // one from a newer header up to the fields known here.
        {[](Call& c) { c.o().size = offsetof(varnolith_range_options, seed_given), c.o().trials = 0,
                       c.o().precision = 2; }, argument, "options: the precision must be above 0 and below 1, got 2",
         "precision"},
        {[&](Call& c) { c.o().threads = threads; }, ok, ""},
        {[&](Call& c) { c.o().size = sizeof(Call::record) + sizeof(Call::later), c.o().threads = threads + 1; },
         argument, "options: " + std::to_string(threads + 1) + " threads", "threads"},
        {[](Call& c) { c.o().by_card = 1; }, argument, "a next-card table is exact", "by_card"},
        {[](Call& c) { c.o().rules = 2; }, VARNOLITH_RANGE_ERROR_RULES, "options: unknown rules 2", "rules"},
        // Exact reads no precision (the defaults pass in every other test).
        {[](Call& c) { c.o().method = VARNOLITH_RANGE_EXACT, c.o().precision = 0; }, ok, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.message);
        Call c;
        test.set(c);
        const char* const* ranges = c.ranges.empty() ? nullptr : c.ranges.data();
        const Result r = compute(ranges, c.count, c.board, c.dead, &c.o());
        EXPECT_EQ(varnolith_range_status(r.get()), test.status);
        double seconds = -1;
        EXPECT_EQ(varnolith_range_estimate(ranges, c.count, c.board, c.dead, &c.o(), &seconds), test.status);
        EXPECT_EQ(seconds == 0, test.status != ok) << seconds; // written either way
        const std::string message = varnolith_range_message(r.get());
        EXPECT_EQ(message.rfind(test.message, 0), 0u) << message;
        EXPECT_EQ(message.empty(), test.status == ok);
        EXPECT_EQ(varnolith_range_error_field(r.get()), test.field);
        EXPECT_EQ(varnolith_range_error_player(r.get()), test.player);
    }
}

// A host stops a long call from another thread (here, the first time it hears how far the call got).
TEST(RangeExports, StopWhenAskedAndTellProgress) {
    varnolith_range_stop* stop = varnolith_range_stop_new();
    ASSERT_NE(stop, nullptr);
    const varnolith_range_options options = with([&](O o) {
        o.method = VARNOLITH_RANGE_EXACT, o.stop = stop, o.progress_context = stop;
        o.progress = [](double, void* s) { varnolith_range_stop_request(static_cast<varnolith_range_stop*>(s)); };
    });
    const char* ranges[] = {"random", "random", "random"};
    // The time the call would take, told without taking it.
    double seconds = -1;
    EXPECT_EQ(varnolith_range_estimate(ranges, 3, nullptr, nullptr, &options, &seconds), VARNOLITH_RANGE_OK);
    EXPECT_GT(seconds, 10.0);
    EXPECT_EQ(varnolith_range_estimate(ranges, 3, nullptr, nullptr, &options, nullptr), VARNOLITH_RANGE_ERROR_ARGUMENT);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(varnolith_range_status(compute(ranges, 3, nullptr, nullptr, &options).get()),
              VARNOLITH_RANGE_ERROR_CANCELLED);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0); // not minutes
    // A stop once requested stays so.
    const char* quick[] = {"AhKd", "QsQc"};
    EXPECT_EQ(varnolith_range_status(compute(quick, 2, "6c7d8h", nullptr, &options).get()),
              VARNOLITH_RANGE_ERROR_CANCELLED);
    varnolith_range_stop_free(stop);
    varnolith_range_stop_request(nullptr);
    varnolith_range_stop_free(nullptr);
}

TEST(RangeExports, FailedOrMissingResultsGiveNoFiguresAndNoReport) {
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
        EXPECT_EQ(varnolith_range_report(r, VARNOLITH_RANGE_TABLE, 0, text, sizeof text), 0u);
        EXPECT_EQ(std::string(text), "");
    }
    EXPECT_EQ(varnolith_range_status(nullptr), VARNOLITH_RANGE_ERROR_MEMORY);
    EXPECT_EQ(varnolith_range_error_field(nullptr) + std::to_string(varnolith_range_error_player(nullptr)), "-1");
    varnolith_range_free(nullptr);
    varnolith_range_options_init(nullptr);
}

// The figures, the next-card table and the orderings by index, within their bounds.
TEST(RangeExports, GiveTheFiguresTheNextCardTableAndTheOrdering) {
    const char* ranges[] = {"AhKd", "QsQc, JJ"};
    const varnolith_range_options by_card = with([](O o) { o.by_card = 1; });
    const Result result = compute(ranges, 2, "6c 7d 8h", "Jc", &by_card);
    varnolith_range_result* r = result.get();
    ASSERT_EQ(varnolith_range_status(r), VARNOLITH_RANGE_OK) << varnolith_range_message(r);
    EXPECT_EQ(varnolith_range_method(r), VARNOLITH_RANGE_EXACT);
    EXPECT_EQ(varnolith_range_players(r), 2);
    EXPECT_EQ(varnolith_range_combos(r, 1), 4); // QsQc and the three JJ left by the dead Jc
    char text[5];
    double weight = 0, equity = 0;
    EXPECT_EQ(varnolith_range_hand(r, 1, 0, text, &weight, &equity), VARNOLITH_RANGE_OK);
    EXPECT_EQ(std::string(text) + " " + std::to_string(weight), "QsQc 0.250000");
    EXPECT_NEAR(equity, 179.0 / 378, 1e-12); // of the turns and rivers the dead Jc leaves, never a split
    EXPECT_EQ(varnolith_range_hand(r, 1, 4, text, &weight, &equity), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_TRUE(std::isnan(varnolith_range_equity(r, 2)) && std::isnan(varnolith_range_category(r, 0, 9)));
    // Rows read in order and for the right player add up to the spot (the sums are the engine's).
    ASSERT_EQ(varnolith_range_next_cards(r), 30); // 36 less the flop, the dead Jc and AhKd, held in every deal
    double total = 0, weighted = 0, probability = 0;
    for (int32_t i = 0; i < 30 && varnolith_range_next_card(r, i, nullptr, &probability) == VARNOLITH_RANGE_OK; ++i)
        total += probability, weighted += probability * varnolith_range_next_card_equity(r, i, 0);
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
    EXPECT_EQ(varnolith_range_rules_ordering(VARNOLITH_RANGE_RULES_TRIPS, 7, name, &combos, nullptr),
              VARNOLITH_RANGE_OK);
    EXPECT_EQ(std::string(name), "99");
    EXPECT_EQ(varnolith_range_rules_ordering(2, 0, name, nullptr, nullptr), VARNOLITH_RANGE_ERROR_RULES);
}

// User text quoted as the refusals quote it (the table above has one); copied as the reports are, tested below.
TEST(RangeExports, ShowUserTextAsTheMessagesQuoteIt) {
    const std::string typed("Q\nQ\\\t\x1b\xc2\x85\xff\xc3\x84\0!", 13);
    const std::string expected = "Q\\nQ\\\\\\t\\x1b\\u0085\\xff\xc3\x84\\x00!";
    char out[64];
    EXPECT_EQ(varnolith_range_shown(typed.data(), typed.size(), out, sizeof out), expected.size());
    EXPECT_EQ(std::string(out), expected);
    EXPECT_EQ(varnolith_range_shown(nullptr, 5, out, sizeof out), 0u);
    EXPECT_EQ(std::string(out), "");
}

// What the command prints to standard output for `arguments`.
std::string command_output(const std::string& arguments) {
    return varnolith::testing::run_program(std::string("'") + VARNOLITH_COMMAND_PATH + "' " + arguments).out;
}

// A report read as a host reads it: its size asked first, then written into one byte more.
std::string report(const Write& write) {
    std::string text(write(nullptr, 0), '\0');
    EXPECT_EQ(write(text.data(), text.size() + 1), text.size()); // the NUL after the last character is the string's own
    return text;
}

std::string report(const varnolith_range_result* result, int32_t form, int32_t shown) {
    return report([&](char* out, std::size_t size) { return varnolith_range_report(result, form, shown, out, size); });
}

// The answer, its next-card table and the ordering as the command prints them, sized as snprintf sizes.
TEST(RangeExports, PrintAsTheCommandDoes) {
    const char* ranges[] = {"AKs", "QQ+, AK", "15%"};
    const varnolith_range_options options = simulation(2000, 5);
    const Result r = compute(ranges, 2, "6c7d8h", "Ts", &options);
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK);
    EXPECT_EQ(varnolith_range_seed(r.get()), 5u);
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

    const varnolith_range_options by_card = with([](O o) { o.by_card = 1; });
    const Result three = compute(ranges, 3, "6c7d8h", "Ts", &by_card);
    EXPECT_EQ(report(three.get(), VARNOLITH_RANGE_TABLE, VARNOLITH_RANGE_SHOW_CATEGORIES),
              command_output("--by-card --categories AKs 'QQ+, AK' 15% -b 6c7d8h -d Ts | grep -v '^Elapsed  '"));
    for (const int32_t form : {VARNOLITH_RANGE_TABLE, VARNOLITH_RANGE_JSON})
        EXPECT_EQ(report([&](char* out, std::size_t size) { return varnolith_range_ordering_report(form, out, size); }),
                  command_output(form == VARNOLITH_RANGE_JSON ? "--ordering --json" : "--ordering"));

    // Too small a buffer: a terminated prefix, and the length wanted; the byte after it untouched.
    char out[12];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(varnolith_range_report(r.get(), VARNOLITH_RANGE_TABLE, both, out, 8), table.size());
    EXPECT_EQ(std::string(out), table.substr(0, 7));
    EXPECT_EQ(out[8], 'x');
    EXPECT_EQ(varnolith_range_report(r.get(), VARNOLITH_RANGE_TABLE, both, out, 1), table.size());
    EXPECT_EQ(std::string(out), "");
    // An unknown form, flag or rules write an empty text (a failed result above, no flops in the postflop tests).
    const auto refused = [&](const Write& write) {
        std::memset(out, 'x', sizeof out);
        return write(out, sizeof out) == 0 && out[0] == '\0';
    };
    for (const auto& ask : {std::pair{-1, 0}, {VARNOLITH_RANGE_JSON, 8}}) // form, shown
        EXPECT_TRUE(refused([&](char* o, auto n) {
            return varnolith_range_report(r.get(), ask.first, ask.second, o, n);
        }));
    EXPECT_TRUE(refused([](char* o, auto n) { return varnolith_range_ordering_report(VARNOLITH_RANGE_CSV, o, n); }));
    EXPECT_TRUE(refused([](char* o, auto n) { return varnolith_range_rules_ordering_report(2, 0, o, n); })); // a table
}

} // namespace
