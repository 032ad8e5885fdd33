#include "testhost/loading/property_list_resource.h"

#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace testhost {

#if defined(_WIN32)
namespace {

constexpr const char *PIPL_TYPE = "PIPL";

struct LibraryAsData {
    HMODULE handle;
    explicit LibraryAsData(const std::string &path)
        : handle(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~LibraryAsData() {
        if (handle != nullptr) {
            FreeLibrary(handle);
        }
    }
    LibraryAsData(const LibraryAsData &) = delete;
    LibraryAsData &operator=(const LibraryAsData &) = delete;
};

struct Found {
    std::vector<std::uint16_t> ids;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> id_languages;
};

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
    // A host numbers its property lists; a named one would not be found.
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<Found *>(found)->ids.push_back(static_cast<std::uint16_t>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR name, WORD language, LONG_PTR found) {
    reinterpret_cast<Found *>(found)->id_languages.emplace_back(
        static_cast<std::uint16_t>(reinterpret_cast<ULONG_PTR>(name)), language);
    return TRUE;
}

}  // namespace

bool ModulesCarryResources() { return true; }

std::vector<PropertyListResource> ReadPropertyListResources(const std::string &module_path) {
    LibraryAsData module(module_path);
    if (module.handle == nullptr) {
        throw std::runtime_error("cannot open '" + module_path + "' to read its resources (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    Found found;
    EnumResourceNamesA(module.handle, PIPL_TYPE, CollectName, reinterpret_cast<LONG_PTR>(&found));
    for (std::uint16_t id : found.ids) {
        EnumResourceLanguagesA(module.handle, PIPL_TYPE, MAKEINTRESOURCEA(id), CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&found));
    }
    std::vector<PropertyListResource> lists;
    for (const auto &[id, language] : found.id_languages) {
        HRSRC info = FindResourceExA(module.handle, PIPL_TYPE, MAKEINTRESOURCEA(id), language);
        HGLOBAL loaded = info != nullptr ? LoadResource(module.handle, info) : nullptr;
        const void *data = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (data == nullptr) {
            throw std::runtime_error("cannot load PIPL resource " + std::to_string(id) + " of '" + module_path + "'");
        }
        const auto *bytes = reinterpret_cast<const std::uint8_t *>(data);
        lists.push_back({id, language, std::vector<std::uint8_t>(bytes, bytes + SizeofResource(module.handle, info))});
    }
    if (lists.empty()) {
        throw std::runtime_error("'" + module_path + "' has no PIPL resource: a host would not list it");
    }
    return lists;
}
#else
bool ModulesCarryResources() { return false; }

std::vector<PropertyListResource> ReadPropertyListResources(const std::string &module_path) {
    throw std::runtime_error("'" + module_path + "': modules carry no resources on this system");
}
#endif

}  // namespace testhost
