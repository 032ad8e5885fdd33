// The PAM and PFM files both builds of the tool read and write, the formats
// the Windows comparisons rest on: samples come back exactly, deeper kinds
// are stored as the format allows, and damaged files are refused, never read
// past their end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tools/base/tool_error.h"
#include "tools/image/builtin_image_file.h"
#include "tools/image/image_file.h"
#include "windows/windows_build.h"

namespace {

using zonara_tool::Image;
using zonara_tool::SampleKind;

std::size_t SampleCount(const Image &image) { return image.SampleCount(); }

std::size_t SampleBytes(SampleKind kind) { return kind == SampleKind::INT8 ? 1 : kind == SampleKind::INT16 ? 2 : 4; }

Image Pattern(int channels, SampleKind kind) {
    Image image = zonara_tool::MakeImage(7, 5, channels, kind);
    auto *bytes = static_cast<unsigned char *>(image.bytes.data());
    for (std::size_t i = 0; i < SampleCount(image) * SampleBytes(kind); ++i) {
        bytes[i] = static_cast<unsigned char>(i * 37 + 11);
    }
    if (kind == SampleKind::FLOAT32) {
        // Whole-range floats, negatives and values above 1 included.
        auto *samples = image.Samples<float>();
        for (std::size_t i = 0; i < SampleCount(image); ++i) {
            samples[i] = static_cast<float>(i) * 0.173f - 1.5f;
        }
    }
    return image;
}

void WriteText(const std::filesystem::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(BuiltInImages, RoundTripKeepsEverySample) {
    struct Case {
        const char *file;
        int channels;
        SampleKind kind;
        int alpha_channel;
    };
    const std::vector<Case> cases = {
        {"grey8.pam", 1, SampleKind::INT8, -1},    {"greyalpha8.pam", 2, SampleKind::INT8, 1},
        {"rgb8.pam", 3, SampleKind::INT8, -1},     {"rgba8.pam", 4, SampleKind::INT8, 3},
        {"rgb16.pam", 3, SampleKind::INT16, -1},   {"rgba16.PAM", 4, SampleKind::INT16, 3},
        {"greyf.pfm", 1, SampleKind::FLOAT32, -1}, {"rgbf.pfm", 3, SampleKind::FLOAT32, -1},
    };
    windows_test::ScratchDir dir("images");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = (dir / c.file).string();
        const Image written = Pattern(c.channels, c.kind);
        zonara_tool::WriteImage(path, written);
        ASSERT_EQ(zonara_tool::PeekSampleKind(path), c.kind);
        const Image read = zonara_tool::ReadImage(path);
        EXPECT_EQ(read.kind, c.kind);
        EXPECT_EQ(read.width, 7);
        EXPECT_EQ(read.height, 5);
        EXPECT_EQ(read.channels, c.channels);
        EXPECT_EQ(read.alpha_channel, c.alpha_channel);
        EXPECT_EQ(std::memcmp(read.bytes.data(), written.bytes.data(), SampleCount(written) * SampleBytes(c.kind)), 0);
    }
}

// PAM holds integers: float samples are clamped to 0..1 and rounded to 16
// bits; PFM holds floats: integer codes become 0..1.
TEST(BuiltInImages, KindsAFormatCannotHoldAreConverted) {
    windows_test::ScratchDir dir("convert");
    Image floats = zonara_tool::MakeImage(4, 1, 1, SampleKind::FLOAT32);
    const float values[] = {-1.0f, 0.5f, 2.0f, std::numeric_limits<float>::quiet_NaN()};
    std::memcpy(floats.bytes.data(), values, sizeof values);
    zonara_tool::WriteImage((dir / "f.pam").string(), floats);
    const Image as_pam = zonara_tool::ReadImage((dir / "f.pam").string());
    ASSERT_EQ(as_pam.kind, SampleKind::INT16);
    const auto *codes = as_pam.Samples<std::uint16_t>();
    EXPECT_EQ(std::vector<std::uint16_t>(codes, codes + 4), (std::vector<std::uint16_t>{0, 32768, 65535, 0}));

    Image bytes = zonara_tool::MakeImage(2, 1, 1, SampleKind::INT8);
    bytes.Samples<std::uint8_t>()[1] = 255;
    zonara_tool::WriteImage((dir / "b.pfm").string(), bytes);
    const Image as_pfm = zonara_tool::ReadImage((dir / "b.pfm").string());
    const auto *samples = as_pfm.Samples<float>();
    EXPECT_EQ(samples[0], 0.0f);
    EXPECT_EQ(samples[1], 1.0f);

    // PFM holds no alpha: an RGBA image is written without it.
    const Image rgba = Pattern(4, SampleKind::FLOAT32);
    zonara_tool::WriteImage((dir / "rgba.pfm").string(), rgba);
    const Image as_rgb = zonara_tool::ReadImage((dir / "rgba.pfm").string());
    ASSERT_EQ(as_rgb.channels, 3);
    for (std::size_t pixel = 0; pixel < 7 * 5; ++pixel) {
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(as_rgb.Samples<float>()[pixel * 3 + c], rgba.Samples<float>()[pixel * 4 + c]);
        }
    }
}

