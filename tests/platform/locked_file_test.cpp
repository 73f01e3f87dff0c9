// A locked file has one writer: a second opener is refused and cannot empty it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/locked_file.h"

namespace vostil {
namespace {

std::string contents(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(LockedFile, ASecondWriterIsRefusedAndEmptiesNothingUntilTheFirstCloses) {
    char pattern[] = "/tmp/vostil_lock_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string name = std::string(pattern) + "/held.log";

    LockedFile first, second;
    ASSERT_TRUE(first.open(name.c_str()));
    ASSERT_TRUE(first.write("first\n", 6));
    EXPECT_FALSE(second.open(name.c_str()));
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(contents(name), "first\n");

    // Released, the file is the next opener's, emptied.
    first.close();
    ASSERT_TRUE(second.open(name.c_str()));
    EXPECT_EQ(contents(name), "");
    EXPECT_TRUE(second.write("second\n", 7));
    EXPECT_EQ(contents(name), "second\n");
    second.close();
    std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace vostil
