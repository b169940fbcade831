#pragma once
// A program run as a shell runs it, in a scratch folder of the test's own:
// what it printed on each stream, and its exit status.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace varnolith::testing {

struct Process {
    std::string out, err;
    int status;
};

// Removed with everything in it when the test is done.
struct Scratch {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("varnolith_scratch_" + std::to_string(::getpid()));
    Scratch() { std::filesystem::create_directories(dir); }
    ~Scratch() { std::filesystem::remove_all(dir); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
};

// Runs `program arguments` in the scratch folder, `input` its standard input.
inline Process run_in(const Scratch& scratch, const std::string& program, const std::string& arguments,
                      const std::string& input = {}) {
    scratch.write("in", input);
    const int raw = std::system(
        ("cd '" + scratch.dir.string() + "' && '" + program + "' " + arguments + " < in > out 2> err").c_str());
    std::ostringstream out, err;
    out << std::ifstream(scratch.dir / "out").rdbuf();
    err << std::ifstream(scratch.dir / "err").rdbuf();
    return {out.str(), err.str(), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
}

} // namespace varnolith::testing
