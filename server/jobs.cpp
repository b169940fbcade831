#include "jobs.hpp"

#include <exception>
#include <new>
#include <stdexcept>

namespace varnolith {

namespace {

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

ApiError cancelled_error(const Job& job, double max_seconds) {
    if (job.cancel_reason == "time_limit")
        return {422, "time_limit",
                "the computation was stopped at the server's limit of " + std::to_string(static_cast<int>(max_seconds)) +
                    " s; ask for fewer trials, a coarser precision or a smaller spot"};
    if (job.cancel_reason == "stopping") return {503, "stopping", "the server is stopping"};
    return {409, "cancelled", "the computation was cancelled"};
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
        answer = work(job.request, options);
        if (job.cancel.load()) throw RangeCancelled{};
    } catch (const RangeCancelled&) {
        const std::lock_guard lock(board.mutex);
        error = cancelled_error(job, board.limits.max_seconds);
    } catch (const RangeError& e) {
        error = api_error(e);
    } catch (const std::bad_alloc&) {
        error = ApiError{500, "internal", "memory ran out"};
    } catch (const std::exception& e) {
        error = ApiError{500, "internal", e.what()};
    } catch (...) {
        error = ApiError{500, "internal", "an unknown failure"};
    }
    const std::lock_guard lock(board.mutex);
    job.finished = true;
    job.finished_at = Clock::now();
    job.request = EquityRequest{}; // its ranges are no longer needed; a wide one is tens of kilobytes
    job.answer = std::move(answer);
    job.error = std::move(error);
    if (!job.error) job.progress = 1.0;
    board.changed.notify_all();
}

} // namespace

void work_jobs(JobBoard& board, const JobWork& work) {
    while (true) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(board.mutex);
            board.changed.wait(lock, [&] { return board.stopping || !board.queue.empty(); });
            if (board.stopping) return;
            job = board.queue.front();
            board.queue.pop_front();
            job->started = true;
            job->started_at = Clock::now();
        }
        run(board, *job, work);
    }
}

void watch_jobs(JobBoard& board) {
    std::unique_lock lock(board.mutex);
    while (!board.stopping) {
        board.changed.wait_for(lock, std::chrono::milliseconds(20));
        const auto now = Clock::now();
        for (auto at = board.jobs.begin(); at != board.jobs.end();) {
            Job& job = *at->second;
            if (job.finished) {
                at = seconds(now - job.finished_at) > board.limits.kept_seconds ? board.jobs.erase(at) : std::next(at);
                continue;
            }
            if (job.cancel_reason.empty() && job.started && seconds(now - job.started_at) > board.limits.max_seconds)
                job.cancel_reason = "time_limit";
            if (job.cancel_reason.empty() && seconds(now - job.last_watched) > board.limits.unwatched_seconds)
                job.cancel_reason = "cancelled";
            if (!job.cancel_reason.empty()) job.cancel = true;
            ++at;
        }
        // A cancelled job still in the queue never needs a worker.
        for (auto at = board.queue.begin(); at != board.queue.end();) {
            Job& job = **at;
            if (!job.cancel) {
                ++at;
                continue;
            }
            job.finished = true;
            job.finished_at = now;
            job.error = cancelled_error(job, board.limits.max_seconds);
            at = board.queue.erase(at);
            board.changed.notify_all();
        }
    }
}

void stop_jobs(JobBoard& board) {
    const std::lock_guard lock(board.mutex);
    board.stopping = true;
    for (auto& [id, job] : board.jobs)
        if (!job->finished && job->cancel_reason.empty()) {
            job->cancel_reason = "stopping";
            job->cancel = true;
        }
    for (auto& job : board.queue) {
        job->finished = true;
        job->finished_at = Clock::now();
        job->error = cancelled_error(*job, board.limits.max_seconds);
    }
    board.queue.clear();
    board.changed.notify_all();
}

std::variant<std::shared_ptr<Job>, ApiError> submit_job(JobBoard& board, EquityRequest request) {
    const std::lock_guard lock(board.mutex);
    if (board.stopping) return ApiError{503, "stopping", "the server is stopping"};
    if (board.queue.size() >= static_cast<std::size_t>(board.limits.queued))
        return ApiError{503, "busy", "the server is busy with other computations; try again in a moment"};
    auto job = std::make_shared<Job>();
    job->id = std::string(1, 'j').append(std::to_string(board.next_id++));
    job->request = std::move(request);
    board.jobs[job->id] = job;
    board.queue.push_back(job);
    board.changed.notify_all();
    return job;
}

int server_threads(const JobLimits& limits) { return limits.running + limits.queued + limits.streams + spare_threads; }

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
    const auto at = board.jobs.find(id);
    return at == board.jobs.end() ? nullptr : at->second;
}

void forget_job(JobBoard& board, const std::string& id) {
    const std::lock_guard lock(board.mutex);
    board.jobs.erase(id);
}

void cancel_job(JobBoard& board, Job& job, const std::string& reason) {
    const std::lock_guard lock(board.mutex);
    if (job.finished || !job.cancel_reason.empty()) return;
    job.cancel_reason = reason;
    job.cancel = true;
    // A queued job leaves the queue at once: its place is free for the next request.
    if (!job.started) {
        std::erase_if(board.queue, [&](const std::shared_ptr<Job>& queued) { return queued.get() == &job; });
        job.finished = true;
        job.finished_at = Clock::now();
        job.error = cancelled_error(job, board.limits.max_seconds);
    }
    board.changed.notify_all();
}

bool wait_for_job(JobBoard& board, Job& job, Clock::duration wait) {
    std::unique_lock lock(board.mutex);
    board.changed.wait_for(lock, wait, [&] { return job.finished; });
    job.last_watched = Clock::now();
    return job.finished;
}

} // namespace varnolith
