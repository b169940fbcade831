#include "command_spot.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "ranges/request.hpp"
#include "user_text.hpp"

namespace varnolith {

namespace {

// The text of the file a range argument "@PATH" names, read as it stands:
// the notation itself takes line breaks and comments.
std::string range_file_text(const std::string& argument, int player) {
    const std::string path = argument.substr(1);
    const std::string which = "range " + std::to_string(player + 1);
    if (path.empty())
        throw RangeError(ErrorKind::usage, which + ": '@' needs a file name after it, as in @opening_range.txt",
                         ErrorField::ranges, player);
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    std::string text;
    if (file) {
        char chunk[4096];
        while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get())) text.append(chunk, got);
    }
    if (!file || std::ferror(file.get()))
        throw RangeError(ErrorKind::usage, which + ": cannot read " + shown_text(path) + ": " + std::strerror(errno),
                         ErrorField::ranges, player);
    return text;
}

} // namespace

RangeSpot make_command_spot(const CommandOptions& options) {
    std::vector<std::string> texts, sources;
    for (const std::string& range : options.ranges) {
        const bool from_file = range.starts_with('@');
        texts.push_back(from_file ? range_file_text(range, static_cast<int>(texts.size())) : range);
        sources.push_back(from_file ? range : "");
    }
    SpotFromText read = spot_from_text(texts, options.board, options.dead, options.rules, sources);
    if (read.error) throw *read.error;
    const std::size_t board = read.spot.board.size();
    if (options.by_card && board != 3 && board != 4)
        throw RangeError(ErrorKind::usage,
                         "--by-card needs a flop or a turn: three or four board cards (got " + std::to_string(board) + ")",
                         ErrorField::by_card);
    return std::move(read.spot);
}

} // namespace varnolith
