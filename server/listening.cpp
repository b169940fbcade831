#include "listening.hpp"

#include <sys/socket.h>

#include <memory>

namespace varnolith {

int bind_server(httplib::Server& server, const std::string& host, int port) {
    server.set_tcp_nodelay(true); // before the socket exists: it is set as the socket is made
    auto listening = std::make_shared<int>(-1); // httplib keeps the callback
    server.set_socket_options([listening](int socket) {
        const int on = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        *listening = socket;
    });
    const int bound = port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
    if (bound >= 0 && *listening >= 0) listen(*listening, SOMAXCONN); // a listening socket takes a new queue length
    return bound;
}

} // namespace varnolith
