#include "tools/image/library_image_file.h"

#include "tools/commands/tool_error.h"
#include "tools/image/banded_pixel_read.h"
#include "tools/image/read_checks.h"

#if ZONARA_HAVE_OIIO
#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>
#include <OpenImageIO/imageio.h>
#endif

namespace zonara_tool {

#if ZONARA_HAVE_OIIO
namespace {

OIIO::TypeDesc TypeOf(SampleKind kind) {
    switch (kind) {
    case SampleKind::k8:
        return OIIO::TypeDesc::UINT8;
    case SampleKind::k16:
        return OIIO::TypeDesc::UINT16;
    case SampleKind::kFloat:
        break;
    }
    return OIIO::TypeDesc::FLOAT;
}

StoredFormat StoredFormatFor(OIIO::TypeDesc type) {
    switch (type.basetype) {
    case OIIO::TypeDesc::UINT8:
        return StoredFormat::kUint8;
    case OIIO::TypeDesc::INT8:
        return StoredFormat::kInt8;
    case OIIO::TypeDesc::UINT16:
        return StoredFormat::kUint16;
    case OIIO::TypeDesc::INT16:
        return StoredFormat::kInt16;
    case OIIO::TypeDesc::UINT32:
        return StoredFormat::kUint32;
    case OIIO::TypeDesc::INT32:
        return StoredFormat::kInt32;
    case OIIO::TypeDesc::UINT64:
        return StoredFormat::kUint64;
    case OIIO::TypeDesc::INT64:
        return StoredFormat::kInt64;
    case OIIO::TypeDesc::HALF:
        return StoredFormat::kHalf;
    case OIIO::TypeDesc::DOUBLE:
        return StoredFormat::kDouble;
    default:
        return StoredFormat::kFloat;
    }
}

OIIO::TypeDesc TypeFor(StoredFormat format) {
    switch (format) {
    case StoredFormat::kUint8:
        return OIIO::TypeDesc::UINT8;
    case StoredFormat::kInt8:
        return OIIO::TypeDesc::INT8;
    case StoredFormat::kUint16:
        return OIIO::TypeDesc::UINT16;
    case StoredFormat::kInt16:
        return OIIO::TypeDesc::INT16;
    case StoredFormat::kUint32:
        return OIIO::TypeDesc::UINT32;
    case StoredFormat::kInt32:
        return OIIO::TypeDesc::INT32;
    case StoredFormat::kUint64:
        return OIIO::TypeDesc::UINT64;
    case StoredFormat::kInt64:
        return OIIO::TypeDesc::INT64;
    case StoredFormat::kHalf:
        return OIIO::TypeDesc::HALF;
    case StoredFormat::kFloat:
        return OIIO::TypeDesc::FLOAT;
    case StoredFormat::kDouble:
        return OIIO::TypeDesc::DOUBLE;
    }
    return OIIO::TypeDesc::FLOAT;
}

// The layout of `image` as the library describes one.
OIIO::ImageSpec LayoutOf(const Image &image, OIIO::TypeDesc type) {
    OIIO::ImageSpec layout(image.width, image.height, image.channels, type);
    layout.channelnames = image.channel_names;
    layout.alpha_channel = image.alpha_channel;
    return layout;
}

}  // namespace

Image ReadLibraryImage(const std::string &path) {
    // The file's codes exactly as stored: no premultiplying by alpha on the
    // way in (nor its undoing on the way out), which would change them.
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto input = OIIO::ImageInput::open(path, &config);
    if (!input) {
        throw UsageError(path + ": cannot read this image (" + ReadFailureReason(OIIO::geterror()) + ")");
    }
    const OIIO::ImageSpec &layout = input->spec();
    if (layout.depth > 1) {
        throw UsageError(path + ": volume images are not supported");
    }
    CheckImageLimits(layout.width, layout.height, layout.nchannels, path);
    CheckFileHoldsDeclaredPixels(path, input->format_name());

    Image image;
    image.width = layout.width;
    image.height = layout.height;
    image.channels = layout.nchannels;
    image.stored_format = StoredFormatFor(layout.format);
    image.kind = KindForStoredFormat(image.stored_format);
    image.channel_names = layout.channelnames;
    image.alpha_channel = layout.alpha_channel;
    image.bits_per_sample = layout.get_int_attribute("oiio:BitsPerSample", 0);
    image.format_name = input->format_name();
    CheckTileSize(layout.tile_width, layout.tile_height, layout.nchannels, BytesPerSample(image.kind), path);
    image.bytes.resize(image.SampleCount() * BytesPerSample(image.kind));
    // Some readers fill what a damaged file lacks (a truncated JPEG comes
    // back grey below the cut) and report it only as an error beside a
    // successful read; such a picture is not the file's, so it is refused.
    if (!ReadPixelsInBands(*input, TypeOf(image.kind), image)) {
        throw UsageError(path + ": cannot read the pixels (" + ReadFailureReason(input->geterror()) + ")");
    }
    input->close();
    return image;
}

std::optional<SampleKind> PeekLibrarySampleKind(const std::string &path) {
    auto input = OIIO::ImageInput::open(path);
    if (!input) {
        OIIO::geterror();
        return std::nullopt;
    }
    return KindForStoredFormat(StoredFormatFor(input->spec().format));
}

bool LibraryCanWrite(const std::string &path) {
    if (OIIO::ImageOutput::create(path)) {
        return true;
    }
    OIIO::geterror();  // clear it: the caller's message says it better
    return false;
}

void WriteLibraryImage(const std::string &format_path, const std::string &file, const Image &image) {
    auto output = OIIO::ImageOutput::create(format_path);
    if (!output) {
        OIIO::geterror();
        throw UsageError(format_path + ": no image format for this file name");
    }
    OIIO::ImageSpec layout = LayoutOf(image, TypeFor(image.stored_format));
    layout.attribute("oiio:UnassociatedAlpha", 1);
    // An odd depth (10-bit DPX) is kept only by the same format; another
    // format chooses its own nearest depth.
    if (image.bits_per_sample != 0 && image.format_name == output->format_name()) {
        layout.attribute("oiio:BitsPerSample", image.bits_per_sample);
    }
    if (!output->open(file, layout)) {
        throw UsageError("cannot write " + format_path + " (" + output->geterror() + ")");
    }
    const bool written = output->write_image(TypeOf(image.kind), image.bytes.data());
    const bool closed = output->close();
    if (!written || !closed) {
        throw UsageError("cannot write " + format_path + " (" + output->geterror() + ")");
    }
}

Image ResampleWithLibrary(const Image &source, int width, int height) {
    Image result = MakeImageLike(source, width, height);
    // Both buffers are wrapped, not copied; the library only reads `source`.
    const OIIO::ImageBuf from(LayoutOf(source, TypeOf(source.kind)),
                              const_cast<unsigned char *>(source.bytes.data()));
    OIIO::ImageBuf to(LayoutOf(result, TypeOf(result.kind)), result.bytes.data());
    if (!OIIO::ImageBufAlgo::resize(to, from)) {
        throw ToolError(EXIT_USAGE, "cannot reduce the image: " + to.geterror());
    }
    return result;
}

#else

namespace {
[[noreturn]] void Refuse(const std::string &path) {
    throw UsageError(path + ": this build reads and writes only PAM (.pam) and PFM (.pfm) images");
}
}  // namespace

Image ReadLibraryImage(const std::string &path) { Refuse(path); }
std::optional<SampleKind> PeekLibrarySampleKind(const std::string &) { return std::nullopt; }
bool LibraryCanWrite(const std::string &) { return false; }
void WriteLibraryImage(const std::string &format_path, const std::string &, const Image &) { Refuse(format_path); }
Image ResampleWithLibrary(const Image &, int, int) {
    throw ToolError(EXIT_USAGE,
                    "cannot reduce the image: this build has no resampling (it is built without OpenImageIO); "
                    "render at full size");
}

#endif

}  // namespace zonara_tool
