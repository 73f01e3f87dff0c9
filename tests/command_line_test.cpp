// Started from a shell with arguments, the engine answers and ends, and leaves the log of an
// earlier game in its folder as it was.
#include <gtest/gtest.h>

#include <string>

#include "book/book_test_support.h"
#include "support/engine_process.h"

// The text begins with `start`, and is empty only where `start` is.
static bool beginsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0 && text.empty() == start.empty();
}

TEST(CommandLine, HelpAndVersionAnswerAndLeaveTheLogAlone) {
    const struct { const char* argument; int exitCode; const char *outputStart, *errorsStart; } rows[] = {
        {"--version", 0, "Vostil ", ""},
        {"--help", 0, "Usage: vostil [--help | --version]\n", ""},
        {"-h", 2, "", "vostil: unknown arguments: -h\n\nUsage: vostil [--help | --version]\n"},
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
        EXPECT_TRUE(beginsWith(engine.output(), row.outputStart)) << engine.output();
        EXPECT_TRUE(beginsWith(engine.errors(), row.errorsStart)) << engine.errors();
        EXPECT_EQ(engine.log(), "::cmd:: quit\n") << row.argument;
    }
}
