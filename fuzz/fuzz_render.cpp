// PF_Cmd_RENDER with every layer shape, pixel format and host fault: the
// output may hold anything afterwards, but nothing outside it may change and
// the source must be left as it was.
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "fuzz_session.h"
#include "fuzz_values.h"

namespace zonara_fuzz {
namespace {

// Frames stay small so that the fuzzer runs many of them.
constexpr int MAX_SIDE = 64;

constexpr testhost::PixelFormat FORMATS[] = {testhost::PixelFormat::ARGB8, testhost::PixelFormat::ARGB16,
                                             testhost::PixelFormat::BGRA8, testhost::PixelFormat::BGRA32F};

testhost::LayerOptions DecodeOptions(FuzzedDataProvider &in, testhost::PixelFormat format) {
    testhost::LayerOptions options;
    options.row_padding_bytes = in.ConsumeIntegralInRange<int>(0, 3) *
                                static_cast<int>(testhost::BytesPerChannel(format)) *
                                in.ConsumeIntegralInRange<int>(1, 5);
    options.bottom_up = in.ConsumeBool();
    if (in.ConsumeBool()) {
        options.has_extent_hint = true;
        options.extent_hint = {SmallOrNasty(in, -70, 70), SmallOrNasty(in, -70, 70), SmallOrNasty(in, -70, 70),
                               SmallOrNasty(in, -70, 70)};
    }
    return options;
}

// Source pixels: raw bytes, so float sources carry NaN, infinities and
// values far outside 0 to 1.
void FillSource(FuzzedDataProvider &in, testhost::Layer &layer) {
    const std::size_t pixel_bytes = testhost::BytesPerPixel(layer.format());
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            std::uint8_t bytes[16] = {};
            if (in.ConsumeBool()) {
                in.ConsumeData(bytes, pixel_bytes);
            } else if (layer.format() == testhost::PixelFormat::BGRA32F) {
                const float value = static_cast<float>(NastyDouble(in));
                for (int c = 0; c < 4; ++c) std::memcpy(bytes + 4 * c, &value, sizeof(value));
            } else {
                std::memset(bytes, in.ConsumeIntegral<std::uint8_t>(), pixel_bytes);
            }
            std::memcpy(layer.PixelAddress(x, y), bytes, pixel_bytes);
        }
    }
}

std::vector<std::uint8_t> Snapshot(const testhost::Layer &layer) {
    const std::size_t pixel_bytes = testhost::BytesPerPixel(layer.format());
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < layer.height(); ++y) {
        const auto *row = static_cast<const std::uint8_t *>(layer.PixelAddress(0, y));
        bytes.insert(bytes.end(), row, row + pixel_bytes * static_cast<std::size_t>(layer.width()));
    }
    return bytes;
}

void DecodeFrame(FuzzedDataProvider &in, testhost::FrameSetup &frame, int width, int height) {
    frame = testhost::FrameSetup{};
    frame.layer_width = in.ConsumeBool() ? width : SmallOrNasty(in, 0, 4096);
    frame.layer_height = in.ConsumeBool() ? height : SmallOrNasty(in, 0, 4096);
    frame.pixel_aspect_ratio = NastyRatio(in);
    frame.downsample_x = NastyRatio(in);
    frame.downsample_y = NastyRatio(in);
    frame.current_time = NastyInt32(in);
    frame.time_scale = static_cast<A_u_long>(SmallOrNasty(in, 0, 30));
}

void DecodeFaults(FuzzedDataProvider &in, testhost::Host &host) {
    testhost::Faults &faults = host.faults();
    faults.no_basic_suite = in.ConsumeIntegralInRange<int>(0, 15) == 0;
    faults.iterate_fail_code = in.ConsumeIntegralInRange<int>(0, 15) == 0 ? NastyInt32(in) : PF_Err_NONE;
    faults.reported_pixel_format.reset();
    if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
        faults.reported_pixel_format = static_cast<PrPixelFormat>(NastyInt32(in));
    }
    RefuseSomeSuites(in, host);
}

const char *FormatName(testhost::PixelFormat format) {
    switch (format) {
    case testhost::PixelFormat::ARGB8:
        return "ARGB8";
    case testhost::PixelFormat::ARGB16:
        return "ARGB16";
    case testhost::PixelFormat::BGRA8:
        return "BGRA8";
    case testhost::PixelFormat::BGRA32F:
        return "BGRA32f";
    case testhost::PixelFormat::ARGB32F:
        return "ARGB32f";
    }
    return "?";
}

void ClearFaults(testhost::Host &host) {
    host.faults().no_basic_suite = false;
    host.faults().iterate_fail_code = PF_Err_NONE;
    host.faults().reported_pixel_format.reset();
    host.suites().AllowAll();
}

}  // namespace

void FuzzRender(FuzzedDataProvider &in, testhost::Host &host) {
    // Each host has its own formats; the other host's are sent too, as a
    // confused or future host might.
    const testhost::PixelFormat format = FORMATS[in.ConsumeIntegralInRange<int>(0, 3)];
    const testhost::PixelFormat source_format =
        in.ConsumeIntegralInRange<int>(0, 7) == 0 ? FORMATS[in.ConsumeIntegralInRange<int>(0, 3)] : format;
    const int width = in.ConsumeIntegralInRange<int>(0, MAX_SIDE);
    const int height = in.ConsumeIntegralInRange<int>(0, MAX_SIDE);
    const bool same_size = in.ConsumeBool();
    const int source_width = same_size ? width : in.ConsumeIntegralInRange<int>(0, MAX_SIDE);
    const int source_height = same_size ? height : in.ConsumeIntegralInRange<int>(0, MAX_SIDE);

    testhost::Layer source(source_format, source_width, source_height, DecodeOptions(in, source_format));
    testhost::Layer output(format, width, height, DecodeOptions(in, format));
    FillSource(in, source);
    const std::vector<std::uint8_t> source_before = Snapshot(source);

    DecodeFrame(in, host.frame(), width, height);
    DecodeFaults(in, host);
    if (Tracing()) {
        std::fprintf(stderr, "render: %s %s source %s %dx%d (rowbytes %d) output %s %dx%d (rowbytes %d)%s\n",
                     host.app() == testhost::HostApp::kPremiere ? "premiere" : "ae",
                     host.faults().reported_pixel_format ? "format lied" : "", FormatName(source_format), source_width,
                     source_height, source.def().rowbytes, FormatName(format), width, height, output.def().rowbytes,
                     host.faults().no_basic_suite ? " no basic suite" : "");
    }
    RenderLayers(host, source, output);
    ClearFaults(host);

    CheckCommandEnded(host, "PF_Cmd_RENDER");
    if (!output.GuardsIntact()) Fail("PF_Cmd_RENDER wrote outside the output buffer");
    if (!source.GuardsIntact()) Fail("PF_Cmd_RENDER wrote around the source buffer");
    if (Snapshot(source) != source_before) Fail("PF_Cmd_RENDER changed the source layer");
}

}  // namespace zonara_fuzz
