// Each engine has a log of its own: a second engine in the folder of a running one writes
// "Vostil-2.log", and an engine alone takes "Vostil.log" again.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/log.h"
#include "platform/locked_file.h"
#include "support/engine_process.h"
#include "support/log_folder.h"

namespace vostil::testing {
namespace {

using Words = std::vector<std::string>;

// The command words a log records, in order.
Words commandWords(const std::string& log) {
    Words words;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("::cmd:: ", 0) == 0) words.push_back(line.substr(8));
    return words;
}

// Sends the words and "benchmark", and waits for its answer: by then all of them are logged.
bool tell(EngineProcess& engine, const std::string& words) {
    const size_t from = engine.output().size();
    engine.send(words + "benchmark\n");
    return engine.waitForOutput("Define __STAT", 30000, from);
}

TEST(LogFile, SecondEngineInTheSameFolderWritesALogOfItsOwn) {
    EngineProcess first;
    first.send("xboard\nprotover 2\n");
    ASSERT_TRUE(first.waitForOutput("feature done=1", 30000)) << first.errors();
    EngineProcess second(false, engineCommand(), first.folder());
    second.send("xboard\nprotover 2\n");
    ASSERT_TRUE(second.waitForOutput("feature done=1", 30000)) << second.errors();

    ASSERT_TRUE(tell(first, "post\n"));
    ASSERT_TRUE(tell(second, "nopost\n"));
    ASSERT_TRUE(tell(first, "easy\n"));
    ASSERT_TRUE(tell(second, "hard\n"));
    first.send("quit\n");
    second.send("quit\n");
    ASSERT_TRUE(first.waitForExit(30000));
    ASSERT_TRUE(second.waitForExit(30000));

    const Words firstWords = {"xboard", "protover", "2", "post", "benchmark", "easy", "benchmark", "quit"};
    const Words secondWords = {"xboard", "protover", "2", "nopost", "benchmark", "hard", "benchmark", "quit"};
    EXPECT_EQ(commandWords(first.log()), firstWords) << first.log();
    EXPECT_EQ(commandWords(first.log("Vostil-2.log")), secondWords) << first.log("Vostil-2.log");

    // Alone in the folder again, an engine takes Vostil.log back and leaves the other alone.
    EngineProcess third(false, engineCommand(), first.folder());
    third.send("xboard\nprotover 2\ncomputer\nquit\n");
    third.closeInput();
    ASSERT_TRUE(third.waitForExit(30000));
    EXPECT_EQ(commandWords(third.log()), (Words{"xboard", "protover", "2", "computer", "quit"})) << third.log();
    EXPECT_EQ(commandWords(third.log("Vostil-2.log")), secondWords);
    EXPECT_FALSE(std::filesystem::exists(first.folder() + "/Vostil-3.log"));
}

TEST(GameLog, WithEveryNameInUseLinesAreDroppedUntilOneIsFree) {
    LogFolder folder;
    ASSERT_TRUE(folder.enter());
    closeGameLog();
    std::vector<std::string> names = {"Vostil.log"};
    for (int n = 2; n <= LOG_NAME_ATTEMPTS; ++n) names.push_back("Vostil-" + std::to_string(n) + ".log");
    std::vector<LockedFile> held(names.size());
    for (size_t i = 0; i < names.size(); ++i) ASSERT_TRUE(held[i].open(names[i].c_str()));

    openGameLog();
    EXPECT_STREQ(gameLogName(), "");
    logLine("dropped");

    held.back().close();
    openGameLog();
    EXPECT_STREQ(gameLogName(), names.back().c_str());
    logLine("kept");
    std::stringstream text;
    text << std::ifstream(names.back()).rdbuf();
    EXPECT_EQ(text.str(), "kept\n");

    held.clear();
    for (size_t i = 1; i < names.size(); ++i) std::remove(names[i].c_str());
    folder.leave();
}

}  // namespace
}  // namespace vostil::testing
