// Started from a shell with arguments, the engine answers and ends, and leaves the log of an
// earlier game in its folder as it was.
#include <gtest/gtest.h>

#include <regex>

#include "book/book_test_support.h"
#include "support/engine_process.h"

TEST(CommandLine, HelpAndVersionAnswerAndLeaveTheLogAlone) {
    const struct {
        const char* argument;
        int exitCode;
        const char* output;  // patterns for the whole of standard output and standard error
        const char* errors;
    } rows[] = {
        {"--version", 0, "Vostil [A-Za-z0-9._+-]+\n", ""},
        {"--help", 0, "Usage: vostil \\[--help \\| --version\\]\n[^]*vostil\\(6\\)[^]*", ""},
        {"-h", 2, "", "vostil: unknown arguments: -h\n\nUsage: vostil [^]*"},
    };
    for (const auto& row : rows) {
        vostil::testing::Command command = vostil::testing::engineCommand();
        command.push_back(row.argument);
        const vostil::booktest::TemporaryFolder folder;
        folder.write("Vostil.log", "::cmd:: quit\n");
        vostil::testing::EngineProcess engine(/*withBook=*/false, command, folder.pathOf(""));
        engine.send("xboard\nquit\n");  // would be played, were the engine waiting for input
        ASSERT_TRUE(engine.waitForExit(20000)) << row.argument;
        EXPECT_EQ(engine.exitCode(), row.exitCode) << row.argument;
        EXPECT_TRUE(std::regex_match(engine.output(), std::regex(row.output))) << engine.output();
        EXPECT_TRUE(std::regex_match(engine.errors(), std::regex(row.errors))) << engine.errors();
        EXPECT_EQ(engine.log(), "::cmd:: quit\n") << row.argument;
    }
}
