// Standard algebraic operands against random legal positions: the input's first bytes play a
// random game, the rest is the operand. Parsing must change nothing, and a legal result must
// make and take back cleanly.
#include "book/algebraic_move.h"
#include "fuzz_support.h"

using namespace vostil;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietStartUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t used = fuzz::playRandomGame(data + 1, size - 1, data[0] & 0x7F);
    const std::string operand(reinterpret_cast<const char*>(data) + 1 + used, size - 1 - used);

    const Position before = pos;
    const Move m = parseAlgebraicMove(operand.c_str());
    fuzz::require(pos == before, "parsing changed the position");
    if (m != 0 && isLegalMove(m)) fuzz::makeAndTakeBack(m);
    fuzz::require(pos == before, "a parsed move changed the position");
    return 0;
}
