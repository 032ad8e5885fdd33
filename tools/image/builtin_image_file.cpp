#include "tools/image/builtin_image_file.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "tools/base/tool_error.h"

namespace zonara_tool {
namespace {

// Samples are moved between the files' byte orders and memory with plain
// copies and swaps, which holds for the little-endian machines both builds
// target.
static_assert(std::endian::native == std::endian::little);

// A header line longer than this is a damaged or foreign file.
constexpr std::size_t MAX_HEADER_LINE = 256;
// Rows are converted and written this many samples at a time, so writing
// needs no second copy of the frame.
constexpr std::size_t WRITE_CHUNK_SAMPLES = 1 << 16;

// Reads header text line by line from the stream. A line may end in CR LF
// (a header typed or saved on Windows): the CR is dropped and remembered,
// since a whole file converted as text has its pixels changed as well.
class HeaderReader {
public:
    HeaderReader(std::istream &in, const std::string &name) : in_(in), name_(name) {}

    std::string Line() {
        std::string line;
        for (;;) {
            const int c = in_.get();
            if (c == std::char_traits<char>::eof()) {
                Fail("header ends early");
            }
            if (c == '\n') {
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                    windows_line_ends_ = true;
                }
                return line;
            }
            line += static_cast<char>(c);
            if (line.size() > MAX_HEADER_LINE) {
                Fail("header line too long");
            }
        }
    }
    bool windows_line_ends() const { return windows_line_ends_; }
    [[noreturn]] void Fail(const std::string &why) const {
        throw UsageError(name_ + ": not a valid image (" + why + ")");
    }

private:
    std::istream &in_;
    const std::string &name_;
    bool windows_line_ends_ = false;
};

long ParseWhole(const std::string &text, const HeaderReader &header) {
    std::size_t used = 0;
    long value = 0;
    try {
        value = std::stol(text, &used);
    } catch (const std::exception &) {
        header.Fail("'" + text + "' is not a number");
    }
    if (used != text.size()) {
        header.Fail("'" + text + "' is not a whole number");
    }
    return value;
}

// The bytes left in the stream from here; the stream stays where it was.
std::uint64_t BytesLeft(std::istream &in) {
    const std::streampos here = in.tellg();
    in.seekg(0, std::ios::end);
    const std::streampos end = in.tellg();
    in.seekg(here);
    return here < 0 || end < here ? 0 : static_cast<std::uint64_t>(end - here);
}

// Checks that `bytes_needed` remain, then allocates the image and reads them
// into its block.
Image ReadPixelBlock(std::istream &in, const HeaderReader &header, const std::string &name, long width, long height,
                     long channels, SampleKind kind) {
    CheckImageLimits(width, height, channels, name);
    const std::uint64_t bytes_needed = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) *
                                       static_cast<std::uint64_t>(channels) * BytesPerSample(kind);
    const std::uint64_t bytes_left = BytesLeft(in);
    if (bytes_left < bytes_needed) {
        header.Fail("pixel data ends early");
    }
    // Converting a file as text puts a CR before every LF byte, in the
    // pixels too; only when none was added (the data is exactly as long as
    // declared) are the pixels as they were written.
    if (header.windows_line_ends() && bytes_left > bytes_needed) {
        header.Fail("its lines end in CR LF and it is " + std::to_string(bytes_left - bytes_needed) +
                    " bytes longer than its header declares: it was converted as text, which changes its pixels too");
    }
    Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.channels = static_cast<int>(channels);
    image.kind = kind;
    image.stored_format = StoredFormatOf(kind);
    image.bytes.resize(bytes_needed);
    in.read(reinterpret_cast<char *>(image.bytes.data()), static_cast<std::streamsize>(bytes_needed));
    if (static_cast<std::uint64_t>(in.gcount()) != bytes_needed) {
        header.Fail("pixel data ends early");
    }
    return image;
}

