#include "ranges/notation/range.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <stdexcept>
#include <utility>

#include "card_text.hpp"
#include "ranges/notation/ordering.hpp"
#include "user_text.hpp"

namespace varnolith {
namespace {

// The item readers throw this; parse_range adds the item it came from.
struct BadItem {
    std::string reason;
};

[[noreturn]] void refuse(std::string reason) { throw BadItem{std::move(reason)}; }

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

int32_t rank_value(char c) {
    if (std::string fault = rank_fault(c); !fault.empty()) refuse(std::move(fault));
    return lowest_rank + static_cast<int32_t>(rank_chars.find(c));
}

int32_t suit_value(char c) {
    if (std::string fault = suit_fault(c); !fault.empty()) refuse(std::move(fault));
    return static_cast<int32_t>(suit_chars.find(c));
}

void refuse_unprintable(std::string_view t) {
    if (std::string fault = unprintable_fault(t); !fault.empty()) refuse(std::move(fault));
}

enum class Kind { combination, pair, two_ranks, random };
enum class Suits { any, suited, offsuit };

// What one end of an item names. For two ranks, high > low whichever order
// they were written in; for a pair, high == low.
struct Shape {
    Kind kind = Kind::random;
    int32_t high = 0;
    int32_t low = 0;
    Suits suits = Suits::any;
    HoleHand combo{};
};

// Words players use for every hand in other tools.
bool means_every_hand(std::string_view t) {
    std::string lower;
    for (const char c : t) lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    for (const std::string_view word : {"any", "all", "any2", "anytwo", "any-two", "rand", "random", "everything"})
        if (lower == word) return true;
    return false;
}

Shape read_shape(std::string_view t) {
    if (t == "random") return Shape{};
    if (means_every_hand(t)) refuse("write random for every hand"); // "Random" too, and "any" in "any-QQ"
    refuse_unprintable(t);
    if (t.find("10") != std::string_view::npos) refuse("write T for ten");
    if (t.size() == 2 && rank_chars.find(t[0]) != std::string_view::npos && suit_chars.find(t[1]) != std::string_view::npos)
        refuse("one card is not a hand: a hand is two cards, such as AhKd");
    if (t.size() == 4) {
        const int32_t r1 = rank_value(t[0]), s1 = suit_value(t[1]);
        const int32_t r2 = rank_value(t[2]), s2 = suit_value(t[3]);
        Card a{r1, s1}, b{r2, s2};
        if (a == b) refuse("the same card twice");
        if (card_index(a) < card_index(b)) std::swap(a, b);
        return Shape{Kind::combination, 0, 0, Suits::any, HoleHand{a, b}};
    }
    if (t.size() == 2 || t.size() == 3) {
        const int32_t r1 = rank_value(t[0]), r2 = rank_value(t[1]);
        Suits suits = Suits::any;
        if (t.size() == 3) {
            if (t[2] == 's') suits = Suits::suited;
            else if (t[2] == 'o') suits = Suits::offsuit;
            else refuse(quoted_char(t[2]) + " is not s (suited) or o (offsuit)");
        }
        if (r1 == r2) {
            if (suits != Suits::any) refuse("a pair is neither suited nor offsuit");
            return Shape{Kind::pair, r1, r1, Suits::any, {}};
        }
        return Shape{Kind::two_ranks, std::max(r1, r2), std::min(r1, r2), suits, {}};
    }
    refuse("not a hand such as AhKd, QQ, AKs, AKo, AK or random");
}

// Every class lists its combinations by suit of the first card, then of the
// second, so AKs and AKo are each in the same order as within AK.
void add_pair(int32_t rank, std::vector<HoleHand>& out) {
    for (int32_t first = 1; first < suit_count; ++first)
        for (int32_t second = 0; second < first; ++second)
            out.push_back(HoleHand{Card{rank, first}, Card{rank, second}});
}

void add_two_ranks(int32_t high, int32_t low, Suits suits, std::vector<HoleHand>& out) {
    for (int32_t first = 0; first < suit_count; ++first)
        for (int32_t second = 0; second < suit_count; ++second) {
            if ((suits == Suits::suited && first != second) || (suits == Suits::offsuit && first == second))
                continue;
            out.push_back(HoleHand{Card{high, first}, Card{low, second}});
        }
}

void add_random(std::vector<HoleHand>& out) {
    const int32_t lowest = card_index(Card{lowest_rank, 0});
    const int32_t highest = card_index(Card{highest_rank, suit_count - 1});
    for (int32_t first = lowest + 1; first <= highest; ++first)
        for (int32_t second = lowest; second < first; ++second)
            out.push_back(HoleHand{card_from_index(first), card_from_index(second)});
}

void add_shape(const Shape& s, std::vector<HoleHand>& out) {
    switch (s.kind) {
    case Kind::combination: out.push_back(s.combo); break;
    case Kind::pair: add_pair(s.high, out); break;
    case Kind::two_ranks: add_two_ranks(s.high, s.low, s.suits, out); break;
    case Kind::random: add_random(out); break;
    }
}

// `from` to `to` inclusive, in the direction written.
template <class Add>
void each_rank(int32_t from, int32_t to, Add add) {
    const int32_t step = from <= to ? 1 : -1;
    for (int32_t r = from;; r += step) {
        add(r);
        if (r == to) break;
    }
}

// Blanks may stand around a '-' ("99 - 66"); anywhere else in an item they
// mean that a comma is missing ("QQ+ AKs").
void refuse_inner_blanks(std::string_view t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!is_blank(t[i])) continue;
        std::size_t end = i;
        while (end < t.size() && is_blank(t[end])) ++end;
        if (i > 0 && end < t.size() && t[i - 1] != '-' && t[end] != '-') refuse("separate items with commas");
        i = end;
    }
}

