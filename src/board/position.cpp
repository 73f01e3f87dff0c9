// The global position, history and ply records, and the consistency check that recomputes
// every redundant view from the board array.
#include "board/position.h"

#include <cstdio>
#include <cstdlib>

#include "board/tables.h"

namespace vostil {

Position pos;
HistoryEntry GameHistory[GAME_HISTORY_SIZE];
HistoryEntry* historyTop = GameHistory;
PlyRecord PlyRecords[PLY_RECORD_COUNT + 2];
PlyRecord* currentPly = PlyRecords;

uint64_t pieceKeyOfBoard() {
    uint64_t key = 0;
    for (Square s = 0; s < 64; ++s)
        if (pos.board[s]) key ^= ZOBRIST[pos.board[s]][s];
    return key;
}

bool positionIsConsistent() {
    Bitboard pieces[11] = {};
    Bitboard sides[2] = {};
    int kings[2] = {0, 0};
    unsigned material = 0;
    for (Square s = 0; s < 64; ++s) {
        PieceCode c = pos.board[s];
        if (c == EMPTY) continue;
        if (c > BLACK_KING) return false;
        int side = isWhitePiece(c) ? WHITE : BLACK;
        sides[side] |= BIT[s];
        if (c >= WHITE_KING) {
            if (pos.kingSquare[side] != s) return false;
            ++kings[side];
        } else {
            pieces[c] |= BIT[s];
            material += MATERIAL_UNITS[c];
        }
    }
    for (int c = 1; c <= 10; ++c)
        if (pieces[c] != pos.pieceBoards[c]) return false;
    if (sides[WHITE] != pos.sideOccupancy[WHITE] || sides[BLACK] != pos.sideOccupancy[BLACK])
        return false;
    Bitboard all = sides[WHITE] | sides[BLACK];
    if (all != pos.allOccupancy) return false;
    Bitboard r90 = 0, r45 = 0, r315 = 0;
    for (Square s = 0; s < 64; ++s) {
        if (!(all & BIT[s])) continue;
        r90 |= ROT90_BIT[s];
        r45 |= ROT45_BIT[s];
        r315 |= ROT315_BIT[s];
    }
    if (r90 != pos.rotated90 || r45 != pos.rotated45 || r315 != pos.rotated315) return false;
    if (kings[WHITE] != 1 || kings[BLACK] != 1) return false;
    if ((material & 0xFF) != pos.totalMaterial) return false;
    return historyTop->keyLow == pos.keyLow && historyTop->keyHigh == pos.keyHigh;
}

#ifndef NDEBUG
void assertConsistent(const char* file, int line) {
    if (!positionIsConsistent()) {
        std::fprintf(stderr, "%s:%d: position views disagree with the board\n", file, line);
        std::abort();
    }
}
#endif

}  // namespace vostil
