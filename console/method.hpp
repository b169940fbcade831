#pragma once
// How the console computes a spot: decided from the numbers of hands and board
// cards alone, never from the cards themselves.

#include <cstdint>

namespace varnolith {

enum class Method {
    monte_carlo_user_count, // 10,000 completions or more: the user chooses the trial count
    monte_carlo_fallback,   // more than three hands, or fewer than three board cards
    enumeration,            // two or three hands, three to five board cards
};

inline constexpr int64_t user_count_threshold = 10'000;
inline constexpr int32_t fallback_trials = 2'000'000;

// Completions of the board, counted from the numbers alone: (36 - 2h - b)
// choose (5 - b), 0 when fewer cards are left than are to come.
int64_t possible_boards(int hands, int board_cards);

// Expects 2 <= hands, 0 <= board_cards <= 5 and 2 * hands + board_cards <= 36.
Method select_method(int hands, int board_cards);

} // namespace varnolith
