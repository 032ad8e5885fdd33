#include "tools/base/xml_text.h"

#include <cstdio>
#include <optional>

namespace zonara_tool {
namespace {

struct DecodedCharacter {
    char32_t code;
    std::size_t length;
};

// The character whose UTF-8 starts at `at`; nullopt for a stray
// continuation byte, a cut, overlong or surrogate sequence, or a code point
// past U+10FFFF.
std::optional<DecodedCharacter> DecodeUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80) {
        return DecodedCharacter{lead, 1};
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return std::nullopt;
    }
    if (at + length > text.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) {
            return std::nullopt;
        }
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) {
        return std::nullopt;
    }
    return DecodedCharacter{code, length};
}

// C0, DEL and C1.
bool IsControlCharacter(char32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

// The two non-characters XML leaves out of its character set.
bool IsOutsideXml(char32_t code) { return code == 0xFFFE || code == 0xFFFF; }

std::string CodePointText(char32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned int>(code));
    return text;
}

}  // namespace

std::string XmlTextProblem(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::optional<DecodedCharacter> character = DecodeUtf8(text, at);
        if (!character) {
            return "byte " + std::to_string(at + 1) + " is not UTF-8";
        }
        if (IsControlCharacter(character->code)) {
            return "byte " + std::to_string(at + 1) + " is the control character " + CodePointText(character->code);
        }
        if (IsOutsideXml(character->code)) {
            return "byte " + std::to_string(at + 1) + " starts " + CodePointText(character->code) +
                   ", which XML does not allow";
        }
        at += character->length;
    }
    return {};
}

}  // namespace zonara_tool
