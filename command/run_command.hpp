#pragma once
// The whole command on any streams, so that it can run in-process too.

#include <atomic>
#include <ostream>

#include "grid.hpp"

namespace varnolith {

// Returns the exit status: 0 done, 1 no compatible deal, an SVG that cannot be
// written or another failure, 2 a usage error, 130 interrupted (when `interrupt`
// turns true; nothing is reported then). Draws a progress line on err only
// when show_progress, and colours the grid only when colour. --batch reads its
// spots from the file descriptor `input`.
inline constexpr int status_interrupted = 130;
int run_command(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool show_progress = false,
                TerminalColour colour = TerminalColour::none, const std::atomic<bool>* interrupt = nullptr,
                int input = 0);

} // namespace varnolith
