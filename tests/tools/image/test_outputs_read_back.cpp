// Every output format render writes, from every kind of input it reads, reads
// back: by the image library, and by Pillow (for a format Pillow cannot say,
// oiiotool turns the file into a PNG for it), each checking the size, the
// channels and the colour of each quadrant.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "support/tool_runner.h"

namespace outputs_read_back {

using tool_test::RunTool;
using tool_test::ScratchDir;

// The library's JPEG 2000 writer needs 32 pixels a side. One colour a
// quadrant, RGBA straight: lossy codecs keep a quadrant's middle, a flipped
// file shows.
constexpr int SIDE = 32;
constexpr int PROBES[4][2] = {{8, 8}, {24, 8}, {8, 24}, {24, 24}};
constexpr float COLOURS[4][4] = {{.8f, .4f, .2f, .6f}, {.2f, .6f, 1, .8f}, {.4f, .8f, .6f, 1}, {.6f, .2f, .4f, .4f}};

struct InputKind {
    const char *file;  // p.NNNN.png and t.NNNN.tif: a sequence each
    OIIO::TypeDesc type;
    int colour;  // 1 grey (the first of COLOURS' red), 3 RGB
    bool alpha;
    const char *colour_space = "";  // "" unlabelled; PNG without gAMA is labelled sRGB by the library
};
const InputKind INPUTS[] = {
    {"p.0001.png", OIIO::TypeDesc::UINT8, 3, false},
    {"p.0002.png", OIIO::TypeDesc::UINT8, 3, false, "Gamma1.8"},
    {"p.0003.png", OIIO::TypeDesc::UINT16, 3, false},
    {"p.0004.png", OIIO::TypeDesc::UINT8, 1, false},
    {"p.0005.png", OIIO::TypeDesc::UINT8, 1, true},
    {"p.0006.png", OIIO::TypeDesc::UINT8, 3, true},
    {"p.0007.png", OIIO::TypeDesc::UINT8, 3, false},  // palette, ICC and EXIF: written by Pillow
    {"t.0001.tif", OIIO::TypeDesc::UINT16, 1, false},
    {"t.0002.tif", OIIO::TypeDesc::FLOAT, 3, false},
    {"t.0003.tif", OIIO::TypeDesc::UINT16, 3, true},
    {"t.0004.tif", OIIO::TypeDesc::FLOAT, 1, true},
    {"t.0005.tif", OIIO::TypeDesc::UINT8, 3, false, "sRGB"},  // with EXIF, as the library labels it
};

// An output format and what its file holds, by letters: a holds alpha, m
// colour premultiplied, g no grey (RGB instead), 2 no grey with alpha (RGBA
// instead), r read as RGBA whatever it holds, 1 alpha on (above 0) or off,
// l lossy, h Radiance's shared exponent; p Pillow reads it, x Pillow
// ignores its alpha, w the library's reader multiplies colour by alpha.
struct OutputFormat {
    const char *extension;
    const char *traits;
    bool Has(char trait) const { return std::string(traits).find(trait) != std::string::npos; }
};
void PrintTo(const OutputFormat &format, std::ostream *out) { *out << format.extension; }
const OutputFormat FORMATS[] = {{"png", "ap"},  {"tif", "ap"},     {"jpg", "lp"},   {"exr", "am"},    {"dpx", "am2"},
                                {"tga", "ap"},  {"pam", "ap"},     {"pfm", ""},     {"hdr", "gh"},    {"ppm", "p"},
                                {"sgi", "ap"},  {"webp", "agplw"}, {"bmp", "a2px"}, {"gif", "agrp1"}, {"ico", "arp"},
                                {"jp2", "a2p"}, {"heic", "agl"},   {"avif", "agl"}, {"iff", "ag"},    {"rla", "a"}};

// Channels, then each probe's samples in 0..1.
struct Seen {
    std::string error;
    std::vector<std::vector<float>> probes;
    int channels = 0;
};

Seen Expected(const InputKind &kind, const OutputFormat &format, bool premultiplied) {
    const bool alpha = kind.alpha && format.Has('a');
    const bool rgb = format.Has('r') || format.Has('g') || (alpha && format.Has('2'));
    const int colour = rgb ? 3 : kind.colour;
    Seen seen{"", {}, colour + (alpha || format.Has('r') ? 1 : 0)};
    for (const auto &quadrant : COLOURS) {
        std::vector<float> pixel;
        for (int c = 0; c < seen.channels; ++c) {
            const float a = alpha ? quadrant[3] : 1.0f;
            if (c == colour) {
                pixel.push_back(format.Has('1') ? std::ceil(a) : a);
            } else {
                pixel.push_back(quadrant[std::min(c, kind.colour - 1)] * (premultiplied ? a : 1.0f));
            }
        }
        seen.probes.push_back(pixel);
    }
    return seen;
}

Seen ReadWithLibrary(const std::string &path) {
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    OIIO::ImageBuf buffer(path, 0, 0, nullptr, &config);
    Seen seen{buffer.read(0, 0, true, OIIO::TypeDesc::FLOAT) ? "" : buffer.geterror(), {}, buffer.nchannels()};
    for (const auto &probe : PROBES) {
        seen.probes.emplace_back(static_cast<std::size_t>(seen.channels));
        buffer.getpixel(probe[0], probe[1], seen.probes.back().data(), seen.channels);
    }
    if (tool_test::LayoutOf(buffer).width != SIDE || tool_test::LayoutOf(buffer).height != SIDE) {
        seen.error = "not 32 x 32";
    }
    return seen;
}

// "make" writes the palette input, "psd" a layered Photoshop file; else each file's line: its name and
// "error ...", or its channels and the probes' samples. PAM is read by hand.
const char *PILLOW = R"(import struct, sys
from PIL import Image, ImageCms
if sys.argv[1] == 'make':
    image = Image.new('P', (32, 32))
    image.putpalette([204, 102, 51, 51, 153, 255, 102, 204, 153, 153, 51, 102])
    image.putdata([(y >= 16) * 2 + (x >= 16) for y in range(32) for x in range(32)])
    exif = Image.Exif()
    exif[0x010F] = 'Zonara test camera'
    icc = ImageCms.ImageCmsProfile(ImageCms.createProfile('sRGB')).tobytes()
    image.save(sys.argv[2], icc_profile=icc, exif=exif)
    sys.exit()
if sys.argv[1] == 'psd':  # 4 x 2 RGB: two layers, and the composite (120, 60, 30)
    be = lambda f, *a: struct.pack('>' + f, *a)
    records, data = b'', b''
    for name, rgb, bottom, right in ((b'back', (10, 20, 30), 2, 4), (b'top', (200, 100, 50), 1, 2)):
        records += be('iiiiH', 0, 0, bottom, right, 4)
        for channel, value in zip((-1, 0, 1, 2), (255,) + rgb):
            records += be('hI', channel, 2 + bottom * right)
            data += be('H', 0) + bytes([value]) * (bottom * right)
        pascal = bytes([len(name)]) + name
        extra = be('II', 0, 0) + pascal + bytes(-len(pascal) % 4)
        records += b'8BIMnorm' + bytes([255, 0, 0, 0]) + be('I', len(extra)) + extra
    info = be('h', 2) + records + data
    layers = be('I', len(info)) + info + be('I', 0)
    open(sys.argv[2], 'wb').write(b'8BPS' + be('H', 1) + bytes(6) + be('HIIHHII', 3, 2, 4, 8, 3, 0, 0) +
                                  be('I', len(layers)) + layers + be('H', 0) + bytes([120] * 8 + [60] * 8 + [30] * 8))
    sys.exit()
for path in sys.argv[1:]:
    try:
        if path.endswith('.pam'):
            data = open(path, 'rb').read()
            end = data.index(b'ENDHDR\n') + 7
            f = dict(l.split() for l in data[:end].decode().splitlines()[1:-1])
            w, c, top = int(f['WIDTH']), int(f['DEPTH']), int(f['MAXVAL'])
            n = 2 if top > 255 else 1
            at = lambda i: int.from_bytes(data[end + i * n:end + i * n + n], 'big') / top
            values = [[at((y * w + x) * c + k) for k in range(c)] for x, y in [(8, 8), (24, 8), (8, 24), (24, 24)]]
        else:
            image = Image.open(path)
            if image.size != (32, 32): raise ValueError('not 32 x 32')
            image = image.convert('RGBA') if image.mode == 'P' else image
            top = {'I': 65535, 'I;16': 65535, 'F': 1}.get(image.mode, 255)
            pixel = lambda p: v if isinstance(v := image.getpixel(p), tuple) else (v,)
            values = [[s / top for s in pixel(p)] for p in [(8, 8), (24, 8), (8, 24), (24, 24)]]
        print(path, len(values[0]), ' '.join(repr(s) for v in values for s in v))
    except Exception as e:
        print(path, 'error', str(e).replace('\n', ' '))
)";

