#pragma once
// The dialogue's own texts, to write expected transcripts compactly.

#include <string>

namespace varnolith::testing {

inline const std::string ask_count = "Enter the number of hands: ";
inline const std::string example = "Example combo format: AhKd (Ace of hearts, King of diamonds)\n";
inline const std::string ask_board_count = "Enter number of board cards (0 to 5): ";
inline const std::string ask_iterations = "Enter Monte Carlo iterations (default 500000, press Enter for default): ";
inline const std::string enumerating = "Running complete enumeration...\n";
inline const std::string fallback = "[Fallback Monte Carlo - troppo complesso per enumerazione]\n";

inline std::string ask_combo(int i) { return "Enter Combo " + std::to_string(i) + ": "; }
inline std::string ask_board_card(int j) { return "Enter board card " + std::to_string(j) + ": "; }

// Prompts for `hands` hands, the board count and `board` board cards.
inline std::string prompts(int hands, int board) {
    std::string text = ask_count + example;
    for (int i = 1; i <= hands; ++i) text += ask_combo(i);
    text += ask_board_count;
    for (int j = 1; j <= board; ++j) text += ask_board_card(j);
    return text;
}

} // namespace varnolith::testing
