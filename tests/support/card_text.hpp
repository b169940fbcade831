#pragma once
// Short card lists for test tables: "Ts Js Qs" -> {(10,3), (11,3), (12,3)}.

#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "card.hpp"

namespace varnolith::testing {

inline Card card(std::string_view text) {
    constexpr std::string_view ranks = "6789TJQKA", suits = "cdhs";
    const auto r = ranks.find(text.at(0));
    const auto s = suits.find(text.at(1));
    if (text.size() != 2 || r == std::string_view::npos || s == std::string_view::npos)
        throw std::invalid_argument("bad test card " + std::string(text));
    return Card{static_cast<int32_t>(r) + 6, static_cast<int32_t>(s)};
}

inline std::vector<Card> cards(const std::string& text) {
    std::vector<Card> out;
    std::istringstream in(text);
    for (std::string word; in >> word;) out.push_back(card(word));
    return out;
}

inline HoleHand hand(const std::string& text) {
    const auto two = cards(text);
    return HoleHand{two.at(0), two.at(1)};
}

} // namespace varnolith::testing
