#pragma once
// Card text for test tables: "Ts Js Qs" -> {(10,3), (11,3), (12,3)}.

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "card.hpp"

namespace varnolith::testing {

inline std::vector<Card> cards(const std::string& text) {
    std::vector<Card> out;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        const auto r = std::string("6789TJQKA").find(word[0]), s = std::string("cdhs").find(word.at(1));
        if (word.size() != 2 || r == std::string::npos || s == std::string::npos) throw std::invalid_argument(word);
        out.push_back(Card{static_cast<int32_t>(r) + 6, static_cast<int32_t>(s)});
    }
    return out;
}

inline HoleHand hand(const std::string& text) { return HoleHand{cards(text).at(0), cards(text).at(1)}; }

// The C interface's flat records: "Ah Kd" -> {14, 2, 13, 1}.
inline std::vector<int32_t> records(const std::string& text) {
    std::vector<int32_t> out;
    for (const Card c : cards(text)) out.insert(out.end(), {c.rank, c.suit});
    return out;
}

} // namespace varnolith::testing
