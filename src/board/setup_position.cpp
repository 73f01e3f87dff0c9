// setupPosition: reads FEN text (with an optional EPD bm/am operation) into the position.
// The text is parsed and checked in full before anything changes, so a refused text leaves
// the previous game exactly as it was.
#include <cstdio>
#include <cstring>

#include "board/castling.h"
#include "board/position.h"
#include "board/tables.h"
#include "common/move_text.h"

namespace vostil {

namespace {

struct ParsedFen {
    PieceCode board[64] = {};
    int side = WHITE;
    uint16_t castleFlags = 0;
    uint8_t epSquare = 0;
    EpdOperand epd;
};

PieceCode pieceFromLetter(char c) {
    switch (c) {
        case 'P': return WHITE_PAWN;   case 'p': return BLACK_PAWN;
        case 'N': return WHITE_KNIGHT; case 'n': return BLACK_KNIGHT;
        case 'B': return WHITE_BISHOP; case 'b': return BLACK_BISHOP;
        case 'R': return WHITE_ROOK;   case 'r': return BLACK_ROOK;
        case 'Q': return WHITE_QUEEN;  case 'q': return BLACK_QUEEN;
        case 'K': return WHITE_KING;   case 'k': return BLACK_KING;
        default: return EMPTY;
    }
}

const char* skipSpaces(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

// Is square `target` attacked by a piece of `attacker` on this board? A plain ray walk:
// setup runs once per game, and the tables' occupancy views do not exist yet.
bool attackedOnBoard(const PieceCode* board, Square target, int attacker) {
    const int r0 = rowOf(target), f0 = fileOf(target);
    auto at = [&](int r, int f) -> PieceCode {
        return (r < 0 || r > 7 || f < 0 || f > 7) ? PieceCode(0xFF) : board[8 * r + f];
    };
    const PieceCode pawn = pieceOf(BLACK_PAWN, attacker), knight = pieceOf(BLACK_KNIGHT, attacker);
    const PieceCode bishop = pieceOf(BLACK_BISHOP, attacker), rook = pieceOf(BLACK_ROOK, attacker);
    const PieceCode queen = pieceOf(BLACK_QUEEN, attacker), king = pieceOf(BLACK_KING, attacker);
    // A white pawn attacks toward the eighth rank, so it stands one row below the target.
    const int pawnRow = attacker == WHITE ? r0 + 1 : r0 - 1;
    if (at(pawnRow, f0 - 1) == pawn || at(pawnRow, f0 + 1) == pawn) return true;
    static const int KNIGHT[8][2] = {{-2, -1}, {-2, 1}, {-1, -2}, {-1, 2}, {1, -2}, {1, 2}, {2, -1}, {2, 1}};
    static const int KING[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}};
    for (auto& d : KNIGHT)
        if (at(r0 + d[0], f0 + d[1]) == knight) return true;
    for (auto& d : KING) {
        if (at(r0 + d[0], f0 + d[1]) == king) return true;
        const bool diagonal = d[0] != 0 && d[1] != 0;
        for (int r = r0 + d[0], f = f0 + d[1];; r += d[0], f += d[1]) {
            PieceCode c = at(r, f);
            if (c == 0xFF) break;
            if (c == EMPTY) continue;
            if (c == queen || c == (diagonal ? bishop : rook)) return true;
            break;
        }
    }
    return false;
}

// Reads the text as far as the fields go. Returns false for text that is no position.
bool parseFen(const char* text, ParsedFen& out) {
    const char* p = skipSpaces(text);

    // Piece placement; '/' is accepted anywhere, rank lengths are not checked.
    int square = 0;
    while (square < 64) {
        const char c = *p++;
        if (PieceCode code = pieceFromLetter(c)) {
            out.board[square++] = code;
        } else if (c >= '1' && c <= '8') {
            square += c - '0';
        } else if (c != '/') {
            return false;
        }
    }

    p = skipSpaces(p);
    if (*p == 'w' || *p == 'W') out.side = WHITE;
    else if (*p == 'b' || *p == 'B') out.side = BLACK;
    else return false;
    ++p;

    // Castling: up to four letters, ended by any other character.
    p = skipSpaces(p);
    for (int i = 0; i < 4; ++i, ++p) {
        const CastlingMove* named = nullptr;
        for (const CastlingMove& c : CASTLING_MOVES)
            if (*p == c.fenLetter) named = &c;
        if (!named) break;
        out.castleFlags |= named->right;
    }
    // A "-" castling field is consumed: left in place it would be read as the en-passant
    // field, and "w - e3" would lose its en-passant square.
    if (*p == '-' && out.castleFlags == 0 && p[1] == ' ') ++p;

    // En passant: '-' or a file letter and a rank digit; anything shorter means none.
    p = skipSpaces(p);
    if (*p != '-' && *p != '\0' && p[1] != '\0') {
        if (isFileLetter(p[0]) && isRankDigit(p[1])) out.epSquare = uint8_t(squareOf(p[0], p[1]));
        p += 2;
    }

    // The half-move clock and move number are not read.
    while (*p && *p != 'a' && *p != 'b') ++p;

    // EPD operation "bm"/"am": the operand counts only when ended by ';' or a blank.
    if ((*p == 'a' || *p == 'b') && p[1] == 'm' && p[2] == ' ' && p[3] != '\0') {
        const char* operand = p + 3;
        int n = 0;
        while (n < EPD_OPERAND_MAX && operand[n] && operand[n] != ';' && operand[n] != ' ') {
            out.epd.text[n] = operand[n];
            ++n;
        }
        out.epd.text[n] = '\0';
        out.epd.present = operand[n] == ';' || operand[n] == ' ';
    }
    return true;
}

// Refuses what no game can reach and repairs the fields that only name impossible rights.
bool checkAndRepair(ParsedFen& f) {
    int kings[2] = {0, 0};
    Square kingAt[2] = {0, 0};
    for (Square s = 0; s < 64; ++s) {
        const PieceCode c = f.board[s];
        if (c == WHITE_KING || c == BLACK_KING) {
            const int side = c == WHITE_KING ? WHITE : BLACK;
            ++kings[side];
            kingAt[side] = s;
        }
        if ((c == WHITE_PAWN || c == BLACK_PAWN) && (rowOf(s) == 0 || rowOf(s) == 7)) return false;
    }
    if (kings[WHITE] != 1 || kings[BLACK] != 1) return false;
    // The side that just moved cannot have left its king in check.
    if (attackedOnBoard(f.board, kingAt[f.side ^ 1], f.side)) return false;

    // Rights need the king and that rook on their home squares.
    for (const CastlingMove& c : CASTLING_MOVES)
        if (f.board[c.kingFrom] != c.king || f.board[c.rookFrom] != c.rook) f.castleFlags &= uint16_t(~c.right);

    // An en-passant square must lie just behind an enemy pawn that has just advanced two.
    if (f.epSquare) {
        const Square ep = f.epSquare;
        bool sound;
        if (f.side == WHITE)  // black just moved from ep - 8 to ep + 8
            sound = rowOf(ep) == 2 && f.board[ep + 8] == BLACK_PAWN && f.board[ep] == EMPTY &&
                    f.board[ep - 8] == EMPTY;
        else
            sound = rowOf(ep) == 5 && f.board[ep - 8] == WHITE_PAWN && f.board[ep] == EMPTY &&
                    f.board[ep + 8] == EMPTY;
        if (!sound) f.epSquare = 0;
    }
    return true;
}

// Places the checked position into the global fields, keys from the pieces alone.
void commitPosition(const ParsedFen& f) {
    Position fresh;
    fresh.sideToMove = f.side;
    fresh.castleFlags = f.castleFlags;
    fresh.epSquare = f.epSquare;
    uint64_t key = 0;
    for (Square s = 0; s < 64; ++s) {
        const PieceCode c = f.board[s];
        if (c == EMPTY) continue;
        fresh.board[s] = c;
        key ^= ZOBRIST[c][s];
        const int side = isWhitePiece(c) ? WHITE : BLACK;
        fresh.sideOccupancy[side] |= BIT[s];
        if (c >= WHITE_KING) {
            fresh.kingSquare[side] = uint8_t(s);
        } else {
            fresh.pieceBoards[c] |= BIT[s];
            fresh.totalMaterial = uint8_t(fresh.totalMaterial + MATERIAL_UNITS[c]);
            if (c <= BLACK_PAWN) fresh.pawnKey ^= uint32_t(ZOBRIST[c][s]);
        }
    }
    fresh.keyLow = uint32_t(key);
    fresh.keyHigh = uint32_t(key >> 32);
    fresh.allOccupancy = fresh.sideOccupancy[BLACK] | fresh.sideOccupancy[WHITE];
    for (Square s = 0; s < 64; ++s) {
        if (!(fresh.allOccupancy & BIT[s])) continue;
        fresh.rotated90 |= ROT90_BIT[s];
        fresh.rotated45 |= ROT45_BIT[s];
        fresh.rotated315 |= ROT315_BIT[s];
    }
    std::memcpy(fresh.rootBoard, fresh.board, sizeof fresh.board);
    fresh.rootSide = fresh.sideToMove;
    fresh.rootCastleFlags = fresh.castleFlags;
    fresh.rootEpSquare = fresh.epSquare;
    pos = fresh;

    // History: the set-up position is the only entry.
    for (long i = historyTop - GameHistory; i >= 0; --i) GameHistory[i] = HistoryEntry{};
    historyTop = GameHistory;
    historyTop->keyLow = pos.keyLow;
    historyTop->keyHigh = pos.keyHigh;
    historyTop->fiftyCounter = 0;
}

}  // namespace

bool setupPosition(const char* text, EpdOperand* epd) {
    ParsedFen parsed;
    if (!parseFen(text, parsed) || !checkAndRepair(parsed)) return false;
    commitPosition(parsed);
    currentPly = PlyRecords;
    if (epd) *epd = parsed.epd;
    return true;
}

}  // namespace vostil