std::map<std::string, Seen> ReadWithPillow(const ScratchDir &dir, const std::string &names) {
    tool_test::WriteBytes(dir / "read.py", PILLOW);
    const std::string command = "cd " + tool_test::Quote(dir.path().string()) + " && /usr/bin/python3 read.py " + names;
    std::map<std::string, Seen> seen;
    FILE *pipe = ::popen(command.c_str(), "r");
    std::string out;
    for (char buffer[4096]; std::fgets(buffer, sizeof buffer, pipe) != nullptr;) out += buffer;
    ::pclose(pipe);
    std::istringstream lines(out);
    for (std::string name, first; lines >> name >> first;) {
        Seen &file = seen[name];
        if (first == "error") {
            std::getline(lines, file.error);
            continue;
        }
        file.channels = std::stoi(first);
        for (auto &probe : file.probes = std::vector<std::vector<float>>(4, std::vector<float>(file.channels))) {
            for (float &sample : probe) lines >> sample;
        }
    }
    return seen;
}

void ExpectSame(const Seen &seen, const Seen &expected, float tolerance, const std::string &who) {
    SCOPED_TRACE(who);
    ASSERT_EQ(seen.error, "");
    // Pillow has no 16-bit grey-and-alpha mode: it gives RGBA.
    const bool grey_as_rgba = expected.channels == 2 && seen.channels == 4 && who == "Pillow";
    ASSERT_EQ(seen.channels, grey_as_rgba ? 4 : expected.channels);
    for (std::size_t q = 0; q < 4; ++q) {
        for (int c = 0; c < seen.channels; ++c) {
            EXPECT_NEAR(seen.probes[q][c], expected.probes[q][grey_as_rgba ? c / 3 : c], tolerance)
                << "quadrant " << q << ", channel " << c;
        }
    }
}

