#include "ranges/notation/range.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "card_text.hpp"
#include "decimal.hpp"
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

// A combination is two card patterns; with neither card open it names one
// combination (AhKd).
enum class Kind { combination, pattern, pair, two_ranks, random };
enum class Suits { any, suited, offsuit };

// One card of a pattern: "Ah", "A*", "*h", "*", or with a suit letter "Ax".
struct CardPattern {
    int32_t rank = 0;  // 0: any rank
    int32_t suit = -1; // -1: any suit
    char letter = 0;   // 'x' or 'y': the same letter is the same suit, another letter another suit
};

// What one end of an item names. For two ranks, high > low whichever order
// they were written in; for a pair, high == low.
struct Shape {
    Kind kind = Kind::random;
    int32_t high = 0;
    int32_t low = 0;
    Suits suits = Suits::any;
    CardPattern cards[2]{};
};

// Words players use for every hand in other tools.
bool means_every_hand(std::string_view t) {
    std::string lower;
    for (const char c : t) lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    for (const std::string_view word : {"any", "all", "any2", "anytwo", "any-two", "rand", "random", "everything"})
        if (lower == word) return true;
    return false;
}

bool is_suit_letter(char c) { return c == 'x' || c == 'y'; }
bool marks_a_suit(char c) { return suit_chars.find(c) != std::string_view::npos || c == '*' || is_suit_letter(c); }

[[noreturn]] void refuse_pattern() {
    refuse("each card is a rank or * and then a suit, * or x/y, as in Ah*, A** or AxKx");
}

// "Ah", "A*", "Ax", "*h", "**" or "*".
CardPattern read_card_pattern(std::string_view t) {
    if (t.size() == 1 && t[0] != '*') refuse_pattern();
    CardPattern p;
    if (t[0] != '*') p.rank = rank_value(t[0]);
    if (t.size() == 1 || t[1] == '*') return p;
    if (is_suit_letter(t[1])) p.letter = t[1];
    else p.suit = suit_value(t[1]);
    return p;
}

bool is_open(const CardPattern& p) { return p.rank == 0 || p.suit < 0; }

// "an ace", "a heart" or "any card": what an open card pattern holds.
std::string holding(const CardPattern& p) {
    static constexpr const char* ranks[] = {"a six", "a seven", "an eight", "a nine", "a ten", "a jack", "a queen", "a king", "an ace"};
    static constexpr const char* suits[] = {"a club", "a diamond", "a heart", "a spade"};
    if (p.rank != 0) return ranks[p.rank - lowest_rank];
    if (p.suit >= 0) return suits[p.suit];
    return "any card";
}

// A lone card is no hand; a lone open card is said the way it is meant.
[[noreturn]] void refuse_one_card(std::string_view t) {
    const CardPattern p = read_card_pattern(t);
    if (!is_open(p)) refuse("one card is not a hand: a hand is two cards, such as AhKd");
    if (p.rank == 0 && p.suit < 0) refuse("one card is not a hand: write ** for every hand");
    const std::string card = p.suit >= 0 ? std::string(t) : std::string{t[0], '*'};
    refuse("one card is not a hand: write " + card + "* for every hand holding " + holding(p));
}

// Two card patterns run together: "Ah*" is "Ah" and "*", "*Ah" is "*" and "Ah".
Shape read_pattern(std::string_view t) {
    std::string_view first = t.substr(0, 2), second = t.substr(2);
    const bool star_first = t.size() == 2 || (t.size() == 3 && t[0] == '*' && !marks_a_suit(t[1]) && marks_a_suit(t[2]));
    if (star_first) {
        first = t.substr(0, 1);
        second = t.substr(1);
    } else if (t.size() == 3 && !(marks_a_suit(t[1]) && t[2] == '*')) {
        if (marks_a_suit(t[1])) {
            const std::string card(t.substr(0, 2));
            if (marks_a_suit(t[2])) refuse("the second card needs a rank or *, as in " + card + '*' + t[2]);
            refuse("the second card needs a suit or *, as in " + card + t[2] + '*');
        } else {
            refuse_pattern();
        }
    }
    Shape s{Kind::pattern, 0, 0, Suits::any, {read_card_pattern(first), read_card_pattern(second)}};
    const CardPattern &a = s.cards[0], &b = s.cards[1];
    if (!is_open(a) && !is_open(b)) {
        if (a.rank == b.rank && a.suit == b.suit) refuse("the same card twice: a hand is two different cards");
        s.kind = Kind::combination;
    }
    if (a.rank != 0 && a.rank == b.rank && a.letter != 0 && a.letter == b.letter) {
        static constexpr const char* plural[] = {"sixes", "sevens", "eights", "nines", "tens", "jacks", "queens", "kings", "aces"};
        refuse("the same card twice: one letter is one suit, so two " + std::string(plural[a.rank - lowest_rank]) +
               " are " + std::string{t[0], 'x', t[0], 'y'});
    }
    return s;
}

