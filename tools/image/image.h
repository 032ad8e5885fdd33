// The tool's own image: one contiguous block of samples, row after row,
// pixel after pixel, channel after channel, with what a writer needs to store
// it the way its file stored it. File readers fill it, the conversions move
// it into and out of the host's layers, file writers store it; no image
// library's types appear here, so every build of the tool shares it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "render/frame/pixel_format.h"
#include "tools/image/sample_bytes.h"

namespace zonara_tool {

// How samples are held in memory, chosen so that every code of the file
// survives exactly: 8-bit, 16-bit or float. These are the host layers'
// channel types, so that an image moves into a layer of its own depth
// without a second list of depths (a file's 16-bit scale is 0..65535, the
// host's 0..32768: the type is shared, the scale is each side's).
using SampleKind = zonara::SampleDepth;

// How a file stored its samples, so that an output is written alike.
enum class StoredFormat { kUint8, kInt8, kUint16, kInt16, kUint32, kInt32, kUint64, kInt64, kHalf, kFloat, kDouble };

// Refused beyond these: a bigger image is far more likely a damaged header
// than a frame anyone previews, and the host needs several copies of it.
constexpr int MAX_IMAGE_SIDE = 32768;
constexpr std::int64_t MAX_IMAGE_PIXELS = std::int64_t{1} << 28;
constexpr int MAX_IMAGE_CHANNELS = 16;

std::size_t BytesPerSample(SampleKind kind);

// The kind a stored format is held in: 8 and 16 bits as they are (10- and
// 12-bit files arrive as 16 bits); every other type as float.
SampleKind KindForStoredFormat(StoredFormat format);
StoredFormat StoredFormatOf(SampleKind kind);

// Whether colour samples are already multiplied by alpha (OpenEXR's way) or
// stored apart from it (PNG's way). Only meaningful with an alpha channel.
enum class AlphaAssociation { kStraight, kPremultiplied };

// How one channel was stored, where a file stores its channels in types of
// their own (an OpenEXR's half colour beside a float depth and a uint32
// object id).
struct ChannelStorage {
    StoredFormat stored = StoredFormat::kFloat;
    // The channel's slots hold the stored bits themselves (in the slot's
    // low bytes, zero above), not a value of the image's kind: an integer
    // id beside float colour, which a float would neither hold exactly nor
    // keep unscaled. Never colour or alpha, which the effect grades.
    bool verbatim = false;
};

// A rectangle of the frame's pixel grid; x and y may be negative.
struct PixelWindow {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelWindow &other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const PixelWindow &other) const { return !(*this == other); }
    bool Contains(const PixelWindow &inner) const {
        return inner.x >= x && inner.y >= y && inner.x + inner.width <= x + width &&
               inner.y + inner.height <= y + height;
    }
};

// The file's own descriptive attributes (timecode, chromaticities, ...),
// kept as the image library holds them; defined only where files are read
// and written, so that no library type appears in Image.
struct FileAttributes;

struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;
    SampleKind kind = SampleKind::INT8;
    SampleBytes bytes;  // width x height x channels samples of `kind`

    std::vector<std::string> channel_names;
    int alpha_channel = -1;  // -1: no alpha
    StoredFormat stored_format = StoredFormat::kUint8;
    int bits_per_sample = 0;  // an odd depth such as 10-bit DPX, else 0
    std::string format_name;  // the file format's name ("png", "openexr", "pam", ...)
    // One a channel where the file stored channels in different types;
    // empty: every channel stored as `stored_format` (then the deepest).
    std::vector<ChannelStorage> channel_storage;

    // The samples are the file's data window: width x height pixels whose
    // top left pixel sits at (x, y) of the frame. The display window is the
    // frame a viewer shows; unset, it is the data window itself.
    int x = 0;
    int y = 0;
    std::optional<PixelWindow> display_window;
    AlphaAssociation alpha_association = AlphaAssociation::kStraight;
    // Width over height of one pixel as the file states it; 0 when it says
    // nothing.
    float pixel_aspect = 0.0f;
    std::shared_ptr<const FileAttributes> attributes;  // null: none carried

    PixelWindow DataWindow() const { return {x, y, width, height}; }
    PixelWindow DisplayWindow() const { return display_window.value_or(DataWindow()); }
    // Whether the pixels are placed in a frame of their own: an origin
    // other than (0, 0) or a display window other than the data window.
    bool HasWindows() const { return x != 0 || y != 0 || DisplayWindow() != DataWindow(); }

    std::size_t SampleCount() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(channels);
    }
    std::size_t RowSamples() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(channels); }

    // The samples as `Sample` (std::uint8_t, std::uint16_t or float, as
    // `kind` says).
    template <class Sample>
    Sample *Samples() {
        return reinterpret_cast<Sample *>(bytes.data());
    }
    template <class Sample>
    const Sample *Samples() const {
        return reinterpret_cast<const Sample *>(bytes.data());
    }
};

// Where an image's colour lies: red, green and blue found by their names
// (R, G, B), or one grey channel (Y, or a lone channel beside alpha in a
// format that names no channels) feeding all three.
struct ColourChannels {
    int red = 0;
    int green = 1;
    int blue = 2;
    bool Grey() const { return red == green; }
};

// Throws ToolError (usage), naming the image's channels, when it has
// neither R, G and B nor a grey channel: a depth, position or texture pass
// is not colour, and grading it would change data that means something
// else.
ColourChannels ColourChannelsOf(const Image &image);

// The image's alpha channel, if it has one where alpha can be (after the
// grey channel or after red, green and blue); -1 when it has none.
int AlphaChannelOf(const Image &image);

// Whether the image has alpha and its colour is stored multiplied by it
// (an OpenEXR's): the effect is handed that colour divided by alpha.
bool HoldsPremultipliedColour(const Image &image);

// A new image of this size and layout, its samples zero, its channels named
// R, G, B, A (one channel: Y) with the fourth as alpha.
Image MakeImage(int width, int height, int channels, SampleKind kind);
// An image of `layout`'s channels, names, kinds and file details (alpha
// association, pixel aspect, attributes) at another size, its samples not
// yet set. It keeps `layout`'s windows only at the same size: a resized or
// combined picture no longer lies where the file's did.
Image MakeImageLike(const Image &layout, int width, int height);

// Throws ToolError (usage) when the size passes a limit above.
void CheckImageLimits(std::int64_t width, std::int64_t height, std::int64_t channels, const std::string &path);

// Every sample on an 8-bit scale (integer codes and float values alike
// scaled to 0..1, clamped, rounded to nearest), for showing an image.
std::vector<std::uint8_t> SamplesAs8Bit(const Image &image);

}  // namespace zonara_tool
