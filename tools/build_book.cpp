// build_book <input.txt> <output.book>
//
// Turns the readable book source (one opening line per text line, coordinate moves from the
// start position separated by blanks; blank lines and lines starting with '#' ignored) into
// the engine's book file: a header line with the record count, then per line one length byte
// and its moves as little-endian 16-bit codes. Every move is encoded by matching it against
// the engine's own generated moves, so it carries exactly the kind the loader will look for;
// a line with an illegal move is refused with its line number and the move.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/make_move.h"
#include "board/unmake_move.h"
#include "game/setup_game_position.h"
#include "board/position.h"
#include "board/tables.h"
#include "book/opening_book.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"

using namespace vostil;

namespace {

// The generated move with the word's squares and promotion piece, or 0.
Move findGeneratedMove(const std::string& word) {
    if (word.size() != 4 && word.size() != 5) return 0;
    const char* w = word.c_str();
    if (w[0] < 'a' || w[0] > 'h' || w[1] < '1' || w[1] > '8' || w[2] < 'a' || w[2] > 'h' ||
        w[3] < '1' || w[3] > '8')
        return 0;
    Square from = (w[0] - 'a') + 8 * ('8' - w[1]);
    Square to = (w[2] - 'a') + 8 * ('8' - w[3]);
    const char* promotionLetters = "qnrb";
    int promotion = -1;
    if (word.size() == 5) {
        const char* p = std::strchr(promotionLetters, w[4]);
        if (p == nullptr || *p == '\0') return 0;
        promotion = int(p - promotionLetters);
    }

    MoveEntry list[MAX_MOVES_PER_PLY];
    MoveEntry* end = generateMoves(list);
    for (MoveEntry* e = list; e != end; ++e) {
        Move m = e->move;
        int kind = moveKind(m);
        Square mFrom = moveFrom(m), mTo = moveTo(m);
        // Castling carries the king's squares, so it matches its coordinate word directly.
        bool isPromotion = kind >= MOVE_PROMO_Q && kind <= MOVE_PROMO_CAPTURE_B;
        if (mFrom != from || mTo != to) continue;
        if (isPromotion != (promotion >= 0)) continue;
        if (isPromotion && (kind & 3) != promotion) continue;
        return m;
    }
    return 0;
}

// Legal in the current position: an answer to check when in check, and not leaving the
// mover's king attacked once made.
bool isLegalHere(Move m) {
    computeCheckInfo(*currentPly);
    if (currentPly->checkInfo.checkers != 0) {
        MoveEntry list[MAX_MOVES_PER_PLY];
        MoveEntry* end = generateEvasions(list, currentPly->checkInfo);
        bool found = false;
        for (MoveEntry* e = list; e != end && !found; ++e) found = e->move == m;
        if (!found) return false;
    }
    int mover = pos.sideToMove;
    saveUndoState();
    makeMove(m);
    bool attacked = isKingAttacked(m, mover);
    unmakeMove(m);
    return !attacked;
}

struct BookLine {
    int sourceLine;
    std::vector<Move> moves;
};

// Encodes one text line from the start position and takes its moves back again, so the next
// line starts there too; on failure names the offending move in `error`.
bool encodeLine(const std::string& text, std::vector<Move>& moves, std::string& error) {
    std::istringstream words(text);
    std::string word;
    bool ok = true;
    while (words >> word) {
        if (int(moves.size()) == BOOK_LINE_MAX) {
            error = "more than " + std::to_string(BOOK_LINE_MAX) + " moves";
            ok = false;
            break;
        }
        Move m = findGeneratedMove(word);
        if (m == 0 || !isLegalHere(m)) {
            error = "illegal move " + word + " (move " + std::to_string(moves.size() + 1) + ")";
            ok = false;
            break;
        }
        saveUndoState();
        makeMove(m);
        ++currentPly;
        moves.push_back(m);
    }
    for (size_t i = moves.size(); i > 0; --i) {
        --currentPly;
        unmakeMove(moves[i - 1]);
    }
    if (ok && moves.empty()) {
        error = "no moves";
        ok = false;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: build_book <input.txt> <output.book>\n");
        return 2;
    }
    initTables();
    if (!setupGamePosition(START_FEN, false)) {
        std::fprintf(stderr, "build_book: cannot set up the start position\n");
        return 1;
    }

    std::ifstream input(argv[1]);
    if (!input) {
        std::fprintf(stderr, "build_book: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<BookLine> lines;
    std::string text;
    int lineNumber = 0;
    bool failed = false;
    while (std::getline(input, text)) {
        ++lineNumber;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') continue;
        BookLine line{lineNumber, {}};
        std::string error;
        if (!encodeLine(text, line.moves, error)) {
            std::fprintf(stderr, "build_book: %s:%d: %s\n", argv[1], lineNumber, error.c_str());
            failed = true;
            continue;
        }
        lines.push_back(std::move(line));
    }
    if (failed) return 1;

    std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
    if (!output) {
        std::fprintf(stderr, "build_book: cannot write %s\n", argv[2]);
        return 1;
    }
    output << lines.size() << '\n';
    for (const BookLine& line : lines) {
        output.put(char(line.moves.size()));
        for (Move m : line.moves) {
            output.put(char(m & 0xFF));
            output.put(char(m >> 8));
        }
    }
    output.close();
    if (!output) {
        std::fprintf(stderr, "build_book: error writing %s\n", argv[2]);
        return 1;
    }
    std::printf("build_book: %zu lines written to %s\n", lines.size(), argv[2]);
    return 0;
}
