// varnolith_web as a process: SIGINT and SIGTERM stop it with exit status 0 within two seconds, slow clients or
// not, every event stream told why; a second signal ends it at once; a bad command line or a port in use is one
// line saying why.

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "test_server.hpp"

namespace {

namespace testing = varnolith::testing;
namespace net = testing::net;
using Clock = std::chrono::steady_clock;

struct Program {
    pid_t pid = -1;
    FILE* out = nullptr; // its standard output
    FILE* err = nullptr; // its standard error
    int port = 0;        // where it said it listens
};

// Starts varnolith_web as a shell's background job (SIGINT ignored) and reads the line that says where it listens.
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

TEST(WebProgram, StopsWithinTwoSecondsTellingEveryStream) {
    for (const int sig : {SIGINT, SIGTERM}) {
        Program web = start({"--port", "0"});
        ASSERT_GT(web.port, 0);
        net::io_context io;
        std::vector<testing::tcp::socket> slow; // half a request each, and nothing more
        for (int i = 0; i < 20; ++i) slow.push_back(testing::raw_socket(io, web.port, "GET /api/version HTTP/1.1\r\n"));
        const auto job = testing::fetch(web.port, "POST", "/api/jobs", testing::long_spot);
        testing::EventStream stream(web.port, "/api/jobs/" + testing::Json::parse(job.body)["id"].get<std::string>() +
                                                  "/events", std::chrono::seconds(10));
        ASSERT_TRUE(stream.open);
        const auto sent = Clock::now();
        ::kill(web.pid, sig);
        EXPECT_EQ(wait_exit(web).first, 0);
        const double stopped = testing::seconds_since(sent);
        std::printf("stop: exited %.0f ms after signal %d, 20 slow clients and a stream open\n", 1000 * stopped, sig);
        EXPECT_LT(stopped, 2.0);
        EXPECT_TRUE(stream.read_until(testing::says("event: error\ndata: {\"error\":{\"code\":\"stopping\"")))
            << stream.events();
        EXPECT_FALSE(testing::fetch(web.port, "GET", "/api/version")) << "the port is still answered";
    }
}

// Answers a client does not read keep the server writing: the first signal waits a moment, the second does not.
TEST(WebProgram, ASecondSignalEndsAtOnce) {
    Program web = start({"--port", "0"});
    const testing::tcp::endpoint server(net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(web.port));
    net::io_context io;
    testing::tcp::socket reader(io);
    reader.open(testing::tcp::v4());
    reader.set_option(net::socket_base::receive_buffer_size(4096));
    reader.connect(server);
    std::string pipelined;
    for (int i = 0; i < 300; ++i)
        pipelined += "POST /api/range HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(web.port) +
                     "\r\nContent-Type: application/json\r\nContent-Length: 19\r\n\r\n{\"range\": \"random\"}";
    net::write(reader, net::buffer(pipelined));
    std::this_thread::sleep_for(std::chrono::seconds(1)); // the answers fill the sockets' buffers
    const auto first = Clock::now();
    ::kill(web.pid, SIGTERM);
    // Sent before the first was taken, the second would merge into it: it stops taking connections once taken.
    boost::system::error_code refused;
    for (int i = 0; i < 200 && !refused; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        testing::tcp::socket(io).connect(server, refused);
    }
    ::kill(web.pid, SIGTERM);
    EXPECT_EQ(wait_exit(web).first, 130);
    EXPECT_LT(testing::seconds_since(first), 0.5);
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
