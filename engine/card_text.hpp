#pragma once
// Cards as players write them in ranges, boards and dead cards: a rank of
// "6789TJQKA" then a suit of "cdhs" ("Ah"), with messages that say what was
// meant ("write T for ten"). The console reads cards its own stricter way.

#include <string>
#include <string_view>
#include <vector>

#include "card.hpp"

namespace varnolith {

// Position in each string is the value offset: ranks start at six, suits at zero.
inline constexpr std::string_view rank_chars = "6789TJQKA";
inline constexpr std::string_view suit_chars = "cdhs";

// Why a character is not a rank, a suit, or a text holds a character no card
// is written with; "" when it is fine. Each reason names the character safely.
std::string rank_fault(char c);
std::string suit_fault(char c);
std::string unprintable_fault(std::string_view text);

// A card from its two-character text ("Ah"); throws std::invalid_argument with
// a message of the form `card "10h": write T for ten`.
Card parse_card_text(std::string_view text);

// Cards written run together ("6c7d8h") or separated by blanks or commas.
// Throws std::invalid_argument for a bad card; repeats are not checked here.
std::vector<Card> parse_card_list(std::string_view text);

// "Ah", and "AhKd" for a combination; "?" stands in for a rank or suit outside
// the short deck.
std::string card_text(Card c);

// "A" for 14, "T" for 10: a rank as cards write it.
std::string rank_letter(int32_t rank);
std::string hand_text(const HoleHand& h);

// "6c 7d 8h": the cards separated by blanks, "" for none.
std::string cards_text(const std::vector<Card>& cards);

} // namespace varnolith
