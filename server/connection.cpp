#include "connection.hpp"

#include <poll.h>

#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>

#include <exception>
#include <functional>
#include <optional>
#include <vector>

namespace varnolith {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t first_read_bytes = 4096;
constexpr std::size_t linger_bytes = 1024 * 1024; // read from a refused client at most, then closed
constexpr auto hang_up_check = 50ms;              // a waiting POST's client looked at this often
constexpr auto progress_interval = 100ms;

// A request and its body, and what pipelining brought behind them.
std::size_t buffer_limit(const HttpLimits& limits) { return limits.header_bytes + max_body_bytes + first_read_bytes; }

} // namespace

enum class Phase { reading, planning, writing, awaiting, streaming, lingering, closed };

// What happens once an answer is written: the next request (unless the
// client or a stop says otherwise), or a linger and the end.
enum class Then { read_next, linger };

struct Connection {
    Server& server;
    beast::tcp_stream stream;
    beast::flat_buffer buffer;
    std::optional<http::request_parser<http::string_body>> parser;
    net::steady_timer timer; // a waiting POST's hang-up checks, a stream's progress
    http::response<http::string_body> reply;
    std::optional<http::response<http::empty_body>> stream_head;
    std::optional<http::response_serializer<http::empty_body>> stream_head_writer;
    std::string chunk;        // the event being written
    std::shared_ptr<Job> job; // awaited or streamed, until its answer is out
    Phase phase = Phase::reading;
    std::uint64_t round = 0; // requests read so far: a timer of an earlier one does nothing
    std::uint64_t serial = 0;
    std::size_t lingered = 0;
    bool counted = false;
    bool head = false, keep_alive = false;
    bool holds_stream = false, writing = false, final_due = false, ending = false; // a stream's

    Connection(Server& s, tcp::socket socket)
        : server(s), stream(std::move(socket)), buffer(buffer_limit(s.limits)), timer(stream.get_executor()) {}

    ~Connection() {
        const std::lock_guard lock(server.mutex);
        if (counted) server.connections.erase(serial);
        else --server.refusing;
    }
};

