#include "method.hpp"

#include "card.hpp"

namespace varnolith {

int64_t possible_boards(int hands, int board_cards) {
    const int to_come = 5 - board_cards;
    const int left = static_cast<int>(full_deck().size()) - 2 * hands - board_cards;
    int64_t boards = 1;
    for (int i = 0; i < to_come; ++i) boards *= left - i; // a factor of 0 when left < to_come
    for (int i = 2; i <= to_come; ++i) boards /= i;        // each division is exact
    return boards;
}

Method select_method(int hands, int board_cards) {
    if (5 - board_cards > 0 && possible_boards(hands, board_cards) >= user_count_threshold)
        return Method::monte_carlo_user_count;
    if (hands > 3 || board_cards < 3) return Method::monte_carlo_fallback;
    return Method::enumeration;
}

} // namespace varnolith
