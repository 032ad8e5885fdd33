// Every choice a frame's render makes, made once before its first pixel:
// the instruction-set level, which accelerators to build (each only where it
// pays off and its memory can be had), and how the host's pixel loop is
// driven. The plan owns what it builds; every choice gives the same bits,
// only the time differs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "render/accelerators/constant_powers.h"
#include "render/accelerators/grade_tables.h"
#include "render/frame/pixel_format.h"
#include "render/frame/pixel_stage.h"
#include "render/frame/simd_level.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/lane_kernels.h"

namespace zonara {

// How an integer frame's pixels are rendered, one iterate callback each.
enum class IntegerPath {
    // Runs of the row's next pixels through the level's vector kernel,
    // handed over call by call (look-ahead runs).
    IN_RUNS,
    // The weight does not matter and the inside side gives every code back:
    // each pixel is copied.
    COPY_UNCHANGED,
    // The weight does not matter and the inside side is a table of output
    // codes: three look-ups a pixel.
    LOOK_UP,
    // The whole pixel stage, from the tables where the weight is 0 or 1.
    EVERY_PIXEL,
};

// Rows a band of a float frame holds at least, when the host renders the
// bands on its threads: enough that a call's overhead is lost in its work,
// few enough that two threads finish a 4K frame at about the same time.
constexpr std::int64_t FLOAT_BAND_ROWS = 16;
// Bands a frame is cut into at most; a taller frame gets taller bands.
constexpr std::int64_t MAX_FLOAT_BANDS = 512;

struct FramePlanOptions {
    // Float frames: build the fixed-exponent power tables where they serve
    // (off only to test the kernel's general power on whole frames).
    bool constant_powers = true;
};

class FramePlan {
public:
    // Plans a frame of `format` of width x height pixels at `level` and
    // builds what the plan needs. Never throws: an accelerator whose memory
    // cannot be had is planned away.
    FramePlan(const WindowRenderParams &record, PixelFormat format, std::int64_t width, std::int64_t height,
              SimdLevel level, const FramePlanOptions &options = {});
    // The same for worlds whose pixel (0, 0) is the layer pixel `origin`.
    FramePlan(const WindowRenderParams &record, PixelFormat format, std::int64_t width, std::int64_t height,
              WorldOrigin origin, SimdLevel level, const FramePlanOptions &options = {});
    FramePlan(const FramePlan &) = delete;
    FramePlan &operator=(const FramePlan &) = delete;

    const WindowRenderParams &record() const { return *stage_.record; }
    const PixelStage &stage() const { return stage_; }
    PixelFormat format() const { return format_; }
    SimdLevel level() const { return level_; }

    // Integer frames: the path, and for IN_RUNS the level's run kernel.
    IntegerPath integer_path() const { return integer_path_; }
    PixelRunKernel run_kernel() const { return run_kernel_; }
    // The path when runs cannot be had after all (their memory): the plain
    // path the frame would have taken without them.
    IntegerPath plain_integer_path() const { return plain_integer_path_; }

    // Float frames: the level's row kernel, or null for the pixel loop; and
    // whether the rows are cut into bands for the host's threads (which the
    // host may still decline).
    FloatRowKernel float_kernel() const { return float_kernel_; }
    bool float_bands() const { return float_bands_; }

    // One line naming every choice, for a benchmark to print.
    std::string Describe() const;

private:
    void PlanIntegerFrame(std::int64_t pixels);
    void PlanFloatFrame(std::int64_t height, const FramePlanOptions &options);

    PixelStage stage_;
    PixelFormat format_;
    SimdLevel level_;
    IntegerPath integer_path_ = IntegerPath::EVERY_PIXEL;
    IntegerPath plain_integer_path_ = IntegerPath::EVERY_PIXEL;
    PixelRunKernel run_kernel_ = nullptr;
    FloatRowKernel float_kernel_ = nullptr;
    bool float_bands_ = false;

    std::unique_ptr<GradeTables> tables_;
    std::unique_ptr<ConstantPowers> constant_powers_;
};

}  // namespace zonara
