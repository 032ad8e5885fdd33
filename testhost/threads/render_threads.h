// A host's threaded rendering, for an effect that declared it: several
// render threads send PF_Cmd_RENDER at once, each with iterate suites that
// share rows out to threads of its own, while the host's main thread goes on
// with the interface's commands (overlay events).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "testhost/core/host.h"
#include "testhost/threads/worker_pool.h"

namespace testhost {

// One render and the host that sends it; the renders of one run may go to
// different hosts sharing one module, as two hosts' frames would meet in it.
struct RenderJob {
    Host *host = nullptr;
    RenderRequest request;
};

class RenderThreads {
public:
    // `render_threads` threads send the renders; each one's iterate suites
    // walk on `iterate_threads` threads, the render thread included.
    RenderThreads(int render_threads, int iterate_threads);
    RenderThreads(const RenderThreads &) = delete;
    RenderThreads &operator=(const RenderThreads &) = delete;

    // Sends every job once, the render threads taking them in turn off one
    // list, while `main_thread_work` runs on the calling thread. Returns when
    // both are done: the outcomes in the jobs' order. An exception from
    // `main_thread_work` or from a render (a host refusing it) is thrown
    // here, after every thread has stopped.
    std::vector<RenderOutcome> Run(std::vector<RenderJob> &jobs, const std::function<void()> &main_thread_work);

private:
    std::vector<std::unique_ptr<WorkerPool>> pools_;  // one per render thread
};

}  // namespace testhost
