// The Windows build's level objects keep every COMDAT definition inside
// their own namespace, as the native ones do (see
// support/level_object_symbols.h): MinGW's linker keeps one copy of each.
#include <gtest/gtest.h>

#include "support/level_object_symbols.h"
#include "support/levels.h"
#include "windows/windows_build.h"

namespace {

TEST(WindowsLevelObjects, DefineNothingMergeableOutsideTheirNamespace) {
    if (const std::string why = windows_test::WhyWindowsChecksCannotRun(); !why.empty()) GTEST_SKIP() << why;
    const auto objects = zonara_test::LevelObjects(windows_test::WindowsBuildDir());
    ASSERT_EQ(objects.size(), zonara_test::VECTOR_LEVEL_COUNT)
        << "the baseline, AVX2 and AVX-512 objects under " << windows_test::WindowsBuildDir();
    const auto strays =
        zonara_test::DefinitionsOutsideTheirLevel("x86_64-w64-mingw32-nm", "x86_64-w64-mingw32-objdump", objects);
    EXPECT_TRUE(strays.empty()) << strays.size() << " definitions, the first: " << strays.front();
}

}  // namespace