TEST(BuiltInImages, ReadsBigEndianPfmBottomRowFirst) {
    windows_test::ScratchDir dir("bigendian");
    // 1x2 grey, scale positive: big-endian; the file's first row is the
    // image's bottom row.
    const std::string bytes = std::string("Pf\n1 2\n1.0\n") + std::string("\x3f\x80\x00\x00", 4) +  // 1.0
                              std::string("\x40\x00\x00\x00", 4);                                   // 2.0
    WriteText(dir / "be.pfm", bytes);
    const Image image = zonara_tool::ReadImage((dir / "be.pfm").string());
    const auto *samples = image.Samples<float>();
    EXPECT_EQ(samples[0], 2.0f);
    EXPECT_EQ(samples[1], 1.0f);
}

// A header that claims alpha without a channel for it (found by fuzzing):
// the image has no alpha rather than one past its last channel.
TEST(BuiltInImages, AlphaNamedWithoutItsChannelIsNoAlpha) {
    windows_test::ScratchDir dir("claimed_alpha");
    WriteText(dir / "rgb.pam", "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\nxyz");
    WriteText(dir / "grey.pam", "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nTUPLTYPE GRAYSCALE_ALPHA\nENDHDR\nx");
    for (const char *name : {"rgb.pam", "grey.pam"}) {
        const Image image = zonara_tool::ReadImage((dir / name).string());
        EXPECT_EQ(image.alpha_channel, -1) << name;
        EXPECT_EQ(static_cast<int>(image.channel_names.size()), image.channels) << name;
    }
}

TEST(BuiltInImages, RefusesDamagedFiles) {
    const std::string pam_header = "P7\nWIDTH 2\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
    const std::vector<std::pair<const char *, std::string>> files = {
        {"empty.pam", ""},
        {"wrong_signature.pam", "P6\n2 2\n255\n" + std::string(12, 'x')},
        {"no_end_of_header.pam", "P7\nWIDTH 2\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\n"},
        {"pixels_cut_short.pam", pam_header + std::string(11, 'x')},
        {"odd_maxval.pam", "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 1023\nENDHDR\nxx"},
        {"unknown_field.pam", "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nCOLOUR red\nENDHDR\nx"},
        {"negative_width.pam", "P7\nWIDTH -4\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nENDHDR\nxxxx"},
        {"width_not_a_number.pam", "P7\nWIDTH 4x\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\nENDHDR\nxxxx"},
        {"huge.pam", "P7\nWIDTH 100000\nHEIGHT 100000\nDEPTH 3\nMAXVAL 255\nENDHDR\n"},
        {"too_many_channels.pam", "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 99\nMAXVAL 255\nENDHDR\n" + std::string(99, 'x')},
        {"pfm_cut_short.pfm", "PF\n2 2\n-1.0\n" + std::string(47, 'x')},
        {"pfm_zero_scale.pfm", "Pf\n1 1\n0\nxxxx"},
        {"pfm_bad_size.pfm", "Pf\n1 1 1\n-1.0\nxxxx"},
        {"pfm_huge.pfm", "PF\n40000 2\n-1.0\n"},
    };
    windows_test::ScratchDir dir("damaged");
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        WriteText(dir / name, bytes);
        try {
            zonara_tool::ReadImage((dir / name).string());
            ADD_FAILURE() << "read a damaged file";
        } catch (const zonara_tool::ToolError &error) {
            EXPECT_EQ(error.exit_status(), zonara_tool::EXIT_USAGE);
        }
    }
}

}  // namespace
