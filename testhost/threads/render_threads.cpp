#include "testhost/threads/render_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace testhost {

RenderThreads::RenderThreads(int render_threads, int iterate_threads) {
    for (int i = 0; i < std::max(1, render_threads); ++i) {
        pools_.push_back(std::make_unique<WorkerPool>(std::max(1, iterate_threads) - 1));
    }
}

std::vector<RenderOutcome> RenderThreads::Run(std::vector<RenderJob> &jobs,
                                              const std::function<void()> &main_thread_work) {
    std::vector<RenderOutcome> outcomes(jobs.size());
    std::atomic<std::size_t> next_job{0};
    std::mutex failure_mutex;
    std::exception_ptr failure;
    auto keep_first = [&](std::exception_ptr error) {
        std::lock_guard lock(failure_mutex);
        if (!failure) failure = error;
    };

    std::vector<std::thread> threads;
    threads.reserve(pools_.size());
    for (const auto &pool : pools_) {
        threads.emplace_back([&, pool = pool.get()] {
            for (std::size_t i = next_job.fetch_add(1); i < jobs.size(); i = next_job.fetch_add(1)) {
                try {
                    outcomes[i] = jobs[i].host->RenderAlongside(jobs[i].request, *pool);
                } catch (...) {
                    keep_first(std::current_exception());
                }
            }
        });
    }
    try {
        main_thread_work();
    } catch (...) {
        keep_first(std::current_exception());
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    if (failure) std::rethrow_exception(failure);
    return outcomes;
}

}  // namespace testhost
