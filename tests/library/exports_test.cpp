// The library through its C header. The engine's answers are tested with the engine, and examples/c_host reads the
// records in the install test; here, the counts the exports accept and the neutral answer after any failure.

#include <gtest/gtest.h>

#include <varnolith/varnolith.h>

#include "test_cards.hpp"

namespace {

using varnolith::testing::records;

// Each player's share by both equity exports, the estimate seeded; -1 where nothing was written.
std::vector<double> both(const int32_t* hands, int32_t players, const int32_t* board, int32_t cards) {
    std::vector<double> results(2 * static_cast<std::size_t>(std::max(players, 2)), -1.0);
    compute_equity_enumeration(hands, players, board, cards, results.data());
    set_seed(1);
    compute_equity_montecarlo_ultra_fast(hands, players, board, cards, 1'000, results.data() + results.size() / 2);
    return results;
}

// The documented counts; bad cards, missing arrays or too many hands give every player an equal share.
TEST(EquityExports, AcceptTheDocumentedCountsAndGiveEqualSharesOnFailure) {
    const auto hands = records("Ah Kd Qs Qc"), river = records("Qd Jh Td 8c 9c"), flop = records("6c 7d 8h");
    const std::vector<double> untouched(4, -1.0), halves(4, 0.5);
    EXPECT_EQ(both(hands.data(), 0, river.data(), 5), untouched);
    EXPECT_EQ(both(hands.data(), 2, river.data(), -4), both(hands.data(), 2, nullptr, 0)); // a negative count: no board
    EXPECT_EQ(both(hands.data(), 2, river.data(), 5), (std::vector<double>{1, 0, 1, 0}));
    // {index into the hand records then the board records, value put there}
    for (const auto& [at, value] : {std::pair{2, 5}, {0, 15}, {7, 4}, {1, -1}, {9, 9}}) {
        auto bad_hands = hands, bad_board = flop;
        (at < 8 ? bad_hands[static_cast<std::size_t>(at)] : bad_board[static_cast<std::size_t>(at - 8)]) = value;
        EXPECT_EQ(both(bad_hands.data(), 2, bad_board.data(), 3), halves) << at << ": " << value;
    }
    EXPECT_EQ(both(hands.data(), 2, nullptr, 3), halves);
    EXPECT_EQ(both(nullptr, 2, nullptr, 0), halves);
    std::vector<int32_t> sixteen;
    for (int32_t c = 0; c < 32; ++c) sixteen.insert(sixteen.end(), {6 + c / 4, c % 4});
    EXPECT_EQ(both(sixteen.data(), 16, nullptr, 0), std::vector<double>(32, 1. / 16));
}

TEST(EvaluateHandDirect, ReadsSevenValidCardsOnly) {
    auto royal = records("Ts Js Qs Ks As 6c 7d");
    EXPECT_EQ(evaluate_hand_direct(royal.data(), 7), 8'000'014);
    for (const int32_t count : {6, 8, -1, 7}) EXPECT_EQ(evaluate_hand_direct(nullptr, count), 0) << count;
    royal[13] = -7;
    EXPECT_EQ(evaluate_hand_direct(royal.data(), 7), 0);
}

} // namespace