Shape read_shape(std::string_view t) {
    if (t == "random") return Shape{};
    if (means_every_hand(t)) refuse("write random for every hand"); // "Random" too, and "any" in "any-QQ"
    refuse_unprintable(t);
    if (t.find("10") != std::string_view::npos) refuse("write T for ten");
    if (t == "*") refuse_one_card(t);
    if (t.size() == 2 && t != "**" && marks_a_suit(t[1])) refuse_one_card(t);
    const bool open = t.find('*') != std::string_view::npos;
    if (t.size() == 4 || ((t.size() == 2 || t.size() == 3) && open) || (t.size() == 3 && marks_a_suit(t[1])))
        return read_pattern(t);
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
    refuse("not a hand such as AhKd, QQ, AKs, AKo, AK, A** or random");
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

bool fits(const CardPattern& p, Card c) { return (p.rank == 0 || p.rank == c.rank) && (p.suit < 0 || p.suit == c.suit); }

bool fits(const CardPattern& a, const CardPattern& b, Card first, Card second) {
    if (!fits(a, first) || !fits(b, second)) return false;
    return a.letter == 0 || b.letter == 0 || (a.letter == b.letter) == (first.suit == second.suit);
}

// The combinations of random that the two patterns name, either card first,
// in random's order: so "**" is random, "A*K*" is AK and "AxKx" is AKs.
void add_pattern(const CardPattern& a, const CardPattern& b, std::vector<HoleHand>& out) {
    std::vector<HoleHand> every;
    add_random(every);
    for (const HoleHand& h : every)
        if (fits(a, b, h.first, h.second) || fits(a, b, h.second, h.first)) out.push_back(h);
}

void add_shape(const Shape& s, std::vector<HoleHand>& out) {
    switch (s.kind) {
    case Kind::combination:
    case Kind::pattern: add_pattern(s.cards[0], s.cards[1], out); break;
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
    read_decimal(number, value);
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
        if (s.kind == Kind::pattern) refuse("'+' cannot follow a card pattern");
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
            if (s.kind == Kind::combination || s.kind == Kind::pattern || s.kind == Kind::random)
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
    const bool in_range = whole.empty() || (whole == "1" && fraction_zero);
    if (negative || !in_range) refuse("the weight must be from 0 to 1 (0 takes the item out)");
    if (whole.empty() && fraction_zero) return 0.0;

    double value = 0;
    if (!read_decimal(digits, value) || !(value > 0))
        refuse("the weight is too small");
    return std::min(value, 1.0);
}

constexpr int32_t combo_id(const HoleHand& h) {
    const int32_t base = card_index(Card{lowest_rank, 0});
    return (card_index(h.first) - base) * deck_size + (card_index(h.second) - base);
}

} // namespace

std::vector<std::string_view> range_items(std::string_view text) {
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF"; // some editors start a file with it
    if (text.starts_with(byte_order_mark)) text.remove_prefix(byte_order_mark.size());
    std::vector<std::string_view> items;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (end < text.size() && line.ends_with('\r')) line.remove_suffix(1);
        line = trim(line.substr(0, line.find('#')));
        // A comma may end a line that a line break ends anyway.
        if (end < text.size() && line.ends_with(',')) line = trim(line.substr(0, line.size() - 1));
        for (std::size_t from = 0; !line.empty();) {
            const auto comma = line.find(',', from);
            items.push_back(trim(line.substr(from, comma == std::string_view::npos ? comma : comma - from)));
            if (comma == std::string_view::npos) break;
            from = comma + 1;
        }
        start = end + 1;
    }
    return items;
}

Range parse_range(std::string_view text, Ranking ranking) {
    const std::vector<std::string_view> items = range_items(text);
    if (items.empty()) throw std::invalid_argument("the range is empty: it needs items such as QQ+, AKs");
    Range range;
    std::array<int32_t, deck_size * deck_size> place; // position in `range`, or -1
    place.fill(-1);
    for (const std::string_view item : items) {
        std::vector<HoleHand> combos;
        double weight = 1.0;
        try {
            if (item.empty()) refuse("empty");
            std::string_view rest = item;
            const bool excluded = rest.starts_with('!');
            if (excluded) {
                rest = trim(rest.substr(1));
                const auto core = rest.find_first_not_of("! \t");
                if (core == std::string_view::npos) refuse("'!' needs an item to take out, such as !QQ+");
                if (rest.starts_with('!')) refuse("one '!' takes an item out: write !" + shown_text(rest.substr(core)));
            }
            const auto colon = rest.find(':');
            if (excluded && colon != std::string_view::npos) refuse("'!' takes the item out whatever its weight: write it without one");
            combos = item_combos(trim(rest.substr(0, colon)), ranking);
            if (colon != std::string_view::npos) weight = read_weight(trim(rest.substr(colon + 1)));
            if (excluded) weight = 0.0;
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
    }
    // Weight 0 takes a combination out; it keeps its place should a later item bring it back.
    std::erase_if(range, [](const WeightedCombo& c) { return c.weight == 0.0; });
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
