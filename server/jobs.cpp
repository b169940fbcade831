#include "jobs.hpp"

#include "team.hpp"

#include <algorithm>
#include <utility>

namespace varnolith {

namespace {

using Waiters = std::vector<std::function<void()>>;

Clock::duration span(double seconds) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// When the watchdog stops a running job at the time limit.
Clock::time_point time_limit_at(const JobBoard& board, const Job& job) {
    return job.started_at + span(board.limits.max_seconds);
}

// When the watchdog cancels a job nobody asks about.
Clock::time_point unwatched_at(const JobBoard& board, const Job& job) {
    return job.last_watched + span(board.limits.unwatched_seconds);
}

// When the watchdog forgets a finished job whose answer nobody fetched.
Clock::time_point forgotten_at(const JobBoard& board, const Job& job) {
    return job.finished_at + span(board.limits.kept_seconds);
}

ApiError stopped_error(StopReason reason, double max_seconds) {
    const std::string code(stop_code(reason));
    if (reason == StopReason::time_limit)
        return {422, code,
                "the computation was stopped at the server's limit of " + std::to_string(static_cast<int>(max_seconds)) +
                    " s; ask for fewer trials, a coarser precision or a smaller spot"};
    if (reason == StopReason::stopping) return {503, code, "the server is stopping"};
    return {409, code, "the computation was cancelled"};
}

// 128 bits from the system's random source: an id nobody can guess, so that
// only the client that queued a job can follow or cancel it.
std::string new_id(std::random_device& random) {
    constexpr std::string_view digits = "0123456789abcdef";
    std::string id;
    for (int word = 0; word < 4; ++word) {
        const uint32_t bits = random();
        for (int shift = 28; shift >= 0; shift -= 4) id += digits[(bits >> shift) & 0xfu];
    }
    return id;
}

// Ends a job (the lock held): its answer or error kept, its waiters handed
// back to be called once the lock is let go.
Waiters finish(JobBoard& board, Job& job, std::string answer, std::optional<ApiError> error) {
    job.finished = true;
    job.finished_at = Clock::now();
    job.request = EquityRequest{}; // its ranges are no longer needed; a wide one is tens of kilobytes
    job.answer = std::move(answer);
    job.error = std::move(error);
    if (!job.error) job.progress = 1.0;
    std::erase_if(board.unfinished, [&](const std::shared_ptr<Job>& j) { return j.get() == &job; });
    job.changed.notify_all();
    board.jobs_changed.notify_all();
    if (!job.id.empty()) board.watchdog_wake.notify_one(); // it is to be forgotten some day
    return std::exchange(job.waiters, {});
}

// A job cancelled before it started leaves its queue at once, so that its
// place is free for the next request (the lock held).
Waiters end_queued(JobBoard& board, Job& job) {
    auto& queue = job.quick ? board.quick_queue : board.long_queue;
    std::erase_if(queue, [&](const std::shared_ptr<Job>& queued) { return queued.get() == &job; });
    return finish(board, job, {}, stopped_error(job.stop, board.limits.max_seconds));
}

void call(Waiters& waiters) {
    for (auto& waiter : waiters) waiter();
}

// The next job to run with the cores it is granted, or null (the lock held).
std::shared_ptr<Job> take_job(JobBoard& board) {
    const int free = board.limits.cores - board.cores_held;
    if (free <= 0) return nullptr;
    std::shared_ptr<Job> job;
    int granted = 1; // a quick job is over before more threads would pay
    if (!board.quick_queue.empty()) {
        job = board.quick_queue.front();
        board.quick_queue.pop_front();
    } else if (!board.long_queue.empty()) {
        const bool lasting = board.long_queue.front()->lasting;
        const int usable = lasting ? std::min(free, lasting_job_cores(board.limits) - board.lasting_cores_held) : free;
        if (usable <= 0) return nullptr;
        job = board.long_queue.front();
        board.long_queue.pop_front();
        const int asked = job->request.choices.threads > 0 ? job->request.choices.threads : board.limits.cores;
        // Shared with the long jobs queued behind it, so that they can start too.
        const int share = std::max(1, usable / (1 + static_cast<int>(board.long_queue.size())));
        granted = std::min(asked, share);
        if (lasting) board.lasting_cores_held += granted;
    } else {
        return nullptr;
    }
    board.cores_held += granted;
    job->threads = granted;
    job->request.choices.threads = granted; // what the engine runs on, whatever was asked
    job->started = true;
    job->started_at = Clock::now();
    job->changed.notify_all();
    board.jobs_changed.notify_all();
    board.watchdog_wake.notify_one(); // its time limit runs from now
    return job;
}

// The answer, or the error the engine's exception stands for.
void run(JobBoard& board, Job& job, const JobWork& work) {
    RangeOptions options;
    options.cancel = &job.cancel;
    options.progress = [](double done, void* context) {
        static_cast<Job*>(context)->progress.store(done, std::memory_order_relaxed);
    };
    options.progress_context = &job;
    std::string answer;
    std::optional<ApiError> error;
    try {
        // Set once at submission: read without the lock like the request.
        const bool listed = !job.id.empty();
        answer = work(job.request, options, listed ? AnswerLayout::one_line : AnswerLayout::indented);
        if (job.cancel.load()) throw RangeCancelled{};
    } catch (const RangeCancelled&) {
        const std::lock_guard lock(board.mutex);
        error = stopped_error(job.stop, board.limits.max_seconds);
    } catch (...) {
        error = run_failure();
    }
    Waiters waiters;
    {
        const std::lock_guard lock(board.mutex);
        board.cores_held -= job.threads;
        if (job.lasting) board.lasting_cores_held -= job.threads;
        board.work_ready.notify_all(); // the cores freed may start more than one job
        waiters = finish(board, job, std::move(answer), std::move(error));
    }
    call(waiters);
}

// The nearest moment the watchdog has something to do, if any (the lock
// held). A job watched again or stopped already only moves its deadline later,
// so the watchdog then wakes early and finds nothing to do.
std::optional<Clock::time_point> next_deadline(const JobBoard& board) {
    std::optional<Clock::time_point> next;
    const auto consider = [&](Clock::time_point at) {
        if (!next || at < *next) next = at;
    };
    for (const std::shared_ptr<Job>& job : board.unfinished) {
        if (job->stop != StopReason::none) continue; // its cancel is under way
        if (job->started) consider(time_limit_at(board, *job));
        consider(unwatched_at(board, *job));
    }
    for (const auto& [id, job] : board.listed)
        if (job->finished) consider(forgotten_at(board, *job));
    return next;
}

// Keeps at most limits.kept listed jobs by forgetting the finished ones that
// waited longest for their client (the lock held).
void keep_within_limit(JobBoard& board) {
    while (board.listed.size() > static_cast<std::size_t>(board.limits.kept)) {
        auto oldest = board.listed.end();
        for (auto at = board.listed.begin(); at != board.listed.end(); ++at)
            if (at->second->finished && (oldest == board.listed.end() || at->second->finished_at < oldest->second->finished_at))
                oldest = at;
        if (oldest == board.listed.end()) return; // all unfinished: the queues bound them
        board.listed.erase(oldest);
    }
}

// The ids of the unfinished jobs (the lock held).
BoardSnapshot snapshot_of(const JobBoard& board) {
    BoardSnapshot snapshot;
    for (const std::shared_ptr<Job>& job : board.unfinished) (job->started ? snapshot.running : snapshot.queued).push_back(job->id);
    return snapshot;
}

} // namespace

std::string_view stop_code(StopReason reason) {
    switch (reason) {
    case StopReason::cancelled: return "cancelled";
    case StopReason::time_limit: return "time_limit";
    case StopReason::stopping: return "stopping";
    case StopReason::none: break;
    }
    return "";
}

int lasting_job_cores(const JobLimits& limits) { return limits.cores > 1 ? limits.cores - 1 : 1; }

void open_board(JobBoard& board) {
    if (board.limits.cores <= 0) board.limits.cores = std::max(1, core_count());
}

void work_jobs(JobBoard& board, const JobWork& work) {
    while (true) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(board.mutex);
            board.work_ready.wait(lock, [&] {
                if (board.stopping) return true;
                job = take_job(board);
                return job != nullptr;
            });
            if (!job) return;
        }
        run(board, *job, work);
    }
}

