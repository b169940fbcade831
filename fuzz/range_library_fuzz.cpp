// The range library with arbitrary text: no crash, no access outside the
// caller's strings and records, and only documented results. Two header bytes
// pick the options; the rest is "board|dead|range|range|...". The work stays
// small: Monte Carlo of at most 200 trials on one thread, exact heads-up only
// from the turn on, at most four players.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <varnolith/range.h>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// The C strings the library will see: each piece ends at its first NUL.
std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> pieces(1);
    for (const char c : text) {
        if (c == '|') pieces.emplace_back();
        else pieces.back().push_back(c);
    }
    for (std::string& piece : pieces) piece.resize(std::strlen(piece.c_str()));
    return pieces;
}

// A card is a rank letter followed by a suit letter; a board that parses has
// exactly this many, and one that does not is refused before any work.
int board_cards(std::string_view board) {
    int count = 0;
    for (std::size_t i = 0; i + 1 < board.size(); ++i)
        count += std::string_view("6789TJQKA").find(board[i]) != std::string_view::npos &&
                 std::string_view("cdhs").find(board[i + 1]) != std::string_view::npos;
    return count;
}

bool near(double a, double b) { return std::fabs(a - b) <= 1e-9; }

void check_result(const varnolith_range_result* r, int32_t players) {
    const int32_t status = varnolith_range_status(r);
    check(status >= VARNOLITH_RANGE_OK && status <= VARNOLITH_RANGE_ERROR_INTERNAL);
    check(status != VARNOLITH_RANGE_ERROR_MEMORY && status != VARNOLITH_RANGE_ERROR_INTERNAL);
    const std::string message = varnolith_range_message(r);
    check(message.empty() == (status == VARNOLITH_RANGE_OK));
    if (status != VARNOLITH_RANGE_OK) {
        check(varnolith_range_players(r) == 0 && std::isnan(varnolith_range_equity(r, 0)));
        return;
    }
    check(varnolith_range_players(r) == players);
    double pot = 0;
    for (int32_t p = 0; p < players; ++p) {
        const double equity = varnolith_range_equity(r, p);
        check(equity >= 0 && equity <= 1 && near(equity, varnolith_range_win(r, p) + varnolith_range_tie(r, p)));
        pot += equity;
        double categories = 0, weights = 0;
        for (int32_t c = 0; c < VARNOLITH_RANGE_CATEGORIES; ++c) categories += varnolith_range_category(r, p, c);
        check(near(categories, 1));
        const int32_t combos = varnolith_range_combos(r, p);
        check(combos >= 1 && combos <= 630);
        for (int32_t i = 0; i < combos; ++i) {
            char text[5];
            double weight = -1, hand_equity = -1;
            check(varnolith_range_hand(r, p, i, text, &weight, &hand_equity) == VARNOLITH_RANGE_OK);
            check(std::strlen(text) == 4 && weight >= 0 && weight <= 1);
            check(std::isnan(hand_equity) || (hand_equity >= 0 && hand_equity <= 1));
            weights += weight;
        }
        check(near(weights, 1));
        check(varnolith_range_hand(r, p, combos, nullptr, nullptr, nullptr) == VARNOLITH_RANGE_ERROR_ARGUMENT);
    }
    check(near(pot, 1));
}

