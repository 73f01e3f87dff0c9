// Coordinate move words against random legal positions: the input's first bytes play a random
// game, the rest is the word. A move the parser gives must round-trip through its text and,
// when legal, make and take back cleanly; parsing must change nothing.
#include "fuzz_support.h"

using namespace vostil;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietStartUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // Byte 0: how long the game is and which copy of the position the parser reads.
    const MoveSource source = data[0] & 0x80 ? MoveSource::Search : MoveSource::Root;
    const size_t used = fuzz::playRandomGame(data + 1, size - 1, data[0] & 0x7F);
    const std::string word(reinterpret_cast<const char*>(data) + 1 + used, size - 1 - used);

    const Position before = pos;
    const Move m = parseCoordinateMove(word.c_str(), source);
    fuzz::require(pos == before, "parsing changed the position");
    if (m == 0) return 0;

    char text[8];
    formatCoordinateMove(text, m);
    fuzz::require(parseCoordinateMove(text, source) == m, "a parsed move does not survive its text");
    if (isLegalMove(m)) fuzz::makeAndTakeBack(m);
    fuzz::require(pos == before, "a refused move changed the position");
    return 0;
}
