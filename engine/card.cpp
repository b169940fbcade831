#include "card.hpp"

namespace varnolith {

std::vector<Card> full_deck() {
    std::vector<Card> deck;
    deck.reserve(deck_size);
    for (int32_t rank = lowest_rank; rank <= highest_rank; ++rank)
        for (int32_t suit = 0; suit < suit_count; ++suit) deck.push_back({rank, suit});
    return deck;
}

std::vector<Card> suit_major_deck() {
    std::vector<Card> deck;
    deck.reserve(deck_size);
    for (int32_t suit = 0; suit < suit_count; ++suit)
        for (int32_t rank = lowest_rank; rank <= highest_rank; ++rank) deck.push_back({rank, suit});
    return deck;
}

} // namespace varnolith
