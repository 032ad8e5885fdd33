#include "tools/base/xml_text.h"

#include <cstdio>
#include <optional>

#include "tools/base/utf8_text.h"

namespace zonara_tool {
namespace {

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
