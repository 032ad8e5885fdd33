// OpenEXR outputs keep their ZIP compression, deflated by the tool's own
// encoder: whatever the frame's height (whole blocks of 16 lines or a short
// last one), its data window, its channel type and blocks that do not
// shrink, the file is ZIP-compressed and the library reads back exactly the
// pixels that went in. The encoder itself refuses every file it does not
// fully understand, damaged ones included, so that the library compresses
// those.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <OpenImageIO/filesystem.h>

#include "tools/image/library/exr_zip_encoding.h"
#include "tools/tool_runner.h"

namespace {

using tool_test::RunTool;
using tool_test::ScratchDir;

struct ZipCase {
    const char *name;
    int width;
    int height;
    int y_origin;  // the data window's top; the display window is 0,0 to width,height + 10
    OIIO::TypeDesc type;
    bool grain;  // full-precision random samples, which barely deflate
    std::function<void(OIIO::ImageSpec &)> adjust;
};

class ExrZipOutput : public ::testing::TestWithParam<ZipCase> {};

// Whether the encoder takes the file; it writes nothing where it does not.
bool ZipCompressedExrCheck(const std::vector<unsigned char> &file) {
    struct Bytes : zonara_tool::ByteSink {
        std::size_t written = 0;
        void Write(const void *, std::size_t count) override { written += count; }
    } sink;
    const bool taken = zonara_tool::WriteZipCompressedExr(file, sink);
    EXPECT_EQ(taken, sink.written != 0);
    return taken;
}

// Random samples, in steps of 1/64 unless `grain`, written with the
// library's own ZIP compression.
std::vector<float> WriteZipInput(const std::string &path, const OIIO::ImageSpec &layout, bool grain) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> samples(layout.image_pixels() * static_cast<std::size_t>(layout.nchannels));
    for (float &sample : samples) sample = grain ? unit(random) : std::floor(unit(random) * 64.0f) / 64.0f;
    auto out = OIIO::ImageOutput::create(path);
    if (!out || !out->open(path, layout) || !out->write_image(OIIO::TypeDesc::FLOAT, samples.data()) ||
        !out->close()) {
        throw std::runtime_error("cannot write test image " + path);
    }
    return samples;
}

