#include "tools/image/matte_view.h"

#include <cstdint>
#include <cstring>

#include "params/param_index.h"

namespace zonara_tool {
namespace {

using namespace zonara;

template <class Sample>
void SetChannel(Image &image, int channel, Sample value) {
    Sample *samples = image.Samples<Sample>();
    const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    for (std::size_t p = 0; p < pixels; ++p) {
        samples[p * image.channels + channel] = value;
    }
}

}  // namespace

std::vector<ParamValue> MatteGradeValues() {
    std::vector<ParamValue> values = {SliderValue(PARAM_IN_OFFSET, 1.0),
                                      SliderValue(PARAM_IN_GAMMA, 1.0),
                                      SliderValue(PARAM_IN_GAIN, 0.0),
                                      SliderValue(PARAM_IN_SATURATION, 1.0),
                                      SliderValue(PARAM_OUT_OFFSET, 0.0),
                                      SliderValue(PARAM_OUT_GAMMA, 1.0),
                                      SliderValue(PARAM_OUT_GAIN, 0.0),
                                      SliderValue(PARAM_OUT_SATURATION, 1.0),
                                      SliderValue(PARAM_MIX, 1.0),
                                      CheckboxValue(PARAM_CLAMP_OUT_BLACK, false),
                                      CheckboxValue(PARAM_CLAMP_OUT_WHITE, false),
                                      CheckboxValue(PARAM_CLAMP_IN_BLACK, true)};
    const int channel_offsets[] = {PARAM_IN_RED_OFFSET,  PARAM_IN_GREEN_OFFSET,  PARAM_IN_BLUE_OFFSET,
                                   PARAM_OUT_RED_OFFSET, PARAM_OUT_GREEN_OFFSET, PARAM_OUT_BLUE_OFFSET};
    const int channel_gammas[] = {PARAM_IN_RED_GAMMA,  PARAM_IN_GREEN_GAMMA,  PARAM_IN_BLUE_GAMMA,
                                  PARAM_OUT_RED_GAMMA, PARAM_OUT_GREEN_GAMMA, PARAM_OUT_BLUE_GAMMA};
    const int channel_gains[] = {PARAM_IN_RED_GAIN,  PARAM_IN_GREEN_GAIN,  PARAM_IN_BLUE_GAIN,
                                 PARAM_OUT_RED_GAIN, PARAM_OUT_GREEN_GAIN, PARAM_OUT_BLUE_GAIN};
    for (int i = 0; i < 6; ++i) {
        values.push_back(SliderValue(channel_offsets[i], 0.0));
        values.push_back(SliderValue(channel_gammas[i], 1.0));
        values.push_back(SliderValue(channel_gains[i], 1.0));
    }
    values.push_back(PopupValue(PARAM_COLOR_MODEL, zonara::COLOR_MODEL_CDL));
    return values;
}

Image MatteLayer(const Image &source) {
    Image layer = MakeImageLike(source, source.width, source.height);
    std::memset(layer.bytes.data(), 0, layer.bytes.size());
    const int alpha = AlphaChannelOf(layer);
    if (alpha < 0) {
        return layer;
    }
    switch (layer.kind) {
    case SampleKind::INT8:
        SetChannel<std::uint8_t>(layer, alpha, 255);
        break;
    case SampleKind::INT16:
        SetChannel<std::uint16_t>(layer, alpha, 65535);
        break;
    case SampleKind::FLOAT32:
        SetChannel<float>(layer, alpha, 1.0f);
        break;
    }
    return layer;
}

}  // namespace zonara_tool
