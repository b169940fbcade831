#include "ranges/postflop/hits.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "ranges/error.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// Weighted counts of one player: per made class and per draw.
struct Tally {
    std::array<double, made_class_count> made_combos{}, made_share{}, made_equity{};
    std::array<double, draw_count> draw_combos{}, draw_share{}, draw_equity{};

    void add(const HandClass& c, double combos, double share, double equity) {
        const auto m = static_cast<std::size_t>(c.made);
        made_combos[m] += combos;
        made_share[m] += share;
        made_equity[m] += share * equity;
        for (int d = 0; d < draw_count; ++d) {
            if (!(c.draws & draw_bit(static_cast<Draw>(d)))) continue;
            draw_combos[static_cast<std::size_t>(d)] += combos;
            draw_share[static_cast<std::size_t>(d)] += share;
            draw_equity[static_cast<std::size_t>(d)] += share * equity;
        }
    }
};

// A simulated class's equity is the mean of shares between 0 and 1 over its
// trials, so its variance is at most e(1 - e).
double class_error(const RangeResult& result, double share, double equity) {
    if (result.method == RangeMethod::exact || std::isnan(equity)) return 0;
    const double trials = share * static_cast<double>(result.trials);
    return trials >= 1 ? std::sqrt(equity * (1 - equity) / trials) : 0.5;
}

HitLine line_of(bool is_draw, int index, double combos, double share, double equity_sum, const RangeResult& result,
                bool with_equity) {
    HitLine line{is_draw, index, combos, share, none, 0};
    if (with_equity && share > 0) {
        line.equity = std::clamp(equity_sum / share, 0.0, 1.0);
        line.standard_error = class_error(result, share, line.equity);
    }
    return line;
}

std::vector<HitLine> lines_of(const Tally& t, Ranking ranking, bool draws, const RangeResult& result, bool with_equity) {
    std::vector<HitLine> lines;
    for (const MadeClass m : made_classes_in_order(ranking)) {
        const auto i = static_cast<std::size_t>(m);
        lines.push_back(line_of(false, static_cast<int>(m), t.made_combos[i], t.made_share[i], t.made_equity[i], result, with_equity));
    }
    if (draws)
        for (int d = 0; d < draw_count; ++d) {
            const auto i = static_cast<std::size_t>(d);
            lines.push_back(line_of(true, d, t.draw_combos[i], t.draw_share[i], t.draw_equity[i], result, with_equity));
        }
    return lines;
}

// How often each class and draw comes on a flop drawn from the cards the hand
// and the spot's cards leave, as fractions.
struct FlopOdds {
    std::array<double, made_class_count> made{};
    std::array<double, draw_count> draws{};
};

FlopOdds flop_odds(const HoleHand& hand, uint64_t out_of_play, Ranking ranking) {
    const uint64_t taken = out_of_play | uint64_t{1} << card_index(hand.first) | uint64_t{1} << card_index(hand.second);
    std::vector<Card> left;
    for (int32_t index = first_card_index; index < card_index_end; ++index)
        if (!(taken & uint64_t{1} << index)) left.push_back(card_from_index(index));
    FlopOdds odds;
    Board flop(3);
    double flops = 0;
    for (std::size_t a = 0; a < left.size(); ++a)
        for (std::size_t b = a + 1; b < left.size(); ++b)
            for (std::size_t c = b + 1; c < left.size(); ++c) {
                flop[0] = left[a], flop[1] = left[b], flop[2] = left[c];
                const HandClass k = classify_hand(hand, flop, ranking);
                ++odds.made[static_cast<std::size_t>(k.made)];
                for (int d = 0; d < draw_count; ++d)
                    if (k.draws & draw_bit(static_cast<Draw>(d))) ++odds.draws[static_cast<std::size_t>(d)];
                ++flops;
            }
    for (double& x : odds.made) x /= flops;
    for (double& x : odds.draws) x /= flops;
    return odds;
}

} // namespace

std::string_view hit_name(const HitLine& line) {
    return line.is_draw ? draw_names[static_cast<std::size_t>(line.index)] : made_class_names[static_cast<std::size_t>(line.index)];
}

std::string_view hit_words(const HitLine& line) {
    return line.is_draw ? draw_words[static_cast<std::size_t>(line.index)] : made_class_words[static_cast<std::size_t>(line.index)];
}

RangeHits range_hits(const RangeSpot& spot, const RangeResult& result) {
    if (spot.board.size() < 3)
        throw RangeError(ErrorKind::usage, "hits are of a board: give a flop, a turn or a river, or ask for the flops",
                         ErrorField::hits);
    const PreparedSpot prepared = prepare_spot(spot);
    RangeHits hits;
    for (std::size_t p = 0; p < result.players.size(); ++p) {
        Tally tally;
        const auto& hands = result.players[p].hands;
        for (std::size_t i = 0; i < hands.size(); ++i) {
            const HandEquity& h = hands[i];
            const bool dealt = h.weight > 0 && !std::isnan(h.equity); // else its combinations count, alone
            tally.add(classify_hand(h.hand, spot.board, spot.ranking), prepared.live[p][i].weight, dealt ? h.weight : 0,
                      dealt ? h.equity : 0);
        }
        hits.push_back(lines_of(tally, spot.ranking, spot.board.size() < 5, result, true));
    }
    return hits;
}

RangeHits hits_over_flops(const RangeSpot& spot, const RangeResult& result) {
    const PreparedSpot prepared = prepare_spot(spot);
    // Without dead cards a hand's odds are its class's: the suits relabel onto
    // one another. With them, each combination's are found once for all players.
    const bool by_class = prepared.blocked == 0;
    std::array<std::optional<FlopOdds>, hand_class_count> known;
    std::vector<std::optional<FlopOdds>> by_cards(by_class ? 0 : static_cast<std::size_t>(card_index_span * card_index_span));
    RangeHits hits;
    for (std::size_t p = 0; p < result.players.size(); ++p) {
        Tally tally;
        for (std::size_t i = 0; i < result.players[p].hands.size(); ++i) {
            const HandEquity& h = result.players[p].hands[i];
            const auto cards = static_cast<std::size_t>(card_index(h.hand.first) * card_index_span + card_index(h.hand.second));
            std::optional<FlopOdds>& odds =
                by_class ? known[static_cast<std::size_t>(hand_class_index(h.hand))] : by_cards[cards];
            if (!odds) odds = flop_odds(h.hand, prepared.blocked, spot.ranking);
            const double combos = prepared.live[p][i].weight;
            for (int m = 0; m < made_class_count; ++m) {
                tally.made_combos[static_cast<std::size_t>(m)] += combos * odds->made[static_cast<std::size_t>(m)];
                tally.made_share[static_cast<std::size_t>(m)] += h.weight * odds->made[static_cast<std::size_t>(m)];
            }
            for (int d = 0; d < draw_count; ++d) {
                tally.draw_combos[static_cast<std::size_t>(d)] += combos * odds->draws[static_cast<std::size_t>(d)];
                tally.draw_share[static_cast<std::size_t>(d)] += h.weight * odds->draws[static_cast<std::size_t>(d)];
            }
        }
        hits.push_back(lines_of(tally, spot.ranking, true, result, false));
    }
    return hits;
}

} // namespace varnolith
