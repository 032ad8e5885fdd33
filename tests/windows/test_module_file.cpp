// The shipped Windows module as a host sees it before calling it, read from
// the file: a 64-bit DLL named Quorv_Zonara.aex exporting EntryPointFunc
// alone, needing only Windows' own libraries, with the property list as its
// one resource. Read by the MinGW toolchain's objdump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "shell/property_list.h"
#include "windows/module_dump.h"
#include "windows/windows_build.h"

namespace {

using windows_test::DumpModule;

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
    const windows_test::ModuleDump image = DumpModule(windows_test::WindowsModule());
    EXPECT_EQ(image.file_format, "pei-x86-64");
    EXPECT_TRUE(image.pe32_plus);
    EXPECT_TRUE(image.dll);
}

TEST_F(WindowsModuleFile, ExportsEntryPointFuncAloneUnderTheModulesName) {
    const windows_test::ModuleDump image = DumpModule(windows_test::WindowsModule());
    ASSERT_TRUE(image.has_exports);
    EXPECT_EQ(image.export_module_name, "Quorv_Zonara.aex");
    EXPECT_EQ(image.exported_function_count, 1u);
    EXPECT_EQ(image.exported_names, std::vector<std::string>{"EntryPointFunc"});
}

TEST_F(WindowsModuleFile, ModuleAndToolImportOnlySystemLibraries) {
    for (const auto &path : {windows_test::WindowsModule(), windows_test::WindowsTool()}) {
        SCOPED_TRACE(path.string());
        const windows_test::ModuleDump image = DumpModule(path);
        EXPECT_FALSE(image.imported_libraries.empty());
        for (const std::string &library : image.imported_libraries) {
            EXPECT_TRUE(IsSystemLibrary(library)) << library << " would have to be shipped beside it";
        }
    }
}

TEST_F(WindowsModuleFile, OnlyResourceIsThePropertyList) {
    const windows_test::ModuleDump image = DumpModule(windows_test::WindowsModule());
    ASSERT_EQ(image.resources.size(), 1u);
    const windows_test::ModuleResource &pipl = image.resources[0];
    EXPECT_EQ(pipl.type, "PIPL");
    EXPECT_EQ(pipl.name, "#" + std::to_string(zonara::PROPERTY_LIST_RESOURCE_ID));
    EXPECT_EQ(pipl.name, "#16000");
    EXPECT_EQ(pipl.language, 1033u);
    const auto expected = zonara::PropertyListBytes();
    EXPECT_EQ(pipl.bytes, std::vector<std::uint8_t>(expected.begin(), expected.end()));
}

// What objdump cannot read is an error, never an empty module that a check
// might take for one without exports or resources.
TEST(ModuleDump, RefusesWhatObjdumpCannotRead) {
    if (!windows_test::WhyWindowsChecksCannotRun().empty()) {
        GTEST_SKIP() << windows_test::WhyWindowsChecksCannotRun();
    }
    const windows_test::ScratchDir dir("dump");
    const std::vector<std::uint8_t> module = windows_test::ReadBytes(windows_test::WindowsModule());
    const std::vector<std::pair<const char *, std::vector<std::uint8_t>>> files = {
        {"empty", {}},
        {"headers_only", {module.begin(), module.begin() + 0x200}},
        {"text", {'M', 'Z', ' ', 'n', 'o', 't', '\n'}},
    };
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        EXPECT_THROW(DumpModule(dir / name), std::runtime_error);
    }
}

}  // namespace
