// Range equity against its definition: the weighted average, over the
// compatible deals, of every completion of the board.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <map>
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

TEST(RangeEquityMonteCarlo, StaysWithinFiveStandardErrorsOfExact) {
    std::vector<Spot> spots(std::begin(exact_spots), std::end(exact_spots));
    spots.push_back({{"QQ+:0.5, AKs", "random", "T9s"}, "6c 7d 8h", "9d"}); // any two cards: dealt, not drawn
    for (const Spot& s : spots) {
        const RangeSpot spot = make(s);
        const RangeResult exact = range_equity_exact(spot);
        const RangeResult estimate = range_equity_monte_carlo(spot, {.trials = 200'000, .seed = 11});
        EXPECT_EQ(estimate.trials, 200'000);
        for (std::size_t p = 0; p < spot.ranges.size(); ++p) {
            const RangePlayerResult& e = estimate.players[p];
            EXPECT_GT(e.standard_error, 0.0);
            EXPECT_NEAR(e.equity, exact.players[p].equity, 5 * e.standard_error) << s.ranges[p];
            EXPECT_NEAR(e.categories[1], exact.players[p].categories[1], 0.01) << s.ranges[p];
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
    const SpotFromText read = spot_from_text({"90%", "5%-21%, JJ:0.6"}, "6s7d8h8s", "");
    ASSERT_FALSE(read.error);
    const RangeResult runs[] = {range_equity_exact(read.spot, {.threads = 1}),
                                range_equity_exact(read.spot, {.threads = 2}),
                                range_equity_monte_carlo(read.spot, {.threads = 2, .trials = 20000, .seed = 3})};
    for (const RangeResult& r : runs) {
        double pot = 0;
        for (const RangePlayerResult& p : r.players) {
            for (const double x : {p.equity, p.win, p.tie}) {
                EXPECT_GE(x, 0.0);
                EXPECT_LE(x, 1.0);
            }
            pot += p.equity;
            double shares = 0, categories = 0;
            for (const HandEquity& h : p.hands) {
                shares += h.weight;
                EXPECT_LE(h.weight, 1.0);
                if (!std::isnan(h.equity)) {
                    EXPECT_GE(h.equity, 0.0);
                    EXPECT_LE(h.equity, 1.0) << hand_text(h.hand);
                }
            }
            for (const double c : p.categories) categories += c;
            EXPECT_NEAR(shares, 1.0, 1e-12);
            EXPECT_NEAR(categories, 1.0, 1e-12);
        }
        EXPECT_NEAR(pot, 1.0, 1e-12);
    }
}

TEST(RangeEquity, RefusesSpotsWithoutACompatibleDeal) {
    const Spot impossible[] = {
        {{"AA", "AA", "AA"}, "Ad", ""},  // five aces would be needed
        {{"AhKd", "KK"}, "Ks Kc", "Kh"}, // the second range is blocked entirely
        {{"AhKd", "AhQs"}, "", ""},      // the only deal holds Ah twice
    };
    const struct {
        int player;
        const char* message;
    } refusals[] = {
        {-1, "no compatible deal: 3 players need 3 hands at once, and the cards their ranges hold make at most 1"},
        {1, "no compatible deal: every combination of range 2 is blocked by Ks Kc on the board and Kh dead"},
        {1, "no compatible deal: Ah is in the hands of players 1 and 2"},
    };
    for (std::size_t i = 0; i < std::size(impossible); ++i) {
        const auto& c = refusals[i];
        SCOPED_TRACE(c.message);
        const RangeSpot spot = make(impossible[i]);
        for (const auto& e : {error_of([&] { range_equity_exact(spot); }),
                              error_of([&] { range_equity_monte_carlo(spot, {.trials = 100}); }),
                              error_of([&] { plan_range_run(spot, RunChoices{}); })}) {
            ASSERT_TRUE(e);
            EXPECT_EQ(e->kind, ErrorKind::no_deal);
            EXPECT_EQ(e->field, ErrorField::ranges);
            EXPECT_EQ(e->player, c.player);
            EXPECT_STREQ(e->what(), c.message);
        }
    }
    const Spot malformed[] = {
        {{"AA"}, "", ""}, {{"AA", "KK"}, "6c 7c 8c 9c Tc Jc", ""}, {{"AA", "KK"}, "6c 7c 8c", "7c"}};
    const std::pair<ErrorKind, ErrorField> said[] = {
        {ErrorKind::usage, ErrorField::ranges}, {ErrorKind::cards, ErrorField::board}, {ErrorKind::cards, ErrorField::dead}};
    for (std::size_t i = 0; i < std::size(malformed); ++i) {
        const auto e = error_of([&] { range_equity_exact(make(malformed[i])); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->kind, said[i].first);
        EXPECT_EQ(e->field, said[i].second);
    }
}

// What the text of a spot says is wrong, and about whom.
TEST(RangeEquity, TextFaultsNameTheirFieldAndPlayer) {
    const struct {
        std::vector<std::string> ranges;
        std::string board, dead;
        ErrorKind kind;
        ErrorField field;
        int player;
    } cases[] = {
        {{"AA", "QQs"}, "", "", ErrorKind::range, ErrorField::ranges, 1},
        {{"AA", "KK", "  "}, "", "", ErrorKind::range, ErrorField::ranges, 2},
        {{"AA", "KK"}, "6c7x", "", ErrorKind::cards, ErrorField::board, -1},
        {{"AA", "KK"}, "6c7c8c9cTcJc", "", ErrorKind::cards, ErrorField::board, -1},
        {{"AA", "KK"}, "", "6c 6c", ErrorKind::cards, ErrorField::dead, -1},
        {{"AA", "KK"}, "6c", "6c", ErrorKind::cards, ErrorField::dead, -1},
    };
    for (const auto& c : cases) {
        const SpotFromText read = spot_from_text(c.ranges, c.board, c.dead);
        ASSERT_TRUE(read.error) << c.board;
        EXPECT_EQ(read.error->kind, c.kind);
        EXPECT_EQ(read.error->field, c.field);
        EXPECT_EQ(read.error->player, c.player);
        EXPECT_EQ(field_name(c.field), c.field == ErrorField::board ? "board" : c.field == ErrorField::dead ? "dead" : "ranges");
    }
}

TEST(RangeEquity, ChoosesExactOnlyWhenItIsQuick) {
    // Priced on the two-core machine the costs were measured on, whatever runs the test.
    const Machine two_cores{2, Costs{}};
    const auto choice = [&](const RangeSpot& given, const Machine& machine) {
        const PreparedSpot spot = prepare_spot(given);
        return choose_range_method(spot, exact_work(spot), 0, machine);
    };
    const auto on_two = [&](const RangeSpot& given) { return choice(given, two_cores); };
    EXPECT_EQ(on_two(make({{"AA", "KK"}, "", ""})), RangeMethod::exact);
    // Settled one board per suit class, two wide ranges preflop take a fraction of a second ...
    EXPECT_EQ(on_two(make({{"random", "random"}, "", ""})), RangeMethod::exact);
    EXPECT_EQ(on_two(make({{"AhKd", "random"}, "", ""})), RangeMethod::exact);
    // ... three of them half a minute, four on a flop minutes.
    const RangeSpot three = make({{"random", "random", "random"}, "", ""});
    EXPECT_EQ(on_two(three), RangeMethod::monte_carlo);
    EXPECT_EQ(on_two(make({{"random", "random", "random", "random"}, "6c 7d 8h", ""})), RangeMethod::monte_carlo);
    EXPECT_EQ(on_two(make({{"AK", "QQ+", "T9s+"}, "6c 7d 8h", ""})), RangeMethod::exact);
    // The choice is the machine's: sixty-four cores settle three wide ranges
    // within the budget, and on a machine where every run takes longer than the
    // budget to start even the smallest spot is simulated.
    EXPECT_EQ(choice(three, Machine{64, Costs{}}), RangeMethod::exact);
    Costs slow;
    slow.run = 2 * exact_budget_seconds;
    EXPECT_EQ(choice(make({{"AA", "KK"}, "", ""}), Machine{2, slow}), RangeMethod::monte_carlo);
    // Deciding never counts for long: fifteen wide ranges on a river, and
    // fifteen hands that the cards left cannot deal (the driver refuses them).
    const std::vector<const char*> fifteen(15, "random");
    EXPECT_EQ(on_two(make({fifteen, "6c 7d 8h 9s Tc", ""})), RangeMethod::monte_carlo);
    const RangeSpot too_many = make({fifteen, "6c 7d 8h 9s Tc", "Jc Jd"});
    EXPECT_EQ(choose_range_method(too_many), RangeMethod::exact);
    EXPECT_THROW(range_equity_exact(too_many), std::runtime_error);
}

// The run a request makes, priced as it will be chosen: fewer threads price
// an exact run higher, and a run that would be exact on every core may be
// simulated on one.
TEST(RangeEquity, EstimatesTheRunARequestMakes) {
    const PreparedSpot wide = prepare_spot(make({{"random", "random", "AK, QQ+"}, "6c 7d 8h", ""}));
    RunChoices automatic;
    const AnswerEstimate every_core = estimate_answer(wide, automatic, {});
    automatic.threads = 1;
    const AnswerEstimate one = estimate_answer(wide, automatic, {});
    EXPECT_GE(one.all_threads, every_core.all_threads);
    EXPECT_EQ(one.one_thread, one.all_threads);
    EXPECT_EQ(every_core.method == RangeMethod::exact, every_core.all_threads <= exact_budget_seconds);
    // A next-card table makes the run exact, and costs about as much again.
    const AnswerEstimate table = estimate_answer(wide, automatic, {.by_card = true});
    EXPECT_EQ(table.method, RangeMethod::exact);
    EXPECT_NEAR(table.one_thread, 2 * estimate_exact_seconds(wide, 1), 1e-9);
    RunChoices fine;
    fine.method = RangeMethod::monte_carlo;
    fine.precision = 1e-300;
    EXPECT_TRUE(std::isinf(estimate_answer(wide, fine, {}).one_thread));
    RunChoices trials;
    trials.method = RangeMethod::monte_carlo;
    trials.trials = 1000;
    EXPECT_LT(estimate_answer(wide, trials, {}).all_threads, 0.01);
    // The default method decides on the threads the run gets.
    const RangeSpot spot = make({{"random", "random"}, "", ""});
    EXPECT_EQ(choose_range_method(spot, 1) == RangeMethod::exact, estimate_exact_seconds(spot, 1) <= exact_budget_seconds);
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
    EXPECT_GT(estimate(10), year);
    EXPECT_GT(estimate(15), year);
}

// The next card's probabilities add up to 1 and, weighted by them, its
// equities to the spot's; one row against the plain two-hand enumeration.
TEST(NextCardTable, AddsUpToTheSpotAndMatchesThePlainWalk) {
    for (const Spot& s : {Spot{{"QQ+, AK:0.5", "JJ-88, AQs+", "T9s"}, "Kh 9c 8d", ""},
                          Spot{{"AhKd", "QsQc"}, "6c 7d 8h", ""}, Spot{{"random", "AA"}, "Ac 7d 8h 9s", "6c"}}) {
        const RangeSpot spot = make(s);
        const std::vector<NextCard> table = next_card_table(spot);
        const RangeResult whole = range_equity_exact(spot);
        double probability = 0;
        std::vector<double> equity(spot.ranges.size());
        for (const NextCard& row : table) {
            probability += row.probability;
            for (std::size_t p = 0; p < equity.size(); ++p) equity[p] += row.probability * row.equity[p];
        }
        EXPECT_NEAR(probability, 1.0, 1e-12) << s.ranges[0];
        for (std::size_t p = 0; p < equity.size(); ++p) EXPECT_NEAR(equity[p], whole.players[p].equity, 1e-12);
    }
    const RangeSpot spot = make({{"AhKd", "QsQc"}, "6c 7d 8h", ""});
    const std::vector<NextCard> table = next_card_table(spot);
    ASSERT_EQ(table.size(), 29u); // 36 less the flop and the four cards held
    const auto nine = std::find_if(table.begin(), table.end(), [](const NextCard& r) { return r.card == Card{9, 3}; });
    ASSERT_NE(nine, table.end());
    const std::vector<HoleHand> hands{parse_range("AhKd")[0].hand, parse_range("QsQc")[0].hand};
    const EquityResult plain = enumerate_equity(hands, parse_card_list("6c 7d 8h 9s"));
    EXPECT_NEAR(nine->equity[0], plain.equity(0), 1e-12);
    EXPECT_NEAR(nine->probability, 1.0 / 29, 1e-12);
    EXPECT_THROW(next_card_table(make({{"AA", "KK"}, "", ""})), RangeError);
    EXPECT_THROW(next_card_table(make({{"AA", "KK"}, "6c 7d 8h 9s Tc", ""})), RangeError);
}

// The run's choices are judged once, here, for every front end.
TEST(RunChoices, EachFaultNamesItsField) {
    const struct {
        int threads;
        int64_t trials;
        std::optional<double> precision;
        bool exact;
        ErrorField field;
    } cases[] = {
        {0, 0, {}, false, ErrorField::none},
        {max_run_threads, 0, {}, false, ErrorField::none},
        {max_run_threads + 1, 0, {}, false, ErrorField::threads},
        {-1, 0, {}, false, ErrorField::threads},
        {0, -1, {}, false, ErrorField::trials},
        {0, 0, 0.0, false, ErrorField::precision},
        {0, 0, 1.0, false, ErrorField::precision},
        {0, 0, -0.5, false, ErrorField::precision},
        {0, 0, std::nan(""), false, ErrorField::precision},
        {0, 100, 0.01, false, ErrorField::precision}, // one or the other
        {0, 100, {}, true, ErrorField::trials},
    };
    for (const auto& c : cases) {
        RunChoices choices;
        choices.threads = c.threads;
        choices.trials = c.trials;
        choices.precision = c.precision;
        if (c.exact) choices.method = RangeMethod::exact;
        const auto fault = run_choices_fault(choices);
        EXPECT_EQ(fault ? fault->field : ErrorField::none, c.field) << c.threads << " " << c.trials;
        // A planned run refuses them too, before looking at the spot.
        if (fault) { EXPECT_THROW(plan_range_run(RangeSpot{}, choices), RangeError); }
    }
    EXPECT_EQ(sampling_precision(RunChoices{}), default_range_precision);
}

} // namespace
} // namespace varnolith
