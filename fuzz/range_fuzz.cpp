// Any bytes either parse to a well-formed range (or card list) or are refused
// with std::invalid_argument; nothing else may happen.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "card_text.hpp"
#include "ranges/notation/range.hpp"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void check_range(const varnolith::Range& range) {
    using namespace varnolith;
    check(range.size() <= 630); // "!" can take out every combination
    std::array<bool, 64 * 64> seen{};
    for (const WeightedCombo& c : range) {
        check(is_valid_card(c.hand.first) && is_valid_card(c.hand.second));
        check(card_index(c.hand.first) > card_index(c.hand.second));
        check(c.weight > 0 && c.weight <= 1);
        const auto id = static_cast<std::size_t>(card_index(c.hand.first) * 64 + card_index(c.hand.second));
        bool& mark = seen[id];
        check(!mark);
        mark = true;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace varnolith;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        check_range(parse_range(text));
    } catch (const std::invalid_argument&) {
    }
    std::vector<Card> cards;
    try {
        cards = parse_card_list(text);
    } catch (const std::invalid_argument&) {
    }
    for (const Card c : cards) check(is_valid_card(c) && parse_card_text(card_text(c)) == c);
    return 0;
}
