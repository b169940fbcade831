#pragma once
// Which requests the server answers at all. A page on another site can make a
// browser send requests to 127.0.0.1, and with DNS rebinding even under its
// own name: the Host header tells those apart. And a page elsewhere can still
// aim a browser at our address (a form, an image, a script, an EventSource):
// its Origin, or the browser's Sec-Fetch-Site, says so.

#include <string>
#include <string_view>

namespace varnolith {

// The Host header is the bound address or a loopback name, with our port;
// the port may be left out when it is HTTP's default, 80.
bool host_allowed(std::string_view host, std::string_view bound_host, int port);

// A request from the page itself or from a program (curl sends neither
// header): no Origin or exactly http://HOST, and no Sec-Fetch-Site but
// "same-origin" or "none" (typed into the address bar). Another port on this
// machine is another site too.
bool origin_allowed(std::string_view origin, std::string_view fetch_site, std::string_view host);

} // namespace varnolith
