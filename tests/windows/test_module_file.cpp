// The shipped Windows module as a host sees it before calling it, read from
// the file: a 64-bit DLL named Quorv_Zonara.aex exporting EntryPointFunc
// alone, needing only Windows' own libraries, with the property list as its
// one resource. And the PE reader itself on damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "shell/property_list.h"
#include "windows/pe_image.h"
#include "windows/windows_build.h"

namespace {

using windows_test::ReadBytes;

class WindowsModuleFile : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = windows_test::WhyWindowsChecksCannotRun(); !why.empty()) {
            GTEST_SKIP() << why;
        }
    }
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// What a clean Windows machine has: no MinGW runtime DLLs beside the module.
bool IsSystemLibrary(const std::string &name) {
    const std::string lower = Lower(name);
    return lower == "kernel32.dll" || lower == "msvcrt.dll" || lower == "ucrtbase.dll" ||
           lower.starts_with("api-ms-win-");
}

TEST_F(WindowsModuleFile, IsA64BitDll) {
    const pe::Image image = pe::Read(ReadBytes(windows_test::WindowsModule()));
    EXPECT_EQ(image.machine, pe::MACHINE_X86_64);
    EXPECT_EQ(image.optional_magic, pe::OPTIONAL_MAGIC_PE32_PLUS);
    EXPECT_NE(image.characteristics & pe::CHARACTERISTIC_DLL, 0);
}

TEST_F(WindowsModuleFile, ExportsEntryPointFuncAloneUnderTheModulesName) {
    const pe::Image image = pe::Read(ReadBytes(windows_test::WindowsModule()));
    ASSERT_TRUE(image.has_exports);
    EXPECT_EQ(image.export_module_name, "Quorv_Zonara.aex");
    EXPECT_EQ(image.exported_function_count, 1u);
    EXPECT_EQ(image.exported_names, std::vector<std::string>{"EntryPointFunc"});
}

TEST_F(WindowsModuleFile, ModuleAndToolImportOnlySystemLibraries) {
    for (const auto &path : {windows_test::WindowsModule(), windows_test::WindowsTool()}) {
        SCOPED_TRACE(path.string());
        const pe::Image image = pe::Read(ReadBytes(path));
        EXPECT_FALSE(image.imported_libraries.empty());
        for (const std::string &library : image.imported_libraries) {
            EXPECT_TRUE(IsSystemLibrary(library)) << library << " would have to be shipped beside it";
        }
    }
}

TEST_F(WindowsModuleFile, OnlyResourceIsThePropertyList) {
    const pe::Image image = pe::Read(ReadBytes(windows_test::WindowsModule()));
    ASSERT_EQ(image.resources.size(), 1u);
    const pe::Resource &pipl = image.resources[0];
    EXPECT_EQ(pipl.type, "PIPL");
    EXPECT_FALSE(pipl.id_is_name);
    EXPECT_EQ(pipl.id, zonara::PROPERTY_LIST_RESOURCE_ID);
    EXPECT_EQ(pipl.id, 16000u);
    EXPECT_EQ(pipl.language, 1033u);
    const auto expected = zonara::PropertyListBytes();
    EXPECT_EQ(pipl.bytes, std::vector<std::uint8_t>(expected.begin(), expected.end()));
}

// A damaged file is refused with an error, never read past its end.
TEST(PeReader, RefusesDamagedFiles) {
    if (!windows_test::WhyWindowsChecksCannotRun().empty()) {
        GTEST_SKIP() << windows_test::WhyWindowsChecksCannotRun();
    }
    const std::vector<std::uint8_t> module = ReadBytes(windows_test::WindowsModule());
    const std::uint32_t pe_offset = module[0x3C] | module[0x3D] << 8;
    struct Damage {
        const char *name;
        std::size_t keep;                           // truncate to this many bytes
        std::vector<std::pair<std::size_t, std::uint8_t>> writes;  // then overwrite these
    };
    const std::vector<Damage> damages = {
        {"empty", 0, {}},
        {"dos_header_only", 0x40, {}},
        {"truncated_in_headers", pe_offset + 64, {}},
        {"truncated_in_sections", module.size() / 2, {}},
        {"pe_offset_beyond_end", module.size(), {{0x3C, 0xFF}, {0x3D, 0xFF}, {0x3E, 0xFF}, {0x3F, 0x7F}}},
        {"no_mz", module.size(), {{0, 'X'}}},
        {"no_pe_signature", module.size(), {{pe_offset, 'X'}}},
    };
    for (const Damage &damage : damages) {
        SCOPED_TRACE(damage.name);
        std::vector<std::uint8_t> file(module.begin(), module.begin() + static_cast<std::ptrdiff_t>(damage.keep));
        for (const auto &[at, value] : damage.writes) {
            file[at] = value;
        }
        EXPECT_THROW(pe::Read(file), std::runtime_error);
    }
}

}  // namespace
