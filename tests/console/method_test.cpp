#include <gtest/gtest.h>

#include "method.hpp"

namespace varnolith {
namespace {

TEST(PossibleBoards, CountsCompletionsFromTheNumbersAlone) {
    EXPECT_EQ(possible_boards(2, 0), 201'376);
    EXPECT_EQ(possible_boards(8, 0), 15'504);
    EXPECT_EQ(possible_boards(9, 0), 8'568);
    EXPECT_EQ(possible_boards(5, 1), 12'650);
    EXPECT_EQ(possible_boards(6, 1), 8'855);
    EXPECT_EQ(possible_boards(2, 2), 4'060);
    EXPECT_EQ(possible_boards(2, 3), 406);
    EXPECT_EQ(possible_boards(3, 3), 351);
    EXPECT_EQ(possible_boards(2, 4), 28);
    EXPECT_EQ(possible_boards(2, 5), 1);
}

TEST(SelectMethod, FollowsTheRuleForEveryDealableCount) {
    struct Case {
        int hands, board;
        Method method;
    };
    const Case cases[] = {
        {2, 0, Method::monte_carlo_user_count}, {8, 0, Method::monte_carlo_user_count},
        {9, 0, Method::monte_carlo_fallback},   {15, 0, Method::monte_carlo_fallback},
        {5, 1, Method::monte_carlo_user_count}, {6, 1, Method::monte_carlo_fallback},
        {2, 2, Method::monte_carlo_fallback},   {15, 2, Method::monte_carlo_fallback},
        {2, 3, Method::enumeration},            {3, 3, Method::enumeration},
        {4, 3, Method::monte_carlo_fallback},   {3, 4, Method::enumeration},
        {2, 5, Method::enumeration},            {4, 5, Method::monte_carlo_fallback},
    };
    for (const Case& c : cases) EXPECT_EQ(select_method(c.hands, c.board), c.method) << c.hands << " hands, " << c.board;
    for (int hands = 2; hands <= 15; ++hands)
        for (int board = 0; board <= 5; ++board) {
            const Method m = select_method(hands, board);
            if (m == Method::enumeration) {
                EXPECT_TRUE(hands <= 3 && board >= 3 && possible_boards(hands, board) <= 406);
            }
        }
}

} // namespace
} // namespace varnolith
