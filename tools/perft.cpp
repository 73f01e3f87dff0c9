// perft: counts the leaf nodes of the legal move tree, the proof of the move generator and a
// measure of its speed.
//
// Usage:
//   perft <depth> ["<FEN>"]          total count, time and speed
//   perft divide <depth> ["<FEN>"]   the count under each root move, then the total
// Without a FEN the initial position is used. The FEN may also be given unquoted, as the
// remaining words of the command line.
//
// The tree is walked with the engine's own machinery, exactly as the search walks it:
// computeCheckInfo, the evasion generator in check and the full generator otherwise,
// saveUndoState after generating, makeMove, currentPly forward, the legality test for the
// side that moved, currentPly back, unmakeMove. A leaf is made, tested and taken back without
// the currentPly step, having no node of its own.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/position.h"
#include "board/tables.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "common/move.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"
#include "movegen/perft.h"

using namespace vostil;

namespace {

// The search's deepest line is 72 plies; perft never needs more than the records exist.
constexpr int MAX_PERFT_DEPTH = PLY_RECORD_COUNT - 1;

uint64_t divide(int depth) {
    return perftDivide(depth, MoveStack, [](Move m, uint64_t nodes) {
        char text[8];
        formatCoordinateMove(text, m);
        std::printf("%s: %llu\n", text, static_cast<unsigned long long>(nodes));
    });
}

int usage() {
    std::fprintf(stderr,
                 "usage: perft <depth> [\"<FEN>\"]\n"
                 "       perft divide <depth> [\"<FEN>\"]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int arg = 1;
    bool divideMode = false;
    if (arg < argc && std::strcmp(argv[arg], "divide") == 0) {
        divideMode = true;
        ++arg;
    }
    if (arg >= argc) return usage();
    char* endOfNumber = nullptr;
    const long depth = std::strtol(argv[arg++], &endOfNumber, 10);
    if (*endOfNumber != '\0' || depth < 1 || depth > MAX_PERFT_DEPTH) return usage();

    std::string fen;
    for (; arg < argc; ++arg) {
        if (!fen.empty()) fen += ' ';
        fen += argv[arg];
    }
    if (fen.empty()) fen = START_FEN;

    // The board alone: the walk never reads the transposition table, so it is neither
    // cleared nor touched (32 MiB of pages not faulted in).
    initTables();
    if (!setupPosition(fen.c_str())) {
        std::fprintf(stderr, "perft: cannot set up position: %s\n", fen.c_str());
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    const uint64_t nodes = divideMode ? divide(int(depth)) : perft(int(depth), MoveStack);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (divideMode) std::printf("\n");
    std::printf("perft %ld: %llu nodes in %.3f s, %.2f Mnps\n", depth,
                static_cast<unsigned long long>(nodes), seconds,
                seconds > 0 ? double(nodes) / seconds / 1e6 : 0.0);
    return 0;
}
