// Any bytes either parse to cards that print back to the same text, or are
// refused with std::invalid_argument; nothing else may happen.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "notation.hpp"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    using namespace varnolith;
    try {
        switch (data[0] % 3) {
        case 0: {
            const Card c = parse_card(text);
            check(is_valid_card(c) && card_to_string(c) == text);
            break;
        }
        case 1: {
            const HoleHand h = parse_hand(text);
            check(is_valid_card(h.first) && is_valid_card(h.second) && !(h.first == h.second));
            check(card_to_string(h.first) + card_to_string(h.second) == text);
            break;
        }
        default: {
            std::vector<std::string> texts; // one board card per line
            std::size_t start = 0;
            for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
                texts.push_back(text.substr(start, end - start));
            texts.push_back(text.substr(start));
            const Board board = parse_board(texts);
            check(board.size() == texts.size());
            for (std::size_t i = 0; i < board.size(); ++i) check(card_to_string(board[i]) == texts[i]);
            break;
        }
        }
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
