// What a Windows host reads from a module file before it calls it: the
// plug-in property list, a resource of type "PIPL". Only Windows modules
// carry resources; elsewhere the effect's list exists only in its sources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

struct PropertyListResource {
    std::uint16_t id = 0;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> bytes;
};

// True where modules carry resources (Windows).
bool ModulesCarryResources();

// The module's PIPL resources, in the order the loader lists them, found
// and loaded with FindResourceEx and LoadResource from the file opened as
// data (no code of the module runs). Throws std::runtime_error when the file
// cannot be opened or has no PIPL resource, and where modules carry none.
std::vector<PropertyListResource> ReadPropertyListResources(const std::string &module_path);

}  // namespace testhost