// Hit lines, when asked for: every player's made classes share its deals.
void check_hits(const varnolith_range_result* r, int32_t players) {
    for (int32_t p = 0; p < players; ++p) {
        const int32_t lines = varnolith_range_hits(r, p);
        check(lines == 0 || lines == 15 || lines == 22);
        double share = 0;
        for (int32_t i = 0; i < lines; ++i) {
            const char* name = nullptr;
            int32_t draw = -1;
            double combos = -1, part = -1, equity = -1;
            check(varnolith_range_hit(r, p, i, &name, &draw, &combos, &part, &equity) == VARNOLITH_RANGE_OK);
            check(name != nullptr && std::strlen(name) > 0 && combos >= 0 && part >= 0 && part <= 1 + 1e-9);
            check(std::isnan(equity) || (equity >= 0 && equity <= 1));
            if (draw == 0) share += part;
        }
        check(lines == 0 || near(share, 1));
        check(varnolith_range_hit(r, p, lines, nullptr, nullptr, nullptr, nullptr, nullptr) ==
              VARNOLITH_RANGE_ERROR_ARGUMENT);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const uint8_t flags = data[0];
    const std::vector<std::string> pieces = split(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2));
    if (pieces.size() > 6) return 0; // more than four players
    const std::string board = pieces[0], dead = pieces.size() > 1 ? pieces[1] : "";
    std::vector<const char*> ranges;
    for (std::size_t i = 2; i < pieces.size(); ++i) ranges.push_back(pieces[i].c_str());
    const auto players = static_cast<int32_t>(ranges.size());

    // The record at its full size, cut to an older one's (threads then take
    // the default, every core), grown, or too small to hold anything.
    struct {
        varnolith_range_options known;
        unsigned char later[8];
    } record;
    std::memset(record.later, 0xff, sizeof record.later);
    varnolith_range_options_init(&record.known);
    const std::size_t sizes[] = {sizeof record.known, offsetof(varnolith_range_options, threads), sizeof record, 4};
    record.known.size = sizes[flags & 3];
    record.known.method = VARNOLITH_RANGE_MONTE_CARLO;
    record.known.trials = 1 + data[1] % 200;
    record.known.seed_given = 1;
    record.known.seed = data[1];
    record.known.threads = 1;
    record.known.hits = (flags & 32) != 0; // read only by a record of the full size
    const bool with_board = (flags & 8) == 0;
    const bool exact = (flags & 4) != 0 && players == 2 && with_board && board_cards(board) >= 4;
    if (exact) record.known.method = VARNOLITH_RANGE_EXACT;

    varnolith_range_result* r = varnolith_range_compute(players > 0 ? ranges.data() : nullptr, players,
                                                        with_board ? board.c_str() : nullptr,
                                                        flags & 16 ? nullptr : dead.c_str(), &record.known);
    check(r != nullptr);
    if ((flags & 3) == 3) check(varnolith_range_status(r) == VARNOLITH_RANGE_ERROR_ARGUMENT);
    check_result(r, players);
    if (varnolith_range_status(r) == VARNOLITH_RANGE_OK) {
        check(varnolith_range_method(r) == (exact ? VARNOLITH_RANGE_EXACT : VARNOLITH_RANGE_MONTE_CARLO));
        check_hits(r, players);
    }
    varnolith_range_free(r);

    // The same pieces cut by a filter: the first range's text is the names
    // when it has a flag of its own, else a list that parses.
    const char* names = (flags & 64) != 0 && players > 1 ? ranges[0] : "set, top_pair, !flush_draw";
    varnolith_range_result* f = varnolith_range_filter(players > 0 ? ranges.data() : nullptr, players,
                                                       with_board ? board.c_str() : nullptr, dead.c_str(), names,
                                                       &record.known);
    check(f != nullptr);
    const int32_t status = varnolith_range_status(f);
    check(status == VARNOLITH_RANGE_OK || status == VARNOLITH_RANGE_ERROR_ARGUMENT ||
          status == VARNOLITH_RANGE_ERROR_RANGE || status == VARNOLITH_RANGE_ERROR_CARDS);
    check(varnolith_range_players(f) == 0);
    for (int32_t p = 0; p <= players; ++p) {
        char text[16];
        const std::size_t length = varnolith_range_filtered(f, p, text, sizeof text);
        check(std::strlen(text) == (length < sizeof text ? length : sizeof text - 1));
        if (status != VARNOLITH_RANGE_OK || p == players) check(length == 0);
    }
    varnolith_range_free(f);
    return 0;
}
