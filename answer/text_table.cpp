#include "text_table.hpp"

#include <algorithm>

namespace varnolith {

void write_table(std::ostream& out, const std::vector<Column>& columns, const std::vector<Row>& rows) {
    std::vector<std::size_t> widths;
    for (const Column& c : columns) widths.push_back(c.title.size());
    for (const Row& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::string pad(widths[i] - cells[i].size(), ' ');
            if (i > 0) text += "  ";
            text += columns[i].left ? cells[i] + pad : pad + cells[i];
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    };
    std::vector<std::string> titles;
    for (const Column& c : columns) titles.push_back(c.title);
    line(titles);
    for (const Row& row : rows) line(row);
}

std::string grouped(uint64_t n) {
    const std::string digits = std::to_string(n);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

} // namespace varnolith