namespace {

using Handle = std::shared_ptr<Connection>;

void read_next(const Handle& c);
void write_reply(const Handle& c, Reply reply, Then then);

// The client closed its end or reset the connection; a waiting request sees
// no other sign of it.
bool peer_gone(tcp::socket& socket) {
    pollfd p{socket.native_handle(), POLLRDHUP, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void close(const Handle& c) {
    if (c->phase == Phase::closed) return;
    c->phase = Phase::closed;
    c->timer.cancel();
    // A job whose answer never reached its client is nobody's any more.
    if (c->job) cancel_job(c->server.board, *c->job, StopReason::cancelled);
    c->job = nullptr;
    if (c->holds_stream) close_stream(c->server.board);
    c->holds_stream = false;
    beast::error_code ignored;
    c->stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
    c->stream.close();
}

// Reads and drops what the client still sends, for a moment, so that the
// answer just written reaches it before the connection closes (closing with
// unread bytes would reset it and lose the answer).
void drain(const Handle& c) {
    c->buffer.consume(c->buffer.size());
    c->stream.async_read_some(c->buffer.prepare(first_read_bytes), [c](beast::error_code ec, std::size_t n) {
        c->lingered += n;
        if (ec || c->phase != Phase::lingering || c->lingered > linger_bytes) return close(c);
        drain(c);
    });
}

void linger(const Handle& c) {
    c->phase = Phase::lingering;
    beast::error_code ignored;
    c->stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    c->stream.expires_after(c->server.limits.linger_time);
    drain(c);
}

void write_reply(const Handle& c, Reply r, Then then) {
    http::response<http::string_body>& res = c->reply;
    res = {};
    res.version(11);
    res.result(static_cast<unsigned>(r.status));
    if (!r.content_type.empty()) res.set(http::field::content_type, r.content_type);
    for (const auto& [name, value] : r.headers) res.set(name, value);
    const bool keep = then == Then::read_next && c->keep_alive && !c->server.stopping;
    res.keep_alive(keep);
    if (c->head) {
        res.content_length(r.body.size());
    } else {
        res.body() = std::move(r.body);
        if (r.status != 204) res.prepare_payload();
    }
    c->phase = Phase::writing;
    c->stream.expires_after(c->server.limits.write_time);
    http::async_write(c->stream, c->reply, [c, then, keep](beast::error_code ec, std::size_t) {
        if (ec) return close(c);
        if (then == Then::linger) return linger(c);
        if (!keep) return close(c);
        read_next(c);
    });
}

// A request the parser refused: answered, then the connection lingers and closes.
void refuse_request(const Handle& c, const beast::error_code& ec) {
    c->head = false;
    if (ec == http::error::header_limit)
        return write_reply(c,
                           error_reply({431, "header_too_large",
                                        "the request's headers are over " +
                                            std::to_string(c->server.limits.header_bytes / 1024) + " KiB"}),
                           Then::linger);
    if (ec == http::error::body_limit)
        return write_reply(
            c, error_reply({413, "payload_too_large", "the body is over " + std::to_string(max_body_bytes / 1024) + " KiB"}),
            Then::linger);
    write_reply(c, error_reply({400, "bad_request", "the request is not HTTP this server reads: " + ec.message()}),
                Then::linger);
}

// The job's answer, once it is there.
void answer_ready(const Handle& c, std::uint64_t round) {
    if (c->phase != Phase::awaiting || c->round != round) return;
    c->timer.cancel();
    Reply reply = answer_reply(*c->job); // finished: nothing writes to it any more
    c->job = nullptr;
    write_reply(c, std::move(reply), Then::read_next);
}

// While the job runs, nothing is read; the socket is looked at instead, so
// that a client that hung up stops the work it asked for.
void check_hang_up(const Handle& c, std::uint64_t round) {
    c->timer.expires_after(hang_up_check);
    c->timer.async_wait([c, round](beast::error_code ec) {
        if (ec || c->phase != Phase::awaiting || c->round != round) return;
        if (peer_gone(c->stream.socket())) return close(c);
        watch_job(c->server.board, *c->job);
        check_hang_up(c, round);
    });
}

void await_answer(const Handle& c, std::shared_ptr<Job> job) {
    c->phase = Phase::awaiting;
    c->job = std::move(job);
    const std::uint64_t round = c->round;
    when_finished(c->server.board, *c->job,
                  [c, round] { net::post(c->stream.get_executor(), [c, round] { answer_ready(c, round); }); });
    check_hang_up(c, round);
}

void write_final(const Handle& c) {
    c->final_due = false;
    c->ending = true;
    c->writing = true;
    c->timer.cancel();
    c->chunk = final_event(*c->job); // finished: nothing writes to it any more
    // Delivered from here on: the job is forgotten before its last bytes leave,
    // so a client that has read them never finds it listed.
    forget_job(c->server.board, c->job->id);
    c->stream.expires_after(c->server.limits.write_time);
    net::async_write(c->stream, http::make_chunk(net::buffer(c->chunk)), [c](beast::error_code ec, std::size_t) {
        if (ec || c->phase != Phase::streaming) return close(c);
        net::async_write(c->stream, http::make_chunk_last(), [c](beast::error_code last, std::size_t) {
            c->writing = false;
            if (c->phase != Phase::streaming) return;
            // The connection is no stream any more.
            c->job = nullptr;
            close_stream(c->server.board);
            c->holds_stream = false;
            if (last || !c->keep_alive || c->server.stopping) return close(c);
            read_next(c);
        });
    });
}

void after_event(const Handle& c, const beast::error_code& ec) {
    c->writing = false;
    if (c->phase != Phase::streaming) return;
    if (ec) return close(c); // the client left before the end: its job is cancelled
    if (c->final_due) write_final(c);
}

void write_progress(const Handle& c) {
    c->writing = true;
    c->chunk = progress_event(c->server.board, *c->job);
    c->stream.expires_after(c->server.limits.write_time);
    net::async_write(c->stream, http::make_chunk(net::buffer(c->chunk)),
                     [c](beast::error_code ec, std::size_t) { after_event(c, ec); });
}

void tick(const Handle& c, std::uint64_t round) {
    c->timer.expires_after(progress_interval);
    c->timer.async_wait([c, round](beast::error_code ec) {
        if (ec || c->phase != Phase::streaming || c->round != round || c->final_due || c->ending) return;
        if (peer_gone(c->stream.socket())) return close(c);
        watch_job(c->server.board, *c->job);
        if (!c->writing) write_progress(c);
        tick(c, round);
    });
}

void stream_events(const Handle& c, std::shared_ptr<Job> job) {
    c->phase = Phase::streaming;
    c->job = std::move(job);
    c->holds_stream = true;
    c->ending = false;
    c->stream_head_writer.reset(); // it refers to the head: gone first
    c->stream_head.emplace(http::status::ok, 11);
    c->stream_head->set(http::field::content_type, "text/event-stream");
    c->stream_head->set(http::field::cache_control, "no-cache");
    c->stream_head->keep_alive(c->keep_alive);
    c->stream_head->chunked(true);
    c->stream_head_writer.emplace(*c->stream_head);
    c->writing = true;
    c->stream.expires_after(c->server.limits.write_time);
    http::async_write_header(c->stream, *c->stream_head_writer,
                             [c](beast::error_code ec, std::size_t) { after_event(c, ec); });
    const std::uint64_t round = c->round;
    when_finished(c->server.board, *c->job, [c, round] {
        net::post(c->stream.get_executor(), [c, round] {
            if (c->phase != Phase::streaming || c->round != round) return;
            c->final_due = true;
            if (!c->writing) write_final(c);
        });
    });
    tick(c, round);
}

std::string_view text(beast::string_view v) { return {v.data(), v.size()}; }

void go_on(const Handle& c, RouteOutcome outcome);

// Runs the route's slow work on the planning thread, then goes on with its
// outcome on the connection's own strand.
void plan(const Handle& c, std::function<RouteOutcome()> work) {
    c->phase = Phase::planning;
    net::post(c->server.planning, [c, work = std::move(work)] {
        RouteOutcome outcome;
        try {
            outcome = work();
        } catch (const std::exception&) {
            outcome = error_reply({500, "internal", "an internal fault"});
        }
        net::post(c->stream.get_executor(), [c, outcome = std::move(outcome)]() mutable { go_on(c, std::move(outcome)); });
    });
}

void go_on(const Handle& c, RouteOutcome outcome) {
    if (auto* reply = std::get_if<Reply>(&outcome)) return write_reply(c, std::move(*reply), Then::read_next);
    if (auto* awaited = std::get_if<AwaitAnswer>(&outcome)) return await_answer(c, std::move(awaited->job));
    if (auto* streamed = std::get_if<StreamEvents>(&outcome)) return stream_events(c, std::move(streamed->job));
    plan(c, std::move(std::get<Deferred>(outcome).work));
}

void handle(const Handle& c) {
    const auto& req = c->parser->get();
    c->head = req.method() == http::verb::head;
    c->keep_alive = req.keep_alive();
    // Two Host headers name no one host: the check refuses an empty one.
    const std::string_view host = req.count(http::field::host) == 1 ? text(req[http::field::host]) : std::string_view{};
    const HttpRequest request{text(req.method_string()), text(req.target()), host,
                              text(req[http::field::origin]), text(req["Sec-Fetch-Site"]),
                              text(req[http::field::content_type]), req.body()};
    RouteOutcome outcome;
    try {
        outcome = route(request, c->server.board, c->server.place);
    } catch (const std::exception&) {
        outcome = error_reply({500, "internal", "an internal fault"});
    }
    go_on(c, std::move(outcome));
}

void on_request(const Handle& c, const beast::error_code& ec) {
    if (c->phase != Phase::reading) return;
    if (!ec) return handle(c);
    const bool refused_by_parser = ec.category() == http::make_error_code(http::error::header_limit).category() &&
                                   ec != http::error::end_of_stream && ec != http::error::partial_message;
    if (refused_by_parser) return refuse_request(c, ec);
    close(c); // gone, reset, or out of time
}

void read_request(const Handle& c) {
    c->stream.expires_after(c->server.limits.request_time);
    http::async_read(c->stream, c->buffer, *c->parser, [c](beast::error_code ec, std::size_t) { on_request(c, ec); });
}

// Waits for a request's first bytes for the idle time, then gives the whole
// request the request time.
void read_next(const Handle& c) {
    if (c->server.stopping) return close(c);
    c->phase = Phase::reading;
    ++c->round;
    c->parser.emplace();
    c->parser->header_limit(static_cast<std::uint32_t>(c->server.limits.header_bytes));
    c->parser->body_limit(max_body_bytes);
    if (c->buffer.size() > 0) return read_request(c);
    c->stream.expires_after(c->server.limits.idle_time);
    c->stream.async_read_some(c->buffer.prepare(first_read_bytes), [c](beast::error_code ec, std::size_t n) {
        c->buffer.commit(n);
        if (ec || c->phase != Phase::reading) return close(c);
        read_request(c);
    });
}

} // namespace

void admit(Server& server, tcp::socket socket) {
    beast::error_code ignored;
    socket.set_option(tcp::no_delay(true), ignored); // answers go out without Nagle's delay
    std::shared_ptr<Connection> c;
    {
        const std::lock_guard lock(server.mutex);
        const bool room = static_cast<int>(server.connections.size()) < server.limits.connections;
        if (!room && server.refusing >= server.limits.connections) return; // the socket closes as it goes
        c = std::make_shared<Connection>(server, std::move(socket));
        c->counted = room;
        if (room) {
            c->serial = server.next_connection++;
            server.connections[c->serial] = c;
        } else {
            ++server.refusing;
        }
    }
    net::dispatch(c->stream.get_executor(), [c] {
        if (c->counted) return read_next(c);
        write_reply(c,
                    error_reply({503, "busy", "the server has as many connections open as it serves; try again in a moment"}),
                    Then::linger);
    });
}

void stop_connections(Server& server) {
    // The open connections are taken out under the lock and posted to without it: a connection may end (and
    // take the lock to leave the table) as soon as its handler has run.
    std::vector<Handle> open;
    {
        const std::lock_guard lock(server.mutex);
        for (const auto& [serial, weak] : server.connections)
            if (auto c = weak.lock()) open.push_back(std::move(c));
    }
    for (const Handle& c : open)
        net::post(c->stream.get_executor(), [c] {
            if (c->phase == Phase::reading || c->phase == Phase::lingering) close(c);
        });
}

} // namespace varnolith
