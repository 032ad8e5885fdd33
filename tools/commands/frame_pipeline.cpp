#include "tools/commands/frame_pipeline.h"

#include <atomic>
#include <exception>
#include <new>
#include <thread>
#include <utility>

#include "tools/base/tool_error.h"
#include "tools/commands/frame_handoff.h"

namespace zonara_tool {
namespace {

struct FrameWork {
    std::size_t job = 0;
    std::optional<Image> image;
    std::optional<FrameFailure> failure;
};

// Runs one stage on a frame, turning what it throws into the frame's failure.
template <class Stage>
void Attempt(FrameWork &work, Stage stage) {
    try {
        stage();
    } catch (const ToolError &error) {
        work.failure = FrameFailure{error.exit_status(), error.what()};
    } catch (const std::bad_alloc &) {
        // The machine's limit, not the frame's fault: the run stops here,
        // as at a full disk.
        work.failure = FrameFailure{EXIT_SYSTEM, "out of memory"};
    } catch (const std::exception &error) {
        work.failure = FrameFailure{EXIT_EFFECT_FAILED, error.what()};
    }
    if (work.failure) {
        work.image.reset();
    }
}

}  // namespace

std::size_t RunFramePipeline(const std::vector<FrameJob> &jobs, const FrameStages &stages) {
    FrameHandoff<FrameWork> to_render;
    FrameHandoff<FrameWork> to_write;
    std::atomic<bool> stopped{false};
    std::size_t reported = 0;

    std::thread reader([&] {
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            if (stopped.load() || !to_render.WaitUntilFree()) {
                break;
            }
            FrameWork work{i, std::nullopt, std::nullopt};
            Attempt(work, [&] { work.image = stages.read(jobs[i]); });
            to_render.Put(std::move(work));
        }
        to_render.Finish();
    });
    std::thread writer([&] {
        while (std::optional<FrameWork> work = to_write.Take()) {
            if (!work->failure) {
                Attempt(*work, [&] { stages.write(jobs[work->job], *work->image); });
            }
            work->image.reset();
            try {
                stages.report(jobs[work->job], work->failure);
            } catch (const std::exception &) {
                // A report that cannot be printed changes nothing written.
            }
            ++reported;
            if (work->failure && work->failure->exit_status == EXIT_SYSTEM) {
                stopped.store(true);
                // Wakes the stages waiting to hand a frame on; what they
                // hold is dropped.
                to_write.Abandon();
                to_render.Abandon();
                break;
            }
        }
    });

    for (;;) {
        // The previous result must have gone to the writer before the next
        // frame is taken, so that no more than three frames are under way.
        if (!to_write.WaitUntilFree()) {
            break;  // the writer stopped the run
        }
        std::optional<FrameWork> work = to_render.Take();
        if (!work || stopped.load()) {
            break;
        }
        if (!work->failure) {
            Attempt(*work, [&] { work->image = stages.render(jobs[work->job], std::move(*work->image)); });
        }
        to_write.Put(std::move(*work));
    }
    to_write.Finish();
    // The reader may be waiting to hand on a frame nobody will render.
    to_render.Abandon();
    reader.join();
    writer.join();
    return reported;
}

}  // namespace zonara_tool
