#include "tools/image/library_image_file.h"

#include "tools/base/tool_error.h"

#if ZONARA_HAVE_OIIO
#include <dlfcn.h>

#include <algorithm>
#include <string>

#include "testhost/loading/program_folder.h"
#include "tools/image/library/image_library_table.h"
#endif

namespace zonara_tool {

#if ZONARA_HAVE_OIIO
namespace {

// OpenImageIO, as this system's packages build it, pulls in some 290
// libraries, and loading them is most of a first image's cost: nearly all of
// it the loader looking up symbols, each lookup walking the module's search
// list as far as the library that defines the symbol. The libraries the
// build names here (GDAL's and OpenVDB's) define most of what is looked up
// and lie deep in that list. Loaded first, each on its own, their lookups
// end at the front of a short list, which shortens the load. Never
// closed, as the module; one that fails to load is left to the module's
// own load, which names what is missing. The build names them by path.
void LoadLibrariesLookedUpMost() {
    const std::string paths = ZONARA_IMAGE_LIBRARY_EARLY_LOADS;
    for (std::size_t start = 0; start < paths.size();) {
        const std::size_t end = std::min(paths.find(':', start), paths.size());
        if (::dlopen(paths.substr(start, end - start).c_str(), RTLD_NOW | RTLD_LOCAL) == nullptr) {
            // Taken, so that no later dlerror() reports this failure as its own.
            (void)::dlerror();
        }
        start = end + 1;
    }
}

const ImageLibraryTable *LoadModule() {
    LoadLibrariesLookedUpMost();
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
