#include "ranges/sampling/in_turn.hpp"

#include <algorithm>
#include <numeric>

namespace varnolith {

namespace {

constexpr double mix = 1.0 / 16; // the plain share of a proposal

// The draws from the whole range tried before walking the fitting ones, and
// the least share of the range's weight left for which they are worth trying.
constexpr int tries = 12;
constexpr double worth_trying = 0.125;

// Below this share of the whole weight, the running sums' rounding may hide a
// true zero or make one up.
constexpr double trusted_share = 1e-9;

constexpr std::size_t block = 8; // proposals summed in blocks, so a draw walks blocks first

bool same_range(const std::vector<LiveCombo>& a, const std::vector<LiveCombo>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const LiveCombo& x, const LiveCombo& y) {
        return x.bits.cards == y.bits.cards && x.weight == y.weight;
    });
}

InTurnRange by_card(const std::vector<LiveCombo>& live) {
    InTurnRange range;
    std::array<std::vector<InTurnRange::Holder>, deck_size> holders;
    for (std::size_t i = 0; i < live.size(); ++i) {
        const LiveCombo& c = live[i];
        const auto a = static_cast<uint8_t>(c.first - 24), b = static_cast<uint8_t>(c.second - 24);
        range.total += c.weight;
        range.by_card[a] += c.weight;
        range.by_card[b] += c.weight;
        holders[a].push_back({static_cast<uint32_t>(i), b});
        holders[b].push_back({static_cast<uint32_t>(i), a});
        range.combos.push_back({c.bits.cards, c.weight, a, b});
    }
    for (std::size_t x = 0; x < deck_size; ++x) {
        range.holding_at[x] = static_cast<uint32_t>(range.holding.size());
        range.holding.insert(range.holding.end(), holders[x].begin(), holders[x].end());
    }
    range.holding_at[deck_size] = static_cast<uint32_t>(range.holding.size());
    return range;
}

// The look ahead per card: over the ranges with players still to draw, the
// share of fitting weight not holding the card, to the power of those players.
void look_ahead(const InTurn& in_turn, const uint8_t* later, const double* left, const double* left_by_card,
                std::array<double, deck_size>& ahead) {
    ahead.fill(1.0);
    for (std::size_t g = 0; g < in_turn.ranges.size(); ++g) {
        // A range with (next to) nothing left says nothing the draw can use.
        if (later[g] == 0 || !(left[g] > trusted_share * in_turn.ranges[g].total)) continue;
        const double per_weight = 1.0 / left[g];
        const double* holding = left_by_card + g * deck_size;
        std::array<double, deck_size> share, power;
        for (std::size_t x = 0; x < deck_size; ++x) {
            const double s = 1.0 - holding[x] * per_weight; // rounding may leave it a hair outside [0, 1]
            share[x] = s < 0.0 ? 0.0 : s > 1.0 ? 1.0 : s;
            power[x] = 1.0;
        }
        for (unsigned n = later[g];; n >>= 1) {
            if (n & 1)
                for (std::size_t x = 0; x < deck_size; ++x) power[x] *= share[x];
            if (n <= 1) break;
            for (std::size_t x = 0; x < deck_size; ++x) share[x] *= share[x];
        }
        for (std::size_t x = 0; x < deck_size; ++x) ahead[x] *= power[x];
    }
}

// Takes card x out of the ranges with players still to draw: the
// combinations holding it that still fit (none of `used`) leave their range's
// sums. The lists of fitting combinations are cut when next walked.
void take_card(const InTurn& in_turn, const uint8_t* later, std::size_t x, uint64_t used, InTurnScratch& scratch) {
    for (std::size_t g = 0; g < in_turn.ranges.size(); ++g) {
        if (later[g] == 0) continue;
        const InTurnRange& range = in_turn.ranges[g];
        double* holding = scratch.left_by_card.data() + g * deck_size;
        double removed = 0;
        for (uint32_t h = range.holding_at[x]; h < range.holding_at[x + 1]; ++h) {
            const InTurnRange::Combo& c = range.combos[range.holding[h].combo];
            const double w = c.cards & used ? 0.0 : c.weight;
            removed += w;
            holding[range.holding[h].other] -= w;
        }
        scratch.left[g] -= removed;
        holding[x] = 0; // nothing that fits holds it now
    }
}

// The range's list of fitting combinations, cut to those holding no card of `used`.
uint32_t cut(const InTurnRange& range, uint32_t* members, uint32_t listed, uint64_t used) {
    uint32_t fitting = 0;
    for (uint32_t k = 0; k < listed; ++k) {
        const uint32_t c = members[k];
        members[fitting] = c;
        fitting += range.combos[c].cards & used ? 0 : 1;
    }
    return fitting;
}

