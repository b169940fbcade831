#pragma once
// Many spots in one run: lines in, each the body of POST /api/equity, and one
// line out for each, in the same order: the API's answer object, or its
// {"error": {...}}. Small spots run side by side, one thread each, spread
// over the cores; a spot expected to take longer runs after the small ones of
// its chunk, on every thread (or as many as it asks for).

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnolith {

// What became of one line: answered, refused (a bad spot, or one that cannot
// be dealt), or refused without being read at all, not being JSON.
enum class LineOutcome { answered, refused, not_json };

struct LineAnswer {
    std::string text; // one line, without its newline
    LineOutcome outcome = LineOutcome::answered;
};

struct BatchChoices {
    int threads = 0;                            // the threads the lines are spread over; 0: every core
    const std::atomic<bool>* cancel = nullptr;  // stops the batch, the spots under way within milliseconds
};

// Receives each line's answer in input order, as soon as it and every line
// before it have one; from any of the batch's threads, one call at a time.
using LineSink = std::function<void(LineAnswer&&)>;

// A line longer than this is refused as the API refuses a body this long, so
// a reader need keep no more of it.
std::size_t kept_line_bytes();

// How many lines a reader should hand over at a time: enough to keep every
// thread busy, few enough that answers waiting for an earlier one stay few.
std::size_t lines_per_chunk(int threads);

// Answers each line and hands the answers to `sink` in order. Throws
// RangeCancelled once cancelled, or what `sink` threw, after the lines under
// way end; the answers handed over until then are the first lines' ones.
void answer_lines(const std::vector<std::string_view>& lines, const BatchChoices& choices, const LineSink& sink);

// The same for text of lines ended by '\n' (the last one may lack it), taken
// in chunks of lines_per_chunk.
void answer_text_lines(std::string_view text, const BatchChoices& choices, const LineSink& sink);

} // namespace varnolith