// Names the channels R, G, B (or Y) and, when the file says so and has a
// channel for it, A. A header may claim alpha (TUPLTYPE RGB_ALPHA) without
// the channel (DEPTH 3): then there is none.
void NameChannels(Image &image, bool claims_alpha) {
    const int colour = image.channels >= 3 ? 3 : 1;
    const bool has_alpha = claims_alpha && image.channels > colour;
    static const char *const RGB[] = {"R", "G", "B"};
    image.channel_names.clear();
    for (int c = 0; c < image.channels; ++c) {
        if (c < colour) {
            image.channel_names.push_back(colour == 1 ? "Y" : RGB[c]);
        } else if (c == colour && has_alpha) {
            image.channel_names.push_back("A");
        } else {
            image.channel_names.push_back("channel" + std::to_string(c));
        }
    }
    image.alpha_channel = has_alpha ? colour : -1;
}

struct PamHeader {
    long width = 0, height = 0, depth = 0, maxval = 0;
    std::string tupltype;
};

PamHeader ReadPamHeader(HeaderReader &header) {
    if (header.Line() != "P7") {
        header.Fail("no P7 signature");
    }
    PamHeader pam;
    for (;;) {
        const std::string line = header.Line();
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string key, value;
        words >> key;
        std::getline(words >> std::ws, value);
        if (key == "ENDHDR") {
            break;
        }
        if (key == "WIDTH") {
            pam.width = ParseWhole(value, header);
        } else if (key == "HEIGHT") {
            pam.height = ParseWhole(value, header);
        } else if (key == "DEPTH") {
            pam.depth = ParseWhole(value, header);
        } else if (key == "MAXVAL") {
            pam.maxval = ParseWhole(value, header);
        } else if (key == "TUPLTYPE") {
            pam.tupltype = value;
        } else {
            header.Fail("unknown header field " + key);
        }
    }
    // Other maxima would need rescaling, which no longer keeps codes exact.
    if (pam.maxval != 255 && pam.maxval != 65535) {
        header.Fail("MAXVAL must be 255 or 65535");
    }
    return pam;
}

Image DecodePam(std::istream &in, const std::string &name) {
    HeaderReader header(in, name);
    const PamHeader pam = ReadPamHeader(header);
    const bool wide = pam.maxval == 65535;
    Image image =
        ReadPixelBlock(in, header, name, pam.width, pam.height, pam.depth, wide ? SampleKind::INT16 : SampleKind::INT8);
    image.format_name = "pam";
    const bool alpha_named = pam.tupltype.size() > 6 && pam.tupltype.ends_with("_ALPHA");
    NameChannels(image, alpha_named || (pam.tupltype.empty() && (pam.depth == 2 || pam.depth == 4)));
    if (wide) {
        std::uint16_t *samples = image.Samples<std::uint16_t>();
        std::transform(samples, samples + image.SampleCount(), samples, [](std::uint16_t big_endian) {
            return static_cast<std::uint16_t>(big_endian << 8 | big_endian >> 8);
        });
    }
    return image;
}

struct PfmHeader {
    int channels = 0;
    long width = 0, height = 0;
    bool little_endian = true;
};

PfmHeader ReadPfmHeader(HeaderReader &header) {
    PfmHeader pfm;
    const std::string signature = header.Line();
    if (signature == "PF") {
        pfm.channels = 3;
    } else if (signature == "Pf") {
        pfm.channels = 1;
    } else {
        header.Fail("no PF or Pf signature");
    }
    std::istringstream size(header.Line());
    std::string width, height, rest;
    size >> width >> height;
    if (size >> rest) {
        header.Fail("extra text after the size");
    }
    pfm.width = ParseWhole(width, header);
    pfm.height = ParseWhole(height, header);
    const std::string scale_text = header.Line();
    double scale = 0.0;
    try {
        scale = std::stod(scale_text);
    } catch (const std::exception &) {
        header.Fail("scale '" + scale_text + "' is not a number");
    }
    if (!(scale != 0.0) || !std::isfinite(scale)) {
        header.Fail("scale must be a non-zero number");
    }
    pfm.little_endian = scale < 0.0;
    return pfm;
}

