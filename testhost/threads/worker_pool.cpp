#include "testhost/threads/worker_pool.h"

namespace testhost {

WorkerPool::WorkerPool(int helper_threads) {
    helpers_.reserve(static_cast<std::size_t>(helper_threads > 0 ? helper_threads : 0));
    for (int i = 0; i < helper_threads; ++i) {
        helpers_.emplace_back([this] { HelperLoop(); });
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    job_posted_.notify_all();
    for (std::thread &helper : helpers_) {
        helper.join();
    }
}

void WorkerPool::RunOnAll(const std::function<void()> &job) {
    std::lock_guard run_lock(run_mutex_);
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        helpers_running_ = static_cast<int>(helpers_.size());
        ++generation_;
    }
    job_posted_.notify_all();
    job();
    std::unique_lock lock(mutex_);
    job_finished_.wait(lock, [this] { return helpers_running_ == 0; });
    job_ = nullptr;
}

void WorkerPool::HelperLoop() {
    std::uint64_t seen = 0;
    for (;;) {
        const std::function<void()> *job = nullptr;
        {
            std::unique_lock lock(mutex_);
            job_posted_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) {
                return;
            }
            seen = generation_;
            job = job_;
        }
        (*job)();
        {
            std::lock_guard lock(mutex_);
            --helpers_running_;
        }
        job_finished_.notify_all();
    }
}

}  // namespace testhost
