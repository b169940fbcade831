#pragma once
// A small HTTP client over Beast for the server's tests and benchmarks: kept-alive connections and event streams,
// every step with a time limit, so that a server that does not answer fails a test instead of hanging it.

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/none.hpp>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varnolith::testing {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;

// Name and value; an empty value leaves the header out (Content-Type, say).
using Headers = std::vector<std::pair<std::string, std::string>>;

struct Answer {
    int status = 0; // 0: no answer (refused, reset, or out of time)
    std::string body;
    Headers headers;

    explicit operator bool() const { return status != 0; }
    std::string header(std::string_view name) const {
        for (const auto& [n, v] : headers)
            if (beast::iequals(n, name)) return v;
        return {};
    }
};

struct Client {
    int port = 0;
    std::chrono::steady_clock::duration timeout = std::chrono::seconds(60);
    net::io_context io;
    beast::tcp_stream stream{io};
    beast::flat_buffer buffer;
    bool connected = false;

    explicit Client(int server_port) : port(server_port) {}
};

inline void hang_up(Client& c) {
    c.stream.close();
    c.connected = false;
}

// Runs one asynchronous step to its end within the client's time limit; a step that fails closes the connection.
template <class Start>
bool step(Client& c, Start start) {
    beast::error_code result = net::error::timed_out;
    c.stream.expires_after(c.timeout);
    start([&result](beast::error_code ec, std::size_t = 0) { result = ec; });
    c.io.restart();
    c.io.run();
    if (result) hang_up(c);
    return !result;
}

inline bool connect(Client& c) {
    if (c.connected) return true;
    c.buffer.consume(c.buffer.size());
    const tcp::endpoint server(net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(c.port));
    c.connected = step(c, [&](auto done) { c.stream.async_connect(server, [done](beast::error_code e) { done(e); }); });
    return c.connected;
}

inline bool send(Client& c, std::string_view method, std::string_view target, std::string body,
                 const Headers& headers) {
    http::request<http::string_body> req{http::verb::unknown, target, 11};
    req.method_string(method);
    req.set(http::field::host, "127.0.0.1:" + std::to_string(c.port));
    if (method == "POST") req.set(http::field::content_type, "application/json");
    for (const auto& [name, value] : headers) {
        if (value.empty()) req.erase(name);
        else req.set(name, value);
    }
    req.body() = std::move(body);
    if (method == "POST" || !req.body().empty()) req.prepare_payload();
    return connect(c) && step(c, [&](auto done) { http::async_write(c.stream, req, done); });
}

// The next answer on the connection.
inline Answer read_answer(Client& c, bool head = false) {
    http::response_parser<http::string_body> parser;
    parser.body_limit(boost::none);
    parser.skip(head);
    if (!step(c, [&](auto done) { http::async_read(c.stream, c.buffer, parser, done); })) return {};
    const auto& res = parser.get();
    Answer answer{static_cast<int>(res.result_int()), res.body(), {}};
    for (const auto& field : res) answer.headers.emplace_back(field.name_string(), field.value());
    if (!res.keep_alive()) hang_up(c);
    return answer;
}

inline Answer request(Client& c, std::string_view method, std::string_view target, std::string body = {},
                      const Headers& headers = {}) {
    return send(c, method, target, std::move(body), headers) ? read_answer(c, method == "HEAD") : Answer{};
}

// A request on a connection of its own.
inline Answer fetch(int port, std::string_view method, std::string_view target, std::string body = {},
                    const Headers& headers = {}) {
    Client c(port);
    return request(c, method, target, std::move(body), headers);
}

// Bytes sent as they are (a request this client would not write), and the answer.
inline Answer send_raw(int port, const std::string& bytes) {
    Client c(port);
    const bool sent = connect(c) && step(c, [&](auto done) { net::async_write(c.stream, net::buffer(bytes), done); });
    return sent ? read_answer(c) : Answer{};
}

// An event stream read until the server has told something; open (and its job watched) while this lives.
struct EventStream {
    Client client;
    http::response_parser<http::string_body> parser;
    bool open = false; // its head has been read

    EventStream(int port, std::string_view target, std::chrono::seconds timeout = std::chrono::seconds(60))
        : client(port) {
        client.timeout = timeout;
        parser.body_limit(boost::none);
        open = send(client, "GET", target, {}, {}) &&
               step(client, [&](auto done) { http::async_read_header(client.stream, client.buffer, parser, done); });
    }

    const std::string& events() const { return parser.get().body(); }

    // Reads until `enough` holds of all read so far; false when the stream ended or failed first.
    bool read_until(const std::function<bool(const std::string&)>& enough) {
        const auto read = [&](auto done) { http::async_read_some(client.stream, client.buffer, parser, done); };
        while (!enough(events()))
            if (!open || parser.is_done() || !step(client, read)) return false;
        return true;
    }
};

// A bare socket to the server, sent these bytes if any: a client that goes no further.
inline tcp::socket raw_socket(net::io_context& io, int port, const std::string& first_bytes = {}) {
    tcp::socket socket(io);
    socket.connect({net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)});
    if (!first_bytes.empty()) net::write(socket, net::buffer(first_bytes));
    return socket;
}

// Whether the server has closed the connection; does not wait.
inline bool closed_by_server(tcp::socket& socket) {
    beast::error_code ignored, ec;
    socket.non_blocking(true, ignored);
    char byte = 0;
    while (!ec) socket.read_some(net::buffer(&byte, 1), ec);
    socket.non_blocking(false, ignored);
    return ec != net::error::would_block;
}

} // namespace varnolith::testing
