#include "command_spot.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace varnolith {

namespace {

std::vector<Card> read_cards(const std::string& what, const std::string& text) {
    try {
        return parse_card_list(text);
    } catch (const std::invalid_argument& e) {
        throw std::invalid_argument(what + ": " + e.what());
    }
}

// The engine refuses these too, but without naming the card.
void check_repeats(const std::vector<Card>& board, const std::vector<Card>& dead) {
    std::vector<Card> seen;
    for (const auto* cards : {&board, &dead})
        for (const Card c : *cards) {
            if (std::find(seen.begin(), seen.end(), c) != seen.end())
                throw std::invalid_argument("card " + card_text(c) + " is given twice among the board and dead cards");
            seen.push_back(c);
        }
}

} // namespace

RangeSpot make_command_spot(const CommandOptions& options) {
    RangeSpot spot;
    for (std::size_t i = 0; i < options.ranges.size(); ++i) {
        const std::string which = "range " + std::to_string(i + 1);
        try {
            spot.ranges.push_back(parse_range(options.ranges[i]));
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(which + ": " + e.what());
        }
        if (spot.ranges.back().empty()) throw std::invalid_argument(which + " names no combination");
    }
    spot.board = read_cards("board", options.board);
    if (spot.board.size() > 5)
        throw std::invalid_argument("board: " + std::to_string(spot.board.size()) + " cards given, at most 5 allowed");
    spot.dead = read_cards("dead cards", options.dead);
    check_repeats(spot.board, spot.dead);
    return spot;
}

} // namespace varnolith
