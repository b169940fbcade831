#include "ranges/notation/writer.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "card_text.hpp"
#include "decimal.hpp"

namespace varnolith {

namespace {

constexpr int side = highest_rank - lowest_rank + 1; // nine ranks

char rank_char(int32_t rank) { return rank_chars[static_cast<std::size_t>(rank - lowest_rank)]; }

// Square index of the class of two ranks, suited or not (as hand_class_index).
int square_of(int32_t high, int32_t low, bool suited) {
    const int row = highest_rank - high, column = highest_rank - low;
    return suited || high == low ? row * side + column : column * side + row;
}

std::string weight_suffix(double weight) {
    if (weight == 1.0) return {};
    std::string suffix = fixed_shortest(weight);
    suffix.insert(suffix.begin(), ':'); // GCC 12 warns, wrongly, of an overlapping copy in ":" + text
    return suffix;
}

// Runs of consecutive ranks among `ranks` (ascending), each as [low, high],
// the highest run first: players write the strongest hands first.
std::vector<std::pair<int32_t, int32_t>> runs_of(const std::vector<int32_t>& ranks) {
    std::vector<std::pair<int32_t, int32_t>> runs;
    for (const int32_t r : ranks) {
        if (!runs.empty() && runs.back().second + 1 == r) runs.back().second = r;
        else runs.push_back({r, r});
    }
    std::reverse(runs.begin(), runs.end());
    return runs;
}

// "QQ+", "99-77", "88" for pairs of the given ranks.
void pair_items(const std::vector<int32_t>& ranks, std::vector<std::string>& out) {
    for (const auto& [low, high] : runs_of(ranks)) {
        const std::string low_pair{rank_char(low), rank_char(low)}, high_pair{rank_char(high), rank_char(high)};
        if (low == high) out.push_back(low_pair);
        else if (high == highest_rank) out.push_back(low_pair + "+");
        else out.push_back(high_pair + "-" + low_pair);
    }
}

// One item of two different ranks: a single class ("T9s"), or a run of
// kickers under one high card ("ATs+", "AJo-A9o").
struct KickerItem {
    int32_t high = 0, low = 0; // a single class's ranks
    bool single = true;
    std::string suffix;        // "s", "o" or "" for both
    std::string text;
};

// The items for the given second ranks under `high`, best kicker first.
std::vector<KickerItem> kicker_items(int32_t high, const std::vector<int32_t>& lows, const std::string& suffix) {
    std::vector<KickerItem> out;
    const auto hand = [&](int32_t low) { return std::string{rank_char(high), rank_char(low)} + suffix; };
    for (const auto& [low, top] : runs_of(lows)) {
        if (low == top) out.push_back({high, low, true, suffix, hand(low)});
        else if (top == high - 1) out.push_back({high, low, false, suffix, hand(low) + "+"});
        else out.push_back({high, low, false, suffix, hand(top) + "-" + hand(low)});
    }
    return out;
}

std::size_t length(const std::vector<KickerItem>& items) {
    std::size_t n = 0;
    for (const auto& i : items) n += i.text.size() + 2;
    return n;
}

// Single classes one rank apart down the square with the same gap and form
// (T9s, 98s, 87s) become one run, "T9s-87s", where its highest member stood.
// Runs of three or more only: two are as short written apart.
void join_diagonal_runs(std::vector<KickerItem>& items) {
    constexpr std::size_t shortest_run = 3;
    std::vector<bool> taken(items.size(), false);
    std::vector<KickerItem> out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (taken[i]) continue;
        KickerItem item = items[i];
        if (item.single) {
            std::vector<std::size_t> run{i};
            for (std::size_t j = i + 1; j < items.size(); ++j) {
                const KickerItem& last = items[run.back()];
                const KickerItem& next = items[j];
                if (!taken[j] && next.single && next.suffix == item.suffix && next.high == last.high - 1 &&
                    next.low == last.low - 1)
                    run.push_back(j);
            }
            if (run.size() >= shortest_run) {
                const KickerItem& end = items[run.back()];
                for (const std::size_t j : run) taken[j] = true;
                item.single = false;
                // Appended piece by piece, which GCC 12 does not take for an overlapping copy.
                item.text += '-';
                item.text += rank_char(end.high);
                item.text += rank_char(end.low);
                item.text += item.suffix;
            }
        }
        out.push_back(item);
    }
    items = std::move(out);
}

// The items for a set of whole classes, all at one weight, strongest first.
std::vector<std::string> class_items(const std::array<bool, hand_class_count>& in) {
    std::vector<std::string> out;
    std::vector<int32_t> pairs;
    for (int32_t r = lowest_rank; r <= highest_rank; ++r)
        if (in[static_cast<std::size_t>(square_of(r, r, false))]) pairs.push_back(r);
    pair_items(pairs, out);
    std::vector<KickerItem> kickers;
    for (int32_t high = highest_rank; high > lowest_rank; --high) {
        std::vector<int32_t> suited, offsuit, both, suited_only, offsuit_only;
        for (int32_t low = lowest_rank; low < high; ++low) {
            const bool s = in[static_cast<std::size_t>(square_of(high, low, true))];
            const bool o = in[static_cast<std::size_t>(square_of(high, low, false))];
            if (s) suited.push_back(low);
            if (o) offsuit.push_back(low);
            if (s && o) both.push_back(low);
            if (s && !o) suited_only.push_back(low);
            if (o && !s) offsuit_only.push_back(low);
        }
        // Suited and offsuit apart, or what both hold as one item and the rest apart: the shorter.
        std::vector<KickerItem> apart = kicker_items(high, suited, "s"), merged = kicker_items(high, both, "");
        for (const auto& i : kicker_items(high, offsuit, "o")) apart.push_back(i);
        for (const auto& i : kicker_items(high, suited_only, "s")) merged.push_back(i);
        for (const auto& i : kicker_items(high, offsuit_only, "o")) merged.push_back(i);
        const auto& chosen = length(merged) < length(apart) ? merged : apart;
        kickers.insert(kickers.end(), chosen.begin(), chosen.end());
    }
    join_diagonal_runs(kickers);
    for (const KickerItem& k : kickers) out.push_back(k.text);
    return out;
}

} // namespace

