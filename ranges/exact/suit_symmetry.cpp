#include "ranges/exact/suit_symmetry.hpp"

#include <algorithm>
#include <numeric>

namespace varnolith {

namespace {

constexpr int16_t none = -1;

// Combination of a player by its two cards, either order: 36 x 36 places.
std::vector<int16_t> combo_places(const std::vector<LiveCombo>& live) {
    std::vector<int16_t> place(deck_size * deck_size, none);
    for (std::size_t i = 0; i < live.size(); ++i) {
        const int a = live[i].first - first_card_index, b = live[i].second - first_card_index;
        place[static_cast<std::size_t>(a * deck_size + b)] = place[static_cast<std::size_t>(b * deck_size + a)] = static_cast<int16_t>(i);
    }
    return place;
}

int card_after(int index, const SuitPermutation& to) { return (index & ~3) | to[static_cast<std::size_t>(index & 3)]; }

// The images of one player's combinations, or nothing when some image is
// missing from the range or has another weight.
bool map_range(const std::vector<LiveCombo>& live, const std::vector<int16_t>& place, const SuitPermutation& to,
               std::vector<uint16_t>& image) {
    image.resize(live.size());
    for (std::size_t i = 0; i < live.size(); ++i) {
        const int a = card_after(live[i].first, to) - first_card_index, b = card_after(live[i].second, to) - first_card_index;
        const int16_t j = place[static_cast<std::size_t>(a * deck_size + b)];
        if (j == none || live[static_cast<std::size_t>(j)].weight != live[i].weight) return false;
        image[i] = static_cast<uint16_t>(j);
    }
    return true;
}

} // namespace

SuitSymmetry find_suit_symmetry(const PreparedSpot& spot) {
    std::vector<std::vector<int16_t>> places;
    for (const auto& live : spot.live) places.push_back(combo_places(live));
    SuitSymmetry symmetry;
    SuitPermutation to{0, 1, 2, 3}; // ascending order first: the identity leads
    do {
        if (permute_cards(spot.board_bits.cards, to) != spot.board_bits.cards) continue;
        if (permute_cards(spot.blocked, to) != spot.blocked) continue;
        std::vector<std::vector<uint16_t>> images(spot.live.size());
        bool kept = true;
        for (std::size_t p = 0; p < spot.live.size() && kept; ++p) kept = map_range(spot.live[p], places[p], to, images[p]);
        if (!kept) continue;
        symmetry.group.push_back(to);
        symmetry.image.push_back(std::move(images));
    } while (std::next_permutation(to.begin(), to.end()));
    return symmetry;
}

void spread_over_classes(const SuitSymmetry& symmetry, const std::vector<std::size_t>& offsets, std::size_t stride,
                         std::vector<double>& sums) {
    const std::size_t order = symmetry.group.size();
    if (order == 1) return;
    const std::vector<double> before = sums;
    for (std::size_t p = 0; p < offsets.size(); ++p) {
        const std::size_t combos = symmetry.image[0][p].size();
        for (std::size_t i = 0; i < combos; ++i)
            for (std::size_t k = 0; k < stride; ++k) {
                double total = 0;
                for (std::size_t g = 0; g < order; ++g)
                    total += before[offsets[p] + stride * symmetry.image[g][p][i] + k];
                sums[offsets[p] + stride * i + k] = total / static_cast<double>(order);
            }
    }
}

} // namespace varnolith
