#include "tools/base/message_text.h"

#include <cstdio>

namespace zonara_tool {

namespace {

// The length of the UTF-8 sequence starting at `at`, or 0 where the bytes
// there are not one (a stray continuation byte, a cut or overlong sequence,
// a surrogate or a code point past U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned int code = 0;
    if (lead < 0x80) {
        return 1;
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
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

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
        const std::size_t length = Utf8SequenceLength(text, at);
        const auto lead = static_cast<unsigned char>(text[at]);
        if (length == 0 || lead < 0x20 || lead == 0x7F) {
            quoted += Escaped(lead);
            ++at;
        } else {
            quoted.append(text.substr(at, length));
            at += length;
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
