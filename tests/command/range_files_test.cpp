// A range argument "@PATH" reads the range from a file, as the real command
// runs it: the file's text as it stands, or one line naming the file.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace varnolith {
namespace {

namespace fs = std::filesystem;

struct Process {
    std::string out, err;
    int status;
};

Process run(const fs::path& dir, const std::string& arguments) {
    const int raw = std::system(("cd '" + dir.string() + "' && '" VARNOLITH_COMMAND_PATH "' " + arguments +
                                 " < /dev/null > out 2> err").c_str());
    std::ostringstream out, err;
    out << std::ifstream(dir / "out").rdbuf();
    err << std::ifstream(dir / "err").rdbuf();
    return {out.str(), err.str(), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
}

struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("varnolith_range_files_" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
    void write(const std::string& name, const std::string& text) const { std::ofstream(dir / name) << text; }
};

TEST(RangeFiles, AFileIsItsTextAsItStands) {
    const Scratch scratch;
    scratch.write("opening.txt", "# opening range\r\nQQ+, AKs,\nA**:0.5, !A*6*  # no small aces\n");
    auto from_file = nlohmann::json::parse(run(scratch.dir, "--json @opening.txt KhKd -b 7c8c9c").out);
    auto typed = nlohmann::json::parse(run(scratch.dir, "--json 'QQ+, AKs, A**:0.5, !A*6*' KhKd -b 7c8c9c").out);
    EXPECT_EQ(from_file["players"][0]["range"], "@opening.txt"); // as typed, as any range is shown
    typed["players"][0]["range"] = "@opening.txt";
    from_file.erase("elapsed_seconds");
    typed.erase("elapsed_seconds");
    EXPECT_EQ(from_file, typed);
}

TEST(RangeFiles, AFileThatIsMissingOrEmptyIsAUsageErrorNamingIt) {
    const Scratch scratch;
    scratch.write("empty.txt", "# nothing yet\n\n");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"random @missing.txt", "range 2: cannot read missing.txt: No such file or directory"},
        {"@empty.txt random", "range 1 (@empty.txt): the range is empty: it needs items such as QQ+, AKs"},
        {"random @", "range 2: '@' needs a file name after it, as in @opening_range.txt"},
    };
    for (const auto& [arguments, message] : cases) {
        const Process p = run(scratch.dir, arguments);
        EXPECT_EQ(p.status, 2) << arguments;
        EXPECT_EQ(p.err, "varnolith: " + message + "\n") << arguments;
        EXPECT_EQ(p.out, "") << arguments;
    }
}

} // namespace
} // namespace varnolith
