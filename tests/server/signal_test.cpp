// varnolith_web as a process: SIGINT and SIGTERM stop it cleanly with exit
// status 0, a running computation cancelled, even when started in the
// background by a shell (which ignores SIGINT there).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include <httplib.h>

namespace {

TEST(WebProgram, StopsCleanlyOnSignals) {
    for (const int sig : {SIGINT, SIGTERM}) {
        int pipe_fds[2];
        ASSERT_EQ(::pipe(pipe_fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::dup2(pipe_fds[1], STDOUT_FILENO);
            ::close(pipe_fds[0]);
            std::signal(SIGINT, SIG_IGN); // as a background job of a shell has it
            ::execl(VARNOLITH_WEB_PATH, "varnolith_web", "--port", "0", nullptr);
            ::_exit(98);
        }
        ::close(pipe_fds[1]);
        char line[256] = {};
        FILE* out = ::fdopen(pipe_fds[0], "r");
        ASSERT_NE(std::fgets(line, sizeof line, out), nullptr);
        int port = 0;
        ASSERT_EQ(std::sscanf(line, "varnolith_web: open http://127.0.0.1:%d/", &port), 1) << line;
        httplib::Client client("127.0.0.1", port);
        const auto job = client.Post("/api/jobs", R"({"ranges": ["random", "random", "random"], "method": "exact"})",
                                     "application/json");
        ASSERT_TRUE(job);
        EXPECT_EQ(job->status, 202);
        ::kill(child, sig);
        int raw = 0;
        ::waitpid(child, &raw, 0);
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << "signal " << sig << ", status " << raw;
        std::fclose(out);
        EXPECT_FALSE(client.Get("/api/version")) << "the port is still answered";
    }
}

} // namespace
