// The real varnolith_cli, run as a process with scripted standard input:
// standard output, standard error and the exit status compared exactly.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogue_script.hpp"

namespace varnolith {
namespace {

using namespace testing;

struct Process {
    std::string out, err;
    int status;
};

std::string slurp(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

Process run_cli(const std::string& input) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("varnolith_cli_test_" + std::to_string(::getpid()) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in", std::ios::binary) << input;
    const std::string command = std::string("'") + VARNOLITH_CLI_PATH + "' < '" + (dir / "in").string() + "' > '" +
                                (dir / "out").string() + "' 2> '" + (dir / "err").string() + "'";
    const int raw = std::system(command.c_str());
    Process result{slurp(dir / "out"), slurp(dir / "err"), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
    std::filesystem::remove_all(dir);
    return result;
}

TEST(VarnolithCli, EnumeratesTheFlop) {
    const Process p = run_cli("2\nAhKd\nQsQc\n3\n6c\n7d\n8h\n");
    EXPECT_EQ(p.out, prompts(2, 3) + "\nInput Summary:\nPlayer 1: Ah Kd\nPlayer 2: Qs Qc\nBoard: 6c 7d 8h \n" +
                         enumerating + "Equity: 51.478, 48.522\nWin: 48.030, 45.074\nTie: 3.448, 3.448\n" +
                         "Total combinations: 406\n");
    EXPECT_EQ(p.err, "");
    EXPECT_EQ(p.status, 0);
}

TEST(VarnolithCli, RefusesWithStatusOne) {
    const Process few = run_cli("1\n");
    EXPECT_EQ(few.out, ask_count);
    EXPECT_EQ(few.err, "At least two hands are needed to calculate equity.\n");
    EXPECT_EQ(few.status, 1);
    const Process many = run_cli("16\n");
    EXPECT_EQ(many.err, "At most 15 hands fit in a 36-card deck.\n");
    EXPECT_EQ(many.status, 1);
    const Process shared = run_cli("2\nAhKd\nAhQs\n0\n");
    EXPECT_EQ(shared.out, prompts(2, 0));
    EXPECT_EQ(shared.err, "Error: Duplicate card in hands\n");
    EXPECT_EQ(shared.status, 1);
}

TEST(VarnolithCli, SimulatesWithTheUsersCount) {
    const Process p = run_cli("2\nAhKd\nQsQc\n\n1000abc\n");
    const std::string before = prompts(2, 0) + "\nInput Summary:\nPlayer 1: Ah Kd\nPlayer 2: Qs Qc\n" + ask_iterations +
                               "Running Monte Carlo simulation with 1000 iterations...\n";
    ASSERT_EQ(p.out.substr(0, before.size()), before);
    EXPECT_EQ(p.out.find("Total combinations"), std::string::npos);
    EXPECT_EQ(p.err, ""); // no progress line when standard error is not a terminal
    EXPECT_EQ(p.status, 0);
}

} // namespace
} // namespace varnolith
