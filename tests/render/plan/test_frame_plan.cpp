// What a frame's plan chooses for a format, a size and the settings: the
// path of the integer pixels, the accelerators built and the float rows'
// kernel and bands. Every choice renders the same bits, so a wrong one shows
// only as time lost (or memory spent) unless the plan itself is checked.
#include <gtest/gtest.h>

#include <string>

#include "params/param_index.h"
#include "render/plan/frame_plan.h"
#include "support/render_test_support.h"

namespace {

using namespace render_test;

void Identity(ParamSet &) {}
void InsideGain(ParamSet &params) { params.InsideMaster(0, 1, 1.3); }
void InsideGainAtMixZero(ParamSet &params) { params.InsideMaster(0, 1, 1.3).Slider(PARAM_MIX, 0); }
void InsideSaturation(ParamSet &params) { params.InsideMaster(0, 1, 1, 1.4); }
void BothSidesGamma(ParamSet &params) { params.InsideMaster(0, 1.4, 1).OutsideMaster(0, 0.8, 1); }

struct PlanCase {
    const char *name;
    PixelFormat format;
    int width, height;
    void (*settings)(ParamSet &);
    SimdLevel level;
    bool constant_powers;  // FramePlanOptions
    const char *described;
};

// 8-bit tables pay from 8 pixels a code (2048 pixels), 16-bit ones from
// 8 x 32769, the memo from 65536 pixels; float frames are cut into bands
// from 32 rows.
const PlanCase CASES[] = {
    // Integer frames.
    {"8-bit below the tables' size", PixelFormat::ARGB8, 63, 32, InsideGain, SimdLevel::AVX2, true,
     "ARGB 8-bit at avx2; no tables; the pixel stage pixel by pixel"},
    {"8-bit graded: runs through the kernel", PixelFormat::ARGB8, 64, 32, InsideGain, SimdLevel::AVX2, true,
     "ARGB 8-bit at avx2; tables: inside output codes, outside codes unchanged; look-ahead runs through the "
     "kernel"},
    {"runs at the baseline too", PixelFormat::BGRA8, 64, 32, InsideGain, SimdLevel::BASELINE, true,
     "BGRA 8-bit at baseline; tables: inside output codes, outside codes unchanged; look-ahead runs through the "
     "kernel"},
    {"no kernel at scalar: every pixel", PixelFormat::ARGB8, 64, 32, InsideSaturation, SimdLevel::SCALAR, true,
     "ARGB 8-bit at scalar; tables: inside graded values, outside codes unchanged; the pixel stage pixel by pixel"},
    {"saturation without runs: the memo where its clearing pays", PixelFormat::ARGB8, 256, 256, InsideSaturation,
     SimdLevel::SCALAR, true,
     "ARGB 8-bit at scalar; tables: inside graded values, outside codes unchanged, memo of saturated pixels; the "
     "pixel stage pixel by pixel"},
    {"nothing graded: each pixel copied", PixelFormat::BGRA8, 64, 32, Identity, SimdLevel::AVX2, true,
     "BGRA 8-bit at avx2; tables: inside codes unchanged, outside codes unchanged; each pixel copied"},
    {"Mix 0 leaves the source", PixelFormat::ARGB8, 64, 32, InsideGainAtMixZero, SimdLevel::AVX2, true,
     "ARGB 8-bit at avx2; tables: inside codes unchanged, outside codes unchanged; each pixel copied"},
    {"16-bit below the tables' size", PixelFormat::ARGB16, 512, 512, InsideGain, SimdLevel::AVX2, true,
     "ARGB 16-bit at avx2; no tables; the pixel stage pixel by pixel"},
    {"16-bit graded: runs through the kernel", PixelFormat::ARGB16, 513, 512, InsideGain, SimdLevel::AVX2, true,
     "ARGB 16-bit at avx2; tables: inside output codes, outside codes unchanged; look-ahead runs through the "
     "kernel"},
    // Float frames.
    {"float graded: the kernel with power tables", PixelFormat::BGRA32F, 8, 32, BothSidesGamma, SimdLevel::AVX2, true,
     "BGRA float at avx2; rows through the kernel, fixed-exponent power tables for 6 of 6 channel sides; bands of "
     "rows on the host's threads"},
    {"float below two bands", PixelFormat::BGRA32F, 8, 31, BothSidesGamma, SimdLevel::AVX512, true,
     "BGRA float at avx512; rows through the kernel, fixed-exponent power tables for 6 of 6 channel sides; one "
     "band"},
    {"float without power tables", PixelFormat::BGRA32F, 8, 32, BothSidesGamma, SimdLevel::BASELINE, false,
     "BGRA float at baseline; rows through the kernel, no fixed-exponent power tables; bands of rows on the "
     "host's threads"},
    {"float at scalar: the pixel loop", PixelFormat::BGRA32F, 8, 32, BothSidesGamma, SimdLevel::SCALAR, true,
     "BGRA float at scalar; the pixel loop, no fixed-exponent power tables; bands of rows on the host's threads"},
    {"float copy below AVX-512: the pixel loop", PixelFormat::BGRA32F, 8, 32, Identity, SimdLevel::AVX2, true,
     "BGRA float at avx2; the pixel loop, no fixed-exponent power tables; bands of rows on the host's threads"},
    {"float copy at AVX-512: the kernel", PixelFormat::BGRA32F, 8, 32, Identity, SimdLevel::AVX512, true,
     "BGRA float at avx512; rows through the kernel, no fixed-exponent power tables; bands of rows on the host's "
     "threads"},
};

TEST(FramePlan, ChoosesByFormatSizeSettingsAndLevel) {
    InData in;
    for (const PlanCase &c : CASES) {
        SCOPED_TRACE(c.name);
        ParamSet params;
        c.settings(params);
        const WindowRenderParams record = MakeWindowRenderParams(in.in_data, params.array());
        FramePlanOptions options;
        options.constant_powers = c.constant_powers;
        const FramePlan plan(record, c.format, c.width, c.height, c.level, options);
        EXPECT_EQ(plan.Describe(), c.described);
        // The kernels planned are the level's own, and only the frame's kind.
        const LaneKernels kernels = LaneKernelsAt(c.level);
        if (TraitsOf(c.format).integer()) {
            EXPECT_EQ(plan.float_kernel(), nullptr);
            EXPECT_EQ(plan.run_kernel(), plan.integer_path() == IntegerPath::IN_RUNS ? kernels.pixel_run : nullptr);
            EXPECT_EQ(plan.stage().tables != nullptr, std::string(c.described).find("no tables") == std::string::npos);
        } else {
            EXPECT_EQ(plan.run_kernel(), nullptr);
            EXPECT_TRUE(plan.float_kernel() == nullptr || plan.float_kernel() == kernels.float_rows);
            EXPECT_EQ(plan.stage().tables, nullptr);
        }
    }
}

}  // namespace
