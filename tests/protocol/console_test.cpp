// What a console program meets on Windows as on Linux: interrupts from the interface or the
// console, a binary book read byte for byte, the system's own line ends, and files found in
// the folder the interface starts the engine in. Run against either build.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/position.h"
#include "board/parse_coordinate_move.h"
#include "support/engine_process.h"

using namespace vostil;
using vostil::testing::EngineProcess;

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every line of `text` ends with `end`, and no other line end occurs.
bool linesEndWith(const std::string& text, const std::string& end) {
    const bool crlf = end == "\r\n";
    for (size_t i = 0; i < text.size(); ++i) {
        const bool crBefore = i > 0 && text[i - 1] == '\r';
        const bool lfAfter = i + 1 < text.size() && text[i + 1] == '\n';
        if (text[i] == '\n' && crBefore != crlf) return false;
        if (text[i] == '\r' && !(crlf && lfAfter)) return false;
    }
    return !text.empty() && text.back() == '\n';
}

// Writes a book file of the given lines (coordinate moves from the start position).
std::string bookBytes(const std::vector<std::vector<std::string>>& lines) {
    std::ostringstream bytes;
    bytes << lines.size() << "\n";
    for (const auto& line : lines) {
        bytes.put(char(line.size()));
        setupPosition(START_FEN);
        for (const std::string& word : line) {
            const Move m = parseCoordinateMove(word.c_str(), MoveSource::Root);
            bytes.put(char(m & 0xFF)).put(char(m >> 8));
            applyGameMove(m);
        }
    }
    return bytes.str();
}

}  // namespace

TEST(Console, InterruptsDoNotEndTheEngine) {
    EngineProcess engine;
    engine.send("xboard\nnew\n");
    ASSERT_TRUE(engine.waitForOutput("feature done=1\n", 20000)) << engine.output();
    engine.interrupt();
    engine.interrupt();
    engine.send("benchmark\n");
    EXPECT_TRUE(engine.waitForOutput("Define __STAT\n", 10000)) << engine.output();
    engine.send("quit\n");
    EXPECT_TRUE(engine.waitForExit(10000));
    EXPECT_TRUE(engine.exitedCleanly()) << "exit code " << engine.exitCode() << "\n" << engine.errors();
}

// A book read as text would end at a 0x1A byte and fold a 0x0D 0x0A pair into one byte. The
// run folder's book, not the one beside the program, must be the one read.
TEST(Console, BookWithControlBytesIsReadWholeFromTheRunFolder) {
    // h2h3 ends in 0x0D and the next record's length, 10, is 0x0A; 26 moves make a length 0x1A.
    std::vector<std::string> knightDance = {"h2h3"};
    for (int i = 0; i < 6; ++i)
        for (const char* m : {"g8f6", "g1f3", "f6g8", "f3g1"}) knightDance.push_back(m);
    knightDance.push_back("g8f6");
    const std::string book = bookBytes({{"h2h3"},
                                        {"h2h4", "a7a6", "a2a3", "a6a5", "a3a4", "b7b6", "b2b3",
                                         "b6b5", "b3b4", "c7c6"},
                                        knightDance});
    ASSERT_TRUE(contains(book, "\x0D\x0A")) << "the book must hold a CR LF pair";
    ASSERT_TRUE(contains(book, "\x1A")) << "the book must hold a 0x1A byte";

    EngineProcess engine;
    std::ofstream(engine.folder() + "/Vostil.book", std::ios::binary) << book;
    engine.send("xboard\nnew\ngo\n");
    ASSERT_TRUE(engine.waitForOutput("move ", 20000)) << engine.output();
    engine.send("quit\n");
    EXPECT_TRUE(engine.waitForExit(10000));
    EXPECT_FALSE(contains(engine.output(), "BOOK ERROR")) << engine.output();
    EXPECT_TRUE(contains(engine.output(), "move h2h3\n") || contains(engine.output(), "move h2h4\n"))
        << engine.output();
    EXPECT_TRUE(contains(engine.log(), "-M: move(book): h2h")) << engine.log();
}

// Protocol lines and log lines alike: CR LF on Windows, LF elsewhere.
TEST(Console, OutputAndLogEndLinesAsTheSystemsTextFilesDo) {
    auto run = vostil::testing::runEngine(
        "xboard\nnew\nsetboard 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\ntime 1000\ngo\nquit\n");
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_TRUE(contains(run.output, "move a1a8\n")) << run.output;
    const std::string end = vostil::testing::lineEnd();
    EXPECT_TRUE(linesEndWith(run.rawOutput, end)) << run.rawOutput;
    EXPECT_TRUE(linesEndWith(run.rawLog, end)) << run.rawLog;
}
