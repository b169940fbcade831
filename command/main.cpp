// varnolith: range against range from the command line.

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <iostream>

#include "grid.hpp"
#include "run_command.hpp"

namespace {

// A signal handler may only set a lock-free atomic; the run polls it. A second
// Ctrl-C finds the default action back and ends the process at once.
std::atomic<bool> interrupted{false};

extern "C" void on_interrupt(int) { interrupted.store(true); }

void catch_interrupts() {
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    catch_interrupts();
    const auto colour =
        varnolith::terminal_colour(isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR"), std::getenv("COLORTERM"));
    return varnolith::run_command(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) == 1, colour,
                                   &interrupted);
}
