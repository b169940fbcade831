#pragma once
// Two exact results that must agree figure by figure: to 1e-12, or bit for bit.

#include <gtest/gtest.h>

#include <cmath>

#include "card_text.hpp"
#include "ranges/equity.hpp"

namespace varnolith::testing {

inline void expect_same(const RangeResult& a, const RangeResult& b) {
    EXPECT_EQ(a.deals, b.deals);
    EXPECT_EQ(a.boards, b.boards);
    EXPECT_NEAR(a.deal_weight / b.deal_weight, 1.0, 1e-12);
    ASSERT_EQ(a.players.size(), b.players.size());
    for (std::size_t p = 0; p < a.players.size(); ++p) {
        SCOPED_TRACE(p);
        const RangePlayerResult &x = a.players[p], &y = b.players[p];
        EXPECT_NEAR(x.equity, y.equity, 1e-12);
        EXPECT_NEAR(x.win, y.win, 1e-12);
        EXPECT_NEAR(x.tie, y.tie, 1e-12);
        for (std::size_t c = 0; c < x.categories.size(); ++c) EXPECT_NEAR(x.categories[c], y.categories[c], 1e-12) << c;
        ASSERT_EQ(x.hands.size(), y.hands.size());
        for (std::size_t i = 0; i < x.hands.size(); ++i) {
            EXPECT_EQ(x.hands[i].hand, y.hands[i].hand);
            EXPECT_NEAR(x.hands[i].weight, y.hands[i].weight, 1e-12) << hand_text(x.hands[i].hand);
            if (std::isnan(y.hands[i].equity)) EXPECT_TRUE(std::isnan(x.hands[i].equity));
            else EXPECT_NEAR(x.hands[i].equity, y.hands[i].equity, 1e-12) << hand_text(x.hands[i].hand);
        }
    }
}

// The same figures bit for bit, as runs on different thread counts give; a
// combination no deal allows has NaN for its equity in both.
inline void expect_identical(const RangeResult& a, const RangeResult& b) {
    ASSERT_EQ(a.players.size(), b.players.size());
    for (std::size_t p = 0; p < a.players.size(); ++p) {
        EXPECT_EQ(a.players[p].equity, b.players[p].equity);
        EXPECT_EQ(a.players[p].categories, b.players[p].categories);
        ASSERT_EQ(a.players[p].hands.size(), b.players[p].hands.size());
        for (std::size_t i = 0; i < a.players[p].hands.size(); ++i) {
            const double x = a.players[p].hands[i].equity, y = b.players[p].hands[i].equity;
            EXPECT_TRUE(x == y || (std::isnan(x) && std::isnan(y))) << x << " " << y;
        }
    }
}

} // namespace varnolith::testing
