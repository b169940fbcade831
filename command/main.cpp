// varnolith: range against range from the command line.

#include <unistd.h>

#include <iostream>

#include "run_command.hpp"

int main(int argc, char** argv) {
    return varnolith::run_command(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