std::string InFolder(const ScratchDir &dir, const std::string &command) {
    return "cd " + tool_test::Quote(dir.path().string()) + " && " + command;
}

class OutputsReadBack : public ::testing::TestWithParam<OutputFormat> {};

TEST_P(OutputsReadBack, FromEveryKindOfInput) {
    const OutputFormat &format = GetParam();
    ScratchDir dir;
    for (const InputKind &kind : INPUTS) {
        OIIO::ImageSpec layout(SIDE, SIDE, kind.colour + kind.alpha, OIIO::TypeDesc::FLOAT);
        layout.alpha_channel = kind.alpha ? kind.colour : -1;
        if (*kind.colour_space != '\0') layout.attribute("oiio:ColorSpace", kind.colour_space);
        layout.attribute("Exif:ExposureTime", 0.01f);
        OIIO::ImageBuf quadrants(layout);
        for (int y = 0; y < SIDE; ++y) {
            for (int x = 0; x < SIDE; ++x) {
                const float *colour = COLOURS[(y >= SIDE / 2) * 2 + (x >= SIDE / 2)];
                const float grey[2] = {colour[0], colour[3]};
                const float rgba[4] = {colour[0], colour[1], colour[2], colour[3]};
                quadrants.setpixel(x, y, kind.colour == 1 ? grey : kind.alpha ? rgba : colour, layout.nchannels);
            }
        }
        tool_test::WriteFile(quadrants, dir / kind.file, kind.type);
    }
    tool_test::WriteBytes(dir / "read.py", PILLOW);
    ASSERT_EQ(std::system(InFolder(dir, "/usr/bin/python3 read.py make p.0007.png").c_str()), 0);
    for (const auto &[input, frames] : {std::pair{"p.%04d.png", "1-7"}, std::pair{"t.%04d.tif", "1-5"}}) {
        const std::string output = std::string(input, 1) + "_out.%04d." + format.extension;
        const tool_test::ToolResult result = RunTool(dir, {"render", input, "-o", output, "--frames", frames});
        EXPECT_EQ(result.exit_status, 0) << result.err;
        EXPECT_EQ(result.err.find("alpha channel is dropped") != std::string::npos, !format.Has('a')) << result.err;
    }
    std::string by_pillow, by_oiiotool;
    std::vector<std::pair<std::string, Seen>> outputs;  // in the order of INPUTS
    const std::string extension = format.extension;
    for (const InputKind &kind : INPUTS) {
        const std::string file = kind.file;
        const std::string output = file.substr(0, 1) + "_out" + file.substr(1, 6) + extension;
        outputs.emplace_back(output, Expected(kind, format, false));
        // Pillow has no mode for float RGB or two-channel SGI, and reads a
        // 16-bit JPEG 2000's full code as 0: oiiotool makes those a PNG.
        const int channels = outputs.back().second.channels;
        const bool pillow = format.Has('p') && !(extension == "jp2" && kind.type != OIIO::TypeDesc::UINT8) &&
                            !(extension == "tif" && kind.type == OIIO::TypeDesc::FLOAT && channels > 1) &&
                            !(extension == "sgi" && channels == 2);
        by_pillow += " " + output + (pillow ? "" : ".png");
        // The PNG holds the samples as oiiotool read them: straight where
        // the file holds them so, premultiplied from OpenEXR and DPX.
        if (!pillow) {
            by_oiiotool += " --iconfig oiio:UnassociatedAlpha 1 " + output + " --attrib oiio:UnassociatedAlpha 1 -o " +
                           output + ".png";
            outputs.back().second = Expected(kind, format, format.Has('m'));
        }
    }
    if (!by_oiiotool.empty()) {
        EXPECT_EQ(std::system(InFolder(dir, "oiiotool -d uint8" + by_oiiotool).c_str()), 0);
    }
    const std::map<std::string, Seen> pillow = ReadWithPillow(dir, by_pillow);
    const float tolerance = format.Has('l') ? 0.05f : format.Has('h') ? 0.01f : 1.01f / 255;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto &[output, expected] = outputs[i];
        SCOPED_TRACE(output);
        if (extension != "pam") {  // the tool's own format
            ExpectSame(ReadWithLibrary(dir / output), Expected(INPUTS[i], format, format.Has('m') || format.Has('w')),
                       tolerance, "the image library");
        }
        const auto seen = pillow.count(output) != 0 ? pillow.find(output) : pillow.find(output + ".png");
        ASSERT_NE(seen, pillow.end());
        Seen shown = expected;
        if (format.Has('x') && shown.channels == 4) shown.channels = 3;  // 32-bit BMP alpha as padding
        ExpectSame(seen->second, shown, tolerance, "Pillow");
    }
}

