// What a file means survives zonara render: where its pixels lie in the
// frame, whether its colour is premultiplied, its descriptive attributes,
// an OpenEXR's compression and tiles, its pixel aspect (which the render
// honours) and its depth; what an output format cannot hold is converted
// without loss of meaning or refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include <OpenImageIO/deepdata.h>

#include "support/tool_runner.h"
#include "tools/image/alpha_association.h"
#include "tools/image/image_file.h"
#include "tools/scene/frame_renderer.h"

namespace {

using tool_test::LayoutOf;
using tool_test::RunTool;
using tool_test::ScratchDir;

// Writes `samples` (floats, channel after channel) with `layout`'s windows,
// type and attributes; `parts` copies make a multi-part file.
void WriteSpec(const std::string &path, const OIIO::ImageSpec &layout, const std::vector<float> &samples,
               int parts = 1) {
    auto out = OIIO::ImageOutput::create(path);
    const std::vector<OIIO::ImageSpec> layouts(static_cast<std::size_t>(parts), layout);
    const bool opened = parts == 1 ? out && out->open(path, layout) : out && out->open(path, parts, layouts.data());
    bool written = opened && out->write_image(OIIO::TypeDesc::FLOAT, samples.data());
    for (int part = 1; written && part < parts; ++part) {
        written = out->open(path, layouts[static_cast<std::size_t>(part)], OIIO::ImageOutput::AppendSubimage) &&
                  out->write_image(OIIO::TypeDesc::FLOAT, samples.data());
    }
    if (!written || !out->close()) {
        throw std::runtime_error("cannot write test image " + path);
    }
}

// Random samples in 0..1; with `premultiplied`, colour never exceeds alpha
// (the last of four channels), as premultiplied pictures hold it.
std::vector<float> RandomSamples(const OIIO::ImageSpec &layout, bool premultiplied = false) {
    std::mt19937 random(99);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> samples(layout.image_pixels() * static_cast<std::size_t>(layout.nchannels));
    for (float &sample : samples) {
        sample = unit(random);
    }
    if (premultiplied) {
        for (std::size_t p = 0; p + 3 < samples.size(); p += 4) {
            for (int c = 0; c < 3; ++c) {
                samples[p + c] *= samples[p + 3];
            }
        }
    }
    return samples;
}

OIIO::ImageSpec Rgba(int width, int height, OIIO::TypeDesc type) {
    OIIO::ImageSpec layout(width, height, 4, type);
    layout.alpha_channel = 3;
    return layout;
}

// The file's layout as the tool's own reader sees it (straight files kept
// straight and marked so).
OIIO::ImageSpec SpecOf(const std::string &path) {
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto in = OIIO::ImageInput::open(path, &config);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    return tool_test::LayoutOf(*in);
}

std::vector<float> SamplesOf(const std::string &path) {
    const OIIO::ImageBuf buf = tool_test::ReadFile(path, OIIO::TypeDesc::FLOAT);
    const float *first = static_cast<const float *>(buf.localpixels());
    return std::vector<float>(first, first + LayoutOf(buf).image_pixels() * LayoutOf(buf).nchannels);
}

float LargestDifference(const std::vector<float> &a, const std::vector<float> &b) {
    float largest = a.size() == b.size() ? 0.0f : INFINITY;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        largest = std::max(largest, std::abs(a[i] - b[i]));
    }
    return largest;
}

// --- where the pixels lie ---------------------------------------------------

struct WindowCase {
    const char *name;
    OIIO::ROI data;
    OIIO::ROI display;
    const char *output;
    bool keeps_windows;  // else the display window with the data in it
    int exit_status;
    const char *message;  // part of what stderr says on refusal
};

// A 100x80 frame; a plate within it; a plate reaching out above and left.
const OIIO::ROI FRAME(0, 100, 0, 80);
const OIIO::ROI INSIDE(10, 50, 20, 65);
const OIIO::ROI OVERSCAN(-10, 57, -20, 25);

class RenderKeepsWindows : public ::testing::TestWithParam<WindowCase> {};

TEST_P(RenderKeepsWindows, PlacesTheDataWhereTheFileHadIt) {
    const WindowCase &c = GetParam();
    ScratchDir dir;
    OIIO::ImageSpec layout = Rgba(c.data.width(), c.data.height(), OIIO::TypeDesc::HALF);
    layout.x = c.data.xbegin;
    layout.y = c.data.ybegin;
    layout.set_roi_full(c.display);
    const std::vector<float> samples = RandomSamples(layout, true);
    WriteSpec(dir / "plate.exr", layout, samples);

    const tool_test::ToolResult result = RunTool(dir, {"render", "plate.exr", "-o", c.output});
    ASSERT_EQ(result.exit_status, c.exit_status) << result.err;
    if (c.exit_status != 0) {
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(dir.Files(), std::vector<std::string>{"plate.exr"});
        return;
    }
    if (std::string(c.output).find(".pam") != std::string::npos) {
        const zonara_tool::Image pam = zonara_tool::ReadImage(dir / c.output);
        EXPECT_EQ(pam.width, c.display.width());
        EXPECT_EQ(pam.height, c.display.height());
        return;
    }
    const OIIO::ImageSpec written = SpecOf(dir / c.output);
    const std::vector<float> out = SamplesOf(dir / c.output);
    if (c.keeps_windows) {
        // The layer rendered was the data window; the identity look gives
        // it back at its place in the same frame (to a float's rounding).
        EXPECT_EQ(written.roi(), OIIO::ROI(c.data.xbegin, c.data.xend, c.data.ybegin, c.data.yend, 0, 1, 0, 4));
        EXPECT_EQ(written.roi_full(),
                  OIIO::ROI(c.display.xbegin, c.display.xend, c.display.ybegin, c.display.yend, 0, 1, 0, 4));
        EXPECT_LE(LargestDifference(out, SamplesOf(dir / "plate.exr")), 1.0f / (1 << 23));
        return;
    }
    // No windows in the format: the frame, the data at its place, nothing
    // around it.
    const int width = c.display.width();
    ASSERT_EQ(written.roi(), OIIO::ROI(0, width, 0, c.display.height(), 0, 1, 0, 4));
    const auto at = [&](int x, int y, int channel) {
        return out[(static_cast<std::size_t>(y - c.display.ybegin) * width + (x - c.display.xbegin)) * 4 + channel];
    };
    if (c.display != c.data) {
        EXPECT_EQ(at(c.display.xbegin, c.display.ybegin, 3), 0.0f);
        EXPECT_EQ(at(c.display.xend - 1, c.display.yend - 1, 3), 0.0f);
    }
    const float first_alpha = samples[3];
    EXPECT_NEAR(at(c.data.xbegin, c.data.ybegin, 3), first_alpha, 1.0f / 255);
}

