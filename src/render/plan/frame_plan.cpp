#include "render/plan/frame_plan.h"

#include <new>
#include <sstream>

#include "render/formula/pixel_codecs.h"

namespace zonara {
namespace {

// The plan sizes a frame's tables by its format's full scale, and the
// codecs decode and encode the same codes: the two must agree.
static_assert(TraitsOf(PixelFormat::ARGB8).max_code == Codec8::MAX_CODE);
static_assert(TraitsOf(PixelFormat::BGRA8).max_code == Codec8::MAX_CODE);
static_assert(TraitsOf(PixelFormat::ARGB16).max_code == Codec16::MAX_CODE);

const char *PathName(IntegerPath path) {
    switch (path) {
    case IntegerPath::IN_RUNS:
        return "look-ahead runs through the kernel";
    case IntegerPath::COPY_UNCHANGED:
        return "each pixel copied";
    case IntegerPath::LOOK_UP:
        return "three look-ups a pixel";
    case IntegerPath::EVERY_PIXEL:
        return "the pixel stage pixel by pixel";
    }
    return "?";
}

const char *SideTableName(SideTableKind kind, bool unchanged) {
    if (kind == SideTableKind::GRADED_VALUES) return "graded values";
    return unchanged ? "codes unchanged" : "output codes";
}

bool HasGradedValuesSide(const GradeTables &tables) {
    return tables.kind[SIDE_INSIDE] == SideTableKind::GRADED_VALUES ||
           tables.kind[SIDE_OUTSIDE] == SideTableKind::GRADED_VALUES;
}

}  // namespace

FramePlan::FramePlan(const WindowRenderParams &record, PixelFormat format, std::int64_t width, std::int64_t height,
                     SimdLevel level, const FramePlanOptions &options)
    : FramePlan(record, format, width, height, WorldOrigin{}, level, options) {}

FramePlan::FramePlan(const WindowRenderParams &record, PixelFormat format, std::int64_t width, std::int64_t height,
                     WorldOrigin origin, SimdLevel level, const FramePlanOptions &options)
    : format_(format), level_(level) {
    stage_.record = &record;
    stage_.origin = origin;
    stage_.float_order = TraitsOf(format).order;
    if (TraitsOf(format).walk == FrameWalk::FLOAT_ROWS) {
        PlanFloatFrame(height, options);
    } else {
        PlanIntegerFrame(width > 0 && height > 0 ? width * height : 0);
    }
}

void FramePlan::PlanIntegerFrame(std::int64_t pixels) {
    const WindowRenderParams &record = *stage_.record;
    const int code_count = TraitsOf(format_).max_code + 1;
    const auto pixel_count = static_cast<std::size_t>(pixels);
    if (TablesPayOff(pixel_count, code_count)) {
        // Tables are an accelerator only: without their memory the frame
        // renders the same, more slowly.
        try {
            tables_ = std::make_unique<GradeTables>();
            if (TraitsOf(format_).depth == SampleDepth::INT16) {
                BuildGradeTables16(record, *tables_);
            } else {
                BuildGradeTables8(record, *tables_);
            }
        } catch (const std::bad_alloc &) {
            tables_.reset();
        }
    }
    const GradeTables *tables = tables_.get();
    if (tables != nullptr && !record.weight_matters && tables->kind[SIDE_INSIDE] == SideTableKind::OUTPUT_CODES) {
        plain_integer_path_ = tables->codes_unchanged[SIDE_INSIDE] ? IntegerPath::COPY_UNCHANGED : IntegerPath::LOOK_UP;
    }
    // Runs pay where the weight matters or saturation mixes the channels;
    // a frame the tables answer code by code is faster per pixel.
    if (tables != nullptr && (record.weight_matters || HasGradedValuesSide(*tables))) {
        run_kernel_ = LaneKernelsAt(level_).pixel_run;
    }
    integer_path_ = run_kernel_ != nullptr ? IntegerPath::IN_RUNS : plain_integer_path_;
    if (tables_ != nullptr && run_kernel_ == nullptr) {
        try {
            AttachSaturationMemo(pixel_count, *tables_);
        } catch (const std::bad_alloc &) {
            // The memo only saves work; without it the pixels are computed.
        }
    }
    stage_.tables = tables;
}

void FramePlan::PlanFloatFrame(std::int64_t height, const FramePlanOptions &options) {
    const WindowRenderParams &record = *stage_.record;
    // A frame that grades nothing (both sides at identity, Mix 0, an unknown
    // colour model) only copies and clamps. There the kernel's shuffles beat
    // the pixel loop at AVX-512 only, and trail it at AVX2 and baseline;
    // where powers and saturation run,
    // which is exactly where the weight matters, the kernel pays at AVX2 and
    // AVX-512.
    const bool kernel_pays = record.weight_matters || level_ == SimdLevel::AVX512;
    float_kernel_ = kernel_pays ? LaneKernelsAt(level_).float_rows : nullptr;
    if (options.constant_powers && float_kernel_ != nullptr && record.weight_matters) {
        try {
            constant_powers_ = std::make_unique<ConstantPowers>();
            BuildConstantPowers(record, *constant_powers_);
        } catch (const std::bad_alloc &) {
            constant_powers_.reset();
        }
    }
    stage_.constant_powers = constant_powers_.get();
    float_bands_ = height >= 2 * FLOAT_BAND_ROWS;
}

std::string FramePlan::Describe() const {
    std::ostringstream out;
    out << TraitsOf(format_).name << " at " << SimdLevelName(level_);
    if (TraitsOf(format_).walk == FrameWalk::FLOAT_ROWS) {
        out << "; " << (float_kernel_ != nullptr ? "rows through the kernel" : "the pixel loop");
        if (constant_powers_ != nullptr) {
            int served = 0;
            for (int k = 0; k < CHANNEL_COUNT; ++k) {
                served += constant_powers_->usable[k][SIDE_INSIDE] + constant_powers_->usable[k][SIDE_OUTSIDE];
            }
            out << ", fixed-exponent power tables for " << served << " of 6 channel sides";
        } else {
            out << ", no fixed-exponent power tables";
        }
        out << "; " << (float_bands_ ? "bands of rows on the host's threads" : "one band");
        return out.str();
    }
    if (tables_ != nullptr) {
        out << "; tables: inside " << SideTableName(tables_->kind[SIDE_INSIDE], tables_->codes_unchanged[SIDE_INSIDE])
            << ", outside " << SideTableName(tables_->kind[SIDE_OUTSIDE], tables_->codes_unchanged[SIDE_OUTSIDE]);
        if (tables_->memo.allocated()) out << ", memo of saturated pixels";
    } else {
        out << "; no tables";
    }
    out << "; " << PathName(integer_path_);
    return out.str();
}

}  // namespace zonara
