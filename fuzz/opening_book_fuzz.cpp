// Arbitrary bytes as the book file. Whatever the file holds, loading must leave the start
// position, the ply records and the game history as it found them, and every book move the
// table then offers must be legal in its position.
#include <sys/mman.h>

#include "book/opening_book.h"
#include "fuzz_support.h"

using namespace vostil;

namespace {
int bookFile = -1;
char bookPath[64];
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietStartUp();
    bookFile = memfd_create("Vostil.book", 0);
    if (bookFile < 0) fuzz::fail("no memory file for the book");
    std::snprintf(bookPath, sizeof bookPath, "/proc/self/fd/%d", bookFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (ftruncate(bookFile, 0) != 0 || pwrite(bookFile, data, size, 0) != ssize_t(size))
        fuzz::fail("could not write the book file");
    if (!setupGamePosition(START_FEN, false)) fuzz::fail("the start position was refused");
    const Position before = pos;
    const uint16_t generation = ttGeneration;

    loadOpeningBook(bookPath);
    fuzz::require(pos == before && currentPly == PlyRecords && historyTop == GameHistory,
                  "loading the book moved the position");
    fuzz::require(positionIsConsistent(), "loading the book left the views inconsistent");
    fuzz::require(ttGeneration == generation, "loading the book changed the table's generation");

    // Follow the book from the start: each move it offers must be legal where it is offered.
    for (int ply = 0; ply < BOOK_LINE_MAX; ++ply) {
        HashEntry* entry = findEntry();
        if (!entry || !entry->isBookEntry()) break;
        fuzz::require(isLegalMove(entry->move()), "the book offers an illegal move");
        playGameMove(entry->move());
        fuzz::require(positionIsConsistent(), "a book move left the views inconsistent");
    }
    return 0;
}
