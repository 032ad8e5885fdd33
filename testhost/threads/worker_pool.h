// The threads a host keeps between frames to share pixel work out over all
// cores. Created once, reused for every iterate call, joined on destruction.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace testhost {

class WorkerPool {
public:
    // `helper_threads` threads besides the caller's own; 0 runs everything on
    // the calling thread.
    explicit WorkerPool(int helper_threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool &) = delete;
    WorkerPool &operator=(const WorkerPool &) = delete;

    // Threads that take part in a job, the caller included.
    int thread_count() const { return static_cast<int>(helpers_.size()) + 1; }

    // Runs `job` once on every helper thread and once on the calling thread
    // and returns when all of them have returned. `job` must not throw; it
    // is expected to pull its share of work from a shared counter. Calls from
    // several threads at once are run one after the other.
    void RunOnAll(const std::function<void()> &job);

private:
    void HelperLoop();

    std::mutex run_mutex_;  // one job at a time
    std::mutex mutex_;
    std::condition_variable job_posted_;
    std::condition_variable job_finished_;
    const std::function<void()> *job_ = nullptr;
    std::uint64_t generation_ = 0;
    int helpers_running_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> helpers_;
};

}  // namespace testhost