std::string range_notation(const Range& range) {
    if (range.empty()) return {};
    // Each class's combinations, and the weight of each combination held.
    std::array<std::vector<HoleHand>, hand_class_count> members;
    for (const WeightedCombo& c : parse_range("random")) members[static_cast<std::size_t>(hand_class_index(c.hand))].push_back(c.hand);
    std::map<std::pair<int32_t, int32_t>, double> weight_of;
    for (const WeightedCombo& c : range) weight_of[{card_index(c.hand.first), card_index(c.hand.second)}] = c.weight;
    const auto held = [&](const HoleHand& h) {
        const auto at = weight_of.find({card_index(h.first), card_index(h.second)});
        return at == weight_of.end() ? 0.0 : at->second;
    };

    // Whole classes grouped by their one weight, best weight first; the rest combination by combination.
    std::map<double, std::array<bool, hand_class_count>, std::greater<>> whole;
    std::map<double, std::vector<HoleHand>, std::greater<>> single;
    for (int square = 0; square < hand_class_count; ++square) {
        const auto& hands = members[static_cast<std::size_t>(square)];
        const double first = held(hands.front());
        const bool uniform = first > 0 && std::all_of(hands.begin(), hands.end(), [&](const HoleHand& h) {
            return held(h) == first;
        });
        if (uniform) {
            whole[first][static_cast<std::size_t>(square)] = true;
            continue;
        }
        for (const HoleHand& h : hands)
            if (held(h) > 0) single[held(h)].push_back(h);
    }
    if (single.empty() && whole.size() == 1 &&
        std::all_of(whole.begin()->second.begin(), whole.begin()->second.end(), [](bool b) { return b; }))
        return "random" + weight_suffix(whole.begin()->first);

    std::string text;
    const auto add = [&](const std::string& item, double weight) {
        if (!text.empty()) text += ", ";
        text += item + weight_suffix(weight);
    };
    for (const auto& [weight, in] : whole)
        for (const std::string& item : class_items(in)) add(item, weight);
    for (const auto& [weight, hands] : single)
        for (const HoleHand& h : hands) add(hand_text(h), weight);
    return text;
}

} // namespace varnolith
