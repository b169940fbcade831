#pragma once
// The answer of a run: a table for people, or one JSON object for programs.

#include <array>
#include <ostream>
#include <string>
#include <string_view>

#include "card_text.hpp"
#include "grid.hpp"
#include "options.hpp"
#include "ranges/equity.hpp"
#include "answer.hpp"
#include "answer_text.hpp"

namespace varnolith {

struct CommandReport {
    const CommandOptions& options; // the ranges as given and the breakdowns asked for
    const RangeSpot& spot;
    const Answer& answer;                         // the figures, the next cards, the time taken
    TerminalColour colour = TerminalColour::none; // the grid's cells coloured for a terminal
};

// The answer's table as every front end prints it, then the square of classes
// when asked for.
void write_text_report(std::ostream& out, const CommandReport& report);

// Each player's square of hand classes, equity in percent in every cell.
void write_grid_text(std::ostream& out, const CommandReport& report);

// The same squares, four to a row, as one SVG picture. Nothing in it varies
// from run to run but what the result does.
std::string svg_picture(const CommandReport& report);

// With --flops: player 1's equity over the flops and by texture, as SVG.
std::string flops_svg(const CommandReport& report);

// Throws std::runtime_error "cannot write FILE: reason".
void write_svg_file(const std::string& path, const CommandReport& report);

} // namespace varnolith
