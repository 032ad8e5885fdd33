#include "tools/matte_view.h"

#include <cstdint>
#include <cstring>

#include "src/params/param_index.h"
#include "tools/image_layout.h"

namespace zonara_tool {
namespace {

using namespace zonara;

constexpr int CDL_COMPLIANT_MODEL = 2;

ParamValue Slider(int index, double number) {
    ParamValue value;
    value.index = index;
    value.kind = ValueKind::kSlider;
    value.number = number;
    return value;
}

ParamValue Checkbox(int index, bool on) {
    ParamValue value;
    value.index = index;
    value.kind = ValueKind::kCheckbox;
    value.on = on;
    return value;
}

// Where a file keeps its alpha: the layout's alpha channel after the
// colours, or the second of two channels (grey and alpha).
int AlphaChannel(const OIIO::ImageSpec &layout) {
    const int colour_channels = layout.nchannels < 3 ? 1 : 3;
    if (layout.alpha_channel >= colour_channels && layout.alpha_channel < layout.nchannels) {
        return layout.alpha_channel;
    }
    return layout.nchannels == 2 ? 1 : -1;
}

template <class Sample>
void SetChannel(Image &image, int channel, Sample value) {
    const OIIO::ImageSpec &layout = LayoutOf(image.pixels);
    auto *samples = static_cast<Sample *>(image.pixels.localpixels());
    const std::size_t pixels = static_cast<std::size_t>(layout.width) * layout.height;
    for (std::size_t p = 0; p < pixels; ++p) {
        samples[p * layout.nchannels + channel] = value;
    }
}

}  // namespace

std::vector<ParamValue> MatteGradeValues() {
    std::vector<ParamValue> values = {
        Slider(PARAM_IN_OFFSET, 1.0),  Slider(PARAM_IN_GAMMA, 1.0),  Slider(PARAM_IN_GAIN, 0.0),
        Slider(PARAM_IN_SATURATION, 1.0), Slider(PARAM_OUT_OFFSET, 0.0), Slider(PARAM_OUT_GAMMA, 1.0),
        Slider(PARAM_OUT_GAIN, 0.0),   Slider(PARAM_OUT_SATURATION, 1.0), Slider(PARAM_MIX, 1.0),
        Checkbox(PARAM_CLAMP_OUT_BLACK, false), Checkbox(PARAM_CLAMP_OUT_WHITE, false),
        Checkbox(PARAM_CLAMP_IN_BLACK, true)};
    const int channel_offsets[] = {PARAM_IN_RED_OFFSET,  PARAM_IN_GREEN_OFFSET,  PARAM_IN_BLUE_OFFSET,
                                   PARAM_OUT_RED_OFFSET, PARAM_OUT_GREEN_OFFSET, PARAM_OUT_BLUE_OFFSET};
    const int channel_gammas[] = {PARAM_IN_RED_GAMMA,  PARAM_IN_GREEN_GAMMA,  PARAM_IN_BLUE_GAMMA,
                                  PARAM_OUT_RED_GAMMA, PARAM_OUT_GREEN_GAMMA, PARAM_OUT_BLUE_GAMMA};
    const int channel_gains[] = {PARAM_IN_RED_GAIN,  PARAM_IN_GREEN_GAIN,  PARAM_IN_BLUE_GAIN,
                                 PARAM_OUT_RED_GAIN, PARAM_OUT_GREEN_GAIN, PARAM_OUT_BLUE_GAIN};
    for (int i = 0; i < 6; ++i) {
        values.push_back(Slider(channel_offsets[i], 0.0));
        values.push_back(Slider(channel_gammas[i], 1.0));
        values.push_back(Slider(channel_gains[i], 1.0));
    }
    ParamValue model;
    model.index = PARAM_COLOR_MODEL;
    model.kind = ValueKind::kPopup;
    model.choice = CDL_COMPLIANT_MODEL;
    values.push_back(model);
    return values;
}

Image MatteLayer(const Image &source) {
    Image layer = source;
    const OIIO::ImageSpec &layout = LayoutOf(layer.pixels);
    const std::size_t bytes = static_cast<std::size_t>(layout.width) * layout.height * layout.nchannels *
                              (source.kind == SampleKind::k8 ? 1 : source.kind == SampleKind::k16 ? 2 : 4);
    std::memset(layer.pixels.localpixels(), 0, bytes);
    const int alpha = AlphaChannel(layout);
    if (alpha < 0) {
        return layer;
    }
    switch (layer.kind) {
    case SampleKind::k8:
        SetChannel<std::uint8_t>(layer, alpha, 255);
        break;
    case SampleKind::k16:
        SetChannel<std::uint16_t>(layer, alpha, 65535);
        break;
    case SampleKind::kFloat:
        SetChannel<float>(layer, alpha, 1.0f);
        break;
    }
    return layer;
}

}  // namespace zonara_tool
