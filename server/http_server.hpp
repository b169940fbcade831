#pragma once
// varnolith_web's transport: HTTP/1.1 over Boost.Beast and Asio, a few I/O
// threads for every connection, each request read within its limits (header
// bytes, body bytes, time), the connections counted and capped, and a stop in
// bounded time. The routes decide what to answer; this only reads and writes.

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/system/error_code.hpp>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "jobs.hpp"
#include "routes.hpp"

namespace varnolith {

struct HttpLimits {
    std::size_t header_bytes = 16 * 1024;             // the request line and headers together: 431 beyond
    Clock::duration request_time = std::chrono::seconds(10); // from a request's first byte to its body's last
    Clock::duration idle_time = std::chrono::seconds(5);     // waiting for a request, on a new or kept-alive connection
    Clock::duration write_time = std::chrono::seconds(10);   // each write to a client
    Clock::duration linger_time = std::chrono::seconds(1);   // reading what a refused client still sends, then closing
    int connections = 128;                           // open at once: more are answered 503 and closed at once
    Clock::duration stop_time = std::chrono::milliseconds(1500); // for answers under way once stopping begins
    int io_threads = 2;
};

struct Connection;

// Everything one server runs. Members are in the order they may be torn
// down backwards: the I/O context after the acceptor, and before what its
// pending handlers still touch as they are destroyed.
struct Server {
    ServerPlace place;
    HttpLimits limits;
    JobBoard board;
    std::mutex mutex; // guards the three below
    std::map<std::uint64_t, std::weak_ptr<Connection>> connections;
    std::uint64_t next_connection = 0;
    int refusing = 0; // connections being answered 503 past the cap; bounded by the cap too
    std::atomic<bool> stopping{false};
    boost::asio::io_context io;
    // One thread for routes' slow work (Deferred), so that it never holds up
    // the connections' threads. Its handlers hold connections: it goes before io.
    boost::asio::io_context planning;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> planning_work;
    boost::asio::ip::tcp::acceptor acceptor;
    std::vector<std::jthread> threads;

    Server();
};

// Binds host and port (0: any free port) and sets `place`; the error when it
// cannot (boost::asio::error::address_in_use for a port in use).
boost::system::error_code bind_server(Server& server, const std::string& host, int port);

// Starts the job workers (one per core), the watchdog, the acceptor, the
// I/O threads and the planning thread. Set board.limits and limits before.
void start_server(Server& server, const JobWork& work = answer_text);

// Stopping in steps, so that a program can watch for a second signal between
// them. begin_stop: no new connection, idle ones closed, every job cancelled
// (an event stream gets its final "stopping" error, a waiting POST its 503).
void begin_stop(Server& server);

// True once no connection is open.
bool stopped_serving(Server& server);

// Closes whatever is still open and joins every thread.
void finish_stop(Server& server);

// The three, giving answers under way at most limits.stop_time.
void stop_server(Server& server);

} // namespace varnolith
