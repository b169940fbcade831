#pragma once
// The whole command on any streams, so that it can run in-process too.

#include <ostream>

namespace varnolith {

// Returns the exit status: 0 done, 1 no compatible deal, an SVG that cannot be
// written or another failure, 2 a usage error. Draws a progress line on err
// only when show_progress, and colours the grid only when colour.
int run_command(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool show_progress = false,
                bool colour = false);

} // namespace varnolith
