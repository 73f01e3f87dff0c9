// FEN/EPD text, "bm"/"am" operands included, into setupGamePosition. An accepted position must be
// consistent and survive its own FEN text; a refused one must leave the game as it was.
#include <cstring>

#include "fuzz_support.h"

using namespace vostil;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietStartUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The command loop never passes more than a line of 254 characters.
    if (size > 254) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // A game in progress, so that a refusal has something to spoil.
    if (!setupGamePosition("r3k2r/8/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1", false))
        fuzz::fail("the reference position was refused");
    const Position before = pos;

    if (setupGamePosition(text.c_str(), false)) {
        fuzz::require(gamePositionReady, "an accepted position is not ready for play");
        fuzz::require(positionIsConsistent(), "an accepted position is inconsistent");
        fuzz::require(std::memcmp(pos.board, pos.rootBoard, sizeof pos.board) == 0 &&
                          pos.rootSide == pos.sideToMove && pos.rootEpSquare == pos.epSquare &&
                          pos.rootCastleFlags == pos.castleFlags,
                      "the root copy differs from the position");
        fuzz::require(currentPly == PlyRecords && historyTop == GameHistory,
                      "setup left a search or game history behind");
        // Its own FEN text must give the same position back.
        char fen[96];
        positionToFen(fen);
        const Position accepted = pos;
        fuzz::require(setupGamePosition(fen, false) && pos == accepted,
                      "the position's FEN text gives another position");
    } else if (!gamePositionReady) {
        fuzz::require(pos == before, "a refused position changed the board");
    } else {
        // Only the EPD move was refused: the position itself stands and must be sound.
        fuzz::require(positionIsConsistent(), "a position with a refused EPD move is inconsistent");
    }
    return 0;
}
