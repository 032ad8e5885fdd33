#include "tools/scene/frame_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "testhost/core/layer.h"
#include "tools/base/tool_error.h"
#include "tools/image/image_geometry.h"
#include "tools/image/straight_colour.h"
#include "tools/scene/frame_region.h"

namespace zonara_tool {
namespace {

std::string DepthName(SampleDepth depth) {
    switch (depth) {
    case SampleDepth::INT8:
        return "8 bits";
    case SampleDepth::INT16:
        return "16 bits";
    case SampleDepth::FLOAT32:
        break;
    }
    return "float";
}

}  // namespace

namespace {

// Rounded down and up: a window's edges scale outwards, so that a data
// window inside its display window stays inside it.
int FloorDivided(int value, int divisor) { return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor); }
int CeilDivided(int value, int divisor) { return -FloorDivided(-value, divisor); }

}  // namespace

Image ReduceForDraft(const Image &source, int downsample) {
    if (downsample == 1) {
        return source;
    }
    Image reduced = Resized(source, ReducedSize(source.width, downsample), ReducedSize(source.height, downsample));
    // The file's frame, reduced alike: the pixels keep their place in it.
    reduced.x = FloorDivided(source.x, downsample);
    reduced.y = FloorDivided(source.y, downsample);
    if (source.display_window) {
        const PixelWindow &display = *source.display_window;
        const int left = FloorDivided(display.x, downsample);
        const int top = FloorDivided(display.y, downsample);
        reduced.display_window = PixelWindow{left, top, CeilDivided(display.x + display.width, downsample) - left,
                                             CeilDivided(display.y + display.height, downsample) - top};
    }
    return reduced;
}

namespace {

std::string EffectFailure(PF_Err err, const PF_OutData &out_data) {
    std::string message = "the effect failed to render (error " + std::to_string(err) + ")";
    const std::size_t length = strnlen(out_data.return_msg, sizeof out_data.return_msg);
    if (length != 0) {
        message += ": " + std::string(out_data.return_msg, length);
    }
    return message;
}

}  // namespace

HostFormat ChooseHostFormat(const FormatRequest &request, SampleKind source_kind) {
    HostFormat format;
    if (request.app && request.depth) {
        format = {*request.app, *request.depth};
    } else if (request.depth) {
        // Float goes to the editing host, where float files go, unless the
        // compositing host is named; only the compositing host renders 16
        // bits; 8 bits stays with the host the file would have gone to.
        format.depth = *request.depth;
        const bool editing = format.depth == SampleDepth::FLOAT32 ||
                             (format.depth == SampleDepth::INT8 && source_kind == SampleKind::FLOAT32);
        format.app = editing ? testhost::HostApp::kPremiere : testhost::HostApp::kAfterEffects;
    } else {
        format.app = request.app.value_or(source_kind == SampleKind::FLOAT32 ? testhost::HostApp::kPremiere
                                                                             : testhost::HostApp::kAfterEffects);
        // Each host's deepest format where the file's own is not offered.
        switch (source_kind) {
        case SampleKind::INT8:
            format.depth = SampleDepth::INT8;
            break;
        case SampleKind::INT16:
            format.depth = format.app == testhost::HostApp::kPremiere ? SampleDepth::FLOAT32 : SampleDepth::INT16;
            break;
        case SampleKind::FLOAT32:
            format.depth = SampleDepth::FLOAT32;
            break;
        }
    }
    if (format.app == testhost::HostApp::kPremiere && format.depth == SampleDepth::INT16) {
        throw UsageError("the editing host (--host premiere) renders this effect in 8 bits or float, not " +
                         DepthName(format.depth));
    }
    return format;
}

PF_RationalScale PixelAspectRatioOf(float pixel_aspect) {
    // Nearest ratio with a small denominator by continued fractions: the
    // files hold a float (0.9, 1.333333), the hosts a ratio (9/10, 4/3).
    constexpr long MAX_DENOMINATOR = 1000;
    if (!(pixel_aspect > 0.0f) || pixel_aspect > 100000.0f) {
        return {1, 1};
    }
    const double target = pixel_aspect;
    long num_before = 1, num = static_cast<long>(std::floor(target));
    long den_before = 0, den = 1;
    double rest = target - std::floor(target);
    while (rest > 1e-9 && std::abs(static_cast<double>(num) / den - target) > 1e-6 * target) {
        const double inverse = 1.0 / rest;
        const long term = static_cast<long>(std::floor(inverse));
        if (term * den + den_before > MAX_DENOMINATOR) {
            break;
        }
        const long next_num = term * num + num_before;
        const long next_den = term * den + den_before;
        num_before = num;
        den_before = den;
        num = next_num;
        den = next_den;
        rest = inverse - static_cast<double>(term);
    }
    if (num < 1) {
        return {1, static_cast<A_u_long>(std::lround(1.0 / target))};
    }
    return {static_cast<A_long>(num), static_cast<A_u_long>(den)};
}

int ReducedSize(int full, int downsample) { return (full + downsample - 1) / downsample; }

std::string RangeLostBy(const Image &image, const HostFormat &format) {
    if (image.kind != SampleKind::FLOAT32 || format.depth == SampleDepth::FLOAT32) {
        return {};
    }
    float lowest = 0.0f;
    float highest = 1.0f;
    bool not_a_number = false;
    // The host is handed straight colour: that is what must fit.
    ForEachStraightColour(image, [&](float value) {
        not_a_number |= std::isnan(value);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    });
    if (lowest >= 0.0f && highest <= 1.0f && !not_a_number) {
        return {};
    }
    std::ostringstream range;
    range << "its colour values reach from " << lowest << " to " << highest << (not_a_number ? " and not-a-number" : "")
          << ", which " << (format.app == testhost::HostApp::kAfterEffects ? "the compositing" : "the editing")
          << " host's " << DepthName(format.depth) << " would clip to 0..1; render it in float (--depth float)";
    return range.str();
}

