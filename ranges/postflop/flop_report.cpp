#include "ranges/postflop/flop_report.hpp"

#include <algorithm>
#include <numeric>
#include <bit>

#include "card_text.hpp"
#include "ranges/error.hpp"
#include "ranges/exact/driver.hpp"
#include "ranges/exact/suit_symmetry.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

namespace {

constexpr int flop_count = 7140; // C(36, 3)

// The flop's place among the C(36, 3), by the combinatorial number system
// over the cards' places 0..35 in the deck.
int flop_index(uint64_t cards) {
    int index = 0, taken = 0;
    for (uint64_t rest = cards >> first_card_index; rest != 0; rest &= rest - 1) {
        const int place = std::countr_zero(rest);
        ++taken;
        index += static_cast<int>(choose(static_cast<uint64_t>(place), static_cast<uint64_t>(taken)));
    }
    return index;
}

// Every flop's card mask, by index.
std::vector<uint64_t> every_flop() {
    std::vector<uint64_t> flops(flop_count);
    for (int a = 0; a < deck_size; ++a)
        for (int b = a + 1; b < deck_size; ++b)
            for (int c = b + 1; c < deck_size; ++c) {
                const uint64_t cards = (uint64_t{1} << a | uint64_t{1} << b | uint64_t{1} << c) << first_card_index;
                flops[static_cast<std::size_t>(flop_index(cards))] = cards;
            }
    return flops;
}

Board cards_of(uint64_t mask) {
    Board cards;
    for (; mask != 0; mask &= mask - 1) cards.push_back(card_from_index(std::countr_zero(mask)));
    std::sort(cards.begin(), cards.end(), [](Card a, Card b) { return a > b; });
    return cards;
}

// Each board's figures shared among the ten flops in it: the board is as
// likely to come after each of them.
std::vector<double> sums_by_flop(const PerBoardFigures& per_board, std::size_t kept) {
    std::vector<double> sums(static_cast<std::size_t>(flop_count) * kept, 0.0);
    for (std::size_t u = 0; u < per_board.boards.size(); ++u) {
        const double* figures = per_board.figures.data() + u * kept;
        if (figures[kept - 1] == 0) continue;
        const uint64_t board = per_board.boards[u];
        for (uint64_t a = board; a != 0; a &= a - 1)
            for (uint64_t b = a & (a - 1); b != 0; b &= b - 1)
                for (uint64_t c = b & (b - 1); c != 0; c &= c - 1) {
                    const uint64_t flop = (a & -a) | (b & -b) | (c & -c);
                    double* into = sums.data() + static_cast<std::size_t>(flop_index(flop)) * kept;
                    for (std::size_t i = 0; i < kept; ++i) into[i] += figures[i];
                }
    }
    return sums;
}

// Every group in the order reports list them: suits, pairing, the highest
// card from A down, and whether a straight is possible.
std::vector<TextureGroup> every_group(std::size_t players) {
    std::vector<TextureGroup> groups;
    const auto add = [&](std::string_view kind, std::string_view texture) {
        groups.push_back({kind, std::string(texture), 0, 0, std::vector<double>(players + 1, 0.0)});
    };
    for (const std::string_view name : flop_suits_names) add("suits", name);
    for (const std::string_view name : flop_pairing_names) add("pairing", name);
    for (int32_t rank = highest_rank; rank >= lowest_rank; --rank) add("high_card", rank_letter(rank));
    add("straight_possible", "yes");
    add("straight_possible", "no");
    return groups;
}

// The four groups a flop belongs to, as places in every_group's list.
std::array<std::size_t, 4> groups_of(const FlopTexture& t) {
    constexpr std::size_t pairing_at = 3, high_at = 6, straight_at = 15;
    return {static_cast<std::size_t>(t.suits), pairing_at + static_cast<std::size_t>(t.pairing),
            high_at + static_cast<std::size_t>(highest_rank - t.high), straight_at + (t.straight_possible ? 0 : 1)};
}

} // namespace

