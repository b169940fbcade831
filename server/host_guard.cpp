#include "host_guard.hpp"

#include <array>

namespace varnolith {

namespace {

constexpr int default_port = 80;

// The host name of a Host header without its port: "[::1]:8080" -> "[::1]".
// Empty when the port is not ours.
std::string_view name_for_port(std::string_view host, int port) {
    std::string suffix(1, ':'); // built by appending: GCC 12 takes "x" + string for an overlapping copy
    suffix += std::to_string(port);
    if (host.ends_with(suffix)) return host.substr(0, host.size() - suffix.size());
    // No port at all: the name ends the header, or a bracketed IPv6 address does.
    const bool portless = host.find(':') == std::string_view::npos || host.ends_with(']');
    return port == default_port && portless ? host : std::string_view{};
}

} // namespace

bool host_allowed(std::string_view host, std::string_view bound_host, int port) {
    const std::string_view name = name_for_port(host, port);
    if (name.empty()) return false;
    constexpr std::array<std::string_view, 3> loopback{"localhost", "127.0.0.1", "[::1]"};
    for (const std::string_view allowed : loopback)
        if (name == allowed) return true;
    // An IPv6 address is written in brackets in a Host header.
    if (bound_host.find(':') != std::string_view::npos)
        return name.size() == bound_host.size() + 2 && name.front() == '[' && name.back() == ']' &&
               name.substr(1, bound_host.size()) == bound_host;
    return name == bound_host;
}

bool origin_allowed(std::string_view origin, std::string_view fetch_site, std::string_view host) {
    if (!fetch_site.empty() && fetch_site != "same-origin" && fetch_site != "none") return false;
    return origin.empty() || origin == "http://" + std::string(host);
}

} // namespace varnolith