// The library's JPEG 2000 writer reports success for a picture under 32
// pixels a side and leaves a file no reader takes: removed, the reader's
// reason said, exit 1, the earlier file kept.
TEST(OutputReadBack, AFileThatDoesNotReadBackIsRemovedAndSaid) {
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(16, 16, 3, OIIO::TypeDesc::UINT8), dir / "small.png",
                         OIIO::TypeDesc::UINT8);
    tool_test::WriteBytes(dir / "small.jp2", "an earlier result");
    const tool_test::ToolResult result = RunTool(dir, {"render", "small.png", "-o", "small.jp2"});
    if (result.exit_status == 0) GTEST_SKIP() << "this image library writes small JPEG 2000 files that read back";
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err.rfind("zonara: cannot write small.jp2: the written file does not read back (", 0), 0u)
        << result.err;
    EXPECT_EQ(result.err.substr(result.err.size() - 18), "); it was removed\n") << result.err;
    EXPECT_EQ(tool_test::ReadBytes(dir / "small.jp2"), "an earlier result");
    EXPECT_EQ(dir.Files(), (std::vector<std::string>{"small.jp2", "small.png"}));
}

// Float values an output cannot hold: one warning naming the file, the
// count and the range; none where the format holds them.
TEST(OutputRange, ValuesOutsideWhatTheFormatHoldsAreSaid) {
    ScratchDir dir;
    std::vector<float> samples(48, 0.5f);  // 16 x 1 RGB: three above 1, two below 0
    samples[0] = 1.5f, samples[4] = 2.0f, samples[8] = 3.5f, samples[13] = -0.25f, samples[20] = -0.5f;
    OIIO::ImageBuf wide(OIIO::ImageSpec(16, 1, 3, OIIO::TypeDesc::FLOAT), samples.data());
    tool_test::WriteFile(wide, dir / "wide.tif", OIIO::TypeDesc::FLOAT);
    for (const auto &[output, said] : std::map<std::string, std::string>{
             {"out.png", "5 of the image's 48 samples lie outside 0..1, the range the png file holds"},
             {"out.pam", "5 of the image's 48 samples lie outside 0..1, the range the pam file holds"},
             {"out.hdr", "2 of the image's 48 samples lie below 0, which the hdr file cannot hold"},
             {"out.exr", ""}}) {
        const tool_test::ToolResult result = RunTool(
            dir, {"render", "wide.tif", "-o", output, "--set", "clamp_in_black=off", "--set", "clamp_out_black=off"});
        EXPECT_EQ(result.exit_status, 0) << result.err;
        // Before the closing line that says what was written.
        const std::string warnings = result.err.substr(0, result.err.find("zonara: wrote " + output));
        EXPECT_EQ(warnings, said.empty() ? ""
                                         : "zonara: warning: " + output + ": " + said +
                                               " (the samples reach from -0.5 to 3.5): they are clipped to "
                                               "it; a float format keeps them (.exr, .tif, .pfm)\n");
    }
}

// A layered Photoshop file is graded as its composite, its first image.
TEST(MultiImageInputs, ALayeredPhotoshopFileIsItsComposite) {
    ScratchDir dir;
    tool_test::WriteBytes(dir / "read.py", PILLOW);
    ASSERT_EQ(std::system(InFolder(dir, "/usr/bin/python3 read.py psd layered.psd").c_str()), 0);
    const tool_test::ToolResult result = RunTool(dir, {"render", "layered.psd", "-o", "graded.png"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const OIIO::ImageBuf graded = tool_test::ReadFile(dir / "graded.png", OIIO::TypeDesc::UINT8);
    ASSERT_EQ(tool_test::LayoutOf(graded).width, 4);
    float pixel[3];
    graded.getpixel(3, 1, pixel, 3);
    EXPECT_EQ(
        std::vector<long>({std::lround(pixel[0] * 255), std::lround(pixel[1] * 255), std::lround(pixel[2] * 255)}),
        (std::vector<long>{120, 60, 30}));
}

INSTANTIATE_TEST_SUITE_P(Formats, OutputsReadBack, ::testing::ValuesIn(FORMATS),
                         [](const ::testing::TestParamInfo<OutputFormat> &info) { return info.param.extension; });

}  // namespace outputs_read_back