Image DecodePfm(std::istream &in, const std::string &name) {
    HeaderReader header(in, name);
    const PfmHeader pfm = ReadPfmHeader(header);
    Image image = ReadPixelBlock(in, header, name, pfm.width, pfm.height, pfm.channels, SampleKind::FLOAT32);
    image.format_name = "pfm";
    NameChannels(image, false);
    // Rows are stored bottom to top.
    const std::size_t row_bytes = image.RowSamples() * 4;
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(image.bytes.begin() + static_cast<std::ptrdiff_t>(top * row_bytes),
                         image.bytes.begin() + static_cast<std::ptrdiff_t>((top + 1) * row_bytes),
                         image.bytes.begin() + static_cast<std::ptrdiff_t>(bottom * row_bytes));
    }
    if (!pfm.little_endian) {
        std::uint32_t *words = reinterpret_cast<std::uint32_t *>(image.bytes.data());
        std::transform(words, words + image.SampleCount(), words, [](std::uint32_t w) {
            return (w >> 24) | ((w >> 8) & 0xFF00u) | ((w << 8) & 0xFF0000u) | (w << 24);
        });
    }
    return image;
}

std::string PamTuplType(int channels) {
    switch (channels) {
    case 1:
        return "GRAYSCALE";
    case 2:
        return "GRAYSCALE_ALPHA";
    case 3:
        return "RGB";
    case 4:
        return "RGB_ALPHA";
    default:
        return "";
    }
}

// Samples [first, first + count) of the image as the file stores them,
// appended to `out`.
void AppendPamSamples(const Image &image, std::size_t first, std::size_t count, std::vector<unsigned char> &out) {
    const auto put16 = [&out](std::uint16_t code) {
        out.push_back(static_cast<unsigned char>(code >> 8));  // big-endian
        out.push_back(static_cast<unsigned char>(code & 0xFF));
    };
    if (image.kind == SampleKind::INT16) {
        const std::uint16_t *in = image.Samples<std::uint16_t>() + first;
        std::for_each(in, in + count, put16);
        return;
    }
    const float *in = image.Samples<float>() + first;
    std::for_each(in, in + count, [&](float v) {
        put16(
            static_cast<std::uint16_t>(std::isnan(v) ? 0.0f : std::floor(std::clamp(v, 0.0f, 1.0f) * 65535.0f + 0.5f)));
    });
}

void WritePam(ByteSink &out, const Image &image) {
    const bool wide = image.kind != SampleKind::INT8;
    std::string header = "P7\nWIDTH " + std::to_string(image.width) + "\nHEIGHT " + std::to_string(image.height) +
                         "\nDEPTH " + std::to_string(image.channels) + "\nMAXVAL " + (wide ? "65535" : "255") + "\n";
    if (const std::string tupltype = PamTuplType(image.channels); !tupltype.empty()) {
        header += "TUPLTYPE " + tupltype + "\n";
    }
    header += "ENDHDR\n";
    out.Write(header.data(), header.size());
    if (!wide) {
        out.Write(image.bytes.data(), image.bytes.size());
        return;
    }
    std::vector<unsigned char> chunk;
    for (std::size_t first = 0; first < image.SampleCount(); first += WRITE_CHUNK_SAMPLES) {
        chunk.clear();
        AppendPamSamples(image, first, std::min(WRITE_CHUNK_SAMPLES, image.SampleCount() - first), chunk);
        out.Write(chunk.data(), chunk.size());
    }
}

// One row of the image as float samples: integer codes on 0..1.
void RowAsFloat(const Image &image, int y, std::vector<float> &row) {
    const std::size_t first = static_cast<std::size_t>(y) * image.RowSamples();
    row.resize(image.RowSamples());
    switch (image.kind) {
    case SampleKind::INT8: {
        const std::uint8_t *in = image.Samples<std::uint8_t>() + first;
        std::transform(in, in + row.size(), row.begin(), [](std::uint8_t code) { return code / 255.0f; });
        return;
    }
    case SampleKind::INT16: {
        const std::uint16_t *in = image.Samples<std::uint16_t>() + first;
        std::transform(in, in + row.size(), row.begin(), [](std::uint16_t code) { return code / 65535.0f; });
        return;
    }
    case SampleKind::FLOAT32:
        break;
    }
    const float *in = image.Samples<float>() + first;
    std::copy(in, in + row.size(), row.begin());
}

