// The search for one compatible deal: its verdict against a plain walk over
// every deal, and a verdict for every spot, however crowded, within its budget.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <tuple>

#include "ranges/deal_search.hpp"
#include "ranges/request.hpp"
#include "ranges/spot.hpp"

namespace varnolith {
namespace {

// The spot prepared, or none where it is refused before any search: a range
// blocked whole, or two lone hands that meet.
std::optional<PreparedSpot> prepared(const std::vector<std::string>& ranges, const std::string& board,
                                     const std::string& dead = "") {
    const SpotFromText read = spot_from_text(ranges, board, dead);
    EXPECT_FALSE(read.error);
    try {
        return prepare_spot(read.spot);
    } catch (const RangeError&) {
        return std::nullopt;
    }
}

// Whether some deal holds every card at most once and leaves the board its
// cards: players one after another, every combination, nothing skipped.
bool plain_deal_exists(const PreparedSpot& spot, std::size_t player, uint64_t used) {
    if (player == spot.live.size()) return 36 - std::popcount(used | spot.blocked) >= spot.to_come;
    for (const LiveCombo& c : spot.live[player])
        if (!(c.bits.cards & used) && plain_deal_exists(spot, player + 1, used | c.bits.cards)) return true;
    return false;
}

// A range of `size` combinations drawn from the cards of `ranks`.
std::string narrow_range(std::mt19937_64& random, uint64_t size, const std::string& ranks) {
    std::string range;
    for (uint64_t i = 0; i < size; ++i) {
        std::string hand;
        for (int card = 0; card < 2; ++card) hand += {ranks[random() % ranks.size()], "cdhs"[random() % 4]};
        if (hand.substr(0, 2) != hand.substr(2)) range += (range.empty() ? "" : ", ") + hand;
    }
    return range.empty() ? "AhKh" : range;
}

TEST(DealSearch, AgreesWithEveryDealWalkedOnSmallSpots) {
    std::mt19937_64 random(22);
    int none = 0, found = 0;
    for (int round = 0; round < 2000; ++round) {
        const int players = 2 + static_cast<int>(random() % 5);
        const std::string ranks = round % 2 == 0 ? "AKQ" : "AKQJT9";
        std::vector<std::string> ranges;
        for (int p = 0; p < players; ++p) // players of one range side by side take their combinations in order
            ranges.push_back(p > 0 && random() % 3 == 0 ? ranges.back()
                                                        : narrow_range(random, 1 + random() % 5, ranks));
        const auto spot = prepared(ranges, round % 3 == 0 ? "Ac" : "");
        if (!spot) continue;
        const bool exists = plain_deal_exists(*spot, 0, 0);
        const DealSearch search = search_a_deal(*spot);
        ASSERT_NE(search.verdict, DealVerdict::undecided);
        EXPECT_EQ(search.verdict == DealVerdict::found, exists) << ranges[0] << " / " << ranges[1];
        (exists ? found : none) += 1;
    }
    EXPECT_GT(none, 20);
    EXPECT_GT(found, 20);
}

// Many players on few cards: the crowded spots where a plain walk takes
// hours. Every one is decided within the search's budget.
TEST(DealSearch, DecidesCrowdedSpotsOfUpToFifteenPlayers) {
    std::mt19937_64 random(2026);
    const std::string boards[] = {"", "6c7c8c", "6c7c8c9cTc", "AhAdKs"};
    const std::string pairs[] = {"66+", "99+", "QQ+, AK", "TT+, AJs+", "random"};
    for (int round = 0; round < 60; ++round) {
        std::vector<std::string> ranges(8 + random() % 8);
        for (std::string& range : ranges) {
            const auto kind = random() % 6;
            range = kind < 5 ? pairs[kind] : narrow_range(random, 6, "AKQJT9876");
        }
        const auto spot = prepared(ranges, boards[round % 4], round % 5 == 0 ? "Jc Jd" : "");
        if (spot) { EXPECT_NE(search_a_deal(*spot).verdict, DealVerdict::undecided) << round; }
    }
    for (std::size_t players = 2; players <= 15; ++players)
        for (const char* range : {"66+", "99+", "AA, KK", "AK", "AK, AQ, AJ, AT, A9, A8", "AhKh, AhQh, KsQs, JJ"}) {
            const auto spot = prepared(std::vector<std::string>(players, range), "");
            ASSERT_TRUE(spot);
            EXPECT_NE(search_a_deal(*spot).verdict, DealVerdict::undecided) << players << " " << range;
        }
}

// Why none is found: too few cards among the ranges, or too few left for the
// hands or for the board. (Every method refuses such spots: RangeEquity's test.)
TEST(DealSearch, SaysWhyThereIsNoDeal) {
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"66+", "6c7c8c9cTc", "Jc",
         "15 players need 15 hands at once, and the cards their ranges hold make at most 12"},
        {"random", "6c7d8h9sTc", "JcJd", "15 hands need 30 cards, and 29 are left"},
        {"random", "6c7d8h", "JcJd", "15 hands leave 1 card for the board, which needs 2"},
    };
    for (const auto& [range, board, dead, why] : cases) {
        const auto spot = prepared(std::vector<std::string>(15, range), board, dead);
        ASSERT_TRUE(spot);
        const DealSearch search = search_a_deal(*spot);
        EXPECT_EQ(search.verdict, DealVerdict::none) << why;
        EXPECT_EQ(search.why, why);
    }
}

} // namespace
} // namespace varnolith
