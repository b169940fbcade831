// A range argument "@PATH" reads the range from a file, as the real command
// runs it: the file's text as it stands, or one line naming the file.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "command_process.hpp"

namespace varnolith {
namespace {

using testing::Process;
using testing::Scratch;

Process run(const Scratch& scratch, const std::string& arguments) {
    return testing::run_in(scratch, VARNOLITH_COMMAND_PATH, arguments);
}

TEST(RangeFiles, AFileIsItsTextAsItStands) {
    const Scratch scratch;
    scratch.write("opening.txt", "# opening range\r\nQQ+, AKs,\nA**:0.5, !A*6*  # no small aces\n");
    auto from_file = nlohmann::json::parse(run(scratch, "--json @opening.txt KhKd -b 7c8c9c").out);
    auto typed = nlohmann::json::parse(run(scratch, "--json 'QQ+, AKs, A**:0.5, !A*6*' KhKd -b 7c8c9c").out);
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
        const Process p = run(scratch, arguments);
        EXPECT_EQ(p.status, 2) << arguments;
        EXPECT_EQ(p.err, "varnolith: " + message + "\n") << arguments;
        EXPECT_EQ(p.out, "") << arguments;
    }
}

} // namespace
} // namespace varnolith
