#include "plain_walk.hpp"

#include <algorithm>
#include <vector>

#include "evaluator.hpp"

namespace varnolith::testing {

EquityResult plain_enumerate(std::span<const HoleHand> hands, std::span<const Card> board) {
    const std::size_t n = hands.size();
    EquityResult result{std::vector<int64_t>(n, 0), std::vector<double>(n, 0.0), 0};
    std::vector<Card> used(board.begin(), board.end());
    for (const HoleHand& h : hands) {
        used.push_back(h.first);
        used.push_back(h.second);
    }
    std::vector<Card> remaining;
    for (const Card c : full_deck())
        if (std::find(used.begin(), used.end(), c) == used.end()) remaining.push_back(c);
    const int left = static_cast<int>(remaining.size());
    const int k = 5 - static_cast<int>(board.size());
    std::vector<int> index(static_cast<std::size_t>(k));
    for (int i = 0; i < k; ++i) index[static_cast<std::size_t>(i)] = i;
    std::vector<Card> completed, seven;
    std::vector<HandValue> values(n);
    while (true) {
        completed.assign(board.begin(), board.end());
        for (const int i : index) completed.push_back(remaining[static_cast<std::size_t>(i)]);
        for (std::size_t p = 0; p < n; ++p) {
            seven = {hands[p].first, hands[p].second};
            seven.insert(seven.end(), completed.begin(), completed.end());
            values[p] = evaluate_seven(seven);
        }
        HandValue best = values[0];
        int sharers = 1;
        for (std::size_t p = 1; p < n; ++p) {
            if (values[p] > best) {
                best = values[p];
                sharers = 1;
            } else if (values[p] == best) {
                ++sharers;
            }
        }
        if (sharers == 1) {
            for (std::size_t p = 0; p < n; ++p)
                if (values[p] == best) ++result.wins[p];
        } else {
            const double share = 1.0 / sharers;
            for (std::size_t p = 0; p < n; ++p)
                if (values[p] == best) result.tie_shares[p] += share;
        }
        ++result.total;
        int i = k - 1;
        while (i >= 0 && index[static_cast<std::size_t>(i)] >= i + left - k) --i;
        if (i < 0) break;
        ++index[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < k; ++j) index[static_cast<std::size_t>(j)] = index[static_cast<std::size_t>(j - 1)] + 1;
    }
    return result;
}

} // namespace varnolith::testing
