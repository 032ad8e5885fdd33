// zonara render on inputs that must not be taken at their word: files cut
// short (DPX of every depth, which the image library reads as black or
// garbage rows, Cineon and binary PNM), headers declaring huge frames
// (refused quickly, with the peak memory of the run checked), tiled files
// read a band at a time alike plain ones, PAM and PFM saved with Windows
// line ends, and folders given as inputs. Every refusal is exit status 2
// with a message saying why, and leaves the folder as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/tool_runner.h"

extern char **environ;

namespace {

using tool_test::RunTool;
using tool_test::ScratchDir;

using tool_test::ReadBytes;
using tool_test::WriteBytes;

template <class Value>
std::string LittleEndian(Value value) {
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);  // the machines the tests run on are little-endian
    return bytes;
}

// ---------------------------------------------------------------------------
// Files cut short, of the formats whose library reader does not notice: DPX,
// Cineon and binary PNM. Each is first rendered whole (accepted), then cut: the cut
// file is refused saying it is shorter than its header declares, and the
// output the whole file gave stays as it was.

struct RawFormat {
    const char *name;
    const char *extension;
    OIIO::TypeDesc stored;
    int bits;  // 0: the type's own
    bool big_endian;
    std::string (*made_by_hand)() = nullptr;  // for a format the library only reads
};

template <class Value>
std::string BigEndian(Value value) {
    std::string bytes = LittleEndian(value);
    return std::string(bytes.rbegin(), bytes.rend());
}

// A 10-bit RGB Cineon file of 37 x 20 pixels, three samples to a 32-bit
// word (packing 5), its 2048-byte header holding what a reader needs.
std::string CineonFile() {
    constexpr std::uint32_t WIDTH = 37, HEIGHT = 20, WORDS = (WIDTH * 3 + 2) / 3;
    std::string header(2048, '\0');
    const auto put = [&header](std::size_t at, const std::string &bytes) { header.replace(at, bytes.size(), bytes); };
    put(0, BigEndian(std::uint32_t{0x802A5FD7}));
    put(4, BigEndian(std::uint32_t{2048}));  // image data offset
    put(8, BigEndian(std::uint32_t{1024}));  // generic and industry header lengths
    put(12, BigEndian(std::uint32_t{1024}));
    put(20, BigEndian(std::uint32_t{2048 + WORDS * 4 * HEIGHT}));
    put(24, "V4.5");
    header[193] = 3;  // channels
    for (std::size_t c = 0; c < 3; ++c) {
        const std::size_t at = 196 + 28 * c;
        header[at + 1] = static_cast<char>(c + 1);  // red, green, blue
        header[at + 2] = 10;                        // bits
        put(at + 4, BigEndian(WIDTH) + BigEndian(HEIGHT));
        put(at + 12, BigEndian(0.0f) + BigEndian(0.0f) + BigEndian(1023.0f) + BigEndian(2.046f));
    }
    header[681] = 5;  // packing
    std::string pixels;
    for (std::uint32_t y = 0; y < HEIGHT; ++y) {
        for (std::uint32_t w = 0; w < WORDS; ++w) {
            const std::uint32_t code = (y * 37 + w * 11) % 1024;
            pixels += BigEndian(code << 22 | code << 12 | code << 2);
        }
    }
    return header + pixels;
}

struct Cut {
    const char *name;
    std::size_t (*kept)(std::size_t size);  // the bytes left of `size`
};

class TruncatedFile : public ::testing::TestWithParam<std::tuple<RawFormat, Cut>> {};