// "12.5" of "12.5%": a plain decimal above 0 and at most 100.
double read_percent(std::string_view text) {
    const std::string_view number = text.substr(0, text.size() - 1);
    if (number.empty()) refuse("a percentage needs a number, such as 15%");
    const auto point = number.find('.');
    const std::string_view whole = number.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : number.substr(point + 1);
    const auto digits = [](std::string_view d) { return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; }); };
    if (!digits(whole) || !digits(fraction) || whole.size() + fraction.size() == 0 || whole.size() > 3)
        refuse("a percentage is a plain decimal such as 15% or 12.5%");
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
    if (!(value > 0.0 && value <= 100.0)) refuse("a percentage is above 0% and at most 100%");
    return value;
}

// Every class from place `from` up to `to` of the preflop ordering.
void add_ordered_classes(int from, int to, Ranking ranking, std::vector<HoleHand>& out) {
    for (int place = from; place < to; ++place)
        add_shape(read_shape(hand_class_name(preflop_ordering(ranking)[static_cast<std::size_t>(place)].square)), out);
}

// "15%": the top of varnolith's preflop ordering; "5%-15%": the classes in
// the top 15% that are not in the top 5%.
std::vector<HoleHand> percent_combos(std::string_view t, Ranking ranking) {
    if (t.find('+') != std::string_view::npos) refuse("'+' cannot follow a percentage");
    std::vector<HoleHand> out;
    const auto dash = t.find('-');
    if (dash == std::string_view::npos) {
        if (!t.ends_with('%') || t.find('%') + 1 != t.size()) refuse("a percentage is written 15%");
        const int classes = top_class_count(read_percent(t), ranking);
        if (classes == 0) refuse("too small to hold a class (AA alone is 0.95%)");
        add_ordered_classes(0, classes, ranking, out);
        return out;
    }
    const std::string_view low = trim(t.substr(0, dash)), high = trim(t.substr(dash + 1));
    const auto one_percentage = [](std::string_view p) {
        return p.size() > 1 && p.back() == '%' && p.find('%') + 1 == p.size() && p.find('-') == std::string_view::npos;
    };
    if (!one_percentage(low) || !one_percentage(high)) refuse("a band is two percentages, such as 5%-15%");
    const double from = read_percent(low), to = read_percent(high);
    if (from >= to) refuse("a band goes from the smaller percentage to the larger, such as 5%-15%");
    const int first = top_class_count(from, ranking), last = top_class_count(to, ranking);
    if (first == last) refuse("no class lies between the two percentages");
    add_ordered_classes(first, last, ranking, out);
    return out;
}

