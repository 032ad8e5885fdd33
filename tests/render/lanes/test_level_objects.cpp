// The level objects of this build keep every mergeable definition inside
// their own namespace (see support/level_object_symbols.h).
#include <gtest/gtest.h>

#include "support/level_object_symbols.h"
#include "support/levels.h"

namespace {

TEST(LevelObjects, DefineNothingMergeableOutsideTheirNamespace) {
    const auto objects = zonara_test::LevelObjects(ZONARA_BINARY_DIR);
    ASSERT_EQ(objects.size(), zonara_test::VECTOR_LEVEL_COUNT)
        << "the baseline, AVX2 and AVX-512 objects under " << ZONARA_BINARY_DIR;
    const auto strays = zonara_test::DefinitionsOutsideTheirLevel("nm", "objdump", objects);
    EXPECT_TRUE(strays.empty()) << strays.size() << " definitions, the first: " << strays.front();
}

// The check sees what it looks for: this test's own object defines inline
// functions of the test library's headers.
TEST(LevelObjects, TheCheckSeesMergeableDefinitions) {
    std::filesystem::path own;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(ZONARA_BINARY_DIR "/CMakeFiles")) {
        if (entry.path().filename() == "test_level_objects.cpp.o") own = entry.path();
    }
    ASSERT_FALSE(own.empty());
    bool found = false;
    for (const std::string &name : zonara_test::MergeableDefinitions("nm", "objdump", own)) {
        found = found || name.rfind("testing::", 0) == 0;
    }
    EXPECT_TRUE(found);
}

}  // namespace
