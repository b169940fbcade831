// Range equity against its definition: the weighted average, over the
// compatible deals, of every completion of the board.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>
#include <optional>
#include <stdexcept>

#include "card_text.hpp"
#include "enumeration.hpp"
#include "evaluator.hpp"
#include "ranges/equity.hpp"
#include "ranges/exact/estimate.hpp"
#include "ranges/answer.hpp"
#include "ranges/next_card.hpp"
#include "ranges/request.hpp"

#include "spot_text.hpp"

namespace varnolith {
namespace {

using testing::make;
using testing::Spot;

// Every compatible deal of the ranges with every completion of the board. Each
// deal has as many completions, so a figure is the sum over all of them weighted
// by the deal, divided by `total`.
struct Reference {
    using Figures = std::array<double, 2 + category_count>; // equity, winning alone, each category
    const RangeSpot& spot;
    const std::vector<Card> deck = full_deck();
    std::vector<Card> cards, board;  // the cards out of the deck; the board being completed
    std::vector<std::size_t> chosen; // each player's combination, by its place in the range
    uint64_t deals = 0;
    double total = 0;
    std::vector<Figures> sums;
    std::map<std::pair<std::size_t, std::size_t>, std::pair<double, double>> hands; // (player, place) -> share, weight

    explicit Reference(const RangeSpot& s) : spot(s), cards(s.board), board(s.board), sums(s.ranges.size()) {
        cards.insert(cards.end(), s.dead.begin(), s.dead.end());
        walk(1.0, 0);
    }

    bool out(Card c) const { return std::find(cards.begin(), cards.end(), c) != cards.end(); }

    // The players' hands in turn, then the cards to come.
    void walk(double weight, std::size_t from) {
        if (chosen.size() < spot.ranges.size()) {
            const Range& range = spot.ranges[chosen.size()];
            for (std::size_t i = 0; i < range.size(); ++i) {
                const HoleHand h = range[i].hand;
                if (out(h.first) || out(h.second)) continue;
                cards.insert(cards.end(), {h.first, h.second});
                chosen.push_back(i);
                deals += chosen.size() == spot.ranges.size();
                walk(weight * range[i].weight, 0);
                chosen.pop_back();
                cards.resize(cards.size() - 2);
            }
        } else if (board.size() < 5) {
            for (std::size_t i = from; i < deck.size(); ++i) {
                if (out(deck[i])) continue;
                board.push_back(deck[i]);
                walk(weight, i + 1);
                board.pop_back();
            }
        } else {
            settle(weight);
        }
    }

