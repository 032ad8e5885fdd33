// Reading UTF-8 one character at a time, strictly: what a message may show
// as it is and what an XML file may hold both start from it.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zonara_tool {

struct DecodedCharacter {
    char32_t code;
    std::size_t length;  // in bytes, 1 to 4
};

// The character whose UTF-8 starts at byte `at` of `text`; nullopt for a
// stray continuation byte, a cut, overlong or surrogate sequence, or a code
// point past U+10FFFF.
std::optional<DecodedCharacter> DecodeUtf8(std::string_view text, std::size_t at);

}  // namespace zonara_tool
