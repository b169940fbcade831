#pragma once
// What two hole cards hold on a board of three to five cards, as players
// sort a range on a board: one made-hand class per combination, strongest
// first, and the draws beside it, which may overlap.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "card.hpp"
#include "evaluator.hpp"

namespace varnolith {

// A class counts only what the hole cards add: a combination that plays the
// board's own straight, flush, full house or quads, or only the board's pair,
// falls to what its hole cards make (a pair of them, ace high or nothing).
//   straight_flush, quads, flush, full_house, straight: the final hand is of
//       that category and better than the board alone (quads: not the board's)
//   set: a pocket pair matching a board card
//   trips: one hole card matching a board pair
//   two_pair: each hole card pairs a different board card
//   overpair: a pocket pair above every board card
//   top_pair: one hole card pairs the board's highest rank
//   pocket_pair_below_top: a pocket pair below the highest board card, matching none
//   middle_pair: one hole card pairs the board's second-highest rank
//   weak_pair: one hole card pairs a lower board rank
//   ace_high: an ace and none of the above; nothing: none of the above
// Under the trips ranking a hand holding both three of a kind and a straight
// plays the three of a kind, so it is a set or trips.
enum class MadeClass : uint8_t {
    straight_flush,
    quads,
    flush,
    full_house,
    straight,
    set,
    trips,
    two_pair,
    overpair,
    top_pair,
    pocket_pair_below_top,
    middle_pair,
    weak_pair,
    ace_high,
    nothing,
};
inline constexpr int made_class_count = 15;

// Draws on a flop or a turn (none on a river), each a bit of DrawFlags:
//   flush_draw: four to a flush with a hole card among them, no flush yet
//   nut_flush_draw: a flush draw whose hole card is the best of the suit still out
//   open_ended: eight or more cards still out make a straight (A-6-7-8-9 counts)
//       that the hole cards play in, and there is no straight yet
//   gutshot: one to seven such cards
//   combo_draw: a flush draw and a straight draw
//   backdoor_flush (flop only): three to a flush with a hole card, no flush draw
//   overcards: two hole cards above every board card that make nothing
//       more than ace high
// "Cards still out" are those neither in the hand nor on the board.
enum class Draw : uint8_t { flush_draw, nut_flush_draw, open_ended, gutshot, combo_draw, backdoor_flush, overcards };
inline constexpr int draw_count = 7;
using DrawFlags = uint8_t;
constexpr DrawFlags draw_bit(Draw d) { return static_cast<DrawFlags>(1u << static_cast<int>(d)); }

// The names scripts read, in the order above.
inline constexpr std::array<std::string_view, made_class_count> made_class_names{
    "straight_flush", "quads",    "flush",    "full_house",            "straight",
    "set",            "trips",    "two_pair", "overpair",              "top_pair",
    "pocket_pair_below_top", "middle_pair", "weak_pair", "ace_high", "nothing"};
inline constexpr std::array<std::string_view, draw_count> draw_names{
    "flush_draw", "nut_flush_draw", "open_ended", "gutshot", "combo_draw", "backdoor_flush", "overcards"};

// The words a table uses for them, in the same orders.
inline constexpr std::array<std::string_view, made_class_count> made_class_words{
    "straight flush", "quads",       "flush",          "full house", "straight",
    "set",            "trips",       "two pair",       "overpair",   "top pair",
    "pocket pair below top", "middle pair", "weak pair", "ace high", "nothing"};
inline constexpr std::array<std::string_view, draw_count> draw_words{
    "flush draw", "nut flush draw", "open-ended", "gutshot", "combo draw", "backdoor flush", "overcards"};

// The classes strongest first under the ranking: under trips a set and trips
// come before the straight.
std::array<MadeClass, made_class_count> made_classes_in_order(Ranking ranking);

struct HandClass {
    MadeClass made = MadeClass::nothing;
    DrawFlags draws = 0;
};

// The hand's class and draws on a board of 3 to 5 cards that holds neither
// hole card. Draws are left empty on a river.
HandClass classify_hand(const HoleHand& hand, const Board& board, Ranking ranking);

// A name of either list, or nothing.
std::optional<MadeClass> made_class_named(std::string_view name);
std::optional<Draw> draw_named(std::string_view name);

} // namespace varnolith
