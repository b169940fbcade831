#pragma once
// Which requests the server answers at all. A page on another site can make a
// browser send requests to 127.0.0.1, and with DNS rebinding even under its
// own name: the Host header tells those apart, and a cross-origin POST or
// DELETE carries an Origin that is not ours.

#include <string>
#include <string_view>

namespace varnolith {

// The Host header is the bound address or a loopback name, with our port.
bool host_allowed(std::string_view host, std::string_view bound_host, int port);

// No Origin (a program such as curl), or exactly the page's own: http://HOST.
bool origin_allowed(std::string_view origin, std::string_view host);

} // namespace varnolith
