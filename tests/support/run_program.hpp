#pragma once
// A program run through the shell with its standard input given: what it
// printed on each stream, and its exit status.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace varnolith::testing {

struct Ran {
    std::string out, err;
    int status; // -1 when it did not exit
};

// `line` is a shell command line; a redirection in it comes before ours.
inline Ran run_program(const std::string& line, const std::string& input = "") {
    const auto dir = std::filesystem::temp_directory_path() / ("varnolith_run_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = [&](const char* name) { return " '" + (dir / name).string() + "'"; };
    std::ofstream(dir / "in") << input;
    const int raw = std::system(("(" + line + ") <" + file("in") + " >" + file("out") + " 2>" + file("err")).c_str());
    std::ostringstream out, err;
    out << std::ifstream(dir / "out").rdbuf();
    err << std::ifstream(dir / "err").rdbuf();
    std::filesystem::remove_all(dir);
    return {out.str(), err.str(), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
}

} // namespace varnolith::testing
