// The plug-in property list: the resource from which a host learns, before
// it ever calls the module, that this is an effect, its name, category,
// entry point, interface versions, version, capability flags and match name.
// The bytes here are the one source from which the Windows resource is made.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace zonara {

inline constexpr std::size_t PROPERTY_LIST_SIZE = 294;
inline constexpr std::uint16_t PROPERTY_LIST_RESOURCE_ID = 16000;
inline constexpr std::uint16_t PROPERTY_LIST_LANGUAGE = 1033;  // English (United States)

// The complete resource, little-endian, header first.
std::span<const std::uint8_t, PROPERTY_LIST_SIZE> PropertyListBytes();

}  // namespace zonara
