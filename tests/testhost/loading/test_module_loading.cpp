// Loading the effect by path, and which path is loaded by default.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "testhost/loading/module.h"

namespace {

std::string LoadError(const std::string &path) {
    try {
        testhost::Module::Load(path);
    } catch (const std::runtime_error &error) {
        return error.what();
    }
    return "";
}

TEST(ModuleLoading, FailuresNameThePathAndTheReason) {
    const std::string not_a_library = ::testing::TempDir() + "zonara_not_a_library.so";
    std::ofstream(not_a_library) << "plain text\n";
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {"/nonexistent/dir/Quorv_Zonara.so", "No such file"},
        {not_a_library, "cannot load"},
        {"libm.so.6", "no EntryPointFunc"},  // a real library without the export
    };
    for (const Case &c : cases) {
        const std::string message = LoadError(c.path);
        EXPECT_NE(message.find(c.path), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    std::remove(not_a_library.c_str());
}

TEST(ModuleLoading, TheBuiltModuleExportsTheEntryPoint) {
    const auto module = testhost::Module::Load(ZONARA_MODULE_PATH);
    EXPECT_NE(module->entry(), nullptr);
    EXPECT_EQ(module->path(), ZONARA_MODULE_PATH);
}

TEST(ModuleLoading, EnvironmentChoosesTheDefaultModule) {
    const char *saved = std::getenv("ZONARA_MODULE");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("ZONARA_MODULE", "/elsewhere/Other.so", 1);
    EXPECT_EQ(testhost::DefaultModulePath(), "/elsewhere/Other.so");
    setenv("ZONARA_MODULE", "", 1);
    EXPECT_EQ(testhost::DefaultModulePath(), ZONARA_MODULE_PATH);
    unsetenv("ZONARA_MODULE");
    EXPECT_EQ(testhost::DefaultModulePath(), ZONARA_MODULE_PATH);
    if (saved != nullptr) {
        setenv("ZONARA_MODULE", restore.c_str(), 1);
    }
}

}  // namespace