INSTANTIATE_TEST_SUITE_P(
    DataWindows, RenderKeepsWindows,
    ::testing::Values(
        WindowCase{"negative_origin_to_exr", OVERSCAN, FRAME, "out.exr", true, 0, ""},
        WindowCase{"inside_the_frame_to_exr", INSIDE, FRAME, "out.exr", true, 0, ""},
        WindowCase{"inside_the_frame_to_dpx", INSIDE, FRAME, "out.dpx", true, 0, ""},
        WindowCase{"inside_the_frame_to_png", INSIDE, FRAME, "out.png", false, 0, ""},
        WindowCase{"moved_frame_to_tiff", INSIDE, INSIDE, "out.tif", false, 0, ""},
        WindowCase{"inside_the_frame_to_tiff", INSIDE, FRAME, "out.tif", false, 0, ""},
        WindowCase{"inside_the_frame_to_pam", INSIDE, FRAME, "out.pam", false, 0, ""},
        WindowCase{"overscan_to_png", OVERSCAN, FRAME, "out.png", false, 2,
                   "reach outside the frame (display window 100x80 at (0,0)); a PNG file holds no windows"},
        WindowCase{"overscan_to_tiff", OIIO::ROI(-10, 110, 0, 80), FRAME, "out.tif", false, 2, "write OpenEXR"}),
    [](const ::testing::TestParamInfo<WindowCase> &info) { return std::string(info.param.name); });

TEST(RenderMultiPart, RefusesRatherThanDropParts) {
    ScratchDir dir;
    const OIIO::ImageSpec layout = Rgba(16, 8, OIIO::TypeDesc::HALF);
    WriteSpec(dir / "stereo.exr", layout, RandomSamples(layout, true), 2);
    const tool_test::ToolResult result = RunTool(dir, {"render", "stereo.exr", "-o", "out.exr"});
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_NE(result.err.find("stereo.exr: the file holds 2 images"), std::string::npos) << result.err;
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"stereo.exr"});
}

// A single-image WebP is read (counting its images must not spoil the
// reader); a deep OpenEXR is refused saying what it is.
TEST(RenderFileKinds, WebpIsReadAndDeepOpenExrRefused) {
    ScratchDir dir;
    const OIIO::ImageSpec layout(16, 8, 3, OIIO::TypeDesc::UINT8);
    WriteSpec(dir / "in.webp", layout, RandomSamples(layout));
    const tool_test::ToolResult webp = RunTool(dir, {"render", "in.webp", "-o", "out.png"});
    EXPECT_EQ(webp.exit_status, 0) << webp.err;
    EXPECT_EQ(SpecOf(dir / "out.png").width, 16);

    OIIO::ImageSpec deep = Rgba(4, 2, OIIO::TypeDesc::FLOAT);
    deep.deep = true;
    OIIO::DeepData samples(deep);
    for (int pixel = 0; pixel < 8; ++pixel) {
        samples.set_samples(pixel, 2);
    }
    auto out = OIIO::ImageOutput::create("deep.exr");
    ASSERT_TRUE(out && out->open(dir / "deep.exr", deep) && out->write_deep_image(samples) && out->close());
    const tool_test::ToolResult refused = RunTool(dir, {"render", "deep.exr", "-o", "out.exr"});
    EXPECT_EQ(refused.exit_status, 2);
    EXPECT_NE(refused.err.find("deep.exr: deep images"), std::string::npos) << refused.err;
}

// --- alpha association ------------------------------------------------------

struct AlphaCase {
    const char *name;
    const char *input;
    bool premultiplied_input;
    const char *output;
    bool premultiplied_output;  // as the output file must mark and hold it
};

class RenderKeepsAlphaAssociation : public ::testing::TestWithParam<AlphaCase> {};

