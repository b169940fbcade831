// varnolith_web as a process: SIGINT and SIGTERM stop it with exit status 0
// within two seconds, slow clients or not, every event stream told why; a
// second signal ends it at once; a bad command line or a port in use is one
// line saying why.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "http_client.hpp"

namespace {

using Clock = std::chrono::steady_clock;
namespace net = boost::asio;
using tcp = net::ip::tcp;
namespace testing = varnolith::testing;

struct Program {
    pid_t pid = -1;
    FILE* out = nullptr; // its standard output
    FILE* err = nullptr; // its standard error
    int port = 0;        // where it said it listens
};

// Starts varnolith_web as a shell's background job (SIGINT ignored) and reads
// the line that says where it listens.
Program start(std::vector<std::string> arguments) {
    int out[2], err[2];
    EXPECT_EQ(::pipe(out) | ::pipe(err), 0);
    Program p;
    p.pid = ::fork();
    if (p.pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        std::signal(SIGINT, SIG_IGN);
        std::vector<char*> argv{const_cast<char*>("varnolith_web")};
        for (std::string& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(VARNOLITH_WEB_PATH, argv.data());
        ::_exit(98);
    }
    ::close(out[1]);
    ::close(err[1]);
    p.out = ::fdopen(out[0], "r");
    p.err = ::fdopen(err[0], "r");
    char line[256] = {};
    if (std::fgets(line, sizeof line, p.out) != nullptr)
        std::sscanf(line, "varnolith_web: open http://127.0.0.1:%d/", &p.port);
    return p;
}

// The exit status and standard error; killed and -1 when not over within five seconds.
std::pair<int, std::string> wait_exit(Program& p) {
    int raw = 0, waited = 0;
    while (::waitpid(p.pid, &raw, WNOHANG) == 0) {
        if (++waited == 1000) ::kill(p.pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::string said;
    for (int c; (c = std::fgetc(p.err)) != EOF;) said += static_cast<char>(c);
    std::fclose(p.out);
    std::fclose(p.err);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, said};
}

// Whether the program still takes connections: it stops as soon as it has
// taken a stopping signal.
bool accepting(int port) {
    net::io_context io;
    tcp::socket socket(io);
    boost::system::error_code ec;
    socket.connect({net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)}, ec);
    return !ec;
}

TEST(WebProgram, StopsWithinTwoSecondsTellingEveryStream) {
    for (const int sig : {SIGINT, SIGTERM}) {
        Program web = start({"--port", "0"});
        ASSERT_GT(web.port, 0);
        net::io_context io;
        std::vector<tcp::socket> slow; // half a request each, and nothing more
        for (int i = 0; i < 20; ++i) {
            slow.emplace_back(io).connect({net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(web.port)});
            net::write(slow.back(), net::buffer(std::string("GET /api/version HTTP/1.1\r\n")));
        }
        const auto job =
            testing::fetch(web.port, "POST", "/api/jobs", R"({"ranges": ["random", "random", "random"], "method": "exact"})");
        const std::string id = nlohmann::json::parse(job.body)["id"];
        testing::EventStream stream(web.port, "/api/jobs/" + id + "/events", std::chrono::seconds(10));
        ASSERT_TRUE(stream.open);
        const auto sent = Clock::now();
        ::kill(web.pid, sig);
        EXPECT_EQ(wait_exit(web).first, 0);
        const double stopped = std::chrono::duration<double>(Clock::now() - sent).count();
        std::printf("stop: exited %.0f ms after signal %d, 20 slow clients and a stream open\n", 1000 * stopped, sig);
        EXPECT_LT(stopped, 2.0);
        const std::string told = "event: error\ndata: {\"error\":{\"code\":\"stopping\"";
        EXPECT_TRUE(stream.read_until([&](const std::string& events) { return events.find(told) != std::string::npos; }))
            << stream.events();
        EXPECT_FALSE(testing::fetch(web.port, "GET", "/api/version")) << "the port is still answered";
    }
}

// Answers a client does not read keep the server writing: the first signal
// waits for them a moment, the second does not wait.
TEST(WebProgram, ASecondSignalEndsAtOnce) {
    Program web = start({"--port", "0"});
    net::io_context io;
    tcp::socket reader(io);
    reader.open(tcp::v4());
    reader.set_option(net::socket_base::receive_buffer_size(4096));
    reader.connect({net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(web.port)});
    std::string pipelined;
    for (int i = 0; i < 300; ++i)
        pipelined += "POST /api/range HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(web.port) +
                     "\r\nContent-Type: application/json\r\nContent-Length: 19\r\n\r\n{\"range\": \"random\"}";
    net::write(reader, net::buffer(pipelined));
    std::this_thread::sleep_for(std::chrono::seconds(1)); // the answers fill the sockets' buffers
    const auto first = Clock::now();
    ::kill(web.pid, SIGTERM);
    // Sent before the first was taken, the second would merge into it.
    for (int i = 0; i < 200 && accepting(web.port); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ::kill(web.pid, SIGTERM);
    EXPECT_EQ(wait_exit(web).first, 130);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - first).count(), 0.5);
}

TEST(WebProgram, ABadCommandLineOrAPortInUseIsOneLine) {
    Program first = start({"--port", "0"});
    const std::string port = std::to_string(first.port);
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string said;
    } cases[] = {
        {{"--port", "abc"}, 2, "--port: must be a whole number from 0 to 65535 (got abc)"},
        {{"--port"}, 2, "--port: a value is missing"},
        {{"--frob"}, 2, "unknown option --frob (varnolith_web --help lists the options)"},
        {{"--port", port}, 1,
         "cannot listen on 127.0.0.1 port " + port + ": another program uses that port; --port 0 picks any free one"},
    };
    for (const auto& c : cases) {
        Program web = start(c.arguments);
        EXPECT_EQ(wait_exit(web), std::pair(c.status, "varnolith_web: " + c.said + "\n"));
    }
    ::kill(first.pid, SIGTERM);
    EXPECT_EQ(wait_exit(first).first, 0);
}

} // namespace
