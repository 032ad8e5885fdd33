// The host reads the property list before it ever calls the module; any
// byte out of place and the effect is not found, misnamed or refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/effect_version.h"
#include "shell/global_setup.h"
#include "shell/property_list.h"
#include "support/linked_effect.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

struct ExpectedProperty {
    const char *key_bytes;  // as stored: the code reversed
    std::uint32_t length;
    Bytes value;  // without padding
};

const std::vector<ExpectedProperty> &ExpectedProperties() {
    // clang-format off
    static const std::vector<ExpectedProperty> table = {
        {"dnik", 4, Text("TKFe")},
        {"eman", 16, [] { Bytes b{12}; auto t = Text("Quorv Zonara"); b.insert(b.end(), t.begin(), t.end()); return b; }()},
        {"gtac", 12, [] { Bytes b{11}; auto t = Text("Brindlecove"); b.insert(b.end(), t.begin(), t.end()); return b; }()},
        {"4668", 16, [] { Bytes b = Text("EntryPointFunc"); b.push_back(0); return b; }()},
        {"RVPe", 4, {2, 0, 0, 0}},
        {"RVSe", 4, {13, 0, 2, 0}},
        {"REVe", 4, {0x01, 0x00, 0x09, 0x00}},
        {"FNIe", 2, {0, 0}},
        {"OLGe", 4, {0x00, 0x84, 0x00, 0x06}},
        {"2LGe", 4, {0x00, 0x14, 0x00, 0x08}},
        {"ANMe", 16, [] { Bytes b{12}; auto t = Text("Quorv Zonara"); b.insert(b.end(), t.begin(), t.end()); return b; }()},
        {"LFea", 4, {8, 0, 0, 0}},
    };
    // clang-format on
    return table;
}

TEST(PropertyList, HeaderAndTotalSize) {
    const auto bytes = zonara::PropertyListBytes();
    ASSERT_EQ(bytes.size(), 294u);
    const Bytes header(bytes.begin(), bytes.begin() + 10);
    EXPECT_EQ(header, (Bytes{1, 0, 0, 0, 0, 0, 12, 0, 0, 0}));
}

TEST(PropertyList, EachPropertyInOrderWithItsPadding) {
    const auto bytes = zonara::PropertyListBytes();
    std::size_t at = 10;
    for (const ExpectedProperty &p : ExpectedProperties()) {
        SCOPED_TRACE(p.key_bytes);
        ASSERT_LE(at + 16, bytes.size());
        EXPECT_EQ(std::string(bytes.begin() + at, bytes.begin() + at + 4), "MIB8");
        EXPECT_EQ(std::string(bytes.begin() + at + 4, bytes.begin() + at + 8), p.key_bytes);
        EXPECT_EQ(ReadU32(bytes, at + 8), 0u) << "id";
        const std::uint32_t length = ReadU32(bytes, at + 12);
        EXPECT_EQ(length, p.length);
        at += 16;

        const std::size_t stored = (length + 3) / 4 * 4;
        ASSERT_LE(at + stored, bytes.size());
        Bytes padded = p.value;
        padded.resize(stored, 0);
        EXPECT_EQ(Bytes(bytes.begin() + at, bytes.begin() + at + stored), padded);
        at += stored;
    }
    EXPECT_EQ(at, bytes.size()) << "bytes after the last property";
}

// The host trusts the list's version and flags before the module runs and
// GlobalSetup's afterwards; a difference means a stale resource. Both hosts
// are asked, as each compares the list with what it was told.
TEST(PropertyList, VersionAndFlagsMatchGlobalSetup) {
    const auto bytes = zonara::PropertyListBytes();
    const std::size_t ever_value = 10 + 20 + 32 + 28 + 32 + 20 + 20 + 16;
    const std::size_t eglo_value = ever_value + 4 + 20 + 16;
    const std::size_t egl2_value = eglo_value + 4 + 16;
    EXPECT_EQ(std::string(bytes.begin() + ever_value - 12, bytes.begin() + ever_value - 8), "REVe");
    EXPECT_EQ(std::string(bytes.begin() + eglo_value - 12, bytes.begin() + eglo_value - 8), "OLGe");
    EXPECT_EQ(std::string(bytes.begin() + egl2_value - 12, bytes.begin() + egl2_value - 8), "2LGe");
    for (const auto app : {testhost::HostApp::kAfterEffects, testhost::HostApp::kPremiere}) {
        testhost::Host host(nullptr, app);
        ASSERT_EQ(host.SendTo(zonara_test::TwoRecords(zonara::GlobalSetup), PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
        const PF_OutData &out = host.last_out_data();
        EXPECT_EQ(ReadU32(bytes, ever_value), out.my_version);
        EXPECT_EQ(static_cast<std::int32_t>(ReadU32(bytes, eglo_value)), out.out_flags);
        EXPECT_EQ(static_cast<std::int32_t>(ReadU32(bytes, egl2_value)), out.out_flags2);
    }
}

}  // namespace