FlopTexture flop_texture(const Board& flop) {
    FlopTexture texture;
    std::array<int, suit_count> suits{};
    uint64_t ranks = 0;
    for (const Card c : flop) {
        ++suits[static_cast<std::size_t>(c.suit)];
        ranks |= detail::rank_bit(c.rank);
        texture.high = std::max(texture.high, c.rank);
    }
    const int most = *std::max_element(suits.begin(), suits.end());
    texture.suits = most == 3 ? FlopSuits::monotone : most == 2 ? FlopSuits::two_tone : FlopSuits::rainbow;
    const int distinct = std::popcount(ranks);
    texture.pairing = distinct == 1 ? FlopPairing::trips : distinct == 2 ? FlopPairing::paired : FlopPairing::unpaired;
    for (int32_t a = lowest_rank; a <= highest_rank && !texture.straight_possible; ++a)
        for (int32_t b = a; b <= highest_rank; ++b)
            if (detail::straight_high(ranks | detail::rank_bit(a) | detail::rank_bit(b)) != 0) {
                texture.straight_possible = true;
                break;
            }
    return texture;
}

FlopReport flop_report(const RangeSpot& range_spot, const RangeOptions& options) {
    const PreparedSpot spot = prepare_spot(range_spot);
    require_a_deal(spot);
    return flop_report(spot, find_suit_symmetry(spot), options);
}

FlopReport flop_report(const PreparedSpot& spot, const SuitSymmetry& symmetry, const RangeOptions& options) {
    if (spot.to_come != 5)
        throw RangeError(ErrorKind::usage, "the flops are of a preflop spot: give no board cards", ErrorField::flops);
    PerBoardFigures per_board;
    FlopReport report;
    report.preflop = range_equity_exact(spot, symmetry, options, BoardWalk::by_class, DealWalk::sweep_last_two, &per_board);
    const std::size_t players = static_cast<std::size_t>(spot.players), kept = players + 1;
    const std::vector<double> sums = sums_by_flop(per_board, kept);
    double total = 0;
    for (int f = 0; f < flop_count; ++f) total += sums[static_cast<std::size_t>(f) * kept + players];

    // One row per orbit of the spot's suit group; its sums are its flops' sums.
    const std::vector<uint64_t> flops = every_flop();
    std::vector<bool> placed(flop_count, false);
    std::vector<std::vector<double>> row_sums;
    for (int f = 0; f < flop_count; ++f) {
        if (placed[static_cast<std::size_t>(f)]) continue;
        FlopRow row;
        std::vector<double> own(kept, 0.0);
        for (const SuitPermutation& g : symmetry.group) {
            const int image = flop_index(permute_cards(flops[static_cast<std::size_t>(f)], g));
            if (placed[static_cast<std::size_t>(image)]) continue;
            placed[static_cast<std::size_t>(image)] = true;
            ++row.flops;
            for (std::size_t i = 0; i < kept; ++i) own[i] += sums[static_cast<std::size_t>(image) * kept + i];
        }
        if (!(own[players] > 0)) continue; // no deal leaves these flops
        row.flop = cards_of(flops[static_cast<std::size_t>(f)]);
        row.probability = own[players] / total;
        for (std::size_t p = 0; p < players; ++p) row.equity.push_back(std::clamp(own[p] / own[players], 0.0, 1.0));
        row.texture = flop_texture(row.flop);
        report.rows.push_back(std::move(row));
        row_sums.push_back(std::move(own));
    }

    // Groups add their rows' sums; their equities are shares of those at the end.
    std::vector<TextureGroup> groups = every_group(players);
    for (std::size_t r = 0; r < report.rows.size(); ++r)
        for (const std::size_t g : groups_of(report.rows[r].texture)) {
            TextureGroup& group = groups[g];
            group.flops += report.rows[r].flops;
            group.probability += report.rows[r].probability;
            for (std::size_t i = 0; i < kept; ++i) group.equity[i] += row_sums[r][i];
        }
    for (TextureGroup& g : groups) {
        if (g.flops == 0) continue;
        const double weight = g.equity[players];
        g.equity.pop_back();
        for (double& e : g.equity) e = std::clamp(e / weight, 0.0, 1.0);
        report.textures.push_back(std::move(g));
    }
    // Best first; equal rows keep their order (one index sort: smaller than a stable sort's code).
    std::vector<std::size_t> order(report.rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const double x = report.rows[a].equity[0], y = report.rows[b].equity[0];
        return x > y || (x == y && a < b);
    });
    std::vector<FlopRow> sorted;
    sorted.reserve(order.size());
    for (const std::size_t i : order) sorted.push_back(std::move(report.rows[i]));
    report.rows = std::move(sorted);
    return report;
}

} // namespace varnolith
