#include "host_guard.hpp"

#include <array>

namespace varnolith {

bool host_allowed(std::string_view host, std::string_view bound_host, int port) {
    const std::string suffix = ":" + std::to_string(port);
    if (!host.ends_with(suffix)) return false;
    const std::string_view name = host.substr(0, host.size() - suffix.size());
    const std::string bound = bound_host.find(':') != std::string_view::npos ? "[" + std::string(bound_host) + "]"
                                                                             : std::string(bound_host);
    constexpr std::array<std::string_view, 3> loopback{"localhost", "127.0.0.1", "[::1]"};
    for (const std::string_view allowed : loopback)
        if (name == allowed) return true;
    return name == bound;
}

bool origin_allowed(std::string_view origin, std::string_view host) {
    return origin.empty() || origin == "http://" + std::string(host);
}

} // namespace varnolith