FrameRenderer::FrameRenderer(std::unique_ptr<testhost::Host> host, RenderSettings settings, HostStarter start_host)
    : host_(std::move(host)),
      start_host_(std::move(start_host)),
      settings_(std::move(settings)),
      clamp_count_(ParamCatalog(host_->declared_params())) {}

HostFormat FrameRenderer::FormatFor(SampleKind kind) const {
    if (!settings_.depth_per_frame) {
        return settings_.format;
    }
    if (settings_.host_per_frame && kind == SampleKind::FLOAT32 && start_host_) {
        return ChooseHostFormat(FormatRequest{}, kind);
    }
    return ChooseHostFormat(FormatRequest{settings_.format.app, std::nullopt}, kind);
}

testhost::Host &FrameRenderer::HostFor(testhost::HostApp app) {
    if (app == settings_.format.app) {
        return *host_;
    }
    if (!other_host_) {
        other_host_ = start_host_(app);
    }
    return *other_host_;
}

Image FrameRenderer::Render(Image source, const std::string &source_name) {
    const int downsample = settings_.downsample;
    Image reduced = downsample == 1 ? std::move(source) : ReduceForDraft(source, downsample);
    const int width = reduced.width;
    const int height = reduced.height;

    const int full_width = downsample == 1 ? width : source.width;
    const int full_height = downsample == 1 ? height : source.height;
    const PF_RationalScale pixel_aspect = settings_.pixel_aspect.value_or(PixelAspectRatioOf(reduced.pixel_aspect));
    const HostFormat format = FormatFor(reduced.kind);
    if (std::string lost = RangeLostBy(reduced, format); !lost.empty()) {
        if (!source_name.empty()) {
            lost = source_name + ": " + lost;
        }
        // A depth the user asked for is theirs to choose; one the renderer
        // chose must never clip.
        if (settings_.depth_per_frame) throw UsageError(lost);
        if (!range_loss_warned_) std::cerr << "zonara: warning: " << lost << "\n";
        range_loss_warned_ = true;
    }
    testhost::Host &host = HostFor(format.app);
    testhost::FrameSetup &frame = host.frame();
    frame.layer_width = full_width;
    frame.layer_height = full_height;
    frame.pixel_aspect_ratio = pixel_aspect;
    frame.downsample_x = {1, static_cast<A_u_long>(downsample)};
    frame.downsample_y = {1, static_cast<A_u_long>(downsample)};

    // Values as a user set them on the full-resolution layer; the host then
    // passes points in the grid it renders.
    testhost::ParamStore &params = host.params();
    params.Reset(host.declared_params(), full_width, full_height);
    for (const ParamValue &value : settings_.values) {
        ApplyParamValue(value, params);
    }
    ScalePoints(params, 1.0 / downsample, 1.0 / downsample);

    Layers &layers = LayersFor(width, height, LayerFormatFor(format), pixel_aspect);
    FillLayer(reduced, format.depth, layers.input);
    // A picture without alpha is opaque, which a host knows from its source.
    layers.input.SetSolid(AlphaChannelOf(reduced) < 0);

    std::optional<PixelWindow> part;
    if (settings_.region) {
        part = RegionAtDraft(*settings_.region, full_width, full_height, downsample);
        RequireRegionCommands(host);
    }
    const PF_Err err = part ? host.RenderRegion(layers.input, layers.output, RequestOf(*part))
                            : host.Render(layers.input, layers.output);
    if (err != PF_Err_NONE) {
        throw ToolError(EXIT_EFFECT_FAILED, EffectFailure(err, host.last_out_data()));
    }
    if (!layers.output.GuardsIntact() || !layers.input.GuardsIntact()) {
        layers_.reset();  // the next frame gets layers with whole guards
        throw ToolError(EXIT_EFFECT_FAILED, "the effect wrote outside its output buffer");
    }
    if (format.depth == SampleDepth::FLOAT32) {
        clamp_count_.Add(reduced, params);  // in any other depth the samples lie within 0..1 already
    }

    if (!settings_.side_by_side) {
        // The source's own block takes the result: its alpha and extra
        // channels are what the output keeps anyway.
        StoreLayer(layers.output, format.depth, reduced);
        // Outside the part the output holds what it held before.
        return part ? Cropped(reduced, *part) : reduced;
    }
    if (part) {
        throw std::logic_error("FrameRenderer: a region shown side by side");
    }
    Image result = reduced;
    StoreLayer(layers.output, format.depth, result);
    return SideBySide(reduced, result);
}

FrameRenderer::Layers &FrameRenderer::LayersFor(int width, int height, testhost::PixelFormat format,
                                                PF_RationalScale pixel_aspect) {
    // A sequence's frames mostly share one size, format and pixel aspect:
    // its layers are allocated once, as a host keeps its buffers, instead of
    // fresh pages for every frame.
    if (!layers_ || layers_->input.width() != width || layers_->input.height() != height ||
        layers_->input.format() != format || layers_pixel_aspect_.num != pixel_aspect.num ||
        layers_pixel_aspect_.den != pixel_aspect.den) {
        layers_.reset();
        layers_pixel_aspect_ = pixel_aspect;
        testhost::LayerOptions options;
        options.pixel_aspect_ratio = pixel_aspect;
        layers_ = std::make_unique<Layers>(
            Layers{testhost::Layer(format, width, height, options), testhost::Layer(format, width, height, options)});
    }
    return *layers_;
}

}  // namespace zonara_tool
