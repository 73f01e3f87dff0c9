// The one global position, the game history and the per-ply records.
#pragma once

#include <cstddef>

#include "common/types.h"
#include "common/move.h"

namespace vostil {

// castleFlags bits.
constexpr uint16_t RIGHT_WK = 0x001;
constexpr uint16_t RIGHT_WQ = 0x002;
constexpr uint16_t WHITE_CASTLED = 0x004;
constexpr uint16_t RIGHT_BK = 0x008;
constexpr uint16_t RIGHT_BQ = 0x010;
constexpr uint16_t BLACK_CASTLED = 0x020;
constexpr uint16_t WHITE_CASTLED_SHORT = 0x040;
constexpr uint16_t WHITE_CASTLED_LONG = 0x080;
constexpr uint16_t BLACK_CASTLED_SHORT = 0x100;
constexpr uint16_t BLACK_CASTLED_LONG = 0x200;
// Settling masks: clear the side's two rights and its CASTLED bit.
constexpr uint16_t SETTLE_WHITE_MASK = 0x3F8;
constexpr uint16_t SETTLE_BLACK_MASK = 0x3C7;

struct Position {
    int sideToMove = WHITE;
    Bitboard pieceBoards[11] = {};  // PieceCode 1..10; kings have none
    Bitboard sideOccupancy[2] = {};
    Bitboard allOccupancy = 0;
    Bitboard rotated90 = 0;
    Bitboard rotated45 = 0;
    Bitboard rotated315 = 0;
    PieceCode board[64] = {};
    uint8_t kingSquare[2] = {};
    uint16_t castleFlags = 0;
    uint8_t epSquare = 0;  // 0 means none
    uint8_t totalMaterial = 0;
    uint32_t keyLow = 0;
    uint32_t keyHigh = 0;
    uint32_t pawnKey = 0;
    PieceCode rootBoard[64] = {};
    int rootSide = WHITE;
    uint16_t rootCastleFlags = 0;
    uint8_t rootEpSquare = 0;

