#pragma once
// Binding the server as varnolith_web does, for the program, its tests and
// its benchmarks alike.

#include <httplib.h>

#include <string>

namespace varnolith {

// Binds `server` to host and port (0: any free port) and returns the port, or
// -1. Replies go out without Nagle's delay, and the queue of connections not
// yet accepted is the system's largest: httplib's five drop connections when
// a few clients arrive at once.
int bind_server(httplib::Server& server, const std::string& host, int port);

} // namespace varnolith
