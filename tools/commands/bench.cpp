// zonara bench: times frames rendered through the module and the simulated
// host exactly as `zonara render` renders them, against a single-threaded
// copy of the same source buffer into the same destination, and prints the
// medians. The look is a named grade adjusted by the values render takes
// (--preset, --set and the CDL files), so any look can be timed. The last
// line reads
//   render R Mpix/s, copy C Mpix/s, ratio X
// with X = R / C, so a result can be compared across machines. Before it,
// the instruction-set level the float frames render at and, for them, the
// share of powers the vector kernel handed back to the host's power.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "render/drivers/iterate_float_rows.h"
#include "render/drivers/render_float_frame.h"
#include "render/frame/simd_level.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/power_fallback_tally.h"
#include "render/plan/frame_plan.h"
#include "tools/base/host_name.h"
#include "tools/base/message_text.h"
#include "tools/commands/commands.h"
#include "tools/image/image.h"
#include "tools/params/number_option.h"
#include "tools/params/param_values.h"
#include "tools/params/value_sources.h"
#include "tools/params/value_text.h"
#include "tools/scene/bench_looks.h"
#include "tools/scene/frame_region.h"

namespace zonara_tool {
namespace {

struct BenchOptions {
    std::string depth = "8";
    std::string host = "ae";
    std::string grade = "default";
    ValueSources values;  // --preset, --cdl-inside, --cdl-outside, --set
    std::string size = "3840x2160";
    std::string content = "chart";
    int frames = 5;
    std::string region;  // WxH+X+Y; empty: none timed
};

bench_looks::FormatChoice ChooseFormat(const BenchOptions &options) {
    if (ParseHostApp(options.host) == testhost::HostApp::kAfterEffects) {
        if (options.depth == "8") return bench_looks::ARGB8;
        if (options.depth == "16") return bench_looks::ARGB16;
        return bench_looks::ARGB32F;
    }
    if (options.depth == "8") return bench_looks::BGRA8;
    if (options.depth == "float") return bench_looks::BGRA32F;
    throw UsageError("Premiere Pro renders this effect at 8 bits or float only, not " + options.depth);
}

// Held to the sizes render takes, with its message: a frame a render would
// refuse to read is no frame to time, and a bigger one only runs the
// machine out of memory.
void ParseSize(const std::string &text, int &width, int &height) {
    const std::size_t x = text.find('x');
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !ParseInteger(std::string_view(text).substr(0, x), w) ||
        !ParseInteger(std::string_view(text).substr(x + 1), h)) {
        throw UsageError("--size " + QuotedForMessage(text) + ": expected WxH, such as 3840x2160");
    }
    if (w < 1 || h < 1) {
        throw UsageError("--size must be at least 1x1");
    }
    CheckImageLimits(w, h, 4, "--size");
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

bench_looks::Grade GradeNamed(const std::string &name) {
    if (name == "full") return bench_looks::Grade::kFull;
    if (name == "soft") return bench_looks::Grade::kSoftGaussian;
    if (name == "soft-exponential") return bench_looks::Grade::kSoftExponential;
    return bench_looks::Grade::kDefault;
}

// The look the frames are timed with: the named grade first, then the values
// as render reads them (a preset, the CDL files, each --set), so that any
// look a user renders can be timed and a named grade adjusted key by key.
void ApplyLook(testhost::Host &host, const BenchOptions &options, int width, int height) {
    bench_looks::ApplyGrade(host.params().array(), GradeNamed(options.grade), width, height);
    const ParamCatalog catalog(host.declared_params());
    for (const ParamValue &value : ReadValues(options.values, catalog)) {
        ApplyParamValue(value, host.params());
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

// The frame's record as the module builds it from the host's parameters,
// by the effect code linked into the tool: what the benchmark reports of a
// frame (its plan, its powers' fallbacks) the module keeps to itself.
zonara::WindowRenderParams RecordOf(testhost::Host &host, testhost::Layer &src) {
    PF_UtilCallbacks utils{};
    utils.ansi.pow = [](double base, double exponent) { return std::pow(base, exponent); };
    PF_InData in_data{};
    in_data.utils = &utils;
    in_data.pixel_aspect_ratio = {1, 1};
    in_data.downsample_x = {1, 1};
    in_data.downsample_y = {1, 1};
    host.params().at(0).u.ld = src.def();
    return zonara::MakeWindowRenderParams(in_data, host.params().array());
}

// The share of the float frame's powers that fell back to the host's power,
// from one more frame rendered along the frame's plan.
double FloatFallbackShare(const zonara::FramePlan &plan, testhost::Layer &src, testhost::Layer &dst) {
    zonara::PowerTally tally;
    zonara::FloatFrameProbe probe;
    probe.tally = &tally;
    zonara::RenderFloatFrame(plan.stage(), plan.float_kernel(),
                             zonara::FloatRowsToVisit(0, dst.height(), &src.def(), &dst.def()), probe);
    return tally.powers == 0 ? 0.0 : static_cast<double>(tally.fallbacks) / static_cast<double>(tally.powers);
}

template <class Work>
double Seconds(Work &&work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void RunBench(ToolContext &context, const BenchOptions &options) {
    const bench_looks::FormatChoice choice = ChooseFormat(options);
    int width = 0, height = 0;
    ParseSize(options.size, width, height);
    testhost::FrameSetup frame;
    frame.layer_width = width;
    frame.layer_height = height;
    auto host = context.StartHost(choice.app, frame);
    ApplyLook(*host, options, width, height);

    testhost::Layer src(choice.format, width, height);
    testhost::Layer dst(choice.format, width, height);
    if (options.content == "noise") bench_looks::FillNoise(src);
    else bench_looks::FillFrame(src);
    const std::size_t bytes = bench_looks::FrameBytes(src);
    const double megapixels = static_cast<double>(width) * static_cast<double>(height) / 1e6;

    std::optional<PixelWindow> region;
    if (!options.region.empty()) {
        region = RegionAtDraft(ParseRegion(options.region, "--region"), width, height, 1);
        RequireRegionCommands(*host);
    }

    std::vector<double> render_rates, copy_rates, region_shares;
    for (int i = 0; i < options.frames; ++i) {
        PF_Err err = PF_Err_NONE;
        const double render_seconds = Seconds([&] { err = host->Render(src, dst); });
        if (err != PF_Err_NONE) {
            throw ToolError(EXIT_EFFECT_FAILED, "the effect's render failed with code " + std::to_string(err));
        }
        const double copy_seconds = Seconds([&] { std::memcpy(dst.def().data, src.def().data, bytes); });
        render_rates.push_back(megapixels / render_seconds);
        copy_rates.push_back(megapixels / copy_seconds);
        std::cout << "frame " << i + 1 << ": render " << std::fixed << std::setprecision(1) << render_seconds * 1e3
                  << " ms, copy " << copy_seconds * 1e3 << " ms";
        if (region) {
            // The part as a host asks for a region of interest, timed right
            // after the whole frame, so both meet the same machine.
            const double region_seconds = Seconds([&] { err = host->RenderRegion(src, dst, RequestOf(*region)); });
            if (err != PF_Err_NONE) {
                throw ToolError(EXIT_EFFECT_FAILED,
                                "the effect's render of the region failed with code " + std::to_string(err));
            }
            region_shares.push_back(region_seconds / render_seconds);
            std::cout << ", region " << region_seconds * 1e3 << " ms";
        }
        std::cout << "\n";
    }
    const zonara::WindowRenderParams record = RecordOf(*host, src);
    const zonara::FramePlan plan(record, choice.format, width, height, zonara::FrameSimdLevel());
    std::cout << "plan: " << plan.Describe() << "\n";
    std::cout << "level " << zonara::SimdLevelName(zonara::FrameSimdLevel());
    if (!zonara::TraitsOf(choice.format).integer() && zonara::FrameSimdLevel() != zonara::SimdLevel::SCALAR) {
        std::cout << ", power fallbacks " << std::setprecision(6) << 100.0 * FloatFallbackShare(plan, src, dst) << "%";
    } else if (zonara::FrameSimdLevel() != zonara::SimdLevel::SCALAR) {
        // Integer frames take their powers from tables, except in the
        // feather band, where the kernel's runs do not count them.
        std::cout << ", power fallbacks not counted (integer frames: tables, the band through the kernel)";
    } else {
        std::cout << ", power fallbacks n/a (every power through the host's)";
    }
    std::cout << "\n";
    if (region) {
        const double pixel_share = static_cast<double>(region->width) * static_cast<double>(region->height) /
                                   (static_cast<double>(width) * static_cast<double>(height));
        std::cout << std::fixed << std::setprecision(3) << "region " << options.region << ": " << Median(region_shares)
                  << " of the whole frame's time for " << pixel_share << " of its pixels\n";
    }
    const double render = Median(render_rates);
    const double copy = Median(copy_rates);
    std::cout << std::fixed << std::setprecision(1) << "render " << render << " Mpix/s, copy " << copy
              << " Mpix/s, ratio " << std::setprecision(3) << render / copy << "\n";
}

}  // namespace

void AddBenchCommand(CLI::App &app, ToolContext &context) {
    auto options = std::make_shared<BenchOptions>();
    CLI::App *bench = app.add_subcommand("bench", "Time frames through the effect against a plain buffer copy");
    bench->add_option("--depth", options->depth, "Channel depth: 8, 16 (After Effects only) or float")
        ->check(CLI::IsMember({"8", "16", "float"}));
    bench->add_option("--host", options->host, "ae (compositing) or premiere (editing); default ae")
        ->check(CLI::IsMember(HostNames()));
    bench
        ->add_option("--grade", options->grade,
                     "default parameters; full: every control in a rotated ellipse; soft: both sides graded in a "
                     "wide Gaussian feather (soft-exponential: exponential falloff). Applied before --preset")
        ->check(CLI::IsMember({"default", "full", "soft", "soft-exponential"}));
    AddValueOptions(*bench, options->values);
    bench->add_option("--size", options->size, "Frame size WxH (default 3840x2160)");
    bench
        ->add_option("--content", options->content,
                     "chart: a smooth ramp with fine noise; noise: every pixel a random colour")
        ->check(CLI::IsMember({"chart", "noise"}));
    bench->add_option("--region", options->region,
                      "WxH+X+Y: also time this part of each frame, asked for as a host asks for a region of "
                      "interest, against the whole frame");
    bench->add_option("--frames", options->frames, "Frames to time (default 5)")
        ->transform(WholeNumber("1 to 100000"))
        ->check(CLI::Range(1, 100000));
    bench->callback([&context, options] { context.Run([&context, options] { RunBench(context, *options); }); });
}

}  // namespace zonara_tool
