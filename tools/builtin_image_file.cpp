#include "tools/builtin_image_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "tools/image_layout.h"
#include "tools/tool_error.h"

namespace zonara_tool {
namespace {

enum class BuiltInFormat { kPam, kPfm };

std::optional<BuiltInFormat> FormatOf(const std::string &path) {
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

std::vector<unsigned char> ReadWholeFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw UsageError(path + ": cannot open");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads header text token by token; `position` ends just past the last
// character taken.
class HeaderReader {
public:
    HeaderReader(const std::vector<unsigned char> &bytes, const std::string &path) : bytes_(bytes), path_(path) {}

    std::string Line() {
        std::string line;
        while (position_ < bytes_.size() && bytes_[position_] != '\n') {
            line += static_cast<char>(bytes_[position_++]);
            if (line.size() > 256) {
                Fail("header line too long");
            }
        }
        if (position_ == bytes_.size()) {
            Fail("header ends early");
        }
        ++position_;
        return line;
    }
    [[noreturn]] void Fail(const std::string &why) const { throw UsageError(path_ + ": not a valid image (" + why + ")"); }
    std::size_t position() const { return position_; }

private:
    const std::vector<unsigned char> &bytes_;
    const std::string &path_;
    std::size_t position_ = 0;
};

long ParseWhole(const std::string &text, HeaderReader &header) {
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

void NameChannels(Image &image, bool has_alpha) {
    OIIO::ImageSpec &layout = image.pixels.specmod();
    const int colour = layout.nchannels >= 3 ? 3 : 1;
    static const char *const RGB[] = {"R", "G", "B"};
    layout.channelnames.clear();
    for (int c = 0; c < layout.nchannels; ++c) {
        if (c < colour) {
            layout.channelnames.push_back(colour == 1 ? "Y" : RGB[c]);
        } else if (c == colour && has_alpha) {
            layout.channelnames.push_back("A");
        } else {
            layout.channelnames.push_back("channel" + std::to_string(c));
        }
    }
    layout.alpha_channel = has_alpha ? colour : -1;
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

Image ReadPam(const std::string &path) {
    const std::vector<unsigned char> bytes = ReadWholeFile(path);
    HeaderReader header(bytes, path);
    const PamHeader pam = ReadPamHeader(header);
    CheckImageLimits(pam.width, pam.height, static_cast<int>(std::clamp(pam.depth, 0L, 1L << 20)), path);
    const bool wide = pam.maxval == 65535;
    Image image = MakeImage(static_cast<int>(pam.width), static_cast<int>(pam.height), static_cast<int>(pam.depth),
                            wide ? SampleKind::k16 : SampleKind::k8);
    image.format_name = "pam";
    const bool alpha_named = pam.tupltype.size() > 6 && pam.tupltype.ends_with("_ALPHA");
    NameChannels(image, alpha_named || (pam.tupltype.empty() && (pam.depth == 2 || pam.depth == 4)));

    const std::size_t samples = static_cast<std::size_t>(pam.width) * pam.height * pam.depth;
    const std::size_t sample_bytes = wide ? 2 : 1;
    if (bytes.size() - header.position() < samples * sample_bytes) {
        header.Fail("pixel data ends early");
    }
    const unsigned char *in = bytes.data() + header.position();
    if (wide) {
        auto *out = static_cast<std::uint16_t *>(image.pixels.localpixels());
        for (std::size_t i = 0; i < samples; ++i) {
            out[i] = static_cast<std::uint16_t>(in[2 * i] << 8 | in[2 * i + 1]);  // big-endian
        }
    } else {
        std::memcpy(image.pixels.localpixels(), in, samples);
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

Image ReadPfm(const std::string &path) {
    const std::vector<unsigned char> bytes = ReadWholeFile(path);
    HeaderReader header(bytes, path);
    const PfmHeader pfm = ReadPfmHeader(header);
    CheckImageLimits(pfm.width, pfm.height, pfm.channels, path);
    Image image = MakeImage(static_cast<int>(pfm.width), static_cast<int>(pfm.height), pfm.channels, SampleKind::kFloat);
    image.format_name = "pfm";
    NameChannels(image, false);

    const std::size_t row_samples = static_cast<std::size_t>(pfm.width) * pfm.channels;
    if (bytes.size() - header.position() < row_samples * pfm.height * 4) {
        header.Fail("pixel data ends early");
    }
    const unsigned char *in = bytes.data() + header.position();
    auto *out = static_cast<float *>(image.pixels.localpixels());
    // Rows are stored bottom to top.
    for (long y = 0; y < pfm.height; ++y) {
        const unsigned char *row = in + static_cast<std::size_t>(pfm.height - 1 - y) * row_samples * 4;
        for (std::size_t i = 0; i < row_samples; ++i) {
            const unsigned char *b = row + 4 * i;
            const std::uint32_t bits = pfm.little_endian
                                           ? std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
                                                 std::uint32_t{b[3]} << 24
                                           : std::uint32_t{b[3]} | std::uint32_t{b[2]} << 8 | std::uint32_t{b[1]} << 16 |
                                                 std::uint32_t{b[0]} << 24;
            std::memcpy(&out[static_cast<std::size_t>(y) * row_samples + i], &bits, 4);
        }
    }
    return image;
}

// A held sample as a float: integer codes on 0..1, float values as they are.
float UnitSample(const Image &image, std::size_t index) {
    const void *data = image.pixels.localpixels();
    switch (image.kind) {
    case SampleKind::k8:
        return reinterpret_cast<const std::uint8_t *>(data)[index] / 255.0f;
    case SampleKind::k16:
        return static_cast<const std::uint16_t *>(data)[index] / 65535.0f;
    case SampleKind::kFloat:
        break;
    }
    return static_cast<const float *>(data)[index];
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

std::string PamBytes(const Image &image) {
    const OIIO::ImageSpec &layout = LayoutOf(image.pixels);
    const bool wide = image.kind != SampleKind::k8;
    std::string out = "P7\nWIDTH " + std::to_string(layout.width) + "\nHEIGHT " + std::to_string(layout.height) +
                      "\nDEPTH " + std::to_string(layout.nchannels) + "\nMAXVAL " + (wide ? "65535" : "255") + "\n";
    if (const std::string tupltype = PamTuplType(layout.nchannels); !tupltype.empty()) {
        out += "TUPLTYPE " + tupltype + "\n";
    }
    out += "ENDHDR\n";
    const std::size_t samples = static_cast<std::size_t>(layout.width) * layout.height * layout.nchannels;
    for (std::size_t i = 0; i < samples; ++i) {
        if (image.kind == SampleKind::k8) {
            out += static_cast<char>(static_cast<const std::uint8_t *>(image.pixels.localpixels())[i]);
            continue;
        }
        std::uint16_t code = 0;
        if (image.kind == SampleKind::k16) {
            code = static_cast<const std::uint16_t *>(image.pixels.localpixels())[i];
        } else {
            const float v = UnitSample(image, i);
            code = static_cast<std::uint16_t>(std::isnan(v) ? 0.0f : std::floor(std::clamp(v, 0.0f, 1.0f) * 65535.0f + 0.5f));
        }
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
    return out;
}

std::string PfmBytes(const std::string &path, const Image &image) {
    const OIIO::ImageSpec &layout = LayoutOf(image.pixels);
    if (layout.nchannels != 1 && layout.nchannels != 3) {
        throw UsageError(path + ": PFM holds grey or RGB, not " + std::to_string(layout.nchannels) +
                         " channels (use .pam)");
    }
    std::string out = std::string(layout.nchannels == 3 ? "PF" : "Pf") + "\n" + std::to_string(layout.width) + " " +
                      std::to_string(layout.height) + "\n-1.0\n";  // negative scale: little-endian
    const std::size_t row_samples = static_cast<std::size_t>(layout.width) * layout.nchannels;
    for (int y = layout.height - 1; y >= 0; --y) {
        for (std::size_t i = 0; i < row_samples; ++i) {
            const float v = UnitSample(image, static_cast<std::size_t>(y) * row_samples + i);
            std::uint32_t bits;
            std::memcpy(&bits, &v, 4);
            for (int b = 0; b < 4; ++b) {
                out += static_cast<char>((bits >> (8 * b)) & 0xFF);
            }
        }
    }
    return out;
}

}  // namespace

bool IsBuiltInImagePath(const std::string &path) { return FormatOf(path).has_value(); }

Image ReadBuiltInImage(const std::string &path) {
    return FormatOf(path) == BuiltInFormat::kPfm ? ReadPfm(path) : ReadPam(path);
}

std::optional<SampleKind> PeekBuiltInSampleKind(const std::string &path) {
    try {
        std::ifstream in(path, std::ios::binary);
        std::vector<unsigned char> start(512);
        in.read(reinterpret_cast<char *>(start.data()), static_cast<std::streamsize>(start.size()));
        start.resize(static_cast<std::size_t>(in.gcount()));
        HeaderReader header(start, path);
        if (FormatOf(path) == BuiltInFormat::kPfm) {
            ReadPfmHeader(header);
            return SampleKind::kFloat;
        }
        return ReadPamHeader(header).maxval == 65535 ? SampleKind::k16 : SampleKind::k8;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

void WriteBuiltInImage(const std::string &format_path, const std::string &file, const Image &image) {
    const std::string bytes =
        FormatOf(format_path) == BuiltInFormat::kPfm ? PfmBytes(format_path, image) : PamBytes(image);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw UsageError("cannot write " + format_path);
    }
}

}  // namespace zonara_tool