TEST_P(RenderKeepsAlphaAssociation, MarksItOrConvertsTheColour) {
    const AlphaCase &c = GetParam();
    ScratchDir dir;
    OIIO::ImageSpec layout =
        Rgba(24, 12,
             std::string(c.input).find(".exr") != std::string::npos ? OIIO::TypeDesc::FLOAT : OIIO::TypeDesc::UINT16);
    if (!c.premultiplied_input) {
        layout.attribute("oiio:UnassociatedAlpha", 1);
    }
    const std::vector<float> samples = RandomSamples(layout, c.premultiplied_input);
    WriteSpec(dir / c.input, layout, samples);

    const tool_test::ToolResult result = RunTool(dir, {"render", c.input, "-o", c.output});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const OIIO::ImageSpec written = SpecOf(dir / c.output);
    EXPECT_EQ(written.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0, c.premultiplied_output);

    std::vector<float> expected = SamplesOf(dir / c.input);
    for (std::size_t p = 0; p < expected.size(); p += 4) {
        for (int c_index = 0; c_index < 3; ++c_index) {
            float &colour = expected[p + c_index];
            if (c.premultiplied_input && !c.premultiplied_output && expected[p + 3] > 0.0f) {
                colour = std::min(colour / expected[p + 3], 1.0f);
            } else if (!c.premultiplied_input && c.premultiplied_output) {
                colour *= expected[p + 3];
            }
        }
    }
    // Within the rounding of 16-bit samples and of half floats.
    EXPECT_LT(LargestDifference(SamplesOf(dir / c.output), expected), 2.0f / 1024) << c.output;
}

INSTANTIATE_TEST_SUITE_P(Associations, RenderKeepsAlphaAssociation,
                         ::testing::Values(AlphaCase{"premultiplied_tiff_round_trip", "in.tif", true, "out.tif", true},
                                           AlphaCase{"straight_tiff_round_trip", "in.tif", false, "out.tif", false},
                                           AlphaCase{"premultiplied_exr_to_png", "in.exr", true, "out.png", false},
                                           AlphaCase{"premultiplied_exr_to_tiff", "in.exr", true, "out.tif", true},
                                           AlphaCase{"straight_png_to_exr", "in.png", false, "out.exr", true}),
                         [](const ::testing::TestParamInfo<AlphaCase> &info) { return std::string(info.param.name); });

// The same picture stored straight (8-bit PNG) and premultiplied (float
// OpenEXR) grades alike, the effect seeing straight colour from both; an
// OpenEXR said to be straight with --alpha grades as the PNG too. Clear
// pixels keep the OpenEXR's stored colour.
struct StraightColourCase {
    const char *name;
    std::vector<std::string> grade;
    bool exr_stores_straight;
};

class RenderGradesStraightColour : public ::testing::TestWithParam<StraightColourCase> {};

