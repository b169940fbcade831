#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "answer_text.hpp"
#include "card_text.hpp"

namespace varnolith {

namespace {

constexpr int suits = 4;
constexpr int cell_width = 7;        // " 100.0" and the mark after it
constexpr std::size_t panels_across = 2; // two squares and their gap stay within 80 columns
constexpr const char* panel_gap = "    ";
// Equities this close are a tie for the lead, not a change of it.
constexpr double tie_slack = 1e-9;

// A title, the suits, then ranks A down to 6.
using Panel = std::vector<std::string>;

std::vector<bool> leaders(const std::vector<double>& equity) {
    const double best = *std::max_element(equity.begin(), equity.end());
    std::vector<bool> leading;
    for (const double e : equity) leading.push_back(e >= best - tie_slack);
    return leading;
}

// "player 1", "players 1 and 3"; "64.5 and 35.5".
std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

std::string leader_text(const std::vector<bool>& leading) {
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < leading.size(); ++i)
        if (leading[i]) numbers.push_back(std::to_string(i + 1));
    return (numbers.size() == 1 ? "player " : "players ") + listed(numbers);
}

std::string fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Right-aligned, then the mark.
std::string cell_text(double percent, int decimals, char mark) {
    const std::string shown = fixed(percent, decimals);
    return std::string(std::max<std::size_t>(cell_width - 1, shown.size()) - shown.size(), ' ') + shown + mark;
}

// `cell` gives the text of each card that can come; the others show "-".
template <typename Cell>
Panel card_square(const std::string& title, const std::vector<NextCard>& cards, Cell cell) {
    Panel panel{title, " "};
    for (int suit = 0; suit < suits; ++suit)
        panel.back() += std::string(cell_width - 2, ' ') + "cdhs"[suit] + ' ';
    for (int rank = highest_rank; rank >= lowest_rank; --rank) {
        std::string line = card_text(Card{rank, 0}).substr(0, 1);
        for (int suit = 0; suit < suits; ++suit) {
            const Card card{rank, suit};
            const auto at = std::find_if(cards.begin(), cards.end(), [&](const NextCard& n) { return n.card == card; });
            line += at == cards.end() ? std::string(cell_width - 2, ' ') + "- " : cell(*at);
        }
        panel.push_back(line);
    }
    return panel;
}

void write_panels(std::ostream& out, const std::vector<Panel>& panels) {
    std::size_t width = 0;
    for (const Panel& p : panels)
        for (const std::string& line : p) width = std::max(width, line.size());
    for (std::size_t first = 0; first < panels.size(); first += panels_across) {
        const std::size_t last = std::min(first + panels_across, panels.size());
        for (std::size_t line = 0; line < panels[first].size(); ++line) {
            std::string text;
            for (std::size_t p = first; p < last; ++p) {
                if (p > first) text += std::string(width - panels[p - 1][line].size(), ' ') + panel_gap;
                text += panels[p][line];
            }
            text.erase(text.find_last_not_of(' ') + 1);
            out << text << '\n';
        }
        out << (last < panels.size() ? "\n" : "");
    }
}

} // namespace

void write_next_cards_text(std::ostream& out, const Answer& answer) {
    std::vector<double> now;
    std::vector<std::string> now_text;
    for (const RangePlayerResult& p : answer.result.players) {
        now.push_back(p.equity);
        now_text.push_back(fixed(100.0 * p.equity, 1));
    }
    const std::vector<bool> leading = leaders(now);
    out << "\nNext card, each player's equity in percent when it comes: now " << listed(now_text) << '\n'
        << "* the card changes who has the highest equity (now " << leader_text(leading) << "); - it cannot come\n\n";
    std::vector<Panel> panels;
    for (std::size_t i = 0; i < now.size(); ++i)
        panels.push_back(card_square("Player " + std::to_string(i + 1), answer.next_cards, [&](const NextCard& n) {
            return cell_text(100.0 * n.equity[i], 1, leaders(n.equity) == leading ? ' ' : '*');
        }));
    panels.push_back(card_square("Probability %", answer.next_cards,
                                 [](const NextCard& n) { return cell_text(100.0 * n.probability, 2, ' '); }));
    write_panels(out, panels);
}

} // namespace varnolith
