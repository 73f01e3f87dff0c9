// The generators against a slow, simple reference: in many positions reached by random
// play, the legal moves the engine finds through its generators equal the legal moves of
// a square-by-square reference generator filtered by a square-by-square attack test. Where
// the side to move is in check this proves the evasion generator complete; elsewhere it
// proves the full generator's set, its emission order and its scores, and the capture
// generator's filter.
#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "board/make_move.h"
#include "board/unmake_move.h"
#include "eval/evaluate.h"
#include "movegen/order_scores.h"
#include "movegen/static_exchange.h"
#include "movegen_helpers.h"

namespace vostil::movegen_test {
namespace {

// --- Reference generator on the board array ------------------------------------------

bool onBoard(int row, int file) { return row >= 0 && row < 8 && file >= 0 && file < 8; }
int sideOf(PieceCode c) { return isWhitePiece(c) ? WHITE : BLACK; }
int kindOf(PieceCode c) { return (c + 1) / 2; }  // 1 pawn .. 6 king
constexpr int PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6;

constexpr int KNIGHT_STEPS[8][2] = {{-2, -1}, {-2, 1}, {-1, -2}, {-1, 2},
                                    {1, -2},  {1, 2},  {2, -1},  {2, 1}};
constexpr int KING_STEPS[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                  {0, 1},   {1, -1}, {1, 0},  {1, 1}};
constexpr int ROOK_DIRECTIONS[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
constexpr int BISHOP_DIRECTIONS[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};

// Is `s` attacked by a piece of `attacker`, kings included, reading only the board array?
bool referenceAttacked(Square s, int attacker) {
    const int row = rowOf(s), file = fileOf(s);
    auto pieceAt = [](int r, int f) { return pos.board[8 * r + f]; };
    auto is = [attacker](PieceCode c, int kind) {
        return c != EMPTY && sideOf(c) == attacker && kindOf(c) == kind;
    };
    // A white pawn attacks toward row 0, so it stands one row below (row + 1).
    const int pawnRow = attacker == WHITE ? row + 1 : row - 1;
    for (int df : {-1, 1})
        if (onBoard(pawnRow, file + df) && is(pieceAt(pawnRow, file + df), PAWN)) return true;
    for (const auto& step : KNIGHT_STEPS)
        if (onBoard(row + step[0], file + step[1]) && is(pieceAt(row + step[0], file + step[1]), KNIGHT))
            return true;
    for (const auto& step : KING_STEPS)
        if (onBoard(row + step[0], file + step[1]) && is(pieceAt(row + step[0], file + step[1]), KING))
            return true;
    for (int pass = 0; pass < 2; ++pass) {
        const auto& directions = pass == 0 ? ROOK_DIRECTIONS : BISHOP_DIRECTIONS;
        const int slider = pass == 0 ? ROOK : BISHOP;
        for (const auto& dir : directions) {
            for (int r = row + dir[0], f = file + dir[1]; onBoard(r, f); r += dir[0], f += dir[1]) {
                const PieceCode c = pieceAt(r, f);
                if (c == EMPTY) continue;
                if (is(c, slider) || is(c, QUEEN)) return true;
                break;
            }
        }
    }
    return false;
}

// Every pseudo-legal move of the side to move, in no particular order. King steps next to
// the other king are left out, as the engine never writes them.
std::vector<Move> referenceMoves() {
    std::vector<Move> moves;
    const int us = pos.sideToMove;
    const int forward = us == WHITE ? -1 : 1;
    const int startRow = us == WHITE ? 6 : 1, lastRow = us == WHITE ? 0 : 7;
    auto add = [&](Square from, Square to, int kind) { moves.push_back(makeMoveCode(from, to, kind)); };
    auto addPawn = [&](Square from, Square to, bool capture) {
        if (rowOf(to) == lastRow) {
            for (int choice = 0; choice < 4; ++choice)
                add(from, to, (capture ? MOVE_PROMO_CAPTURE_Q : MOVE_PROMO_Q) + choice);
        } else {
            add(from, to, capture ? MOVE_CAPTURE : MOVE_QUIET);
        }
    };
    const Square otherKing = pos.kingSquare[us ^ 1];

    for (Square from = 0; from < 64; ++from) {
        const PieceCode c = pos.board[from];
        if (c == EMPTY || sideOf(c) != us) continue;
        const int row = rowOf(from), file = fileOf(from);
        auto target = [&](int r, int f) { return 8 * r + f; };
        auto enemyAt = [&](Square s) { return pos.board[s] != EMPTY && sideOf(pos.board[s]) != us; };
        switch (kindOf(c)) {
            case PAWN: {
                const int r = row + forward;
                if (onBoard(r, file) && pos.board[target(r, file)] == EMPTY) {
                    addPawn(from, target(r, file), false);
                    if (row == startRow && pos.board[target(r + forward, file)] == EMPTY)
                        add(from, target(r + forward, file), MOVE_QUIET);
                }
                for (int df : {-1, 1}) {
                    if (!onBoard(r, file + df)) continue;
                    const Square to = target(r, file + df);
                    if (enemyAt(to)) addPawn(from, to, true);
                    else if (pos.epSquare != 0 && to == pos.epSquare) add(from, to, MOVE_EN_PASSANT);
                }
                break;
            }
            case KNIGHT:
            case KING: {
                const auto& steps = kindOf(c) == KNIGHT ? KNIGHT_STEPS : KING_STEPS;
                for (const auto& step : steps) {
                    const int r = row + step[0], f = file + step[1];
                    if (!onBoard(r, f)) continue;
                    const Square to = target(r, f);
                    if (kindOf(c) == KING && std::max(std::abs(rowOf(to) - rowOf(otherKing)),
                                                      std::abs(fileOf(to) - fileOf(otherKing))) <= 1)
                        continue;
                    if (pos.board[to] == EMPTY) add(from, to, MOVE_QUIET);
                    else if (enemyAt(to)) add(from, to, MOVE_CAPTURE);
                }
                break;
            }
            default: {
                for (int pass = 0; pass < 2; ++pass) {
                    if (pass == 0 && kindOf(c) == BISHOP) continue;
                    if (pass == 1 && kindOf(c) == ROOK) continue;
                    const auto& directions = pass == 0 ? ROOK_DIRECTIONS : BISHOP_DIRECTIONS;
                    for (const auto& dir : directions) {
                        for (int r = row + dir[0], f = file + dir[1]; onBoard(r, f);
                             r += dir[0], f += dir[1]) {
                            const Square to = target(r, f);
                            if (pos.board[to] == EMPTY) {
                                add(from, to, MOVE_QUIET);
                                continue;
                            }
                            if (enemyAt(to)) add(from, to, MOVE_CAPTURE);
                            break;
                        }
                    }
                }
            }
        }
    }

    // Castling: the right, its side not just castled, the squares between empty.
    const uint16_t flags = pos.castleFlags;
    auto empty = [](std::initializer_list<Square> squares) {
        for (Square s : squares)
            if (pos.board[s] != EMPTY) return false;
        return true;
    };
    if (us == WHITE && !(flags & WHITE_CASTLED)) {
        if ((flags & RIGHT_WK) && empty({F1, G1})) moves.push_back(CASTLE_WK_MOVE);
        if ((flags & RIGHT_WQ) && empty({B1, C1, D1})) moves.push_back(CASTLE_WQ_MOVE);
    }
    if (us == BLACK && !(flags & BLACK_CASTLED)) {
        if ((flags & RIGHT_BK) && empty({F8, G8})) moves.push_back(CASTLE_BK_MOVE);
        if ((flags & RIGHT_BQ) && empty({B8, C8, D8})) moves.push_back(CASTLE_BQ_MOVE);
    }
    return moves;
}

// Legal by the reference: the mover's king is not attacked afterwards, and a castling king
// neither started on nor crossed an attacked square.
bool referenceLegal(Move m) {
    const int us = pos.sideToMove;
    if (isCastling(m)) {
        const Square start = us == WHITE ? E1 : E8;
        const Square crossed = (moveTo(m) + start) / 2;
        if (referenceAttacked(start, us ^ 1) || referenceAttacked(crossed, us ^ 1)) return false;
    }
    saveUndoState();
    makeMove(m);
    ++currentPly;
    Square king = 0;
    for (Square s = 0; s < 64; ++s)
        if (pos.board[s] == pieceOf(BLACK_KING, us)) king = s;
    const bool legal = !referenceAttacked(king, us ^ 1);
    --currentPly;
    unmakeMove(m);
    return legal;
}

// --- The engine's side -----------------------------------------------------------------

struct Node {
    MoveEntry* begin;
    MoveEntry* end;
    bool inCheck;
};

// Generates as the search does and records the undo snapshot.
Node generateNode(MoveEntry* list) {
    PlyRecord& record = *currentPly;
    computeCheckInfo(record);
    const bool inCheck = record.checkInfo.checkers != 0;
    MoveEntry* end = inCheck ? generateEvasions(list, record.checkInfo) : generateMoves(list);
    record.moveListEnd = end;
    saveUndoState();
    return {list, end, inCheck};
}

std::set<Move> engineLegal(const Node& node) {
    std::set<Move> legal;
    const int mover = pos.sideToMove;
    const CheckInfo& before = currentPly->checkInfo;
    for (MoveEntry* e = node.begin; e != node.end; ++e) {
        makeMove(e->move);
        ++currentPly;
        const bool attacked = isKingAttacked(e->move, mover);
        // The searches' shortcut, which looks only at the line a move leaves, must agree.
        EXPECT_EQ(isKingAttacked(e->move, mover, before), attacked) << "shortcut on " << moveText(e->move);
        --currentPly;
        unmakeMove(e->move);
        EXPECT_TRUE(positionIsConsistent()) << moveText(e->move);
        if (!attacked) legal.insert(e->move);
    }
    return legal;
}

std::string describe(const std::set<Move>& moves) {
    std::string text;
    for (Move m : moves) text += moveText(m) + " ";
    return text;
}

// --- Order and scores of the full generator -------------------------------------------

// Where a move belongs in the full generator's list: group, then piece square, then the
// capture-before-quiet split, then the target square, all descending from h1 toward a8.
struct OrderKey {
    int group, sub, fromKey, split, toKey, choice;
    bool operator<(const OrderKey& o) const {
        return std::tie(group, sub, fromKey, split, toKey, choice) <
               std::tie(o.group, o.sub, o.fromKey, o.split, o.toKey, o.choice);
    }
};

OrderKey fullOrderKey(Move m) {
    const Square from = moveFrom(m), to = moveTo(m);
    const int kind = moveKind(m);
    const PieceCode piece = pos.board[from];
    if (kind == MOVE_CASTLE_WK || kind == MOVE_CASTLE_BK) return {9, 0, 0, 0, 0, 0};
    if (kind == MOVE_CASTLE_WQ || kind == MOVE_CASTLE_BQ) return {9, 1, 0, 0, 0, 0};
    switch (kindOf(piece)) {
        case PAWN: {
            const int delta = to - from;
            const bool capture = fileOf(from) != fileOf(to);
            if (capture) {
                // Toward the a-file: -9 for white, +7 for black.
                const bool towardA = fileOf(to) < fileOf(from);
                const int sub = kind == MOVE_EN_PASSANT ? 0 : kind >= MOVE_PROMO_CAPTURE_Q ? 1 : 2;
                return {towardA ? 0 : 1, sub, 0, 0, -to, kind & 3};
            }
            const bool promotion = kind >= MOVE_PROMO_Q;
            const bool twoSteps = delta == 16 || delta == -16;
            return {7, promotion ? 0 : twoSteps ? 1 : 2, 0, 0, -to, kind & 3};
        }
        case KNIGHT: return {2, 0, -from, kind == MOVE_CAPTURE ? 0 : 1, -to, 0};
        case QUEEN: return {3, 0, -from, kind == MOVE_CAPTURE ? 0 : 1, -to, 0};
        case ROOK: return {4, 0, -from, kind == MOVE_CAPTURE ? 0 : 1, -to, 0};
        case BISHOP: return {5, 0, -from, kind == MOVE_CAPTURE ? 0 : 1, -to, 0};
        default: return {8, 0, 0, kind == MOVE_CAPTURE ? 0 : 1, -to, 0};
    }
}

int exchangeOf(PieceCode mover, Square from, Square to) {
    const Bitboard queens = pos.pieceBoards[WHITE_QUEEN] | pos.pieceBoards[BLACK_QUEEN];
    return staticExchange(mover, from, to,
                          pos.pieceBoards[WHITE_ROOK] | pos.pieceBoards[BLACK_ROOK] | queens,
                          pos.pieceBoards[WHITE_BISHOP] | pos.pieceBoards[BLACK_BISHOP] | queens);
}

// The ordering score the full generator must give a move.
int expectedFullScore(Move m) {
    const Square from = moveFrom(m), to = moveTo(m);
    const int kind = moveKind(m);
    const PieceCode piece = pos.board[from];
    const int victim = PIECE_VALUE[pos.board[to]];
    if (kind == MOVE_CASTLE_WK || kind == MOVE_CASTLE_BK) return SCORE_CASTLE_SHORT;
    if (kind == MOVE_CASTLE_WQ || kind == MOVE_CASTLE_BQ) return SCORE_CASTLE_LONG;
    if (kind == MOVE_QUIET) return SCORE_QUIET;
    if (kind == MOVE_EN_PASSANT) return SCORE_EN_PASSANT;
    if (kind >= MOVE_PROMO_CAPTURE_Q) return victim + SCORE_PROMOTION[kind & 3];
    if (kind >= MOVE_PROMO_Q) return SCORE_PROMOTION[kind & 3];
    if (kindOf(piece) == PAWN) return victim + SCORE_PAWN_CAPTURE_BASE;
    const int attacker = PIECE_VALUE[piece];
    if (victim >= attacker - 50) return victim - attacker - 9500;
    return exchangeOf(piece, from, to);
}

// The capture generator's list, built from the reference moves: every pawn capture, the
// queen promotion pushes and piece captures that do not lose, in its own order.
std::vector<MoveEntry> expectedCaptures(const std::vector<Move>& pseudo) {
    struct Keyed {
        OrderKey key;
        MoveEntry entry;
    };
    std::vector<Keyed> keyed;
    for (Move m : pseudo) {
        const Square from = moveFrom(m), to = moveTo(m);
        const int kind = moveKind(m);
        const PieceCode piece = pos.board[from];
        const OrderKey full = fullOrderKey(m);
        if (kindOf(piece) == PAWN) {
            if (full.group <= 1) {
                keyed.push_back({full, {OrderScore(expectedFullScore(m)), m}});
            } else if (kind == MOVE_PROMO_Q) {
                const int score = exchangeOf(piece, from, to);
                if (score >= ORDER_HISTORY_THRESHOLD)
                    keyed.push_back({{2, 0, 0, 0, -to, 0}, {OrderScore(score), m}});
            }
            continue;
        }
        if (kind != MOVE_CAPTURE) continue;
        const int score = expectedFullScore(m);
        if (score < ORDER_HISTORY_THRESHOLD) continue;
        // Knights, bishops, rooks, queens, king.
        static constexpr int GROUP_OF_KIND[7] = {0, 0, 3, 4, 5, 6, 7};
        keyed.push_back({{GROUP_OF_KIND[kindOf(piece)], 0, -from, 0, -to, 0}, {OrderScore(score), m}});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    std::vector<MoveEntry> out;
    for (const Keyed& k : keyed) out.push_back(k.entry);
    return out;
}

void compareLists(const std::vector<MoveEntry>& expected, const MoveEntry* begin,
                  const MoveEntry* end, const char* what) {
    ASSERT_EQ(size_t(end - begin), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(moveText(begin[i].move), moveText(expected[i].move)) << what << " entry " << i;
        EXPECT_EQ(begin[i].score, expected[i].score) << what << " " << moveText(begin[i].move);
    }
}

// Full and capture generator of a position not in check against the reference.
void checkQuietPosition(const std::vector<Move>& pseudo, const Node& node) {
    struct Keyed {
        OrderKey key;
        MoveEntry entry;
    };
    std::vector<Keyed> keyed;
    for (Move m : pseudo) keyed.push_back({fullOrderKey(m), {OrderScore(expectedFullScore(m)), m}});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    std::vector<MoveEntry> expected;
    for (const Keyed& k : keyed) expected.push_back(k.entry);
    compareLists(expected, node.begin, node.end, "full generator");

    MoveEntry* captures = node.end;
    MoveEntry* capturesEnd = generateCaptures(captures);
    compareLists(expectedCaptures(pseudo), captures, capturesEnd, "capture generator");
}

// --- The random walks ------------------------------------------------------------------

struct WalkTally {
    int positions = 0;
    int inCheck = 0;
    int doubleCheck = 0;
};

// Walks one random game of up to maxPlies from the current position, comparing at every
// node, preferring checking moves so that many positions in check are met; then takes
// every move back.
void randomWalk(std::mt19937& rng, int maxPlies, WalkTally& tally) {
    std::vector<Move> line;
    MoveEntry* list = listStart();
    for (int ply = 0; ply < maxPlies; ++ply) {
        const Node node = generateNode(list);
        std::vector<Move> pseudo = referenceMoves();
        std::set<Move> expected;
        for (Move m : pseudo)
            if (referenceLegal(m)) expected.insert(m);
        const std::set<Move> found = engineLegal(node);
        EXPECT_EQ(found, expected) << "in check: " << node.inCheck << "\n engine:    "
                                   << describe(found) << "\n reference: " << describe(expected);
        EXPECT_EQ(node.inCheck, referenceAttacked(pos.kingSquare[pos.sideToMove], pos.sideToMove ^ 1));
        ++tally.positions;
        if (node.inCheck) {
            ++tally.inCheck;
            const Bitboard checkers = currentPly->checkInfo.checkers;
            if (checkers & (checkers - 1)) ++tally.doubleCheck;
        } else {
            checkQuietPosition(pseudo, node);
        }
        if (expected.empty() || ::testing::Test::HasFailure()) break;

        // Prefer moves that give check, double checks most of all.
        std::vector<Move> legal(expected.begin(), expected.end());
        std::vector<Move> checking, doubleChecking;
        for (Move m : legal) {
            makeMove(m);
            ++currentPly;
            computeCheckInfo(*currentPly);
            const Bitboard checkers = currentPly->checkInfo.checkers;
            if (checkers) checking.push_back(m);
            if (checkers & (checkers - 1)) doubleChecking.push_back(m);
            --currentPly;
            unmakeMove(m);
        }
        const unsigned roll = rng() % 6;
        const std::vector<Move>& pool = !doubleChecking.empty() && roll < 4 ? doubleChecking
                                        : !checking.empty() && roll < 3     ? checking
                                                                            : legal;
        const Move m = pool[rng() % pool.size()];
        makeMove(m);
        ++currentPly;
        line.push_back(m);
        list = node.end;
    }
    while (!line.empty()) {
        --currentPly;
        unmakeMove(line.back());
        line.pop_back();
    }
}

TEST(ReferenceGenerator, EngineAndReferenceAgreeOnLegalMovesAlongRandomGames) {
    struct Start {
        const char* fen;
        int games;
    };
    const std::vector<Start> starts = {
        {START_FEN, 12},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 12},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 12},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 12},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 12},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 12},
        {"8/PPP4k/8/8/8/8/4Kppp/8 w - - 0 1", 12},
        {"4k3/8/8/2pPp3/8/8/8/R3K2R w KQ - 0 1", 12},
        // Discovered and double checks for both colours.
        {"4k3/8/8/8/4N3/8/8/K3R3 w - - 0 1", 40},
        {"k3r3/8/8/8/4n3/8/8/4K3 b - - 0 1", 40},
        {"4k3/pp6/8/8/8/8/4B3/4R1K1 w - - 0 1", 40},
    };
    std::mt19937 rng(20240611);
    WalkTally tally;
    for (const Start& start : starts) {
        SCOPED_TRACE(start.fen);
        for (int game = 0; game < start.games; ++game) {
            setUp(start.fen);
            randomWalk(rng, 60, tally);
            EXPECT_EQ(currentPly, PlyRecords);
            if (HasFailure()) return;
        }
    }
    // The walks must have met enough checks to prove the evasion generator, double checks too.
    EXPECT_GE(tally.inCheck, 300);
    EXPECT_GE(tally.doubleCheck, 40);
    EXPECT_GE(tally.positions, 2000);
}

}  // namespace
}  // namespace vostil::movegen_test
