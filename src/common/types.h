// Basic value types shared by every subsystem.
#pragma once

#include <cstdint>

namespace vostil {

// 0..63 with a8 = 0, h8 = 7, a1 = 56, h1 = 63; file = s & 7, row = s >> 3 (row 0 is the eighth rank).
using Square = int;
// Square s is bit 63 - s: a8 is the most significant bit, h1 bit 0.
using Bitboard = uint64_t;
// 0 empty; 1/2 white/black pawn, 3/4 knight, 5/6 bishop, 7/8 rook, 9/10 queen, 11/12 king.
using PieceCode = uint8_t;
// to-square in bits 0-5, from-square in bits 6-11, kind in bits 12-15; 0 means no move.
using Move = uint16_t;
// Centipawns from the view of the side to move.
using Score = int16_t;
// Move ordering key written by the generators and the searches.
using OrderScore = int16_t;

constexpr int BLACK = 0;
constexpr int WHITE = 1;

enum PieceCodes : PieceCode {
    EMPTY = 0,
    WHITE_PAWN = 1, BLACK_PAWN = 2,
    WHITE_KNIGHT = 3, BLACK_KNIGHT = 4,
    WHITE_BISHOP = 5, BLACK_BISHOP = 6,
    WHITE_ROOK = 7, BLACK_ROOK = 8,
    WHITE_QUEEN = 9, BLACK_QUEEN = 10,
    WHITE_KING = 11, BLACK_KING = 12,
};

// The code of a piece kind for side s is its black code minus s.
constexpr PieceCode pieceOf(PieceCode blackCode, int side) { return PieceCode(blackCode - side); }
constexpr bool isWhitePiece(PieceCode c) { return (c & 1) != 0; }

constexpr uint8_t NO_KING = 100;

constexpr int SCORE_INFINITE = 8190;
constexpr int SCORE_BIAS = 8190;
constexpr int MATE_SCORE = 8100;

constexpr int fileOf(Square s) { return s & 7; }
constexpr int rowOf(Square s) { return s >> 3; }

// Named squares used by castling and the tests.
enum SquareNames : int {
    A8 = 0, B8, C8, D8, E8, F8, G8, H8,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A1, B1, C1, D1, E1, F1, G1, H1,
};

}  // namespace vostil
