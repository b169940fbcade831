#include "report.hpp"

#include <cstddef>
#include <ios>
#include <string_view>

namespace varnolith {
namespace {

// Writes the three percentage lines with no line feed after the last one, so
// each report form decides how it ends. Each figure is rounded on its own, so an
// equity can differ in the last digit from its win plus its tie.
void print_figures(std::ostream& out, const EquityResult& result) {
    const double total = static_cast<double>(result.total);
    const std::size_t players = result.wins.size();
    const auto line = [&](std::string_view label, auto figure) {
        out << label;
        for (std::size_t p = 0; p < players; ++p) out << (p == 0 ? " " : ", ") << figure(p) * 100.0 / total;
    };

    const std::ios_base::fmtflags flags = out.flags();
    const std::streamsize precision = out.precision();
    out << std::fixed;
    out.precision(3);
    line("Equity:", [&](std::size_t p) { return static_cast<double>(result.wins[p]) + result.tie_shares[p]; });
    line("\nWin:", [&](std::size_t p) { return static_cast<double>(result.wins[p]); });
    line("\nTie:", [&](std::size_t p) { return result.tie_shares[p]; });
    out.flags(flags);
    out.precision(precision);
}

} // namespace

void print_enumeration_report(std::ostream& out, const EquityResult& result) {
    print_figures(out, result);
    out << "\nTotal combinations: " << result.total << '\n';
}

void print_monte_carlo_report(std::ostream& out, const EquityResult& result) {
    print_figures(out, result);
    out << '\n';
}

} // namespace varnolith
