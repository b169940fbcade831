#pragma once
// Columns of text lined up under their titles, as every table of an answer
// is printed.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace varnolith {

struct Column {
    std::string title;
    bool left = false; // text to the left; figures go to the right
};

using Row = std::vector<std::string>;

// Two blanks between columns, none at the end of a line.
void write_table(std::ostream& out, const std::vector<Column>& columns, const std::vector<Row>& rows);

// 1234567 -> "1,234,567".
std::string grouped(uint64_t n);

} // namespace varnolith