TEST_P(RenderGradesStraightColour, AlikeFromStraightAndPremultipliedFiles) {
    const StraightColourCase &c = GetParam();
    ScratchDir dir;
    OIIO::ImageSpec png = Rgba(32, 8, OIIO::TypeDesc::UINT8);
    png.attribute("oiio:UnassociatedAlpha", 1);
    std::vector<float> straight = RandomSamples(png);
    for (std::size_t i = 0; i < straight.size(); ++i) {
        // Whole 8-bit codes; the first column clear, the second opaque.
        const std::size_t column = i / 4 % 32;
        straight[i] = i % 4 == 3 && column < 2 ? static_cast<float>(column) : std::round(straight[i] * 255) / 255;
    }
    WriteSpec(dir / "in.png", png, straight);
    std::vector<float> stored = straight;  // premultiplied, with light where clear
    for (std::size_t i = 0; i < stored.size() && !c.exr_stores_straight; ++i) {
        const float alpha = straight[i / 4 * 4 + 3];
        stored[i] = i % 4 == 3 ? alpha : alpha == 0.0f ? 0.25f : straight[i] * alpha;
    }
    WriteSpec(dir / "in.exr", Rgba(32, 8, OIIO::TypeDesc::FLOAT), stored);
    for (const char *input : {"in.png", "in.exr"}) {
        // Both in float, so that only the PNG's 8 bits round.
        std::vector<std::string> args = {"render", input, "-o", std::string("out") + (input + 2), "--depth", "float"};
        for (const std::string &value : c.grade) {
            args.insert(args.end(), {"--set", value});
        }
        if (c.exr_stores_straight && input == std::string("in.exr")) {
            args.insert(args.end(), {"--alpha", "straight"});
        }
        const tool_test::ToolResult result = RunTool(dir, args);
        ASSERT_EQ(result.exit_status, 0) << result.err;
    }
    const std::vector<float> from_png = SamplesOf(dir / "out.png"), from_exr = SamplesOf(dir / "out.exr");
    for (std::size_t p = 0; p < stored.size(); p += 4) {
        const float alpha = straight[p + 3];
        for (std::size_t i = p; i < p + 3; ++i) {
            if (alpha > 0.0f) {  // within one rounding of the PNG's 8 bits, which end at 1
                EXPECT_NEAR(std::min(from_exr[i] / alpha, 1.0f), from_png[i], 0.5f / 255 + 1e-4f) << "sample " << i;
            } else if (!c.exr_stores_straight) {
                EXPECT_EQ(from_exr[i], stored[i]) << "clear sample " << i;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grades, RenderGradesStraightColour,
    ::testing::Values(StraightColourCase{"offset", {"in_offset=0.1"}, false},
                      StraightColourCase{"gamma", {"in_gamma=2"}, false},
                      StraightColourCase{"gain_and_saturation", {"in_gain=0.8", "in_saturation=0.4"}, false},
                      StraightColourCase{"said_straight", {"in_offset=0.1"}, true}),
    [](const ::testing::TestParamInfo<StraightColourCase> &info) { return std::string(info.param.name); });

TEST(AlphaAssociation, ConvertsColourNotAlphaAndLeavesClearPixels) {
    zonara_tool::Image image = zonara_tool::MakeImage(3, 1, 4, zonara_tool::SampleKind::INT8);
    const std::uint8_t premultiplied[] = {64, 32, 128, 128, 200, 0, 0, 255, 40, 50, 60, 0};
    std::memcpy(image.bytes.data(), premultiplied, sizeof premultiplied);
    image.alpha_association = zonara_tool::AlphaAssociation::kPremultiplied;
    zonara_tool::ConvertAlphaAssociation(image, zonara_tool::AlphaAssociation::kStraight);
    const std::vector<std::uint8_t> straight(image.bytes.begin(), image.bytes.end());
    EXPECT_EQ(straight, (std::vector<std::uint8_t>{128, 64, 255, 128, 200, 0, 0, 255, 40, 50, 60, 0}));
    zonara_tool::ConvertAlphaAssociation(image, zonara_tool::AlphaAssociation::kPremultiplied);
    const std::vector<std::uint8_t> back(image.bytes.begin(), image.bytes.end());
    EXPECT_EQ(back, (std::vector<std::uint8_t>{64, 32, 128, 128, 200, 0, 0, 255, 0, 0, 0, 0}));
}

// --- channels that are not colour -------------------------------------------

struct ChannelCase {
    const char *name;
    std::vector<std::string> channels;
    bool graded;                             // else refused, naming the channels
    std::vector<OIIO::TypeDesc> types = {};  // each channel's; none: all float
};

// The file's pixels in its own channel types; `offsets` gets each channel's.
std::vector<unsigned char> NativePixels(const std::string &path, std::vector<std::size_t> &offsets) {
    auto in = OIIO::ImageInput::open(path);
    const auto layout = LayoutOf(*in);
    std::vector<unsigned char> pixels(layout.image_bytes(true));
    in->read_image(0, 0, 0, layout.nchannels, OIIO::TypeDesc::UNKNOWN, pixels.data());
    offsets.assign(1, 0);
    for (int c = 0; c < layout.nchannels; ++c) {
        offsets.push_back(offsets.back() + layout.channelformat(c).size());
    }
    return pixels;
}

class RenderChannels : public ::testing::TestWithParam<ChannelCase> {};

// R, G and B are graded by name; A, depth, positions and other layers pass
// through bit for bit; an OpenEXR without R, G and B is refused.
TEST_P(RenderChannels, GradesColourByNameAndPassesTheRestThrough) {
    const ChannelCase &c = GetParam();
    ScratchDir dir;
    OIIO::ImageSpec layout(12, 6, static_cast<int>(c.channels.size()), OIIO::TypeDesc::FLOAT);
    layout.channelnames = c.channels;
    layout.channelformats = c.types;
    const auto alpha = std::find(c.channels.begin(), c.channels.end(), "A");
    layout.alpha_channel = alpha == c.channels.end() ? -1 : static_cast<int>(alpha - c.channels.begin());
    WriteSpec(dir / "in.exr", layout, RandomSamples(layout));
    const tool_test::ToolResult result = RunTool(dir, {"render", "in.exr", "-o", "out.exr", "--set", "in_gain=1.5"});
    if (!c.graded) {
        EXPECT_EQ(result.exit_status, 2);
        EXPECT_NE(result.err.find("in.exr: the image's channels (" + c.channels.front()), std::string::npos)
            << result.err;
        EXPECT_EQ(dir.Files(), std::vector<std::string>{"in.exr"});
        return;
    }
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const OIIO::ImageBuf in = tool_test::ReadFile(dir / "in.exr", OIIO::TypeDesc::FLOAT);
    const OIIO::ImageBuf out = tool_test::ReadFile(dir / "out.exr", OIIO::TypeDesc::FLOAT);
    ASSERT_EQ(LayoutOf(out).channelnames, LayoutOf(in).channelnames);
    // Every channel keeps its type; those not graded keep their bits.
    ASSERT_EQ(LayoutOf(in).channelformats.size(), c.types.size());
    EXPECT_EQ(LayoutOf(out).channelformats, LayoutOf(in).channelformats);
    std::vector<std::size_t> at;
    const std::vector<unsigned char> in_bytes = NativePixels(dir / "in.exr", at);
    const std::vector<unsigned char> out_bytes = NativePixels(dir / "out.exr", at);
    ASSERT_EQ(out_bytes.size(), in_bytes.size());
    for (int channel = 0; channel < LayoutOf(in).nchannels; ++channel) {
        const std::string name = LayoutOf(in).channelnames[static_cast<std::size_t>(channel)];
        const bool colour = name == "R" || name == "G" || name == "B";
        int changed = 0;
        for (std::size_t p = 0; p < in_bytes.size(); p += at.back()) {
            changed += std::memcmp(&in_bytes[p + at[channel]], &out_bytes[p + at[channel]],
                                   at[channel + 1] - at[channel]) != 0;
        }
        if (colour) {
            EXPECT_GT(changed, 0) << name << " graded";
        } else {
            EXPECT_EQ(changed, 0) << name << " passed through";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Channels, RenderChannels,
    ::testing::Values(ChannelCase{"colour_and_depth", {"R", "G", "B", "Z"}, true},
                      ChannelCase{"colour_alpha_and_a_layer", {"R", "G", "B", "A", "Z", "diffuse.R"}, true},
                      ChannelCase{"half_colour_and_an_integer_id",
                                  {"R", "G", "B", "A", "id"},
                                  true,
                                  {OIIO::TypeDesc::HALF, OIIO::TypeDesc::HALF, OIIO::TypeDesc::HALF,
                                   OIIO::TypeDesc::HALF, OIIO::TypeDesc::UINT32}},
                      ChannelCase{
                          "half_colour_and_float_depth",
                          {"R", "G", "B", "Z"},
                          true,
                          {OIIO::TypeDesc::HALF, OIIO::TypeDesc::HALF, OIIO::TypeDesc::HALF, OIIO::TypeDesc::FLOAT}},
                      ChannelCase{"depth_and_a_layer", {"Z", "diffuse.R", "diffuse.G"}, false},
                      ChannelCase{"positions", {"X", "Y", "Z"}, false},
                      ChannelCase{"texture_coordinates", {"u", "v", "w"}, false},
                      ChannelCase{"alpha_alone", {"A"}, false}, ChannelCase{"red_and_green", {"R", "G"}, false}),
    [](const ::testing::TestParamInfo<ChannelCase> &info) { return std::string(info.param.name); });

// --- attributes -------------------------------------------------------------

struct AttributeCase {
    const char *name;
    const char *input;
    const char *output;
    const char *attribute;
    void (*set)(OIIO::ImageSpec &layout);
};

class RenderCarriesAttributes : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(RenderCarriesAttributes, WhereTheOutputFormatHoldsThem) {
    const AttributeCase &c = GetParam();
    ScratchDir dir;
    const bool dpx = std::string(c.input).find(".dpx") != std::string::npos;
    OIIO::ImageSpec layout(20, 10, 3, dpx ? OIIO::TypeDesc::UINT16 : OIIO::TypeDesc::HALF);
    if (std::string(c.input).find(".exr") == std::string::npos && !dpx) {
        layout.set_format(OIIO::TypeDesc::UINT8);
    }
    c.set(layout);
    WriteSpec(dir / c.input, layout, RandomSamples(layout));
    const OIIO::ImageSpec input = SpecOf(dir / c.input);
    const OIIO::ParamValue *given = input.find_attribute(c.attribute);
    ASSERT_NE(given, nullptr) << c.attribute;
    const std::string stated = input.metadata_val(*given);

    const tool_test::ToolResult result = RunTool(dir, {"render", c.input, "-o", c.output});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const OIIO::ImageSpec written = SpecOf(dir / c.output);
    const OIIO::ParamValue *kept = written.find_attribute(c.attribute);
    ASSERT_NE(kept, nullptr) << c.attribute;
    EXPECT_EQ(written.metadata_val(*kept), stated);
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, RenderCarriesAttributes,
    ::testing::Values(AttributeCase{"exr_pixel_aspect", "in.exr", "out.exr", "PixelAspectRatio",
                                    [](OIIO::ImageSpec &l) { l.attribute("PixelAspectRatio", 2.0f); }},
                      AttributeCase{"exr_pixel_aspect_to_tiff", "in.exr", "out.tif", "PixelAspectRatio",
                                    [](OIIO::ImageSpec &l) { l.attribute("PixelAspectRatio", 2.0f); }},
                      AttributeCase{"exr_timecode", "in.exr", "out.exr", "smpte:TimeCode",
                                    [](OIIO::ImageSpec &l) {
                                        const unsigned int timecode[2] = {0x01020304, 0};
                                        l.attribute("smpte:TimeCode", OIIO::TypeTimeCode, timecode);
                                    }},
                      AttributeCase{"exr_chromaticities", "in.exr", "out.exr", "chromaticities",
                                    [](OIIO::ImageSpec &l) {
                                        const float primaries[8] = {0.713f, 0.293f, 0.165f,   0.830f,
                                                                    0.128f, 0.044f, 0.32168f, 0.33767f};
                                        l.attribute("chromaticities", OIIO::TypeDesc(OIIO::TypeDesc::FLOAT, 8),
                                                    primaries);
                                    }},
                      AttributeCase{"exr_compression", "in.exr", "out.exr", "compression",
                                    [](OIIO::ImageSpec &l) { l.attribute("compression", "piz"); }},
                      AttributeCase{"dpx_transfer", "in.dpx", "out.dpx", "dpx:Transfer",
                                    [](OIIO::ImageSpec &l) { l.attribute("dpx:Transfer", "Printing density"); }},
                      AttributeCase{"tiff_orientation", "in.tif", "out.tif", "Orientation",
                                    [](OIIO::ImageSpec &l) { l.attribute("Orientation", 6); }},
                      AttributeCase{"jpeg_orientation", "in.jpg", "out.jpg", "Orientation",
                                    [](OIIO::ImageSpec &l) { l.attribute("Orientation", 8); }},
                      AttributeCase{"jpeg_orientation_to_png", "in.jpg", "out.png", "Orientation",
                                    [](OIIO::ImageSpec &l) { l.attribute("Orientation", 8); }}),
    [](const ::testing::TestParamInfo<AttributeCase> &info) { return std::string(info.param.name); });

// --- OpenEXR compression and tiles ------------------------------------------

struct ExrLayoutCase {
    const char *name;
    const char *input;
    OIIO::TypeDesc type;
    const char *compression;  // the input's; nullptr: its format's default
    int tile;                 // 0: scanlines
    const char *written;      // the output's compression
};

class RenderKeepsExrLayout : public ::testing::TestWithParam<ExrLayoutCase> {};

// The output has the input's compression (ZIP: the format's default) and
// tiles, and the default settings give back every sample to the bit:
// full-precision grain, which barely deflates, in 41 lines, which end in a
// short block of ZIP's 16, and tiles cut at the right and the bottom.
TEST_P(RenderKeepsExrLayout, CompressionTilesAndEverySample) {
    const ExrLayoutCase &c = GetParam();
    ScratchDir dir;
    OIIO::ImageSpec layout(29, 41, 3, c.type);
    if (c.compression != nullptr) {
        layout.attribute("compression", c.compression);
    }
    layout.tile_width = c.tile;
    layout.tile_height = c.tile;
    WriteSpec(dir / c.input, layout, RandomSamples(layout));
    const tool_test::ToolResult result = RunTool(dir, {"render", c.input, "-o", "out.exr"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const OIIO::ImageSpec written = SpecOf(dir / "out.exr");
    EXPECT_EQ(written.get_string_attribute("compression"), c.written);
    EXPECT_EQ(written.tile_width, c.tile);
    EXPECT_EQ(written.tile_height, c.tile);
    EXPECT_EQ(written.format, c.type);
    EXPECT_TRUE(SamplesOf(dir / "out.exr") == SamplesOf(dir / c.input));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RenderKeepsExrLayout,
    ::testing::Values(ExrLayoutCase{"default_zip", "in.exr", OIIO::TypeDesc::FLOAT, nullptr, 0, "zip"},
                      ExrLayoutCase{"zip_one_line_blocks", "in.exr", OIIO::TypeDesc::HALF, "zips", 0, "zips"},
                      ExrLayoutCase{"uncompressed", "in.exr", OIIO::TypeDesc::HALF, "none", 0, "none"},
                      ExrLayoutCase{"zip_tiles", "in.exr", OIIO::TypeDesc::HALF, "zip", 16, "zip"},
                      ExrLayoutCase{"piz_tiles", "in.exr", OIIO::TypeDesc::FLOAT, "piz", 32, "piz"},
                      ExrLayoutCase{"tiff_to_the_default_zip", "in.tif", OIIO::TypeDesc::FLOAT, nullptr, 0, "zip"}),
    [](const ::testing::TestParamInfo<ExrLayoutCase> &info) { return std::string(info.param.name); });

// --- what a PNG said ---------------------------------------------------------

std::uint32_t Crc32(const std::string &bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::string BigEndian32(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

using Chunks = std::vector<std::pair<std::string, std::string>>;

// An 8 x 4 RGB PNG with `extra` chunks between its header and its pixels.
std::string PngWith(const Chunks &extra) {
    const auto chunk = [](const std::string &type, const std::string &data) {
        return BigEndian32(static_cast<std::uint32_t>(data.size())) + type + data + BigEndian32(Crc32(type + data));
    };
    std::string png =
        "\x89PNG\r\n\x1a\n" + chunk("IHDR", BigEndian32(8) + BigEndian32(4) + std::string("\x08\x02\0\0\0", 5));
    for (const auto &[type, data] : extra) {
        png += chunk(type, data);
    }
    // Stored (uncompressed) deflate of four rows of 25 zero bytes.
    const std::string rows(4 * 25, '\0');
    std::string zlib = "\x78\x01\x01" + std::string{static_cast<char>(rows.size()), 0} +
                       std::string{static_cast<char>(~rows.size() & 0xFF), static_cast<char>(0xFF)} + rows;
    std::uint32_t a = 1, b = 0;
    for (const char byte : rows) {
        a = (a + static_cast<unsigned char>(byte)) % 65521;
        b = (b + a) % 65521;
    }
    zlib += BigEndian32(b << 16 | a);
    return png + chunk("IDAT", zlib) + chunk("IEND", "");
}

// The chunks of a PNG file other than its header, pixels and end.
Chunks StatementsOf(const std::string &path) {
    const std::string png = tool_test::ReadBytes(path);
    Chunks chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(png[i])); };
        const std::uint32_t length = byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
        const std::string type = png.substr(at + 4, 4);
        if (type != "IHDR" && type != "IDAT" && type != "IEND") {
            chunks.emplace_back(type, png.substr(at + 8, length));
        }
        at += 12 + length;
    }
    std::sort(chunks.begin(), chunks.end());
    return chunks;
}

// An EXIF block of one entry, the orientation.
std::string OrientationExif(char orientation) {
    return std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18) + orientation + std::string(7, '\0');
}

struct PngStatementCase {
    const char *name;
    Chunks said;
};

class RenderPngStatements : public ::testing::TestWithParam<PngStatementCase> {};

// PNG to PNG: the output says what the input said in its own chunks, byte
// for byte, and nothing the library would add of its own.
TEST_P(RenderPngStatements, AreWrittenAsReadNoMoreNoLess) {
    const PngStatementCase &c = GetParam();
    ScratchDir dir;
    std::ofstream(dir / "in.png", std::ios::binary) << PngWith(c.said);
    const tool_test::ToolResult result = RunTool(dir, {"render", "in.png", "-o", "out.png", "--set", "in_gain=1.2"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    Chunks said = c.said;
    std::sort(said.begin(), said.end());
    EXPECT_EQ(StatementsOf(dir / "out.png"), said);
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, RenderPngStatements,
    ::testing::Values(PngStatementCase{"nothing", {}},
                      PngStatementCase{"gamma_and_chromaticities",
                                       {{"gAMA", BigEndian32(70000)},
                                        {"cHRM", BigEndian32(31270) + BigEndian32(32900) + BigEndian32(64000) +
                                                     BigEndian32(33000) + BigEndian32(30000) + BigEndian32(60000) +
                                                     BigEndian32(15000) + BigEndian32(6000)}}},
                      PngStatementCase{"srgb", {{"sRGB", std::string(1, '\0')}, {"gAMA", BigEndian32(45455)}}},
                      PngStatementCase{"exif_orientation", {{"eXIf", OrientationExif(6)}}},
                      PngStatementCase{"text", {{"tEXt", std::string("Comment\0graded", 14)}}}),
    [](const ::testing::TestParamInfo<PngStatementCase> &info) { return std::string(info.param.name); });

// --- OpenEXR windows and tiles ---------------------------------------------------

// A draft render of an OpenEXR keeps its frame: both windows scaled by the
// factor, rather than a plain frame at 0,0.
TEST(RenderDownsample, ScalesTheDataAndDisplayWindows) {
    ScratchDir dir;
    OIIO::ImageSpec layout(40, 20, 4, OIIO::TypeDesc::HALF);
    layout.alpha_channel = 3;
    layout.x = 10;
    layout.y = 6;
    layout.full_x = -4;
    layout.full_y = 0;
    layout.full_width = 64;
    layout.full_height = 33;
    WriteSpec(dir / "in.exr", layout, RandomSamples(layout, true));
    const tool_test::ToolResult result = RunTool(dir, {"render", "in.exr", "-o", "out.exr", "--downsample", "2"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const OIIO::ImageSpec out = SpecOf(dir / "out.exr");
    EXPECT_EQ(std::vector<int>({out.x, out.y, out.width, out.height}), std::vector<int>({5, 3, 20, 10}));
    EXPECT_EQ(std::vector<int>({out.full_x, out.full_y, out.full_width, out.full_height}),
              std::vector<int>({-2, 0, 32, 17}));
}

// A tiled OpenEXR is written tiled, with its tiles' size, at full size and
// in draft; a scanline one stays scanlines.
TEST(RenderKeepsTiles, OfAnOpenExr) {
    ScratchDir dir;
    for (const int tile : {0, 16}) {
        OIIO::ImageSpec layout(50, 30, 3, OIIO::TypeDesc::HALF);
        layout.tile_width = layout.tile_height = tile;
        WriteSpec(dir / "in.exr", layout, RandomSamples(layout));
        for (const char *downsample : {"1", "2"}) {
            const tool_test::ToolResult result =
                RunTool(dir, {"render", "in.exr", "-o", "out.exr", "--downsample", downsample});
            ASSERT_EQ(result.exit_status, 0) << result.err;
            const OIIO::ImageSpec out = SpecOf(dir / "out.exr");
            EXPECT_EQ(out.tile_width, tile) << downsample;
            EXPECT_EQ(out.tile_height, tile) << downsample;
        }
    }
}

// --- pixel aspect -----------------------------------------------------------

TEST(PixelAspectRatioOf, GivesTheRatioAHostPasses) {
    struct Case {
        float stated;
        A_long num;
        A_u_long den;
    };
    for (const Case &c : {Case{2.0f, 2, 1}, Case{0.9f, 9, 10}, Case{4.0f / 3.0f, 4, 3}, Case{16.0f / 15.0f, 16, 15},
                          Case{1.0f, 1, 1}, Case{0.0f, 1, 1}, Case{-2.0f, 1, 1}, Case{NAN, 1, 1}}) {
        const PF_RationalScale ratio = zonara_tool::PixelAspectRatioOf(c.stated);
        EXPECT_EQ(ratio.num, c.num) << c.stated;
        EXPECT_EQ(ratio.den, c.den) << c.stated;
    }
}

// An anamorphic plate renders as anamorphic: a circular window is as wide
// on the plate as --par 2/1 makes it, not as a square-pixel layer.
TEST(RenderPixelAspect, TheFilesOwnIsTheDefault) {
    ScratchDir dir;
    OIIO::ImageSpec layout(64, 48, 3, OIIO::TypeDesc::UINT8);
    layout.attribute("PixelAspectRatio", 2.0f);
    WriteSpec(dir / "anamorphic.tif", layout, RandomSamples(layout));
    const std::vector<std::string> look = {"--set", "window_type=ellipse", "--set", "width=20",
                                           "--set", "height=20",           "--set", "out_gain=0.2"};
    for (const auto &[output, par] : std::vector<std::pair<std::string, std::string>>{
             {"default.tif", ""}, {"square.tif", "1/1"}, {"wide.tif", "2/1"}}) {
        std::vector<std::string> args = {"render", "anamorphic.tif", "-o", output};
        args.insert(args.end(), look.begin(), look.end());
        if (!par.empty()) {
            args.insert(args.end(), {"--par", par});
        }
        const tool_test::ToolResult result = RunTool(dir, args);
        ASSERT_EQ(result.exit_status, 0) << result.err;
    }
    EXPECT_EQ(LargestDifference(SamplesOf(dir / "default.tif"), SamplesOf(dir / "wide.tif")), 0.0f);
    EXPECT_GT(LargestDifference(SamplesOf(dir / "default.tif"), SamplesOf(dir / "square.tif")), 0.1f);
}

// --- depth ------------------------------------------------------------------

struct DepthCase {
    const char *name;
    const char *input;
    OIIO::TypeDesc stored;
    const char *output;
    OIIO::TypeDesc expected;
};

class RenderKeepsDepth : public ::testing::TestWithParam<DepthCase> {};

TEST_P(RenderKeepsDepth, UsesTheOutputsTypeDeepEnoughForTheInput) {
    const DepthCase &c = GetParam();
    ScratchDir dir;
    const OIIO::ImageSpec layout(20, 10, 3, c.stored);
    const std::vector<float> samples = RandomSamples(layout);
    WriteSpec(dir / c.input, layout, samples);
    const tool_test::ToolResult result = RunTool(dir, {"render", c.input, "-o", c.output});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(SpecOf(dir / c.output).format, c.expected);
    // Far finer than 8 bits (1/255) wherever the output is deeper than that.
    if (c.expected != OIIO::TypeDesc::UINT8) {
        EXPECT_LT(LargestDifference(SamplesOf(dir / c.output), SamplesOf(dir / c.input)), 1.0f / 2048);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Depths, RenderKeepsDepth,
    ::testing::Values(
        DepthCase{"float_to_png", "in.exr", OIIO::TypeDesc::FLOAT, "out.png", OIIO::TypeDesc::UINT16},
        DepthCase{"half_to_png", "in.exr", OIIO::TypeDesc::HALF, "out.png", OIIO::TypeDesc::UINT16},
        DepthCase{"int32_to_png", "in.tif", OIIO::TypeDesc::UINT32, "out.png", OIIO::TypeDesc::UINT16},
        DepthCase{"eight_bit_png_stays", "in.png", OIIO::TypeDesc::UINT8, "out.png", OIIO::TypeDesc::UINT8},
        DepthCase{"sixteen_bit_to_exr_float", "in.png", OIIO::TypeDesc::UINT16, "out.exr", OIIO::TypeDesc::FLOAT},
        DepthCase{"eight_bit_to_exr_half", "in.png", OIIO::TypeDesc::UINT8, "out.exr", OIIO::TypeDesc::HALF},
        DepthCase{"half_to_dpx_float", "in.exr", OIIO::TypeDesc::HALF, "out.dpx", OIIO::TypeDesc::FLOAT}),
    [](const ::testing::TestParamInfo<DepthCase> &info) { return std::string(info.param.name); });

// Frame 4 of a sequence is 16-bit, the others 8-bit: it renders at its own
// depth unless --depth names one for all.
TEST(RenderSequenceDepth, EachFrameAtItsOwnDepth) {
    ScratchDir dir;
    for (int frame = 1; frame <= 5; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "mixed.%04d.png", frame);
        const OIIO::ImageSpec layout(20, 10, 3, frame == 4 ? OIIO::TypeDesc::UINT16 : OIIO::TypeDesc::UINT8);
        WriteSpec(dir / name, layout, RandomSamples(layout));
    }
    const std::vector<float> source = SamplesOf(dir / "mixed.0004.png");
    struct Run {
        const char *output;
        std::vector<std::string> extra;
        float largest_difference;  // from frame 4's source
    };
    // The host's 16 bits hold half the file's codes: within two codes;
    // through 8 bits, up to half of 1/255.
    for (const Run &run :
         {Run{"own.%04d.png", {}, 2.0f / 65535}, Run{"eight.%04d.png", {"--depth", "8"}, 0.51f / 255}}) {
        std::vector<std::string> args = {"render", "mixed.%04d.png", "-o", run.output, "--frames", "1-5"};
        args.insert(args.end(), run.extra.begin(), run.extra.end());
        const tool_test::ToolResult result = RunTool(dir, args);
        ASSERT_EQ(result.exit_status, 0) << result.err;
        char frame4[32];
        std::snprintf(frame4, sizeof frame4, run.output, 4);
        EXPECT_EQ(SpecOf(dir / frame4).format, OIIO::TypeDesc::UINT16);
        const float difference = LargestDifference(SamplesOf(dir / frame4), source);
        EXPECT_LE(difference, run.largest_difference) << run.output;
        if (run.extra.empty()) {
            continue;
        }
        EXPECT_GT(difference, 2.0f / 65535) << "--depth 8 quantises frame 4";
    }
}

// Frame 1 is 16-bit, frame 2 float reaching from -0.5 to 3.5: the first
// frame chose the compositing host, whose 16 bits would clip frame 2. Left
// to itself the tool renders frame 2 in float; with the compositing host
// asked for, frame 2 renders in that host's float; with 16 bits asked for,
// the range it loses is said.
TEST(RenderSequenceDepth, AFloatFrameKeepsItsRangeOrIsRefused) {
    ScratchDir dir;
    const OIIO::ImageSpec sixteen(16, 8, 3, OIIO::TypeDesc::UINT16);
    WriteSpec(dir / "q.0001.tif", sixteen, RandomSamples(sixteen));
    const OIIO::ImageSpec wide(16, 8, 3, OIIO::TypeDesc::FLOAT);
    std::vector<float> wide_samples = RandomSamples(wide);
    for (float &sample : wide_samples) {
        sample = sample * 4.0f - 0.5f;
    }
    wide_samples[0] = -0.5f;
    wide_samples[1] = 3.5f;
    WriteSpec(dir / "q.0002.tif", wide, wide_samples);

    const tool_test::ToolResult own = RunTool(dir, {"render", "q.%04d.tif", "-o", "r.%04d.tif", "--frames", "1-2"});
    ASSERT_EQ(own.exit_status, 0) << own.err;
    EXPECT_EQ(SpecOf(dir / "r.0002.tif").format, OIIO::TypeDesc::FLOAT);
    // The effect's own input black clamp (on by default) takes negatives to
    // 0; everything above 1 comes through.
    std::vector<float> black_clamped = wide_samples;
    for (float &sample : black_clamped) {
        sample = std::max(sample, 0.0f);
    }
    EXPECT_EQ(LargestDifference(SamplesOf(dir / "r.0002.tif"), black_clamped), 0.0f);

    // The compositing host asked for, each frame in its own depth: the
    // float frame keeps its range in that host's float frames too.
    const tool_test::ToolResult compositing =
        RunTool(dir, {"render", "q.%04d.tif", "-o", "s.%04d.tif", "--frames", "1-2", "--host", "ae"});
    ASSERT_EQ(compositing.exit_status, 0) << compositing.err;
    EXPECT_EQ(SpecOf(dir / "s.0002.tif").format, OIIO::TypeDesc::FLOAT);
    EXPECT_EQ(LargestDifference(SamplesOf(dir / "s.0002.tif"), black_clamped), 0.0f);
    // A depth the user asked for is rendered, and the range it loses said.
    const tool_test::ToolResult asked =
        RunTool(dir, {"render", "q.%04d.tif", "-o", "t.%04d.tif", "--frames", "1-2", "--depth", "16"});
    EXPECT_EQ(asked.exit_status, 0) << asked.err;
    EXPECT_NE(asked.err.find("warning: q.0002.tif: its colour values reach from -0.5 to 3.5"), std::string::npos)
        << asked.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "t.0002.tif"));
}

}  // namespace