    bool operator==(const Position&) const = default;
};

extern Position pos;

struct HistoryEntry {
    uint32_t keyLow;
    uint32_t keyHigh;
    uint16_t fiftyCounter;
};

// Room for a long game plus the deepest search line.
constexpr int GAME_HISTORY_SIZE = 12288;
extern HistoryEntry GameHistory[GAME_HISTORY_SIZE];
extern HistoryEntry* historyTop;

struct CheckInfo {
    Bitboard checkers;
    Bitboard orthogonalLines;
    Bitboard diagonalLines;
};

struct PlyRecord {
    CheckInfo checkInfo;
    // The occupancy and the rotated boards, and the three keys, in the order the position
    // keeps them, so that each group is saved and restored as one block.
    Bitboard savedOccupancy;
    Bitboard savedRotated90;
    Bitboard savedRotated45;
    Bitboard savedRotated315;
    Bitboard savedSideOccupancy;
    Bitboard savedPieceBoard;
    uint32_t savedKeyLow;
    uint32_t savedKeyHigh;
    uint32_t savedPawnKey;
    MoveEntry* moveCursor;
    MoveEntry* moveListEnd;
    Score hashScore;
    Move hashMove;
    Move killer1;
    Move killer2;
    uint16_t savedCastleFlags;
    uint8_t savedEpSquare;
    uint8_t hashDepth;
    PieceCode capturedPiece;
    int8_t materialDelta;
    uint32_t orderKeys[MAX_MOVES_PER_PLY];
};

// The two snapshot blocks: allOccupancy and the three rotated boards; keyLow, keyHigh, pawnKey.
constexpr std::size_t SNAPSHOT_BOARDS_BYTES = 4 * sizeof(Bitboard);
constexpr std::size_t SNAPSHOT_KEYS_BYTES = 3 * sizeof(uint32_t);
static_assert(offsetof(Position, rotated315) == offsetof(Position, allOccupancy) + 3 * sizeof(Bitboard) &&
              offsetof(Position, rotated90) == offsetof(Position, allOccupancy) + sizeof(Bitboard));
static_assert(offsetof(PlyRecord, savedRotated315) == offsetof(PlyRecord, savedOccupancy) + 3 * sizeof(Bitboard) &&
              offsetof(PlyRecord, savedRotated90) == offsetof(PlyRecord, savedOccupancy) + sizeof(Bitboard));
static_assert(offsetof(Position, pawnKey) == offsetof(Position, keyLow) + 2 * sizeof(uint32_t) &&
              offsetof(Position, keyHigh) == offsetof(Position, keyLow) + sizeof(uint32_t));
static_assert(offsetof(PlyRecord, savedPawnKey) == offsetof(PlyRecord, savedKeyLow) + 2 * sizeof(uint32_t) &&
              offsetof(PlyRecord, savedKeyHigh) == offsetof(PlyRecord, savedKeyLow) + sizeof(uint32_t));

// 72 records are used; the spare ones let the deepest quiescence node advance past its record.
constexpr int PLY_RECORD_COUNT = 72;
extern PlyRecord PlyRecords[PLY_RECORD_COUNT + 2];
extern PlyRecord* currentPly;
// A score at least this close to the mate score is a mate (within 99 plies, also where the table
// carries it past the deepest line the search makes); the evaluation stays below it.
constexpr int MATE_THRESHOLD = MATE_SCORE - 99;

// The game's own entries end here: above them stay the deepest search line, a trial entry
// and a book line (at most 64 moves) while the engine thinks or loads its book.
constexpr int GAME_HISTORY_LIMIT = GAME_HISTORY_SIZE - 2 * (PLY_RECORD_COUNT + 2);
// Positions a draw test can still look back at: a hundred plies without a capture or pawn
// move is a draw whatever came before.
constexpr int HISTORY_LOOKBACK = 100;

// The initial position as "new" sets it up.
constexpr const char* START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// --- Operations on the position ----------------------------------------------

// Records the undo snapshot of the current position in currentPly.
void saveUndoState();
// makeMove and unmakeMove: board/make_move.h and board/unmake_move.h.
// An EPD "bm"/"am" operand as read with the position: text only, resolved by the caller.
constexpr int EPD_OPERAND_MAX = 9;
struct EpdOperand {
    bool present = false;
    char text[EPD_OPERAND_MAX + 1] = {};
};
// Replaces the position, the game history and the search line by FEN text; a refused text
// changes nothing. A complete EPD "bm"/"am" operand is copied into `epd` when given.
bool setupPosition(const char* text, EpdOperand* epd = nullptr);
// Writes the first four FEN fields of the position (at most 82 bytes).
void positionToFen(char* out);
// Plays a move in the game itself: made, settled and copied to the root fields.
void applyGameMove(Move m);
// Moves the history entries a draw test can still reach down to the first entry, making room
// for a game longer than the history.
void slideGameHistory();

// Recomputes every redundant view from board and compares; for assertions and tests.
bool positionIsConsistent();
// Key of the pieces alone, as setup computes it.
uint64_t pieceKeyOfBoard();

// Kings with at most one minor piece and no pawn: nobody can mate.
constexpr int DEAD_MATERIAL_LIMIT = 4;
inline bool isDeadMaterial() {
    return pos.totalMaterial < DEAD_MATERIAL_LIMIT &&
           !(pos.pieceBoards[WHITE_PAWN] | pos.pieceBoards[BLACK_PAWN]);
}

#ifndef NDEBUG
#define VOSTIL_ASSERT_CONSISTENT() assertConsistent(__FILE__, __LINE__)
void assertConsistent(const char* file, int line);
#else
#define VOSTIL_ASSERT_CONSISTENT() ((void)0)
#endif

inline uint64_t hashKey() { return (uint64_t(pos.keyHigh) << 32) | pos.keyLow; }
inline void xorKey(uint64_t z) {
    pos.keyLow ^= uint32_t(z);
    pos.keyHigh ^= uint32_t(z >> 32);
}

}  // namespace vostil
