// Range equity against its definition: the weighted average of exact
// hand-against-hand enumerations over the compatible deals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "enumeration.hpp"
#include "evaluator.hpp"
#include "range_equity.hpp"

namespace varnolith {
namespace {

struct Spot {
    std::vector<const char*> ranges;
    const char* board;
    const char* dead;
};

RangeSpot make(const Spot& s) {
    RangeSpot spot{{}, parse_card_list(s.board), parse_card_list(s.dead)};
    for (const char* r : s.ranges) spot.ranges.push_back(parse_range(r));
    return spot;
}

bool disjoint(const std::vector<Card>& cards) {
    for (std::size_t i = 0; i < cards.size(); ++i)
        for (std::size_t j = i + 1; j < cards.size(); ++j)
            if (cards[i] == cards[j]) return false;
    return true;
}

// The plain walk of the board completions when some cards are dead.
EquityResult enumerate_without(const std::vector<HoleHand>& hands, const Board& board, const std::vector<Card>& dead) {
    std::vector<Card> out(board.begin(), board.end()), left;
    out.insert(out.end(), dead.begin(), dead.end());
    for (const HoleHand& h : hands) out.insert(out.end(), {h.first, h.second});
    for (const Card c : full_deck())
        if (std::find(out.begin(), out.end(), c) == out.end()) left.push_back(c);
    EquityResult result{std::vector<int64_t>(hands.size()), std::vector<double>(hands.size()), 0};
    Board full = board;
    auto complete = [&](auto& self, std::size_t from) -> void {
        if (full.size() == 5) {
            std::vector<HandValue> values;
            for (const HoleHand& h : hands) {
                std::vector<Card> seven = {h.first, h.second};
                seven.insert(seven.end(), full.begin(), full.end());
                values.push_back(evaluate_seven(seven));
            }
            const HandValue best = *std::max_element(values.begin(), values.end());
            const auto sharers = std::count(values.begin(), values.end(), best);
            for (std::size_t p = 0; p < hands.size(); ++p) {
                if (values[p] != best) continue;
                if (sharers == 1) ++result.wins[p];
                else result.tie_shares[p] += 1.0 / static_cast<double>(sharers);
            }
            ++result.total;
            return;
        }
        for (std::size_t i = from; i < left.size(); ++i) {
            full.push_back(left[i]);
            self(self, i + 1);
            full.pop_back();
        }
    };
    complete(complete, 0);
    return result;
}

// Walks every deal of the ranges, enumerating each compatible one on its own.
struct Reference {
    double total = 0;
    uint64_t deals = 0;
    std::vector<double> equity, win;
    std::vector<std::vector<double>> hand_share, hand_weight;

    void walk(const RangeSpot& spot, std::vector<HoleHand>& hands, std::vector<std::size_t>& chosen, double weight) {
        const std::size_t p = hands.size();
        if (p == spot.ranges.size()) {
            std::vector<Card> cards(spot.board.begin(), spot.board.end());
            cards.insert(cards.end(), spot.dead.begin(), spot.dead.end());
            for (const HoleHand& h : hands) cards.insert(cards.end(), {h.first, h.second});
            if (!disjoint(cards)) return;
            ++deals;
            const EquityResult exact = spot.dead.empty() ? enumerate_equity(hands, spot.board)
                                                         : enumerate_without(hands, spot.board, spot.dead);
            total += weight;
            for (std::size_t q = 0; q < p; ++q) {
                equity[q] += weight * exact.equity(q);
                win[q] += weight * static_cast<double>(exact.wins[q]) / static_cast<double>(exact.total);
                hand_share[q][chosen[q]] += weight * exact.equity(q);
                hand_weight[q][chosen[q]] += weight;
            }
            return;
        }
        for (std::size_t i = 0; i < spot.ranges[p].size(); ++i) {
            hands.push_back(spot.ranges[p][i].hand);
            chosen.push_back(i);
            walk(spot, hands, chosen, weight * spot.ranges[p][i].weight);
            hands.pop_back();
            chosen.pop_back();
        }
    }

