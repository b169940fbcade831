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

// The ranking's preflop ordering, best class first.
void write_ordering_text(std::ostream& out, Ranking ranking);

} // namespace varnolith
