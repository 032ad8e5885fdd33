#include "shell/property_list.h"

#include <string_view>

#include "shell/effect_version.h"

namespace zonara {
namespace {

// Writes little-endian integers and padded values into a fixed buffer at
// compile time; every property is 4-byte padded after its value.
class PropertyListWriter {
public:
    constexpr void U16(std::uint16_t value) {
        Byte(static_cast<std::uint8_t>(value & 0xFFu));
        Byte(static_cast<std::uint8_t>(value >> 8));
    }
    constexpr void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value & 0xFFFFu));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    // A four-character code stored as a little-endian number, so "kind" is
    // laid down as the bytes "dnik".
    constexpr void FourCC(std::string_view code) {
        U32(static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])));
    }

    constexpr void Header(std::uint32_t property_count) {
        U16(1);  // list format version
        U32(0);  // reserved
        U32(property_count);
    }

    // Every property: vendor, key, id 0, value length, value, padding.
    constexpr void PropertyU32(std::string_view key, std::uint32_t value) {
        PropertyStart(key, 4);
        U32(value);
    }
    constexpr void PropertyU16(std::string_view key, std::uint16_t value) {
        PropertyStart(key, 2);
        U16(value);
        PadToFour(2);
    }
    constexpr void PropertyFourCC(std::string_view key, std::string_view code) {
        PropertyStart(key, 4);
        FourCC(code);
    }
    constexpr void PropertyVersion(std::string_view key, std::uint16_t major, std::uint16_t minor) {
        PropertyStart(key, 4);
        U16(major);
        U16(minor);
    }
    // One length byte counting the characters, then the characters.
    constexpr void PropertyCountedText(std::string_view key, std::string_view text) {
        const std::size_t size = 1 + text.size();
        PropertyStart(key, Padded(size));
        Byte(static_cast<std::uint8_t>(text.size()));
        Text(text);
        PadToFour(size);
    }
    // The characters and a terminating zero.
    constexpr void PropertyZeroTerminatedText(std::string_view key, std::string_view text) {
        const std::size_t size = text.size() + 1;
        PropertyStart(key, Padded(size));
        Text(text);
        Byte(0);
        PadToFour(size);
    }

    constexpr std::size_t size() const { return position_; }
    constexpr const std::array<std::uint8_t, PROPERTY_LIST_SIZE> &bytes() const { return bytes_; }

private:
    static constexpr std::size_t Padded(std::size_t size) { return (size + 3) / 4 * 4; }

    constexpr void PropertyStart(std::string_view key, std::size_t value_length) {
        FourCC("8BIM");
        FourCC(key);
        U32(0);
        U32(static_cast<std::uint32_t>(value_length));
    }
    constexpr void PadToFour(std::size_t written) {
        for (std::size_t i = written; i < Padded(written); ++i) {
            Byte(0);
        }
    }
    constexpr void Text(std::string_view text) {
        for (char c : text) {
            Byte(static_cast<std::uint8_t>(c));
        }
    }
    // Indexing a std::array out of range is not a constant expression, so
    // a list that outgrows PROPERTY_LIST_SIZE fails to compile.
    constexpr void Byte(std::uint8_t value) { bytes_[position_++] = value; }

    std::array<std::uint8_t, PROPERTY_LIST_SIZE> bytes_{};
    std::size_t position_ = 0;
};

constexpr std::string_view EFFECT_LIST_NAME = "Quorv Zonara";
constexpr std::string_view EFFECT_CATEGORY = "Brindlecove";
constexpr std::string_view ENTRY_POINT_NAME = "EntryPointFunc";

constexpr PropertyListWriter BuildPropertyList() {
    PropertyListWriter list;
    list.Header(12);
    list.PropertyFourCC("kind", "eFKT");  // an effect
    list.PropertyCountedText("name", EFFECT_LIST_NAME);
    list.PropertyCountedText("catg", EFFECT_CATEGORY);
    list.PropertyZeroTerminatedText("8664", ENTRY_POINT_NAME);  // 64-bit Windows entry
    list.PropertyVersion("ePVR", 2, 0);                         // list format 2.0
    list.PropertyVersion("eSVR", 13, 2);                        // effect interface 13.2
    list.PropertyU32("eVER", EFFECT_VERSION);
    list.PropertyU16("eINF", 0);
    list.PropertyU32("eGLO", static_cast<std::uint32_t>(EFFECT_OUT_FLAGS));
    list.PropertyU32("eGL2", static_cast<std::uint32_t>(EFFECT_OUT_FLAGS2));
    // Projects find the effect again by this name, so it never changes.
    list.PropertyCountedText("eMNA", EFFECT_LIST_NAME);
    list.PropertyU32("aeFL", 8);
    return list;
}

constexpr PropertyListWriter PROPERTY_LIST = BuildPropertyList();
static_assert(PROPERTY_LIST.size() == PROPERTY_LIST_SIZE, "property list must fill its buffer exactly");

}  // namespace

std::span<const std::uint8_t, PROPERTY_LIST_SIZE> PropertyListBytes() { return PROPERTY_LIST.bytes(); }

}  // namespace zonara
