#include "tools/image/library_image_file.h"

#include "tools/base/tool_error.h"

#if ZONARA_HAVE_OIIO
#include <dlfcn.h>

#include "testhost/program_folder.h"
#include "tools/image/library/image_library_table.h"
#endif

namespace zonara_tool {

#if ZONARA_HAVE_OIIO
namespace {

const ImageLibraryTable *LoadModule() {
    std::string reasons;
    // Beside the program in the build folder (the tool and the test
    // programs), where an installation puts it, then where it was built.
    const std::string folder = testhost::ProgramFolder();
    const std::string candidates[] = {folder + ZONARA_IMAGE_LIBRARY_FILE, folder + ZONARA_IMAGE_LIBRARY_FROM_PROGRAM,
                                      ZONARA_IMAGE_LIBRARY_PATH};
    for (const std::string &path : candidates) {
        // Never closed: images keep the attributes the module read, which
        // only its code can release.
        void *module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            reasons += std::string(reasons.empty() ? "" : "; ") + ::dlerror();
            continue;
        }
        using Entry = const ImageLibraryTable *(*)();
        const auto entry = reinterpret_cast<Entry>(::dlsym(module, ZONARA_IMAGE_LIBRARY_ENTRY));
        const ImageLibraryTable *table = entry != nullptr ? entry() : nullptr;
        if (table != nullptr && table->version == IMAGE_LIBRARY_TABLE_VERSION) {
            table->use_sample_blocks(OwnSampleBlockFunctions());
            return table;
        }
        reasons += std::string(reasons.empty() ? "" : "; ") + path + ": not this version's image library";
    }
    throw UsageError("cannot load the image library that reads and writes this format (" + reasons +
                     "); rebuild the tool");
}

// Loaded on first use, once for the whole process; a failed load is tried
// again on the next call and reported each time.
const ImageLibraryTable &Library() {
    static const ImageLibraryTable *const table = LoadModule();
    return *table;
}

}  // namespace

Image ReadLibraryImage(const std::string &path) { return Library().read(path); }
std::optional<SampleKind> PeekLibrarySampleKind(const std::string &path) { return Library().peek_sample_kind(path); }
bool LibraryCanWrite(const std::string &path) { return Library().can_write(path); }
bool LibraryCanRead(const std::string &path) { return Library().can_read(path); }
OutputTraits LibraryOutputTraits(const std::string &path) { return Library().output_traits(path); }
void WriteLibraryImage(const std::string &format_path, PendingOutput &file, const Image &image) {
    Library().write(format_path, file, image);
}
Image ResampleWithLibrary(const Image &source, int width, int height) {
    return Library().resample(source, width, height);
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
bool LibraryCanRead(const std::string &) { return false; }
OutputTraits LibraryOutputTraits(const std::string &) { return {}; }
void WriteLibraryImage(const std::string &format_path, PendingOutput &, const Image &) { Refuse(format_path); }
Image ResampleWithLibrary(const Image &, int, int) {
    throw ToolError(EXIT_USAGE,
                    "cannot reduce the image: this build has no resampling (it is built without OpenImageIO); "
                    "render at full size");
}

#endif

}  // namespace zonara_tool
