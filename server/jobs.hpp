#pragma once
// Computations the server runs for its clients: a few at once (as many as
// there are cores), a short queue behind them, and beyond it "busy". Each can
// be cancelled, stops at its time limit, and is cancelled when nobody waits
// for it any more.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

#include "api_error.hpp"
#include "equity_request.hpp"

namespace varnolith {

using Clock = std::chrono::steady_clock;

// Turns a request into the answer's JSON text; throws what the engine throws.
using JobWork = std::function<std::string(const EquityRequest&, const RangeOptions&)>;

struct Job {
    std::string id;
    EquityRequest request;
    std::atomic<bool> cancel{false};
    std::atomic<double> progress{0.0}; // fraction done, never going back
    Clock::time_point created = Clock::now();

    // Guarded by the table's mutex.
    bool started = false, finished = false;
    Clock::time_point started_at{}, finished_at{}, last_watched = Clock::now();
    std::string answer;            // the JSON text, when finished without error
    std::optional<ApiError> error; // when finished with one
    std::string cancel_reason;     // why `cancel` was set
};

struct JobLimits {
    int running = 2;          // computations at once
    int queued = 8;           // waiting behind them
    double max_seconds = 120; // each computation's time limit
    double unwatched_seconds = 10; // cancelled when nobody has asked about it for this long
    double kept_seconds = 60;      // a finished job is forgotten after this
    int streams = 32;              // event streams open at once
};

// Each waiting request (an answer awaited, an event stream) holds one of the
// server's threads; with at most running + queued + streams of them, this
// many more are always free for the quick ones (a cancel, the page).
inline constexpr int spare_threads = 16;

// What the workers, the watchdog and the routes share; every field is
// guarded by `mutex` but the jobs' own atomics.
struct JobBoard {
    JobLimits limits;
    std::mutex mutex;
    std::condition_variable changed; // a job queued or finished; stopping
    std::map<std::string, std::shared_ptr<Job>> jobs;
    std::deque<std::shared_ptr<Job>> queue;
    uint64_t next_id = 1;
    int streams = 0; // event streams open now
    bool stopping = false;
};

// The server's thread count for these limits.
int server_threads(const JobLimits& limits);

// Counts an event stream in, or says the server is busy; close_stream counts it out.
std::optional<ApiError> open_stream(JobBoard& board);
void close_stream(JobBoard& board);

// A worker's loop: takes queued jobs and runs them until the board stops.
void work_jobs(JobBoard& board, const JobWork& work);

// The watchdog's loop: time limits, unwatched jobs, forgetting old ones.
void watch_jobs(JobBoard& board);

// Cancels every job and wakes every loop, which then return.
void stop_jobs(JobBoard& board);

// Queues the request, or says why not (503 busy, 503 stopping).
std::variant<std::shared_ptr<Job>, ApiError> submit_job(JobBoard& board, EquityRequest request);

std::shared_ptr<Job> find_job(JobBoard& board, const std::string& id);

// Drops a job whose answer has been delivered.
void forget_job(JobBoard& board, const std::string& id);

// Sets the cancel flag with its reason; a finished job is left alone.
void cancel_job(JobBoard& board, Job& job, const std::string& reason);

// Waits up to `wait` for the job to finish and marks it watched; true when finished.
bool wait_for_job(JobBoard& board, Job& job, Clock::duration wait);

} // namespace varnolith