TEST_P(TruncatedFile, RefusedSayingItIsShorterThanDeclared) {
    const auto &[format, cut] = GetParam();
    const std::string whole_name = std::string("whole.") + format.extension;
    const std::string cut_name = std::string("cut.") + format.extension;
    ScratchDir dir;
    // 37 RGB pixels a row: no depth's row is a whole number of 32-bit words.
    if (format.made_by_hand != nullptr) {
        WriteBytes(dir / whole_name, format.made_by_hand());
    } else {
        const OIIO::ImageBuf pattern = tool_test::MakePattern(37, 20, 3, format.stored);
        auto out = OIIO::ImageOutput::create(whole_name);
        OIIO::ImageSpec layout = tool_test::LayoutOf(pattern);
        layout.set_format(format.stored);
        if (format.bits != 0) layout.attribute("oiio:BitsPerSample", format.bits);
        if (format.big_endian) layout.attribute("oiio:Endian", "big");
        ASSERT_TRUE(out->open(dir / whole_name, layout));
        ASSERT_TRUE(out->write_image(tool_test::LayoutOf(pattern).format, pattern.localpixels()));
        ASSERT_TRUE(out->close());
    }
    const std::string whole = ReadBytes(dir / whole_name);
    if (std::string(format.extension) == "dpx") {
        ASSERT_EQ(whole.substr(0, 4), format.big_endian ? "SDPX" : "XPDS");
    }

    ASSERT_EQ(RunTool(dir, {"render", whole_name, "-o", "out.png"}).exit_status, 0);
    const std::string earlier = ReadBytes(dir / "out.png");
    WriteBytes(dir / cut_name, whole.substr(0, cut.kept(whole.size())));

    const tool_test::ToolResult result = RunTool(dir, {"render", cut_name, "-o", "out.png"});
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_NE(result.err.find(cut_name + ": the file is shorter than its header declares"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("()"), std::string::npos) << result.err;
    EXPECT_EQ(dir.Files(), (std::vector<std::string>{cut_name, "out.png", whole_name}));
    EXPECT_EQ(ReadBytes(dir / "out.png"), earlier);
}

INSTANTIATE_TEST_SUITE_P(
    FormatsAndCuts, TruncatedFile,
    ::testing::Combine(::testing::Values(RawFormat{"dpx_8", "dpx", OIIO::TypeDesc::UINT8, 0, false},
                                         RawFormat{"dpx_10", "dpx", OIIO::TypeDesc::UINT16, 10, false},
                                         RawFormat{"dpx_10_big_endian", "dpx", OIIO::TypeDesc::UINT16, 10, true},
                                         RawFormat{"dpx_12", "dpx", OIIO::TypeDesc::UINT16, 12, false},
                                         RawFormat{"dpx_16", "dpx", OIIO::TypeDesc::UINT16, 0, false},
                                         RawFormat{"dpx_float", "dpx", OIIO::TypeDesc::FLOAT, 0, false},
                                         RawFormat{"ppm_8", "ppm", OIIO::TypeDesc::UINT8, 0, false},
                                         RawFormat{"ppm_16", "ppm", OIIO::TypeDesc::UINT16, 0, false},
                                         RawFormat{"cineon_10", "cin", OIIO::TypeDesc::UINT16, 10, true, CineonFile}),
                       // Every row at every depth above is longer than 100 bytes: the
                       // second cut leaves part of the last row.
                       ::testing::Values(Cut{"last_byte", [](std::size_t size) { return size - 1; }},
                                         Cut{"inside_the_last_row", [](std::size_t size) { return size - 100; }},
                                         Cut{"half", [](std::size_t size) { return size / 2; }})),
    [](const ::testing::TestParamInfo<std::tuple<RawFormat, Cut>> &info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

// ---------------------------------------------------------------------------
// Every format the tool reads, cut to 60% of its bytes: whatever its reader
// makes of the rest (an error, grey rows, a blurred progressive JPEG), the
// file is refused, named, and the earlier output stays as it was.

struct WrittenFormat {
    const char *name;
    const char *extension;
    OIIO::TypeDesc stored;
    int channels;
    std::vector<std::pair<std::string, std::string>> attributes;  // as the writer takes them
    int tile = 0;                                                 // the side of square tiles; 0: scanlines
    bool by_the_tool = false;                                     // a format only the tool writes (PAM, PFM): the chart
};

class CutFile : public ::testing::TestWithParam<WrittenFormat> {};

TEST_P(CutFile, IsRefusedWhateverItsReaderMakesOfIt) {
    const WrittenFormat &format = GetParam();
    const std::string whole_name = std::string("whole.") + format.extension;
    const std::string cut_name = std::string("cut.") + format.extension;
    ScratchDir dir;
    if (format.by_the_tool) {
        ASSERT_EQ(RunTool(dir, {"render", "-o", whole_name, "--set", "width=300"}).exit_status, 0);
    } else {
        const OIIO::ImageBuf pattern = tool_test::MakePattern(96, 64, format.channels, OIIO::TypeDesc::FLOAT);
        OIIO::ImageSpec layout = tool_test::LayoutOf(pattern);
        layout.set_format(format.stored);
        for (const auto &[name, value] : format.attributes) {
            if (std::all_of(value.begin(), value.end(), [](char c) { return std::isdigit(c) != 0; })) {
                layout.attribute(name, std::stoi(value));
            } else {
                layout.attribute(name, value);
            }
        }
        layout.tile_width = layout.tile_height = format.tile;
        auto out = OIIO::ImageOutput::create(whole_name);
        ASSERT_TRUE(out && out->open(dir / whole_name, layout)) << OIIO::geterror();
        ASSERT_TRUE(out->write_image(OIIO::TypeDesc::FLOAT, pattern.localpixels()) && out->close()) << out->geterror();
        out.reset();
    }

    const tool_test::ToolResult whole_result = RunTool(dir, {"render", whole_name, "-o", "out.pam"});
    ASSERT_EQ(whole_result.exit_status, 0) << whole_result.err;
    const std::string earlier = ReadBytes(dir / "out.pam");
    const std::string whole = ReadBytes(dir / whole_name);
    WriteBytes(dir / cut_name, whole.substr(0, whole.size() * 6 / 10));

    const tool_test::ToolResult result = RunTool(dir, {"render", cut_name, "-o", "out.pam"});
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_NE(result.err.find(cut_name + ": "), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("()"), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << "one line: " << result.err;
    EXPECT_EQ(ReadBytes(dir / "out.pam"), earlier);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CutFile,
    ::testing::Values(WrittenFormat{"png", "png", OIIO::TypeDesc::UINT8, 4, {}},
                      WrittenFormat{"png_16", "png", OIIO::TypeDesc::UINT16, 3, {}},
                      WrittenFormat{"tiff", "tif", OIIO::TypeDesc::UINT8, 3, {{"compression", "none"}}},
                      WrittenFormat{"tiff_zip", "tif", OIIO::TypeDesc::UINT16, 4, {{"compression", "zip"}}},
                      WrittenFormat{"tiff_tiled", "tif", OIIO::TypeDesc::FLOAT, 3, {}, 32},
                      WrittenFormat{"jpeg", "jpg", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"jpeg_progressive", "jpg", OIIO::TypeDesc::UINT8, 3, {{"jpeg:progressive", "1"}}},
                      WrittenFormat{"openexr_zip", "exr", OIIO::TypeDesc::HALF, 4, {}},
                      WrittenFormat{"openexr_none", "exr", OIIO::TypeDesc::FLOAT, 3, {{"compression", "none"}}},
                      WrittenFormat{"openexr_tiled_piz", "exr", OIIO::TypeDesc::HALF, 3, {{"compression", "piz"}}, 32},
                      WrittenFormat{"dpx", "dpx", OIIO::TypeDesc::UINT16, 3, {}},
                      WrittenFormat{"bmp", "bmp", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"targa", "tga", OIIO::TypeDesc::UINT8, 4, {}},
                      WrittenFormat{"targa_rle", "tga", OIIO::TypeDesc::UINT8, 3, {{"compression", "rle"}}},
                      WrittenFormat{"sgi", "sgi", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"sgi_rle", "sgi", OIIO::TypeDesc::UINT16, 3, {{"compression", "rle"}}},
                      WrittenFormat{"hdr", "hdr", OIIO::TypeDesc::FLOAT, 3, {}},
                      WrittenFormat{"webp", "webp", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"gif", "gif", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"ico", "ico", OIIO::TypeDesc::UINT8, 4, {}},
                      WrittenFormat{"iff", "iff", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"rla", "rla", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"fits", "fits", OIIO::TypeDesc::FLOAT, 3, {}},
                      WrittenFormat{"heif", "heic", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"avif", "avif", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"pnm", "ppm", OIIO::TypeDesc::UINT8, 3, {}},
                      WrittenFormat{"pam", "pam", OIIO::TypeDesc::UINT8, 4, {}, 0, true},
                      WrittenFormat{"pfm", "pfm", OIIO::TypeDesc::FLOAT, 3, {}, 0, true}),
    [](const ::testing::TestParamInfo<WrittenFormat> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Header bombs: small files declaring frames of gigabytes. Refused within
// seconds, the run's peak resident memory staying near a run on a tiny
// valid image, nothing written.

struct MeasuredRun {
    int exit_status = -1;
    std::string err;
    long peak_kb = 0;
    double seconds = 0.0;
};

// Runs `zonara ARGS...` in `dir` as its own child, so that the peak resident
// size wait4 reports is the tool's alone.
MeasuredRun RunMeasured(const ScratchDir &dir, const std::vector<std::string> &tool_args) {
    std::vector<std::string> args = {ZONARA_TOOL_PATH};
    args.insert(args.end(), tool_args.begin(), tool_args.end());
    std::vector<char *> argv;
    for (std::string &arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string err_path = dir / ".stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
    MeasuredRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, ZONARA_TOOL_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
            run.exit_status = WEXITSTATUS(status);
        }
        run.peak_kb = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.err = tool_test::ReadText(err_path);
    std::filesystem::remove(err_path);
    return run;
}

// The peak of a run that reads a tiny image: what loading the tool, the
// effect and the image library costs, before any frame.
long BaselinePeakKb() {
    static const long baseline = [] {
        ScratchDir dir;
        WriteBytes(dir / "tiny.pam", "P7\nWIDTH 2\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\nENDHDR\n" + std::string(12, '\x40'));
        return RunMeasured(dir, {"render", "tiny.pam", "-o", "tiny-out.pam"}).peak_kb;
    }();
    return baseline;
}

// Above the baseline a refused file may cost this much: far below any of the
// frames the bombs declare (1 to 8 GB).
constexpr long MAX_EXTRA_KB = 64 * 1024;
constexpr double MAX_SECONDS = 10.0;
// The bombs' declared frame: at the tool's pixel limit (2^28 pixels).
constexpr int HUGE_SIDE = 16384;

// Overwrites the value of the header attribute `name` of type `type` in an
// OpenEXR file's bytes (name, type, 4-byte size, then the value).
void PatchExrAttribute(std::string &bytes, const std::string &name, const std::string &type, const std::string &value) {
    const std::string key = name + '\0' + type + '\0';
    const std::size_t at = bytes.find(key);
    if (at == std::string::npos) throw std::runtime_error("no " + name + " attribute");
    bytes.replace(at + key.size() + 4, value.size(), value);
}

std::string Box(int width, int height) {
    return LittleEndian(std::int32_t{0}) + LittleEndian(std::int32_t{0}) + LittleEndian(std::int32_t{width - 1}) +
           LittleEndian(std::int32_t{height - 1});
}

// A small valid OpenEXR (tiled with `tile` a side, or scanlines when 0),
// then declared HUGE_SIDE a side (and `declared_tile` a tile), padded with
// zeros to 23 KB: its chunk table then says the chunks are missing.
std::string ExrBomb(const ScratchDir &dir, int tile, std::uint32_t declared_tile) {
    const std::string path = dir / "small.exr";
    OIIO::ImageSpec layout(64, 64, 4, OIIO::TypeDesc::HALF);
    layout.attribute("compression", "zip");
    layout.tile_width = tile;
    layout.tile_height = tile;
    const OIIO::ImageBuf pattern = tool_test::MakePattern(64, 64, 4, OIIO::TypeDesc::FLOAT);
    auto out = OIIO::ImageOutput::create(path);
    if (!out || !out->open(path, layout) || !out->write_image(OIIO::TypeDesc::FLOAT, pattern.localpixels()) ||
        !out->close()) {
        throw std::runtime_error("cannot write " + path);
    }
    std::string bytes = ReadBytes(path);
    std::filesystem::remove(path);
    PatchExrAttribute(bytes, "dataWindow", "box2i", Box(HUGE_SIDE, HUGE_SIDE));
    PatchExrAttribute(bytes, "displayWindow", "box2i", Box(HUGE_SIDE, HUGE_SIDE));
    if (tile != 0) {
        PatchExrAttribute(bytes, "tiles", "tiledesc",
                          LittleEndian(declared_tile) + LittleEndian(declared_tile) + std::string(1, '\0'));
    }
    bytes.resize(23 * 1024, '\0');
    return bytes;
}

struct HeaderBomb {
    const char *name;
    const char *file_name;
    std::string (*bytes)(const ScratchDir &dir);
    const char *message;  // part of what stderr must say
};

class HeaderBombs : public ::testing::TestWithParam<HeaderBomb> {};

TEST_P(HeaderBombs, RefusedQuicklyWithLittleMemory) {
    const HeaderBomb &c = GetParam();
    const long baseline_kb = BaselinePeakKb();
    ASSERT_GT(baseline_kb, 0);
    ScratchDir dir;
    WriteBytes(dir / c.file_name, c.bytes(dir));

    const MeasuredRun run = RunMeasured(dir, {"render", c.file_name, "-o", "out.png"});
    EXPECT_EQ(run.exit_status, 2) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
#if !defined(ZONARA_SANITIZED_BUILD)
    // The address sanitizer's allocator maps shadow memory and quarantines
    // every block it hands out, so under it neither figure says anything
    // about the tool; the optimised build measures them.
    EXPECT_LT(run.peak_kb, baseline_kb + MAX_EXTRA_KB) << "baseline " << baseline_kb << " KB";
    EXPECT_LT(run.seconds, MAX_SECONDS);
#endif
    EXPECT_EQ(dir.Files(), std::vector<std::string>{c.file_name});
}

INSTANTIATE_TEST_SUITE_P(
    Files, HeaderBombs,
    ::testing::Values(
        // 59 bytes declaring 16384 x 16384 pixels of 16 channels of 16 bits.
        HeaderBomb{"pam_of_8_gigabytes", "bomb.pam",
                   [](const ScratchDir &) {
                       return std::string("P7\nWIDTH 16384\nHEIGHT 16384\nDEPTH 16\nMAXVAL 65535\nENDHDR\n");
                   },
                   "pixel data ends early"},
        HeaderBomb{"pfm_of_3_gigabytes", "bomb.pfm",
                   [](const ScratchDir &) { return std::string("PF\n16384 16384\n-1.0\n") + std::string(64, '\0'); },
                   "pixel data ends early"},
        HeaderBomb{"exr_scanlines_missing", "bomb.exr", [](const ScratchDir &d) { return ExrBomb(d, 0, 0); },
                   "bomb.exr: cannot read"},
        HeaderBomb{"exr_tiles_missing", "bomb.exr", [](const ScratchDir &d) { return ExrBomb(d, 64, 1024); },
                   "cannot read the pixels"},
        // One tile of 8192 x 8192 RGBA would take 1 GB to decode.
        HeaderBomb{"exr_tiles_of_a_gigabyte", "bomb.exr", [](const ScratchDir &d) { return ExrBomb(d, 64, 8192); },
                   "MB each to decode"},
        HeaderBomb{"dpx_declaring_16384_a_side", "bomb.dpx",
                   [](const ScratchDir &d) {
                       tool_test::WriteFile(tool_test::MakePattern(37, 10, 3, OIIO::TypeDesc::UINT16), d / "small.dpx",
                                            OIIO::TypeDesc::UINT16, 10);
                       std::string bytes = ReadBytes(d / "small.dpx");
                       std::filesystem::remove(d / "small.dpx");
                       const std::string side = LittleEndian(std::uint32_t{HUGE_SIDE});
                       bytes.replace(772, 4, side);  // pixels per line
                       bytes.replace(776, 4, side);  // lines
                       return bytes;
                   },
                   "shorter than its header declares"}),
    [](const ::testing::TestParamInfo<HeaderBomb> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Read a band at a time: tiled and stripped files of several bands (partial
// tiles at the right and bottom, several calls a band) give exactly what the
// same picture stored as plain scanlines gives.

struct StoredLayout {
    const char *name;
    const char *file_name;
    int tile;  // 0: scanlines or strips
};

class BandedRead : public ::testing::TestWithParam<StoredLayout> {};

TEST_P(BandedRead, SameAsScanlines) {
    const StoredLayout &c = GetParam();
    ScratchDir dir;
    // Float RGBA rows of 33 KB: about 500 rows make a band, so 600 rows are
    // read in several; 512-pixel tiles (4 MB) are read four at a time.
    const OIIO::ImageBuf pattern = tool_test::MakePattern(2100, 600, 4, OIIO::TypeDesc::FLOAT);
    tool_test::WriteFile(pattern, dir / "plain.exr", OIIO::TypeDesc::FLOAT);
    OIIO::ImageSpec layout = tool_test::LayoutOf(pattern);
    layout.tile_width = c.tile;
    layout.tile_height = c.tile;
    // Premultiplied, as the OpenEXR file is, so both go through the same
    // conversion to the straight alpha PAM holds.
    auto out = OIIO::ImageOutput::create(c.file_name);
    ASSERT_TRUE(out->open(dir / c.file_name, layout)) << out->geterror();
    ASSERT_TRUE(out->write_image(OIIO::TypeDesc::FLOAT, pattern.localpixels()));
    ASSERT_TRUE(out->close());
    if (c.tile != 0) {
        ASSERT_EQ(tool_test::LayoutOf(*OIIO::ImageInput::open(dir / c.file_name)).tile_width, c.tile);
    }

    ASSERT_EQ(RunTool(dir, {"render", "plain.exr", "-o", "plain-out.pam"}).exit_status, 0);
    const tool_test::ToolResult result = RunTool(dir, {"render", c.file_name, "-o", "out.pam"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(ReadBytes(dir / "out.pam"), ReadBytes(dir / "plain-out.pam"));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, BandedRead,
    ::testing::Values(StoredLayout{"exr_tiles_512", "in.exr", 512}, StoredLayout{"exr_tiles_64", "in.exr", 64},
                      StoredLayout{"tiff_tiles_256", "in.tif", 256}, StoredLayout{"tiff_strips", "in.tif", 0}),
    [](const ::testing::TestParamInfo<StoredLayout> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Windows line ends. A header saved with CR LF is read as the same file with
// LF; a whole file converted as text (a CR before every LF byte, in the
// pixels too) is refused, since its pixels are no longer the ones written.

// Replaces every LF with CR LF, as a text conversion does.
std::string WithCrLf(const std::string &bytes) {
    std::string converted;
    for (const char c : bytes) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

const std::string PAM_HEADER = "P7\nWIDTH 3\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
// 18 samples, none of them an LF byte.
const std::string PAM_PIXELS = "ABCDEFGHIJKLMNOPQR";
// Little-endian floats 0.25, 0.5, 0.75 for each of two pixels: no LF byte.
const std::string PFM_FILE = "PF\n2 1\n-1.0\n" + LittleEndian(0.25f) + LittleEndian(0.5f) + LittleEndian(0.75f) +
                             LittleEndian(0.25f) + LittleEndian(0.5f) + LittleEndian(0.75f);

struct LineEnds {
    const char *name;
    const char *file_name;
    std::string lf_file;   // the file as written
    std::string as_given;  // what the tool is handed
    const char *refusal;   // nullptr: read as `lf_file` is
};

class WindowsLineEnds : public ::testing::TestWithParam<LineEnds> {};

TEST_P(WindowsLineEnds, HeaderAcceptedConvertedPixelsRefused) {
    const LineEnds &c = GetParam();
    ScratchDir dir;
    const std::string lf_name = std::string("lf-") + c.file_name;
    WriteBytes(dir / lf_name, c.lf_file);
    WriteBytes(dir / c.file_name, c.as_given);
    ASSERT_EQ(RunTool(dir, {"render", lf_name, "-o", "lf-out.pam"}).exit_status, 0);

    const tool_test::ToolResult result = RunTool(dir, {"render", c.file_name, "-o", "out.pam"});
    if (c.refusal == nullptr) {
        ASSERT_EQ(result.exit_status, 0) << result.err;
        EXPECT_EQ(ReadBytes(dir / "out.pam"), ReadBytes(dir / "lf-out.pam"));
        return;
    }
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_NE(result.err.find(c.refusal), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pam"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, WindowsLineEnds,
    ::testing::Values(LineEnds{"pam_header", "in.pam", PAM_HEADER + PAM_PIXELS, WithCrLf(PAM_HEADER) + PAM_PIXELS,
                               nullptr},
                      LineEnds{"pam_header_with_comment", "in.pam", PAM_HEADER + PAM_PIXELS,
                               WithCrLf("P7\n# saved on Windows\n" + PAM_HEADER.substr(3)) + PAM_PIXELS, nullptr},
                      LineEnds{"pfm_header", "in.pfm", PFM_FILE, WithCrLf(PFM_FILE), nullptr},
                      LineEnds{"pam_converted_as_text", "in.pam", PAM_HEADER + "AB\nDEF\nHIJ\nLMNOPQR",
                               WithCrLf(PAM_HEADER + "AB\nDEF\nHIJ\nLMNOPQR"), "converted as text"}),
    [](const ::testing::TestParamInfo<LineEnds> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// What the input names when it is not an image file.

struct NotAFile {
    const char *name;
    void (*prepare)(const ScratchDir &dir);
    std::vector<std::string> args;
    const char *message;
};

class InputNotAFile : public ::testing::TestWithParam<NotAFile> {};

TEST_P(InputNotAFile, NamedForWhatItIs) {
    const NotAFile &c = GetParam();
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(8, 4, 3, OIIO::TypeDesc::UINT8), dir / "in.0001.png",
                         OIIO::TypeDesc::UINT8);
    c.prepare(dir);
    const std::vector<std::string> before = dir.Files();

    const tool_test::ToolResult result = RunTool(dir, c.args);
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    std::vector<std::string> after = dir.Files();
    // A sequence writes the frames it can.
    std::erase(after, "out.0001.png");
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputNotAFile,
    ::testing::Values(NotAFile{"folder",
                               [](const ScratchDir &d) { std::filesystem::create_directory(d / "plates"); },
                               {"render", "plates", "-o", "out.png"},
                               "plates: is a folder, not an image file"},
                      NotAFile{"folder_named_as_an_image",
                               [](const ScratchDir &d) { std::filesystem::create_directory(d / "in.png"); },
                               {"render", "in.png", "-o", "out.png"},
                               "in.png: is a folder"},
                      NotAFile{"folder_as_a_sequence_frame",
                               [](const ScratchDir &d) { std::filesystem::create_directory(d / "in.0002.png"); },
                               {"render", "in.%04d.png", "-o", "out.%04d.png", "--frames", "1-2"},
                               "in.0002.png: is a folder"},
                      NotAFile{"missing",
                               [](const ScratchDir &) {},
                               {"render", "gone.png", "-o", "out.png"},
                               "gone.png: no such file"},
                      NotAFile{"pipe",
                               [](const ScratchDir &d) { ASSERT_EQ(mkfifo((d / "pipe.png").c_str(), 0600), 0); },
                               {"render", "pipe.png", "-o", "out.png"},
                               "pipe.png: not a regular file"}),
    [](const ::testing::TestParamInfo<NotAFile> &info) { return std::string(info.param.name); });

}  // namespace
