// The running program's own folder: where the tests' program was built.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/executable_folder.h"

namespace vostil {
namespace {

TEST(ExecutableFolder, IsTheFolderOfTheRunningProgram) {
    const std::string& folder = executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(std::filesystem::canonical(folder), std::filesystem::canonical(VOSTIL_BUILD_DIR));
    EXPECT_TRUE(std::filesystem::exists(folder + "/vostil_tests"));
}

}  // namespace
}  // namespace vostil