    void settle(double weight) {
        std::vector<HandValue> values;
        for (std::size_t p = 0; p < chosen.size(); ++p) {
            const HoleHand& h = spot.ranges[p][chosen[p]].hand;
            std::vector<Card> seven = {h.first, h.second};
            seven.insert(seven.end(), board.begin(), board.end());
            values.push_back(evaluate_seven(seven));
            sums[p][static_cast<std::size_t>(2 + values.back() / 1'000'000)] += weight;
        }
        const HandValue best = *std::max_element(values.begin(), values.end());
        const auto sharers = static_cast<double>(std::count(values.begin(), values.end(), best));
        total += weight;
        for (std::size_t p = 0; p < chosen.size(); ++p) {
            const double share = values[p] == best ? weight / sharers : 0;
            sums[p][0] += share;
            if (sharers == 1) sums[p][1] += share;
            hands[{p, chosen[p]}].first += share;
            hands[{p, chosen[p]}].second += weight;
        }
    }
};

const Spot exact_spots[] = {
    {{"AK, QQ:0.5", "JJ+, AQs"}, "6c 7d 8h", ""},
    {{"AhKd", "99-77"}, "", "Qs"},
    {{"KQs, 66:0.25", "AA, KK, T9s", "J9s+"}, "Th 7s 6d", "Ac"},
    {{"QQ, AKs", "AKo:0.5, 88"}, "Kh 8d 6s Tc", ""},
    {{"random", "QQ+, AKs, T9s:0.5, AhQh"}, "Ah 7h 8h Kd", ""}, // flushes of one and of two hole cards
    {{"AA", "KK:0.5", "QQ, JJ, AQs", "TT, 99, 76s"}, "6c 7d 8h 9s Tc", ""}, // four: two, three or four share the board
};

TEST(RangeEquityExact, IsTheWeightedAverageOfTheCompatibleDeals) {
    for (const Spot& s : exact_spots) {
        const RangeSpot spot = make(s);
        Reference reference(spot);
        const RangeResult result = range_equity_exact(spot);
        EXPECT_EQ(result.deals, reference.deals) << s.ranges[0];
        for (std::size_t p = 0; p < spot.ranges.size(); ++p) {
            SCOPED_TRACE(s.ranges[p]);
            const RangePlayerResult& player = result.players[p];
            const Reference::Figures& sums = reference.sums[p];
            EXPECT_NEAR(player.equity, sums[0] / reference.total, 1e-12);
            EXPECT_NEAR(player.win, sums[1] / reference.total, 1e-12);
            EXPECT_NEAR(player.win + player.tie, player.equity, 1e-12);
            for (int c = 0; c < category_count; ++c)
                EXPECT_NEAR(player.categories[c], sums[2 + c] / reference.total, 1e-12) << c;
            // The live combinations, in the order of the range, each with its weight and equity.
            double weights = 0;
            std::size_t live = 0;
            for (std::size_t i = 0; i < spot.ranges[p].size(); ++i) {
                if (live == player.hands.size() || player.hands[live].hand != spot.ranges[p][i].hand) continue;
                const HandEquity& h = player.hands[live++];
                const auto [share, w] = reference.hands[{p, i}];
                EXPECT_NEAR(h.weight, w / reference.total, 1e-12);
                if (w > 0) EXPECT_NEAR(h.equity, share / w, 1e-12);
                else EXPECT_TRUE(std::isnan(h.equity));
                weights += h.weight;
            }
            EXPECT_EQ(live, player.hands.size());
            EXPECT_EQ(player.combos, static_cast<int>(live));
            EXPECT_NEAR(weights, 1.0, 1e-12); // no combination with weight left out
        }
    }
}

// The error a call throws, or none.
template <typename Call>
std::optional<RangeError> error_of(Call call) {
    try {
        call();
    } catch (const RangeError& e) {
        return e;
    }
    return std::nullopt;
}

// Every figure is a probability and every set of shares adds up to 1, also
// where weights summed in different orders round apart: on this spot 8d8c
// wins every board and once came out with an equity of 1.0000000000000002.
TEST(RangeEquity, EveryFigureLiesInZeroToOne) {
    const RangeSpot spot = make({{"90%", "5%-21%, JJ:0.6"}, "6s7d8h8s", ""});
    for (const RangeResult& r : {range_equity_exact(spot, {.threads = 1}), range_equity_exact(spot, {.threads = 2}),
                                 range_equity_monte_carlo(spot, {.threads = 2, .trials = 20000, .seed = 3})}) {
        double pot = 0;
        for (const RangePlayerResult& p : r.players) {
            pot += p.equity;
            for (const double x : {p.equity, p.win, p.tie}) EXPECT_TRUE(x >= 0 && x <= 1) << x;
            double shares = 0;
            for (const HandEquity& h : p.hands) {
                shares += h.weight;
                EXPECT_LE(h.weight, 1.0);
                EXPECT_TRUE(std::isnan(h.equity) || (h.equity >= 0 && h.equity <= 1)) << hand_text(h.hand);
            }
            EXPECT_NEAR(shares, 1.0, 1e-12);
            EXPECT_NEAR(std::accumulate(p.categories.begin(), p.categories.end(), 0.0), 1.0, 1e-12);
        }
        EXPECT_NEAR(pot, 1.0, 1e-12);
    }
}

// What a spot says is wrong, and about whom: read from text, and, where its
// cards read, refused as it is by every method and the run's plan; a spot no
// deal fits says why.
TEST(RangeEquity, FaultsNameTheirKindFieldAndPlayer) {
    using enum ErrorKind;
    using enum ErrorField;
    const struct {
        Spot spot;
        ErrorKind kind;
        ErrorField field;
        int player;
        bool read = true; // the text reader refuses it too: a single range or no deal is the drivers' to refuse
        const char* message = nullptr;
    } cases[] = {
        {{{"AA", "QQs"}, "", ""}, range, ranges, 1},           {{{"AA", "KK", "  "}, "", ""}, range, ranges, 2},
        {{{"AA"}, "", ""}, usage, ranges, -1, false},           {{{"AA", "KK"}, "6c7x", ""}, cards, board, -1},
        {{{"AA", "KK"}, "6c7c8c9cTcJc", ""}, cards, board, -1}, {{{"AA", "KK"}, "", "6c 6c"}, cards, dead, -1},
        {{{"AA", "KK"}, "6c 7c 8c", "7c"}, cards, dead, -1},
        {{{"AA", "AA", "AA"}, "Ad", ""}, no_deal, ranges, -1, false, // five aces would be needed
         "no compatible deal: 3 players need 3 hands at once, and the cards their ranges hold make at most 1"},
        {{{"AhKd", "KK"}, "Ks Kc", "Kh"}, no_deal, ranges, 1, false, // the second range is blocked entirely
         "no compatible deal: every combination of range 2 is blocked by Ks Kc on the board and Kh dead"},
        {{{"AhKd", "AhQs"}, "", ""}, no_deal, ranges, 1, false,
         "no compatible deal: Ah is in the hands of players 1 and 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.spot.ranges.back()) + " | " + c.spot.board + " | " + c.spot.dead);
        const std::vector<std::string> texts(c.spot.ranges.begin(), c.spot.ranges.end());
        std::vector<std::optional<RangeError>> errors;
        if (c.read) errors.push_back(spot_from_text(texts, c.spot.board, c.spot.dead).error);
        try {
            const RangeSpot spot = make(c.spot);
            errors.insert(errors.end(), {error_of([&] { range_equity_exact(spot); }),
                                         error_of([&] { range_equity_monte_carlo(spot, {.trials = 100}); }),
                                         error_of([&] { plan_range_run(spot, RunChoices{}); })});
        } catch (const std::invalid_argument&) {} // text that does not read is the reader's alone
        for (const auto& e : errors) {
            ASSERT_TRUE(e);
            EXPECT_EQ(e->kind, c.kind);
            EXPECT_EQ(e->field, c.field);
            EXPECT_EQ(e->player, c.player);
            if (c.message) { EXPECT_STREQ(e->what(), c.message); }
        }
    }
    for (const auto& [field, name] : {std::pair{ranges, "ranges"}, {board, "board"}, {dead, "dead"}})
        EXPECT_EQ(field_name(field), name);
}

TEST(RangeEquity, ChoosesExactOnlyWhenItIsQuick) {
    using enum RangeMethod;
    const auto choice = [](const Spot& given, const Machine& machine) {
        const PreparedSpot spot = prepare_spot(make(given));
        return choose_range_method(spot, exact_work(spot), 0, machine);
    };
    // Priced on the two-core machine the costs were measured on, whatever runs the test. Settled one board per
    // suit class, two wide ranges preflop take a fraction of a second, three of them half a minute, four on a flop
    // minutes; deciding never counts for long, as for fifteen wide ranges on a river.
    const std::vector<const char*> fifteen(15, "random");
    const std::pair<Spot, RangeMethod> on_two_cores[] = {
        {{{"AA", "KK"}, "", ""}, exact}, {{{"random", "random"}, "", ""}, exact}, {{{"AhKd", "random"}, "", ""}, exact},
        {{{"random", "random", "random"}, "", ""}, monte_carlo}, {{{"AK", "QQ+", "T9s+"}, "6c 7d 8h", ""}, exact},
        {{{"random", "random", "random", "random"}, "6c 7d 8h", ""}, monte_carlo},
        {{fifteen, "6c 7d 8h 9s Tc", ""}, monte_carlo},
    };
    for (const auto& [s, method] : on_two_cores) EXPECT_EQ(choice(s, Machine{2, Costs{}}), method) << s.ranges[0];
    // The choice is the machine's: sixty-four cores settle three wide ranges within the budget, and on a machine
    // where every run takes longer than the budget to start even the smallest spot is simulated.
    EXPECT_EQ(choice(on_two_cores[3].first, Machine{64, Costs{}}), exact);
    Costs slow;
    slow.run = 2 * exact_budget_seconds;
    EXPECT_EQ(choice(on_two_cores[0].first, Machine{2, slow}), monte_carlo);
    // Fifteen hands that the cards left cannot deal: the driver refuses them.
    const RangeSpot too_many = make({fifteen, "6c 7d 8h 9s Tc", "Jc Jd"});
    EXPECT_EQ(choose_range_method(too_many), exact);
    EXPECT_THROW(range_equity_exact(too_many), std::runtime_error);
}

// The run a request makes, priced as it will be chosen: fewer threads price
// an exact run higher, and a run that would be exact on every core may be
// simulated on one.
TEST(RangeEquity, EstimatesTheRunARequestMakes) {
    const PreparedSpot wide = prepare_spot(make({{"random", "random", "AK, QQ+"}, "6c 7d 8h", ""}));
    // Simulated when given trials or a precision, else as the default method decides.
    const auto run = [&](int threads, int64_t trials = 0, std::optional<double> precision = {}, bool by_card = false) {
        RunChoices choices{{}, threads, trials, precision, {}};
        if (trials > 0 || precision) choices.method = RangeMethod::monte_carlo;
        return estimate_answer(wide, choices, {.by_card = by_card});
    };
    const AnswerEstimate every_core = run(0), one = run(1);
    EXPECT_GE(one.all_threads, every_core.all_threads);
    EXPECT_EQ(one.one_thread, one.all_threads);
    EXPECT_EQ(every_core.method == RangeMethod::exact, every_core.all_threads <= exact_budget_seconds);
    // A next-card table makes the run exact, and costs about as much again.
    const AnswerEstimate table = run(1, 0, {}, true);
    EXPECT_EQ(table.method, RangeMethod::exact);
    EXPECT_NEAR(table.one_thread, 2 * estimate_exact_seconds(wide, 1), 1e-9);
    EXPECT_TRUE(std::isinf(run(0, 0, 1e-300).one_thread));
    EXPECT_LT(run(0, 1000).all_threads, 0.01);
    // The default method decides on the threads the run gets.
    const RangeSpot spot = make({{"random", "random"}, "", ""});
    EXPECT_EQ(choose_range_method(spot, 1) == RangeMethod::exact,
              estimate_exact_seconds(spot, 1) <= exact_budget_seconds);
}

// Each wide range added multiplies the work, and the estimate must say so
// where its count of the deals is cut short too: fifteen random hands had been
// estimated at under three hours, fewer than six.
TEST(RangeEquity, EstimatesGrowWithEveryWideRange) {
    const auto estimate = [](std::size_t players) {
        return estimate_exact_seconds(make({std::vector<const char*>(players, "random"), "", ""}));
    };
    for (std::size_t players = 3; players <= 6; ++players) EXPECT_GT(estimate(players), 10 * estimate(players - 1));
    constexpr double year = 365.25 * 24 * 3600;
    EXPECT_GT(estimate(15), year);
}

// The next card's probabilities add up to 1 and, weighted by them, its
// equities to the spot's; one row against the plain two-hand enumeration.
TEST(NextCardTable, AddsUpToTheSpotAndMatchesThePlainWalk) {
    for (const Spot& s : {Spot{{"QQ+, AK:0.5", "JJ-88, AQs+", "T9s"}, "Kh 9c 8d", ""},
                          Spot{{"AhKd", "QsQc"}, "6c 7d 8h", ""}, Spot{{"random", "AA"}, "Ac 7d 8h 9s", "6c"}}) {
        const RangeSpot spot = make(s);
        const RangeResult whole = range_equity_exact(spot);
        double probability = 0;
        std::vector<double> equity(spot.ranges.size());
        for (const NextCard& row : next_card_table(spot)) {
            probability += row.probability;
            for (std::size_t p = 0; p < equity.size(); ++p) equity[p] += row.probability * row.equity[p];
        }
        EXPECT_NEAR(probability, 1.0, 1e-12) << s.ranges[0];
        for (std::size_t p = 0; p < equity.size(); ++p) EXPECT_NEAR(equity[p], whole.players[p].equity, 1e-12);
    }
    const std::vector<NextCard> table = next_card_table(make({{"AhKd", "QsQc"}, "6c 7d 8h", ""}));
    ASSERT_EQ(table.size(), 29u); // 36 less the flop and the four cards held
    const auto nine = std::find_if(table.begin(), table.end(), [](const NextCard& r) { return r.card == Card{9, 3}; });
    ASSERT_NE(nine, table.end());
    const std::vector<HoleHand> hands{parse_range("AhKd")[0].hand, parse_range("QsQc")[0].hand};
    EXPECT_NEAR(nine->equity[0], enumerate_equity(hands, parse_card_list("6c 7d 8h 9s")).equity(0), 1e-12);
    EXPECT_NEAR(nine->probability, 1.0 / 29, 1e-12);
    for (const char* board : {"", "6c 7d 8h 9s Tc"}) // a flop or a turn only
        EXPECT_THROW(next_card_table(make({{"AA", "KK"}, board, ""})), RangeError);
}

// The run's choices are judged once, here, for every front end.
TEST(RunChoices, EachFaultNamesItsField) {
    using enum ErrorField;
    // Each row is {method, threads, trials, precision, seed}, and the field at fault.
    const std::pair<RunChoices, ErrorField> cases[] = {
        {{{}, 0, 0, {}, {}}, none},          {{{}, max_run_threads, 0, {}, {}}, none},
        {{{}, -1, 0, {}, {}}, threads},      {{{}, max_run_threads + 1, 0, {}, {}}, threads},
        {{{}, 0, -1, {}, {}}, trials},       {{{}, 0, 0, 0.0, {}}, precision},
        {{{}, 0, 0, 1.0, {}}, precision},    {{{}, 0, 0, std::nan(""), {}}, precision},
        {{{}, 0, 100, 0.01, {}}, precision}, // one or the other
        {{RangeMethod::exact, 0, 100, {}, {}}, trials},
    };
    for (const auto& [choices, field] : cases) {
        const auto fault = run_choices_fault(choices);
        EXPECT_EQ(fault ? fault->field : none, field) << choices.threads << " " << choices.trials;
        // A planned run refuses them too, before looking at the spot.
        if (fault) { EXPECT_THROW(plan_range_run(RangeSpot{}, choices), RangeError); }
    }
    EXPECT_EQ(sampling_precision(RunChoices{}), default_range_precision);
}

} // namespace
} // namespace varnolith
