// The engine started from a shell with arguments: it answers and ends, and leaves the log of
// an earlier game in its folder as it was.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "book/book_test_support.h"
#include "support/engine_process.h"

namespace {

using vostil::testing::EngineProcess;

TEST(CommandLine, HelpAndVersionAnswerAndLeaveTheLogAlone) {
    const struct {
        const char* argument;
        int exitCode;
        const char* output;  // a pattern for the whole of standard output
        const char* errors;  // and of standard error
    } rows[] = {
        {"--version", 0, "Vostil [A-Za-z0-9._+-]+\n", ""},
        {"--help", 0, "Usage: vostil \\[--help \\| --version\\]\n[^]*vostil\\(6\\)[^]*", ""},
        {"-h", 2, "", "vostil: unknown arguments: -h\n\nUsage: vostil [^]*"},
    };
    const std::string earlierLog = "::cmd:: quit\n";
    for (const auto& row : rows) {
        vostil::testing::Command command = vostil::testing::engineCommand();
        command.push_back(row.argument);
        const vostil::booktest::TemporaryFolder folder;
        folder.write("Vostil.log", earlierLog);
        EngineProcess engine(/*withBook=*/false, command, folder.pathOf(""));
        // Sent before the engine ends only if it waits for input: then it would play on.
        engine.send("xboard\nquit\n");
        ASSERT_TRUE(engine.waitForExit(20000)) << row.argument;
        EXPECT_EQ(engine.exitCode(), row.exitCode) << row.argument;
        EXPECT_TRUE(std::regex_match(engine.output(), std::regex(row.output))) << row.argument << "\n" << engine.output();
        EXPECT_TRUE(std::regex_match(engine.errors(), std::regex(row.errors))) << row.argument << "\n" << engine.errors();
        EXPECT_EQ(engine.log(), earlierLog) << row.argument;
    }
}

}  // namespace
