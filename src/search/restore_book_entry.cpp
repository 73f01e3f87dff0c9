// The book's entries kept aside as the loader stored them, and put back into the table for the
// position about to be answered: searches since the load may have overwritten them.
#include "search/transposition_table.h"

namespace vostil {

namespace {

struct BookRecord {
    uint32_t keyLow;
    uint32_t keyHigh;
    uint16_t move;
    uint8_t side;
};

// The shipped book stores some 6,000 entries. A larger book keeps its first entries here; the
// rest only live in the table, as every book entry once did.
constexpr int BOOK_RECORD_LIMIT = 16384;
BookRecord bookRecords[BOOK_RECORD_LIMIT];
int bookRecordCount = 0;

// As the loader writes it into a cleared table: no depth, no score to keep it there.
void writeBookRecord(const BookRecord& r) {
    HashEntry& e = TranspositionTable[r.side][r.keyLow & ttIndexMask].slot[0];
    e.word0 = (r.keyLow & KEY_LOW_STORED_MASK) | r.move;
    e.word1 = r.keyHigh;
    e.word2 = 0;
}

}  // namespace

void recordBookEntry(Move move) {
    if (bookRecordCount < BOOK_RECORD_LIMIT)
        bookRecords[bookRecordCount++] = {pos.keyLow, pos.keyHigh, move, uint8_t(pos.sideToMove)};
}

void forgetBookEntries() { bookRecordCount = 0; }

// Later stores win, as in the table at loading: the last record for this bucket is the book
// entry the loading left there, and only when it is this position's is it put back.
bool restoreBookEntry() {
    const uint32_t bucket = pos.keyLow & ttIndexMask;
    for (int i = bookRecordCount - 1; i >= 0; --i) {
        const BookRecord& r = bookRecords[i];
        if (r.side != pos.sideToMove || (r.keyLow & ttIndexMask) != bucket) continue;
        if (((r.keyLow ^ pos.keyLow) & TT_CHECK_MASK) != 0 || r.keyHigh != pos.keyHigh) return false;
        writeBookRecord(r);
        return true;
    }
    return false;
}

void rewriteBookEntries() {
    for (int i = 0; i < bookRecordCount; ++i) writeBookRecord(bookRecords[i]);
}

}  // namespace vostil
