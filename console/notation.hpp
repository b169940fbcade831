#pragma once
// Card text as the console reads and prints it: rank character then suit
// character, "6789TJQKA" and "cdhs", case-sensitive, nothing trimmed.

#include <string>
#include <vector>

#include "card.hpp"

namespace varnolith {

// Parses a two-byte card text such as "Ah". Throws std::invalid_argument on a
// wrong length, then on a bad rank, then on a bad suit, quoting the text.
Card parse_card(const std::string& text);

// Parses a four-byte hand text such as "AhKd" into its two cards in the order
// written. Throws std::invalid_argument on a wrong length, on either card, or
// when both cards are the same.
HoleHand parse_hand(const std::string& text);

// Parses board card texts in entry order and stops at the first bad or repeated
// card with std::invalid_argument. Only repeats within the board are found.
Board parse_board(const std::vector<std::string>& texts);

// Two characters, "?" standing in for a rank or suit outside the short deck.
std::string card_to_string(Card c);

} // namespace varnolith
