#pragma once
// Computations the server runs for its clients. Running jobs together never
// use more threads than the machine has cores: each core is a token, and a job
// takes its share of the free ones when it starts (at least one). Quick jobs
// (expected within milliseconds) are taken first and wait in a queue of their
// own; long ones wait in a short queue, and beyond it the server is busy. Jobs
// expected to last (over a second on every core) leave one core to the quick
// ones, so that a minutes-long run does not hold up everybody's small spots.
// Each job can be cancelled, stops at its time limit, and is cancelled when
// nobody waits for it any more.

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
#include <random>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "api_error.hpp"
#include "equity_answer.hpp"
#include "equity_request.hpp"

namespace varnolith {

using Clock = std::chrono::steady_clock;

// Turns a request into the answer's JSON text, laid out as asked; throws what
// the engine throws.
using JobWork = std::function<std::string(const EquityRequest&, const RangeOptions&, AnswerLayout)>;

// Why a job was stopped before its end, if it was.
enum class StopReason { none, cancelled, time_limit, stopping };

// The error code a client is told for a stopped job ("cancelled", ...).
std::string_view stop_code(StopReason reason);

struct Job {
    std::string id; // 32 hex digits; "" for a job no route can name (POST /api/equity's own)
    EquityRequest request;
    bool quick = false, lasting = false; // as submitted (JobKind)
    std::atomic<bool> cancel{false};
    std::atomic<double> progress{0.0}; // fraction done, never going back
    std::condition_variable changed;   // it started or finished (waited on with the board's mutex)

    // Guarded by the board's mutex.
    bool started = false, finished = false;
    int threads = 0; // the cores granted, while it runs
    Clock::time_point started_at{}, finished_at{}, last_watched = Clock::now();
    std::string answer;            // the JSON text, when finished without error (one line for a listed job)
    std::optional<ApiError> error; // when finished with one
    StopReason stop = StopReason::none;
    std::vector<std::function<void()>> waiters; // called once, without the lock, when it finishes
};

struct JobLimits {
    int cores = 0;                // threads of all running jobs together; 0: this machine's cores
    int queued = 8;               // long jobs waiting
    int quick_queued = 256;       // quick ones waiting
    double quick_seconds = 0.05;  // a job expected within this on one core is quick
    double lasting_seconds = 1.0; // one expected to take longer on every core is lasting
    double max_seconds = 120;     // each computation's time limit
    double unwatched_seconds = 10; // cancelled when nobody has asked about it for this long
    double kept_seconds = 60;     // a finished job is forgotten after this ...
    int kept = 64;                // ... or when this many are kept and a new one comes
    int streams = 32;             // event streams open at once
};

// The cores lasting jobs may hold together: all but one, which stays for
// quick spots while they run (all of them on a one-core machine).
int lasting_job_cores(const JobLimits& limits);

// What the workers, the watchdog and the routes share; every field is
// guarded by `mutex` but the jobs' own atomics. Only jobs.cpp touches the
// fields after `limits`: everyone else goes through the functions declared
// after it, which take the lock themselves.
struct JobBoard {
    JobLimits limits; // set before any worker starts; cores then resolved
    std::mutex mutex;
    // Each wakes only whom it concerns: the workers when there may be a job
    // for them, the watchdog when a deadline may have come nearer, and those
    // who watch the whole board when a job is queued, starts or finishes.
    std::condition_variable work_ready, watchdog_wake, jobs_changed;
    std::random_device random;       // job ids
    std::map<std::string, std::shared_ptr<Job>> listed; // the jobs routes can name, by id
    std::vector<std::shared_ptr<Job>> unfinished;       // queued or running, named or not
    std::deque<std::shared_ptr<Job>> quick_queue, long_queue;
    int cores_held = 0, lasting_cores_held = 0;
    int streams = 0; // event streams open now
    bool stopping = false;
};

// Resolves limits.cores (0: this machine's); call once, before the workers start.
void open_board(JobBoard& board);

// Counts an event stream in, or says the server is busy; close_stream counts it out.
std::optional<ApiError> open_stream(JobBoard& board);
void close_stream(JobBoard& board);

// A worker's loop: takes queued jobs (quick ones first) when cores are free
// and runs them until the board stops. Start limits.cores of them.
void work_jobs(JobBoard& board, const JobWork& work);

// The watchdog's loop: time limits, unwatched jobs, forgetting old ones. It
// sleeps until the nearest of their deadlines.
void watch_jobs(JobBoard& board);

// Cancels every job and wakes every loop, which then return.
void stop_jobs(JobBoard& board);

struct JobKind {
    bool quick = false;   // expected within limits.quick_seconds on one core
    bool lasting = false; // expected over limits.lasting_seconds on every core
    bool listed = false;  // named by an id the job routes know, which deliver its answer as an event
};

// Queues the request, or says why not (503 busy, 503 stopping).
std::variant<std::shared_ptr<Job>, ApiError> submit_job(JobBoard& board, EquityRequest request, JobKind kind);

// A listed job by its id, or null.
std::shared_ptr<Job> find_job(JobBoard& board, const std::string& id);

// Drops a listed job whose answer has been delivered.
void forget_job(JobBoard& board, const std::string& id);

// Sets the cancel flag with its reason; a queued job ends at once, a finished
// one is left alone.
void cancel_job(JobBoard& board, Job& job, StopReason reason);

// Marks the job as waited for, so that the watchdog keeps it.
void watch_job(JobBoard& board, Job& job);

// Calls `waiter` once when the job finishes, without the board's lock: at once
// when it has.
void when_finished(JobBoard& board, Job& job, std::function<void()> waiter);

// Waits up to `wait` for the job to finish and marks it watched; true when finished.
bool wait_for_job(JobBoard& board, Job& job, Clock::duration wait);

enum class JobStage { queued, running, finished };

// One job as it is at one moment, copied under the board's lock.
struct JobSnapshot {
    JobStage stage = JobStage::queued;
    StopReason stop = StopReason::none;
    int threads = 0;              // the cores granted, once started
    double done = 0.0;            // fraction done
    Clock::duration running_for{}; // since it started; zero while queued
};

JobSnapshot job_snapshot(JobBoard& board, const Job& job);

// The jobs not yet finished, by id ("" for a job no route can name).
struct BoardSnapshot {
    std::vector<std::string> queued, running;
};

BoardSnapshot board_snapshot(JobBoard& board);

// Waits up to `wait` for `holds` to be true of the board; true when it is.
// For whoever watches the board as a whole, such as tests and benchmarks.
bool wait_for_board(JobBoard& board, const std::function<bool(const BoardSnapshot&)>& holds, Clock::duration wait);

} // namespace varnolith
