#include "card_text.hpp"

#include <algorithm>
#include <stdexcept>

#include "user_text.hpp"

namespace varnolith {
namespace {

// The hint said after a letter in the wrong case, the commonest slip ("aks", "AH").
constexpr const char* case_hint = ": ranks are 6789TJQKA in upper case, suits cdhs in lower case";

bool is_other_case(char c, std::string_view letters) {
    for (const char l : letters)
        if (l >= 'A' && l <= 'Z' ? c == l - 'A' + 'a' : (l >= 'a' && l <= 'z' && c == l - 'a' + 'A')) return true;
    return false;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

} // namespace

std::string rank_fault(char c) {
    if (c >= '2' && c <= '5') return quoted_char(c) + " is not a rank: short deck has no ranks below 6";
    if (rank_chars.find(c) == std::string_view::npos)
        return quoted_char(c) + " is not a rank" + (is_other_case(c, rank_chars) ? case_hint : "");
    return "";
}

std::string suit_fault(char c) {
    if (suit_chars.find(c) == std::string_view::npos)
        return quoted_char(c) + " is not a suit" + (is_other_case(c, suit_chars) ? case_hint : "");
    return "";
}

// Cards are written in printable ASCII; anything else is named whole, so a
// message never cuts a character in two or spans two lines.
std::string unprintable_fault(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] < 0x20 || text[i] >= 0x7f) return quoted(text, i) + " is not a rank or a suit";
    return "";
}

Card parse_card_text(std::string_view text) {
    const auto refuse = [&](const std::string& why) {
        throw std::invalid_argument("card \"" + shown_text(text) + "\": " + why);
    };
    if (text.size() >= 2 && text.substr(0, 2) == "10") refuse("write T for ten");
    if (const std::string fault = unprintable_fault(text); !fault.empty()) refuse(fault);
    if (text.size() != 2) refuse("a card is a rank and a suit, such as Ah");
    if (const std::string fault = rank_fault(text[0]); !fault.empty()) refuse(fault);
    if (const std::string fault = suit_fault(text[1]); !fault.empty()) refuse(fault);
    return Card{lowest_rank + static_cast<int32_t>(rank_chars.find(text[0])),
                static_cast<int32_t>(suit_chars.find(text[1]))};
}

std::vector<Card> parse_card_list(std::string_view text) {
    const auto separator = [](char c) { return is_blank(c) || c == ','; };
    std::vector<Card> cards;
    for (std::size_t i = 0; i < text.size();) {
        if (separator(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !separator(text[end])) ++end;
        // A run of cards written together splits every two characters; "10h"
        // is kept whole so that the message can say what was meant.
        const std::string_view run = text.substr(i, end - i);
        if (std::any_of(run.begin(), run.end(), [](char c) { return c < 0x20 || c >= 0x7f; }))
            parse_card_text(run); // refuses it, naming the character whole
        for (; i < end; i += 2) {
            const bool ten = text.substr(i, 2) == "10";
            cards.push_back(parse_card_text(text.substr(i, std::min<std::size_t>(ten ? 3 : 2, end - i))));
        }
    }
    return cards;
}

std::string rank_letter(int32_t rank) { return card_text(Card{rank, 0}).substr(0, 1); }

std::string card_text(Card c) {
    std::string text(2, '?');
    if (c.rank >= lowest_rank && c.rank <= highest_rank)
        text[0] = rank_chars[static_cast<std::size_t>(c.rank - lowest_rank)];
    if (c.suit >= 0 && c.suit < suit_count) text[1] = suit_chars[static_cast<std::size_t>(c.suit)];
    return text;
}

std::string hand_text(const HoleHand& h) { return card_text(h.first) + card_text(h.second); }

std::string cards_text(const std::vector<Card>& cards) {
    std::string text;
    for (const Card c : cards) {
        if (!text.empty()) text += ' ';
        text += card_text(c);
    }
    return text;
}

} // namespace varnolith
