#include <cstdio>
#include <string>

#include "answer_text.hpp"
#include "ranges/notation/ordering.hpp"
#include "text_table.hpp"

namespace varnolith {

namespace {

constexpr double all_combos = 630;

std::string fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

void write_ordering_text(std::ostream& out, Ranking ranking) {
    std::vector<Row> rows;
    int place = 0, cumulative = 0;
    for (const OrderedClass& c : preflop_ordering(ranking)) {
        cumulative += c.combos;
        rows.push_back({std::to_string(++place), hand_class_name(c.square), std::to_string(c.combos),
                        std::to_string(cumulative), fixed(100.0 * cumulative / all_combos, 2),
                        fixed(100.0 * c.equity, 3)});
    }
    write_table(out,
                {{"Place"}, {"Class", true}, {"Combos"}, {"Cumulative"}, {"Cumulative %"}, {"Equity %"}}, rows);
}

} // namespace varnolith
