#include "batch_input.hpp"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "batch.hpp"
#include "ranges/equity.hpp"

namespace varnolith {

namespace {

// Lines as they come, the end of one read waiting for the rest of its line.
struct LineReader {
    int fd = 0;
    std::string partial; // a line begun, kept up to kept_line_bytes: the API refuses it whole beyond that
    bool ended = false;
};

void take(LineReader& reader, std::string_view data, std::vector<std::string>& lines) {
    const std::size_t kept = kept_line_bytes();
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        const std::string_view piece = data.substr(0, end);
        if (reader.partial.size() < kept)
            reader.partial.append(piece.substr(0, std::min(piece.size(), kept - reader.partial.size())));
        if (end == std::string_view::npos) return;
        lines.push_back(std::move(reader.partial));
        reader.partial.clear();
        data.remove_prefix(end + 1);
    }
}

bool input_waiting(int fd) {
    pollfd waiting{fd, POLLIN, 0};
    return ::poll(&waiting, 1, 0) > 0;
}

// Up to about `most` lines: as many as have come, waiting only while there is
// none. Leaves `unreadable` set when reading fails; returns on a signal.
void read_lines(LineReader& reader, std::vector<std::string>& lines, std::size_t most, std::string& unreadable) {
    lines.clear();
    char buffer[64 * 1024];
    while (!reader.ended && lines.size() < most && (lines.empty() || input_waiting(reader.fd))) {
        const ssize_t got = ::read(reader.fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno != EINTR) unreadable = std::strerror(errno);
            return;
        }
        if (got == 0) {
            reader.ended = true;
            if (!reader.partial.empty()) lines.push_back(std::move(reader.partial)); // the last line, unended
            return;
        }
        take(reader, std::string_view(buffer, static_cast<std::size_t>(got)), lines);
    }
}

} // namespace

BatchTally run_batch(int input, std::ostream& out, int threads, const std::atomic<bool>* interrupt) {
    BatchTally tally;
    LineReader reader{input, {}, false};
    std::vector<std::string> lines;
    std::vector<std::string_view> views;
    const auto write = [&](LineAnswer&& answer) {
        out << answer.text << '\n';
        ++tally.lines;
        tally.refused += answer.outcome != LineOutcome::answered;
        tally.not_json += answer.outcome == LineOutcome::not_json;
    };
    while (!reader.ended && tally.unreadable.empty() && out) {
        read_lines(reader, lines, lines_per_chunk(threads), tally.unreadable);
        if (interrupt != nullptr && interrupt->load()) break;
        views.assign(lines.begin(), lines.end());
        try {
            answer_lines(views, {threads, interrupt}, write);
        } catch (const RangeCancelled&) {
            break;
        }
        out.flush();
    }
    tally.interrupted = interrupt != nullptr && interrupt->load();
    return tally;
}

} // namespace varnolith
