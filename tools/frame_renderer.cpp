#include "tools/frame_renderer.h"

#include <cstring>

#include <OpenImageIO/imagebufalgo.h>

#include "testhost/layer.h"
#include "tools/image_layout.h"
#include "tools/tool_error.h"

namespace zonara_tool {
namespace {

std::string DepthName(HostDepth depth) {
    switch (depth) {
    case HostDepth::k8:
        return "8 bits";
    case HostDepth::k16:
        return "16 bits";
    case HostDepth::kFloat:
        break;
    }
    return "float";
}

}  // namespace

Image ReduceForDraft(const Image &source, int downsample) {
    if (downsample == 1) {
        return source;
    }
    const OIIO::ImageSpec &layout = LayoutOf(source.pixels);
    Image reduced = source;
    OIIO::ImageSpec small(ReducedSize(layout.width, downsample), ReducedSize(layout.height, downsample),
                          layout.nchannels, TypeOf(source.kind));
    small.channelnames = layout.channelnames;
    small.alpha_channel = layout.alpha_channel;
    reduced.pixels.reset(small, OIIO::InitializePixels::Yes);
    if (!OIIO::ImageBufAlgo::resize(reduced.pixels, source.pixels)) {
        throw ToolError(EXIT_USAGE, "cannot reduce the image: " + reduced.pixels.geterror());
    }
    return reduced;
}

Image PlaceSideBySide(const Image &left, const Image &right) {
    const OIIO::ImageSpec &layout = LayoutOf(left.pixels);
    Image both = left;
    OIIO::ImageSpec wide(layout.width * 2, layout.height, layout.nchannels, TypeOf(left.kind));
    wide.channelnames = layout.channelnames;
    wide.alpha_channel = layout.alpha_channel;
    both.pixels.reset(wide, OIIO::InitializePixels::Yes);
    OIIO::ImageBufAlgo::paste(both.pixels, 0, 0, 0, 0, left.pixels);
    OIIO::ImageBufAlgo::paste(both.pixels, layout.width, 0, 0, 0, right.pixels);
    return both;
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
        // Only the editing host renders float and only the compositing host
        // 16 bits; 8 bits stays with the host the file would have gone to.
        format.depth = *request.depth;
        const bool editing = format.depth == HostDepth::kFloat ||
                             (format.depth == HostDepth::k8 && source_kind == SampleKind::kFloat);
        format.app = editing ? testhost::HostApp::kPremiere : testhost::HostApp::kAfterEffects;
    } else {
        format.app = request.app.value_or(source_kind == SampleKind::kFloat ? testhost::HostApp::kPremiere
                                                                            : testhost::HostApp::kAfterEffects);
        // Each host's deepest format where the file's own is not offered.
        switch (source_kind) {
        case SampleKind::k8:
            format.depth = HostDepth::k8;
            break;
        case SampleKind::k16:
            format.depth = format.app == testhost::HostApp::kPremiere ? HostDepth::kFloat : HostDepth::k16;
            break;
        case SampleKind::kFloat:
            format.depth = format.app == testhost::HostApp::kPremiere ? HostDepth::kFloat : HostDepth::k16;
            break;
        }
    }
    if (format.app == testhost::HostApp::kAfterEffects && format.depth == HostDepth::kFloat) {
        throw UsageError("the compositing host (--host ae) renders this effect in 8 or 16 bits, not float");
    }
    if (format.app == testhost::HostApp::kPremiere && format.depth == HostDepth::k16) {
        throw UsageError("the editing host (--host premiere) renders this effect in 8 bits or float, not " +
                         DepthName(format.depth));
    }
    return format;
}

int ReducedSize(int full, int downsample) { return (full + downsample - 1) / downsample; }

FrameRenderer::FrameRenderer(std::unique_ptr<testhost::Host> host, RenderSettings settings)
    : host_(std::move(host)), settings_(std::move(settings)) {}

Image FrameRenderer::Render(const Image &source) {
    const OIIO::ImageSpec &full = LayoutOf(source.pixels);
    const int downsample = settings_.downsample;
    Image reduced = ReduceForDraft(source, downsample);
    const int width = LayoutOf(reduced.pixels).width;
    const int height = LayoutOf(reduced.pixels).height;

    testhost::FrameSetup &frame = host_->frame();
    frame.layer_width = full.width;
    frame.layer_height = full.height;
    frame.pixel_aspect_ratio = settings_.pixel_aspect;
    frame.downsample_x = {1, static_cast<A_u_long>(downsample)};
    frame.downsample_y = {1, static_cast<A_u_long>(downsample)};

    // Values as a user set them on the full-resolution layer; the host then
    // passes points in the grid it renders.
    testhost::ParamStore &params = host_->params();
    params.Reset(host_->declared_params(), full.width, full.height);
    for (const ParamValue &value : settings_.values) {
        ApplyParamValue(value, params);
    }
    ScalePoints(params, 1.0 / downsample, 1.0 / downsample);

    testhost::LayerOptions options;
    options.pixel_aspect_ratio = settings_.pixel_aspect;
    const testhost::PixelFormat layer_format = LayerFormatFor(settings_.format);
    testhost::Layer input(layer_format, width, height, options);
    testhost::Layer output(layer_format, width, height, options);
    FillLayer(reduced, settings_.format.depth, input);

    const PF_Err err = host_->Render(input, output);
    if (err != PF_Err_NONE) {
        throw ToolError(EXIT_EFFECT_FAILED, EffectFailure(err, host_->last_out_data()));
    }
    if (!output.GuardsIntact() || !input.GuardsIntact()) {
        throw ToolError(EXIT_EFFECT_FAILED, "the effect wrote outside its output buffer");
    }

    Image result = reduced;
    StoreLayer(output, settings_.format.depth, result);
    return settings_.side_by_side ? PlaceSideBySide(reduced, result) : result;
}

}  // namespace zonara_tool