    explicit Reference(const RangeSpot& spot) : equity(spot.ranges.size()), win(spot.ranges.size()) {
        for (const Range& r : spot.ranges) {
            hand_share.emplace_back(r.size());
            hand_weight.emplace_back(r.size());
        }
        std::vector<HoleHand> hands;
        std::vector<std::size_t> chosen;
        walk(spot, hands, chosen, 1.0);
    }
};

const Spot exact_spots[] = {
    {{"AK, QQ:0.5", "JJ+, AQs"}, "6c 7d 8h", ""},
    {{"AhKd", "99-77"}, "", "Qs"},
    {{"KQs, 66:0.25", "AA, KK, T9s", "J9s+"}, "Th 7s 6d", "Ac"},
    {{"QQ, AKs", "AKo:0.5, 88"}, "Kh 8d 6s Tc", ""},
};

TEST(RangeEquityExact, IsTheWeightedAverageOfTheCompatibleDeals) {
    for (const Spot& s : exact_spots) {
        const RangeSpot spot = make(s);
        const Reference reference(spot);
        const RangeResult result = range_equity_exact(spot);
        EXPECT_EQ(result.deals, reference.deals) << s.ranges[0];
        for (std::size_t p = 0; p < spot.ranges.size(); ++p) {
            const RangePlayerResult& player = result.players[p];
            EXPECT_NEAR(player.equity, reference.equity[p] / reference.total, 1e-12) << s.ranges[p];
            EXPECT_NEAR(player.win, reference.win[p] / reference.total, 1e-12) << s.ranges[p];
            EXPECT_NEAR(player.win + player.tie, player.equity, 1e-12);
            EXPECT_NEAR(std::accumulate(player.categories.begin(), player.categories.end(), 0.0), 1.0, 1e-12);
            double weights = 0;
            std::size_t live = 0;
            for (std::size_t i = 0; i < spot.ranges[p].size(); ++i) {
                if (live < player.hands.size() && player.hands[live].hand == spot.ranges[p][i].hand) {
                    const HandEquity& h = player.hands[live++];
                    const double w = reference.hand_weight[p][i];
                    EXPECT_NEAR(h.weight, w / reference.total, 1e-12);
                    if (w > 0) EXPECT_NEAR(h.equity, reference.hand_share[p][i] / w, 1e-12);
                    else EXPECT_TRUE(std::isnan(h.equity));
                    weights += h.weight;
                }
            }
            EXPECT_EQ(live, player.hands.size()); // the live combinations, in the order of the range
            EXPECT_EQ(player.combos, static_cast<int>(live));
            EXPECT_NEAR(weights, 1.0, 1e-12);
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

TEST(RangeEquityMonteCarlo, IsReproducibleWhateverTheThreadCount) {
    const RangeSpot spot = make({{"QQ+, AK", "random", "T9s, 87s:0.5"}, "", ""});
    for (const RangeOptions base : {RangeOptions{.trials = 30'011, .seed = 5}, RangeOptions{.precision = 0.004, .seed = 6}}) {
        std::vector<RangeResult> runs;
        for (const int threads : {1, 2, 3}) {
            RangeOptions options = base;
            options.threads = threads;
            runs.push_back(range_equity_monte_carlo(spot, options));
        }
        for (const RangeResult& run : runs) {
            EXPECT_EQ(run.trials, runs[0].trials);
            for (std::size_t p = 0; p < 3; ++p) {
                EXPECT_EQ(run.players[p].equity, runs[0].players[p].equity);
                EXPECT_EQ(run.players[p].standard_error, runs[0].players[p].standard_error);
            }
        }
        if (base.precision > 0) {
            for (const RangePlayerResult& p : runs[0].players) EXPECT_LE(p.standard_error, base.precision);
        }
    }
}

TEST(RangeEquity, RefusesSpotsWithoutACompatibleDeal) {
    const Spot impossible[] = {
        {{"AA", "AA", "AA"}, "Ad", ""},  // five aces would be needed
        {{"AhKd", "KK"}, "Ks Kc", "Kh"}, // the second range is blocked entirely
        {{"AhKd", "AhQs"}, "", ""},      // the only deal holds Ah twice
    };
    for (const Spot& s : impossible) {
        const RangeSpot spot = make(s);
        EXPECT_THROW(range_equity_exact(spot), std::runtime_error) << s.ranges[0];
        EXPECT_THROW(range_equity_monte_carlo(spot, {.trials = 100}), std::runtime_error) << s.ranges[0];
    }
    const Spot malformed[] = {
        {{"AA"}, "", ""},
        {{"AA", "KK"}, "6c 7c 8c 9c Tc Jc", ""},
        {{"AA", "KK"}, "6c 7c 8c", "7c"},
    };
    for (const Spot& s : malformed) EXPECT_THROW(range_equity_exact(make(s)), std::invalid_argument);
}

TEST(RangeEquity, ChoosesExactOnlyWhenItIsQuick) {
    EXPECT_EQ(choose_range_method(make({{"AA", "KK"}, "", ""})), RangeMethod::exact);
    EXPECT_EQ(choose_range_method(make({{"random", "random"}, "", ""})), RangeMethod::monte_carlo);
    EXPECT_EQ(choose_range_method(make({{"random", "random", "random"}, "6c 7d 8h", ""})), RangeMethod::monte_carlo);
    EXPECT_EQ(choose_range_method(make({{"AK", "QQ+", "T9s+"}, "6c 7d 8h", ""})), RangeMethod::exact);
}

} // namespace
} // namespace varnolith
