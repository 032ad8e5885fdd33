#include "tools/image_file.h"

#include <filesystem>
#include <memory>

#if ZONARA_HAVE_OIIO
#include <OpenImageIO/imageio.h>
#endif

#include "tools/builtin_image_file.h"
#include "tools/image_layout.h"
#include "tools/pending_output.h"
#include "tools/tool_error.h"

namespace zonara_tool {
#if !ZONARA_HAVE_OIIO
namespace {
const std::string ONLY_BUILT_IN_FORMATS = "this build reads and writes only PAM (.pam) and PFM (.pfm) images";
}  // namespace
#endif

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

SampleKind KindForStoredFormat(OIIO::TypeDesc format) {
    if (format == OIIO::TypeDesc::UINT8) {
        return SampleKind::k8;
    }
    if (format == OIIO::TypeDesc::UINT16) {
        return SampleKind::k16;
    }
    return SampleKind::kFloat;
}

Image MakeImage(int width, int height, int channels, SampleKind kind) {
    Image image;
    image.kind = kind;
    image.stored_format = TypeOf(kind);
    OIIO::ImageSpec layout(width, height, channels, TypeOf(kind));
    image.pixels.reset(layout, OIIO::InitializePixels::Yes);
    return image;
}

void CheckImageLimits(std::int64_t width, std::int64_t height, int channels, const std::string &path) {
    if (width < 1 || height < 1 || channels < 1) {
        throw UsageError(path + ": empty image");
    }
    if (width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE || width * height > MAX_IMAGE_PIXELS) {
        throw UsageError(path + ": " + std::to_string(width) + "x" + std::to_string(height) +
                         " is too large (at most " + std::to_string(MAX_IMAGE_SIDE) + " pixels a side and " +
                         std::to_string(MAX_IMAGE_PIXELS) + " pixels in all)");
    }
    if (channels > MAX_IMAGE_CHANNELS) {
        throw UsageError(path + ": " + std::to_string(channels) + " channels (at most " +
                         std::to_string(MAX_IMAGE_CHANNELS) + ")");
    }
}

Image ReadImage(const std::string &path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw UsageError(path + ": no such file");
    }
    if (IsBuiltInImagePath(path)) {
        return ReadBuiltInImage(path);
    }
#if !ZONARA_HAVE_OIIO
    throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
#else
    // The file's codes exactly as stored: no premultiplying by alpha on the
    // way in (nor its undoing on the way out), which would change them.
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto input = OIIO::ImageInput::open(path, &config);
    if (!input) {
        throw UsageError(path + ": cannot read this image (" + OIIO::geterror() + ")");
    }
    const OIIO::ImageSpec &layout = LayoutOf(*input);
    if (layout.depth > 1) {
        throw UsageError(path + ": volume images are not supported");
    }
    CheckImageLimits(layout.width, layout.height, layout.nchannels, path);

    Image image = MakeImage(layout.width, layout.height, layout.nchannels, KindForStoredFormat(layout.format));
    image.stored_format = layout.format;
    image.bits_per_sample = layout.get_int_attribute("oiio:BitsPerSample", 0);
    image.format_name = input->format_name();
    OIIO::ImageSpec &held = image.pixels.specmod();
    held.channelnames = layout.channelnames;
    held.alpha_channel = layout.alpha_channel;
    // Some readers fill what a damaged file lacks (a truncated JPEG comes
    // back grey below the cut) and report it only as an error beside a
    // successful read; such a picture is not the file's, so it is refused.
    if (!input->read_image(0, 0, 0, layout.nchannels, TypeOf(image.kind), image.pixels.localpixels()) ||
        input->has_error()) {
        throw UsageError(path + ": cannot read the pixels (" + input->geterror() + ")");
    }
    input->close();
    return image;
#endif
}

std::optional<SampleKind> PeekSampleKind(const std::string &path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    if (IsBuiltInImagePath(path)) {
        return PeekBuiltInSampleKind(path);
    }
#if !ZONARA_HAVE_OIIO
    return std::nullopt;
#else
    auto input = OIIO::ImageInput::open(path);
    if (!input) {
        OIIO::geterror();
        return std::nullopt;
    }
    return KindForStoredFormat(LayoutOf(*input).format);
#endif
}

void CheckOutputPath(const std::string &path) {
#if ZONARA_HAVE_OIIO
    if (!IsBuiltInImagePath(path)) {
        auto output = OIIO::ImageOutput::create(path);
        if (!output) {
            OIIO::geterror();  // clear it: the message below says it better
            throw UsageError(path +
                             ": no image format for this file name (use e.g. .png, .tif, .jpg, .exr, .dpx, .pam, .pfm)");
        }
    }
#else
    if (!IsBuiltInImagePath(path)) {
        throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
    }
#endif
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        throw UsageError(path + ": no such folder " + folder.string());
    }
    if (std::filesystem::is_directory(path, error)) {
        throw UsageError(path + ": is a folder");
    }
}

void WriteImage(const std::string &path, const Image &image) {
    if (IsBuiltInImagePath(path)) {
        PendingOutput pending(path);
        WriteBuiltInImage(path, pending.temp_path(), image);
        pending.Commit();
        return;
    }
#if !ZONARA_HAVE_OIIO
    throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
#else
    auto output = OIIO::ImageOutput::create(path);
    if (!output) {
        OIIO::geterror();
        throw UsageError(path + ": no image format for this file name");
    }
    const OIIO::ImageSpec &held = LayoutOf(image.pixels);
    OIIO::ImageSpec layout(held.width, held.height, held.nchannels, image.stored_format);
    layout.channelnames = held.channelnames;
    layout.alpha_channel = held.alpha_channel;
    layout.attribute("oiio:UnassociatedAlpha", 1);
    // An odd depth (10-bit DPX) is kept only by the same format; another
    // format chooses its own nearest depth.
    if (image.bits_per_sample != 0 && image.format_name == output->format_name()) {
        layout.attribute("oiio:BitsPerSample", image.bits_per_sample);
    }

    PendingOutput pending(path);
    if (!output->open(pending.temp_path(), layout)) {
        throw UsageError("cannot write " + path + " (" + output->geterror() + ")");
    }
    const bool written = output->write_image(TypeOf(image.kind), image.pixels.localpixels());
    const bool closed = output->close();
    if (!written || !closed) {
        throw UsageError("cannot write " + path + " (" + output->geterror() + ")");
    }
    output.reset();
    pending.Commit();
#endif
}

}  // namespace zonara_tool
