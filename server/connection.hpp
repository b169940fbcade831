#pragma once
// Client connections: requests read within the server's limits, answers
// written, a job awaited or its events streamed. The acceptor hands each
// socket to admit.

#include <boost/asio/ip/tcp.hpp>

#include "http_server.hpp"

namespace varnolith {

// Serves requests on the socket until the client leaves, a limit is reached
// or the server stops; past limits.connections open ones, answers 503 busy at
// once and closes; past twice that, closes unanswered.
void admit(Server& server, boost::asio::ip::tcp::socket socket);

// Closes every connection waiting for a request; one answering finishes its
// answer first, and then closes as the server is stopping.
void stop_connections(Server& server);

} // namespace varnolith