// One player's draw: the range drawn from, the list of its combinations that
// may still fit (`members`, the first `listed` of them, cut on the way), the
// weight of those that fit, the table that draws the whole range by weight,
// and the cards already out.
struct PlayerDraw {
    const InTurnRange& range;
    uint32_t* members;
    uint32_t& listed;
    double left;
    const AliasTable& table;
    uint64_t used;
};

// A fitting combination by weight alone: drawn from the whole range until it
// fits while most does, else the fitting ones walked to a uniform share of
// their weight.
uint32_t draw_fitting(const PlayerDraw& d, TrialStream& stream) {
    const InTurnRange& range = d.range;
    const uint32_t* members = d.members;
    const uint32_t listed = d.listed;
    const AliasTable& table = d.table;
    const uint64_t used = d.used;
    const double left = d.left;
    if (left >= worth_trying * range.total)
        for (int t = 0; t < tries; ++t) {
            const uint32_t c = table.draw(stream());
            if (!(range.combos[c].cards & used)) return c;
        }
    double target = left * unit_interval(stream());
    uint32_t last = 0;
    for (uint32_t k = 0; k < listed; ++k) {
        if (range.combos[members[k]].cards & used) continue;
        last = members[k];
        target -= range.combos[last].weight;
        if (target < 0) break;
    }
    return last; // past the end only by rounding: the last that fits
}

constexpr uint32_t none = UINT32_MAX;

// The j-th player's combination drawn from q_j, its list cut on the way;
// multiplies `weight` by w / (T q_j). `none` when nothing fits.
uint32_t draw_looking_ahead(const PlayerDraw& d, TrialStream& stream, InTurnScratch& scratch, double& weight) {
    const InTurnRange& range = d.range;
    uint32_t* members = d.members;
    const double left = d.left;
    const uint64_t used = d.used;
    const InTurnRange::Combo* combos = range.combos.data();
    const double* ahead = scratch.ahead.data();
    double* proposal = scratch.proposal.data();
    double* sums = scratch.blocks.data();
    uint32_t fitting = 0;
    for (uint32_t k = 0; k < d.listed; ++k) {
        const uint32_t c = members[k];
        members[fitting] = c;
        proposal[fitting] = combos[c].weight * ahead[combos[c].low] * ahead[combos[c].high];
        fitting += combos[c].cards & used ? 0 : 1;
    }
    d.listed = fitting;
    if (fitting == 0) return none;
    const std::size_t blocks = (fitting + block - 1) / block;
    std::fill(proposal + fitting, proposal + blocks * block, 0.0);
    double proposed = 0;
    for (std::size_t b = 0; b < blocks; ++b) {
        double sum = 0;
        for (std::size_t k = b * block; k < (b + 1) * block; ++k) sum += proposal[k];
        sums[b] = sum;
        proposed += sum;
    }
    const double plain = proposed > 0 ? mix : 1.0;
    const double u = unit_interval(stream());
    uint32_t c;
    if (u < plain) {
        c = draw_fitting(d, stream);
    } else {
        double target = proposed * (u - plain) / (1 - plain);
        std::size_t b = 0;
        while (b + 1 < blocks && target >= sums[b]) target -= sums[b++];
        std::size_t k = b * block;
        const std::size_t end = std::min<std::size_t>(fitting, (b + 1) * block);
        while (k + 1 < end && target >= proposal[k]) target -= proposal[k++];
        c = members[k];
    }
    const double looks = ahead[combos[c].low] * ahead[combos[c].high];
    const double chance = (1 - plain) * (proposed > 0 ? looks / proposed : 0.0) + plain / left; // q_j / w
    weight /= range.total * chance;
    return c;
}

} // namespace

