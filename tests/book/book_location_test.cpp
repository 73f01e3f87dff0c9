// Where the real engine finds its book when a GUI starts it in a folder of the user's: its
// current folder first, then the data folder an install lays out (bin/../share/vostil, or the
// package's games/../share/games/vostil), then beside the program (the Windows archive). The engine runs from a copy in a scratch prefix.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "book/book_test_support.h"
#include "support/engine_process.h"

namespace vostil {
namespace {

using testing::EngineProcess;

constexpr int REPLY_MS = 20000;
// Its header cannot be read as a record count, so nothing of it reaches the table.
const std::string MALFORMED_BOOK = "no book\n";

bool contains(const std::string& text, const std::string& needle) {
    return text.find(needle) != std::string::npos;
}

// <prefix>/bin/ holding a copy of the build's engine, and books placed as a test asks.
class InstalledEngine {
public:
    InstalledEngine() {
        std::filesystem::create_directories(prefix_.pathOf("bin"));
        program_ = prefix_.pathOf("bin/" + testing::engineProgramName());
        std::filesystem::copy_file(testing::buildProgram(), program_);
    }

    void installBookIn(const std::string& dataFolder) {
        std::filesystem::create_directories(prefix_.pathOf(dataFolder));
        std::filesystem::copy_file(testing::buildBook(), prefix_.pathOf(dataFolder + "/Vostil.book"));
    }
    void putBookBesideProgram() {
        std::filesystem::copy_file(testing::buildBook(), prefix_.pathOf("bin/Vostil.book"));
    }
    void putMalformedBookBesideProgram() { prefix_.write("bin/Vostil.book", MALFORMED_BOOK); }

    testing::Command command() const { return testing::commandRunning(program_); }

private:
    booktest::TemporaryFolder prefix_;
    std::string program_;
};

struct Reply {
    std::string output, log;
};

// Started in a folder of its own (holding `currentFolderBook` as Vostil.book when given), the
// engine is told 1.e4, with a second on each clock, and answers.
Reply replyToE4(const InstalledEngine& installed, const std::string& currentFolderBook = "") {
    EngineProcess engine(/*withBook=*/false, installed.command());
    // Before the first line is sent: the engine reads its book once the handshake has come.
    if (!currentFolderBook.empty())
        std::ofstream(engine.folder() + "/Vostil.book", std::ios::binary) << currentFolderBook;
    engine.send("xboard\nnew\ntime 100\notim 100\ne2e4\n");
    EXPECT_TRUE(engine.waitForOutput("\nmove ", REPLY_MS)) << engine.output();
    engine.send("quit\n");
    EXPECT_TRUE(engine.waitForExit(REPLY_MS));
    return {engine.output(), engine.log()};
}

// Each row places books, starts the engine in a folder of its own and expects a book reply or
// the book error. A malformed book where it is looked for first is reported, not passed over.
TEST(BookLocation, TheFirstBookFoundIsTheOneRead) {
    enum Beside { NONE, GOOD, MALFORMED };
    const struct {
        const char* what;
        const char* dataFolder;
        Beside beside;
        const std::string currentFolder;
        bool bookReply;
    } rows[] = {
        {"in the installed data folder", "share/vostil", NONE, "", true},
        {"in the games data folder, as the package lays it out", "share/games/vostil", NONE, "", true},
        {"beside the program", nullptr, GOOD, "", true},
        {"nowhere", nullptr, NONE, "", false},
        {"malformed in the current folder, good ones installed", "share/vostil", GOOD, MALFORMED_BOOK, false},
        {"in the data folder, malformed beside the program", "share/vostil", MALFORMED, "", true},
    };
    for (const auto& row : rows) {
        InstalledEngine installed;
        if (row.dataFolder) installed.installBookIn(row.dataFolder);
        if (row.beside == GOOD) installed.putBookBesideProgram();
        if (row.beside == MALFORMED) installed.putMalformedBookBesideProgram();
        const Reply reply = replyToE4(installed, row.currentFolder);
        EXPECT_EQ(contains(reply.output, "tellusererror BOOK ERROR!\n"), !row.bookReply)
            << row.what << "\n" << reply.output;
        EXPECT_EQ(contains(reply.log, "-M: move(book): "), row.bookReply) << row.what << "\n" << reply.log;
    }
}

}  // namespace
}  // namespace vostil
