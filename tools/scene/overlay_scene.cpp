#include "tools/scene/overlay_scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "tools/image/test_chart.h"
#include "tools/scene/frame_renderer.h"
#include "tools/scene/view_options.h"

namespace zonara_tool {
namespace {

constexpr std::array<const char *, zonara::HANDLE_COUNT> HANDLE_NAMES{
    "corner_top_left", "corner_top_right", "corner_bottom_left", "corner_bottom_right", "angle",
    "feather_left",    "feather_right",    "feather_top",        "feather_bottom",      "mix"};

// The host's pasteboard around the layer.
constexpr testhost::Rgba PASTEBOARD{0.16f, 0.16f, 0.16f, 1.0f};

// Straight 8-bit RGBA of the image's colour and alpha channels; grey images
// feed red, green and blue alike, images without alpha are opaque.
testhost::RgbaImage ToRgba(const Image &image) {
    const int channels = image.channels;
    const std::vector<std::uint8_t> samples = SamplesAs8Bit(image);
    testhost::RgbaImage rgba;
    rgba.width = image.width;
    rgba.height = image.height;
    rgba.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    const int alpha = image.alpha_channel;
    const bool colour = channels >= 3 && (alpha < 0 || alpha >= 3);
    const bool premultiplied = HoldsPremultipliedColour(image);
    for (std::size_t p = 0; p < static_cast<std::size_t>(image.width) * image.height; ++p) {
        const std::uint8_t *in = &samples[p * channels];
        std::uint8_t *out = &rgba.pixels[p * 4];
        out[0] = in[0];
        out[1] = colour ? in[1] : in[0];
        out[2] = colour ? in[2] : in[0];
        out[3] = alpha >= 0 && alpha < channels ? in[alpha] : 255;
        // Premultiplied colour (an OpenEXR's) is made straight, as the
        // canvas composites it; clear pixels show nothing either way.
        if (premultiplied && out[3] != 0 && out[3] != 255) {
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<std::uint8_t>(std::min(255, (out[c] * 255 + out[3] / 2) / out[3]));
            }
        }
    }
    return rgba;
}

// The size of the view's picture: the composition (as large as the layer)
// or the layer, at the view's zoom.
void ViewSize(const OverlayScene &scene, int *width, int *height) {
    const double zoom = scene.events->view().zoom;
    *width = static_cast<int>(std::ceil(scene.layer_width * zoom));
    *height = static_cast<int>(std::ceil(scene.layer_height * zoom));
}

}  // namespace

std::string HandleName(A_intptr_t handle) {
    if (handle < 1 || handle > zonara::HANDLE_COUNT) {
        return {};
    }
    return HANDLE_NAMES[static_cast<std::size_t>(handle - 1)];
}

OverlayScene OpenOverlayScene(ToolContext &context, const ViewOptions &options, bool need_pixels) {
    OverlayScene scene;
    scene.app = ParseHostApp(options.host);
    const testhost::View view = ParseView(options);
    if (!options.input.empty()) {
        Image image = ReadImage(options.input);
        scene.layer_width = image.width;
        scene.layer_height = image.height;
        if (need_pixels) {
            scene.source = std::move(image);
        }
    } else {
        scene.layer_width = TEST_CHART_WIDTH;
        scene.layer_height = TEST_CHART_HEIGHT;
        if (need_pixels) {
            scene.source = MakeTestChart();
        }
    }

    testhost::FrameSetup frame;
    frame.layer_width = scene.layer_width;
    frame.layer_height = scene.layer_height;
    scene.host = context.StartHost(scene.app, frame);
    const ParamCatalog catalog(scene.host->declared_params());
    scene.values = ReadValues(options.values, catalog);
    for (const ParamValue &value : scene.values) {
        ApplyParamValue(value, scene.host->params());
    }
    scene.events = std::make_unique<testhost::OverlayEvents>(*scene.host, view);
    return scene;
}

Image PictureOfView(ToolContext &context, OverlayScene &scene, const std::vector<ParamValue> &extra_values,
                    testhost::DrawOutcome *drawn) {
    if (!scene.source) {
        throw std::logic_error("PictureOfView needs the layer's pixels");
    }
    RequireDrawableZoom(scene.events->view().zoom, scene.layer_width, scene.layer_height);
    int width = 0;
    int height = 0;
    ViewSize(scene, &width, &height);
    std::optional<testhost::Canvas> canvas;
    try {
        canvas.emplace(width, height, PASTEBOARD);
    } catch (const std::invalid_argument &error) {
        throw UsageError(std::string("the view is too large to draw: ") + error.what());
    }

    RenderSettings settings;
    settings.format = ChooseHostFormat(FormatRequest{scene.app, std::nullopt}, scene.source->kind);
    settings.values = scene.values;
    settings.values.insert(settings.values.end(), extra_values.begin(), extra_values.end());
    FrameRenderer renderer(context.StartHost(settings.format.app), std::move(settings));
    const Image rendered = renderer.Render(*scene.source);

    canvas->PaintLayer(ToRgba(rendered), testhost::LayerToFrame(scene.events->view()));
    *drawn = scene.events->Draw(&*canvas);

    const testhost::RgbaImage picture = canvas->Snapshot();
    Image out = MakeImage(width, height, 3, SampleKind::INT8);
    std::uint8_t *rgb = out.Samples<std::uint8_t>();
    for (std::size_t p = 0; p < static_cast<std::size_t>(width) * height; ++p) {
        rgb[p * 3] = picture.pixels[p * 4];
        rgb[p * 3 + 1] = picture.pixels[p * 4 + 1];
        rgb[p * 3 + 2] = picture.pixels[p * 4 + 2];
    }
    return out;
}

void RequireCleanDraw(const testhost::DrawOutcome &drawn) {
    if (drawn.result != PF_Err_NONE) {
        throw ToolError(EXIT_EFFECT_FAILED,
                        "the effect failed the draw event with code " + std::to_string(drawn.result));
    }
    std::string problems;
    if (drawn.objects.live() != 0) {
        problems += "\n  " + std::to_string(drawn.objects.live_pens()) + " pens and " +
                    std::to_string(drawn.objects.live_paths()) + " paths not given back";
    }
    for (const std::string &suite : drawn.unbalanced_suites) {
        problems += "\n  " + suite;
    }
    for (const std::string &misuse : drawn.misuse) {
        problems += "\n  " + misuse;
    }
    if (!problems.empty()) {
        throw ToolError(EXIT_EFFECT_FAILED, "the effect's drawing broke the host's rules:" + problems);
    }
}

}  // namespace zonara_tool
