#include "notation.hpp"

#include <stdexcept>
#include <string_view>
#include <unordered_set>

#include "card_text.hpp"

namespace varnolith {

Card parse_card(const std::string& text) {
    if (text.size() != 2) throw std::invalid_argument("Invalid Card Format: " + text);
    const auto rank = rank_chars.find(text[0]);
    if (rank == std::string_view::npos) throw std::invalid_argument("Invalid Rank: " + text);
    const auto suit = suit_chars.find(text[1]);
    // The double blank after the colon is the message users already know; keep it.
    if (suit == std::string_view::npos) throw std::invalid_argument("Invalid Suit:  " + text);
    return Card{lowest_rank + static_cast<int32_t>(rank), static_cast<int32_t>(suit)};
}

HoleHand parse_hand(const std::string& text) {
    if (text.size() != 4) throw std::invalid_argument("Hand must be 4 characters long (e.g., KdTd)");
    const Card first = parse_card(text.substr(0, 2));
    const Card second = parse_card(text.substr(2, 2));
    if (first == second) throw std::invalid_argument("Hand cannot have two identical cards: " + text);
    return HoleHand{first, second};
}

Board parse_board(const std::vector<std::string>& texts) {
    Board board;
    board.reserve(texts.size());
    std::unordered_set<int32_t> seen;
    for (const std::string& text : texts) {
        const Card c = parse_card(text);
        if (!seen.insert(card_index(c)).second)
            throw std::invalid_argument("Duplicate card in board: " + text);
        board.push_back(c);
    }
    return board;
}

std::string card_to_string(Card c) { return card_text(c); }

} // namespace varnolith