InTurn make_in_turn(const PreparedSpot& spot, const std::vector<std::size_t>& drawn) {
    InTurn in_turn;
    in_turn.order = drawn;
    std::stable_sort(in_turn.order.begin(), in_turn.order.end(),
                     [&](std::size_t a, std::size_t b) { return spot.live[a].size() < spot.live[b].size(); });
    in_turn.range_of.assign(spot.live.size(), 0);
    std::vector<std::size_t> first_of; // a player of each distinct range
    std::size_t members = 0;
    for (const std::size_t p : in_turn.order) {
        const auto same = std::find_if(first_of.begin(), first_of.end(),
                                       [&](std::size_t q) { return same_range(spot.live[p], spot.live[q]); });
        in_turn.range_of[p] = same != first_of.end() ? in_turn.range_of[*same] : first_of.size();
        if (same != first_of.end()) continue;
        first_of.push_back(p);
        in_turn.ranges.push_back(by_card(spot.live[p]));
        in_turn.ranges.back().members_at = members;
        members += spot.live[p].size();
    }
    const std::size_t ranges = in_turn.ranges.size(), players = in_turn.order.size();
    in_turn.to_come.assign(players * ranges, 0);
    for (std::size_t j = 0; j < players; ++j)
        for (std::size_t k = j + 1; k < players; ++k)
            ++in_turn.to_come[j * ranges + in_turn.range_of[in_turn.order[k]]];
    if (players < 2) return in_turn;
    // The first player's proposal, q_1, from the ranges whole.
    InTurnScratch scratch(in_turn);
    std::vector<double> left, left_by_card;
    for (const InTurnRange& range : in_turn.ranges) {
        left.push_back(range.total);
        left_by_card.insert(left_by_card.end(), range.by_card.begin(), range.by_card.end());
    }
    look_ahead(in_turn, in_turn.to_come.data(), left.data(), left_by_card.data(), scratch.ahead);
    const InTurnRange& range = in_turn.ranges[in_turn.range_of[in_turn.order[0]]];
    double proposed = 0;
    for (const InTurnRange::Combo& c : range.combos)
        proposed += c.weight * scratch.ahead[c.low] * scratch.ahead[c.high];
    const double plain = proposed > 0 ? mix : 1.0;
    std::vector<double> chance; // q_1
    for (const InTurnRange::Combo& c : range.combos) {
        const double looks = proposed > 0 ? scratch.ahead[c.low] * scratch.ahead[c.high] / proposed : 0.0;
        chance.push_back(c.weight * ((1 - plain) * looks + plain / range.total));
        in_turn.opening_factor.push_back(c.weight / (range.total * chance.back()));
    }
    in_turn.opening = AliasTable(chance);
    return in_turn;
}

InTurnScratch::InTurnScratch(const InTurn& in_turn)
    : left_by_card(in_turn.ranges.size() * deck_size), left(in_turn.ranges.size()), fitting(in_turn.ranges.size()) {
    std::size_t members_size = 0, widest = 0;
    for (const InTurnRange& range : in_turn.ranges) {
        members_size += range.combos.size();
        widest = std::max(widest, range.combos.size());
    }
    members.resize(members_size);
    blocks.resize((widest + block - 1) / block);
    proposal.resize(blocks.size() * block);
}

double draw_in_turn(const InTurn& in_turn, const std::vector<AliasTable>& tables, TrialStream& stream, uint64_t& used,
                    std::vector<uint32_t>& chosen, InTurnScratch& scratch) {
    const std::size_t ranges = in_turn.ranges.size();
    for (std::size_t g = 0; g < ranges; ++g) {
        const InTurnRange& range = in_turn.ranges[g];
        scratch.left[g] = range.total;
        std::copy(range.by_card.begin(), range.by_card.end(),
                  scratch.left_by_card.begin() + static_cast<std::ptrdiff_t>(g * deck_size));
        scratch.fitting[g] = static_cast<uint32_t>(range.combos.size());
        const auto at = scratch.members.begin() + static_cast<std::ptrdiff_t>(range.members_at);
        std::iota(at, at + scratch.fitting[g], 0u);
    }
    used = 0;
    double weight = 1;
    for (std::size_t j = 0; j < in_turn.order.size(); ++j) {
        const std::size_t p = in_turn.order[j], r = in_turn.range_of[p];
        const InTurnRange& range = in_turn.ranges[r];
        const uint8_t* later = in_turn.to_come.data() + j * ranges;
        uint32_t* members = scratch.members.data() + range.members_at;
        double left = scratch.left[r]; // rounding aside; summed afresh when that may matter
        if (!(left > trusted_share * range.total)) {
            scratch.fitting[r] = cut(range, members, scratch.fitting[r], used);
            left = 0;
            for (uint32_t k = 0; k < scratch.fitting[r]; ++k) left += range.combos[members[k]].weight;
            if (left == 0) return 0;
        }
        uint32_t c;
        if (j == 0 && in_turn.order.size() > 1) {
            c = in_turn.opening.draw(stream());
            weight *= in_turn.opening_factor[c];
        } else if (j + 1 < in_turn.order.size()) {
            look_ahead(in_turn, later, scratch.left.data(), scratch.left_by_card.data(), scratch.ahead);
            c = draw_looking_ahead({range, members, scratch.fitting[r], left, tables[p], used}, stream, scratch, weight);
            if (c == none) return 0;
        } else {
            c = draw_fitting({range, members, scratch.fitting[r], left, tables[p], used}, stream);
            weight *= std::min(1.0, left / range.total);
        }
        chosen[p] = c;
        const InTurnRange::Combo& combo = range.combos[c];
        take_card(in_turn, later, combo.low, used, scratch);
        used |= uint64_t{1} << (combo.low + 24);
        take_card(in_turn, later, combo.high, used, scratch);
        used |= combo.cards;
    }
    return weight;
}

} // namespace varnolith
