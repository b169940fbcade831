#include "report.hpp"

namespace varnolith {

void write_text_report(std::ostream& out, const CommandReport& report) {
    const CommandOptions& o = report.options;
    write_answer_text(out, o.ranges, report.spot, report.answer, {o.categories, o.by_hand, o.grid, o.by_card, o.hits, o.flops});
    if (o.grid) write_grid_text(out, report);
}

} // namespace varnolith
