#include "tools/image/library/image_library_table.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <vector>

#include "tools/base/pending_output.h"
#include "tools/base/tool_error.h"
#include "tools/image/library/banded_pixel_read.h"
#include "tools/image/library/library_stderr.h"
#include "tools/image/library/library_types.h"
#include "tools/image/library/memory_file.h"
#include "tools/image/library/native_channels.h"
#include "tools/image/library/png_chunks.h"
#include "tools/image/library/read_checks.h"
#include "tools/image/sample_range.h"

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>
#include <OpenImageIO/imageio.h>
#include <OpenImageIO/strutil.h>

namespace zonara_tool {

// The source file's attributes as the library read them, with its format's
// name: some only hold for a file of the same format.
struct FileAttributes {
    std::string format_name;
    OIIO::ParamValueList list;
    // The source's tiles (0: scanlines), kept by an output of its format.
    int tile_width = 0;
    int tile_height = 0;
    // What a PNG source said in its own chunks, for a PNG output.
    PngStatements png;
};

namespace {

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

// Why the file at `written`, just written as `format` with `layout`, does
// not read back: the reader's reason, a size other than the one written, or
// a last row that cannot be decoded. Empty when it reads back. Writers have
// reported success for files nothing could read, and one that writes by
// name may miss a failed write (a file-size limit applies to memory files
// too), which leaves the file without its end. Only the last row is read:
// a whole frame read back would cost a good part of its writing again; the
// last row of an OpenEXR or DPX costs next to nothing, and a format
// read in order (PNG, TIFF strips here) a small share of its writing.
std::string ReadBackFailure(const std::string &format, const std::string &written, const OIIO::ImageSpec &layout) {
    const QuietLibraryStderr quiet;
    auto input = OIIO::ImageInput::create(format);
    OIIO::ImageSpec stored;
    if (!input || !input->open(written, stored)) {
        return ReadFailureReason(input ? input->geterror() : OIIO::geterror());
    }
    // A reader may add channels (GIF's and ICO's read every file as RGBA),
    // and a writer may leave out an alpha that is opaque everywhere (WebP's).
    const int channels_needed = layout.nchannels - (layout.alpha_channel >= 0 ? 1 : 0);
    if (stored.width != layout.width || stored.height != layout.height || stored.nchannels < channels_needed) {
        return "it reads back as " + std::to_string(stored.width) + "x" + std::to_string(stored.height) + " with " +
               std::to_string(stored.nchannels) + " channels, not " + std::to_string(layout.width) + "x" +
               std::to_string(layout.height) + " with " + std::to_string(layout.nchannels);
    }
    // A JPEG's last row is decoded only after all the others, a good part
    // of its writing time: its segments and scan are walked to the
    // end-of-image marker instead.
    if (format == "jpeg") {
        std::ifstream in(written, std::ios::binary);
        return JpegReachesItsEnd(in) ? std::string() : "it ends before its end-of-image marker";
    }
    if (!DecodesItsLastRows(*input, stored)) {
        return ReadFailureReason(input->geterror());
    }
    return {};
}

// The layout of `image` as the library describes one.
OIIO::ImageSpec LayoutOf(const Image &image, OIIO::TypeDesc type) {
    OIIO::ImageSpec layout(image.width, image.height, image.channels, type);
    layout.channelnames = image.channel_names;
    layout.alpha_channel = image.alpha_channel;
    return layout;
}

// What each format can store, shallowest first, where it offers a choice
// the library would otherwise make shallow (a float to PNG would become 8
// bits). A format not listed gets the source's own type; the library then
// stores it, or the nearest it has.
const std::map<std::string, std::vector<StoredFormat>> STORABLE_TYPES = {
    {"png", {StoredFormat::kUint8, StoredFormat::kUint16}},
    {"heif", {StoredFormat::kUint8}},  // the only depth its writer is handed (see EncodeImage)
    {"sgi", {StoredFormat::kUint8, StoredFormat::kUint16}},
    {"openexr", {StoredFormat::kHalf, StoredFormat::kFloat, StoredFormat::kUint32}},
    {"dpx", {StoredFormat::kUint8, StoredFormat::kUint16, StoredFormat::kFloat, StoredFormat::kDouble}},
};

// Whether every value of `source` comes back unchanged from `stored` (an
// 8-bit code from half: to the same code).
bool Holds(StoredFormat stored, StoredFormat source) {
    if (stored == source) {
        return true;
    }
    switch (stored) {
    case StoredFormat::kUint16:
    case StoredFormat::kHalf:
        return source == StoredFormat::kUint8;
    case StoredFormat::kUint32:
        return source == StoredFormat::kUint8 || source == StoredFormat::kUint16;
    case StoredFormat::kFloat:
        return source == StoredFormat::kUint8 || source == StoredFormat::kUint16 || source == StoredFormat::kInt8 ||
               source == StoredFormat::kInt16 || source == StoredFormat::kHalf;
    case StoredFormat::kDouble:
        return source != StoredFormat::kUint64 && source != StoredFormat::kInt64;
    default:
        return false;
    }
}

// The source's type where the format stores it, else the shallowest type
// that holds it, else the format's deepest.
StoredFormat StoredFormatForOutput(const std::string &format_name, StoredFormat source) {
    const auto types = STORABLE_TYPES.find(format_name);
    if (types == STORABLE_TYPES.end()) {
        return source;
    }
    const auto holding = std::find_if(types->second.begin(), types->second.end(),
                                      [&](StoredFormat stored) { return Holds(stored, source); });
    return holding != types->second.end() ? *holding : types->second.back();
}

// Attributes that describe how the source file laid out its bytes (the
// output's own layout says that) or the source's pixel values, which the
// grade changes: never carried.
const std::set<std::string, std::less<>> LAYOUT_ATTRIBUTES = {
    "planarconfig",          "tiff:PhotometricInterpretation", "tiff:PlanarConfiguration", "tiff:Compression",
    "tiff:RowsPerStrip",     "tiff:UnassociatedAlpha",         "dpx:ImageDescriptor",      "dpx:EndOfLinePadding",
    "dpx:EndOfImagePadding", "Exif:PixelXDimension",           "Exif:PixelYDimension"};
// Of the library's own attributes these describe the meaning of the colour
// values; the others are layout, or sums of the source's pixels.
const std::set<std::string, std::less<>> CARRIED_LIBRARY_ATTRIBUTES = {"oiio:ColorSpace", "oiio:Gamma"};

bool StartsWith(const std::string &text, std::string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

// Whether the source's attribute `name` still holds for an output in
// `to_format`. Compression names and format-specific attributes (dpx:,
// openexr:, ...) mean something only to their own format.
bool Carried(const std::string &name, const std::string &from_format, const std::string &to_format) {
    // ICCProfile:... are the library's reading of the profile, which is
    // carried whole as ICCProfile; a PNG writer would store each as text.
    if (LAYOUT_ATTRIBUTES.count(name) != 0 || StartsWith(name, "thumbnail_") || StartsWith(name, "ICCProfile:")) {
        return false;
    }
    if (StartsWith(name, "oiio:")) {
        return CARRIED_LIBRARY_ATTRIBUTES.count(name) != 0;
    }
    if (name == "compression" || name == "CompressionQuality") {
        return from_format == to_format;
    }
    const std::size_t colon = name.find(':');
    if (colon != std::string::npos && OIIO::is_imageio_format_name(name.substr(0, colon))) {
        return from_format == to_format;
    }
    return true;
}

std::shared_ptr<const FileAttributes> AttributesOf(const OIIO::ImageSpec &layout, const std::string &format_name,
                                                   const std::string &path) {
    auto attributes = std::make_shared<FileAttributes>();
    if (format_name == "png") {
        attributes->png = ReadPngStatements(path);
    }
    attributes->format_name = format_name;
    attributes->list = layout.extra_attribs;
    attributes->tile_width = layout.tile_width;
    attributes->tile_height = layout.tile_height;
    return attributes;
}

// Each channel's stored type where the file stores channels in types of
// their own; empty where one type holds them all. Integer channels other
// than colour and alpha beside float ones are held verbatim: the effect
// never reads them, and a float holds a uint32 id neither exactly nor
// unscaled.
std::vector<ChannelStorage> ChannelStorageOf(const OIIO::ImageSpec &layout, const Image &image) {
    std::vector<ChannelStorage> storage;
    if (layout.channelformats.empty()) {
        return storage;
    }
    std::vector<bool> graded(static_cast<std::size_t>(image.channels), false);
    try {
        const ColourChannels colour = ColourChannelsOf(image);
        for (const int channel : {colour.red, colour.green, colour.blue}) {
            graded[static_cast<std::size_t>(channel)] = true;
        }
    } catch (const ToolError &) {
        // No colour: refused where it would be graded; every channel is data.
    }
    if (const int alpha = AlphaChannelOf(image); alpha >= 0) {
        graded[static_cast<std::size_t>(alpha)] = true;
    }
    for (std::size_t c = 0; c < graded.size(); ++c) {
        const OIIO::TypeDesc type = layout.channelformats[c];
        storage.push_back({StoredFormatFor(type), !graded[c] && image.kind == SampleKind::FLOAT32 &&
                                                      !type.is_floating_point() && type.size() <= sizeof(float)});
    }
    return storage;
}

// Opens the file at its first image, whose layout goes to `layout`. Null
// when no reader takes the file or the reader cannot open it; `why` then
// holds the library's reason.
std::unique_ptr<OIIO::ImageInput> OpenFirstImage(const std::string &path, const OIIO::ImageSpec &config,
                                                 OIIO::ImageSpec &layout, std::string &why) {
    auto input = OIIO::ImageInput::create(path, false, &config);
    if (!input) {
        why = OIIO::geterror();
        return nullptr;
    }
    if (!input->open(path, layout, config)) {
        why = input->geterror();
        return nullptr;
    }
    return input;
}

// The images (parts, pages, frames) in the file, counted by a reader of
// its own: seeking another image and back leaves some readers unable to read
// the first (WebP's reader then decodes nothing), so the reader that reads
// the pixels never seeks.
int SubimageCount(const std::string &path, const OIIO::ImageSpec &config) {
    auto counter = OIIO::ImageInput::open(path, &config);
    if (!counter) {
        OIIO::geterror();
        return 1;  // the reader that did open it reports what is wrong
    }
    int count = 1;
    while (counter->seek_subimage(count, 0)) {
        ++count;
    }
    counter->geterror();  // the failed seek past the last image
    return count;
}

}  // namespace

Image ReadLibraryImage(const std::string &path) {
    const QuietLibraryStderr quiet;
    // The file's codes exactly as stored: no premultiplying by alpha on the
    // way in (nor its undoing on the way out), which would change them.
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    OIIO::ImageSpec layout;
    std::string why;
    auto input = OpenFirstImage(path, config, layout, why);
    if (!input) {
        throw UsageError(path + ": cannot read this image (" + ReadFailureReason(why) + ")");
    }
    // Only the first part would be graded and written; the others would be
    // lost without a word. A layered Photoshop file is the exception: its
    // first image is the composite of its layers, the picture every viewer
    // shows, and the layers follow it.
    if (const int parts = SubimageCount(path, config); parts > 1 && input->format_name() != std::string("psd")) {
        throw UsageError(path + ": the file holds " + std::to_string(parts) +
                         " images (parts, pages or layers); only single-image files can be graded");
    }
    if (layout.deep) {
        throw UsageError(path +
                         ": deep images (any number of samples a pixel) are not supported; flatten it "
                         "to one sample a pixel first");
    }
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
    image.x = layout.x;
    image.y = layout.y;
    const PixelWindow display{layout.full_x, layout.full_y, layout.full_width, layout.full_height};
    if (display != image.DataWindow()) {
        image.display_window = display;
    }
    // The reader marks a file whose alpha is straight; every other file with
    // alpha (OpenEXR always) holds premultiplied colour.
    if (AlphaChannelOf(image) >= 0 && layout.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0) {
        image.alpha_association = AlphaAssociation::kPremultiplied;
    }
    image.pixel_aspect = layout.get_float_attribute("PixelAspectRatio", 0.0f);
    image.channel_storage = ChannelStorageOf(layout, image);
    image.attributes = AttributesOf(layout, image.format_name, path);
    CheckTileSize(layout.tile_width, layout.tile_height, layout.nchannels, BytesPerSample(image.kind), path);
    image.bytes.resize(image.SampleCount() * BytesPerSample(image.kind));
    // Some readers fill what a damaged file lacks (a truncated JPEG comes
    // back grey below the cut) and report it only as an error beside a
    // successful read; such a picture is not the file's, so it is refused.
    if (!ReadPixelsInBands(*input, layout, TypeOf(image.kind), image)) {
        throw UsageError(path + ": cannot read the pixels (" + ReadFailureReason(input->geterror()) + ")");
    }
    input->close();
    return image;
}

std::optional<SampleKind> PeekLibrarySampleKind(const std::string &path) {
    const QuietLibraryStderr quiet;
    OIIO::ImageSpec layout;
    std::string why;
    if (!OpenFirstImage(path, OIIO::ImageSpec(), layout, why)) {
        return std::nullopt;
    }
    return KindForStoredFormat(StoredFormatFor(layout.format));
}

bool LibraryCanWrite(const std::string &path) {
    if (OIIO::ImageOutput::create(path)) {
        return true;
    }
    OIIO::geterror();  // clear it: the caller's message says it better
    return false;
}

bool LibraryCanRead(const std::string &path) {
    // By the name alone, as the output need not exist: the formats the
    // extension names, and whether the library has a reader for one.
    std::string extension = OIIO::Filesystem::extension(path, false);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string readers;
    OIIO::getattribute("input_format_list", readers);
    const std::vector<std::string> read = OIIO::Strutil::splits(readers, ",");
    for (const auto &[format, extensions] : OIIO::get_extension_map()) {
        if (std::find(extensions.begin(), extensions.end(), extension) != extensions.end() &&
            std::find(read.begin(), read.end(), format) != read.end()) {
            return true;
        }
    }
    return false;
}

OutputTraits LibraryOutputTraits(const std::string &path) {
    auto output = OIIO::ImageOutput::create(path);
    OutputTraits traits;
    if (!output) {
        OIIO::geterror();
        return traits;
    }
    traits.format_name = output->format_name();
    traits.holds_origin = output->supports("origin");
    traits.holds_negative_origin = output->supports("negativeorigin");
    traits.holds_display_window = output->supports("displaywindow");
    traits.holds_alpha = output->supports("alpha");
    traits.holds_channel_types = output->supports("channelformats");
    // OpenEXR defines its colour as premultiplied, and the library reads
    // DPX alpha so; TIFF marks which it holds; the other formats with alpha
    // (PNG, Targa, WebP, ...) store it straight.
    if (traits.format_name == "openexr" || traits.format_name == "dpx") {
        traits.only_association = AlphaAssociation::kPremultiplied;
    } else if (traits.format_name != "tiff" && output->supports("alpha")) {
        traits.only_association = AlphaAssociation::kStraight;
    }
    return traits;
}

// OpenEXR's ZIP compressions (the format's default, and its one-line
// variant) at deflate's fastest level. The library's own level took most of
// a float sequence's processor time; the fastest takes markedly less,
// for a file slightly larger, and the library deflates
// its blocks on its own threads either way. The level is not stored in the
// file, so a carried "zip" is always given it; other compressions (PIZ,
// DWA, ...) are left as carried.
void UseFastestZipLevel(const std::string &format_name, OIIO::ImageSpec &layout) {
    if (format_name != "openexr") {
        return;
    }
    const std::string compression(layout.decode_compression_metadata("zip").first);
    if (compression == "zip" || compression == "zips") {
        layout.attribute("compression", compression + ":1");
    }
}

// What a PNG output may say of the image: a PNG source's own chunks, or
// the orientation another source stated.
PngStatements PngStatementsFor(const Image &image) {
    if (!image.attributes) {
        return {};
    }
    if (image.attributes->png.source_is_png) {
        return image.attributes->png;
    }
    PngStatements statements;
    if (const OIIO::ParamValue *orientation = image.attributes->list.find_pv("Orientation")) {
        const int value = orientation->get_int();
        if (value >= 1 && value <= 8) {
            statements.orientation = value;
        }
    }
    return statements;
}

// What a file holds of float values, by the sample type its writer chose
// as it opened (JPEG, Targa, ... choose 8 bits whatever they are given);
// unset where it holds them all.
std::optional<HeldRange> HeldRangeOf(const OIIO::ImageOutput &output) {
    if (output.format_name() == std::string("hdr")) {
        return HeldRange{0.0f, std::nullopt};  // a shared exponent: no sign
    }
    const OIIO::TypeDesc stored = output.spec().format;
    if (stored.is_floating_point()) {
        return std::nullopt;
    }
    return stored.is_signed() ? HeldRange{-1.0f, 1.0f} : HeldRange{0.0f, 1.0f};
}

// Beyond two rows, what a row stride may add to a row: encoders align
// their rows to far less.
constexpr std::size_t HEIF_ROW_SLACK_BYTES = 4096;

// Ends the output with the system's "File too large" when the memory file
// a writer wrote by name reached the process's file-size limit: its writes
// were cut there, whether the writer noticed (TIFF's, in words of its own)
// or not (SGI's).
void FailAtFileSizeLimit(const MemoryFile *memory_file, const PendingOutput &file) {
    if (memory_file != nullptr && memory_file->AtFileSizeLimit()) {
        file.FailForErrno(EFBIG);
    }
}

// Has `output` encode the whole image under `name` with `layout`; a
// failure ends the output with the writer's reason. `memory_file`: the file
// `name` opens, if a memory file.
void EncodeImage(OIIO::ImageOutput &output, const std::string &name, const OIIO::ImageSpec &layout, const Image &image,
                 const PendingOutput &file, const MemoryFile *memory_file) {
    if (!output.open(name, layout)) {
        FailAtFileSizeLimit(memory_file, file);
        file.Fail(output.geterror());
    }
    if (const std::optional<HeldRange> held = HeldRangeOf(output)) {
        WarnOfSamplesOutside(file.target(), output.format_name(), image, *held);
    }
    bool written = false;
    if (!layout.channelformats.empty()) {
        written = WriteNativePixelsInBands(output, layout, image);
    } else if (output.format_name() == std::string("heif")) {
        // The library's HEIF writer copies each row as wide as the
        // encoder's row stride, which is wider than the row it is handed:
        // on the last rows it read past the end of the pixels, or of its own
        // copy of them converted to 8 bits. It is handed 8-bit samples, so it
        // converts nothing, in a copy with room after them.
        const std::size_t row_bytes = image.RowSamples();
        std::vector<unsigned char> padded(image.SampleCount() + 2 * row_bytes + HEIF_ROW_SLACK_BYTES);
        if (!OIIO::convert_image(image.channels, image.width, image.height, 1, image.bytes.data(), TypeOf(image.kind),
                                 OIIO::AutoStride, OIIO::AutoStride, OIIO::AutoStride, padded.data(),
                                 OIIO::TypeDesc::UINT8, OIIO::AutoStride, OIIO::AutoStride, OIIO::AutoStride)) {
            file.Fail("cannot convert the samples to 8 bits for the HEIF writer");
        }
        written = output.write_image(OIIO::TypeDesc::UINT8, padded.data());
    } else {
        written = output.write_image(TypeOf(image.kind), image.bytes.data());
    }
    const bool closed = output.close();
    FailAtFileSizeLimit(memory_file, file);
    if (!written || !closed) {
        file.Fail(output.geterror());
    }
}

void WriteLibraryImage(const std::string &format_path, PendingOutput &file, const Image &image) {
    const QuietLibraryStderr quiet;
    // The encoded file grows in a buffer the thread keeps from one frame to
    // the next: a sequence's writer then neither regrows it, copying what it
    // held at each doubling, nor has fresh pages cleared for every frame.
    thread_local std::vector<unsigned char> encoded_bytes;
    encoded_bytes.clear();
    // Declared first: the writer may still touch it while being destroyed.
    OIIO::Filesystem::IOVecOutput encoded(encoded_bytes);
    auto output = OIIO::ImageOutput::create(format_path);
    if (!output) {
        OIIO::geterror();
        throw UsageError(format_path + ": no image format for this file name");
    }
    OIIO::ImageSpec layout =
        LayoutOf(image, TypeFor(StoredFormatForOutput(output->format_name(), image.stored_format)));
    // Each channel in its own type where the source had them and the
    // format has them too: half colour stays half beside a float depth,
    // an integer id stays an integer.
    if (!image.channel_storage.empty() && output->supports("channelformats")) {
        for (const ChannelStorage &channel : image.channel_storage) {
            layout.channelformats.push_back(TypeFor(
                channel.verbatim ? channel.stored : StoredFormatForOutput(output->format_name(), channel.stored)));
        }
    }
    layout.x = image.x;
    layout.y = image.y;
    const PixelWindow display = image.DisplayWindow();
    layout.full_x = display.x;
    layout.full_y = display.y;
    layout.full_width = display.width;
    layout.full_height = display.height;
    if (image.attributes && image.attributes->format_name == output->format_name() &&
        image.attributes->tile_width > 0 && output->supports("tiles")) {
        layout.tile_width = image.attributes->tile_width;
        layout.tile_height = image.attributes->tile_height;
        layout.tile_depth = 1;
    }
    if (image.attributes) {
        for (const OIIO::ParamValue &attribute : image.attributes->list) {
            if (Carried(attribute.name().string(), image.attributes->format_name, output->format_name())) {
                layout.extra_attribs.push_back(attribute);
            }
        }
    }
    // Straight samples are written as they are and marked so where the
    // format can; left unmarked, the library would take them as
    // premultiplied and divide them by alpha once more.
    if (image.alpha_association == AlphaAssociation::kStraight) {
        layout.attribute("oiio:UnassociatedAlpha", 1);
    }
    // An odd depth (10-bit DPX) is kept only by the same format; another
    // format chooses its own nearest depth.
    if (image.bits_per_sample != 0 && image.format_name == output->format_name()) {
        layout.attribute("oiio:BitsPerSample", image.bits_per_sample);
    }
    // Encoded into memory, then stored by `file`'s checked writes: some
    // format libraries lose a failed write (a full disk gave a truncated PNG
    // reported as written, and a writer that seeks leaves holes) or end the
    // process on one (JPEG), and in memory no write fails. A writer that
    // takes no I/O proxy writes a memory file by name.
    // Not TIFF: its writer reads back its own directory when it adds an
    // EXIF one at the close (for any source labelled sRGB, which it marks
    // in EXIF, or holding EXIF), and it cannot read through a proxy: the
    // image's directory was lost, the file holding only the EXIF one.
    const bool through_proxy =
        output->format_name() != std::string("tiff") && output->supports("ioproxy") && output->set_ioproxy(&encoded);
    UseFastestZipLevel(output->format_name(), layout);
    std::optional<MemoryFile> memory_file;
    if (!through_proxy) {
        memory_file.emplace();
    }
    const bool to_memory_file = memory_file && memory_file->available();
    const std::string written_name = to_memory_file ? memory_file->path() : file.temp_path();
    EncodeImage(*output, written_name, layout, image, file, to_memory_file ? &*memory_file : nullptr);
    file.CheckBeforeRename([format = std::string(output->format_name()), layout](const std::string &written) {
        return ReadBackFailure(format, written, layout);
    });
    if (through_proxy) {
        if (output->format_name() == std::string("png")) {
            RestatePng(encoded.buffer(), PngStatementsFor(image));
        }
        file.Write(encoded.buffer().data(), encoded.buffer().size());
        return;
    }
    if (to_memory_file) {
        std::vector<unsigned char> bytes;
        if (!memory_file->ReadAll(bytes)) {
            file.Fail("the encoded image cannot be read back from memory");
        }
        file.Write(bytes.data(), bytes.size());
    }
}

Image ResampleWithLibrary(const Image &source, int width, int height) {
    Image result = MakeImageLike(source, width, height);
    // Both buffers are wrapped, not copied; the library only reads `source`.
    const OIIO::ImageBuf from(LayoutOf(source, TypeOf(source.kind)), const_cast<unsigned char *>(source.bytes.data()));
    OIIO::ImageBuf to(LayoutOf(result, TypeOf(result.kind)), result.bytes.data());
    if (!OIIO::ImageBufAlgo::resize(to, from)) {
        throw ToolError(EXIT_USAGE, "cannot reduce the image: " + to.geterror());
    }
    return result;
}

}  // namespace zonara_tool

extern "C" ZONARA_IMAGE_LIBRARY_EXPORT const zonara_tool::ImageLibraryTable *ZonaraImageLibraryTable() {
    static constexpr zonara_tool::ImageLibraryTable TABLE{
        zonara_tool::IMAGE_LIBRARY_TABLE_VERSION, zonara_tool::ReadLibraryImage,
        zonara_tool::PeekLibrarySampleKind,       zonara_tool::LibraryCanWrite,
        zonara_tool::LibraryOutputTraits,         zonara_tool::WriteLibraryImage,
        zonara_tool::ResampleWithLibrary,         zonara_tool::LibraryCanRead,
        zonara_tool::UseSampleBlockFunctions,
    };
    return &TABLE;
}