TEST_P(ExrZipOutput, IsZipCompressedAndReadsBackExactly) {
    const ZipCase &c = GetParam();
    ScratchDir dir;
    OIIO::ImageSpec layout(c.width, c.height, 4, c.type);
    layout.alpha_channel = 3;
    layout.y = c.y_origin;
    layout.full_x = 0;
    layout.full_y = 0;
    layout.full_width = c.width;
    layout.full_height = c.height + 10;
    layout.attribute("compression", "zip");
    if (c.adjust) c.adjust(layout);
    WriteZipInput(dir / "in.exr", layout, c.grain);
    // The default settings leave every sample as it is.
    const tool_test::ToolResult result = RunTool(dir, {"render", "in.exr", "-o", "out.exr"});
    ASSERT_EQ(result.exit_status, 0) << result.err;

    auto input = OIIO::ImageInput::open(dir / "in.exr");
    auto output = OIIO::ImageInput::open(dir / "out.exr");
    ASSERT_TRUE(input && output) << OIIO::geterror();
    const OIIO::ImageSpec in_layout = tool_test::LayoutOf(*input);
    const OIIO::ImageSpec out_layout = tool_test::LayoutOf(*output);
    EXPECT_EQ(out_layout.get_string_attribute("compression"), "zip");
    EXPECT_EQ(out_layout.format, in_layout.format);
    EXPECT_EQ(out_layout.roi(), in_layout.roi());
    EXPECT_EQ(out_layout.roi_full(), in_layout.roi_full());
    std::vector<float> expected(in_layout.image_pixels() * 4), got(out_layout.image_pixels() * 4);
    ASSERT_TRUE(input->read_image(0, 0, 0, 4, OIIO::TypeDesc::FLOAT, expected.data()));
    ASSERT_TRUE(output->read_image(0, 0, 0, 4, OIIO::TypeDesc::FLOAT, got.data())) << output->geterror();
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_EQ(std::memcmp(got.data(), expected.data(), got.size() * sizeof(float)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ExrZipOutput,
    ::testing::Values(
        // A single pixel's block grows when deflated, and is stored as it is.
        ZipCase{"one_pixel", 1, 1, 0, OIIO::TypeDesc::FLOAT, false, nullptr},
        ZipCase{"one_line", 37, 1, 0, OIIO::TypeDesc::FLOAT, false, nullptr},
        ZipCase{"one_whole_block", 23, 16, 0, OIIO::TypeDesc::FLOAT, false, nullptr},
        ZipCase{"short_last_block", 29, 41, 0, OIIO::TypeDesc::FLOAT, false, nullptr},
        ZipCase{"grain", 29, 41, 0, OIIO::TypeDesc::FLOAT, true, nullptr},
        ZipCase{"half_samples", 31, 33, 0, OIIO::TypeDesc::HALF, false, nullptr},
        ZipCase{"half_grain", 31, 33, 0, OIIO::TypeDesc::HALF, true, nullptr},
        ZipCase{"window_above_the_frame", 17, 35, -7, OIIO::TypeDesc::FLOAT, false, nullptr},
        ZipCase{"window_below_the_top", 17, 19, 5, OIIO::TypeDesc::HALF, false, nullptr}),
    [](const ::testing::TestParamInfo<ZipCase> &info) { return std::string(info.param.name); });

// The library's uncompressed encoding of a small picture, in memory.
std::vector<unsigned char> UncompressedExr(OIIO::ImageSpec layout) {
    layout.attribute("compression", "none");
    OIIO::Filesystem::IOVecOutput encoded;
    auto out = OIIO::ImageOutput::create("memory.exr");
    std::vector<float> samples(layout.image_pixels() * static_cast<std::size_t>(layout.nchannels), 0.25f);
    if (!out || !out->set_ioproxy(&encoded) || !out->open("memory.exr", layout) ||
        !out->write_image(OIIO::TypeDesc::FLOAT, samples.data()) || !out->close()) {
        throw std::runtime_error("cannot encode the test picture");
    }
    return encoded.buffer();
}

// Overwrites the value of the header attribute `name` (found by its name
// and type) with `value`.
void SetAttribute(std::vector<unsigned char> &file, const std::string &name, const std::string &type,
                  const std::vector<unsigned char> &value) {
    const std::string key = name + std::string(1, '\0') + type + std::string(1, '\0');
    const auto at = std::search(file.begin(), file.end(), key.begin(), key.end());
    ASSERT_NE(at, file.end()) << name;
    std::copy(value.begin(), value.end(), at + static_cast<std::ptrdiff_t>(key.size()) + 4);
}

TEST(ExrZipEncoding, RefusesWhatItDoesNotFullyUnderstand) {
    OIIO::ImageSpec layout(9, 20, 3, OIIO::TypeDesc::HALF);
    const std::vector<unsigned char> good = UncompressedExr(layout);
    ASSERT_TRUE(ZipCompressedExrCheck(good));
    struct Damage {
        const char *what;
        std::function<void(std::vector<unsigned char> &)> apply;
    } damages[] = {
        {"not OpenEXR", [](std::vector<unsigned char> &f) { f[0] ^= 0xFF; }},
        {"a later version", [](std::vector<unsigned char> &f) { f[4] = 3; }},
        {"tiled", [](std::vector<unsigned char> &f) { f[5] |= 0x02; }},
        {"multi-part", [](std::vector<unsigned char> &f) { f[5] |= 0x10; }},
        {"already compressed", [](std::vector<unsigned char> &f) { SetAttribute(f, "compression", "compression", {3}); }},
        {"lines bottom first", [](std::vector<unsigned char> &f) { SetAttribute(f, "lineOrder", "lineOrder", {1}); }},
        {"a window upside down",
         [](std::vector<unsigned char> &f) { SetAttribute(f, "dataWindow", "box2i", {0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}); }},
        {"a chunk's line out of the window",
         [](std::vector<unsigned char> &f) { f[f.size() - 9 * 3 * 2 - 8] = 0x7F; }},
        {"the last chunk cut short", [](std::vector<unsigned char> &f) { f.resize(f.size() - 1); }},
        {"the offset table cut short", [](std::vector<unsigned char> &f) { f.resize(f.size() / 3); }},
        {"nothing but the magic", [](std::vector<unsigned char> &f) { f.resize(4); }},
    };
    for (const Damage &d : damages) {
        std::vector<unsigned char> file = good;
        d.apply(file);
        EXPECT_FALSE(ZipCompressedExrCheck(file)) << d.what;
    }
}

// Every shorter prefix of a good file is refused, never read past.
TEST(ExrZipEncoding, EveryTruncationIsRefused) {
    const std::vector<unsigned char> good = UncompressedExr(OIIO::ImageSpec(5, 3, 4, OIIO::TypeDesc::FLOAT));
    for (std::size_t size = 0; size < good.size(); ++size) {
        const std::vector<unsigned char> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ZipCompressedExrCheck(cut)) << size << " of " << good.size() << " bytes";
    }
}

}  // namespace
