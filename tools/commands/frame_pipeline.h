// A sequence rendered as a pipeline of three stages on three threads: frame
// n+1 is read and frame n-1 written while frame n renders. Each stage hands
// its frame on through a one-place handoff, so at most three frames are
// under way at once (one read, one rendering, one being written: four
// images with the rendering frame's source and result), however long the
// sequence. Frames
// pass every stage in order; a frame that fails in one stage is reported in
// its turn and the others go on, unless the machine failed (EXIT_SYSTEM: a
// full disk, say): every later frame would meet the same failure, each
// first read and rendered for nothing, so the run stops there. No frame is
// then read, rendered or written any more; the frames under way are
// dropped unreported.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/image/image.h"

namespace zonara_tool {

// One unit of work: where to read (empty for the chart) and where to write.
struct FrameJob {
    int frame = 0;
    std::string input;
    std::string output;
};

struct FrameFailure {
    int exit_status = 0;
    std::string message;
};

struct FrameStages {
    // Run on the reading thread.
    std::function<Image(const FrameJob &)> read;
    // Run on the calling thread, where the host lives.
    std::function<Image(const FrameJob &, Image)> render;
    // Run on the writing thread, as is `report`, once per frame in order,
    // with the failure if any stage failed.
    std::function<void(const FrameJob &, const Image &)> write;
    std::function<void(const FrameJob &, const std::optional<FrameFailure> &)> report;
};

// Runs every job through the stages and returns the number of frames
// reported: all of them, unless a failure of the machine stopped the run
// after reporting that frame. A ToolError from a stage fails the frame with
// its status; any other exception fails it as an effect error.
std::size_t RunFramePipeline(const std::vector<FrameJob> &jobs, const FrameStages &stages);

}  // namespace zonara_tool