std::vector<HoleHand> item_combos(std::string_view t, Ranking ranking) {
    refuse_inner_blanks(t);
    if (t.find('%') != std::string_view::npos) return percent_combos(t, ranking);
    std::vector<HoleHand> out;
    const auto plus = t.find('+');
    const auto dash = t.find('-');
    if (plus != std::string_view::npos && dash != std::string_view::npos)
        refuse("'+' and '-' cannot be combined");
    if (plus != std::string_view::npos) {
        if (plus + 1 != t.size()) refuse("'+' belongs only at the end");
        const Shape s = read_shape(trim(t.substr(0, plus)));
        if (s.kind == Kind::combination) refuse("'+' cannot follow a combination");
        if (s.kind == Kind::random) refuse("'+' cannot follow random");
        if (s.kind == Kind::pair)
            each_rank(s.high, highest_rank, [&](int32_t r) { add_pair(r, out); });
        else
            each_rank(s.low, s.high - 1, [&](int32_t r) { add_two_ranks(s.high, r, s.suits, out); });
        return out;
    }
    if (dash != std::string_view::npos) {
        const std::string_view left = trim(t.substr(0, dash)), right = trim(t.substr(dash + 1));
        if (right.find('-') != std::string_view::npos) refuse("more than one '-'");
        if (left.empty() || right.empty()) refuse("'-' needs a hand at both ends");
        const Shape a = read_shape(left), b = read_shape(right);
        for (const Shape& s : {a, b})
            if (s.kind == Kind::combination || s.kind == Kind::random)
                refuse("'-' joins pairs or two ranks only");
        if (a.kind != b.kind) refuse("the two ends are of different shapes");
        if (a.kind == Kind::pair) {
            each_rank(a.high, b.high, [&](int32_t r) { add_pair(r, out); });
            return out;
        }
        if (a.suits != b.suits) refuse("the two ends differ in suitedness");
        if (a.high == b.high) {
            each_rank(a.low, b.low, [&](int32_t r) { add_two_ranks(a.high, r, a.suits, out); });
            return out;
        }
        // A run of the same gap, T9s-76s: both ranks step together.
        if (a.high - a.low != b.high - b.low)
            refuse("the two ends share neither the first rank (AJs-A8s) nor the gap (T9s-76s)");
        const int32_t gap = a.high - a.low;
        each_rank(a.low, b.low, [&](int32_t r) { add_two_ranks(r + gap, r, a.suits, out); });
        return out;
    }
    add_shape(read_shape(t), out);
    return out;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

double read_weight(std::string_view w) {
    if (w.empty()) refuse("the weight is missing");
    const bool negative = w.front() == '-';
    const std::string_view digits = negative ? w.substr(1) : w;
    const auto point = digits.find('.');
    std::string_view whole = digits.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : digits.substr(point + 1);
    const bool plain = std::all_of(whole.begin(), whole.end(), is_digit) &&
                       std::all_of(fraction.begin(), fraction.end(), is_digit) &&
                       whole.size() + fraction.size() > 0;
    if (!plain) refuse("the weight must be a plain decimal such as 0.5");

    // Compare with 0 and 1 on the digits, so rounding cannot let 1.0000000000000000001 in.
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    const bool fraction_zero = std::all_of(fraction.begin(), fraction.end(), [](char c) { return c == '0'; });
    const bool in_range = whole.empty() ? !fraction_zero : whole == "1" && fraction_zero;
    if (negative || !in_range) refuse("the weight must be above 0 and at most 1");

    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size() || !(value > 0))
        refuse("the weight is too small");
    return std::min(value, 1.0);
}

constexpr int32_t combo_id(const HoleHand& h) {
    const int32_t base = card_index(Card{lowest_rank, 0});
    return (card_index(h.first) - base) * deck_size + (card_index(h.second) - base);
}

} // namespace

Range parse_range(std::string_view text, Ranking ranking) {
    if (trim(text).empty()) throw std::invalid_argument("the range is empty");
    Range range;
    std::array<int32_t, deck_size * deck_size> place; // position in `range`, or -1
    place.fill(-1);
    for (std::size_t start = 0;;) {
        const auto comma = text.find(',', start);
        const auto length = comma == std::string_view::npos ? std::string_view::npos : comma - start;
        const std::string_view item = trim(text.substr(start, length));
        std::vector<HoleHand> combos;
        double weight = 1.0;
        try {
            if (item.empty()) refuse("empty");
            const auto colon = item.find(':');
            combos = item_combos(trim(item.substr(0, colon)), ranking);
            if (colon != std::string_view::npos) weight = read_weight(trim(item.substr(colon + 1)));
        } catch (const BadItem& bad) {
            throw std::invalid_argument("item \"" + shown_text(item) + "\": " + bad.reason);
        }
        for (const HoleHand& h : combos) {
            int32_t& at = place[static_cast<std::size_t>(combo_id(h))];
            if (at < 0) {
                at = static_cast<int32_t>(range.size());
                range.push_back(WeightedCombo{h, weight});
            } else {
                range[static_cast<std::size_t>(at)].weight = weight;
            }
        }
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return range;
}

namespace {

// Rows and columns of the square count ranks from the ace down.
constexpr int32_t square_side = highest_rank - lowest_rank + 1;

char rank_char(int32_t rank) { return rank_chars[static_cast<std::size_t>(rank - lowest_rank)]; }

} // namespace

std::string hand_class(const HoleHand& h) { return hand_class_name(hand_class_index(h)); }

int hand_class_index(const HoleHand& h) {
    const int32_t high = highest_rank - std::max(h.first.rank, h.second.rank);
    const int32_t low = highest_rank - std::min(h.first.rank, h.second.rank);
    return h.first.suit == h.second.suit && high != low ? high * square_side + low : low * square_side + high;
}

std::string hand_class_name(int index) {
    const int32_t row = index / square_side, column = index % square_side;
    const char high = rank_char(highest_rank - std::min(row, column));
    const char low = rank_char(highest_rank - std::max(row, column));
    if (row == column) return {high, low};
    return {high, low, row < column ? 's' : 'o'};
}

} // namespace varnolith
