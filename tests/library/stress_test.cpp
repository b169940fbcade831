// Eight host threads call all four exports at once, over and over. Each answer
// must be the one the same call gives alone: an enumeration bit for bit, a
// Monte Carlo estimate a whole set of shares near the exact equity of its own
// spot, never a torn or borrowed one.

#include <gtest/gtest.h>

#include <varnolith/varnolith.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <latch>
#include <thread>

#include "card_text.hpp"

namespace {

using varnolith::testing::records;

TEST(LibraryStress, EightHostThreadsCallEveryExportAtOnce) {
    struct Spot {
        std::vector<int32_t> hands, board;
        std::vector<double> alone; // enumerated before any thread starts
    };
    std::vector<Spot> spots;
    for (const auto& [hands, board] : {std::pair{"Ah Kd Qs Qc", "6c 7d 8h"}, {"Ah Kh Qs Qc 9s 8s", "Th 7c Jd"},
                                       {"6c 6d 7c 7d As Ks Tc 9c", "Qh Jh 8s"}, {"Kc Kd 9h 8h", "6s Tc Jh Qd"}}) {
        Spot& s = spots.emplace_back(Spot{records(hands), records(board), std::vector<double>(records(hands).size() / 4)});
        compute_equity_enumeration(s.hands.data(), static_cast<int32_t>(s.alone.size()), s.board.data(),
                                   static_cast<int32_t>(s.board.size() / 2), s.alone.data());
    }
    const auto royal = records("Ts Js Qs Ks As 6c 7d");
    std::atomic<int> faults{0};
    std::latch start(8);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::vector<std::jthread> hosts;
    for (int h = 0; h < 8; ++h)
        hosts.emplace_back([&, h] {
            start.arrive_and_wait();
            // Neighbouring threads make different calls; each makes every kind at least once.
            for (int i = 0; i < 5'000 && (i < 4 || std::chrono::steady_clock::now() < deadline); ++i) {
                const Spot& s = spots[static_cast<std::size_t>(h + i) % spots.size()];
                const auto players = static_cast<int32_t>(s.alone.size()), board_cards = static_cast<int32_t>(s.board.size() / 2);
                std::vector<double> shares(s.alone.size());
                if ((h + i) % 4 == 0) {
                    compute_equity_enumeration(s.hands.data(), players, s.board.data(), board_cards, shares.data());
                    faults += shares != s.alone;
                } else if ((h + i) % 4 == 1) {
                    compute_equity_montecarlo_ultra_fast(s.hands.data(), players, s.board.data(), board_cards, 2'000 + i, shares.data());
                    // 2,000 trials: a standard error of at most 0.0112, so 0.12 is over ten of them.
                    double total = 0;
                    for (std::size_t p = 0; p < shares.size(); ++p) {
                        faults += !(std::fabs(shares[p] - s.alone[p]) <= 0.12);
                        total += shares[p];
                    }
                    faults += !(std::fabs(total - 1.0) <= 1e-9);
                } else if ((h + i) % 4 == 2) {
                    faults += evaluate_hand_direct(royal.data(), 7) != 8'000'014;
                } else {
                    set_seed(static_cast<uint32_t>(h * 1'000 + i));
                }
            }
        });
    hosts.clear(); // joins them
    EXPECT_EQ(faults, 0);
}

} // namespace
