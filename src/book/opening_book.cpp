// The opening book: every line of "Vostil.book" is played through once and its moves are
// written into the transposition table as generation-0 entries, so that finding a book move
// during a game costs one table probe and no file access.
#include "board/make_move.h"
#include "board/unmake_move.h"
#include "book/opening_book.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "board/position.h"
#include "board/zobrist.h"
#include "movegen/legal_moves.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

// Largest header count taken as a number; anything longer is an unreadable header.
constexpr int BOOK_COUNT_LIMIT = 100000000;

// The start placement, as setup reads it from the initial FEN.
constexpr PieceCode START_PLACEMENT[64] = {
    BLACK_ROOK, BLACK_KNIGHT, BLACK_BISHOP, BLACK_QUEEN, BLACK_KING, BLACK_BISHOP, BLACK_KNIGHT, BLACK_ROOK,
    BLACK_PAWN, BLACK_PAWN,   BLACK_PAWN,   BLACK_PAWN,  BLACK_PAWN, BLACK_PAWN,   BLACK_PAWN,   BLACK_PAWN,
    EMPTY,      EMPTY,        EMPTY,        EMPTY,       EMPTY,      EMPTY,        EMPTY,        EMPTY,
    EMPTY,      EMPTY,        EMPTY,        EMPTY,       EMPTY,      EMPTY,        EMPTY,        EMPTY,
    EMPTY,      EMPTY,        EMPTY,        EMPTY,       EMPTY,      EMPTY,        EMPTY,        EMPTY,
    EMPTY,      EMPTY,        EMPTY,        EMPTY,       EMPTY,      EMPTY,        EMPTY,        EMPTY,
    WHITE_PAWN, WHITE_PAWN,   WHITE_PAWN,   WHITE_PAWN,  WHITE_PAWN, WHITE_PAWN,   WHITE_PAWN,   WHITE_PAWN,
    WHITE_ROOK, WHITE_KNIGHT, WHITE_BISHOP, WHITE_QUEEN, WHITE_KING, WHITE_BISHOP, WHITE_KNIGHT, WHITE_ROOK,
};

// The key holds the pieces alone, so it is fixed by the placement and the compiled-in keys.
constexpr uint64_t computeStartPositionKey() {
    uint64_t key = 0;
    for (Square s = 0; s < 64; ++s)
        if (START_PLACEMENT[s] != EMPTY) key ^= ZOBRIST[START_PLACEMENT[s]][s];
    return key;
}

constexpr uint64_t START_POSITION_KEY = computeStartPositionKey();

// Book entries are stamped with generation 0; whatever way the load ends, the search must
// find the generation it had before.
class GenerationGuard {
public:
    GenerationGuard() : saved_(ttGeneration) { ttGeneration = 0; }
    ~GenerationGuard() { ttGeneration = saved_; }
    GenerationGuard(const GenerationGuard&) = delete;
    GenerationGuard& operator=(const GenerationGuard&) = delete;

private:
    uint16_t saved_;
};

class BookFile {
public:
    explicit BookFile(const char* name) : file_(std::fopen(name, "rb")) {}
    ~BookFile() {
        if (file_) std::fclose(file_);
    }
    BookFile(const BookFile&) = delete;
    BookFile& operator=(const BookFile&) = delete;
    std::FILE* get() const { return file_; }

private:
    std::FILE* file_;
};

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The header: blanks, a decimal count, then the rest of its line. Returns -1 when no
// number can be read.
int readRecordCount(std::FILE* file) {
    int c = std::fgetc(file);
    while (c != EOF && isBlank(c)) c = std::fgetc(file);
    if (c < '0' || c > '9') return -1;
    int count = 0;
    while (c >= '0' && c <= '9') {
        count = count * 10 + (c - '0');
        if (count > BOOK_COUNT_LIMIT) return -1;
        c = std::fgetc(file);
    }
    while (c != EOF && c != '\n') c = std::fgetc(file);
    return count;
}

enum class RecordRead { Whole, End, TooLong };

// One record: its length byte and that many little-endian moves. A record cut short by the
// end of the file counts as the end; a length beyond the line buffer is a format error.
RecordRead readRecord(std::FILE* file, Move* moves, int& count) {
    int length = std::fgetc(file);
    if (length == EOF) return RecordRead::End;
    if (length > BOOK_LINE_MAX) return RecordRead::TooLong;
    unsigned char bytes[2 * BOOK_LINE_MAX];
    size_t wanted = size_t(2 * length);
    if (std::fread(bytes, 1, wanted, file) != wanted) return RecordRead::End;
    for (int i = 0; i < length; ++i) moves[i] = Move(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    count = length;
    return RecordRead::Whole;
}

// Each record equally likely; the clock seeds it so that every new game may open differently.
int pickHeldBackRecord(int recordCount) {
    if (recordCount <= 0) return -1;
    std::mt19937 generator(
        uint32_t(std::chrono::system_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<int> pick(0, recordCount - 1);
    return pick(generator);
}

}  // namespace

uint64_t startPositionKey() { return START_POSITION_KEY; }

// Plays the line forward, then takes it back writing each move into the position it is played
// from, so the deepest position is written first and the line's first position last.
bool storeBookLine(const Move* moves, int count) {
    if (count < 0 || count > BOOK_LINE_MAX) return false;
    if (currentPly + count > PlyRecords + PLY_RECORD_COUNT) return false;
    if (historyTop + count >= GameHistory + GAME_HISTORY_SIZE) return false;

    // makeMove writes the history entries above the top; keep them so the line leaves no trace.
    HistoryEntry historyAbove[BOOK_LINE_MAX];
    for (int i = 0; i < count; ++i) historyAbove[i] = historyTop[i + 1];

    int played = 0;
    bool valid = true;
    for (; played < count; ++played) {
        // Legal, not merely generated: a move that leaves its king attacked would let the
        // line's next move take that king and wreck the board.
        if (!isLegalMove(moves[played])) {
            valid = false;
            break;
        }
        saveUndoState();
        makeMove(moves[played]);
        ++currentPly;
    }
    while (played > 0) {
        --played;
        --currentPly;
        unmakeMove(moves[played]);
        if (valid) storeBookEntry(moves[played]);
    }

    for (int i = 0; i < count; ++i) historyTop[i + 1] = historyAbove[i];
    return valid;
}

bool loadOpeningBook(const char* fileName) {
    if (hashKey() != START_POSITION_KEY) return false;
    BookFile file(fileName);
    if (!file.get()) return false;
    int recordCount = readRecordCount(file.get());
    if (recordCount < 0) return false;

    GenerationGuard generation;
    // A book loaded again over its own entries (a takeback into it) is kept aside afresh.
    forgetBookEntries();
    const int heldBack = pickHeldBackRecord(recordCount);

    Move heldBackMoves[BOOK_LINE_MAX];
    int heldBackCount = 0;
    Move moves[BOOK_LINE_MAX];
    int recordsRead = 0;
    for (;;) {
        int count = 0;
        RecordRead read = readRecord(file.get(), moves, count);
        if (read == RecordRead::End) break;
        if (read == RecordRead::TooLong) return false;
        if (recordsRead == heldBack) {
            for (int i = 0; i < count; ++i) heldBackMoves[i] = moves[i];
            heldBackCount = count;
        } else if (!storeBookLine(moves, count)) {
            return false;
        }
        ++recordsRead;
    }

    // The held-back line goes in last, so its moves win wherever lines share a position.
    if (heldBackCount == 0) return false;
    if (!storeBookLine(heldBackMoves, heldBackCount)) return false;
    return recordsRead == recordCount;
}

}  // namespace vostil
