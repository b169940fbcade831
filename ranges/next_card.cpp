#include "ranges/next_card.hpp"

#include <algorithm>
#include <stdexcept>

#include "ranges/error.hpp"

namespace varnolith {

namespace {

// One exact run per card; progress runs over all of them in turn.
struct CardProgress {
    const RangeOptions& outer;
    double first = 0, share = 0;
};

void forward_progress(double done, void* context) {
    const auto& p = *static_cast<const CardProgress*>(context);
    p.outer.progress(p.first + p.share * done, p.outer.progress_context);
}

} // namespace

std::vector<NextCard> next_card_table(const RangeSpot& spot, const RangeOptions& options) {
    if (spot.board.size() != 3 && spot.board.size() != 4)
        throw RangeError(ErrorKind::usage, "a next-card table needs a flop or a turn on the board", ErrorField::by_card);
    std::vector<Card> candidates;
    for (const Card c : full_deck())
        if (std::find(spot.board.begin(), spot.board.end(), c) == spot.board.end() &&
            std::find(spot.dead.begin(), spot.dead.end(), c) == spot.dead.end())
            candidates.push_back(c);
    std::vector<NextCard> table;
    std::vector<double> weights;
    CardProgress progress{options, 0, 1.0 / static_cast<double>(candidates.size())};
    RangeOptions each = options;
    if (options.progress) {
        each.progress = forward_progress;
        each.progress_context = &progress;
    }
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        progress.first = static_cast<double>(i) * progress.share;
        RangeSpot next = spot;
        next.board.push_back(candidates[i]);
        try {
            const RangeResult result = range_equity_exact(next, each);
            NextCard& row = table.emplace_back();
            row.card = candidates[i];
            for (const RangePlayerResult& p : result.players) row.equity.push_back(p.equity);
            weights.push_back(result.deal_weight);
        } catch (const RangeError& e) {
            if (e.kind != ErrorKind::no_deal) throw; // every deal holds this card: it cannot come
        }
    }
    if (table.empty())
        throw RangeError(ErrorKind::no_deal, "no compatible deal: the ranges cannot be dealt without a card held twice",
                         ErrorField::ranges);
    double total = 0;
    for (const double w : weights) total += w;
    for (std::size_t i = 0; i < table.size(); ++i) table[i].probability = weights[i] / total;
    return table;
}

} // namespace varnolith
