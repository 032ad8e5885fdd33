// The sequence pipeline on its own, with stages that only count and wait:
// frames are reported in order with the stage's failure, neighbouring frames
// really are read, rendered and written at the same time, and no more than
// three frames are ever between being read and being reported.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>

#include "tools/base/tool_error.h"
#include "tools/commands/frame_pipeline.h"

namespace {

using namespace zonara_tool;

std::vector<FrameJob> Jobs(int count) {
    std::vector<FrameJob> jobs;
    for (int frame = 1; frame <= count; ++frame) {
        jobs.push_back({frame, "in" + std::to_string(frame), "out" + std::to_string(frame)});
    }
    return jobs;
}

// Marks of what has happened so far, for stages to wait on.
class Events {
public:
    void Mark(const std::string &event) {
        {
            std::lock_guard lock(mutex_);
            seen_.insert(event);
        }
        changed_.notify_all();
    }
    // False when the event does not happen within a generous time.
    bool WaitFor(const std::string &event) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return seen_.count(event) != 0; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::set<std::string> seen_;
};

TEST(FramePipeline, ReportsEveryFrameInOrderWithItsStagesFailure) {
    const std::vector<FrameJob> jobs = Jobs(7);
    std::vector<std::pair<int, int>> reported;  // frame, exit status (0: written)
    std::set<int> written;
    FrameStages stages;
    stages.read = [](const FrameJob &job) {
        if (job.frame == 2) throw UsageError("in2: no such file");
        return MakeImage(2, 2, 3, SampleKind::INT8);
    };
    stages.render = [](const FrameJob &, Image image) {
        if (image.Samples<std::uint8_t>()[0] != 0) throw ToolError(EXIT_EFFECT_FAILED, "unexpected pixels");
        image.Samples<std::uint8_t>()[0] = 7;
        return image;
    };
    int renders = 0;
    stages.render = [&, base = stages.render](const FrameJob &job, Image image) {
        if (++renders == 3) throw ToolError(EXIT_EFFECT_FAILED, "the effect failed");  // frame 4
        return base(job, std::move(image));
    };
    stages.write = [&](const FrameJob &job, const Image &image) {
        if (job.frame == 6) throw std::runtime_error("disk full");
        EXPECT_EQ(image.Samples<std::uint8_t>()[0], 7);
        written.insert(job.frame);
    };
    stages.report = [&](const FrameJob &job, const std::optional<FrameFailure> &failure) {
        reported.emplace_back(job.frame, failure ? failure->exit_status : 0);
    };
    RunFramePipeline(jobs, stages);
    EXPECT_EQ(reported,
              (std::vector<std::pair<int, int>>{
                  {1, 0}, {2, EXIT_USAGE}, {3, 0}, {4, EXIT_EFFECT_FAILED}, {5, 0}, {6, EXIT_EFFECT_FAILED}, {7, 0}}));
    EXPECT_EQ(written, (std::set<int>{1, 3, 5, 7}));
}

// Frame 1 cannot finish rendering until frame 2's read has begun, and frame
// 2 cannot finish rendering until frame 1's write has begun: a pipeline that
// did one thing at a time would stall here.
TEST(FramePipeline, ReadsAndWritesNeighboursWhileAFrameRenders) {
    Events events;
    bool overlapped = true;
    FrameStages stages;
    stages.read = [&](const FrameJob &job) {
        events.Mark("read " + std::to_string(job.frame));
        return MakeImage(1, 1, 1, SampleKind::INT8);
    };
    int rendering = 0;
    stages.render = [&](const FrameJob &, Image image) {
        ++rendering;
        if (rendering == 1) overlapped = overlapped && events.WaitFor("read 2");
        if (rendering == 2) overlapped = overlapped && events.WaitFor("write 1");
        return image;
    };
    stages.write = [&](const FrameJob &job, const Image &) { events.Mark("write " + std::to_string(job.frame)); };
    stages.report = [](const FrameJob &, const std::optional<FrameFailure> &) {};
    RunFramePipeline(Jobs(4), stages);
    EXPECT_TRUE(overlapped);
}

TEST(FramePipeline, HoldsAtMostThreeFramesWhateverTheLength) {
    std::mutex mutex;
    int in_flight = 0;
    int most = 0;
    FrameStages stages;
    stages.read = [&](const FrameJob &) {
        std::lock_guard lock(mutex);
        most = std::max(most, ++in_flight);
        return MakeImage(1, 1, 1, SampleKind::INT8);
    };
    stages.render = [](const FrameJob &, Image image) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return image;
    };
    stages.write = [](const FrameJob &, const Image &) {};
    stages.report = [&](const FrameJob &, const std::optional<FrameFailure> &) {
        std::lock_guard lock(mutex);
        --in_flight;
    };
    RunFramePipeline(Jobs(40), stages);
    EXPECT_EQ(in_flight, 0);
    EXPECT_LE(most, 3);
}

// A failure of the machine (a full disk) at frame 3 ends the run there: no
// frame after the ones already under way is read, none after it rendered
// or written, and only frames up to it are reported.
TEST(FramePipeline, StopsAtAFailureOfTheMachine) {
    std::atomic<int> reads{0};
    std::atomic<int> renders{0};
    std::vector<int> reported;
    std::set<int> written;
    FrameStages stages;
    stages.read = [&](const FrameJob &) {
        ++reads;
        return MakeImage(1, 1, 1, SampleKind::INT8);
    };
    stages.render = [&](const FrameJob &, Image image) {
        ++renders;
        return image;
    };
    stages.write = [&](const FrameJob &job, const Image &) {
        if (job.frame == 3) throw SystemError("cannot write out3: No space left on device");
        written.insert(job.frame);
    };
    stages.report = [&](const FrameJob &job, const std::optional<FrameFailure> &) { reported.push_back(job.frame); };
    EXPECT_EQ(RunFramePipeline(Jobs(40), stages), 3u);
    EXPECT_EQ(reported, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(written, (std::set<int>{1, 2}));
    EXPECT_LE(reads.load(), 5);  // frame 3 and the two under way behind it
    EXPECT_LE(renders.load(), 4);
}

}  // namespace
