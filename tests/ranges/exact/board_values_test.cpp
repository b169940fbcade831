// A board's share worked out once: combinations valued by their rank pair,
// or on their own when they make a flush, are valued as the evaluator values
// the seven cards.

#include <gtest/gtest.h>

#include "ranges/exact/board_classes.hpp"
#include "ranges/exact/board_values.hpp"
#include "evaluator.hpp"

namespace varnolith {
namespace {

// Boards from every stretch of the enumeration, every pair of the cards left.
TEST(BoardShare, ValuesEveryTwoCardsAsTheEvaluatorDoes) {
    const PreparedSpot spot = prepare_spot({{parse_range("AA"), parse_range("KK")}, {}, {}});
    const std::vector<BoardClass> boards = board_classes(spot, {{0, 1, 2, 3}});
    int flushing = 0;
    for (std::size_t b = 0; b < boards.size(); b += 29) {
        const HandBits board = packed_board(boards[b].cards);
        const BoardShare share = board_share(board);
        for (int first = 24; first < 60; ++first)
            for (int second = first + 1; second < 60; ++second) {
                const HandBits hole = bits_of_index(first) + bits_of_index(second);
                if (hole.cards & board.cards) continue;
                const HandValue value = evaluate_bits(board + hole);
                if (makes_flush(share, hole.cards)) {
                    ++flushing;
                    ASSERT_GE(value, 6'000'000) << b << ' ' << first << ' ' << second;
                } else {
                    ASSERT_EQ(evaluate_ranks_on_board(share, hole.ranks), value) << b << ' ' << first << ' ' << second;
                }
            }
    }
    EXPECT_GT(flushing, 10'000);
}

} // namespace
} // namespace varnolith
