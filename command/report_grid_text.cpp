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

// Black on the cell's colour: the scale is light enough everywhere.
std::string painted(const std::string& text, double position, TerminalColour colour) {
    std::string code;
    if (colour == TerminalColour::rgb) {
        const Rgb c = scale_colour(position);
        code = "2;" + std::to_string(c.red) + ";" + std::to_string(c.green) + ";" + std::to_string(c.blue);
    } else {
        code = "5;" + std::to_string(cube_colour(position));
    }
    return "\x1b[30;48;" + code + "m" + text + "\x1b[0m";
}

std::string cell_text(const GridCell& cell, double middle, TerminalColour colour) {
    if (std::isnan(cell.equity)) return std::string(cell_width, ' ');
    char text[16];
    std::snprintf(text, sizeof text, "%*.1f", cell_width, 100.0 * cell.equity);
    if (colour == TerminalColour::none) return text;
    return painted(text, scale_position(cell.equity, middle), colour);
}

void write_square(std::ostream& out, const RangeGrid& grid, double middle, TerminalColour colour) {
    std::string header(1, ' ');
    for (int column = 0; column < grid_side; ++column)
        header += std::string(cell_width - 1, ' ') + grid_rank(column);
    out << header << '\n';
    for (int row = 0; row < grid_side; ++row) {
        std::string line(1, grid_rank(row));
        for (int column = 0; column < grid_side; ++column)
            line += cell_text(grid[static_cast<std::size_t>(row * grid_side + column)], middle, colour);
        // Blank cells at the end of a row leave only blanks there.
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

// Every tenth of the scale, so that each colour a cell can take is shown.
void write_scale(std::ostream& out, const CommandReport& report, double middle) {
    out << "\nScale ";
    for (int tenth = 0; tenth <= 10; ++tenth) {
        char text[16];
        std::snprintf(text, sizeof text, "%*s%%", cell_width - 1,
                      short_percent(scale_equity(tenth / 10.0, middle)).c_str());
        out << painted(text, tenth / 10.0, report.colour);
    }
    const std::string note = scale_note(report.options.scale, report.answer.result.players.size());
    out << (note.empty() ? "" : "  " + note) << '\n';
}

} // namespace

void write_grid_text(std::ostream& out, const CommandReport& report) {
    const double middle = scale_middle(report.options.scale, report.answer.result.players.size());
    for (std::size_t i = 0; i < report.answer.result.players.size(); ++i) {
        out << "\nPlayer " << i + 1 << " (" << report.options.ranges[i] << "), equity by hand class, percent\n";
        write_square(out, range_grid(report.answer.result.players[i]), middle, report.colour);
    }
    if (report.colour != TerminalColour::none) write_scale(out, report, middle);
}

} // namespace varnolith