void watch_jobs(JobBoard& board) {
    std::unique_lock lock(board.mutex);
    while (!board.stopping) {
        const auto now = Clock::now();
        Waiters waiters;
        for (const std::shared_ptr<Job>& job : std::vector(board.unfinished)) {
            if (job->stop == StopReason::none && job->started && now >= time_limit_at(board, *job))
                job->stop = StopReason::time_limit;
            if (job->stop == StopReason::none && now >= unwatched_at(board, *job)) job->stop = StopReason::cancelled;
            if (job->stop == StopReason::none) continue;
            job->cancel = true;
            if (!job->started) std::ranges::move(end_queued(board, *job), std::back_inserter(waiters));
        }
        std::erase_if(board.listed,
                      [&](const auto& item) { return item.second->finished && now >= forgotten_at(board, *item.second); });
        if (!waiters.empty()) {
            lock.unlock();
            call(waiters);
            lock.lock();
            continue; // the time moved on while they ran
        }
        if (const auto next = next_deadline(board)) board.watchdog_wake.wait_until(lock, *next);
        else board.watchdog_wake.wait(lock);
    }
}

void stop_jobs(JobBoard& board) {
    Waiters waiters;
    {
        const std::lock_guard lock(board.mutex);
        board.stopping = true;
        for (const std::shared_ptr<Job>& job : std::vector(board.unfinished)) {
            if (job->stop == StopReason::none) job->stop = StopReason::stopping;
            job->cancel = true;
            if (!job->started) std::ranges::move(end_queued(board, *job), std::back_inserter(waiters));
        }
        board.work_ready.notify_all();
        board.watchdog_wake.notify_one();
    }
    call(waiters);
}

