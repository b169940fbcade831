#include "ranges/postflop/filter.hpp"

#include <string>

#include "ranges/error.hpp"
#include "user_text.hpp"

namespace varnolith {

namespace {

bool is_separator(char c) { return c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

HitFilter parse_hit_filter(std::string_view text) {
    HitFilter filter;
    bool named = false;
    for (std::size_t at = 0; at < text.size();) {
        if (is_separator(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !is_separator(text[end])) ++end;
        std::string_view name = text.substr(at, end - at);
        at = end;
        const bool drop = name.starts_with('!');
        if (drop) name.remove_prefix(1);
        if (const auto made = made_class_named(name)) {
            (drop ? filter.drop_made : filter.keep_made).set(static_cast<std::size_t>(*made));
        } else if (const auto draw = draw_named(name)) {
            (drop ? filter.drop_draws : filter.keep_draws).set(static_cast<std::size_t>(*draw));
        } else {
            throw RangeError(ErrorKind::usage,
                             "filter: unknown class or draw \"" + shown_text(std::string(name)) + "\"" +
                                 " (classes: set, two_pair, top_pair, ...; draws: flush_draw, open_ended, ...)",
                             ErrorField::filter);
        }
        named = true;
    }
    if (!named) throw RangeError(ErrorKind::usage, "filter: name at least one class or draw", ErrorField::filter);
    return filter;
}

bool filter_keeps(const HitFilter& filter, const HandClass& hand) {
    std::bitset<draw_count> draws;
    for (int d = 0; d < draw_count; ++d) draws[static_cast<std::size_t>(d)] = (hand.draws >> d) & 1u;
    const auto made = static_cast<std::size_t>(hand.made);
    if (filter.drop_made[made] || (draws & filter.drop_draws).any()) return false;
    const bool only_drops = filter.keep_made.none() && filter.keep_draws.none();
    return only_drops || filter.keep_made[made] || (draws & filter.keep_draws).any();
}

Range filter_range(const Range& range, const Board& board, const std::vector<Card>& dead, Ranking ranking,
                   const HitFilter& filter) {
    if (board.size() < 3 || board.size() > 5)
        throw RangeError(ErrorKind::usage, "filter: give a board of three to five cards", ErrorField::filter);
    uint64_t out = 0;
    for (const Card c : board) out |= uint64_t{1} << card_index(c);
    for (const Card c : dead) out |= uint64_t{1} << card_index(c);
    Range kept;
    for (const WeightedCombo& combo : range) {
        const uint64_t cards = uint64_t{1} << card_index(combo.hand.first) | uint64_t{1} << card_index(combo.hand.second);
        if (cards & out) continue;
        if (filter_keeps(filter, classify_hand(combo.hand, board, ranking))) kept.push_back(combo);
    }
    return kept;
}

} // namespace varnolith
