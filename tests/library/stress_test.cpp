// Eight host threads call all four exports at once, over and over. Each answer
// must be the one the same call gives alone: enumeration is deterministic, so
// bit for bit; a Monte Carlo estimate must be a whole set of shares near the
// exact equity of its own spot, never a torn or borrowed one.

#include <gtest/gtest.h>

#include <varnolith/varnolith.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <latch>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// "Ah Kd" -> {14, 2, 13, 1}: rank then suit for each card, as the C records are laid out.
std::vector<int32_t> records(const std::string& text) {
    constexpr std::string_view ranks = "6789TJQKA", suits = "cdhs";
    std::vector<int32_t> out;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        const auto r = ranks.find(word.at(0)), s = suits.find(word.at(1));
        if (word.size() != 2 || r == std::string_view::npos || s == std::string_view::npos)
            throw std::invalid_argument("bad test card " + word);
        out.push_back(static_cast<int32_t>(r) + 6);
        out.push_back(static_cast<int32_t>(s));
    }
    return out;
}

struct Spot {
    std::vector<int32_t> hands, board;
    int32_t players = 0, board_cards = 0;
    std::vector<double> alone; // compute_equity_enumeration before any thread starts

    Spot(const std::string& hand_text, const std::string& board_text)
        : hands(records(hand_text)), board(records(board_text)),
          players(static_cast<int32_t>(hands.size() / 4)), board_cards(static_cast<int32_t>(board.size() / 2)),
          alone(static_cast<std::size_t>(players)) {
        compute_equity_enumeration(hands.data(), players, board.data(), board_cards, alone.data());
    }
};

struct KnownHand {
    std::vector<int32_t> cards;
    int32_t value;
};

// Shares in [0, 1] that add up to one pot; empty when they do.
std::string share_fault(const std::vector<double>& shares) {
    double total = 0;
    for (const double s : shares) {
        if (!(s >= 0.0 && s <= 1.0)) return "share " + std::to_string(s) + " outside [0, 1]";
        total += s;
    }
    if (std::fabs(total - 1.0) > 1e-9) return "shares add up to " + std::to_string(total);
    return {};
}

constexpr int host_threads = 8;
constexpr auto time_allowed = std::chrono::seconds(3);
constexpr int calls_per_thread = 5'000; // the cap when the build is fast
constexpr int32_t trials = 2'000;
// With 2,000 trials a share's standard error is at most 0.0112: 0.12 is over ten
// of them, so only an estimate of some other spot, or a corrupted one, lands outside.
constexpr double estimate_band = 0.12;

TEST(LibraryStress, EightHostThreadsCallEveryExportAtOnce) {
    const std::vector<Spot> spots = {
        {"Ah Kd Qs Qc", "6c 7d 8h"},
        {"Ah Kh Qs Qc 9s 8s", "Th 7c Jd"},
        {"6c 6d 7c 7d As Ks Tc 9c", "Qh Jh 8s"},
        {"Kc Kd 9h 8h", "6s Tc Jh Qd"},
        {"Ah Kd Qs Qc As Kc 7h 7s 6h 6s", "Qd Jh Td 8c 9c"},
    };
    // The flop of the first spot: AhKd's equity is 209/406 (195 wins, 28 splits).
    ASSERT_DOUBLE_EQ(spots[0].alone[0], 209.0 / 406);
    ASSERT_EQ(spots[4].alone, (std::vector<double>{0.5, 0.0, 0.5, 0.0, 0.0}));
    for (const Spot& spot : spots) ASSERT_EQ(share_fault(spot.alone), "");

    const std::vector<KnownHand> known = {
        {records("Ts Js Qs Ks As 6c 7d"), 8'000'014},
        {records("Ah 6h 7h 8h 9h Kc Qd"), 8'000'009},
        {records("Ah Kh 9h 7h 6h 8c Qd"), 6'754'761},
        {records("7c 7d 7h 8c 8d 8h Ac"), 5'000'807},
        {records("Ac Kd Qh Js 9c 7d 6h"), 755'499},
    };

    struct Report {
        int calls = 0;
        int faults = 0;
        std::string first_fault;
    };
    std::array<Report, host_threads> reports;
    std::latch start(host_threads);
    const auto deadline = std::chrono::steady_clock::now() + time_allowed;

    std::vector<std::thread> hosts;
    for (int h = 0; h < host_threads; ++h) {
        hosts.emplace_back([&, h] {
            Report& report = reports[static_cast<std::size_t>(h)];
            auto fault = [&report](const std::string& what) {
                if (report.faults++ == 0) report.first_fault = what;
            };
            start.arrive_and_wait();
            // Every thread makes each kind of call at least once, however slow the build.
            for (int i = 0; i < calls_per_thread && (i < 4 || std::chrono::steady_clock::now() < deadline); ++i) {
                ++report.calls;
                const Spot& spot = spots[static_cast<std::size_t>(h + i) % spots.size()];
                const std::string where = "thread " + std::to_string(h) + " call " + std::to_string(i) + ": ";
                std::vector<double> shares(static_cast<std::size_t>(spot.players), -1.0);
                switch ((h + i) % 4) { // neighbouring threads are busy with different exports
                case 0:
                    compute_equity_enumeration(spot.hands.data(), spot.players, spot.board.data(), spot.board_cards,
                                               shares.data());
                    if (shares != spot.alone) fault(where + "enumeration differs from the run alone");
                    break;
                case 1: {
                    compute_equity_montecarlo_ultra_fast(spot.hands.data(), spot.players, spot.board.data(),
                                                         spot.board_cards, trials + i, shares.data());
                    if (const std::string f = share_fault(shares); !f.empty()) fault(where + "Monte Carlo " + f);
                    for (std::size_t p = 0; p < shares.size(); ++p)
                        if (std::fabs(shares[p] - spot.alone[p]) > estimate_band)
                            fault(where + "Monte Carlo share " + std::to_string(shares[p]) + " for exact " +
                                  std::to_string(spot.alone[p]));
                    break;
                }
                case 2: {
                    const KnownHand& k = known[static_cast<std::size_t>(h + i) % known.size()];
                    if (const int32_t v = evaluate_hand_direct(k.cards.data(), 7); v != k.value)
                        fault(where + "evaluated " + std::to_string(v) + " for " + std::to_string(k.value));
                    break;
                }
                default:
                    set_seed(static_cast<uint32_t>(h * 1'000 + i));
                }
            }
        });
    }
    for (std::thread& t : hosts) t.join();

    for (int h = 0; h < host_threads; ++h) {
        const Report& report = reports[static_cast<std::size_t>(h)];
        EXPECT_EQ(report.faults, 0) << "thread " << h << " after " << report.calls
                                    << " calls; first: " << report.first_fault;
    }
}

} // namespace
