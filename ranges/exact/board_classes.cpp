#include "ranges/exact/board_classes.hpp"

#include <array>

namespace varnolith {

namespace {

// A completion is its class's representative when no permutation takes it
// lower; those that take it to itself divide the group into its class size.
bool representative(uint64_t cards, const std::vector<SuitPermutation>& group, double& size) {
    int fixed = 1;
    for (std::size_t g = 1; g < group.size(); ++g) {
        const uint64_t image = permute_cards(cards, group[g]);
        if (image < cards) return false;
        fixed += image == cards;
    }
    size = static_cast<double>(group.size()) / fixed;
    return true;
}

// Completions that are unions of the permutation's cycles on the deck.
uint64_t fixed_completions(const PreparedSpot& spot, const SuitPermutation& to) {
    std::array<uint64_t, 6> ways{1}; // ways[j]: unions of the cycles so far holding j cards
    uint64_t seen = 0;
    for (const uint8_t index : spot.deck) {
        if (seen >> index & 1) continue;
        int length = 0;
        for (int card = index; !(seen >> card & 1); card = (card & ~3) | to[static_cast<std::size_t>(card & 3)]) {
            seen |= uint64_t{1} << card;
            ++length;
        }
        for (int j = 5; j >= length; --j) ways[static_cast<std::size_t>(j)] += ways[static_cast<std::size_t>(j - length)];
    }
    return ways[static_cast<std::size_t>(spot.to_come)];
}

} // namespace

std::vector<BoardClass> board_classes(const PreparedSpot& spot, const std::vector<SuitPermutation>& group) {
    std::vector<BoardClass> classes;
    const int n = static_cast<int>(spot.deck.size()), k = spot.to_come;
    if (n < k) return classes;
    classes.reserve(group.size() == 1 ? choose(static_cast<uint64_t>(n), static_cast<uint64_t>(k))
                                      : count_board_classes(spot, group));
    std::array<int, 5> at{};
    for (int i = 0; i < k; ++i) at[static_cast<std::size_t>(i)] = i;
    while (true) {
        uint64_t added = 0;
        for (int i = 0; i < k; ++i) added |= uint64_t{1} << spot.deck[static_cast<std::size_t>(at[static_cast<std::size_t>(i)])];
        double size = 1;
        if (group.size() == 1 || representative(added, group, size)) classes.push_back({spot.board_bits.cards | added, size});
        int i = k - 1;
        while (i >= 0 && at[static_cast<std::size_t>(i)] == n - k + i) --i;
        if (i < 0) break;
        ++at[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < k; ++j) at[static_cast<std::size_t>(j)] = at[static_cast<std::size_t>(j - 1)] + 1;
    }
    return classes;
}

uint64_t count_board_classes(const PreparedSpot& spot, const std::vector<SuitPermutation>& group) {
    uint64_t fixed = 0;
    for (const SuitPermutation& to : group) fixed += fixed_completions(spot, to);
    return fixed / group.size();
}

} // namespace varnolith
