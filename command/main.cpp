// varnolith: range against range from the command line.

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "grid.hpp"
#include "run_command.hpp"

int main(int argc, char** argv) {
    const bool colour = varnolith::colour_wanted(isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR"));
    return varnolith::run_command(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) == 1, colour);
}
