// Every combination's class and draws on boards of every texture, against a
// plain classifier written from the definitions, and the spots that pin a
// definition players could read two ways.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "card_text.hpp"
#include "ranges/postflop/hand_class.hpp"
#include "reference_hand_class.hpp"

namespace varnolith {
namespace {

std::string class_text(HandClass c) {
    std::string text(made_class_names[static_cast<int>(c.made)]);
    for (int d = 0; d < draw_count; ++d)
        if (c.draws & draw_bit(static_cast<Draw>(d))) text += std::string(" +") + std::string(draw_names[d]);
    return text;
}

// Flops, turns and rivers of each texture, written out; then random ones.
std::vector<Board> boards_to_walk() {
    std::vector<Board> boards;
    for (const char* text : {
             // Flops: rainbow, two-tone, monotone, paired, trips, wheel-ish and connected.
             "Kh 9c 6d", "As Td 7c", "Qc 8d 6h", "Kh 9h 8d", "Jc 7c 6d", "Ah Th 7h", "9s 8s 6s", "Ks Kd 7c",
             "8c 8d Ah", "6c 6h 9d", "9c 9d 9h", "Ac 6d 7h", "6c 7d 8h", "Ad 7c 8s", "Th Jd Qc", "8c 9d Ts",
             "Js Qs Ks",
             // Turns: four to a straight, four to a flush, paired, double-paired, trips and quads.
             "6c 7d 8h 9s", "Tc Jd Qh Ks", "Ac 6d 7h 8s", "7c 8d 9h Js", "Ah 9h 7h 6h", "Kc Tc 8c 6c",
             "Kh 9c 6d 9s", "Qs Td 7h 7c", "Kh Kd 8c 8s", "9c 9h 6d 6s", "9c 9d 9h Ks", "Tc Td Th Ts",
             "6c 6d 6h 6s", "Kh 9h 8d 7d",
             // Rivers: a straight, a flush, a straight flush, a full house and quads on board, and plain ones.
             "6c 7d 8h 9s Tc", "Ac 6d 7h 8s 9c", "Tc Jd Qh Ks Ac", "Ah Jh 9h 7h 6h", "Kc Qc 8c 7c 6c",
             "6d 7d 8d 9d Td", "9c 9d 9h Ks Kd", "Ks Kd Kh 6c 6d", "8c 8d 8h 8s Ac", "Jc Jd Jh Js 6h",
             "Kh 9c 6d Ts 7s", "As Kd 8c 8h 6s", "Qh Jh 6c 7d Ts", "9c 9d 9h 6s Kd"})
        boards.push_back(parse_card_list(text));
    std::mt19937 random(20240611);
    for (int i = 0; i < 300; ++i) {
        std::vector<Card> deck = full_deck();
        for (std::size_t k = 0; k < 5; ++k) std::swap(deck[k], deck[k + random() % (deck.size() - k)]);
        boards.emplace_back(deck.begin(), deck.begin() + 3 + i % 3);
    }
    return boards;
}

TEST(HandClass, EveryCombinationOnEveryTextureIsClassedAsTheDefinitionsSay) {
    const std::vector<Card> deck = full_deck();
    std::string first;
    int mismatches = 0, compared = 0;
    int made_seen[made_class_count] = {}, draws_seen[draw_count] = {};
    for (const Ranking ranking : {Ranking::straight, Ranking::trips})
        for (const Board& board : boards_to_walk())
            for (std::size_t i = 0; i < deck.size(); ++i)
                for (std::size_t j = i + 1; j < deck.size(); ++j) {
                    const HoleHand hand{deck[i], deck[j]};
                    if (std::find(board.begin(), board.end(), hand.first) != board.end() ||
                        std::find(board.begin(), board.end(), hand.second) != board.end())
                        continue;
                    const HandClass want = testing::reference_classify(hand, board, ranking);
                    const HandClass got = classify_hand(hand, board, ranking);
                    ++compared, ++made_seen[static_cast<int>(want.made)];
                    for (int d = 0; d < draw_count; ++d) draws_seen[d] += (want.draws >> d) & 1;
                    if (got.made == want.made && got.draws == want.draws) continue;
                    if (++mismatches <= 12)
                        first += "\n  " + hand_text(hand) + " on " + cards_text(board) +
                                 (ranking == Ranking::trips ? " (trips)" : " (straight)") + ": engine " +
                                 class_text(got) + ", definitions " + class_text(want);
                }
    EXPECT_EQ(mismatches, 0) << "of " << compared << ", first:" << first;
    // The boards reach every class and every draw, so that none goes untested.
    for (int m = 0; m < made_class_count; ++m) EXPECT_GT(made_seen[m], 0) << made_class_names[m];
    for (int d = 0; d < draw_count; ++d) EXPECT_GT(draws_seen[d], 0) << draw_names[d];
}

TEST(HandClass, SpotsPlayersQuote) {
    const struct {
        const char *board, *hand, *is;
        bool trips = false; // the ranking; straight unless said
    } spots[] = {
        // The ace is the best heart out; the queen is not above the king. A-6-7-8-9 is a straight.
        {"Kh 9h 8d", "Ah Qh", "ace_high +flush_draw +nut_flush_draw"}, {"Kh 9h 8d", "7s 6c", "nothing +open_ended"},
        {"Kh 9h 8d", "Qh Jh", "nothing +flush_draw +gutshot +combo_draw"}, {"Kh 9c 8d", "9s 6d", "middle_pair"},
        {"Kh 9c 8d", "8s Ad", "weak_pair"}, {"Qh 9c 8d", "Ah Kh", "ace_high +backdoor_flush +overcards"},
        // Only the board's pair: no pair at all.
        {"Ks Kd 7c", "Qh Jc", "nothing"}, {"Ks Kd 7c", "Ah Jc", "ace_high"}, {"Ks Kd 7c", "Kh Jc", "trips"},
        // A board's straight is no straight of the hand's; a higher one is.
        {"6c 7d 8h 9s Tc", "As Kd", "ace_high"}, {"6c 7d 8h 9s Tc", "Jc Ad", "straight"},
        {"6c 7d 8h 9s Tc", "9c 9d", "set", true}, {"8c 8d 8h 8s Ac", "Ks Kd", "pocket_pair_below_top"},
        // Three of a kind and a straight: the straight under one ranking, trips under the other.
        {"8c 8d 9h Ts Qs", "8h Jc", "straight"}, {"8c 8d 9h Ts Qs", "8h Jc", "trips", true},
        // Four to a straight on the turn: the hand must play in the straight it draws to.
        {"6c 7d 8h 9s", "Jd Qd", "nothing +gutshot +overcards"}, {"6c 7d 8h 9s", "Tc 6d", "straight"},
    };
    for (const auto& s : spots) {
        const std::vector<Card> hole = parse_card_list(s.hand);
        const Ranking ranking = s.trips ? Ranking::trips : Ranking::straight;
        EXPECT_EQ(class_text(classify_hand({hole[0], hole[1]}, parse_card_list(s.board), ranking)), s.is)
            << s.hand << " on " << s.board << (s.trips ? " (trips)" : "");
    }
}

} // namespace
} // namespace varnolith
