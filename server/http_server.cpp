#include "http_server.hpp"

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>

#include "connection.hpp"

namespace varnolith {

namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

void accept(Server& server) {
    server.acceptor.async_accept(net::make_strand(server.io), [&server](boost::system::error_code ec, tcp::socket socket) {
        if (ec == net::error::operation_aborted || server.stopping) return;
        if (ec) {
            // Out of file descriptors, most likely: try again once some are closed.
            auto pause = std::make_shared<net::steady_timer>(server.acceptor.get_executor(), std::chrono::milliseconds(50));
            return pause->async_wait([&server, pause](boost::system::error_code) { accept(server); });
        }
        admit(server, std::move(socket));
        accept(server);
    });
}

} // namespace

Server::Server() : planning_work(planning.get_executor()), acceptor(net::make_strand(io)) {}

boost::system::error_code bind_server(Server& server, const std::string& host, int port) {
    boost::system::error_code ec;
    tcp::resolver resolver(server.io);
    const auto found = resolver.resolve(host, std::to_string(port), tcp::resolver::passive | tcp::resolver::numeric_service, ec);
    if (ec) return ec;
    const tcp::endpoint endpoint = *found.begin();
    server.acceptor.open(endpoint.protocol(), ec);
    if (!ec) server.acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
    if (!ec) server.acceptor.bind(endpoint, ec);
    // The system's longest queue of connections not yet accepted: a burst of
    // clients waits there rather than being turned away.
    if (!ec) server.acceptor.listen(net::socket_base::max_listen_connections, ec);
    if (ec) {
        boost::system::error_code ignored;
        server.acceptor.close(ignored);
        return ec;
    }
    server.place = {host, server.acceptor.local_endpoint().port()};
    return ec;
}

void start_server(Server& server, const JobWork& work) {
    open_board(server.board);
    for (int i = 0; i < server.board.limits.cores; ++i)
        server.threads.emplace_back([&server, work] { work_jobs(server.board, work); });
    server.threads.emplace_back([&server] { watch_jobs(server.board); });
    accept(server);
    for (int i = 0; i < server.limits.io_threads; ++i) server.threads.emplace_back([&server] { server.io.run(); });
    server.threads.emplace_back([&server] { server.planning.run(); });
}

void begin_stop(Server& server) {
    server.stopping = true;
    net::post(server.acceptor.get_executor(), [&server] {
        boost::system::error_code ignored;
        server.acceptor.close(ignored);
    });
    stop_jobs(server.board);
    stop_connections(server);
}

bool stopped_serving(Server& server) {
    const std::lock_guard lock(server.mutex);
    return server.connections.empty();
}

void finish_stop(Server& server) {
    server.planning_work.reset();
    server.planning.stop();
    server.io.stop();
    server.threads.clear(); // joins: the workers' jobs were cancelled, so they return at once
}

void stop_server(Server& server) {
    begin_stop(server);
    const auto until = Clock::now() + server.limits.stop_time;
    while (!stopped_serving(server) && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    finish_stop(server);
}

} // namespace varnolith
