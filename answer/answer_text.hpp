#pragma once
// The answer to a range request as the table `varnolith` prints, and the
// preflop ordering as a table: the text every front end that prints one
// shares, the command and the range library alike.

#include <ostream>
#include <string>
#include <vector>

#include "answer.hpp"

namespace varnolith {

// The board, the dead cards and the method, the players' figures, then the
// breakdowns `shown` asks for (a next-card table only when the answer has
// one). The square of classes is not here: the command draws it after this.
// `ranges` are the texts as given, one per player; `elapsed` adds the line of
// the time taken.
void write_answer_text(std::ostream& out, const std::vector<std::string>& ranges, const RangeSpot& spot,
                       const Answer& answer, const AnswerShown& shown, bool elapsed = true);

// The squares of the cards that can come next, one per player and one of
// their probabilities.
void write_next_cards_text(std::ostream& out, const Answer& answer);

// What each range holds on the board (or, with the flops, on the flop): the
// classes and draws it has combinations in.
void write_hits_text(std::ostream& out, const std::vector<std::string>& ranges, const RangeSpot& spot,
                     const Answer& answer);

// The flop rows by player 1's equity, then the texture groups.
void write_flops_text(std::ostream& out, const Answer& answer);

// The flop rows for a spreadsheet: a header line, then a line per row.
void write_flops_csv(std::ostream& out, const Answer& answer);

// A texture group as the table names it: "two-tone", "A high", "straight possible".
std::string texture_words(const TextureGroup& g);

// "12.345" for 0.12345, "-" for NaN: a fraction as the tables show it.
std::string percent_text(double fraction);

// A range text cut to the tables' column, "..." where it was cut.
std::string shortened_range(const std::string& range);

// The ranking's preflop ordering, best class first.
void write_ordering_text(std::ostream& out, Ranking ranking);

} // namespace varnolith