void WritePfm(ByteSink &out, const Image &image) {
    const std::string header = std::string(image.channels == 3 ? "PF" : "Pf") + "\n" + std::to_string(image.width) +
                               " " + std::to_string(image.height) + "\n-1.0\n";  // negative scale: little-endian
    out.Write(header.data(), header.size());
    std::vector<float> row;
    for (int y = image.height - 1; y >= 0; --y) {
        RowAsFloat(image, y, row);
        out.Write(row.data(), row.size() * 4);
    }
}

}  // namespace

std::optional<BuiltInFormat> BuiltInFormatOf(const std::string &path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".pam") {
        return BuiltInFormat::kPam;
    }
    if (extension == ".pfm") {
        return BuiltInFormat::kPfm;
    }
    return std::nullopt;
}

bool IsBuiltInImagePath(const std::string &path) { return BuiltInFormatOf(path).has_value(); }

Image DecodeBuiltInImage(BuiltInFormat format, std::istream &in, const std::string &name) {
    return format == BuiltInFormat::kPfm ? DecodePfm(in, name) : DecodePam(in, name);
}

Image ReadBuiltInImage(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw UsageError(path + ": cannot open (" + std::strerror(errno) + ")");
    }
    return DecodeBuiltInImage(BuiltInFormatOf(path).value_or(BuiltInFormat::kPam), in, path);
}

std::optional<SampleKind> PeekBuiltInSampleKind(const std::string &path) {
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        HeaderReader header(in, path);
        if (BuiltInFormatOf(path) == BuiltInFormat::kPfm) {
            ReadPfmHeader(header);
            return SampleKind::FLOAT32;
        }
        return ReadPamHeader(header).maxval == 65535 ? SampleKind::INT16 : SampleKind::INT8;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

std::string BuiltInReadBackFailure(const std::string &written, BuiltInFormat format, const Image &image) {
    std::ifstream in(written, std::ios::binary);
    if (!in) {
        return std::strerror(errno);
    }
    try {
        HeaderReader header(in, written);
        long width = 0;
        long height = 0;
        long channels = 0;
        std::uint64_t sample_bytes = 4;
        if (format == BuiltInFormat::kPfm) {
            const PfmHeader pfm = ReadPfmHeader(header);
            width = pfm.width;
            height = pfm.height;
            channels = pfm.channels;
        } else {
            const PamHeader pam = ReadPamHeader(header);
            width = pam.width;
            height = pam.height;
            channels = pam.depth;
            sample_bytes = pam.maxval == 65535 ? 2 : 1;
        }
        if (width != image.width || height != image.height || channels != image.channels) {
            return "it reads back as " + std::to_string(width) + "x" + std::to_string(height) + " with " +
                   std::to_string(channels) + " channels, not " + std::to_string(image.width) + "x" +
                   std::to_string(image.height) + " with " + std::to_string(image.channels);
        }
        // The samples are stored as they are: all of them there, and
        // nothing after them, is the whole file.
        const std::uint64_t needed = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) *
                                     static_cast<std::uint64_t>(channels) * sample_bytes;
        if (const std::uint64_t left = BytesLeft(in); left != needed) {
            return "it holds " + std::to_string(left) + " bytes of pixels where its header declares " +
                   std::to_string(needed);
        }
    } catch (const ToolError &error) {
        return error.what();
    }
    return {};
}

void WriteBuiltInImage(const std::string &format_path, ByteSink &out, const Image &image) {
    const bool pfm = BuiltInFormatOf(format_path) == BuiltInFormat::kPfm;
    if (pfm && image.channels != 1 && image.channels != 3) {
        throw UsageError(format_path + ": PFM holds grey or RGB, not " + std::to_string(image.channels) +
                         " channels (use .pam)");
    }
    if (pfm) {
        WritePfm(out, image);
    } else {
        WritePam(out, image);
    }
}

}  // namespace zonara_tool
