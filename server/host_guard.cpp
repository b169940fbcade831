#include "host_guard.hpp"

#include <array>

namespace varnolith {

bool host_allowed(std::string_view host, std::string_view bound_host, int port) {
    std::string suffix(1, ':'); // built by appending: GCC 12 takes "x" + string for an overlapping copy
    suffix += std::to_string(port);
    if (!host.ends_with(suffix)) return false;
    const std::string_view name = host.substr(0, host.size() - suffix.size());
    constexpr std::array<std::string_view, 3> loopback{"localhost", "127.0.0.1", "[::1]"};
    for (const std::string_view allowed : loopback)
        if (name == allowed) return true;
    // An IPv6 address is written in brackets in a Host header.
    if (bound_host.find(':') != std::string_view::npos)
        return name.size() == bound_host.size() + 2 && name.front() == '[' && name.back() == ']' &&
               name.substr(1, bound_host.size()) == bound_host;
    return name == bound_host;
}

bool origin_allowed(std::string_view origin, std::string_view host) {
    return origin.empty() || origin == "http://" + std::string(host);
}

} // namespace varnolith
