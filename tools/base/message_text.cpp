#include "tools/base/message_text.h"

#include <cstdio>
#include <optional>

#include "tools/base/utf8_text.h"

namespace zonara_tool {

namespace {

std::string Escaped(unsigned char byte) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned int>(byte));
    return escaped;
}

}  // namespace

std::string QuotedForMessage(std::string_view text) {
    std::string quoted = "'";
    std::size_t at = 0;
    while (at < text.size() && at < MESSAGE_QUOTE_BYTES) {
        const std::optional<DecodedCharacter> character = DecodeUtf8(text, at);
        const auto lead = static_cast<unsigned char>(text[at]);
        if (!character || lead < 0x20 || lead == 0x7F) {
            quoted += Escaped(lead);
            ++at;
        } else {
            quoted.append(text.substr(at, character->length));
            at += character->length;
        }
    }
    quoted += '\'';
    if (at < text.size()) {
        quoted += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return quoted;
}

std::string ListedForMessage(const std::vector<std::string> &items) {
    std::string listed;
    const std::size_t named = items.size() < MESSAGE_LIST_ITEMS ? items.size() : MESSAGE_LIST_ITEMS;
    for (std::size_t i = 0; i < named; ++i) {
        listed += (i == 0 ? "" : ", ") + items[i];
    }
    if (items.size() > named) {
        listed += " and " + std::to_string(items.size() - named) + " more";
    }
    return listed;
}

}  // namespace zonara_tool
