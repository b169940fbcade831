// Eight host threads call all four exports and the range library at once, over and over. Each answer must be the
// one the same call gives alone: an enumeration or a seeded range run bit for bit, a Monte Carlo estimate a whole
// set of shares near the exact equity of its own spot, never a torn or borrowed one.

#include <gtest/gtest.h>

#include <varnolith/range.h>
#include <varnolith/varnolith.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <latch>
#include <thread>

#include "test_cards.hpp"

namespace {

using varnolith::testing::records;

// AKs against "QQ+, AK" on 6c 7d 8h: the first player's equity.
double range_equity(const varnolith_range_options* options) {
    const char* ranges[] = {"AKs", "QQ+, AK"};
    varnolith_range_result* r = varnolith_range_compute(ranges, 2, "6c 7d 8h", nullptr, options);
    const double equity = varnolith_range_equity(r, 0);
    varnolith_range_free(r);
    return equity;
}

struct Spot {
    std::vector<int32_t> hands, board;
    int32_t players, cards; // hands, and board cards
    std::vector<double> alone; // enumerated before any thread starts
};

TEST(LibraryStress, EightHostThreadsCallEveryExportAtOnce) {
    std::vector<Spot> spots;
    for (const auto& [hands, board] : {std::pair{"Ah Kd Qs Qc", "6c 7d 8h"}, {"Ah Kh Qs Qc 9s 8s", "Th 7c Jd"},
                                       {"6c 6d 7c 7d As Ks Tc 9c", "Qh Jh 8s"}, {"Kc Kd 9h 8h", "6s Tc Jh Qd"}}) {
        Spot s{records(hands), records(board), 0, 0, {}};
        s.players = static_cast<int32_t>(s.hands.size() / 4), s.cards = static_cast<int32_t>(s.board.size() / 2);
        s.alone.resize(s.hands.size() / 4);
        compute_equity_enumeration(s.hands.data(), s.players, s.board.data(), s.cards, s.alone.data());
        spots.push_back(s);
    }
    const auto royal = records("Ts Js Qs Ks As 6c 7d");
    varnolith_range_options seeded;
    varnolith_range_options_init(&seeded);
    seeded.method = VARNOLITH_RANGE_MONTE_CARLO, seeded.trials = 2'000, seeded.seed_given = 1, seeded.seed = 7;
    const double seeded_alone = range_equity(&seeded);
    std::atomic<int> faults{0};
    std::latch start(8);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::vector<std::jthread> hosts;
    for (int h = 0; h < 8; ++h)
        hosts.emplace_back([&, h] {
            start.arrive_and_wait();
            // Neighbouring threads make different calls; each makes every kind at least once.
            for (int i = 0; i < 5'000 && (i < 6 || std::chrono::steady_clock::now() < deadline); ++i) {
                const Spot& s = spots[static_cast<std::size_t>(h + i) % spots.size()];
                std::vector<double> shares(s.alone.size());
                double total = 0;
                switch ((h + i) % 6) {
                case 0:
                    compute_equity_enumeration(s.hands.data(), s.players, s.board.data(), s.cards, shares.data());
                    faults += shares != s.alone;
                    break;
                case 1:
                    compute_equity_montecarlo_ultra_fast(s.hands.data(), s.players, s.board.data(), s.cards, 2'000 + i,
                                                         shares.data());
                    // 2,000 trials: a standard error of at most 0.0112, so 0.12 is over ten of them.
                    for (std::size_t p = 0; p < shares.size(); ++p)
                        faults += !(std::fabs(shares[p] - s.alone[p]) <= 0.12), total += shares[p];
                    faults += !(std::fabs(total - 1.0) <= 1e-9);
                    break;
                case 2: faults += evaluate_hand_direct(royal.data(), 7) != 8'000'014; break;
                case 3: set_seed(static_cast<uint32_t>(h * 1'000 + i)); break;
                // Exactly 30774 of 2 * 84 * 406 shares by the default method, and the seeded run.
                case 4: faults += !(std::fabs(range_equity(nullptr) - 30774.0 / 68208) <= 1e-12); break;
                default: faults += range_equity(&seeded) != seeded_alone;
                }
            }
        });
    hosts.clear(); // joins them
    EXPECT_EQ(faults, 0);
}

} // namespace
