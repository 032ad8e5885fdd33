// Reading and writing image files through OpenImageIO, and the limits on what
// the tool accepts. Pixels are held in one of three sample kinds, chosen so
// that every code of the file survives exactly: 8-bit, 16-bit or float.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <OpenImageIO/imagebuf.h>

namespace zonara_tool {

enum class SampleKind { k8, k16, kFloat };

// Refused beyond these: a bigger image is far more likely a damaged header
// than a frame anyone previews, and the host needs several copies of it.
constexpr int MAX_IMAGE_SIDE = 32768;
constexpr std::int64_t MAX_IMAGE_PIXELS = std::int64_t{1} << 28;
constexpr int MAX_IMAGE_CHANNELS = 16;

struct Image {
    // Local pixels, origin (0, 0), type UINT8, UINT16 or FLOAT by `kind`.
    OIIO::ImageBuf pixels;
    SampleKind kind = SampleKind::k8;
    // How the file stored its samples, so the output is written alike.
    OIIO::TypeDesc stored_format = OIIO::TypeDesc::UINT8;
    int bits_per_sample = 0;  // an odd depth such as 10-bit DPX, else 0
    std::string format_name;  // OpenImageIO's name of the file's format
};

OIIO::TypeDesc TypeOf(SampleKind kind);

// The kind a stored format is held in: 8 and 16 bits as they are (10- and
// 12-bit files arrive as 16 bits); every other type (half, float, double,
// 32-bit and signed integers) as float.
SampleKind KindForStoredFormat(OIIO::TypeDesc format);

// A new, zero-filled image of this size and layout.
Image MakeImage(int width, int height, int channels, SampleKind kind);

// Throws ToolError (usage) for a missing, unreadable or oversized file.
Image ReadImage(const std::string &path);
// The kind a file's samples would be held in, without reading its pixels;
// nullopt when the file cannot be opened as an image.
std::optional<SampleKind> PeekSampleKind(const std::string &path);

// Throws ToolError (usage) when the size passes a limit above.
void CheckImageLimits(std::int64_t width, std::int64_t height, int channels, const std::string &path);

// Throws ToolError (usage) when no file of this name can be written: unknown
// extension or missing folder. Checked before any work is done.
void CheckOutputPath(const std::string &path);

// Writes the image in the format the extension names, samples stored as the
// source file stored them where that format allows. The file appears
// complete or not at all.
void WriteImage(const std::string &path, const Image &image);

}  // namespace zonara_tool
