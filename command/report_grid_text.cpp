#include <cmath>
#include <cstdio>
#include <string>

#include "grid.hpp"
#include "report.hpp"

namespace varnolith {

namespace {

constexpr int grid_side = 9;

// Every cell is this wide, so the columns line up in colour or not: " 100.0".
constexpr int cell_width = 6;

std::string painted(const std::string& text, double equity) {
    return "\x1b[30;48;5;" + std::to_string(terminal_colour(equity_colour(equity))) + "m" + text + "\x1b[0m";
}

std::string cell_text(const GridCell& cell, bool colour) {
    if (std::isnan(cell.equity)) return std::string(cell_width, ' ');
    char text[16];
    std::snprintf(text, sizeof text, "%*.1f", cell_width, 100.0 * cell.equity);
    return colour ? painted(text, cell.equity) : std::string(text);
}

void write_square(std::ostream& out, const RangeGrid& grid, bool colour) {
    std::string header(1, ' ');
    for (int column = 0; column < grid_side; ++column)
        header += std::string(cell_width - 1, ' ') + grid_rank(column);
    out << header << '\n';
    for (int row = 0; row < grid_side; ++row) {
        std::string line(1, grid_rank(row));
        for (int column = 0; column < grid_side; ++column)
            line += cell_text(grid[static_cast<std::size_t>(row * grid_side + column)], colour);
        // Blank cells at the end of a row leave only blanks there.
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

void write_scale(std::ostream& out) {
    out << "\nScale ";
    for (int percent = 0; percent <= 100; percent += 25) {
        char text[16];
        std::snprintf(text, sizeof text, "%*d%%", cell_width - 1, percent);
        out << painted(text, percent / 100.0);
    }
    out << '\n';
}

} // namespace

void write_grid_text(std::ostream& out, const CommandReport& report) {
    for (std::size_t i = 0; i < report.result.players.size(); ++i) {
        out << "\nPlayer " << i + 1 << " (" << report.options.ranges[i] << "), equity by hand class, percent\n";
        write_square(out, range_grid(report.result.players[i]), report.colour);
    }
    if (report.colour) write_scale(out);
}

} // namespace varnolith