std::variant<std::shared_ptr<Job>, ApiError> submit_job(JobBoard& board, EquityRequest request, JobKind kind) {
    const std::lock_guard lock(board.mutex);
    if (board.stopping) return stopped_error(StopReason::stopping, board.limits.max_seconds);
    auto& queue = kind.quick ? board.quick_queue : board.long_queue;
    const int room = kind.quick ? board.limits.quick_queued : board.limits.queued;
    if (queue.size() >= static_cast<std::size_t>(room))
        return ApiError{503, "busy", "the server is busy with other computations; try again in a moment"};
    auto job = std::make_shared<Job>();
    job->request = std::move(request);
    job->quick = kind.quick;
    job->lasting = kind.lasting && !kind.quick;
    if (kind.listed) {
        job->id = new_id(board.random);
        board.listed[job->id] = job;
        keep_within_limit(board);
    }
    board.unfinished.push_back(job);
    queue.push_back(job);
    board.work_ready.notify_one();
    board.watchdog_wake.notify_one(); // nobody has watched it yet: its deadline may be the nearest
    board.jobs_changed.notify_all();
    return job;
}

std::optional<ApiError> open_stream(JobBoard& board) {
    const std::lock_guard lock(board.mutex);
    if (board.streams >= board.limits.streams)
        return ApiError{503, "busy", "too many event streams are open; try again in a moment"};
    ++board.streams;
    return std::nullopt;
}

void close_stream(JobBoard& board) {
    const std::lock_guard lock(board.mutex);
    --board.streams;
}

std::shared_ptr<Job> find_job(JobBoard& board, const std::string& id) {
    const std::lock_guard lock(board.mutex);
    const auto at = board.listed.find(id);
    return at == board.listed.end() ? nullptr : at->second;
}

void forget_job(JobBoard& board, const std::string& id) {
    const std::lock_guard lock(board.mutex);
    board.listed.erase(id);
}

void cancel_job(JobBoard& board, Job& job, StopReason reason) {
    Waiters waiters;
    {
        const std::lock_guard lock(board.mutex);
        if (job.finished || job.stop != StopReason::none) return;
        job.stop = reason;
        job.cancel = true;
        if (!job.started) waiters = end_queued(board, job);
    }
    call(waiters);
}

void watch_job(JobBoard& board, Job& job) {
    const std::lock_guard lock(board.mutex);
    job.last_watched = Clock::now();
}

void when_finished(JobBoard& board, Job& job, std::function<void()> waiter) {
    {
        const std::lock_guard lock(board.mutex);
        if (!job.finished) return job.waiters.push_back(std::move(waiter));
    }
    waiter();
}

bool wait_for_job(JobBoard& board, Job& job, Clock::duration wait) {
    std::unique_lock lock(board.mutex);
    job.changed.wait_for(lock, wait, [&] { return job.finished; });
    job.last_watched = Clock::now();
    return job.finished;
}

JobSnapshot job_snapshot(JobBoard& board, const Job& job) {
    const std::lock_guard lock(board.mutex);
    JobSnapshot snapshot;
    snapshot.stage = job.finished ? JobStage::finished : job.started ? JobStage::running : JobStage::queued;
    snapshot.stop = job.stop;
    snapshot.threads = job.threads;
    snapshot.done = job.progress.load();
    if (job.started) snapshot.running_for = Clock::now() - job.started_at;
    return snapshot;
}

BoardSnapshot board_snapshot(JobBoard& board) {
    const std::lock_guard lock(board.mutex);
    return snapshot_of(board);
}

bool wait_for_board(JobBoard& board, const std::function<bool(const BoardSnapshot&)>& holds, Clock::duration wait) {
    std::unique_lock lock(board.mutex);
    return board.jobs_changed.wait_for(lock, wait, [&] { return holds(snapshot_of(board)); });
}

} // namespace varnolith
