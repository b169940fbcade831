#include "dialogue.hpp"

#include <algorithm>
#include <exception>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "console_monte_carlo.hpp"
#include "enumeration.hpp"
#include "method.hpp"
#include "notation.hpp"
#include "report.hpp"

namespace varnolith {

namespace {

// Everything up to the next line feed, which is dropped; nothing is trimmed.
// At the end of input, or once the stream has failed, every line is empty.
std::string read_line(std::istream& in, std::ostream& out) {
    out.flush();
    std::string line;
    if (!std::getline(in, line)) line.clear();
    return line;
}

// A formatted count, then exactly one character discarded (normally the line
// feed). Blank lines before it are skipped; a missing or non-numeric count is 0.
int read_count(std::istream& in, std::ostream& out) {
    out.flush();
    int count = 0;
    in >> count;
    if (in) in.ignore();
    return count;
}

void print_summary(std::ostream& out, const std::vector<HoleHand>& hands, const Board& board) {
    out << "\nInput Summary:\n";
    for (std::size_t i = 0; i < hands.size(); ++i)
        out << "Player " << i + 1 << ": " << card_to_string(hands[i].first) << " " << card_to_string(hands[i].second)
            << "\n";
    if (board.empty()) return;
    out << "Board: ";
    for (const Card c : board) out << card_to_string(c) << " ";
    out << "\n";
}

int32_t read_iterations(std::istream& in, std::ostream& out, std::ostream& err) {
    out << "Enter Monte Carlo iterations (default 500000, press Enter for default): ";
    const std::string line = read_line(in, out);
    if (line.empty()) return default_iterations;
    int value = 0;
    try {
        value = std::stoi(line);
    } catch (const std::exception&) {
        err << "Invalid input for iterations. Using default (500000).\n";
        return default_iterations;
    }
    if (value <= 0) {
        err << "Invalid iterations. Using default (500000).\n";
        return default_iterations;
    }
    return value;
}

void compute(std::istream& in, std::ostream& out, std::ostream& err, const std::vector<HoleHand>& hands,
             const Board& board, const DialogueOptions& options) {
    const ProgressLine progress{options.show_progress ? &err : nullptr};
    const Method method = select_method(static_cast<int>(hands.size()), static_cast<int>(board.size()));
    if (method == Method::monte_carlo_user_count) {
        const int32_t iterations = read_iterations(in, out, err);
        out << "Running Monte Carlo simulation with " << iterations << " iterations...\n";
        run_monte_carlo(hands, board, std::min(iterations, options.trial_cap), out, progress);
        return;
    }
    out << "Running complete enumeration...\n";
    if (method == Method::monte_carlo_fallback) {
        out << "[Fallback Monte Carlo - troppo complesso per enumerazione]\n";
        run_monte_carlo(hands, board, std::min(fallback_trials, options.trial_cap), out, progress);
        return;
    }
    print_enumeration_report(out, enumerate_equity(hands, board));
}

} // namespace

int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, const DialogueOptions& options) {
    out << "Enter the number of hands: ";
    const int count = read_count(in, out);
    if (count < 2) {
        err << "At least two hands are needed to calculate equity.\n";
        return 1;
    }
    // Sixteen hands and a board need more than 36 cards: refuse before asking for them.
    if (count > max_hands) {
        err << "At most 15 hands fit in a 36-card deck.\n";
        return 1;
    }
    out << "Example combo format: AhKd (Ace of hearts, King of diamonds)\n";
    std::vector<HoleHand> hands;
    for (int i = 1; i <= count; ++i) {
        out << "Enter Combo " << i << ": ";
        const std::string line = read_line(in, out);
        try {
            hands.push_back(parse_hand(line));
        } catch (const std::invalid_argument& e) {
            err << "Error: " << e.what() << "\n";
            return 1;
        }
    }

    out << "Enter number of board cards (0 to 5): ";
    const std::string count_line = read_line(in, out);
    int board_count = 0;
    if (!count_line.empty()) {
        try {
            board_count = std::stoi(count_line);
        } catch (const std::exception&) {
            err << "Invalid input for board cards count.\n";
            return 1;
        }
        if (board_count < 0 || board_count > 5) {
            err << "Invalid number of board cards. Must be between 0 and 5.\n";
            return 1;
        }
    }
    std::vector<std::string> board_texts;
    for (int j = 1; j <= board_count; ++j) {
        out << "Enter board card " << j << ": ";
        board_texts.push_back(read_line(in, out));
    }
    Board board;
    try {
        board = parse_board(board_texts);
    } catch (const std::invalid_argument& e) {
        err << "Error parsing board cards: " << e.what() << "\n";
        return 1;
    }

    std::set<Card> in_play;
    for (const HoleHand& h : hands) {
        if (!in_play.insert(h.first).second || !in_play.insert(h.second).second) {
            err << "Error: Duplicate card in hands\n";
            return 1;
        }
    }
    for (const Card c : board) {
        if (!in_play.insert(c).second) {
            err << "Error: Duplicate card in board or between board and hands\n";
            return 1;
        }
    }

    print_summary(out, hands, board);
    compute(in, out, err, hands, board, options);
    out.flush();
    return 0;
}

} // namespace varnolith
