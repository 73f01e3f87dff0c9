// Helpers of the book tests: book files written into a private temporary folder, and the book
// move the table holds for a position.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "board/make_move.h"
#include "board/position.h"
#include "board/unmake_move.h"
#include "common/move.h"
#include "search/transposition_table.h"

namespace vostil::booktest {

// One record as the file holds it: the length byte, then the moves low byte first.
inline std::string record(const std::vector<Move>& moves) {
    std::string bytes(1, char(moves.size()));
    for (Move m : moves) {
        bytes += char(m & 0xFF);
        bytes += char(m >> 8);
    }
    return bytes;
}

inline std::string record(std::initializer_list<Move> moves) {
    return record(std::vector<Move>(moves));
}

// A folder of its own per test, so that tests running side by side never share a file.
class TemporaryFolder {
public:
    TemporaryFolder() {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "vostil_book_";
        if (info) {
            name.append(info->test_suite_name());
            name.push_back('_');
            name.append(info->name());
        }
        name.push_back('_');
        name.append(std::to_string(::getpid()));
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // Writes the bytes as a file of the folder and returns its path.
    std::string write(const std::string& fileName, const std::string& bytes) const {
        std::filesystem::path file = path_ / fileName;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        return file.string();
    }

    std::string pathOf(const std::string& fileName) const { return (path_ / fileName).string(); }

private:
    std::filesystem::path path_;
};

// The book move stored for the position on the board, or 0.
inline Move bookMoveHere() {
    const HashEntry* e = findEntry();
    return e && e->isBookEntry() ? e->move() : 0;
}

// Plays the moves, reads the book move of the position reached and takes the moves back.
inline Move bookMoveAfter(std::initializer_list<Move> line) {
    std::vector<Move> played(line);
    for (Move m : played) {
        saveUndoState();
        makeMove(m);
        ++currentPly;
    }
    Move found = bookMoveHere();
    for (size_t i = played.size(); i > 0; --i) {
        --currentPly;
        unmakeMove(played[i - 1]);
    }
    return found;
}

// Everything a book load must leave as it found it.
struct GameState {
    Position position;
    PlyRecord* ply;
    HistoryEntry* top;
    std::vector<HistoryEntry> history;

    static GameState take() {
        GameState s{pos, currentPly, historyTop, {}};
        s.history.assign(GameHistory, GameHistory + 80);
        return s;
    }
};

inline void expectUnchanged(const GameState& before) {
    EXPECT_TRUE(pos == before.position) << "the position was not restored";
    EXPECT_EQ(currentPly, before.ply);
    EXPECT_EQ(historyTop, before.top);
    for (size_t i = 0; i < before.history.size(); ++i) {
        EXPECT_EQ(GameHistory[i].keyLow, before.history[i].keyLow) << "history entry " << i;
        EXPECT_EQ(GameHistory[i].keyHigh, before.history[i].keyHigh) << "history entry " << i;
        EXPECT_EQ(GameHistory[i].fiftyCounter, before.history[i].fiftyCounter) << "history entry " << i;
    }
}

}  // namespace vostil::booktest
