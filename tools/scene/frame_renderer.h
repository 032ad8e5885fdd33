// Rendering one image through the effect as a host does: decode into the
// host's working format, hand the layer and the parameter values to the
// effect with the host's pixel aspect and draft resolution, and take the
// result back into the image's own format.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "testhost/core/host.h"
#include "testhost/core/layer.h"
#include "tools/image/host_pixels.h"
#include "tools/image/image_file.h"
#include "tools/params/param_values.h"
#include "tools/scene/clamp_count.h"

namespace zonara_tool {

// What the user asked for; unset means "follow the input".
struct FormatRequest {
    std::optional<testhost::HostApp> app;
    std::optional<SampleDepth> depth;
};

// The host and depth for a source of this kind. 8-bit files go to the
// compositing host in 8 bits, 16-bit files to it in 16 bits, float files to
// the editing host in float. A request for one side picks the other to suit
// it (float files stay float in either host); the combination the effect
// does not render (16 bits in the editing host) is refused with ToolError
// (usage).
HostFormat ChooseHostFormat(const FormatRequest &request, SampleKind source_kind);

// The pixel aspect a file states (width over height of a pixel) as the
// ratio of whole numbers a host passes; 1/1 where it states none.
PF_RationalScale PixelAspectRatioOf(float pixel_aspect);

struct RenderSettings {
    HostFormat format;
    // Each frame in the depth of its own file (within format.app) rather
    // than in format.depth: a 16-bit frame among 8-bit ones keeps its 16.
    bool depth_per_frame = false;
    // The host was chosen by the first frame, not asked for: a float frame
    // after integer ones goes to the editing host, which holds its range,
    // rather than being clipped to the compositing host's 0..1.
    bool host_per_frame = false;
    // Unset: each frame's own file's pixel aspect.
    std::optional<PF_RationalScale> pixel_aspect = PF_RationalScale{1, 1};
    int downsample = 1;  // render at 1/downsample of the size, as draft mode
    bool side_by_side = false;
    // Only this part of each frame (in full-resolution pixels, from its
    // first pixel), asked for as a host asks for a region of interest; the
    // result is that part alone, placed where it lay. Unset: all of it.
    std::optional<PixelWindow> region;
    std::vector<ParamValue> values;  // applied in order, later ones win
};

// The size a host renders a side of `full` pixels at 1/downsample.
int ReducedSize(int full, int downsample);

// The image as a host hands it to the effect in draft mode: resized to
// 1/downsample (unchanged at 1), its data and display windows scaled alike.
Image ReduceForDraft(const Image &source, int downsample);

// Starts a host of the given kind with the module loaded and set up.
using HostStarter = std::function<std::unique_ptr<testhost::Host>(testhost::HostApp)>;

// Why `format` would lose `image`'s range: float colour values outside 0..1
// (or not-a-number) in an integer depth, which clips them. Empty when it
// holds them. A frame never loses its range without a word: the renderer
// refuses a depth it chose itself, and warns of one the user asked for.
std::string RangeLostBy(const Image &image, const HostFormat &format);

class FrameRenderer {
public:
    // `start_host` starts the other host when settings.host_per_frame
    // sends a frame there (unset: never).
    FrameRenderer(std::unique_ptr<testhost::Host> host, RenderSettings settings, HostStarter start_host = {});

    // The graded image, of the source's layout (reduced by the downsample
    // factor, and doubled in width with the source on the left for
    // side-by-side). Throws ToolError (effect failed) with the effect's code
    // and message when the effect reports an error. `source_name`, the
    // source's file, begins what is said of the source's range.
    Image Render(Image source, const std::string &source_name = {});

    // The samples the clamps changed in the frames rendered so far, at an
    // otherwise unchanged grade.
    const ClampCount &clamp_count() const { return clamp_count_; }

private:
    struct Layers {
        testhost::Layer input;
        testhost::Layer output;
    };
    Layers &LayersFor(int width, int height, testhost::PixelFormat format, PF_RationalScale pixel_aspect);
    HostFormat FormatFor(SampleKind kind) const;
    testhost::Host &HostFor(testhost::HostApp app);

    std::unique_ptr<testhost::Host> host_;
    HostStarter start_host_;
    std::unique_ptr<testhost::Host> other_host_;  // started for the first frame that needs it
    RenderSettings settings_;
    std::unique_ptr<Layers> layers_;
    bool range_loss_warned_ = false;  // once a run, for a depth the user asked for
    PF_RationalScale layers_pixel_aspect_{1, 1};
    ClampCount clamp_count_;
};

}  // namespace zonara_tool
