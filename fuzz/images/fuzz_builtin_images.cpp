// The built-in PAM and PFM readers, fed arbitrary bytes: they parse files a
// person hands the tool, so no header (sizes, depths, scales, comments) and
// no truncation may make them read out of bounds, allocate beyond the size
// limits or return an image whose block does not match its size. The first
// byte chooses the format ('F': PFM, anything else: PAM); the rest is the
// file.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/base/tool_error.h"
#include "tools/image/builtin_image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace zonara_tool;
    if (size == 0) {
        return 0;
    }
    const BuiltInFormat format = data[0] == 'F' ? BuiltInFormat::kPfm : BuiltInFormat::kPam;
    std::istringstream file(std::string(reinterpret_cast<const char *>(data + 1), size - 1));
    try {
        const Image image = DecodeBuiltInImage(format, file, "fuzz-input");
        const bool consistent =
            image.width >= 1 && image.height >= 1 && image.channels >= 1 && image.width <= MAX_IMAGE_SIDE &&
            image.height <= MAX_IMAGE_SIDE && image.channels <= MAX_IMAGE_CHANNELS &&
            image.bytes.size() == image.SampleCount() * BytesPerSample(image.kind) &&
            static_cast<int>(image.channel_names.size()) == image.channels && image.alpha_channel < image.channels &&
            image.bytes.size() <= size;  // every sample came from the input
        if (!consistent) {
            __builtin_trap();
        }
    } catch (const ToolError &) {
        // Refused with a message: what a damaged file must get.
    }
    return 0;
}
